#include "catalogue/readahead.h"

#include "catalogue/listeddates.h"
#include "core/appstate.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "platform/inifile.h"
#include "platform/mstsfile.h"
#include "platform/winfind.h"
#include "platform/workers.h"

#include <QStringBuilder>
#include <algorithm>

namespace qv {

namespace {

// The root the loops will find a file in as the listings tell it (none when no listing holds it):
// the first whose listing holds the file, with the file's date. `first` tells whether the listings
// of the roots before it lack the file; when one of them cannot tell, the loop asks that root
// first, and may find the file there. The roots are not copied: on several threads at once, copies
// of one text take turns at its count of users.
const QString* ListedRoot(const ListedFileDates& listed, const QString& name, qint32* date,
                          bool* first, ListedFileDates::Cursor* cursor) {
    *first = true;
    for (const QString* root : {&App().StoreRootFolder, &App().MstsRootFolder}) {
        switch (listed.Find(*root, name, date, nullptr, cursor)) {
        case ListedFileDates::Answer::Known:
            return root;
        case ListedFileDates::Answer::Unknown:
            *first = false;
            break;
        case ListedFileDates::Answer::Absent:
            break;
        }
    }
    return nullptr;
}

// The roots as the files a run of names finds ahead name them: copies of the run's own, so that
// the threads looking ahead do not take turns at the roots' count of users, one file after the
// other, tens of thousands of times.
struct RunRoots {
    QString store{App().StoreRootFolder.constData(), App().StoreRootFolder.size()};
    QString msts{App().MstsRootFolder.constData(), App().MstsRootFolder.size()};
    const QString& Of(const QString* root) const {
        return root == &App().StoreRootFolder ? store : msts;
    }
};

} // namespace

bool FoundAfterTheStore(const AheadFile* ahead) {
    return ahead && ahead->earlierLack && !ahead->root.isEmpty() &&
           ahead->root != App().StoreRootFolder;
}

std::vector<AheadFile>
ReadFilesAhead(const StringList& names, const IniFile& cache, bool everyFile,
               const ListedFileDates* listed, QLatin1StringView base,
               const std::function<void(std::size_t, MstsTextReader&)>& parse,
               const std::function<bool(std::size_t, qint32)>& takeCached) {
    std::vector<AheadFile> files;
    if (!listed || names.IsEmpty())
        return files;
    const std::size_t count = std::size_t(names.Count());
    files.resize(count);
    // The files are read by the host paths their listings gave: the threads need not take turns
    // at the path layer's cache.
    std::vector<QString> hosts(count);
    std::vector<char> toRead(count, 0);
    // The names go to the threads in runs, each looked up with a cursor of its own: names come
    // folder by folder, and a run looks each folder up once.
    constexpr std::size_t kRun = 256;
    ForEachOnWorkers((count + kRun - 1) / kRun, 4, [&](std::size_t run) {
        ListedFileDates::Cursor cursor;
        const RunRoots roots;
        for (std::size_t i = run * kRun; i < std::min(count, (run + 1) * kRun); ++i) {
            const QString& name = names[int(i)];
            AheadFile& file = files[i];
            qint32 date = 0;
            bool first = false;
            const QString* root = ListedRoot(*listed, name, &date, &first, &cursor);
            if (!root || root->isEmpty())
                continue;
            if (!everyFile) {
                if (first &&
                    (takeCached ? takeCached(i, date) : CacheSectionIsCurrent(cache, name, date))) {
                    if (takeCached) {
                        file.root = roots.Of(root);
                        file.age = date;
                        file.earlierLack = true;
                        file.cached = true;
                    }
                    continue;
                }
                // Which root's file the section is of, only the loop finds out.
                if (!first && cache.PeekSectionExists(name))
                    continue;
            }
            // The host path, which files to be read need, is made only for them.
            QString host;
            listed->Find(*root, name, &date, &host, &cursor);
            if (host.isEmpty())
                continue;
            file.path = *root % base % name;
            file.root = roots.Of(root);
            file.earlierLack = first;
            hosts[i] = std::move(host);
            toRead[i] = 1;
        }
    });
    std::vector<std::size_t> wanted;
    for (std::size_t i = 0; i < count; ++i) {
        if (toRead[i])
            wanted.push_back(i);
    }
    // Files are small: a thread is worth starting for a few dozen. They are read a slice at a
    // time, between which the application handles its events as the loops let it: from a slow
    // disk thousands of files take a while.
    // A thread takes a run of files at a time, whose dates are converted under one reading of
    // the time zone.
    constexpr std::size_t kFilesPerRun = 16;
    constexpr std::size_t kRunsPerThread = 2;
    constexpr std::size_t kSlice = 1024;
    for (std::size_t from = 0; from < wanted.size(); from += kSlice) {
        PumpMessagesIfBusy();
        const std::size_t slice = std::min(kSlice, wanted.size() - from);
        const std::size_t runs = (slice + kFilesPerRun - 1) / kFilesPerRun;
        ForEachOnWorkers(runs, kRunsPerThread, [&](std::size_t r) {
            const ZoneReadOnce zone;
            for (std::size_t w = r * kFilesPerRun; w < std::min(slice, (r + 1) * kFilesPerRun);
                 ++w) {
                const std::size_t i = wanted[from + w];
                AheadFile& file = files[i];
                if (!ReadMstsTextHostFile(hosts[i], &file.text, &file.stamp, &file.age)) {
                    file.root.clear(); // the loop finds out for itself
                    file.age = -1;
                    continue;
                }
                if (parse) {
                    MstsTextReader reader(file.text);
                    parse(i, reader);
                    file.text.clear();
                }
            }
        });
    }
    return files;
}

} // namespace qv
