#include "fixtures/mstsbuilder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

// Small, but with every kind of item and more than one route.
LargeCounts SmallCounts() {
    LargeCounts counts;
    counts.engines = 10;
    counts.wagons = 30;
    counts.consists = 15;
    counts.paths = 12;
    counts.routes = 3;
    counts.activities = 10;
    return counts;
}

QByteArray Bytes(const QString& hostPath) {
    QFile file(hostPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text after the byte-order mark, decoded as UTF-16LE.
QString Text(const QString& hostPath) {
    const QByteArray bytes = Bytes(hostPath);
    QString text;
    for (qsizetype i = 2; i + 1 < bytes.size(); i += 2)
        text += QChar(ushort(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8)));
    return text;
}

QStringList Lines(const QString& hostPath) {
    QStringList lines = Text(hostPath).split(QStringLiteral("\r\n"));
    for (QString& line : lines)
        line = line.trimmed();
    return lines;
}

// Every file below a host folder, relative to it with "/".
QStringList HostFiles(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

QByteArray TreeDigest(const QString& root) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& file : HostFiles(root)) {
        hash.addData(file.toUtf8());
        hash.addData(Bytes(root + QLatin1Char('/') + file));
    }
    return hash.result();
}

class MstsBuilderTest : public ::testing::Test {
protected:
    QString Msts() const { return dir_.path() + QStringLiteral("/MSTS"); }
    QString Store() const { return dir_.path() + QStringLiteral("/Store"); }
    QTemporaryDir dir_;
};

} // namespace

TEST_F(MstsBuilderTest, WrittenFile_HasByteOrderMarkSimisaHeaderAndCrlfLineEnds) {
    MstsBuilder b(Msts());
    const QString rel = b.AddConsist(QStringLiteral("AcelaHHL.con"), QStringLiteral("Acela"),
                                     {{QStringLiteral("ACELA"), QStringLiteral("AcelaHHL"), true}});
    const QByteArray bytes = Bytes(b.HostPath(rel));
    ASSERT_GE(bytes.size(), 4);
    EXPECT_EQ(uchar(bytes[0]), 0xFF);
    EXPECT_EQ(uchar(bytes[1]), 0xFE);
    const QString text = Text(b.HostPath(rel));
    EXPECT_TRUE(text.startsWith(QStringLiteral("SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n")));
    EXPECT_EQ(text.count(QLatin1Char('\n')), text.count(QStringLiteral("\r\n")));
    EXPECT_GT(text.count(QStringLiteral("\r\n")), 5);
    EXPECT_TRUE(text.endsWith(QLatin1Char(')'))); // like the real files: no line end after the last
}

TEST_F(MstsBuilderTest, Folders_FollowTheCaseOnDiskAndDifferBetweenRoots) {
    QDir().mkpath(Msts() + QStringLiteral("/Trains/Trainset"));
    MstsBuilder b(Msts(), Store());
    const QString inMsts = b.AddWagon(QStringLiteral("Boxcar"), QStringLiteral("Boxcar.wag"),
                                      QStringLiteral("Box"), WagonType::Freight);
    const QString inStore = b.AddWagon(QStringLiteral("Boxcar"), QStringLiteral("Boxcar.wag"),
                                       QStringLiteral("Box"), WagonType::Freight, Into::Store);
    EXPECT_EQ(inMsts, QStringLiteral("Trains\\Trainset\\Boxcar\\Boxcar.wag"));
    EXPECT_EQ(QDir(Msts()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"Trains"});
    EXPECT_EQ(QDir(Msts() + "/Trains").entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"Trainset"});
    EXPECT_EQ(inStore, QStringLiteral("TRAINS\\trainset\\Boxcar\\Boxcar.wag"));
    EXPECT_TRUE(QFile::exists(Store() + QStringLiteral("/TRAINS/trainset/Boxcar/Boxcar.wag")));
    EXPECT_TRUE(b.Manifest().Contains(inStore, Into::Store));
    EXPECT_EQ(b.Manifest().Paths(MstsFileKind::Wagon, Into::Msts), QStringList{inMsts});
}

