// The Easy page of the main window: its lists are filled from the tree of stored objects and the
// caches (through the widget-free fills of the Easy-mode subsystem), choosing a route shows its
// description and picture, and Run and Explore turn the choice into marks on the tree and hand
// over to the store job and the MSTS launch. The page's proportional layout lives here too.
#pragma once

#include "core/reportpane.h"
#include "easy/easylists.h"
#include "easy/exploresession.h"
#include "easy/picturedecoder.h"

#include <QObject>
#include <QRect>

class QComboBox;
class QListWidget;
class QTextEdit;

namespace qv {

class ItemNode;
class TMainForm;

// What the Easy page's layout needs to know, and the places it gives.
struct EasyLayoutInput {
    int TabWidth = 0;         // W: the width of the Easy tab
    int BackgroundHeight = 0; // the height of the page's picture (the tab's height)
    int DesignTop = 0;        // the routes panel's top as designed, taken once
    int DesignGap = 0;        // the gap below the routes panel as designed, taken once
    int PageControlMinHeight = 0;
    int PageControlMinWidth = 0;
    int PixelsPerInch = 96;
    bool PictureShown = false;
};
struct EasyLayout {
    int Margin = 0; // 5 x PPI / 96
    QRect RoutesPnl;
    QRect ActivityExplorePageCntrl;
    int DepartureLabelWidth = 0; // 130 x PPI / 96
};
// The places of the routes panel and the activity pages: side by side, half each, without a
// picture; over the picture, a narrower routes panel centred in the left 45% and the pages
// centred at 72% of the width (moved left when wider than that leaves room for). The pages are
// never narrower than their minimum width, nor wider than the tab.
EasyLayout ComputeEasyLayout(const EasyLayoutInput& input);

class EasyController : public QObject {
    Q_OBJECT

public:
    explicit EasyController(TMainForm& form);
    ~EasyController() override;

    // Resets and refills the page; nodeIndex is the tree position of a route to select, or -1.
    void EasyRefresh(int nodeIndex);
    // Empties every list, the routes too, and fills the page anew from the tree (after the tree
    // was reloaded); nodeIndex as for EasyRefresh.
    void RefillLists(int nodeIndex = -1);
    // The tree position of the route shown, found again by its folder and name once the tree was
    // read afresh; -1 when it is there no more.
    int ShownRoutePosition() const;
    // The consist and path lists behind the page's rows were refilled (Rebuild Cache Files, a list
    // editor): the route shown keeps its rows, built afresh with the same choices; a page that
    // shows no route builds them the next time it acts on one.
    void CacheListsRefilled();
    // Places the panes as ComputeEasyLayout says.
    void ApplyLayout();
    // True while the chosen route's picture is being decoded, to be shown when it comes.
    bool RoutePictureComing() const { return pictures_.Busy(); }

    void RoutesLstbxClick();
    void ActivitiesLstbxClick();
    void RunActivityBtnClick();
    // A click on the Run tab's locomotive or consist field: its report in the activity's pane.
    void LocomotiveUsedTxtClick();
    void ConsistUsedTxtClick();
    void ActivityExplorePageCntrlChange();
    void LocomotivesLstbxClick();
    void ConsistsCmbxClick();
    void AllLocomotivesCmbxChange();
    void FromCmbxSelect();
    void ExploreLoadCmbxSelect();
    void ExploreBtnClick();
    // "Edit List": the consist editor on the Explore Mode consist list of the chosen route, or of
    // the global settings.
    void AddRemoveConsistBtnClick();

    // The Explore session panel: a traffic activity or a saved session chosen, and the options.
    void ConsistTrafficCmbxClick();
    void StartTimePckChange();
    void SeasonCmbxChange();
    void WeatherCmbxChange();
    void LooseStockCbxClick();
    void AITrafficCbxClick();
    // Lists the route's saved sessions in ConsistTrafficCmbx, the newest chosen.
    void FillSavedExploreSessions(const QString& routeFolderName);
    // The session controls' enabled states, and their defaults while no traffic is chosen.
    void UpdateExploreSessionControls();

    // The record index of the chosen consist and To path; -1 when none is chosen.
    int ChosenConsist() const;
    int ChosenToPath() const;
    // The 3-D buttons beside the consists: enabled while there is a consist to show.
    void UpdateConsistViewButtons();
    ItemNode* ChosenRouteNode() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Bind();
    void ClearRouteLists();
    void ShowRows(QListWidget* list, const EasyRows& rows);
    void ShowRows(QComboBox* combo, const EasyRows& rows);
    void FillLocomotives(ItemNode* routeNode);
    void RefillCacheRows(ItemNode* routeNode);
    void RoutePictureDecoded(const QString& file, const DecodedPicture& picture);
    bool ShowRoutePicture(const QString& file, const DecodedPicture& decoded);
    void RestoreBackground();
    void ApplyTrafficActivity(const ItemSet& activity);
    void StartWhereTheActivityStarts();
    void SessionRecordFromBoxes();
    // The leading locomotive of a consist file, described in the pane under the name given.
    void ShowLeadEngine(const QString& consistFile, const QString& engineName, ReportPane* pane);

    TMainForm& form_;
    EasyRows routes_, activities_, locomotives_, consists_, from_, to_, traffic_;
    SavedSessionRows sessions_;
    QString shownRouteFolder_; // of the route last shown
    // The choice in ExploreLoadCmbx was made from its open list, whose view is watched for it
    // (kept here: the combo may be gone while the form's last events still pass).
    bool loadDroppedDown_ = false;
    QObject* loadListView_ = nullptr;
    // ConsistTrafficCmbx's entry changed and was applied since its list was last opened; the
    // user's pick that changed it is then not applied again.
    QObject* trafficListView_ = nullptr;
    bool trafficApplied_ = false;
    ReportPane exploreDetails_, activityDetails_;
    PictureDecoder pictures_; // the route's picture on its way
};

} // namespace qv
