#include "mainwindow/forms/easycontroller.h"

#include "ui_mainform.h"

#include "catalogue/activityreader.h"
#include "catalogue/consistreader.h"
#include "catalogue/namedlists.h"
#include "catalogue/routeactivities.h"
#include "catalogue/routereader.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "easy/explorestate.h"
#include "easy/goandlaunch.h"
#include "easy/marking.h"
#include "easy/routepicture.h"
#include "easy/usemwgfx.h"
#include "mainwindow/forms/mainform.h"
#include "mainwindow/forms/mainform_settings.h"
#include "mainwindow/iteminfo.h"
#include "mainwindow/objecttree.h"
#include "platform/casefold.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QTimer>
#include <utility>

namespace qv {

namespace {

QString HoursMinutes(const QTime& time) {
    return time.toString(QStringLiteral("hh:mm"));
}

// A report pane whose lines are shown in a text box of the page.
void ShowPaneIn(ReportPane& pane, QTextEdit* edit) {
    pane.OnChanged = [&pane, edit] { edit->setPlainText(pane.Lines().join(u'\n')); };
}

} // namespace

EasyLayout ComputeEasyLayout(const EasyLayoutInput& in) {
    EasyLayout out;
    const int ppi = in.PixelsPerInch > 0 ? in.PixelsPerInch : 96;
    out.Margin = ppi * 5 / 96;
    out.DepartureLabelWidth = 130 * ppi / 96;
    const int w = std::max(0, in.TabWidth);
    const int h = std::max(0, in.BackgroundHeight);
    // The pages never get less than their controls need, or captions are cut.
    const int pagesMinWidth = std::min(w, in.PageControlMinWidth);
    if (!in.PictureShown) {
        const int pagesWidth = std::max(int(w * 0.5), pagesMinWidth);
        const int routesWidth = std::min(w * 50 / 100, w - pagesWidth);
        out.RoutesPnl = QRect(0, 0, routesWidth, h);
        out.ActivityExplorePageCntrl = QRect(w - pagesWidth, 0, pagesWidth, h);
        return out;
    }
    const int routesWidth = w * 36 / 100;
    const int pagesWidth = std::max(int(w * 0.44), pagesMinWidth);
    const int routesTop = in.DesignTop;
    const int routesHeight = std::max(0, h - routesTop - in.DesignGap);
    out.RoutesPnl =
        QRect(int(w * 0.45 * 0.5 - routesWidth / 2), routesTop, routesWidth, routesHeight);
    int pagesTop = routesTop, pagesHeight = routesHeight;
    if (routesHeight < in.PageControlMinHeight) {
        pagesTop = 5;
        pagesHeight = std::max(0, h - 10);
    }
    out.ActivityExplorePageCntrl = QRect(std::min(int(w * 0.72) - pagesWidth / 2, w - pagesWidth),
                                         pagesTop, pagesWidth, pagesHeight);
    return out;
}

EasyController::EasyController(TMainForm& form) : QObject(&form), form_(form) {
    ::Ui::TMainForm& ui = *form.ui;
    ShowPaneIn(exploreDetails_, ui.ExploreDetails);
    ShowPaneIn(activityDetails_, ui.ActivityDetails);
    // The panes are placed by the page's own proportional layout, over the picture when one is
    // shown.
    ui.EasyPanesLayout->removeWidget(ui.RoutesPnl);
    ui.EasyPanesLayout->removeWidget(ui.ActivityExplorePageCntrl);
    ui.Easy->installEventFilter(this);
    ui.EasyBackground->installEventFilter(this);
    ui.RoutesLstbx->viewport()->installEventFilter(this);
    loadListView_ = ui.ExploreLoadCmbx->view();
    loadListView_->installEventFilter(this);
    trafficListView_ = ui.ConsistTrafficCmbx->view();
    trafficListView_->installEventFilter(this);
    ui.LocomotiveUsedTxt->installEventFilter(this);
    ui.ConsistUsedTxt->installEventFilter(this);
    Bind();
    connect(&pictures_, &PictureDecoder::Decoded, this, &EasyController::RoutePictureDecoded);
    // After the wait for an Explore session the saved sessions are listed again, so that the one
    // just saved in MSTS can be reloaded.
    SetExploreReloadHandler([this](QObject*, const QString& routeFolderName) {
        if (form_.ui->ExploreLoadCmbx->currentIndex() != 1)
            return false;
        FillSavedExploreSessions(routeFolderName);
        ConsistTrafficCmbxClick();
        return true;
    });
}

EasyController::~EasyController() {
    SetExploreReloadHandler({});
}

void EasyController::Bind() {
    ::Ui::TMainForm& ui = *form_.ui;
    // The lists and choices follow their current row however it was chosen (a click, the arrow
    // keys or the program), so that what the page shows is what Run and Explore use. Fills set
    // their rows with the signals blocked and call the handlers themselves.
    connect(ui.RoutesLstbx, &QListWidget::currentRowChanged, this, [this] { RoutesLstbxClick(); });
    connect(ui.ActivitiesLstbx, &QListWidget::currentRowChanged, this,
            [this] { ActivitiesLstbxClick(); });
    connect(ui.LocomotivesLstbx, &QListWidget::currentRowChanged, this,
            [this] { LocomotivesLstbxClick(); });
    // A name longer than its box can be read whole in the box's tip.
    for (QLineEdit* box : {ui.LocomotiveUsedTxt, ui.ConsistUsedTxt})
        connect(box, &QLineEdit::textChanged, box,
                [box](const QString& text) { box->setToolTip(text); });
    connect(ui.RunActivityBtn, &QPushButton::clicked, this, [this] { RunActivityBtnClick(); });
    connect(ui.ExploreBtn, &QPushButton::clicked, this, [this] { ExploreBtnClick(); });
    connect(ui.AddRemoveConsistBtn, &QPushButton::clicked, this,
            [this] { AddRemoveConsistBtnClick(); });
    connect(ui.ActivityExplorePageCntrl, &QTabWidget::currentChanged, this,
            [this] { ActivityExplorePageCntrlChange(); });
    connect(ui.ConsistsCmbx, &QComboBox::currentIndexChanged, this, [this] {
        UpdateConsistViewButtons();
        ConsistsCmbxClick();
    });
    connect(ui.AllLocomotivesCmbx, &QComboBox::activated, this,
            [this] { AllLocomotivesCmbxChange(); });
    connect(ui.FromCmbx, &QComboBox::currentIndexChanged, this, [this] { FromCmbxSelect(); });
    connect(ui.ToCmbx, &QComboBox::currentIndexChanged, this, [this] { form_.UpdateControls(); });
    // Only the user's choice runs this, the same entry picked again from the open list too, so
    // that an opened list is never left over for a later refill to act on.
    connect(ui.ExploreLoadCmbx, &QComboBox::activated, this, [this] { ExploreLoadCmbxSelect(); });
    // The entry shown is applied when it changes, and again when the user picks it anew from the
    // open list (its description may have given way to another report meanwhile); a pick that
    // changed the entry is applied once.
    connect(ui.ConsistTrafficCmbx, &QComboBox::currentIndexChanged, this, [this] {
        trafficApplied_ = true;
        ConsistTrafficCmbxClick();
    });
    connect(ui.ConsistTrafficCmbx, &QComboBox::activated, this, [this] {
        if (!std::exchange(trafficApplied_, false))
            ConsistTrafficCmbxClick();
    });
    // The session record follows its controls whatever changed them, so that the boxes shown
    // are what the generated activity takes.
    connect(ui.StartTimePck, &QTimeEdit::timeChanged, this, [this] { StartTimePckChange(); });
    connect(ui.SeasonCmbx, &QComboBox::currentIndexChanged, this, [this] { SeasonCmbxChange(); });
    connect(ui.WeatherCmbx, &QComboBox::currentIndexChanged, this, [this] { WeatherCmbxChange(); });
    connect(ui.LooseStockCbx, &QCheckBox::toggled, this, [this] { LooseStockCbxClick(); });
    connect(ui.AITrafficCbx, &QCheckBox::toggled, this, [this] { AITrafficCbxClick(); });
}

bool EasyController::eventFilter(QObject* watched, QEvent* event) {
    ::Ui::TMainForm& ui = *form_.ui;
    if (watched == ui.Easy && event->type() == QEvent::Resize) {
        ApplyLayout();
    } else if (watched == loadListView_ && event->type() == QEvent::Show) {
        loadDroppedDown_ = true;
    } else if (watched == trafficListView_ && event->type() == QEvent::Show) {
        // Whatever the program changed before, a pick from the list opened now is the user's.
        trafficApplied_ = false;
    } else if (watched == loadListView_ && event->type() == QEvent::Hide) {
        // The list closes before the choice made in it is announced; a list closed without a
        // choice leaves nothing to open later.
        QTimer::singleShot(0, this, [this] { loadDroppedDown_ = false; });
    } else if ((watched == ui.LocomotiveUsedTxt || watched == ui.ConsistUsedTxt) &&
               event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !App().Busy) {
        if (watched == ui.LocomotiveUsedTxt)
            LocomotiveUsedTxtClick();
        else
            ConsistUsedTxtClick();
    } else if (watched == ui.EasyBackground) {
        // Holding a button on the picture shows it whole.
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonRelease) {
            const bool hide = event->type() == QEvent::MouseButtonPress;
            ui.RoutesPnl->setVisible(!hide);
            ui.ActivityExplorePageCntrl->setVisible(!hide);
        }
    } else if (watched == ui.RoutesLstbx->viewport() && event->type() == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        // A right click picks the row under the pointer (below the last row: the current one).
        QListWidgetItem* item =
            ui.RoutesLstbx->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        ui.RoutesLstbx->setFocus();
        if (item) {
            // The row is shown once: a second run would find it unchanged and clear its report.
            const QSignalBlocker blocker(ui.RoutesLstbx);
            ui.RoutesLstbx->setCurrentItem(item);
        }
        RoutesLstbxClick();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void EasyController::ApplyLayout() {
    ::Ui::TMainForm& ui = *form_.ui;
    EasyLayoutInput input;
    input.TabWidth = ui.Easy->width();
    input.BackgroundHeight = ui.Easy->height();
    input.PixelsPerInch = form_.logicalDpiX();
    const int m = input.PixelsPerInch * 5 / 96;
    // The design places the routes panel 8 margins below the top, with the same gap below it.
    input.DesignTop = input.DesignGap = 8 * m;
    input.PageControlMinHeight = ui.ActivityExplorePageCntrl->minimumSizeHint().height();
    input.PageControlMinWidth = ui.ActivityExplorePageCntrl->minimumSizeHint().width();
    input.PictureShown = !ui.EasyBackground->isHidden();
    const EasyLayout layout = ComputeEasyLayout(input);
    ui.RoutesPnl->setGeometry(layout.RoutesPnl);
    ui.ActivityExplorePageCntrl->setGeometry(layout.ActivityExplorePageCntrl);
    ui.RoutesPnl->raise();
    ui.ActivityExplorePageCntrl->raise();
    ui.DepartureTimeTextLbl->setMinimumWidth(layout.DepartureLabelWidth);
    for (QLayout* inner :
         {static_cast<QLayout*>(ui.RoutesPnlLayout), static_cast<QLayout*>(ui.ActivitiesPnlLayout),
          static_cast<QLayout*>(ui.ExplorePnlLayout)})
        inner->setContentsMargins(layout.Margin, layout.Margin, layout.Margin, layout.Margin);
}

// ---- Filling ---------------------------------------------------------------------------------

void EasyController::ShowRows(QListWidget* list, const EasyRows& rows) {
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(rows.Rows);
    list->setCurrentRow(rows.Selected);
}

void EasyController::ShowRows(QComboBox* combo, const EasyRows& rows) {
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (int row = 0; row < rows.Rows.size(); ++row)
        combo->addItem(rows.Rows.at(row), rows.RecordOfRow(row));
    combo->setCurrentIndex(rows.Selected);
    if (combo == form_.ui->ConsistsCmbx)
        UpdateConsistViewButtons();
}

// The 3-D buttons beside the consists are enabled only while there is a consist to show.
void EasyController::UpdateConsistViewButtons() {
    ::Ui::TMainForm& ui = *form_.ui;
    ui.ShowExpConsistBtn->setEnabled(ChosenConsist() >= 0);
    ui.ShowActConsistBtn->setEnabled(!EasyPage().EasyActivityConsist.isEmpty());
}

void EasyController::ClearRouteLists() {
    ::Ui::TMainForm& ui = *form_.ui;
    Explore().ExploreSourceActivity.reset();
    activities_ = locomotives_ = consists_ = from_ = to_ = traffic_ = EasyRows();
    ShowRows(ui.ActivitiesLstbx, activities_);
    ShowRows(ui.LocomotivesLstbx, locomotives_);
    ShowRows(ui.ConsistsCmbx, consists_);
    ShowRows(ui.FromCmbx, from_);
    ShowRows(ui.ToCmbx, to_);
    ShowRows(ui.ConsistTrafficCmbx, traffic_);
}

ItemNode* EasyController::ChosenRouteNode() const {
    const QListWidget* list = form_.ui->RoutesLstbx;
    const int row = list->currentRow();
    ItemNode* node = NodeAtPosition(*form_.QuarvelObjects(), routes_.RecordOfRow(row));
    if (!node || !IsRouteItem(*node->Data()) || row < 0 ||
        node->Data()->Description != list->item(row)->text())
        return nullptr;
    return node;
}

int EasyController::ChosenConsist() const {
    const int record = consists_.RecordOfRow(form_.ui->ConsistsCmbx->currentIndex());
    return record >= 0 && std::size_t(record) < App().ConsistCacheList.size() ? record : -1;
}

int EasyController::ChosenToPath() const {
    const int record = to_.RecordOfRow(form_.ui->ToCmbx->currentIndex());
    return record >= 0 && std::size_t(record) < App().PathCacheList.size() ? record : -1;
}

void EasyController::EasyRefresh(int nodeIndex) {
    ::Ui::TMainForm& ui = *form_.ui;
    ExploreActivitySaveInfo& record = Explore().CurrentExploreRecord;
    record.ConsistFileName.clear();
    record.PlayerPathFileName.clear();
    Explore().ExploreSourceActivity.reset();

    ItemTree& tree = *form_.QuarvelObjects();
    if (tree.RootCount() == 0 || form_.SimulationMaintPageIndex() == 1) {
        // The Maintenance page's marks are about to be replaced: a changed scenario is offered
        // for saving first, as a refresh of the tree does.
        if (tree.RootCount() > 0) {
            if (form_.QuerySaveScenario() == ID_CANCEL) {
                form_.SetMainPageIndex(1);
                form_.UpdateControls();
                return;
            }
            form_.SetCurrentScenarioFile(QString());
        }
        form_.SetSimulationMaintPageIndex(0);
        App().FirstLoadPending = false;
        form_.LoadTree(QString(), nullptr, -1);
        nodeIndex = ReselectLastNode(tree, App().LastTreeSelection);
    }
    if (ui.RoutesLstbx->count() == 0) {
        form_.ShowHourglass(true);
        routes_ = FillRoutesList(tree, nodeIndex);
        ShowRows(ui.RoutesLstbx, routes_);
        form_.ShowHourglass(false);
    }
    EasyPage().LastEasyRouteIndex = -1;
    RoutesLstbxClick();
}

void EasyController::RefillLists(int nodeIndex) {
    {
        const QSignalBlocker blocker(form_.ui->RoutesLstbx);
        form_.ui->RoutesLstbx->clear();
    }
    routes_ = EasyRows();
    EasyPage().LastEasyRouteIndex = -1;
    EasyRefresh(nodeIndex);
}

int EasyController::ShownRoutePosition() const {
    const QListWidget* list = form_.ui->RoutesLstbx;
    const QListWidgetItem* row = list->currentItem();
    const ItemTree& tree = *form_.QuarvelObjects();
    for (const ItemNode* node = tree.First(); row && node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (IsRouteItem(item) && item.Description == row->text() &&
            SameWithoutCase(item.Folder, shownRouteFolder_))
            return TreePosition(tree, node);
    }
    return -1;
}

void EasyController::CacheListsRefilled() {
    ItemNode* route = form_.MainPageIndex() == 0 && EasyPage().LastEasyRouteIndex >= 0
                          ? ChosenRouteNode()
                          : nullptr;
    if (route) {
        RefillCacheRows(route);
    } else {
        EasyPage().LastEasyRouteIndex = -1;
        ClearRouteLists();
    }
    // Explore is offered only for choices it can launch with.
    form_.UpdateControls();
}

namespace {

// The row of the text chosen before a refill: the same row when it shows the same text, else the
// first that does; the list's own choice when none does.
void ChooseAgain(QListWidget* list, int row, const QString& text) {
    if (!(list->item(row) && list->item(row)->text() == text)) {
        const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        row = found.isEmpty() ? -1 : list->row(found.first());
    }
    if (row >= 0) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(row);
    }
}

void ChooseAgain(QComboBox* combo, int row, const QString& text) {
    if (combo->itemText(row) != text || row < 0)
        row = combo->findText(text, Qt::MatchExactly);
    if (row >= 0) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(row);
    }
}

} // namespace

