#pragma once

// The drawn caption bar of the skinned windows: three section pictures as background, caption
// buttons from the right (close, maximise or restore, minimise, help, custom), a control box or
// the application icon at the left and the caption between them, shortened with "..." when it
// does not fit. It shows hover and pressed pictures, runs the buttons' window actions, moves its
// window when dragged and opens a small system menu.

#include "framework/collection.h"
#include "framework/panel.h"
#include "skin/file_theme.h"
#include "skin/menus.h"
#include "skin/theme_items.h"

#include <QPointer>
#include <memory>

class TPicture;
class TsuiTitleBar;

namespace SkinTitleBarTypes {
Q_NAMESPACE
enum TsuiTitleBarBtnType { suiMax, suiMin, suiClose, suiHelp, suiControlBox, suiCustom };
Q_ENUM_NS(TsuiTitleBarBtnType)
enum TsuiTitleBarAlign { suiLeft, suiRight, suiClient };
Q_ENUM_NS(TsuiTitleBarAlign)
} // namespace SkinTitleBarTypes
using namespace SkinTitleBarTypes;

// The fixed texts of the title bar.
namespace TitleBarText {
inline constexpr const char* OneClientSection = "Sorry, only one section's Align property can be \"suiClient\"";
inline constexpr const char* OneControlBox = "Sorry, only one button's ButtonType property can be \"suiControlBox\"";
inline constexpr const char* Minimize = "Mi&nimize";
inline constexpr const char* MaximizeRestore = "Ma&ximize/Restore";
inline constexpr const char* Close = "&Close";
} // namespace TitleBarText

class TsuiTitleBarButton : public TCollectionItem {
public:
    explicit TsuiTitleBarButton(TCollection* collection);
    ~TsuiTitleBarButton() override;

    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    TsuiTitleBarBtnType ButtonType() const { return type_; }
    // A second control box is refused with an error box.
    void SetButtonType(TsuiTitleBarBtnType t);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    int Top() const { return top_; }
    void SetTop(int v);
    TPopupMenu* ControlBoxMenu() const { return controlBoxMenu_; }
    void SetControlBoxMenu(TPopupMenu* menu) { controlBoxMenu_ = menu; }
    TsuiUIStyle UIStyle() const { return style_; }
    // Stores the style and loads the theme's pictures for the button's type.
    void SetUIStyle(TsuiUIStyle style);
    TPicture* PicNormal() const { return pics_[0].get(); }
    TPicture* PicMouseOn() const { return pics_[1].get(); }
    TPicture* PicMouseDown() const { return pics_[2].get(); }
    void SetPicNormal(TPicture* p);
    void SetPicMouseOn(TPicture* p);
    void SetPicMouseDown(TPicture* p);

    // The window action of the button: maximise or restore, minimise, close, or the control
    // box's own menu. Nothing without a bar or a form.
    void DoAction();
    TsuiTitleBar* TitleBar() const;
    void Assign(TPersistent* source) override;

private:
    friend class TsuiTitleBar;
    void LoadPictures();
    void Repaint();

    bool visible_ = true;
    TsuiTitleBarBtnType type_ = suiCustom;
    bool transparent_ = false;
    int top_ = 2;
    QPointer<TPopupMenu> controlBoxMenu_;
    TsuiUIStyle style_ = DeepBlue;
    std::unique_ptr<TPicture> pics_[3];
};

class TsuiTitleBarSection : public TCollectionItem {
public:
    explicit TsuiTitleBarSection(TCollection* collection);
    ~TsuiTitleBarSection() override;

    int Width() const { return width_; }
    void SetWidth(int v);
    TsuiTitleBarAlign Align() const { return align_; }
    // A second client section is refused with an error box; a client section is stretched.
    void SetAlign(TsuiTitleBarAlign a);
    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(TPicture* p);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    void Assign(TPersistent* source) override;

private:
    friend class TsuiTitleBar;
    void Repaint();
    int width_ = 10;
    TsuiTitleBarAlign align_ = suiLeft;
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool autoSize_ = false;
};

// A collection of the bar's items; any change repaints the bar.
class TsuiTitleBarCollection : public TCollection {
public:
    TsuiTitleBarCollection(ItemFactory factory, TsuiTitleBar* bar);
    TsuiTitleBar* Bar() const { return bar_; }

protected:
    void Update(TCollectionItem* item) override;

private:
    TsuiTitleBar* bar_;
};

// The system menu of the bar: minimise, maximise or restore, close.
class TsuiTitleBarPopupMenu : public TsuiPopupMenu {
    Q_OBJECT
public:
    explicit TsuiTitleBarPopupMenu(TsuiTitleBar* bar);
    // Enables each item by the bar's visible buttons, then shows the menu.
    void Popup(int x, int y) override;
    TMenuItem* MinimizeItem() const { return minimize_; }
    TMenuItem* MaximizeItem() const { return maximize_; }
    TMenuItem* CloseItem() const { return close_; }

private:
    TsuiTitleBar* bar_;
    TMenuItem* minimize_;
    TMenuItem* maximize_;
    TMenuItem* close_;
};

