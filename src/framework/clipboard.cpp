#include "framework/clipboard.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/picture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QMutex>
#include <QStringList>

namespace {

const char* const kDibMime = "application/x-brelnova.dib";

struct FormatTable {
    QMutex mutex;
    QStringList names; // index i is format 0xC000 + i
};

FormatTable& Formats()
{
    static FormatTable table;
    return table;
}

const QMimeData* SystemData()
{
    if (!QGuiApplication::instance())
        return nullptr;
    return QGuiApplication::clipboard()->mimeData();
}

} // namespace

TClipFormat RegisterClipboardFormat(const QString& name)
{
    if (name.isEmpty())
        return 0;
    FormatTable& t = Formats();
    QMutexLocker lock(&t.mutex);
    for (int i = 0; i < t.names.size(); ++i)
        if (t.names[i].compare(name, Qt::CaseInsensitive) == 0)
            return TClipFormat(0xC000 + i);
    t.names.append(name);
    return TClipFormat(0xC000 + t.names.size() - 1);
}

QString ClipboardFormatName(TClipFormat format)
{
    FormatTable& t = Formats();
    QMutexLocker lock(&t.mutex);
    const int i = int(format) - 0xC000;
    return i >= 0 && i < t.names.size() ? t.names[i] : QString();
}

QString ClipboardFormatMime(TClipFormat format)
{
    switch (format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
        return QStringLiteral("text/plain");
    case CF_BITMAP:
    case CF_DIB:
        return QString::fromLatin1(kDibMime);
    case CF_HDROP:
        return QStringLiteral("text/uri-list");
    default:
        break;
    }
    const QString name = ClipboardFormatName(format);
    if (name.isEmpty())
        return QStringLiteral("application/x-brelnova.format-%1").arg(format);
    QString key;
    for (QChar c : name.toLower())
        key += c.isLetterOrNumber() ? c : QChar('-');
    return QStringLiteral("application/x-brelnova.") + key;
}

// ---- TClipboard --------------------------------------------------------------------------------

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

void TClipboard::Open()
{
    if (openCount_++ == 0)
        pending_ = std::make_unique<QMimeData>();
}

void TClipboard::Close()
{
    if (openCount_ == 0)
        return;
    if (--openCount_ == 0)
        Commit();
}

QMimeData* TClipboard::Pending()
{
    if (!pending_)
        pending_ = std::make_unique<QMimeData>();
    return pending_.get();
}

void TClipboard::Commit()
{
    if (!pending_)
        return;
    if (QGuiApplication::instance())
        QGuiApplication::clipboard()->setMimeData(pending_.release());
    pending_.reset();
}

void TClipboard::Clear()
{
    if (openCount_ > 0) {
        pending_ = std::make_unique<QMimeData>();
        return;
    }
    if (QGuiApplication::instance())
        QGuiApplication::clipboard()->clear();
}

bool TClipboard::HasFormat(TClipFormat format) const
{
    const QMimeData* data = SystemData();
    if (!data)
        return false;
    switch (format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
        return data->hasText();
    case CF_BITMAP:
    case CF_DIB:
        return data->hasFormat(QString::fromLatin1(kDibMime)) || data->hasImage();
    default:
        return data->hasFormat(ClipboardFormatMime(format));
    }
}

QByteArray TClipboard::GetAsHandle(TClipFormat format) const
{
    const QMimeData* data = SystemData();
    if (!data)
        return {};
    if (format == CF_BITMAP || format == CF_DIB) {
        if (data->hasFormat(QString::fromLatin1(kDibMime)))
            return data->data(QString::fromLatin1(kDibMime));
        if (data->hasImage()) {
            // An image from another program becomes a 32-bit device-independent bitmap.
            const QImage image = qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_ARGB32);
            if (image.isNull())
                return {};
            TBitmap bitmap(image.width(), image.height(), pf32bit);
            for (int y = 0; y < image.height(); ++y)
                std::memcpy(bitmap.ScanLine(y), image.constScanLine(y), size_t(image.width()) * 4);
            return bitmap.SaveToDIB();
        }
        return {};
    }
    if (format == CF_TEXT || format == CF_UNICODETEXT)
        return data->text().toUtf8();
    return data->data(ClipboardFormatMime(format));
}

void TClipboard::SetAsHandle(TClipFormat format, const QByteArray& bytes)
{
    Open();
    QMimeData* data = Pending();
    if (format == CF_TEXT || format == CF_UNICODETEXT) {
        data->setText(QString::fromUtf8(bytes));
    } else if (format == CF_BITMAP || format == CF_DIB) {
        data->setData(QString::fromLatin1(kDibMime), bytes);
        TBitmap bitmap;
        try {
            bitmap.LoadFromDIB(bytes);
            data->setImageData(bitmap.ToImage());
        } catch (const Exception&) {
            // Other programs only miss the image form of a bitmap we could not read back.
        }
    } else {
        data->setData(ClipboardFormatMime(format), bytes);
    }
    Close();
}

QString TClipboard::AsText() const
{
    const QMimeData* data = SystemData();
    return data ? data->text() : QString();
}

void TClipboard::SetAsText(const QString& text)
{
    SetAsHandle(CF_UNICODETEXT, text.toUtf8());
}

void TClipboard::Assign(TPersistent* source)
{
    if (auto* picture = dynamic_cast<TPicture*>(source)) {
        if (picture->Graphic())
            Assign(picture->Graphic());
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        TClipFormat format = 0;
        QByteArray data;
        graphic->SaveToClipboardFormat(format, data);
        Open();
        Clear();
        SetAsHandle(format, data);
        Close();
        return;
    }
    TPersistent::Assign(source);
}

void TClipboard::AssignTo(TPersistent* dest)
{
    if (auto* picture = dynamic_cast<TPicture*>(dest)) {
        const QMimeData* data = SystemData();
        // Registered picture formats first (our own classes), the plain bitmap last.
        for (TClipFormat format : TPicture::ClipboardFormats()) {
            if (format != CF_DIB && format != CF_BITMAP && HasFormat(format)) {
                picture->LoadFromClipboardFormat(format, GetAsHandle(format));
                return;
            }
        }
        if (data && HasFormat(CF_DIB)) {
            picture->LoadFromClipboardFormat(CF_DIB, GetAsHandle(CF_DIB));
            return;
        }
        throw EInvalidGraphic(QString::fromLatin1(GraphicsText::UnknownClipboardFormat));
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        if (!HasFormat(CF_DIB))
            throw EInvalidGraphic(QString::fromLatin1(GraphicsText::UnknownClipboardFormat));
        bitmap->LoadFromDIB(GetAsHandle(CF_DIB));
        return;
    }
    TPersistent::AssignTo(dest);
}

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
