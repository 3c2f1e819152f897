#include "settings/update_service.h"

#include "mainwindow/configuration_file.h"
#include "mainwindow/testing_main_window.h"

namespace {

TEST(VersionText, ComparedByItsVersionField)
{
    const struct {
        const char* Text;
        TUpdateReport::TKind Kind;
        const char* Message;
    } cases[] = {
        {"  Brelnova: 10050206 Fixes the grid.\r\n", TUpdateReport::NoUpdate,
         "No Update Found.\r\n\r\nPlease read New Release for other release information."},
        {"Brelnova: 11060101 New tools.", TUpdateReport::NewVersion,
         "New Full-Working Version: V1.1+ (Build 60101 ) Found !\r\n\r\nPlease read New Release for more details."},
        // An older version on the server is no update.
        {"Brelnova: 09991231 Old.", TUpdateReport::NoUpdate, nullptr},
        {"abc", TUpdateReport::Unreadable, nullptr},
        {"<html><body>Not Found</body></html>", TUpdateReport::Unreadable, nullptr},
        {"", TUpdateReport::Unreadable, nullptr},
    };
    for (const auto& c : cases) {
        const TUpdateReport r = EvaluateVersionText(c.Text, "1.0", "050206");
        EXPECT_EQ(r.Kind, c.Kind) << c.Text;
        if (c.Message)
            EXPECT_EQ(r.Message, c.Message) << c.Text;
    }
    // The notes run from position 20 of the trimmed text to its end, with or without blanks
    // around the text.
    EXPECT_EQ(EvaluateVersionText("Brelnova: 11060101 New tools.", "1.0", "050206").Release,
              "Product: Brelnova Studio\r\nNew tools.");
    EXPECT_EQ(EvaluateVersionText("  Brelnova: 10050206 Fixes the grid.\r\n", "1.0", "050206").Release,
              "Product: Brelnova Studio\r\nFixes the grid.");
}

class ServiceAddress : public MainWindowTest {};

TEST_F(ServiceAddress, FromTheConfigurationWithItsPort)
{
    EXPECT_EQ(UpdateVersionTextUrl().toString(), "http://www.brelnova.com/rozazuvidodiro.txt");
    WriteConfiguration("liveupdate", "server", "http://127.0.0.1:8123/upd");
    EXPECT_EQ(UpdateVersionTextUrl().toString(), "http://127.0.0.1:8123/upd/rozazuvidodiro.txt");
    EXPECT_EQ(UpdateDetailsUrl().toString(), "http://127.0.0.1:8123/upd/update.htm");
    WriteConfiguration("liveupdate", "server", "ftp://x/");
    EXPECT_EQ(UpdateServiceRoot().toString(), "http://www.brelnova.com/");
}

} // namespace
