// The conversion of an old store, built as older versions left it: the three list files in the
// store root holding the members of every scope, sections named by folder and place.
#include "catalogue/conversion.h"

#include "catalogue/itemfiles.h"
#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/terminate.h"

#include <gtest/gtest.h>
#include <vector>

using namespace qv;

namespace {

struct OldMember {
    QString folder;
    QString file;
    std::uint32_t pType;
    QString description;
};

// An old list file: one section per member named its folder followed by its place in the file.
QByteArray OldListFile(const std::vector<OldMember>& members, const QByteArray& version = "2.1") {
    QByteArray out;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const OldMember& m = members[i];
        out += "[" + (m.folder + QString::number(i)).toLatin1() +
               "]\r\nPLevel=3\r\nPType=" + QByteArray::number(m.pType) +
               "\r\nStoreInd=1\r\nDescription=" + m.description.toLatin1() +
               "\r\nFolder=" + m.folder.toLatin1() + "\r\nFileName=" + m.file.toLatin1() +
               "\r\n\r\n";
    }
    return out + "[QUARVEL_INFORMATION]\r\nVersion=" + version + "\r\n\r\n";
}

class RecordedProgress : public ConversionProgress {
public:
    void ShowDescription(const QString& text) override { descriptions << text; }
    void SetPosition(int position) override { positions.push_back(position); }
    QStringList descriptions;
    std::vector<int> positions;
};

class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\Store");
        previousHook = SetTerminateHook([this](int status) { ends << status; });
        disk.MakeFile("MSTS/Routes/A/a.trk");
        disk.MakeFile("MSTS/Routes/AB/ab.TRK");
        // A stored route: its folder stays in the MSTS folder, its route file is in the store.
        disk.MakeFolder("MSTS/Routes/Stored");
        disk.MakeFile("Store/Routes/Stored/stored.trk");
        disk.MakeFile("MSTS/Routes/NoTrk/readme.txt");
    }
    void TearDown() override {
        SetTerminateHook(previousHook);
        ResetAppState();
    }

    // A scope's members as the list file holds them, in file order.
    QStringList Converted(const QString& subFolder, const QString& name, const QString& folder) {
        RecordList<ItemSet> list;
        if (!ReadItemListFile(list, "C:\\Store\\QVDATA\\" + subFolder + "\\" + name, 0, false,
                              folder))
            return {"<no file>"};
        QStringList out;
        for (const auto& item : list)
            out << item->FileName + "|" + QString::number(item->PType) + "|" + item->Description;
        return out;
    }
    // The same for the members that the old file held for the scope's folder.
    static QStringList Expected(const std::vector<OldMember>& members, const QString& folder) {
        QStringList out;
        for (const OldMember& m : members)
            if (m.folder.compare(folder, Qt::CaseInsensitive) == 0)
                out << m.file + "|" + QString::number(m.pType) + "|" + m.description;
        return out;
    }

    TempMsts disk;
    FakeUi ui;
    QList<int> ends;
    TerminateHook previousHook;
};

} // namespace

