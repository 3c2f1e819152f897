#include "app/start/whole_program.h"
#include "framework/application.h"

#include <unistd.h>

int main(int argc, char** argv)
{
    // The browser engine's sandbox cannot run for the superuser; only then is it switched off.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The browser engine shares its drawing contexts with the program's windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TQtApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brelnova Studio"));

    StartWholeProgram(QApplication::arguments().mid(1));
    Application->Run();
    return 0;
}
