#include "skin/controls/panel.h"

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/exceptions.h"
#include "framework/picture.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"
#include "skin/theme_pictures.h"

#include <QFontMetrics>
#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TsuiCustomPanel

TsuiCustomPanel::TsuiCustomPanel(QWidget* parent) : TCustomPanel(parent), picture_(std::make_unique<TPicture>())
{
    InstallSkinFontSubstitutes();
    SetControlStyle(ControlStyle() | csOpaque);
    SetFillsBackground(false);
    SetBevelOuter(bvNone);
    SetBevelInner(bvNone);
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TsuiCustomPanel::~TsuiCustomPanel()
{
    picture_->OnChange = nullptr;
}

void TsuiCustomPanel::SetPicture(TPicture* picture)
{
    picture_->Assign(picture);
}

void TsuiCustomPanel::SetTransparent(bool v)
{
    transparent_ = v;
    if (TGraphic* g = picture_->Graphic())
        g->SetTransparent(v);
    update();
}

void TsuiCustomPanel::SetDrawStyle(TsuiDrawStyle v)
{
    drawStyle_ = v;
    FillBackground();
    update();
}

QSize TsuiCustomPanel::AutoSizeExtent() const
{
    TGraphic* g = picture_->Graphic();
    if (!AutoSize() || !g || g->Empty())
        return size();
    switch (Align()) {
    case alNone:
    case alCustom: return {g->Width(), g->Height()};
    case alTop:
    case alBottom: return {Width(), g->Height()};
    case alLeft:
    case alRight: return {g->Width(), Height()};
    default: return size();
    }
}

void TsuiCustomPanel::FillBackground()
{
    // On this platform every paint starts from the panel's colour; a repaint does it.
    if (parentWidget())
        update();
}

void TsuiCustomPanel::PictureChanged()
{
    if (TGraphic* g = picture_->Graphic()) {
        if (AutoSize())
            AdjustSize();
        g->SetTransparent(transparent_);
    }
    FillBackground();
    update();
}

void TsuiCustomPanel::TextChanged()
{
    TextChanged(captionRect_);
    TCustomPanel::TextChanged();
    update();
}

void TsuiCustomPanel::Resize()
{
    TCustomPanel::Resize();
    update();
}

void TsuiCustomPanel::PaintPanel(TCanvas* c)
{
    const TRect client = ClientRect();
    if (transparent_)
        PaintParentUnderControl(c, this);
    TGraphic* g = picture_->Graphic();
    if (g && !g->Empty()) {
        if (drawStyle_ == suiStretch)
            c->StretchDraw(client, g);
        else if (drawStyle_ == suiTile)
            TilePicture(c, g, client);
        else
            c->Draw(0, 0, g);
    } else if (!transparent_) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(client);
    }
    const QString text = Caption();
    if (text.trimmed().isEmpty())
        return;
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    const TSize e = MnemonicTextExtent(Font(), text);
    int x = captionX_, y = captionY_;
    if (x < 0 && y < 0) {
        y = (client.Height() - e.cy) / 2;
        switch (Alignment()) {
        case taLeftJustify: x = 0; break;
        case taRightJustify: x = client.Width() - e.cx; break;
        default: x = (client.Width() - e.cx) / 2; break;
        }
    }
    captionRect_ = Bounds(x, y, e.cx, e.cy);
    DrawMnemonicTextAt(c, x, y, text);
}

void TsuiCustomPanel::Paint()
{
    TsuiOffscreen buffer(Width(), Height());
    PaintPanel(buffer.Canvas());
    buffer.CopyTo(Canvas());
}

bool TsuiCustomPanel::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Picture"), Qt::CaseInsensitive) == 0) {
        const QString path = reader.AssetPath(reader.StringValue(value));
        try {
            picture_->LoadFromFile(path);
        } catch (const Exception& e) {
            reader.Error(QStringLiteral("Cannot load picture %1: %2").arg(path, e.Message()));
        }
        return true;
    }
    return TCustomPanel::ReadDefinitionProperty(name, value, reader);
}

