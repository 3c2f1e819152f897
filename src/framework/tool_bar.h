#pragma once

// Tool bars: a row of tool buttons (and any other controls) laid out in their order, wrapping
// when Wrapable; each button shows its image from the bar's image list.

#include "framework/controls.h"

#include <QPointer>

class TImageList;
class TMenuItem;
class TPopupMenu;
class TToolBar;

namespace ToolBarTypes {
Q_NAMESPACE
enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
Q_ENUM_NS(TToolButtonStyle)
enum TEdgeBorder { ebLeft = 1, ebTop = 2, ebRight = 4, ebBottom = 8 };
Q_DECLARE_FLAGS(TEdgeBorders, TEdgeBorder)
Q_FLAG_NS(TEdgeBorders)
enum TEdgeStyle { esNone, esRaised, esLowered };
Q_ENUM_NS(TEdgeStyle)
} // namespace ToolBarTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(ToolBarTypes::TEdgeBorders)
using namespace ToolBarTypes;

class TToolButton : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(ToolBarTypes::TToolButtonStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(bool Grouped READ Grouped WRITE SetGrouped)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(bool Marked READ Marked WRITE SetMarked)
    Q_PROPERTY(bool Indeterminate READ Indeterminate WRITE SetIndeterminate)
    Q_PROPERTY(bool Wrap READ Wrap WRITE SetWrap)

public:
    explicit TToolButton(QWidget* parent = nullptr);

    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int i) { imageIndex_ = i; update(); }
    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle s);
    bool Down() const { return down_; }
    void SetDown(bool v);
    bool Grouped() const { return grouped_; }
    void SetGrouped(bool v) { grouped_ = v; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    bool Marked() const { return marked_; }
    void SetMarked(bool v) { marked_ = v; update(); }
    bool Indeterminate() const { return indeterminate_; }
    void SetIndeterminate(bool v) { indeterminate_ = v; update(); }
    bool Wrap() const { return wrap_; }
    void SetWrap(bool v);
    TMenuItem* MenuItem() const { return menuItem_; }
    void SetMenuItem(TMenuItem* item);
    TPopupMenu* DropdownMenu() const;
    void SetDropdownMenu(TPopupMenu* menu);
    TToolBar* ToolBar() const;
    bool IsSeparator() const { return style_ == tbsSeparator || style_ == tbsDivider; }

    void Click() override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    int imageIndex_ = -1;
    TToolButtonStyle style_ = tbsButton;
    bool down_ = false;
    bool grouped_ = false;
    bool allowAllUp_ = false;
    bool marked_ = false;
    bool indeterminate_ = false;
    bool wrap_ = false;
    bool pressed_ = false;
    bool hot_ = false;
    QPointer<TMenuItem> menuItem_;
    QPointer<QObject> dropdownMenu_;
};

class TToolBar : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(int ButtonWidth READ ButtonWidth WRITE SetButtonWidth)
    Q_PROPERTY(int ButtonHeight READ ButtonHeight WRITE SetButtonHeight)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(bool ShowCaptions READ ShowCaptions WRITE SetShowCaptions)
    Q_PROPERTY(bool List READ List WRITE SetList)
    Q_PROPERTY(bool Wrapable READ Wrapable WRITE SetWrapable)
    Q_PROPERTY(int Indent READ Indent WRITE SetIndent)
    Q_PROPERTY(ToolBarTypes::TEdgeBorders EdgeBorders READ EdgeBorders WRITE SetEdgeBorders)
    Q_PROPERTY(ToolBarTypes::TEdgeStyle EdgeInner READ EdgeInner WRITE SetEdgeInner)
    Q_PROPERTY(ToolBarTypes::TEdgeStyle EdgeOuter READ EdgeOuter WRITE SetEdgeOuter)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    explicit TToolBar(QWidget* parent = nullptr);

    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int v);
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v) { flat_ = v; update(); }
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool v);
    bool List() const { return list_; }
    void SetList(bool v);
    bool Wrapable() const { return wrapable_; }
    void SetWrapable(bool v);
    int Indent() const { return indent_; }
    void SetIndent(int v);
    TEdgeBorders EdgeBorders() const { return edgeBorders_; }
    void SetEdgeBorders(TEdgeBorders e);
    TEdgeStyle EdgeInner() const { return edgeInner_; }
    void SetEdgeInner(TEdgeStyle e) { edgeInner_ = e; update(); }
    TEdgeStyle EdgeOuter() const { return edgeOuter_; }
    void SetEdgeOuter(TEdgeStyle e) { edgeOuter_ = e; update(); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; update(); }

    TImageList* Images() const;
    void SetImages(TImageList* list);
    TImageList* HotImages() const;
    void SetHotImages(TImageList* list);
    TImageList* DisabledImages() const;
    void SetDisabledImages(TImageList* list);

    int ButtonCount() const;
    TToolButton* Buttons(int index) const;

    void AdjustClientRect(TRect& rect) const override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void AlignControls(TControl* control, TRect& rect) override;
    void PaintControl() override;

private:
    QList<TControl*> OrderedControls() const;
    int buttonWidth_ = 23;
    int buttonHeight_ = 22;
    bool flat_ = false;
    bool showCaptions_ = false;
    bool list_ = false;
    bool wrapable_ = true;
    int indent_ = 0;
    TEdgeBorders edgeBorders_ = ebTop;
    TEdgeStyle edgeInner_ = esRaised;
    TEdgeStyle edgeOuter_ = esLowered;
    bool transparent_ = false;
    QPointer<QObject> images_;
    QPointer<QObject> hotImages_;
    QPointer<QObject> disabledImages_;
};
