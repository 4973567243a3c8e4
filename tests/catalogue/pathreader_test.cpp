#include "catalogue/pathreader.h"

#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/storeini.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/drivemap.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

const QString kRoot = QStringLiteral("C:\\MSTS");
const QString kCache = QStringLiteral("CACHEPAT.QVC");

class PathReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().MstsRootFolder = kRoot;
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
    }
    void TearDown() override { ResetAppState(); }

    // Writes ROUTES\R\PATHS\<file> with the TrackPath lines given and returns its record, ready to
    // be read (Folder and FileName set as a caller sets them).
    PathInfo WritePath(const QString& file, const QStringList& trackPath) {
        const QString written = builder_.WriteMstsFile(
            QStringLiteral("ROUTES\\R\\PATHS\\") + file, QStringLiteral("P0t"),
            QStringList{QStringLiteral("TrackPath (")} + trackPath +
                QStringList{QStringLiteral(")")},
            MstsFileKind::Path);
        PathInfo path;
        path.Folder = written.left(written.lastIndexOf(u'\\'));
        path.FileName = file;
        return path;
    }
    PathInfo Scanned(const QStringList& trackPath, const QString& file = QStringLiteral("p.pat")) {
        PathInfo path = WritePath(file, trackPath);
        EXPECT_TRUE(ScanPathFile(FullName(path), path));
        return path;
    }
    QString FullName(const PathInfo& path) const {
        return kRoot + u'\\' + path.Folder + u'\\' + path.FileName;
    }

    RegistrySandbox registry_;
    TempMsts temp_;
    MstsBuilder builder_{temp_.Host(QStringLiteral("MSTS")), temp_.Host(QStringLiteral("STORE"))};
};

const QStringList kComplete{QStringLiteral("Name ( \"A to B\" )"),
                            QStringLiteral("TrPathStart ( A )"), QStringLiteral("TrPathEnd ( B )")};

} // namespace

TEST_F(PathReaderTest, FlagsBit20MakesThePathNotDriveable) {
    struct Case {
        const char* flags;
        std::uint32_t type;
    };
    for (const Case& c : {Case{"00000020", 0}, Case{"00000021", 0}, Case{"00000010", PT_DRIVEABLE},
                          Case{"zz", PT_DRIVEABLE}, Case{"", PT_DRIVEABLE}}) {
        const QString flags = QStringLiteral("TrPathFlags ( %1 )").arg(QLatin1String(c.flags));
        EXPECT_EQ(Scanned(QStringList{flags} + kComplete).PType, c.type) << c.flags;
    }
    EXPECT_EQ(Scanned(kComplete).PType, PT_DRIVEABLE) << "no flags line";
}

TEST_F(PathReaderTest, InternalNameDiffersOnlyWhenMoreThanCaseDiffers) {
    const PathInfo same = Scanned(
        {QStringLiteral("TrPathName ( MAIN_line )"), QStringLiteral("TrPathFlags ( 00000020 )")},
        QStringLiteral("Main_Line.PAT"));
    EXPECT_EQ(same.PType, 0u);
    const PathInfo other =
        Scanned({QStringLiteral("TrPathName ( Branch )")}, QStringLiteral("Main_Line.pat"));
    EXPECT_EQ(other.PType, PT_DRIVEABLE | PT_NAME_DIFFERS);
    EXPECT_EQ(other.Name, QString()) << "TrPathName never sets the name";
}

TEST_F(PathReaderTest, StopsOnceNameStartAndEndAreKnown) {
    const PathInfo path =
        Scanned(kComplete + QStringList{QStringLiteral("TrPathFlags ( 00000020 )"),
                                        QStringLiteral("TrPathName ( other )")});
    EXPECT_EQ(path.Name, QStringLiteral("A to B"));
    EXPECT_EQ(path.PathStart, QStringLiteral("A"));
    EXPECT_EQ(path.PathEnd, QStringLiteral("B"));
    EXPECT_EQ(path.PType, PT_DRIVEABLE) << "flags and name after the three texts are not seen";

    // An empty start keeps the reader going to the end of the file.
    const PathInfo open =
        Scanned({QStringLiteral("Name ( n )"), QStringLiteral("TrPathStart ( )"),
                 QStringLiteral("TrPathEnd ( e )"), QStringLiteral("TrPathFlags ( 00000020 )")});
    EXPECT_EQ(open.PType, 0u);
    EXPECT_EQ(open.PathStart, QString());
}

