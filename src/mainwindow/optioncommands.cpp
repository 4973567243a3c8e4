#include "mainwindow/optioncommands.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/controlhelpers.h"
#include "core/easyservices.h"
#include "core/folders.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/pathshorten.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "platform/ui.h"

namespace qv {

namespace {

int Box(const QString& text, int style) {
    return TheUi().MessageBox(text, App().ProgramTitle, style);
}

// True when one of the folders is the other or lies inside it, judged by whole components.
bool FoldersOverlap(const QString& a, const QString& b) {
    return IsInsideFolder(a, b, true) || IsInsideFolder(b, a, true);
}

QString MstsRegistryPath() {
    return RegReadString(kMstsKey, QStringLiteral("Path"));
}

// The MSTS folder may change only while nothing is stored; otherwise says so.
bool MstsFolderMayChange() {
    if (ReadFlag(QStringLiteral("Everything Unstored")))
        return true;
    Box(Caption(Msg::SELECT_MSTS_FOLDER_TAG4), MB_ICONEXCLAMATION);
    return false;
}

} // namespace

const QList<OptionFlag>& OptionFlags() {
    static const QList<OptionFlag> flags = {
        {QStringLiteral("ExpandListByDefault"), QStringLiteral("Expand List")},
        {QStringLiteral("ViewObjectsbyFileNameMnu"), QStringLiteral("View by File Name")},
        {QStringLiteral("StartBlank"), QStringLiteral("Start Blank")},
        {QStringLiteral("IncludeExploreModeCbx"), QStringLiteral("Include Explore Consists")},
        {QStringLiteral("ShowSaveWarning"), QStringLiteral("Show Save Warning")},
        {QStringLiteral("StrictSMSChecking"), QStringLiteral("Strict SMS Checking")},
        {QStringLiteral("ConfirmCompletion"), QStringLiteral("Confirm Completion")},
        {QStringLiteral("SuppressMoveErrorDialogue"), QStringLiteral("Suppress Move Errors")},
        {QStringLiteral("SuppressActivitySavedWarning"),
         QStringLiteral("Suppress Activity Saved Warning")},
        {QStringLiteral("SuppressMaintenanceWarning"),
         QStringLiteral("Suppress Maintenance Edit Warning")},
        {QStringLiteral("SpawnWaitMnu"), QStringLiteral("Spawn Wait")},
        {QStringLiteral("SuppressWhereUsedMnu"), QStringLiteral("Suppress Where Used Analysis")},
        {QStringLiteral("SuppressWarningMessagesMnu"), QStringLiteral("Suppress Warnings")},
        {QStringLiteral("SuppMSTSLaunchMnu"), QStringLiteral("Easy Suppress MSTS Launch")},
        {QStringLiteral("SuppBackgrdImageMnu"), QStringLiteral("Easy Suppress Image")},
        {QStringLiteral("SuppressErrorsMnu"), QStringLiteral("Suppress Error Highlighting")},
        {QStringLiteral("ShowAllEasyConsistsMnu"), QStringLiteral("Easy Show All Consists")},
    };
    return flags;
}

void DropItemCaches() {
    AppState& app = App();
    ClearTypedList(RK_ITEMSET, app.ConsistCacheList);
    ClearTypedList(RK_ITEMSET, app.StockCacheList);
    ClearTypedList(RK_ITEMSET, app.PathCacheList);
}

OptionFollowUp OptionFlagClick(const QString& component, bool checked) {
    const OptionFlag* flag = nullptr;
    for (const OptionFlag& candidate : OptionFlags()) {
        if (candidate.Component == component)
            flag = &candidate;
    }
    if (!flag)
        return OptionFollowUp::None;
    WriteFlag(checked, flag->Value);
    AppState& app = App();
    if (component == QLatin1String("ViewObjectsbyFileNameMnu")) {
        // The caches carry the names the items are shown by; the tree keeps its texts until the
        // next load.
        app.ViewByFileName = ReadFlag(flag->Value);
        DropItemCaches();
    } else if (component == QLatin1String("SuppMSTSLaunchMnu")) {
        return checked ? OptionFollowUp::ClearTrafficAndUpdate : OptionFollowUp::UpdateControls;
    } else if (component == QLatin1String("SuppBackgrdImageMnu")) {
        app.EasySuppressImage = checked;
        return OptionFollowUp::ReloadBackground;
    } else if (component == QLatin1String("SuppressErrorsMnu")) {
        app.ErrorsFileWritten = true;
    }
    return OptionFollowUp::None;
}

bool MSTSTopFolderClick() {
    AppState& app = App();
    if (!MstsFolderMayChange())
        return false;
    if (Box(Caption(Msg::SELECT_MSTS_FOLDER_TAG5) + Caption(Msg::ARE_YOU_SURE_TAG),
            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != ID_YES)
        return false;
    const QString initial = app.MstsRootFolder.isEmpty() ? MstsRegistryPath() : app.MstsRootFolder;
    const QString chosen = SelectFolder(initial, Caption(Msg::SELECT_MSTS_FOLDER_TAG2),
                                        Caption(Msg::SELECT_MSTS_FOLDER_TAG7));
    const QString fixedPath = RegReadString(kProductKey, QStringLiteral("Fixed MSTS Path"));
    if (app.FolderDialogResult == ID_OK && !app.MstsRootFolder.isEmpty()) {
        if (!CheckMstsFolder(chosen))
            return false;
        // The store may hold MSTS's own files only beside the MSTS folder, never inside it or
        // around it.
        if (!app.StoreRootFolder.isEmpty() && FoldersOverlap(chosen, app.StoreRootFolder)) {
            Box(Caption(Msg::PATH_CANNOT_BE_IN_MSTS) + Caption(Msg::GENERAL_NOT_FOUND2) + chosen +
                    QLatin1Char('\''),
                MB_ICONSTOP);
            return false;
        }
        if (PathRootOf(app.MstsRootFolder).toUpper() != PathRootOf(chosen).toUpper())
            Box(Caption(Msg::SELECT_MSTS_FOLDER_TAG10), MB_ICONINFORMATION);
        app.MstsRootFolder = chosen;
        RegWriteString(kProductKey, QStringLiteral("Fixed MSTS Path"), chosen);
        Box(Caption(Msg::SELECT_MSTS_FOLDER_TAG9) + chosen + QLatin1Char('\''), MB_ICONINFORMATION);
        return true;
    }
    // Without MSTS's own key there is no automatic folder to go back to.
    const QString automatic = MstsRegistryPath();
    if (app.FolderDialogResult == ID_OK || fixedPath.isEmpty() || automatic.isEmpty())
        return false;
    if (Box(Caption(Msg::SELECT_MSTS_FOLDER_TAG3) + Caption(Msg::SELECT_MSTS_FOLDER_TAG1),
            MB_YESNO | MB_ICONQUESTION) != ID_YES)
        return false;
    if (!app.MstsRootFolder.isEmpty() &&
        PathRootOf(automatic).toUpper() != PathRootOf(fixedPath).toUpper())
        Box(Caption(Msg::SELECT_MSTS_FOLDER_TAG10), MB_ICONINFORMATION);
    RegWriteString(kProductKey, QStringLiteral("Fixed MSTS Path"), QString());
    const bool changed = CompareText(app.MstsRootFolder, automatic) != 0;
    app.MstsRootFolder = automatic;
    Box(Caption(Msg::SELECT_MSTS_FOLDER_TAG8), MB_ICONINFORMATION);
    return changed;
}

bool ViewRefreshClick(bool ask) {
    MainServices& main = TheMainServices();
    if (ask && main.QuerySaveScenario() == ID_CANCEL)
        return false;
    main.SetOpenScenarioDialogFile(QString());
    main.SetCurrentScenarioFile(QString());
    main.LoadTree(QString(), nullptr, -1);
    App().EasyListsStale = true;
    TheEasyServices().RefillEasyLists();
    main.UpdateControls();
    main.ShowSelectedNodeInfo();
    return true;
}

EditMenuState EditMenuStateFor(const QString& controlClass, bool searchContinues) {
    EditMenuState state;
    const bool richOrTree =
        controlClass == QLatin1String("TRichEdit") || controlClass == QLatin1String("TTreeView");
    state.Find = richOrTree;
    state.FindNext = richOrTree && searchContinues;
    state.Copy = richOrTree || controlClass == QLatin1String("TListBox") ||
                 controlClass == QLatin1String("TComboBox");
    state.SaveText = state.Copy;
    return state;
}

QList<FormKeyCommand> FormKeyCommands(int key, Qt::KeyboardModifiers modifiers,
                                      const QString& controlClass, bool busy) {
    QList<FormKeyCommand> commands;
    if (busy)
        return commands;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool ctrlAlt = ctrl && (modifiers & Qt::AltModifier);
    const EditMenuState edit = EditMenuStateFor(controlClass, true);
    if (key == Qt::Key_F5)
        commands << FormKeyCommand::Refresh;
    if (ctrlAlt && key == Qt::Key_O)
        commands << FormKeyCommand::FixedObjects;
    if (ctrlAlt && key == Qt::Key_M)
        commands << FormKeyCommand::MemoryUsage;
    if (ctrlAlt && key == Qt::Key_T)
        commands << FormKeyCommand::Logging;
    if (key == Qt::Key_F3 && edit.Find)
        commands << FormKeyCommand::FindNext;
    if (ctrl && key == Qt::Key_F && edit.Find)
        commands << FormKeyCommand::Find;
    if (ctrl && key == Qt::Key_C && edit.Copy)
        commands << FormKeyCommand::Copy;
    if (ctrl && key == Qt::Key_S && edit.SaveText)
        commands << FormKeyCommand::SaveText;
    if (ctrl && key == Qt::Key_P && controlClass == QLatin1String("TRichEdit"))
        commands << FormKeyCommand::Print;
    return commands;
}

bool MSTSFolderCommand() {
    // The save question comes before the folder changes: once it has changed, the old folder's
    // tree cannot stay, and Cancel must leave both the folder and the unsaved marks as they were.
    // A change that will be refused is refused before anything is asked.
    if (!MstsFolderMayChange() || TheMainServices().QuerySaveScenario() == ID_CANCEL)
        return false;
    if (!MSTSTopFolderClick())
        return false;
    DropItemCaches();
    ViewRefreshClick(false);
    return true;
}

} // namespace qv
