// The Easy page's Explore tab and its list editing: the choices of a session and its start.
#include "mainwindow/forms/easycontroller.h"

#include "ui_mainform.h"

#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/controlhelpers.h"
#include "core/itemkinds.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "easy/explorelaunch.h"
#include "easy/exploresaves.h"
#include "easy/explorestate.h"
#include "easy/goandlaunch.h"
#include "easy/marking.h"
#include "engine/tsection.h"
#include "mainwindow/forms/mainform.h"
#include "mainwindow/forms/treecontroller.h"
#include "mainwindow/iteminfo.h"
#include "platform/casefold.h"
#include "platform/ui.h"

#include <QSignalBlocker>

namespace qv {

// ---- Explore the Route -----------------------------------------------------------------------

void EasyController::AllLocomotivesCmbxChange() {
    RegWriteString(kProductKey, QStringLiteral("All Locos Index"),
                   QString::number(form_.ui->AllLocomotivesCmbx->currentIndex()));
    FillLocomotives(ChosenRouteNode());
    LocomotivesLstbxClick();
    form_.UpdateControls();
}

void EasyController::LocomotivesLstbxClick() {
    ::Ui::TMainForm& ui = *form_.ui;
    const int row = ui.LocomotivesLstbx->currentRow();
    if (row < locomotives_.LeadingRows) {
        ClearReport(&exploreDetails_);
        consists_ = EasyRows();
        ShowRows(ui.ConsistsCmbx, consists_);
        ui.ExploreBtn->setEnabled(false);
        return;
    }
    bool allowed = false;
    consists_ = FillConsistsCombo(ui.LocomotivesLstbx->item(row)->text(),
                                  ui.AllLocomotivesCmbx->currentIndex(), &allowed);
    ShowRows(ui.ConsistsCmbx, consists_);
    form_.UpdateExploreButton();
    const int consist = ChosenConsist();
    ClearReport(&exploreDetails_);
    if (consist < 0)
        return;
    const ItemSet& chosen = *App().ConsistCacheList[std::size_t(consist)];
    ShowLeadEngine(chosen.FileName, chosen.EngineName, &exploreDetails_);
}

void EasyController::ConsistsCmbxClick() {
    const int consist = ChosenConsist();
    if (consist < 0) {
        form_.ui->ExploreBtn->setEnabled(false);
        return;
    }
    ItemSet item = *App().ConsistCacheList[std::size_t(consist)];
    item.PType |= PT_EXPLORE_CONSIST;
    ClearReport(&exploreDetails_);
    ShowItemInfo(item, &exploreDetails_);
    form_.UpdateControls();
}

void EasyController::FromCmbxSelect() {
    ::Ui::TMainForm& ui = *form_.ui;
    const int row = ui.FromCmbx->currentIndex();
    if (row < 0) {
        ui.ExploreBtn->setEnabled(false);
        return;
    }
    to_ = FillToPaths(ui.FromCmbx->currentText());
    ShowRows(ui.ToCmbx, to_);
    form_.UpdateControls();
}

void EasyController::ExploreLoadCmbxSelect() {
    ::Ui::TMainForm& ui = *form_.ui;
    ItemNode* route = ChosenRouteNode();
    // Emptied first: a saved session chosen below is described in it.
    ClearReport(&exploreDetails_);
    if (ui.ExploreLoadCmbx->currentIndex() <= 0) {
        // A new session: no saved one is reloaded any more.
        Explore().CurrentExploreRecord.SaveNumber = -1;
        traffic_ = FillTrafficActivities(*form_.QuarvelObjects(), route);
        ShowRows(ui.ConsistTrafficCmbx, traffic_);
    } else {
        FillSavedExploreSessions(route ? LastPathComponent(route->Data()->Folder) : QString());
    }
    ConsistTrafficCmbxClick();
    if (loadDroppedDown_ && ui.ConsistTrafficCmbx->count() > 1)
        ui.ConsistTrafficCmbx->showPopup();
    loadDroppedDown_ = false;
    form_.UpdateControls();
}

void EasyController::FillSavedExploreSessions(const QString& routeFolderName) {
    ::Ui::TMainForm& ui = *form_.ui;
    sessions_ = routeFolderName.isEmpty() ? SavedSessionRows()
                                          : qv::FillSavedExploreSessions(routeFolderName);
    const QSignalBlocker blocker(ui.ConsistTrafficCmbx);
    ui.ConsistTrafficCmbx->clear();
    ui.ConsistTrafficCmbx->addItems(sessions_.Rows);
    if (sessions_.Rows.isEmpty())
        ui.ExploreBtn->setEnabled(false);
    else
        ui.ConsistTrafficCmbx->setCurrentIndex(0);
}

void EasyController::ConsistTrafficCmbxClick() {
    ::Ui::TMainForm& ui = *form_.ui;
    ExploreState& explore = Explore();
    explore.ExploreSourceActivity.reset();
    const int load = ui.ExploreLoadCmbx->currentIndex();
    const int row = ui.ConsistTrafficCmbx->currentIndex();
    if (load == 1 && row >= 0) {
        StatusGuard status(QStringLiteral("LDSVEXP"));
        const bool ok =
            std::size_t(row) < sessions_.RowMap.size() &&
            RestoreExploreSession(ChosenRouteNode(), sessions_.RowMap[std::size_t(row)]);
        // The controls show the record read, restored or not, so that they never show choices
        // other than those the record holds.
        const ExploreActivitySaveInfo record = explore.CurrentExploreRecord;
        ui.LooseStockCbx->setChecked(record.LooseStock);
        ui.AITrafficCbx->setChecked(record.AITraffic);
        ui.StartTimePck->setTime(record.StartTime);
        ui.SeasonCmbx->setCurrentIndex(record.Season);
        ui.WeatherCmbx->setCurrentIndex(record.Weather);
        SessionRecordFromBoxes();
        if (!ok)
            explore.ExploreSourceActivity.reset();
        ui.ExploreBtn->setEnabled(ok);
        ClearReport(&exploreDetails_);
        DescribeExploreSession(explore.CurrentExploreRecord, &exploreDetails_);
        UpdateExploreSessionControls();
        return;
    }
    if (load != 0 || row < 1) {
        UpdateExploreSessionControls();
        return;
    }
    StatusGuard status(QStringLiteral("CONTRAF"));
    ItemNode* node = NodeAtPosition(*form_.QuarvelObjects(), traffic_.RecordOfRow(row));
    if (!node || !IsActivityItem(*node->Data()) ||
        node->Data()->Description != ui.ConsistTrafficCmbx->itemText(row))
        return;
    ApplyTrafficActivity(*node->Data());
}

void EasyController::ApplyTrafficActivity(const ItemSet& activity) {
    ::Ui::TMainForm& ui = *form_.ui;
    ExploreState& explore = Explore();
    EasyPage().EasyActivityConsist.clear();
    UpdateConsistViewButtons();
    ClearReport(&activityDetails_);
    ShowItemInfo(activity, &activityDetails_);
    const bool ok = CheckSessionActivity(activity);
    UpdateExploreSessionControls();
    if (ok) {
        // A source activity with loose consists offers them ticked; the user may untick them.
        ui.LooseStockCbx->setChecked(explore.ExploreTemplateActivity.LooseStock);
        const ActivityInfo& source = explore.ExploreTemplateActivity;
        ExploreActivitySaveInfo& record = explore.CurrentExploreRecord;
        record.SaveNumber = -1;
        record.Name = source.Name;
        record.Folder = source.Folder;
        record.FileName = source.FileName;
        ui.StartTimePck->setTime(source.StartTime);
        ui.SeasonCmbx->setCurrentIndex(source.Season);
        ui.WeatherCmbx->setCurrentIndex(source.Weather);
        SessionRecordFromBoxes();
        ClearReport(&exploreDetails_);
        AppendRichEditLines(&exploreDetails_, source.Description, true);
    }
    StartWhereTheActivityStarts();
}

// The Explore starts where the activity's player starts, when that start is offered.
void EasyController::StartWhereTheActivityStarts() {
    ::Ui::TMainForm& ui = *form_.ui;
    const QString& pathId = Explore().ExploreTemplateActivity.PathID;
    for (const auto& path : App().PathCacheList) {
        if (!path || !SameWithoutCase(path->FileName, pathId))
            continue;
        for (int row = 0; row < ui.FromCmbx->count(); ++row) {
            if (ui.FromCmbx->itemText(row).compare(path->EngineName, Qt::CaseInsensitive) == 0) {
                // The To rows are filled afresh once, whether or not the From row changed.
                {
                    const QSignalBlocker blocker(ui.FromCmbx);
                    ui.FromCmbx->setCurrentIndex(row);
                }
                FromCmbxSelect();
                break;
            }
        }
        return;
    }
}

void EasyController::StartTimePckChange() {
    Explore().CurrentExploreRecord.StartTime = form_.ui->StartTimePck->time();
}

void EasyController::SeasonCmbxChange() {
    Explore().CurrentExploreRecord.Season = form_.ui->SeasonCmbx->currentIndex();
}

void EasyController::WeatherCmbxChange() {
    Explore().CurrentExploreRecord.Weather = form_.ui->WeatherCmbx->currentIndex();
}

void EasyController::LooseStockCbxClick() {
    Explore().CurrentExploreRecord.LooseStock = form_.ui->LooseStockCbx->isChecked();
}

void EasyController::AITrafficCbxClick() {
    Explore().CurrentExploreRecord.AITraffic = form_.ui->AITrafficCbx->isChecked();
}

// The session record takes what the boxes show, also where a box could not show a value (out of
// range) or showed it already, so that the two never disagree.
void EasyController::SessionRecordFromBoxes() {
    StartTimePckChange();
    SeasonCmbxChange();
    WeatherCmbxChange();
    LooseStockCbxClick();
    AITrafficCbxClick();
}

void EasyController::UpdateExploreSessionControls() {
    ::Ui::TMainForm& ui = *form_.ui;
    const ExploreState& explore = Explore();
    QWidget* const options[] = {ui.LooseStockCbx, ui.AITrafficCbx, ui.StartTimePck, ui.SeasonCmbx,
                                ui.WeatherCmbx};
    if (ui.ExploreLoadCmbx->currentIndex() == 1) {
        for (QWidget* option : options)
            option->setEnabled(false);
        ui.ExpStartRDCbx->setEnabled(false);
        return;
    }
    ui.ConsistTrafficCmbx->setEnabled(!ui.SuppMSTSLaunchMnu->isChecked());
    const bool chosen = ui.ConsistTrafficCmbx->currentIndex() >= 1;
    const bool on =
        chosen && ui.ConsistTrafficCmbx->isEnabled() && explore.ExploreSourceActivity.has_value();
    for (QWidget* option : options)
        option->setEnabled(on);
    ui.ExpStartRDCbx->setEnabled(!on);
    if (explore.ExploreSourceActivity) {
        // A refresh keeps the user's choice of loose stock while the source activity has any.
        const ActivityInfo& source = explore.ExploreTemplateActivity;
        if (!source.LooseStock)
            ui.LooseStockCbx->setChecked(false);
        ui.LooseStockCbx->setEnabled(source.LooseStock);
        ui.AITrafficCbx->setEnabled(!source.Traffic.isEmpty());
    }
    if (!chosen) {
        ui.LooseStockCbx->setChecked(false);
        ui.AITrafficCbx->setChecked(false);
        ui.StartTimePck->setTime(
            QTime::fromString(QStringLiteral("10:00"), QStringLiteral("HH:mm")));
        ui.SeasonCmbx->setCurrentIndex(-1);
        ui.WeatherCmbx->setCurrentIndex(-1);
        SessionRecordFromBoxes();
    }
}

void EasyController::ExploreBtnClick() {
    ::Ui::TMainForm& ui = *form_.ui;
    ItemNode* routeNode = ChosenRouteNode();
    if (!routeNode || App().Busy)
        return;
    ExploreState& explore = Explore();
    const int load = ui.ExploreLoadCmbx->currentIndex();
    const int trafficRow = ui.ConsistTrafficCmbx->currentIndex();
    if ((load == 1 && trafficRow < 0) || (load == 0 && trafficRow < 1))
        explore.ExploreSourceActivity.reset();
    const int consist = ChosenConsist();
    const int toPath = ChosenToPath();
    // A new session needs a consist and an end point to start MSTS with; a saved session brings
    // its own and can only be launched once restored.
    if (load == 1 ? !explore.ExploreSourceActivity : consist < 0 || toPath < 0) {
        ui.ExploreBtn->setEnabled(false);
        return;
    }
    form_.SetSimulationMaintPageIndex(0);
    QString consistFile = explore.CurrentExploreRecord.ConsistFileName;
    QString playerPath = explore.CurrentExploreRecord.PlayerPathFileName;
    if (load != 1) {
        // A new session, whatever was reloaded on this or another route before.
        explore.CurrentExploreRecord.SaveNumber = -1;
        consistFile = App().ConsistCacheList[std::size_t(consist)]->FileName;
        const ItemSet& path = *App().PathCacheList[std::size_t(toPath)];
        playerPath = path.Folder + u'\\' + path.FileName;
        explore.CurrentExploreRecord.ConsistFileName = consistFile;
        explore.CurrentExploreRecord.PlayerPathFileName = playerPath;
    }

    ItemTree& tree = *form_.QuarvelObjects();
    tree.SetSelected(routeNode);
    MarkSelectedNode(1, true);
    const QString activities = routeNode->Data()->Folder + QStringLiteral("\\Activities");
    for (ItemNode* node = routeNode; node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if ((item.PType & PT_ACTIVITY) && (item.PType & PT_HEADING) &&
            SameWithoutCase(item.Folder, activities)) {
            tree.SetSelected(node);
            MarkSelectedNode(2, false);
            break;
        }
    }
    const bool suppressLaunch = ReadFlag(QStringLiteral("Easy Suppress MSTS Launch"));
    if (explore.ExploreSourceActivity) {
        form_.SetChecked(QStringLiteral("LaunchMSTSCbx"), !suppressLaunch);
        if (!GoAndLaunch(ui.ExploreBtn, true))
            TheUi().MessageBox(Caption(Msg::ERROR_LEG) + QStringLiteral(": ") +
                                   Caption(Msg::SURVEY_ERRORS) + u'\n' +
                                   form_.InformationMemo()->Lines().join(u'\n'),
                               App().ProgramTitle, MB_ICONSTOP);
        tree.SetSelected(routeNode);
        return;
    }

    bool launched = false;
    if (ItemNode* tutorial = FindTutorialActivity(tree)) {
        if (!suppressLaunch)
            form_.SetChecked(QStringLiteral("LaunchMSTSCbx"), true);
        tree.SetSelected(tutorial);
        MarkSelectedNode(1, false);
        form_.UpdateControls();
        ConflictList entries;
        if (BuildTsectionEntryList(entries, false) && !FindTsectionConflicts(entries, true))
            launched = GoAndLaunch(ui.ExploreBtn, true);
        ClearTypedList(RK_CONFLICT, entries);
    }
    if (!launched && !ExploreLaunch(ui.ExploreBtn, routeNode, consistFile, playerPath))
        TheUi().MessageBox(Caption(Msg::WARN_NO_VALID_ACTIVTY), App().ProgramTitle,
                           MB_ICONEXCLAMATION);
    if (TreePosition(tree, routeNode) >= 0)
        tree.SetSelected(routeNode);
}

// ---- Edit List -------------------------------------------------------------------------------

void EasyController::AddRemoveConsistBtnClick() {
    ItemNode* routeNode = ChosenRouteNode();
    ItemTree* tree = form_.QuarvelObjects();
    TreeController* lists = form_.Tree();
    if (!routeNode || !tree || !lists || !lists->ShowConsistListEditor || App().Busy)
        return;
    const bool global = form_.ui->AllLocomotivesCmbx->currentIndex() == 1;
    ItemNode* owner = global ? tree->First() : routeNode;
    if (!owner)
        return;
    const QString folder = global ? QStringLiteral("TRAINS\\CONSISTS") : owner->Data()->Folder;
    if (ReadRouteLists(folder, PT_EXPLORE_CONSIST, false).Count() > 1) {
        TheUi().MessageBox(Caption(Msg::EASY_EDITLIST_MULTIPLE_LIST_ERROR), App().ProgramTitle,
                           MB_ICONSTOP);
        return;
    }
    ItemNode* list = nullptr;
    const QString ownerFolder = owner->Data()->Folder;
    for (int i = 0; i < owner->ChildCount() && !list; ++i) {
        ItemNode* child = owner->Child(i);
        if (!child->Data()->Folder.startsWith(ownerFolder, Qt::CaseInsensitive))
            break;
        if (child->Data()->PType & PT_EXPLORE_CONSIST)
            list = child;
    }
    // Without a list node the editor shows all consists.
    const int listClass = list ? ClassifyListNode(list) : 0;
    const int mode = (listClass & 1) ? 1 : (listClass & 2) ? 2 : 0;
    tree->SetSelected(list ? list : routeNode);
    const int result = lists->ShowConsistListEditor(list, mode);
    if (TreePosition(*tree, routeNode) < 0)
        return;
    if (result == 1 || App().EasyListsStale) {
        FillLocomotives(routeNode);
        LocomotivesLstbxClick();
        form_.UpdateControls();
    }
    tree->SetSelected(routeNode);
    form_.MainPageControlChange();
}

} // namespace qv
