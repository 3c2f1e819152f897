#pragma once

// The skinned progress bar: a filled picture of the theme over the background colour, a border
// and a percentage caption.

#include "framework/controls.h"
#include "skin/theme_items.h"

#include <memory>

class TPicture;
class TsuiFileTheme;

namespace SkinBarTypes {
Q_NAMESPACE
enum TsuiProgressBarOrientation { suiHorizontal, suiVertical };
Q_ENUM_NS(TsuiProgressBarOrientation)
} // namespace SkinBarTypes
using namespace SkinBarTypes;

class TsuiProgressBar : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(uint CaptionColor READ CaptionColor WRITE SetCaptionColor)
    Q_PROPERTY(bool ShowCaption READ ShowCaption WRITE SetShowCaption)
    Q_PROPERTY(bool SmartShowCaption READ SmartShowCaption WRITE SetSmartShowCaption)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(SkinBarTypes::TsuiProgressBarOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)

public:
    explicit TsuiProgressBar(QWidget* parent = nullptr);
    ~TsuiProgressBar() override;

    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(TColor c);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool v);
    bool SmartShowCaption() const { return smartShowCaption_; }
    void SetSmartShowCaption(bool v);
    // Min, Max and Position are taken as they come: the percentage may leave 0..100.
    int Max() const { return max_; }
    void SetMax(int v);
    int Min() const { return min_; }
    void SetMin(int v);
    int Position() const { return position_; }
    void SetPosition(int v);
    TsuiProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TsuiProgressBarOrientation o);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);
    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(TPicture* p);

    // (Position - Min) * 100 div (Max - Min); 0 when Min = Max.
    int GetPercent() const;
    // The filled part of a length: 0 at or below Min (or with Min >= Max), all of it above Max.
    int FilledLength(int length) const;

    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    void Paint() override;
    void ColorChanged() override;

private:
    void UpdateCaption();
    void LoadThemePictures();
    void ApplyOrientationSize(int length);

    std::unique_ptr<TPicture> picture_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 50;
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiProgressBarOrientation orientation_ = suiHorizontal;
    TColor borderColor_ = clBlack;
    bool showCaption_ = true;
    TColor captionColor_ = clBlack;
    bool smartShowCaption_ = false;
};
