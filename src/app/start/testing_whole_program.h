#pragma once

// Test support: the whole program started through its own start routine in a program folder of
// its own (as the entry starts it, with every subsystem's windows bound), the start-up timer run,
// its first project "iconview1" in front, and every window gone afterwards.

#include "app/start/whole_program.h"
#include "document/newiconview.h"
#include "framework/application.h"
#include "framework/forms.h"
#include "framework/testing_forms.h"
#include "mainwindow/iconmain.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class WholeProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        SetProgramFolder(dir.path());
        StartWholeProgram(Arguments());
        ASSERT_TRUE(iconmain);
        iconmain->Timer3Timer(nullptr);
        doc = qobject_cast<Tnewiconview*>(FindForm(QStringLiteral("iconview1")));
        ASSERT_TRUE(doc);
    }
    void TearDown() override
    {
        FreeEveryForm();
        SetProgramFolder(QString());
    }

    // What the program is started with, its name left out.
    virtual QStringList Arguments() { return {}; }

    QTemporaryDir dir;
    Tnewiconview* doc = nullptr;
};
