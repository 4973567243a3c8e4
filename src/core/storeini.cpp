#include "core/storeini.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "platform/keptfolders.h"
#include "platform/ui.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QCoreApplication>
#include <algorithm>
#include <future>
#include <limits>
#include <system_error>
#include <vector>

namespace qv {

namespace {

const QString kInfoSection = QStringLiteral("QUARVEL_INFORMATION");
const QString kVersionKey = QStringLiteral("Version");
const QString kDataFolder = QStringLiteral("QVDATA");

QString WithTrailingBackslash(const QString& folder) {
    return folder.endsWith(QLatin1Char('\\')) ? folder : folder + QLatin1Char('\\');
}

// Binary search by CompareText in a list whose entries are in that order.
bool SortedListFind(const StringList& sorted, const QString& text, int* index) {
    int low = 0;
    int high = sorted.Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const int order = CompareText(sorted[middle], text);
        if (order == 0) {
            *index = middle;
            return true;
        }
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return false;
}

// Store data files as last closed, each with its bytes on the disk then, so that opening an
// unchanged file again (a cache at the next rebuild) takes the ini over instead of parsing tens of
// thousands of sections again. The bytes decide, not the file's times: a change within one tick of
// the clock leaves the times alike.
struct KeptIni {
    QString path;
    QByteArray bytes;
    IniFile ini;
    // A file just written is parsed on a thread of its own while the program goes on; the ini
    // is taken from here once parsed.
    std::future<IniFile> parsing;
};
constexpr std::size_t kKeptInis = 8;

std::vector<KeptIni>& KeptInis() {
    static std::vector<KeptIni> kept;
    return kept;
}

// The kept ini of that path when the file still holds those bytes; it leaves the keeping.
bool TakeKeptIni(const QString& path, const QByteArray& bytes, IniFile* ini) {
    auto& kept = KeptInis();
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->path != path)
            continue;
        const bool same = it->bytes == bytes;
        if (same)
            *ini = it->parsing.valid() ? it->parsing.get() : std::move(it->ini);
        kept.erase(it);
        return same;
    }
    return false;
}

void ForgetKeptIni(const QString& path) {
    auto& kept = KeptInis();
    kept.erase(
        std::remove_if(kept.begin(), kept.end(), [&](const KeptIni& k) { return k.path == path; }),
        kept.end());
}

void KeepIni(const QString& path, QByteArray bytes, IniFile ini,
             std::future<IniFile> parsing = {}) {
    ForgetKeptIni(path);
    auto& kept = KeptInis();
    if (kept.size() >= kKeptInis)
        kept.erase(kept.begin());
    kept.push_back(KeptIni{path, std::move(bytes), std::move(ini), std::move(parsing)});
}

// Keeps the ini of bytes just written, parsed as the next opening would read them: written
// values may not read back as they were given (blanks around a value are trimmed, for one). The
// parse runs on a thread of its own when one can be had, which also frees the ini the bytes were
// made from (`written`): a cache's tens of thousands of sections take a while to free.
void KeepWrittenIni(const QString& path, const QByteArray& bytes, IniFile written) {
    std::future<IniFile> parsing;
    try {
        parsing = std::async(std::launch::async, [bytes, old = std::move(written)]() mutable {
            { const IniFile dropped = std::move(old); }
            return IniFile::FromBytes(bytes);
        });
    } catch (const std::system_error&) {
        KeepIni(path, bytes, IniFile::FromBytes(bytes));
        return;
    }
    KeepIni(path, bytes, IniFile(), std::move(parsing));
}

// LoadIniFileStatus, giving the bytes read too; with `reuse`, an ini kept from the last closing
// of the same unchanged file is taken over instead of being parsed.
IniFile::LoadStatus LoadIni(const QString& windowsPath, IniFile* ini, QByteArray* bytes, bool reuse,
                            int* error) {
    ini->Clear();
    bytes->clear();
    int code = 0;
    if (ReadWholeFile(windowsPath, bytes, &code)) {
        if (!reuse || !TakeKeptIni(windowsPath, *bytes, ini))
            *ini = IniFile::FromBytes(*bytes);
        return IniFile::LoadStatus::Loaded;
    }
    if (error)
        *error = code;
    // Only a path that names nothing is a missing file; anything else (a name present in two
    // letter cases, no permission, a read error) means a file may be there with content.
    const bool missing =
        code == ENOENT || code == ENOTDIR || code == kFsNoDrive || code == kFsBadPath;
    return missing ? IniFile::LoadStatus::Missing : IniFile::LoadStatus::Unreadable;
}

