// The main window's commands: each menu item, tool button, button and check box is bound to the
// operation it starts, and the commands whose operations are still to come are kept visible but
// disabled.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "catalogue/cacherebuild.h"
#include "catalogue/rebuildlistings.h"
#include "core/appstate.h"
#include "core/forms/fontrecord.h"
#include "core/generaldefs.h"
#include "core/highlightfont.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "easy/goandlaunch.h"
#include "easy/marking.h"
#include "editors/forms/listeditordlg.h"
#include "editors/forms/listeditoropeners.h"
#include "engine/storecommand.h"
#include "engine/tsectionedit.h"
#include "engine/unstoreall.h"
#include "engine/usedincommon.h"
#include "engine/whereusedreport.h"
#include "mainwindow/closeform.h"
#include "mainwindow/forms/easycontroller.h"
#include "mainwindow/forms/mainform_settings.h"
#include "mainwindow/forms/treecontroller.h"
#include "mainwindow/scenariofiles.h"
#include "platform/ui.h"

#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

namespace qv {

namespace {

// The main window's text commands and highlight font, as the list editors use them while one is
// open.
void BindListEditorHooks(TMainForm& form) {
    ListEditorFormHooks& hooks = TheListEditorFormHooks();
    // The editor searches with its own record, so the main window's search stays where it was.
    hooks.FindInControl = [&form](SearchTextSet& record, QWidget* control) {
        form.FindInControl(record, control);
    };
    hooks.SaveText = [&form](QWidget* control) { form.SaveFocusedTextAs(control); };
    hooks.PrintText = [&form](QWidget* control) { form.PrintFocusedText(control); };
    hooks.HighlightFont = [](const QFont& defaultFont) {
        return HighlightQFont(ReadHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName),
                              defaultFont);
    };
    hooks.HighlightColour = [] {
        const HighlightFont stored = ReadHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName);
        return stored.HasData ? ColourFromColorRef(stored.Colour) : QColor();
    };
}

template <class Handler> void OnTrigger(QAction* item, QObject* context, Handler handler) {
    QObject::connect(item, &QAction::triggered, context, handler);
}
template <class Handler> void OnClick(QAbstractButton* button, QObject* context, Handler handler) {
    QObject::connect(button, &QAbstractButton::clicked, context, handler);
}

} // namespace

