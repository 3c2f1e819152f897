#pragma once

// Forms: the windows of the program. A form is built from its text definition (a Qt resource)
// when it is created, shows modally with a modal result, asks before it closes, and can be an MDI
// frame or an MDI child.

#include "framework/controls.h"

#include <QPointer>

class QEventLoop;
class QMdiArea;
class QMdiSubWindow;
class TMainMenu;
class QMenuBar;

namespace FormTypes {
Q_NAMESPACE
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
Q_ENUM_NS(TFormStyle)
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
Q_ENUM_NS(TPosition)
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
Q_ENUM_NS(TWindowState)
enum TCloseAction { caNone, caHide, caFree, caMinimize };
Q_ENUM_NS(TCloseAction)
enum TBorderIcon { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
Q_DECLARE_FLAGS(TBorderIcons, TBorderIcon)
Q_FLAG_NS(TBorderIcons)
enum TTileMode { tbHorizontal, tbVertical };
Q_ENUM_NS(TTileMode)
} // namespace FormTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(FormTypes::TBorderIcons)
using namespace FormTypes;

using TModalResult = int;
enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(ControlTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(FormTypes::TBorderIcons BorderIcons READ BorderIcons WRITE SetBorderIcons)
    Q_PROPERTY(FormTypes::TFormStyle FormStyle READ FormStyle WRITE SetFormStyle)
    Q_PROPERTY(FormTypes::TPosition Position READ Position WRITE SetPosition)
    Q_PROPERTY(FormTypes::TWindowState WindowState READ WindowState WRITE SetWindowState)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(bool KeyPreview READ KeyPreview WRITE SetKeyPreview)
    Q_PROPERTY(TControl* ActiveControl READ ActiveControl WRITE SetActiveControl)
    Q_PROPERTY(FormTypes::TTileMode TileMode READ TileMode WRITE SetTileMode)
    Q_PROPERTY(bool AutoScroll READ AutoScroll WRITE SetAutoScroll)

public:
    // owner: the form that owns this one (destroyed with it), or nullptr for the application.
    explicit TForm(QWidget* owner = nullptr);
    ~TForm() override;

    // Builds the form from its definition: a Qt resource path (":/document/newiconview.wdf") or
    // text. Components are created and named, properties set, handlers bound to this form's
    // methods; then every component's Loaded hook and the form's OnCreate run.
    void LoadDefinition(const QString& resourcePath);
    void LoadDefinitionText(const QByteArray& text);
    bool Loading() const { return loading_ > 0; }
    // True once the form's destructor has begun: its controls are being taken apart.
    bool Destroying() const { return destroying_; }
    void BeginLoading() { ++loading_; }
    void EndLoading() { --loading_; }

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons i);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle s);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState s);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    bool AutoScroll() const { return false; }
    void SetAutoScroll(bool) {}

    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r);
    // Shows the form modally and returns its modal result. A test seam (dialogs.h) may answer
    // instead of showing.
    TModalResult ShowModal();
    bool Modal() const { return modalLoop_ != nullptr; }

    // Show and bring to front.
    void Show();
    // Asks OnCloseQuery (and every MDI child first), runs OnClose and acts on its action.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the current event is done.
    void Release();
    bool Active() const;

    TControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TControl* c);
    TMainMenu* Menu() const;
    void SetMenu(TMainMenu* m);
    void SetVisible(bool v) override;

    // MDI: the client area of an fsMDIForm, its children and their arrangement.
    QMdiArea* ClientArea() const { return mdiArea_; }
    int MDIChildCount() const;
    TForm* MDIChildren(int index) const;
    TForm* ActiveMDIChild() const;
    TTileMode TileMode() const { return tileMode_; }
    void SetTileMode(TTileMode m) { tileMode_ = m; }
    void Cascade();
    void Tile();
    void ArrangeIcons();
    void Next();
    void Previous();
    // The MDI frame window around an fsMDIChild once it is shown, else nullptr.
    QWidget* MdiFrame() const;

    // Enter runs the default button, Escape the cancel button. Returns true when one ran.
    bool DialogKey(WORD key);

    // Every component on this form (controls at any depth, menus, timers, dialogs), without
    // crossing into other forms.
    QList<QObject*> Components() const;
    int ComponentCount() const { return int(Components().size()); }
    // Component by name, compared without regard to case; nullptr when missing.
    QObject* FindComponent(const QString& name) const;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    // A form's caption is its window title (and its MDI frame's).
    void TextChanged() override;
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();
    void PaintControl() override;
    void AlignControls(TControl* control, TRect& rect) override;

    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void ApplyWindowFlags();
    void ApplyPosition();
    void AttachToMdiFrame();
    void CloseModal();
    TForm* MdiParentForm() const;

    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = TBorderIcons(biSystemMenu) | biMinimize | biMaximize;
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TTileMode tileMode_ = tbHorizontal;
    bool keyPreview_ = false;
    TModalResult modalResult_ = mrNone;
    QEventLoop* modalLoop_ = nullptr;
    QPointer<TControl> activeControl_;
    QPointer<TMainMenu> menu_;
    QMenuBar* menuBar_ = nullptr;
    QMdiArea* mdiArea_ = nullptr;
    QPointer<QMdiSubWindow> mdiFrame_;
    int loading_ = 0;
    bool destroying_ = false;
    bool shownOnce_ = false;
    bool closing_ = false;
    bool created_ = false;
};

// Finds a window by its name among all forms (MDI children included); names compare without
// regard to case. nullptr when there is none.
TForm* FindForm(const QString& name);
// The form a control or component is on.
TForm* GetParentForm(QObject* component);
