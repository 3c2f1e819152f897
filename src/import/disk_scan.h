#pragma once

// The disk search's walk: a folder tree scanned for files of one kind, optionally only where the
// names hold a fragment. It runs on a worker thread and touches nothing but the file system and
// the sink it is given.

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>

enum class TSearchKind { Icons, Pictures, AllFiles };

// The lower-case extensions, with their dots, that a kind finds.
const QStringList& SearchExtensions(TSearchKind kind);

// One file found.
struct TSearchResult {
    QString FileName;  // without folder
    QString Extension; // lower-cased, with its dot
    qint64 Size = 0;
    qint64 ChangeTime = 0; // last write, seconds since the epoch (UTC)
    QString Address;       // full path
};

// What the walk reports, in the order found: a file with the folder it lies in.
using TSearchSink = std::function<void(const TSearchResult& result, const QString& folder)>;

// Told of every folder as the walk enters it, so that a caller can hand on what it holds while
// a long stretch of folders without a match goes by.
using TFolderHook = std::function<void()>;

// Scans root and the folders under it. With a fragment, only names that hold it (letter case
// ignored; "*" and "?" match as wildcards) are taken, files and folders alike, so a folder whose
// name lacks the fragment is not entered. Symbolic links are never followed, the walk stays on
// the root's file system, and a folder that cannot be listed is passed over. The stop flag is
// read before every entry. Returns the number of files reported.
int64_t ScanFolder(const QString& root, const QString& fragment, TSearchKind kind, const std::atomic<bool>& stop,
                   const TSearchSink& sink, const TFolderHook& entered = {});
