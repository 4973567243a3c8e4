#include "catalogue/readahead.h"

#include "catalogue/listeddates.h"
#include "core/appstate.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "platform/inifile.h"
#include "platform/mstsfile.h"
#include "platform/workers.h"

#include <algorithm>

namespace qv {

namespace {

// The root to read the file from ahead: the store when its listing holds the file, else the MSTS
// folder when its listing does, with the file's host path; none when neither tells (or the host
// folder is not known). The loops try the store first and take a file read ahead only from the
// root they found it in, so a store the listings cannot tell about costs at most a wasted read.
QString ListedRoot(const ListedFileDates& listed, const QString& name, QString* host) {
    qint32 date = 0;
    for (const QString& root : {App().StoreRootFolder, App().MstsRootFolder}) {
        if (listed.Find(root, name, &date, host) == ListedFileDates::Answer::Known)
            return host->isEmpty() ? QString() : root;
    }
    return QString();
}

} // namespace

std::vector<AheadFile>
ReadFilesAhead(const StringList& names, const IniFile& cache, bool everyFile,
               const ListedFileDates* listed, QLatin1StringView base,
               const std::function<void(std::size_t, MstsTextReader&)>& parse,
               const std::function<void()>& beforeReading) {
    std::vector<AheadFile> files;
    if (!listed)
        return files;
    std::vector<std::size_t> wanted;
    // The files are read by the host paths their listings gave: the threads need not take turns
    // at the path layer's cache.
    std::vector<QString> hosts;
    for (int i = 0; i < names.Count(); ++i) {
        if (!everyFile && cache.SectionExists(names[i]))
            continue;
        QString host;
        QString root = ListedRoot(*listed, names[i], &host);
        if (root.isEmpty())
            continue;
        if (files.empty()) {
            files.resize(std::size_t(names.Count()));
            hosts.resize(std::size_t(names.Count()));
        }
        AheadFile& file = files[std::size_t(i)];
        file.path = root + base + names[i];
        file.root = std::move(root);
        hosts[std::size_t(i)] = std::move(host);
        wanted.push_back(std::size_t(i));
    }
    if (!wanted.empty() && beforeReading)
        beforeReading();
    // Files are small: a thread is worth starting for a few dozen. They are read a slice at a
    // time, between which the application handles its events as the loops let it: from a slow
    // disk thousands of files take a while.
    constexpr std::size_t kFilesPerThread = 32;
    constexpr std::size_t kSlice = 1024;
    for (std::size_t from = 0; from < wanted.size(); from += kSlice) {
        PumpMessagesIfBusy();
        const std::size_t count = std::min(kSlice, wanted.size() - from);
        ForEachOnWorkers(count, kFilesPerThread, [&](std::size_t w) {
            const std::size_t i = wanted[from + w];
            AheadFile& file = files[i];
            if (!ReadMstsTextHostFile(hosts[i], &file.text, &file.stamp, &file.age)) {
                file.root.clear(); // the loop finds out for itself
                file.age = -1;
                return;
            }
            if (parse) {
                MstsTextReader reader(file.text);
                parse(i, reader);
                file.text.clear();
            }
        });
    }
    return files;
}

} // namespace qv