TEST_F(MstsBuilderTest, Folders_CreatedByOthersBetweenCallsAreFoundAgain) {
    MstsBuilder b(Msts());
    b.AddRoute(QStringLiteral("X"), QStringLiteral("Route X"), QStringLiteral("X"));
    // The code under test renames the folder; the builder must not make a second one beside it.
    ASSERT_TRUE(QDir(Msts()).rename(QStringLiteral("ROUTES"), QStringLiteral("Routes")));
    const QString rel = b.AddPath(QStringLiteral("X"), QStringLiteral("a.pat"), QStringLiteral("A"),
                                  QStringLiteral("S"), QStringLiteral("E"));
    EXPECT_TRUE(rel.startsWith(QStringLiteral("Routes\\X\\")));
    EXPECT_EQ(QDir(Msts()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"Routes"});
}

TEST_F(MstsBuilderTest, ItemFiles_CarryTheKeywordsTheirReadersLookFor) {
    MstsBuilder b(Msts());
    b.AddRoute(QStringLiteral("Coal Valley"), QStringLiteral("Coal Valley"), QStringLiteral("CV"),
               {QStringLiteral("First line\nSecond line"), true, QStringLiteral("1.2")});
    const QString engine = b.AddEngine(QStringLiteral("GP38"), QStringLiteral("GP38.eng"),
                                       QStringLiteral("GP38-2"), EngineType::Diesel);
    const QString cabless =
        b.AddEngine(QStringLiteral("Dash9"), QStringLiteral("Dash9.eng"), QStringLiteral("Dash 9"),
                    EngineType::Electric, false, false);
    b.AddWagon(QStringLiteral("Coal"), QStringLiteral("Hopper.wag"), QStringLiteral("Hopper"),
               WagonType::Freight);
    b.AddConsist(QStringLiteral("Coal Drag.con"), QStringLiteral("Coal Drag"),
                 {{QStringLiteral("GP38"), QStringLiteral("GP38"), true},
                  {QStringLiteral("Coal"), QStringLiteral("Hopper"), false, true}});
    const QString ai =
        b.AddPath(QStringLiteral("Coal Valley"), QStringLiteral("Loop.pat"), QStringLiteral("Loop"),
                  QStringLiteral("Mine"), QStringLiteral("Yard"), false);
    b.AddPath(QStringLiteral("Coal Valley"), QStringLiteral("Main.pat"), QStringLiteral("Main"),
              QStringLiteral("Yard"), QStringLiteral("Mine"));
    b.AddService(QStringLiteral("Coal Valley"), QStringLiteral("Coal Run.srv"),
                 QStringLiteral("Coal Run"), QStringLiteral("Coal Drag.con"),
                 QStringLiteral("Main"));
    b.AddService(QStringLiteral("Coal Valley"), QStringLiteral("Empties.srv"),
                 QStringLiteral("Empties"), QStringLiteral("Coal Drag"),
                 QStringLiteral("Loop.pat"));
    b.AddTraffic(QStringLiteral("Coal Valley"), QStringLiteral("Day.trf"), QStringLiteral("Day"),
                 {QStringLiteral("Empties.srv")});
    const QString activity = b.AddActivity(
        QStringLiteral("Coal Valley"), QStringLiteral("Coal Run.act"), QStringLiteral("Coal Run"),
        QStringLiteral("Coal Run.srv"), QStringLiteral("Day.trf"),
        {{QStringLiteral("Cut"), {{QStringLiteral("Coal"), QStringLiteral("Hopper")}}}});

    const QStringList route = Lines(b.HostPath(QStringLiteral("ROUTES\\Coal Valley\\CV.trk")));
    EXPECT_TRUE(route.contains(QStringLiteral("RouteID ( CV )")));
    EXPECT_TRUE(route.contains(QStringLiteral("Name ( \"Coal Valley\" )")));
    EXPECT_TRUE(route.contains(QStringLiteral("Description ( \"First line\\n\"+")));
    EXPECT_TRUE(route.contains(QStringLiteral("\"Second line\" )")));
    EXPECT_TRUE(route.contains(QStringLiteral("Electrified ( 00000001 )")));
    EXPECT_TRUE(route.contains(QStringLiteral("Comment ( Version ( \"1.2\" ) )")));
    EXPECT_TRUE(QDir(Msts() + QStringLiteral("/ROUTES/Coal Valley/Activities")).exists());

    const QStringList eng = Lines(b.HostPath(engine));
    EXPECT_TRUE(eng.contains(QStringLiteral("Engine ( GP38")));
    EXPECT_TRUE(eng.contains(QStringLiteral("Type ( Diesel )")));
    EXPECT_TRUE(eng.contains(QStringLiteral("CabView ( GP38.cvf )")));
    EXPECT_EQ(b.Manifest().UsedBy(engine),
              (QStringList{"TRAINS\\TRAINSET\\GP38\\CABVIEW\\GP38.cvf",
                           "TRAINS\\TRAINSET\\GP38\\SOUND\\GP38.sms",
                           "TRAINS\\TRAINSET\\GP38\\SOUND\\GP38cab.sms"}));
    for (const QString& dependent : b.Manifest().UsedBy(engine))
        EXPECT_TRUE(QFile::exists(b.HostPath(dependent))) << dependent.toStdString();
    const QStringList bare = Lines(b.HostPath(cabless));
    EXPECT_FALSE(bare.join('\n').contains(QStringLiteral("CabView")));
    EXPECT_FALSE(bare.join('\n').contains(QStringLiteral("Sound")));
    EXPECT_TRUE(b.Manifest().UsedBy(cabless).isEmpty());

    const QStringList con = Lines(b.HostPath(QStringLiteral("TRAINS\\CONSISTS\\Coal Drag.con")));
    EXPECT_TRUE(con.contains(QStringLiteral("TrainCfg ( \"Coal Drag\"")));
    EXPECT_TRUE(con.contains(QStringLiteral("EngineData ( GP38 GP38 )")));
    const qsizetype wagonData = con.indexOf(QStringLiteral("WagonData ( Hopper Coal )"));
    ASSERT_GE(wagonData, 0);
    EXPECT_EQ(con[wagonData + 2], QStringLiteral("Flip ( )"));

    // A reader stops at name, start and end: the flags of an AI path must come before them.
    const QStringList loop = Lines(b.HostPath(ai));
    EXPECT_LT(loop.indexOf(QStringLiteral("TrPathFlags ( 00000020 )")),
              loop.indexOf(QStringLiteral("Name ( \"Loop\" )")));
    EXPECT_TRUE(loop.contains(QStringLiteral("TrPathName ( Loop )")));

    const QStringList act = Lines(b.HostPath(activity));
    EXPECT_TRUE(act.contains(QStringLiteral("RouteID ( CV )")));
    EXPECT_TRUE(act.contains(QStringLiteral("PathID ( Main )")));
    EXPECT_TRUE(act.contains(QStringLiteral("Player_Service_Definition ( \"Coal Run\"")));
    EXPECT_TRUE(act.contains(QStringLiteral("Traffic_Definition ( Day")));
    EXPECT_TRUE(act.contains(QStringLiteral("Service_Definition ( Empties 36000")));
    EXPECT_TRUE(act.contains(QStringLiteral("WagonData ( Hopper Coal )")));
    EXPECT_EQ(b.Manifest().UsedBy(activity),
              (QStringList{"ROUTES\\Coal Valley\\Paths\\Main.pat",
                           "ROUTES\\Coal Valley\\Services\\Coal Run.srv",
                           "ROUTES\\Coal Valley\\Services\\Empties.srv",
                           "ROUTES\\Coal Valley\\Traffic\\Day.trf",
                           "TRAINS\\TRAINSET\\Coal\\Hopper.wag"}));
    EXPECT_TRUE(b.Manifest().MissingTargets().isEmpty());
}

