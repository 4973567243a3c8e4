#include "core/filemove.h"

#include "core/filefind.h"
#include "core/filemovenames.h"
#include "core/filemoveops.h"
#include "core/folders.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/moveleftovers.h"
#include "core/report.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "platform/casefold.h"
#include "platform/clock.h"
#include "platform/keptfolders.h"
#include "platform/ui.h"
#include "platform/winresolve.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <cerrno>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace qv {

namespace {

const QLatin1Char kQuote('\'');
const QLatin1Char kBackslash('\\');

ReportPane* Pane() {
    return TheMainServices().InformationMemo();
}

void ShowStatus(const QString& text) {
    TheMainServices().SetStatusText(1, text);
}

// What the moves of a scope found of the links on the ways of their sources and targets: the
// check's answers, and for each side the answer of its last folder, as a job moves the files of
// one folder in a row.
struct LinkJudge {
    struct Side {
        bool known = false;
        QString folder;
        std::optional<LinkOut> answer;
    };

    std::optional<LinkOut> Judge(Side& side, const QString& path) {
        const QStringView folder =
            QStringView(path).left(std::max<qsizetype>(path.lastIndexOf(kBackslash), 0));
        if (side.known && folder == side.folder)
            return side.answer;
        // A folder beside the last one, whose way nothing leads out through, leads out only when
        // it is a link itself; a real folder or a name not there (as its parent's listing tells)
        // is no link. A job's files come from and go to thousands of sibling folders.
        const bool besideLast = side.known && !side.answer && SameParent(folder, side.folder);
        side.folder = folder.toString();
        side.known = true;
        if (besideLast && ListedKindOf(side.folder) != ListedKind::Unknown) {
            side.answer = std::nullopt;
            return side.answer;
        }
        // The check remembers the answer of every folder it judged.
        LinkOut out;
        side.answer = check.LeadsOut(side.folder, &out) ? std::optional(out) : std::nullopt;
        return side.answer;
    }

    static bool SameParent(QStringView a, QStringView b) {
        const qsizetype cut = a.lastIndexOf(kBackslash);
        return cut > 0 && b.size() > cut && b.at(cut) == kBackslash && a.left(cut) == b.left(cut) &&
               !b.mid(cut + 1).contains(kBackslash);
    }

    // The answers stand while no report tells of an entry made, removed or renamed by another
    // program: a folder moved away and a link to elsewhere put in its place is judged again.
    void ForgetOnChange() {
        const quint64 changes = OtherEntryChanges();
        if (changes == seen)
            return;
        seen = changes;
        check = KeptFolderCheck();
        source.known = false;
        target.known = false;
    }