// A copy of a refused file beside it, "<file>.bad" or, when earlier copies of other content are
// there (never replaced), "<file>.bad2", "<file>.bad3", ...; a copy that holds the same bytes
// already is the copy, and no second one is made. Empty, with the errno, when none could be made.
QString SetAside(const QString& path, const QByteArray& bytes, int* error) {
    for (int n = 1; n < 1000; ++n) {
        const QString copy =
            path + QStringLiteral(".bad") + (n > 1 ? QString::number(n) : QString());
        if (CopyFileWithTimes(path, copy, error))
            return copy;
        if (*error != EEXIST)
            return QString();
        QByteArray held;
        if (ReadWholeFile(copy, &held) && held == bytes)
            return copy;
    }
    return QString();
}

// Why a file cannot be emptied by writing it again (0 when it can, as far as one can tell
// before trying): it is read-only, or a link leads it out of the two folders.
int CannotEmpty(const QString& path) {
    const quint32 attributes = FileAttributes(path);
    if (attributes != kInvalidFileAttributes && (attributes & kFaReadOnly))
        return EACCES;
    return KeptFolderCheck().LeadsOut(path) ? kFsLinkLeaves : 0;
}

void StartAfresh(StoreIniHolder& holder, const QString& name) {
    // The refusal takes the language of the sentence of ours that follows it.
    const auto refused = [&name](const TextWithCaptions& own) {
        return own.Caption(Msg::INVALID_QVS_FILE) + own.Caption(Msg::GENERAL_NOT_FOUND3) + name +
               QLatin1Char('\'');
    };
    // What the file holds (a route's named lists, its TSECTION.DAT choice) is kept aside before
    // the file starts afresh; a file that cannot be kept so, or cannot start afresh at all, is
    // left as it is, and never written.
    int error = CannotEmpty(holder.Path);
    QString copy;
    if (error != 0 || (!holder.Bytes.isEmpty() &&
                       (copy = SetAside(holder.Path, holder.Bytes, &error)).isEmpty())) {
        const TextWithCaptions notKept(
            "StoreFiles",
            QT_TRANSLATE_NOOP("StoreFiles", "\rIt could not be kept aside and stays as it is"));
        ShowStop(refused(notKept) + notKept.Text() + ErrorNumberSuffix(error));
        holder.Ini.Clear();
        holder.Bytes.clear();
        holder.ReadFailed = true;
        return;
    }
    const TextWithCaptions kept =
        copy.isEmpty()
            ? TextWithCaptions()
            : TextWithCaptions("StoreFiles", QT_TRANSLATE_NOOP("StoreFiles", "\rKept as: '%1'"));
    ShowStop(refused(kept) + (copy.isEmpty() ? QString() : kept.Text().arg(copy)) +
             kept.Caption(Msg::INVALID_QVS_CONTINUE));
    holder.Ini.Clear();
    holder.Bytes.clear();
    if (!SaveIniFile(holder.Path, holder.Ini, &error))
        ReportWriteFailure(holder.Path, error);
}

} // namespace

QString ErrorNumberSuffix(int error) {
    return QStringLiteral(" : [") + QString::number(error) + QLatin1Char(']');
}

void ShowStop(const QString& text) {
    TheUi().MessageBox(text, App().ProgramTitle, MB_ICONSTOP);
}

void ReportUnreadable(const QString& path, int error) {
    ShowStop(Caption(Msg::ERROR_LEG) + QStringLiteral(": ") + Caption(Msg::GENERAL_NOT_FOUND0) +
             Caption(Msg::GENERAL_NOT_FOUND3) + path + QLatin1Char('\'') +
             ErrorNumberSuffix(error));
}

