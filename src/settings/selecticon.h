#pragma once

// The icon picker of the Windows-icon customiser: shows the icons of an icon file, icon library,
// executable or DLL in a grid and writes the chosen one where the item's icon lives.

#include "framework/forms.h"
#include "framework/grids.h"
#include "settings/customiser_items.h"

#include <memory>

class TIconLibrary;
struct HICON_tag;
using HICON = HICON_tag*;

class Tselecticon : public TForm {
    Q_OBJECT

public:
    explicit Tselecticon(QWidget* owner = nullptr);
    ~Tselecticon() override;

    int Mode = 0;
    int ShellIconNumber = 0;
    int ItemRow = 0;
    // Mode 6: the page that opened the picker, which names the undo section.
    CustomiserItems::Page FromPage = CustomiserItems::Page::System;
    int SelectedCell = 0;
    QString FileKind;
    QString DllPath;
    std::unique_ptr<TIconLibrary> Library;

    // The number of icons the grid shows and its columns (four rows, filled row by row).
    int IconCount() const;
    int Columns() const;
    void SetFileText(const QString& text);
    QString FileText() const;
    // The icon of cell k (from 1); null when there is none. The caller destroys it.
    HICON CellIcon(int k) const;
    // Puts an icon into the current-icon box.
    void ShowCurrentIcon(HICON icon);

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void filepathChange(TObject* Sender);
    Q_INVOKABLE void suiDrawGrid1DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    Q_INVOKABLE void suiDrawGrid1SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton4Click(TObject* Sender);

private:
    // The file last loaded, and the text the choice belongs to.
    QString loadedText_;
    QString namedText_;
    void LoadFile(const QString& text);
    // Nothing chosen, and no chosen icon shown.
    void ClearChoice();
    void RepaintGrid();
    void ShowInImage(const QString& name, HICON icon);
};

extern Tselecticon* selecticon;
// The picker, created on first use and kept.
Tselecticon* SelectIconWindow();