    KeptFolderCheck check;
    Side source;
    Side target;
    QSet<QString> reported;
    quint64 seen = OtherEntryChanges();
    MoveNames names;
};

std::unique_ptr<LinkJudge>& ScopeJudge() {
    static std::unique_ptr<LinkJudge> judge;
    return judge;
}

// What the moves of the scope learnt of the names they leave where they are; none outside a scope.
MoveNames* ScopeNames() {
    return ScopeJudge() ? &ScopeJudge()->names : nullptr;
}

// "<what> '<path>'" into the pane while logging; the text is made only then.
void Trace(const char* what, const QString& path, const QString& name = QString()) {
    if (!App().LoggingActive)
        return;
    QString text = QLatin1String(what) + QStringLiteral(" '") + path;
    if (!name.isEmpty())
        text += kBackslash + name;
    Report(RL_REPORT, nullptr, text + kQuote, Pane());
}

// "There was an error in moving", the reason, " : [n]" when there is a number, the source and,
// when given, the target.
QString MoveErrorText(Msg reason, const QString& number, const QString& source,
                      const QString& target = QString()) {
    QString text = Caption(Msg::MOVETHING_ERROR1) + Caption(reason);
    if (!number.isNull())
        text += QStringLiteral(" : [") + number + QLatin1Char(']');
    text += Caption(Msg::MOVETHING_ERROR2) + source + kQuote;
    if (!target.isNull())
        text += Caption(Msg::MOVETHING_ERROR3) + target + kQuote;
    return text;
}

void ReportFailure(Msg reason, const QString& number, const QString& source,
                   const QString& target = QString()) {
    Report(RL_ERROR, nullptr, MoveErrorText(reason, number, source, target), Pane());
    App().RunHadErrors = true;
}

QString FolderOf(const QString& path) {
    return path.left(path.lastIndexOf(kBackslash));
}

// True when two paths reach one file on the disk (through a link, say): then the "duplicate"
// at the target is the source itself and must not be deleted or replaced.
bool SameHostFile(const QString& a, const QString& b) {
    QString hostA, hostB;
    struct stat stA {
    }, stB{};
    return ResolvePath(a, &hostA) && ResolvePath(b, &hostB) &&
           stat(QFile::encodeName(hostA).constData(), &stA) == 0 &&
           stat(QFile::encodeName(hostB).constData(), &stB) == 0 && stA.st_dev == stB.st_dev &&
           stA.st_ino == stB.st_ino;
}

// An entry in use (by the system, say) refuses a rename until it is let go of; waiting may help.
// A refusal of permission (a folder the user may not write to) stands however long one waits,
// and is a failure at once.
bool AccessRefused(int error) {
    return error == EBUSY || error == ETXTBSY;
}

// Nothing found, or a folder on the way missing: nothing stands at the path.
bool NothingThere(int error) {
    return error == ENOENT || error == ENOTDIR;
}

void MarkCacheStale(const QString& path) {
    // Asked for every file moved: only the last four characters are looked at.
    const QStringView ending = QStringView(path).right(4);
    const auto is = [&](QStringView extension) { return SameWithoutCase(ending, extension); };
    if (is(u".con"))
        App().ConsistCacheStale = true;
    else if (is(u".wag") || is(u".eng"))
        App().StockCacheStale = true;
    else if (is(u".pat"))
        App().PathCacheStale = true;
}

// The process holds no handle on a folder it is about to remove.
void MakeStartupFolderCurrent() {
    const QString folder = App().StartupWorkingFolder;
    QString host = folder;
    if (folder.isEmpty() || (!folder.startsWith(QLatin1Char('/')) && !ResolvePath(folder, &host)))
        return;
    QDir::setCurrent(host);
}

// RenameWithWait; without `reportExisting` a target that exists is left to the caller, unreported,
// with its error in `failedWith`.
bool RenameWaiting(const QString& oldPath, const QString& newPath, bool reportExisting,
                   int* failedWith) {
    int waits = 0;
    for (;;) {
        int error = 0;
        if (TheFileMoveOps().Rename(oldPath, newPath, &error))
            return true;
        if (failedWith)
            *failedWith = error;
        if (error == EEXIST && !reportExisting)
            return false;
        if (!AccessRefused(error)) {
            ReportFailure(Msg::MOVETHING_ERROR7, ErrorNumberText(error), oldPath, newPath);
            return false;
        }
        TheClock().SleepMs(1000);
        ReportsTakenOnce::Again();
        ++waits;
        ShowStatus(QStringLiteral("Waiting (%1) for file access: ").arg(waits) + newPath);
        TheMainServices().RepaintStatusBar();
        if (waits <= 9)
            continue;
        const QString question = Caption(Msg::MOVETHING_ERROR4) + Caption(Msg::MOVETHING_ERROR2) +
                                 oldPath + kQuote + Caption(Msg::MOVETHING_ERROR3) + newPath +
                                 kQuote;
        if (TheUi().MessageBox(question, App().ProgramTitle, MB_ICONQUESTION | MB_YESNO) !=
            ID_YES) {
            App().RunHadErrors = true;
            return false;
        }
        ReportsTakenOnce::Again();
        waits = 0;
    }
}

bool DeleteCopiedSource(const QString& source) {
    int error = 0;
    if (TheFileMoveOps().Delete(source, &error))
        return true;
    ReportFailure(Msg::MOVETHING_ERROR8, ErrorNumberText(error), source);
    return false;
}

// Copies the source to where no file stands (the copy reports its own failure), then deletes the
// source.
bool CopyFile(const QString& source, const QString& target) {
    int error = 0;
    if (!TheFileMoveOps().Copy(source, target, &error)) {
        App().RunHadErrors = true;
        return false;
    }
    return DeleteCopiedSource(source);
}

// Replace by renaming: the file at the target (`existing`, under its own name) is renamed aside
// and deleted only once the source has taken its place as `target`, so that a source gone
// meanwhile (another program, a removable disk) never leaves neither copy. Any failure puts the
// old file back under its own name; should even that fail, the report says where it is.
bool ReplaceByRename(const QString& source, const QString& existing, const QString& target) {
    FileMoveOps& ops = TheFileMoveOps();
    int error = 0;
    FindEntry entry;
    if (!ops.Find(source, &entry, &error)) {
        ReportFailure(Msg::MOVETHING_ERROR11, ErrorNumberText(error), source);
        return false;
    }
    const QString aside = KeptAsidePath(existing);
    if (!ops.Rename(existing, aside, &error)) {
        ReportFailure(Msg::MOVETHING_ERROR9, ErrorNumberText(error), source);
        return false;
    }
    int deleteError = 0;
    if (RenameWithWait(source, target)) {
        if (ops.Delete(aside, &deleteError))
            return true;
        // The old target cannot go (read-only, say): the source goes back, as if the target
        // had been refused at once.
        if (!ops.Rename(target, source, &error)) {
            ReportFailure(Msg::MOVETHING_ERROR9, ErrorNumberText(deleteError), aside);
            return false;
        }
    }
    if (!ops.Rename(aside, existing, &error)) {
        ReportFailure(Msg::MOVETHING_ERROR7, ErrorNumberText(error), aside, existing);
        return false;
    }
    if (deleteError != 0)
        ReportFailure(Msg::MOVETHING_ERROR9, ErrorNumberText(deleteError), source);
    App().RunHadErrors = true;
    return false;
}

// The user chose to replace the file at the target (`existing`, under its own name) with the
// source, which arrives as `target`. A target that cannot be deleted stays as it is, and so does
// the source. A copy is made beside the target before the target goes, so that a failed copy
// leaves the target as it was.
bool ReplaceFile(const QString& source, const QString& existing, const QString& target, int mode) {
    FileMoveOps& ops = TheFileMoveOps();
    ShowStatus(Caption(Msg::STATUS_TEXT_DELETING_MOVING_FILE) + kQuote + existing + kQuote);
    if (mode == MOVE_RENAME)
        return ReplaceByRename(source, existing, target);
    int error = 0;
    const QString temp = KeptAsidePath(target);
    if (!ops.Copy(source, temp, &error)) {
        App().RunHadErrors = true;
        return false;
    }
    if (!ops.Delete(existing, &error)) {
        ReportFailure(Msg::MOVETHING_ERROR9, ErrorNumberText(error), source);
        ops.Delete(temp, nullptr);
        return false;
    }
    if (!ops.Rename(temp, target, &error)) {
        ReportFailure(Msg::MOVETHING_ERROR7, ErrorNumberText(error), source, target);
        ops.Delete(temp, nullptr);
        return false;
    }
    return DeleteCopiedSource(source);
}

// The answer for a target that exists with another date or content: a standing answer of the
// job, else the duplicate dialog's, whose "All" answers then stand. A standing answer was given
// for a file and its copy in the other folder: a twin (a different file whose name differs from
// the source's in letter case only, which MSTS cannot tell from it) is always asked about.
int DuplicateDecision(const QString& source, const QString& target, bool contentsDiffer,
                      bool twin) {
    TPathSet& exchange = PathSet();
    exchange.DuplicateSourceFile = source;
    exchange.DuplicateTargetFile = target;
    if (exchange.DuplicateAnswer == 1 && !twin)
        return ID_YES;
    if (exchange.DuplicateAnswer == 2 && !twin)
        return ID_NO;
    const int answer = TheUi().ConfirmFileMove(source, target, contentsDiffer);
    ReportsTakenOnce::Again(); // the folders may have changed while the user thought
    if (answer == ID_YESTOALL) {
        exchange.DuplicateAnswer = 1;
        return ID_YES;
    }
    if (answer == ID_NOTOALL) {
        exchange.DuplicateAnswer = 2;
        return ID_NO;
    }
    return answer == ID_YES || answer == ID_NO ? answer : ID_CANCEL;
}

// A target that another program makes after it was looked up makes the rename fail: a second
// lookup then finds it, and it is settled as one that was there. A later spelling (a file that
// follows a name alike in its folder, which the job moves first) is never settled against a file
// at its target.
bool MoveFile(const QString& source, const QString& target, const FindEntry& entry, int mode,
              bool laterSpelling) {
    for (int lookup = 1;; ++lookup) {
        FileMoveOps& ops = TheFileMoveOps();
        FindEntry existing;
        int error = 0;
        const bool found = ops.Find(target, &existing, &error);
        if (!found && !NothingThere(error)) {
            ReportFailure(Msg::MOVETHING_ERROR7, ErrorNumberText(error), source, target);
            return false;
        }
        if (found && !existing.IsFolder()) {
            if (SameHostFile(source, target)) {
                ReportFailure(Msg::MOVETHING_ERROR13, QString(), source, target);
                return false;
            }
            // The file there is named as it is, which for a twin is not the source's spelling.
            const QString there = FolderOf(target) + kBackslash + existing.name;
            // Files MSTS cannot tell apart are never settled against each other: a file of a
            // folder that has a twin (content unpacked from two downloads), or a second file of a
            // name alike in one folder, which meets the first, or what stands in its place.
            const MoveLinkScope scope;
            MoveNames& names = *ScopeNames();
            QString twinFolder;
            if (names.InTwinFolder(source, target, &twinFolder)) {
                names.ReportInTwinFolder(source, twinFolder);
                return false;
            }
            if (laterSpelling) {
                names.ReportTwinFile(source, there);
                return false;
            }
            const bool differ = FilesDiffer(source, target);
            if (existing.writeTime == entry.writeTime && !differ) {
                ShowStatus(Caption(Msg::STATUS_TEXT_DELETING_FILE) + kQuote + source + kQuote);
                if (ops.Delete(source, &error))
                    return true;
                ReportFailure(Msg::MOVETHING_ERROR10, ErrorNumberText(error), source);
                return false;
            }
            switch (DuplicateDecision(source, there, differ, existing.name != entry.name)) {
            case ID_YES:
                return ReplaceFile(source, there, target, mode);
            case ID_NO:
                ShowStatus(Caption(Msg::STATUS_TEXT_MOVING_DELETING_FILE) + kQuote + source +
                           kQuote);
                if (ops.Delete(source, &error))
                    return true;
                ReportFailure(Msg::MOVETHING_ERROR8, ErrorNumberText(error), source);
                return false;
            default:
                return false; // cancelled: nothing moved, nothing deleted, not an error
            }
        }
        // A failure here shows up in the rename or copy that follows.
        ops.MakeFolders(FolderOf(target), nullptr);
        // Thousands of files a second: the text is made only when it can be seen or logged.
        if (StatusTextDue())
            ShowStatus(Caption(Msg::STATUS_TEXT_MOVING_FILE_TO) + QStringLiteral(" '") + target +
                       kQuote);
        if (mode != MOVE_RENAME)
            return CopyFile(source, target);
        // A name alike made at the target by another program since the reports were last taken
        // would not stop the rename, whose host names differ: the rename looks the target up with
        // every report taken. The other renames of a move go to names it has just freed or made.
        ReportsTakenOnce::Again();
        int renameError = 0;
        if (RenameWaiting(source, target, lookup > 1, &renameError))
            return true;
        if (renameError != EEXIST || lookup > 1)
            return false;
        ReportsTakenOnce::Again();
    }
}

bool MoveFolder(const QString& source, const QString& target, int mode) {
    FileMoveOps& ops = TheFileMoveOps();
    QList<FindEntry> entries;
    int error = 0;
    if (!ops.List(source, &entries, &error)) {
        ReportFailure(Msg::MOVETHING_ERROR11, ErrorNumberText(error), source);
        return false;
    }
    QStringList names;
    // The files that follow a name alike in the listing, which puts names alike side by side.
    QList<bool> later;
    QString lastFile;
    bool result = true;
    // Two folders alike but for letter case both go, merging at the target; known as twins
    // before either goes, their files are never settled against a file they meet there.
    QHash<QString, QString> folders;
    for (const FindEntry& e : entries) {
        if (e.name == QLatin1String(".") || e.name == QLatin1String(".."))
            continue;
        Trace("Move Found:", source, e.name);
        // An entry that cannot be asked for (a failing disk, say) is named, and stays; one whose
        // name is not UTF-8 is named by its move.
        if (e.statError != 0 && e.statError != EILSEQ) {
            ReportFailure(Msg::MOVETHING_ERROR11, ErrorNumberText(e.statError),
                          source + kBackslash + e.name);
            result = false;
            continue;
        }
        if (CanDescend(e)) {
            const QString folded = FoldCase(e.name);
            const auto twin = folders.constFind(folded);
            if (twin == folders.constEnd())
                folders.insert(folded, e.name);
            else
                NoteTwinFolder(source + kBackslash + e.name, source + kBackslash + *twin);
            later << false;
        } else {
            later << (!lastFile.isEmpty() && SameWithoutCase(lastFile, e.name));
            lastFile = e.name;
        }
        names << e.name;
    }
    // Files make their target folders as they arrive; an empty folder would vanish with its
    // source, so it is made here.
    if (names.isEmpty() && result && !ops.MakeFolders(target, &error)) {
        ReportFailure(Msg::MOVETHING_ERROR7, ErrorNumberText(error), source, target);
        return false;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString from = source + kBackslash + names.at(i);
        const QString to = target + kBackslash + names.at(i);
        if (!(later.at(i) ? MoveLaterSpelling(from, to, mode) : MoveEntry(from, to, mode)))
            result = false;
    }
    MakeStartupFolderCurrent();
    Trace("Move RemoveDir:", source);
    // A folder that still holds entries that failed to move simply stays.
    if (!ops.RemoveFolder(source, &error) && App().LoggingActive)
        Report(RL_ERROR, nullptr,
               MoveErrorText(Msg::MOVETHING_ERROR6, ErrorNumberText(error), source), Pane());
    return result;
}

} // namespace

