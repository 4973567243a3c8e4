#include "catalogue/routereader.h"

#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/drivemap.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

const QString kRoot = QStringLiteral("C:\\MSTS");

class RouteReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().MstsRootFolder = kRoot;
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        ClearReport(TheMainServices().InformationMemo());
    }
    void TearDown() override { ResetAppState(); }

    // A route file of the given lines in ROUTES\<folder>\<file> of the MSTS folder.
    void WriteRoute(const QString& folder, const QString& file, const QStringList& lines) {
        builder_.WriteMstsFile(QStringLiteral("ROUTES\\") + folder + u'\\' + file,
                               QStringLiteral("r1t"),
                               QStringList{QStringLiteral("Tr_RouteFile (")} + lines +
                                   QStringList{QStringLiteral(")")},
                               MstsFileKind::Route);
    }
    RouteInfo Read(const QStringList& lines) {
        WriteRoute(QStringLiteral("Hill"), QStringLiteral("hill.trk"), lines);
        RouteInfo info;
        EXPECT_TRUE(
            ReadRouteFile(kRoot, QStringLiteral("ROUTES\\Hill"), QStringLiteral("hill.trk"), info));
        return info;
    }

    RegistrySandbox registry_;
    TempMsts temp_;
    MstsBuilder builder_{temp_.Host(QStringLiteral("MSTS")), temp_.Host(QStringLiteral("STORE"))};
};

} // namespace

TEST_F(RouteReaderTest, ElectrifiedOnlyForANonZeroNumber) {
    EXPECT_EQ(Read({QStringLiteral("Electrified ( 00000000 )")}).PType, PT_ROUTE);
    EXPECT_EQ(Read({QStringLiteral("Electrified ( 00000001 )")}).PType, PT_ROUTE | PT_ELECTRIFIED);
    EXPECT_EQ(Read({QStringLiteral("Electrified ( yes )")}).PType, PT_ROUTE);
}

TEST_F(RouteReaderTest, ReadsTheRouteLinesAndStartsFromTheFolderName) {
    RouteInfo info =
        Read({QStringLiteral("RouteID ( HL )"), QStringLiteral("Name ( \"Hill Line\" )"),
              QStringLiteral("Description ( \"Up\\n\"+"), QStringLiteral("\t\"and down\" )"),
              QStringLiteral("Comment ( version (\"2.1\") )")});
    EXPECT_EQ(info.Name, QStringLiteral("Hill Line"));
    EXPECT_EQ(info.Description, QStringLiteral("Up\\nand down"));
    EXPECT_EQ(info.Comment, QStringLiteral("2.1"));
    EXPECT_EQ(info.Folder, QStringLiteral("ROUTES\\Hill"));
    EXPECT_EQ(TheMainServices().StatusText(1), QStringLiteral("Loading Route 'Hill Line'"));

    // The same record for a route that says less: nothing of the last route stays.
    info.TSectionBuild = QStringLiteral("Build 1");
    info.TSectionSimulation = 2;
    WriteRoute(QStringLiteral("Flat"), QStringLiteral("flat.trk"),
               {QStringLiteral("RouteID ( F )")});
    ASSERT_TRUE(
        ReadRouteFile(kRoot, QStringLiteral("ROUTES\\Flat"), QStringLiteral("flat.trk"), info));
    EXPECT_EQ(info.Name, QStringLiteral("Flat"));
    EXPECT_EQ(info.Description, QString());
    EXPECT_EQ(info.RouteID, QStringLiteral("F"));
    EXPECT_EQ(info.Comment, QString());
    EXPECT_EQ(info.TSectionBuild, QString());
    EXPECT_EQ(info.TSectionSimulation, 0);

    EXPECT_FALSE(
        ReadRouteFile(kRoot, QStringLiteral("ROUTES\\Flat"), QStringLiteral("no.trk"), info));
}

TEST(ReadRouteSubValue, TakesTheValueOfTheAskedWordOnly) {
    const QString version = QStringLiteral("Version");
    EXPECT_EQ(ReadRouteSubValue(version, QStringLiteral("Version ( \"1.2\" )")),
              QStringLiteral("1.2"));
    EXPECT_EQ(ReadRouteSubValue(version, QStringLiteral("version ( 3 )")), QStringLiteral("3"));
    EXPECT_EQ(ReadRouteSubValue(version, QStringLiteral("Version(\"1.2\")")), QStringLiteral("1.2"))
        << "no blank before the closing parenthesis";
    EXPECT_EQ(ReadRouteSubValue(version, QStringLiteral("LanguageID ( 9 )")), QString());
    EXPECT_EQ(ReadRouteSubValue(QStringLiteral("languageid"), QStringLiteral("LanguageID ( 9 )")),
              QStringLiteral("9"));
    EXPECT_EQ(ReadRouteSubValue(version, QStringLiteral("Version ( open")), QString());
}

