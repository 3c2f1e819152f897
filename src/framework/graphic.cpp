#include "framework/graphic.h"

#include "framework/exceptions.h"
#include "framework/streams.h"

TGraphic::TGraphic() = default;
TGraphic::~TGraphic() = default;

void TGraphic::LoadFromFile(const QString& fileName)
{
    TMemoryStream stream;
    stream.LoadFromFile(fileName);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const QString& fileName)
{
    TMemoryStream stream;
    SaveToStream(&stream);
    stream.SaveToFile(fileName);
}

void TGraphic::LoadFromClipboardFormat(TClipFormat, const QByteArray&)
{
    throw EInvalidGraphic(QString::fromLatin1(GraphicsText::UnknownClipboardFormat));
}

void TGraphic::SaveToClipboardFormat(TClipFormat&, QByteArray&)
{
    throw EInvalidGraphic(QString::fromLatin1(GraphicsText::UnknownClipboardFormat));
}

void TGraphic::SetTransparent(bool value)
{
    if (value != transparent_) {
        transparent_ = value;
        Changed(this);
    }
}

void TGraphic::SetModified(bool value)
{
    if (value)
        Changed(this);
    else
        modified_ = false;
}

void TGraphic::Changed(TObject*)
{
    modified_ = true;
    if (OnChange)
        OnChange(this);
}
