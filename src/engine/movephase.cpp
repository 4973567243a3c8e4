#include "engine/movephase.h"

#include "catalogue/routefolders.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/filefind.h"
#include "core/filemove.h"
#include "core/filemoveops.h"
#include "core/itemkinds.h"
#include "core/itemset.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "engine/fixedobjects.h"
#include "engine/surveychecks.h"
#include "engine/tsection.h"
#include "engine/worklists.h"
#include "platform/casefold.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QSet>
#include <QStringBuilder>

#include <utility>

namespace qv {

namespace {

const QLatin1Char kBackslash('\\');
const QString kConsists = QStringLiteral("TRAINS\\CONSISTS");
const QString kTrainset = QStringLiteral("TRAINS\\TRAINSET");

// "<folder>\\<relative>" in one allocation: made several times for every file of a job.
QString Below(const QString& folder, const QString& relative) {
    return folder % kBackslash % relative;
}

QString InMsts(const QString& relative) {
    return Below(App().MstsRootFolder, relative);
}

QString InStore(const QString& relative) {
    return Below(App().StoreRootFolder, relative);
}

// The saved-state file MSTS keeps beside an activity: the same path with the extension changed.
QString AsvOf(const QString& activity) {
    return WithoutExtension(activity) + QStringLiteral(".ASV");
}

bool Named(const StringList& list, const QString& entry) {
    int index = 0;
    return list.Find(entry, index);
}

// A move that did not happen counts against the run, also when the user cancelled the duplicate
// dialog (the move reports other failures itself): the folders then do not hold what was asked.
// A later spelling (a file that follows a name alike in its folder) stays when it meets a file.
void MoveOutAsJudged(const QString& relative, bool laterSpelling = false) {
    const QString source = InMsts(relative);
    const QString target = InStore(relative);
    if (!(laterSpelling ? MoveLaterSpelling(source, target, MOVE_RENAME)
                        : MoveEntry(source, target, MOVE_RENAME)))
        App().RunHadErrors = true;
}

// A file in a folder that a link leads out of the two folders through stays, as a fixed object
// does.
bool StaysOut(const QString& relative) {
    return StaysForLink(InMsts(relative), InStore(relative));
}

void MoveOut(const QString& relative) {
    if (!StaysOut(relative))
        MoveOutAsJudged(relative);
}

// Brings in a named file that lies in the store (`stored`, going to `target`), and tries every
// name alike but for letter case that the store holds beside it: each meets the first at the
// target and stays, named, rather than being left behind without a word. The two paths are made
// once for a file: thousands come in.
void MoveInStoredWithTwins(const QString& stored, const QString& target) {
    bool mayBeTwinned = false;
    if (FileExistsMayBeTwinned(stored, &mayBeTwinned))
        MoveEverySpelling(stored, target, MOVE_RENAME, mayBeTwinned);
}

void MoveInStoredWithTwins(const QString& relative) {
    MoveInStoredWithTwins(InStore(relative), InMsts(relative));
}

// The files of a kind as found in the MSTS folder, sorted, each name kept: of two names alike
// but for letter case both are tried, the second meeting the first at the target and staying.
StringList FoundFiles() {
    return StringList(true, StringList::Duplicates::Accept);
}

// Whether the entry at `i` is alike but for letter case to the one before it (the collator alone
// takes some distinct names as equal, full-width letters say).
bool TwinOfPrevious(const StringList& files, int i) {
    return i > 0 && CompareText(files[i - 1], files[i]) == 0 &&
           SameWithoutCase(files[i - 1], files[i]);
}

// Whether the entry at `i` of a list sorted without regard to case follows a name alike, which
// stands beside it. Asked of every file a job moves out: names alike have one length, and names
// side by side mostly differ near their ends, where two plain letters that differ in more than
// case tell them apart at once.
bool LaterSpelling(const StringList& files, int i) {
    if (i == 0 || files[i - 1].size() != files[i].size())
        return false;
    const QString& a = files[i - 1];
    const QString& b = files[i];
    for (qsizetype k = a.size() - 1; k >= 0; --k) {
        const char16_t x = a.at(k).unicode();
        const char16_t y = b.at(k).unicode();
        if (x < 0x80 && y < 0x80 && AsciiLower(x) != AsciiLower(y))
            return false;
    }
    return SameWithoutCase(a, b);
}

// Whether a list names the entry, asked for entries in ascending order: where both lists are
// sorted, one walk along the list from `at` on answers them all.
bool NamedInOrder(const StringList& list, const StringList& entries, const QString& entry,
                  int& at) {
    if (!list.Sorted() || !entries.Sorted())
        return Named(list, entry);
    // Mostly the next named entry is spelled as the file is: no collation then.
    if (at < list.Count() && list[at] == entry)
        return true;
    for (; at < list.Count(); ++at) {
        const int order = CompareText(list[at], entry);
        if (order >= 0)
            return order == 0;
    }
    return false;
}

// Moves out the files (relative paths) in runs of a few hundred, the folders of a run in the
// store made together first: in a first job most are new there (a failure shows up in the moves,
// which make what is missing one by one). The renames of one run are made on their own thread
// while the folders of the next are made. Those of `later` follow a name alike in their folder.
void MoveAllOut(const QStringList& candidates, const QSet<QString>& later = {}) {
    constexpr qsizetype kRun = 256;
    QStringList relatives;
    QStringList folders;
    const auto moveRun = [&] {
        if (!folders.isEmpty())
            TheFileMoveOps().MakeFoldersTogether(folders, nullptr);
        for (const QString& relative : std::as_const(relatives))
            MoveOutAsJudged(relative, !later.isEmpty() && later.contains(relative));
        relatives.clear();
        folders.clear();
    };
    // The files of a folder come in a row and share its judgement: it is asked once for the row
    // (the move of each file asks again, in the moment it is made).
    QStringView folder;
    bool stays = false;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const QString& relative = candidates.at(i);
        const QStringView next =
            QStringView(relative).left(std::max<qsizetype>(relative.lastIndexOf(kBackslash), 0));
        if (i == 0 || next != folder) {
            if (relatives.size() >= kRun)
                moveRun();
            stays = StaysOut(relative);
            if (!stays && !next.isEmpty())
                folders.append(InStore(next.toString()));
        }
        folder = next;
        if (!stays)
            relatives.append(relative);
    }
    moveRun();
}

// Moves out every file of the list that the work list does not name.
void MoveOutUnnamed(const StringList& files, const StringList& named) {
    QStringList going;
    QSet<QString> later;
    int at = 0;
    for (int i = 0; i < files.Count(); ++i) {
        if (NamedInOrder(named, files, files[i], at))
            continue;
        going.append(files[i]);
        if (LaterSpelling(files, i))
            later.insert(files[i]);
    }
    MoveAllOut(going, later);
}

// Brings in each named file that lies in the store; with folderTest only where its folder
// exists in the MSTS folder (a route's sub-folders are never made by a job).
void MoveInStored(const StringList& named, bool folderTest) {
    for (int i = 0; i < named.Count(); ++i) {
        const QString& entry = named[i];
        const QString stored = InStore(entry);
        bool mayBeTwinned = false;
        if (!FileExistsMayBeTwinned(stored, &mayBeTwinned))
            continue;
        const QString target = InMsts(entry);
        if (folderTest && !FolderExists(ParentPath(target)))
            continue;
        MoveEverySpelling(stored, target, MOVE_RENAME, mayBeTwinned);
    }
}

void RoutesOut(const StringList& routes, const StringList& A) {
    StringList files = FoundFiles();
    for (int i = 0; i < routes.Count(); ++i) {
        const QString folder = QStringLiteral("Routes\\") + routes[i];
        FindFileNames(files, InMsts(folder), false, folder, QStringLiteral("*.TRK"));
    }
    // The routes' list keeps the order the user chose them in: a sorted copy answers every file
    // in one walk rather than a search from its start for each.
    StringList named(true, StringList::Duplicates::Accept);
    named.AddStrings(A.Strings());
    MoveOutUnnamed(files, named);
}

void ActivitiesOut(const StringList& routes, const StringList& B) {
    StringList files = FoundFiles();
    ListRouteFilesOfKindIn(routes, PT_ACTIVITY, files, App().MstsRootFolder);
    QStringList going;
    QSet<QString> later;
    int at = 0;
    for (int i = 0; i < files.Count(); ++i) {
        if (NamedInOrder(B, files, files[i], at))
            continue;
        going.append(files[i]);
        if (LaterSpelling(files, i))
            later.insert(files[i]);
        // The twins of an activity share one .ASV file; one left of twin .ASV files follows
        // below.
        const QString asv = AsvOf(files[i]);
        if (!TwinOfPrevious(files, i) && FileExists(InMsts(asv)))
            going.append(asv);
    }
    MoveAllOut(going, later);
    // An .ASV file left behind by a job that stopped between an activity and its .ASV file
    // follows its stored activity now, so that the next run ends where the first would have.
    StringList saves = FoundFiles();
    for (int i = 0; i < routes.Count(); ++i) {
        const QString folder =
            QStringLiteral("Routes\\") + routes[i] + QStringLiteral("\\ACTIVITIES");
        FindFileNames(saves, InMsts(folder), false, folder, QStringLiteral("*.ASV"));
    }
    for (int i = 0; i < saves.Count(); ++i) {
        const QString activity = saves[i].left(saves[i].size() - 4) + QStringLiteral(".act");
        if (!Named(B, activity) && !FileExists(InMsts(activity)) && FileExists(InStore(activity)))
            MoveOut(saves[i]);
    }
}

// An activity comes in with its .ASV file unless the activity is newer than it (MSTS would not
// use the save). The date is that of the activity MSTS will read, wherever it came from, so an
// .ASV file left in the store by a job that stopped after its activity still follows.
void ActivitiesIn(const StringList& B) {
    for (int i = 0; i < B.Count(); ++i) {
        const QString& activity = B[i];
        const QString target = InMsts(activity);
        if (!FolderExists(ParentPath(target)))
            continue;
        MoveInStoredWithTwins(InStore(activity), target);
        const QString asv = AsvOf(activity);
        const QString storedAsv = InStore(asv);
        if (!FileExists(target) || !FileExists(storedAsv))
            continue;
        // Packed date-times order as unsigned numbers (the year sits in the top bits).
        const quint32 activityDate = quint32(FileAge(target));
        const quint32 asvDate = quint32(FileAge(storedAsv));
        if (activityDate <= asvDate)
            MoveInStoredWithTwins(storedAsv, InMsts(asv));
    }
}

void KindOut(const StringList& routes, std::uint32_t kind, const StringList& named) {
    StringList files = FoundFiles();
    ListRouteFilesOfKindIn(routes, kind, files, App().MstsRootFolder);
    MoveOutUnnamed(files, named);
}

void ConsistsOut(const StringList& E) {
    StringList names = FoundFiles();
    FindFileNames(names, InMsts(QStringLiteral("Trains\\Consists")), false, QString(),
                  QStringLiteral("*.CON"));
    QStringList going;
    QSet<QString> later;
    int at = 0;
    for (int i = 0; i < names.Count(); ++i) {
        if (NamedInOrder(E, names, names[i], at))
            continue;
        going.append(Below(kConsists, names[i]));
        if (LaterSpelling(names, i))
            later.insert(going.last());
    }
    MoveAllOut(going, later);
}

void ConsistsIn(const StringList& E) {
    for (int i = 0; i < E.Count(); ++i) {
        const QString relative = Below(kConsists, E[i]);
        MoveInStoredWithTwins(relative);
    }
}

// Fixed objects stay in the MSTS folder whatever is selected: a fixed file is named in G by the
// survey, and the engines and wagons of a fixed folder are kept here, named or not.
void StockOut(const StringList& G) {
    StringList fixedFolders = StringList::SortedUnique();
    StringList fixedFiles = StringList::SortedUnique();
    AddFixedObjects(fixedFolders, fixedFiles);
    StringList files = FoundFiles();
    CollectEngineWagonFolders(App().MstsRootFolder, files);
    QStringList going;
    QSet<QString> later;
    int at = 0;
    for (int i = 0; i < files.Count(); ++i) {
        if (NamedInOrder(G, files, files[i], at) ||
            IsFixedObject(fixedFolders, fixedFiles, files[i]))
            continue;
        going.append(Below(kTrainset, files[i]));
        if (LaterSpelling(files, i))
            later.insert(going.last());
    }
    MoveAllOut(going, later);
}

void StockIn(const StringList& G) {
    for (int i = 0; i < G.Count(); ++i) {
        const QString relative = Below(kTrainset, G[i]);
        MoveInStoredWithTwins(relative);
    }
}

} // namespace

