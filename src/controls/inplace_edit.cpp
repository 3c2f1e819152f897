#include "controls/inplace_edit.h"

#include "controls/draw_grid.h"
#include "framework/canvas.h"
#include "framework/string_list.h"

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

// ---- TPopupListbox ---------------------------------------------------------------------------------

TPopupListbox::TPopupListbox(TRxInplaceEdit* editor) : TCustomListBox(nullptr), editor_(editor)
{
    Clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    // A window of its own over everything that never takes the focus from the editor.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    ListWidget()->setFocusPolicy(Qt::NoFocus);
    ListWidget()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetParentFont(false);
    TControl::SetVisible(false);
}

void TPopupListbox::KeyPress(QChar& key)
{
    TCustomListBox::KeyPress(key);
    if (key == QLatin1Char('\b') || key == QChar(27)) {
        searchText_.clear();
        return;
    }
    if (key.unicode() < 32 || key.unicode() > 255)
        return;
    const qint64 now = Clock();
    if (now - lastKeyTime_ > 4000)
        searchText_.clear();
    lastKeyTime_ = now;
    if (searchText_.size() < 32)
        searchText_ += key;
    for (int i = 0; i < Count(); ++i) {
        if (Items()->Strings(i).startsWith(searchText_, Qt::CaseInsensitive)) {
            SetItemIndex(i);
            break;
        }
    }
    key = QChar();
}

void TPopupListbox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomListBox::MouseUp(button, shift, x, y);
    editor_->ListMouseUp(x, y);
}

// ---- TRxInplaceEdit --------------------------------------------------------------------------------

TRxInplaceEdit::TRxInplaceEdit(TRxDrawGrid* grid) : TInplaceEdit(grid)
{
    buttonWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    SetFillsBackground(true);
}

TRxDrawGrid* TRxInplaceEdit::RxGrid() const { return static_cast<TRxDrawGrid*>(Grid()); }