// The rows that point into the consist and path lists are built afresh for the route shown, and
// the same locomotive, consist, From and To are chosen in them again; the session's choices and
// the description shown stay as they are.
void EasyController::RefillCacheRows(ItemNode* routeNode) {
    ::Ui::TMainForm& ui = *form_.ui;
    const QListWidgetItem* locomotive = ui.LocomotivesLstbx->currentItem();
    const QString locomotiveText = locomotive ? locomotive->text() : QString();
    const int locomotiveRow = ui.LocomotivesLstbx->currentRow();
    const struct {
        QComboBox* combo;
        int row;
        QString text;
    } chosen[] = {
        {ui.ConsistsCmbx, ui.ConsistsCmbx->currentIndex(), ui.ConsistsCmbx->currentText()},
        {ui.FromCmbx, ui.FromCmbx->currentIndex(), ui.FromCmbx->currentText()},
        {ui.ToCmbx, ui.ToCmbx->currentIndex(), ui.ToCmbx->currentText()}};
    const QStringList details = exploreDetails_.Lines();

    ClearTypedList(RK_ITEMSET, App().PathCacheList);
    RebuildRoutePathCache(App().PathCacheList, routeNode->Data()->Folder, false, nullptr);
    locomotives_ = consists_ = from_ = to_ = EasyRows();
    if (form_.ActivityExplorePageIndex() != 1) {
        for (QComboBox* combo : {ui.ConsistsCmbx, ui.FromCmbx, ui.ToCmbx})
            ShowRows(combo, EasyRows());
        ShowRows(ui.LocomotivesLstbx, locomotives_);
        return;
    }
    FillLocomotives(routeNode);
    ChooseAgain(ui.LocomotivesLstbx, locomotiveRow, locomotiveText);
    LocomotivesLstbxClick();
    ChooseAgain(chosen[0].combo, chosen[0].row, chosen[0].text);
    from_ = FillFromPaths(*routeNode->Data());
    ShowRows(ui.FromCmbx, from_);
    ChooseAgain(chosen[1].combo, chosen[1].row, chosen[1].text);
    FromCmbxSelect();
    ChooseAgain(chosen[2].combo, chosen[2].row, chosen[2].text);
    UpdateConsistViewButtons();
    exploreDetails_.SetLines(details);
}

