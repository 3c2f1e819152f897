#pragma once

// Skinned panels: the picture panel (a picture drawn as it is, stretched or tiled, optionally
// over the parent's background) and the captioned panel that collapses to its caption bar and
// expands again with a short animation.

#include "framework/panel.h"
#include "skin/file_theme.h"
#include "skin/theme_items.h"

#include <memory>

class TBitmap;
class TPicture;

namespace SkinPanelTypes {
Q_NAMESPACE
enum TsuiDrawStyle { suiNormal, suiStretch, suiTile };
Q_ENUM_NS(TsuiDrawStyle)
} // namespace SkinPanelTypes
using namespace SkinPanelTypes;

// The fixed text of a refused collapse.
inline constexpr const char* CannotPushPanelText = "Can't push when Align is alClient, alLeft or alRight.";

class TsuiCustomPanel : public TCustomPanel {
    Q_OBJECT

public:
    explicit TsuiCustomPanel(QWidget* parent = nullptr);
    ~TsuiCustomPanel() override;

    TPicture* Picture() const { return picture_.get(); }
    // Copies the picture; the panel follows its changes.
    void SetPicture(TPicture* picture);
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool v);
    TsuiDrawStyle DrawStyle() const { return drawStyle_; }
    void SetDrawStyle(TsuiDrawStyle v);
    // The rectangle the caption took at the last paint.
    TRect LastCaptionRect() const { return captionRect_; }

    using TCustomPanel::TextChanged;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    virtual void FillBackground();
    // A change of the caption, with the rectangle it took before; nothing here.
    virtual void TextChanged(const TRect& lastCaptionRect) {}
    virtual void PictureChanged();

    // Where the caption is drawn: (-1, -1) aligns it in the client rectangle.
    void SetCaptionPos(int x, int y) { captionX_ = x, captionY_ = y; }
    // AutoSize fits the panel to its picture: both sides, or the side its alignment leaves free.
    QSize AutoSizeExtent() const override;
    // The panel's own painting onto an off-screen canvas of its size.
    void PaintPanel(TCanvas* canvas);
    void Paint() override;
    void TextChanged() override;
    void Resize() override;

private:
    std::unique_ptr<TPicture> picture_;
    bool transparent_ = false;
    TsuiDrawStyle drawStyle_ = suiNormal;
    int captionX_ = -1;
    int captionY_ = -1;
    TRect captionRect_;
};

class TsuiImagePanel : public TsuiCustomPanel {
    Q_OBJECT
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(SkinPanelTypes::TsuiDrawStyle DrawStyle READ DrawStyle WRITE SetDrawStyle)

public:
    explicit TsuiImagePanel(QWidget* parent = nullptr) : TsuiCustomPanel(parent) {}
};

class TsuiPanel : public TCustomPanel {
    Q_OBJECT
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(bool ShowButton READ ShowButton WRITE SetShowButton)
    Q_PROPERTY(int Height READ FullHeight WRITE SetFullHeight)
    Q_PROPERTY(uint CaptionFontColor READ CaptionFontColor WRITE SetCaptionFontColor)

public:
    explicit TsuiPanel(QWidget* parent = nullptr);
    ~TsuiPanel() override;

    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);
    bool ShowButton() const { return showButton_; }
    void SetShowButton(bool v);
    TColor CaptionFontColor() const { return captionFontColor_; }
    void SetCaptionFontColor(TColor c);
    // The expanded height; a collapsed panel keeps its height until it expands.
    int FullHeight() const { return fullHeight_; }
    void SetFullHeight(int h);
    bool Expanded() const { return expanded_; }
    bool Animating() const { return animating_; }

    // Collapses to the caption bar (raises for a panel aligned to the client area or a side)
    // and expands again, each in steps of 15 pixels.
    void Push();
    void Pop();
    // The push button's rectangle in the caption bar (empty when it is not shown).
    TRect ButtonRect() const;

    void SetBounds(int left, int top, int width, int height) override;
    void AdjustClientRect(TRect& rect) const override;
    void Notification(QObject* AComponent, TOperation Operation) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TNotifyEvent OnPush;
    TNotifyEvent OnPop;

protected:
    void Paint() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;

private:
    int BarHeight() const;
    bool ButtonShown() const;
    void SetRealHeight(int h);

    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle style_ = DeepBlue;
    TColor borderColor_ = 0;
    bool showButton_ = true;
    TColor captionFontColor_ = 0xFFFFFF;
    int fullHeight_ = 100;
    std::unique_ptr<TBitmap> barPicture_;
    bool expanded_ = true;
    bool buttonHot_ = false;
    bool animating_ = false;
    bool settingFileTheme_ = false;
    bool internalResize_ = false;
};
