#include "document/new_size_dialog.h"

#include "controls/html_help.h"
#include "document/format_list.h"
#include "framework/beep.h"
#include "framework/controls.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"
#include "skin/controls/message_dialog.h"

#include <algorithm>

TSideText ReadSideText(const QString& text, int& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return TSideText::Incomplete;
    if (!std::all_of(t.begin(), t.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return TSideText::NotInteger;
    // Leading zeros aside, more than three digits is always too large.
    qsizetype first = 0;
    while (first < t.size() - 1 && t[first] == QLatin1Char('0'))
        ++first;
    if (t.size() - first > 3)
        return TSideText::TooLarge;
    const int v = t.mid(first).toInt();
    if (v > kMaxImageSide)
        return TSideText::TooLarge;
    if (v < 1)
        return TSideText::Incomplete;
    value = v;
    return TSideText::Taken;
}

bool IsImageKind(const QString& kind)
{
    return FormatKindRank(kind) < 5;
}

void FilterSizeKey(QChar& key)
{
    if (key != QChar(8) && !(key >= QLatin1Char('0') && key <= QLatin1Char('9')))
        key = QChar(0);
    MessageBeep(1);
}

namespace {

QObject* Component(const TForm& dialog, const char* name)
{
    return dialog.FindComponent(QLatin1String(name));
}

// While a size edit copies its text into its partner, the partner must not copy it back.
bool copyingSquare = false;

} // namespace

QString ControlText(const TForm& dialog, const char* name)
{
    QObject* c = Component(dialog, name);
    return c ? c->property("Text").toString() : QString();
}

void SetControlText(TForm& dialog, const char* name, const QString& text)
{
    if (QObject* c = Component(dialog, name))
        c->setProperty("Text", text);
}

bool IsControlChecked(const TForm& dialog, const char* name)
{
    QObject* c = Component(dialog, name);
    return c && c->property("Checked").toBool();
}

void CheckControl(TForm& dialog, const char* name, bool checked)
{
    if (QObject* c = Component(dialog, name))
        c->setProperty("Checked", checked);
}

void EnableControl(TForm& dialog, const char* name, bool enabled)
{
    if (auto* c = qobject_cast<TControl*>(Component(dialog, name)))
        c->SetEnabled(enabled);
}

void SizeEditChanged(TForm& dialog, const char* edit, const char* partner, const TSideWarnings& warnings, int& side)
{
    const QString text = ControlText(dialog, edit);
    int v = 0;
    switch (ReadSideText(text, v)) {
    case TSideText::NotInteger:
        WarnInDialog(dialog, warnings.NotInteger);
        SetControlText(dialog, edit, QStringLiteral("32"));
        return;
    case TSideText::TooLarge:
        WarnInDialog(dialog, warnings.TooLarge);
        return;
    case TSideText::Incomplete:
        return;
    case TSideText::Taken:
        break;
    }
    side = v;
    if (copyingSquare || !IsControlChecked(dialog, "suiCheckBox1"))
        return;
    copyingSquare = true;
    SetControlText(dialog, partner, text);
    copyingSquare = false;
}

QString SideFromEdit(const TForm& dialog, const char* edit, const QString& notInteger, int& value)
{
    switch (ReadSideText(ControlText(dialog, edit), value)) {
    case TSideText::Taken:
        return QString();
    case TSideText::NotInteger:
        return notInteger;
    case TSideText::TooLarge:
        return QStringLiteral("Icon size exceeds 255");
    case TSideText::Incomplete:
        break;
    }
    return QStringLiteral("Please set image size");
}

void WarnInDialog(TForm& dialog, const QString& text)
{
    auto* box = qobject_cast<TsuiMessageDialog*>(Component(dialog, "suiMessageDialog1"));
    if (!box) {
        MessageDlg(text, mtWarning, MsgDlgButtons({mbOK}));
        return;
    }
    box->SetIconType(suiWarning);
    box->SetText(text);
    box->ShowModal();
}

void ShowDialogHelp(TForm& dialog, const QString& topic)
{
    THtmlHelp help(nullptr);
    help.SetDefaultFile(false);
    help.SetChmFile(ProgramPath(QStringLiteral("dodozizozodazo.zed")));
    if (!HtmlHelp(&dialog, help.BuildHelpPath(topic), HH_DISPLAY_TOC, 0))
        WarnInDialog(dialog, QStringLiteral("The help pages cannot be found beside the program."));
}