QString LinkOutText(const QString& path, int error) {
    LinkOut out;
    if (error != kFsLinkLeaves || !KeptFolderCheck().LeadsOut(path, &out))
        return QString();
    return QCoreApplication::translate(
               "StoreFiles", "\rThe link '%1' leads to '%2', outside the MSTS folder and the store")
        .arg(out.link, out.target);
}

void ReportWriteFailure(const QString& path, int error) {
    ShowStop(Caption(Msg::WRITE_ERROR) + path + QLatin1Char('\'') + ErrorNumberSuffix(error) +
             LinkOutText(path, error));
}

IniFile::LoadStatus LoadIniFileStatus(const QString& windowsPath, IniFile* ini, int* error) {
    QByteArray bytes;
    return LoadIni(windowsPath, ini, &bytes, false, error);
}

bool LoadIniFile(const QString& windowsPath, IniFile* ini) {
    return LoadIniFileStatus(windowsPath, ini) != IniFile::LoadStatus::Unreadable;
}

bool SaveIniFile(const QString& windowsPath, const IniFile& ini, int* error) {
    return WriteFileAtomic(windowsPath, ini.ToBytes(), error);
}

std::unique_ptr<StoreIniHolder> OpenStoreIni(const QString& name) {
    auto holder = std::make_unique<StoreIniHolder>();
    holder->Path =
        WithTrailingBackslash(App().StoreRootFolder) + kDataFolder + QLatin1Char('\\') + name;

    int error = 0;
    switch (LoadIni(holder->Path, &holder->Ini, &holder->Bytes, true, &error)) {
    case IniFile::LoadStatus::Missing:
        break;
    case IniFile::LoadStatus::Unreadable:
        // Taking the file as empty would let the close replace it with whatever this run adds.
        holder->ReadFailed = true;
        ReportUnreadable(holder->Path, error);
        break;
    case IniFile::LoadStatus::Loaded:
        if (IsAcceptedVersion(holder->Ini.ReadString(kInfoSection, kVersionKey, QString())) == 0)
            StartAfresh(*holder, name);
        break;
    }
    holder->Modified = false;
    holder->LoadedChanges = holder->Ini.Changes();
    return holder;
}

bool CloseStoreIni(std::unique_ptr<StoreIniHolder> holder) {
    if (!holder)
        return true;
    if (!holder->Modified) {
        // Kept only as it was read: a change made without marking the holder is not kept either.
        if (!holder->Bytes.isEmpty() && holder->Ini.Changes() == holder->LoadedChanges)
            KeepIni(holder->Path, std::move(holder->Bytes), std::move(holder->Ini));
        return true;
    }
    // Reported when it was opened; its content is unknown, so it is left as it is.
    if (holder->ReadFailed)
        return false;

    holder->Ini.WriteString(kInfoSection, kVersionKey, App().StoreDataVersion);
    const QString folder = holder->Path.left(holder->Path.lastIndexOf(QLatin1Char('\\')));
    QByteArray bytes = holder->Ini.ToBytes();
    int error = 0;
    ForgetKeptIni(holder->Path);
    if (ForceFolders(folder, &error) && WriteFileAtomic(holder->Path, bytes, &error)) {
        KeepWrittenIni(holder->Path, bytes, std::move(holder->Ini));
        return true;
    }
    ReportWriteFailure(holder->Path, error);
    return false;
}

bool CacheSectionIsCurrent(const IniFile& ini, const QString& section, qint32 fileDate) {
    std::uint32_t ptype = 0;
    return TakeCurrentSection(ini, section, fileDate, {}, &ptype, {});
}

