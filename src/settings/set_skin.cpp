#include "settings/set_skin.h"

#include "document/command_dialog.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "mainwindow/iconmain.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"
#include "settings/settings_classes.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

Tset_skin* set_skin = nullptr;

namespace {

const char* const kSkinFiles[12] = {"Longhorn", "msn", "relone", "MediaPlayer", "SportsBlack", "BrownGlass",
                                    "DeepCyan", "DeepGreen", "xpgreen", "xporange", "xpsilver", "OneBlue"};

} // namespace

Tset_skin::Tset_skin(QWidget* owner) : TForm(owner)
{
    RegisterSettingsClasses();
    set_skin = this;
    LoadDefinition(QStringLiteral(":/settings/set_skin.wdf"));
}

Tset_skin::~Tset_skin()
{
    if (set_skin == this)
        set_skin = nullptr;
}

QString Tset_skin::SkinFileOf(int choice)
{
    return choice >= 1 && choice <= 12 ? QStringLiteral("suk\\%1.sui").arg(QLatin1String(kSkinFiles[choice - 1])) : QString();
}

void Tset_skin::FormCreate(TObject*)
{
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, true);
    for (int n = 1; n <= 16; ++n) {
        auto* image = qobject_cast<TImage*>(FindComponent(QStringLiteral("suiImagePanel%1").arg(n)));
        const QString sample = ProgramPath(QStringLiteral("suk/samples/sample%1.bmp").arg(n));
        // A sample missing from the installation leaves its panel empty; the choice still works.
        if (image && QFileInfo::exists(sample))
            image->Picture()->LoadFromFile(sample);
    }
    TakeMainWindowSkin(*this);
}

void Tset_skin::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tset_skin::UseSkinFile(const QString& file)
{
    if (!iconmain)
        return;
    // A skin file that is not there or not a skin leaves the look and the recorded file as they
    // were, and says so.
    const QString local = LocalPath(file);
    if (!QFileInfo(local).isFile()) {
        ShowMessage(QStringLiteral("The skin file %1 cannot be found.").arg(local));
        return;
    }
    const QString before = iconmain->SkinFileName;
    iconmain->SkinFileName = file;
    try {
        iconmain->ApplySkin(5);
    } catch (const Exception& e) {
        iconmain->SkinFileName = before;
        ShowMessage(QStringLiteral("%1 is not a skin file the program can use (%2).").arg(local, e.Message()));
    }
}

void Tset_skin::suiButton3Click(TObject*)
{
    if (iconmain) {
        if (SkinChoice >= 1 && SkinChoice <= 12) {
            UseSkinFile(ProgramFolder() + SkinFileOf(SkinChoice));
        } else if (SkinChoice >= -4 && SkinChoice <= -1) {
            iconmain->ApplySkin(SkinChoice + 4);
        }
    }
    Close();
}

void Tset_skin::suiButton1Click(TObject*)
{
    auto* dialog = qobject_cast<TOpenDialog*>(FindComponent(QStringLiteral("OpenDialog2")));
    if (dialog) {
        dialog->SetInitialDir(ProgramFolder() + QStringLiteral("suk/"));
        if (dialog->Execute())
            UseSkinFile(dialog->FileName());
    }
    Close();
}

void Tset_skin::suiButton2Click(TObject*)
{
    Close();
}

void Tset_skin::suiForm1TitleBarHelpBtnClick(TObject*, int)
{
    const QString path = ProgramFolder() + QStringLiteral("dodozizozodazo.zed::/8_1.htm");
    if (!HtmlHelp(this, path, HH_DISPLAY_TOC, 0))
        throw EOSError(QStringLiteral("System Error.  Code: %1.\n%2").arg(errno).arg(QString::fromLocal8Bit(std::strerror(errno))));
}

void ShowSkinChooser()
{
    if (!set_skin)
        new Tset_skin(nullptr);
    set_skin->ShowModal();
}
