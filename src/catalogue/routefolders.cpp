#include "catalogue/routefolders.h"

#include "catalogue/listeddates.h"

#include "core/appstate.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "platform/ui.h"
#include "platform/winfind.h"
#include "platform/winresolve.h"

#include <QStringBuilder>

namespace qv {

namespace {

// Where an unknown kind has always been reported from; support texts refer to it.
constexpr const char* kListProcessModule = "ListProcess";
constexpr int kUnknownKindLine = 3633;

// True when a route file (any attributes) stands in `<root>\Routes\<name>\`.
bool HoldsRouteFile(const QString& root, const QString& name) {
    if (root.isEmpty())
        return false;
    QList<FindEntry> entries;
    return FindEntries(root + QStringLiteral("\\Routes\\") + name + QStringLiteral("\\*.TRK"),
                       &entries) &&
           !entries.isEmpty();
}

struct KindFiles {
    QString mask;
    QString subFolder; // empty for the route folder itself, else "\<name>"
};

bool FilesOfKind(std::uint32_t kind, KindFiles& files) {
    switch (kind) {
    case PT_ROUTE:
        files = {QStringLiteral("*.TRK"), QString()};
        return true;
    case PT_ACTIVITY:
        files = {QStringLiteral("*.ACT"), QStringLiteral("\\ACTIVITIES")};
        return true;
    case PT_SERVICE:
        files = {QStringLiteral("*.SRV"), QStringLiteral("\\SERVICES")};
        return true;
    case PT_PATH:
        files = {QStringLiteral("*.PAT"), QStringLiteral("\\PATHS")};
        return true;
    case PT_TRAFFIC:
        files = {QStringLiteral("*.TRF"), QStringLiteral("\\TRAFFIC")};
        return true;
    default:
        return false;
    }
}

// FilesOfKind, reporting any other kind as unexpected.
bool KnownKind(std::uint32_t kind, KindFiles& files) {
    if (FilesOfKind(kind, files))
        return true;
    TheUi().MessageBox(UnexpectedText(kListProcessModule, kUnknownKindLine, QString::number(kind)),
                       App().ProgramTitle, MB_ICONSTOP);
    return false;
}

// Adds the files of the kind in each of the routes (bare names) of the root.
void AddFilesOfRoutes(const KindFiles& files, const StringList& routes, StringList& out,
                      const QString& root) {
    // The folders of every route are looked at together, those not listed yet read several at a
    // time, rather than one by one.
    QStringList folders;
    QStringList prefixes;
    for (int r = 0; r < routes.Count(); ++r) {
        prefixes.append(QStringLiteral("Routes\\") % routes[r] % files.subFolder);
        folders.append(root % QLatin1Char('\\') % prefixes.last());
    }
    std::vector<FolderFiles> inRoutes;
    FindFileNamesInFolders(root + QStringLiteral("\\Routes"), folders, {files.mask}, &inRoutes);
    QStringList found;
    for (std::size_t r = 0; r < inRoutes.size(); ++r)
        for (const QString& name : inRoutes[r].found.front().names)
            found.append(prefixes.at(qsizetype(r)) % QLatin1Char('\\') % name);
    out.AddStrings(std::move(found));
}

} // namespace

bool ListRouteFolders(StringList& out, const QString& root, const QString& prefix) {
    StringList folders = StringList::SortedUnique();
    FindFileNames(folders, root + QStringLiteral("\\Routes"), true, QString(),
                  QStringLiteral("*.*"));
    // Each folder is looked at in both roots: they are read ahead together, several at a time.
    QStringList ahead;
    for (const QString* either : {&App().MstsRootFolder, &App().StoreRootFolder}) {
        for (int i = 0; i < folders.Count() && !either->isEmpty(); ++i)
            ahead.append(*either + QStringLiteral("\\Routes\\") + folders[i]);
    }
    PrefetchFolders(ahead, true);
    for (int i = 0; i < folders.Count(); ++i) {
        const QString& name = folders[i];
        if (!HoldsRouteFile(App().MstsRootFolder, name) &&
            !HoldsRouteFile(App().StoreRootFolder, name))
            continue;
        out.Add(prefix.isEmpty() ? name : prefix + QLatin1Char('\\') + name);
    }
    return true;
}

void ListRouteFilesOfKind(std::uint32_t kind, StringList& out, const QString& root,
                          ListedFileDates* listed) {
    KindFiles files;
    if (!KnownKind(kind, files))
        return;
    StringList routes = StringList::SortedUnique();
    ListRouteFolders(routes, root, QString());
    if (listed) {
        // The folders of every route are read and looked at together.
        QStringList paths;
        QStringList prefixes;
        const auto addRoute = [&](const QString& route) {
            prefixes.append(QStringLiteral("Routes\\") + route + files.subFolder);
            paths.append(root + QLatin1Char('\\') + prefixes.last());
        };
        for (int r = 0; r < routes.Count(); ++r)
            addRoute(routes[r]);
        listed->AddListings(out, root, root + QStringLiteral("\\Routes"), paths, prefixes,
                            {files.mask});
        // The routes of the other root that this one lacks: their folders are found missing
        // here, so that the loops know without asking that this root lacks their files.
        const QString& other =
            root == App().MstsRootFolder ? App().StoreRootFolder : App().MstsRootFolder;
        if (other.isEmpty() || other == root)
            return;
        StringList theirs = StringList::SortedUnique();
        FindFileNames(theirs, other + QStringLiteral("\\Routes"), true, QString(),
                      QStringLiteral("*.*"));
        paths.clear();
        prefixes.clear();
        for (int r = 0; r < theirs.Count(); ++r) {
            if (routes.IndexOf(theirs[r]) < 0)
                addRoute(theirs[r]);
        }
        listed->AddMissingFolders(root, paths, prefixes);
        return;
    }
    AddFilesOfRoutes(files, routes, out, root);
}

void ListRouteFilesOfKindIn(const StringList& routes, std::uint32_t kind, StringList& out,
                            const QString& root) {
    KindFiles files;
    if (KnownKind(kind, files))
        AddFilesOfRoutes(files, routes, out, root);
}

} // namespace qv
