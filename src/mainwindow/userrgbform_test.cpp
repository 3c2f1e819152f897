// The colour balance dialog from Filters > Color > Color Balance on the active project.

#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/edit.h"
#include "mainwindow/testing_started_program.h"
#include "mainwindow/userrgbform.h"
#include "skin/controls/track_bar.h"

#include <functional>

namespace {

class ColourBalance : public StartedProgram {
protected:
    void SetUp() override
    {
        StartedProgram::SetUp();
        source = Picture();
    }
    QImage Picture() const { return StartedProgram::Picture(doc); }
    // Opens the dialog from the menu; the person does what act does while it is shown.
    void Open(const std::function<void(TuserRGBForm&)>& act)
    {
        TDialogAnswererScope person([&](TDialogRequest& r) {
            if (auto* d = qobject_cast<TuserRGBForm*>(r.Dialog))
                act(*d);
            else
                requests << r.Text;
            r.Result = mrOk;
            return true;
        });
        ClickComponentByName(iconmain, "ColorBalance1");
    }
    static void Release(TuserRGBForm& d, int red, int green, int blue)
    {
        d.Bar(1)->SetPosition(red);
        d.Bar(2)->SetPosition(green);
        d.Bar(3)->SetPosition(blue);
        d.RedTrackBarMouseDown(d.Bar(1), mbLeft, TShiftState(ssLeft), 0, 0);
        d.RedTrackBarMouseUp(d.Bar(1), mbLeft, TShiftState(), 0, 0);
    }
    static QString Caption(TuserRGBForm& d, const char* name) { return d.FindComponent(name)->property("Caption").toString(); }

    QImage source;
    QStringList requests;
};

} // namespace

TEST_F(ColourBalance, OffsetsReachEveryVisiblePixelAndKeepAlpha)
{
    const struct {
        int R, G, B;
    } cases[] = {{255, 0, 0}, {-255, 0, 0}, {0, 40, -40}, {0, 0, 0}};
    for (const auto& c : cases) {
        QImage shown;
        Open([&](TuserRGBForm& d) {
            Release(d, c.R, c.G, c.B);
            shown = Picture();
            d.suiButton1Click(nullptr);
        });
        const QImage kept = Picture();
        EXPECT_EQ(kept, shown) << "OK keeps what the release showed";
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x) {
                const QRgb s = source.pixel(x, y), r = kept.pixel(x, y);
                ASSERT_EQ(qAlpha(r), qAlpha(s));
                if (qAlpha(s) == 0) {
                    ASSERT_EQ(r, 0u);
                    continue;
                }
                ASSERT_EQ(qRed(r), std::clamp(qRed(s) + c.R, 0, 255)) << x << "," << y;
                ASSERT_EQ(qGreen(r), std::clamp(qGreen(s) + c.G, 0, 255));
                ASSERT_EQ(qBlue(r), std::clamp(qBlue(s) + c.B, 0, 255));
            }
        // One applied balance is one undo step.
        ClickComponentByName(iconmain, "Undo1");
        ASSERT_EQ(Picture(), source);
    }
}

TEST_F(ColourBalance, UndoCancelAndTheCloseBoxRestore)
{
    for (const char* how : {"Undo", "Cancel", "close box"}) {
        QImage afterUndo;
        Open([&](TuserRGBForm& d) {
            Release(d, 100, 0, 0);
            EXPECT_NE(Picture(), source) << how;
            if (QLatin1String(how) == "Undo") {
                d.suiButton2Click(nullptr);
                afterUndo = Picture();
                EXPECT_EQ(d.Bar(1)->Position(), 0);
                EXPECT_EQ(Caption(d, "REDValueLbl"), "0");
                // OK after Undo keeps the restored picture.
                d.suiButton1Click(nullptr);
            } else if (QLatin1String(how) == "Cancel") {
                d.suiButton3Click(nullptr);
            } else {
                d.Close();
            }
        });
        EXPECT_EQ(Picture(), source) << how;
    }
}

TEST_F(ColourBalance, LabelsAndValueBoxes)
{
    Open([&](TuserRGBForm& d) {
        // Each bar and its box lie inside the window, between title and buttons.
        auto* area = qobject_cast<TControl*>(d.FindComponent("Panel2"));
        for (int k = 1; k <= 3; ++k) {
            EXPECT_LE(d.Bar(k)->Top() + d.Bar(k)->Height(), area->Height()) << k;
            auto* box = qobject_cast<TControl*>(d.FindComponent(QStringLiteral("text%1").arg(k)));
            EXPECT_LE(box->Left() + box->Width(), area->Width()) << k;
            EXPECT_LE(d.Bar(k)->Left() + d.Bar(k)->Width(), box->Left()) << k;
        }
        // Every launch starts from 0.
        EXPECT_EQ(d.Bar(1)->Position(), 0);
        const struct {
            int Position;
            const char* Label;
        } rows[] = {{25, "+25"}, {0, "0"}, {-25, "-25"}};
        for (const auto& r : rows) {
            d.Bar(2)->SetPosition(r.Position);
            EXPECT_EQ(Caption(d, "GreenValueLbl"), r.Label);
            EXPECT_EQ(d.FindComponent("text2")->property("Text").toString(), QString::number(r.Position));
        }
        auto* box = qobject_cast<TCustomEdit*>(d.FindComponent("text3"));
        box->SetText("300");
        EXPECT_EQ(d.Bar(3)->Position(), 255);
        EXPECT_EQ(box->Text(), "255");
        box->SetText("-");
        EXPECT_EQ(d.Bar(3)->Position(), 255);
        // Typing moves the bars but writes nothing into the document.
        EXPECT_EQ(Picture(), source);
        d.suiButton3Click(nullptr);
    });
    EXPECT_EQ(requests.size(), 1) << "the lone minus sign is refused with a message";
    Open([&](TuserRGBForm& d) {
        EXPECT_EQ(d.Bar(3)->Position(), 0);
        EXPECT_EQ(Caption(d, "BlueValueLbl"), "0");
        d.Close();
    });
}

TEST_F(ColourBalance, TheTemplateOrAnotherDocumentIsLeftAlone)
{
    iconmain->ActiveDocumentName = "newiconview";
    bool shown = false;
    Open([&](TuserRGBForm&) { shown = true; });
    EXPECT_FALSE(shown);
    EXPECT_EQ(requests, QStringList({"Open or create an icon project first."}));
    EXPECT_EQ(Picture(), source);
}
