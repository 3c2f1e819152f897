#include "framework/forms.h"

#include "framework/application.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/dialogs.h"
#include "framework/menus.h"
#include "framework/modal_scope.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>

TForm::TForm(QWidget* owner) : TWinControl(owner)
{
    setWindowFlag(Qt::Window, true);
    visibleFlag_ = false;
    SetColor(0xFF00000F); // clBtnFace
    Screen->AddForm(this);
    Application->EnsureInstalled();
    ApplyWindowFlags();
}

TForm::~TForm()
{
    destroying_ = true;
    DestroyComponents(this);
    if (modalLoop_)
        modalLoop_->quit();
    Screen->RemoveForm(this);
    if (!mdiFrame_.isNull()) {
        // The sub-window may itself be in the middle of being destroyed (an MDI frame deleted with
        // its children): only its QObject part is certain to be alive, so ask no more of it than
        // a deferred delete, which is dropped if it is already going. It is reached as the form's
        // parent so that nothing treats it as a sub-window any more.
        QObject* frame = parent();
        mdiFrame_.clear();
        if (frame)
            frame->deleteLater();
    }
}

void TForm::LoadDefinition(const QString& resourcePath)
{
    QFile f(resourcePath);
    if (!f.open(QIODevice::ReadOnly))
        throw EResNotFound(QString::fromLatin1(FrameworkText::ResNotFound).arg(resourcePath));
    LoadDefinitionText(f.readAll());
}

void TForm::LoadDefinitionText(const QByteArray& text)
{
    const TDefObject root = ParseDefinition(text);
    BeginLoading();
    DisableAlign();
    try {
        TDefinitionReader reader(this);
        reader.ReadRoot(root);
    } catch (...) {
        EnableAlign();
        EndLoading();
        throw;
    }
    EndLoading();
    EnableAlign();
    RealignAll();
    if (!created_) {
        created_ = true;
        DoCreate();
    }
    if (formStyle_ == fsMDIChild || visibleFlag_)
        Show();
}

void TForm::DoCreate() { Fire(OnCreate, this); }
void TForm::DoShow() { Fire(OnShow, this); }
void TForm::DoHide() { Fire(OnHide, this); }
void TForm::DoClose(TCloseAction& action) { Fire(OnClose, this, action); }
void TForm::Activate() { Fire(OnActivate, this); }
void TForm::Deactivate() { Fire(OnDeactivate, this); }

void TForm::SetBorderStyle(TFormBorderStyle s)
{
    borderStyle_ = s;
    ApplyWindowFlags();
}

void TForm::SetBorderIcons(TBorderIcons i)
{
    borderIcons_ = i;
    ApplyWindowFlags();
}

void TForm::ApplyWindowFlags()
{
    if (formStyle_ == fsMDIChild && mdiFrame_) {
        Qt::WindowFlags f = Qt::SubWindow;
        if (borderStyle_ == bsNone)
            f |= Qt::FramelessWindowHint;
        mdiFrame_->setWindowFlags(f);
        return;
    }
    if (!isWindow())
        return;
    const bool wasVisible = isVisible();
    Qt::WindowFlags f = (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) ? Qt::Tool : Qt::Window;
    if (borderStyle_ == bsNone) {
        f |= Qt::FramelessWindowHint;
    } else {
        f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (borderIcons_ & biSystemMenu) {
            f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            const bool sizeable = borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin;
            if ((borderIcons_ & biMinimize) && borderStyle_ != bsDialog)
                f |= Qt::WindowMinimizeButtonHint;
            if ((borderIcons_ & biMaximize) && sizeable)
                f |= Qt::WindowMaximizeButtonHint;
            if ((borderIcons_ & biHelp) && borderStyle_ == bsDialog)
                f |= Qt::WindowContextHelpButtonHint;
        }
    }
    if (formStyle_ == fsStayOnTop)
        f |= Qt::WindowStaysOnTopHint;
    if (f != windowFlags()) {
        setWindowFlags(f);
        if (wasVisible)
            QWidget::show();
    }
}

void TForm::SetFormStyle(TFormStyle s)
{
    if (s == formStyle_)
        return;
    formStyle_ = s;
    if (s == fsMDIForm && !mdiArea_) {
        mdiArea_ = new QMdiArea(this);
        mdiArea_->setObjectName(QString());
        mdiArea_->setBackground(QColor(0x80, 0x80, 0x80)); // clAppWorkSpace
        mdiArea_->show();
        connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
            // The framework tells the child that lost and the child that won the activation.
            static QPointer<TForm> lastActive;
            TForm* now = w ? qobject_cast<TForm*>(w->widget()) : nullptr;
            if (lastActive == now)
                return;
            if (lastActive)
                lastActive->Deactivate();
            lastActive = now;
            if (now)
                now->Activate();
        });
        Realign();
    }
    ApplyWindowFlags();
}

