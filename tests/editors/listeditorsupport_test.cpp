// Loading an editor's Current list: which new lists start with what a route's activities use.
#include "editors/listeditorsupport.h"

#include "editors/listboxview.h"
#include "editortestkit.h"

namespace qv {

namespace {

using ListEditorSupportTest = EditorTest;

TEST_F(ListEditorSupportTest, OnlyANewMaintenanceListOfARouteStartsFilled) {
    const struct {
        const char* name;
        std::uint32_t scope;
        std::uint32_t kind;
        bool filled;
    } cases[] = {
        {"Maintenance stock of a route", PT_ROUTE, PT_MAINT_STOCK, true},
        {"Maintenance consists of a route", PT_ROUTE, PT_MAINT_CONSIST, true},
        {"Explore consists of a route", PT_ROUTE, PT_EXPLORE_CONSIST, false},
        {"global Maintenance stock", PT_GLOBAL_ROOT, PT_MAINT_STOCK, false},
        {"global Maintenance consists", PT_GLOBAL_ROOT, PT_MAINT_CONSIST, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ItemTree scopes;
        const QString folder = c.scope == PT_ROUTE ? "ROUTES\\ALPHA" : "TRAINS\\CONSISTS";
        ItemNode* heading = scopes.AddRoot(Record(0, c.scope, 1, "Scope", folder, ""))
                                ->AddChild(Record(1, c.kind | PT_HEADING, -1, "Lists", folder, ""));
        ListEditorModel model;
        model.EditMode = EM_NEW_LIST;
        model.ListType = c.kind;
        MemoryListBox current;
        bool okEnabled = false;
        LoadCurrentList(
            heading, model, [&] { okEnabled = true; }, current);
        EXPECT_EQ(okEnabled, c.filled);
        EXPECT_TRUE(c.filled || model.CurrentItems.empty());
    }
}

} // namespace

} // namespace qv
