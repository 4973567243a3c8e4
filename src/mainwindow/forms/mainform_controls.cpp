// The control-state refresh of the main window: after every command that changes marks, the
// tree, the page or the store state, the window caption, the menus, the buttons and the labels are
// first put back to a closed state and then opened as the selected node and the page allow.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "catalogue/itemfiles.h"
#include "core/appstate.h"
#include "core/controlhelpers.h"
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "easy/explorestate.h"
#include "mainwindow/forms/easycontroller.h"
#include "mainwindow/objecttree.h"

#include <QMenu>
#include <QPointer>

namespace qv {

namespace {

// "\r" in a caption breaks the line; a button shows it as a line feed.
QString ButtonCaption(Msg key) {
    return Caption(key).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// "&&" in a caption stands for one ampersand.
QString LabelCaption(Msg key) {
    return Caption(key).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

// "Selected Unstored": what the last preparation for maintenance unstored; -1 when none.
int SelectedUnstored() {
    bool ok = false;
    const int value = RegReadString(kProductKey, QStringLiteral("Selected Unstored")).toInt(&ok);
    return ok ? value : -1;
}

QString ToolPath(const QString& subKey, const QString& value) {
    return RegReadString(kProductKey + QLatin1Char('\\') + subKey, value);
}

bool AnyRouteInUse(const ItemTree& tree) {
    for (const ItemNode* node = tree.First(); node; node = node->GetNext()) {
        if ((node->Data()->PType & PT_ROUTE) && node->Data()->StoreInd == SI_IN_USE)
            return true;
    }
    return false;
}

// The children of a list node by state, counted only for a heading without a folder; every
// other node counts none.
struct ListChildCounts {
    std::int32_t inStore = 0, inUse = 0, active = 0, inactive = 0;
};
ListChildCounts CountListChildren(const ItemNode* node) {
    ListChildCounts counts;
    const ItemSet& item = *node->Data();
    if ((item.PType & PT_HEADING) && item.Folder.isEmpty())
        CountChildStates(node, counts.inStore, counts.inUse, counts.active, counts.inactive, true);
    return counts;
}

} // namespace

void TMainForm::UpdateControls() {
    // The reset below disables the focused button for a moment, and the focus would move on to
    // the next enabled control (Exit, where a second Space ends the program).
    const QPointer<QWidget> focus = focusWidget();
    // Marks change records in place (store jobs, marking commands): redraw their state icons.
    tree_.NotifyRecordsChanged();
    ResetControlsForRefresh();
    ShowWindowCaption();
    ui->TSectionMnu->setEnabled(tree_.RootCount() > 0);
    ShowRailDriverBoxes();
    if (MainPageIndex() == 1)
        UpdatePopupAndButtons();
    else if (MainPageIndex() == 0)
        UpdateEasyControls();
    App().EasyListsStale = false;
    KeepFocusAfterRefresh(focus);
}

// The control that had the focus keeps it when it can still take it; otherwise the page's main
// list takes it, so that the arrows reach the tree (or the routes) and never Exit.
void TMainForm::KeepFocusAfterRefresh(QWidget* focus) {
    if (!focus || focusWidget() == focus)
        return;
    QWidget* target = focus;
    if (!target->isEnabled() || !target->isVisible())
        target = PageFocusControl();
    if (target && target->isEnabled() && target->isVisible())
        target->setFocus(Qt::OtherFocusReason);
}

QWidget* TMainForm::PageFocusControl() const {
    return MainPageIndex() == 1 ? static_cast<QWidget*>(ui->QuarvelObjects)
                                : static_cast<QWidget*>(ui->RoutesLstbx);
}

void TMainForm::ResetControlsForRefresh() {
    ui->GoBtn->setEnabled(false);
    ui->UnstoreBtn->setEnabled(false);
    ui->DefaultRoutesCbx->setEnabled(false);
    for (QMenu* menu :
         {ui->RoutesMnu, ui->ActivitiesMnu, ui->PathsMnu, ui->ExploreModeConsistsMnu, ui->StockMnu})
        DisableMenuTree(menu);
    for (QAction* item : {ui->RebuildCachesMnu,
                          ui->ResetPaneWidthMnu,
                          ui->ReportsMnu->menuAction(),
                          ui->ExpandListByDefault,
                          ui->ViewObjectsbyFileNameMnu,
                          ui->ShowAllEasyConsistsMnu,
                          ui->SuppMSTSLaunchMnu,
                          ui->SuppBackgrdImageMnu,
                          ui->StartBlank,
                          ui->SuppressMaintenanceWarning,
                          ui->SuppressWhereUsedMnu,
                          ui->DefaultScenarioMnu,
                          ui->EditorSettingsMnu,
                          ui->ConBuilderMnu,
                          ui->RouteRiterMnu,
                          ui->New1,
                          ui->Open1,
                          ui->Save1,
                          ui->SaveAs1,
                          ui->StartCBMnu,
                          ui->StartRRMnu})
        item->setVisible(false);
    ui->TSectionMnu->setEnabled(false);
    for (QAbstractButton* button : {ui->AddExploreModeConsistsBtn, ui->AddExploreModePathsBtn,
                                    ui->StoreRoute_ActivityBtn, ui->UnStoreRoute_ActivityBtn}) {
        SetGlyph(button, -1);
        button->setEnabled(false);
    }
    ui->StoreRoute_ActivityBtn->setText(ButtonCaption(Msg::STORE_ROUTE_TAG));
    ui->UnStoreRoute_ActivityBtn->setText(ButtonCaption(Msg::UNSTORE_ROUTE_TAG));
    ui->AddExploreModeConsistsBtn->setText(ButtonCaption(Msg::EDIT_GLOBAL_SETTINGS_TAG));
    ui->AddExploreModePathsBtn->setText(ButtonCaption(Msg::EDIT_SELECTED_ROUTE_TAG));
    ui->AddRemoveConsistBtn->setEnabled(false);
    ui->ExploreBtn->setEnabled(false);
    ui->MaintenanceLabel->setVisible(false);
    ui->ViewAllConsistsMnu->setEnabled(true);
    ui->ViewAllStockItemsMnu->setEnabled(true);
}

// The program title, then the scenario in brackets (with "Changed" while its marks differ from
// the file), the store state and whether tree and folders agree.
void TMainForm::ShowWindowCaption() {
    QString caption = App().ProgramTitle;
    if (!currentScenarioFile_.isEmpty()) {
        caption += QStringLiteral(" [") + currentScenarioFile_;
        if (App().ScenarioChanged)
            caption += QStringLiteral(" (") + Caption(Msg::CAPTION_TEXT_CHANGED) + u')';
        caption += u']';
    }
    if (ReadFlag(QStringLiteral("Everything Unstored"))) {
        caption += QStringLiteral(" [") + Caption(Msg::CAPTION_TEXT_EVERYTHING_UNSTORED) + u']';
    } else {
        switch (SelectedUnstored()) {
        case 0:
            caption += u' ' + Caption(Msg::MAINT_UNSTORED);
            break;
        case 1:
            caption += u' ' + Caption(Msg::MAINT_UNSTORED_ALL_CONSISTS);
            break;
        case 2:
            caption += u' ' + Caption(Msg::MAINT_UNSTORED_ALL_STOCK);
            break;
        default:
            break;
        }
    }
    if (App().TreeSynchronised)
        caption += QStringLiteral(" [") + Caption(Msg::CAPTION_TEXT_SYNCHRONISED) + u']';
    setWindowTitle(caption);
}

void TMainForm::ShowRailDriverBoxes() {
    const bool present =
        !ToolPath(QStringLiteral("RailDriver"), QStringLiteral("RD EXE Path")).isEmpty();
    const bool startRd = ReadFlag(QStringLiteral("Start RD"));
    for (QAbstractButton* box : {ui->StartRDCbx, ui->ActStartRDCbx, ui->ExpStartRDCbx}) {
        box->setVisible(present);
        box->setChecked(startRd);
    }
}

void TMainForm::UpdatePopupAndButtons() {
    const bool maintenance = SimulationMaintPageIndex() == 1;
    for (QAction* item :
         {ui->New1, ui->Open1, ui->Save1, ui->SaveAs1, ui->RebuildCachesMnu, ui->ResetPaneWidthMnu,
          ui->ReportsMnu->menuAction(), ui->ExpandListByDefault, ui->ViewObjectsbyFileNameMnu,
          ui->StartBlank, ui->DefaultScenarioMnu, ui->SuppressMaintenanceWarning,
          ui->SuppressWhereUsedMnu, ui->EditorSettingsMnu, ui->ConBuilderMnu, ui->RouteRiterMnu})
        item->setVisible(true);
    if (maintenance) {
        ui->StartCBMnu->setVisible(
            !ToolPath(QStringLiteral("ConBuilder"), QStringLiteral("CB EXE Path")).isEmpty());
        ui->StartRRMnu->setVisible(
            !ToolPath(QStringLiteral("Route_Riter"), QStringLiteral("RR EXE Path")).isEmpty());
    }

    ui->SVIEWMnu->setVisible(App().ViewerControlRegistered && !App().NoViewerFile);
    ui->SVIEWMnu1->setVisible(ui->SVIEWMnu->isVisible() || !App().ShapeViewerPath.isEmpty());
    ui->StartRDCbx->setEnabled(ui->LaunchMSTSCbx->isChecked());

    if (tree_.RootCount() > 0) {
        ui->GoBtn->setEnabled(true);
        ui->DefaultRoutesCbx->setEnabled(true);
        ui->UnstoreBtn->setEnabled(ui->DefaultRoutesCbx->isChecked() || AnyRouteInUse(tree_));
    }
    ui->MaintenanceLabel->setVisible(
        !ReadFlag(QStringLiteral("Suppress Maintenance Edit Warning")) &&
        !ReadFlag(QStringLiteral("Everything Unstored")) && SelectedUnstored() < 0);
    if (maintenance) {
        ui->TreePanelLbl->setText(LabelCaption(Msg::TREE_PANEL_MAINT_LABEL));
        ui->ExplMaintConsistStockLbl->setText(LabelCaption(Msg::EXPLMAINTCONSISTSTOCK_LBL_MAINT));
        ui->ExplMaintPathLbl->setText(LabelCaption(Msg::EXPLMAINTPATH_LBL_MAINT));
    } else {
        ui->ExplMaintConsistStockLbl->setText(LabelCaption(Msg::EXPLMAINTCONSISTSTOCK_LBL_SIM));
        ui->ExplMaintPathLbl->setText(LabelCaption(Msg::EXPLMAINTPATH_LBL_SIM));
        ui->TreePanelLbl->setText(LabelCaption(Msg::TREE_PANEL_SIM_LABEL));
    }

    ItemNode* node = tree_.Selected();
    if (!node)
        return;
    const ItemSet& item = *node->Data();
    const int listClass = ClassifyListNode(node);
    const bool heading = item.PType & PT_HEADING;
    const ItemNode* parent = node->Parent();
    ui->ViewAllPathsMnu->setEnabled(
        item.Folder.startsWith(QStringLiteral("ROUTES\\"), Qt::CaseInsensitive));
    // A list node whose own list cannot be edited while it has entries offers no editing.
    const bool editable = (listClass & 0x1) || node->ChildCount() == 0;

    if (item.PType & (PT_ROUTE | PT_ACTIVITY)) {
        const bool route = item.PType & PT_ROUTE;
        QAction* store = route ? ui->StoreRouteMnu : ui->StoreActivityMnu;
        QAction* unstore = route ? ui->UnStoreRouteMnu : ui->UnStoreActivityMnu;
        ui->StoreRoute_ActivityBtn->setText(
            ButtonCaption(route ? Msg::STORE_ROUTE_TAG : Msg::STORE_ACTIVITY_TAG));
        ui->UnStoreRoute_ActivityBtn->setText(
            ButtonCaption(route ? Msg::UNSTORE_ROUTE_TAG : Msg::UNSTORE_ACTIVITY_TAG));
        bool offerUnstore = false;
        bool offerStore = false;
        if (!heading) {
            if (route) {
                ui->SetTSECTIONMnu->setEnabled(true);
                ui->UnStoreThisRouteOnlyMnu->setEnabled(true);
            } else {
                ui->UnStoreThisActivityOnlyMnu->setEnabled(true);
            }
            // On the Maintenance page a single activity is prepared only with its partial route.
            if (route || !maintenance || ui->PartialRouteCbx->isChecked()) {
                offerUnstore = item.StoreInd == SI_IN_STORE;
                offerStore = item.StoreInd == SI_IN_USE && parent;
            }
        } else if (node->ChildCount() > 0) {
            std::int32_t inStore = 0, inUse = 0, active = 0, inactive = 0;
            CountChildStates(node, inStore, inUse, active, inactive, true);
            offerUnstore = inStore > 0;
            offerStore = inUse > 0;
        }
        if (offerUnstore) {
            ui->UnStoreRoute_ActivityBtn->setEnabled(true);
            SetGlyph(ui->UnStoreRoute_ActivityBtn, BTN_UNSTORE);
            unstore->setEnabled(true);
        }
        if (offerStore) {
            ui->StoreRoute_ActivityBtn->setEnabled(true);
            SetGlyph(ui->StoreRoute_ActivityBtn, BTN_STORE);
            store->setEnabled(true);
        }
        return;
    }

    if (item.PType & (PT_EXPLORE_PATH | PT_MAINT_PATH)) {
        const ListChildCounts counts = CountListChildren(node);
        if (heading && !item.Folder.isEmpty() && parent &&
            (parent->Data()->PType & (PT_EXPLORE_PATH | PT_MAINT_PATH))) {
            ui->ActivateThisPathListOnlyMnu->setEnabled(true);
            (item.StoreInd == SI_LIST_ACTIVE ? ui->DeActivatePathListMnu : ui->ActivatePathListMnu)
                ->setEnabled(true);
        }
        if (!heading)
            ui->WhereUsedMnu2->setEnabled(true);
        if (counts.inactive > 0)
            ui->ActivatePathListMnu->setEnabled(true);
        if (counts.active > 0)
            ui->DeActivatePathListMnu->setEnabled(true);
        if (listClass & 0x2)
            ui->AddPathListMnu->setEnabled(true);
        if (!editable)
            return;
        ui->AddExploreModePathsBtn->setEnabled(true);
        if (item.PType & PT_EXPLORE_PATH) {
            SetGlyph(ui->AddExploreModePathsBtn, BTN_EXPLORE_PATH_LIST);
            ui->AddExploreModePathsMnu->setEnabled(true);
            ui->ExplMaintPathLbl->setText(LabelCaption(Msg::EXPLMAINTPATH_LBL_SIM));
        } else {
            SetGlyph(ui->AddExploreModePathsBtn, BTN_MAINTENANCE_PATH_LIST);
            ui->AddMaintenancePathsMnu->setEnabled(true);
            ui->ExplMaintPathLbl->setText(LabelCaption(Msg::EXPLMAINTPATH_LBL_MAINT));
        }
        return;
    }

    if (!(item.PType & (PT_EXPLORE_CONSIST | PT_MAINT_CONSIST | PT_MAINT_STOCK)))
        return;
    const ItemNode* owner = node;
    while (owner &&
           (owner->Data()->PType & (PT_EXPLORE_CONSIST | PT_MAINT_CONSIST | PT_MAINT_STOCK)))
        owner = owner->Parent();
    ui->AddExploreModeConsistsBtn->setText(ButtonCaption(owner && (owner->Data()->PType & PT_GLOBAL)
                                                             ? Msg::EDIT_GLOBAL_SETTINGS_TAG
                                                             : Msg::EDIT_SELECTED_ROUTE_TAG));
    const ListChildCounts counts = CountListChildren(node);
    const bool stock = item.PType & PT_MAINT_STOCK;
    const std::uint32_t kindMask = stock ? PT_MAINT_STOCK : (PT_EXPLORE_CONSIST | PT_MAINT_CONSIST);
    QAction* activateOnly =
        stock ? ui->ActivateThisStockListOnlyMnu : ui->ActivateThisConsistListOnlyMnu;
    QAction* activate = stock ? ui->ActivateStockListMnu : ui->ActivateConsistListMnu;
    QAction* deactivate = stock ? ui->DeActivateStockListMnu : ui->DeActivateConsistListMnu;
    if (heading && !item.Folder.isEmpty() && parent && (parent->Data()->PType & kindMask)) {
        activateOnly->setEnabled(true);
        (item.StoreInd == SI_LIST_ACTIVE ? deactivate : activate)->setEnabled(true);
    }
    if (!heading) {
        (stock ? ui->WhereUsedMnu1 : ui->WhereUsedMnu)->setEnabled(true);
        (stock ? ui->SVIEWMnu1 : ui->SVIEWMnu)->setEnabled(true);
    }
    if (counts.inactive > 0)
        activate->setEnabled(true);
    if (counts.active > 0)
        deactivate->setEnabled(true);
    if (listClass & 0x2)
        (stock ? ui->AddStockListMnu : ui->AddConsistListMnu)->setEnabled(true);
    if (!editable)
        return;
    ui->AddExploreModeConsistsBtn->setEnabled(true);
    if (item.PType & PT_EXPLORE_CONSIST) {
        SetGlyph(ui->AddExploreModeConsistsBtn, BTN_EXPLORE_CONSIST_LIST);
        ui->AddExploreModeConsistMnu->setEnabled(true);
        ui->ExplMaintConsistStockLbl->setText(LabelCaption(Msg::EXPLMAINTCONSISTSTOCK_LBL_SIM));
    } else if (item.PType & PT_MAINT_CONSIST) {
        SetGlyph(ui->AddExploreModeConsistsBtn, BTN_MAINTENANCE_CONSIST_LIST);
        ui->AddMaintenanceConsistsMnu->setEnabled(true);
        ui->ExplMaintConsistStockLbl->setText(
            LabelCaption(Msg::EXPLMAINTCONSISTSTOCK_LBL_MAINT_CONS));
    } else {
        SetGlyph(ui->AddExploreModeConsistsBtn, BTN_MAINTENANCE_STOCK_LIST);
        ui->AddMaintenanceStockMnu->setEnabled(true);
        ui->ExplMaintConsistStockLbl->setText(
            LabelCaption(Msg::EXPLMAINTCONSISTSTOCK_LBL_MAINT_STOCK));
    }
}

void TMainForm::UpdateEasyControls() {
    ui->SetTSECTIONMnu->setEnabled(true);
    ui->ViewAllPathsMnu->setEnabled(true);
    const bool launchSuppressed = ui->SuppMSTSLaunchMnu->isChecked();
    if (ActivityExplorePageIndex() == 0) {
        ui->ActStartRDCbx->setEnabled(!launchSuppressed);
    } else if (ActivityExplorePageIndex() == 1) {
        ui->ShowAllEasyConsistsMnu->setVisible(true);
        UpdateExploreButton();
        const int load = ui->ExploreLoadCmbx->currentIndex();
        for (QWidget* choice :
             {static_cast<QWidget*>(ui->AllLocomotivesCmbx),
              static_cast<QWidget*>(ui->LocomotivesLstbx), static_cast<QWidget*>(ui->ConsistsCmbx),
              static_cast<QWidget*>(ui->FromCmbx), static_cast<QWidget*>(ui->ToCmbx)})
            choice->setEnabled(load != 1);
        ui->ConsistTrafficCmbx->setEnabled(!launchSuppressed);
        if (easyController_)
            easyController_->UpdateExploreSessionControls();
        ui->ExpStartRDCbx->setEnabled(load == 0 && !launchSuppressed &&
                                      ui->ConsistTrafficCmbx->currentIndex() < 1);
        if (load == 0) {
            ui->AddRemoveConsistBtn->setEnabled(true);
            SetHint(ui->AddRemoveConsistBtn, Caption(Msg::EDIT_EXPLORE_MODE_CONSIST_LIST_TAG) +
                                                 u' ' +
                                                 Caption(ui->AllLocomotivesCmbx->currentIndex() == 1
                                                             ? Msg::TREE_HEADING_GLOBAL
                                                             : Msg::EDIT_THIS_ROUTE_TAG) +
                                                 u'|');
        }
    }
    ui->SuppMSTSLaunchMnu->setVisible(true);
    ui->SuppBackgrdImageMnu->setVisible(true);
}

// The chosen consist and To path are found through the rows' data: their places in
// ConsistCacheList and PathCacheList.
void TMainForm::UpdateExploreButton() {
    if (ui->ExploreLoadCmbx->currentIndex() == 1) {
        // A saved session brings its own consist and path, and the choices of a new session are
        // locked meanwhile: only the session's restore counts.
        ui->ExploreBtn->setEnabled(ui->ConsistTrafficCmbx->currentIndex() >= 0 &&
                                   Explore().ExploreSourceActivity.has_value());
        return;
    }
    // A start point alone is not enough: MSTS needs the path, which the To row names.
    bool toOk = false;
    const int toPath = ui->ToCmbx->currentData().toInt(&toOk);
    bool enable = ui->LocomotivesLstbx->currentRow() >= 0 &&
                  ui->ConsistsCmbx->currentIndex() >= 0 && ui->FromCmbx->currentIndex() >= 0 &&
                  toOk && toPath >= 0 && std::size_t(toPath) < App().PathCacheList.size();
    if (enable) {
        bool ok = false;
        const int index = ui->ConsistsCmbx->currentData().toInt(&ok);
        const auto& consists = App().ConsistCacheList;
        const ItemSet* consist = ok && index >= 0 && std::size_t(index) < consists.size()
                                     ? consists[std::size_t(index)].get()
                                     : nullptr;
        enable = consist && !(consist->PType & (PT_NAME_DIFFERS | PT_LEAD_NO_CABVIEW));
    }
    ui->ExploreBtn->setEnabled(enable);
}

void TMainForm::RebuildTreeForPage(int state) {
    if (tree_.RootCount() == 0)
        return;
    RecordList<ItemSet> items;
    SaveScenario(tree_, QString(), &items);
    qv::LoadTree(tree_, QString(), &items, state);
    ClearTypedList(RK_ITEMSET, items);
}

// The tree is rebuilt for its texts in the new language, with the selection kept: the controls
// and the information pane go on showing the node the user was at.
void TMainForm::RefreshAfterLanguageChange(int mainPage, int simulationMaintPage, int easyPage) {
    SetMainPageIndex(mainPage);
    SetSimulationMaintPageIndex(simulationMaintPage);
    SetActivityExplorePageIndex(easyPage);
    if (tree_.RootCount() > 0) {
        RememberLastNode(tree_, App().LastTreeSelection, false);
        RebuildTreeForPage(-1);
        ReselectLastNode(tree_, App().LastTreeSelection);
    }
    UpdateControls();
    ShowSelectedNodeInfo();
    MainPageControlChange();
}

void TMainForm::MainPageControlChange() {
    // A start on the Easy page leaves the Classic tree to its first showing.
    if (MainPageIndex() == 1 && App().FirstLoadPending && !App().FirstTickPending &&
        !App().CommandLineJob) {
        SetBusy(true);
        LoadFirstTree();
        SetBusy(false);
    }
    if (MainPageIndex() == 1) {
        if (App().ReportItemCount == 0)
            ShowSelectedNodeInfo();
    } else if (MainPageIndex() == 0 && !App().FirstTickPending) {
        // The Easy page opens on the route of the tree's selection.
        int routeIndex = -1;
        const ItemNode* node = tree_.Selected();
        while (node && node->Data()->PLevel > 1 && node->Parent())
            node = node->Parent();
        if (node && (node->Data()->PType & PT_ROUTE))
            routeIndex = TreePosition(tree_, node);
        easyController_->RefillLists(routeIndex);
    }
    UpdateControls();
}

// The selection survives the rebuild; with an empty tree there is nothing to keep, and the
// remembered node of the last run stays as it was.
void TMainForm::SimulationMaintPageControlChange() {
    if (tree_.RootCount() > 0) {
        RememberLastNode(tree_, App().LastTreeSelection, false);
        RebuildTreeForPage(-1);
        ReselectLastNode(tree_, App().LastTreeSelection);
    }
    UpdateControls();
    ShowSelectedNodeInfo();
}

} // namespace qv