TEST_F(MstsBuilderTest, Stock_CarriesTheTypeWordsThatClassifyIt) {
    MstsBuilder b(Msts());
    const QStringList steam =
        Lines(b.HostPath(b.AddEngine(QStringLiteral("Kestrel"), QStringLiteral("Kestrel"),
                                     QStringLiteral("Kestrel"), EngineType::Steam)));
    EXPECT_TRUE(steam.contains(QStringLiteral("Type ( Engine )")));
    EXPECT_TRUE(steam.contains(QStringLiteral("Type ( Steam )")));
    EXPECT_TRUE(steam.contains(QStringLiteral("Wagon ( Kestrel )"))); // inside the Engine block
    const QStringList tender =
        Lines(b.HostPath(b.AddWagon(QStringLiteral("Kestrel"), QStringLiteral("KestrelT"),
                                    QStringLiteral("Tender"), WagonType::Tender)));
    EXPECT_TRUE(tender.contains(QStringLiteral("Type ( Tender )")));
    const QStringList coach =
        Lines(b.HostPath(b.AddWagon(QStringLiteral("Coaches"), QStringLiteral("Coach.WAG"),
                                    QStringLiteral("Coach"), WagonType::Passenger)));
    EXPECT_TRUE(coach.contains(QStringLiteral("Type ( Carriage )")));
    EXPECT_TRUE(coach.contains(QStringLiteral("PassengerCapacity ( 64 )")));
    EXPECT_TRUE(QFile::exists(Msts() + QStringLiteral("/TRAINS/TRAINSET/Kestrel/Kestrel.eng")));
    EXPECT_TRUE(QFile::exists(Msts() + QStringLiteral("/TRAINS/TRAINSET/Coaches/Coach.WAG")));
}