void EasyController::FillLocomotives(ItemNode* routeNode) {
    locomotives_ = FillLocomotivesList(routeNode, form_.ui->AllLocomotivesCmbx->currentIndex());
    ShowRows(form_.ui->LocomotivesLstbx, locomotives_);
    // The consist rows depend on the consist list the fill may have rebuilt.
    consists_ = EasyRows();
    ShowRows(form_.ui->ConsistsCmbx, consists_);
}

// ---- Route -----------------------------------------------------------------------------------

void EasyController::RoutesLstbxClick() {
    ::Ui::TMainForm& ui = *form_.ui;
    EasyPageState& page = EasyPage();
    form_.ShowHourglass(true);
    ClearReport(form_.InformationMemo());
    const int row = ui.RoutesLstbx->currentRow();
    const QString text = row >= 0 ? ui.RoutesLstbx->item(row)->text() : QString();
    const int tab = form_.ActivityExplorePageIndex();
    const bool changed = row != page.LastEasyRouteIndex || text != page.LastEasyRouteName;
    if (changed)
        ClearRouteLists();
    ItemNode* node = changed || tab != page.LastEasyTabIndex ? ChosenRouteNode() : nullptr;
    if (!node) {
        form_.ShowHourglass(false);
        return;
    }
    for (QLineEdit* box : {ui.LocomotiveUsedTxt, ui.ConsistUsedTxt})
        box->clear();
    for (QLabel* label : {ui.PathFromLbl, ui.PathToLbl, ui.DepartureTimeTextLbl, ui.SeasonTextLbl,
                          ui.WeatherTextLbl, ui.DifficultyLevelTextLbl, ui.DurationTextLbl})
        label->clear();
    ClearReport(&activityDetails_);

    ItemTree& tree = *form_.QuarvelObjects();
    tree.SetSelected(node);
    const ItemSet& item = *node->Data();
    shownRouteFolder_ = item.Folder;
    pictures_.Cancel(); // of the route shown before
    RouteInfo route;
    if (!ReadRouteFile(App().MstsRootFolder, item.Folder, item.FileName, route) &&
        !ReadRouteFile(App().StoreRootFolder, item.Folder, item.FileName, route)) {
        form_.ShowHourglass(false);
        return;
    }
    ui.RouteDescription->setPlainText(
        QString(route.Description).replace(QStringLiteral("\\n"), QStringLiteral("\n")));
    ClearTypedList(RK_ITEMSET, App().PathCacheList);
    RebuildRoutePathCache(App().PathCacheList, item.Folder, false, nullptr);
    // The To rows index the path list just refilled.
    to_ = EasyRows();
    ShowRows(ui.ToCmbx, to_);

    if (tab == 0) {
        traffic_ = EasyRows();
        ShowRows(ui.ConsistTrafficCmbx, traffic_);
        if (ui.ActivitiesLstbx->count() == 0) {
            activities_ = FillActivitiesList(tree, item);
            ShowRows(ui.ActivitiesLstbx, activities_);
        }
        ActivitiesLstbxClick();
    } else if (tab == 1) {
        {
            const QSignalBlocker blocker(ui.ExploreLoadCmbx);
            ui.ExploreLoadCmbx->setCurrentIndex(0);
        }
        ui.ExploreBtn->setEnabled(true);
        if (ui.LocomotivesLstbx->count() == 0)
            FillLocomotives(node);
        if (ui.FromCmbx->count() == 0) {
            from_ = FillFromPaths(item);
            ShowRows(ui.FromCmbx, from_);
        }
        if (ui.ConsistTrafficCmbx->count() == 0)
            ExploreLoadCmbxSelect();
        LocomotivesLstbxClick();
        FromCmbxSelect();
    }
    page.LastEasyRouteName = text;
    page.LastEasyRouteIndex = row;
    page.LastEasyTabIndex = tab;

    // The picture is decoded on another thread and shown when it comes (RoutePictureDecoded);
    // until then the page keeps the picture it shows.
    bool pictureComing = false;
    if (App().PictureLibraryAvailable && !App().EasySuppressImage &&
        !route.LoadingScreen.isEmpty()) {
        const QString file = RoutePictureFile(item, route.LoadingScreen, form_.InformationMemo());
        pictureComing = !file.isEmpty() && pictures_.Start(file);
    }
    if (!pictureComing && page.RouteImageShown)
        RestoreBackground();
    form_.UpdateControls();
    form_.ShowHourglass(false);
}

