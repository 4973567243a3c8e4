#include "easy/activityfilegen.h"

#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/storeini.h"
#include "easy/explorestate.h"
#include "easy/savedactivity.h"
#include "fixtures/allocations.h"
#include "fixtures/growth.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/mstsfile.h"
#include "platform/winfs.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray WithMark(const QString& text) {
    return QByteArray("\xFF\xFE", 2) + EncodeUtf16Le(text);
}

const char* const kGoldenService = "SIMISA@@@@@@@@@@JINX0v0t______\n"
                                   "\n"
                                   "Service_Definition (\n"
                                   "\tSerial ( 1 )\n"
                                   "\tName ( \"QUARVEL EXPLORE\" )\n"
                                   "\tTrain_Config ( \"C1\" )\n"
                                   "\tPathID ( \"P1\" )\n"
                                   "\tMaxWheelAcceleration ( 0 )\n"
                                   "\tEfficiency ( 0.75 )\n"
                                   "\tTimeTable (\n"
                                   "\t\tStartingSpeed ( 0 )\n"
                                   "\t\tEndingSpeed ( 0 )\n"
                                   "\t\tStartInWorld ( 0 )\n"
                                   "\t\tEndInWorld ( 0 )\n"
                                   "\t)\n"
                                   ")\n";

// Session 1 of route Hill: C1.con, P1.pat, 10:05, autumn, snow.
const char* const kGoldenActivityHeader =
    "SIMISA@@@@@@@@@@JINX0a0t______\n"
    "\n"
    "Tr_Activity (\n"
    "\tSerial ( 999 )\n"
    "\tTr_Activity_Header (\n"
    "\t\tRouteID ( \"Hill\" )\n"
    "\t\tName ( \" QUARVEL EXPLORE 1\" )\n"
    "\t\tDescription ( \"Transient Quarvel Explore Activity\" )\n"
    "\t\tBriefing ( \"This is a Transient Quarvel Explore Activity which allows you to explore the "
    "route with the Loose Consists and AI Traffic that you have chosen.\\n\"+\n"
    "\"\\n\"+\n"
    "\"PLEASE NOTE:\\n\"+\n"
    "\"Because of MSTS limitations :-\\n\"+\n"
    "\"1.After exiting from the Activity for any reason you cannot restart it by selecting it from "
    "the MSTS menu (IF YOU DO THIS MSTS WILL CRASH).\\n\"+\n"
    "\"2.This exploration can only be restarted from a saved version by exiting from MSTS and then "
    "restarting MSTS using the Quarvel 'Reload saved QUARVEL EXPLORE' facility. When MSTS has "
    "restarted, choose LOAD SAVED ACTIVITY and then choose 'QUARVEL EXPLORE 1'.\n"
    "3.AI traffic may or may not behave as expected in a normal activity.\\n\"+\n"
    "\"\\n\"+\n"
    "\"For further details see the Quarvel manual.\" )\n"
    "\t\tCompleteActivity ( 1 )\n"
    "\t\tType ( 0 )\n"
    "\t\tMode ( 2 )\n"
    "\t\tStartTime ( 10 5 0 )\n"
    "\t\tSeason ( 2 )\n"
    "\t\tWeather ( 1 )\n"
    "\t\tPathID ( \"P1\" )\n"
    "\t\tStartingSpeed ( 0 )\n"
    "\t\tDuration ( 0 0 )\n"
    "\t\tDifficulty ( 0 )\n"
    "\t\tFuelWater ( 100 )\n"
    "\t\tFuelCoal ( 100 )\n"
    "\t\tFuelDiesel ( 100 )\n"
    "\t)\n"
    "\tTr_Activity_File (\n"
    "\t\tPlayer_Service_Definition ( QV_~TEMP \n"
    "\t\t\tPlayer_Traffic_Definition ( 36000 )\n"
    "\t\t\tUiD ( 0 )\n"
    "\t\t)\n"
    "\t\tNextServiceUID ( 999 )\n"
    "\t\tNextActivityObjectUID ( 999 )\n";

