#pragma once

// Push buttons. Click sets the form's ModalResult from the button's, then runs OnClick; Default
// buttons answer Enter and Cancel buttons Escape on their form.

#include "framework/controls.h"

class QPushButton;

class TButton : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)

public:
    explicit TButton(QWidget* parent = nullptr);

    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }

    void Click() override;

protected:
    QPushButton* Button() const { return button_; }
    void TextChanged() override;

private:
    QPushButton* button_;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};
