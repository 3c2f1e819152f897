#pragma once

// Controls: QWidgets that carry the framework's published properties (Left, Top, Width, Height,
// Align, Anchors, Visible, Enabled, Caption, Color, Font, Hint, ...) as Q_PROPERTYs under those
// names, fire bound handlers (OnClick, OnMouseDown, ...) and are laid out by the framework's own
// alignment rules rather than by Qt layouts.
//
// TControl       any control
// TWinControl    a control that can hold child controls and aligns them
// TGraphicControl a light control that paints on its parent's area and takes no focus
// TCustomControl a container that paints itself through Paint()

#include "framework/cursors.h"
#include "framework/definition_target.h"
#include "framework/graphics.h"
#include "framework/object.h"
#include "framework/types.h"
#include "framework/component.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class QPainter;
class TCanvas;
class TForm;
class TPopupMenu;
class TWinControl;

using WORD = uint16_t;

namespace ControlTypes {
Q_NAMESPACE

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
Q_ENUM_NS(TAlign)

enum TAnchorKind { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
Q_DECLARE_FLAGS(TAnchors, TAnchorKind)
Q_FLAG_NS(TAnchors)

enum TMouseButton { mbLeft, mbRight, mbMiddle };
Q_ENUM_NS(TMouseButton)

enum TShiftStateFlag { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
Q_FLAG_NS(TShiftState)

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

enum TTextLayout { tlTop, tlCenter, tlBottom };
Q_ENUM_NS(TTextLayout)

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TBevelCut)

// Shared by forms (all six) and by controls with a frame (bsNone, bsSingle).
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
Q_ENUM_NS(TFormBorderStyle)

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
Q_ENUM_NS(TScrollStyle)

enum TControlStyleFlag {
    csAcceptsControls = 1,
    csCaptureMouse = 2,
    csClickEvents = 4,
    csDoubleClicks = 8,
    csOpaque = 16,
};
Q_DECLARE_FLAGS(TControlStyle, TControlStyleFlag)

} // namespace ControlTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlTypes::TAnchors)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlTypes::TShiftState)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlTypes::TControlStyle)

using namespace ControlTypes;

using TBorderStyle = TFormBorderStyle;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;

// Minimum and maximum sizes; 0 means no limit.
struct TSizeConstraints {
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
};

class TControl : public QWidget, public TPersistent, public TDefinitionTarget, public TFreeNotify {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
    Q_PROPERTY(ControlTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(uint Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(int HelpContext READ HelpContext WRITE SetHelpContext)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool DoubleBuffered READ DoubleBuffered WRITE SetDoubleBuffered)

public:
    explicit TControl(QWidget* parent = nullptr);
    ~TControl() override;

    QString Name() const { return objectName(); }
    void SetName(const QString& name) { setObjectName(name); }

    // Geometry, relative to the parent's client area.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    virtual void SetClientWidth(int v);
    virtual void SetClientHeight(int v);
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    TPoint ClientToScreen(const TPoint& p) const;
    TPoint ScreenToClient(const TPoint& p) const;
    TSizeConstraints& Constraints() { return constraints_; }
    void SetConstraints(const TSizeConstraints& c);

    TWinControl* Parent() const;
    virtual void SetParent(TWinControl* parent);
    // The form this control lives on (nullptr when it has none yet).
    TForm* ParentForm() const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors a);

    bool Visible() const { return visibleFlag_; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Enabled is the control's own flag; a control inside a disabled parent keeps it.
    bool Enabled() const { return enabledFlag_; }
    virtual void SetEnabled(bool v);

    QString Caption() const { return GetText(); }
    void SetCaption(const QString& v) { SetText(v); }
    QString Text() const { return GetText(); }
    void SetText(const QString& v);

    TColor Color() const { return color_; }
    void SetColor(TColor c);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    // The control's font; changing it (or assigning another) repaints, and children with
    // ParentFont follow.
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* f);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);

