#include "framework/tool_bar.h"

#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/imagelist.h"
#include "framework/menus.h"
#include "framework/panel.h"

#include <QFontMetrics>
#include <QPainter>

// ---- TToolButton

TToolButton::TToolButton(QWidget* parent) : TGraphicControl(parent)
{
    SetBounds(0, 0, 23, 22);
    SetParentFont(true);
}

TToolBar* TToolButton::ToolBar() const { return qobject_cast<TToolBar*>(parentWidget()); }

void TToolButton::SetStyle(TToolButtonStyle s)
{
    style_ = s;
    if (IsSeparator() && Width() == 23)
        SetWidth(8);
    if (auto bar = ToolBar())
        bar->Realign();
    update();
}

void TToolButton::SetWrap(bool v)
{
    wrap_ = v;
    if (auto bar = ToolBar())
        bar->Realign();
}

void TToolButton::SetDown(bool v)
{
    if (v == down_)
        return;
    down_ = v;
    // A grouped check button that goes down releases the others of its group: the adjacent
    // grouped check buttons.
    if (v && grouped_ && style_ == tbsCheck)
        if (TToolBar* bar = ToolBar()) {
            const int n = bar->ButtonCount();
            int me = -1;
            for (int i = 0; i < n; ++i)
                if (bar->Buttons(i) == this)
                    me = i;
            for (int dir : {-1, 1})
                for (int i = me + dir; i >= 0 && i < n; i += dir) {
                    TToolButton* b = bar->Buttons(i);
                    if (!b->grouped_ || b->style_ != tbsCheck)
                        break;
                    if (b->down_) {
                        b->down_ = false;
                        b->update();
                    }
                }
        }
    update();
}

void TToolButton::SetMenuItem(TMenuItem* item)
{
    menuItem_ = item;
    if (item) {
        SetCaption(item->Caption());
        SetEnabled(item->Enabled());
        SetImageIndex(item->ImageIndex());
        SetHint(item->Hint());
    }
}

TPopupMenu* TToolButton::DropdownMenu() const { return qobject_cast<TPopupMenu*>(dropdownMenu_); }
void TToolButton::SetDropdownMenu(TPopupMenu* menu) { dropdownMenu_ = menu; }

void TToolButton::Click()
{
    if (style_ == tbsCheck) {
        if (!down_)
            SetDown(true);
        else if (!grouped_ || allowAllUp_)
            SetDown(false);
    }
    if (menuItem_ && !OnClick)
        menuItem_->Click();
    else
        TGraphicControl::Click();
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && Enabled() && !IsSeparator()) {
        pressed_ = true;
        update();
        if (style_ == tbsDropDown && x >= Width() - 12)
            if (TPopupMenu* m = DropdownMenu()) {
                const TPoint p = ClientToScreen(Point(0, Height()));
                m->SetPopupComponent(this);
                m->Popup(p.X, p.Y);
            }
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    pressed_ = false;
    update();
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TToolButton::MouseEnter()
{
    hot_ = true;
    update();
    TGraphicControl::MouseEnter();
}

void TToolButton::MouseLeave()
{
    hot_ = false;
    update();
    TGraphicControl::MouseLeave();
}

void TToolButton::Paint()
{
    TCanvas* c = Canvas();
    QPainter& p = *c->Handle();
    TToolBar* bar = ToolBar();
    TRect r = ClientRect();
    if (style_ == tbsDivider) {
        const int x = Width() / 2 - 1;
        c->Pen()->SetColor(clBtnShadow);
        c->MoveTo(x, 0);
        c->LineTo(x, Height());
        c->Pen()->SetColor(clBtnHighlight);
        c->MoveTo(x + 1, 0);
        c->LineTo(x + 1, Height());
        return;
    }
    if (style_ == tbsSeparator)
        return;
    const bool flat = bar && bar->Flat();
    const bool sunken = pressed_ || down_;
    if (sunken)
        Frame3D(c, r, clBtnShadow, clBtnHighlight, 1);
    else if (!flat || (hot_ && Enabled()))
        Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
    const int shift = sunken ? 1 : 0;
    TImageList* images = bar ? bar->Images() : nullptr;
    if (bar && hot_ && bar->HotImages())
        images = bar->HotImages();
    if (bar && !Enabled() && bar->DisabledImages())
        images = bar->DisabledImages();
    const bool showCaption = bar && bar->ShowCaptions() && !Caption().isEmpty();
    const QFont f = Font()->ToQFont();
    const int textH = showCaption ? QFontMetrics(f).height() : 0;
    int imgW = 0, imgH = 0;
    if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
        imgW = images->Width();
        imgH = images->Height();
    }
    const int arrow = style_ == tbsDropDown ? 12 : 0;
    const int area = Width() - arrow;
    if (imgW > 0) {
        const bool list = bar && bar->List();
        const int x = list && showCaption ? 4 : (area - imgW) / 2;
        const int y = list || !showCaption ? (Height() - imgH) / 2 : (Height() - imgH - textH) / 2;
        images->Draw(c, x + shift, y + shift, imageIndex_, Enabled() || (bar && bar->DisabledImages()));
    }
    if (showCaption) {
        p.setFont(f);
        p.setPen(Enabled() ? QtFontColor() : ColorToQColor(clGrayText));
        const bool list = bar && bar->List();
        QRect tr = list ? QRect(imgW + 8, 0, area - imgW - 8, Height())
                        : QRect(0, (Height() - imgH - textH) / 2 + imgH, area, textH);
        p.drawText(tr.translated(shift, shift), Qt::AlignCenter | Qt::TextShowMnemonic, Caption());
    }
    if (arrow) {
        const int ax = Width() - arrow + 3, ay = Height() / 2 - 1;
        p.setPen(Qt::NoPen);
        p.setBrush(QtFontColor());
        const QPoint tri[3] = {QPoint(ax, ay), QPoint(ax + 6, ay), QPoint(ax + 3, ay + 3)};
        p.drawPolygon(tri, 3);
    }
}