void TMainForm::BindCommands() {
    // Scenario files.
    for (QAction* item : {ui->New1, ui->NewTBtn})
        OnTrigger(item, this, [this, item] { qv::New1Click(item); });
    for (QAction* item : {ui->Open1, ui->OpenTBtn})
        OnTrigger(item, this, [this, item] { qv::Open1Click(item); });
    for (QAction* item : {ui->Save1, ui->SaveTBtn})
        OnTrigger(item, this, [item] { qv::Save1Click(item); });
    for (QAction* item : {ui->SaveAs1, ui->SaveAsTBtn})
        OnTrigger(item, this, [item] { qv::SaveAs1Click(item); });
    for (QAction* item :
         {ui->MRU0, ui->MRU1, ui->MRU2, ui->MRU3, ui->MRU4, ui->MRU5, ui->MRU6, ui->MRU7, ui->MRU8})
        OnTrigger(item, this,
                  [item] { qv::MRU0Click(item, item->property(kTagProperty).toInt()); });
    OnTrigger(ui->DefaultScenarioMnu, this,
              [this] { qv::DefaultScenarioMnuClick(ui->DefaultScenarioMnu); });
    connect(ui->File1, &QMenu::aboutToShow, this, &TMainForm::File1Click);
    for (QAction* item : {ui->Exit1})
        OnTrigger(item, this, [this] { ExitBtnClick(); });
    OnClick(ui->ExitBtn, this, [this] { ExitBtnClick(); });

    // Marks on the tree.
    for (QAction* item : {ui->StoreRouteMnu, ui->StoreActivityMnu})
        OnTrigger(item, this, [this] {
            MarkSelectedNode(SI_IN_STORE, false);
            UpdateControls();
        });
    OnClick(ui->StoreRoute_ActivityBtn, this, [this] {
        MarkSelectedNode(SI_IN_STORE, false);
        UpdateControls();
    });
    for (QAction* item : {ui->UnStoreRouteMnu, ui->UnStoreActivityMnu})
        OnTrigger(item, this, [this] {
            MarkSelectedNode(SI_IN_USE, false);
            UpdateControls();
        });
    OnClick(ui->UnStoreRoute_ActivityBtn, this, [this] {
        MarkSelectedNode(SI_IN_USE, false);
        UpdateControls();
    });
    for (QAction* item : {ui->UnStoreThisRouteOnlyMnu, ui->UnStoreThisActivityOnlyMnu})
        OnTrigger(item, this, [this] {
            MarkSelectedNode(SI_IN_USE, true);
            UpdateControls();
        });

    // Store jobs.
    OnClick(ui->GoBtn, this, [this] { GoAndLaunch(ui->GoBtn, false); });
    OnClick(ui->UnstoreBtn, this, [this] { UnstoreBtnClick(); });
    for (QAction* item : {ui->UnStoreCompletely, ui->UnStoreCompletelyTBtn})
        OnTrigger(item, this, [] { UnstoreEverything(true); });

    // The Classic page's check boxes.
    OnClick(ui->EveryThingCbx, this, [this] { EveryThingCbxClick(); });
    OnClick(ui->DefaultRoutesCbx, this, [this] { DefaultRoutesCbxClick(); });
    OnClick(ui->AllStockCbx, this,
            [](bool checked) { WriteFlag(checked, QStringLiteral("All Stock")); });
    OnClick(ui->IncludeExploreModeCbx, this,
            [](bool checked) { WriteFlag(checked, QStringLiteral("Include Explore Consists")); });
    OnClick(ui->IncludeExploreModePathsCbx, this,
            [](bool checked) { WriteFlag(checked, QStringLiteral("Include Explore Paths")); });
    OnClick(ui->PartialRouteCbx, this, [this](bool checked) {
        WriteFlag(checked, QStringLiteral("Partial Route"));
        UpdateControls();
    });
    OnClick(ui->LaunchMSTSCbx, this, [this](bool checked) {
        WriteFlag(checked, QStringLiteral("Launch MSTS"));
        UpdateControls();
    });
    for (QAbstractButton* box : {ui->StartRDCbx, ui->ActStartRDCbx, ui->ExpStartRDCbx})
        OnClick(box, this, [](bool checked) { WriteFlag(checked, QStringLiteral("Start RD")); });

    OnTrigger(ui->ResetPaneWidthMnu, this, [this] { ResetPaneWidthMnuClick(*this); });

    // Pages.
    connect(ui->MainPageControl, &QTabWidget::currentChanged, this,
            [this] { MainPageControlChange(); });
    connect(ui->SimulationMaintPageControl, &QTabWidget::currentChanged, this,
            [this] { SimulationMaintPageControlChange(); });

    // TSECTION.DAT, fixed objects and the store folder.
    OnTrigger(ui->SetTSECTIONMnu, this, [] { EditRouteTsectionSettings(); });
    OnTrigger(ui->TSectionMnu, this, [] { EditDefaultTsectionSettings(); });
    OnTrigger(ui->FixedObjects1, this, [] { TheUi().SetFixedObjects(); });
    OnTrigger(ui->StorageFolder1, this, [] { TheUi().SelectStoragePath(); });

    // Reports and caches.
    OnTrigger(ui->RebuildCachesMnu, this, [this] { RebuildCachesMnuClick(); });
    for (QAction* item : {ui->WhereUsedMnu, ui->WhereUsedMnu1, ui->WhereUsedMnu2})
        OnTrigger(item, this, [this] { WhereUsedMnuClick(); });
    OnTrigger(ui->WhereUsedCompleteMnu, this,
              [this] { WhereUsedAll(WU_COMPLETE, InformationMemo()); });
    OnTrigger(ui->UnusedItemsMnu, this,
              [this] { WhereUsedAll(WU_UNUSED_ONLY, InformationMemo()); });
    OnTrigger(ui->WhereUsedNoUnusedMnu, this,
              [this] { WhereUsedAll(WU_USED_ONLY, InformationMemo()); });

    // Named lists on the tree.
    TreeController* tree = treeController_;
    // Each editor may refill the cache list the Easy rows point into (a refresh, or the path list
    // reloaded with one route's paths on every opening).
    const auto openEditor = [this](int (*show)(int, QWidget*)) {
        return [this, show](ItemNode*, int mode) {
            BindListEditorHooks(*this);
            const int result = show(mode, this);
            TheListEditorFormHooks() = ListEditorFormHooks();
            easyController_->CacheListsRefilled();
            return result;
        };
    };
    tree->ShowConsistListEditor = openEditor(&ShowConsistListEditor);
    tree->ShowStockListEditor = openEditor(&ShowStockListEditor);
    tree->ShowPathListEditor = openEditor(&ShowPathListEditor);
    for (QAction* item :
         {ui->ActivatePathListMnu, ui->ActivateConsistListMnu, ui->ActivateStockListMnu})
        OnTrigger(item, tree, [tree] { tree->ActivatePathListMnuClick(); });
    for (QAction* item :
         {ui->DeActivatePathListMnu, ui->DeActivateConsistListMnu, ui->DeActivateStockListMnu})
        OnTrigger(item, tree, [tree] { tree->DeActivatePathListMnuClick(); });
    for (QAction* item : {ui->ActivateThisPathListOnlyMnu, ui->ActivateThisConsistListOnlyMnu,
                          ui->ActivateThisStockListOnlyMnu})
        OnTrigger(item, tree, [tree] { tree->ActivateThisPathListOnlyMnuClick(); });
    for (QAction* item :
         {ui->AddExploreModeConsistMnu, ui->AddMaintenanceConsistsMnu, ui->AddMaintenanceStockMnu,
          ui->AddExploreModePathsMnu, ui->AddMaintenancePathsMnu})
        OnTrigger(item, tree, [tree] { tree->AddExploreModeConsistsBtnClick(); });
    for (QAbstractButton* button : {ui->AddExploreModeConsistsBtn, ui->AddExploreModePathsBtn})
        OnClick(button, tree, [tree] { tree->AddExploreModeConsistsBtnClick(); });
    for (QAction* item : {ui->AddPathListMnu, ui->AddConsistListMnu, ui->AddStockListMnu})
        OnTrigger(item, tree, [tree] { tree->AddPathListMnuClick(); });
    OnTrigger(ui->ViewAllConsistsMnu, tree, [tree] { tree->ViewAllConsistsMnuClick(); });
    OnTrigger(ui->ViewAllStockItemsMnu, tree, [tree] { tree->ViewAllStockItemsMnuClick(); });
    OnTrigger(ui->ViewAllPathsMnu, tree, [tree] { tree->ViewAllPathsMnuClick(); });

    // The information pane and the panes of the Easy page have the tree's popup too.
    for (QWidget* pane : std::initializer_list<QWidget*>{ui->InformationMemo, ui->RoutesLstbx,
                                                         ui->ActivitiesLstbx, ui->ActivityDetails,
                                                         ui->LocomotivesLstbx, ui->ExploreDetails})
        treeController_->AttachPopup(pane);
}

