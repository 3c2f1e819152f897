#pragma once

// TRxSpeedButton: a push button painted on its parent from a glyph strip of up to five
// pictures, with a caption, groups of which one button stays down, a flat look raised only under
// the mouse, a transparent mode, a drop-down menu with a small mark, and clicks repeated while it
// is held.

#include "controls/button_glyph.h"
#include "framework/controls.h"

#include <QPointer>
#include <memory>

class TBitmap;
class TPopupMenu;
class TTimer;

class TRxSpeedButton : public TGraphicControl {
    Q_OBJECT
    Q_MOC_INCLUDE("framework/menus.h")
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(bool AllowTimer READ AllowTimer WRITE SetAllowTimer)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(TPopupMenu* DropDownMenu READ DropDownMenu WRITE SetDropDownMenu)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(bool GrayedInactive READ GrayedInactive WRITE SetGrayedInactive)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(int InitPause READ InitPause WRITE SetInitPause)
    Q_PROPERTY(BitBtnTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(bool MarkDropDown READ MarkDropDown WRITE SetMarkDropDown)
    Q_PROPERTY(SpeedButtonTypes::TRxDropDownMenuPos MenuPosition READ MenuPosition WRITE SetMenuPosition)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(int RepeatInterval READ RepeatInterval WRITE SetRepeatInterval)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(SpeedButtonTypes::TButtonStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)

public:
    explicit TRxSpeedButton(QWidget* parent = nullptr);
    ~TRxSpeedButton() override;

    TAlignment Alignment() const { return glyph_->Alignment(); }
    void SetAlignment(TAlignment a);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool v);
    bool Down() const { return down_; }
    void SetDown(bool v);
    TPopupMenu* DropDownMenu() const;
    void SetDropDownMenu(TPopupMenu* menu);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    bool GrayedInactive() const { return grayedInactive_; }
    void SetGrayedInactive(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    int InitPause() const { return initPause_; }
    void SetInitPause(int ms) { initPause_ = uint16_t(ms); }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout l);
    int Margin() const { return margin_; }
    void SetMargin(int v);
    bool MarkDropDown() const { return markDropDown_; }
    void SetMarkDropDown(bool v);
    TRxDropDownMenuPos MenuPosition() const { return menuPosition_; }
    void SetMenuPosition(TRxDropDownMenuPos p) { menuPosition_ = p; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    int NumGlyphs() const { return glyph_->NumGlyphs(); }
    void SetNumGlyphs(int n);
    int RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(int ms) { repeatInterval_ = uint16_t(ms); }
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle s);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool WordWrap() const { return glyph_->WordWrap(); }
    void SetWordWrap(bool v);
    TBitmap* Glyph() const { return glyph_->Glyph(); }
    void SetGlyph(TBitmap* bitmap);
    TRxButtonGlyph* ButtonGlyph() const { return glyph_.get(); }

    SpeedButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseIn_; }
    // The point, relative to the button, where the drop-down menu opens.
    TPoint MenuAnchor() const;

    void Click() override;
    void Loaded() override;
    void SetVisible(bool v) override;
    void Notification(QObject* component, TOperation operation) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

    // One tick of the repeat timer, as the timer runs it.
    void RepeatTick();
    // Sets the mouse-in flag from the control under the cursor and reports a change.
    void RefreshHover();

protected:
    virtual void DrawContent(TCanvas* canvas, const TRect& rect, SpeedButtonState state, bool drawMark);
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void DblClick() override;
    void EnabledChanged() override;
    void TextChanged() override;
    void FontChanged() override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;

private:
    void FinishPress(TMouseButton button, int x, int y);
    bool OpenDropDownMenu(TPoint anchor);
    void ReleaseGroup();
    void GroupButtonPressed(int groupIndex, TRxSpeedButton* sender);
    void PrepareNextPicture();
    void UpdateMnemonic();
    void ClickNow();
    bool Inside(int x, int y) const { return x >= 0 && x < Width() && y >= 0 && y <= Height(); }

    std::unique_ptr<TRxButtonGlyph> glyph_;
    std::unique_ptr<TBitmap> drawImage_;
    SpeedButtonState state_ = StateUp;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    TButtonStyle style_ = bsAutoDetect;
    bool pressed_ = false;
    bool flat_ = false;
    bool mouseIn_ = false;
    TButtonLayout layout_ = blGlyphTop;
    int spacing_ = 1;
    int margin_ = -1;
    int modalResult_ = 0;
    bool transparent_ = false;
    bool markDropDown_ = true;
    QPointer<TPopupMenu> dropDownMenu_;
    TRxDropDownMenuPos menuPosition_ = dmpBottom;
    bool grayedInactive_ = true;
    bool menuTracking_ = false;
    TTimer* repeatTimer_ = nullptr;
    bool allowTimer_ = false;
    uint16_t initPause_ = 500;
    uint16_t repeatInterval_ = 100;
    bool inDoubleClick_ = false;
    int mnemonicId_ = 0;
};
