#pragma once

// A bar between aligned controls that resizes the control before it when dragged.

#include "framework/controls.h"

#include <QPointer>

namespace SplitterTypes {
Q_NAMESPACE
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
Q_ENUM_NS(TResizeStyle)
} // namespace SplitterTypes
using namespace SplitterTypes;

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TSplitter : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(int MinSize READ MinSize WRITE SetMinSize)
    Q_PROPERTY(bool Beveled READ Beveled WRITE SetBeveled)
    Q_PROPERTY(bool AutoSnap READ AutoSnap WRITE SetAutoSnap)
    Q_PROPERTY(SplitterTypes::TResizeStyle ResizeStyle READ ResizeStyle WRITE SetResizeStyle)

public:
    explicit TSplitter(QWidget* parent = nullptr);
    int MinSize() const { return minSize_; }
    void SetMinSize(int v) { minSize_ = std::max(1, v); }
    bool Beveled() const { return beveled_; }
    void SetBeveled(bool v) { beveled_ = v; update(); }
    bool AutoSnap() const { return autoSnap_; }
    void SetAutoSnap(bool v) { autoSnap_ = v; }
    TResizeStyle ResizeStyle() const { return resizeStyle_; }
    void SetResizeStyle(TResizeStyle r) { resizeStyle_ = r; }
    // The control the splitter resizes: the nearest one aligned the same way just before it.
    TControl* ResizeControl() const;

    TNotifyEvent OnMoved;
    TCanResizeEvent OnCanResize;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    int minSize_ = 30;
    bool beveled_ = false;
    bool autoSnap_ = true;
    TResizeStyle resizeStyle_ = rsPattern;
    QPointer<TControl> target_;
    QPoint downPos_;
    int startSize_ = 0;
};
