#include "imaging/icons/icon_library1.h"

#include "imaging/icons/icl_writer.h"
#include "imaging/icons/icon_image_list.h"

TIconList::TIconList() = default;

TIconList::~TIconList()
{
    FreeObjects();
}

void TIconList::FreeObjects()
{
    for (int i = 0; i < Count(); ++i) {
        delete GetObject(i);
        PutObject(i, nullptr);
    }
}

void TIconList::AddIcon(const QString& name, std::unique_ptr<TAdvancedIcon> icon)
{
    if (!icon)
        return;
    const QString listed = name.isEmpty() ? QStringLiteral("Icon %1").arg(Count() + 1) : name;
    AddObject(listed, icon.get());
    icon.release();
}

void TIconList::Delete(int index)
{
    TObject* object = index >= 0 && index < Count() ? GetObject(index) : nullptr;
    TStringList::Delete(index);
    delete object;
}

void TIconList::Clear()
{
    FreeObjects();
    TStringList::Clear();
}

TIconLibrary1::TIconLibrary1() : icons_(std::make_unique<TIconList>()) {}

TIconLibrary1::~TIconLibrary1() = default;

void TIconLibrary1::SaveToFile(const QString& fileName)
{
    T16BitWriter(this).WriteFile(fileName);
}