TWindowState TForm::WindowState() const
{
    QWidget* w = mdiFrame_ ? static_cast<QWidget*>(mdiFrame_) : const_cast<TForm*>(this);
    if (!w->isVisible())
        return windowState_;
    if (w->isMinimized())
        return wsMinimized;
    if (w->isMaximized())
        return wsMaximized;
    return wsNormal;
}

void TForm::SetWindowState(TWindowState s)
{
    windowState_ = s;
    QWidget* w = mdiFrame_ ? static_cast<QWidget*>(mdiFrame_) : this;
    if (!w->isVisible())
        return;
    switch (s) {
    case wsMinimized: w->showMinimized(); break;
    case wsMaximized: w->showMaximized(); break;
    default: w->showNormal(); break;
    }
}

void TForm::SetModalResult(TModalResult r)
{
    modalResult_ = r;
    if (r != mrNone && modalLoop_)
        modalLoop_->quit();
}

TModalResult TForm::ShowModal()
{
    if (visibleFlag_ && isVisible())
        throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
    TModalAboveScope above(this);
    modalResult_ = mrNone;
    TModalResult answer = mrNone;
    if (AnswerModalForm(this, answer)) {
        modalResult_ = answer;
        return answer;
    }
    setWindowModality(Qt::ApplicationModal);
    Show();
    QPointer<TForm> self(this);
    QEventLoop loop;
    modalLoop_ = &loop;
    TModalResult result = mrCancel;
    for (;;) {
        if (modalResult_ == mrNone)
            loop.exec(QEventLoop::DialogExec);
        if (!self)
            return mrCancel;
        if (modalResult_ == mrNone && !isVisible())
            modalResult_ = mrCancel;
        if (modalResult_ != mrNone)
            CloseModal();
        if (!self)
            return result;
        if (modalResult_ != mrNone)
            break;
    }
    result = modalResult_;
    modalLoop_ = nullptr;
    Hide();
    setWindowModality(Qt::NonModal);
    return result;
}

void TForm::CloseModal()
{
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone)
        modalResult_ = mrNone;
    else if (action == caFree)
        Release();
}

void TForm::Show()
{
    SetVisible(true);
    QWidget* w = mdiFrame_ ? static_cast<QWidget*>(mdiFrame_) : this;
    w->raise();
    if (mdiFrame_ && mdiFrame_->mdiArea())
        mdiFrame_->mdiArea()->setActiveSubWindow(mdiFrame_);
    else if (isWindow())
        activateWindow();
}

void TForm::SetVisible(bool v)
{
    visibleFlag_ = v;
    if (Loading())
        return;
    if (v) {
        if (formStyle_ == fsMDIChild)
            AttachToMdiFrame();
        if (!shownOnce_) {
            shownOnce_ = true;
            ApplyPosition();
        }
        QWidget* w = mdiFrame_ ? static_cast<QWidget*>(mdiFrame_) : this;
        if (mdiFrame_)
            QWidget::setVisible(true);
        switch (windowState_) {
        case wsMinimized: w->showMinimized(); break;
        case wsMaximized: w->showMaximized(); break;
        default: w->show(); break;
        }
    } else {
        if (mdiFrame_)
            mdiFrame_->hide();
        else
            QWidget::setVisible(false);
    }
}

void TForm::ApplyPosition()
{
    if (!isWindow() || mdiFrame_)
        return;
    QRect area;
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
        if (QScreen* s = QGuiApplication::primaryScreen())
            area = s->geometry();
        break;
    case poMainFormCenter:
        if (TForm* m = Application->MainForm(); m && m != this)
            area = m->frameGeometry();
        break;
    case poOwnerFormCenter:
        if (QWidget* o = parentWidget())
            area = o->window()->frameGeometry();
        break;
    default:
        break;
    }
    if (area.isValid())
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

TForm* TForm::MdiParentForm() const
{
    TForm* m = Application->MainForm();
    if (m && m->mdiArea_)
        return m;
    for (TForm* f : Screen->FormList())
        if (f->mdiArea_)
            return f;
    return nullptr;
}

