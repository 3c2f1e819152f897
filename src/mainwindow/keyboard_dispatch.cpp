#include "mainwindow/keyboard_dispatch.h"

#include "framework/commands.h"
#include "framework/controls.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "mainwindow/command_routing.h"
#include "mainwindow/iconmain.h"
#include "skin/form_frame.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

const std::vector<TKeyboardDispatch::TKeyRow>& TKeyboardDispatch::KeyMap()
{
    static const std::vector<TKeyRow> rows = {
        {'A', true, kcDocument, "Selectall1"},
        {VK_LEFT, false, kcNone, "ShiftLeft1"},
        {VK_RIGHT, false, kcNone, "ShiftRight1"},
        {VK_UP, false, kcNone, "ShiftUp1"},
        {VK_DOWN, false, kcNone, "ShiftDown1"},
        {'X', true, kcOverlay, "ToolButton8"},
        {'C', true, kcOverlay, "ToolButton9"},
        {'Z', true, kcNone, "ToolButton5"},
        {'S', false, kcNone, "tool_0"},
        {'P', false, kcNone, "tool_1"},
        {'L', false, kcNone, "tool_2"},
        {'B', false, kcNone, "tool_3"},
        {'R', false, kcNone, "tool_4"},
        {'I', false, kcNone, "tool_5"},
        {'E', false, kcNone, "tool_6"},
        {'F', false, kcNone, "tool_7"},
        {'T', false, kcNone, "tool_8"},
        {'C', false, kcNone, "tool_9"},
        {'D', false, kcNone, "tool_10"},
        {'U', false, kcNone, "tool_11"},
        {VK_F1, false, kcNone, "Help1"},
        {uint16_t(VK_F1 + 8), false, kcNone, "CustomizeWindowsIcons1"},
        {uint16_t(VK_F1 + 1), false, kcNone, "AnimationGIFBuilder1"},
        {uint16_t(VK_F1 + 2), false, kcNone, "AnimationCursorBuilder1"},
        {uint16_t(VK_F1 + 4), false, kcNone, "ToolButton28"},
        {uint16_t(VK_F1 + 5), false, kcNone, "ToolButton23"},
        {'I', true, kcNone, "AnimationCursorBuilder1"},
        {'G', true, kcNone, "AnimationGIFBuilder1"},
        {'D', true, kcNone, "N30"},
        {'K', true, kcNone, "ClearAll1"},
        {'Q', true, kcNone, "Exit1"},
        {'S', true, kcNone, "ToolButton3"},
        {'0', true, kcNone, "ToolButton13"},
        {'9', true, kcNone, "ToolButton14"},
        {'8', true, kcNone, "ToolButton16"},
        {'O', true, kcNone, "ToolButton2"},
        {'N', true, kcNone, "ToolButton1"},
        {'Y', true, kcNone, "ToolButton6"},
        {'W', true, kcNone, "Close1"},
        {VK_DELETE, false, kcNone, "ToolButton11"},
        {'V', true, kcNone, "ToolButton10"},
    };
    return rows;
}

