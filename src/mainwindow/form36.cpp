#include "mainwindow/form36.h"

#include "mainwindow/iconmain.h"

TForm36* Form36 = nullptr;

TForm36::TForm36(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    Form36 = this;
    LoadDefinition(QStringLiteral(":/mainwindow/form36.wdf"));
}

TForm36::~TForm36()
{
    if (Form36 == this)
        Form36 = nullptr;
}

void TForm36::FormCreate(TObject*)
{
    if (QObject* build = FindComponent(QStringLiteral("build")))
        build->setProperty("Caption", QStringLiteral("( Build ") + BuildText.mid(1, 5) + QStringLiteral(" )"));
    const int d = VersionText.isEmpty() ? 0 : VersionText.right(1).toInt();
    const bool first = d / 2 == d % 2;
    if (QObject* image = FindComponent(QStringLiteral("Image1")))
        image->setProperty("Visible", first);
    if (QObject* image = FindComponent(QStringLiteral("Image2")))
        image->setProperty("Visible", !first);
}

void TForm36::Image1MouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    if (iconmain && iconmain->StartupDone == 1)
        Close();
}
