#include "mainwindow/iconmain_files.h"

#include "framework/application.h"
#include "framework/combo_box.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/string_list.h"
#include "mainwindow/iconmain.h"

namespace {

const QString kCaption = QStringLiteral("Brelnova Studio");

} // namespace

TIconmainFiles::TIconmainFiles(Ticonmain& main)
    : TFileHost(main, {main.RecentPaths, main.RecentComboKeyState, main.LibraryIconCounter, main.ViewerCounter,
                       main.AniFrameCount, main.AniStepCount, main.AniRates, main.AniSequence}),
      main_(main)
{
    if (QObject* open = Component(QStringLiteral("OpenDialog1")))
        OpenFileName = open->property("FileName").toString();
    if (QObject* save = Component(QStringLiteral("SavePictureDialog1")))
        SaveFileName = save->property("FileName").toString();
}

TIconmainFiles::~TIconmainFiles()
{
    if (QObject* open = Component(QStringLiteral("OpenDialog1")))
        open->setProperty("FileName", OpenFileName);
    if (QObject* save = Component(QStringLiteral("SavePictureDialog1")))
        save->setProperty("FileName", SaveFileName);
}

QObject* TIconmainFiles::Component(const QString& name) const
{
    return main_.FindComponent(name);
}

bool TIconmainFiles::ExecuteOpenDialog()
{
    auto* dialog = qobject_cast<TOpenDialog*>(Component(QStringLiteral("OpenDialog1")));
    if (!dialog || !dialog->Execute())
        return false;
    OpenFileName = dialog->FileName();
    return true;
}

bool TIconmainFiles::ExecuteSaveDialog(int& filterIndex)
{
    auto* dialog = qobject_cast<TOpenDialog*>(Component(QStringLiteral("SavePictureDialog1")));
    if (!dialog || !dialog->Execute())
        return false;
    SaveFileName = dialog->FileName();
    filterIndex = dialog->FilterIndex();
    return true;
}

bool TIconmainFiles::ExecutePngDialog(QString& fileName)
{
    auto* dialog = qobject_cast<TOpenDialog*>(Component(QStringLiteral("png")));
    if (!dialog || !dialog->Execute())
        return false;
    fileName = dialog->FileName();
    return true;
}

void TIconmainFiles::ShowMessage(const QString& text, TMessageIcon icon)
{
    ::MessageBox(text, kCaption, icon == TMessageIcon::Warning ? MB_ICONWARNING : MB_ICONINFORMATION);
}

void TIconmainFiles::ShowPlainMessage(const QString& text)
{
    ::ShowMessage(text);
}

void TIconmainFiles::ShowStatus(const QString& text)
{
    main_.SetLabelText(QStringLiteral("beginxy"), text);
}

void TIconmainFiles::MinimizeApplication()
{
    Application->Minimize();
}

void TIconmainFiles::SetRecentItemCaption(int k, const QString& caption)
{
    if (QObject* item = Component(QStringLiteral("N%1Untitled1").arg(k)))
        item->setProperty("Caption", caption);
}

void TIconmainFiles::AddRecentComboItem(const QString& path)
{
    if (auto* combo = qobject_cast<TCustomComboBox*>(Component(QStringLiteral("userfilename"))))
        combo->Items()->Add(path);
}

QString TIconmainFiles::RecentComboText() const
{
    QObject* combo = Component(QStringLiteral("userfilename"));
    return combo ? combo->property("Text").toString() : QString();
}