// A source activity as MSTS writes them (CR LF), with traffic and loose consists whose names lie
// outside any 8-bit code page.
const char* const kSourceBody = "\t\tTraffic_Definition ( \"Hill\"\r\n"
                                "\t\t\tService_Definition ( \"Třinec – Ostrava\" 3600 )\r\n"
                                "\t\t)\r\n"
                                "\t\tEvents (\r\n"
                                "\t\t\tEventCategoryLocation ( )\r\n"
                                "\t\t)\r\n"
                                "\t\tActivityObjects (\r\n"
                                "\t\t\tActivityObject ( Name ( \"Třinec wagons\" ) )\r\n"
                                "\t\t)\r\n";

// What the activity takes of it with AI traffic and loose stock: no events, and the source's own
// closing lines, which follow the last copied section.
const char* const kCopied = "\t\tTraffic_Definition ( \"Hill\"\r\n"
                            "\t\t\tService_Definition ( \"Třinec – Ostrava\" 3600 )\r\n"
                            "\t\t)\r\n"
                            "\t\tActivityObjects (\r\n"
                            "\t\t\tActivityObject ( Name ( \"Třinec wagons\" ) )\r\n"
                            "\t\t)\r\n"
                            "\t)\r\n)\r\n";

QString SourceText() {
    return S("SIMISA@@@@@@@@@@JINX0a0t______\r\n\r\nTr_Activity (\r\n\tTr_Activity_File (\r\n") +
           S(kSourceBody) + S("\t)\r\n)\r\n");
}

class ActivityFileGenTest : public ::testing::Test {
protected:
    ActivityFileGenTest() {
        ResetAppState();
        ResetExploreState();
        App().MstsRootFolder = S("C:\\MSTS");
        App().StoreRootFolder = S("C:\\STORE");
        App().ProgramTitle = S("Quarvel");
        SetUi(&ui);
        SetMainServices(&main);
        source.Folder = S("Routes\\Hill\\ACTIVITIES");
        source.FileName = S("run.act");
        source.RouteID = S("Hill");
        session.Folder = source.Folder;
        session.ConsistFileName = S("C1.con");
        session.PlayerPathFileName = S("Routes\\Hill\\Paths\\P1.pat");
        session.StartTime = QTime(10, 5);
        session.Season = 2;
        session.Weather = 1;
        session.AITraffic = session.LooseStock = true;
        drive.MakeFolder(S("MSTS/Routes/Hill/SERVICES"));
    }
    ~ActivityFileGenTest() override {
        SetMainServices(nullptr);
        SetUi(nullptr);
        ResetExploreState();
        ResetAppState();
    }

    RegistrySandbox registry;
    TempMsts drive;
    FakeUi ui;
    HeadlessMainServices main;
    ActivityInfo source;
    ExploreActivitySaveInfo session;
};

} // namespace

