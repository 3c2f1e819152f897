// The hot spot chosen in the hot-spot dialog reaches the cursor the document saves.
#include "animation/sethot.h"

#include "animation/animated_cursor.h"
#include "animation/builders.h"
#include "document/animation_builders.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "mainwindow/testing_started_program.h"
#include "skin/controls/spin_edit.h"
#include "testsupport/testdata.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>

namespace {

class HotSpotDialogRoad : public StartedProgram {
protected:
    void SetUp() override
    {
        // The program binds the builders before it starts.
        InstallAnimationBuilders();
        StartedProgram::SetUp();
        answer = std::make_unique<TDialogAnswererScope>([this](TDialogRequest& r) {
            if (r.Kind == TDialogRequest::dkOpen) {
                qobject_cast<TOpenDialog*>(r.Dialog)->SetFileName(openName);
                r.Result = 1;
                return true;
            }
            told << r.Text;
            r.Result = IDOK;
            return true;
        });
    }
    void TearDown() override
    {
        answer.reset();
        TAnimatedCursor::Instance().Stop();
        StartedProgram::TearDown();
        SetAnimationBuilders(nullptr);
    }
    // A one-image cursor with its hot spot at (x, y).
    QString Cursor(const QString& name, int x, int y)
    {
        QByteArray bytes = ReadTestData("icons/pillow/deerstalker.cur");
        bytes[10] = char(x);
        bytes[11] = 0;
        bytes[12] = char(y);
        bytes[13] = 0;
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // File > Open with the file chosen in its dialog; the document it became.
    Tnewiconview* Open(const QString& path)
    {
        openName = path;
        ClickComponentByName(iconmain, "Open1");
        return qobject_cast<Tnewiconview*>(FindForm(iconmain->ActiveDocumentName));
    }
    // The pointer passing over the document's frame.
    static void PointAt(Tnewiconview* doc)
    {
        auto* panel = qobject_cast<QWidget*>(doc->FindComponent("Panel1"));
        ASSERT_TRUE(panel);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), panel->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
    }
    static QPoint SavedHotSpot(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QPoint(-1, -1);
        const QByteArray b = f.readAll();
        if (b.size() < 14 || b[2] != 2)
            return QPoint(-1, -1);
        return QPoint(uint8_t(b[10]) | uint8_t(b[11]) << 8, uint8_t(b[12]) | uint8_t(b[13]) << 8);
    }

    QString openName;
    QStringList told;
    std::unique_ptr<TDialogAnswererScope> answer;
};

} // namespace

TEST_F(HotSpotDialogRoad, TheHotSpotChosenIsTheOneSaved)
{
    const QString second = Cursor("Second.cur", 20, 25);
    const QString first = Cursor("First.cur", 3, 4);
    Tnewiconview* other = Open(second);
    Tnewiconview* doc = Open(first);
    ASSERT_TRUE(other && doc && other != doc);
    EXPECT_EQ(iconmain->HotSpotX, 3);

    // Set Hot Spot for Cursors: type 5 and 9, Apply.
    ClickComponentByName(iconmain, "SetHotSpotforCursors1");
    Tsethot* dialog = sethot;
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    qobject_cast<TsuiSpinEdit*>(dialog->FindComponent("setx"))->SetText("5");
    qobject_cast<TsuiSpinEdit*>(dialog->FindComponent("sety"))->SetText("9");
    ClickComponentByName(dialog, "suiButton1");
    EXPECT_TRUE(told.isEmpty()) << told.join('|').toStdString();

    // The pointer over the other cursor and back, then File > Save.
    PointAt(other);
    EXPECT_EQ(iconmain->HotSpotX, 20);
    PointAt(doc);
    EXPECT_EQ(iconmain->HotSpotX, 5);
    EXPECT_EQ(iconmain->HotSpotY, 9);
    ClickComponentByName(iconmain, "Save1");
    EXPECT_EQ(SavedHotSpot(first), QPoint(5, 9));

    // Opened again it shows 5,9; the other cursor saves its own.
    Open(first);
    EXPECT_EQ(iconmain->HotSpotX, 5);
    EXPECT_EQ(iconmain->HotSpotY, 9);
    PointAt(other);
    ClickComponentByName(iconmain, "Save1");
    EXPECT_EQ(SavedHotSpot(second), QPoint(20, 25));
    EXPECT_TRUE(told.isEmpty()) << told.join('|').toStdString();
}
