#pragma once

// Skinned combo boxes: the framework's combo box under a frame in the theme's colours and a
// themed drop button with an arrow; the drive combo box lists the mounted file systems.

#include "framework/combo_box.h"
#include "skin/theme_items.h"

class QStorageInfo;
class TsuiFileTheme;

class TsuiCustomComboBox : public TCustomComboBox {
    Q_OBJECT
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(uint ButtonColor READ ButtonColor WRITE SetButtonColor)
    Q_PROPERTY(uint ArrowColor READ ArrowColor WRITE SetArrowColor)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)

public:
    explicit TsuiCustomComboBox(QWidget* parent = nullptr);
    ~TsuiCustomComboBox() override;

    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);
    TColor ButtonColor() const { return buttonColor_; }
    void SetButtonColor(TColor c);
    TColor ArrowColor() const { return arrowColor_; }
    void SetArrowColor(TColor c);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);

    // The drop button's rectangle in the control.
    TRect ButtonRect() const;
    // The skin over the native control: frame, button and arrow.
    void PaintSkin(TCanvas* canvas);

    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    void DrawArrow(TCanvas* canvas, int x, int y);
    void EnabledChanged() override;
    void Resize() override;
    // The list closed (after OnCloseUp); the parent is repainted.
    virtual void ListClosed();

private:
    TColor borderColor_ = clBlack;
    TColor buttonColor_ = clBtnFace;
    TColor arrowColor_ = clBlack;
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    QWidget* skin_ = nullptr;
};

class TsuiComboBox : public TsuiCustomComboBox {
    Q_OBJECT
public:
    explicit TsuiComboBox(QWidget* parent = nullptr) : TsuiCustomComboBox(parent) {}
};

// The mounted file systems, the root first, each shown by its mount point; Drive is the chosen
// mount point.
class TsuiDriveComboBox : public TsuiCustomComboBox {
    Q_OBJECT
    Q_PROPERTY(QString Drive READ Drive WRITE SetDrive)

public:
    explicit TsuiDriveComboBox(QWidget* parent = nullptr);

    QString Drive() const;
    void SetDrive(const QString& mountPoint);
    // Lists the mount points again.
    void Refresh();

    // The mount points in list order: "/" first, then the others sorted; pseudo file systems
    // (proc, sysfs, cgroups, ...) and unready volumes left out.
    static QStringList MountPoints(const QList<QStorageInfo>& volumes);
};