TEST_F(PathReaderTest, CachesEachFileUnderItsRelativePathAndDate) {
    auto cache = OpenStoreIni(kCache);
    PathInfo path = WritePath(QStringLiteral("Run.pat"),
                              QStringList{QStringLiteral("TrPathName ( x )")} + kComplete);
    const QString section = path.Folder + QStringLiteral("\\Run.pat");
    ASSERT_TRUE(ReadPathFile(kRoot, path, *cache));
    EXPECT_TRUE(cache->Modified);
    EXPECT_EQ(cache->Ini.ReadSectionValues(section),
              QStringList({"PType=81920", "Name=A to B", "PathStart=A", "PathEnd=B",
                           QStringLiteral("FileDate=%1").arg(FileAge(FullName(path)))}));
    EXPECT_EQ(TheMainServices().StatusText(1), QStringLiteral("Loading Path 'A to B'"));

    // Same date, other content: the section answers, so the file is not opened.
    const qint32 age = FileAge(FullName(path));
    WritePath(QStringLiteral("Run.pat"), {QStringLiteral("Name ( changed )")});
    ASSERT_TRUE(SetFileAge(FullName(path), age));
    cache->Modified = false;
    ASSERT_TRUE(ReadPathFile(kRoot, path, *cache));
    EXPECT_EQ(path.Name, QStringLiteral("A to B"));
    EXPECT_EQ(path.PType, PT_DRIVEABLE | PT_NAME_DIFFERS);
    EXPECT_FALSE(cache->Modified);

    // A changed date: parsed again, the section rewritten with the new date.
    const qint32 older = PackDosDateTime(QDateTime(QDate(2020, 5, 17), QTime(10, 20, 30)));
    ASSERT_TRUE(SetFileAge(FullName(path), older));
    ASSERT_TRUE(ReadPathFile(kRoot, path, *cache));
    EXPECT_EQ(path.Name, QStringLiteral("changed"));
    EXPECT_EQ(cache->Ini.ReadInteger(section, QStringLiteral("FileDate"), -1), older);
    EXPECT_EQ(cache->Ini.ReadString(section, QStringLiteral("Name"), {}),
              QStringLiteral("changed"));

    // A section without its type is not current (its record would carry every bit).
    cache->Ini.DeleteKey(section, QStringLiteral("PType"));
    ASSERT_TRUE(ReadPathFile(kRoot, path, *cache));
    EXPECT_EQ(cache->Ini.ReadInteger(section, QStringLiteral("PType"), -1), int(PT_DRIVEABLE));

    path.FileName = QStringLiteral("absent.pat");
    EXPECT_FALSE(ReadPathFile(kRoot, path, *cache));
    temp_.MakeFolder(QStringLiteral("MSTS/") + QString(path.Folder).replace(u'\\', u'/') +
                     QStringLiteral("/dir.pat"));
    path.FileName = QStringLiteral("dir.pat");
    EXPECT_FALSE(ReadPathFile(kRoot, path, *cache)) << "a folder is no path file";
    EXPECT_EQ(cache->Ini.ReadSections().size(), 1);
}

TEST_F(PathReaderTest, ForceRereadRewritesOnlyWhatWasParsed) {
    PathInfo path = WritePath(QStringLiteral("f.pat"), kComplete);
    const QString section = path.Folder + QStringLiteral("\\f.pat");
    auto cache = OpenStoreIni(kCache);
    ASSERT_TRUE(ReadPathFile(kRoot, path, *cache));
    auto readAfterCaching = [&](bool force, bool skip) {
        cache->Ini.WriteString(section, QStringLiteral("Name"), QStringLiteral("cached"));
        cache->Modified = false;
        App().ForceCacheReread = force;
        path.SkipCache = skip;
        EXPECT_TRUE(ReadPathFile(kRoot, path, *cache));
        return path.Name;
    };
    EXPECT_EQ(readAfterCaching(true, false), QStringLiteral("cached")) << "force alone parses not";
    EXPECT_FALSE(cache->Modified);
    EXPECT_EQ(readAfterCaching(false, true), QStringLiteral("A to B"));
    EXPECT_FALSE(cache->Modified) << "a current section stays unless forced";
    EXPECT_EQ(readAfterCaching(true, true), QStringLiteral("A to B"));
    EXPECT_TRUE(cache->Modified);
    EXPECT_EQ(cache->Ini.ReadString(section, QStringLiteral("Name"), {}), QStringLiteral("A to B"));
}

// Every path of the real routes, read in place through drive Z: with the cache in a temporary
// store; the second pass is served by the cache file as written to disk.
TEST_F(PathReaderTest, ReadsEveryRealPathAndServesThemFromTheCacheFile) {
    const QString host = QDir::cleanPath(QStringLiteral(QUARVEL_REALDATA_DIR "/dk24"));
    const QString root = ToWindowsForm(host);
    QHash<QString, PathInfo> read;
    for (int pass = 0; pass < 2; ++pass) {
        auto cache = OpenStoreIni(kCache);
        for (const QString& route : {QStringLiteral("OR_DK24"), QStringLiteral("OR_DK24TEST")}) {
            const QString folder = QStringLiteral("ROUTES\\%1\\PATHS").arg(route);
            const QStringList files = QDir(host + QStringLiteral("/ROUTES/%1/PATHS").arg(route))
                                          .entryList({QStringLiteral("*.pat")}, QDir::Files);
            for (const QString& file : files) {
                PathInfo path;
                path.Folder = folder;
                path.FileName = file;
                ASSERT_TRUE(ReadPathFile(root, path, *cache)) << file.toStdString();
                EXPECT_EQ(path.PType, PT_DRIVEABLE) << file.toStdString();
                const QString section = folder + u'\\' + file;
                EXPECT_EQ(path.PathEnd, read.value(section, path).PathEnd);
                read.insert(section, path);
            }
        }
        EXPECT_EQ(cache->Modified, pass == 0) << "the second pass comes from the sections";
        // A section per file, and the version section once the file has been written.
        EXPECT_EQ(cache->Ini.ReadSections().size(), 377 + pass);
        ASSERT_TRUE(CloseStoreIni(std::move(cache)));
    }
    ASSERT_EQ(read.size(), 377);
    const PathInfo& sample = read[QStringLiteral("ROUTES\\OR_DK24\\PATHS\\1007.pat")];
    EXPECT_EQ(sample.Name, QStringLiteral("endNode_1007"));
    EXPECT_EQ(sample.PathStart, QStringLiteral("endNode_1007"));
    EXPECT_EQ(sample.PathEnd, QStringLiteral("endNode_1007"));
    EXPECT_EQ(read[QStringLiteral("ROUTES\\OR_DK24TEST\\PATHS\\101.pat")].Name,
              QStringLiteral("endNode_101"));
}
