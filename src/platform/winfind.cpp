#include "platform/winfind.h"

#include "platform/casefold.h"
#include "platform/codepage.h"
#include "platform/drivemap.h"
#include "platform/folderlisting.h"
#include "platform/winresolve.h"

#include <QFile>
#include <QStringBuilder>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

// '*' and '?' on case-folded text, with the usual backtracking to the last star. `at` gives the
// name's characters folded.
template <class At> bool Glob(qsizetype size, At at, QStringView mask) {
    qsizetype n = 0, m = 0, starMask = -1, starName = 0;
    while (n < size) {
        if (m < mask.size() && (mask.at(m) == QLatin1Char('?') || mask.at(m) == at(n))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask.at(m) == QLatin1Char('*')) {
            starMask = m++;
            starName = n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask.at(m) == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

bool HasWildcards(QStringView mask);

// A mask folded once for all the names of a listing. An ASCII name is folded letter by letter as
// it is compared; any other name is folded whole first.
class MaskMatcher {
public:
    explicit MaskMatcher(const QString& mask)
        : mask_(FoldCase(mask)), empty_(mask.isEmpty()),
          all_(mask_ == QLatin1String("*.*") || mask_ == QLatin1String("*")),
          withoutDotStar_(mask_.endsWith(QLatin1String(".*")) ? mask_.chopped(2) : QString()),
          ending_(mask_.startsWith(QLatin1Char('*')) && !HasWildcards(QStringView(mask_).mid(1))) {}

    bool Matches(const QString& name) const {
        if (empty_)
            return false;
        if (all_)
            return true;
        const bool ascii = IsAscii(name);
        // "*.WAG", the mask of nearly every find: the name's end, folded letter by letter.
        if (ending_ && ascii) {
            const qsizetype size = mask_.size() - 1;
            if (name.size() < size)
                return false;
            const QChar* end = name.constData() + name.size() - size;
            const QChar* wanted = mask_.constData() + 1;
            for (qsizetype i = 0; i < size; ++i) {
                if (AsciiLower(end[i].unicode()) != wanted[i].unicode())
                    return false;
            }
            return true;
        }
        const QString folded = ascii ? QString() : FoldCase(name);
        auto at = [&](qsizetype i) {
            if (!ascii)
                return folded.at(i);
            const char16_t u = name.at(i).unicode();
            return QChar(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
        };
        if (Glob(name.size(), at, mask_))
            return true;
        // "name.*" also matches a name without extension.
        return mask_.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')) &&
               Glob(name.size(), at, withoutDotStar_);
    }

private:
    QString mask_;
    bool empty_;
    bool all_;
    QString withoutDotStar_;
    bool ending_; // a star and no other wildcard: the mask matches the names that end so
};

bool HasWildcards(QStringView mask) {
    // Asked of every name a move looks up: one pass over a short name.
    for (QChar c : mask)
        if (c == QLatin1Char('*') || c == QLatin1Char('?'))
            return true;
    return false;
}

// An entry from the lstat of its name and, for a link, the stat of what it points to (none
// when it dangles).
void FillEntry(const QString& name, struct stat st, const struct stat* target, FindEntry* entry) {
    entry->symlink = S_ISLNK(st.st_mode);
    if (entry->symlink && target)
        st = *target;
    const bool folder = S_ISDIR(st.st_mode);
    entry->name = name;
    entry->attributes = folder ? kFaDirectory : kFaArchive;
    if (!(st.st_mode & S_IWUSR))
        entry->attributes |= kFaReadOnly;
    if (entry->symlink)
        entry->attributes |= kFaReparsePoint;
    entry->size = folder ? 0 : qint64(st.st_size);
    entry->writeTime = DosDateTimeFromUnix(st.st_mtim.tv_sec);
}

void FillEntry(const QString& name, const HostEntryStat& stat, FindEntry* entry) {
    FillEntry(name, stat.st, stat.hasTarget ? &stat.target : nullptr, entry);
}

// The entry of a host path from its stat (not following links), named by its last component.
void FillHostEntry(const QString& hostPath, const struct stat& st, FindEntry* entry) {
    struct stat target {};
    // A dangling link keeps its own data.
    const bool followed = S_ISLNK(st.st_mode) && HostStat(hostPath, true, &target);
    FillEntry(hostPath.mid(hostPath.lastIndexOf(QLatin1Char('/')) + 1), st,
              followed ? &target : nullptr, entry);
}

std::function<int(const QString&)>& ListedStatFault() {
    static std::function<int(const QString&)> hook;
    return hook;
}

// The error a test makes the listed entry give (0: none, the disk answers).
int FaultOfListed(const QString& hostFolder, const QString& name) {
    const auto& hook = ListedStatFault();
    return hook ? hook(JoinHostPath(hostFolder, name)) : 0;
}

// A handle of a host folder to ask for its entries by name: opened by its path, or, when the path
// is too long for one call, a folder at a time from the root. -1 with errno otherwise.
int OpenFolderHandle(const QString& hostFolder) {
    const QByteArray path = EncodeHostPath(hostFolder);
    int folder = open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0 || errno != ENAMETOOLONG || !path.startsWith('/'))
        return folder;
    folder = open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty() || folder < 0)
            continue;
        const int next = openat(folder, part.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int code = errno;
        close(folder);
        folder = next;
        errno = code;
    }
    return folder;
}

// Asks again for a listed entry whose first asking failed, relative to a handle of its folder: a
// name whose whole path is too long for one call is still reached so. 0 when it is there (`stat`
// then tells of it), else the error: ENOENT when it has gone since the folder was read.
int AskListedAgain(const QString& hostFolder, const QString& name, HostEntryStat* stat) {
    if (const int fault = FaultOfListed(hostFolder, name))
        return fault;
    const int folder = OpenFolderHandle(hostFolder);
    if (folder < 0)
        return errno;
    const QByteArray encoded = EncodeHostPath(name);
    stat->exists = fstatat(folder, encoded.constData(), &stat->st, AT_SYMLINK_NOFOLLOW) == 0;
    const int code = stat->exists ? 0 : errno;
    // A dangling link keeps its own data.
    if (stat->exists && S_ISLNK(stat->st.st_mode))
        stat->hasTarget = fstatat(folder, encoded.constData(), &stat->target, 0) == 0;
    close(folder);
    return code;
}

// What a find tells of a listed entry from what its listing asked: the stat to describe it by, or
// nothing, with `failed` set to the error of asking for it (ENOENT: it has gone). A first asking
// that failed is asked again, as one that failed for a path too long may not fail so.
const HostEntryStat* ListedStat(const QString& hostFolder, const QString& name,
                                const HostEntryStat& listed, HostEntryStat* again, int* failed) {
    *failed = 0;
    if (listed.exists && !ListedStatFault())
        return &listed;
    *failed = AskListedAgain(hostFolder, name, again);
    // A name that is not UTF-8 is listed with U+FFFD in place of its bytes, under which its entry
    // is not found: it has not gone, it cannot be reached.
    if (*failed == ENOENT && name.contains(QChar(QChar::ReplacementCharacter)))
        *failed = EILSEQ;
    return *failed == 0 ? again : nullptr;
}

// An entry the folder lists whose asking failed with `error`: only its name is known.
FindEntry UnaskedEntry(const QString& name, int error) {
    FindEntry entry;
    entry.name = name;
    entry.attributes = kFaArchive;
    entry.statError = error;
    return entry;
}

bool EntryOrder(const FindEntry& a, const FindEntry& b) {
    auto rank = [](const QString& name) {
        return name == QLatin1String(".") ? 0 : name == QLatin1String("..") ? 1 : 2;
    };
    if (rank(a.name) != rank(b.name))
        return rank(a.name) < rank(b.name);
    const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a.name < b.name;
}

} // namespace

qint32 PackDosDateTime(const QDateTime& time) {
    const QDateTime local = time.toLocalTime();
    const QDate date = local.date();
    const QTime clock = local.time();
    if (date.year() < 1980)
        return qint32((1u << 5 | 1u) << 16);
    if (date.year() > 2107)
        return qint32(quint32(127u << 9 | 12u << 5 | 31u) << 16 | (23u << 11 | 59u << 5 | 29u));
    const quint32 high =
        quint32(date.year() - 1980) << 9 | quint32(date.month()) << 5 | quint32(date.day());
    const quint32 low =
        quint32(clock.hour()) << 11 | quint32(clock.minute()) << 5 | quint32(clock.second() / 2);
    return qint32(high << 16 | low);
}

QDateTime UnpackDosDateTime(qint32 packed) {
    const quint32 value = quint32(packed);
    const quint32 high = value >> 16, low = value & 0xFFFF;
    const QDate date(int(high >> 9) + 1980, int(high >> 5 & 0xF), int(high & 0x1F));
    const QTime clock(int(low >> 11), int(low >> 5 & 0x3F), int(low & 0x1F) * 2);
    if (!date.isValid() || !clock.isValid())
        return QDateTime();
    return QDateTime(date, clock);
}

namespace {

// The ZoneReadOnce living on this thread, and whether the zone was compared with TZ since the
// first of them began.
thread_local int zonesHeld = 0;
thread_local bool zoneCompared = false;

} // namespace

ZoneReadOnce::ZoneReadOnce() {
    if (zonesHeld++ == 0)
        zoneCompared = false;
}

ZoneReadOnce::~ZoneReadOnce() {
    if (--zonesHeld == 0)
        zoneCompared = false;
}

qint32 DosDateTimeFromUnix(qint64 secondsSinceEpoch) {
    // Every listed file and every date query comes through here. QDateTime asks the C library to
    // read the zone again on each conversion, which costs a system call per file; the zone is
    // read once here (by each thread that converts) and again only when TZ changes.
    thread_local std::string zone;
    thread_local bool zoneRead = false;
    // Files written together share their time; the last answer is given again for it.
    thread_local qint64 lastSeconds = 0;
    thread_local qint32 lastPacked = 0;
    thread_local bool lastValid = false;
    // Looking TZ up goes through the whole environment: while a ZoneReadOnce lives, once.
    const bool compare = !zoneRead || zonesHeld == 0 || !zoneCompared;
    const char* current = compare ? getenv("TZ") : nullptr;
    zoneCompared = zonesHeld > 0;
    if (!zoneRead || (compare && (current ? zone != current : !zone.empty()))) {
        // The C library guards its zone with a lock of its own that thread checkers cannot see;
        // threads that read it at the same time take turns here as well.
        static std::mutex zoneLock;
        const std::lock_guard<std::mutex> lock(zoneLock);
        tzset();
        zone = current ? current : "";
        zoneRead = true;
        lastValid = false;
    }
    if (lastValid && secondsSinceEpoch == lastSeconds)
        return lastPacked;
    const time_t seconds = time_t(secondsSinceEpoch);
    struct tm local {};
    if (qint64(seconds) != secondsSinceEpoch || !localtime_r(&seconds, &local))
        return PackDosDateTime(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch));
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return PackDosDateTime(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch));
    const quint32 high =
        quint32(year - 1980) << 9 | quint32(local.tm_mon + 1) << 5 | quint32(local.tm_mday);
    const quint32 low = quint32(local.tm_hour) << 11 | quint32(local.tm_min) << 5 |
                        quint32(std::min(local.tm_sec, 59) / 2);
    lastSeconds = secondsSinceEpoch;
    lastPacked = qint32(high << 16 | low);
    lastValid = true;
    return lastPacked;
}

