#pragma once

// A blank area whose OnPaint handler draws it.

#include "framework/controls.h"

class TPaintBox : public TGraphicControl {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);

    TNotifyEvent OnPaint;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    void Paint() override;
};
