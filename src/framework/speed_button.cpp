#include "framework/speed_button.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/menus.h"
#include "framework/panel.h"
#include "framework/qimage_bridge.h"

#include <QPainter>

TSpeedButton::TSpeedButton(QWidget* parent) : TGraphicControl(parent), glyph_(std::make_unique<TBitmap>())
{
    SetBounds(0, 0, 23, 22);
    SetParentFont(true);
    glyph_->OnChange = [this](TObject*) { update(); };
}

TSpeedButton::~TSpeedButton() { glyph_->OnChange = nullptr; }

void TSpeedButton::SetGlyph(TBitmap* glyph)
{
    glyph_->Assign(glyph);
    const int w = glyph_->Width(), h = glyph_->Height();
    if (h > 0 && w % h == 0)
        numGlyphs_ = std::clamp(w / h, 1, 4);
    update();
}

void TSpeedButton::SetDown(bool v)
{
    if (groupIndex_ == 0)
        v = false;
    if (v == down_)
        return;
    // The last down button of a group stays down unless the group allows all up.
    if (!v && !allowAllUp_)
        return;
    down_ = v;
    if (v)
        if (auto p = Parent())
            for (TControl* c : p->ControlList())
                if (auto b = qobject_cast<TSpeedButton*>(c); b && b != this && b->groupIndex_ == groupIndex_ && b->down_) {
                    b->down_ = false;
                    b->update();
                }
    update();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && Enabled()) {
        pressed_ = true;
        update();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool was = pressed_;
    pressed_ = false;
    if (was && button == mbLeft && rect().contains(x, y) && groupIndex_ != 0)
        SetDown(!down_ || !allowAllUp_ ? true : false);
    update();
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::MouseEnter()
{
    hot_ = true;
    update();
    TGraphicControl::MouseEnter();
}

void TSpeedButton::MouseLeave()
{
    hot_ = false;
    update();
    TGraphicControl::MouseLeave();
}

void TSpeedButton::Paint()
{
    TCanvas* c = Canvas();
    QPainter& p = *c->Handle();
    TRect r = ClientRect();
    const bool sunken = pressed_ || down_;
    if (!transparent_ || !flat_)
        p.fillRect(rect(), ColorToQColor(clBtnFace));
    if (!flat_) {
        Frame3D(c, r, sunken ? clBtnShadow : clBtnHighlight, sunken ? clBtnHighlight : cl3DDkShadow, 1);
        if (!sunken)
            Frame3D(c, r, clBtnFace, clBtnShadow, 1);
    } else if (sunken || (hot_ && Enabled())) {
        Frame3D(c, r, sunken ? clBtnShadow : clBtnHighlight, sunken ? clBtnHighlight : clBtnShadow, 1);
    }
    const int shift = sunken ? 1 : 0;
    // Glyph frame: 1 up, 2 disabled, 3 down, 4 exclusive (down in a group).
    QImage glyph;
    if (!glyph_->Empty()) {
        const int gw = glyph_->Width() / numGlyphs_;
        int frame = 0;
        if (!Enabled() && numGlyphs_ > 1)
            frame = 1;
        else if (pressed_ && numGlyphs_ > 2)
            frame = 2;
        else if (down_ && numGlyphs_ > 3)
            frame = 3;
        glyph = glyph_->ToImage().copy(frame * gw, 0, gw, glyph_->Height()).convertToFormat(QImage::Format_ARGB32);
        const QRgb key = glyph.pixel(0, glyph.height() - 1);
        if (qAlpha(key) == 255)
            for (int y = 0; y < glyph.height(); ++y)
                for (int x = 0; x < glyph.width(); ++x)
                    if (glyph.pixel(x, y) == key)
                        glyph.setPixel(x, y, 0);
    }
    const QString text = Caption();
    p.setFont(Font()->ToQFont());
    const QFontMetrics fm(p.font());
    const int tw = text.isEmpty() ? 0 : fm.horizontalAdvance(StripHotkey(text));
    const int gap = (!glyph.isNull() && !text.isEmpty()) ? spacing_ : 0;
    const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    const int total = horizontal ? glyph.width() + gap + tw : glyph.height() + gap + fm.height();
    int start = margin_ >= 0 ? margin_ : ((horizontal ? Width() : Height()) - total) / 2;
    QPoint gpos, tpos;
    if (horizontal) {
        const bool left = layout_ == blGlyphLeft;
        const int gx = left ? start : start + tw + gap;
        const int tx = left ? start + glyph.width() + gap : start;
        gpos = QPoint(gx, (Height() - glyph.height()) / 2);
        tpos = QPoint(tx, (Height() - fm.height()) / 2);
    } else {
        const bool top = layout_ == blGlyphTop;
        const int gy = top ? start : start + fm.height() + gap;
        const int ty = top ? start + glyph.height() + gap : start;
        gpos = QPoint((Width() - glyph.width()) / 2, gy);
        tpos = QPoint((Width() - tw) / 2, ty);
    }
    if (!glyph.isNull())
        p.drawImage(gpos + QPoint(shift, shift), glyph);
    if (!text.isEmpty()) {
        p.setPen(Enabled() ? QtFontColor() : ColorToQColor(clGrayText));
        p.drawText(QRect(tpos + QPoint(shift, shift), QSize(tw + 2, fm.height())), Qt::TextShowMnemonic, text);
    }
}

bool TSpeedButton::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Glyph"), Qt::CaseInsensitive) == 0) {
        const QString path = reader.AssetPath(reader.StringValue(value));
        QImage img(path);
        if (img.isNull())
            reader.Error(QStringLiteral("Cannot load picture %1").arg(path));
        TBitmap bmp;
        QImageToBitmap(img, bmp);
        SetGlyph(&bmp);
        return true;
    }
    return TGraphicControl::ReadDefinitionProperty(name, value, reader);
}
