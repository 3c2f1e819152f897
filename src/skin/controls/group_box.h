#pragma once

// The skinned group box: a frame in the theme's border colour with its caption set into the top
// line, pushing its style into the controls it holds.

#include "skin/controls/panel.h"

class TsuiCustomGroupBox : public TsuiCustomPanel {
    Q_OBJECT
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(QString Caption READ GroupCaption WRITE SetGroupCaption)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    explicit TsuiCustomGroupBox(QWidget* parent = nullptr);

    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    // The group box's own caption; the panel text underneath stays blank.
    QString GroupCaption() const { return caption_; }
    void SetGroupCaption(const QString& caption);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);

    void AdjustClientRect(TRect& rect) const override;
    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    // Pushes the style into the children and takes the border and font colours of the theme.
    virtual void ApplyStyle(TsuiUIStyle style, TsuiFileTheme* fileTheme);
    void Paint() override;
    void FontChanged() override;
    void EnabledChanged() override;

private:
    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle style_ = DeepBlue;
    QString caption_;
    TColor borderColor_ = 0;
};

class TsuiGroupBox : public TsuiCustomGroupBox {
    Q_OBJECT
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)

public:
    explicit TsuiGroupBox(QWidget* parent = nullptr) : TsuiCustomGroupBox(parent) {}
};
