#include "mainwindow/cursor_reading.h"

#include "document/editor_state.h"
#include "document/newiconview.h"
#include "document/scratch_folder.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/ani_file.h"
#include "mainwindow/icon_project.h"

#include <QDir>
#include <QFile>

namespace {

const QString kAniError = QStringLiteral("This ANI file is error");

QByteArray ReadWholeFile(const QString& path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QString::fromLatin1(FrameworkText::FOpenError).arg(path));
    if (file.size() > limit)
        return QByteArray();
    return file.readAll();
}

void RemoveAniFrameFiles()
{
    QDir folder(ScratchFolder());
    for (const QString& name : folder.entryList({QStringLiteral("aniframe*.ico")}, QDir::Files))
        folder.remove(name);
}

} // namespace

QString CursorToIconFile(const QString& path)
{
    TMemoryStream cursor;
    cursor.LoadFromFile(path);
    QByteArray bytes = cursor.Bytes();
    const QByteArray header("\0\0\1\0", 4);
    bytes = header + bytes.mid(4);
    const QString target = ScratchPath(QStringLiteral("cur.ico"));
    TMemoryStream(bytes).SaveToFile(target);
    return target;
}

Tnewiconview* OpenCursorAsProject(TFileHost& host, const QString& path)
{
    host.State.CurrentFilePath = path;
    const QString icon = CursorToIconFile(path);
    TIconProjectOrigin origin{path, path};
    // Only a cursor's entries hold hot spots; an icon named .cur holds planes and bit counts there.
    QFile file(path);
    origin.Cursor = file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("\0\0\2\0", 4);
    Tnewiconview* doc = OpenIconAsProject(host, icon, origin);
    if (doc) {
        // Each cursor keeps its own hot spots; the editor-wide one shows the active document's.
        const QPoint hotSpot = doc->FormatHotSpot(doc->CurrentFormat());
        host.State.HotSpotX = hotSpot.x();
        host.State.HotSpotY = hotSpot.y();
    }
    return doc;
}

QString AniFramePath(int k)
{
    return ScratchPath(QStringLiteral("aniframe%1.ico").arg(k));
}

bool OpenAniFile(TFileHost& host, const QString& path)
{
    RemoveAniFrameFiles();
    host.AniFrameCount = 0;
    host.AniStepCount = 0;
    host.AniHotSpots.clear();
    std::fill(host.AniRates.begin(), host.AniRates.end(), 0);
    std::fill(host.AniSequence.begin(), host.AniSequence.end(), 0);

    TAniCursor ani;
    try {
        const QByteArray bytes = ReadWholeFile(path, MaxAniFileSize);
        if (bytes.isEmpty())
            throw EAniError(QStringLiteral("The file is empty or too large"));
        ani = ReadAniCursor(bytes);
        for (int k = 1; k <= ani.FrameCount; ++k)
            TMemoryStream(ani.Frames[size_t(k - 1)]).SaveToFile(AniFramePath(k));
    } catch (const EAniError&) {
        RemoveAniFrameFiles();
        host.ShowPlainMessage(kAniError);
        return false;
    }
    host.AniFrameCount = ani.FrameCount;
    host.AniStepCount = ani.StepCount;
    host.AniHotSpots = ani.HotSpots;
    for (int k = 1; k <= ani.StepCount; ++k) {
        host.AniRates[size_t(k)] = ani.Rates[size_t(k - 1)];
        host.AniSequence[size_t(k)] = ani.Sequence[size_t(k - 1)];
    }
    return true;
}

std::vector<TAniBuilderFrame> AniBuilderFrames(const TFileHost& host, const QString& firstFile)
{
    std::vector<TAniBuilderFrame> frames;
    const bool inOrder = host.AniStepCount == host.AniFrameCount;
    for (int k = 1; k <= host.AniStepCount; ++k) {
        TAniBuilderFrame frame;
        frame.FileName = k == 1 ? firstFile : AniFramePath(host.AniSequence[size_t(k)] + 1);
        frame.Mode = (k == 1 || inOrder) ? QStringLiteral("open") : QString::number(k);
        frame.Duration = QString::number(host.AniRates[size_t(k)]);
        const size_t shown = size_t(host.AniSequence[size_t(k)]);
        if (shown < host.AniHotSpots.size())
            frame.HotSpot = host.AniHotSpots[shown];
        frames.push_back(frame);
    }
    return frames;
}

Tnewiconview* OpenAniAsProject(TFileHost& host, const QString& path)
{
    // The file's frames replace the builder's: unsaved ones are asked about first.
    if (!host.MayReplaceAniBuilderFrames() || !OpenAniFile(host, path))
        return nullptr;
    const QString first = AniFramePath(host.AniSequence[1] + 1);
    const QString copy = ScratchPath(QStringLiteral("icotoico.ico"));
    host.OpenFileName = first;
    QFile::remove(copy);
    QFile::copy(first, copy);
    Tnewiconview* doc = OpenIconAsProject(host, copy, {path, QString()});
    host.HandFramesToAniBuilder(AniBuilderFrames(host, copy));
    host.OpenFileName = path;
    return doc;
}

void OpenAniInEditor(TFileHost& host, const QString& path)
{
    host.EnsureAniBuilder();
    if (OpenAniFile(host, path))
        host.HandFramesToAniBuilder(AniBuilderFrames(host, AniFramePath(host.AniSequence[1] + 1)));
}