void EasyController::RoutePictureDecoded(const QString& file, const DecodedPicture& picture) {
    if (ShowRoutePicture(file, picture)) {
        EasyPage().RouteImageShown = true;
        form_.ui->EasyBackground->setVisible(true);
        ApplyLayout();
    } else if (EasyPage().RouteImageShown) {
        RestoreBackground();
    }
}

bool EasyController::ShowRoutePicture(const QString& file, const DecodedPicture& decoded) {
    // The page's picture shows the route's loading screen in place of the default background.
    class BackgroundPicture : public PictureControl {
    public:
        explicit BackgroundPicture(QLabel* label) : label_(label) {}
        void ShowPicture(const QImage& picture) override {
            label_->setPixmap(QPixmap::fromImage(picture));
        }

    private:
        QLabel* label_;
    } background(form_.ui->EasyBackground);
    return ShowImageFile(&background, file, &decoded);
}

void EasyController::RestoreBackground() {
    pictures_.Cancel();
    EasyPage().RouteImageShown = false;
    form_.ui->EasyBackground->clear();
    LoadEasyBackground(form_);
    ApplyLayout();
}

void EasyController::ActivityExplorePageCntrlChange() {
    if (App().Busy)
        return;
    EasyRefresh(-1);
    form_.UpdateControls();
}

