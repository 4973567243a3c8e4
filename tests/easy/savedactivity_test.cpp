#include "easy/savedactivity.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "easy/explorestate.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/clock.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qv;

namespace {

// Main-window services that record the tree loads asked for.
class LoadingMain : public HeadlessMainServices {
public:
    void LoadTree(const QString& file, RecordList<ItemSet>* items, int state) override {
        calls << QStringLiteral("LoadTree '%1' %2 %3").arg(file).arg(items != nullptr).arg(state);
    }
    QStringList calls;
};

const QDateTime kClosed(QDate(2024, 3, 5), QTime(18, 30, 10));

QByteArray Utf16(const QString& text) {
    QByteArray bytes;
    for (QChar c : text)
        bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return bytes;
}

class SavedActivityTest : public ::testing::Test {
protected:
    SavedActivityTest() {
        ResetAppState();
        ResetExploreState();
        App().MstsRootFolder = "C:\\MSTS";
        App().StoreRootFolder = "C:\\STORE";
        SetUi(&ui);
        main.SetQuarvelObjects(&tree);
        SetMainServices(&main);
    }
    ~SavedActivityTest() override {
        SetMainServices(nullptr);
        SetUi(nullptr);
        ResetExploreState();
        ResetAppState();
    }
    void MakeDated(const QString& relative, const QDateTime& time) {
        drive.MakeFile(relative);
        ASSERT_TRUE(
            SetFileAge("C:\\" + QString(relative).replace('/', '\\'), PackDosDateTime(time)));
    }
    bool Exists(const QString& relative) const { return QFile::exists(drive.Host(relative)); }
    void Check() {
        SavedActivityCheck([&] { main.calls << "Save"; });
    }

    RegistrySandbox registry;
    TempMsts drive;
    FakeUi ui;
    FakeClock clock{kClosed};
    ItemTree tree;
    LoadingMain main;
};

} // namespace