MoveLinkScope::MoveLinkScope() {
    if (!ScopeJudge()) {
        ScopeJudge() = std::make_unique<LinkJudge>();
        own_ = true;
    }
}

MoveLinkScope::~MoveLinkScope() {
    if (own_)
        ScopeJudge().reset();
}

void NoteTwinFolder(const QString& folder, const QString& twin) {
    const MoveLinkScope scope;
    ScopeNames()->NoteTwinFolder(folder, twin);
}

bool StaysForLink(const QString& source, const QString& target) {
    const MoveLinkScope scope;
    LinkJudge& judge = *ScopeJudge();
    judge.ForgetOnChange();
    std::optional<LinkOut> out = judge.Judge(judge.source, source);
    if (!out)
        out = judge.Judge(judge.target, target);
    if (!out)
        return false;
    const bool comingIn = IsInsideFolder(target, App().MstsRootFolder, false);
    if (comingIn)
        App().RunHadErrors = true;
    if (!judge.reported.contains(out->link)) {
        judge.reported.insert(out->link);
        Report(comingIn ? RL_ERROR : RL_WARNING, nullptr,
               QCoreApplication::translate("FileMove",
                                           "The folder '%1' is a link to '%2', outside the MSTS "
                                           "folder and the store: what it holds stays where it is")
                   .arg(out->link, out->target),
               Pane());
    }
    return true;
}