TEST_F(RouteReaderTest, ItemsPreferTheMstsFolderAndReportUnreadableRoutes) {
    RouteOptions electrified;
    electrified.electrified = true;
    builder_.AddRoute(QStringLiteral("Both"), QStringLiteral("Both In Msts"), QStringLiteral("B"),
                      electrified);
    builder_.AddRoute(QStringLiteral("Both"), QStringLiteral("Both In Store"), QStringLiteral("B"),
                      {}, Into::Store);
    builder_.AddRoute(QStringLiteral("Kept"), QStringLiteral("Kept Away"), QStringLiteral("K"), {},
                      Into::Store);
    WriteRoute(QStringLiteral("Two"), QStringLiteral("b.trk"), {QStringLiteral("Name ( Second )")});
    WriteRoute(QStringLiteral("Two"), QStringLiteral("a.trk"), {QStringLiteral("Name ( First )")});
    // A route file in the MSTS folder that cannot be read hides the store's readable copy.
    temp_.MakeFile(QStringLiteral("MSTS/ROUTES/Broken/x.trk"),
                   QByteArray("SIMISA@F\x10\0\0\0@@@@\x78\x9c\xff\xff\xff\xff", 22));
    builder_.AddRoute(QStringLiteral("Broken"), QStringLiteral("Good Copy"), QStringLiteral("X"),
                      {}, Into::Store);

    RecordList<ItemSet> items;
    ReadRouteItems(items);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->Description, QStringLiteral("Both In Msts"));
    EXPECT_EQ(items[0]->StoreInd, SI_IN_USE);
    EXPECT_EQ(items[0]->PType, PT_ROUTE | PT_ELECTRIFIED);
    EXPECT_EQ(items[0]->FileName, QStringLiteral("B.trk"));
    EXPECT_EQ(items[1]->Description, QStringLiteral("Kept Away"));
    EXPECT_EQ(items[1]->StoreInd, SI_IN_STORE);
    EXPECT_EQ(items[1]->Folder, QStringLiteral("Routes\\Kept"));
    EXPECT_EQ(items[2]->Description, QStringLiteral("First")) << "the first route file found";
    EXPECT_EQ(items[2]->FileName, QStringLiteral("a.trk"));

    const QString lines = TheMainServices().InformationMemo()->Lines().join(u'\n');
    EXPECT_TRUE(lines.contains(QStringLiteral("Broken"))) << lines.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("information in the following file was not found")))
        << lines.toStdString();
}

TEST_F(RouteReaderTest, ReadsBothRealRoutes) {
    const QString host = QDir::cleanPath(QStringLiteral(QUARVEL_REALDATA_DIR "/dk24"));
    ASSERT_TRUE(QDir(host).exists()) << host.toStdString();
    App().MstsRootFolder = ToWindowsForm(host);

    RouteInfo info;
    ASSERT_TRUE(ReadRouteFile(App().MstsRootFolder, QStringLiteral("ROUTES\\OR_DK24"),
                              QStringLiteral("DK24.trk"), info));
    EXPECT_EQ(info.Name, QStringLiteral("Denmark 2024 v0.1.001"));
    EXPECT_EQ(info.RouteID, QStringLiteral("DK24"));
    EXPECT_EQ(info.PType, PT_ROUTE | PT_ELECTRIFIED);
    EXPECT_TRUE(info.Description.startsWith(QStringLiteral(
        "A route based on the danish rail network in 2024.\\n\\nParts of the route")));
    EXPECT_TRUE(info.Description.endsWith(QStringLiteral("CPH Lufthavn")));
    EXPECT_EQ(info.Graphic, QStringLiteral("graphic.ace"));

    RecordList<ItemSet> items;
    ReadRouteItems(items);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->Description, QStringLiteral("Denmark 2024 v0.1.001"));
    EXPECT_EQ(items[1]->Description, QStringLiteral("DK24TEST"));
    EXPECT_EQ(items[1]->FileName, QStringLiteral("DK24TEST.trk"));
    for (const auto& item : items) {
        EXPECT_EQ(item->StoreInd, SI_IN_USE);
        EXPECT_EQ(item->PType, PT_ROUTE | PT_ELECTRIFIED);
    }
}
