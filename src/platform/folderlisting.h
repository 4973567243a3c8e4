// One host folder as the folder cache of the path layer keeps it: its names (as on the disk,
// without regard to case, and in listing order), the stamp it was read under, its change watch
// and the stats of its files; and the tests on folder stamps that decide when a folder is read
// again.
#pragma once

#include "platform/casefold.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <ctime>
#include <sys/stat.h>

namespace qv {

// What tells one state of a folder from another.
struct FolderStamp {
    dev_t dev = 0;
    ino_t ino = 0;
    timespec mtime{};
    timespec ctime{};

    bool operator==(const FolderStamp& o) const {
        return dev == o.dev && ino == o.ino && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
               ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

FolderStamp FolderStampOf(const struct stat& st);

// The order folder listings are given in: without regard to case, then exactly.
bool NameOrder(const QString& a, const QString& b);

enum class FolderLookup { Found, Missing, Ambiguous };

struct FolderListing {
    FolderStamp stamp;
    // The folder changed so shortly before it was read that a later change could carry the same
    // time stamp; such a listing is read again at its next use.
    bool racy = false;
    // The change watch on the folder (-1: none, the stamp is compared at every use) and whether
    // the watch reported anything since the stamp was last found unchanged.
    int watch = -1;
    bool reported = false;
    QSet<QString> exact;
    // Name without regard to case -> the one name that folds so, or an empty text when two or
    // more do.
    QHash<FoldedName, QString> folded;
    // The stat of files in the folder as last asked, while the watch reported no change of them.
    QHash<QString, struct stat> files;
    // The names in NameOrder, made when first asked for and dropped by every change.
    QStringList ordered;
    bool orderedValid = false;

    void Add(const QString& name);
    void Remove(const QString& name);
    const QStringList& Ordered();
    // Good without asking the disk: watched, nothing reported, not racy.
    bool KnownCurrent() const { return watch >= 0 && !reported && !racy; }
};

// Finds a name in a listing: the exact name first, else the one name that folds alike.
FolderLookup MatchName(const FolderListing& listing, const QString& name, QString* found);

// Time stamps of most file systems move in clock ticks of a few milliseconds; those that keep
// whole seconds (FAT keeps two) show it by a zero fraction. True when the folder changed so
// recently that a later change could carry the same stamp.
bool IsRacy(const struct stat& st);

// stat of a host folder; false with the errno (ENOTDIR for what is no folder).
bool StatFolder(const QByteArray& encoded, struct stat* st, int* error);

// File systems whose change notifications report every change, whoever makes it. Network and
// user-space file systems can change behind the kernel's back; their folders are checked by
// their stamps at every use.
bool ReportsEveryChange(const QByteArray& encoded);

} // namespace qv