// ---------------------------------------------------------------------------------------------
// TsuiPanel

TsuiPanel::TsuiPanel(QWidget* parent) : TCustomPanel(parent), barPicture_(std::make_unique<TBitmap>())
{
    InstallSkinFontSubstitutes();
    SetControlStyle(ControlStyle() | csOpaque);
    SetFillsBackground(false);
    SetBevelOuter(bvNone);
    style_ = StartUIStyle(parent);
    SetBounds(Left(), Top(), 100, 100);
    SetUIStyle(style_);
}

TsuiPanel::~TsuiPanel() = default;

void TsuiPanel::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme != fileTheme_) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    settingFileTheme_ = true;
    SetUIStyle(style_);
    settingFileTheme_ = false;
}

void TsuiPanel::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        ContainerApplyUIStyle(this, DeepBlue, nullptr);
        SetUIStyle(DeepBlue);
    }
}

void TsuiPanel::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    if (settingFileTheme_ && style != FromThemeFile)
        return;
    SetColor(clWhite);
    barPicture_->Assign(nullptr);
    ThemeImageSafe(fileTheme_, style, ThemeItem::SideChannelBarImage, barPicture_.get());
    borderColor_ = ThemeColor(fileTheme_, style, ThemeItem::ControlBorderColor);
    if (UsesFileTheme(fileTheme_, style)) {
        const TColor c = ThemeColor(fileTheme_, style, ThemeItem::ControlFontColor);
        captionFontColor_ = (c == 0x20000 || c == 0x30000 || c == 0x40000 || c == 0x50000) ? clBlack : clWhite;
    } else {
        captionFontColor_ = style == MacOS ? clBlack : ThemeColor(fileTheme_, style, ThemeItem::MenuSelectedFontColor);
    }
    // One pixel lower and back: the children are placed again under the new caption bar.
    const int h = Height();
    internalResize_ = true;
    TCustomPanel::SetBounds(Left(), Top(), Width(), h - 1);
    TCustomPanel::SetBounds(Left(), Top(), Width(), h);
    internalResize_ = false;
    Realign();
    update();
}

void TsuiPanel::SetBorderColor(TColor c)
{
    borderColor_ = c;
    update();
}

void TsuiPanel::SetShowButton(bool v)
{
    showButton_ = v;
    update();
}

void TsuiPanel::SetCaptionFontColor(TColor c)
{
    captionFontColor_ = c;
    update();
}

void TsuiPanel::SetFullHeight(int h)
{
    fullHeight_ = h;
    if (expanded_)
        SetRealHeight(h);
}

void TsuiPanel::SetRealHeight(int h)
{
    internalResize_ = true;
    TCustomPanel::SetBounds(Left(), Top(), Width(), h);
    internalResize_ = false;
}

void TsuiPanel::SetBounds(int left, int top, int width, int height)
{
    if (!internalResize_ && !animating_ && height != Height()) {
        // A new height from outside is the full height; a collapsed panel keeps its own.
        fullHeight_ = height;
        if (!expanded_)
            height = Height();
    }
    TCustomPanel::SetBounds(left, top, width, height);
}

int TsuiPanel::BarHeight() const { return barPicture_->Empty() ? 0 : barPicture_->Height(); }

void TsuiPanel::AdjustClientRect(TRect& rect) const
{
    rect.Left += 3;
    rect.Right -= 3;
    rect.Bottom -= 3;
    rect.Top += BarHeight() + 3;
}

bool TsuiPanel::ButtonShown() const
{
    return showButton_ && Align() != alClient && Align() != alLeft && Align() != alRight;
}