TEST_F(ActivityFileGenTest, Generate_WritesTheGoldenFilesMovesTheSourceAndRecordsTheSession) {
    drive.MakeFile(S("MSTS/Routes/Hill/ACTIVITIES/run.act"), WithMark(SourceText()));
    ASSERT_TRUE(GenerateExploreActivity(source, session));
    EXPECT_TRUE(ui.Shown().empty());

    const QByteArray service = drive.Content(S("MSTS/Routes/Hill/SERVICES/QV_~TEMP.srv"));
    EXPECT_EQ(service, WithMark(S(kGoldenService)));
    EXPECT_TRUE(service.startsWith(QByteArray("\xFF\xFES\0I\0M\0I\0S\0A\0", 14)));
    EXPECT_EQ(session.SaveNumber, 1);

    const QString golden = S(kGoldenActivityHeader) + S(kCopied) + S("\t)\n)\n");
    const QByteArray activity = drive.Content(S("MSTS/Routes/Hill/ACTIVITIES/QV_~TEMP1.act"));
    EXPECT_EQ(activity, WithMark(golden));
    EXPECT_EQ(drive.Content(S("MSTS/Routes/Hill/ACTIVITIES/EXPLORER.ACT")), QByteArray());
    EXPECT_EQ(drive.NamesIn(S("STORE/Routes/Hill/ACTIVITIES")), QStringList{S("run.act")});
    EXPECT_FALSE(FileExists(S("C:\\MSTS\\Routes\\Hill\\ACTIVITIES\\run.act")));
    EXPECT_TRUE(OpenStoreIni(S("Hill\\SAVES.QVC"))->Ini.SectionExists(S("1")));

    // The Mode line's offset counts every byte before it, the mark's two included; the patch
    // turns its 2 into 1 and touches nothing else.
    const ExploreState& state = Explore();
    EXPECT_EQ(state.ExploreModeLinePosition, 2 * (golden.indexOf(S("\t\tMode ( 2 )")) + 1));
    EXPECT_EQ(state.ExploreModeLineText, S("\t\tMode ( 1 )"));
    ItemSet item;
    item.Folder = source.Folder;
    item.FileName = source.FileName;
    PatchSavedExploreMode(item, S("1"), state.ExploreModeLinePosition, state.ExploreModeLineText);
    EXPECT_EQ(drive.Content(S("MSTS/Routes/Hill/ACTIVITIES/QV_~TEMP1.act")),
              WithMark(QString(golden).replace(S("Mode ( 2 )"), S("Mode ( 1 )"))));
}

TEST_F(ActivityFileGenTest, Generate_ReadsACompressedSourceAsTextAndKeepsItsNamesExactly) {
    const QByteArray inflated = WithMark(SourceText());
    QByteArray file("SIMISA@F");
    for (int shift = 0; shift < 32; shift += 8)
        file.append(char((inflated.size() >> shift) & 0xFF));
    file += "@@@@" + qCompress(inflated).mid(4);
    drive.MakeFile(S("MSTS/Routes/Hill/ACTIVITIES/run.act"), file);
    session.SaveNumber = 7; // a reloaded session keeps its number
    ASSERT_TRUE(GenerateExploreActivity(source, session));
    const QByteArray activity = drive.Content(S("MSTS/Routes/Hill/ACTIVITIES/QV_~TEMP7.act"));
    EXPECT_TRUE(activity.contains(EncodeUtf16Le(S("\"Třinec – Ostrava\" 3600 )\r\n"))));
    EXPECT_TRUE(activity.contains(EncodeUtf16Le(S("Name ( \"Třinec wagons\" )"))));
    EXPECT_TRUE(activity.endsWith(EncodeUtf16Le(S(kCopied) + S("\t)\n)\n"))));
    EXPECT_FALSE(OpenStoreIni(S("Hill\\SAVES.QVC"))->Ini.SectionExists(S("7")));
}

