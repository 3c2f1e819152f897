#pragma once

// TSpeedBar: a tool-bar panel whose buttons (speed items) are grouped in named sections and stand
// at free positions snapped to a grid derived from the button size. The bar docks to one side of
// its parent and can be dragged to another; it stores its layout with a form placement, and in
// customizing mode its buttons can be dragged to new places or off the bar and the bar resized by
// its inner edge.
//
// Sections and items are components of their own, owned by the window like the bar; a window
// definition lists them as children of the bar.

#include "controls/speed_button.h"
#include "framework/exceptions.h"
#include "framework/panel.h"

#include <QEvent>
#include <QPointer>
#include <memory>
#include <vector>

class QWidget;
class TFormPlacement;
class TIniLink;
class TImageList;
class TPicture;
class TSpeedBar;
class TSpeedItem;
class TSpeedbarSection;
class TBtnControl;

BRELNOVA_EXCEPTION(ESpeedbarError, Exception)
// A component put where only another class fits ("Invalid class typecast").
BRELNOVA_EXCEPTION(EInvalidCast, Exception)

namespace SpeedBarTypes {
Q_NAMESPACE
enum TBarPosition { bpAuto, bpCustom };
Q_ENUM_NS(TBarPosition)
enum BarOrientation { Horizontal, Vertical };
Q_ENUM_NS(BarOrientation)
enum TSpeedbarOption {
    sbAllowDrag = 0x1,
    sbAllowResize = 0x2,
    sbFlatBtns = 0x4,
    sbGrayedBtns = 0x8,
    sbTransparentBtns = 0x10,
    sbStretchBitmap = 0x20,
};
Q_DECLARE_FLAGS(TSpeedbarOptions, TSpeedbarOption)
Q_FLAG_NS(TSpeedbarOptions)
enum TBoundLine { blTop = 0x1, blBottom = 0x2, blLeft = 0x4, blRight = 0x8 };
Q_DECLARE_FLAGS(TBoundLines, TBoundLine)
Q_FLAG_NS(TBoundLines)
} // namespace SpeedBarTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(SpeedBarTypes::TSpeedbarOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(SpeedBarTypes::TBoundLines)
using namespace SpeedBarTypes;

inline constexpr int DefaultBtnWidth = 24;
inline constexpr int DefaultBtnHeight = 23;

// What the bar tells its customizing window, sent synchronously as an event of this type.
inline constexpr QEvent::Type SpeedbarChangedMessage = QEvent::Type(0xB050);
enum : int { sbcLayoutChanged = 0, sbcBarDestroyed = 1, sbcButtonDropped = 2, sbcSizeChanged = 3 };
class TSpeedbarChangedEvent : public QEvent {
public:
    TSpeedbarChangedEvent(int code, QObject* subject) : QEvent(SpeedbarChangedMessage), Code(code), Subject(subject) {}
    int Code;
    QObject* Subject; // the bar, or the dropped item
};

using TApplyAlignEvent = std::function<void(TObject* Sender, TAlign Align, bool& Apply)>;

// The button of a speed item.
class TSpeedbarButton : public TRxSpeedButton {
    Q_OBJECT
public:
    explicit TSpeedbarButton(TSpeedItem* item);
    ~TSpeedbarButton() override;

    TSpeedItem* Item() const { return item_; }
    void SetBounds(int left, int top, int width, int height) override;
    void SetParent(TWinControl* parent) override;
    // The place the button was given, also while it has no parent.
    int PlacedLeft() const;
    int PlacedTop() const;
    // Forgets the glyph pictures so that they are built again (the bar's images changed).
    void DropGlyphCache();
    TBtnControl* DragImage() const { return dragImage_.get(); }

protected:
    void DrawContent(TCanvas* canvas, const TRect& rect, SpeedButtonState state, bool drawMark) override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    friend class TSpeedBar;
    TSpeedItem* item_;
    std::unique_ptr<TBtnControl> dragImage_;
    bool customDrag_ = false;
    bool dragHidden_ = false;
    TRect placed_;
};