TRect TsuiPanel::ButtonRect() const
{
    if (!ButtonShown())
        return {};
    const TBitmap& strip = SkinPicture(QStringLiteral("PANEL_BUTTON"));
    const int fw = strip.Empty() ? 0 : const_cast<TBitmap&>(strip).Width() / 4;
    const int fh = strip.Empty() ? 0 : const_cast<TBitmap&>(strip).Height();
    const int barRight = Width() - 1;
    return Bounds(barRight - fw - 4, (BarHeight() - fh) / 2, fw, fh);
}

void TsuiPanel::Paint()
{
    TsuiOffscreen buffer(Width(), std::max(Height(), 1));
    TCanvas* c = buffer.Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->Pen()->SetColor(borderColor_);
    c->Pen()->SetStyle(psSolid);
    c->Rectangle(ClientRect());
    const int barH = BarHeight();
    if (barH > 0)
        c->StretchDraw(Rect(1, 0, Width() - 1, barH), barPicture_.get());
    c->Font()->Assign(Font());
    c->Font()->SetColor(captionFontColor_);
    c->Brush()->SetStyle(bsClear);
    const QFontMetrics fm(Font()->ToQFont());
    DrawMnemonicTextAt(c, 10, (barH - fm.height()) / 2, Caption());
    if (ButtonShown()) {
        TBitmap strip;
        strip.Assign(const_cast<TBitmap*>(&SkinPicture(QStringLiteral("PANEL_BUTTON"))));
        if (!strip.Empty()) {
            const TRect hit = ButtonRect();
            const int frame = (expanded_ ? 1 : 3) + (buttonHot_ ? 1 : 0);
            TBitmap picture;
            CutStripFrame(&strip, &picture, 4, frame);
            c->Draw(Width() - picture.Width() - 4, hit.Top / 2 + 2, &picture);
        }
    }
    buffer.CopyTo(Canvas());
}

void TsuiPanel::MouseMove(TShiftState shift, int x, int y)
{
    TCustomPanel::MouseMove(shift, x, y);
    if (y > BarHeight())
        return;
    const bool hot = ButtonShown() && PtInRect(ButtonRect(), {x, y});
    if (hot != buttonHot_) {
        buttonHot_ = hot;
        update(QRect(Width() - 30, 0, 30, std::max(BarHeight(), 1)));
    }
}

void TsuiPanel::MouseLeave()
{
    TCustomPanel::MouseLeave();
    if (buttonHot_) {
        buttonHot_ = false;
        update();
    }
}

void TsuiPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPanel::MouseUp(button, shift, x, y);
    buttonHot_ = ButtonShown() && PtInRect(ButtonRect(), {x, y});
    // A click while the panel moves is not a second push or pop.
    if (button != mbLeft || !buttonHot_ || animating_)
        return;
    if (expanded_)
        Push();
    else
        Pop();
    update();
}

void TsuiPanel::Push()
{
    if (Align() == alClient || Align() == alLeft || Align() == alRight)
        throw Exception(QString::fromLatin1(CannotPushPanelText));
    if (animating_)
        return;
    const int target = barPicture_->Empty() ? 20 : barPicture_->Height();
    animating_ = true;
    while (target < Height() - 15) {
        SetRealHeight(Height() - 15);
        repaint();
        Application->ProcessMessages();
    }
    SetRealHeight(target);
    animating_ = false;
    expanded_ = false;
    update();
    Fire(OnPush, this);
}

void TsuiPanel::Pop()
{
    if (animating_)
        return;
    animating_ = true;
    while (Height() + 15 < fullHeight_) {
        SetRealHeight(Height() + 15);
        repaint();
        Application->ProcessMessages();
    }
    SetRealHeight(fullHeight_);
    animating_ = false;
    expanded_ = true;
    update();
    Fire(OnPop, this);
}

bool TsuiPanel::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnPush", OnPush, h, "TObject*") || BindEventTo(name, "OnPop", OnPop, h, "TObject*")
        || TCustomPanel::BindEvent(name, h);
}
