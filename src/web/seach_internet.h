#pragma once

// The web image search: keywords sent to one of two image-search services, the result shown in
// the web window, from where pictures can be captured.

#include "framework/forms.h"

class Tseach_internet : public TForm {
    Q_OBJECT

public:
    explicit Tseach_internet(QWidget* owner = nullptr);
    ~Tseach_internet() override;

    // The keywords as typed, without the blanks and control characters around them.
    QString Keywords() const;
    // The address a search with these keywords on the chosen engine goes to.
    QString SearchAddress() const;

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
};

// Created on first use and kept.
extern Tseach_internet* seach_internet;
void ShowImageSearch();
