#include "skin/controls/button.h"

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/imagelist.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"
#include "skin/theme_pictures.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QTimer>
#include <algorithm>

namespace {

TColor TopLeftColor(TBitmap* bitmap) { return ArgbToColor(bitmap->PixelArgb(0, 0)); }

// Pictures in window definitions name files beside the program or resources.
void LoadPictureFile(const QString& path, TBitmap* bitmap, TDefinitionReader& reader)
{
    const QImage img(path);
    if (img.isNull())
        reader.Error(QStringLiteral("Cannot load picture %1").arg(path));
    QImageToBitmap(img, *bitmap);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TsuiCustomButton

TsuiCustomButton::TsuiCustomButton(QWidget* parent) : TCustomControl(parent)
{
    InstallSkinFontSubstitutes();
    style_ = StartUIStyle(parent);
    // A double click arrives as two clicks; nothing is placed on a button.
    SetControlStyle((ControlStyle() & ~TControlStyle(csAcceptsControls) & ~TControlStyle(csDoubleClicks)) | csOpaque);
    SetFillsBackground(false);
    SetTabStop(true);
    SetText(QString());
}

TsuiCustomButton::~TsuiCustomButton() = default;

void TsuiCustomButton::SetDefault(bool v)
{
    default_ = v;
    update();
}

bool TsuiCustomButton::ActsAsDefault() const
{
    QWidget* focused = QApplication::focusWidget();
    if (qobject_cast<TsuiButton*>(focused))
        return focused == this;
    return default_;
}

void TsuiCustomButton::SetTransparent(bool v)
{
    transparent_ = v;
    ApplyTransparent();
}

void TsuiCustomButton::ApplyTransparent()
{
    pictureTransparent_ = transparent_;
    update();
}

void TsuiCustomButton::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    UIStyleChanged();
    update();
}

void TsuiCustomButton::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme_ != fileTheme) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    SetUIStyle(style_);
}

void TsuiCustomButton::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiCustomButton::SetFocusedRectMargin(int v)
{
    focusedRectMargin_ = v;
    update();
}

void TsuiCustomButton::SetAutoSize(bool v)
{
    TCustomControl::SetAutoSize(v);
    AutoSizeToImage();
    update();
}

void TsuiCustomButton::AutoSizeToImage()
{
    if (AutoSize())
        AdjustSize();
}

QSize TsuiCustomButton::AutoSizeExtent() const
{
    if (!AutoSize())
        return size();
    // The built-in picture of UIStyle itself: FromThemeFile has none and counts as 74 x 21.
    TBitmap image;
    LoadBuiltinThemeImage(style_, ThemeItem::ButtonImage, &image);
    const int h = image.Height() > 0 ? image.Height() : 21;
    const int w = image.Width() > 0 ? image.Width() : 74;
    return {w / 3, h};
}

void TsuiCustomButton::ButtonPicture(TBitmap* picture, int frame)
{
    ThemeImage(fileTheme_, style_, ThemeItem::ButtonImage, picture, 3, frame);
}

void TsuiCustomButton::GetNormalPicture(TBitmap* picture) { ButtonPicture(picture, 1); }
void TsuiCustomButton::GetMouseOverPicture(TBitmap* picture) { ButtonPicture(picture, 2); }
void TsuiCustomButton::GetPressedPicture(TBitmap* picture) { ButtonPicture(picture, 3); }
void TsuiCustomButton::GetDisabledPicture(TBitmap* picture) { ButtonPicture(picture, 1); }

void TsuiCustomButton::Paint()
{
    TBitmap picture;
    try {
        if (!Enabled())
            GetDisabledPicture(&picture);
        else if (pressed_)
            GetPressedPicture(&picture);
        else if (mouseOver_)
            GetMouseOverPicture(&picture);
        else
            GetNormalPicture(&picture);
    } catch (const Exception&) {
        picture.Assign(nullptr);
        picture.SetSize(74, 21);
    }
    picture.SetTransparent(pictureTransparent_);

    TsuiOffscreen buffer(Width(), Height());
    TCanvas* c = buffer.Canvas();
    if (transparent_) {
        PaintParentUnderControl(c, this);
    } else {
        c->Brush()->SetColor(Color());
        c->FillRect(ClientRect());
    }
    DrawPicture(c, &picture);
    if (Focused() && TabStop())
        DrawFocusFrame(c);
    c->Font()->Assign(Font());
    Canvas()->Font()->Assign(Font());
    if (!Caption().trimmed().isEmpty())
        DrawCaption(c);
    buffer.CopyTo(Canvas());
}

