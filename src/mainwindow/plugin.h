#pragma once

// The dialog that asks where Photoshop keeps its plug-ins, when the registry does not say.

#include "framework/forms.h"

class Tplugin : public TForm {
    Q_OBJECT

public:
    explicit Tplugin(QWidget* owner = nullptr);
    ~Tplugin() override;

    // Photoshop's folder as the registry gave it; empty until one was read.
    QString PhotoshopAppPath;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);

    QString LocationText() const;
    void SetLocationText(const QString& text);
};

// Created at program start and kept; made on first use when the start-up did not make it.
extern Tplugin* plugin;
Tplugin* PluginDialog();
