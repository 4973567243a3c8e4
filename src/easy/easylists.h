// The rows of the Easy page's lists and combos, built without any widget from the main tree of
// stored objects and the program-wide consist and path lists: routes, activities, locomotives,
// consists, start points (From), end points (To) and the activities offered for traffic. Each
// list remembers, per data row, where its record stands (a tree position or a list index), so
// that the page's handlers find the record of a chosen row.
#pragma once

#include "core/itemkinds.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace qv {

class ItemTree;
class ItemNode;

// The rows of one list and the record behind each data row. Rows taken from the registry (the
// recent entries) and the separator row below them come first and stand for no record.
struct EasyRows {
    QStringList Rows;
    // One entry per data row: a tree position or an index into a program-wide list.
    std::vector<int> RowMap;
    // The number of rows before the first data row (recent entries plus separator).
    int LeadingRows = 0;
    // The row to select; -1 for none.
    int Selected = -1;

    // The record of a list row: -1 for a recent entry, the separator, a row past the end or no
    // row at all (-1), so that no chosen row ever leads outside the list behind it.
    int RecordOfRow(int row) const;
    void AddDataRow(const QString& text, int record);
};

// The program-wide state of the Easy page that lives between its handlers.
struct EasyPageState {
    // The consists of the named lists chosen in AllLocomotivesCmbx.
    RecordList<ItemSet> ExploreListConsists;
    QString LastEasyRouteName;
    int LastEasyRouteIndex = -1;
    int LastEasyTabIndex = -1;
    // The activity last shown completely on the "Run an Activity" tab, and its consist's file.
    ItemSet EasyActivityItem;
    QString EasyActivityConsist;
    // A route picture replaces the default background.
    bool RouteImageShown = false;
};
EasyPageState& EasyPage();
void ResetEasyPageState();

// The recent entries of a sub-key of `Easy\MRUs` and, when there are any, the separator row.
EasyRows MruBlock(const QString& name);

// The absolute place of a node in tree order (0 for the first node); -1 for none.
int TreePosition(const ItemTree& tree, const ItemNode* node);
// The node at a tree position, or null.
ItemNode* NodeAtPosition(const ItemTree& tree, int position);
// The folder a path relative to a root lies in: the text before its last "\" or ":".
QString ParentFolderOf(const QString& folder);

// Every route of the tree (headings left out), after the recent routes; the row of the route at
// `nodeIndex` is selected, else the first row.
EasyRows FillRoutesList(const ItemTree& tree, int nodeIndex);
// The activities whose folder lies in the route's folder, after the recent activities.
EasyRows FillActivitiesList(const ItemTree& tree, const ItemSet& route);

// Locomotives named by the driveable consists of the list (none of the excluded bits), added to
// the sorted index, each once whatever its letter case.
void AddLocomotivesByFlag(const RecordList<ItemSet>& list, QStringList& index,
                          std::uint32_t excluded);
// The consists of mode 1 (global and route Explore Mode lists), 2 (route lists) or 3 (used by the
// route's activities), copied into `list` with their cache attribute bits added.
void BuildLocomotiveIndexForList(RecordList<ItemSet>& list, ItemNode* routeNode, int mode);
// The locomotives for the route: of every cached consist (mode 0) or of the named lists chosen
// (mode above 0, which refills EasyPage().ExploreListConsists). Electric locomotives only on an
// electrified route. Rebuilds the consist cache when it is empty.
EasyRows FillLocomotivesList(ItemNode* routeNode, int mode);
// The driveable consists of the locomotive; with a mode above 0 and "Easy Show All Consists"
// clear, only those of ExploreListConsists (and then without recent rows). `exploreAllowed`
// tells whether the first matching consist may be explored (only set when there are rows).
EasyRows FillConsistsCombo(const QString& locomotive, int mode, bool* exploreAllowed);
// The start points of the route's driveable paths, each once, after the recent ones.
EasyRows FillFromPaths(const ItemSet& route);
// The end point of every driveable path that starts at `start` (one row per path).
EasyRows FillToPaths(const QString& start);
// A blank first row (no traffic) and the activities of the route's part of the tree.
EasyRows FillTrafficActivities(const ItemTree& tree, const ItemNode* routeNode);

// The MSTS tutorial's known-good activity for an Explore: over the whole tree, the activities in
// "ROUTES\TUTORIAL ROUTE\Activities" (any letter case) are remembered in turn, stopping at
// "elesson1.act"; the last remembered one, or null.
ItemNode* FindTutorialActivity(const ItemTree& tree);

} // namespace qv
