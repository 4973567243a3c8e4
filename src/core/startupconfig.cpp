#include "core/startupconfig.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/controlhelpers.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/stringlist.h"
#include "core/toolpaths.h"
#include "platform/drivemap.h"
#include "platform/terminate.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QCoreApplication>

namespace qv {

namespace {

std::function<bool()>& FixedObjectsCheck() {
    static std::function<bool()> check;
    return check;
}

int Box(const QString& text, int style) {
    return TheUi().MessageBox(text, App().ProgramTitle, style);
}

bool SamePath(const QString& a, const QString& b) {
    return CompareText(a, b) == 0;
}

// MSTS's key may name a folder with a trailing backslash; the roots never carry one, since every
// path below them is joined with one.
QString WithoutTrailingBackslash(QString path) {
    while (path.size() > 3 && path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return path;
}

QString ProductValue(const char* name) {
    return RegReadString(kProductKey, QLatin1String(name));
}

void WriteProductValue(const char* name, const QString& text) {
    RegWriteString(kProductKey, QLatin1String(name), text);
}

bool EnsureFixedObjects() {
    if (const auto& check = FixedObjectsCheck())
        return check();
    Box(UnexpectedText(__FILE__, __LINE__, QStringLiteral("EnsureDefaultExclusions")), MB_ICONSTOP);
    return false;
}

// "TRAINS (2)" and "Routes(1)" end in a digit in parentheses.
bool EndsInNumberedCopyMark(const QString& name) {
    const qsizetype n = name.size();
    return n >= 3 && name[n - 3] == QLatin1Char('(') && name[n - 2] >= QLatin1Char('0') &&
           name[n - 2] <= QLatin1Char('9') && name[n - 1] == QLatin1Char(')');
}

// A numbered copy of TRAINS or ROUTES, told by the folder's full path.
bool IsNumberedContentCopy(const QString& path) {
    QString name = LastPathComponent(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (!EndsInNumberedCopyMark(name))
        return false;
    while (EndsInNumberedCopyMark(name))
        name = name.chopped(3).trimmed();
    return SamePath(name, QStringLiteral("TRAINS")) || SamePath(name, QStringLiteral("ROUTES"));
}

StringList SubFolders(const QString& folder) {
    StringList list;
    FindFiles(list, folder, true, folder, QStringLiteral("*.*"));
    return list;
}

// The store registered but gone: the user closes the program, or has the registration reset,
// which deletes every setting and makes this a first start. False to end the program.
bool ResetVanishedStore() {
    AppState& app = App();
    const QString question = Caption(Msg::QUARVEL_FOLDER_MOVED1) + app.StoreRootFolder +
                             Caption(Msg::QUARVEL_FOLDER_MOVED2) + QLatin1Char(' ') +
                             Caption(Msg::QUARVEL_FOLDER_MOVED3);
    if (Box(question, MB_YESNO | MB_ICONQUESTION) == ID_YES)
        return false;
    if (Box(Caption(Msg::RESET_QUARVEL_FOLDER), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
        ID_NO)
        return false;
    app.StoreRootFolder.clear();
    return DeleteKeyTree(kProductKey);
}

// A store on a drive that this start cannot reach (its Wine prefix is not the one read, or its
// disk is not there) cannot be looked for, so it is not taken for gone: the start ends without
// the offer to reset the registration, which would delete every setting while the store may
// hold items.
bool StoreDriveReachable(const QString& store) {
    QChar drive;
    QStringList parts;
    if (!SplitWindowsPath(store, &drive, &parts) || FolderExists(JoinWindowsPath(drive, {})))
        return true;
    Box(Caption(Msg::QUARVEL_FOLDER_MOVED1) + store + Caption(Msg::QUARVEL_FOLDER_MOVED2),
        MB_ICONSTOP);
    return false;
}

// MSTS without a key of its own that names its folder (copied into a plain folder, or installed in
// a Wine prefix other than the one we read): the folder the user chose on an earlier start, else
// one the user chooses now (`*chosen` set), to be kept as the fixed MSTS folder once the start
// goes on. Empty when the user cancelled.
QString UnregisteredMstsFolder(Msg why, bool* chosen) {
    *chosen = false;
    QString folder = ProductValue("Fixed MSTS Path");
    if (!folder.isEmpty() && CheckMstsFolder(folder))
        return folder;
    if (folder.isEmpty()) {
        const TextWithCaptions message(
            "StartupConfiguration",
            QT_TRANSLATE_NOOP("StartupConfiguration",
                              "\r\rIn the next window, choose the folder in which MSTS is "
                              "installed."));
        Box(message.Caption(why) + message.Text(), MB_ICONSTOP);
        // The user's own folders are the likeliest place of a copied MSTS.
        folder = HomeFolder();
    }
    do {
        folder = SelectFolder(folder, Caption(Msg::SELECT_MSTS_FOLDER_TAG2),
                              Caption(Msg::SELECT_MSTS_FOLDER_TAG7));
        if (App().FolderDialogResult != ID_OK || folder.isEmpty())
            return QString();
    } while (!CheckMstsFolder(folder));
    *chosen = true;
    return folder;
}

// First start: the MSTS folder (automatic, or chosen by the user) and the store folder. False to
// end the program. Without MSTS's key the folder has been chosen already and there is no
// automatic choice to offer.
bool FirstStart(const QString& mstsPath, bool registered) {
    AppState& app = App();
    const QString automatic = Caption(Msg::SELECT_MSTS_FOLDER_TAG1);
    app.MstsRootFolder = registered ? QString() : mstsPath;
    if (registered && Box(automatic, MB_YESNO | MB_ICONQUESTION) != ID_YES) {
        app.MstsRootFolder = SelectFolder(mstsPath, Caption(Msg::SELECT_MSTS_FOLDER_TAG2),
                                          Caption(Msg::SELECT_MSTS_FOLDER_TAG7));
        if (app.FolderDialogResult != ID_OK || app.MstsRootFolder.isEmpty()) {
            app.MstsRootFolder.clear();
            if (Box(Caption(Msg::SELECT_MSTS_FOLDER_TAG3) + automatic,
                    MB_YESNO | MB_ICONQUESTION) != ID_YES)
                return false;
        }
    }
    WriteProductValue("Fixed MSTS Path", app.MstsRootFolder);
    if (app.MstsRootFolder.isEmpty())
        app.MstsRootFolder = mstsPath;
    if (!CheckMstsFolder(app.MstsRootFolder) || !EnsureFixedObjects())
        return false;

    if (TheUi().SelectStoragePath() != ID_OK)
        return false;
    // The dialog registers the store only once the folder exists; anything else must not start.
    if (app.StoreRootFolder.isEmpty() || !FolderExists(app.StoreRootFolder)) {
        Box(UnexpectedText(__FILE__, __LINE__, app.StoreRootFolder), MB_ICONSTOP);
        return false;
    }
    WriteProductValue("Everything Unstored", QStringLiteral("true"));
    WriteProductValue("Selected Unstored", QString());
    // MSTS's program lies in its folder unless its key says otherwise.
    QString exeFolder =
        WithoutTrailingBackslash(RegReadString(kMstsKey, QStringLiteral("EXE Path")));
    if (exeFolder.isEmpty())
        exeFolder = app.MstsRootFolder;
    WriteProductValue("MSTS EXE Path", exeFolder + QStringLiteral("\\TRAIN.EXE"));
    return true;
}

// A later start: the MSTS folder in use, checked, and a warning when it changed while the store
// still holds items. False to end the program.
bool LaterStart(const QString& mstsPath, bool registered) {
    AppState& app = App();
    QString fixed = ProductValue("Fixed MSTS Path");
    // A folder fixed at a start that did not find MSTS's key (one without the Wine prefix) may be
    // the key's own folder reached by another drive: the key is followed again.
    if (registered && !fixed.isEmpty() && fixed != mstsPath && SameFolder(fixed, mstsPath)) {
        WriteProductValue("Fixed MSTS Path", QString());
        fixed.clear();
    }
    app.MstsRootFolder = fixed.isEmpty() ? mstsPath : fixed;
    if (!CheckMstsFolder(app.MstsRootFolder) || !EnsureFixedObjects())
        return false;
    const QString lastUsed = ProductValue("Last Used MSTS Folder");
    if (lastUsed != app.MstsRootFolder) {
        // The same folder by another drive has not moved.
        if (!ReadFlag(QStringLiteral("Everything Unstored")) && !lastUsed.isEmpty() &&
            !SameFolder(lastUsed, app.MstsRootFolder) &&
            CountFiles(ProductValue("Store Path"), QString(), -1) > 1) {
            TheMainServices().SetStatusText(1, QString());
            TheUi().MessageBox(Caption(Msg::CHANGED_MSTS),
                               app.ProgramTitle + QStringLiteral(" - ") + Caption(Msg::WARNING_LEG),
                               MB_ICONEXCLAMATION);
        }
        WriteProductValue("Last Used MSTS Folder", app.MstsRootFolder);
    }
    return true;
}

} // namespace

void SetFixedObjectsCheck(std::function<bool()> check) {
    FixedObjectsCheck() = std::move(check);
}

bool StartupConfiguration() {
    AppState& app = App();
    const bool keyed = RegKeyExists(HKEY_LOCAL_MACHINE, kMstsKey);
    QString mstsPath =
        keyed ? WithoutTrailingBackslash(RegReadString(kMstsKey, QStringLiteral("Path")))
              : QString();
    const bool registered = !mstsPath.isEmpty();
    bool chosen = false;
    if (!registered) {
        mstsPath = UnregisteredMstsFolder(
            keyed ? Msg::NO_MSTS_PATH_LEG : Msg::NO_MSTS_INSTALLED_LEG, &chosen);
        // The user declined to say where MSTS is: the program cannot run, and ends as failed.
        if (mstsPath.isEmpty()) {
            TerminateProgram(1);
            return false;
        }
    }

    app.StoreRootFolder = ProductValue("Store Path");
    if (!app.StoreRootFolder.isEmpty() && !FolderExists(app.StoreRootFolder) &&
        (!StoreDriveReachable(app.StoreRootFolder) || !ResetVanishedStore()))
        return false;
    if (chosen)
        WriteProductValue("Fixed MSTS Path", mstsPath);

    bool result = app.StoreRootFolder.isEmpty() ? FirstStart(mstsPath, registered)
                                                : LaterStart(mstsPath, registered);
    if (!result)
        return false;

    if (CheckLeftoverFolders(QString(), true))
        result = false;
    const QString program = ProgramFilePath();
    if (ProductValue("QV EXE Path") != program)
        WriteProductValue("QV EXE Path", program);
    DiscoverOutsideTools();
    return result;
}

bool CheckMstsFolder(const QString& folder) {
    if (FolderExists(folder)) {
        if (FileExists(folder + QStringLiteral("\\TRAINS\\TRAINSET\\DEFAULT\\DEFAULT.WAG")))
            return true;
        Box(Caption(Msg::SELECT_MSTS_FOLDER_TAG11) + folder +
                Caption(Msg::SELECT_MSTS_FOLDER_TAG11A),
            MB_ICONSTOP);
        return false;
    }
    const Msg whose = ProductValue("Fixed MSTS Path").isEmpty() ? Msg::MSTS_FOLDER_MOVED1
                                                                : Msg::MSTS_FOLDER_MOVED0;
    Box(Caption(whose) + folder + Caption(Msg::QUARVEL_FOLDER_MOVED2) + QLatin1Char(' ') +
            Caption(Msg::MSTS_FOLDER_MOVED3),
        MB_ICONSTOP);
    return false;
}

bool CheckLeftoverFolders(const QString& root, bool show) {
    const AppState& app = App();
    QString finds;
    const QString first = root.isEmpty() ? app.StoreRootFolder : root;
    if (SamePath(first, app.StoreRootFolder)) {
        const StringList folders = SubFolders(first);
        // The data folder the program reads: the one spelt "QVDATA", else the only one in another
        // letter case. A second one would be passed over without a word, so it is a find.
        QStringList dataFolders;
        for (int i = 0; i < folders.Count(); ++i) {
            if (SamePath(LastPathComponent(folders[i]), QStringLiteral("QVDATA")))
                dataFolders << LastPathComponent(folders[i]);
        }
        const bool spelt = dataFolders.contains(QStringLiteral("QVDATA"));
        for (int i = 0; i < folders.Count(); ++i) {
            const QString name = LastPathComponent(folders[i]);
            const bool dataFolder =
                SamePath(name, QStringLiteral("QVDATA")) &&
                (spelt ? name == QLatin1String("QVDATA") : dataFolders.size() == 1);
            if (!SamePath(name, QStringLiteral("TRAINS")) &&
                !SamePath(name, QStringLiteral("ROUTES")) && !dataFolder)
                finds += folders[i] + QLatin1Char('\n');
        }
    }
    if (root.isEmpty() && !SamePath(app.MstsRootFolder, app.StoreRootFolder)) {
        const StringList folders = SubFolders(app.MstsRootFolder);
        for (int i = 0; i < folders.Count(); ++i) {
            if (IsNumberedContentCopy(folders[i]))
                finds += folders[i] + QLatin1Char('\n');
        }
    }
    if (finds.isEmpty())
        return false;
    if (show)
        Box(Caption(Msg::RESTORE_FOLDERS_LEG1) + finds + Caption(Msg::RESTORE_FOLDERS_LEG2),
            MB_ICONSTOP);
    return true;
}

} // namespace qv
