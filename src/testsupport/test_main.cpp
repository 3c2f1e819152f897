// Every test program runs inside one QApplication on the offscreen platform, as the windows and
// pictures under test expect an application object.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The per-user folders (drive folders, configuration, registry) of a test run are its own:
    // nothing a test writes reaches the real user's folders or another run.
    QTemporaryDir user;
    if (user.isValid()) {
        qputenv("XDG_DATA_HOME", user.filePath(QStringLiteral("share")).toUtf8());
        qputenv("XDG_CONFIG_HOME", user.filePath(QStringLiteral("config")).toUtf8());
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