QString ErrorNumberText(int number) {
    return QString::number(number);
}

bool RenameWithWait(const QString& oldPath, const QString& newPath) {
    return RenameWaiting(oldPath, newPath, true, nullptr);
}

namespace {

// Whether the file's name is one the listing gave for bytes that are not UTF-8: the moves of the
// scope name each such file once, and it stays. Asked for every file a job moves, so only its name
// is looked at, plain text nearly always: a folder of such a name is met as an entry of its own,
// before anything in it (which no listing reaches).
bool StaysUnreachable(const QString& source) {
    for (qsizetype k = source.size() - 1; k >= 0 && source.at(k) != kBackslash; --k) {
        if (source.at(k) == QChar(QChar::ReplacementCharacter)) {
            const MoveLinkScope scope;
            return ScopeNames()->StaysForUndecodableName(source);
        }
    }
    return false;
}

bool MoveOne(const QString& source, const QString& target, int mode, bool oneStep,
             bool laterSpelling = false) {
    PumpMessagesIfBusy();
    Trace("Move Entry:", source);
    // The lookups of one file's move happen in one moment: the path layer takes the reports of
    // changes once for them. A folder's entries each take them again.
    std::optional<ReportsTakenOnce> reportsOnce(std::in_place);
    if (mode != MOVE_RENAME && mode != MOVE_COPY) {
        ReportFailure(Msg::MOVETHING_ERROR12, ErrorNumberText(mode), source, target);
        return false;
    }
    if (StaysUnreachable(source) || StaysForLink(source, target))
        return false;
    int error = 0;
    if (mode == MOVE_RENAME && oneStep) {
        // Nearly every file of a job: a regular file into a folder that is there, where no name
        // is alike; the listings settle it in one step. Anything else goes step by step.
        QString renamedTo;
        ListedRename listed = TheFileMoveOps().RenameListed(source, target, &renamedTo, &error);
        if (listed == ListedRename::FolderMissing) {
            // The first file into a folder makes it; a failure shows up in what follows.
            TheFileMoveOps().MakeFolders(FolderOf(target), nullptr);
            listed = TheFileMoveOps().RenameListed(source, target, &renamedTo, &error);
        }
        switch (listed) {
        case ListedRename::Renamed:
            if (StatusTextDue())
                ShowStatus(Caption(Msg::STATUS_TEXT_MOVING_FILE_TO) + QStringLiteral(" '") +
                           renamedTo + kQuote);
            MarkCacheStale(source);
            LogStatus();
            return true;
        case ListedRename::Failed:
            // A file held open is waited for, and a target made meanwhile by another program
            // settled as a duplicate, step by step.
            if (AccessRefused(error) || error == EEXIST)
                break;
            ReportFailure(Msg::MOVETHING_ERROR7, ErrorNumberText(error), source, renamedTo);
            MarkCacheStale(source);
            LogStatus();
            return false;
        case ListedRename::FolderMissing:
        case ListedRename::NotSettled:
            break;
        }
    }
    FindEntry entry;
    if (!TheFileMoveOps().Find(source, &entry, &error)) {
        ReportFailure(Msg::MOVETHING_ERROR11, ErrorNumberText(error), source);
        return false;
    }
    // A link moves as one entry; only a real folder is gone into.
    const bool folder = CanDescend(entry);
    QString effectiveTarget = target;
    if (!folder) {
        // The moved file keeps its source's letter case.
        const qsizetype cut = target.lastIndexOf(kBackslash);
        const QStringView targetName = QStringView(target).mid(cut + 1);
        // Mostly spelled alike already: then the target stands as given.
        const bool alike = entry.name == targetName;
        if (!alike && !SameWithoutCase(entry.name, targetName)) {
            ReportFailure(Msg::MOVETHING_ERROR11, ErrorNumberText(EINVAL), source);
            return false;
        }
        if (cut < 0 || !alike)
            effectiveTarget = FolderOf(target) + kBackslash + entry.name;
    }
    if (SameWithoutCase(source, effectiveTarget)) {
        ReportFailure(Msg::MOVETHING_ERROR13, QString(), source, target);
        return false;
    }
    // A link has no attributes of its own; those shown are of what it points to.
    if ((entry.attributes & kFaReadOnly) && !entry.symlink &&
        !TheFileMoveOps().SetAttributes(source, entry.attributes & ~kFaReadOnly, &error))
        ReportFailure(Msg::MOVETHING_ERROR5, ErrorNumberText(error), source);

    bool result = true;
    if (folder) {
        reportsOnce.reset();
        result = MoveFolder(source, target, mode);
    } else if (!(entry.attributes & kFaVolumeLabel)) {
        result = MoveFile(source, effectiveTarget, entry, mode, laterSpelling);
        MarkCacheStale(source);
    }
    LogStatus();
    return result;
}

// Another program made a name alike but for letter case at the target just before the file went
// there: the file goes back, under the name it has, and moves step by step, meeting the other name
// as a duplicate. Two names are never left without a word.
void SettleTwinAtTarget(const QString& source, const QString& target) {
    FileMoveOps& ops = TheFileMoveOps();
    // Only a file that stands at the target under exactly the name it arrived with is ours: the
    // other program's name alike is never taken back in its place.
    const QString name = target.mid(target.lastIndexOf(kBackslash) + 1);
    FindEntry entry;
    int error = 0;
    if (!ops.Find(target, &entry, &error) || entry.name != name)
        return;
    // The source's folder went once the file left it, when it was a folder's last entry.
    const QString folder = FolderOf(source);
    const bool folderGone = !ops.Find(folder, &entry, &error);
    if (folderGone)
        ops.MakeFolders(folder, nullptr);
    const QString back = folder + kBackslash + name;
    if (!ops.Rename(target, back, &error)) {
        ReportFailure(Msg::MOVETHING_ERROR7, ErrorNumberText(error), source, target);
        return;
    }
    if (!MoveOne(back, target, MOVE_RENAME, false))
        App().RunHadErrors = true;
    else if (folderGone)
        ops.RemoveFolder(folder, nullptr);
}

// The source's attributes changed just before its rename, which went by what was known of it
// before: a file made read-only meanwhile has the attribute cleared where it arrived, as a move
// clears it.
void ClearReadOnlyAsMoved(const QString& target) {
    FileMoveOps& ops = TheFileMoveOps();
    FindEntry entry;
    int error = 0;
    if (ops.Find(target, &entry, &error) && (entry.attributes & kFaReadOnly) && !entry.symlink &&
        !ops.SetAttributes(target, entry.attributes & ~kFaReadOnly, &error))
        ReportFailure(Msg::MOVETHING_ERROR5, ErrorNumberText(error), target);
}

// The deferred renames that failed by now (all, after waiting for them, with `wait`).
void SettleDeferredMoves(bool wait) {
    for (;;) {
        const std::vector<DeferredRenameFailure> failures = TakeDeferredRenameFailures(wait);
        if (failures.empty())
            return;
        for (const DeferredRenameFailure& failure : failures) {
            if (failure.after == AfterRename::TwinAtTarget) {
                SettleTwinAtTarget(failure.source, failure.target);
                continue;
            }
            if (failure.after == AfterRename::SourceChanged) {
                ClearReadOnlyAsMoved(failure.target);
                continue;
            }
            // The rename thread made nothing of it: the file moves as if it had not been
            // handed over, step by step, waiting while it is held open and settling a target
            // that another program made meanwhile as a duplicate.
            if (failure.notSettled || AccessRefused(failure.error) || failure.error == EEXIST) {
                if (!MoveOne(failure.source, failure.target, MOVE_RENAME, false))
                    App().RunHadErrors = true;
            } else {
                ReportFailure(Msg::MOVETHING_ERROR7, ErrorNumberText(failure.error), failure.source,
                              failure.target);
            }
        }
    }
}

} // namespace