bool MatchesMask(const QString& name, const QString& mask) {
    return MaskMatcher(mask).Matches(name);
}

bool HostEntry(const QString& hostPath, FindEntry* entry, int* error) {
    struct stat st {};
    if (!HostStat(hostPath, false, &st, error))
        return false;
    FillHostEntry(hostPath, st, entry);
    return true;
}

namespace {

// The key under which a folder keeps the answer of FindNames: folders or files, with their
// times or without, and the mask.
QString AnswerKey(bool folders, bool withTimes, const QString& mask) {
    return QLatin1String(folders ? "D" : "F") % QLatin1String(withTimes ? "T" : "N") % mask;
}

// The folder and the mask of a find's pattern; false when there is no folder.
bool SplitPattern(const QString& pattern, QString* folder, QString* mask) {
    const qsizetype slash = LastSeparator(pattern);
    if (slash < 2)
        return false;
    *mask = pattern.mid(slash + 1);
    *folder = pattern.left(slash == 2 ? 3 : slash);
    return true;
}

} // namespace

bool FindEntries(const QString& pattern, QList<FindEntry>* entries, int* error) {
    entries->clear();
    QString folder, mask;
    if (!SplitPattern(pattern, &folder, &mask))
        return SetFsError(error, kFsBadPath);

    if (!HasWildcards(mask)) {
        QString host;
        FindEntry entry;
        if (mask.isEmpty() || !ResolvePath(pattern, &host, error) ||
            !HostEntry(host, &entry, error))
            return mask.isEmpty() ? SetFsError(error, ENOENT) : false;
        entries->append(entry);
        return true;
    }

    QString host;
    if (!ResolvePath(folder, &host, error))
        return false;
    const MaskMatcher matcher(mask);
    std::vector<ListedEntry> listed;
    const bool listedOk = ListFolder(
        host,
        [&](const QString& name, EntryKind) {
            return matcher.Matches(name) ? ListChoice::TakeWithStat : ListChoice::Skip;
        },
        &listed, error);
    if (!listedOk)
        return false;
    const bool self = matcher.Matches(QStringLiteral("."));
    const bool parent = matcher.Matches(QStringLiteral(".."));
    QChar drive;
    QStringList components;
    if ((self || parent) && SplitWindowsPath(folder, &drive, &components) &&
        !components.isEmpty()) {
        FindEntry entry;
        if (self && HostEntry(host, &entry)) {
            entry.name = QStringLiteral(".");
            entries->append(entry);
        }
        if (parent && HostEntry(HostParentOf(host), &entry)) {
            entry.name = QStringLiteral("..");
            entries->append(entry);
        }
    }
    for (const ListedEntry& found : listed) {
        HostEntryStat again;
        int failed = 0;
        const HostEntryStat* stat = ListedStat(host, found.name, *found.stat, &again, &failed);
        if (failed == ENOENT) // gone meanwhile: not listed
            continue;
        if (!stat) {
            entries->append(UnaskedEntry(found.name, failed));
            continue;
        }
        FindEntry entry;
        FillEntry(found.name, *stat, &entry);
        entries->append(entry);
    }
    // The names come in this order already, after "." and "..".
    if (!std::is_sorted(entries->begin(), entries->end(), EntryOrder))
        std::sort(entries->begin(), entries->end(), EntryOrder);
    return entries->isEmpty() ? SetFsError(error, ENOENT) : true;
}

