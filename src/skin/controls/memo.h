#pragma once

// The skinned memo: the framework's memo with the theme's frame in its two-pixel border, able to
// drive a pair of skinned scroll bars laid over its own.

#include "framework/memo.h"
#include "skin/controls/scroll_bar.h"
#include "skin/theme_items.h"

class TsuiFileTheme;
class TsuiScrollBarLink;

class TsuiMemo : public TCustomMemo {
    Q_OBJECT
    Q_PROPERTY(TsuiScrollBar* VScrollBar READ VScrollBar WRITE SetVScrollBar)
    Q_PROPERTY(TsuiScrollBar* HScrollBar READ HScrollBar WRITE SetHScrollBar)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)

public:
    explicit TsuiMemo(QWidget* parent = nullptr);
    ~TsuiMemo() override;

    TsuiScrollBar* VScrollBar() const;
    void SetVScrollBar(TsuiScrollBar* bar);
    TsuiScrollBar* HScrollBar() const;
    void SetHScrollBar(TsuiScrollBar* bar);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TsuiScrollBarLink* ScrollBarLink() const { return link_; }

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool v) override;
    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    void PaintControl() override;
    void EnabledChanged() override;

private:
    TColor borderColor_ = clBlack;
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiScrollBarLink* link_ = nullptr;
};
