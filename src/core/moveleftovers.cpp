#include "core/moveleftovers.h"

#include "core/appstate.h"
#include "core/filefind.h"
#include "core/report.h"
#include "core/stringlist.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>
#include <vector>

namespace qv {

namespace {

const QLatin1Char kBackslash('\\');

// The name a kept-aside file stands for, from its own name.
bool PlaceOf(const QString& name, QString* place) {
    static const QRegularExpression form(QStringLiteral("^\\.qv-move-\\d+-\\d+-(.+)\\.tmp$"));
    const QRegularExpressionMatch match = form.match(name);
    if (!match.hasMatch())
        return false;
    *place = match.captured(1);
    return true;
}

// The folder and every folder below it; linked folders are not gone into.
void CollectTree(const QString& folder, QStringList* folders) {
    folders->append(folder);
    QList<FindEntry> entries;
    if (!FindEntries(folder + QStringLiteral("\\*.*"), &entries))
        return;
    for (const FindEntry& entry : entries)
        if (CanDescend(entry))
            CollectTree(folder + kBackslash + entry.name, folders);
}

// The folders of the MSTS folder that a job, an immediate unstore or the program's own writes
// put files into; the folders of a merged store tree are added by the caller.
QStringList MstsFoldersWritten(const QString& msts) {
    QStringList folders{msts + QStringLiteral("\\GLOBAL"),
                        msts + QStringLiteral("\\TRAINS\\CONSISTS")};
    StringList routes;
    FindFolderNames(routes, msts + QStringLiteral("\\ROUTES"), nullptr);
    for (int i = 0; i < routes.Count(); ++i) {
        const QString route = msts + QStringLiteral("\\ROUTES\\") + routes[i];
        folders << route << route + QStringLiteral("\\ACTIVITIES")
                << route + QStringLiteral("\\SERVICES") << route + QStringLiteral("\\PATHS");
    }
    StringList stock;
    FindFolderNames(stock, msts + QStringLiteral("\\TRAINS\\TRAINSET"), nullptr);
    for (int i = 0; i < stock.Count(); ++i)
        folders << msts + QStringLiteral("\\TRAINS\\TRAINSET\\") + stock[i];
    return folders;
}

void Unsettled(const QString& path, int error, ReportPane* pane) {
    Report(RL_ERROR, nullptr,
           QCoreApplication::translate("Leftovers",
                                       "A file left by a move, copy or write that was cut short "
                                       "could not be settled : [%1]\rFile: '")
                   .arg(error) +
               path + QLatin1Char('\''),
           pane);
}

// Removes a left-over and says so, the path following `done`.
void Remove(const QString& path, const QString& done, ReportPane* pane) {
    int error = 0;
    if (DeleteFile(path, &error))
        Report(RL_REPORT, nullptr, done + path + QLatin1Char('\''), pane);
    else
        Unsettled(path, error, pane);
}

void SettleOne(const QString& folder, const QString& name, ReportPane* pane) {
    const QString path = folder + kBackslash + name;
    QString place;
    if (!PlaceOf(name, &place)) {
        // A file kept aside under a name that does not tell its place is never guessed at.
        if (name.startsWith(QLatin1String(".qv-move-")))
            Unsettled(path, ENOENT, pane);
        else
            Remove(path,
                   QCoreApplication::translate("Leftovers",
                                               "A temporary file of a copy or write that was cut "
                                               "short was removed: '"),
                   pane);
        return;
    }
    const QString placePath = folder + kBackslash + place;
    int error = 0;
    if (RenameNoReplace(path, placePath, &error))
        Report(RL_REPORT, nullptr,
               QCoreApplication::translate("Leftovers",
                                           "A file kept aside by a move that was cut short is "
                                           "back in its place: '") +
                   placePath + QLatin1Char('\''),
               pane);
    // Filled in any letter case: the move had put the file that replaces it there.
    else if (error == EEXIST || error == kFsAmbiguous)
        Remove(path,
               QCoreApplication::translate("Leftovers",
                                           "A file kept aside by a move that was cut short was "
                                           "removed, as its place is filled: '"),
               pane);
    else
        Unsettled(path, error, pane);
}

} // namespace

QString KeptAsidePath(const QString& path) {
    static int counter = 0;
    const qsizetype cut = path.lastIndexOf(kBackslash);
    return path.left(cut) +
           QStringLiteral("\\.qv-move-%1-%2-")
               .arg(QCoreApplication::applicationPid())
               .arg(++counter) +
           path.mid(cut + 1) + QStringLiteral(".tmp");
}

void SettleMoveLeftovers(ReportPane* pane) {
    const QString msts = App().MstsRootFolder;
    const QString store = App().StoreRootFolder;
    if (msts.isEmpty() || store.isEmpty())
        return;
    QStringList folders;
    CollectTree(store, &folders);
    // A store tree merged into the MSTS folder (Unstore Everything) moves files into the folders
    // that match its own.
    const qsizetype storeFolders = folders.size();
    for (qsizetype i = 1; i < storeFolders; ++i)
        folders.append(msts + folders[i].mid(store.size()));
    folders += MstsFoldersWritten(msts);

    std::vector<FolderFiles> found;
    FindDatedFilesIn(folders, {QStringLiteral(".qv-*.tmp")}, &found);
    // A folder named twice (spelled otherwise) is settled once.
    QSet<QString> settled;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const FolderFiles& place = found[i];
        const QString key =
            place.host.isEmpty() ? folders[qsizetype(i)].toCaseFolded() : place.host;
        if (place.found.empty() || place.found.front().names.isEmpty() || settled.contains(key))
            continue;
        settled.insert(key);
        for (const QString& name : place.found.front().names)
            SettleOne(folders[qsizetype(i)], name, pane);
    }
}

} // namespace qv
