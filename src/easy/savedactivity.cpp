#include "easy/savedactivity.h"

#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/filefind.h"
#include "core/filemove.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/stringlist.h"
#include "easy/explorestate.h"
#include "platform/clock.h"
#include "platform/keptfolders.h"
#include "platform/mstsfile.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QFile>
#include <cmath>

namespace qv {

namespace {

constexpr qint64 kMsPerDay = 86400000;

// "Last Close" holds a day number counted from 30 Dec 1899, the time of day as its fraction, in
// local time. Either decimal separator is accepted. An empty or unreadable value counts as now.
QDateTime LastCloseTime() {
    const QString text = RegReadString(kProductKey, QStringLiteral("Last Close")).trimmed();
    bool ok = false;
    const double days = QString(text).replace(u',', u'.').toDouble(&ok);
    if (text.isEmpty() || !ok || !std::isfinite(days) || std::fabs(days) > 3.0e6)
        return TheClock().Now();
    QDate date = QDate(1899, 12, 30).addDays(qint64(std::trunc(days)));
    qint64 ms = std::llround(std::fabs(days - std::trunc(days)) * double(kMsPerDay));
    if (ms >= kMsPerDay) {
        date = date.addDays(1);
        ms -= kMsPerDay;
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
}

// A save file that warrants the question: newer than the last close and not one of our own
// Explore sessions, whose restart does not depend on the scenario.
bool SavedAfter(const QString& file, const QDateTime& reference) {
    if (LastPathComponent(file).startsWith(kExploreTempPrefix, Qt::CaseInsensitive))
        return false;
    const QDateTime written = UnpackDosDateTime(FileAge(file));
    return written.isValid() && written > reference;
}

// A folder that a link on its way leads out of the two folders belongs to another installation:
// the delete leaves its files alone, as the moves leave them.
void DeleteExploreFiles(const QString& routeFolder) {
    for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder}) {
        const QString activities = root + u'\\' + routeFolder + QStringLiteral("\\Activities");
        const QString services = root + u'\\' + routeFolder + QStringLiteral("\\Services");
        StringList files;
        FindFiles(files, activities, false, activities,
                  kExploreTempPrefix + QStringLiteral("*.act"));
        FindFiles(files, services, false, services, kExploreTempPrefix + QStringLiteral("*.srv"));
        for (int i = 0; i < files.Count(); ++i)
            DeleteFile(files[i]);
        DeleteFile(activities + u'\\' + kExplorerMarker);
    }
}

// Overwrites bytes of an existing file in place; refuses to write past its end, which would only
// add junk behind the activity, and a file that a link leads to outside the two folders.
bool OverwriteInPlace(const QString& file, qint64 position, const QByteArray& bytes) {
    QString host;
    if (!ResolvePath(file, &host) || KeptFolderCheck().LeadsOut(file))
        return false;
    QFile out(host);
    if (!out.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    if (position < 0 || position + bytes.size() > out.size() || !out.seek(position))
        return false;
    return out.write(bytes) == bytes.size() && out.flush();
}

} // namespace

void SavedActivityCheck(const std::function<void()>& saveScenario) {
    if (!RegReadString(kProductKey, QStringLiteral("Last Close Scenario")).isEmpty() ||
        ReadFlag(QStringLiteral("Suppress Activity Saved Warning")))
        return;
    const QString savesRoot = App().MstsRootFolder + QStringLiteral("\\SAVES");
    StringList folders;
    FindFiles(folders, savesRoot, true, savesRoot, QStringLiteral("*.*"));
    StringList files;
    for (int i = 0; i < folders.Count(); ++i)
        FindFiles(files, folders[i], false, folders[i], QStringLiteral("*.SAV"));

    const QDateTime reference = LastCloseTime();
    for (int i = 0; i < files.Count(); ++i) {
        if (!SavedAfter(files[i], reference))
            continue;
        const int answer =
            TheUi().MessageBox(Caption(Msg::ACTIVITY_SAVED1) + Caption(Msg::ACTIVITY_SAVED2),
                               App().ProgramTitle, MB_YESNO | MB_ICONQUESTION);
        if (answer != ID_YES)
            return;
        MainServices& main = TheMainServices();
        const ItemTree* tree = main.QuarvelObjects();
        if (!tree || tree->RootCount() == 0)
            main.LoadTree(QString(), nullptr, -1);
        if (saveScenario)
            saveScenario();
        return;
    }
}

void CleanExploreTemp(const QString& routeFolder, QStringList* names) {
    if (names) {
        const qsizetype removed = names->removeIf([](const QString& name) {
            return name.startsWith(kExploreTempPrefix, Qt::CaseInsensitive) ||
                   name.compare(kExplorerMarker, Qt::CaseInsensitive) == 0;
        });
        if (removed == 0)
            return;
    }
    DeleteExploreFiles(routeFolder);
}

int CheckExplorerActivity(int mode, qint64 /*processId*/, WindowHandle /*window*/) {
    switch (mode) {
    case 0:
        return 0;
    case 1: {
        const ExploreState& state = Explore();
        // Without a source activity there is no session to watch, and nothing to patch.
        const ItemSet* source =
            state.ExploreSourceActivity ? &*state.ExploreSourceActivity : nullptr;
        if (!source)
            return 0;
        if (FileExists(App().MstsRootFolder + u'\\' + source->Folder + u'\\' + kExplorerMarker))
            return 1;
        PatchSavedExploreMode(*source, QString::number(state.CurrentExploreRecord.SaveNumber),
                              state.ExploreModeLinePosition, state.ExploreModeLineText);
        return 0;
    }
    default:
        TheUi().MessageBox(UnexpectedText(__FILE__, __LINE__, QString::number(mode)),
                           App().ProgramTitle, MB_ICONSTOP);
        return 0;
    }
}

bool PatchSavedExploreMode(const ItemSet& activity, const QString& numberText,
                           std::int32_t position, const QString& line) {
    // The source may be named by a scenario file: nothing outside the MSTS folder is patched.
    const QString inside = NameInside(activity.Folder, activity.FileName);
    if (inside.isEmpty())
        return false;
    const QString folder = App().MstsRootFolder + u'\\' + ParentPath(inside);
    if (!OverwriteInPlace(folder + u'\\' + kExploreTempPrefix + numberText + QStringLiteral(".act"),
                          position, EncodeUtf16Le(line)))
        return false;
    const QString relative = u'\\' + inside;
    // The generation has normally stored the source already; moving it again would only report
    // a missing file after every session.
    if (!FileExists(App().MstsRootFolder + relative))
        return true;
    return MoveEntry(App().MstsRootFolder + relative, App().StoreRootFolder + relative,
                     MOVE_RENAME);
}

} // namespace qv