void TRxInplaceEdit::SetAlignment(TAlignment a)
{
    if (a == alignment_)
        return;
    alignment_ = a;
    LineEdit()->setAlignment((a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
}

void TRxInplaceEdit::SetEditStyle(TEditStyle style)
{
    if (style == editStyle_)
        return;
    editStyle_ = style;
    if (style == esPickList) {
        if (!pickList_) {
            pickList_ = new TPopupListbox(this);
            pickList_->setParent(this, pickList_->windowFlags());
            pickList_->SetItemHeight(11);
        }
        activeList_ = pickList_;
    } else {
        activeList_ = nullptr;
    }
    BoundsChanged();
    update();
}

void TRxInplaceEdit::UpdateContents()
{
    TRxDrawGrid* g = RxGrid();
    SetAlignment(g->CellEditAlignment(g->Col(), g->Row()));
    SetEditStyle(g->CellEditStyle(g->Col(), g->Row()));
    // The cell's text is not an edit of the cell.
    TNotifyEvent change = std::move(OnChange);
    OnChange = nullptr;
    try {
        TInplaceEdit::UpdateContents();
    } catch (...) {
        OnChange = std::move(change);
        throw;
    }
    OnChange = std::move(change);
}

TRect TRxInplaceEdit::ButtonRect() const
{
    if (editStyle_ == esSimple)
        return {};
    return Rect(Width() - buttonWidth_, 0, Width(), Height());
}

void TRxInplaceEdit::BoundsChanged()
{
    const int right = editStyle_ == esSimple ? Width() : std::max(Width() - buttonWidth_, 0);
    LineEdit()->setGeometry(0, 0, right, Height());
    LineEdit()->setTextMargins(2, 0, 0, 0);
}

bool TRxInplaceEdit::OverButton(int x, int y) const
{
    const TRect b = ButtonRect();
    return b.Width() > 0 && x >= b.Left && x < b.Right && y >= b.Top && y < b.Bottom;
}

void TRxInplaceEdit::TrackButton(int x, int y)
{
    const bool pressed = OverButton(x, y);
    if (pressed != pressed_) {
        pressed_ = pressed;
        update();
    }
}

void TRxInplaceEdit::StopTracking()
{
    if (!tracking_)
        return;
    TrackButton(-1, -1);
    tracking_ = false;
}

void TRxInplaceEdit::PaintControl()
{
    TInplaceEdit::PaintControl();
    const TRect r = ButtonRect();
    if (r.Width() <= 0)
        return;
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    auto frame = [&](const TRect& f, TColor tl, TColor br) {
        c->Brush()->SetColor(br);
        c->FillRect(Rect(f.Right - 1, f.Top, f.Right, f.Bottom));
        c->FillRect(Rect(f.Left, f.Bottom - 1, f.Right, f.Bottom));
        c->Brush()->SetColor(tl);
        c->FillRect(Rect(f.Left, f.Top, f.Left + 1, f.Bottom - 1));
        c->FillRect(Rect(f.Left, f.Top, f.Right - 1, f.Top + 1));
    };
    if (pressed_) {
        // Pushed flat: one frame in the shadow colour.
        c->Brush()->SetColor(clBtnShadow);
        c->FrameRect(r);
    } else {
        frame(r, cl3DLight, cl3DDkShadow);
        frame(Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), clBtnHighlight, clBtnShadow);
    }
    const int shift = pressed_ ? 1 : 0;
    if (editStyle_ == esEllipsis) {
        const int g = std::clamp((buttonWidth_ - 12) / 2, 1, 3);
        int x = r.Left + (buttonWidth_ - 6 - 2 * g) / 2 + shift;
        const int y = r.Top + (ClientHeight() - 2) / 2 + shift;
        c->Brush()->SetColor(clBlack);
        for (int i = 0; i < 3; ++i, x += g + 2)
            c->FillRect(Rect(x, y, x + 2, y + 2));
    } else {
        // The drop-down arrow, greyed while there is no list to drop.
        const int cx = r.Left + r.Width() / 2 + shift, cy = r.Top + r.Height() / 2 + shift;
        c->Brush()->SetColor(activeList_ ? clBlack : clBtnShadow);
        for (int i = 0; i < 4; ++i)
            c->FillRect(Rect(cx - 3 + i, cy - 2 + i, cx + 4 - i, cy - 1 + i));
    }
}

void TRxInplaceEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && OverButton(x, y)) {
        if (listVisible_) {
            CloseUp(false);
        } else {
            tracking_ = true;
            TrackButton(x, y);
            if (activeList_)
                DropDown();
        }
    }
    TInplaceEdit::MouseDown(button, shift, x, y);
}

void TRxInplaceEdit::MouseMove(TShiftState shift, int x, int y)
{
    if (tracking_) {
        TrackButton(x, y);
        if (listVisible_) {
            const QPoint inList = activeList_->mapFromGlobal(mapToGlobal(QPoint(x, y)));
            if (activeList_->rect().contains(inList)) {
                // Dragging from the button into the list picks as a combo box does.
                StopTracking();
                QWidget* viewport = activeList_->ListWidget()->viewport();
                const QPointF at = viewport->mapFromGlobal(mapToGlobal(QPoint(x, y)));
                QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(viewport, &press);
            }
        }
    }
    setCursor(OverButton(x, y) ? Qt::ArrowCursor : CursorShape(Cursor()));
    TInplaceEdit::MouseMove(shift, x, y);
}

void TRxInplaceEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool wasPressed = pressed_;
    StopTracking();
    if (button == mbLeft && editStyle_ == esEllipsis && wasPressed)
        RxGrid()->EditButtonClicked();
    TInplaceEdit::MouseUp(button, shift, x, y);
}

void TRxInplaceEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (OverButton(p.x(), p.y()))
        return;
    TInplaceEdit::mouseDoubleClickEvent(e);
}

void TRxInplaceEdit::DoExit()
{
    CloseUp(false);
    TInplaceEdit::DoExit();
}

