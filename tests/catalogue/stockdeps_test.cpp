// The dependent-file readers on synthetic stock: own sound and cab-view files, aliases into other
// stock folders of either root in odd spellings, and what is reported as missing.
#include "catalogue/stockdeps.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/stringlist.h"
#include "fixtures/growth.h"
#include "stocktestkit.h"

#include <QRegularExpression>

namespace qv {
namespace {

class StockDeps : public StockTest {
protected:
    StockDeps() { ClearReport(TheMainServices().InformationMemo()); }

    static QString Pane() { return TheMainServices().InformationMemo()->Lines().join(u'\n'); }
    void Write(const QString& path, const QStringList& lines = {}, Into into = Into::Msts) {
        builder.WriteMstsFile(path, QStringLiteral("x1t"), lines, MstsFileKind::Other, into);
    }
    QStringList Read(const QString& file, bool strict = true, bool folderPaths = false) {
        StringList aliases;
        StringList own;
        if (file.endsWith(QStringLiteral(".eng"), Qt::CaseInsensitive))
            ReadStockDependencies(kMsts, file, kStore, own, aliases, folderPaths);
        else if (file.endsWith(QStringLiteral(".sms"), Qt::CaseInsensitive))
            ReadSoundDependencies(kMsts, file, kStore, aliases, strict, folderPaths);
        else
            ReadCabViewDependencies(kMsts, file, kStore, aliases, folderPaths);
        return aliases.Strings();
    }

    const QString kMsts = QStringLiteral("C:\\MSTS");
    const QString kStore = QStringLiteral("C:\\STORE");
};

TEST_F(StockDeps, ReadStockDependencies_OwnFilesAndAliasesInAnySpellingAndEitherRoot) {
    builder.AddEngine(QStringLiteral("Dash9"), QStringLiteral("dash9"), QStringLiteral("Dash 9"),
                      EngineType::Diesel);
    Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\loco.eng"),
          {"Wagon ( loco", "Sound ( \"../../OtherLoco//Sound//other.sms\" )", ")", "Engine ( loco",
           "CabView ( ..\\\\..\\\\OTHERLOCO\\CABVIEW\\other.cvf )",
           "Sound ( ..\\..\\GONE\\SOUND\\gone.sms )", ")"});
    Write(QStringLiteral("TRAINS\\trainset\\otherloco\\SOUND\\OTHER.SMS"), {}, Into::Store);
    Write(QStringLiteral("TRAINS\\TRAINSET\\OtherLoco\\CabView\\other.cvf"));

