// The common ground of the object tree tests: a small installation with routes, activities and
// named lists of several kinds, main-window services that count the refreshes they are asked
// for, and a look-up of tree nodes by their description.
#pragma once

#include "catalogue/treetestkit.h"
#include "core/itemtree.h"

namespace qv {

// Headless services that hand out the test's tree and count the window refreshes.
class CountingServices : public HeadlessMainServices {
public:
    void UpdateControls() override { ++updates; }
    void ShowSelectedNodeInfo() override { ++infos; }
    int updates = 0;
    int infos = 0;
};

class ObjectTreeTest : public TreeTest {
protected:
    ObjectTreeTest() {
        services.SetQuarvelObjects(&tree);
        SetMainServices(&services);
    }
    ~ObjectTreeTest() override { SetMainServices(nullptr); }

    // Routes ALPHA (in use; Morning Run in use, Evening Run stored) and BETA (stored); global
    // lists of every consist and stock kind, one each; ALPHA has two Explore Mode consist lists.
    void BuildInstallation() {
        AddTwoRoutes();

        AddLists("TRAINS\\CONSISTS", PT_EXPLORE_CONSIST, {"CONSISTS=12,Original List"},
                 {{{"FREIGHT.CON", PT_EXPLORE_CONSIST, ""}, {"PAX.CON", PT_EXPLORE_CONSIST, ""}}});
        AddLists("TRAINS\\CONSISTS", PT_MAINT_CONSIST, {"MAINTCON=12,Original List"},
                 {{{"FREIGHT.CON", PT_MAINT_CONSIST, ""}}});
        AddLists("TRAINS\\TRAINSET", PT_MAINT_STOCK, {"MAINTSTK=12,Original List"},
                 {{{"DASH9\\DASH9.ENG", PT_MAINT_STOCK, ""}}});
        AddLists(
            "Routes\\ALPHA", PT_EXPLORE_CONSIST,
            {"CONSISTS=12,Original List", "CONSISTS1=11,New List (1)"},
            {{{"FREIGHT.CON", PT_EXPLORE_CONSIST, ""}}, {{"PAX.CON", PT_EXPLORE_CONSIST, ""}}});
    }

    // The first node in tree order with the description and every one of the kind bits.
    ItemNode* Node(const QString& description, std::uint32_t kind = 0) const {
        for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
            if (node->Data()->Description == description && (node->Data()->PType & kind) == kind)
                return node;
        }
        ADD_FAILURE() << "no node " << description.toStdString();
        return nullptr;
    }

    // Whether any node of the tree still stands in for the rest of its list.
    bool AnyPlaceholder() const {
        for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
            if (node->Data()->PType & PT_FIRST_ONLY)
                return true;
        }
        return false;
    }

    ItemTree tree;
    CountingServices services;
};

} // namespace qv
