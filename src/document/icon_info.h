#pragma once

// The properties window of a project: its file's name, path and size, and one line per format.

#include "framework/forms.h"

class TIconDocument;

class Ticon_info : public TForm {
    Q_OBJECT

public:
    explicit Ticon_info(QWidget* owner = nullptr);
    ~Ticon_info() override;

    // Fills the labels and the format list from the document; "-" stands for what is not known
    // (no file yet, or a file that can no longer be read).
    void ShowDocument(const TIconDocument& doc);
    QString LabelText(const QString& name) const;
    QString FormatLines() const;

    Q_INVOKABLE void FormShow(TObject* Sender);
};

// Made on first use and kept.
extern Ticon_info* icon_info;
Ticon_info& IconInfo();