TEST_F(MstsBuilderTest, WriteTsection_WritesTheBuildInFiveDigitsOrNoInfoBlock) {
    MstsBuilder b(Msts());
    const QStringList global = Lines(b.HostPath(b.WriteTsection(60)));
    EXPECT_TRUE(global.contains(QStringLiteral("_INFO ( Build 00060 )")));
    EXPECT_LT(global.indexOf(QStringLiteral("_INFO ( Build 00060 )")),
              global.indexOf(QStringLiteral("TrackSections ( 3")));
    const QString plain = b.WriteTsection(-1, QStringLiteral("Tsections\\old\\tsection.dat"));
    EXPECT_EQ(plain, QStringLiteral("Tsections\\old\\tsection.dat"));
    EXPECT_FALSE(Text(b.HostPath(plain)).contains(QStringLiteral("_INFO")));
    EXPECT_EQ(b.Manifest().Count(MstsFileKind::Tsection), 2);
}

TEST_F(MstsBuilderTest, Activity_TrafficServicesGivenExplicitlyMayDifferFromTheTrafficFile) {
    MstsBuilder b(Msts());
    b.AddTraffic(QStringLiteral("X"), QStringLiteral("Day.trf"), QStringLiteral("Day"),
                 {QStringLiteral("A.srv"), QStringLiteral("B.srv")});
    ActivityPlan act;
    act.route = QStringLiteral("X");
    act.file = QStringLiteral("Odd.act");
    act.name = QStringLiteral("Odd");
    act.playerService = QStringLiteral("P.srv");
    act.pathId = QStringLiteral("Main.pat");
    act.traffic = QStringLiteral("Day.trf");
    act.trafficServices = {QStringLiteral("A.srv")};
    const QString activity = b.AddActivity(act);
    const QString text = Text(b.HostPath(activity));
    EXPECT_TRUE(text.contains(QStringLiteral("Service_Definition ( A 36000")));
    EXPECT_FALSE(text.contains(QStringLiteral("Service_Definition ( B ")));
    EXPECT_TRUE(text.contains(QStringLiteral("PathID ( Main )")));
    // Nothing was written for the player service and path: the manifest shows them missing.
    EXPECT_EQ(b.Manifest().MissingTargets(),
              (QStringList{"ROUTES\\X\\PATHS\\Main.pat", "ROUTES\\X\\SERVICES\\A.srv",
                           "ROUTES\\X\\SERVICES\\B.srv", "ROUTES\\X\\SERVICES\\P.srv"}));
}

