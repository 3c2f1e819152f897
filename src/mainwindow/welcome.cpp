#include "mainwindow/welcome.h"

#include "framework/commands.h"
#include "framework/label.h"
#include "framework/exceptions.h"
#include "mainwindow/configuration_file.h"
#include "mainwindow/dialog_skin.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/web_window.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"
#include "skin/file_theme.h"
#include "skin/theme_manager.h"

#include <QRandomGenerator>

Twelcome* welcome = nullptr;

Twelcome::Twelcome(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    welcome = this;
    LoadDefinition(QStringLiteral(":/mainwindow/welcome.wdf"));
    // A dialog: its title bar only closes.
    KeepDialogTitleButtons(*this, false);
}

Twelcome::~Twelcome()
{
    if (welcome == this)
        welcome = nullptr;
}

const QStringList& Twelcome::Tips()
{
    static const QStringList tips = {
        QStringLiteral("You can use filter to add effects to the entire icon or selected\r\n"
                       "area. You just click the \"Filter\" directory and the more effects\r\n"
                       "will be quickly added to your icon."),
        QStringLiteral("The list of the recently used files is displayed in the main\r\n"
                       "toolbar. You can open the recently opened file just by clicking it."),
        QStringLiteral("The Brelnova Studio can completely transfer the image data to\r\n"
                       "the Photoshop and the Photoshop also can transfer the image data\r\n"
                       "to Brelnova Studio."),
        QStringLiteral("The right button menu can help you more effectively create an\r\n"
                       "ICON file (based on the current image)."),
        QStringLiteral("You can apply the powerful built-in function of customizing\r\n"
                       "the system icons to customize all system icons under Windows system."),
        QStringLiteral("You can hide the multi-window preview area that located in the\r\n"
                       "upper-right corner."),
        QStringLiteral("You can adjust icon brightness/contrast, hue/saturation and opacity\r\n"
                       "in editor area."),
        QStringLiteral("You can add text (with smooth borders for XP 32 bits formats) to an\r\n"
                       "icon. It also supports the various gradient function."),
        QStringLiteral("You can rotate a selected image 90, 180 or arbitrary angle."),
        QStringLiteral("You can search media files, icons or files containing icons on your computer by\r\n"
                       "specifying several search criteria (name, date, size...)."),
        QStringLiteral("Now you can create icons from images with transparency.The Brelnova Studio supports\r\n"
                       "the following formats: GIF, BMP, PNG and PSD with layers."),
        QStringLiteral("Now you can edit the more splendid animation GIF files and ANI cursors using the\r\n"
                       "built-in GIF editor and ANI editor."),
        QStringLiteral("You can search the relevant files on the Internet using a powerful media search engine."),
        QStringLiteral("We strongly recommend you to save your icons as ICL file rather than ICO file.\r\n"
                       "If you have a large number of icons, it will save\r\n"
                       "your hard disk space."),
        QStringLiteral("The Brelnova Studio can open all icon formats (solid, 16, 256, true colors),\r\n"
                       "the maximum icon resolution is 255x255."),
        QStringLiteral("You can save your icons as PSD, PNG, JPG, GIF formats and so on."),
        QStringLiteral("The Brelnova Studio has \"Test\" function, it can quickly test the current \r\n"
                       "edited icon and it will be displayed on the desktop or\r\n"
                       "any other position. "),
        QStringLiteral("The Brelnova Studio supports the \"Snapshot\" function, it can easily capture\r\n"
                       "any other window images. "),
        QStringLiteral("The Brelnova Studio supports the \"Locate coordinate\" function, this can let\r\n"
                       "you create a cool cursor. "),
    };
    return tips;
}

QString Twelcome::WelcomeLine(int r)
{
    switch (r) {
    case 2:
        return QStringLiteral("  The software can let you design icon effectively.");
    case 3:
        return QStringLiteral("  Icons, cursors and animations are made in one place.");
    case 4:
        return QStringLiteral("  Every image format of an icon can be edited on its own.");
    case 5:
        return QStringLiteral("  Press \"Next Tip\" to learn what the editor can do.");
    case 6:
        return QStringLiteral("  Thank you for choosing Brelnova Studio.");
    default:
        return QStringLiteral("  Welcome to use Brelnova Studio V1.0");
    }
}

void Twelcome::ShowText(const QString& text)
{
    if (auto* label = qobject_cast<TLabel*>(FindComponent(QStringLiteral("showtext")))) {
        label->SetCaption(text);
        label->repaint();
    }
}

void Twelcome::FormShow(TObject*)
{
    if (iconmain) {
        if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1"))))
            theme->SetThemeFile(iconmain->MainThemeFile());
        if (auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1"))))
            manager->SetUIStyle(TsuiUIStyle(iconmain->MainUIStyle()));
    }
    TipNumber = StartNumber(int(QRandomGenerator::global()->bounded(7)));
    ShowText(WelcomeLine(TipNumber));
}

void Twelcome::suiButton2Click(TObject*)
{
    TipNumber = TipNumber >= int(Tips().size()) || TipNumber < 0 ? 1 : TipNumber + 1;
    ShowText(Tips().at(TipNumber - 1));
}

void Twelcome::suiButton1Click(TObject*)
{
    // The help opens at its start page; a missing help is reported by the help window's caller.
    if (!HtmlHelp(this, ProgramFolder() + QStringLiteral("dodozizozodazo.zed"), HH_DISPLAY_TOPIC, 0))
        throw Exception(QStringLiteral("The help of Brelnova Studio is not installed."));
}

void Twelcome::suiButton3Click(TObject*)
{
    ShellOpen(QLatin1String(kMakerHomePage));
}

void Twelcome::suiButton4Click(TObject*)
{
    const bool ticked = FindComponent(QStringLiteral("suiCheckBox1"))->property("Checked").toBool();
    WriteConfiguration(QStringLiteral("welcome"), QStringLiteral("openorclose"),
                       ticked ? QStringLiteral("close") : QStringLiteral("open"));
    Close();
}

void Twelcome::suiButton5Click(TObject*)
{
    // The same road as Skins > "From Outside File", which opens the skin chooser.
    if (iconmain)
        ClickComponentByName(iconmain, QStringLiteral("FromOutsideFile1"));
}