// ---- Run an Activity -------------------------------------------------------------------------

void EasyController::ActivitiesLstbxClick() {
    ::Ui::TMainForm& ui = *form_.ui;
    EasyPageState& page = EasyPage();
    ui.RunActivityBtn->setEnabled(false);
    // The fields name the consist only while there is one to describe.
    page.EasyActivityConsist.clear();
    ui.LocomotiveUsedTxt->clear();
    ui.ConsistUsedTxt->clear();
    UpdateConsistViewButtons();
    const int row = ui.ActivitiesLstbx->currentRow();
    if (row < 0)
        return;
    StatusGuard status(QStringLiteral("ACTIV"));
    ItemNode* node = NodeAtPosition(*form_.QuarvelObjects(), activities_.RecordOfRow(row));
    if (!node || !IsActivityItem(*node->Data()) ||
        node->Data()->Description != ui.ActivitiesLstbx->item(row)->text())
        return;
    const ItemSet& item = *node->Data();
    ClearReport(&exploreDetails_);
    ShowItemInfo(item, &exploreDetails_);

    bool read = false;
    auto consistCache = OpenStoreIni(QStringLiteral("CACHECON.QVC"));
    auto scenarioCache = OpenStoreIni(QStringLiteral("CACHESCN.QVC"));
    ActivityInfo activity;
    ServiceInfo service;
    if (ReadActivityWithPlayerService(item, *scenarioCache, activity, service)) {
        read = true;
        const IniFile& consists = consistCache->Ini;
        ui.LocomotiveUsedTxt->setText(
            consists.ReadString(service.ConsistFile, QStringLiteral("EngineName"), QString()));
        ui.ConsistUsedTxt->setText(
            consists.ReadString(service.ConsistFile, QStringLiteral("Description"), QString()));
        // A name longer than its box shows its start; the box scrolls to the end otherwise.
        for (QLineEdit* box : {ui.LocomotiveUsedTxt, ui.ConsistUsedTxt})
            box->setCursorPosition(0);
        page.EasyActivityConsist = service.ConsistFile;
        UpdateConsistViewButtons();
        ClearReport(&activityDetails_);
        ui.DepartureTimeTextLbl->setText(HoursMinutes(activity.StartTime));
        ui.SeasonTextLbl->setText(GetTextLine(Caption(Msg::SEASONS_LEG_STRINGS), activity.Season));
        ui.WeatherTextLbl->setText(
            GetTextLine(Caption(Msg::WEATHER_LEG_STRINGS), activity.Weather));
        ui.DifficultyLevelTextLbl->setText(
            GetTextLine(Caption(Msg::DIFFICULTY_STRINGS), activity.Difficulty));
        ui.DurationTextLbl->setText(HoursMinutes(activity.Duration));
        AppendRichEditLines(&activityDetails_, activity.Description, true);
        activityDetails_.AddLine(QString());
        activityDetails_.AddLine(Caption(Msg::TREE_HEADING_BRIEFING) + u':');
        AppendRichEditLines(&activityDetails_, activity.Briefing, true);
        for (const auto& path : App().PathCacheList) {
            if (path && SameWithoutCase(path->FileName, activity.PathID)) {
                ui.PathFromLbl->setText(path->EngineName);
                ui.PathToLbl->setText(path->LotNumber);
                break;
            }
        }
    }
    CloseStoreIni(std::move(consistCache));
    CloseStoreIni(std::move(scenarioCache));
    if (read && !ui.LocomotiveUsedTxt->text().isEmpty() && !ui.ConsistUsedTxt->text().isEmpty() &&
        !ui.PathFromLbl->text().isEmpty()) {
        ui.RunActivityBtn->setEnabled(true);
        page.EasyActivityItem = item;
    }
}

