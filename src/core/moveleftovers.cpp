#include "core/moveleftovers.h"

#include "core/appstate.h"
#include "core/filefind.h"
#include "core/report.h"
#include "core/stringlist.h"
#include "platform/casefold.h"
#include "platform/keptfolders.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <vector>

namespace qv {

namespace {

const QLatin1Char kBackslash('\\');
// The longest name a host folder entry may have, in bytes of its encoded form.
constexpr qsizetype kMaxHostNameBytes = 255;

// The program's own temporary files, exactly as the path layer names them.
bool IsOwnTemporary(const QString& name) {
    static const QRegularExpression form(
        QStringLiteral("^\\.qv-(write|copy)-[0-9]+-[0-9]+\\.tmp$"));
    return form.match(name).hasMatch();
}

// Whether a kept-aside file's name has the letter case the program gave it.
bool AsMade(const QString& name) {
    return name.startsWith(QLatin1String(".qv-move-")) && name.endsWith(QLatin1String(".tmp"));
}

// The name a kept-aside file stands for, from its own name, in any letter case: a tool that
// copied or unpacked the folder may have changed it, and the file may be the only copy of what
// it stands for. `exact` tells whether the name is exactly as the program made it. A place that
// is no plain name (one that would lead into another folder) is no place.
bool PlaceOf(const QString& name, QString* place, bool* exact) {
    static const QRegularExpression form(QStringLiteral("^\\.qv-move-[0-9]+-[0-9]+-(.+)\\.tmp$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(name);
    if (!match.hasMatch())
        return false;
    *place = match.captured(1);
    *exact = AsMade(name);
    return !place->contains(QLatin1Char('\\')) && !place->contains(QLatin1Char('/')) &&
           *place != QLatin1String(".") && *place != QLatin1String("..");
}

// The kept-aside name of a file whose name leaves no room for the plain form within the 255
// bytes a host name may have: the hash of its name in folded case, which tells whether its place
// is filled.
const QRegularExpression& HashedForm() {
    static const QRegularExpression form(
        QStringLiteral("^\\.qv-move-\\d+-\\d+=([0-9a-f]{40})\\.tmp$"),
        QRegularExpression::CaseInsensitiveOption);
    return form;
}

QString NameHash(const QString& name) {
    return QString::fromLatin1(
        QCryptographicHash::hash(FoldCase(name).toUtf8(), QCryptographicHash::Sha1).toHex());
}

// Whether the folder holds a file, in any letter case, of the name a hashed kept-aside name
// stands for.
bool HashedPlaceFilled(const QString& folder, const QString& hash) {
    StringList names;
    FindFileNames(names, folder, false, QString(), QStringLiteral("*"));
    for (int i = 0; i < names.Count(); ++i)
        if (!names[i].startsWith(QLatin1String(".qv-")) && NameHash(names[i]) == hash)
            return true;
    return false;
}

// Whether the folder holds, in any letter case, a file or a link of the name `place`: what a move
// that replaced a file puts in its place.
bool PlaceHoldsFile(const QString& folder, const QString& place) {
    QList<FindEntry> entries;
    if (!FindEntries(folder + QStringLiteral("\\*"), &entries))
        return false;
    return std::any_of(entries.begin(), entries.end(), [&](const FindEntry& entry) {
        return entry.statError == 0 && (!entry.IsFolder() || entry.symlink) &&
               SameWithoutCase(entry.name, place);
    });
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

// A file this run does not settle: it stays as it is, and the user is told.
void Kept(const QString& path, const char* why, ReportPane* pane) {
    Report(RL_WARNING, nullptr,
           QCoreApplication::translate("Leftovers", why)
               .arg(QLatin1Char('\'') + path + QLatin1Char('\'')),
           pane);
}

void SettleOne(const QString& folder, const QString& name, ReportPane* pane) {
    const QString path = folder + kBackslash + name;
    QString place;
    bool exact = false;
    if (IsOwnTemporary(name)) {
        Remove(path,
               QCoreApplication::translate("Leftovers",
                                           "A temporary file of a copy or write that was cut "
                                           "short was removed: '"),
               pane);
        return;
    }
    const QRegularExpressionMatch hashed = HashedForm().match(name);
    if (hashed.hasMatch()) {
        // Its name cannot be told: it goes only once its place is filled and its own name is
        // exactly as the program made it, else it is reported.
        const bool asMade = AsMade(name) && hashed.captured(1) == hashed.captured(1).toLower();
        if (asMade && HashedPlaceFilled(folder, hashed.captured(1)))
            Remove(path,
                   QCoreApplication::translate("Leftovers",
                                               "A file kept aside by a move that was cut short "
                                               "was removed, as its place is filled: '"),
                   pane);
        else
            Unsettled(path, ENOENT, pane);
        return;
    }
    if (!PlaceOf(name, &place, &exact)) {
        // Not of the program's making, or kept aside under a name that does not tell its place,
        // which is never guessed at.
        Kept(path,
             QT_TRANSLATE_NOOP("Leftovers", "A file this program did not make, or whose place "
                                            "it cannot tell, was left as it is: "
                                            "%1"),
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
    // A real folder in its place is nothing a move puts there: the file kept aside may be the
    // only copy of what it stands for, and stays.
    else if ((error == EEXIST || error == kFsAmbiguous) && !PlaceHoldsFile(folder, place))
        Unsettled(path, EISDIR, pane);
    // Filled in any letter case: the move had put the file that replaces it there. Only a name
    // exactly as the program made it is surely the one kept aside by that move.
    else if ((error == EEXIST || error == kFsAmbiguous) && exact)
        Remove(path,
               QCoreApplication::translate("Leftovers",
                                           "A file kept aside by a move that was cut short was "
                                           "removed, as its place is filled: '"),
               pane);
    else if (error == EEXIST || error == kFsAmbiguous)
        Kept(path,
             QT_TRANSLATE_NOOP("Leftovers", "A file kept aside by a move that was cut short, "
                                            "its name since changed, was left as "
                                            "it is, as its place is filled: %1"),
             pane);
    else
        Unsettled(path, error, pane);
}

} // namespace

QString KeptAsidePath(const QString& path) {
    static int counter = 0;
    const qsizetype cut = path.lastIndexOf(kBackslash);
    const QString name = path.mid(cut + 1);
    const QString head =
        QStringLiteral(".qv-move-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    QString kept = head + QLatin1Char('-') + name + QStringLiteral(".tmp");
    if (QFile::encodeName(kept).size() > kMaxHostNameBytes)
        kept = head + QLatin1Char('=') + NameHash(name) + QStringLiteral(".tmp");
    return path.left(cut) + kBackslash + kept;
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
    // A folder that a link leads to from inside belongs to another installation: only what lies
    // inside the two folders is settled.
    KeptFolderCheck links({msts, store});
    folders.removeIf([&links](const QString& folder) { return links.LeadsOut(folder); });

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
