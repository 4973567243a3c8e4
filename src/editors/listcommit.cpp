#include "editors/listcommit.h"

#include "catalogue/itemfiles.h"
#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/status.h"
#include "core/storeini.h"
#include "editors/listeditormodel.h"
#include "editors/listeditorsupport.h"
#include "mainwindow/objecttree.h"
#include "platform/ui.h"

namespace qv {

namespace {

// Where a node that is no list has always been reported from.
constexpr const char* kListEditorModule = "ListEditorCommon";
constexpr int kNotAListLine = 430;

void SetListState(ItemNode* node, int state) {
    node->Data()->StoreInd = state;
    node->StateIndex = state;
}

// The one list of a heading in single-list form gets a list node of its own, named from the
// register, and the heading goes over to the several-lists form.
void SplitSingleList(ItemNode* heading, RouteListsInfo& info, std::uint32_t listType) {
    ItemSet& record = *heading->Data();
    const QString value =
        info.Holder->Ini.ReadString(info.Section, WithoutExtension(record.FileName), QString());
    auto copy = std::make_unique<ItemSet>(record);
    copy->PLevel = record.PLevel + 1;
    copy->Description = ListValueText(value);
    ItemNode* first = heading->FirstChild();
    ItemNode* own = heading->AddChild(std::move(copy));
    own->StateIndex = own->Data()->StoreInd;
    MoveChildNodes(first, own, listType);
    record.FileName.clear();
    SetListState(heading, SI_HEADING);
}

// A new list under the heading: a node of its own when the heading has lists, else the heading
// itself in single-list form. Returns the list's node.
ItemNode* PlaceNewList(ItemNode* heading, RouteListsInfo& info, std::uint32_t listType) {
    ItemNode* first = heading->FirstChild();
    if (first && !(first->Data()->PType & PT_HEADING))
        SplitSingleList(heading, info, listType);
    if (heading->FirstChild()) {
        auto copy = std::make_unique<ItemSet>(*heading->Data());
        copy->PLevel = heading->Data()->PLevel + 1;
        copy->StoreInd = info.State;
        copy->FileName = info.ListId;
        copy->Description = info.ListName;
        ItemNode* node = heading->AddChild(std::move(copy));
        node->StateIndex = node->Data()->StoreInd;
        return node;
    }
    // The heading keeps its caption; it now stands for the list.
    heading->Data()->FileName = info.ListId;
    SetListState(heading, SI_LIST_ACTIVE);
    return heading;
}

// The list's entry is gone from the register: with no list left the heading is empty; otherwise
// the list node goes, and a single remaining list folds back into the heading, active.
void RemoveEmptiedList(ItemTree& tree, ItemNode* list, RouteListsInfo& info,
                       std::uint32_t listType) {
    const int keysLeft = info.KeysLeft;
    if (keysLeft < 1) {
        list->Data()->FileName.clear();
        SetListState(list, SI_HEADING);
        return;
    }
    ItemNode* heading = list->Parent();
    if (!heading)
        return;
    tree.SetSelected(heading);
    list->Delete();
    if (keysLeft != 1)
        return;
    ItemNode* remaining = heading->FirstChild();
    if (!remaining)
        return;
    heading->Data()->FileName = remaining->Data()->FileName;
    if (heading->Data()->StoreInd != SI_LIST_ACTIVE) {
        info.Key = heading->Data()->FileName;
        RouteListFileOp(info, RLF_READ);
        info.State = SI_LIST_ACTIVE;
        RouteListFileOp(info, RLF_WRITE);
    }
    SetListState(heading, SI_LIST_ACTIVE);
    MoveChildNodes(remaining->FirstChild(), heading, listType);
    remaining->Delete();
    heading->SetExpanded(true);
}

} // namespace

bool CommitListEdit(RecordList<ItemSet>& currentItems, ItemTree& tree, ItemNode* node, int editMode,
                    RouteListsInfo& info, std::uint32_t listType) {
    if (!node || !(node->Data()->PType & PT_MASK_LIST_KINDS)) {
        TheUi().MessageBox(UnexpectedText(kListEditorModule, kNotAListLine,
                                          QString::number(node ? node->Data()->PType : 0)),
                           App().ProgramTitle, MB_ICONSTOP);
        return false;
    }
    ItemNode* list = (node->Data()->PType & PT_HEADING) ? node : node->Parent();
    if (!list)
        return false;
    const bool newList = editMode != EM_EDIT;

    // The members go to disk before anything else changes, so that a list that cannot be
    // written is never shown as saved.
    const QString listFile = newList ? info.ListId : list->Data()->FileName;
    if (!WriteItemListFile(list->Data()->Folder, listFile, currentItems))
        return false;

    RouteListFileOp(info, RLF_OPEN | RLF_KEEP_OPEN);
    tree.BeginUpdate();
    if (!newList) {
        StatusGuard status(QStringLiteral("DELCHLDRN"));
        HourglassGuard hourglass;
        for (int i = 0; i < list->ChildCount(); ++i)
            SetStatusDetail(Caption(Msg::STATUS_TEXT_DEL_TREE_ITEM) + QLatin1Char(' ') +
                            list->Child(i)->Data()->Description);
        list->DeleteChildren();
    } else {
        list = PlaceNewList(list, info, listType);
    }

    if (!currentItems.empty() && currentItems.front()) {
        const ItemSet& first = *currentItems.front();
        auto placeholder = std::make_unique<ItemSet>();
        placeholder->PLevel = list->Data()->PLevel + 1;
        placeholder->PType = listType + PT_FIRST_ONLY;
        placeholder->StoreInd = first.StoreInd;
        placeholder->Description = first.Description;
        placeholder->FileName = first.FileName;
        placeholder->Folder = list->Data()->Folder;
        SetNodeImageByKind(list->AddChild(std::move(placeholder)), std::int32_t(listType));
    }
    if (newList)
        info.Key = info.ListId;

    if (currentItems.empty()) {
        RouteListFileOp(info, RLF_DELETE);
        RemoveEmptiedList(tree, list, info, listType);
    } else {
        ItemNode* parent = list->Parent();
        if (info.NameChanged && parent && (parent->Data()->PType & listType))
            list->Data()->Description = info.ListName;
        if (info.NameChanged || newList)
            RouteListFileOp(info, RLF_WRITE);
    }
    const bool written = CloseStoreIni(std::move(info.Holder));
    tree.EndUpdate();
    return written;
}

} // namespace qv