// The File menu opens: the recent scenario files are shown below the print items, only on the
// Classic page; while a job runs the menu closes at once.
void TMainForm::File1Click() {
    QAction* const recent[] = {ui->MRU0, ui->MRU1, ui->MRU2, ui->MRU3, ui->MRU4,
                               ui->MRU5, ui->MRU6, ui->MRU7, ui->MRU8};
    ui->NLBeforeMRU->setVisible(false);
    for (QAction* item : recent)
        item->setVisible(false);
    ui->NLAfterMRU->setVisible(false);
    const QFontMetrics metrics(font());
    const FileMenuRecentState state = qv::File1Click(
        ui->File1, [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    if (state.Cancelled) {
        QTimer::singleShot(0, ui->File1, &QMenu::close);
        return;
    }
    ui->NLBeforeMRU->setVisible(state.ShowSeparators);
    ui->NLAfterMRU->setVisible(state.ShowSeparators);
    for (const RecentFileItem& entry : state.Items) {
        if (entry.Tag < 0 || entry.Tag >= 9)
            continue;
        QAction* item = recent[entry.Tag];
        item->setText(entry.Caption);
        item->setProperty(kTagProperty, entry.Tag);
        SetHint(item, entry.Hint);
        item->setVisible(true);
    }
}

// Exit: the save question first (Cancel stays); the close then asks nothing more.
void TMainForm::ExitBtnClick() {
    if (App().Busy || !QuerySaveBeforeClose(ui->ExitBtn))
        return;
    CloseMainForm();
}

// "EveryThing!" takes every consist and every stock item along.
void TMainForm::EveryThingCbxClick() {
    const bool everything = ui->EveryThingCbx->isChecked();
    for (QCheckBox* box : {ui->AllConsistsCbx, ui->AllStockCbx}) {
        box->setChecked(everything);
        box->setEnabled(!everything);
    }
}

void TMainForm::DefaultRoutesCbxClick() {
    ui->DefaultRoutesCbx->setChecked(DefaultRoutesChecked(ui->DefaultRoutesCbx->isChecked()));
    UpdateControls();
}

// "Prepare": the Maintenance tab's boxes as they stand.
void TMainForm::UnstoreBtnClick() {
    MaintenanceChoice choice;
    choice.everything = ui->EveryThingCbx->isChecked();
    choice.partialRoute = ui->PartialRouteCbx->isChecked();
    choice.defaultRoutes = ui->DefaultRoutesCbx->isChecked();
    choice.allConsists = ui->AllConsistsCbx->isChecked();
    choice.allStock = ui->AllStockCbx->isChecked();
    choice.launchEditor = ui->LaunchEditorCbx->isChecked();
    PrepareForMaintenance(choice);
}

// Every consist, stock and path cache is read afresh; stock first, since the consist reader
// takes the vehicles' kinds from the stock cache.
void TMainForm::RebuildCachesMnuClick() {
    SetBusy(true);
    App().ForceCacheReread = true;
    ShowHourglass(true);
    // The consists' and paths' listings are made while the stock is rebuilt.
    const ListingsAhead ahead({RebuildKind::Stock, RebuildKind::Consists, RebuildKind::Paths});
    ClearTypedList(RK_ITEMSET, App().StockCacheList);
    {
        StatusGuard status(QStringLiteral("CONSSTK"));
        RebuildStockCache(App().StockCacheList, true, nullptr);
    }
    ClearTypedList(RK_ITEMSET, App().ConsistCacheList);
    {
        StatusGuard status(QStringLiteral("CONS"));
        RebuildConsistCache(App().ConsistCacheList, true, nullptr);
    }
    ClearTypedList(RK_ITEMSET, App().PathCacheList);
    {
        StatusGuard status(QStringLiteral("PATH"));
        RebuildPathCache(App().PathCacheList, true, nullptr);
    }
    // The Easy page's rows pointed into the lists just refilled.
    easyController_->CacheListsRefilled();
    App().ForceCacheReread = false;
    SetBusy(false);
    ShowHourglass(false);
    if (ReadFlag(QStringLiteral("Confirm Completion")))
        TheUi().MessageBox(Caption(Msg::PROCESS_COMPLETED), App().ProgramTitle, MB_ICONINFORMATION);
}

} // namespace qv
