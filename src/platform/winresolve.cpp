#include "platform/winresolve.h"

#include "platform/drivemap.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>

namespace qv {

namespace {

struct Stamp {
    dev_t dev = 0;
    ino_t ino = 0;
    timespec mtime{};
    timespec ctime{};

    bool operator==(const Stamp& o) const {
        return dev == o.dev && ino == o.ino && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
               ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

Stamp StampOf(const struct stat& st) {
    Stamp s;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.mtime = st.st_mtim;
    s.ctime = st.st_ctim;
    return s;
}

struct Listing {
    Stamp stamp;
    // The folder changed so shortly before it was read that a later change could carry the same
    // time stamp; such a listing is read again at its next use.
    bool racy = false;
    QSet<QString> exact;
    QHash<QString, QStringList> folded;

    void Add(const QString& name) {
        if (!exact.contains(name)) {
            exact.insert(name);
            folded[name.toCaseFolded()].append(name);
        }
    }
    void Remove(const QString& name) {
        if (!exact.remove(name))
            return;
        const QString key = name.toCaseFolded();
        QStringList& twins = folded[key];
        twins.removeAll(name);
        if (twins.isEmpty())
            folded.remove(key);
    }
};

// Time stamps of most file systems move in clock ticks of a few milliseconds; those that keep
// whole seconds (FAT keeps two) show it by a zero fraction.
bool IsRacy(const struct stat& st) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now); // compared with the file system's own stamps
    const qint64 ageMs = (qint64(now.tv_sec) - st.st_mtim.tv_sec) * 1000 +
                         (qint64(now.tv_nsec) - st.st_mtim.tv_nsec) / 1000000;
    const qint64 windowMs = st.st_mtim.tv_nsec == 0 ? 2500 : 100;
    return ageMs < windowMs;
}

bool StatFolder(const QByteArray& encoded, struct stat* st, int* error) {
    if (stat(encoded.constData(), st) != 0) {
        *error = errno;
        return false;
    }
    if (!S_ISDIR(st->st_mode)) {
        *error = ENOTDIR;
        return false;
    }
    return true;
}

enum class Lookup { Found, Missing, Ambiguous };

constexpr int kMaxCachedFolders = 100000;

// Listings by host folder. Everything happens under one lock; the program reaches files from its
// GUI thread, so the lock is never contended in practice.
class FolderCache {
public:
    // Finds a name in a folder: the exact name first, else the one case-folded match.
    bool Find(const QString& hostFolder, const QString& name, Lookup* result, QString* found,
              int* error) {
        QMutexLocker lock(&mutex_);
        const Listing* listing = Current(hostFolder, error);
        if (!listing)
            return false;
        if (listing->exact.contains(name)) {
            *found = name;
            *result = Lookup::Found;
            return true;
        }
        const QStringList matches = listing->folded.value(name.toCaseFolded());
        *result = matches.isEmpty()     ? Lookup::Missing
                  : matches.size() == 1 ? Lookup::Found
                                        : Lookup::Ambiguous;
        if (matches.size() == 1)
            *found = matches.first();
        return true;
    }

    bool Names(const QString& hostFolder, QStringList* names, int* error) {
        QMutexLocker lock(&mutex_);
        const Listing* listing = Current(hostFolder, error);
        if (!listing)
            return false;
        *names = listing->exact.values();
        return true;
    }

    // Before our own change: a listing that is no longer current is dropped, so that the change
    // is only ever added to a listing that was right before it.
    void BeforeChange(const QString& hostFolder) {
        QMutexLocker lock(&mutex_);
        auto it = entries_.find(hostFolder);
        if (it == entries_.end())
            return;
        struct stat st {};
        int error = 0;
        if (!StatFolder(QFile::encodeName(hostFolder), &st, &error) || !(it->stamp == StampOf(st)))
            entries_.erase(it);
    }

    // Our own change: the listing takes it over and the folder's new stamp, so that moving many
    // files into one folder does not read that folder again for every file. The listing was
    // current just before the change, so it no longer counts as racy.
    void Changed(const QString& hostFolder, const QString& added, const QString& removed) {
        QMutexLocker lock(&mutex_);
        auto it = entries_.find(hostFolder);
        if (it == entries_.end())
            return;
        struct stat st {};
        int error = 0;
        if (!StatFolder(QFile::encodeName(hostFolder), &st, &error)) {
            entries_.erase(it);
            return;
        }
        if (!removed.isEmpty())
            it->Remove(removed);
        if (!added.isEmpty())
            it->Add(added);
        it->stamp = StampOf(st);
        it->racy = false;
    }

    void Invalidate(const QString& hostFolder) {
        QMutexLocker lock(&mutex_);
        entries_.remove(hostFolder);
    }