using TsuiTitleBarButtonClickEvent = std::function<void(TObject* Sender, int ButtonIndex)>;

class TsuiTitleBar : public TCustomPanel {
    Q_OBJECT
    Q_PROPERTY(bool Custom READ Custom WRITE SetCustom)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(int ButtonInterval READ ButtonInterval WRITE SetButtonInterval)
    Q_PROPERTY(bool FormActive READ FormActive WRITE SetFormActive)
    Q_PROPERTY(int LeftBtnXOffset READ LeftBtnXOffset WRITE SetLeftBtnXOffset)
    Q_PROPERTY(int RightBtnXOffset READ RightBtnXOffset WRITE SetRightBtnXOffset)
    Q_PROPERTY(bool DrawAppIcon READ DrawAppIcon WRITE SetDrawAppIcon)
    Q_PROPERTY(int RoundCorner READ RoundCorner WRITE SetRoundCorner)

public:
    explicit TsuiTitleBar(QWidget* parent = nullptr);
    ~TsuiTitleBar() override;

    bool Custom() const { return custom_; }
    void SetCustom(bool v) { custom_ = v; }
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    // Stores the reference and applies the style again, keeping the caption's font colour.
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    int ButtonInterval() const { return buttonInterval_; }
    void SetButtonInterval(int v);
    bool FormActive() const { return formActive_; }
    void SetFormActive(bool v);
    int LeftBtnXOffset() const { return leftOffset_; }
    void SetLeftBtnXOffset(int v);
    int RightBtnXOffset() const { return rightOffset_; }
    void SetRightBtnXOffset(int v);
    bool DrawAppIcon() const { return drawAppIcon_; }
    void SetDrawAppIcon(bool v);
    int RoundCorner() const { return roundCorner_; }
    void SetRoundCorner(int v) { roundCorner_ = v; }
    // Without sections AutoSize stays off; with them the bar is as high as the first section's
    // picture (3 less inside a skinned window, whose frame paints the top rows).
    void SetAutoSize(bool v) override;

    TsuiTitleBarCollection* Buttons() const { return buttons_.get(); }
    void SetButtons(TCollection* buttons);
    TsuiTitleBarCollection* Sections() const { return sections_.get(); }
    void SetSections(TCollection* sections);
    TsuiTitleBarButton* Button(int index) const;
    TsuiTitleBarSection* Section(int index) const;
    TsuiTitleBarPopupMenu* SystemMenu() const { return systemMenu_; }

    // Every maximise button shows maximise or restore for its form's state (not on a Custom bar).
    void RefreshMaxButton();
    bool HasThreeSections() const;
    // The row of buttons, the height of their pictures, the theme's border colour.
    int ButtonTop() const { return buttonTop_; }
    int ButtonHeight() const { return buttonHeight_; }
    TColor BorderColor() const { return borderColor_; }

    // The form the bar belongs to, and whether it is one of the skinned windows (whose frame
    // paints the bar's top rows and sides).
    TForm* ParentFormOfBar() const;
    bool InSkinnedWindow() const;

    // Hit test: the index of the button whose rectangle holds (x, y), edges included; -1 none.
    int ButtonAt(int x, int y) const;
    // Where the caption goes and what of it is drawn (after shortening), as the last paint laid
    // them out for the bar's current size.
    TPoint CaptionPos() const;
    QString DrawnCaption() const;
    int HotIndex() const { return hot_; }

    void Notification(QObject* AComponent, TOperation Operation) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TsuiTitleBarButtonClickEvent OnCustomBtnsClick;
    TsuiTitleBarButtonClickEvent OnHelpBtnClick;

protected:
    virtual void DrawSections(TCanvas* canvas, int width);
    virtual void DrawButtonsAndCaption(TCanvas* canvas, int width);

    QSize AutoSizeExtent() const override;
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void DblClick() override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    friend class TsuiTitleBarButton;
    friend class TsuiTitleBarPopupMenu;
    struct Layout {
        std::vector<std::pair<int, TRect>> Buttons; // button index, rectangle
        int CaptionLeft = 0;
        int CaptionRight = 0;
    };
    Layout ComputeLayout(int width) const;
    void ApplyStyle(bool keepFontColor);
    void MoveWindowBy(const QPoint& delta);
    void ShowSystemMenu();
    TPoint MenuPoint() const;

    bool custom_ = false;
    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle style_ = DeepBlue;
    int buttonInterval_ = 0;
    bool formActive_ = true;
    int leftOffset_ = 0;
    int rightOffset_ = 0;
    bool drawAppIcon_ = false;
    int roundCorner_ = 0;
    std::unique_ptr<TsuiTitleBarCollection> buttons_;
    std::unique_ptr<TsuiTitleBarCollection> sections_;
    TsuiTitleBarPopupMenu* systemMenu_;
    int hot_ = -1;
    bool pressed_ = false;
    int buttonTop_ = 2;
    int buttonHeight_ = 0;
    TColor borderColor_ = 0;
    QPoint mouse_{-10000, -10000};
    // Our own move loop where the system cannot move the window.
    bool dragging_ = false;
    QPoint dragStart_;
};
