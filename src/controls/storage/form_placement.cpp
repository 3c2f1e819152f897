#include "controls/storage/form_placement.h"

#include "controls/storage/placement_store.h"
#include "framework/application.h"
#include "framework/forms.h"
#include "framework/ini_file.h"
#include "framework/registry.h"

#include <QEvent>
#include <algorithm>

// --- TWinMinMaxInfo ----------------------------------------------------------------------------

TWinMinMaxInfo::TWinMinMaxInfo(TFormPlacement* owner) : owner_(owner) {}

void TWinMinMaxInfo::SetValue(int index, int value)
{
    if (values_[index] == value)
        return;
    values_[index] = value;
    if (owner_)
        owner_->SizeLimitsChanged();
}

bool TWinMinMaxInfo::IsEmpty() const
{
    return std::all_of(std::begin(values_), std::end(values_), [](int v) { return v == 0; });
}

void TWinMinMaxInfo::Assign(TPersistent* source)
{
    if (auto other = dynamic_cast<TWinMinMaxInfo*>(source)) {
        std::copy(std::begin(other->values_), std::end(other->values_), std::begin(values_));
        if (owner_)
            owner_->SizeLimitsChanged();
        return;
    }
    TPersistent::Assign(source);
}

// --- size limits -------------------------------------------------------------------------------

// The form's size limits as widget properties: with PreventResize the size it has while it is
// shown, otherwise the tracking limits of MinMaxInfo. The form's own limits come back when the
// hook is released or the limit is lifted.
class TFormPlacement::SizeHook : public QObject {
public:
    SizeHook(TFormPlacement* placement, TForm* form)
        : placement_(placement), form_(form), ownMin_(form->minimumSize()), ownMax_(form->maximumSize())
    {
        form->installEventFilter(this);
    }
    ~SizeHook() override
    {
        if (form_) {
            form_->removeEventFilter(this);
            form_->setMinimumSize(ownMin_);
            form_->setMaximumSize(ownMax_);
        }
    }
    TForm* Form() const { return form_; }

    void Apply()
    {
        if (!form_)
            return;
        QSize lo = ownMin_;
        QSize hi = ownMax_;
        if (placement_->PreventResize()) {
            // Fixed only while shown, so that the stored size can still be given on showing.
            if (form_->isVisible())
                lo = hi = form_->size();
        } else {
            const TWinMinMaxInfo* mm = placement_->MinMaxInfo();
            if (mm->MinTrackWidth() > 0)
                lo.setWidth(mm->MinTrackWidth());
            if (mm->MinTrackHeight() > 0)
                lo.setHeight(mm->MinTrackHeight());
            if (mm->MaxTrackWidth() > 0)
                hi.setWidth(mm->MaxTrackWidth());
            if (mm->MaxTrackHeight() > 0)
                hi.setHeight(mm->MaxTrackHeight());
        }
        form_->setMinimumSize(lo);
        form_->setMaximumSize(hi.expandedTo(lo));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // ShowToParent comes after the form's show handling, where the stored size is restored.
        if (watched == form_ && (e->type() == QEvent::ShowToParent || e->type() == QEvent::Hide))
            Apply();
        return false;
    }

private:
    TFormPlacement* placement_;
    QPointer<TForm> form_;
    QSize ownMin_;
    QSize ownMax_;
};

// --- TFormPlacement ----------------------------------------------------------------------------

TFormPlacement::TFormPlacement(QObject* AOwner)
    : TComponent(AOwner), minMaxInfo_(std::make_unique<TWinMinMaxInfo>(this))
{
    // The window-definition loader creates components first and gives them their form after.
    if (!AOwner || qobject_cast<TForm*>(AOwner))
        options_ = TPlacementOptions(fpState) | fpPosition;
}

TFormPlacement::~TFormPlacement()
{
    CloseStore();
    for (TIniLink* link : links_)
        link->store_ = nullptr;
    links_.clear();
    sizeHook_.reset();
    UnhookFormEvents();
    minMaxInfo_.reset();
}

