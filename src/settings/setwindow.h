#pragma once

// The editing-options dialog: the checkerboard behind transparent pixels, the grid colours and
// the selection colour of every document. It keeps the backdrop tile the documents take when
// their hidden "Button9" is clicked, so it lives (hidden) until the program ends.

#include "framework/forms.h"

#include <QImage>
#include <cstdint>

class TsuiColorBox;

// A tile two cells wide and high for the style text ("smaller" 4, "small" 5, "midle" 7, "big" 9
// pixels a cell): colour 1 top-left and bottom-right, colour 2 top-right and bottom-left. Null
// for a text that names no style. Colours are 0xAARRGGBB.
QImage MakeBackdropTile(const QString& style, uint32_t color1, uint32_t color2);
// The default backdrop: 24 by 24 pixels of 4-pixel cells in light grey and white.
QImage DefaultBackdropTile();
// Gives the tile to the documents and clicks the enabled "Button9" of every document window of
// the main window, in the main window's order.
void PushEditingOptionsToDocuments(const QImage& tile);

class Tsetwindow : public TForm {
    Q_OBJECT

public:
    explicit Tsetwindow(QWidget* owner = nullptr);
    ~Tsetwindow() override;

    // Replaced, never reused, each time a new tile is made; the default backdrop until then.
    QImage BackgroundTile;

    // The colour boxes in 0xAARRGGBB (n = 1..5).
    uint32_t BoxColor(int n) const;
    void SetBoxColor(int n, uint32_t argb);
    // The preview's picture as last drawn.
    QImage PreviewImage() const;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormPaint(TObject* Sender);
    Q_INVOKABLE void suiComboBox1Change(TObject* Sender);
    Q_INVOKABLE void suiColorBox1Change(TObject* Sender);
    Q_INVOKABLE void suiColorBox2Change(TObject* Sender);
    Q_INVOKABLE void suiTabSheet2Show(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton10Click(TObject* Sender);

private:
    TsuiColorBox* Box(int n) const;
    QString StyleText() const;
    void DrawPreview();
    // The editor state's grid and selection colours into the page "Selection and Grid", and back.
    void LoadGridAndSelectionColors();
    void TakeGridAndSelectionColors();

    QImage preview_;
};

extern Tsetwindow* setwindow;

// Shows the dialog, making it on first use.
void ShowEditingOptions();
