#include "easy/marking.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "platform/ui.h"

namespace qv {

namespace {

constexpr int kMaintenancePage = 1;
const QString kPartialRouteBox = QStringLiteral("PartialRouteCbx");

ItemNode* RoutesHeading(const ItemTree& tree) {
    for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
        const std::uint32_t kind = node->Data()->PType;
        if ((kind & PT_ROUTE) && (kind & PT_HEADING))
            return node;
    }
    return nullptr;
}

// Folder names are compared without regard to case: MSTS sees "Routes\Europe1" as the same
// folder as "Routes\EUROPE1", so it must not be reported missing.
ItemNode* FindDefaultRoute(const ItemTree& tree, const QString& name) {
    const QString folder = QStringLiteral("Routes\\") + name;
    for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (IsRouteItem(item) && CompareText(item.Folder, folder) == 0)
            return node;
    }
    return nullptr;
}

QString RouteMissingText(const QString& name) {
    return Caption(Msg::DEFAULT_ROUTE_NOT_FOUND1) + Caption(Msg::GENERAL_NOT_FOUND2) + name + u'\'';
}

// Marks the tree's selected node; nothing without a selection.
void MarkNode(ItemTree& tree, int state, bool routesHeading) {
    ItemNode* node = tree.Selected();
    if (!node)
        return;
    const std::uint32_t kind = node->Data()->PType;
    MainServices& main = TheMainServices();

    // Marking single activities for maintenance only makes sense as a partial route.
    if (main.SimulationMaintPageIndex() == kMaintenancePage && (kind & PT_ACTIVITY) &&
        !main.Checked(kPartialRouteBox)) {
        main.SetChecked(kPartialRouteBox, true);
        WriteFlag(true, QStringLiteral("Partial Route"));
    }
    if (routesHeading)
        SetRouteNodeState(RoutesHeading(tree), SI_IN_STORE);
    if (kind & PT_ROUTE)
        SetRouteNodeState(node, state);
    else if (kind & PT_ACTIVITY)
        SetActivityNodeState(node, state);
}

} // namespace

void MarkSelectedNode(int state, bool routesHeading) {
    ItemTree* tree = TheMainServices().QuarvelObjects();
    if (tree)
        MarkNode(*tree, state, routesHeading);
}

bool MarkDefaultRoutes(ItemTree& tree) {
    bool all = true;
    for (const QString& name : MstsDefaultRoutes()) {
        if (ItemNode* route = FindDefaultRoute(tree, name)) {
            tree.SetSelected(route);
            MarkNode(tree, SI_IN_USE, false);
            continue;
        }
        Report(RL_ERROR, nullptr, RouteMissingText(name), TheMainServices().InformationMemo());
        all = false;
    }
    return all;
}

bool CheckDefaultRoutes(ItemTree& tree) {
    bool all = true;
    for (const QString& name : MstsDefaultRoutes()) {
        if (FindDefaultRoute(tree, name))
            continue;
        TheUi().MessageBox(RouteMissingText(name), App().ProgramTitle, MB_ICONEXCLAMATION);
        all = false;
    }
    return all;
}

} // namespace qv
