#pragma once

// A program folder of its own for tests of the main window, with every window the test made
// gone afterwards.

#include "framework/application.h"
#include "framework/forms.h"
#include "framework/testing_forms.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath("data");
        SetProgramFolder(dir_.path());
    }
    void TearDown() override
    {
        FreeEveryForm();
        SetProgramFolder(QString());
    }

    QTemporaryDir dir_;
};
