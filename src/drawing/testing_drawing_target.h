#pragma once

// A drawing target for tests of the engines without a document window: a format bitmap, the
// two zoomed canvases and a checkerboard tile it owns, the main window's colour edits in a map,
// and the steps of the canvas press and release that the engines rely on.

#include "drawing/drawing_engines.h"
#include "drawing/drawing_target.h"
#include "framework/bitmap.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "imaging/bitmap/image32.h"

#include <QHash>
#include <QImage>
#include <map>
#include <memory>
#include <string>

class TTestingDrawingTarget : public TDrawingTarget {
public:
    explicit TTestingDrawingTarget(int width = 16, int height = 16, const QString& kind = QStringLiteral("XP"),
                                   int zoom = 4)
    {
        Edits = {{"upa", "255"}, {"upr", "255"}, {"upg", "0"}, {"upb", "0"},
                 {"downa", "255"}, {"downr", "0"}, {"downg", "0"}, {"downb", "255"}};
        EditText = [this](const QString& name) { return Edits.value(name); };
        SetEditText = [this](const QString& name, const QString& text) { Edits[name] = text; };
        CurrentKind = kind;
        CurrentWidth = width;
        CurrentHeight = height;
        Zoom = zoom;
        StrokeButton = 1;
        GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &FormatImage);

        tile_ = std::make_unique<TImage>();
        TBitmap* t = tile_->Picture()->Bitmap();
        t->SetSize(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                t->SetPixelArgb(x, y, ((x / 4 + y / 4) & 1) ? TileDark : TileLight);
        tile_->SetBounds(0, 0, 8, 8);
        view_ = std::make_unique<TImage32>();
        back_ = std::make_unique<TImage32>();
        for (TImage32* c : {view_.get(), back_.get()}) {
            c->SetBounds(0, 0, width * zoom, height * zoom);
            c->Bitmap()->SetSize(width * zoom, height * zoom);
        }
        iconview = view_.get();
        iconviewbg = back_.get();
        bgimage = tile_.get();
    }
    ~TTestingDrawingTarget()
    {
        GdipDisposeImage(FormatImage);
        GdipDisposeImage(EraseBaseImage);
    }

    static constexpr ARGB TileLight = 0xFFFFFFFF;
    static constexpr ARGB TileDark = 0xFFCCCCCC;

    // The canvas press: the primary colour's snapshot, the eraser's opaque white and base copy,
    // the drag start.
    void Press(int x, int y)
    {
        StrokeColorA = Edits["upa"].trimmed();
        StrokeColorR = Edits["upr"].trimmed();
        StrokeColorG = Edits["upg"].trimmed();
        StrokeColorB = Edits["upb"].trimmed();
        if (Edits["upa"] == "0") {
            for (const char* e : {"upa", "upr", "upg", "upb"})
                Edits[e] = "255";
            GdipDisposeImage(EraseBaseImage);
            GdipCloneImage(FormatImage, &EraseBaseImage);
        }
        DragStartX = DragEndX = x;
        DragStartY = DragEndY = y;
        MouseIsDown = true;
    }
    void MoveTo(int x, int y)
    {
        DragEndX = x;
        DragEndY = y;
    }
    // The release before the commit: the stroke's own colour back in the edits.
    void Release()
    {
        Edits["upa"] = StrokeColorA;
        Edits["upr"] = StrokeColorR;
        Edits["upg"] = StrokeColorG;
        Edits["upb"] = StrokeColorB;
        MouseIsDown = false;
    }
    // A drag from (sx, sy) to (ex, ey) as the canvas handlers drive a shape tool: one preview at
    // the end, the release, the commit.
    void Drag(TDrawingEngine preview, TDrawingEngine commit, int sx, int sy, int ex, int ey)
    {
        Press(sx, sy);
        MoveTo(ex, ey);
        preview(*this, QStringLiteral("dorvelt"));
        Release();
        commit(*this, QStringLiteral("dorvelt"));
    }
    // The format's cells from (x0, y0) to (x1, y1) as text, one line per row: each pixel by its
    // letter in the legend, '.' for transparent, '?' for any other.
    std::string Cells(int x0, int y0, int x1, int y1, const std::map<ARGB, char>& legend) const
    {
        std::string out;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const ARGB c = Pixel(x, y);
                const auto it = legend.find(c);
                out += it != legend.end() ? it->second : (c >> 24) == 0 ? '.' : '?';
            }
            out += '\n';
        }
        return out;
    }
    void SetPrimary(int a, int r, int g, int b) { SetColour("up", a, r, g, b); }
    void SetSecondary(int a, int r, int g, int b) { SetColour("down", a, r, g, b); }

    ARGB Pixel(int x, int y) const
    {
        ARGB c = 0;
        GdipBitmapGetPixel(FormatImage, x, y, &c);
        return c;
    }
    void SetPixel(int x, int y, ARGB c) { GdipBitmapSetPixel(FormatImage, x, y, c); }
    void Fill(ARGB c) { GdipImageData(FormatImage)->fill(c); }
    QImage Format() const { return GdipImageData(FormatImage)->copy(); }
    // The colour the visible canvas shows in the middle of a cell.
    ARGB ViewPixel(int x, int y) const
    {
        return *iconview->Bitmap()->PixelAddress(x * Zoom + Zoom / 2, y * Zoom + Zoom / 2);
    }
    ARGB BackdropPixel(int x, int y) const
    {
        return *iconviewbg->Bitmap()->PixelAddress(x * Zoom + Zoom / 2, y * Zoom + Zoom / 2);
    }

    QHash<QString, QString> Edits;

private:
    void SetColour(const QString& prefix, int a, int r, int g, int b)
    {
        Edits[prefix + "a"] = QString::number(a);
        Edits[prefix + "r"] = QString::number(r);
        Edits[prefix + "g"] = QString::number(g);
        Edits[prefix + "b"] = QString::number(b);
    }

    std::unique_ptr<TImage> tile_;
    std::unique_ptr<TImage32> view_;
    std::unique_ptr<TImage32> back_;
};