TForm* TFormPlacement::Form() const
{
    return qobject_cast<TForm*>(Owner());
}

bool TFormPlacement::IsLoading() const
{
    if (ComponentState() & csLoading)
        return true;
    TForm* form = Form();
    return form && form->Loading();
}

QString TFormPlacement::IniSectionInUse() const
{
    return iniSection_.isEmpty() ? DefaultStorageSection(Owner()) : iniSection_;
}

void TFormPlacement::SetPreventResize(bool v)
{
    if (!Form() || v == preventResize_)
        return;
    preventResize_ = v;
    AdjustMaximizedPosition();
    ApplyPreventResize();
}

void TFormPlacement::Loaded()
{
    TComponent::Loaded();
    if (ComponentState() & csDesigning)
        return;
    HookFormEvents();
    UpdateWindowHook();
}

void TFormPlacement::HookFormEvents()
{
    TForm* form = Form();
    if (!form || hooked_)
        return;
    hooked_ = true;
    hookedForm_ = form;
    saveShow_ = form->OnShow;
    saveCloseQuery_ = form->OnCloseQuery;
    saveDestroy_ = form->OnDestroy;
    QPointer<TFormPlacement> self(this);
    form->OnShow = [self](TObject* sender) {
        if (self)
            self->FormShown(sender);
    };
    form->OnCloseQuery = [self](TObject* sender, bool& canClose) {
        if (self)
            self->FormClosing(sender, canClose);
    };
    form->OnDestroy = [self](TObject* sender) {
        if (self)
            self->FormDestroying(sender);
    };
    if (!maximizeTaken_)
        defaultMaximize_ = form->BorderIcons().testFlag(biMaximize);
    if (preventResize_)
        ApplyPreventResize();
}

void TFormPlacement::UnhookFormEvents()
{
    if (!hooked_)
        return;
    hooked_ = false;
    if (TForm* form = hookedForm_) {
        form->OnShow = saveShow_;
        form->OnCloseQuery = saveCloseQuery_;
        form->OnDestroy = saveDestroy_;
    }
    saveShow_ = nullptr;
    saveCloseQuery_ = nullptr;
    saveDestroy_ = nullptr;
}

void TFormPlacement::FormShown(TObject* sender)
{
    if (active_)
        RunGuarded([this] { RestoreFromStore(); }, this);
    if (saveShow_)
        saveShow_(sender);
}

void TFormPlacement::FormClosing(TObject* sender, bool& canClose)
{
    if (saveCloseQuery_)
        saveCloseQuery_(sender, canClose);
    if (canClose && active_ && Form())
        RunGuarded([this] { SaveToStore(); }, this);
}

void TFormPlacement::FormDestroying(TObject* sender)
{
    if (active_ && !saved_) {
        destroying_ = true;
        RunGuarded([this] { SaveToStore(); }, this);
        destroying_ = false;
    }
    if (saveDestroy_)
        saveDestroy_(sender);
}

void TFormPlacement::OpenStore(bool readOnly)
{
    if (store_)
        return;
    if (useRegistry_) {
        const QString key = iniFileName_.isEmpty() ? DefaultRegistryKey() : iniFileName_;
        static const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CURRENT_CONFIG,
                                     HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_DYN_DATA};
        std::unique_ptr<TRegIniFile> reg;
        if (registryRoot_ == prCurrentUser) {
            reg = std::make_unique<TRegIniFile>(key);
        } else {
            // Opened where it belongs only: nothing is made under the current user on the way.
            reg = std::make_unique<TRegIniFile>(QString(), readOnly ? KEY_READ : KEY_ALL_ACCESS);
            reg->SetRootKey(roots[registryRoot_]);
            reg->OpenKey(key, !readOnly);
        }
        if (readOnly)
            reg->SetAccess(KEY_READ);
        store_ = std::move(reg);
    } else {
        store_ = std::make_unique<TIniFile>(iniFileName_.isEmpty() ? DefaultIniFileName() : iniFileName_);
    }
}