void FinishDeferredMoves() {
    SettleDeferredMoves(true);
}

bool MoveEntry(const QString& source, const QString& target, int mode) {
    SettleDeferredMoves(false);
    const MoveLinkScope scope;
    return MoveOne(source, target, mode, true);
}

bool MoveLaterSpelling(const QString& source, const QString& target, int mode) {
    SettleDeferredMoves(false);
    const MoveLinkScope scope;
    return MoveOne(source, target, mode, true, true);
}

QStringList SpellingsOf(const QString& path) {
    const QString folder = FolderOf(path);
    const QString name = path.mid(folder.size() + 1);
    StringList names;
    FindFileNames(names, folder, false, QString(), QStringLiteral("*"));
    QStringList spellings;
    for (int i = 0; i < names.Count(); ++i) {
        if (names[i] == name)
            spellings.prepend(path);
        else if (SameWithoutCase(names[i], name))
            spellings.append(folder + kBackslash + names[i]);
    }
    return spellings.isEmpty() ? QStringList{path} : spellings;
}

bool MoveEverySpelling(const QString& source, const QString& target, int mode, bool mayBeTwinned) {
    bool arrived = true;
    bool all = true;
    if (!mayBeTwinned) {
        all = arrived = MoveEntry(source, target, mode);
    } else {
        const MoveLinkScope scope;
        const QString targetFolder = FolderOf(target);
        const QStringList spellings = SpellingsOf(source);
        for (qsizetype i = 0; i < spellings.size(); ++i) {
            const QString& spelling = spellings.at(i);
            const QString to =
                targetFolder + kBackslash + spelling.mid(spelling.lastIndexOf(kBackslash) + 1);
            const bool moved =
                i == 0 ? MoveEntry(spelling, to, mode) : MoveLaterSpelling(spelling, to, mode);
            if (i == 0)
                arrived = moved;
            all = all && moved;
        }
    }
    // A file left where it was counts against the run, also when the user cancelled its
    // duplicate dialog: the folders then do not hold what was asked.
    if (!all)
        App().RunHadErrors = true;
    return arrived;
}

bool CheckAttributes(const QString& folder) {
    bool result = true;
    QList<FindEntry> entries;
    if (!TheFileMoveOps().List(folder, &entries, nullptr))
        return result;
    for (const FindEntry& e : entries) {
        // A folder is checked by its own name, not again as "." inside it and ".." below it.
        if (e.name == QLatin1String(".") || e.name == QLatin1String(".."))
            continue;
        const QString path = folder + kBackslash + e.name;
        ShowStatus(Caption(Msg::STATUS_TEXT_CHECKING) + QLatin1Char(' ') + path);
        // A folder its owner cannot write to stops a move as surely as such a file does.
        if (e.attributes & (kFaReadOnly | kFaHidden | kFaSystem | kFaVolumeLabel)) {
            result = false;
            Report(RL_ERROR, nullptr,
                   Caption(Msg::CHECKATTR_ERROR1) + Caption(Msg::CHECKATTR_ERROR2) + path +
                       QStringLiteral("' Attr. Code '") + QString::number(e.attributes) + kQuote,
                   Pane());
        }
        if (CanDescend(e) && !CheckAttributes(path))
            result = false;
    }
    return result;
}

} // namespace qv