    void Clear() {
        QMutexLocker lock(&mutex_);
        entries_.clear();
    }

    qint64 Reads() {
        QMutexLocker lock(&mutex_);
        return reads_;
    }

private:
    // The listing of a folder, read again when the folder's stamp changed. Called under the lock;
    // the pointer is good until the next change of the cache.
    const Listing* Current(const QString& hostFolder, int* error) {
        const QByteArray encoded = QFile::encodeName(hostFolder);
        struct stat st {};
        if (!StatFolder(encoded, &st, error)) {
            entries_.remove(hostFolder);
            return nullptr;
        }
        const Stamp stamp = StampOf(st);
        auto it = entries_.find(hostFolder);
        if (it != entries_.end() && !it->racy && it->stamp == stamp)
            return &*it;
        Listing listing;
        listing.stamp = stamp;
        listing.racy = IsRacy(st);
        DIR* dir = opendir(encoded.constData());
        if (!dir) {
            *error = errno;
            entries_.remove(hostFolder);
            return nullptr;
        }
        while (const dirent* entry = readdir(dir)) {
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                listing.Add(QFile::decodeName(entry->d_name));
        }
        closedir(dir);
        // A change while reading leaves the stamp taken before it, so the next use reads again.
        struct stat after {};
        if (stat(encoded.constData(), &after) != 0 || !(StampOf(after) == stamp))
            listing.racy = true;
        ++reads_;
        if (entries_.size() >= kMaxCachedFolders)
            entries_.clear();
        return &*entries_.insert(hostFolder, std::move(listing));
    }

    QMutex mutex_;
    QHash<QString, Listing> entries_;
    qint64 reads_ = 0;
};

FolderCache& Cache() {
    static FolderCache cache;
    return cache;
}

QString Join(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

bool SetError(int* error, int code) {
    if (error)
        *error = code;
    return false;
}

bool Resolve(const QString& path, bool forCreate, ResolvedPath* out, int* error) {
    QChar drive;
    QStringList components;
    if (!SplitWindowsPath(path, &drive, &components))
        return SetError(error, kFsBadPath);
    const QString root = TheDriveMap().HostRoot(drive);
    if (root.isEmpty())
        return SetError(error, kFsNoDrive);

    // Most paths are already spelled as on the disk: one lstat settles them.
    QString literal = root;
    for (const QString& component : components)
        literal = Join(literal, component);
    struct stat st {};
    if (lstat(QFile::encodeName(literal).constData(), &st) == 0) {
        out->host = out->existingHost = literal;
        out->exists = true;
        return true;
    }

    QString host = root;
    for (qsizetype i = 0; i < components.size(); ++i) {
        int code = 0;
        Lookup result = Lookup::Missing;
        QString found;
        if (!Cache().Find(host, components.at(i), &result, &found, &code))
            return SetError(error, code);
        switch (result) {
        case Lookup::Ambiguous:
            return SetError(error, kFsAmbiguous);
        case Lookup::Missing:
            if (!forCreate)
                return SetError(error, ENOENT);
            out->existingHost = host;
            for (qsizetype j = i; j < components.size(); ++j)
                host = Join(host, components.at(j));
            out->host = host;
            out->exists = false;
            return true;
        case Lookup::Found:
            host = Join(host, found);
            break;
        }
    }
    out->host = out->existingHost = host;
    out->exists = true;
    return true;
}

} // namespace

QString FsErrorText(int code) {
    switch (code) {
    case kFsAmbiguous:
        return QStringLiteral("Two names in the folder differ only in letter case");
    case kFsNoDrive:
        return QStringLiteral("No such drive");
    default:
        return QString::fromLocal8Bit(strerror(code));
    }
}

bool ResolvePath(const QString& path, QString* hostPath, int* error) {
    ResolvedPath resolved;
    if (!Resolve(path, false, &resolved, error))
        return false;
    *hostPath = resolved.host;
    return true;
}

bool ResolvePathForCreate(const QString& path, ResolvedPath* resolved, int* error) {
    return Resolve(path, true, resolved, error);
}

bool FolderNames(const QString& hostFolder, QStringList* names, int* error) {
    int code = 0;
    return Cache().Names(hostFolder, names, &code) ? true : SetError(error, code);
}

void BeforeFolderChange(const QString& hostFolder) {
    Cache().BeforeChange(hostFolder);
}

void FolderChanged(const QString& hostFolder, const QString& addedName,
                   const QString& removedName) {
    Cache().Changed(hostFolder, addedName, removedName);
}

void InvalidateFolder(const QString& hostFolder) {
    Cache().Invalidate(hostFolder);
}

void ClearFolderCache() {
    Cache().Clear();
}

qint64 FolderReadCount() {
    return Cache().Reads();
}

} // namespace qv
