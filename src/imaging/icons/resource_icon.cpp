#include "imaging/icons/resource_icon.h"

#include "framework/exceptions.h"
#include "framework/streams.h"

TResourceIcon::TResourceIcon(HMODULE module, const QString& groupName) : module_(module)
{
    Open(TResourceId(groupName));
}

TResourceIcon::TResourceIcon(HMODULE module, int groupId) : module_(module)
{
    Open(MAKEINTRESOURCE(groupId));
}

TResourceIcon::~TResourceIcon() = default;

void TResourceIcon::Open(const TResourceId& group)
{
    Reset();
    TMemoryStream stream(LoadResourceBytes(group, RT_GROUP_ICON));
    bool valid = false;
    uint16_t count = 0;
    ReadDirectory(&stream, valid, count);
}

QByteArray TResourceIcon::LoadResourceBytes(const TResourceId& name, const TResourceId& type)
{
    HRSRC info = FindResource(module_, name, type);
    const void* data = info ? LockResource(LoadResource(module_, info)) : nullptr;
    if (!data)
        throw EResNotFound(QString::fromLatin1(FrameworkText::ResNotFound).arg(name.ToString()));
    return QByteArray(static_cast<const char*>(data), qsizetype(SizeofResource(module_, info)));
}

IconDirEntry TResourceIcon::ReadEntry(TStream* stream)
{
    return ReadGroupEntry(stream);
}

void TResourceIcon::ReadDirectory(TStream* stream, bool& valid, uint16_t& count)
{
    TMultiIcon::ReadDirectory(stream, valid, count);
    for (uint16_t i = 0; i < count; ++i)
        Entry(i).Height = Entry(i).Width;
}

void TResourceIcon::CopyImageData(TStream* stream, uint16_t index)
{
    if (index >= Count())
        return;
    const QByteArray data = LoadResourceBytes(MAKEINTRESOURCE(Entry(index).Id), RT_ICON);
    stream->WriteBuffer(data.constData(), data.size());
}

QByteArray TResourceIcon::ReadImageBytes(uint16_t index)
{
    if (index >= Count())
        return {};
    return LoadResourceBytes(MAKEINTRESOURCE(Entry(index).Id), RT_ICON);
}
