// The consist editor's Available list: which consists pass the filters, the filters' memory and
// histories, and when the consist list is rebuilt.
#include "editors/consistfilter.h"

#include "core/regsettings.h"
#include "editors/listboxview.h"
#include "editortestkit.h"

#include <QDir>

namespace qv {

namespace {

class ConsistFilterTest : public EditorTest {
protected:
    void AddConsist(const QString& name, std::uint32_t bits, int state, const QString& engine,
                    const QString& lot) {
        auto item = Record(2, PT_CONSIST | bits, state, name, "", name + ".CON");
        item->EngineName = engine;
        item->LotNumber = lot;
        consists.push_back(std::move(item));
    }
    // Light engine, passenger, freight and non-driveable consists of every power.
    void AddFixtureSet() {
        AddConsist("LightDiesel", PT_ENGINE | PT_DIESEL | PT_DRIVEABLE, 1, "GP38", "100");
        AddConsist("PaxElectric", PT_PASSENGER | PT_ELECTRIC | PT_DRIVEABLE, 2, "AEM7", "101");
        AddConsist("FreightSteam", PT_FREIGHT | PT_STEAM | PT_DRIVEABLE, 6, "Big Boy", "100");
        AddConsist("FreightNoLoco", PT_FREIGHT, 2, "", "");
        AddConsist("PaxDiesel", PT_PASSENGER | PT_DIESEL, 5, "F7", "");
    }
    QStringList Refresh(ConsistFilterControls& controls, bool force = false,
                        bool electrified = false) {
        model.AvailableItems = &consists;
        RefreshAvailableConsists(model, controls, box, force, electrified, {});
        return box.Texts();
    }