void TFormPlacement::CloseStore()
{
    store_.reset();
}

QString TFormPlacement::ReadStorageString(const QString& section, const QString& key, const QString& def)
{
    if (store_)
        return StoreReadString(store_.get(), section, key, def);
    OpenStore(true);
    struct Close {
        TFormPlacement* p;
        ~Close() { p->CloseStore(); }
    } close{this};
    return StoreReadString(store_.get(), section, key, def);
}

void TFormPlacement::WriteStorageString(const QString& section, const QString& key, const QString& value)
{
    if (store_) {
        StoreWriteString(store_.get(), section, key, value);
        return;
    }
    OpenStore(false);
    struct Close {
        TFormPlacement* p;
        ~Close() { p->CloseStore(); }
    } close{this};
    StoreWriteString(store_.get(), section, key, value);
}

QString TFormPlacement::ReadValue(const QString& key, const QString& def)
{
    return ReadStorageString(IniSectionInUse(), key, def);
}

void TFormPlacement::WriteValue(const QString& key, const QString& value)
{
    WriteStorageString(IniSectionInUse(), key, value);
}

int TFormPlacement::ReadIntValue(const QString& key, int def)
{
    if (store_)
        return StoreReadInteger(store_.get(), IniSectionInUse(), key, def);
    OpenStore(true);
    struct Close {
        TFormPlacement* p;
        ~Close() { p->CloseStore(); }
    } close{this};
    return StoreReadInteger(store_.get(), IniSectionInUse(), key, def);
}

void TFormPlacement::WriteIntValue(const QString& key, int value)
{
    if (store_) {
        StoreWriteInteger(store_.get(), IniSectionInUse(), key, value);
        return;
    }
    OpenStore(false);
    struct Close {
        TFormPlacement* p;
        ~Close() { p->CloseStore(); }
    } close{this};
    StoreWriteInteger(store_.get(), IniSectionInUse(), key, value);
}

void TFormPlacement::SaveToStore()
{
    if (!restored_ && active_)
        return;
    OpenStore(false);
    try {
        StoreWriteInteger(store_.get(), IniSectionInUse(), QStringLiteral("FormVersion"), version_);
        SavePlacement();
        NotifySaved();
    } catch (...) {
        CloseStore();
        throw;
    }
    saved_ = true;
    CloseStore();
}

void TFormPlacement::RestoreFromStore()
{
    saved_ = false;
    OpenStore(true);
    try {
        const QString section = IniSectionInUse();
        if (StoreReadInteger(store_.get(), section, QStringLiteral("FormVersion"), 0) >= version_) {
            RestorePlacement();
            restored_ = true;
            NotifyRestored();
            TForm* form = Form();
            if (form && options_.testFlag(fpActiveControl)) {
                const QString name = StoreReadString(store_.get(), section, QStringLiteral("ActiveControl"), QString());
                auto control = qobject_cast<TWinControl*>(form->FindComponent(name));
                if (control && control->CanFocus())
                    form->SetActiveControl(control);
            }
        }
    } catch (...) {
        restored_ = true;
        CloseStore();
        throw;
    }
    restored_ = true;
    CloseStore();
    AdjustMaximizedPosition();
}

void TFormPlacement::SavePlacement()
{
    if (TForm* form = Form()) {
        const QString section = IniSectionInUse();
        if (options_ & (TPlacementOptions(fpState) | fpPosition)) {
            StorePlacementKeys(form, store_.get(), section);
            StoreWriteInteger(store_.get(), section, QStringLiteral("Visible"), destroying_ ? 1 : 0);
        }
        if (options_.testFlag(fpActiveControl) && form->ActiveControl())
            StoreWriteString(store_.get(), section, QStringLiteral("ActiveControl"), form->ActiveControl()->objectName());
    }
    NotifyLinks(true);
}

void TFormPlacement::RestorePlacement()
{
    if (TForm* form = Form())
        LoadPlacementKeys(form, store_.get(), IniSectionInUse(), options_.testFlag(fpPosition), options_.testFlag(fpState));
    NotifyLinks(false);
}