class TSpeedItem : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_MOC_INCLUDE("framework/menus.h")
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(bool AllowTimer READ AllowTimer WRITE SetAllowTimer)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(TPopupMenu* DropDownMenu READ DropDownMenu WRITE SetDropDownMenu)
    Q_PROPERTY(bool MarkDropDown READ MarkDropDown WRITE SetMarkDropDown)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(BitBtnTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(QString BtnCaption READ BtnCaption WRITE SetBtnCaption)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(bool Stored READ Stored WRITE SetStored)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    explicit TSpeedItem(QObject* AOwner);
    ~TSpeedItem() override;

    TSpeedbarButton* Button() const { return button_; }
    TSpeedBar* Bar() const { return bar_; }
    int SectionIndex() const { return section_; }
    bool Customizing() const { return editing_; }
    // Puts the item into or out of customizing mode: the button is enabled and not flat while in
    // it, and gets the item's Enabled and the bar's flat setting back after.
    void SetCustomizing(bool on);

    bool AllowAllUp() const;
    void SetAllowAllUp(bool v);
    bool AllowTimer() const;
    void SetAllowTimer(bool v);
    int GroupIndex() const;
    void SetGroupIndex(int v);
    bool Down() const;
    void SetDown(bool v);
    TPopupMenu* DropDownMenu() const;
    void SetDropDownMenu(TPopupMenu* m);
    bool MarkDropDown() const;
    void SetMarkDropDown(bool v);
    TBitmap* Glyph() const;
    void SetGlyph(TBitmap* b);
    int NumGlyphs() const;
    void SetNumGlyphs(int n);
    TButtonLayout Layout() const;
    void SetLayout(TButtonLayout l);
    int Margin() const;
    void SetMargin(int v);
    bool WordWrap() const;
    void SetWordWrap(bool v);
    int Spacing() const;
    void SetSpacing(int v);
    QString BtnCaption() const;
    void SetBtnCaption(const QString& c);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    TFont* Font() const;
    bool ParentFont() const;
    void SetParentFont(bool v);
    bool ShowHint() const;
    void SetShowHint(bool v);
    bool ParentShowHint() const;
    void SetParentShowHint(bool v);
    TCursor Cursor() const;
    void SetCursor(TCursor c);
    QString Hint() const;
    void SetHint(const QString& h);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int i);
    bool Stored() const { return stored_; }
    void SetStored(bool v) { stored_ = v; }
    int Tag() const { return tag_; }
    void SetTag(int t);
    int Left() const;
    void SetLeft(int v);
    int Top() const;
    void SetTop(int v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);

    // Runs the button's click: the form's ModalResult, then OnClick.
    virtual void ClickButton();
    void SetName(const QString& name) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    // The bar this item was listed under in a window definition.
    void SetParentComponent(QObject* parent);
    QString LoadedSectionName() const { return sectionName_; }

    TNotifyEvent& OnClick();
    TNotifyEvent& OnDblClick();
    TMouseEvent& OnMouseDown();
    TMouseMoveEvent& OnMouseMove();
    TMouseEvent& OnMouseUp();
    TNotifyEvent& OnMouseEnter();
    TNotifyEvent& OnMouseLeave();
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    void Loaded() override;

private:
    friend class TSpeedBar;
    friend class TSpeedbarSection;
    bool IsOwnerLoading() const;

    QPointer<TSpeedbarButton> button_;
    TSpeedBar* bar_ = nullptr;
    int section_ = 0;
    QString caption_;
    bool editing_ = false;
    bool enabled_ = true;
    bool visible_ = false;
    bool stored_ = true;
    int imageIndex_ = -1;
    int tag_ = 0;
    QString sectionName_;
    QPointer<TSpeedBar> loadBar_;
};

class TSpeedbarSection : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Index READ Index WRITE SetIndex)

public:
    explicit TSpeedbarSection(QObject* AOwner);
    ~TSpeedbarSection() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    int Index() const;
    void SetIndex(int i);
    TSpeedBar* Bar() const { return bar_; }
    int Count() const { return int(items_.size()); }
    TSpeedItem* Items(int i) const { return items_[size_t(i)]; }
    // Moves the section from its bar to another (keeping its place when it had one).
    void MoveToBar(TSpeedBar* bar);
    // Raises ESpeedbarError when another section of the bar has the caption.
    void RefuseDuplicateCaption(const QString& caption);
    // The definition's parent: must be a speed bar.
    void SetParentComponent(QObject* parent);

