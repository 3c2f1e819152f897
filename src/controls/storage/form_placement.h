#pragma once

// A form that carries a TFormPlacement remembers where it was and how it was shown: the placement
// restores the stored values every time the form is shown and writes them every time it closes
// (or is destroyed without having closed), in an INI file or a registry key, one section per form.
// It can also keep the form from being resized and impose size limits; on Linux those are widget
// size limits, and the maximised size and position cannot be imposed.

#include "framework/component.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class TForm;
class TFormPlacement;
class TIniLink;

namespace PlacementTypes {
Q_NAMESPACE
enum TPlacementOption { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
Q_DECLARE_FLAGS(TPlacementOptions, TPlacementOption)
Q_FLAG_NS(TPlacementOptions)
enum TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData };
Q_ENUM_NS(TPlacementRegRoot)
} // namespace PlacementTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(PlacementTypes::TPlacementOptions)
using namespace PlacementTypes;

// Size and position limits of the placement's form; 0 means no limit.
class TWinMinMaxInfo : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int MaxPosLeft READ MaxPosLeft WRITE SetMaxPosLeft)
    Q_PROPERTY(int MaxPosTop READ MaxPosTop WRITE SetMaxPosTop)
    Q_PROPERTY(int MaxSizeHeight READ MaxSizeHeight WRITE SetMaxSizeHeight)
    Q_PROPERTY(int MaxSizeWidth READ MaxSizeWidth WRITE SetMaxSizeWidth)
    Q_PROPERTY(int MaxTrackHeight READ MaxTrackHeight WRITE SetMaxTrackHeight)
    Q_PROPERTY(int MaxTrackWidth READ MaxTrackWidth WRITE SetMaxTrackWidth)
    Q_PROPERTY(int MinTrackHeight READ MinTrackHeight WRITE SetMinTrackHeight)
    Q_PROPERTY(int MinTrackWidth READ MinTrackWidth WRITE SetMinTrackWidth)

public:
    explicit TWinMinMaxInfo(TFormPlacement* owner);

    int GetValue(int index) const { return values_[index]; }
    // A changed value tells the placement, which applies the limits.
    void SetValue(int index, int value);
    bool IsEmpty() const;
    // Copies all eight values of another TWinMinMaxInfo.
    void Assign(TPersistent* source) override;

    int MaxPosLeft() const { return values_[0]; }
    int MaxPosTop() const { return values_[1]; }
    int MaxSizeHeight() const { return values_[2]; }
    int MaxSizeWidth() const { return values_[3]; }
    int MaxTrackHeight() const { return values_[4]; }
    int MaxTrackWidth() const { return values_[5]; }
    int MinTrackHeight() const { return values_[6]; }
    int MinTrackWidth() const { return values_[7]; }
    void SetMaxPosLeft(int v) { SetValue(0, v); }
    void SetMaxPosTop(int v) { SetValue(1, v); }
    void SetMaxSizeHeight(int v) { SetValue(2, v); }
    void SetMaxSizeWidth(int v) { SetValue(3, v); }
    void SetMaxTrackHeight(int v) { SetValue(4, v); }
    void SetMaxTrackWidth(int v) { SetValue(5, v); }
    void SetMinTrackHeight(int v) { SetValue(6, v); }
    void SetMinTrackWidth(int v) { SetValue(7, v); }

private:
    TFormPlacement* owner_;
    int values_[8] = {};
};

