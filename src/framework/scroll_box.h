#pragma once

// A container that scrolls its children: when they reach past its client area, scroll bars
// appear and moving them moves the children, as the framework's scroll boxes do.

#include "framework/controls.h"

class QScrollBar;
class TScrollBox;

// One of the two scroll bars of a scroll box.
class TControlScrollBar {
public:
    TControlScrollBar(TScrollBox* owner, Qt::Orientation kind) : owner_(owner), kind_(kind) {}
    int Position() const { return position_; }
    void SetPosition(int p);
    // The scrolled extent; with AutoScroll it grows to hold every child.
    int Range() const { return range_; }
    void SetRange(int r);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = std::max(1, v); }
    // Whether the bar shows now (Visible and the range exceeds the client area).
    bool IsScrollBarVisible() const;

private:
    friend class TScrollBox;
    TScrollBox* owner_;
    Qt::Orientation kind_;
    int position_ = 0;
    int range_ = 0;
    int calcRange_ = 0;
    bool visible_ = true;
    int increment_ = 8;
};

class TScrollBox : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(bool AutoScroll READ AutoScroll WRITE SetAutoScroll)
    Q_PROPERTY(ControlTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)

public:
    explicit TScrollBox(QWidget* parent = nullptr);
    ~TScrollBox() override;

    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    TControlScrollBar* HorzScrollBar() const { return horz_.get(); }
    TControlScrollBar* VertScrollBar() const { return vert_.get(); }
    // Moves every child by dx, dy.
    void ScrollBy(int dx, int dy);
    // Scrolls so that control is wholly in view.
    void ScrollInView(TControl* control);

    int ClientWidth() const override;
    int ClientHeight() const override;
    void AdjustClientRect(TRect& rect) const override;
    void UpdateScrollBars();

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void AlignControls(TControl* control, TRect& rect) override;
    void PaintControl() override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    friend class TControlScrollBar;
    void ScrollTo(Qt::Orientation kind, int position);
    int Edge() const { return borderStyle_ == bsSingle ? 2 : 0; }

    std::unique_ptr<TControlScrollBar> horz_;
    std::unique_ptr<TControlScrollBar> vert_;
    QScrollBar* hbar_;
    QScrollBar* vbar_;
    bool autoScroll_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    bool updating_ = false;
};