void TsuiCustomButton::DrawPicture(TCanvas* canvas, TBitmap* picture)
{
    if (picture->Empty())
        return;
    TImageList list(picture->Width(), picture->Height());
    if (pictureTransparent_)
        list.AddMasked(picture, TopLeftColor(picture));
    else
        list.Add(picture, nullptr);
    list.Draw(canvas, 0, 0, 0, Enabled());
}

void TsuiCustomButton::DrawCenteredCaption(TCanvas* canvas, const TRect& rect, TColor color)
{
    const QString text = Caption();
    const QFontMetrics fm(canvas->Font()->ToQFont());
    // The block is measured with word wrapping inside the rectangle and centred in it; lines
    // break only where the text breaks them.
    const QRect block = fm.boundingRect(QRect(0, 0, rect.Width(), rect.Height()),
                                        Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic, text);
    const int left = rect.Left + (rect.Width() - block.width()) / 2;
    const int top = rect.Top + (rect.Height() - block.height()) / 2;
    canvas->Font()->SetColor(color);
    DrawMnemonicText(canvas, Bounds(left, top, block.width(), block.height()),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextDontClip, text);
}

void TsuiCustomButton::DrawCaption(TCanvas* canvas)
{
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->Assign(Font());
    if (boldCaptionOnce_)
        canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
    const TRect r = ClientRect();
    auto moved = [&] { return Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1); };
    if (!Enabled()) {
        DrawCenteredCaption(canvas, moved(), clWhite);
        DrawCenteredCaption(canvas, r, clGray);
    } else if (pressed_) {
        DrawCenteredCaption(canvas, moved(), Font()->Color());
    } else {
        DrawCenteredCaption(canvas, r, Font()->Color());
    }
    boldCaptionOnce_ = false;
}

void TsuiCustomButton::DrawFocusFrame(TCanvas* canvas)
{
    const int m = focusedRectMargin_;
    canvas->DrawFocusRect(Rect(m, m, ClientWidth() - m, ClientHeight() - m));
}

void TsuiCustomButton::TextChanged()
{
    CaptionChanged();
    UpdateMnemonic();
    TCustomControl::TextChanged();
}

void TsuiCustomButton::UpdateMnemonic()
{
    if (mnemonicId_)
        releaseShortcut(mnemonicId_);
    mnemonicId_ = 0;
    const QKeySequence seq = QKeySequence::mnemonic(Caption());
    if (!seq.isEmpty())
        mnemonicId_ = grabShortcut(seq);
}

void TsuiCustomButton::FontChanged()
{
    TCustomControl::FontChanged();
    update();
}

void TsuiCustomButton::EnabledChanged()
{
    TCustomControl::EnabledChanged();
    update();
}

bool TsuiCustomButton::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut) {
        auto* s = static_cast<QShortcutEvent*>(e);
        if (s->shortcutId() == mnemonicId_) {
            if (Enabled()) {
                if (s->isAmbiguous())
                    SetFocus();
                else
                    RunGuarded([this] { Click(); }, this);
            }
            return true;
        }
    }
    return TCustomControl::event(e);
}

void TsuiCustomButton::StopRepeat()
{
    delete repeatTimer_;
    repeatTimer_ = nullptr;
}

void TsuiCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        pressed_ = true;
        if (!repeatTimer_) {
            repeatTimer_ = new QTimer(this);
            repeatTimer_->setInterval(std::max(repeatInterval_, 0));
            connect(repeatTimer_, &QTimer::timeout, this, [this] { Fire(OnMouseContinuouslyDown, this); });
            repeatTimer_->start();
        }
        if (TabStop() && CanFocus() && !Focused())
            SetFocus();
        update();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TsuiCustomButton::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (x < 0 || x > Width() || y < 0 || y > Height()) {
        // The repeat timer keeps running until the button is let go or the mouse leaves.
        mouseOver_ = false;
        pressed_ = false;
        update();
    }
}

void TsuiCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    // Repeating lasts only while the left button is held, also when it is let go outside.
    if (button == mbLeft)
        StopRepeat();
    TCustomControl::MouseUp(button, shift, x, y);
}

void TsuiCustomButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (ControlStyle() & csDoubleClicks)
        TCustomControl::mouseDoubleClickEvent(e);
    else
        mousePressEvent(e);
}

void TsuiCustomButton::MouseEnter()
{
    mouseOver_ = true;
    update();
    TCustomControl::MouseEnter();
}

void TsuiCustomButton::MouseLeave()
{
    mouseOver_ = false;
    pressed_ = false;
    StopRepeat();
    update();
    TCustomControl::MouseLeave();
    Fire(OnMouseExit, this);
}

void TsuiCustomButton::Click()
{
    if (pressed_) {
        StopRepeat();
        pressed_ = false;
        update();
    }
    if (Parent())
        if (TForm* form = ParentForm())
            form->SetModalResult(modalResult_);
    TCustomControl::Click();
}

void TsuiCustomButton::KeyDown(WORD& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if ((key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled()) {
        pressed_ = true;
        update();
    }
}

void TsuiCustomButton::KeyUp(WORD& key, TShiftState shift)
{
    TCustomControl::KeyUp(key, shift);
    if ((key == VK_SPACE || key == VK_RETURN) && Focused() && pressed_ && Enabled()) {
        pressed_ = false;
        update();
        Click();
    }
}

void TsuiCustomButton::focusInEvent(QFocusEvent* e)
{
    TCustomControl::focusInEvent(e);
    update();
}

void TsuiCustomButton::focusOutEvent(QFocusEvent* e)
{
    TCustomControl::focusOutEvent(e);
    update();
}

bool TsuiCustomButton::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnMouseExit", OnMouseExit, h, "TObject*")
        || BindEventTo(name, "OnMouseContinuouslyDown", OnMouseContinuouslyDown, h, "TObject*")
        || TCustomControl::BindEvent(name, h);
}

// ---------------------------------------------------------------------------------------------
// TsuiButton

TsuiButton::TsuiButton(QWidget* parent) : TsuiCustomButton(parent), glyph_(std::make_unique<TBitmap>())
{
    SetBounds(Left(), Top(), 80, 27);
    UIStyleChanged();
}

TsuiButton::~TsuiButton() = default;

void TsuiButton::SetGlyph(TBitmap* glyph)
{
    if (glyph)
        glyph_->Assign(glyph);
    else
        glyph_->Assign(nullptr);
    update();
}

void TsuiButton::SetLayout(TButtonLayout v)
{
    layout_ = v;
    update();
}

void TsuiButton::SetSpacing(int v)
{
    spacing_ = v;
    update();
}

void TsuiButton::UIStyleChanged()
{
    SetTransparent(ThemeBool(FileTheme(), UIStyle(), ThemeItem::ButtonTransparentBool));
}

void TsuiButton::DrawPicture(TCanvas* canvas, TBitmap* picture)
{
    canvas->Font()->Assign(Font());
    StretchSkinImage(picture, canvas, ClientRect(), PictureTransparent());
    if (glyph_->Empty())
        return;
    int b = glyph_->Width();
    const int h = glyph_->Height();
    const bool twoCells = glyph_->Width() == 2 * h;
    if (twoCells)
        b = h;
    const TSize text = MnemonicTextExtent(canvas->Font(), Caption());
    const int tw = text.cx, th = text.cy, W = Width(), H = Height(), S = spacing_;
    int gx = 0, gy = 0;
    switch (layout_) {
    case blGlyphLeft:
        gx = (W - b - tw - S) / 2;
        gy = (H - h) / 2;
        captionX_ = gx + b + S;
        captionY_ = (H - th) / 2;
        break;
    case blGlyphRight:
        gx = (W + tw + S - b) / 2;
        gy = (H - h) / 2;
        captionX_ = gx - tw - S;
        captionY_ = (H - th) / 2;
        break;
    case blGlyphTop:
        gx = (W - b) / 2;
        gy = (H - th - h - S) / 2;
        captionX_ = (W - tw) / 2;
        captionY_ = gy + h + S;
        break;
    case blGlyphBottom:
        gx = (W - b) / 2;
        gy = (H + th + S - h) / 2;
        captionX_ = (W - tw) / 2;
        captionY_ = gy - th - S;
        break;
    }
    if (Pressed())
        ++gx, ++gy;
    TImageList list(b, h);
    list.AddMasked(glyph_.get(), TopLeftColor(glyph_.get()));
    if (twoCells)
        list.Draw(canvas, gx, gy, Enabled() ? 0 : 1, true);
    else
        list.Draw(canvas, gx, gy, 0, Enabled());
}