void Move(bool unstore, const QString& tsectionFile, const WorkLists& lists, bool allStock,
          bool allConsists) {
    const StringList& A = lists.A;
    const StringList& B = lists.B;
    const StringList& C = lists.C;
    const StringList& D = lists.D;
    const StringList& E = lists.E;
    const StringList& G = lists.G;
    SetBusy(true);
    App().RunHadErrors = false;
    const MoveLinkScope links;
    {
        // Every change of the moves goes through the path layer, which keeps its listings in
        // step; changes made by others meanwhile are taken every few milliseconds.
        const ReportsTakenOnce reports;
        StatusGuard status(QStringLiteral("MOVE"));

        {
            // The renames are made on a thread of their own while the next ones are decided.
            const DeferredRenames deferred;
            // The routes are listed once for every step: the steps move files inside route
            // folders, and a route folder one makes (for a route file coming in) holds nothing
            // that a later step lists.
            StringList routes = StringList::SortedUnique();
            ListRouteFolders(routes, App().MstsRootFolder, QString());
            RoutesOut(routes, A);
            MoveInStored(A, false);
            ActivitiesOut(routes, B);
            ActivitiesIn(B);
            KindOut(routes, PT_SERVICE, C);
            MoveInStored(C, true);
            KindOut(routes, PT_PATH, D);
            MoveInStored(D, true);
            ConsistsOut(E);
            ConsistsIn(E);
            if (!(unstore && allStock))
                StockOut(G);
            StockIn(G);
            FinishDeferredMoves();
        }

        QString selected;
        if (unstore)
            selected = allStock      ? QStringLiteral("2")
                       : allConsists ? QStringLiteral("1")
                                     : QStringLiteral("0");
        // One write of the settings file for both.
        RegWriteStringsAt(HKEY_LOCAL_MACHINE, kProductKey,
                          {{QStringLiteral("Everything Unstored"), QStringLiteral("false")},
                           {QStringLiteral("Selected Unstored"), selected}});

        if (!tsectionFile.isEmpty() && !InstallTsectionFile(tsectionFile))
            App().RunHadErrors = true;

        App().TreeSynchronised = true;
        TheMainServices().UpdateControls();
    }
    SetBusy(false);
}

} // namespace qv