bool FindEntryOf(const QString& path, FindEntry* entry, int* error) {
    const qsizetype slash = LastSeparator(path);
    // A move asks this twice for every file: a plain name is looked up as it stands, anything
    // else as FindEntries finds it.
    if (slash < 2 || slash + 1 == path.size() || HasWildcards(QStringView(path).mid(slash + 1))) {
        QList<FindEntry> entries;
        if (!FindEntries(path, &entries, error))
            return false;
        *entry = entries.first();
        return true;
    }
    // The lookup of the name gives its stat with it.
    QString host;
    struct stat st {};
    if (!ResolvePathStat(path, false, &host, &st, error))
        return false;
    FillHostEntry(host, st, entry);
    return true;
}

bool FindNames(const QString& pattern, bool folders, QStringList* names, QList<qint32>* writeTimes,
               int* error, QString* hostFolder) {
    names->clear();
    if (writeTimes)
        writeTimes->clear();
    if (hostFolder)
        hostFolder->clear();
    QString folder, mask;
    if (!SplitPattern(pattern, &folder, &mask))
        return SetFsError(error, kFsBadPath);
    if (!HasWildcards(mask)) {
        // One name at most: not worth a way of its own.
        QList<FindEntry> entries;
        if (!FindEntries(pattern, &entries, error))
            return false;
        for (const FindEntry& entry : std::as_const(entries)) {
            if (entry.IsFolder() != folders || entry.name == QLatin1String(".") ||
                entry.name == QLatin1String(".."))
                continue;
            names->append(entry.name);
            if (writeTimes)
                writeTimes->append(entry.writeTime);
        }
        return names->isEmpty() ? SetFsError(error, ENOENT) : true;
    }

    // Only the folder's own names are looked at: "." and ".." are folders, and never wanted. A
    // folder asked the same before, and unchanged since, gives the answer it kept.
    const QString key = AnswerKey(folders, writeTimes != nullptr, mask);
    QList<qint32> times;
    quint64 generation = 0;
    QString host;
    if (KeptFolderAnswer(folder, key, names, &times, &generation, &host)) {
        if (writeTimes)
            *writeTimes = times;
        if (hostFolder)
            *hostFolder = host;
        return names->isEmpty() ? SetFsError(error, ENOENT) : true;
    }
    if (host.isEmpty() && !ResolvePath(folder, &host, error))
        return false;
    if (hostFolder)
        *hostFolder = host;
    const MaskMatcher matcher(mask);
    const EntryKind wanted = folders ? EntryKind::Folder : EntryKind::File;
    const EntryKind unwanted = folders ? EntryKind::File : EntryKind::Folder;
    std::vector<ListedEntry> listed;
    quint64 state = 0;
    const bool listedOk = ListFolder(
        host,
        [&](const QString& name, EntryKind kind) {
            if (kind == unwanted || !matcher.Matches(name))
                return ListChoice::Skip;
            // The kind or the time only a stat tells.
            return writeTimes || kind != wanted ? ListChoice::TakeWithStat : ListChoice::Take;
        },
        &listed, error, &state);
    if (!listedOk)
        return false;
    const ZoneReadOnce zone;
    // An answer with a name that could not be asked for is not kept: it is asked again.
    bool unasked = false;
    for (const ListedEntry& found : listed) {
        if (found.stat) {
            HostEntryStat again;
            int failed = 0;
            const HostEntryStat* stat = ListedStat(host, found.name, *found.stat, &again, &failed);
            if (failed == ENOENT) // gone meanwhile: not listed
                continue;
            FindEntry entry = stat ? FindEntry() : UnaskedEntry(found.name, failed);
            if (stat)
                FillEntry(found.name, *stat, &entry);
            unasked = unasked || !stat;
            if (entry.IsFolder() != folders)
                continue;
            if (writeTimes)
                writeTimes->append(entry.writeTime);
        }
        names->append(found.name);
    }
    if (!unasked)
        KeepFolderAnswer(folder, host, generation, state, key, *names,
                         writeTimes ? *writeTimes : QList<qint32>());
    return names->isEmpty() ? SetFsError(error, ENOENT) : true;
}

