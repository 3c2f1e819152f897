#pragma once

// The rotate and shift dialog: one-pixel shifts of the current format, quarter turns that apply
// as soon as an angle is chosen, and a rotation by any angle on OK. Cancel puts back the picture
// from before the shifts of this showing.

#include "document/command_dialog_fields.h"
#include "framework/forms.h"

class Tusericonset : public TForm, public TRotateDialogFields {
    Q_OBJECT

public:
    explicit Tusericonset(QWidget* owner = nullptr);
    ~Tusericonset() override;

    QString AngleText() const override;

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void UpClick(TObject* Sender);
    Q_INVOKABLE void DownClick(TObject* Sender);
    Q_INVOKABLE void LeftClick(TObject* Sender);
    Q_INVOKABLE void RightClick(TObject* Sender);
    Q_INVOKABLE void QuarterTurnClick(TObject* Sender);
    Q_INVOKABLE void suiButton6Click(TObject* Sender);
    Q_INVOKABLE void suiButton5Click(TObject* Sender);

private:
    bool turning_ = false;
    bool Checked(const char* name) const;
    // Runs the chosen quarter turns in the chosen direction and clears the angle again.
    void ApplyQuarterTurns();
};

extern Tusericonset* usericonset;

// The global instance, made without being shown when it does not exist yet.
Tusericonset& UserIconSet();
