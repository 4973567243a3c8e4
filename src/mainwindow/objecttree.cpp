#include "mainwindow/objecttree.h"

#include "catalogue/itemtreelist.h"
#include "catalogue/listrefresh.h"
#include "catalogue/namedlists.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "core/storeini.h"
#include "easy/marking.h"
#include "platform/ui.h"

#include <optional>

namespace qv {

namespace {

const QString kLastNodeFolder = QStringLiteral("Last Node Folder");
const QString kLastNodeFileName = QStringLiteral("Last Node FileName");
const QString kLastNodePType = QStringLiteral("Last Node PType");

void CollapseWithDescendants(ItemNode* node) {
    node->SetExpanded(false);
    for (int i = 0; i < node->ChildCount(); ++i)
        CollapseWithDescendants(node->Child(i));
}

// The node's position when the tree is walked in order from its first node.
int AbsoluteIndex(const ItemTree& tree, const ItemNode* target) {
    int index = 0;
    for (const ItemNode* node = tree.First(); node && node != target; node = node->GetNext())
        ++index;
    return index;
}

// The three caches a list expansion reads through, open for the whole expansion.
struct ListCaches {
    std::unique_ptr<StoreIniHolder> stock = OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    std::unique_ptr<StoreIniHolder> consist =
        OpenStoreIni(CacheFileName(QStringLiteral("CACHECON")));
    std::unique_ptr<StoreIniHolder> path = OpenStoreIni(CacheFileName(QStringLiteral("CACHEPAT")));
    ~ListCaches() {
        CloseStoreIni(std::move(stock));
        CloseStoreIni(std::move(consist));
        CloseStoreIni(std::move(path));
    }
};

// A heading whose first child is the placeholder standing for the list's entries.
bool IsUnopenedList(const ItemNode* node) {
    if (!node || !(node->Data()->PType & PT_HEADING))
        return false;
    const ItemNode* first = node->FirstChild();
    return first && (first->Data()->PType & PT_FIRST_ONLY);
}

void FillList(ItemNode* node, ListCaches& caches) {
    const ItemSet& record = *node->Data();
    const std::uint32_t kind = record.PType & PT_MASK_LIST_KINDS;
    node->DeleteChildren();

    const StringList lists = ReadRouteLists(record.Folder, kind, false);
    int position = -1;
    for (int i = 0; i < lists.Count() && position < 0; ++i) {
        if (CompareText(lists.Names(i), record.FileName) == 0)
            position = i;
    }
    if (position < 0)
        return; // the list is gone: the node stays empty

    RecordList<ItemSet> entries;
    AddListNode(entries, kind, record.Folder, false, caches.path.get(), caches.stock.get(),
                caches.consist.get(), position, lists);
    for (std::unique_ptr<ItemSet>& entry : entries) {
        if (entry)
            SetNodeImageByKind(node->AddChild(std::move(entry)), std::int32_t(kind));
    }
}

// Opens the node's children as a full expansion would reach them: the lists are filled first,
// and a node left without children stays closed.
void ExpandWholeTree(ItemTree& tree) {
    FillUnopenedLists(tree);
    for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
        if (node->ChildCount() > 0)
            node->SetExpanded(true);
    }
}

} // namespace

void LoadTree(ItemTree& tree, const QString& scenarioFile, RecordList<ItemSet>* items, int state) {
    MainServices& main = TheMainServices();
    AppState& app = App();
    RecordList<ItemSet> list;
    bool changed = false;
    if (!app.LoggingActive)
        ClearReport(main.InformationMemo());

    main.ShowHourglass(true);
    app.TreeClearing = true;
    // A view is told of the whole rebuild at once, when the tree is complete.
    tree.BeginUpdate();
    tree.Clear();
    PushStatus(QStringLiteral("TREE"));

    const int page = main.SimulationMaintPageIndex();
    if (scenarioFile.isEmpty() && !items && state == -1)
        BuildItemTree(list, page, true, true);
    else
        changed = BuildScenarioTree(list, scenarioFile, items, true, page);

    FillTreeFromItemList(tree, list);
    for (int i = 0; i < tree.RootCount(); ++i) {
        if (tree.Root(i)->ChildCount() > 0)
            tree.Root(i)->SetExpanded(true);
    }
    const bool modified = !scenarioFile.isEmpty() && changed;
    if (modified)
        ReapplyActivityMarks(tree);
    if (tree.RootCount() > 0 && ReadFlag(QStringLiteral("Expand List")))
        ExpandWholeTree(tree);

    list.clear(); // only empty places are left: the nodes own the records
    tree.SetSelected(tree.First());
    tree.EndUpdate();
    app.TreeClearing = false;

    if (modified) {
        app.ScenarioChanged = true;
        TheUi().MessageBox(Caption(Msg::SCENARIO_MODIFIED), app.ProgramTitle, MB_ICONINFORMATION);
    }
    main.ShowHourglass(false);
    PopStatus();
}