TEST_F(MstsBuilderTest, Manifest_ListsExactlyTheUsersOfAnItemWhateverTheCaseOfTheReference) {
    MstsBuilder b(Msts());
    const QString wagon = b.AddWagon(QStringLiteral("Coal"), QStringLiteral("Hopper.WAG"),
                                     QStringLiteral("Hopper"), WagonType::Freight);
    const QString one = b.AddConsist(QStringLiteral("One.con"), QStringLiteral("One"),
                                     {{QStringLiteral("coal"), QStringLiteral("hopper"), false}});
    const QString two = b.AddConsist(QStringLiteral("Two.CON"), QStringLiteral("Two"),
                                     {{QStringLiteral("Coal"), QStringLiteral("Hopper"), false}});
    b.AddConsist(QStringLiteral("Three.con"), QStringLiteral("Three"),
                 {{QStringLiteral("Coal"), QStringLiteral("Gondola"), false}});
    EXPECT_EQ(b.Manifest().UsersOf(wagon), (QStringList{one, two}));
    EXPECT_EQ(b.Manifest().MissingTargets(), QStringList{"TRAINS\\TRAINSET\\Coal\\Gondola.wag"});
}

TEST_F(MstsBuilderTest, DefaultInstallation_HasTheSixRoutesDefaultWagonAndNoDanglingReference) {
    MstsBuilder b(Msts());
    b.BuildDefaultInstallation();
    const MstsManifest& m = b.Manifest();

    const QStringList routes = m.Paths(MstsFileKind::Route);
    QStringList folders;
    for (const QString& route : routes)
        folders << route.section(QLatin1Char('\\'), 1, 1);
    EXPECT_EQ(folders, (QStringList{"EUROPE1", "EUROPE2", "USA1", "USA2", "JAPAN1", "JAPAN2"}));
    EXPECT_TRUE(QFile::exists(Msts() + QStringLiteral("/TRAINS/TRAINSET/DEFAULT/DEFAULT.WAG")));
    EXPECT_TRUE(QFile::exists(Msts() + QStringLiteral("/GLOBAL/TSECTION.DAT")));
    EXPECT_EQ(m.Count(MstsFileKind::Activity), 12);
    EXPECT_EQ(m.Count(MstsFileKind::Traffic), 6);
    EXPECT_TRUE(m.MissingTargets().isEmpty()) << m.MissingTargets().join(' ').toStdString();

    // Every written file is on disk, and the disk holds nothing else.
    QStringList written;
    for (const WrittenFile& f : m.Files()) {
        EXPECT_EQ(f.root, Into::Msts);
        written << QString(f.path).replace(QLatin1Char('\\'), QLatin1Char('/'));
    }
    written.sort();
    EXPECT_EQ(written, HostFiles(Msts()));

    // Letter case is mixed as in real installations.
    const QStringList consists = m.Paths(MstsFileKind::Consist);
    EXPECT_TRUE(std::any_of(consists.begin(), consists.end(),
                            [](const QString& p) { return p.endsWith(QStringLiteral(".CON")); }));
    EXPECT_TRUE(std::any_of(consists.begin(), consists.end(),
                            [](const QString& p) { return p.endsWith(QStringLiteral(".con")); }));
    EXPECT_TRUE(written.contains(QStringLiteral("TRAINS/CONSISTS/AcelaHHL.con")));
    EXPECT_TRUE(written.contains(QStringLiteral("TRAINS/TRAINSET/AlpLok/CabView/AlpLok460.cvf")));

    // The shared freight wagon is used by every route's freight train and by the loose cuts.
    const QStringList boxcarUsers =
        m.UsersOf(QStringLiteral("TRAINS\\TRAINSET\\US_Freight\\Boxcar.wag"));
    EXPECT_EQ(boxcarUsers.size(), 6 + 6 + 1); // freight consists, Morning activities, GP38.con
    EXPECT_TRUE(
        boxcarUsers.contains(QStringLiteral("ROUTES\\USA2\\ACTIVITIES\\Morning Express.act")));
}

