#pragma once

// The skinned single-line edit: the framework's edit with a one-pixel frame in the theme's
// border colour drawn in its two-pixel border.

#include "framework/edit.h"
#include "skin/theme_items.h"

class QLineEdit;
class TsuiFileTheme;

class TsuiEdit : public TCustomEdit {
    Q_OBJECT
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)

public:
    explicit TsuiEdit(QWidget* parent = nullptr);

    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);

    // The Qt editor underneath (where typing goes).
    QLineEdit* Editor() const { return LineEdit(); }

    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    virtual void UIStyleChanged() {}
    void PaintControl() override;

private:
    TColor borderColor_ = clBlack;
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
};