void TForm::AttachToMdiFrame()
{
    if (mdiFrame_)
        return;
    TForm* frame = MdiParentForm();
    if (!frame)
        throw EInvalidOperation(QStringLiteral("Cannot create form. No MDI forms are currently active"));
    const QRect designed(x(), y(), width(), height());
    mdiFrame_ = frame->mdiArea_->addSubWindow(this);
    mdiFrame_->setAttribute(Qt::WA_DeleteOnClose, false);
    ApplyWindowFlags();
    const QSize extra = mdiFrame_->sizeHint() - sizeHint();
    mdiFrame_->setGeometry(designed.x(), designed.y(), designed.width() + std::max(0, extra.width()),
                           designed.height() + std::max(0, extra.height()));
    resize(designed.size());
}

QWidget* TForm::MdiFrame() const { return mdiFrame_; }

bool TForm::CloseQuery()
{
    if (formStyle_ == fsMDIForm)
        for (int i = 0; i < MDIChildCount(); ++i)
            if (!MDIChildren(i)->CloseQuery())
                return false;
    bool canClose = true;
    Fire(OnCloseQuery, this, canClose);
    return canClose;
}

void TForm::Close()
{
    if (modalLoop_) {
        SetModalResult(mrCancel);
        return;
    }
    if (closing_)
        return;
    closing_ = true;
    struct Reset {
        QPointer<TForm> f;
        ~Reset()
        {
            if (f)
                f->closing_ = false;
        }
    } reset{this};
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    if (formStyle_ == fsMDIChild)
        action = (borderIcons_ & biMinimize) ? caMinimize : caNone;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: SetVisible(false); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    default: Release(); break;
    }
}

void TForm::Release()
{
    SetVisible(false);
    deleteLater();
}

bool TForm::Active() const
{
    if (mdiFrame_)
        return mdiFrame_->mdiArea() && mdiFrame_->mdiArea()->activeSubWindow() == mdiFrame_;
    return isActiveWindow();
}

void TForm::SetActiveControl(TControl* c)
{
    activeControl_ = c;
    if (c && !Loading() && c->CanFocus())
        c->SetFocus();
}

TMainMenu* TForm::Menu() const { return menu_; }

void TForm::SetMenu(TMainMenu* m)
{
    menu_ = m;
    if (!m) {
        delete menuBar_;
        menuBar_ = nullptr;
    } else {
        if (!menuBar_)
            menuBar_ = new QMenuBar(this);
        m->BuildMenuBar(menuBar_);
        menuBar_->show();
    }
    Realign();
}

int TForm::MDIChildCount() const { return mdiArea_ ? int(mdiArea_->subWindowList().size()) : 0; }

TForm* TForm::MDIChildren(int index) const
{
    if (!mdiArea_)
        return nullptr;
    // The framework lists the most recently activated child first.
    const QList<QMdiSubWindow*> list = mdiArea_->subWindowList(QMdiArea::ActivationHistoryOrder);
    const int n = int(list.size());
    if (index < 0 || index >= n)
        return nullptr;
    return qobject_cast<TForm*>(list[n - 1 - index]->widget());
}

TForm* TForm::ActiveMDIChild() const
{
    if (!mdiArea_)
        return nullptr;
    QMdiSubWindow* w = mdiArea_->activeSubWindow();
    if (!w) {
        const QList<QMdiSubWindow*> list = mdiArea_->subWindowList(QMdiArea::ActivationHistoryOrder);
        if (!list.isEmpty())
            w = list.last();
    }
    return w ? qobject_cast<TForm*>(w->widget()) : nullptr;
}

void TForm::Cascade()
{
    if (mdiArea_)
        mdiArea_->cascadeSubWindows();
}

void TForm::Tile()
{
    if (mdiArea_)
        mdiArea_->tileSubWindows();
}

void TForm::ArrangeIcons() {}

void TForm::Next()
{
    if (mdiArea_)
        mdiArea_->activateNextSubWindow();
}

void TForm::Previous()
{
    if (mdiArea_)
        mdiArea_->activatePreviousSubWindow();
}

bool TForm::DialogKey(WORD key)
{
    const char* prop = key == VK_RETURN ? "Default" : key == VK_ESCAPE ? "Cancel" : nullptr;
    if (!prop)
        return false;
    if (key == VK_RETURN)
        if (TControl* focused = Screen->ActiveControl(); focused && focused->property("Default").isValid()
                                                         && focused->ParentForm() == this) {
            focused->Click();
            return true;
        }
    for (QObject* o : Components()) {
        auto c = qobject_cast<TControl*>(o);
        if (!c || !c->property(prop).toBool() || !c->CanFocus())
            continue;
        c->Click();
        return true;
    }
    return false;
}

