#pragma once

// Menus: TMenuItem trees under a TMainMenu (shown as the form's menu bar) or a TPopupMenu.
// Items keep the framework's state (Caption with & accelerators, ShortCut, Checked, RadioItem,
// GroupIndex, Enabled, Visible, ImageIndex) and mirror it onto Qt actions.

#include "framework/component.h"
#include "framework/controls.h"
#include "framework/definition_target.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class TMenu;

using TShortCut = int;
enum : int { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };

TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+N", "Shift+Del", "F2" — the framework's key names.
QString ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const QString& text);
QKeySequence ShortCutToKeySequence(TShortCut shortCut);
// The caption without its accelerator marks ("&File" -> "File", "&&" -> "&").
QString StripHotkey(const QString& caption);

using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

class TMenuItem : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool RadioItem READ RadioItem WRITE SetRadioItem)
    Q_PROPERTY(bool AutoCheck READ AutoCheck WRITE SetAutoCheck)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(int ShortCut READ ShortCut WRITE SetShortCut)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int HelpContext READ HelpContext WRITE SetHelpContext)

public:
    explicit TMenuItem(QObject* owner = nullptr);
    ~TMenuItem() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    bool IsLine() const { return caption_ == QLatin1String("-"); }
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool v);
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool v) { autoCheck_ = v; }
    bool Default() const { return default_; }
    void SetDefault(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut s);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int i);
    QString Hint() const { return hint_; }
    void SetHint(const QString& h) { hint_ = h; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int v) { helpContext_ = v; }
    // Picture shown beside the caption.
    QIcon Bitmap() const;
    void SetBitmap(const QIcon& icon);

    // Sub-items in menu order.
    int Count() const { return int(items_.size()); }
    TMenuItem* Items(int index) const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Delete(int index);
    void Clear();
    int IndexOf(TMenuItem* item) const;
    int MenuIndex() const;
    TMenuItem* Parent() const { return parentItem_; }
    TMenu* GetParentMenu() const;
    // Finds the sub-item (at any depth) whose shortcut is s.
    TMenuItem* FindByShortCut(TShortCut s) const;

    // Runs OnClick when the item is enabled (an AutoCheck item toggles first).
    Q_INVOKABLE virtual void Click();

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    // The Qt action that shows this item in a menu bar or a popup.
    QAction* Action();
    // The Qt menu of the sub-items, rebuilt when they change.
    QMenu* SubMenu();

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    bool InsertDefinitionChild(QObject* child) override;

private:
    void UpdateAction();
    void RebuildSubMenu();
    void Changed();

    QString caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool radioItem_ = false;
    bool autoCheck_ = false;
    bool default_ = false;
    int groupIndex_ = 0;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
    QString hint_;
    int helpContext_ = 0;
    QIcon* bitmap_ = nullptr;
    QList<TMenuItem*> items_;
    TMenuItem* parentItem_ = nullptr;
    QAction* action_ = nullptr;
    QMenu* subMenu_ = nullptr;
    bool subMenuStale_ = true;
};

class TMenu : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(bool OwnerDraw READ OwnerDraw WRITE SetOwnerDraw)
    Q_PROPERTY(bool AutoHotkeys READ AutoHotkeys WRITE SetAutoHotkeys)

public:
    explicit TMenu(QObject* owner = nullptr);

    // The invisible root whose sub-items are the menu's items.
    TMenuItem* Items() const { return items_; }
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool v) { ownerDraw_ = v; }
    bool AutoHotkeys() const { return autoHotkeys_; }
    void SetAutoHotkeys(bool v) { autoHotkeys_ = v; }
    // Image list of the item pictures (any component; the skin and the program draw from it).
    QObject* Images() const { return images_; }
    void SetImages(QObject* images) { images_ = images; }

    // When an enabled, visible item (at any depth) has this shortcut, clicks it and returns true.
    bool IsShortCut(WORD key, TShiftState shift);
    // The menu changed (items added, removed, captions): views rebuild.
    virtual void MenuChanged();

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool InsertDefinitionChild(QObject* child) override;

    TNotifyEvent OnChange;

private:
    TMenuItem* items_;
    bool ownerDraw_ = false;
    bool autoHotkeys_ = true;
    QPointer<QObject> images_;
};

class TMainMenu : public TMenu {
    Q_OBJECT
public:
    explicit TMainMenu(QObject* owner = nullptr);
    // Fills bar with one menu per top-level item.
    void BuildMenuBar(QMenuBar* bar);
    void MenuChanged() override;

private:
    QPointer<QMenuBar> bar_;
};

class TPopupMenu : public TMenu {
    Q_OBJECT
    Q_PROPERTY(bool AutoPopup READ AutoPopup WRITE SetAutoPopup)
public:
    explicit TPopupMenu(QObject* owner = nullptr);
    ~TPopupMenu() override;
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    // The control the menu was last opened for.
    QObject* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(QObject* c) { popupComponent_ = c; }
    // Shows the menu at screen coordinates; OnPopup runs first. Does not wait for a choice.
    virtual void Popup(int x, int y);
    // The Qt menu shown by Popup (for tests and for the skin's drawing).
    QMenu* PopupQMenu();

    TNotifyEvent OnPopup;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

private:
    bool autoPopup_ = true;
    QPointer<QObject> popupComponent_;
};
