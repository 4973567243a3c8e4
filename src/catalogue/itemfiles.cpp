#include "catalogue/itemfiles.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/status.h"
#include "core/storeini.h"
#include "platform/clock.h"
#include "platform/keptfolders.h"
#include "platform/ui.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

namespace qv {

namespace {

const QString kInfoSection = QStringLiteral("QUARVEL_INFORMATION");
const QString kVersionKey = QStringLiteral("Version");
const QString kExploreSection = QStringLiteral("Explore Mode Activity");
constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;

void ReportDeleteFailure(const QString& fileName, int error) {
    ShowStop(Caption(Msg::ERROR_LEG) + QStringLiteral(": ") +
             Caption(Msg::STATUS_TEXT_DELETING_FILE) + QStringLiteral(" '") + fileName +
             QLatin1Char('\'') + ErrorNumberSuffix(error));
}

bool IsInfoSection(const QString& section) {
    return section.compare(kInfoSection, Qt::CaseInsensitive) == 0;
}

// The version test of scenario and list files; a refused file is reported and left untouched.
bool VersionAccepted(const IniFile& ini, const QString& fileName) {
    if (IsAcceptedVersion(ini.ReadString(kInfoSection, kVersionKey, QString())) != 0)
        return true;
    ShowStop(Caption(Msg::INVALID_QVS_FILE) + Caption(Msg::GENERAL_NOT_FOUND3) + fileName +
             QLatin1Char('\''));
    return false;
}

// Loads a scenario or list file for reading. False when it is missing (silently), cannot be read
// or its version is refused (both reported).
bool LoadAcceptedFile(const QString& fileName, IniFile& ini) {
    int error = 0;
    switch (LoadIniFileStatus(fileName, &ini, &error)) {
    case IniFile::LoadStatus::Missing:
        return false;
    case IniFile::LoadStatus::Unreadable:
        ReportUnreadable(fileName, error);
        return false;
    case IniFile::LoadStatus::Loaded:
        break;
    }
    return VersionAccepted(ini, fileName);
}

bool PassesMasks(std::uint32_t pType, std::uint32_t excludeMask, std::uint32_t includeMask) {
    return (includeMask == kAllBits || (pType & includeMask) != 0) &&
           (excludeMask == kAllBits || (pType & excludeMask) == 0);
}

// The filter of a prefixed read. It looks at the record's Folder, never at the name of the
// section it came from, so that files written under any section-naming scheme read alike.
bool PassesFilter(const ItemSet& item, const QString& folderPrefix, std::uint32_t excludeMask,
                  std::uint32_t includeMask) {
    return folderPrefix.isEmpty() || (CompareText(item.Folder, folderPrefix) == 0 &&
                                      PassesMasks(item.PType, excludeMask, includeMask));
}

// The working mark only means something while two lists are compared on screen.
int StoredPType(std::uint32_t pType) {
    return int(pType & ~PT_IN_OTHER_LIST);
}

// A scenario section is named by the record's folder, a bar and its place in the list. The old
// form, the folder directly followed by the place, let "ROUTES\USA1" at 5 and "ROUTES\USA" at 15
// share one section; with the bar two names can only be equal when their places are, since the
// place (digits only) is what follows the last bar.
QString ScenarioSectionName(const QString& folder, int position) {
    return folder + QLatin1Char('|') + QString::number(position);
}

std::unique_ptr<ItemSet> ReadScenarioItem(const IniFile& ini, const QString& section) {
    auto item = std::make_unique<ItemSet>();
    item->PLevel = ini.ReadInteger(section, QStringLiteral("PLevel"), -1);
    item->PType = std::uint32_t(ini.ReadInteger(section, QStringLiteral("PType"), -1));
    item->StoreInd = ini.ReadInteger(section, QStringLiteral("StoreInd"), -1);
    item->Description = ini.ReadString(section, QStringLiteral("Description"), QString());
    item->Folder = ini.ReadString(section, QStringLiteral("Folder"), QString());
    item->FileName = ini.ReadString(section, QStringLiteral("FileName"), QString());
    return item;
}

void ShowItemStatus(Msg label, const QString& description) {
    SetStatusDetail(Caption(label) + QLatin1Char(' ') + description);
}

bool SaveAndReport(const QString& fileName, const QByteArray& content) {
    int error = 0;
    const QString folder = fileName.left(fileName.lastIndexOf(QLatin1Char('\\')));
    if (ForceFolders(folder, &error) && WriteFileAtomic(fileName, content, &error))
        return true;
    ReportWriteFailure(fileName, error);
    return false;
}

QString RouteRegisterName(const RouteInfo& route) {
    const QString folderName = route.Folder.mid(route.Folder.lastIndexOf(QLatin1Char('\\')) + 1);
    return folderName + QStringLiteral("\\ROUTE.QVC");
}

} // namespace

QString ListFileCopyName(const QString& fileName) {
    const qsizetype cut = fileName.lastIndexOf(QLatin1Char('\\')) + 1;
    return fileName.left(cut) + QStringLiteral(".qv-list-") + fileName.mid(cut) +
           QStringLiteral(".old");
}

void SettleListFileCopy(const QString& fileName) {
    // Only a file under the exact name a commit gives its copy is one: a name alike but for
    // letter case is the user's, and so is a "<list>.old" made by hand. The copy in a data
    // folder that a link leads out of the two folders through is another installation's.
    const QString copy = ListFileCopyName(fileName);
    const QString name = LastPathComponent(copy);
    QString host;
    if (!ResolvePath(copy, &host) || !host.endsWith(QLatin1Char('/') + name) || !FileExists(copy) ||
        KeptFolderCheck().LeadsOut(copy))
        return;
    if (FileExists(fileName))
        DeleteFile(copy);
    else
        RenameNoReplace(copy, fileName);
}

bool ReadItemListFile(RecordList<ItemSet>& list, const QString& fileName, int level, bool firstOnly,
                      const QString& folder) {
    SettleListFileCopy(fileName);
    IniFile ini;
    if (!LoadAcceptedFile(fileName, ini))
        return false;
    StatusGuard status(QStringLiteral("ITEMSET"));
    for (const QString& section : ini.ReadSections()) {
        if (IsInfoSection(section))
            continue;
        auto item = std::make_unique<ItemSet>();
        item->PLevel = level;
        item->PType = std::uint32_t(ini.ReadInteger(section, QStringLiteral("PType"), -1));
        item->StoreInd = SI_PLACE_UNKNOWN;
        item->Description = ini.ReadString(section, QStringLiteral("Description"), QString());
        item->Folder = folder;
        item->FileName = section;
        ShowItemStatus(Msg::STATUS_TEXT_LOADING, item->Description);
        // Set as a bit: a member read with every bit set must not wrap round to other kinds.
        if (firstOnly)
            item->PType |= PT_FIRST_ONLY;
        list.push_back(std::move(item));
        if (firstOnly)
            break;
    }
    return true;
}

bool ReadScenarioFile(RecordList<ItemSet>& list, const QString& fileName,
                      const RecordList<ItemSet>* source, bool firstOnly, std::uint32_t excludeMask,
                      std::uint32_t includeMask, const QString& folderPrefix) {
    if (source) {
        for (const auto& record : *source) {
            if (!record || !PassesFilter(*record, folderPrefix, excludeMask, includeMask))
                continue;
            auto copy = std::make_unique<ItemSet>();
            CopyItemSet(*record, *copy);
            list.push_back(std::move(copy));
        }
        return true;
    }

    IniFile ini;
    if (!LoadAcceptedFile(fileName, ini))
        return false;
    StatusGuard status(QStringLiteral("ITEMSET"));
    for (const QString& section : ini.ReadSections()) {
        if (IsInfoSection(section))
            continue;
        auto item = ReadScenarioItem(ini, section);
        if (!PassesFilter(*item, folderPrefix, excludeMask, includeMask))
            continue;
        ShowItemStatus(Msg::STATUS_TEXT_LOADING, item->Description);
        if (firstOnly)
            item->PType |= PT_FIRST_ONLY;
        list.push_back(std::move(item));
        if (firstOnly)
            break;
    }
    return true;
}

bool WriteScenarioFile(const RecordList<ItemSet>& list, const QString& fileName) {
    IniFile ini;
    {
        StatusGuard status(QStringLiteral("ITEMSET"));
        int position = 0;
        for (const auto& item : list) {
            if (!item)
                continue;
            const QString section = ScenarioSectionName(item->Folder, position++);
            ini.WriteInteger(section, QStringLiteral("PLevel"), item->PLevel);
            ini.WriteInteger(section, QStringLiteral("PType"), StoredPType(item->PType));
            ini.WriteInteger(section, QStringLiteral("StoreInd"), item->StoreInd);
            ini.WriteString(section, QStringLiteral("Description"), item->Description);
            ini.WriteString(section, QStringLiteral("Folder"), item->Folder);
            ini.WriteString(section, QStringLiteral("FileName"), item->FileName);
            ShowItemStatus(Msg::STATUS_TEXT_SAVING, item->Description);
        }
    }
    ini.WriteString(kInfoSection, kVersionKey, App().StoreDataVersion);
    int error = 0;
    if (SaveIniFile(fileName, ini, &error))
        return true;
    ReportWriteFailure(fileName, error);
    return false;
}

bool ItemListFileContent(const QString& fileName, const RecordList<ItemSet>& list,
                         QByteArray* content, bool* exists) {
    SettleListFileCopy(fileName);
    IniFile old;
    int error = 0;
    const IniFile::LoadStatus found = LoadIniFileStatus(fileName, &old, &error);
    if (found == IniFile::LoadStatus::Unreadable) {
        ReportUnreadable(fileName, error);
        return false;
    }
    if (found == IniFile::LoadStatus::Loaded && !VersionAccepted(old, fileName))
        return false;
    *exists = found == IniFile::LoadStatus::Loaded;

    IniFile ini;
    bool anyMember = false;
    // The status bar's "Saving ..." goes with the status when the list is made.
    StatusGuard status(QStringLiteral("ITEMSET"));
    for (const auto& member : list) {
        if (!member)
            continue;
        anyMember = true;
        ini.WriteInteger(member->FileName, QStringLiteral("PType"), StoredPType(member->PType));
        ini.WriteString(member->FileName, QStringLiteral("Description"), member->Description);
        ShowItemStatus(Msg::STATUS_TEXT_SAVING, member->Description);
    }
    content->clear();
    if (anyMember) {
        ini.WriteString(kInfoSection, kVersionKey, App().StoreDataVersion);
        *content = ini.ToBytes();
    }
    return true;
}

bool WriteItemListFile(const QString& folder, const QString& listId,
                       const RecordList<ItemSet>& list) {
    const QString fileName = ItemDataFolder(folder) + listId;
    QByteArray content;
    bool exists = false;
    if (!ItemListFileContent(fileName, list, &content, &exists))
        return false;
    if (!content.isEmpty())
        return SaveAndReport(fileName, content);
    // A list without members has no file.
    int error = 0;
    if (!exists || DeleteFile(fileName, &error))
        return true;
    ReportDeleteFailure(fileName, error);
    return false;
}

bool SaveScenario(const ItemTree& tree, const QString& fileName, RecordList<ItemSet>* out) {
    TheMainServices().SetStatusText(1, QString());
    StatusGuard status(QStringLiteral("SCEN"));
    RecordList<ItemSet> kept;
    for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if ((item.PType & (PT_GLOBAL | PT_ROUTE | PT_ACTIVITY)) == 0)
            continue;
        if (out) {
            out->push_back(std::make_unique<ItemSet>());
            CopyItemSet(item, *out->back());
        }
        if (!fileName.isEmpty()) {
            kept.push_back(std::make_unique<ItemSet>());
            CopyItemSet(item, *kept.back());
        }
        SetStatusDetail(Caption(Msg::STATUS_TEXT_SAVING_GLOBAL_SETTING) + QLatin1Char('\'') +
                        item.Description + QLatin1Char('\''));
    }
    return fileName.isEmpty() || WriteScenarioFile(kept, fileName);
}

void ReadExploreActivitySetup(RouteInfo& route) {
    auto holder = OpenStoreIni(RouteRegisterName(route));
    route.ExploreFileName =
        holder->Ini.ReadString(kExploreSection, QStringLiteral("FileName"), QString());
    route.ExploreSetupDate =
        holder->Ini.ReadInteger(kExploreSection, QStringLiteral("SetupDate"), -1);
    CloseStoreIni(std::move(holder));
}

bool WriteExploreActivitySetup(RouteInfo& route) {
    // Closing the register creates the route's QVDATA folder when it is missing.
    auto holder = OpenStoreIni(RouteRegisterName(route));
    route.ExploreSetupDate = PackDosDateTime(TheClock().Now());
    holder->Ini.WriteString(kExploreSection, QStringLiteral("FileName"), route.ExploreFileName);
    holder->Ini.WriteInteger(kExploreSection, QStringLiteral("SetupDate"), route.ExploreSetupDate);
    holder->Modified = true;
    return CloseStoreIni(std::move(holder));
}

} // namespace qv
