#include "core/filefind.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "platform/ui.h"
#include "platform/winfind.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QFile>
#include <QList>
#include <QLocale>
#include <QStringBuilder>

#include <cstring>
#include <unistd.h>

namespace qv {

namespace {

bool SameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The extension of a file name from its last dot, the dot included; empty when there is none.
QString ExtensionOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

// Opens an existing regular file below a Windows-form path for reading; anything else (a named
// pipe, a device) is refused without waiting on it.
bool OpenForReading(const QString& path, QFile& file) {
    QString host;
    struct stat st {};
    if (!ResolvePath(path, &host))
        return false;
    const int fd = OpenForReadingWithStat(host, &st);
    if (fd < 0)
        return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    close(fd);
    return false;
}

// The status of one folder's search: it shows "Searching '<folder>'" (the queued events are taken
// first) and clears it at the end.
// With `throttled` (a search among thousands in a row) the text is only made when it can be seen.
class SearchingStatus {
public:
    explicit SearchingStatus(const QString& folder, bool throttled = false)
        : shown_(!throttled || StatusTextDue()) {
        PumpMessagesIfBusy();
        if (shown_)
            SetStatusDetail(Caption(Msg::STATUS_TEXT_SEARCHING) + QStringLiteral(" '") + folder +
                            QLatin1Char('\''));
    }
    ~SearchingStatus() {
        if (shown_)
            SetStatusDetail(QString());
    }
    SearchingStatus(const SearchingStatus&) = delete;
    SearchingStatus& operator=(const SearchingStatus&) = delete;

private:
    bool shown_;
};

} // namespace

bool FindFiles(StringList& list, const QString& folder, bool folders, const QString& prefix,
               const QString& mask) {
    const SearchingStatus searching(folder);

    // Packed dates are compared as signed 32-bit numbers.
    const qint32 lastClose = qint32(App().LastCloseFileDate);
    bool newer = false;
    // The names of the kind asked for with their times, as FindEntries gives them ("." and ".."
    // never among them); a folder asked the same before and unchanged since answers at once.
    QStringList names;
    QList<qint32> times;
    if (FindNames(folder + QLatin1Char('\\') + mask, folders, &names, &times)) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            list.Add(prefix.isEmpty() ? names.at(i) : prefix + QLatin1Char('\\') + names.at(i));
            if (times.at(i) > lastClose)
                newer = true;
        }
    }

    return newer;
}

void FindFileNames(StringList& list, const QString& folder, bool folders, const QString& prefix,
                   const QString& mask) {
    const SearchingStatus searching(folder, true);
    QStringList names;
    if (!FindNames(folder % QLatin1Char('\\') % mask, folders, &names, nullptr))
        return;
    if (!prefix.isEmpty())
        for (QString& name : names)
            name = prefix % QLatin1Char('\\') % name;
    // Merged in at once: a folder of thousands of files is not inserted in order one by one.
    list.AddStrings(std::move(names));
}

void FindDatedFiles(QStringList& names, QList<qint32>& times, const QString& folder,
                    const QString& mask, int* error, QString* hostFolder) {
    const SearchingStatus searching(folder);
    if (FindNames(folder + QLatin1Char('\\') + mask, false, &names, &times, error, hostFolder) &&
        error)
        *error = 0;
}

void FindDatedFilesInFolders(const QString& searched, const QStringList& folders,
                             const QStringList& masks, std::vector<FolderFiles>* files,
                             const std::function<void(std::size_t)>& each) {
    const SearchingStatus searching(searched);
    FindDatedFilesIn(folders, masks, files, each);
}

void FindFileNamesInFolders(const QString& searched, const QStringList& folders,
                            const QStringList& masks, std::vector<FolderFiles>* files) {
    const SearchingStatus searching(searched);
    FindFilesIn(folders, masks, files);
}

void FindFolderNames(StringList& list, const QString& folder, int* error) {
    const SearchingStatus searching(folder);
    QStringList names;
    if (FindNames(folder + QStringLiteral("\\*.*"), true, &names, nullptr, error)) {
        if (error)
            *error = 0;
        list.AddStrings(std::move(names));
    }
}

int CountFiles(const QString& folder, const QString& filter, int depth) {
    const bool extensionFilter = filter.startsWith(QLatin1Char('.'));
    QList<FindEntry> entries;
    if (!FindEntries(folder + QStringLiteral("\\*.*"), &entries))
        return 0;

    int count = 0;
    for (const FindEntry& entry : entries) {
        if (entry.IsFolder()) {
            // A linked folder is not gone into: its files belong to some other tree.
            if (!CanDescend(entry) || (depth < 1 && depth != -1))
                continue;
            SetStatusDetail(Caption(Msg::STATUS_TEXT_COUNTING) + QLatin1Char(' ') + folder +
                            QLatin1Char('\\') + entry.name);
            count += CountFiles(folder + QLatin1Char('\\') + entry.name, filter,
                                depth == -1 ? -1 : depth - 1);
        } else if (filter.isEmpty() ||
                   SameText(extensionFilter ? ExtensionOf(entry.name) : entry.name, filter)) {
            ++count;
        }
    }
    return count;
}

bool FilesDiffer(const QString& a, const QString& b) {
    QFile fileA, fileB;
    if (!OpenForReading(a, fileA) || !OpenForReading(b, fileB))
        return true;
    if (fileA.size() != fileB.size())
        return true;

    constexpr qint64 kBlock = 16384;
    QByteArray blockA(kBlock, Qt::Uninitialized), blockB(kBlock, Qt::Uninitialized);
    for (;;) {
        const qint64 gotA = fileA.read(blockA.data(), kBlock);
        const qint64 gotB = fileB.read(blockB.data(), kBlock);
        // A read error on either side cannot prove the files equal.
        if (gotA < 0 || gotB < 0 || gotA != gotB)
            return true;
        if (gotA == 0)
            return false;
        if (std::memcmp(blockA.constData(), blockB.constData(), size_t(gotA)) != 0)
            return true;
    }
}

qint64 FileSizeOf(const QString& path) {
    QFile file;
    return OpenForReading(path, file) ? file.size() : 1;
}

QString SizeText(qint64 size) {
    const QLocale english(QLocale::English);
    if (size < 1024)
        return QString::number(size) + QStringLiteral(" bytes");
    const QString scaled =
        size < 1048576 ? english.toString(double(size) / 1024.0, 'f', 2) + QStringLiteral(" KB")
                       : english.toString(double(size) / 1048576.0, 'f', 2) + QStringLiteral(" MB");
    return scaled + QStringLiteral(" (") + english.toString(size) + QStringLiteral(" bytes)");
}

bool CopyFileKeepTimes(const QString& source, const QString& target) {
    // The platform's copy writes a temporary file beside the target and renames it into place
    // only when complete, and never over an existing file: a caller that replaces a file deletes
    // it first. So a failed copy leaves neither a half-written target nor a damaged old one.
    if (!SameText(source, target) && CopyFileWithTimes(source, target))
        return true;
    TheUi().MessageBox(Caption(Msg::COPY_ERROR) + Caption(Msg::GENERAL_NOT_FOUND3) + source +
                           QLatin1Char('\'') + Caption(Msg::GENERAL_NOT_FOUND3) + target +
                           QLatin1Char('\''),
                       App().ProgramTitle, MB_ICONSTOP);
    return false;
}

} // namespace qv
