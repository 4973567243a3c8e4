// What a store job takes from the Explore session set up on the Easy page: its consist and player
// path, and the reminder to load a reloaded session from MSTS's saved activities.
#include "core/exploresaveinfo.h"
#include "core/regsettings.h"
#include "engine/storecommand.h"
#include "engine/surveytestkit.h"

using namespace qv;

namespace {

class SessionEasy : public TreeEasyServices {
public:
    const ExploreActivitySaveInfo* CurrentExploreRecord() const override { return &session; }
    ExploreActivitySaveInfo session;
};

class ExploreSessionTest : public SurveyTestKit {
protected:
    ExploreSessionTest() { SetEasyServices(&sessionEasy); }
    ~ExploreSessionTest() override { SetStoreUnstoreDriverForTests({}); }
    SessionEasy sessionEasy;
};

} // namespace

TEST_F(ExploreSessionTest, Survey_StoreFromExploreTabKeepsTheSessionsConsistAndPath) {
    AddFixedObjects();
    builder.AddEngine("DASH9", "DASH9.ENG", "DASH9", EngineType::Diesel);
    builder.AddConsist("FREIGHT.CON", "FREIGHT", {{"DASH9", "DASH9", true}});
    builder.AddConsist("EXPL.CON", "EXPL", {{"DASH9", "DASH9", true}}, Into::Store);
    builder.AddRoute("ALPHA", "Alpha Line", "A");
    builder.AddPath("ALPHA", "up.pat", "up", "Here", "There");
    builder.AddPath("ALPHA", "explore.pat", "explore", "Yard", "Town", true, Into::Store);
    builder.AddService("ALPHA", "s1.srv", "s1", "FREIGHT", "up");
    builder.AddActivity("ALPHA", "a1.act", "Morning", "s1.srv", QString());
    LoadTree();
    sessionEasy.mainPage = 0;
    sessionEasy.exploreTab = 1;
    EXPECT_FALSE(RunSurvey(false)) << "nothing chosen yet adds nothing";
    EXPECT_EQ(Lower(lists.E), QStringList{"freight.con"});

    sessionEasy.session.ConsistFileName = "EXPL.CON";
    sessionEasy.session.PlayerPathFileName = "Routes\\ALPHA\\PATHS\\explore.pat";
    EXPECT_FALSE(RunSurvey(false)) << PaneText().toStdString();
    EXPECT_EQ(Lower(lists.E), QStringList({"expl.con", "freight.con"}));
    EXPECT_TRUE(Lower(lists.D).contains("routes\\alpha\\paths\\explore.pat"));
}

TEST_F(ExploreSessionTest, Outcome_ReloadedSessionAddsTheLoadReminder) {
    AddFixedObjects();
    drive.MakeFolder("STORE");
    SetStoreUnstoreDriverForTests(
        [](bool, bool, bool, bool, bool, bool, const QString&) { return true; });
    tree.AddRoot(std::make_unique<ItemSet>(
        ItemSet{1, PT_ROUTE, SI_IN_USE, "Hill", "Routes\\Hill", "Hill.trk", {}, {}}));
    EXPECT_TRUE(GoStoreUnstore(false, false, false, false, false, true));
    EXPECT_TRUE(ui.Shown().empty()) << "a new session has no number to remind of";

    sessionEasy.session.SaveNumber = 12;
    WriteFlag(true, "Confirm Completion");
    EXPECT_TRUE(GoStoreUnstore(false, false, false, false, false, true));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].text, Caption(Msg::PROCESS_COMPLETED) + "\n\n" +
                                      Caption(Msg::EXPLORE_LOAD_REMINDER) +
                                      Caption(Msg::EXPLORE_ACTIVITY_NAME) + " 12'");
    EXPECT_EQ(ui.Shown()[0].style, MB_ICONINFORMATION);
}
