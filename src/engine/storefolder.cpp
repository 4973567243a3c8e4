#include "engine/storefolder.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/filefind.h"
#include "core/folders.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "platform/drivemap.h"
#include "platform/registry.h"
#include "platform/terminate.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QDir>
#include <QFileInfo>

namespace qv {

namespace {

const QString kStorePathValue = QStringLiteral("Store Path");

int Box(const QString& text, int style) {
    return TheUi().MessageBox(text, App().ProgramTitle, style);
}

QString Quoted(const QString& text) {
    return text + QLatin1Char('\'');
}

// The entries of a folder without "." and ".."; false with the error when it cannot be listed
// (an empty folder is no error).
bool ListFolder(const QString& folder, QList<FindEntry>* entries, int* error) {
    QList<FindEntry> found;
    *error = 0;
    if (!FindEntries(folder + QStringLiteral("\\*.*"), &found, error) && *error != ENOENT)
        return false;
    entries->clear();
    for (const FindEntry& entry : found) {
        if (entry.name != QLatin1String(".") && entry.name != QLatin1String(".."))
            entries->append(entry);
    }
    return true;
}

int SubFolderCount(const QString& folder, QString* onlyName) {
    QList<FindEntry> entries;
    int error = 0;
    int count = 0;
    if (ListFolder(folder, &entries, &error)) {
        for (const FindEntry& entry : entries) {
            if (entry.IsFolder()) {
                ++count;
                *onlyName = entry.name;
            }
        }
    }
    return count;
}

// What went wrong in a move, for the one message that tells the user.
struct MoveFailure {
    QString reason; // a caption beginning with a line break
    int error = 0;
    QString from;
    QString to;
};

void ShowMoveFailure(const MoveFailure& failure) {
    QString text = Caption(Msg::MOVETHING_ERROR1) + failure.reason + QStringLiteral(" : [") +
                   QString::number(failure.error) + QLatin1Char(']') +
                   Caption(Msg::MOVETHING_ERROR2) + Quoted(failure.from);
    if (!failure.to.isEmpty())
        text += Caption(Msg::MOVETHING_ERROR3) + Quoted(failure.to);
    Box(text, MB_ICONSTOP);
}

void ShowCreateFailure(const QString& folder, int error) {
    Box(Caption(Msg::EXPLORE_ACTIVITY_CREATE_ERR) + FsErrorText(error) + QStringLiteral(" : [") +
            QString::number(error) + QLatin1Char(']') + Caption(Msg::GENERAL_NOT_FOUND2) +
            Quoted(folder),
        MB_ICONSTOP);
}

QString CopyReason() {
    return QLatin1Char('\r') + Caption(Msg::COPY_ERROR);
}

// The outermost folder of the path that does not exist yet; empty when the whole path exists.
QString FirstMissingFolder(const QString& path) {
    QChar drive;
    QStringList parts;
    if (!SplitWindowsPath(path, &drive, &parts))
        return QString();
    for (qsizetype i = 1; i <= parts.size(); ++i) {
        const QString partial = JoinWindowsPath(drive, parts.first(i));
        if (!FolderExists(partial))
            return partial;
    }
    return QString();
}

QString ParentFolder(const QString& path) {
    QChar drive;
    QStringList parts;
    if (!SplitWindowsPath(path, &drive, &parts) || parts.isEmpty())
        return path;
    parts.removeLast();
    return JoinWindowsPath(drive, parts);
}

// Deletes what a folder holds (read-only files included) and, with `removeFolder`, the folder;
// links are deleted, never followed. Goes on past failures; the first is kept in `failure`.
bool DeleteTree(const QString& folder, bool removeFolder, MoveFailure* failure) {
    auto fail = [&](int error, const QString& path) {
        if (failure->from.isEmpty())
            *failure = {Caption(Msg::MOVETHING_ERROR6), error, path, QString()};
        return false;
    };
    bool ok = true;
    QList<FindEntry> entries;
    int error = 0;
    if (!ListFolder(folder, &entries, &error))
        return fail(error, folder);
    for (const FindEntry& entry : entries) {
        const QString path = folder + QLatin1Char('\\') + entry.name;
        if (CanDescend(entry)) {
            ok = DeleteTree(path, true, failure) && ok;
            continue;
        }
        if (!entry.symlink && (entry.attributes & kFaReadOnly))
            SetFileAttributes(path, entry.attributes & ~kFaReadOnly);
        if (!DeleteFile(path, &error))
            ok = fail(error, path);
    }
    if (ok && removeFolder && !RemoveFolder(folder, &error))
        ok = fail(error, folder);
    return ok;
}

// Takes away what a failed move made: the folders it created, or what it put into a folder that
// existed before.
void UndoCopy(const QString& newPath, const QString& firstMade) {
    MoveFailure ignored;
    if (firstMade.isEmpty())
        DeleteTree(newPath, false, &ignored);
    else
        DeleteTree(firstMade, true, &ignored);
}

bool CopyTree(const QString& from, const QString& to, MoveFailure* failure) {
    QList<FindEntry> entries;
    int error = 0;
    if (!ListFolder(from, &entries, &error)) {
        *failure = {CopyReason(), error, from, to};
        return false;
    }
    for (const FindEntry& entry : entries) {
        const QString source = from + QLatin1Char('\\') + entry.name;
        const QString target = to + QLatin1Char('\\') + entry.name;
        const bool copied = CanDescend(entry)
                                ? CreateFolder(target, &error) && CopyTree(source, target, failure)
                                : CopyFileWithTimes(source, target, &error);
        if (!copied) {
            if (failure->from.isEmpty())
                *failure = {CopyReason(), error, source, target};
            return false;
        }
    }
    return true;
}

// Every file of the original has an equal copy.
bool VerifyTree(const QString& from, const QString& to, MoveFailure* failure) {
    QList<FindEntry> entries;
    int error = 0;
    if (!ListFolder(from, &entries, &error)) {
        *failure = {CopyReason(), error, from, to};
        return false;
    }
    for (const FindEntry& entry : entries) {
        const QString source = from + QLatin1Char('\\') + entry.name;
        const QString target = to + QLatin1Char('\\') + entry.name;
        if (CanDescend(entry) ? !VerifyTree(source, target, failure)
                              : FilesDiffer(source, target)) {
            if (failure->from.isEmpty())
                *failure = {CopyReason(), EIO, source, target};
            return false;
        }
    }
    return true;
}

// Removes the folders made for the target's parent, from the innermost up to `firstMade`; only
// empty ones go.
void RemoveMadeParents(const QString& newPath, const QString& firstMade) {
    if (firstMade.isEmpty())
        return;
    for (QString folder = ParentFolder(newPath); IsInsideFolder(folder, firstMade, true);
         folder = ParentFolder(folder)) {
        if (!RemoveFolder(folder))
            break;
    }
}

// Writes "Store Path" (deletes the value for an empty path) and sets App().StoreRootFolder; a
// registry failure is shown, and the caller ends the program once the folders agree with the
// registry again.
bool WriteStorePathOrTell(const QString& path) {
    RegistryKey reg;
    const bool written = reg.Open(HKEY_LOCAL_MACHINE, kProductKey, true) &&
                         (path.isEmpty() ? reg.DeleteValue(kStorePathValue)
                                         : reg.WriteString(kStorePathValue, path));
    if (!written) {
        Box(Caption(Msg::BAD_REGISTRY_WRITE_LEG1) + Caption(Msg::BAD_REGISTRY_WRITE_LEG2) +
                Quoted(kProductKey),
            MB_ICONSTOP);
        return false;
    }
    App().StoreRootFolder = path;
    return true;
}

// One file system: the store folder is renamed in one step.
bool RenameStore(const QString& oldPath, const QString& newPath, const QString& firstMade) {
    int error = 0;
    const bool existed = firstMade.isEmpty();
    // The target as it was: the empty folder chosen made again, or the folders made for it gone.
    const auto restoreTarget = [&] {
        if (existed)
            CreateFolder(newPath);
        else
            RemoveMadeParents(newPath, firstMade);
    };
    if (!ForceFolders(ParentFolder(newPath), &error)) {
        ShowCreateFailure(ParentFolder(newPath), error);
        RemoveMadeParents(newPath, firstMade);
        return false;
    }
    // A rename never replaces an entry, so the empty folder chosen as the target makes way.
    if (existed && !RemoveFolder(newPath, &error)) {
        ShowMoveFailure({Caption(Msg::MOVETHING_ERROR7), error, oldPath, newPath});
        return false;
    }
    if (!RenameNoReplace(oldPath, newPath, &error)) {
        ShowMoveFailure({Caption(Msg::MOVETHING_ERROR7), error, oldPath, newPath});
        restoreTarget();
        return false;
    }
    if (!WriteStorePathOrTell(newPath)) {
        // The store goes back before the program ends, so that the registry names it; where it
        // cannot, the user must learn where it is now.
        if (RenameNoReplace(newPath, oldPath, &error))
            restoreTarget();
        else
            ShowMoveFailure({Caption(Msg::MOVETHING_ERROR7), error, newPath, oldPath});
        TerminateProgram(1);
        return false;
    }
    return true;
}

// Another file system: copy, compare, switch, and only then delete the original.
bool CopyStore(const QString& oldPath, const QString& newPath, const QString& firstMade) {
    int error = 0;
    if (!ForceFolders(newPath, &error)) {
        ShowCreateFailure(newPath, error);
        UndoCopy(newPath, firstMade);
        return false;
    }
    MoveFailure failure;
    if (!CopyTree(oldPath, newPath, &failure) || !VerifyTree(oldPath, newPath, &failure)) {
        UndoCopy(newPath, firstMade);
        ShowMoveFailure(failure);
        return false;
    }
    if (!WriteStorePathOrTell(newPath)) {
        UndoCopy(newPath, firstMade);
        TerminateProgram(1);
        return false;
    }
    // The new store is in force; what cannot be deleted of the old one is only told.
    failure = MoveFailure();
    if (!DeleteTree(oldPath, true, &failure))
        ShowMoveFailure(failure);
    return true;
}

bool MoveStore(const QString& oldPath, const QString& newPath) {
    const bool oneFileSystem = SameDrive(oldPath, newPath);
    StatusGuard status(oneFileSystem ? QStringLiteral("MOVESTF") : QStringLiteral("CMOVESTF"));
    const QString firstMade = FirstMissingFolder(newPath);
    return oneFileSystem ? RenameStore(oldPath, newPath, firstMade)
                         : CopyStore(oldPath, newPath, firstMade);
}

// The host folder a Windows path reaches, every link on its way followed: the part that exists at
// its real place, the rest as given. Empty when not even the drive resolves.
QString RealHostFolder(const QString& path) {
    ResolvedPath resolved;
    if (!ResolvePathForCreate(path, &resolved))
        return QString();
    const QString real = QFileInfo(resolved.existingHost).canonicalFilePath();
    if (real.isEmpty())
        return QString();
    const QString rest = resolved.host.mid(resolved.existingHost.size());
    return real == QStringLiteral("/") && rest.startsWith(QLatin1Char('/')) ? rest : real + rest;
}

// Whether two paths are one folder, by their Windows paths or by the host folders they reach.
bool ReachesSame(const QString& a, const QString& b) {
    if (CompareText(a, b) == 0)
        return true;
    const QString host = RealHostFolder(a);
    return !host.isEmpty() && host == RealHostFolder(b);
}

// Whether `path` is `folder` or lies inside it (only inside, without `orSame`), by their Windows
// paths or by the host folders they reach: a path that reaches in through a link is inside too.
bool ReachesInside(const QString& path, const QString& folder, bool orSame) {
    if (IsInsideFolder(path, folder, orSame))
        return true;
    const QString host = RealHostFolder(path);
    const QString hostFolder = RealHostFolder(folder);
    if (host.isEmpty() || hostFolder.isEmpty())
        return false;
    if (host == hostFolder)
        return orSame;
    return host.startsWith(hostFolder.endsWith(QLatin1Char('/')) ? hostFolder
                                                                 : hostFolder + QLatin1Char('/'));
}

// A store folder the user can make on the MSTS folder's file system: "Quarvel" at the root of the
// MSTS folder's drive, unless that drive is the whole host, whose root belongs to the system;
// then in the home folder when it shares the MSTS folder's file system, else beside the MSTS
// folder.
QString SuggestedStoreFolder(const QString& mstsFolder) {
    const QString name = QStringLiteral("Quarvel");
    QChar drive;
    QStringList parts;
    if (!SplitWindowsPath(mstsFolder, &drive, &parts))
        return mstsFolder.left(2) + QLatin1Char('\\') + name;
    if (QDir::cleanPath(TheDriveMap().HostRoot(drive)) != QStringLiteral("/"))
        return JoinWindowsPath(drive, {name});
    QChar homeDrive;
    QStringList homeParts;
    if (SplitWindowsPath(HomeFolder(), &homeDrive, &homeParts) && !homeParts.isEmpty()) {
        const QString home = JoinWindowsPath(homeDrive, homeParts);
        const QString inHome = JoinWindowsPath(homeDrive, homeParts << name);
        if (SameDrive(home, mstsFolder) && !IsInsideFolder(inHome, mstsFolder, true))
            return inHome;
    }
    if (!parts.isEmpty())
        parts.removeLast();
    return JoinWindowsPath(drive, parts << name);
}

} // namespace

bool WriteStorePath(const QString& path) {
    if (WriteStorePathOrTell(path))
        return true;
    TerminateProgram(1);
    return false;
}

bool PrepareStorePathDialog(StorePathDialogStart* start) {
    AppState& app = App();
    app.RegisteredStorePath = RegReadString(kProductKey, kStorePathValue);
    if (app.RegisteredStorePath.isEmpty()) {
        start->selected = SuggestedStoreFolder(app.MstsRootFolder);
        start->folder = ParentFolder(start->selected);
        start->label = Caption(Msg::NEW_QUARVEL_KEY_LEG);
        return true;
    }
    if (FolderExists(app.RegisteredStorePath)) {
        start->folder = app.RegisteredStorePath;
        start->selected = app.RegisteredStorePath;
        start->label = Caption(Msg::EXISTING_QUARVEL_KEY_LEG);
        return true;
    }
    Box(Caption(Msg::QUARVEL_FOLDER_MOVED1) + app.RegisteredStorePath +
            Caption(Msg::QUARVEL_FOLDER_MOVED2),
        MB_ICONSTOP);
    TerminateProgram(1);
    return false;
}

StorePathAction CheckNewStorePath(const QString& newPath) {
    const AppState& app = App();
    const QString& oldPath = app.RegisteredStorePath;
    auto refuse = [](const QString& text, int style) {
        Box(text, style);
        return StorePathAction::Refused;
    };
    if (!IsValidPath(newPath))
        return refuse(Caption(Msg::INVALID_FILENAME), MB_ICONEXCLAMATION);
    if (CompareText(newPath, oldPath) == 0 || (!oldPath.isEmpty() && ReachesSame(newPath, oldPath)))
        return refuse(Caption(Msg::SAME_FOLDER), MB_ICONEXCLAMATION);
    if (!SameDrive(newPath, app.MstsRootFolder))
        return refuse(Caption(Msg::DIFFERENT_DRIVE), MB_ICONEXCLAMATION);
    if (!oldPath.isEmpty() && ReachesInside(newPath, oldPath, false))
        return refuse(Caption(Msg::PATH_INCLUDED_LEG), MB_ICONEXCLAMATION);
    if (ReachesInside(newPath, app.MstsRootFolder, true))
        return refuse(Caption(Msg::PATH_CANNOT_BE_IN_MSTS) + Caption(Msg::GENERAL_NOT_FOUND2) +
                          Quoted(newPath),
                      MB_ICONSTOP);

    const bool exists = FolderExists(newPath);
    if (exists && !IsFolderEmpty(newPath)) {
        QString onlyName;
        if (SubFolderCount(newPath, &onlyName) == 1 &&
            CompareText(onlyName, QStringLiteral("QVDATA")) == 0 && oldPath.isEmpty()) {
            Box(Caption(Msg::DIR_NOT_EMPTY_LEG3) + Quoted(newPath), MB_ICONEXCLAMATION);
        } else {
            return refuse(Caption(Msg::DIR_NOT_EMPTY_LEG1) + newPath +
                              Caption(Msg::DIR_NOT_EMPTY_LEG2),
                          MB_ICONEXCLAMATION);
        }
    }
    if (!exists && Box(Caption(Msg::CREATE_DIR_LEG1) + newPath + Caption(Msg::CREATE_DIR_LEG2),
                       MB_YESNO) != ID_YES)
        return StorePathAction::Refused;
    if (!oldPath.isEmpty()) {
        if (Box(Caption(Msg::MOVE_DIR_LEG1) + oldPath + Caption(Msg::MOVE_DIR_LEG2) + newPath +
                    Caption(Msg::MOVE_DIR_LEG3),
                MB_YESNO) != ID_YES)
            return StorePathAction::Refused;
        return StorePathAction::Move;
    }
    return exists ? StorePathAction::Register : StorePathAction::Create;
}

bool ApplyNewStorePath(const QString& newPath, StorePathAction action) {
    switch (action) {
    case StorePathAction::Register:
        return WriteStorePath(newPath);
    case StorePathAction::Create: {
        // One level only: a store is made where the user can see its parent.
        int error = 0;
        if (!CreateFolder(newPath, &error)) {
            ShowCreateFailure(newPath, error);
            return false;
        }
        return WriteStorePath(newPath);
    }
    case StorePathAction::Move:
        return MoveStore(App().RegisteredStorePath, newPath);
    case StorePathAction::Refused:
        break;
    }
    return false;
}

bool AcceptStorePath(const QString& newPath) {
    const StorePathAction action = CheckNewStorePath(newPath);
    return action != StorePathAction::Refused && ApplyNewStorePath(newPath, action);
}

} // namespace qv
