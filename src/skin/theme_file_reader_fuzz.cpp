// Feeds arbitrary bytes to the skin-file reader through a scratch file: every input must either
// load or be refused with the framework's exceptions, never crash or hang.
#include "skin/theme_file_reader.h"

#include "framework/exceptions.h"
#include "framework/streams.h"

#include <QTemporaryFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTemporaryFile file;
    if (!file.open())
        return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.flush();
    IsValidThemeFile(file.fileName());
    try {
        TsuiThemeFileReader reader(file.fileName());
        for (const char* name : {"ButtonImage", "FormBorderColor", "ButtonTransparentBool"}) {
            if (TMemoryStream* s = reader.GetImageStream(QString::fromLatin1(name)))
                s->Bytes();
            reader.GetInteger(QString::fromLatin1(name));
            reader.GetBool(QString::fromLatin1(name));
        }
    } catch (const Exception&) {
    }
    return 0;
}
