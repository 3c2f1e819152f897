#pragma once

// The skinned list view: the framework's list view with the theme's frame in its two-pixel
// border, able to drive a pair of skinned scroll bars laid over its own (which come and go by
// themselves).

#include "framework/list_view.h"
#include "skin/controls/scroll_bar.h"
#include "skin/theme_items.h"

class QAbstractScrollArea;
class TsuiFileTheme;
class TsuiScrollBarLink;

class TsuiListView : public TListView {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(TsuiScrollBar* VScrollBar READ VScrollBar WRITE SetVScrollBar)
    Q_PROPERTY(TsuiScrollBar* HScrollBar READ HScrollBar WRITE SetHScrollBar)

public:
    explicit TsuiListView(QWidget* parent = nullptr);
    ~TsuiListView() override;

    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);
    TsuiScrollBar* VScrollBar() const;
    void SetVScrollBar(TsuiScrollBar* bar);
    TsuiScrollBar* HScrollBar() const;
    void SetHScrollBar(TsuiScrollBar* bar);
    TsuiScrollBarLink* ScrollBarLink() const { return link_; }

    // The Qt view that shows the items in the current view style.
    QAbstractScrollArea* ActiveView() const;

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool v) override;
    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    void PaintControl() override;
    void EnabledChanged() override;

private:
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    TColor borderColor_ = clBlack;
    TsuiScrollBarLink* link_ = nullptr;
};