bool TRxInplaceEdit::DropDownKeys(WORD key, TShiftState shift)
{
    if ((key == VK_RETURN || key == VK_ESCAPE) && listVisible_ && !(shift & ssAlt)) {
        CloseUp(key == VK_RETURN);
        return true;
    }
    if ((key == VK_UP || key == VK_DOWN) && (shift & ssAlt)) {
        if (listVisible_)
            CloseUp(true);
        else
            DropDown();
        return true;
    }
    return false;
}

void TRxInplaceEdit::KeyDown(WORD& key, TShiftState shift)
{
    if (editStyle_ == esPickList) {
        if (DropDownKeys(key, shift)) {
            key = 0;
            return;
        }
        if (listVisible_) {
            // Everything else goes to the open list.
            QKeyEvent forward(QEvent::KeyPress, VirtualKeyToQtKey(key), Qt::NoModifier,
                              key >= 'A' && key <= 'Z' ? QString(QChar(key).toLower())
                              : (key >= '0' && key <= '9') || key == VK_SPACE ? QString(QChar(key))
                                                                            : QString());
            QApplication::sendEvent(activeList_->ListWidget(), &forward);
            key = 0;
            return;
        }
    } else if (editStyle_ == esEllipsis && key == VK_RETURN && shift == TShiftState(ssCtrl)) {
        RxGrid()->EditButtonClicked();
        key = 0;
        return;
    }
    TInplaceEdit::KeyDown(key, shift);
}

void TRxInplaceEdit::DropDown()
{
    if (!activeList_ || listVisible_)
        return;
    TPopupListbox* list = activeList_;
    list->SetColor(Color());
    list->Font()->Assign(Font());
    list->Items()->Clear();
    TRxDrawGrid* g = RxGrid();
    g->FillPickList(g->Col(), g->Row(), list->Items());
    const int count = list->Count();
    // A standard list box's rows are as high as its font needs, whatever item height it is
    // given; the list is sized by the rows it really has.
    QListWidget* lw = list->ListWidget();
    const int rowHeight = count > 0 ? std::max(lw->sizeHintForRow(0), 1) : list->ItemHeight();
    const int height = std::min(count, 8) * rowHeight + 4;
    list->SetItemIndex(-1);
    for (int i = 0; i < count; ++i)
        if (list->Items()->Strings(i) == Text()) {
            list->SetItemIndex(i);
            break;
        }
    int width = Width();
    const QFontMetrics fm(list->Font()->ToQFont());
    int textWidth = 0;
    for (int i = 0; i < count; ++i)
        textWidth = std::max(textWidth, fm.horizontalAdvance(list->Items()->Strings(i)) + 8);
    width = std::max(width, textWidth + 4);
    if (count > 8)
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    lw->setVerticalScrollBarPolicy(count > 8 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    QPoint at = mapToGlobal(QPoint(0, Height()));
    const QScreen* screen = this->screen();
    if (screen && at.y() + height > screen->geometry().bottom() + 1)
        at = mapToGlobal(QPoint(0, -height));
    list->setGeometry(at.x(), at.y(), width, height);
    list->TControl::SetVisible(true);
    list->show();
    list->raise();
    listVisible_ = true;
    update();
    if (!LineEdit()->hasFocus())
        LineEdit()->setFocus();
}

void TRxInplaceEdit::CloseUp(bool accept)
{
    if (!listVisible_ || !activeList_)
        return;
    QString taken;
    const bool picked = activeList_->ItemIndex() >= 0;
    if (picked)
        taken = activeList_->Items()->Strings(activeList_->ItemIndex());
    activeList_->TControl::SetVisible(false);
    activeList_->hide();
    listVisible_ = false;
    update();
    if (accept && picked && RxGrid()->CanEditModify()) {
        SetText(taken);
        SetModified(true);
        SelectAll();
    }
}

void TRxInplaceEdit::ListMouseUp(int x, int y)
{
    if (!activeList_)
        return;
    CloseUp(x >= 0 && y >= 0 && x < activeList_->Width() && y < activeList_->Height());
}
