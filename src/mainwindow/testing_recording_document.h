#pragma once

// Test support: a document window that only records which of its command controls were
// clicked, and the main window in a program folder of its own.

#include "document/editor_state.h"
#include "framework/application.h"
#include "framework/bit_btn.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "framework/paint_box.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/testing_main_window.h"

#include <QPointer>
#include <QStringList>
#include <memory>

class TRecordingDocument {
public:
    // A window named name with a handler on every hidden button and popup item the main window
    // reaches; popup items are menu items, so they run only while enabled.
    explicit TRecordingDocument(const QString& name)
    {
        form = new TForm(nullptr);
        form->setObjectName(name);
        QStringList buttons;
        for (int i = 1; i <= 46; ++i)
            buttons << QStringLiteral("BitBtn%1").arg(i);
        for (int i = 1; i <= 9; ++i)
            buttons << QStringLiteral("Button%1").arg(i);
        buttons << "deleteformat" << "Print";
        for (const QString& b : buttons) {
            auto* button = new TBitBtn(form);
            button->setObjectName(b);
            button->OnClick = [this, b](TObject*) { clicks << b; };
        }
        for (const char* item : {"Grid2", "Selectall1", "Properties1", "RemoveImageFormat1", "addimageSHOW1",
                                 "ShowImageFormatList2", "ShowListonLeft2", "ShowListonRight2",
                                 "Create3232WinXPImageFormat1", "NewIconProjectFromThisImage1",
                                 "NewGifProjectFromThisImage1", "NewAniProjectFromThisImage1", "Ps1"}) {
            auto* menuItem = new TMenuItem(form);
            menuItem->setObjectName(QLatin1String(item));
            const QString name = QLatin1String(item);
            menuItem->OnClick = [this, name](TObject*) { clicks << name; };
        }
        overlay = new TPaintBox(form);
        overlay->setObjectName("PaintBox1");
        overlay->SetVisible(false);
    }
    ~TRecordingDocument() { delete form.data(); }

    void SetOverlay(bool visible) { overlay->SetVisible(visible); }
    // Takes a control's handler away, as a document without that part has none.
    void Unbind(const QString& control)
    {
        if (auto* c = qobject_cast<TControl*>(form->FindComponent(control)))
            c->OnClick = nullptr;
        if (auto* m = qobject_cast<TMenuItem*>(form->FindComponent(control)))
            m->OnClick = nullptr;
    }
    QStringList Take()
    {
        QStringList taken = clicks;
        clicks.clear();
        return taken;
    }

    QPointer<TForm> form;
    TPaintBox* overlay = nullptr;
    QStringList clicks;
};

// A main window in a program folder of its own, with a recording document "iconview1" active.
// Message boxes and dialogs are answered (Cancel) and recorded.
class MainWindowWithDocument : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        main = new Ticonmain;
        document = std::make_unique<TRecordingDocument>("iconview1");
        main->ActiveDocumentName = "iconview1";
    }
    void TearDown() override
    {
        document.reset();
        MainWindowTest::TearDown();
    }
    bool Enabled(const char* name) const { return main->FindComponent(name)->property("Enabled").toBool(); }
    bool Visible(const QString& name) const
    {
        auto* c = qobject_cast<TControl*>(main->FindComponent(name));
        return c && c->Visible();
    }

    Ticonmain* main = nullptr;
    std::unique_ptr<TRecordingDocument> document;
    QStringList requests; // "Kind: text" of every dialog the answerer saw
    TDialogAnswererScope answers{[this](TDialogRequest& r) {
        requests << QString::number(r.Kind) + ": " + r.Text;
        r.Result = r.Kind == TDialogRequest::dkMessageBox ? IDOK : 0;
        return true;
    }};
};
