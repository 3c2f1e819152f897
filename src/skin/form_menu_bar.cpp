#include "skin/form_menu_bar.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/menus.h"
#include "skin/file_theme.h"
#include "skin/menus.h"
#include "skin/theme_lookup.h"
#include "skin/theme_pictures.h"

#include <QFontMetrics>
#include <QCursor>
#include <QMenu>
#include <QPainter>

namespace {

// Padding of a button around its caption (the flat tool bar's auto-sized buttons).
constexpr int ButtonPadding = 8;

QChar AcceleratorOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toUpper();
    }
    return {};
}

void StretchPicture(QPainter& p, const QString& name, const QRect& r)
{
    const TBitmap& bmp = SkinPicture(name);
    if (bmp.Empty())
        return;
    p.drawImage(r, const_cast<TBitmap&>(bmp).ToImage());
}

} // namespace

TsuiFormMenuBar::TsuiFormMenuBar(QWidget* parent) : TCustomControl(parent)
{
    SetControlStyle(ControlStyle() | csOpaque);
    SetFillsBackground(false);
    SetAlign(alTop);
    SetHeight(buttonHeight_);
    UpdateFont();
}

TsuiFormMenuBar::~TsuiFormMenuBar()
{
    if (openMenu_)
        disconnect(openMenu_, nullptr, this, nullptr);
}

void TsuiFormMenuBar::SetMenu(TMainMenu* menu)
{
    menu_ = menu;
    RebuildButtons();
    UpdateFont();
}

void TsuiFormMenuBar::SetStyleSource(TsuiUIStyle style, TsuiFileTheme* fileTheme)
{
    style_ = style;
    fileTheme_ = fileTheme;
    update();
}

void TsuiFormMenuBar::SetButtonHeight(int h)
{
    buttonHeight_ = std::max(1, h);
    Layout();
}

void TsuiFormMenuBar::SetRightReserve(int w)
{
    rightReserve_ = std::max(0, w);
    Layout();
}

void TsuiFormMenuBar::RebuildButtons()
{
    buttons_.clear();
    hot_ = open_ = -1;
    if (menu_) {
        TMenuItem* root = menu_->Items();
        for (int i = 0; i < root->Count(); ++i) {
            TMenuItem* item = root->Items(i);
            if (!item->Visible())
                continue;
            buttons_.push_back({item, item->Caption(), item->Enabled(), {}});
        }
    }
    Layout();
}

void TsuiFormMenuBar::RefreshButtons()
{
    for (Button& b : buttons_)
        if (b.Item) {
            b.Caption = b.Item->Caption();
            b.Enabled = b.Item->Enabled();
        }
    Layout();
}

void TsuiFormMenuBar::UpdateFont()
{
    DrawFont(Font());
    Layout();
}

void TsuiFormMenuBar::DrawFont(TFont* font) const
{
    if (auto* skinned = qobject_cast<TsuiMainMenu*>(menu_.data())) {
        skinned->ItemFont(font);
        if (!skinned->UseSystemFont())
            font->SetColor(skinned->FontColor());
    } else {
        SetSystemMenuFont(font);
    }
}

TsuiUIStyle TsuiFormMenuBar::DrawStyle() const
{
    if (auto* skinned = qobject_cast<TsuiMainMenu*>(menu_.data()))
        return skinned->UIStyle();
    return style_;
}

TsuiFileTheme* TsuiFormMenuBar::DrawFileTheme() const
{
    if (auto* skinned = qobject_cast<TsuiMainMenu*>(menu_.data()))
        return skinned->FileTheme();
    return fileTheme_;
}

void TsuiFormMenuBar::Layout()
{
    const QFontMetrics fm(Font()->ToQFont());
    const int room = std::max(1, Width() - rightReserve_);
    int x = 0, y = 0;
    for (Button& b : buttons_) {
        const int w = fm.horizontalAdvance(StripHotkey(b.Caption)) + 2 * ButtonPadding;
        if (x > 0 && x + w > room) {
            x = 0;
            y += buttonHeight_;
        }
        b.Rect = QRect(x, y, w, buttonHeight_);
        x += w;
    }
    // The bar is as high as its rows.
    const int h = buttons_.empty() ? buttonHeight_ : y + buttonHeight_;
    if (h != Height())
        SetHeight(h);
    update();
}

