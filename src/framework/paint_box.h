#pragma once

// A blank area whose OnPaint handler draws it.

#include "framework/controls.h"

class TPaintBox : public TGraphicControl {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);

    // The painter of the paint in progress (valid inside OnPaint only).
    QPainter* Painter() const { return painter_; }

    TNotifyEvent OnPaint;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    void Paint(QPainter& p) override;

private:
    QPainter* painter_ = nullptr;
};
