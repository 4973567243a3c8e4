#include "platform/folderlisting.h"

#include <algorithm>
#include <cerrno>
#include <sys/vfs.h>

namespace qv {

FolderStamp FolderStampOf(const struct stat& st) {
    FolderStamp s;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.mtime = st.st_mtim;
    s.ctime = st.st_ctim;
    return s;
}

bool NameOrder(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

void FolderListing::Add(const QString& name) {
    files.remove(name);
    if (exact.contains(name))
        return;
    exact.insert(name);
    orderedValid = false;
    // One lookup finds the twin or makes the place.
    const qsizetype before = folded.size();
    QString& twin = folded[FoldedName{name}];
    if (folded.size() != before)
        twin = name;
    else
        twin.clear();
}

void FolderListing::Remove(const QString& name) {
    files.remove(name);
    if (!exact.remove(name))
        return;
    orderedValid = false;
    const FoldedName key{name};
    const auto twin = folded.find(key);
    if (twin == folded.end())
        return;
    if (!twin->isEmpty()) {
        folded.erase(twin);
        return;
    }
    // It had twins: count those left (rare, so they are looked for only now).
    QString left;
    int count = 0;
    for (const QString& other : std::as_const(exact)) {
        if (FoldedName{other} == key) {
            left = other;
            ++count;
        }
    }
    if (count == 0)
        folded.erase(twin);
    else if (count == 1)
        *twin = left;
}

const QStringList& FolderListing::Ordered() {
    if (!orderedValid) {
        ordered = exact.values();
        std::sort(ordered.begin(), ordered.end(), NameOrder);
        orderedValid = true;
    }
    return ordered;
}

FolderLookup MatchName(const FolderListing& listing, const QString& name, QString* found) {
    if (listing.exact.contains(name)) {
        *found = name;
        return FolderLookup::Found;
    }
    const auto match = listing.folded.constFind(FoldedName{name});
    if (match == listing.folded.cend())
        return FolderLookup::Missing;
    if (match->isEmpty())
        return FolderLookup::Ambiguous;
    *found = *match;
    return FolderLookup::Found;
}

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

bool ReportsEveryChange(const QByteArray& encoded) {
    struct statfs fs {};
    if (statfs(encoded.constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:     // ext2, ext3, ext4
    case 0x58465342UL: // xfs
    case 0x9123683EUL: // btrfs
    case 0x01021994UL: // tmpfs
    case 0xF2F52010UL: // f2fs
    case 0x4D44UL:     // vfat
    case 0x2011BAB0UL: // exfat
    case 0x7366746EUL: // ntfs3
        return true;
    default:
        return false;
    }
}

} // namespace qv