void TsuiButton::DrawCaption(TCanvas* canvas)
{
    if (glyph_->Empty()) {
        TsuiCustomButton::DrawCaption(canvas);
        return;
    }
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->Assign(Font());
    int cx = captionX_, cy = captionY_;
    const TRect clip = Rect(0, 0, Width(), Height());
    auto draw = [&](int x, int y, TColor color) {
        canvas->Font()->SetColor(color);
        const TSize e = MnemonicTextExtent(canvas->Font(), Caption());
        TRect r = Bounds(x, y, e.cx + 1, e.cy);
        r.Right = std::min(r.Right, clip.Right);
        r.Bottom = std::min(r.Bottom, clip.Bottom);
        DrawMnemonicText(canvas, r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Caption());
    };
    if (!Enabled()) {
        draw(cx + 1, cy + 1, clWhite);
        draw(cx, cy, clGray);
        return;
    }
    if (Pressed())
        ++cx, ++cy;
    draw(cx, cy, Font()->Color());
}

void TsuiButton::DrawFocusFrame(TCanvas* canvas)
{
    if (UIStyle() == MacOS || UIStyle() == BlueGlass)
        SetBoldCaptionOnce();
    else
        TsuiCustomButton::DrawFocusFrame(canvas);
}

bool TsuiButton::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Glyph"), Qt::CaseInsensitive) == 0) {
        LoadPictureFile(reader.AssetPath(reader.StringValue(value)), glyph_.get(), reader);
        update();
        return true;
    }
    return TsuiCustomButton::ReadDefinitionProperty(name, value, reader);
}

// ---------------------------------------------------------------------------------------------
// TsuiImageButton

TsuiImageButton::TsuiImageButton(QWidget* parent) : TsuiCustomButton(parent)
{
    for (auto& p : pics_)
        p = std::make_unique<TPicture>();
}

TsuiImageButton::~TsuiImageButton() = default;

void TsuiImageButton::SetPic(int index, TPicture* p)
{
    pics_[index]->Assign(p);
    AutoSizeToImage();
    update();
}

void TsuiImageButton::SetStretch(bool v)
{
    stretch_ = v;
    update();
}

void TsuiImageButton::SetDrawFocused(bool v)
{
    drawFocused_ = v;
    update();
}

QSize TsuiImageButton::AutoSizeExtent() const
{
    TGraphic* g = pics_[0]->Graphic();
    if (AutoSize() && Parent() && g && !g->Empty())
        return {g->Width(), g->Height()};
    return size();
}

void TsuiImageButton::CopyPic(int index, TBitmap* picture)
{
    TGraphic* g = pics_[index]->Graphic();
    if (!g || g->Empty())
        g = pics_[0]->Graphic();
    if (!g || g->Empty())
        return;
    if (auto* b = dynamic_cast<TBitmap*>(g)) {
        picture->Assign(b);
        return;
    }
    // Other graphics are drawn onto a bitmap of their size.
    picture->SetSize(g->Width(), g->Height());
    picture->Canvas()->Draw(0, 0, g);
}

void TsuiImageButton::GetNormalPicture(TBitmap* picture) { CopyPic(0, picture); }
void TsuiImageButton::GetMouseOverPicture(TBitmap* picture) { CopyPic(1, picture); }
void TsuiImageButton::GetPressedPicture(TBitmap* picture) { CopyPic(2, picture); }
void TsuiImageButton::GetDisabledPicture(TBitmap* picture) { CopyPic(3, picture); }

