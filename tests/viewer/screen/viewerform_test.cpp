// The viewer window on the screen (an X server of the test's own, Mesa drawing): a consist of
// the synthetic installation opens, loads on the timer's housekeeping and is drawn, vehicle by
// vehicle; F11 writes a screenshot beside, never over, an earlier one; the help window opens at
// the mouse, toggles with F1 and goes with the last viewer window.
#include "app/demo.h"
#include "canvastestkit.h"
#include "catalogue/cacherebuild.h"
#include "core/appstate.h"
#include "core/itemset.h"
#include "easy/fakewindow/xserver.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/mstsshapes.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/drivemap.h"
#include "platform/fakeui.h"
#include "viewer/forms/hintwindow.h"
#include "viewer/forms/viewercanvas.h"
#include "viewer/forms/viewerform.h"
#include "viewer/showshape.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qv {
namespace {

const QRgb kBackground = qRgb(0xA6, 0xCA, 0xF0);

bool IsBackground(QRgb c) {
    return std::abs(qRed(c) - qRed(kBackground)) <= 3 &&
           std::abs(qGreen(c) - qGreen(kBackground)) <= 3 &&
           std::abs(qBlue(c) - qBlue(kBackground)) <= 3;
}

// Runs of columns with drawing in them, from left to right (runs narrower than 3 pixels are
// noise at a vehicle's edge).
int DrawnRuns(const QImage& image) {
    int runs = 0, width = 0;
    for (int x = 0; x <= image.width(); ++x) {
        bool drawn = false;
        for (int y = 0; x < image.width() && y < image.height() && !drawn; ++y)
            drawn = !IsBackground(image.pixel(x, y));
        if (drawn) {
            ++width;
        } else {
            runs += width >= 3 ? 1 : 0;
            width = 0;
        }
    }
    return runs;
}

void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &event);
}

class ViewerFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        QV_REQUIRE_X_SERVER();
        ResetAppState();
        SetUi(&ui);
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        App().ViewerControlRegistered = true;
        drive.MakeFolder(QStringLiteral("STORE/QVDATA"));
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel, false, false);
        builder.AddWagon("COACH", "COACH.WAG", "Coach", WagonType::Passenger);
        builder.AddConsist("PAIR.CON", "Pair", {{"DASH9", "DASH9", true}, {"COACH", "COACH"}});
        ASSERT_EQ(WriteStockShapes(builder), 2);
        SetViewerWindowOpener(OpenViewerWindow);
    }
    void TearDown() override {
        ViewerHousekeeping(ViewerWindows(), true);
        ViewerHousekeeping(ViewerWindows(), false);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetViewerWindowOpener(nullptr);
        SetUi(nullptr);
        ResetAppState();
    }

    // Shows the consist and lets the timer's housekeeping load it.
    TViewerForm* OpenPair() {
        ShowShape(ItemSet{0,
                          PT_CONSIST,
                          0,
                          QStringLiteral("Pair"),
                          QString(),
                          QStringLiteral("PAIR.CON"),
                          {},
                          {}});
        EXPECT_EQ(ViewerWindows().Entries.size(), 1u);
        if (ViewerWindows().Entries.empty())
            return nullptr;
        auto* form = dynamic_cast<TViewerForm*>(ViewerWindows().Entries.back()->Window);
        Pump(200);
        ViewerHousekeeping(ViewerWindows(), false);
        Pump(300);
        return form;
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
};

TEST_F(ViewerFormTest, AConsistIsDrawnVehicleByVehicleAndF11WritesScreenshots) {
    TViewerForm* form = OpenPair();
    ASSERT_TRUE(form);
    ASSERT_EQ(ViewerWindows().Entries.back()->State, VS_SHOWN)
        << ui.Mismatches().join(u'|').toStdString();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Pair"));
    EXPECT_EQ(form->height(), 127);
    const QImage frame = form->ViewerCanvasWidget()->grabFramebuffer();
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(DrawnRuns(frame), 2) << "the engine and the coach, with a gap between them";

    QDir().mkpath(drive.Host(QStringLiteral("SHOTS")));
    App().ScreenshotFolder = QStringLiteral("C:\\SHOTS");
    Press(form->ViewerCanvasWidget(), Qt::Key_F11);
    Press(form->ViewerCanvasWidget(), Qt::Key_F11);
    const QStringList shots = QDir(drive.Host(QStringLiteral("SHOTS"))).entryList(QDir::Files);
    EXPECT_EQ(shots, QStringList({QStringLiteral("QVV0001.png"), QStringLiteral("QVV0002.png")}));
    const QImage shot(drive.Host(QStringLiteral("SHOTS/QVV0001.png")));
    EXPECT_EQ(DrawnRuns(shot), 2);
}

