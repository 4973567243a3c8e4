// The splash window's start-up actions on a small synthetic installation: conversion of a store
// without QVDATA, cache rebuilds only where a cache file is missing, the command-line job inside
// the sequence, and the splash form closing itself once they are done.
#include "mainwindow/startupsequence.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "mainwindow/commandline.h"
#include "mainwindow/forms/splashform.h"
#include "platform/fakeui.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <gtest/gtest.h>

using namespace qv;

namespace {

// The splash as the sequence sees it, recording every change in order.
class RecordingView : public StartupView, public StatusLabel {
public:
    void ShowDescription(const QString& text) override { events << "text " + text; }
    void SetPosition(int position) override { events << QStringLiteral("pos %1").arg(position); }
    void HideProgressBar() override { events << QStringLiteral("hide"); }
    void SetTimerInterval(int ms) override { events << QStringLiteral("timer %1").arg(ms); }
    StatusLabel& DescriptionLabel() override { return *this; }
    void ShowText(const QString& text) override { ShowDescription(text); }
    int TextWidth(const QString& text) const override { return int(text.size()) * 7; }
    int Width() const override { return 300; }
    QStringList events;
};

QString Text(Msg message) {
    return "text " + Caption(message);
}
QString Rebuilding(Msg message) {
    return Text(message) + "\n\n" + Caption(Msg::PLEASE_WAIT);
}
const QStringList kBarFilledAndHidden = {"pos 0", "pos 10", "pos 40", "pos 70", "pos 100", "hide"};

class StartupSequenceTest : public ::testing::Test {
protected:
    StartupSequenceTest() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        drive.MakeFolder(QStringLiteral("STORE"));
        builder.AddWagon("BOX", "BOX.WAG", "Box", WagonType::Freight);
        builder.AddConsist("BOXES.CON", "Boxes", {{"BOX", "BOX"}});
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddPath("ALPHA", "up.pat", "up", "Here", "There");
    }
    ~StartupSequenceTest() override { ResetAppState(); }

    QStringList Run(const QString& argument = QString()) {
        RecordingView view;
        StartupSequence(view, argument);
        return view.events;
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
};

} // namespace

TEST_F(StartupSequenceTest, Caches_OnlyMissingOnesAreRebuiltAndTheBarEndsFullAndHidden) {
    // A store without QVDATA: converted first, then every cache is built.
    QStringList events = Run();
    EXPECT_EQ(events.first(), "timer 3000") << "set before the conversion";
    EXPECT_EQ(events.mid(events.indexOf(Rebuilding(Msg::REBUILDING_STOCK_CACHE)) - 2),
              (QStringList{"pos 0", "pos 10", Rebuilding(Msg::REBUILDING_STOCK_CACHE), "timer 3000",
                           "pos 40", Rebuilding(Msg::REBUILDING_CONSISTS_CACHE), "timer 3000",
                           "pos 70", Rebuilding(Msg::REBUILDING_PATH_CACHE), "timer 3000",
                           "pos 100", "hide", Text(Msg::STARTUP_ACTIONS_COMPLETE)}));
    EXPECT_EQ(App().StockCacheList.size(), 1u);
    EXPECT_EQ(App().ConsistCacheList.size(), 1u);
    EXPECT_EQ(App().PathCacheList.size(), 1u);
    EXPECT_EQ(App().CurrentLotNumber, "1");
    EXPECT_TRUE(App().StatusCodeStack.isEmpty());

    // Every cache there: nothing to say until the end, and the splash closes at the next tick.
    EXPECT_EQ(Run(), kBarFilledAndHidden + QStringList(Text(Msg::STARTUP_ACTIONS_COMPLETE)));

    // Only the stock cache gone: the consist cache goes with it; the path cache stays as it is.
    const QByteArray paths = drive.Content(QStringLiteral("STORE/QVDATA/CACHEPAT.QVC"));
    ASSERT_TRUE(QFile::remove(drive.Host(QStringLiteral("STORE/QVDATA/CACHESTK.QVC"))));
    events = Run();
    EXPECT_TRUE(events.contains(Rebuilding(Msg::REBUILDING_STOCK_CACHE)));
    EXPECT_TRUE(events.contains(Rebuilding(Msg::REBUILDING_CONSISTS_CACHE)));
    EXPECT_FALSE(events.contains(Rebuilding(Msg::REBUILDING_PATH_CACHE)));
    EXPECT_EQ(drive.Content(QStringLiteral("STORE/QVDATA/CACHEPAT.QVC")), paths);
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(StartupSequenceTest, Caches_AConsistCacheBehindALinkOutOfBothFoldersIsLeftAlone) {
    // The store's data folder is another installation's, whose stock cache is missing.
    const QByteArray theirs = "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n";
    drive.MakeFile(QStringLiteral("Other/QVDATA/CACHECON.QVC"), theirs);
    ASSERT_TRUE(QFile::link(drive.Host(QStringLiteral("Other/QVDATA")),
                            drive.Host(QStringLiteral("STORE/QVDATA"))));
    Run();
    EXPECT_EQ(drive.Content(QStringLiteral("Other/QVDATA/CACHECON.QVC")), theirs);
}

TEST_F(StartupSequenceTest, CommandLineJob_RunsInsideTheSequenceBeforeItCompletes) {
    Run();
    ui.Expect(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), ID_NO);
    EXPECT_EQ(Run(QStringLiteral("-uc")),
              kBarFilledAndHidden +
                  QStringList({"text Unstore Everything!", Text(Msg::STARTUP_ACTIONS_COMPLETE)}));
    EXPECT_TRUE(App().CommandLineJob);
    EXPECT_EQ(ui.PendingExpectations(), 0);
}

TEST_F(StartupSequenceTest, SplashForm_ShowsTheVersionRunsTheSequenceAndClosesItself) {
    Run();
    App().ProgramTitle = QStringLiteral("Quarvel");
    App().ProgramVersion = QStringLiteral("1.2");
    App().ProgramFileVersion = QStringLiteral("1.2.0.7");
    TSplashForm splash(QString(), nullptr);
    // Should the form never close, the test ends it rather than hang.
    QTimer::singleShot(10000, &splash, [&splash] { splash.done(99); });
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_EQ(splash.findChild<QLabel*>("VersionLbl")->text(), "Version 1.2 (Build 1.2.0.7)");
    EXPECT_EQ(splash.windowTitle(), "About Quarvel");
    EXPECT_EQ(splash.findChild<QLabel*>("Description")->text(),
              Caption(Msg::STARTUP_ACTIONS_COMPLETE));
    EXPECT_TRUE(splash.findChild<QProgressBar*>("ProgressBar")->isHidden());
}
