#include "imaging/icons/icon_library.h"

#include "framework/beep.h"
#include "framework/string_list.h"
#include "imaging/icons/icl_reader.h"
#include "imaging/icons/icl_writer.h"
#include "imaging/icons/multi_icon.h"
#include "platform/module.h"

#include <QFile>

bool DetectLibraryKind(const QString& fileName, bool& is32Bit)
{
    is32Bit = false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(62);
    if (head.size() < 62 || !head.startsWith("MZ"))
        return false;
    const qint64 position = uint8_t(head[60]) | (uint8_t(head[61]) << 8);
    if (!file.seek(position))
        return false;
    const QByteArray magic = file.read(2);
    if (magic == "PE") {
        is32Bit = true;
        return true;
    }
    return magic == "NE";
}

TIconLibrary::TIconLibrary() : icons_(std::make_unique<TStringList>()) {}

TIconLibrary::~TIconLibrary()
{
    FreeIcons();
}

void TIconLibrary::FreeIcons()
{
    for (int i = 0; i < icons_->Count(); ++i)
        delete icons_->Objects(i);
    icons_->Clear();
}

void TIconLibrary::LoadFromFile(const QString& fileName)
{
    const unsigned expected = ExtractIconCount(fileName);
    bool is32Bit = false;
    if (expected == 0 || !DetectLibraryKind(fileName, is32Bit))
        return;
    fileName_ = fileName;
    std::unique_ptr<TICLReader> reader;
    if (is32Bit)
        reader = std::make_unique<T32BitReader>(fileName);
    else
        reader = std::make_unique<T16BitReader>(fileName);
    unsigned read = 0;
    if (reader->ReadIcons()) {
        // The objects change hands: the library frees them from now on, the reader no more.
        FreeIcons();
        // A group that gives no image is no icon: the system's icon count passes it over, and a
        // library of nothing else, once written, would read back as no library at all.
        TStringList* names = reader->Names();
        for (int i = 0; i < names->Count(); ++i) {
            auto* icon = dynamic_cast<TMultiIcon*>(names->Objects(i));
            if (icon && icon->Count() > 0)
                icons_->AddObject(names->Strings(i), names->Objects(i));
            else
                delete names->Objects(i);
        }
        names->Clear();
        read = unsigned(icons_->Count());
    }
    reader.reset();
    if (read != expected)
        MessageBeep(0);
}

void TIconLibrary::SaveToFile(const QString& fileName)
{
    T16BitWriter(this).WriteFile(fileName);
}
