#include "mainwindow/keyboard_dispatch.h"

#include "document/newiconview.h"
#include "framework/combo_box.h"
#include "framework/image.h"
#include "framework/tool_bar.h"
#include "mainwindow/testing_recording_document.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class Keys : public MainWindowWithDocument {
protected:
    // Every menu item, tool button and palette picture of the main window records its name
    // instead of doing its work.
    void RecordMainCommands()
    {
        auto record = [this](QObject* o) { return [this, o](TObject*) { ran << o->objectName(); }; };
        // Items whose windows the program's start binds have no handler of the main window's own.
        for (TMenuItem* item : main->findChildren<TMenuItem*>())
            if (item->Count() == 0)
                item->OnClick = record(item);
        for (TToolButton* button : main->findChildren<TToolButton*>())
            button->OnClick = record(button);
        for (TImage* image : main->findChildren<TImage*>())
            if (image->objectName().startsWith("tool_"))
                image->OnClick = record(image);
    }
    static void Press(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, bool repeat = false)
    {
        const QString text = mods == Qt::NoModifier && key < 0x80 ? QString(QChar(key)).toLower() : QString();
        QKeyEvent down(QEvent::KeyPress, key, mods, text, repeat);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, mods, text, repeat);
        QApplication::sendEvent(target, &up);
    }
    // The combo box has the focus and hands keys on to its edit.
    QComboBox* RecentFilesCombo() const
    {
        auto* combo = qobject_cast<TCustomComboBox*>(main->FindComponent("userfilename"));
        return combo ? combo->ComboWidget() : nullptr;
    }
    TMenuItem* Item(const char* name) const { return qobject_cast<TMenuItem*>(main->FindComponent(name)); }

    QStringList ran;
};

int QtKeyOf(uint16_t vk)
{
    if (vk >= VK_F1 && vk <= VK_F12)
        return Qt::Key_F1 + (vk - VK_F1);
    switch (vk) {
    case VK_LEFT: return Qt::Key_Left;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_UP: return Qt::Key_Up;
    case VK_DOWN: return Qt::Key_Down;
    case VK_DELETE: return Qt::Key_Delete;
    default: return vk; // digits and letters share their codes
    }
}

} // namespace

// Each key of the map runs one command: its own, or the menu item that declares the same key.
TEST_F(Keys, EveryKeyOfTheMapRunsOneCommand)
{
    RecordMainCommands();
    document->SetOverlay(true);
    for (const auto& row : TKeyboardDispatch::KeyMap()) {
        ran.clear();
        Press(main, QtKeyOf(row.Key), row.CtrlAlone ? Qt::ControlModifier : Qt::NoModifier);
        ASSERT_EQ(ran.size(), 1) << row.Component << " ran " << ran.join(',').toStdString();
        const TShortCut keys = ShortCut(row.Key, row.CtrlAlone ? TShiftState(ssCtrl) : TShiftState());
        TMenuItem* declared = qobject_cast<TMenuItem*>(main->FindComponent(ran[0]));
        EXPECT_TRUE(ran[0] == row.Component || (declared && declared->ShortCut() == keys))
            << row.Component << " ran " << ran[0].toStdString();
    }
}

TEST_F(Keys, AKeyServedByMenuAndMapRunsOnce)
{
    RecordMainCommands();
    const struct {
        int Key;
        Qt::KeyboardModifiers Mods;
        QStringList Ran;
    } rows[] = {
        {Qt::Key_Z, Qt::ControlModifier, {"ToolButton5"}}, // Undo item disabled: the button decides
        {Qt::Key_F2, Qt::NoModifier, {"Saveas1"}},        // what the menu shows is what the key does
        {Qt::Key_W, Qt::ControlModifier, {"Close1"}},     // not Flip Vertical
        {Qt::Key_S, Qt::ControlModifier, {"Save1"}},      // and not the Selection tool
        {Qt::Key_C, Qt::ControlModifier, {}},             // no selection: nothing to copy
        {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, {}},
        {Qt::Key_L, Qt::AltModifier, {}},
    };
    for (const auto& row : rows) {
        ran.clear();
        Press(main, row.Key, row.Mods);
        EXPECT_EQ(ran, row.Ran) << row.Key;
    }
    Item("Undo1")->SetEnabled(true);
    ran.clear();
    Press(main, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ran, QStringList({"Undo1"}));
}

TEST_F(Keys, TextFieldsKeepTheirKeys)
{
    RecordMainCommands();
    Item("Undo1")->SetEnabled(true);
    QComboBox* field = RecentFilesCombo();
    ASSERT_TRUE(field && field->lineEdit());
    QLineEdit* edit = field->lineEdit();
    // The combo's own key handler hears every key the field takes.
    int keyDowns = 0;
    qobject_cast<TControl*>(main->FindComponent("userfilename"))->OnKeyDown = [&](TObject*, WORD&, TShiftState) {
        ++keyDowns;
    };
    for (int key : {Qt::Key_S, Qt::Key_E, Qt::Key_D})
        Press(field, key);
    EXPECT_EQ(edit->text(), "sed");
    Press(field, Qt::Key_Left);
    Press(field, Qt::Key_Delete);
    Press(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(ran.isEmpty()) << ran.join(',').toStdString();
    EXPECT_EQ(edit->text(), "sed"); // the field's own undo took back the Delete
    EXPECT_TRUE(document->Take().isEmpty());
    EXPECT_EQ(keyDowns, 6);
    EXPECT_TRUE(Item("Undo1")->Enabled());
    // A key the field does not edit with still reaches the menu.
    Press(field, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ran, QStringList({"Save1"}));
}

TEST_F(Keys, SuspendedShortcutsLeaveTheMenuKeys)
{
    RecordMainCommands();
    main->ShortcutsSuspended = 1;
    Press(main, Qt::Key_L);
    Press(main, Qt::Key_Delete);
    Press(main, Qt::Key_F3);
    EXPECT_TRUE(ran.isEmpty()) << ran.join(',').toStdString();
    Press(main, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(ran, QStringList({"Open1"}));
}

TEST_F(Keys, KeysReachTheDocumentOncePerPressAndOutliveDocuments)
{
    // Each auto-repeated arrow shifts once more.
    Press(main, Qt::Key_Left);
    Press(main, Qt::Key_Left, Qt::NoModifier, true);
    Press(main, Qt::Key_Up);
    Press(main, Qt::Key_A, Qt::ControlModifier);
    Press(main, Qt::Key_Delete);
    EXPECT_EQ(document->Take(), QStringList({"BitBtn33", "BitBtn33", "BitBtn32", "Selectall1", "RemoveImageFormat1"}));

    // A document window made and destroyed takes nothing of the hook with it.
    delete new Tnewiconview(nullptr);
    Press(main, Qt::Key_E);
    EXPECT_EQ(main->CurrentTool, 7);
    EXPECT_TRUE(requests.isEmpty()) << requests.join('\n').toStdString();
}
