#pragma once

// Skinned push buttons: the base that paints a state picture of the theme, a caption and a focus
// frame off-screen and clicks on mouse, Space, Enter, Escape and its accelerator; the push button
// with an optional glyph; the button drawn from four pictures of its own; the arrow button of the
// spin buttons; and the small glyph button of the MDI frame.

#include "framework/bit_btn.h"
#include "framework/panel.h"
#include "skin/file_theme.h"
#include "skin/theme_items.h"

#include <memory>

class QTimer;
class TBitmap;
class TPicture;

class TsuiCustomButton : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(int FocusedRectMargin READ FocusedRectMargin WRITE SetFocusedRectMargin)
    Q_PROPERTY(int MouseContinuouslyDownInterval READ MouseContinuouslyDownInterval WRITE SetMouseContinuouslyDownInterval)

public:
    explicit TsuiCustomButton(QWidget* parent = nullptr);
    ~TsuiCustomButton() override;

    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    virtual TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    int FocusedRectMargin() const { return focusedRectMargin_; }
    void SetFocusedRectMargin(int v);
    int MouseContinuouslyDownInterval() const { return repeatInterval_; }
    void SetMouseContinuouslyDownInterval(int v) { repeatInterval_ = v; }
    void SetAutoSize(bool v) override;

    // Enter clicks this button now: it has the focus, or no push button has it and Default is on.
    bool ActsAsDefault() const;
    bool MouseOver() const { return mouseOver_; }
    bool Pressed() const { return pressed_; }
    // Whether the repeat timer runs (the left button is held on the control).
    bool Repeating() const { return repeatTimer_ != nullptr; }

    // Hands the button's ModalResult (0 included) to its form, then runs OnClick.
    void Click() override;

    void Notification(QObject* AComponent, TOperation Operation) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TNotifyEvent OnMouseExit;
    TNotifyEvent OnMouseContinuouslyDown;

protected:
    // Sizes the control to its picture while AutoSize is on.
    virtual void AutoSizeToImage();
    virtual void CaptionChanged() {}
    virtual void ApplyTransparent();
    virtual void UIStyleChanged() {}
    virtual void DrawPicture(TCanvas* canvas, TBitmap* picture);
    virtual void DrawCaption(TCanvas* canvas);
    virtual void DrawFocusFrame(TCanvas* canvas);
    virtual void GetNormalPicture(TBitmap* picture);
    virtual void GetMouseOverPicture(TBitmap* picture);
    virtual void GetPressedPicture(TBitmap* picture);
    virtual void GetDisabledPicture(TBitmap* picture);

    QSize AutoSizeExtent() const override;
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void EnabledChanged() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    bool event(QEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    bool PictureTransparent() const { return pictureTransparent_; }
    void SetBoldCaptionOnce() { boldCaptionOnce_ = true; }
    // Draws the caption text as the base does, into rect: the block measured with word wrapping,
    // centred, each line centred in it.
    void DrawCenteredCaption(TCanvas* canvas, const TRect& rect, TColor color);
    void ButtonPicture(TBitmap* picture, int frame);

private:
    void StopRepeat();
    void UpdateMnemonic();

    bool cancel_ = false;
    bool default_ = false;
    bool transparent_ = false;
    int modalResult_ = 0;
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    bool boldCaptionOnce_ = false;
    bool pictureTransparent_ = false;
    QTimer* repeatTimer_ = nullptr;
    int repeatInterval_ = 100;
    int focusedRectMargin_ = 2;
    bool mouseOver_ = false;
    bool pressed_ = false;
    int mnemonicId_ = 0;
};

