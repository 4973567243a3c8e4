// Choosing the viewer and collecting a consist's vehicles for it, on a synthetic installation:
// each vehicle read from its own file (also when the stock cache is warm), shapes and freight
// shapes as full paths in the MSTS folder, references out of the folder refused; the
// screenshot folder command.
#include "viewer/showshape.h"

#include "catalogue/cacherebuild.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/reportpane.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <QDir>
#include <gtest/gtest.h>

namespace qv {
namespace {

class ShowShapeTest : public ::testing::Test {
protected:
    ShowShapeTest() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        App().ViewerControlRegistered = true;
        drive.MakeFolder(QStringLiteral("STORE/QVDATA"));
        builder.AddDefaultWagon();
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel, false, false,
                          Into::Store);
        builder.AddWagon("HOPPER", "HOPPER.WAG", "Hopper", WagonType::Freight, Into::Store);
        builder.AddWagon("COACH", "COACH.WAG", "Coach", WagonType::Passenger);
        builder.AddConsist("STORED.CON", "Stored",
                           {{"DASH9", "DASH9", true},
                            {"HOPPER", "HOPPER", false, true},
                            {"GONE", "GONE.WAG"},
                            {"COACH", "COACH"}},
                           Into::Store);
        builder.AddConsist("NOTHING.CON", "Nothing", {{"GONE", "GONE.WAG"}});
        SetViewerWindowOpener([this](std::unique_ptr<SVIEWHeaderInfo> header) {
            opened.push_back(std::move(header));
        });
        SetMainServices(&main);
    }
    ~ShowShapeTest() override {
        SetMainServices(nullptr);
        SetViewerWindowOpener(nullptr);
        ResetAppState();
    }

    static ItemSet Item(std::uint32_t kind, const QString& file) {
        return ItemSet{0, kind, 0, QStringLiteral("Shown"), QString(), file, {}, {}};
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
    // Counts the vehicle files read, as the status bar names each.
    struct : HeadlessMainServices {
        void SetStatusText(int panel, const QString& text) override {
            reads += text.startsWith(Caption(Msg::STATUS_TEXT_LOADING_STOCK));
            HeadlessMainServices::SetStatusText(panel, text);
        }
        int reads = 0;
    } main;
    std::vector<std::unique_ptr<SVIEWHeaderInfo>> opened;
};

TEST_F(ShowShapeTest, AStoredConsistWithCachedWagonsGetsEveryVehiclesShapeAndLength) {
    // A warm cache: its sections know the vehicles' names only.
    RecordList<ItemSet> stock;
    RebuildStockCache(stock, false, nullptr);
    auto header = BuildViewerHeader(Item(PT_CONSIST, QStringLiteral("STORED.CON")));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->Title, QStringLiteral("Shown"));
    ASSERT_EQ(header->Models.size(), 4u);
    const struct {
        const char* shape;
        const char* second;
        double length;
        bool flipped;
    } expected[] = {
        {"C:\\MSTS\\TRAINS\\TRAINSET\\DASH9\\DASH9.s", "", 20.5, false},
        {"C:\\MSTS\\TRAINS\\TRAINSET\\HOPPER\\HOPPER.s",
         "C:\\MSTS\\TRAINS\\TRAINSET\\HOPPER\\HOPPERload.s", 18.5, true},
        {"", "", 0, false},
        {"C:\\MSTS\\TRAINS\\TRAINSET\\COACH\\COACH.s", "", 18.5, false},
    };
    for (size_t i = 0; i < 4; ++i) {
        const SVIEWModelInfo& model = *header->Models[i];
        EXPECT_EQ(model.Shape.toUpper(), QString::fromLatin1(expected[i].shape).toUpper()) << i;
        EXPECT_EQ(model.SecondShape.toUpper(), QString::fromLatin1(expected[i].second).toUpper())
            << i;
        EXPECT_DOUBLE_EQ(model.Length, expected[i].length) << i;
        EXPECT_EQ(model.Flipped, expected[i].flipped) << i;
    }
    // Read a second time (the cache now written by the first): the same.
    auto again = BuildViewerHeader(Item(PT_CONSIST, QStringLiteral("STORED.CON")));
    ASSERT_TRUE(again);
    EXPECT_DOUBLE_EQ(again->Models[3]->Length, 18.5);
    EXPECT_EQ(again->Models[1]->Shape, header->Models[1]->Shape);
}

TEST_F(ShowShapeTest, TheStatusBarNamesNoVehicleOnceTheViewerHasItsShapes) {
    HeadlessMainServices main;
    SetMainServices(&main);
    for (const ItemSet& item : {Item(PT_CONSIST, QStringLiteral("STORED.CON")),
                                Item(PT_STOCK, QStringLiteral("COACH\\COACH.WAG"))}) {
        SCOPED_TRACE(item.FileName.toStdString());
        ShowShape(item);
        EXPECT_EQ(main.StatusText(1), QString());
    }
    EXPECT_EQ(opened.size(), 2u);
    SetMainServices(nullptr);
}

TEST_F(ShowShapeTest, EachVehicleFileIsReadOncePerConsist) {
    builder.AddConsist("MANY.CON", "Many",
                       {{"COACH", "COACH"}, {"COACH", "COACH"}, {"coach", "COACH"}});
    EXPECT_EQ(BuildViewerHeader(Item(PT_CONSIST, QStringLiteral("MANY.CON")))->Models.size(), 3u);
    EXPECT_EQ(main.reads, 1);
}