TEST_F(MstsBuilderTest, BuildLarge_WritesTheCountsAskedForWithValidReferences) {
    LargeCounts counts;
    counts.engines = 7;
    counts.wagons = 23;
    counts.consists = 11;
    counts.paths = 13;
    counts.routes = 3;
    counts.activities = 9;
    const MstsManifest m = BuildLarge(Msts(), counts);
    EXPECT_EQ(m.Count(MstsFileKind::Engine), 7);
    EXPECT_EQ(m.Count(MstsFileKind::Wagon), 23);
    EXPECT_EQ(m.Count(MstsFileKind::Consist), 11);
    EXPECT_EQ(m.Count(MstsFileKind::Path), 13);
    EXPECT_EQ(m.Count(MstsFileKind::Route), 3);
    EXPECT_EQ(m.Count(MstsFileKind::Activity), 9);
    EXPECT_GE(m.Count(MstsFileKind::Service), 9 + 3);
    EXPECT_TRUE(m.MissingTargets().isEmpty()) << m.MissingTargets().join(' ').toStdString();
    EXPECT_EQ(HostFiles(Msts()).size(), qsizetype(m.Files().size()));
    // Every engine leads a consist, so none is unused.
    for (const QString& engine : m.Paths(MstsFileKind::Engine))
        EXPECT_FALSE(m.UsersOf(engine).isEmpty()) << engine.toStdString();
}

TEST_F(MstsBuilderTest, BuildLarge_SameSeedGivesTheSameFilesAndAnotherSeedOthers) {
    LargeCounts counts = SmallCounts();
    BuildLarge(Msts(), counts);
    BuildLarge(dir_.path() + QStringLiteral("/Again"), counts);
    counts.seed = 2;
    BuildLarge(dir_.path() + QStringLiteral("/Other"), counts);
    EXPECT_EQ(TreeDigest(Msts()), TreeDigest(dir_.path() + QStringLiteral("/Again")));
    EXPECT_NE(TreeDigest(Msts()), TreeDigest(dir_.path() + QStringLiteral("/Other")));
}

TEST_F(MstsBuilderTest, BuildLarge_LeavesReferencesMissingAndUsesTheStoreWhenAsked) {
    LargeCounts counts = SmallCounts();
    counts.omitEvery = 5;
    counts.storeEvery = 4;
    const MstsManifest m = BuildLarge(Msts(), counts, Store());
    const QStringList missing = m.MissingTargets();
    ASSERT_FALSE(missing.isEmpty());
    for (const QString& target : missing) {
        EXPECT_FALSE(m.UsersOf(target).isEmpty());
        EXPECT_FALSE(QFile::exists(Msts() + '/' + QString(target).replace('\\', '/')));
    }
    // Omitted: every fifth engine (10 asked) and consist (15 asked).
    EXPECT_EQ(m.Count(MstsFileKind::Engine), 8);
    EXPECT_EQ(m.Count(MstsFileKind::Consist), 12);
    EXPECT_FALSE(m.Paths(MstsFileKind::Consist, Into::Store).isEmpty());
    EXPECT_FALSE(m.Paths(MstsFileKind::Activity, Into::Store).isEmpty());
    for (const QString& consist : m.Paths(MstsFileKind::Consist, Into::Store))
        EXPECT_TRUE(QFile::exists(Store() + '/' + QString(consist).replace('\\', '/')));
}
