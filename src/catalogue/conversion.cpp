#include "catalogue/conversion.h"

#include "catalogue/itemfiles.h"
#include "catalogue/routefolders.h"
#include "core/appstate.h"
#include "core/filemove.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/stringlist.h"
#include "platform/terminate.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <cstdint>

namespace qv {

namespace {

constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;

struct OldListFile {
    const char* name;
    Msg kind; // the caption naming the kind of list while it is converted
};

const OldListFile kOldListFiles[] = {
    {"CONSISTS.QVC", Msg::EXPLMAINTCONSISTSTOCK_LBL_SIM},
    {"MAINTCON.QVC", Msg::EXPLMAINTCONSISTSTOCK_LBL_MAINT_CONS},
    {"MAINTSTK.QVC", Msg::EXPLMAINTCONSISTSTOCK_LBL_MAINT_STOCK},
};

// The folder under which an old file kept the members of the global scope; empty for a name that
// is not one of the old files.
QString GlobalFolder(const QString& fileName) {
    const QString upper = fileName.toUpper();
    if (upper == u"CONSISTS.QVC" || upper == u"MAINTCON.QVC")
        return QStringLiteral("TRAINS\\CONSISTS");
    if (upper == u"MAINTSTK.QVC")
        return QStringLiteral("TRAINS\\TRAINSET");
    return QString();
}

QString BackupName(const QString& fileName) {
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return (dot < 0 ? fileName : fileName.left(dot)) + QStringLiteral(".BAK");
}

// Writes the members that the old file holds for one scope (those whose Folder is the scope's
// folder exactly, so that route AB never lends its members to route A) as the scope's list file.
void WriteScope(const RecordList<ItemSet>& oldMembers, const QString& folder,
                const QString& fileName) {
    RecordList<ItemSet> members;
    ReadScenarioFile(members, kNoScenarioFile, &oldMembers, false, kAllBits, kAllBits, folder);
    if (!members.empty())
        WriteItemListFile(folder, fileName, members);
}

} // namespace

bool ConvertStore(ConversionProgress& progress) {
    const QString dataFolder = App().StoreRootFolder + QStringLiteral("\\QVDATA");
    int error = 0;
    // Without QVDATA nothing converted could be kept; the old files stay as they are, and the
    // missing folder makes the next start try again.
    if (!ForceFolders(dataFolder, &error)) {
        TheUi().MessageBox(Caption(Msg::WRITE_ERROR) + dataFolder + QStringLiteral("' : [") +
                               QString::number(error) + QLatin1Char(']'),
                           App().ProgramTitle, MB_ICONSTOP);
        return false;
    }
    int position = 0;
    progress.SetPosition(position);
    position += 10;
    progress.SetPosition(position);
    for (const OldListFile& file : kOldListFiles) {
        progress.ShowDescription(Caption(Msg::CONVERTING) + QLatin1Char(' ') + Caption(file.kind) +
                                 QStringLiteral("\n\n") + Caption(Msg::PLEASE_WAIT));
        ConvertListFile(QLatin1String(file.name));
        position += 30;
        progress.SetPosition(position);
    }
    return true;
}

void ConvertListFile(const QString& fileName) {
    const QString globalFolder = GlobalFolder(fileName);
    if (globalFolder.isEmpty()) {
        TheUi().MessageBox(QStringLiteral("Conversion: ") + fileName +
                               Caption(Msg::MOVETHING_ERROR12),
                           App().ProgramTitle, MB_ICONSTOP);
        TerminateProgram(1);
        return;
    }
    const QString oldPath = App().StoreRootFolder + QLatin1Char('\\') + fileName;
    if (!FileExists(oldPath))
        return;

    StringList routes = StringList::SortedUnique();
    ListRouteFolders(routes, App().MstsRootFolder, QString());
    ListRouteFolders(routes, App().StoreRootFolder, QString());

    // The file is read, and its version judged, once; each scope then takes its own members.
    // A refused file is reported by the reader and converts to nothing.
    RecordList<ItemSet> oldMembers;
    if (ReadScenarioFile(oldMembers, oldPath, nullptr, false, kAllBits, kAllBits, QString())) {
        WriteScope(oldMembers, globalFolder, fileName);
        for (int i = 0; i < routes.Count(); ++i)
            WriteScope(oldMembers, QStringLiteral("Routes\\") + routes[i], fileName);
    }
    RenameWithWait(oldPath, App().StoreRootFolder + QLatin1Char('\\') + BackupName(fileName));
}

} // namespace qv