TEST_F(ShowShapeTest, AViewerIsOfferedOnlyForWhatOneCanShow) {
    const struct {
        const char* name;
        bool noViewerFile;
        bool useSview;
        const char* sview;
        bool consist, stock;
    } cases[] = {
        {"our viewer", false, false, "", true, true},
        {"NOVIEWER.TXT without SVIEW", true, false, "", false, false},
        {"NOVIEWER.TXT with SVIEW", true, false, "C:\\SVIEW.EXE", false, true},
        {"Use SVIEW without SVIEW", false, true, "", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        App().NoViewerFile = c.noViewerFile;
        App().ShapeViewerPath = QString::fromLatin1(c.sview);
        WriteFlag(c.useSview, QStringLiteral("Use SVIEW"));
        EXPECT_EQ(ShapeViewerOffered(Item(PT_CONSIST, QStringLiteral("STORED.CON"))), c.consist);
        EXPECT_EQ(ShapeViewerOffered(Item(PT_STOCK, QStringLiteral("COACH\\COACH.WAG"))), c.stock);
    }
}

TEST_F(ShowShapeTest, NothingIsTakenFromOutsideTheFolders) {
    builder.WriteMstsFile(QStringLiteral("TRAINS\\TRAINSET\\EVIL\\EVIL.WAG"), QStringLiteral("D0t"),
                          {QStringLiteral("Wagon ( EVIL"), QStringLiteral("\tType ( Freight )"),
                           QStringLiteral("\tWagonShape ( ..\\..\\..\\x.s )"),
                           QStringLiteral("\tFreightAnim ( C:\\load.s 0 1 )"),
                           QStringLiteral("\tSize ( 3.0m 4.0m 12m )"), QStringLiteral(")")},
                          MstsFileKind::Wagon);
    // No window for a consist without vehicles, or named outside its folder, or a missing item.
    for (const char* consist :
         {"NOTHING.CON", "ABSENT.CON", "..\\..\\STORE\\TRAINS\\CONSISTS\\STORED.CON"})
        EXPECT_FALSE(BuildViewerHeader(Item(PT_CONSIST, QLatin1String(consist)))) << consist;
    const QString said = main.InformationMemo()->Lines().join('\n'); // and the pane says why
    EXPECT_TRUE(said.contains("File: 'TRAINS\\TRAINSET\\GONE\\GONE.WAG'") &&
                said.contains("File: 'TRAINS\\CONSISTS\\ABSENT.CON'"))
        << said.toStdString();
    EXPECT_FALSE(BuildViewerHeader(Item(PT_STOCK, QStringLiteral("GONE\\GONE.WAG"))));
    auto header = BuildViewerHeader(Item(PT_STOCK, QStringLiteral("EVIL\\EVIL.WAG")));
    ASSERT_TRUE(header);
    EXPECT_TRUE(header->Models[0]->Shape.isEmpty());
    EXPECT_TRUE(header->Models[0]->SecondShape.isEmpty());
    EXPECT_DOUBLE_EQ(header->Models[0]->Length, 12);
}

TEST_F(ShowShapeTest, WithUseSviewAndNoSviewNothingHappens) {
    WriteFlag(true, QStringLiteral("Use SVIEW"));
    ShowShape(Item(PT_STOCK, QStringLiteral("COACH\\COACH.WAG")));
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(ui.Shown().empty());
    // SVIEW is given the shape in the MSTS folder, also for a stored wagon.
    EXPECT_EQ(SviewShapePath(Item(PT_STOCK, QStringLiteral("HOPPER\\HOPPER.WAG"))).toUpper(),
              QStringLiteral("C:\\MSTS\\TRAINS\\TRAINSET\\HOPPER\\HOPPER.S"));
    UseSviewCommand(false);
    ShowShape(Item(PT_STOCK, QStringLiteral("COACH\\COACH.WAG")));
    ASSERT_EQ(opened.size(), 1u);
    ASSERT_EQ(opened[0]->Models.size(), 1u);
    EXPECT_TRUE(opened[0]->Models[0]->Shape.endsWith(QStringLiteral("\\COACH\\COACH.s"),
                                                     Qt::CaseInsensitive));
}

TEST_F(ShowShapeTest, ScreenshotFolderCommand) {
    drive.MakeFile(QStringLiteral("AFILE"));
    struct Case {
        const char* name;
        const char* folder;
        std::vector<std::pair<const char*, int>> boxes;
        const char* stored; // "" when nothing is stored
    } cases[] = {
        {"inside the store", "C:\\STORE\\SHOTS", {{"cannot be a subfolder", ID_OK}}, ""},
        {"a sibling of the store is created",
         "C:\\STORE2",
         {{"' does not exist. Do you want to create it?", ID_YES}},
         "C:\\STORE2"},
        {"creation fails",
         "C:\\AFILE\\SHOTS",
         {{"does not exist", ID_YES}, {"could not be created", ID_OK}},
         ""},
        {"an existing folder", "C:\\MSTS", {}, "C:\\MSTS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        App().ScreenshotFolder = QStringLiteral("C:\\OLD");
        RegWriteString(kProductKey, QStringLiteral("screenshotLocation"),
                       QStringLiteral("C:\\OLD"));
        ui.ExpectSelectFolder(ID_OK, QString::fromLatin1(c.folder));
        for (const auto& [text, answer] : c.boxes)
            ui.Expect(QString::fromLatin1(text), answer);
        ViewerScreenshotFolderCommand();
        EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join(u'|').toStdString();
        const QString expected =
            *c.stored ? QString::fromLatin1(c.stored) : QStringLiteral("C:\\OLD");
        EXPECT_EQ(App().ScreenshotFolder, expected);
        EXPECT_EQ(RegReadString(kProductKey, QStringLiteral("screenshotLocation")), expected);
    }
    EXPECT_TRUE(FolderExists(QStringLiteral("C:\\STORE2")));
    EXPECT_EQ(ui.FolderDialogs().front().initialFolder, QStringLiteral("C:\\OLD"));
}

} // namespace
} // namespace qv