TEST_F(ConversionTest, ConvertStore_WithoutOldFiles_CreatesQvdataAndRunsTheBarToFull) {
    RecordedProgress progress;
    ASSERT_TRUE(ConvertStore(progress));
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 10, 40, 70, 100}));
    EXPECT_EQ(progress.descriptions,
              QStringList({"Converting Explore Mode Consists\n\nPlease Wait",
                           "Converting Maintenance Mode Consists\n\nPlease Wait",
                           "Converting Maintenance Mode Stock\n\nPlease Wait"}));
    EXPECT_EQ(disk.NamesIn("Store"), QStringList({"QVDATA", "Routes"}));
    EXPECT_TRUE(disk.NamesIn("Store/QVDATA").isEmpty());
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(ConversionTest, ConvertStore_SplitsEveryOldFileIntoItsScopesWithNothingLost) {
    const QString zurich = QString::fromUtf8("Z\u00fcrich local");
    const std::vector<std::pair<QString, std::vector<OldMember>>> oldFiles = {
        {"CONSISTS.QVC",
         {{"TRAINS\\CONSISTS", "G1.CON", 0x400208, "Global one"},
          {"Routes\\A", "A1.CON", 0x400200, zurich},
          {"ROUTES\\ab", "AB1.CON", 0x400400, "Longer name, other route"},
          {"Routes\\A", "A2.CON", 0x400080, "Second of A"},
          {"Routes\\Stored", "S1.CON", 0x400200, "Stored route"},
          {"Routes\\NoTrk", "N1.CON", 0x400200, "No route file"},
          {"TRAINS\\CONSISTS", "G2.CON", 0x400000, "Global two"}}},
        {"MAINTCON.QVC",
         {{"Routes\\AB", "AB9.CON", 0x400020, "Only AB"},
          {"Trains\\Consists", "G3.CON", 0x400020, "Global, other case"}}},
        {"MAINTSTK.QVC",
         {{"TRAINS\\TRAINSET", "Dash9\\DASH9.ENG", 0x8005840, "Dash 9"},
          {"Routes\\A", "Acela\\ACELA.WAG", 0x8000040, "Acela car"},
          {"Routes\\Stored", "GP38\\GP38.ENG", 0x8005040, "GP38"}}},
    };
    for (const auto& [name, members] : oldFiles)
        disk.MakeFile("Store/" + name, OldListFile(members));

    RecordedProgress progress;
    ASSERT_TRUE(ConvertStore(progress));

    struct Scope {
        QString subFolder;
        QString folder;
    };
    for (const auto& [name, members] : oldFiles) {
        const QString global = name == "MAINTSTK.QVC" ? "TRAINS\\TRAINSET" : "TRAINS\\CONSISTS";
        for (const Scope& scope : {Scope{"GLOBAL SETTINGS", global}, Scope{"A", "Routes\\A"},
                                   Scope{"AB", "Routes\\AB"}, Scope{"Stored", "Routes\\Stored"}}) {
            QStringList expected = Expected(members, scope.folder);
            if (expected.isEmpty())
                expected = {"<no file>"};
            EXPECT_EQ(Converted(scope.subFolder, name, scope.folder), expected)
                << name.toStdString() << " " << scope.subFolder.toStdString();
        }
        // The old file is kept whole beside the converted lists.
        EXPECT_EQ(disk.Content("Store/" + name.left(8) + ".BAK"), OldListFile(members));
    }
    // A folder without a route file is no scope.
    EXPECT_EQ(disk.NamesIn("Store/QVDATA"), QStringList({"A", "AB", "GLOBAL SETTINGS", "Stored"}));
    EXPECT_EQ(disk.NamesIn("Store"),
              QStringList({"CONSISTS.BAK", "MAINTCON.BAK", "MAINTSTK.BAK", "QVDATA", "Routes"}));
    EXPECT_TRUE(ui.Shown().empty());
    // The converted file is what the named lists take over as the scope's first list.
    EXPECT_EQ(ReadRouteLists("Routes\\A", PT_MAINT_STOCK, false).Strings(),
              QStringList({"MAINTSTK.QVC=12,Original List"}));
}

TEST_F(ConversionTest, ConvertListFile_RefusedVersionIsReportedOnceAndTheFileKeptAsBak) {
    const QByteArray old = OldListFile({{"TRAINS\\TRAINSET", "X\\X.ENG", 0x8000040, "X"},
                                        {"Routes\\A", "Y\\Y.WAG", 0x8000040, "Y"},
                                        {"Routes\\AB", "Z\\Z.WAG", 0x8000040, "Z"}},
                                       "9.9");
    disk.MakeFile("Store/MAINTSTK.QVC", old);
    disk.MakeFolder("Store/QVDATA");

    ConvertListFile("MAINTSTK.QVC");

    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.startsWith(Caption(Msg::INVALID_QVS_FILE)));
    EXPECT_TRUE(disk.NamesIn("Store/QVDATA").isEmpty());
    EXPECT_EQ(disk.Content("Store/MAINTSTK.BAK"), old);
    EXPECT_FALSE(disk.NamesIn("Store").contains("MAINTSTK.QVC"));
}

TEST_F(ConversionTest, ConvertListFile_UnexpectedNameEndsTheProgram) {
    disk.MakeFile("Store/PATHS.QVC", OldListFile({{"Routes\\A", "p.pat", 0x800000, "P"}}));
    ConvertListFile("PATHS.QVC");
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].text,
              "Conversion: PATHS.QVC\rProgram Error: Invalid calling parameter");
    EXPECT_EQ(ui.Shown()[0].style, MB_ICONSTOP);
    EXPECT_EQ(ends, QList<int>({1}));
    EXPECT_FALSE(disk.NamesIn("Store").contains("PATHS.BAK"));
}

TEST_F(ConversionTest, ConvertStore_QvdataCannotBeMade_LeavesTheOldFilesForTheNextStart) {
    const QByteArray old = OldListFile({{"Routes\\A", "A1.CON", 0x400200, "A"}});
    disk.MakeFile("Store/CONSISTS.QVC", old);
    disk.MakeFile("Store/QVDATA", "a file in the way");

    RecordedProgress progress;
    EXPECT_FALSE(ConvertStore(progress));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].style, MB_ICONSTOP);
    EXPECT_TRUE(progress.positions.empty());
    EXPECT_EQ(disk.Content("Store/CONSISTS.QVC"), old);
    EXPECT_FALSE(disk.NamesIn("Store").contains("CONSISTS.BAK"));
}