    QString Hint() const { return hint_; }
    void SetHint(const QString& h);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);
    int Tag() const { return tag_; }
    void SetTag(int t) { tag_ = t; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int v) { helpContext_ = v; }
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int v);
    bool TabStop() const { return tabStop_; }
    virtual void SetTabStop(bool v);
    bool AutoSize() const { return autoSize_; }
    virtual void SetAutoSize(bool v);
    bool DoubleBuffered() const { return true; } // Qt paints every widget through a back buffer
    void SetDoubleBuffered(bool) {}
    TPopupMenu* PopupMenu() const;
    void SetPopupMenu(TPopupMenu* m);
    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle s);

    bool Focused() const;
    bool CanFocus() const;
    virtual void SetFocus();
    // Controls that cache their picture drop it here, so Repaint and Refresh always show changes.
    virtual void Invalidate() { update(); }
    void Repaint()
    {
        Invalidate();
        repaint();
    }
    void Refresh() { Repaint(); }
    void BringToFront() { raise(); }
    void SendToBack() { lower(); }

    // True while the window this control is on is being built from its definition: handlers do
    // not fire then.
    bool IsLoading() const;
    // Runs once after the definition has set every property of every component.
    Q_INVOKABLE virtual void Loaded();

    // Runs the click behaviour (a button also sets its form's ModalResult). Does not look at
    // Enabled: the command-by-name protocol relies on that for hidden command buttons.
    Q_INVOKABLE virtual void Click();

    // Colour conversions used by painting code: the framework colour of this control as a Qt
    // colour, with system colours resolved.
    QColor QtColor() const;
    QColor QtFontColor() const;

    // The drawing surface of Paint: valid while the control paints (its painter is the paint
    // event's). Outside painting it has no target.
    TCanvas* Canvas();

    // Ownership as the component model has it: the owner (set by the definition reader or
    // InsertComponent) and notifications about components going away.
    QObject* Owner() const { return ComponentOwner(this); }
    void FreeNotification(QObject* component);
    void RemoveFreeNotification(QObject* component);
    void Notification(QObject* AComponent, TOperation Operation) override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseWheelEvent OnMouseWheel;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnResize;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    // Runs a handler unless the window is being built. Exceptions go to the application's
    // handler so that none crosses Qt's event loop.
    template <class F, class... A>
    void Fire(const F& event, A&&... args)
    {
        if (event && !IsLoading())
            FireGuarded([&] { event(std::forward<A>(args)...); });
    }

protected:
    // Dynamic methods of the framework: override to change behaviour, call the base to fire the
    // event.
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyPress(QChar& key);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void Resize();
    virtual void DoEnter();
    virtual void DoExit();
    // Called after Caption/Text changed, after Color and Font changed.
    virtual void TextChanged();
    virtual void ColorChanged();
    virtual void FontChanged();
    virtual void EnabledChanged();
    virtual QString GetText() const { return text_; }
    // Size that AutoSize fits the control to; the default keeps the current size.
    virtual QSize AutoSizeExtent() const { return size(); }
    void AdjustSize();

    // Full key handling: form key preview, OnKeyDown, then OnKeyPress. Returns false when the
    // key was swallowed (Key set to 0) and default processing must not run.
    bool HandleKeyDown(QKeyEvent* e, QChar* ch);
    bool HandleKeyUp(QKeyEvent* e);

    void FireGuarded(const std::function<void()>& fn);

    // An inner Qt widget (line edit, push button, list) that does the native work of a wrapping
    // control: it fills the client area inset by border, and its mouse, key and focus events run
    // this control's handlers.
    void SetInnerWidget(QWidget* inner, int border = 0);
    QWidget* InnerWidget() const { return inner_; }
    void SetInnerBorder(int border);
    int InnerBorder() const { return innerBorder_; }
    void PlaceInner();

    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

    // Painting, with Canvas() active on the paint event: the default fills the client area
    // with Color unless the control is transparent (TGraphicControl) or opaque by itself
    // (csOpaque).
    virtual void PaintControl();
    bool FillsBackground() const { return fillBackground_; }
    void SetFillsBackground(bool v);

    void RequestParentAlign();
    void ParentColorChanged(TColor c);
    void ParentFontChanged(TFont* f);

