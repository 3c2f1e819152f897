#include "import/disk_scan.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <cstring>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

const QStringList& SearchExtensions(TSearchKind kind)
{
    static const QStringList icons{".icl", ".ico"};
    static const QStringList pictures{".bmp", ".jpg", ".emf", ".wmf", ".jpeg", ".png", ".gif", ".tiff", ".tif", ".ico"};
    static const QStringList all{".vda", ".sgi", ".rle", ".psp", ".psd", ".pgm", ".pcd", ".tga",
                                 ".exe", ".dll", ".icl", ".cur", ".bmp", ".jpg", ".emf", ".wmf",
                                 ".jpeg", ".png", ".gif", ".tiff", ".tif", ".ico"};
    switch (kind) {
    case TSearchKind::Icons:
        return icons;
    case TSearchKind::Pictures:
        return pictures;
    case TSearchKind::AllFiles:
        break;
    }
    return all;
}

namespace {

struct TWalk {
    std::string Pattern; // empty: every name
    std::vector<std::string> Extensions;
    const std::atomic<bool>& Stop;
    const TSearchSink& Sink;
    const TFolderHook& Entered;
    dev_t Device = 0;
    int64_t Found = 0;

    bool NameMatches(const char* name) const
    {
        return Pattern.empty() || fnmatch(Pattern.c_str(), name, FNM_CASEFOLD) == 0;
    }

    // The lower-cased extension with its dot when it is one of the kind's, else empty.
    std::string KindExtension(const char* name) const
    {
        const char* dot = strrchr(name, '.');
        if (!dot || strlen(dot) > 6)
            return {};
        std::string ext(dot);
        for (char& c : ext)
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        for (const std::string& e : Extensions)
            if (e == ext)
                return ext;
        return {};
    }

    void Scan(int parentFd, const char* name, std::string path)
    {
        if (Stop.load(std::memory_order_relaxed))
            return;
        const int fd = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return;
        DIR* dir = fdopendir(fd);
        if (!dir) {
            close(fd);
            return;
        }
        if (path.empty() || path.back() != '/')
            path += '/';
        if (Entered)
            Entered();
        QString folder; // made once per folder, only when something is found there
        while (!Stop.load(std::memory_order_relaxed)) {
            const dirent* entry = readdir(dir);
            if (!entry)
                break;
            const char* entryName = entry->d_name;
            if (entryName[0] == '.' && (entryName[1] == 0 || (entryName[1] == '.' && entryName[2] == 0)))
                continue;
            if (!NameMatches(entryName))
                continue;
            unsigned char type = entry->d_type;
            struct stat st {};
            bool haveStat = false;
            if (type == DT_UNKNOWN) {
                if (fstatat(fd, entryName, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                haveStat = true;
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_LNK;
            }
            if (type == DT_DIR) {
                if (!haveStat && fstatat(fd, entryName, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                if (st.st_dev != Device)
                    continue;
                Scan(fd, entryName, path + entryName);
                continue;
            }
            if (type != DT_REG)
                continue;
            const std::string ext = KindExtension(entryName);
            if (ext.empty())
                continue;
            if (!haveStat && fstatat(fd, entryName, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (folder.isEmpty())
                folder = QString::fromStdString(path);
            TSearchResult r;
            r.FileName = QString::fromUtf8(entryName);
            r.Extension = QString::fromStdString(ext);
            r.Size = st.st_size;
            r.ChangeTime = st.st_mtim.tv_sec;
            r.Address = folder + r.FileName;
            ++Found;
            Sink(r, folder);
        }
        closedir(dir);
    }
};

// fnmatch reads "[" and "\" as its own; the user means them as letters.
std::string FragmentPattern(const QString& fragment)
{
    if (fragment.isEmpty())
        return {};
    std::string p = "*";
    for (char c : fragment.toStdString()) {
        if (c == '[' || c == ']' || c == '\\')
            p += '\\';
        p += c;
    }
    p += '*';
    return p;
}

} // namespace

int64_t ScanFolder(const QString& root, const QString& fragment, TSearchKind kind, const std::atomic<bool>& stop,
                   const TSearchSink& sink, const TFolderHook& entered)
{
    TWalk walk{FragmentPattern(fragment), {}, stop, sink, entered};
    for (const QString& e : SearchExtensions(kind))
        walk.Extensions.push_back(e.toStdString());
    const std::string path = root.toStdString();
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return 0;
    walk.Device = st.st_dev;
    // The root itself may be a link the user chose (a mount point, a folder of the list); only
    // the links found under it are left alone.
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    walk.Scan(fd, ".", path);
    close(fd);
    return walk.Found;
}