TEST_F(ViewerFormTest, HelpOpensAtTheMouseTogglesWithF1AndGoesWithTheLastViewer) {
    TViewerForm* form = OpenPair();
    ASSERT_TRUE(form);
    QCursor::setPos(120, 80);
    const QPoint mouse = QCursor::pos();
    Press(form->ViewerCanvasWidget(), Qt::Key_F1);
    TMyHintWindow* help = ViewerHelpWindow();
    ASSERT_TRUE(help);
    EXPECT_EQ(help->pos(), mouse);
    EXPECT_LE(help->width(), form->width());
    EXPECT_GT(help->height(), 40);
    // F1 in the viewer closes it, F1 again opens a new one, Esc in the help window closes it.
    Press(form->ViewerCanvasWidget(), Qt::Key_F1);
    EXPECT_FALSE(ViewerHelpWindow());
    Press(form->ViewerCanvasWidget(), Qt::Key_F1);
    ASSERT_TRUE(ViewerHelpWindow());
    Press(ViewerHelpWindow(), Qt::Key_Escape);
    EXPECT_FALSE(ViewerHelpWindow());

    Press(form->ViewerCanvasWidget(), Qt::Key_F1);
    ASSERT_TRUE(ViewerHelpWindow());
    ASSERT_TRUE(form->close());
    ViewerHousekeeping(ViewerWindows(), false);
    EXPECT_FALSE(ViewerHelpWindow());
    EXPECT_TRUE(ViewerWindows().Entries.empty());
}

// The demo's installation, as "scripts/run --demo" builds it: every consist of it opens and is
// drawn, and the wagon with the real shape loads it.
TEST(DemoViewer, EveryDemoConsistIsDrawn) {
    QV_REQUIRE_X_SERVER();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray savedRegistry = qgetenv("QUARVEL_REGISTRY_DIR");
    QString error;
    ASSERT_TRUE(PrepareDemo(folder.path(), &error)) << error.toStdString();
    ResetAppState();
    FakeUi ui;
    App().MstsRootFolder = JoinWindowsPath(
        u'Z', (folder.path() + QStringLiteral("/MSTS")).split(u'/', Qt::SkipEmptyParts));
    App().StoreRootFolder = JoinWindowsPath(
        u'Z', (folder.path() + QStringLiteral("/STORE")).split(u'/', Qt::SkipEmptyParts));
    App().ViewerControlRegistered = true;
    SetViewerWindowOpener(OpenViewerWindow);
    RecordList<ItemSet> consists;
    RebuildConsistCache(consists, false, nullptr);
    ASSERT_GE(consists.size(), 5u);
    bool realShapeLoaded = false;
    for (const auto& consist : consists) {
        SCOPED_TRACE(consist->FileName.toStdString());
        ItemSet item = *consist; // the cache's records carry attribute bits only
        item.PType |= PT_CONSIST;
        ShowShape(item);
        ASSERT_EQ(ViewerWindows().Entries.size(), 1u);
        auto* form = dynamic_cast<TViewerForm*>(ViewerWindows().Entries.back()->Window);
        Pump(50);
        ViewerHousekeeping(ViewerWindows(), false);
        Pump(50);
        ASSERT_EQ(ViewerWindows().Entries.back()->State, VS_SHOWN);
        for (const auto& model : ViewerWindows().Entries.back()->Header->Models)
            realShapeLoaded = realShapeLoaded ||
                              (ModelOf(*model) && ModelOf(*model)->Shape()->batches.size() > 2);
        EXPECT_GE(DrawnRuns(form->ViewerCanvasWidget()->grabFramebuffer()), 1);
        form->close();
        ViewerHousekeeping(ViewerWindows(), false);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    SetViewerWindowOpener(nullptr);
    ResetAppState();
    qputenv("QUARVEL_REGISTRY_DIR", savedRegistry);
    EXPECT_TRUE(realShapeLoaded) << "no consist showed the wagon with the real shape";
}

} // namespace
} // namespace qv
