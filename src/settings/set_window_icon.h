#pragma once

// The Windows-icon customiser: changes the icons the Windows shell shows for Start Menu entries,
// desktop objects, system icons, drives, folders and drive roots, and the desktop icon metrics.
// Everything is written to our registry store and to real "Desktop.ini" files; the Linux desktop
// itself does not change.

#include "framework/forms.h"
#include "framework/grids.h"
#include "settings/customiser_items.h"
#include "settings/icon_locations.h"

#include <array>

class TDrawGrid;

class Tset_window_icon : public TForm {
    Q_OBJECT

public:
    explicit Tset_window_icon(QWidget* owner = nullptr);
    ~Tset_window_icon() override;

    QString WindowsName;
    int StartMenuRow = 0;
    int DesktopRow = 0;
    int SystemRow = 0;
    int DriveRow = 0;
    QString CurrentIconFile;
    int Customised = 0;
    QString FolderIconFile;
    std::array<IconLocations::IconItemRecord, IconLocations::kDesktopRows> DesktopItems;
    std::array<IconLocations::IconItemRecord, IconLocations::kSystemClassRows> SystemItems;

    // The Folders box as typed.
    QString FolderText() const;
    void RepaintLists();
    // The icon source of a row of a list page, as its row is drawn.
    IconLocations::IconSource LoadRow(CustomiserItems::Page page, int row);

    void LoadIconSizeSettings();
    void FillCustomizerRows();

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void suiPageControl1Change(TObject* Sender);
    Q_INVOKABLE void suiTabSheet2Show(TObject* Sender);
    Q_INVOKABLE void suiTabSheet3Show(TObject* Sender);
    Q_INVOKABLE void suiTabSheet4Show(TObject* Sender);
    Q_INVOKABLE void suiTabSheet6Show(TObject* Sender);
    Q_INVOKABLE void suiTabSheet7Show(TObject* Sender);
    Q_INVOKABLE void beginiconDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    Q_INVOKABLE void suiDrawGrid2DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    Q_INVOKABLE void suiDrawGrid1DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    Q_INVOKABLE void suiDrawGrid4DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    Q_INVOKABLE void beginiconSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    Q_INVOKABLE void suiDrawGrid2SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    Q_INVOKABLE void suiDrawGrid1SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    Q_INVOKABLE void suiDrawGrid4SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    Q_INVOKABLE void HeartPaint(TObject* Sender);
    Q_INVOKABLE void suiForm1TitleBarHelpBtnClick(TObject* Sender, int Index);

    // System Setting
    Q_INVOKABLE void icon_size1Click(TObject* Sender);
    Q_INVOKABLE void icon_size2Click(TObject* Sender);
    Q_INVOKABLE void suiComboBox1Change(TObject* Sender);
    Q_INVOKABLE void suiComboBox2Change(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton4Click(TObject* Sender);
    Q_INVOKABLE void suiButton5Click(TObject* Sender);
    // Folders
    Q_INVOKABLE void Edit1Change(TObject* Sender);
    Q_INVOKABLE void suiButton6Click(TObject* Sender);
    Q_INVOKABLE void suiButton7Click(TObject* Sender);
    Q_INVOKABLE void suiButton8Click(TObject* Sender);
    Q_INVOKABLE void suiButton12Click(TObject* Sender);
    Q_INVOKABLE void suiButton13Click(TObject* Sender);
    Q_INVOKABLE void suiButton14Click(TObject* Sender);
    // Start Menu
    Q_INVOKABLE void suiButton9Click(TObject* Sender);
    Q_INVOKABLE void suiButton40Click(TObject* Sender);
    Q_INVOKABLE void suiButton10Click(TObject* Sender);
    Q_INVOKABLE void suiButton11Click(TObject* Sender);
    Q_INVOKABLE void suiButton15Click(TObject* Sender);
    // Desktop
    Q_INVOKABLE void suiButton16Click(TObject* Sender);
    Q_INVOKABLE void suiButton41Click(TObject* Sender);
    Q_INVOKABLE void suiButton17Click(TObject* Sender);
    Q_INVOKABLE void suiButton18Click(TObject* Sender);
    Q_INVOKABLE void suiButton19Click(TObject* Sender);
    // System Icons
    Q_INVOKABLE void suiButton24Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton25Click(TObject* Sender);
    Q_INVOKABLE void suiButton26Click(TObject* Sender);
    Q_INVOKABLE void suiButton27Click(TObject* Sender);
    // Drives
    Q_INVOKABLE void suiButton28Click(TObject* Sender);
    Q_INVOKABLE void suiButton20Click(TObject* Sender);
    Q_INVOKABLE void suiButton29Click(TObject* Sender);
    Q_INVOKABLE void suiButton30Click(TObject* Sender);
    Q_INVOKABLE void suiButton31Click(TObject* Sender);

private:
    int& SelectedRow(CustomiserItems::Page page);
    TDrawGrid* Grid(CustomiserItems::Page page) const;
    void DrawRow(CustomiserItems::Page page, TObject* Sender, int ARow, const TRect& Rect);
    void SelectRow(CustomiserItems::Page page, int row);
    void SetUndoButton(CustomiserItems::Page page);
    void Modify(CustomiserItems::Page page);
    void Undo(CustomiserItems::Page page);
    void Default(CustomiserItems::Page page);
    void RestoreAll(CustomiserItems::Page page);
    bool RowChosen(CustomiserItems::Page page);
    void ShowPicker(int mode, int number, int row, const QString& file, CustomiserItems::Page page);
    void SetControlEnabled(const QString& name, bool enabled);
};

extern Tset_window_icon* set_window_icon;
// Creates the customiser on first use, keeps it for the program's life and shows it modally.
void ShowWindowsIconCustomiser();
