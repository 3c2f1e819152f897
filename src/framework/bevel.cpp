#include "framework/bevel.h"

#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/panel.h"

TBevel::TBevel(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 50, 50); }

void TBevel::Paint()
{
    TCanvas* c = Canvas();
    const TColor c1 = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor c2 = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(color);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    TRect r = ClientRect();
    switch (shape_) {
    case bsBox:
        Frame3D(c, r, c1, c2, 1);
        break;
    case bsFrame:
        // Two nested frames, the inner one offset by a pixel: an etched line.
        r.Right -= 1;
        r.Bottom -= 1;
        Frame3D(c, r, c1, c1, 1);
        r = Rect(1, 1, w, h);
        Frame3D(c, r, c2, c2, 1);
        break;
    case bsTopLine:
        line(c1, 0, 0, w, 0);
        line(c2, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(c1, 0, h - 2, w, h - 2);
        line(c2, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(c1, 0, 0, 0, h);
        line(c2, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(c1, w - 2, 0, w - 2, h);
        line(c2, w - 1, 0, w - 1, h);
        break;
    case bsSpacer:
        break;
    }
}

TShape::TShape(QWidget* parent)
    : TGraphicControl(parent), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>())
{
    SetBounds(0, 0, 65, 65);
    pen_->OnChange = [this](TObject*) { update(); };
    brush_->OnChange = [this](TObject*) { update(); };
}

TShape::~TShape()
{
    pen_->OnChange = nullptr;
    brush_->OnChange = nullptr;
}

void TShape::Paint()
{
    TCanvas* c = Canvas();
    c->Pen()->Assign(pen_.get());
    c->Brush()->Assign(brush_.get());
    const int pw = pen_->Width();
    int x = pw / 2, y = pw / 2;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) {
        w -= 1;
        h -= 1;
    }
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        const int s = std::min(w, h);
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare:
        c->Rectangle(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare:
        c->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4);
        break;
    case stEllipse:
    case stCircle:
        c->Ellipse(x, y, x + w, y + h);
        break;
    }
}

bool TShape::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    const QString n = name.toLower();
    if (n == QLatin1String("pen.color"))
        pen_->SetColor(TColor(reader.IntegerValue(value)));
    else if (n == QLatin1String("pen.width"))
        pen_->SetWidth(int(reader.IntegerValue(value)));
    else if (n == QLatin1String("pen.style")) {
        static const char* const styles[] = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"};
        for (int i = 0; i < 7; ++i)
            if (value.IsIdent(styles[i])) {
                pen_->SetStyle(TPenStyle(i));
                return true;
            }
        reader.Error(QStringLiteral("Invalid property value %1").arg(value.ToText()));
    } else if (n == QLatin1String("brush.color"))
        brush_->SetColor(TColor(reader.IntegerValue(value)));
    else if (n == QLatin1String("brush.style")) {
        static const char* const styles[] = {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};
        for (int i = 0; i < 8; ++i)
            if (value.IsIdent(styles[i])) {
                brush_->SetStyle(TBrushStyle(i));
                return true;
            }
        reader.Error(QStringLiteral("Invalid property value %1").arg(value.ToText()));
    } else
        return TGraphicControl::ReadDefinitionProperty(name, value, reader);
    return true;
}
