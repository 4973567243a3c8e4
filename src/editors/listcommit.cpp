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
#include "platform/winfs.h"

namespace qv {

namespace {

// Where a node that is no list has always been reported from.
constexpr const char* kListEditorModule = "ListEditorCommon";
constexpr int kNotAListLine = 430;

std::function<void()>& StepHook() {
    static std::function<void()> hook;
    return hook;
}

// A step of a commit is on disk.
void StepDone() {
    if (StepHook())
        StepHook()();
}

// A list file given its new content, with a copy of the old content kept beside it
// (ListFileCopyName) for the roll-back, so that the list can be put back when the register cannot
// be written after it. The list file itself stays under its name throughout, the new content
// renamed over the old: a commit cut short (the program killed) leaves the old list or the new one,
// and at most the copy, which the next reading of the list settles.
class ListFileReplacement {
public:
    // Puts the content in place of the file (an empty content leaves no file). False, after a
    // stop box naming the file, when that could not be done; the file is then as it was.
    bool Put(const QString& fileName, const QByteArray& content, bool exists) {
        file_ = fileName;
        aside_ = ListFileCopyName(fileName);
        hadOld_ = exists;
        int error = 0;
        if (hadOld_) {
            if (!ReadWholeFile(file_, &old_, &error) || !WriteFileAtomic(aside_, old_, &error)) {
                ReportWriteFailure(aside_, error);
                return false;
            }
            StepDone();
        }
        const QString folder = file_.left(file_.lastIndexOf(QLatin1Char('\\')));
        const bool put = content.isEmpty() ? !hadOld_ || DeleteFile(file_, &error)
                                           : ForceFolders(folder, &error) &&
                                                 WriteFileAtomic(file_, content, &error);
        if (!put) {
            ReportWriteFailure(file_, error);
            Keep();
            return false;
        }
        StepDone();
        wroteNew_ = true;
        return true;
    }
    // The new content stays; the copy goes.
    void Keep() {
        if (hadOld_ && DeleteFile(aside_))
            StepDone();
    }
    // The file as it was before Put; the copy stays when that fails, for the user to take back.
    void Restore() {
        int error = 0;
        if (!wroteNew_)
            return;
        const bool restored =
            hadOld_ ? WriteFileAtomic(file_, old_, &error) : DeleteFile(file_, &error);
        if (!restored) {
            ReportWriteFailure(file_, error);
            return;
        }
        Keep();
    }

private:
    QString file_;
    QString aside_;
    QByteArray old_;
    bool hadOld_ = false;
    bool wroteNew_ = false;
};

void SetListState(ItemNode* node, int state) {
    node->Data()->StoreInd = state;
    node->StateIndex = state;
}

bool IsKindHeading(const ItemNode* node, std::uint32_t listType) {
    return node && (node->Data()->PType & PT_HEADING) && (node->Data()->PType & listType);
}

// A heading in single-list form holds its list's entries directly.
bool HoldsSingleList(const ItemNode* heading) {
    const ItemNode* first = heading->FirstChild();
    return first && !(first->Data()->PType & PT_HEADING);
}

// What the register tells the tree: the name of a heading's single list that gets a node of its
// own, and whether a list emptied leaves exactly one list, which folds back into its heading.
struct RegisterFacts {
    QString SingleListName;
    bool FoldBack = false;
};

// The list that stays when the edited list goes and one list is left: after the emptied list's
// node is deleted, the first list under the heading. Empty when there is none.
QString RemainingListFile(ItemNode* list, bool newList, std::uint32_t listType) {
    if (newList) {
        // The new list was to be the heading's last list, or the heading itself.
        if (HoldsSingleList(list))
            return list->Data()->FileName;
        ItemNode* first = list->FirstChild();
        return first ? first->Data()->FileName : QString();
    }
    ItemNode* heading = list->Parent();
    if (!IsKindHeading(heading, listType))
        return QString();
    for (int i = 0; i < heading->ChildCount(); ++i) {
        if (heading->Child(i) != list)
            return heading->Child(i)->Data()->FileName;
    }
    return QString();
}

// The register's changes, made in the open register only: the list's entry written or deleted,
// and the list left over made active when it folds back into its heading.
RegisterFacts ChangeRegister(RouteListsInfo& info, ItemNode* list, bool newList, bool emptied,
                             std::uint32_t listType) {
    RegisterFacts facts;
    IniFile& ini = info.Holder->Ini;
    if (newList && HoldsSingleList(list))
        facts.SingleListName = ListValueText(
            ini.ReadString(info.Section, WithoutExtension(list->Data()->FileName), QString()));
    if (newList)
        info.Key = info.ListId;
    if (!emptied) {
        if (info.NameChanged || newList)
            RouteListFileOp(info, RLF_WRITE);
        return facts;
    }
    RouteListFileOp(info, RLF_DELETE);
    if (info.KeysLeft != 1)
        return facts;
    const QString remaining = RemainingListFile(list, newList, listType);
    if (remaining.isEmpty())
        return facts;
    facts.FoldBack = true;
    const QString key = WithoutExtension(remaining);
    const QString name = ListValueText(ini.ReadString(info.Section, key, QString()));
    ini.WriteString(info.Section, key, QString::number(SI_LIST_ACTIVE) + QLatin1Char(',') + name);
    info.Holder->Modified = true;
    return facts;
}

// The one list of a heading in single-list form gets a list node of its own, named as the
// register names it, and the heading goes over to the several-lists form.
void SplitSingleList(ItemNode* heading, const QString& name, std::uint32_t listType) {
    ItemSet& record = *heading->Data();
    auto copy = std::make_unique<ItemSet>(record);
    copy->PLevel = record.PLevel + 1;
    copy->Description = name;
    ItemNode* first = heading->FirstChild();
    ItemNode* own = heading->AddChild(std::move(copy));
    own->StateIndex = own->Data()->StoreInd;
    MoveChildNodes(first, own, listType);
    record.FileName.clear();
    SetListState(heading, SI_HEADING);
}

// A new list under the heading: a node of its own when the heading has lists, else the heading
// itself in single-list form. Returns the list's node.
ItemNode* PlaceNewList(ItemNode* heading, const RouteListsInfo& info, const RegisterFacts& facts,
                       std::uint32_t listType) {
    if (HoldsSingleList(heading))
        SplitSingleList(heading, facts.SingleListName, listType);
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
void RemoveEmptiedList(ItemTree& tree, ItemNode* list, const RouteListsInfo& info,
                       const RegisterFacts& facts, std::uint32_t listType) {
    ItemNode* heading = list->Parent();
    // A heading standing for its list itself is emptied even when the register names further
    // lists: the heading must stay.
    if (info.KeysLeft < 1 || !IsKindHeading(heading, listType)) {
        list->Data()->FileName.clear();
        SetListState(list, SI_HEADING);
        return;
    }
    tree.SetSelected(heading);
    list->Delete();
    if (!facts.FoldBack)
        return;
    ItemNode* remaining = heading->FirstChild();
    if (!remaining)
        return;
    heading->Data()->FileName = remaining->Data()->FileName;
    SetListState(heading, SI_LIST_ACTIVE);
    MoveChildNodes(remaining->FirstChild(), heading, listType);
    remaining->Delete();
    heading->SetExpanded(true);
}

// The tree as the committed files now stand. Returns the list's node (null when it went).
ItemNode* ChangeTree(const RecordList<ItemSet>& currentItems, ItemTree& tree, ItemNode* list,
                     bool newList, const RouteListsInfo& info, const RegisterFacts& facts,
                     std::uint32_t listType) {
    if (!newList) {
        StatusGuard status(QStringLiteral("DELCHLDRN"));
        HourglassGuard hourglass;
        for (int i = 0; i < list->ChildCount(); ++i)
            SetStatusDetail(Caption(Msg::STATUS_TEXT_DEL_TREE_ITEM) + QLatin1Char(' ') +
                            list->Child(i)->Data()->Description);
        list->DeleteChildren();
    } else {
        list = PlaceNewList(list, info, facts, listType);
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

    if (currentItems.empty()) {
        RemoveEmptiedList(tree, list, info, facts, listType);
        return nullptr;
    }
    ItemNode* parent = list->Parent();
    if (info.NameChanged && parent && (parent->Data()->PType & listType))
        list->Data()->Description = info.ListName;
    return list;
}

} // namespace

bool CommitListEdit(RecordList<ItemSet>& currentItems, ItemTree& tree, ItemNode* node, int editMode,
                    RouteListsInfo& info, std::uint32_t listType) {
    if (!node || !(node->Data()->PType & PT_MASK_LIST_KINDS)) {
        ShowStop(UnexpectedText(kListEditorModule, kNotAListLine,
                                QString::number(node ? node->Data()->PType : 0)));
        return false;
    }
    ItemNode* list = (node->Data()->PType & PT_HEADING) ? node : node->Parent();
    if (!list)
        return false;
    const bool newList = editMode != EM_EDIT;

    // Nothing shows as saved before it is on disk, and a failure leaves disk and tree as they
    // were, so that OK can be pressed again: the list file is replaced first with its old
    // content kept aside, then the register is written, and only then does the tree change.
    const QString listFile =
        ItemDataFolder(list->Data()->Folder) + (newList ? info.ListId : list->Data()->FileName);
    QByteArray content;
    bool exists = false;
    if (!ItemListFileContent(listFile, currentItems, &content, &exists))
        return false;
    RouteListFileOp(info, RLF_OPEN | RLF_KEEP_OPEN);
    // Its reading failure has been reported; what it holds must not be replaced.
    if (info.Holder->ReadFailed) {
        info.Holder.reset();
        return false;
    }
    const RegisterFacts facts = ChangeRegister(info, list, newList, currentItems.empty(), listType);
    ListFileReplacement replacement;
    if (!replacement.Put(listFile, content, exists)) {
        info.Holder.reset();
        return false;
    }
    if (!CloseStoreIni(std::move(info.Holder))) {
        replacement.Restore();
        return false;
    }
    StepDone();
    replacement.Keep();

    tree.BeginUpdate();
    ItemNode* shown = ChangeTree(currentItems, tree, list, newList, info, facts, listType);
    // An open list shows its entries at once; a closed one fills them when it is opened.
    if (shown && shown->Expanded())
        ExpandNodeFromCaches(shown);
    tree.EndUpdate();
    return true;
}

void SetListCommitStepHookForTests(std::function<void()> hook) {
    StepHook() = std::move(hook);
}

} // namespace qv