TEST_F(ActivityFileGenTest, Generate_SourceInBothFoldersIsReadFromTheStoreAndTheMstsCopyMoved) {
    const QByteArray bytes = WithMark(SourceText());
    drive.MakeFile(S("MSTS/Routes/Hill/ACTIVITIES/run.act"), bytes);
    drive.MakeFile(S("STORE/Routes/Hill/ACTIVITIES/run.act"), bytes);
    const qint32 age = FileAge(S("C:\\MSTS\\Routes\\Hill\\ACTIVITIES\\run.act"));
    ASSERT_TRUE(SetFileAge(S("C:\\STORE\\Routes\\Hill\\ACTIVITIES\\run.act"), age));
    ASSERT_TRUE(GenerateExploreActivity(source, session));
    EXPECT_FALSE(FileExists(S("C:\\MSTS\\Routes\\Hill\\ACTIVITIES\\run.act")));
    EXPECT_EQ(drive.Content(S("STORE/Routes/Hill/ACTIVITIES/run.act")), bytes);
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(ActivityFileGenTest, Generate_SourceOnlyInTheStoreFailsAndLeavesNoTemporaryFile) {
    drive.MakeFile(S("STORE/Routes/Hill/ACTIVITIES/run.act"), WithMark(SourceText()));
    drive.MakeFile(S("MSTS/Routes/Hill/ACTIVITIES/QV_~TEMP3.act")); // an earlier session's
    EXPECT_FALSE(GenerateExploreActivity(source, session));
    EXPECT_EQ(drive.NamesIn(S("MSTS/Routes/Hill/ACTIVITIES")), QStringList());
    EXPECT_EQ(drive.NamesIn(S("MSTS/Routes/Hill/SERVICES")), QStringList());
    ASSERT_FALSE(ui.Shown().empty());
    // The move reported its own failure; the box names no step.
    EXPECT_EQ(ui.Shown().back().text, S("Transient Quarvel Explore Activity Create Error\r\r"));
    EXPECT_EQ(ui.Shown().back().style, MB_ICONSTOP);
}

TEST_F(ActivityFileGenTest, Generate_MissingSourceFailsWithItsStepNamed) {
    EXPECT_FALSE(GenerateExploreActivity(source, session));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown().front().text, S("Transient Quarvel Explore Activity Create Error\r\r"
                                         "Module: 'ActivityFileGen'  Line No.: 44\n\n"));
    EXPECT_EQ(drive.NamesIn(S("MSTS/Routes/Hill/SERVICES")), QStringList());
}

TEST_F(ActivityFileGenTest, Generate_TwoSessionsOfARouteLeaveTwoActivitiesAndOneService) {
    drive.MakeFile(S("MSTS/Routes/Hill/ACTIVITIES/run.act"), WithMark(SourceText()));
    ASSERT_TRUE(GenerateExploreActivity(source, session));
    // MSTS saved the first session, so its number stays taken.
    drive.MakeFile(S("MSTS/SAVES/Hill/QV_~TEMP1_a.sav"));
    drive.MakeFile(S("MSTS/Routes/Hill/ACTIVITIES/run.act"), WithMark(SourceText()));
    QFile::remove(drive.Host(S("STORE/Routes/Hill/ACTIVITIES/run.act")));
    ExploreActivitySaveInfo second = session;
    second.SaveNumber = -1;
    ASSERT_TRUE(GenerateExploreActivity(source, second));
    EXPECT_EQ(second.SaveNumber, 2);
    EXPECT_EQ(drive.NamesIn(S("MSTS/Routes/Hill/ACTIVITIES")),
              (QStringList{S("EXPLORER.ACT"), S("QV_~TEMP1.act"), S("QV_~TEMP2.act")}));
    EXPECT_EQ(drive.NamesIn(S("MSTS/Routes/Hill/SERVICES")), QStringList{S("QV_~TEMP.srv")});
}

TEST(ExploreActivityLines, TokensFollowTheSession) {
    ActivityInfo source;
    ExploreActivitySaveInfo session;
    struct Case {
        QTime start;
        int number;
        const char* consist;
        const char* startLine;
        const char* nameLine;
        const char* consistLine;
    } cases[] = {
        {QTime(0, 0), 12, "C1.con", "\t\tStartTime ( 0 0 0 )",
         "\t\tName ( \" QUARVEL EXPLORE 12\" )", "\tTrain_Config ( \"C1\" )"},
        {QTime(23, 59), -1, ".con", "\t\tStartTime ( 23 59 0 )",
         "\t\tName ( \" QUARVEL EXPLORE\" )", "\tTrain_Config ( \"\" )"},
    };
    for (const Case& c : cases) {
        session.StartTime = c.start;
        session.SaveNumber = c.number;
        session.ConsistFileName = S(c.consist);
        const QStringList lines = ExploreActivityLines(source, session);
        EXPECT_TRUE(lines.contains(S(c.startLine))) << c.startLine;
        EXPECT_TRUE(lines.contains(S(c.nameLine))) << c.nameLine;
        EXPECT_TRUE(ExploreServiceLines(session).contains(S(c.consistLine))) << c.consistLine;
    }
}