namespace {

// One answer per mask from a listing: the files FindNames gives, with their times when asked,
// each stat'ed as FindNames stats it unless the listing kept its stat (or, without times, tells
// a regular file by its kind). True when no stat was asked of the disk.
bool FilesOf(const QString& hostFolder, FolderListing& listing,
             const std::vector<MaskMatcher>& masks, bool withTimes,
             std::vector<FindAnswer>* answers) {
    answers->assign(masks.size(), FindAnswer{});
    const ZoneReadOnce zone;
    bool kept = true;
    const QStringList& names = listing.Ordered();
    const QList<EntryKind>& kinds = listing.OrderedKinds();
    const std::vector<const struct stat*>& stats = listing.OrderedStats();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (kinds.at(i) == EntryKind::Folder)
            continue;
        const QString& name = names.at(i);
        FindEntry entry;
        bool asked = false;
        bool file = false;
        for (std::size_t m = 0; m < masks.size(); ++m) {
            if (!masks[m].Matches(name))
                continue;
            if (!asked) {
                asked = true;
                const struct stat* st = stats[std::size_t(i)];
                if (!withTimes && kinds.at(i) == EntryKind::File) {
                    file = true;
                } else if (st && !ListedStatFault()) {
                    FillEntry(name, *st, nullptr, &entry);
                    file = !entry.IsFolder();
                } else {
                    kept = false;
                    HostEntryStat stat;
                    const QByteArray path = QFile::encodeName(JoinHostPath(hostFolder, name));
                    stat.exists = lstat(path.constData(), &stat.st) == 0;
                    if (stat.exists && S_ISLNK(stat.st.st_mode))
                        stat.hasTarget = ::stat(path.constData(), &stat.target) == 0;
                    HostEntryStat again;
                    int failed = 0;
                    const HostEntryStat* found =
                        ListedStat(hostFolder, name, stat, &again, &failed);
                    if (found)
                        FillEntry(name, *found, &entry);
                    // Gone meanwhile, or a link to a folder: not a file. One that cannot be asked
                    // for counts as a file, as FindEntries lists it.
                    file = found ? !entry.IsFolder() : failed != ENOENT;
                }
            }
            if (!file)
                break;
            (*answers)[m].names.append(name);
            if (withTimes)
                (*answers)[m].times.append(entry.writeTime);
        }
    }
    return kept;
}