// The consist of the activity shown, described in the pane.
void EasyController::ConsistUsedTxtClick() {
    ::Ui::TMainForm& ui = *form_.ui;
    if (EasyPage().EasyActivityConsist.isEmpty() || ui.ConsistUsedTxt->text().isEmpty())
        return;
    ItemSet item;
    item.FileName = EasyPage().EasyActivityConsist;
    item.Description = ui.ConsistUsedTxt->text();
    item.PType = PT_EXPLORE_CONSIST;
    ShowItemInfo(item, &activityDetails_);
}

// The leading locomotive of the activity's consist, described in the pane.
void EasyController::LocomotiveUsedTxtClick() {
    ::Ui::TMainForm& ui = *form_.ui;
    if (EasyPage().EasyActivityConsist.isEmpty() || ui.LocomotiveUsedTxt->text().isEmpty())
        return;
    ShowLeadEngine(EasyPage().EasyActivityConsist, ui.LocomotiveUsedTxt->text(), &activityDetails_);
}

void EasyController::ShowLeadEngine(const QString& consistFile, const QString& engineName,
                                    ReportPane* pane) {
    auto stockCache = OpenStoreIni(QStringLiteral("CACHESTK.QVC"));
    auto consistCache = OpenStoreIni(QStringLiteral("CACHECON.QVC"));
    ItemSet consist;
    consist.Folder = QStringLiteral("TRAINS\\CONSISTS");
    consist.FileName = consistFile;
    ConsistInfo info;
    info.SkipCache = true;
    if (ReadConsistFile(App().StoreRootFolder, consist, info, *consistCache, *stockCache,
                        nullptr) ||
        ReadConsistFile(App().MstsRootFolder, consist, info, *consistCache, *stockCache, nullptr)) {
        ItemSet engine;
        engine.FileName = info.LeadEngine;
        engine.Description = engineName;
        engine.PType = PT_MAINT_STOCK;
        ShowItemInfo(engine, pane);
    }
    CloseStoreIni(std::move(stockCache));
    CloseStoreIni(std::move(consistCache));
}

void EasyController::RunActivityBtnClick() {
    ::Ui::TMainForm& ui = *form_.ui;
    const int row = ui.ActivitiesLstbx->currentRow();
    if (row < 0 || App().Busy)
        return;
    form_.SetSimulationMaintPageIndex(0);
    ItemNode* node = NodeAtPosition(*form_.QuarvelObjects(), activities_.RecordOfRow(row));
    const ItemSet& shown = EasyPage().EasyActivityItem;
    if (!node || !IsActivityItem(*node->Data()) ||
        !SameWithoutCase(node->Data()->Folder, shown.Folder) ||
        !SameWithoutCase(node->Data()->FileName, shown.FileName))
        return;
    form_.QuarvelObjects()->SetSelected(node);
    MarkSelectedNode(1, true);
    form_.UpdateControls();
    form_.SetChecked(QStringLiteral("LaunchMSTSCbx"),
                     !ReadFlag(QStringLiteral("Easy Suppress MSTS Launch")));
    GoAndLaunch(ui.RunActivityBtn, false);
}

} // namespace qv
