#pragma once

// The Other Products page: four of the maker's other products, each on a tab with its picture
// and description, and four offer lines whose "More..." links open the product's page in the
// web window.

#include "framework/forms.h"

class Totherpage : public TForm {
    Q_OBJECT

public:
    explicit Totherpage(QWidget* owner = nullptr);
    ~Totherpage() override;

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void Label7Click(TObject* Sender);
    Q_INVOKABLE void Label10Click(TObject* Sender);
    Q_INVOKABLE void Label13Click(TObject* Sender);
    Q_INVOKABLE void Label15Click(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
};

// Created on first use and kept.
extern Totherpage* otherpage;
Totherpage* OtherProductsPage();