namespace {

bool IsTextField(QWidget* w)
{
    for (QWidget* p = w; p && !qobject_cast<TForm*>(p); p = p->parentWidget()) {
        if (qobject_cast<QLineEdit*>(p) || qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QTextEdit*>(p) ||
            qobject_cast<QPlainTextEdit*>(p))
            return true;
        if (auto* combo = qobject_cast<QComboBox*>(p); combo && combo->isEditable())
            return true;
    }
    return false;
}

// Whether the field edits with this key: what it claims before shortcuts are looked at, and
// every key without Ctrl or Alt (letters, Delete, arrows).
bool FieldTakesKey(QWidget* field, QKeyEvent* e)
{
    if (!(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return true;
    QKeyEvent probe(QEvent::ShortcutOverride, e->key(), e->modifiers(), e->text(), e->isAutoRepeat(), e->count());
    probe.ignore();
    static_cast<QObject*>(field)->event(&probe);
    return probe.isAccepted();
}

// The main window itself or one of the document windows in its client area, with no modal
// window open over them: a key typed into a dialog, a builder or a question box belongs there,
// even when that window is the main window's child.
bool InMainFrame(QWidget* target, Ticonmain* main)
{
    return target->window() == main && !QApplication::activeModalWidget();
}

// The enabled, visible item of the menu that declares this key, as the menu's own shortcut
// handling would find it.
TMenuItem* MenuItemForKey(TMainMenu& menu, WORD key, TShiftState shift)
{
    TMenuItem* item = menu.Items()->FindByShortCut(ShortCut(key, shift & (TShiftState(ssShift) | ssCtrl | ssAlt)));
    for (TMenuItem* i = item; i; i = i->Parent())
        if (!i->Enabled() || !i->Visible())
            return nullptr;
    return item;
}

bool ConditionHolds(Ticonmain& main, TKeyboardDispatch::TCondition condition)
{
    if (condition == TKeyboardDispatch::kcNone)
        return true;
    TForm* document = ActiveDocumentWindow(main);
    if (!document)
        return false;
    if (condition == TKeyboardDispatch::kcDocument)
        return true;
    auto* overlay = qobject_cast<TControl*>(document->FindComponent(QStringLiteral("PaintBox1")));
    return overlay && overlay->Visible();
}

} // namespace

void TKeyboardDispatch::Install()
{
    static TsuiApplicationKeys* keys = nullptr;
    if (!keys) {
        keys = new TsuiApplicationKeys(&TKeyboardDispatch::HandleKey);
        keys->setParent(qApp);
    }
    // The hook installed last hears a key first: this one must decide before any window's own.
    qApp->removeEventFilter(keys);
    qApp->installEventFilter(keys);
}

bool TKeyboardDispatch::HandleKey(QWidget* target, QKeyEvent* e)
{
    static bool delivering = false;
    Ticonmain* main = iconmain;
    if (!main || !target || delivering)
        return false;
    TForm* form = FormOfWidget(target);
    if (!form)
        return false; // an open menu or another toolkit window has the key
    const WORD key = QtKeyToVirtualKey(e->key());
    if (key == 0)
        return false;
    const TShiftState shift = ShiftStateFromQt(e->modifiers(), QApplication::mouseButtons());
    const bool mainInFront = InMainFrame(target, main);
    auto* menu = mainInFront ? qobject_cast<TMainMenu*>(main->FindComponent(QStringLiteral("MainMenu1"))) : nullptr;
    const bool field = IsTextField(target);
    if (field && FieldTakesKey(target, e)) {
        QPointer<TMenuItem> item = menu ? MenuItemForKey(*menu, key, shift) : nullptr;
        if (!item)
            return false;
        // The field gets the key the usual way (its control's key handlers included) while the
        // menu item that declares the same key stands aside.
        item->SetEnabled(false);
        delivering = true;
        QCoreApplication::sendEvent(target, e);
        delivering = false;
        if (item)
            item->SetEnabled(true);
        return true;
    }
    if (menu && menu->IsShortCut(key, shift))
        return true;
    if (!mainInFront || field || main->ShortcutsSuspended != 0)
        return false;
    const bool ctrlAlone = shift == TShiftState(ssCtrl);
    const bool noCtrlAlt = !(shift & (TShiftState(ssCtrl) | ssAlt));
    for (const TKeyRow& row : KeyMap()) {
        if (row.Key != key || !(row.CtrlAlone ? ctrlAlone : noCtrlAlt) || !ConditionHolds(*main, row.Condition))
            continue;
        ClickComponent(main->FindComponent(QLatin1String(row.Component)));
        // A command may close the main window itself.
        if (iconmain != main)
            return true;
    }
    // The focused control still hears the key (a list moves its selection with the arrows).
    return false;
}