    StringList own;
    StringList paths;
    StringList names;
    ReadStockDependencies(kMsts, QStringLiteral("trains\\trainset\\DASH9\\DASH9.ENG"), kStore, own,
                          paths, true);
    EXPECT_EQ(own.Strings(), QStringList({"trains\\trainset\\DASH9\\Sound\\dash9.sms",
                                          "trains\\trainset\\DASH9\\Sound\\dash9cab.sms",
                                          "trains\\trainset\\DASH9\\CabView\\dash9.cvf"}));
    ReadStockDependencies(kMsts, QStringLiteral("TRAINS\\TRAINSET\\Loco\\loco.eng"), kStore, own,
                          paths, true);
    ReadStockDependencies(kMsts, QStringLiteral("TRAINS\\TRAINSET\\Loco\\loco.eng"), kStore, own,
                          names, false);
    EXPECT_EQ(paths.Strings(), QStringList({"OtherLoco\\Sound", "OTHERLOCO\\CABVIEW"}));
    EXPECT_EQ(names.Strings(), QStringList({"OtherLoco", "OTHERLOCO"}));
    EXPECT_EQ(own.Count(), 3);
    EXPECT_TRUE(Pane().contains("The following File was not found\n"
                                "File: 'TRAINS\\TRAINSET\\..\\..\\GONE\\SOUND\\gone.sms'\n"
                                "Needed for: 'TRAINS\\TRAINSET\\Loco\\loco.eng'"));
}

TEST_F(StockDeps, OneClimbingSegment_IsFoundInTheVehiclesOwnFolder) {
    Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\loco.eng"),
          {"Wagon ( loco", "Sound ( \"..\\Shared\\loco.sms\" )", "CabView ( ..\\loco.cvf )", ")"});
    Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\SHARED\\loco.sms"));
    Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\LOCO.CVF"));
    Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\Sound\\cab.sms"),
          {"StartLoop ( 1 File ( \"..\\Shared\\horn.wav\" -1 ) )",
           "StartLoop ( 1 File ( \"..\\lost.wav\" -1 ) )"});
    Write(QStringLiteral("TRAINS\\TRAINSET\\loco\\shared\\HORN.WAV"));
    Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\CabView\\loco.cvf"),
          {"CabViewFile ( ..\\Shared\\front.ace )"});
    Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\Shared\\front.ace"));

    StringList own;
    StringList aliases;
    ReadStockDependencies(kMsts, QStringLiteral("TRAINS\\TRAINSET\\Loco\\loco.eng"), kStore, own,
                          aliases, false);
    EXPECT_EQ(own.Strings(), QStringList({"TRAINS\\TRAINSET\\Loco\\Shared\\loco.sms",
                                          "TRAINS\\TRAINSET\\Loco\\loco.cvf"}));
    EXPECT_TRUE(aliases.IsEmpty());
    EXPECT_TRUE(Read(QStringLiteral("TRAINS\\TRAINSET\\Loco\\CabView\\loco.cvf")).isEmpty());
    EXPECT_TRUE(Read(QStringLiteral("TRAINS\\TRAINSET\\Loco\\Sound\\cab.sms")).isEmpty());
    // Only the sample that is really missing is reported.
    EXPECT_FALSE(Pane().contains("horn.wav"));
    EXPECT_FALSE(Pane().contains("front.ace"));
    EXPECT_TRUE(Pane().contains("File: 'TRAINS\\TRAINSET\\..\\lost.wav'"));
}

TEST_F(StockDeps, AReferenceThatClimbsOutOfTheRootIsRefusedAndNeverFollowed) {
    // From Loco\Sound, the climb leads to C:\SECRET\loco.sms, outside the MSTS folder.
    Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\loco.eng"),
          {"Wagon ( loco", "Sound ( \"A\\..\\..\\..\\..\\..\\..\\SECRET\\loco.sms\" )", ")"});
    drive.MakeFile(QStringLiteral("SECRET/loco.sms"));

    StringList own;
    StringList aliases;
    ReadStockDependencies(kMsts, QStringLiteral("TRAINS\\TRAINSET\\Loco\\loco.eng"), kStore, own,
                          aliases, false);
    EXPECT_TRUE(own.IsEmpty()) << own.Strings().join(u' ').toStdString();
    EXPECT_TRUE(Pane().contains(Caption(Msg::INVALID_FILENAME))) << Pane().toStdString();
    EXPECT_TRUE(Pane().contains("Needed for: 'TRAINS\\TRAINSET\\Loco\\loco.eng'"));
}

// Past the cap the closing line counts names, not the times a name was given.
TEST_F(StockDeps, AMissingTargetIsReportedOncePerFileAndTheReportsAreCapped) {
    QStringList lines{"File ( \"..\\..\\X\\same.wav\" -1 )", "File ( \"..\\..\\x\\SAME.WAV\" -1 )"};
    for (int i = 0; i < FileReports::kMaxReportsPerFile + 2; ++i)
        lines << QStringLiteral("File ( \"..\\..\\X\\%1.wav\" -1 )").arg(i);
    for (int i = 0; i < 500; ++i)
        lines << QStringLiteral("File ( \"..\\..\\x\\%1.WAV\" -1 )").arg(i % 2 ? 1001 : 1000);
    Write("TRAINS\\TRAINSET\\Loco\\Sound\\loco.sms", lines);
    Read("TRAINS\\TRAINSET\\Loco\\Sound\\loco.sms");
    EXPECT_EQ(Pane().count("File: '"), FileReports::kMaxReportsPerFile);
    EXPECT_TRUE(Pane().contains(QRegularExpression("\\b3 more file names not found")))
        << Pane().right(300).toStdString();
}

