// The alias scan over synthetic stock in the MSTS folder and the store, through the fixed-objects
// dialog's alias view and directly: which folders it suggests and what it reads once or twice.
#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/stringlist.h"
#include "engine/aliasscan.h"
#include "engine/forms/setfixeddlg.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace qv {
namespace {

class AliasScan : public ::testing::Test {
protected:
    AliasScan() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\Store");
    }
    ~AliasScan() override { ResetAppState(); }

    static QStringList Pane() { return TheMainServices().InformationMemo()->Lines(); }
    void Write(const QString& path, const QStringList& lines = {}, Into into = Into::Msts) {
        builder.WriteMstsFile(path, QStringLiteral("x1t"), lines, MstsFileKind::Other, into);
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("Store"))};
    FakeUi ui;
};

TEST_F(AliasScan, AliasView_ListsTheFoldersThatStockOfBothRootsBorrowsFrom) {
    // A Dash 9 in the MSTS folder whose sound borrows from a store folder and whose cab view from
    // another MSTS folder; a store wagon whose sound file lies in a third folder.
    builder.AddEngine(QStringLiteral("Dash9"), QStringLiteral("dash9"), QStringLiteral("Dash 9"),
                      EngineType::Diesel);
    Write(QStringLiteral("TRAINS\\TRAINSET\\Dash9\\Sound\\dash9.sms"),
          {"StartLoop ( 1 File ( \"..\\..\\Horns\\SOUND\\horn.wav\" -1 ) )"});
    Write(QStringLiteral("TRAINS\\trainset\\HORNS\\sound\\HORN.WAV"), {}, Into::Store);
    Write(QStringLiteral("TRAINS\\TRAINSET\\Dash9\\CabView\\dash9.cvf"),
          {"Graphic ( \"../../CABS/CabView/dial.ace\" 2 1 1 )"});
    Write(QStringLiteral("TRAINS\\TRAINSET\\Cabs\\CABVIEW\\Dial.ace"));
    Write(QStringLiteral("TRAINS\\trainset\\Coaches\\COACH.WAG"),
          {"Wagon ( coach", "Sound ( \"..\\..\\Bells\\Sound\\bell.sms\" )", ")"}, Into::Store);
    Write(QStringLiteral("TRAINS\\TRAINSET\\BELLS\\SOUND\\bell.sms"));
    TheMainServices().InformationMemo()->AddLine(QStringLiteral("an earlier report"));
    const QString statusBefore = TheMainServices().StatusText(0);

    TSetFixedDlg dialog;
    dialog.show();
    dialog.AliasesOrFolders->click();
    QStringList lines;
    for (int i = 0; i < dialog.TrainsetFolders->count(); ++i)
        lines << dialog.TrainsetFolders->item(i)->text();
    EXPECT_EQ(lines, QStringList({"Bells", "CABS", "Horns"}));
    EXPECT_EQ(dialog.Label1->text(), "TRAINSET Alias Target Folders (3)");
    EXPECT_TRUE(Pane().isEmpty());
    EXPECT_EQ(TheMainServices().StatusText(0), statusBefore);
    dialog.AliasesOrFolders->click();
    EXPECT_EQ(dialog.TrainsetFolders->count(), 5); // BELLS, Cabs, Coaches, Dash9, HORNS
    dialog.done(ID_CANCEL);
}

TEST_F(AliasScan, ScanAliasTargets_ReadsStockOncePerRootAndEachSoundFileOnce) {
    // The same engine in both roots; its sound file is found in either and read only once.
    for (Into into : {Into::Msts, Into::Store}) {
        Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\LOCO.ENG"),
              {"Wagon ( loco", "Sound ( loco.sms )", "CabView ( ..\\..\\Gone\\CABVIEW\\gone.cvf )",
               ")"},
              into);
        Write(QStringLiteral("TRAINS\\TRAINSET\\Loco\\SOUND\\loco.sms"),
              {"StartLoop ( 1 File ( \"..\\..\\Lost\\Sound\\lost.wav\" -1 ) )"}, into);
    }
    // Strict checking reports a missing sample even when MSTS's own SOUND folder has its name.
    Write(QStringLiteral("SOUND\\lost.wav"));
    WriteFlag(true, QStringLiteral("Strict SMS Checking"));

    StringList result = StringList::SortedUnique();
    ScanAliasTargets(result);
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_EQ(Pane().filter(QStringLiteral("gone.cvf")).size(), 2);
    EXPECT_EQ(Pane().filter(QStringLiteral("lost.wav")).size(), 1);
}

} // namespace
} // namespace qv