void TsuiImageButton::DrawPicture(TCanvas* canvas, TBitmap* picture)
{
    if (picture->Empty())
        return;
    picture->SetTransparentColor(TopLeftColor(picture));
    if (stretch_)
        canvas->StretchDraw(Rect(0, 0, Width(), Height()), picture);
    else
        canvas->Draw(0, 0, picture);
}

void TsuiImageButton::DrawFocusFrame(TCanvas* canvas)
{
    if (drawFocused_)
        TsuiCustomButton::DrawFocusFrame(canvas);
}

bool TsuiImageButton::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    static const char* const names[4] = {"PicNormal", "PicMouseOn", "PicMouseDown", "PicDisabled"};
    for (int i = 0; i < 4; ++i) {
        if (name.compare(QLatin1String(names[i]), Qt::CaseInsensitive) != 0)
            continue;
        TBitmap bitmap;
        LoadPictureFile(reader.AssetPath(reader.StringValue(value)), &bitmap, reader);
        pics_[i]->SetGraphic(&bitmap);
        AutoSizeToImage();
        update();
        return true;
    }
    return TsuiCustomButton::ReadDefinitionProperty(name, value, reader);
}

// ---------------------------------------------------------------------------------------------
// TsuiArrowButton

TsuiArrowButton::TsuiArrowButton(QWidget* parent) : TsuiCustomButton(parent)
{
    UIStyleChanged();
}

void TsuiArrowButton::SetArrow(TsuiArrowButtonType v)
{
    arrow_ = v;
    update();
}

void TsuiArrowButton::UIStyleChanged()
{
    SetTransparent(ThemeBool(FileTheme(), UIStyle(), ThemeItem::ButtonTransparentBool));
}

void TsuiArrowButton::DrawPicture(TCanvas* canvas, TBitmap* picture)
{
    StretchSkinImage(picture, canvas, ClientRect(), PictureTransparent());
    canvas->Pen()->SetColor(clBlack);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Brush()->SetColor(clBlack);
    canvas->Brush()->SetStyle(bsSolid);
    const int x0 = (Width() - 6) / 2, y0 = (Height() - 3) / 2;
    if (arrow_ == suiUp)
        canvas->Polygon({{x0, y0 + 3}, {x0 + 3, y0}, {x0 + 6, y0 + 3}});
    else
        canvas->Polygon({{x0, y0}, {x0 + 3, y0 + 3}, {x0 + 6, y0}});
}

// ---------------------------------------------------------------------------------------------
// TsuiToolBarSpeedButton

TsuiToolBarSpeedButton::TsuiToolBarSpeedButton(QWidget* parent)
    : TCustomPanel(parent), glyph_(std::make_unique<TBitmap>())
{
    SetControlStyle((ControlStyle() & ~TControlStyle(csAcceptsControls)) | csOpaque);
    SetFillsBackground(false);
    SetBevelOuter(bvNone);
    SetBounds(Left(), Top(), 18, 18);
}

TsuiToolBarSpeedButton::~TsuiToolBarSpeedButton() = default;

void TsuiToolBarSpeedButton::SetGlyph(TBitmap* glyph)
{
    glyph_->Assign(glyph);
}

void TsuiToolBarSpeedButton::Paint()
{
    TsuiOffscreen buffer(Width(), Height());
    TCanvas* c = buffer.Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    if (!glyph_->Empty()) {
        if (mouseOver_) {
            c->Brush()->SetColor(clBlack);
            c->FrameRect(ClientRect());
        }
        glyph_->SetTransparent(true);
        c->Draw(1, 1, glyph_.get());
    }
    buffer.CopyTo(Canvas());
}

void TsuiToolBarSpeedButton::MouseEnter()
{
    mouseOver_ = true;
    update();
    TCustomPanel::MouseEnter();
}

void TsuiToolBarSpeedButton::MouseLeave()
{
    mouseOver_ = false;
    update();
    TCustomPanel::MouseLeave();
}
