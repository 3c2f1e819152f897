#pragma once

// An editor state for tests of the document windows: it keeps what a document writes to the main
// window in plain maps and records the routines it runs, and installs itself while it lives.

#include "document/editor_state.h"
#include "platform/gdip.h"

#include <QHash>
#include <functional>
#include <QMap>
#include <QStringList>

class TTestingEditorState : public TEditorState {
public:
    TTestingEditorState()
    {
        previous_ = EditorState();
        SetEditorState(this);
        Edits = {{"upa", "255"}, {"upr", "0"}, {"upg", "0"}, {"upb", "0"},
                 {"downa", "255"}, {"downr", "255"}, {"downg", "255"}, {"downb", "255"}};
        Bounds[QString()] = ::Bounds(0, 0, 1024, 768);
        Bounds["Panel3"] = ::Bounds(0, 0, 60, 600);
        Bounds["Panel4"] = ::Bounds(800, 0, 200, 600);
        Bounds["Panel17"] = ::Bounds(0, 690, 1024, 30);
        Bounds["CoolBar1"] = ::Bounds(0, 0, 1024, 60);
        Bounds["Imageoo"] = ::Bounds(10, 10, 84, 84);
        for (int n = 1; n <= 24; ++n)
            Bounds["iconbg" + QString::number(n + 3)] = ::Bounds(40 * n, 700, 40, 40);
    }
    ~TTestingEditorState() override
    {
        SetEditorState(previous_);
        GdipDisposeImage(SelectionBuffer);
        if (PasteBuffer != SelectionBuffer)
            GdipDisposeImage(PasteBuffer);
        GdipDisposeImage(FloatingImage);
    }

    QString EditText(const QString& name) const override { return Edits.value(name); }
    void SetEditText(const QString& name, const QString& text) override { Edits[name] = text; }
    void SetLabelText(const QString& name, const QString& text) override { Labels[name] = text; }
    void SetControlEnabled(const QString& name, bool enabled) override { Enabled[name] = enabled; }
    void SetControlVisible(const QString& name, bool visible) override { Visible[name] = visible; }
    void SetMenuChecked(const QString& name, bool checked) override { Checked[name] = checked; }
    void SetControlCaption(const QString& name, const QString& caption) override { Captions[name] = caption; }
    void SetControlHint(const QString& name, const QString& hint) override { Hints[name] = hint; }
    void SetTrackBarPosition(const QString& name, int position) override { TrackBars[name] = position; }
    int TrackBarPosition(const QString& name) const override { return TrackBars.value(name, 255); }
    TRect ControlBounds(const QString& name) const override { return Bounds.value(name); }

    bool HasDocumentTile(int n) const override { return n >= 1 && n <= 24; }
    void SetDocumentTile(int n, const TRect& bounds, const QImage& picture) override
    {
        TileBounds[n] = bounds;
        Tiles[n] = picture;
    }
    void ClearDocumentTile(int n) override { Log << "ClearDocumentTile " + QString::number(n); }
    void SetPreview(const TRect& bounds, const QImage& picture) override
    {
        PreviewBounds = bounds;
        Preview = picture;
    }
    void ClearPreview() override { Log << "ClearPreview"; }
    QImage Picture(const QString& name) const override
    {
        QImage img(name == "bgokbg" ? 76 : 38, name == "bgokbg" ? 76 : 38, QImage::Format_ARGB32);
        img.fill(0xFFFFFFFF);
        return img;
    }

    void ActivateDocument(int number) override { Log << "ActivateDocument " + QString::number(number); }
    void HighlightDocumentTab(int tile) override { Log << "HighlightDocumentTab " + QString::number(tile); }
    void RedrawToolImages() override { Log << "RedrawToolImages"; }
    void SelectToolImage(int n, int group) override
    {
        Log << QStringLiteral("SelectToolImage %1 %2").arg(n).arg(group);
    }
    void RunMainCommand(const QString& handlerName) override
    {
        Log << handlerName;
        if (OnMainCommand)
            OnMainCommand(handlerName);
    }


    QHash<QString, QString> Edits;
    QHash<QString, QString> Labels;
    QHash<QString, bool> Enabled;
    QHash<QString, bool> Visible;
    QHash<QString, bool> Checked;
    QHash<QString, QString> Captions;
    QHash<QString, QString> Hints;
    QHash<QString, int> TrackBars;
    QHash<QString, TRect> Bounds;
    QMap<int, TRect> TileBounds;
    QMap<int, QImage> Tiles;
    TRect PreviewBounds;
    QImage Preview;
    QStringList Log;
    std::function<void(const QString&)> OnMainCommand;

private:
    TEditorState* previous_ = nullptr;
};