bool TToolButton::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("MenuItem"), Qt::CaseInsensitive) == 0) {
        reader.ResolveReference(value, this, [this](QObject* t) {
            auto item = qobject_cast<TMenuItem*>(t);
            if (item)
                SetMenuItem(item);
            return item != nullptr;
        });
        return true;
    }
    if (name.compare(QLatin1String("DropdownMenu"), Qt::CaseInsensitive) == 0) {
        reader.ResolveReference(value, this, [this](QObject* t) {
            auto m = qobject_cast<TPopupMenu*>(t);
            if (m)
                SetDropdownMenu(m);
            return m != nullptr;
        });
        return true;
    }
    return TGraphicControl::ReadDefinitionProperty(name, value, reader);
}

// ---- TToolBar

TToolBar::TToolBar(QWidget* parent) : TWinControl(parent)
{
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
    SetParentFont(true);
}

void TToolBar::SetButtonWidth(int v)
{
    buttonWidth_ = std::max(1, v);
    Realign();
}

void TToolBar::SetButtonHeight(int v)
{
    buttonHeight_ = std::max(1, v);
    Realign();
}

void TToolBar::SetShowCaptions(bool v)
{
    showCaptions_ = v;
    Realign();
    update();
}

void TToolBar::SetList(bool v)
{
    list_ = v;
    Realign();
    update();
}

void TToolBar::SetWrapable(bool v)
{
    wrapable_ = v;
    Realign();
}

void TToolBar::SetIndent(int v)
{
    indent_ = std::max(0, v);
    Realign();
}

void TToolBar::SetEdgeBorders(TEdgeBorders e)
{
    edgeBorders_ = e;
    Realign();
    update();
}

TImageList* TToolBar::Images() const { return qobject_cast<TImageList*>(images_); }
void TToolBar::SetImages(TImageList* list) { images_ = list; update(); }
TImageList* TToolBar::HotImages() const { return qobject_cast<TImageList*>(hotImages_); }
void TToolBar::SetHotImages(TImageList* list) { hotImages_ = list; update(); }
TImageList* TToolBar::DisabledImages() const { return qobject_cast<TImageList*>(disabledImages_); }
void TToolBar::SetDisabledImages(TImageList* list) { disabledImages_ = list; update(); }