private:
    friend class TWinControl;
    friend class TLeftPressKeeper;
    friend class TForm;
    friend class TPageControl;
    friend class TToolBar;
    friend class TTabSheet;
    void ApplyConstraints(int& w, int& h) const;
    void ApplyHint();
    void RecordAnchorBase();
    void DoAutoSize();
    void ApplyFont();

    QWidget* inner_ = nullptr;
    QWidget* innerViewport_ = nullptr;
    int innerBorder_ = 0;
    QString text_;
    TAlign align_ = alNone;
    TAnchors anchors_ = TAnchors(akLeft) | akTop;
    bool visibleFlag_ = true;
    bool enabledFlag_ = true;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    std::unique_ptr<TCanvas> canvas_;
    QList<QObject*> watched_;
    QString hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TCursor cursor_ = 0;
    int tag_ = 0;
    int helpContext_ = 0;
    int tabOrder_ = -1;
    bool tabStop_ = false;
    bool autoSize_ = false;
    bool fillBackground_ = false;
    TControlStyle controlStyle_ = TControlStyle(csClickEvents) | csDoubleClicks | csCaptureMouse;
    QObject* popupMenu_ = nullptr;
    TSizeConstraints constraints_;
    bool leftDown_ = false;
    bool innerKeyRouted_ = false;
    const QEvent* innerKeyEvent_ = nullptr;
    bool settingBounds_ = false;
    // Anchor rules: bounds and parent client size when the bounds were last set from outside.
    TRect anchorBounds_;
    QSize anchorParentSize_;
    bool anchorValid_ = false;
};

class TWinControl : public TControl {
    Q_OBJECT
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)

public:
    explicit TWinControl(QWidget* parent = nullptr);

    // Child controls in creation (z) order.
    int ControlCount() const;
    TControl* Controls(int index) const;
    QList<TControl*> ControlList() const;

    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);

    // Alignment is deferred while disabled; the last EnableAlign realigns once.
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();
    void Realign();
    // Realigns this control and then every container inside it.
    void RealignAll();
    bool AlignDisabled() const { return alignDisabled_ > 0; }

    // The rectangle aligned children share: the client rect minus borders and bevels.
    virtual void AdjustClientRect(TRect& rect) const;

protected:
    // Places the aligned children in rect in the framework's order (top, bottom, left, right,
    // client), then moves anchored alNone children with the parent's size.
    virtual void AlignControls(TControl* control, TRect& rect);
    void resizeEvent(QResizeEvent* e) override;
    void childEvent(QChildEvent* e) override;

private:
    friend class TControl;
    void RequestAlign(TControl* control);
    int borderWidth_ = 0;
    int alignDisabled_ = 0;
    bool alignPending_ = false;
    bool aligning_ = false;
};

// A light control painted on its parent's area: no focus, no own background.
class TGraphicControl : public TControl {
    Q_OBJECT
public:
    explicit TGraphicControl(QWidget* parent = nullptr);

protected:
    // Custom painting on Canvas().
    virtual void Paint();
    void PaintControl() override;
};

// A container that paints itself.
class TCustomControl : public TWinControl {
    Q_OBJECT
public:
    explicit TCustomControl(QWidget* parent = nullptr);

protected:
    virtual void Paint();
    void PaintControl() override;
};

// Framework virtual-key codes (VK_RETURN 13, VK_UP 38, 'A' 65, VK_F1 112, ...) from Qt keys, and
// the shift state of a Qt event.
WORD QtKeyToVirtualKey(int qtKey);
int VirtualKeyToQtKey(WORD vk);
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons = Qt::NoButton);


// Framework key codes for handlers.
namespace VirtualKeys {
enum : WORD {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18,
    VK_PAUSE = 19, VK_CAPITAL = 20, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34,
    VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
    VK_INSERT = 45, VK_DELETE = 46, VK_F1 = 112, VK_F12 = 123, VK_ADD = 107, VK_SUBTRACT = 109,
};
}
using namespace VirtualKeys;