void ExpandNodeFromCaches(ItemNode* node) {
    if (!IsUnopenedList(node))
        return;
    ListCaches caches;
    FillList(node, caches);
}

void FillUnopenedLists(ItemTree& tree) {
    // The caches are read once for all the lists, and not at all when every list is open.
    std::optional<ListCaches> caches;
    for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
        if (IsUnopenedList(node))
            FillList(node, caches ? *caches : caches.emplace());
    }
}

void SetNodeImageByKind(ItemNode* node, std::int32_t kind) {
    if (!node)
        return;
    switch (std::uint32_t(kind)) {
    case PT_EXPLORE_CONSIST:
        node->StateIndex = 5;
        break;
    case PT_MAINT_CONSIST:
        node->StateIndex = 6;
        break;
    case PT_MAINT_STOCK:
        node->StateIndex = 8;
        break;
    case PT_EXPLORE_PATH:
        node->StateIndex = 9;
        break;
    case PT_MAINT_PATH:
        node->StateIndex = 10;
        break;
    default:
        node->StateIndex = -1;
        break;
    }
}

QString ObjectNodeText(const ItemNode& node) {
    const ItemSet& item = *node.Data();
    if (App().ViewByFileName && !(item.PType & PT_HEADING) && (item.PType & PT_MAINT_STOCK)) {
        const qsizetype cut = std::max(item.FileName.lastIndexOf(QLatin1Char('\\')),
                                       item.FileName.lastIndexOf(QLatin1Char(':')));
        return item.FileName.mid(cut + 1);
    }
    return ItemNodeText(item);
}

void RememberLastNode(const ItemTree& tree, AppState::TreeSelectionInfo& info, bool write) {
    if (const ItemNode* node = tree.Selected()) {
        const ItemSet& item = *node->Data();
        info.Folder = item.Folder;
        info.PType = std::int32_t(item.PType & PT_MASK_SELECTION_KIND);
        info.FileName = (item.PType & PT_ROUTE) ? item.FileName : QString();
    } else {
        info.Folder.clear();
        info.PType = 0;
    }
    if (!write)
        return;
    RegWriteString(kProductKey, kLastNodeFolder, info.Folder);
    RegWriteString(kProductKey, kLastNodeFileName, info.FileName);
    RegWriteString(kProductKey, kLastNodePType, QString::number(info.PType));
}

int ReselectLastNode(ItemTree& tree, const AppState::TreeSelectionInfo& info) {
    if (info.Folder.isEmpty())
        return 0;
    ItemNode* candidate = nullptr;
    for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (item.Folder != info.Folder)
            continue;
        if (!candidate || std::int32_t(item.PType & PT_MASK_SELECTION_KIND) == info.PType)
            candidate = node;
        if (item.FileName == info.FileName) {
            candidate = node;
            // The Easy page shows routes only: the hit stands for its route.
            if (TheMainServices().MainPageIndex() == 0) {
                while (candidate->Data()->PLevel > 1 && candidate->Parent())
                    candidate = candidate->Parent();
            }
            break;
        }
    }
    if (!candidate)
        return 0;
    tree.SetSelected(candidate);
    candidate->SetExpanded(false);
    return AbsoluteIndex(tree, candidate);
}

void ReapplyActivityMarks(ItemTree& tree) {
    for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (!(item.PType & PT_ACTIVITY) || (item.PType & PT_HEADING) || item.StoreInd != SI_IN_USE)
            continue;
        ItemNode* route = node->Parent() ? node->Parent()->Parent() : nullptr;
        if (!route || route->Data()->StoreInd != SI_IN_STORE)
            continue;
        tree.SetSelected(node);
        MarkSelectedNode(SI_IN_USE, false);
        CollapseWithDescendants(route);
    }
    tree.NotifyRecordsChanged();
}

} // namespace qv
