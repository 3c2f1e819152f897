// Any bytes as an INI file: every section and value reads, and a write keeps the file readable
// with the written value in it.
#include "framework/ini_file.h"
#include "framework/string_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath("fuzz.ini");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TIniFile ini(path);
    TStringList sections, values;
    ini.ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        ini.ReadSectionValues(sections[i], &values);
        for (int k = 0; k < values.Count(); ++k)
            ini.ReadInteger(sections[i], values.Names(k), 0);
    }
    ini.WriteString("Language", "iconmain.Caption", "x=y");
    if (ini.ReadString("language", "ICONMAIN.CAPTION", "") != "x=y")
        std::abort();
    ini.EraseSection("Language");
    return 0;
}
