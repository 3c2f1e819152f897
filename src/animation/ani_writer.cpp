#include "animation/ani_writer.h"

#include "document/scratch_folder.h"
#include "framework/exceptions.h"
#include "framework/sysutils.h"
#include "imaging/icons/ani_file.h"
#include "platform/atomic_file.h"

#include <QFile>

namespace {

constexpr int kCreatorSize = 100;
// Icon file header (6) and its first directory entry (16).
constexpr int kIconHeadSize = 22;

void PutLE16(QByteArray& out, int at, uint32_t v)
{
    out[at] = char(v & 0xFF);
    out[at + 1] = char((v >> 8) & 0xFF);
}

void AppendLE32(QByteArray& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

void PutLE32(QByteArray& out, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray ReadFrameFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QString::fromLatin1(FrameworkText::FOpenError).arg(path));
    // A frame is one small icon; anything past the limit of a whole animated cursor is no frame.
    if (file.size() > qint64(64) << 20)
        throw EAniError(QStringLiteral("The frame file \"%1\" is too large").arg(path));
    return file.readAll();
}

uint32_t Rate(const QString& text)
{
    const int rate = StrToInt(text);
    if (rate < 0)
        throw EConvertError(QStringLiteral("'%1' is not a valid duration").arg(text));
    return uint32_t(rate);
}

} // namespace

QByteArray AniCreatorText()
{
    QByteArray text("Created or Modified by Brelnova Studio - Brelnova Software");
    text.append(QByteArray(kCreatorSize - text.size(), ' '));
    return text;
}

QByteArray AniCursorImage(const QByteArray& iconFile, int hotX, int hotY)
{
    if (iconFile.size() < kIconHeadSize)
        throw EAniError(QStringLiteral("A frame is not an icon file"));
    QByteArray image = iconFile;
    PutLE16(image, 0, 0);
    PutLE16(image, 2, 2);
    image[8] = 0;
    image[9] = 0;
    PutLE16(image, 10, uint32_t(hotX));
    PutLE16(image, 12, uint32_t(hotY));
    return image;
}

QByteArray BuildAniFile(const QStringList& frameFiles, const QStringList& durations, int hotX, int hotY,
                        const QList<QPoint>& ownHotSpots)
{
    const int n = int(frameFiles.size());
    QByteArray out;
    out.append("RIFF");
    AppendLE32(out, 0); // filled in once the size is known
    out.append("ACON");

    out.append("LIST");
    AppendLE32(out, kCreatorSize);
    out.append(AniCreatorText());

    out.append("anih");
    AppendLE32(out, AniHeaderSize);
    for (uint32_t field : {uint32_t(AniHeaderSize), uint32_t(n), uint32_t(n), 0u, 0u, 0u, 0u, 10u, 1u})
        AppendLE32(out, field);

    out.append("rate");
    AppendLE32(out, uint32_t(4 * n));
    for (int i = 0; i < n; ++i)
        AppendLE32(out, Rate(i < durations.size() ? durations[i] : QStringLiteral("10")));

    out.append("LIST");
    const qsizetype listSizeAt = out.size();
    AppendLE32(out, 0);
    out.append("fram");
    for (int i = 0; i < n; ++i) {
        const QPoint own = ownHotSpots.value(i, QPoint(-1, -1));
        const bool hasOwn = own.x() >= 0 && own.y() >= 0;
        const QByteArray image = AniCursorImage(ReadFrameFile(frameFiles[i]), hasOwn ? own.x() : hotX, hasOwn ? own.y() : hotY);
        out.append("icon");
        AppendLE32(out, uint32_t(image.size()));
        out.append(image);
        if (image.size() & 1)
            out.append('\0');
    }
    PutLE32(out, listSizeAt, uint32_t(out.size() - listSizeAt - 4));
    PutLE32(out, 4, uint32_t(out.size() - 8));
    return out;
}

void WriteAniFile(const QStringList& frameFiles, const QStringList& durations, int hotX, int hotY,
                  int scratchNumber, const QString& target, const QList<QPoint>& ownHotSpots)
{
    const QByteArray bytes = BuildAniFile(frameFiles, durations, hotX, hotY, ownHotSpots);
    WriteFileAtomically(ScratchPath(QStringLiteral("bmp%1.ani").arg(scratchNumber)), bytes);
    if (!WriteFileAtomically(target, bytes))
        throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(target));
}
