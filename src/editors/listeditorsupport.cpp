#include "editors/listeditorsupport.h"

#include "catalogue/cacherebuild.h"
#include "catalogue/listrefresh.h"
#include "catalogue/routeactivities.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/status.h"
#include "core/storeini.h"
#include "editors/listboxview.h"
#include "editors/listeditoractions.h"
#include "editors/listeditormodel.h"
#include "mainwindow/objecttree.h"

namespace qv {

namespace {

// Where an unknown list kind has always been reported from.
constexpr const char* kListEditorModule = "ListEditorCommon";
constexpr int kUnknownListLine = 797;

int Depth(const ItemNode* node) {
    int depth = 0;
    for (const ItemNode* p = node->Parent(); p; p = p->Parent())
        ++depth;
    return depth;
}

// Whether the list belongs to the global settings. The headings below the global settings carry
// only their kind, so the node at the top of the tree tells.
bool IsGlobalList(const ItemNode* node) {
    for (; node; node = node->Parent())
        if (node->Data()->PType & PT_GLOBAL)
            return true;
    return false;
}

void ReadListFile(ItemNode* node, ListEditorModel& model) {
    const ItemSet& list = *node->Data();
    const std::uint32_t type = model.ListType;
    QString folder = list.Folder;
    if (IsGlobalList(node))
        folder = (type & PT_MASK_STOCK_RELATED) ? QStringLiteral("TRAINS\\TRAINSET")
                                                : QStringLiteral("TRAINS\\CONSISTS");
    auto stockCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    auto consistCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHECON")));
    auto pathCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHEPAT")));
    if (type & PT_MASK_CONSIST_RELATED)
        RefreshConsistList(model.CurrentItems, folder, list.FileName, nullptr, false, false,
                           *stockCache, *consistCache, type);
    else if (type & PT_MASK_STOCK_RELATED)
        RefreshStockList(model.CurrentItems, folder, list.FileName, nullptr, false, false,
                         *stockCache, type);
    else if (type & PT_MASK_PATH_RELATED)
        RefreshPathList(model.CurrentItems, folder, list.FileName, nullptr, false, false,
                        *pathCache, type);
    else
        Report(RL_ERROR, nullptr,
               UnexpectedText(kListEditorModule, kUnknownListLine, QString::number(type)), nullptr);
    CloseStoreIni(std::move(stockCache));
    CloseStoreIni(std::move(consistCache));
    CloseStoreIni(std::move(pathCache));
}

} // namespace

AddRemoveButtonState UpdateAddRemoveBtn(int buttonWidth, const QRect& listBox, int selectedCount,
                                        bool remove) {
    AddRemoveButtonState state;
    state.Caption = Caption(remove ? Msg::ADDREMOVE_REMOVE_LEG : Msg::ADDREMOVE_ADD_LEG);
    state.Hint = Caption(remove ? Msg::ADDREMOVE_REMOVE_HINT : Msg::ADDREMOVE_ADD_HINT);
    state.Left = listBox.left() + listBox.width() / 2 - buttonWidth / 2;
    state.Tag = selectedCount > 0 ? (remove ? 2 : 1) : 0;
    state.Enabled = state.Tag != 0;
    return state;
}

ListEditorColumns LayoutListEditorColumns(int editMode, int formWidth, const QRect& leftFrame,
                                          const QRect& middleFrame, const QRect& currentBox,
                                          const QRect& availableBox) {
    ListEditorColumns columns;
    const bool viewAll = editMode == 0;
    const int c = viewAll ? (formWidth - 14) / 2 : (formWidth - 14) / 3;
    const int grow = viewAll ? 32 : 0;
    columns.CurrentVisible = !viewAll;
    columns.SelectedLabelShift = grow;
    columns.LeftFrame = QRect(5, leftFrame.top(), viewAll ? 1 : c, leftFrame.height());
    columns.CurrentListBox =
        QRect(columns.LeftFrame.left() + 8, currentBox.top(), c - 16, currentBox.height());
    columns.MiddleFrame = QRect(columns.LeftFrame.left() + columns.LeftFrame.width() - 1,
                                middleFrame.top(), c, middleFrame.height() + grow);
    columns.AvailableListBox = QRect(columns.MiddleFrame.left() + 8, availableBox.top(), c - 16,
                                     availableBox.height() + grow);
    columns.RightFrame = QRect(columns.MiddleFrame.left() + c - 1, middleFrame.top(), c,
                               columns.MiddleFrame.height());
    columns.Details = QRect(columns.RightFrame.left() + 8, availableBox.top(), c - 16,
                            columns.AvailableListBox.height());
    return columns;
}

QString AvailableLabelText(const QString& caption, int shown, int total) {
    QString text = caption + QStringLiteral(" (");
    if (shown != total)
        text +=
            QString::number(shown) + QLatin1Char(' ') + Caption(Msg::OUT_OF_TAG) + QLatin1Char(' ');
    return text + QString::number(total) + QLatin1Char(')');
}

QString CurrentLabelText(int count) {
    return Caption(Msg::CURRENT_AVAILABLE_TAG) + QStringLiteral(" (") + QString::number(count) +
           QLatin1Char(')');
}

void ShowCurrentRows(const ListEditorModel& model, ListBoxView& current) {
    current.Clear();
    for (const auto& item : model.CurrentItems)
        if (item)
            current.Add(ListItemText(*item));
}

void LoadCurrentList(ItemNode* node, ListEditorModel& model, const std::function<void()>& enableOK,
                     ListBoxView& current) {
    model.CurrentItems.clear();
    current.Clear();
    if (!node || model.EditMode == EM_VIEW_ALL)
        return;
    const ItemSet& list = *node->Data();
    if (model.EditMode == EM_NEW_LIST) {
        const bool prefill =
            !IsGlobalList(node) && node->ChildCount() == 0 && node->Parent() &&
            (model.ListType == PT_MAINT_CONSIST || model.ListType == PT_MAINT_STOCK);
        if (prefill) {
            const bool stock = model.ListType == PT_MAINT_STOCK;
            RebuildScenarioCache({node->Parent()}, stock ? nullptr : &model.CurrentItems,
                                 stock ? &model.CurrentItems : nullptr);
            // The entries become members of the new list, so that it reads back as one.
            for (const auto& item : model.CurrentItems) {
                if (!item)
                    continue;
                item->PLevel = list.PLevel + 1;
                item->PType = model.ListType;
                item->Folder = list.Folder;
            }
            SortItemList(model.CurrentItems);
            if (enableOK)
                enableOK();
        }
    } else if (node->ChildCount() > 0) {
        ReadListFile(node, model);
    }
    if (PruneMissingListItems(list.Description, model.CurrentItems, model.ListType) && enableOK)
        enableOK();
    ShowCurrentRows(model, current);
}

bool ViewerOffered(const ItemSet* record) {
    const ListEditorHooks& hooks = TheListEditorHooks();
    return record && hooks.ShowShape && hooks.ShapeViewerOffered &&
           hooks.ShapeViewerOffered(*record);
}

namespace {

// Sets the program's busy flag and disables the control while it is set (enables it when clear).
void SetBusyWithControl(bool busy, const std::function<void(bool enabled)>& enableControl) {
    SetBusy(busy);
    if (enableControl)
        enableControl(!busy);
}

} // namespace

BusyWithControl::BusyWithControl(std::function<void(bool enabled)> enableControl)
    : enableControl_(std::move(enableControl)), previous_(App().Busy) {
    SetBusyWithControl(true, enableControl_);
}

BusyWithControl::~BusyWithControl() {
    SetBusyWithControl(previous_, enableControl_);
}

void MoveChildNodes(ItemNode* first, ItemNode* newParent, std::uint32_t kind) {
    if (!first || !newParent)
        return;
    std::vector<ItemNode*> run;
    for (ItemNode* node = first; node; node = node->NextSibling())
        if (node != newParent)
            run.push_back(node);
    const int level = Depth(newParent) + 1;
    for (ItemNode* node : run) {
        std::unique_ptr<ItemNode> moving = node->Detach();
        if (!moving)
            continue;
        moving->Data()->PLevel = level;
        ItemNode* moved = newParent->AddChild(std::move(moving));
        SetNodeImageByKind(moved, std::int32_t(kind));
    }
}

void RefreshAfterListEdit(int result) {
    if (result != 1 && !App().EasyListsStale)
        return;
    App().TreeSynchronised = false;
    TheMainServices().UpdateControls();
}

} // namespace qv