protected:
    void Loaded() override;

private:
    friend class TSpeedBar;
    friend class TSpeedItem;
    QString caption_;
    std::vector<TSpeedItem*> items_;
    TSpeedBar* bar_ = nullptr;
    QPointer<TSpeedBar> loadBar_;
};

class TSpeedBar : public TCustomPanel {
    Q_OBJECT
    Q_MOC_INCLUDE("controls/storage/form_placement.h")
    Q_MOC_INCLUDE("framework/imagelist.h")
    Q_PROPERTY(ControlTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(SpeedBarTypes::TBarPosition Position READ Position WRITE SetPosition)
    Q_PROPERTY(SpeedBarTypes::TSpeedbarOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(int BtnOffsetHorz READ BtnOffsetHorz WRITE SetBtnOffsetHorz)
    Q_PROPERTY(int BtnOffsetVert READ BtnOffsetVert WRITE SetBtnOffsetVert)
    Q_PROPERTY(int BtnWidth READ BtnWidth WRITE SetBtnWidth)
    Q_PROPERTY(int BtnHeight READ BtnHeight WRITE SetBtnHeight)
    Q_PROPERTY(SpeedBarTypes::TBoundLines BoundLines READ BoundLines WRITE SetBoundLines)
    Q_PROPERTY(int Version READ Version WRITE SetVersion)
    Q_PROPERTY(TImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(TFormPlacement* IniStorage READ IniStorage WRITE SetIniStorage)

public:
    explicit TSpeedBar(QWidget* parent = nullptr);
    ~TSpeedBar() override;

    TAlign Align() const { return alignment_; }
    void SetAlign(TAlign a);
    TBarPosition Position() const { return position_; }
    void SetPosition(TBarPosition p) { position_ = p; }
    TSpeedbarOptions Options() const { return options_; }
    void SetOptions(TSpeedbarOptions o);
    int BtnOffsetHorz() const { return offsetH_; }
    void SetBtnOffsetHorz(int v);
    int BtnOffsetVert() const { return offsetV_; }
    void SetBtnOffsetVert(int v);
    int BtnWidth() const { return btnWidth_; }
    void SetBtnWidth(int v);
    int BtnHeight() const { return btnHeight_; }
    void SetBtnHeight(int v);
    TBoundLines BoundLines() const { return boundLines_; }
    void SetBoundLines(TBoundLines b);
    int Version() const { return version_; }
    void SetVersion(int v) { version_ = v; }
    TPicture* Wallpaper() const { return wallpaper_.get(); }
    void SetWallpaper(TPicture* p);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* list);
    TFormPlacement* IniStorage() const;
    void SetIniStorage(TFormPlacement* placement);
    TIniLink* StorageLink() const { return link_.get(); }
    int HorzStep() const { return stepH_; }
    int VertStep() const { return stepV_; }

    // The customizing window; set, the bar and its items are in customizing mode.
    QObject* EditorWindow() const { return editorWindow_; }
    void SetEditorWindow(QObject* window);

    virtual int AppendSection(TSpeedbarSection* section);
    virtual void ForEachItem(const std::function<void(TSpeedItem*, void*)>& callback, void* data);
    virtual void UseMenuFont();

    int SectionCount() const { return int(sections_.size()); }
    TSpeedbarSection* SectionAt(int index) const;
    int IndexOfSection(const QString& caption) const;
    int CreateSection(const QString& caption);
    void AddItem(int sectionIndex, TSpeedItem* item);
    void RemoveItem(TSpeedItem* item);
    bool LocateItem(TSpeedItem* item, int& sectionIndex, int& position) const;
    void DetachSection(int index);
    void FreeSection(int index);
    void FreeAllSections();
    TSpeedItem* ItemByName(const QString& name);
    int SmallestOffset() const;
    void ComputeSnapSteps();
    void SnapAllItems();
    bool MoveItem(TSpeedItem* item, int x, int y);
    BarOrientation CurrentOrientation() const;
    void TurnLayout(BarOrientation orientation);
    void ApplyButtonSize();
    void ButtonSizeChanged();

    // The side of the parent under a point of the parent's client area.
    TAlign DropZoneAt(TPoint parentPoint);
    // The frame, in screen coordinates, of the bar docked at a side.
    TRect DragFrameRect(TAlign side) const;
    bool Dragging() const { return dragging_; }
    bool Resizing() const { return resizing_; }
    // The frame drawn while the bar is dragged, in screen coordinates, and the side it stands for.
    TRect DragFrame() const { return dragFrame_; }
    TAlign FrameAlign() const { return frameAlign_; }

    // Layout storage.
    void WriteLayout(TObject* store, const QString& section);
    void ReadLayout(TObject* store, const QString& section);
    void StoreLinkSave(TIniLink* link);
    void StoreLinkLoad(TIniLink* link);

    // An event only code can set: called with an item before the bar places it.
    std::function<void(TSpeedItem*)> AddItemHook;
    TApplyAlignEvent OnApplyAlign;
    TNotifyEvent OnPosChanged;
    TNotifyEvent OnVisibleChanged;
    TNotifyEvent OnCustomize;

    void Loaded() override;
    void SetVisible(bool v) override;
    void Notification(QObject* AComponent, TOperation Operation) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool InsertDefinitionChild(QObject* child) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    // The screen's pixels per inch changed from d to m.
    void ChangeScale(int m, int d);
    // Sends the customizing window a change; nothing without one.
    void NotifyEditor(int code, QObject* subject);
    void ImagesChanged();

protected:
    virtual void PositionChanged();
    virtual void CustomizeRequested();
    void BindItem(TSpeedItem* item, bool setBounds);
    void AlignControls(TControl* control, TRect& rect) override;
    void Paint() override;
    void EnabledChanged() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    friend class TSpeedItem;
    friend class TSpeedbarSection;
    friend class TSpeedbarButton;
    void ShiftButtons(int dx, int dy);
    void BeginBarDrag();
    void TrackBarDrag(TPoint screenPoint);
    void FinishBarDrag(TPoint screenPoint);
    TAlign AskSide(TPoint screenPoint, bool& apply);
    // Moves the drag frame on the screen to r; an empty r takes it away.
    void DrawFrame(const TRect& r);
    bool ResizeGripAt(int x, int y) const;
    void ResizeTo(int x, int y);
    // Customizing: a button of the bar dragged to a new place or off the bar.
    void ButtonDragStart(TSpeedbarButton* button);
    void ButtonDragMove(TSpeedbarButton* button, TPoint screenPoint);
    void ButtonDragEnd(TSpeedbarButton* button, TPoint screenPoint);

    std::vector<TSpeedbarSection*> sections_;
    TBarPosition position_ = bpAuto;
    BarOrientation orientation_ = Horizontal;
    TAlign alignment_ = alTop;
    int btnWidth_ = DefaultBtnWidth;
    int btnHeight_ = DefaultBtnHeight;
    TButtonStyle buttonStyle_ = bsNew;
    int stepH_ = 1;
    int stepV_ = 1;
    int offsetH_ = 0;
    int offsetV_ = 0;
    QPointer<QObject> editorWindow_;
    TRect dragFrame_;
    TAlign frameAlign_ = alTop;
    TSpeedbarOptions options_;
    bool locked_ = false;
    int version_ = 0;
    bool dragging_ = false;
    bool pressed_ = false;
    bool resizing_ = false;
    TPoint pressPoint_;
    std::unique_ptr<TPicture> wallpaper_;
    TBoundLines boundLines_;
    std::unique_ptr<TIniLink> link_;
    int internalVer_ = 0;
    bool alNoneRead_ = false;
    unsigned scaledFlags_ = 0;
    TImageList* images_ = nullptr;
    TRect shownFrame_; // the drag frame on the screen, empty when none
};
