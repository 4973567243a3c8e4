#include "mainwindow/forms/maineasyservices.h"

#include "easy/explorestate.h"
#include "easy/goandlaunch.h"
#include "easy/launchprogram.h"
#include "easy/marking.h"
#include "easy/savedactivity.h"
#include "mainwindow/forms/easycontroller.h"
#include "mainwindow/forms/mainform.h"

namespace qv {

void MainEasyServices::MarkSelectedNode(int state, bool routesHeading) {
    qv::MarkSelectedNode(state, routesHeading);
}

bool MainEasyServices::MarkDefaultRoutes(ItemTree& tree) {
    return qv::MarkDefaultRoutes(tree);
}

bool MainEasyServices::CheckDefaultRoutes(ItemTree& tree) {
    return qv::CheckDefaultRoutes(tree);
}

bool MainEasyServices::GoAndLaunch(QObject* sender, bool silent) {
    return qv::GoAndLaunch(sender, silent);
}

std::int32_t MainEasyServices::LaunchProgram(const QString& program, const QString& parameters,
                                             const QString& displayName, bool minimiseSelf,
                                             bool startMinimised, bool noWait) {
    return qv::LaunchProgram(program, parameters, displayName, minimiseSelf, startMinimised,
                             noWait);
}

void MainEasyServices::CleanExploreTemp(const QString& routeFolder, QStringList* names) {
    qv::CleanExploreTemp(routeFolder, names);
}

int MainEasyServices::MainPageIndex() const {
    return form_.MainPageIndex();
}

int MainEasyServices::ExploreTabIndex() const {
    return form_.ActivityExplorePageIndex();
}

const ItemSet* MainEasyServices::ChosenExploreActivity() const {
    const std::optional<ItemSet>& source = Explore().ExploreSourceActivity;
    return source ? &*source : nullptr;
}

const ExploreActivitySaveInfo* MainEasyServices::CurrentExploreRecord() const {
    return ExploreRecordInForce();
}

void MainEasyServices::RefillEasyLists() {
    // The page stays on the route it showed, while that route is still there.
    if (EasyController* easy = form_.EasyControls(); form_.MainPageIndex() == 0 && easy)
        easy->RefillLists(easy->ShownRoutePosition());
}

} // namespace qv
