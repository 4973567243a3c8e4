#include "catalogue/listrefresh.h"

#include "catalogue/cacherebuild.h"
#include "catalogue/consistreader.h"
#include "catalogue/itemfiles.h"
#include "catalogue/namedlists.h"
#include "catalogue/pathreader.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/status.h"
#include "core/storeini.h"
#include "platform/terminate.h"

#include <algorithm>
#include <optional>

namespace qv {

namespace {

// Support texts name the place an empty list id has always been reported from.
constexpr const char* kListProcessModule = "ListProcess";
constexpr int kEmptyConsistListIdLine = 1466;
constexpr int kEmptyPathListIdLine = 1553;

// An empty list id is a fault of the caller that nothing can go on from.
bool ListIdMissing(const QString& listId, int line) {
    if (!listId.isEmpty())
        return false;
    Report(RL_ERROR, nullptr, UnexpectedText(kListProcessModule, line), nullptr);
    TerminateProgram(1);
    return true;
}

} // namespace

Msg ListHeadingCaption(std::uint32_t kind) {
    switch (kind) {
    case PT_EXPLORE_CONSIST:
        return Msg::TREE_HEADING_EXPCON;
    case PT_MAINT_CONSIST:
        return Msg::TREE_HEADING_MAINTCON;
    case PT_MAINT_STOCK:
        return Msg::TREE_HEADING_MAINTSTK;
    case PT_EXPLORE_PATH:
        return Msg::TREE_HEADING_EXPPATH;
    default:
        return Msg::TREE_HEADING_MAINTPATH;
    }
}

// The first-only mark means "this record stands for the rest of its list". It is a bit, set or
// cleared, never added: adding it to a record that already carries it (a list file written from
// a tree that held the placeholder) would turn it into the working mark 0x100000 instead.
void SetFirstOnlyMark(RecordList<ItemSet>& members, std::size_t start, bool firstOnly) {
    for (std::size_t i = start; i < members.size(); ++i) {
        if (!members[i])
            continue;
        if (firstOnly && i == start)
            members[i]->PType |= PT_FIRST_ONLY;
        else
            members[i]->PType &= ~PT_FIRST_ONLY;
    }
}

namespace {

void ReportNotFound(const ItemSet& member, Msg kindLabel, StringList* notFound) {
    if (!notFound)
        return;
    Report(RL_ERROR, &member, Caption(kindLabel) + u' ' + Caption(Msg::GENERAL_NOT_FOUND0),
           TheMainServices().InformationMemo());
    notFound->Add(member.FileName);
}

void ShowLoading(std::uint32_t kind, const ItemSet& member) {
    SetStatusDetail(Caption(Msg::STATUS_TEXT_LOADING) + u' ' + ItemKindName(kind) +
                    QStringLiteral(" '") + member.Description + u'\'');
}

void PackAndSort(RecordList<ItemSet>& members) {
    std::erase_if(members, [](const std::unique_ptr<ItemSet>& m) { return !m; });
    SortItemList(members);
}

bool IsPathListKind(std::uint32_t kind) {
    return kind == PT_EXPLORE_PATH || kind == PT_MAINT_PATH;
}

QString RefreshStatusCode(std::uint32_t kind) {
    if (IsPathListKind(kind))
        return QStringLiteral("GTSTMTPATH");
    if (kind == PT_MAINT_STOCK)
        return QStringLiteral("GTSTMTSTK");
    return QStringLiteral("GTSTCON");
}

// A cache the caller handed over, or one opened for this call and closed when it ends.
class CacheUse {
public:
    CacheUse(StoreIniHolder* given, const char* name) : cache_(given) {
        if (!cache_) {
            owned_ = OpenStoreIni(CacheFileName(QLatin1String(name)));
            cache_ = owned_.get();
        }
    }
    ~CacheUse() {
        if (owned_)
            CloseStoreIni(std::move(owned_));
    }
    CacheUse(const CacheUse&) = delete;
    CacheUse& operator=(const CacheUse&) = delete;
    StoreIniHolder& operator*() const { return *cache_; }

private:
    StoreIniHolder* cache_;
    std::unique_ptr<StoreIniHolder> owned_;
};

// Reads the members of one list afresh (first only with list nodes), as the kind requires.
void RefreshMembers(RecordList<ItemSet>& members, std::uint32_t kind, const QString& folder,
                    const QString& listId, bool firstOnly, StoreIniHolder* pathCache,
                    StoreIniHolder* stockCache, StoreIniHolder* consistCache) {
    if (IsPathListKind(kind)) {
        CacheUse paths(pathCache, "CACHEPAT");
        RefreshPathList(members, folder, listId, nullptr, false, firstOnly, *paths, kind);
        return;
    }
    CacheUse stock(stockCache, "CACHESTK");
    if (kind == PT_MAINT_STOCK) {
        RefreshStockList(members, folder, listId, nullptr, false, firstOnly, *stock, kind);
        return;
    }
    CacheUse consists(consistCache, "CACHECON");
    RefreshConsistList(members, folder, listId, nullptr, false, firstOnly, *stock, *consists, kind);
}

} // namespace

bool IsGlobalListScope(const QString& folder) {
    return folder.compare(QLatin1String("TRAINS\\CONSISTS"), Qt::CaseInsensitive) == 0 ||
           folder.compare(QLatin1String("TRAINS\\TRAINSET"), Qt::CaseInsensitive) == 0;
}

namespace {

// The walk both list refreshes share: read the list file, drop members of another kind, look each
// member up in the store first and then in the MSTS folder (`find` reads it from one root and fills
// its record), and report the members found in neither.
template <class Find>
bool RefreshListMembers(RecordList<ItemSet>& members, const QString& folder, const QString& listId,
                        StringList* notFound, bool append, bool firstOnly, std::uint32_t kind,
                        Msg kindLabel, Find find) {
    const std::size_t start = append ? members.size() : 0;
    ReadItemListFile(members, ItemDataFolder(folder) + listId, 3, firstOnly, folder);
    SetFirstOnlyMark(members, start, firstOnly);

    bool allFound = true;
    for (std::size_t i = start; i < members.size(); ++i) {
        ItemSet* member = members[i].get();
        if (!member)
            continue;
        member->StoreInd = SI_HEADING;
        if (!(member->PType & kind)) {
            members[i].reset();
            continue;
        }
        if (find(*member, App().StoreRootFolder))
            member->StoreInd = SI_IN_STORE;
        else if (find(*member, App().MstsRootFolder))
            member->StoreInd = SI_IN_USE;
        if (member->StoreInd == SI_HEADING) {
            ReportNotFound(*member, kindLabel, notFound);
            allFound = false;
            continue;
        }
        ShowLoading(kind, *member);
    }
    PackAndSort(members);
    return allFound;
}

} // namespace

bool RefreshConsistList(RecordList<ItemSet>& members, const QString& folder, const QString& listId,
                        StringList* notFound, bool append, bool firstOnly,
                        StoreIniHolder& stockCache, StoreIniHolder& consistCache,
                        std::uint32_t kind) {
    if (ListIdMissing(listId, kEmptyConsistListIdLine))
        return false;
    return RefreshListMembers(
        members, folder, listId, notFound, append, firstOnly, kind, Msg::TYPE_CONSIST_LEG,
        [&](ItemSet& member, const QString& root) {
            ConsistInfo info;
            if (!ReadConsistFile(root, member, info, consistCache, stockCache, nullptr))
                return false;
            member.Description = info.Description;
            member.EngineName = info.EngineName;
            member.LotNumber = info.LotNumber;
            return true;
        });
}

bool RefreshPathList(RecordList<ItemSet>& members, const QString& folder, const QString& listId,
                     StringList* notFound, bool append, bool firstOnly, StoreIniHolder& pathCache,
                     std::uint32_t kind) {
    if (ListIdMissing(listId, kEmptyPathListIdLine))
        return false;
    return RefreshListMembers(members, folder, listId, notFound, append, firstOnly, kind,
                              Msg::TYPE_PATH_LEG, [&](ItemSet& member, const QString& root) {
                                  PathInfo path;
                                  path.Folder = member.Folder + QStringLiteral("\\Paths");
                                  path.FileName = member.FileName;
                                  if (!ReadPathFile(root, path, pathCache))
                                      return false;
                                  member.Folder = path.Folder;
                                  member.Description = path.Name;
                                  return true;
                              });
}

void AddListNode(RecordList<ItemSet>& list, std::uint32_t kind, const QString& folder,
                 bool withListNodes, StoreIniHolder* pathCache, StoreIniHolder* stockCache,
                 StoreIniHolder* consistCache, int index, const StringList& lists) {
    const int base = IsGlobalListScope(folder) ? 0 : 1;
    const bool several = lists.Count() >= 2;
    const bool hasEntry = index >= 0 && index < lists.Count();

    QString listId;
    int state = SI_HEADING;
    QString listName;
    RecordList<ItemSet> members;
    if (hasEntry) {
        listId = lists.Names(index);
        const QString value = lists.ValueFromIndex(index);
        state = ListValueState(value);
        listName = ListValueText(value);
        StatusGuard status(RefreshStatusCode(kind));
        RefreshMembers(members, kind, folder, listId, withListNodes, pathCache, stockCache,
                       consistCache);
    }

    if (withListNodes) {
        ItemSet heading;
        heading.PLevel = base + 1;
        heading.PType = kind | PT_HEADING;
        heading.StoreInd = lists.Count() == 1 ? state : SI_HEADING;
        heading.Description = Caption(ListHeadingCaption(kind));
        heading.Folder = folder;
        heading.FileName = lists.Count() == 1 ? listId : QString();
        if (index == 0)
            list.push_back(std::make_unique<ItemSet>(heading));
        if (several && hasEntry) {
            auto node = std::make_unique<ItemSet>(heading);
            node->PLevel = heading.PLevel + 1;
            node->StoreInd = state;
            node->Description = listName;
            node->FileName = listId;
            list.push_back(std::move(node));
        }
    }

    const int memberLevel = base + 2 + (several ? 1 : 0);
    for (const auto& member : members) {
        if (!member)
            continue;
        auto copy = std::make_unique<ItemSet>(*member);
        copy->PLevel = memberLevel;
        if (withListNodes)
            copy->PType |= PT_FIRST_ONLY; // whichever refresh read it, it stands for the rest
        list.push_back(std::move(copy));
    }
}

} // namespace qv