class TFormPlacement : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QString IniFileName READ IniFileName WRITE SetIniFileName)
    Q_PROPERTY(QString IniSection READ IniSection WRITE SetIniSection)
    Q_PROPERTY(TWinMinMaxInfo* MinMaxInfo READ MinMaxInfo WRITE SetMinMaxInfo)
    Q_PROPERTY(PlacementTypes::TPlacementOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(bool PreventResize READ PreventResize WRITE SetPreventResize)
    Q_PROPERTY(PlacementTypes::TPlacementRegRoot RegistryRoot READ RegistryRoot WRITE SetRegistryRoot)
    Q_PROPERTY(bool UseRegistry READ UseRegistry WRITE SetUseRegistry)
    Q_PROPERTY(int Version READ Version WRITE SetVersion)

public:
    explicit TFormPlacement(QObject* AOwner);
    ~TFormPlacement() override;

    bool Active() const { return active_; }
    void SetActive(bool v) { active_ = v; }
    QString IniFileName() const { return iniFileName_; }
    void SetIniFileName(const QString& v) { iniFileName_ = v; }
    // The section as set; empty means the owner's default section (see IniSectionInUse).
    QString IniSection() const { return iniSection_; }
    void SetIniSection(const QString& v) { iniSection_ = v; }
    QString IniSectionInUse() const;
    TWinMinMaxInfo* MinMaxInfo() const { return minMaxInfo_.get(); }
    void SetMinMaxInfo(TWinMinMaxInfo* v) { minMaxInfo_->Assign(v); }
    TPlacementOptions Options() const { return options_; }
    void SetOptions(TPlacementOptions v) { options_ = v; }
    bool PreventResize() const { return preventResize_; }
    void SetPreventResize(bool v);
    TPlacementRegRoot RegistryRoot() const { return registryRoot_; }
    void SetRegistryRoot(TPlacementRegRoot v) { registryRoot_ = v; }
    bool UseRegistry() const { return useRegistry_; }
    void SetUseRegistry(bool v) { useRegistry_ = v; }
    int Version() const { return version_; }
    void SetVersion(int v) { version_ = v; }

    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

    // Writes the placement (and what descendants keep); skipped when the form was never restored
    // while Active, so a window that was only created overwrites nothing.
    void SaveToStore();
    void RestoreFromStore();
    // Values in the placement's own section; the store is opened for the one call when closed.
    QString ReadValue(const QString& key, const QString& def);
    void WriteValue(const QString& key, const QString& value);
    int ReadIntValue(const QString& key, int def);
    void WriteIntValue(const QString& key, int value);
    // The open store (a TCustomIniFile or a TRegIniFile), or null.
    TObject* StoreObject() const { return store_.get(); }
    void AttachLink(TIniLink* link);
    void DetachLink(TIniLink* link);

    virtual void SavePlacement();
    virtual void RestorePlacement();
    virtual QString ReadStorageString(const QString& section, const QString& key, const QString& def);
    virtual void WriteStorageString(const QString& section, const QString& key, const QString& value);

protected:
    virtual void NotifySaved();
    virtual void NotifyRestored();
    // After the definition: takes over the form's show, close-query and destroy events and
    // applies the size limits.
    void Loaded() override;

    TForm* Form() const;
    bool IsLoading() const;
    void OpenStore(bool readOnly);
    void CloseStore();
    bool Restored() const { return restored_; }
    void SetRestored(bool v) { restored_ = v; }

private:
    friend class TWinMinMaxInfo;
    class SizeHook;

    void HookFormEvents();
    void UnhookFormEvents();
    void FormShown(TObject* sender);
    void FormClosing(TObject* sender, bool& canClose);
    void FormDestroying(TObject* sender);
    void NotifyLinks(bool save);
    bool HasSizeLimits() const { return !minMaxInfo_->IsEmpty(); }
    void SizeLimitsChanged();
    void UpdateWindowHook();
    void AdjustMaximizedPosition();
    void ApplyPreventResize();

    bool active_ = true;
    QString iniFileName_;
    QString iniSection_;
    std::unique_ptr<TWinMinMaxInfo> minMaxInfo_;
    TPlacementOptions options_;
    bool preventResize_ = false;
    TPlacementRegRoot registryRoot_ = prCurrentUser;
    bool useRegistry_ = false;
    int version_ = 0;

    std::unique_ptr<TObject> store_;
    std::vector<TIniLink*> links_;
    bool saved_ = false;
    bool restored_ = false;
    bool destroying_ = false;
    bool defaultMaximize_ = false;
    bool maximizeTaken_ = false;
    bool hooked_ = false;
    QPointer<TForm> hookedForm_;
    std::function<void(TObject*)> saveShow_;
    std::function<void(TObject*, bool&)> saveCloseQuery_;
    std::function<void(TObject*)> saveDestroy_;
    std::unique_ptr<SizeHook> sizeHook_;
};

// How a speed bar or a grid saves its layout with a placement: attached to a placement, its
// handlers run after the placement's own keys are saved or loaded.
class TIniLink : public TPersistent {
public:
    TIniLink() = default;
    // Clears both handlers and detaches the link.
    ~TIniLink() override;

    TFormPlacement* Store() const { return store_; }
    // Moves the link to placement (or to none); nothing when it is there already.
    void SetStore(TFormPlacement* placement);
    // The placement's open store, or null when unattached or closed.
    TObject* StoreObject() const;
    // The placement's IniSection as set, followed by "\"; empty when unset or unattached.
    QString RootSection() const;

    std::function<void(TIniLink*)> SaveHandler;
    std::function<void(TIniLink*)> LoadHandler;

    virtual void FireSave();
    virtual void FireLoad();

private:
    friend class TFormPlacement;
    TFormPlacement* store_ = nullptr;
};