    RecordList<ItemSet> consists;
    ListEditorModel model;
    MemoryListBox box;
};

TEST_F(ConsistFilterTest, ConsistPassesFilter_ByBoxesMarksMasksStatusAndTheExploreRule) {
    AddFixtureSet();
    consists[3]->PType |= PT_IN_OTHER_LIST; // FreightNoLoco is used by the chosen route
    const struct {
        const char* name;
        std::function<void(ConsistFilterValues&)> set;
        QStringList passing;
    } cases[] = {
        {"nothing set passes all",
         [](auto&) {},
         {"LightDiesel", "PaxElectric", "FreightSteam", "FreightNoLoco", "PaxDiesel"}},
        {"light engine or passenger",
         [](auto& v) { v.Include = PT_ENGINE | PT_PASSENGER; },
         {"LightDiesel", "PaxElectric", "PaxDiesel"}},
        {"light engine or passenger, with diesel",
         [](auto& v) { v.Include = PT_ENGINE | PT_PASSENGER | PT_DIESEL; },
         {"LightDiesel", "PaxDiesel"}},
        {"diesel alone", [](auto& v) { v.Include = PT_DIESEL; }, {"LightDiesel", "PaxDiesel"}},
        {"the tick",
         [](auto& v) { v.Include = PT_DRIVEABLE; },
         {"LightDiesel", "PaxElectric", "FreightSteam"}},
        {"the cross", [](auto& v) { v.Exclude = PT_DRIVEABLE; }, {"FreightNoLoco", "PaxDiesel"}},
        {"freight with the cross",
         [](auto& v) {
             v.Include = PT_FREIGHT;
             v.Exclude = PT_DRIVEABLE;
         },
         {"FreightNoLoco"}},
        {"status in use", [](auto& v) { v.StatusMask = 1; }, {"LightDiesel", "PaxDiesel"}},
        {"status in error", [](auto& v) { v.StatusMask = 4; }, {"FreightSteam", "PaxDiesel"}},
        {"name mask",
         [](auto& v) { v.NameMask = MakeMask("*pax*"); },
         {"PaxElectric", "PaxDiesel"}},
        {"locomotive mask", [](auto& v) { v.EngineMask = MakeMask("gp*"); }, {"LightDiesel"}},
        {"lot mask", [](auto& v) { v.LotMask = MakeMask("100"); }, {"LightDiesel", "FreightSteam"}},
        {"explore list off the wire",
         [](auto& v) { v.ListType = PT_EXPLORE_CONSIST; },
         {"LightDiesel", "FreightSteam"}},
        {"explore list under the wire",
         [](auto& v) {
             v.ListType = PT_EXPLORE_CONSIST;
             v.Electrified = true;
         },
         {"LightDiesel", "PaxElectric", "FreightSteam"}},
        {"used in route", [](auto& v) { v.RouteFilterOn = true; }, {"FreightNoLoco"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConsistFilterValues values;
        c.set(values);
        QStringList passing;
        for (const auto& item : consists)
            if (ConsistPassesFilter(*item, values))
                passing << item->Description;
        EXPECT_EQ(passing, c.passing);
    }
}

TEST_F(ConsistFilterTest, TextHistoriesKeepTheNewestFifteen) {
    AddFixtureSet();
    ConsistFilterControls controls;
    controls.StoreIndIndex = 3;
    for (int i = 0; i < 17; ++i) {
        controls.ConsistName = QString("*%1*").arg(i);
        Refresh(controls);
    }
    const QStringList history = ReadKeyList("Filters\\Consists\\ConsistName");
    ASSERT_EQ(history.size(), 15);
    EXPECT_EQ(history.first(), "*16*");
    EXPECT_EQ(history.last(), "*2*");
    // The combo offers the history, the remembered text first and shown.
    EXPECT_EQ(controls.ConsistNameItems.first(), "*16*");
    EXPECT_EQ(controls.ConsistName, "*16*");
    EXPECT_EQ(RegReadString(kProductKey + "\\Filters\\Consists", "StoreInd"), "3");
}

TEST_F(ConsistFilterTest, AnExploreListKeepsTheUsersRememberedChoices) {
    AddFixtureSet();
    RegWriteString(kProductKey + "\\Filters\\Consists", "Include", QString::number(PT_ELECTRIC));
    ItemNode* route = tree.AddRoot(Record(0, PT_ROUTE, 1, "Alpha", "ROUTES\\ALPHA", "A.trk"));
    ItemNode* heading =
        route->AddChild(Record(1, PT_EXPLORE_CONSIST | PT_HEADING, 12, "Consists", "", ""));
    model.ListType = PT_EXPLORE_CONSIST;
    ConsistFilterControls controls;
    ReadConsistFilterMemory(controls);
    controls.CheckedTags |= PT_FREIGHT;
    const bool electrified = IsElectrifiedScope(heading, EM_EDIT);
    EXPECT_FALSE(electrified);

    EXPECT_EQ(Refresh(controls, false, electrified), (QStringList{"FreightSteam"}));
    EXPECT_EQ(controls.DriveableIndex, DRIVEABLE_TICK);
    EXPECT_FALSE(controls.DriveableEnabled);
    EXPECT_FALSE(controls.ElectricEnabled);
    EXPECT_EQ(RegReadString(kProductKey + "\\Filters\\Consists", "Include"),
              QString::number(PT_ELECTRIC | PT_FREIGHT));

    route->Data()->PType |= PT_ELECTRIFIED;
    EXPECT_TRUE(IsElectrifiedScope(
        heading->AddChild(Record(2, PT_EXPLORE_CONSIST, 1, "x", "", "x.con")), EM_EDIT));
    EXPECT_FALSE(IsElectrifiedScope(heading, EM_VIEW_ALL));
}

TEST_F(ConsistFilterTest, AnExploreListTakesElectricConsistsFromItsRouteOrTheGlobalSettings) {
    const struct {
        const char* name;
        std::uint32_t scope;
        bool several; // the lists hang below the kind's heading
        bool entry;   // a consist of the list is selected, not the list
        bool electrified;
    } cases[] = {
        {"one list of an electrified route", PT_ROUTE | PT_ELECTRIFIED, false, false, true},
        {"one of several lists of an electrified route", PT_ROUTE | PT_ELECTRIFIED, true, false,
         true},
        {"an entry of one of several lists", PT_ROUTE | PT_ELECTRIFIED, true, true, true},
        {"one of several lists of a route without wires", PT_ROUTE, true, false, false},
        {"one list of the global settings", PT_GLOBAL_ROOT, false, false, true},
        {"one of several global lists", PT_GLOBAL_ROOT, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ItemTree scopes;
        ItemNode* list = scopes.AddRoot(Record(0, c.scope, 1, "Scope", "ROUTES\\A", ""))
                             ->AddChild(Record(1, PT_EXPLORE_CONSIST | PT_HEADING, -1,
                                               "Explore Mode Consists", "ROUTES\\A", ""));
        if (c.several)
            list = list->AddChild(
                Record(2, PT_EXPLORE_CONSIST | PT_HEADING, 12, "Locals", "ROUTES\\A", "C.QVC"));
        ItemNode* selected =
            c.entry ? list->AddChild(Record(3, PT_EXPLORE_CONSIST, 1, "x", "", "x.con")) : list;
        EXPECT_EQ(IsElectrifiedScope(selected, EM_EDIT), c.electrified);
    }
}

TEST_F(ConsistFilterTest, TheFirstOpeningRebuildsAndTheSecondReadsNoConsistFile) {
    builder.AddEngine("GP38", "GP38.ENG", "GP38", EngineType::Diesel);
    builder.AddConsist("ONE.CON", "One", {{"GP38", "GP38", true, false}});
    builder.AddConsist("TWO.CON", "Two", {{"GP38", "GP38", true, false}}, Into::Store);
    model.ListType = PT_CONSIST;
    model.AvailableItems = &App().ConsistCacheList;
    ConsistFilterControls controls;
    controls.StoreIndIndex = 3;
    QList<bool> panel;
    RefreshAvailableConsists(model, controls, box, false, false, [&](bool on) { panel << on; });
    EXPECT_EQ(box.Texts(), (QStringList{"One", "Two"}));
    EXPECT_EQ(panel, (QList<bool>{false, true}));
    EXPECT_EQ(model.RowMap.size(), 2u);
    EXPECT_EQ(App().ConsistCacheList[0]->StoreInd, SI_IN_USE);
    EXPECT_EQ(App().ConsistCacheList[1]->StoreInd, SI_IN_STORE);

    ASSERT_TRUE(QDir(builder.HostPath("TRAINS\\CONSISTS")).removeRecursively());
    panel.clear();
    RefreshAvailableConsists(model, controls, box, false, false, [&](bool on) { panel << on; });
    EXPECT_EQ(box.Texts(), (QStringList{"One", "Two"}));
    EXPECT_TRUE(panel.isEmpty());

    RefreshAvailableConsists(model, controls, box, true, false, {});
    EXPECT_EQ(box.Texts(), (QStringList{"Two"}));
}

TEST_F(ConsistFilterTest, UsedInRouteMarksWhatTheNamedRouteUsesOnlyAfterAChange) {
    builder.AddEngine("GP38", "GP38.ENG", "GP38", EngineType::Diesel);
    builder.AddConsist("FREIGHT.CON", "Freight One", {{"GP38", "GP38", true, false}});
    builder.AddConsist("PAX.CON", "Passenger Two", {{"GP38", "GP38", true, false}});
    builder.AddRoute("ALPHA", "Alpha Line", "A");
    builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
    builder.AddService("ALPHA", "s1.srv", "Service One", "FREIGHT", "up");
    builder.AddActivity("ALPHA", "a1.act", "Morning Run", "s1.srv", QString());
    model.RouteNodes.push_back(
        tree.AddRoot(Record(0, PT_ROUTE, 1, "Alpha Line", "ROUTES\\ALPHA", "ALPHA.trk")));
    model.ListType = PT_CONSIST;
    model.AvailableItems = &App().ConsistCacheList;
    ConsistFilterControls controls;
    controls.StoreIndIndex = 3;
    controls.UsedInRoute = "Alpha Line";
    // Without a change the marks of the last recomputation (none) stand.
    RefreshAvailableConsists(model, controls, box, false, false, {});
    EXPECT_TRUE(box.Texts().isEmpty());

    model.RouteFilterChanged = true;
    RefreshAvailableConsists(model, controls, box, false, false, {});
    EXPECT_EQ(box.Texts(), QStringList{"Freight One"});
    EXPECT_FALSE(model.RouteFilterChanged);
    EXPECT_EQ(controls.UsedInRouteItems.mid(controls.UsedInRouteItems.size() - 2),
              (QStringList{"MSTS Default Routes", "Alpha Line"}));

    controls.UsedInRoute = "No Such Route";
    model.RouteFilterChanged = true;
    RefreshAvailableConsists(model, controls, box, false, false, {});
    EXPECT_TRUE(box.Texts().isEmpty());
}

} // namespace

} // namespace qv