class TsuiButton : public TsuiCustomButton {
    Q_OBJECT
    Q_PROPERTY(BitBtnTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int ResHandle READ ResHandle WRITE SetResHandle)

public:
    explicit TsuiButton(QWidget* parent = nullptr);
    ~TsuiButton() override;

    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* glyph);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    int ResHandle() const { return 0; }
    void SetResHandle(int) {}
    // Where the caption goes when the button has a glyph (computed while painting).
    TPoint CaptionOrigin() const { return {captionX_, captionY_}; }

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void UIStyleChanged() override;
    void DrawPicture(TCanvas* canvas, TBitmap* picture) override;
    void DrawCaption(TCanvas* canvas) override;
    void DrawFocusFrame(TCanvas* canvas) override;

private:
    std::unique_ptr<TBitmap> glyph_;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    int captionX_ = 0;
    int captionY_ = 0;
};

class TsuiImageButton : public TsuiCustomButton {
    Q_OBJECT
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool DrawFocused READ DrawFocused WRITE SetDrawFocused)

public:
    explicit TsuiImageButton(QWidget* parent = nullptr);
    ~TsuiImageButton() override;

    // Always FromThemeFile: the pictures are the button's own.
    TsuiUIStyle UIStyle() const override { return FromThemeFile; }

    TPicture* PicNormal() const { return pics_[0].get(); }
    TPicture* PicMouseOn() const { return pics_[1].get(); }
    TPicture* PicMouseDown() const { return pics_[2].get(); }
    TPicture* PicDisabled() const { return pics_[3].get(); }
    void SetPicNormal(TPicture* p) { SetPic(0, p); }
    void SetPicMouseOn(TPicture* p) { SetPic(1, p); }
    void SetPicMouseDown(TPicture* p) { SetPic(2, p); }
    void SetPicDisabled(TPicture* p) { SetPic(3, p); }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool DrawFocused() const { return drawFocused_; }
    void SetDrawFocused(bool v);

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    QSize AutoSizeExtent() const override;
    void DrawPicture(TCanvas* canvas, TBitmap* picture) override;
    void DrawFocusFrame(TCanvas* canvas) override;
    void GetNormalPicture(TBitmap* picture) override;
    void GetMouseOverPicture(TBitmap* picture) override;
    void GetPressedPicture(TBitmap* picture) override;
    void GetDisabledPicture(TBitmap* picture) override;

private:
    void SetPic(int index, TPicture* p);
    // The state picture, or PicNormal when that one is empty.
    void CopyPic(int index, TBitmap* picture);
    std::unique_ptr<TPicture> pics_[4];
    bool stretch_ = false;
    bool drawFocused_ = false;
};

namespace SkinButtonTypes {
Q_NAMESPACE
enum TsuiArrowButtonType { suiUp, suiDown };
Q_ENUM_NS(TsuiArrowButtonType)
} // namespace SkinButtonTypes
using namespace SkinButtonTypes;

class TsuiArrowButton : public TsuiCustomButton {
    Q_OBJECT
    Q_PROPERTY(SkinButtonTypes::TsuiArrowButtonType Arrow READ Arrow WRITE SetArrow)

public:
    explicit TsuiArrowButton(QWidget* parent = nullptr);

    TsuiArrowButtonType Arrow() const { return arrow_; }
    void SetArrow(TsuiArrowButtonType v);

protected:
    void UIStyleChanged() override;
    void DrawPicture(TCanvas* canvas, TBitmap* picture) override;
    void DrawCaption(TCanvas*) override {}

private:
    TsuiArrowButtonType arrow_ = suiUp;
};

// An 18 x 18 glyph button with a black frame while the mouse is over it. It reads no theme: its
// owner sets Color.
class TsuiToolBarSpeedButton : public TCustomPanel {
    Q_OBJECT

public:
    explicit TsuiToolBarSpeedButton(QWidget* parent = nullptr);
    ~TsuiToolBarSpeedButton() override;

    TBitmap* Glyph() const { return glyph_.get(); }
    // Copies the bitmap; the button shows it at its next paint.
    void SetGlyph(TBitmap* glyph);
    bool MouseOver() const { return mouseOver_; }

protected:
    void Paint() override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    std::unique_ptr<TBitmap> glyph_;
    bool mouseOver_ = false;
};