// The header names the route the readers named: one value, blanks that the readers keep kept.
TEST(ExploreActivityLines, TheRouteIdIsOneValueTakenAsTheReadersTookIt) {
    const struct {
        QString read; // the RouteID as the activity reader gives it
        QString header;
    } cases[] = {
        // RouteID ( "X" ) Tr_Activity_File ( "injected" )
        {S("X\" ) Tr_Activity_File ( \"injected"), S("\t\tRouteID ( \"X\" )")},
        {S("Hill\u00A0"), S("\t\tRouteID ( \"Hill\u00A0\" )")},
        {S("Hill "), S("\t\tRouteID ( \"Hill \" )")},
    };
    for (const auto& c : cases) {
        ActivityInfo source;
        source.RouteID = c.read;
        const QStringList lines = ExploreActivityLines(source, ExploreActivitySaveInfo());
        EXPECT_TRUE(lines.contains(c.header)) << c.header.toStdString();
        EXPECT_FALSE(lines.join(u'\n').contains(S("injected")));
    }
}

TEST(CopiedActivityText, CopiesFromAListedSectionToTheNextEvents) {
    const QString source = S("A (\r\n"
                             "Traffic_Definition ( x\r\n"
                             " t\r\n"
                             "Events (\r\n"
                             " e\r\n"
                             "ActivityObjects (\r\n"
                             " o\r\n"
                             " ActivityFailedSignals ( 1 )\r\n"
                             "Events (\r\n"
                             " f\r\n"
                             "PlatformMinWaitingTime ( 2 )\r\n"
                             " traffic_definition ( late )\r\n");
    struct Case {
        bool ai, loose;
        const char* copied;
    } cases[] = {
        {true, true,
         "Traffic_Definition ( x\r\n t\r\nActivityObjects (\r\n o\r\n ActivityFailedSignals ( 1 "
         ")\r\nPlatformMinWaitingTime ( 2 )\r\n traffic_definition ( late )\r\n"},
        {false, false,
         " ActivityFailedSignals ( 1 )\r\nPlatformMinWaitingTime ( 2 )\r\n traffic_definition ( "
         "late )\r\n"},
        {true, false,
         "Traffic_Definition ( x\r\n t\r\n ActivityFailedSignals ( 1 )\r\nPlatformMinWaitingTime "
         "( 2 )\r\n traffic_definition ( late )\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CopiedActivityText(source, c.ai, c.loose), S(c.copied)) << c.ai << c.loose;
    EXPECT_EQ(CopiedActivityText(S("Tr_Activity (\r\n)\r\n"), true, true), QString());
}

// A line of any length without a line feed is cut into its runs in time in step with its length,
// and copied whole.
TEST(CopiedActivityText, ALongLineWithoutALineFeedCostsTimeInStepWithItsLength) {
    const auto make = [](int n) {
        const QString line = S("Traffic_Definition ( ") + QString(n, u'x');
        return [line] { ASSERT_EQ(CopiedActivityText(line, true, false), line); };
    };
    EXPECT_LT(test::SixteenfoldGrowth(make, 32768), test::kMostSixteenfoldGrowth);
}

// A source of short lines costs no string per line: most lines are neither copied nor start a
// section, and those copied go straight into the result.
TEST(CopiedActivityText, ASourceOfShortLinesMakesNoStringPerLine) {
    if (!test::CanCountAllocations())
        GTEST_SKIP() << "the heap is a sanitizer's";
    constexpr int kLines = 20000;
    const QString copied = S("Traffic_Definition (\n") + QString(kLines, u'\n') + S(" Events\n");
    const struct {
        QString source;
        QString expected;
    } cases[] = {
        {QString(kLines, u'\n'), QString()},
        {S(" x\n").repeated(kLines), QString()},
        {copied, copied.chopped(8)},
    };
    for (const auto& c : cases) {
        QString result;
        {
            const test::AllocationCount count;
            result = CopiedActivityText(c.source, true, true);
            EXPECT_LT(count.Blocks(), 100) << c.source.size();
        }
        EXPECT_EQ(result, c.expected);
    }
}