QList<TControl*> TToolBar::OrderedControls() const
{
    QList<TControl*> list = ControlList();
    // Buttons keep the order of their positions, row by row.
    std::stable_sort(list.begin(), list.end(), [](TControl* a, TControl* b) {
        if (a->Top() / 8 != b->Top() / 8 && std::abs(a->Top() - b->Top()) > 4)
            return a->Top() < b->Top();
        return a->Left() < b->Left();
    });
    return list;
}

int TToolBar::ButtonCount() const
{
    int n = 0;
    for (TControl* c : OrderedControls())
        if (qobject_cast<TToolButton*>(c))
            ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int index) const
{
    int n = 0;
    for (TControl* c : OrderedControls())
        if (auto b = qobject_cast<TToolButton*>(c)) {
            if (n == index)
                return b;
            ++n;
        }
    return nullptr;
}

void TToolBar::AdjustClientRect(TRect& rect) const
{
    TWinControl::AdjustClientRect(rect);
    if (edgeBorders_ & ebLeft)
        rect.Left += 2;
    if (edgeBorders_ & ebTop)
        rect.Top += 2;
    if (edgeBorders_ & ebRight)
        rect.Right -= 2;
    if (edgeBorders_ & ebBottom)
        rect.Bottom -= 2;
}

void TToolBar::AlignControls(TControl*, TRect& rect)
{
    int x = rect.Left + indent_, y = rect.Top;
    int bw = buttonWidth_, bh = buttonHeight_;
    if (showCaptions_) {
        const QFontMetrics fm(Font()->ToQFont());
        for (TControl* c : ControlList())
            if (auto b = qobject_cast<TToolButton*>(c); b && !b->IsSeparator())
                bw = std::max(bw, fm.horizontalAdvance(StripHotkey(b->Caption())) + (list_ ? 30 : 10));
    }
    const int rowHeight = bh;
    auto place = [](TControl* c, int l, int t, int w, int h) {
        c->settingBounds_ = true;
        c->SetBounds(l, t, w, h);
        c->settingBounds_ = false;
    };
    for (TControl* c : OrderedControls()) {
        if (!c->Visible())
            continue;
        auto b = qobject_cast<TToolButton*>(c);
        int w = c->Width();
        int h = c->Height();
        if (b) {
            w = b->IsSeparator() ? b->Width() : bw + (b->Style() == tbsDropDown ? 12 : 0);
            h = bh;
        }
        if (wrapable_ && x > rect.Left + indent_ && x + w > rect.Right) {
            x = rect.Left + indent_;
            y += rowHeight;
        }
        place(c, x, y, w, b ? h : std::min(h, rowHeight));
        x += w;
        if (b && b->Wrap()) {
            x = rect.Left + indent_;
            y += rowHeight;
        }
    }
}

void TToolBar::PaintControl()
{
    if (!transparent_)
        TWinControl::PaintControl();
    TCanvas* c = Canvas();
    if (edgeBorders_ & ebTop) {
        c->Pen()->SetColor(clBtnShadow);
        c->MoveTo(0, 0);
        c->LineTo(Width(), 0);
        c->Pen()->SetColor(clBtnHighlight);
        c->MoveTo(0, 1);
        c->LineTo(Width(), 1);
    }
    if (edgeBorders_ & ebBottom) {
        c->Pen()->SetColor(clBtnShadow);
        c->MoveTo(0, Height() - 2);
        c->LineTo(Width(), Height() - 2);
        c->Pen()->SetColor(clBtnHighlight);
        c->MoveTo(0, Height() - 1);
        c->LineTo(Width(), Height() - 1);
    }
}

bool TToolBar::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    const QString n = name.toLower();
    QPointer<QObject>* slot = n == QLatin1String("images") ? &images_
                              : n == QLatin1String("hotimages") ? &hotImages_
                              : n == QLatin1String("disabledimages") ? &disabledImages_
                                                                     : nullptr;
    if (slot) {
        reader.ResolveReference(value, this, [this, slot](QObject* t) {
            if (!qobject_cast<TImageList*>(t))
                return false;
            *slot = t;
            update();
            return true;
        });
        return true;
    }
    return TWinControl::ReadDefinitionProperty(name, value, reader);
}
