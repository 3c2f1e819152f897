#include "settings/setfile.h"

#include "document/command_dialog.h"
#include "framework/edit.h"
#include "framework/label.h"
#include "framework/registry.h"
#include "settings/settings_classes.h"
#include "skin/controls/check_box.h"
#include "skin/controls/message_dialog.h"

#include <QCoreApplication>

Tsetfile* setfile = nullptr;

namespace {

struct TFileType {
    const char* Extension;
    const char* Description;
};

// Rows ok1..ok15; the ProgID is "RozazuviDodiro" followed by the extension with its dot.
constexpr TFileType kTypes[15] = {
    {".ico", "Icon"}, {".cur", "Cursor"}, {".ani", "Animation Cursor"}, {".icl", "Icon Library"},
    {".il", "Image"}, {".nil", "Image"}, {".dll", "Animation link Library"}, {".bmp", "Bitmap"},
    {".gif", "Gif"}, {".jpg", "Jpg"}, {".wmf", "WMF"}, {".tif", "TIF"}, {".png", "PNG"},
    {".psd", "PSD"}, {".tga", "TGA"},
};

const QString kNone = QStringLiteral("Currently Associated with : None");

} // namespace

Tsetfile::Tsetfile(QWidget* owner) : TForm(owner)
{
    RegisterSettingsClasses();
    setfile = this;
    LoadDefinition(QStringLiteral(":/settings/setfile.wdf"));
}

Tsetfile::~Tsetfile()
{
    if (setfile == this)
        setfile = nullptr;
}

QString Tsetfile::CommandProgram()
{
    return QCoreApplication::applicationFilePath();
}

void Tsetfile::RegisterFileType(QString extension, QString progId, const QString& program,
                                const QString& description)
{
    extension.remove(QLatin1Char('.'));
    if (extension.isEmpty() || program.isEmpty())
        return;
    if (progId.isEmpty())
        progId = extension + QStringLiteral("_auto_file");
    extension.prepend(QLatin1Char('.'));
    // Quoted, so that a program folder with a blank is not cut at the blank.
    const QString command = QLatin1Char('"') + program + QStringLiteral("\" \"%1\"");
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    const auto write = [&reg](const QString& key, const QString& value) {
        reg.OpenKey(QLatin1Char('\\') + key, true);
        reg.WriteString(QString(), value);
        reg.CloseKey();
    };
    write(extension, progId);
    write(progId, description);
    write(progId + QStringLiteral("\\DefaultIcon"), QStringLiteral("%1"));
    write(progId + QStringLiteral("\\shell\\edit\\command"), command);
    write(progId + QStringLiteral("\\shell\\open\\command"), command);
}

void Tsetfile::SetNote(const QString& text)
{
    if (auto* label = qobject_cast<TLabel*>(FindComponent(QStringLiteral("Label2")))) {
        label->SetCaption(text);
        label->Repaint();
    }
}

QString Tsetfile::NoteText() const
{
    auto* label = qobject_cast<TLabel*>(FindComponent(QStringLiteral("Label2")));
    return label ? label->Caption() : QString();
}

void Tsetfile::ShowCurrentAssociation(const QString& extension)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    if (!reg.OpenKey(QLatin1Char('\\') + extension, true))
        return;
    const QString progId = reg.ReadString(QString()).trimmed();
    reg.CloseKey();
    if (progId.isEmpty()) {
        SetNote(kNone);
        return;
    }
    if (!reg.OpenKey(QLatin1Char('\\') + progId + QStringLiteral("\\shell\\open\\command"), true))
        return;
    const QString command = reg.ReadString(QString()).trimmed();
    SetNote(command.isEmpty() ? kNone : QStringLiteral("Currently Associated with : ") + command);
}

void Tsetfile::HoverRow(int n)
{
    if (n >= 1 && n <= 15) {
        ShowCurrentAssociation(QLatin1String(kTypes[n - 1].Extension));
        return;
    }
    // The custom box shows what its typed extension opens with, once there is one.
    const QString custom = CustomText();
    if (custom.isEmpty())
        SetNote(note_);
    else
        ShowCurrentAssociation(QLatin1Char('.') + QString(custom).remove(QLatin1Char('.')));
}

bool Tsetfile::Ticked(int n) const
{
    auto* box = qobject_cast<TsuiCheckBox*>(FindComponent(QStringLiteral("ok%1").arg(n)));
    return box && box->Checked();
}

QString Tsetfile::CustomText() const
{
    auto* edit = qobject_cast<TControl*>(FindComponent(QStringLiteral("nameok")));
    return edit ? edit->Text().trimmed() : QString();
}

void Tsetfile::FormCreate(TObject*)
{
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
    note_ = NoteText();
    TakeMainWindowSkin(*this);
}

void Tsetfile::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tsetfile::suiButton1Click(TObject*)
{
    auto* box = qobject_cast<TsuiMessageDialog*>(FindComponent(QStringLiteral("suiMessageDialog1")));
    if (!box)
        return;
    // Nothing is written unless every ticked type can be.
    const QString refusal = Refusal();
    if (!refusal.isEmpty()) {
        box->SetIconType(suiInformation);
        box->SetText(refusal);
        box->ShowModal();
        return;
    }
    box->SetIconType(suiWarning);
    box->SetText(QStringLiteral("Are you Sure ?"));
    if (box->ShowModal() != 1)
        return;
    const QString program = CommandProgram();
    for (int n = 1; n <= 15; ++n) {
        if (!Ticked(n))
            continue;
        const QString extension = QLatin1String(kTypes[n - 1].Extension);
        RegisterFileType(extension, QStringLiteral("RozazuviDodiro") + extension, program,
                         QLatin1String(kTypes[n - 1].Description));
    }
    if (Ticked(16)) {
        const QString custom = CustomText();
        RegisterFileType(QLatin1Char('.') + custom, QStringLiteral("RozazuviDodiro.") + custom, program, custom);
    }
}

QString Tsetfile::Refusal() const
{
    bool any = false;
    for (int n = 1; n <= 16; ++n)
        any = any || Ticked(n);
    if (!any)
        return QStringLiteral("No file type is ticked: tick the types that Brelnova Studio should open.");
    if (!Ticked(16))
        return {};
    const QString custom = CustomText();
    if (QString(custom).remove(QLatin1Char('.')).isEmpty())
        return QStringLiteral("Type the extension of the custom file type after \"Custom ( *.\".");
    // The extension names a registry key and a file ending: no separators, blanks or wildcards.
    static const QString forbidden = QStringLiteral("\\/:*?\"<>| ");
    for (QChar c : custom)
        if (c.unicode() < 32 || forbidden.contains(c))
            return QStringLiteral("\"%1\" cannot be a file extension.").arg(custom);
    return {};
}

void Tsetfile::suiButton2Click(TObject*)
{
    Close();
}

void Tsetfile::nameokChange(TObject*)
{
    auto* edit = qobject_cast<TControl*>(FindComponent(QStringLiteral("nameok")));
    if (!edit)
        return;
    // Program types are never taken over.
    static const QStringList refused = {QStringLiteral("exe"), QStringLiteral("ocx"), QStringLiteral("com"),
                                        QStringLiteral("dll")};
    if (refused.contains(edit->Text().trimmed().toLower()))
        edit->SetText(QString());
}

void Tsetfile::suiTabSheet1MouseMove(TObject*, TShiftState, int, int)
{
    if (NoteText() != note_)
        SetNote(note_);
}

void ShowFileAssociations()
{
    if (!setfile)
        new Tsetfile(nullptr);
    setfile->Show();
}
