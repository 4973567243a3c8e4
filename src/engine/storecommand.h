// The store command: the entry of every store or unstore job started from the main window. It
// settles, in a fixed order, whether the marked job may run (activities in use, the TSECTION.DAT
// the selected routes need, a route in use, fixed objects, one drive for store and MSTS), hands it
// to the engine driver and shows the outcome. Beside it stand the Maintenance tab's "Prepare",
// which unstores for maintenance and can start the MSTS editor, and its "+ Def. Routes" box.
#pragma once

#include <QString>
#include <functional>

namespace qv {

// Walks the main tree: `routeInUse` tells whether any route is In Use. When one is, no activity
// under an In-Use route is In Use and no Explore session is set up, the user is asked whether to
// go on anyway: ID_YES or ID_NO. Otherwise nothing is asked and the result is 1.
int CheckActivitiesInUse(bool& routeInUse);

// Runs the job that the marks of the main tree describe: a store job (unstore false: the Go
// button, the Easy page, the command line) or an unstore for maintenance with the Maintenance
// tab's options. Every check shows its own refusal, also after an earlier one refused; then the
// engine runs only when none refused. True when the move ran; the completion box (or the move
// error warning) follows it. `silent` is the Easy page's Explore: no analysis, no question.
bool GoStoreUnstore(bool unstore, bool partialRoute, bool defaultRoutes, bool allConsists,
                    bool allStock, bool silent);

// The Maintenance tab's boxes as "Prepare" reads them.
struct MaintenanceChoice {
    bool everything = false; // "EveryThing!"
    bool partialRoute = false;
    bool defaultRoutes = false;
    bool allConsists = false;
    bool allStock = false;
    bool launchEditor = false; // "Launch MSTS Editor"
};

// "Prepare": after the user confirms, unstores the marked routes for maintenance (or everything).
// When that job ran and the editor is wanted, offers to save the scenario, makes sure the screen
// is at least 1024 x 768 (offering the display settings), starts the MSTS editor and closes the
// main window.
void PrepareForMaintenance(const MaintenanceChoice& choice);

// "+ Def. Routes" was clicked: the box stays ticked only when every MSTS default route is in the
// main tree (each missing one is named). Returns the box's new state.
bool DefaultRoutesChecked(bool checked);

// The engine driver an accepted job is handed to (arguments as GoStoreUnstore's, then the chosen
// TSECTION.DAT file); true when the move ran.
using StoreUnstoreDriver =
    std::function<bool(bool unstore, bool partialRoute, bool defaultRoutes, bool allConsists,
                       bool allStock, bool silent, const QString& tsectionFile)>;
// Tests only: replaces the engine driver; an empty function puts the engine's own back.
void SetStoreUnstoreDriverForTests(StoreUnstoreDriver driver);

} // namespace qv