void TsuiFormMenuBar::Resize()
{
    TCustomControl::Resize();
    Layout();
}

TMenuItem* TsuiFormMenuBar::ButtonItem(int index) const
{
    return index >= 0 && index < ButtonCount() ? buttons_[size_t(index)].Item.data() : nullptr;
}

QString TsuiFormMenuBar::ButtonCaption(int index) const
{
    return index >= 0 && index < ButtonCount() ? buttons_[size_t(index)].Caption : QString();
}

bool TsuiFormMenuBar::ButtonEnabled(int index) const
{
    return index >= 0 && index < ButtonCount() && buttons_[size_t(index)].Enabled;
}

QRect TsuiFormMenuBar::ButtonRect(int index) const
{
    return index >= 0 && index < ButtonCount() ? buttons_[size_t(index)].Rect : QRect();
}

int TsuiFormMenuBar::ButtonAt(const QPoint& p) const
{
    for (int i = 0; i < ButtonCount(); ++i)
        if (buttons_[size_t(i)].Rect.contains(p))
            return i;
    return -1;
}

QMenu* TsuiFormMenuBar::OpenMenu() const { return qobject_cast<QMenu*>(openMenu_.data()); }

void TsuiFormMenuBar::OpenButton(int index)
{
    TMenuItem* item = ButtonItem(index);
    if (!item || !ButtonEnabled(index))
        return;
    if (item->Count() == 0) {
        item->Click();
        return;
    }
    if (QMenu* open = OpenMenu()) {
        disconnect(open, nullptr, this, nullptr);
        open->hide();
    }
    QMenu* menu = item->SubMenu();
    open_ = index;
    openMenu_ = menu;
    connect(menu, &QMenu::aboutToHide, this, [this, menu] {
        if (openMenu_ == menu) {
            open_ = -1;
            openMenu_ = nullptr;
            // The open menu had the mouse, so the bar saw no leave: the pointer may be far away.
            const QPoint p = mapFromGlobal(QCursor::pos());
            hot_ = rect().contains(p) ? ButtonAt(p) : -1;
            update();
        }
    });
    update();
    const QRect r = ButtonRect(index);
    menu->popup(mapToGlobal(QPoint(r.left(), r.bottom() + 1)));
}

bool TsuiFormMenuBar::OpenByAccelerator(QChar c)
{
    c = c.toUpper();
    for (int i = 0; i < ButtonCount(); ++i)
        if (ButtonEnabled(i) && AcceleratorOf(buttons_[size_t(i)].Caption) == c) {
            OpenButton(i);
            return true;
        }
    return false;
}