bool TakeCurrentSection(const IniFile& ini, const QString& section, qint32 fileDate,
                        std::initializer_list<QStringView> keys, std::uint32_t* ptype,
                        const std::initializer_list<QString*>& texts) {
    // FileDate, PType and the keys asked for, all from one walk through the section.
    constexpr std::size_t kMost = 8;
    QStringView values[kMost];
    QStringView wanted[kMost] = {u"FileDate", u"PType"};
    const std::size_t count = std::min(keys.size(), kMost - 2) + 2;
    std::copy_n(keys.begin(), count - 2, wanted + 2);
    if (!ini.PeekValues(section, wanted, count, values) ||
        IniFile::ToInteger(values[0], -1) != fileDate || IniFile::ToInteger(values[1], -1) == -1)
        return false;
    *ptype = std::uint32_t(IniFile::ToInteger(values[1], -1));
    std::size_t k = 2;
    for (QString* text : texts)
        *text = k < count ? values[k++].toString() : QString();
    return true;
}

int IsAcceptedVersion(const QString& version) {
    // Any piece of the list passes ("1", "2.", "0, 1"): files written by programs that kept this
    // test hold such versions, and what they hold must stay readable.
    static const QString kAccepted =
        QStringLiteral("1.0, 1.0.1, 1.0.2, 1.1, 1.1.0, 1.1.1, 2.0, 2.1, 3.0");
    if (version.isEmpty() || !kAccepted.contains(version, Qt::CaseSensitive))
        return 0;
    return CompareText(version, QStringLiteral("1.1")) > 0 ? 2 : 1;
}

QString CacheFileName(const QString& name) {
    return name + QStringLiteral(".QVC");
}

QString ItemDataFolder(const QString& folder) {
    const QString data =
        WithTrailingBackslash(App().StoreRootFolder) + kDataFolder + QLatin1Char('\\');
    if (folder == QLatin1String("TRAINS\\CONSISTS") || folder == QLatin1String("TRAINS\\TRAINSET"))
        return data + QStringLiteral("GLOBAL SETTINGS\\");
    return data + folder.mid(folder.lastIndexOf(QLatin1Char('\\')) + 1) + QLatin1Char('\\');
}

void PruneIniSections(const StringList& keep, const QString& name) {
    auto holder = OpenStoreIni(name);
    PruneIniSections(keep, *holder);
    CloseStoreIni(std::move(holder));
}

void PruneIniSections(const StringList& keep, StoreIniHolder& holder) {
    // A cache's sections mostly stand in the order of the list, having been added in that order:
    // a section that is the list's next name exactly is kept without a search.
    int next = 0;
    const bool erased = holder.Ini.EraseSectionsExcept([&](const QString& section) {
        if (next < keep.Count() && keep[next] == section) {
            ++next;
            return true;
        }
        int found = -1;
        if (section.compare(kInfoSection, Qt::CaseInsensitive) == 0)
            return true;
        if (SortedListFind(keep, section, &found)) {
            next = found + 1;
            return true;
        }
        return false;
    });
    if (erased)
        holder.Modified = true;
}

int CountStoreContent() {
    StatusGuard status(QStringLiteral("COUNT"));
    const QString root = App().StoreRootFolder;
    StringList folders;
    FindFiles(folders, root, true, QString(), QStringLiteral("*.*"));
    int count = 0;
    for (int i = 0; i < folders.Count(); ++i) {
        // The data folder stays in any letter case, as Unstore Everything leaves it.
        if (folders[i].compare(kDataFolder, Qt::CaseInsensitive) != 0)
            count += CountFiles(WithTrailingBackslash(root) + folders[i], QString(), -1);
    }
    return count;
}

void LoadNextLotNumber() {
    auto holder = OpenStoreIni(QStringLiteral("CACHESTK.QVC"));
    // Read and counted in 64 bits: a number at the end of the integer range, which a damaged or
    // hand-edited cache may hold, goes on to the next number instead of overflowing, and the
    // number written back from it is read again the next time.
    const QString text = holder->Ini.ReadString(kInfoSection, QStringLiteral("LastLotNumber"), {});
    bool ok = false;
    qint64 last = text.toLongLong(&ok);
    if (!ok)
        last = IniFile::ToInteger(text, 0);
    if (last < std::numeric_limits<qint64>::max())
        ++last;
    App().CurrentLotNumber = QString::number(last);
    CloseStoreIni(std::move(holder));
}

} // namespace qv