TEST_F(SavedActivityTest, SavedActivityCheck_AsksOnceForForeignSavesStrictlyNewerThanLastClose) {
    // "Last Close" is a day number counted from 30 Dec 1899 with the time as its fraction.
    const double days = QDate(1899, 12, 30).daysTo(kClosed.date()) +
                        kClosed.time().msecsSinceStartOfDay() / 86400000.0;
    RegWriteString(kProductKey, "Last Close", QString::number(days, 'g', 15));
    clock.Advance(3600 * 1000);
    MakeDated("MSTS/SAVES/Hill/Same.sav", kClosed);
    MakeDated("MSTS/SAVES/Hill/qv_~temp3_1.sav", kClosed.addSecs(3600));
    Check();
    EXPECT_TRUE(ui.Shown().empty()) << "as old as the close, or our own Explore save";

    MakeDated("MSTS/SAVES/Vale/Newer.SAV", kClosed.addSecs(2));
    MakeDated("MSTS/SAVES/Vale/Newest.sav", kClosed.addSecs(60));
    RegWriteString(kProductKey, "Last Close Scenario", "C:\\Work\\a.QVS");
    Check();
    RegWriteString(kProductKey, "Last Close Scenario", "");
    WriteFlag(true, "Suppress Activity Saved Warning");
    Check();
    EXPECT_TRUE(ui.Shown().empty());

    WriteFlag(false, "Suppress Activity Saved Warning");
    const QString question = Caption(Msg::ACTIVITY_SAVED1) + Caption(Msg::ACTIVITY_SAVED2);
    ui.Expect(question, ID_NO);
    Check();
    ASSERT_EQ(ui.Shown().size(), 1u) << "only the first newer save is asked about";
    EXPECT_EQ(ui.Shown()[0].text, question);
    EXPECT_EQ(ui.Shown()[0].style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_TRUE(main.calls.isEmpty());

    ui.Expect(question, ID_YES);
    Check();
    EXPECT_EQ(main.calls, (QStringList{"LoadTree '' 0 -1", "Save"})) << "an empty tree loads first";
}

TEST_F(SavedActivityTest, CleanExploreTemp_RemovesTemporaryFilesFromBothRootsAndTheList) {
    const QStringList temporary = {
        "MSTS/Routes/Hill/ACTIVITIES/QV_~TEMP1.act",  "MSTS/Routes/Hill/ACTIVITIES/qv_~temp2.ACT",
        "MSTS/Routes/Hill/ACTIVITIES/EXPLORER.ACT",   "MSTS/Routes/Hill/SERVICES/QV_~TEMP.srv",
        "STORE/Routes/Hill/Activities/QV_~TEMP5.act", "STORE/Routes/Hill/Services/QV_~TEMP.srv"};
    const QStringList kept = {"MSTS/Routes/Hill/ACTIVITIES/Real.act",
                              "MSTS/Routes/Vale/ACTIVITIES/QV_~TEMP1.act"};
    for (const QString& file : temporary + kept)
        drive.MakeFile(file);

    QStringList names = {"Real.act"};
    CleanExploreTemp("Routes\\Hill", &names);
    EXPECT_TRUE(Exists(temporary[0])) << "a list without temporary names deletes nothing";

    names = QStringList{"Real.act", "qv_~TEMP1.act", "Explorer.act"};
    CleanExploreTemp("Routes\\Hill", &names);
    EXPECT_EQ(names, QStringList{"Real.act"});
    for (const QString& file : temporary)
        EXPECT_FALSE(Exists(file)) << file.toStdString();
    for (const QString& file : kept)
        EXPECT_TRUE(Exists(file)) << file.toStdString();

    drive.MakeFile(temporary[0]);
    CleanExploreTemp("Routes\\Hill", nullptr);
    EXPECT_FALSE(Exists(temporary[0])) << "without a list it always deletes";
}

TEST_F(SavedActivityTest, CheckExplorerActivity_WaitsForMarkerThenPatchesModeAndStoresSource) {
    const QString generatedFile = "MSTS/Routes/Hill/Activities/QV_~TEMP7.act";
    const QString marker = "MSTS/Routes/Hill/Activities/EXPLORER.ACT";
    const QByteArray head = Utf16(QString(QChar(0xFEFF)) + "SIMISA@@@@@@@@@@JINX0a0t______\n\n");
    const QByteArray generated = head + Utf16("\t\tMode ( 2 )\n\t)\n");
    drive.MakeFile(generatedFile, generated);
    drive.MakeFile(marker);
    drive.MakeFile("MSTS/Routes/Hill/Activities/Source.act", "source");
    ItemSet source{3,  PT_ACTIVITY, SI_IN_USE, "Run", "Routes\\Hill\\Activities", "Source.act",
                   {}, {}};
    ExploreState& state = Explore();
    state.CurrentExploreRecord.SaveNumber = 7;
    state.ExploreModeLinePosition = int(head.size());
    state.ExploreModeLineText = "\t\tMode ( 1 )";

    EXPECT_EQ(CheckExplorerActivity(1, 0, 0), 0) << "no session pending: nothing to watch";
    state.ExploreSourceActivity = source;
    EXPECT_EQ(CheckExplorerActivity(0, 0, 0), 0);
    EXPECT_EQ(CheckExplorerActivity(1, 0, 0), 1);
    EXPECT_EQ(drive.Content(generatedFile), generated);

    // Past the end of the file nothing is written, and the source stays.
    EXPECT_FALSE(PatchSavedExploreMode(source, "7", int(generated.size()) - 4, "\t\tMode ( 1 )"));
    EXPECT_EQ(drive.Content(generatedFile), generated);
    EXPECT_TRUE(Exists("MSTS/Routes/Hill/Activities/Source.act"));

    ASSERT_TRUE(QFile::remove(drive.Host(marker)));
    EXPECT_EQ(CheckExplorerActivity(1, 0, 0), 0);
    QByteArray patched = generated;
    patched[head.size() + 2 * 9] = '1'; // the digit after two tabs and "Mode ( "
    EXPECT_EQ(drive.Content(generatedFile), patched);
    EXPECT_EQ(drive.Content("STORE/Routes/Hill/Activities/Source.act"), "source");

    EXPECT_EQ(CheckExplorerActivity(5, 0, 0), 0);
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.startsWith(Caption(Msg::UNEXPECTED_LEG) + " Module: '"));
    EXPECT_TRUE(ui.Shown()[0].text.endsWith(" - 5"));
}

TEST_F(SavedActivityTest, PatchSavedExploreMode_LeavesAnActivityNamedOutsideTheMstsFolderAlone) {
    drive.MakeFile("OUT/QV_~TEMP7.act", "outside generated");
    drive.MakeFile("OUT/Source.act", "outside source");
    ItemSet source;
    source.Folder = "..\\OUT";
    source.FileName = "Source.act";
    EXPECT_FALSE(PatchSavedExploreMode(source, "7", 0, "X"));
    EXPECT_EQ(drive.Content("OUT/QV_~TEMP7.act"), "outside generated");
    EXPECT_EQ(drive.Content("OUT/Source.act"), "outside source");
}

TEST_F(SavedActivityTest, ExploreRecordInForce_OnlyWhileSessionPendingOrExploreTabShown) {
    EXPECT_EQ(ExploreRecordInForce(), nullptr) << "the Classic page's jobs know no session";
    main.SetMainPageIndex(0);
    main.SetActivityExplorePageIndex(1);
    EXPECT_EQ(ExploreRecordInForce(), &Explore().CurrentExploreRecord);
    main.SetActivityExplorePageIndex(0);
    EXPECT_EQ(ExploreRecordInForce(), nullptr);
    ItemSet source;
    Explore().ExploreSourceActivity = source;
    EXPECT_EQ(ExploreRecordInForce(), &Explore().CurrentExploreRecord);
}