// Naming the last of many missing names again and again costs what naming the first so costs: no
// name is looked up on disk twice, past the report's cap either.
TEST_F(StockDeps, ANamePastTheReportCapIsNotLookedUpAgain) {
    const struct {
        const char* file;
        const char* line; // %1: the name's number
    } readers[] = {
        {"TRAINS\\TRAINSET\\Loco\\Sound\\loco.sms", "File ( \"..\\..\\X\\%1.wav\" -1 )"},
        {"TRAINS\\TRAINSET\\Loco\\CabView\\loco.cvf", "Graphic ( ..\\..\\X\\%1.ace )"},
        {"TRAINS\\TRAINSET\\Loco\\loco.eng", "Sound ( ..\\..\\X\\%1.sms )"},
    };
    const int names = FileReports::kMaxReportsPerFile + 1;
    const int repeats = 60000;
    for (const auto& r : readers) {
        SCOPED_TRACE(r.file);
        const auto job = [&](int repeated) {
            QStringList lines;
            for (int i = 0; i < names; ++i)
                lines << QString::fromLatin1(r.line).arg(i);
            for (int i = 0; i < repeats; ++i)
                lines << QString::fromLatin1(r.line).arg(repeated);
            Write(r.file, lines);
            return [this, r] {
                ClearReport(TheMainServices().InformationMemo());
                Read(r.file);
            };
        };
        const double withinCap = test::LeastCpuSeconds(job(0));
        EXPECT_LT(test::LeastCpuSeconds(job(names - 1)) / withinCap, 2.0);
    }
}

TEST_F(StockDeps, ReadSoundDependencies_EveryFileEntryAndTheStrictSetting) {
    const QString sound = QStringLiteral("TRAINS\\TRAINSET\\Loco\\Sound\\loco.sms");
    Write(sound,
          {"Initial_Trigger ( StartLoop ( 2 File ( \"..\\..\\Horns\\Sound\\a.wav\" -1 ) "
           "File ( \"../../BELLS/SOUND/b.wav\" -1 ) ) )",
           "Variable_Trigger ( StartLoop ( 1 FILE (", "\"..\\..\\Horns\\Sound\\c.wav\" -1 ) )",
           "StartLoop ( 1 File ( \"plain.wav\" -1 ) )",
           "StartLoop ( 1 File ( \"..\\..\\..\\SOUND\\bell.wav\" -1 ) )",
           "StartLoop ( 1 File ( \"..\\..\\Gone\\Sound\\horn.wav\" -1 ) )"});
    Write(QStringLiteral("TRAINS\\TRAINSET\\HORNS\\SOUND\\A.WAV"));
    Write(QStringLiteral("TRAINS\\TRAINSET\\HORNS\\SOUND\\C.WAV"));
    Write(QStringLiteral("Trains\\Trainset\\Bells\\Sound\\b.wav"), {}, Into::Store);
    Write(QStringLiteral("Sound\\HORN.WAV"));

    // A sample missing from its stock folder but named in MSTS's SOUND folder counts only when
    // strict; a reference into MSTS's SOUND folder itself is no alias and never reported.
    EXPECT_EQ(Read(sound, false, true),
              QStringList({"Horns\\Sound", "BELLS\\SOUND", "Horns\\Sound"}));
    EXPECT_TRUE(Pane().isEmpty());
    Read(sound, true);
    EXPECT_TRUE(Pane().contains("File: 'TRAINS\\TRAINSET\\..\\..\\Gone\\Sound\\horn.wav'"));
    EXPECT_FALSE(Pane().contains("bell.wav"));
}

TEST_F(StockDeps, ReadCabViewDependencies_TakesOnlyTheQuotedNameOfAGraphic) {
    Write(
        QStringLiteral("TRAINS\\TRAINSET\\Loco\\CabView\\loco.cvf"),
        {"CabViewFile ( front.ace )", "Graphic ( \"..\\..\\Dials\\CabView\\needle.ace\" 4 1 1 )"});
    Write(QStringLiteral("TRAINS\\TRAINSET\\DIALS\\CABVIEW\\NEEDLE.ACE"));
    EXPECT_EQ(Read(QStringLiteral("TRAINS\\TRAINSET\\LOCO\\CABVIEW\\LOCO.CVF")),
              QStringList({"Dials"}));
    EXPECT_TRUE(Pane().isEmpty());
}

} // namespace
} // namespace qv