void FindFilesInFolders(const QStringList& folders, const QStringList& masks, bool withTimes,
                        std::vector<FolderFiles>* files,
                        const std::function<void(std::size_t)>& each) {
    files->assign(std::size_t(folders.size()), FolderFiles{});
    QStringList keys;
    std::vector<MaskMatcher> matchers;
    for (const QString& mask : masks) {
        keys.append(AnswerKey(false, withTimes, mask));
        matchers.emplace_back(mask);
    }
    std::vector<FolderFinds> finds;
    // Each folder the cache answers is handed on at once.
    auto taken = [&](std::size_t f) {
        FolderFiles& folder = (*files)[f];
        folder.host = finds[f].host;
        folder.found = std::move(finds[f].answers);
        for (const FindAnswer& answer : folder.found)
            folder.errors.push_back(answer.names.isEmpty() ? ENOENT : 0);
        if (each)
            each(f);
    };
    FindInFolders(
        folders, keys,
        [&](const QString& host, FolderListing& listing, std::vector<FindAnswer>* answers) {
            return FilesOf(host, listing, matchers, withTimes, answers);
        },
        &finds, taken);
    // What the cache left: read ahead together, then found one by one.
    QStringList left;
    for (std::size_t f = 0; f < finds.size(); ++f) {
        if (!finds[f].known)
            left.append(folders.at(qsizetype(f)));
    }
    if (!left.isEmpty())
        PrefetchFolders(left, true);
    for (std::size_t f = 0; f < finds.size(); ++f) {
        if (finds[f].known)
            continue;
        FolderFiles& folder = (*files)[f];
        for (const QString& mask : masks) {
            FindAnswer& answer = folder.found.emplace_back();
            int error = 0;
            FindNames(folders.at(qsizetype(f)) + QLatin1Char('\\') + mask, false, &answer.names,
                      withTimes ? &answer.times : nullptr, &error, &folder.host);
            folder.errors.push_back(answer.names.isEmpty() ? error : 0);
        }
        if (each)
            each(f);
    }
}

} // namespace