void TsuiFormMenuBar::MouseMove(TShiftState shift, int x, int y)
{
    const int hot = ButtonAt({x, y});
    if (hot != hot_) {
        hot_ = hot;
        update();
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TsuiFormMenuBar::MouseLeave()
{
    hot_ = -1;
    update();
    TCustomControl::MouseLeave();
}

void TsuiFormMenuBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        OpenButton(ButtonAt({x, y}));
    TCustomControl::MouseDown(button, shift, x, y);
}

void TsuiFormMenuBar::Paint()
{
    const TsuiUIStyle style = DrawStyle();
    TsuiFileTheme* file = DrawFileTheme();
    const bool fromFile = UsesFileTheme(file, style);
    const bool mac = !fromFile && EffectiveThemeStyle(file, style) == MacOS;

    TsuiOffscreen buffer(Width(), Height());
    TCanvas* c = buffer.Canvas();
    QPainter& p = *c->Handle();
    p.fillRect(0, 0, Width(), Height(), ColorToQColor(Color()));
    if (mac)
        StretchPicture(p, QStringLiteral("MACOS_MENU_BAR"), QRect(0, 0, Width(), Height()));

    TFont font;
    DrawFont(&font);
    p.setFont(font.ToQFont());
    const TColor selectedFont = ThemeColor(file, style, ThemeItem::MenuSelectedFontColor);
    TColor normalFont = ThemeColor(file, style, ThemeItem::MenuFontColor);
    if (fromFile && ThemeColor(file, style, ThemeItem::ControlFontColor) == 0x30000)
        normalFont = clWhite;
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    for (int i = 0; i < ButtonCount(); ++i) {
        const Button& b = buttons_[size_t(i)];
        const bool pressed = i == open_;
        const bool hot = b.Enabled && (pressed || i == hot_);
        QRect r = b.Rect;
        if (hot && mac) {
            StretchPicture(p, QStringLiteral("MACOS_MENU_SELECT"), r);
            p.setPen(ColorToQColor(selectedFont));
            p.drawText(r, flags, b.Caption);
        } else if (hot) {
            QRect box = pressed ? r.adjusted(0, 0, -2, 0) : r;
            p.fillRect(box, ColorToQColor(ThemeColor(file, style, ThemeItem::MenuSelectedBackgroundColor)));
            p.setPen(ColorToQColor(ThemeColor(file, style, ThemeItem::MenuSelectedBorderColor)));
            p.drawRect(box.adjusted(0, 0, -1, -1));
            p.setPen(ColorToQColor(selectedFont));
            p.drawText(r.translated(pressed ? 2 : 0, 2), flags, b.Caption);
        } else {
            p.setPen(ColorToQColor(b.Enabled ? normalFont : TColor(0x808080)));
            p.drawText(r.translated(0, 2), flags, b.Caption);
        }
    }
    buffer.CopyTo(Canvas());
}

// ---------------------------------------------------------------------------------------------

TsuiMDIChildButton::TsuiMDIChildButton(QWidget* parent, int frame) : TCustomControl(parent), frame_(frame)
{
    SetControlStyle(ControlStyle() | csOpaque);
    SetFillsBackground(false);
    SetBounds(0, 1, 17, 17);
}

void TsuiMDIChildButton::Paint()
{
    TsuiOffscreen buffer(Width(), Height());
    QPainter& p = *buffer.Canvas()->Handle();
    p.fillRect(0, 0, Width(), Height(), ColorToQColor(Color()));
    TBitmap glyph;
    CutStripFrame(const_cast<TBitmap*>(&SkinPicture(QStringLiteral("MDI_CONTROL_BUTTON"))), &glyph, 3, frame_);
    if (!glyph.Empty()) {
        // A glyph: its bottom-left pixel is the transparent colour.
        QImage img = glyph.ToImage().convertToFormat(QImage::Format_ARGB32);
        const QRgb key = img.pixel(0, img.height() - 1);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) == key)
                    img.setPixel(x, y, 0);
        const int shift = down_ ? 1 : 0;
        p.drawImage((Width() - img.width()) / 2 + shift, (Height() - img.height()) / 2 + shift, img);
    }
    if (hot_ || down_) {
        p.setPen(ColorToQColor(down_ ? clBtnShadow : clBtnHighlight));
        p.drawLine(0, 0, Width() - 1, 0);
        p.drawLine(0, 0, 0, Height() - 1);
        p.setPen(ColorToQColor(down_ ? clBtnHighlight : clBtnShadow));
        p.drawLine(Width() - 1, 0, Width() - 1, Height() - 1);
        p.drawLine(0, Height() - 1, Width() - 1, Height() - 1);
    }
    buffer.CopyTo(Canvas());
}

void TsuiMDIChildButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        down_ = true;
        update();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TsuiMDIChildButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    down_ = false;
    update();
    TCustomControl::MouseUp(button, shift, x, y);
}

void TsuiMDIChildButton::MouseEnter()
{
    hot_ = true;
    update();
    TCustomControl::MouseEnter();
}

void TsuiMDIChildButton::MouseLeave()
{
    hot_ = false;
    update();
    TCustomControl::MouseLeave();
}