QList<QObject*> TForm::Components() const
{
    QList<QObject*> out;
    std::function<void(const QObject*)> walk = [&](const QObject* parent) {
        for (QObject* o : parent->children()) {
            if (qobject_cast<TForm*>(o) || qobject_cast<QMdiSubWindow*>(o) || o == mdiArea_)
                continue;
            if (dynamic_cast<TPersistent*>(o))
                out << o;
            walk(o);
        }
    };
    walk(this);
    return out;
}

QObject* TForm::FindComponent(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    if (QObject* owned = ::FindComponent(this, name))
        return owned;
    for (QObject* o : Components())
        if (o->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return o;
    return nullptr;
}

void TForm::Paint() { Fire(OnPaint, this); }

void TForm::PaintControl()
{
    TWinControl::PaintControl();
    Paint();
}

void TForm::AlignControls(TControl* control, TRect& rect)
{
    if (menuBar_ && menuBar_->isVisibleTo(this)) {
        const int h = menuBar_->sizeHint().height();
        menuBar_->setGeometry(rect.Left, rect.Top, rect.Width(), h);
        rect.Top += h;
    }
    TWinControl::AlignControls(control, rect);
    if (mdiArea_)
        mdiArea_->setGeometry(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
}

bool TForm::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::WindowActivate:
        if (!mdiFrame_)
            Activate();
        break;
    case QEvent::WindowDeactivate:
        if (!mdiFrame_)
            Deactivate();
        break;
    case QEvent::DeferredDelete:
        // Release and deleteLater end here while the window class is still whole.
        Fire(OnDestroy, this);
        break;
    default:
        break;
    }
    return TWinControl::event(e);
}

void TForm::closeEvent(QCloseEvent* e)
{
    e->ignore();
    RunGuarded([this] { Close(); }, this);
}

void TForm::showEvent(QShowEvent* e)
{
    TWinControl::showEvent(e);
    if (!e->spontaneous()) {
        Realign();
        DoShow();
        if (activeControl_ && activeControl_->CanFocus())
            activeControl_->SetFocus();
    }
}

void TForm::hideEvent(QHideEvent* e)
{
    TWinControl::hideEvent(e);
    if (!e->spontaneous())
        DoHide();
}

bool TForm::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    const QString n = name.toLower();
    if (n == QLatin1String("menu")) {
        reader.ResolveReference(value, this, [this](QObject* target) {
            auto m = qobject_cast<TMainMenu*>(target);
            if (!m)
                return false;
            SetMenu(m);
            return true;
        });
        return true;
    }
    // Design-time bookkeeping of the format that has no meaning at run time.
    static const char* const ignored[] = {"oldcreateorder", "pixelsperinch", "textheight", "scaled",
                                          "designsize", "horzscrollbar.visible", "vertscrollbar.visible"};
    for (const char* i : ignored)
        if (n == QLatin1String(i))
            return true;
    return TWinControl::ReadDefinitionProperty(name, value, reader);
}

bool TForm::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnCreate", OnCreate, h, "TObject*")
        || BindEventTo(name, "OnDestroy", OnDestroy, h, "TObject*")
        || BindEventTo(name, "OnShow", OnShow, h, "TObject*")
        || BindEventTo(name, "OnHide", OnHide, h, "TObject*")
        || BindEventTo(name, "OnActivate", OnActivate, h, "TObject*")
        || BindEventTo(name, "OnDeactivate", OnDeactivate, h, "TObject*")
        || BindEventTo(name, "OnPaint", OnPaint, h, "TObject*")
        || BindEventTo(name, "OnClose", OnClose, h, "TObject*,TCloseAction&")
        || BindEventTo(name, "OnCloseQuery", OnCloseQuery, h, "TObject*,bool&")
        || TWinControl::BindEvent(name, h);
}

TForm* FindForm(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    for (TForm* f : Screen->FormList())
        if (f->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

TForm* GetParentForm(QObject* component)
{
    for (QObject* o = component; o; o = o->parent())
        if (auto f = qobject_cast<TForm*>(o))
            return f;
    return nullptr;
}

void TForm::TextChanged()
{
    TWinControl::TextChanged();
    setWindowTitle(Caption());
    if (mdiFrame_)
        mdiFrame_->setWindowTitle(Caption());
}
