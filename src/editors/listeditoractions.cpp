#include "editors/listeditoractions.h"

#include "catalogue/consistvehicles.h"
#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/easyservices.h"
#include "core/filemove.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "easy/launchsettings.h"
#include "editors/listboxview.h"
#include "editors/listeditormodel.h"
#include "editors/listeditorsupport.h"
#include "engine/usedincommon.h"
#include "platform/ui.h"
#include "platform/winfs.h"

namespace qv {

namespace {

// Kinds whose file moves alone: stock and paths.
constexpr std::uint32_t kMovesAlone = 0xB800040;

QString Quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

void AddNotFound(ErrorSet& outcome, Msg heading, const QString& path) {
    outcome.style |= MB_ICONEXCLAMATION;
    outcome.text +=
        Caption(heading) + Caption(Msg::GENERAL_NOT_FOUND3) + path + QStringLiteral("'\n");
}

// Moves the file, with every twin the store holds beside it, from the store to the MSTS folder;
// the item is In Use when they arrived.
void MoveToMsts(ItemSet& item, const QString& storePath, const QString& mstsPath,
                bool mayBeTwinned) {
    if (MoveEverySpelling(storePath, mstsPath, MOVE_RENAME, mayBeTwinned))
        item.StoreInd = SetStoreBits(item.StoreInd, SI_IN_USE);
}

void RunFollowUp(int action, const ItemSet& item) {
    if (action == LEA_VIEW_STOCK || action == LEA_VIEW_CONSIST) {
        if (TheListEditorHooks().ShowShape)
            TheListEditorHooks().ShowShape(item);
        return;
    }
    const QString relative = ItemRelativePath(item);
    const QString msts = App().MstsRootFolder + QLatin1Char('\\') + relative;
    // A failed move leaves nothing in the MSTS folder to open; a name that leads out of its folder
    // opens nothing.
    if (relative.isEmpty() || !FileExists(msts))
        return;
    if (action == LEA_EDIT) {
        const QString key = kProductKey + QStringLiteral("\\Editor");
        const QString editor = RegReadString(key, QStringLiteral("Editor EXE Path"));
        const QString params = RegReadString(key, QStringLiteral("Editor EXE Params"));
        const QString parameters =
            params.isEmpty() ? Quoted(msts) : Quoted(params) + QLatin1Char(' ') + Quoted(msts);
        TheEasyServices().LaunchProgram(editor, parameters, QString(), true, false, false);
        App().TreeSynchronised = false;
        App().EasyListsStale = true;
    } else if (action == LEA_CONBUILDER) {
        // The item is not handed to ConBuilder: the tool starts as from the main window.
        StartOutsideTool(OutsideTool::ConBuilder);
        TheMainServices().UpdateControls();
    }
}

} // namespace

ListEditorHooks& TheListEditorHooks() {
    static ListEditorHooks hooks;
    return hooks;
}

QString ItemRelativePath(const ItemSet& item, bool* known) {
    if (known)
        *known = true;
    if (item.PType & PT_MASK_STOCK_RELATED)
        return NameInside(QStringLiteral("TRAINS\\TRAINSET"), item.FileName);
    if (item.PType & PT_MASK_CONSIST_RELATED)
        return NameInside(QStringLiteral("TRAINS\\CONSISTS"), item.FileName);
    if (item.PType & PT_MASK_PATH_RELATED)
        return NameInside(item.Folder, item.FileName);
    if (known)
        *known = false;
    return QString();
}

void ImmediateUnstoreItem(ItemSet& item, ErrorSet& outcome, const QString& namingFile) {
    PathSet().DuplicateAnswer = 0;
    bool known = false;
    const QString relative = ItemRelativePath(item, &known);
    if (!known) {
        outcome.style |= MB_ICONSTOP;
        outcome.text += Caption(Msg::MOVETHING_ERROR12) + QStringLiteral(" '") +
                        QString::number(item.PType) + QStringLiteral("'\n");
        return;
    }
    if (relative.isEmpty()) {
        outcome.style |= MB_ICONSTOP;
        const QString named = (item.PType & PT_MASK_PATH_RELATED)
                                  ? item.Folder + QLatin1Char('\\') + item.FileName
                                  : item.FileName;
        outcome.text += RefusedNameText(named, namingFile) + QLatin1Char('\n');
        return;
    }
    const QString storePath = App().StoreRootFolder + QLatin1Char('\\') + relative;
    const QString mstsPath = App().MstsRootFolder + QLatin1Char('\\') + relative;
    bool mayBeTwinned = false;
    if (!FileExistsMayBeTwinned(storePath, &mayBeTwinned)) {
        if (!FileExists(mstsPath))
            AddNotFound(outcome, Msg::GENERAL_NOT_FOUND1, mstsPath);
        return;
    }
    if (item.PType & kMovesAlone) {
        MoveToMsts(item, storePath, mstsPath, mayBeTwinned);
        return;
    }
    // Twin consists come in together: the vehicles of each come first.
    StringList vehicles = StringList::SortedUnique();
    for (const QString& consist : mayBeTwinned ? SpellingsOf(storePath) : QStringList{storePath}) {
        if (!ReadConsistVehicles(consist, &vehicles, nullptr)) {
            // Moving the consist without knowing its vehicles would leave it without them.
            AddNotFound(outcome, Msg::GENERAL_NOT_FOUND0, consist);
            return;
        }
    }
    for (int i = 0; i < vehicles.Count(); ++i) {
        ItemSet vehicle;
        vehicle.PType = PT_MAINT_STOCK;
        vehicle.FileName = vehicles[i];
        ErrorSet vehicleOutcome;
        ImmediateUnstoreItem(vehicle, vehicleOutcome, relative);
        outcome.style |= vehicleOutcome.style;
        outcome.text += vehicleOutcome.text;
    }
    MoveToMsts(item, storePath, mstsPath, mayBeTwinned);
}

ItemSet* ResolveRowRecord(ListBoxView* box, int row, ListBoxView& available,
                          const ListEditorModel& model, bool ownRecord) {
    if (!box)
        return nullptr;
    if (box == &available)
        return model.AvailableRecord(row);
    ItemSet* record = model.CurrentRecord(row);
    if (!record || ownRecord)
        return record;
    for (int r = 0; r < available.Count(); ++r) {
        ItemSet* shown = model.AvailableRecord(r);
        if (shown && SameListItem(*shown, *record))
            return shown;
    }
    return record;
}

void ListEditorPopupAction(int action, ListBoxView* component, ListBoxView& available,
                           ListEditorModel& model) {
    if (App().Busy)
        return;
    ErrorSet outcome;
    ItemSet* last = nullptr;
    {
        StatusGuard status(QStringLiteral("IMMUN"));
        if (component) {
            for (int row : component->SelectedRows()) {
                ItemSet* record = ResolveRowRecord(component, row, available, model, false);
                if (!record)
                    continue;
                last = record;
                if (action != LEA_VIEW_STOCK && action != LEA_VIEW_CONSIST)
                    ImmediateUnstoreItem(*record, outcome);
            }
            available.Repaint();
        }
    }
    if (outcome.style != 0)
        TheUi().MessageBox(outcome.text, App().ProgramTitle, outcome.style);
    if ((outcome.style & MB_ICONSTOP) || !last)
        return;
    RunFollowUp(action, *last);
}

void AddToCurrentList(ItemNode* node, ListBoxView& current, ListBoxView& available,
                      ListEditorModel& model) {
    if (!node)
        return;
    ItemNode* list = (node->Data()->PType & PT_HEADING) ? node : node->Parent();
    if (!list)
        return;
    const QString listOwner = list->Parent() ? list->Parent()->Data()->Description : QString();

    // Entries are told apart by their file, so two files of one name can both be listed.
    StringList held = StringList::SortedUnique();
    for (const auto& item : model.CurrentItems)
        if (item)
            held.Add(ListItemKey(*item));

    int answer = ID_YES;
    for (int row : available.SelectedRows()) {
        const ItemSet* record = model.AvailableRecord(row);
        if (!record || held.IndexOf(ListItemKey(*record)) < 0)
            continue;
        if (answer == ID_YES)
            answer = TheUi().MessageBox(
                Caption(Msg::ADD_DUPL_EXPLORE_MODE_CONSIST_TAG1) + QLatin1Char(' ') +
                    ItemKindName(model.ListType) + QStringLiteral(" '") + record->Description +
                    Caption(Msg::ADD_DUPL_EXPLORE_MODE_CONSIST_TAG2) + listOwner +
                    Caption(Msg::ADD_DUPL_EXPLORE_MODE_CONSIST_TAG3),
                App().ProgramTitle, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
        if (answer == ID_CANCEL)
            return;
        available.SetSelected(row, false);
    }

    const ItemSet& listRecord = *list->Data();
    for (int row : available.SelectedRows()) {
        const ItemSet* record = model.AvailableRecord(row);
        if (!record)
            continue;
        auto entry = std::make_unique<ItemSet>();
        entry->PLevel = listRecord.PLevel + 1;
        entry->PType = model.ListType;
        entry->StoreInd = record->StoreInd;
        entry->Description = record->Description;
        // A path lies in its own route's PATHS folder, which its unstore needs.
        entry->Folder = (record->PType & PT_MASK_PATH_RELATED) ? record->Folder : listRecord.Folder;
        entry->FileName = record->FileName;
        SetStatusDetail(Caption(Msg::STATUS_TEXT_LOADING) + QStringLiteral(" '") +
                        entry->Description + QLatin1Char('\''));
        model.CurrentItems.push_back(std::move(entry));
    }
    SetStatusDetail(QString());
    SortItemList(model.CurrentItems);
    ShowCurrentRows(model, current);
}

bool PruneMissingListItems(const QString& listName, RecordList<ItemSet>& list,
                           std::uint32_t listType) {
    const QString kind = ItemKindName(listType);
    std::vector<bool> marked(list.size(), false);
    int answer = ID_YES;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!list[i] || list[i]->StoreInd != -1)
            continue;
        if (answer != ID_YES && answer != ID_NO)
            break;
        answer = TheUi().ConfirmForAll(
            Caption(Msg::DEL_EXPLORE_MODE_CONSIST_TAG1) + QLatin1Char(' ') + kind +
                QStringLiteral(" '") + list[i]->Description +
                Caption(Msg::DEL_EXPLORE_MODE_CONSIST_TAG2) + listName +
                Caption(Msg::DEL_EXPLORE_MODE_CONSIST_TAG3) + QLatin1Char(' ') + kind +
                QLatin1Char(' ') + Caption(Msg::LIST_LEG) + QLatin1Char('?'),
            App().ProgramTitle);
        if (answer == ID_YES)
            marked[i] = true;
    }
    if (answer == ID_NOTOALL)
        return false;
    bool dropped = false;
    RecordList<ItemSet> kept;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] && list[i]->StoreInd == -1 && (marked[i] || answer == ID_YESTOALL)) {
            dropped = true;
            continue;
        }
        kept.push_back(std::move(list[i]));
    }
    list = std::move(kept);
    return dropped;
}

