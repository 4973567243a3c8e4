#include "mainwindow/scenariofiles.h"

#include "catalogue/itemfiles.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "mainwindow/closeform.h"
#include "platform/drivemap.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QObject>
#include <algorithm>

namespace qv {

namespace {

const QString kLastSaveFolder = QStringLiteral("Last Scenario Save Folder");
const QString kDefaultScenario = QStringLiteral("Default Scenario");
constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;
// The width the recent items' paths are shortened to, in pixels.
constexpr int kRecentCaptionWidth = 200;

// Everything up to and including the last backslash or colon.
QString FolderOf(const QString& file) {
    const int cut =
        std::max(file.lastIndexOf(QLatin1Char('\\')), file.lastIndexOf(QLatin1Char(':')));
    return file.left(cut + 1);
}

QString LastSaveFolder() {
    return RegReadString(kProductKey, kLastSaveFolder);
}

// The folder the save dialog proposes: the last one used for scenarios while it is there, else
// the home folder (never the current folder, which a launch leaves in the MSTS folder).
QString ProposedSaveFolder() {
    const QString last = LastSaveFolder();
    if (!last.isEmpty() && FolderExists(last))
        return last;
    const QString home = HomeFolder();
    return home.endsWith(QLatin1Char('\\')) ? home : home + QLatin1Char('\\');
}

// The folder becomes the dialogs' starting point and the file the most recent entry.
void RememberScenarioFile(const QString& file) {
    RegWriteString(kProductKey, kLastSaveFolder, FolderOf(file));
    AddToKeyList(kRecentScenariosKey, file, false, kMaxRecentScenarios);
}

void SetCurrentScenario(const QString& file) {
    TheMainServices().SetCurrentScenarioFile(file);
    TheMainServices().SetOpenScenarioDialogFile(file);
}

bool TreeHasNodes() {
    const ItemTree* tree = TheMainServices().QuarvelObjects();
    return tree && tree->RootCount() > 0;
}

void ShowFileNotFound(const QString& file) {
    TheUi().MessageBox(Caption(Msg::GENERAL_NOT_FOUND1) + Caption(Msg::GENERAL_NOT_FOUND3) + file +
                           QLatin1Char('\'') + Caption(Msg::GENERAL_NOT_FOUND4) +
                           QStringLiteral("Scenario File'"),
                       App().ProgramTitle, MB_ICONEXCLAMATION);
}

// Writes the tree to the file; on success the marks count as saved, and with `makeCurrent` the
// file becomes the current scenario before the controls (and so the caption) are refreshed.
bool WriteTreeTo(const QString& file, bool makeCurrent) {
    RememberScenarioFile(file);
    if (!SaveScenario(*TheMainServices().QuarvelObjects(), file, nullptr))
        return false;
    App().ScenarioChanged = false;
    if (makeCurrent)
        SetCurrentScenario(file);
    TheMainServices().UpdateControls();
    return true;
}

// Removes the first folder of a folder part ("\A\B\" -> "\...\B\", "\...\B\" -> "\...\"), the
// ellipsis standing for what has gone.
QString CutFirstFolder(QString folder) {
    if (folder == QStringLiteral("\\"))
        return QString();
    const bool rooted = folder.startsWith(QLatin1Char('\\'));
    if (rooted)
        folder.remove(0, 1);
    if (folder.startsWith(QLatin1Char('.')))
        folder.remove(0, 4);
    const int separator = folder.indexOf(QLatin1Char('\\'));
    folder = separator < 0 ? QString() : QStringLiteral("...\\") + folder.mid(separator + 1);
    return rooted ? QLatin1Char('\\') + folder : folder;
}

} // namespace

bool IsReadableScenario(const QString& file) {
    if (!FileExists(file)) {
        ShowFileNotFound(file);
        return false;
    }
    RecordList<ItemSet> records;
    return ReadScenarioFile(records, file, nullptr, true, kAllBits, kAllBits, QString());
}

bool OpenScenario(const QString& file) {
    if (!IsReadableScenario(file))
        return false;
    RememberScenarioFile(file);
    App().ScenarioChanged = false;
    SetCurrentScenario(file);
    MainServices& window = TheMainServices();
    window.LoadTree(file, nullptr, -1);
    window.UpdateControls();
    window.ShowSelectedNodeInfo();
    return true;
}

bool CheckScenarioSavePath(const QString& path) {
    // Only ASCII letters fold, as the folders are compared the way the file system's short
    // names compare.
    const auto lower = [](const QString& text) {
        QString folded = text;
        for (QChar& c : folded)
            if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                c = QChar(c.unicode() + ('a' - 'A'));
        return folded;
    };
    const QString lowerPath = lower(path);
    // An unset root would occur in every path; it rules out nothing.
    const auto inside = [&](const QString& root) {
        return !root.isEmpty() && lowerPath.contains(lower(root));
    };
    if (!inside(App().MstsRootFolder) && !inside(App().StoreRootFolder))
        return true;
    QString folder = FolderOf(path);
    if (folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    TheUi().MessageBox(Caption(Msg::INVALID_QVS_FOLDER) + Caption(Msg::GENERAL_NOT_FOUND2) +
                           folder + QLatin1Char('\''),
                       App().ProgramTitle, MB_ICONSTOP);
    return false;
}

void New1Click(QObject* sender) {
    if (QuerySaveScenario(sender) == ID_CANCEL)
        return;
    MainServices& window = TheMainServices();
    if (ItemTree* tree = window.QuarvelObjects()) {
        App().TreeClearing = true;
        tree->Clear();
        App().TreeClearing = false;
    }
    App().TreeSynchronised = false;
    App().ScenarioChanged = false;
    SetCurrentScenario(QString());
    ClearReport(window.InformationMemo());
    window.UpdateControls();
}

bool Open1Click(QObject* sender) {
    if (QuerySaveScenario(sender) == ID_CANCEL)
        return false;
    QString file;
    if (TheUi().OpenScenarioDialog(Caption(Msg::OPEN_SCENARIO_TITLE_OPEN), LastSaveFolder(),
                                   &file) != ID_OK ||
        file.isEmpty())
        return false;
    return OpenScenario(file);
}

bool Save1Click(QObject* sender) {
    if (!TreeHasNodes())
        return false;
    const QString file = TheMainServices().CurrentScenarioFile();
    if (file.isEmpty())
        return SaveAs1Click(sender);
    if (!CheckScenarioSavePath(file))
        return false;
    if (!FileExists(file)) {
        AddToKeyList(kRecentScenariosKey, file, true, kMaxRecentScenarios);
        return SaveAs1Click(sender);
    }
    return WriteTreeTo(file, false);
}

bool SaveAs1Click(QObject* /*sender*/) {
    if (!TreeHasNodes())
        return false;
    QString file = TheMainServices().CurrentScenarioFile();
    for (;;) {
        const QString folder = ProposedSaveFolder();
        if (TheUi().SaveScenarioDialog(folder, &file) != ID_OK || file.isEmpty())
            return false;
        if (CheckScenarioSavePath(file))
            break;
        // Refused: the user chooses again, from the proposed folder with the name kept.
        file = folder + file.mid(FolderOf(file).size());
    }
    // A failed write keeps the current scenario; the name has entered the recent list anyway.
    return WriteTreeTo(file, true);
}

bool MRU0Click(QObject* sender, int tag) {
    if (!sender || !sender->objectName().startsWith(QStringLiteral("MRU")))
        return false;
    const QStringList recent = ReadKeyList(kRecentScenariosKey);
    if (tag < 0 || tag >= recent.size())
        return false;
    const QString file = recent[tag];
    if (!FileExists(file)) {
        AddToKeyList(kRecentScenariosKey, file, true, kMaxRecentScenarios);
        ShowFileNotFound(file);
        return false;
    }
    if (QuerySaveScenario(sender) == ID_CANCEL)
        return false;
    return OpenScenario(file);
}

void DefaultScenarioMnuClick(QObject* /*sender*/) {
    MainServices& window = TheMainServices();
    // The menu item may have toggled its own mark when clicked; only a default scenario that is
    // set leaves it checked.
    window.SetChecked(QStringLiteral("DefaultScenarioMnu"), false);
    if (!RegReadString(kProductKey, kDefaultScenario).isEmpty()) {
        RegWriteString(kProductKey, kDefaultScenario, QString());
        return;
    }
    QString file;
    if (TheUi().OpenScenarioDialog(Caption(Msg::OPEN_SCENARIO_TITLE_CHOOSE), LastSaveFolder(),
                                   &file) != ID_OK ||
        file.isEmpty())
        return;
    RecordList<ItemSet> records;
    if (!ReadScenarioFile(records, file, nullptr, false, kAllBits, kAllBits, QString()))
        return;
    RegWriteString(kProductKey, kDefaultScenario, file);
    window.SetChecked(QStringLiteral("DefaultScenarioMnu"), true);
}

FileMenuRecentState File1Click(QObject* /*sender*/,
                               const std::function<int(const QString&)>& textWidth) {
    FileMenuRecentState state;
    if (App().Busy) {
        state.Cancelled = true;
        return state;
    }
    const QStringList recent = ReadKeyList(kRecentScenariosKey);
    if (TheMainServices().MainPageIndex() != 1 || recent.isEmpty())
        return state;
    state.ShowSeparators = true;
    for (int i = 0; i < recent.size() && i < kMaxRecentScenarios; ++i)
        state.Items.append({QLatin1Char('&') + QString::number(i + 1) + QLatin1Char(' ') +
                                ShortenScenarioPath(recent[i], kRecentCaptionWidth, textWidth),
                            QLatin1Char('|') + recent[i], i});
    return state;
}

QString ShortenScenarioPath(const QString& path, int maxWidth,
                            const std::function<int(const QString&)>& textWidth) {
    const int nameStart = path.lastIndexOf(QLatin1Char('\\')) + 1;
    const QString name = path.mid(nameStart);
    QString folder = path.left(nameStart);
    QString drive;
    if (folder.size() >= 2 && folder[1] == QLatin1Char(':')) {
        drive = folder.left(2);
        folder.remove(0, 2);
    }
    QString shown = path;
    while ((!folder.isEmpty() || !drive.isEmpty()) && textWidth(shown) > maxWidth) {
        if (folder == QStringLiteral("\\...\\")) {
            drive.clear();
            folder = QStringLiteral("...\\");
        } else if (folder.isEmpty()) {
            drive.clear();
        } else {
            folder = CutFirstFolder(folder);
        }
        shown = drive + folder + name;
    }
    return shown;
}

} // namespace qv