void TFormPlacement::NotifySaved()
{
    if (OnSavePlacement)
        OnSavePlacement(this);
}

void TFormPlacement::NotifyRestored()
{
    if (OnRestorePlacement)
        OnRestorePlacement(this);
}

void TFormPlacement::NotifyLinks(bool save)
{
    // A handler may detach its own link; walk a copy.
    const std::vector<TIniLink*> links = links_;
    for (TIniLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end())
            continue;
        if (save)
            link->FireSave();
        else
            link->FireLoad();
    }
}

void TFormPlacement::AttachLink(TIniLink* link)
{
    if (link && std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TFormPlacement::DetachLink(TIniLink* link)
{
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TFormPlacement::SizeLimitsChanged()
{
    AdjustMaximizedPosition();
    if (!IsLoading())
        UpdateWindowHook();
}

void TFormPlacement::UpdateWindowHook()
{
    TForm* form = Form();
    const bool wanted = form && !(ComponentState() & csDesigning) && (HasSizeLimits() || preventResize_);
    if (!wanted || (sizeHook_ && sizeHook_->Form() != form))
        sizeHook_.reset();
    if (!wanted)
        return;
    if (!sizeHook_)
        sizeHook_ = std::make_unique<SizeHook>(this, form);
    sizeHook_->Apply();
}

void TFormPlacement::AdjustMaximizedPosition()
{
    TForm* form = Form();
    if (!form || IsLoading() || preventResize_ || HasSizeLimits())
        return;
    // The maximised position the original gives a window: its border just off the screen. It is
    // only recorded here: a window manager places maximised windows itself.
    int border = 0;
    switch (form->BorderStyle()) {
    case bsSizeable:
    case bsSizeToolWin: border = 4; break;
    case bsDialog: border = 3; break;
    case bsSingle:
    case bsToolWindow: border = 1; break;
    default: break;
    }
    TWindowPlacement wp = GetFormPlacement(form);
    wp.maxX = -border;
    wp.maxY = -border;
    form->setProperty("brelnovaPlacementMaxPos", QPoint(wp.maxX, wp.maxY));
}

void TFormPlacement::ApplyPreventResize()
{
    TForm* form = Form();
    if (!form || (ComponentState() & csDesigning))
        return;
    if (preventResize_ && !maximizeTaken_)
        defaultMaximize_ = form->BorderIcons().testFlag(biMaximize);
    const bool wasActive = active_;
    active_ = false;
    TBorderIcons icons = form->BorderIcons();
    if (!preventResize_ && defaultMaximize_ && form->BorderStyle() != bsDialog) {
        icons |= biMaximize;
        maximizeTaken_ = false;
    } else {
        if (icons.testFlag(biMaximize))
            maximizeTaken_ = true;
        icons &= ~TBorderIcons(biMaximize);
    }
    form->SetBorderIcons(icons);
    active_ = wasActive;
    if (!IsLoading())
        UpdateWindowHook();
}

// --- TIniLink ----------------------------------------------------------------------------------

TIniLink::~TIniLink()
{
    SaveHandler = nullptr;
    LoadHandler = nullptr;
    SetStore(nullptr);
}

void TIniLink::SetStore(TFormPlacement* placement)
{
    if (placement == store_)
        return;
    if (store_)
        store_->DetachLink(this);
    store_ = placement;
    if (store_)
        store_->AttachLink(this);
}

TObject* TIniLink::StoreObject() const
{
    return store_ ? store_->StoreObject() : nullptr;
}

QString TIniLink::RootSection() const
{
    if (!store_ || store_->IniSection().isEmpty())
        return {};
    return store_->IniSection() + QLatin1Char('\\');
}

void TIniLink::FireSave()
{
    if (SaveHandler)
        SaveHandler(this);
}

void TIniLink::FireLoad()
{
    if (LoadHandler)
        LoadHandler(this);
}
