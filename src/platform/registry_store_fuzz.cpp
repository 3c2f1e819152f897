// Any bytes as the registry store file: every key and value lists and reads, and a write after
// that keeps the store readable.
#include "platform/registry_store.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <functional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath("registry.txt");
    qputenv("BRELNOVA_REGISTRY", path.toUtf8());
    {
        QFile::remove(path); // a new file, so the store cannot take it for the one it wrote
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    std::function<void(HKEY, const QString&, int)> walk = [&](HKEY root, const QString& key, int depth) {
        for (const QString& name : RegistryStore::ValueNames(root, key)) {
            RegistryValue v;
            RegistryStore::GetValue(root, key, name, &v);
        }
        if (depth < 64)
            for (const QString& sub : RegistryStore::SubKeyNames(root, key))
                walk(root, key.isEmpty() ? sub : key + "\\" + sub, depth + 1);
    };
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        walk(root, QString(), 0);
    if (!RegistryStore::CreateKey(HKEY_CURRENT_USER, "Software\\Fuzz")
        || !RegistryStore::SetValue(HKEY_CURRENT_USER, "Software\\Fuzz", "v", RegistryValue::String("a\"b\\c\n")))
        std::abort();
    RegistryValue v;
    if (!RegistryStore::GetValue(HKEY_CURRENT_USER, "software\\fuzz", "V", &v) || v.Text() != "a\"b\\c\n")
        std::abort();
    return 0;
}
