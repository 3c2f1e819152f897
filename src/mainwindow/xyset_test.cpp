#include "mainwindow/xyset.h"

#include "framework/bitmap.h"
#include "framework/commands.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "mainwindow/testing_recording_document.h"

namespace {

class RadialCentre : public MainWindowWithDocument {
protected:
    // Opens the dialog from the Tools menu; the person does what `act` does, then closes it.
    void Open(const std::function<void(Txyset&)>& act)
    {
        TDialogAnswererScope person([&](TDialogRequest& r) {
            if (auto* dialog = qobject_cast<Txyset*>(r.Dialog))
                act(*dialog);
            r.Result = mrOk;
            return true;
        });
        ClickComponentByName(main, "SetRadialAngle1");
    }
    static void Drag(Txyset& d, int x, int y)
    {
        d.Image1MouseDown(nullptr, mbLeft, TShiftState(ssLeft), 50, 50);
        d.Image1MouseMove(nullptr, TShiftState(ssLeft), x, y);
        d.Image1MouseUp(nullptr, mbLeft, TShiftState(), x, y);
    }
    static QString Text(Txyset& d, const char* name, const char* property)
    {
        return d.FindComponent(name)->property(property).toString();
    }
    static QImage Preview(Txyset& d)
    {
        auto* image = qobject_cast<TImage*>(d.FindComponent("Image1"));
        TBitmap bitmap;
        bitmap.Assign(image->Picture()->Graphic());
        return BitmapToQImage(bitmap);
    }
};

} // namespace

TEST_F(RadialCentre, OkKeepsTheChosenCentre)
{
    // OK without a drag keeps the centre in force, not the corner.
    main->RadialCenterX = 0.3;
    main->RadialCenterY = 1.7;
    Open([](Txyset& d) { d.suiButton2Click(nullptr); });
    EXPECT_DOUBLE_EQ(main->RadialCenterX, 0.3);
    EXPECT_DOUBLE_EQ(main->RadialCenterY, 1.7);

    const struct {
        int X, Y;
        double Fx, Fy;
        const char *Ex, *Ey;
    } drags[] = {
        {100, 100, 1.0, 1.0, "50", "50"},
        {0, 199, 0.0, 1.99, "0", "99"},
        {250, 40, 2.5, 0.4, "125", "20"}, // a drag that ends outside the preview keeps its position
    };
    for (const auto& c : drags) {
        QString label, x, y;
        Open([&](Txyset& d) {
            Drag(d, c.X, c.Y);
            label = Text(d, "Label2", "Caption");
            x = Text(d, "Edit1", "Text");
            y = Text(d, "Edit2", "Text");
            d.suiButton2Click(nullptr);
        });
        EXPECT_DOUBLE_EQ(main->RadialCenterX, c.Fx) << c.X;
        EXPECT_DOUBLE_EQ(main->RadialCenterY, c.Fy) << c.Y;
        EXPECT_EQ(label, QString(c.Ex) + "," + c.Ey);
        EXPECT_EQ(x, c.Ex);
        EXPECT_EQ(y, c.Ey);
    }

    // Cancel keeps the factors; the next opening shows them.
    Open([](Txyset& d) {
        Drag(d, 10, 10);
        d.suiButton1Click(nullptr);
    });
    EXPECT_DOUBLE_EQ(main->RadialCenterX, 2.5);
    QString shown;
    Open([&](Txyset& d) { shown = Text(d, "Label2", "Caption"); });
    EXPECT_EQ(shown, "125,20");
    EXPECT_TRUE(requests.isEmpty()) << requests.join('\n').toStdString();
}

TEST_F(RadialCentre, PreviewShadesFromTheSecondaryColourAtTheCentreToThePrimaryAtTheRim)
{
    main->SetEditText("upa", "255");
    main->SetEditText("upr", "255");
    main->SetEditText("upg", "0");
    main->SetEditText("upb", "0");
    main->SetEditText("downa", "255");
    main->SetEditText("downr", "0");
    main->SetEditText("downg", "0");
    main->SetEditText("downb", "255");
    QImage preview;
    Open([&](Txyset& d) {
        Drag(d, 60, 100);
        preview = Preview(d);
    });
    ASSERT_EQ(preview.size(), QSize(200, 200));
    const QColor centre = preview.pixelColor(60, 100), rim = preview.pixelColor(197, 100);
    EXPECT_GT(centre.blue(), 230);
    EXPECT_LT(centre.red(), 25);
    EXPECT_GT(rim.red(), 200);
    EXPECT_LT(rim.blue(), 60);
    // Outside the circle the tile shows: light grey or white, never the colours.
    const QColor corner = preview.pixelColor(2, 2);
    EXPECT_EQ(corner.red(), corner.blue());
    EXPECT_GE(corner.red(), 0xCC);

    // The timer after closing draws the stored centre in the colours of that moment.
    main->SetEditText("downr", "0");
    main->SetEditText("downg", "255");
    main->SetEditText("downb", "0");
    ASSERT_TRUE(xyset);
    xyset->Timer1Timer(nullptr);
    const QImage later = Preview(*xyset);
    EXPECT_GT(later.pixelColor(100, 100).green(), 150);
    EXPECT_EQ(xyset->FindComponent("Label2")->property("Caption").toString(), "50,50");
}
