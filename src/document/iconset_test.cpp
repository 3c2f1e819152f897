#include "document/iconset.h"

#include "document/newiconview.h"
#include "document/testing_editor_state.h"
#include "framework/exceptions.h"
#include "platform/program_paths.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TextOptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        templ = std::make_unique<Tnewiconview>();
        state.NewImageWidth = state.NewImageHeight = 48;
        doc = std::make_unique<Tnewiconview>();
        doc->setObjectName("iconview1");
        state.ActiveDocumentName = "iconview1";
        dialog = &IconSet();
        dialog->Show();
        dialog->Timer1Timer(nullptr);
    }
    void TearDown() override
    {
        delete iconset;
        doc.reset();
        templ.reset();
        SetProgramFolder(QString());
    }
    void Set(const char* name, const char* property, const QVariant& value)
    {
        QObject* c = dialog->FindComponent(name);
        ASSERT_TRUE(c) << name;
        c->setProperty(property, value);
    }
    QSize TextSize() const
    {
        const TSize s = ImageSize(dialog->TextImage);
        return QSize(s.cx, s.cy);
    }

    QTemporaryDir dir;
    TTestingEditorState state;
    std::unique_ptr<Tnewiconview> templ, doc;
    Ticonset* dialog = nullptr;
};

} // namespace

TEST_F(TextOptions, OkPlacesTheCroppedTextOnTheActiveDocument)
{
    // The first render draws "Text" in the stand-in of "Simsun" at 32 pixels.
    ASSERT_TRUE(dialog->TextImage);
    EXPECT_EQ(dialog->FindComponent("suiComboBox1")->property("Text").toString(), "Simsun");
    EXPECT_GT(TextSize().width(), 20);
    EXPECT_LT(TextSize().width(), 80);
    Set("Edit1", "Text", "Ab");
    const QSize size = TextSize();
    ASSERT_FALSE(size.isEmpty());
    dialog->suiButton1Click(nullptr);
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(doc->FloatingSelection);
    const TSize pasted = ImageSize(doc->PastedImage);
    EXPECT_EQ(QSize(pasted.cx, pasted.cy), size);
    // Later renders leave the placed pixels alone.
    Set("Edit1", "Text", "Longer text");
    EXPECT_EQ(ImageSize(doc->PastedImage).cx, pasted.cx);
}

TEST_F(TextOptions, NothingToDrawOrABadNumberChangesNothing)
{
    // An empty text leaves nothing to place: OK keeps the window and the document as they are.
    Set("Edit1", "Text", "");
    EXPECT_FALSE(dialog->TextImage);
    dialog->suiButton1Click(nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(doc->FloatingSelection);

    Set("Edit1", "Text", "Ab");
    GpBitmap* before = dialog->TextImage;
    ASSERT_TRUE(before);
    for (const char* size : {"0", "-3", "100000"}) {
        EXPECT_THROW(
            {
                dialog->FindComponent("fontsize")->setProperty("Text", size);
                dialog->Edit1Change(nullptr);
            },
            Exception)
            << size;
        EXPECT_EQ(dialog->TextImage, before) << size;
    }
    Set("fontsize", "Text", "32");
    for (const char* field : {"fontsize", "ap1", "ap2"}) {
        QObject* c = dialog->FindComponent(field);
        const QString good = c->property("Text").toString();
        for (const char* bad : {"", "big"}) {
            try {
                c->setProperty("Text", bad);
                dialog->Edit1Change(nullptr);
                ADD_FAILURE() << field << " '" << bad << "' was taken";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), QString("'%1' is not a valid integer value").arg(bad)) << field;
            }
            EXPECT_EQ(dialog->TextImage, before) << field;
        }
        c->setProperty("Text", good);
    }
}

TEST_F(TextOptions, StyleBoxesAndTheCentrePickerSetTheirFields)
{
    const struct {
        const char* Box;
        bool Checked;
        int Style;
    } steps[] = {{"suiCheckBox1", true, 1}, {"suiCheckBox2", true, 3}, {"suiCheckBox1", false, 2}, {"suiCheckBox2", false, 0}};
    for (const auto& s : steps) {
        Set(s.Box, "Checked", s.Checked);
        EXPECT_EQ(dialog->FontStyle, s.Style) << s.Box << s.Checked;
    }
    Set("suiRadioButton6", "Checked", true);
    EXPECT_EQ(dialog->FillMode, 3);
    // The picker picks only while its own fill is chosen.
    dialog->okcanMouseDown(nullptr, mbLeft, TShiftState(ssLeft), 5, 5);
    dialog->okcanMouseMove(nullptr, TShiftState(ssLeft), 5, 5);
    EXPECT_EQ(dialog->GradientCenterX, 200);
    Set("suiRadioButton1", "Checked", true);
    EXPECT_EQ(dialog->FillMode, 4);
    dialog->okcanMouseDown(nullptr, mbLeft, TShiftState(ssLeft), 5, 5);
    dialog->okcanMouseMove(nullptr, TShiftState(ssLeft), 10, 30);
    dialog->okcanMouseUp(nullptr, mbLeft, TShiftState(), 10, 30);
    dialog->okcanMouseMove(nullptr, TShiftState(), 40, 40);
    EXPECT_EQ(dialog->GradientCenterX, 10);
    EXPECT_EQ(dialog->GradientCenterY, 30);

    // Typing in the window holds off the main window's tool keys until it closes.
    dialog->suiTabControl1MouseMove(nullptr, TShiftState(), 1, 1);
    EXPECT_EQ(state.ShortcutsSuspended, 1);
    dialog->suiButton2Click(nullptr);
    EXPECT_EQ(state.ShortcutsSuspended, 0);
    EXPECT_FALSE(dialog->TextImage);
}