bool EditLotNumber(ListBoxView* component, ListBoxView& available, ListBoxView& current,
                   ListEditorModel& model) {
    if (App().Busy || !component || !model.AvailableItems)
        return false;
    App().ChosenLotNumber.clear();
    TheUi().ChangeLotNumber(*model.AvailableItems, &App().ChosenLotNumber);
    const QString lot = App().ChosenLotNumber;
    if (lot.isEmpty())
        return false;
    // The list's own kind tells the cache: the Available list may be empty.
    const bool stock = model.ListType & PT_MASK_STOCK_RELATED;
    auto cache = OpenStoreIni(
        CacheFileName(stock ? QStringLiteral("CACHESTK") : QStringLiteral("CACHECON")));
    for (int row : component->SelectedRows()) {
        // A Current row changes the Available record of its file, never its own.
        const ItemSet* entry = nullptr;
        ItemSet* record = nullptr;
        if (component == &available) {
            entry = record = model.AvailableRecord(row);
        } else if (component == &current) {
            entry = model.CurrentRecord(row);
            for (const auto& item : *model.AvailableItems)
                if (entry && item && SameListItem(*item, *entry)) {
                    record = item.get();
                    break;
                }
        } else {
            TheUi().MessageBox(Caption(Msg::MOVETHING_ERROR12), App().ProgramTitle, MB_ICONSTOP);
            break;
        }
        if (!entry)
            continue;
        cache->Ini.WriteString(entry->FileName, QStringLiteral("LotNumber"), lot);
        cache->Modified = true;
        if (record)
            record->LotNumber = lot;
    }
    return CloseStoreIni(std::move(cache));
}

void WhereUsedForSelection(ListBoxView* component, ListBoxView& available, ListEditorModel& model,
                           const std::function<void(bool enabled)>& enableControl,
                           ReportPane* report) {
    if (App().Busy || !component)
        return;
    StringList keys = StringList::SortedUnique();
    for (int row : component->SelectedRows()) {
        const ItemSet* record = ResolveRowRecord(component, row, available, model, true);
        if (!record)
            continue;
        keys.Add(ListItemKey(*record));
    }
    BusyWithControl busy(enableControl);
    WhereUsed(report, keys, WU_COMPLETE);
}

} // namespace qv