void FindDatedFilesIn(const QStringList& folders, const QStringList& masks,
                      std::vector<FolderFiles>* files,
                      const std::function<void(std::size_t)>& each) {
    FindFilesInFolders(folders, masks, true, files, each);
}

void FindFilesIn(const QStringList& folders, const QStringList& masks,
                 std::vector<FolderFiles>* files) {
    FindFilesInFolders(folders, masks, false, files, nullptr);
}

bool CanDescend(const FindEntry& entry) {
    return entry.IsFolder() && !entry.symlink && entry.name != QLatin1String(".") &&
           entry.name != QLatin1String("..");
}

namespace {

// The length of the UTF-8 sequence that starts at `at`, 0 when the bytes there are none.
int Utf8SequenceAt(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return uchar(bytes.at(i)); };
    const uchar lead = byte(at);
    const int length = lead < 0x80             ? 1
                       : (lead & 0xE0) == 0xC0 ? 2
                       : (lead & 0xF0) == 0xE0 ? 3
                       : (lead & 0xF8) == 0xF0 ? 4
                                               : 0;
    if (length == 0 || at + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80)
            return 0;
    }
    // No longer form than needed, no surrogate, nothing beyond U+10FFFF.
    const uchar second = length > 1 ? byte(at + 1) : 0;
    if ((length == 2 && lead < 0xC2) || (length == 3 && lead == 0xE0 && second < 0xA0) ||
        (length == 3 && lead == 0xED && second >= 0xA0) ||
        (length == 4 && lead == 0xF0 && second < 0x90) ||
        (length == 4 && (lead > 0xF4 || (lead == 0xF4 && second >= 0x90))))
        return 0;
    return length;
}

bool IsUtf8(const QByteArray& bytes) {
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = Utf8SequenceAt(bytes, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

} // namespace

QString ReadableName(const QByteArray& bytes) {
    QString readable;
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = Utf8SequenceAt(bytes, at);
        if (length > 0) {
            readable += QString::fromUtf8(bytes.constData() + at, length);
            at += length;
        } else {
            readable += DecodeWindows1252(bytes.mid(at, 1));
            ++at;
        }
    }
    return readable;
}

bool UndecodableNamesIn(const QString& hostFolder, const QString& listed,
                        QList<UndecodableName>* names, bool* reachable) {
    names->clear();
    if (reachable)
        *reachable = false;
    DIR* folder = opendir(EncodeHostPath(hostFolder).constData());
    if (!folder)
        return false;
    const QByteArray asText = listed.toUtf8();
    while (const dirent* entry = readdir(folder)) {
        const QByteArray bytes(entry->d_name);
        if (bytes == asText) {
            if (reachable)
                *reachable = true;
        } else if (!IsUtf8(bytes) && QFile::decodeName(bytes) == listed) {
            names->append({bytes, ReadableName(bytes)});
        }
    }
    closedir(folder);
    return true;
}

void SetListedStatFaultForTests(std::function<int(const QString& hostPath)> hook) {
    ListedStatFault() = std::move(hook);
}

} // namespace qv
