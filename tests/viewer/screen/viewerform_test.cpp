// The viewer window on the screen (an X server of the test's own, Mesa drawing), on the demo's
// installation as "scripts/run --demo" builds it: every consist opens, loads on the timer's
// housekeeping and is drawn vehicle by vehicle; F11 writes screenshots beside, never over, the
// earlier ones; the help window opens at the mouse, toggles with F1 and goes with the viewer.
#include "app/demo.h"
#include "catalogue/cacherebuild.h"
#include "core/appstate.h"
#include "core/itemset.h"
#include "easy/fakewindow/xserver.h"
#include "platform/drivemap.h"
#include "platform/fakeui.h"
#include "viewer/canvasshape.h"
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

// Runs of at least 3 columns with anything but the background (0xF0CAA6) in them.
int DrawnRuns(const QImage& image) {
    const auto background = [](QRgb c) {
        return std::abs(qRed(c) - 0xA6) <= 3 && std::abs(qGreen(c) - 0xCA) <= 3 &&
               std::abs(qBlue(c) - 0xF0) <= 3;
    };
    int runs = 0, width = 0;
    for (int x = 0; x <= image.width(); ++x) {
        bool drawn = false;
        for (int y = 0; x < image.width() && y < image.height() && !drawn; ++y)
            drawn = !background(image.pixel(x, y));
        width = drawn ? width + 1 : 0;
        runs += width == 3 ? 1 : 0;
    }
    return runs;
}

void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Press(QWidget* target, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QString ZPath(const QString& host) {
    return JoinWindowsPath(u'Z', host.split(u'/', Qt::SkipEmptyParts));
}

TEST(DemoViewer, EveryConsistIsDrawnAndTheWindowTakesScreenshotsAndShowsHelp) {
    QV_REQUIRE_X_SERVER();
    QTemporaryDir folder;
    const QByteArray savedRegistry = qgetenv("QUARVEL_REGISTRY_DIR");
    QString error;
    ASSERT_TRUE(PrepareDemo(folder.path(), &error)) << error.toStdString();
    ResetAppState();
    FakeUi ui;
    App().MstsRootFolder = ZPath(folder.path() + QStringLiteral("/MSTS"));
    App().StoreRootFolder = ZPath(folder.path() + QStringLiteral("/STORE"));
    App().ScreenshotFolder = ZPath(folder.path());
    App().ViewerControlRegistered = true;
    SetViewerWindowOpener(OpenViewerWindow);
    RecordList<ItemSet> consists;
    RebuildConsistCache(consists, false, nullptr);
    ASSERT_GE(consists.size(), 5u);
    bool realShapeLoaded = false;
    for (size_t i = 0; i < consists.size(); ++i) {
        SCOPED_TRACE(consists[i]->FileName.toStdString());
        ItemSet item = *consists[i]; // the cache's records carry attribute bits only
        item.PType |= PT_CONSIST;
        ShowShape(item);
        ASSERT_EQ(ViewerWindows().Entries.size(), 1u);
        auto* form = dynamic_cast<TViewerForm*>(ViewerWindows().Entries.back()->Window);
        Pump(50);
        ViewerHousekeeping(ViewerWindows(), false);
        Pump(50);
        ASSERT_EQ(ViewerWindows().Entries.back()->State, VS_SHOWN);
        EXPECT_EQ(form->windowTitle(), item.Description);
        for (const auto& model : ViewerWindows().Entries.back()->Header->Models)
            realShapeLoaded = realShapeLoaded ||
                              (ModelOf(*model) && ModelOf(*model)->Shape()->batches.size() > 2);
        // The boxes are shorter than the vehicles: a gap between each two.
        EXPECT_GE(DrawnRuns(form->ViewerCanvasWidget()->grabFramebuffer()), 2);
        if (i == 0) {
            Press(form->ViewerCanvasWidget(), Qt::Key_F11);
            Press(form->ViewerCanvasWidget(), Qt::Key_F11);
            EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("QVV*")}),
                      QStringList({QStringLiteral("QVV0001.png"), QStringLiteral("QVV0002.png")}));
            EXPECT_GE(DrawnRuns(QImage(folder.path() + QStringLiteral("/QVV0001.png"))), 2);

            QCursor::setPos(120, 80);
            const QPoint mouse = QCursor::pos();
            Press(form->ViewerCanvasWidget(), Qt::Key_F1);
            ASSERT_TRUE(ViewerHelpWindow());
            EXPECT_EQ(ViewerHelpWindow()->pos(), mouse);
            EXPECT_LE(ViewerHelpWindow()->width(), form->width());
            Press(form->ViewerCanvasWidget(), Qt::Key_F1);
            EXPECT_FALSE(ViewerHelpWindow());
            Press(form->ViewerCanvasWidget(), Qt::Key_F1);
            ASSERT_TRUE(ViewerHelpWindow());
            Press(ViewerHelpWindow(), Qt::Key_Escape);
            EXPECT_FALSE(ViewerHelpWindow());
            Press(form->ViewerCanvasWidget(), Qt::Key_F1); // left open: the viewer's close ends it
        }
        ASSERT_TRUE(form->close());
        ViewerHousekeeping(ViewerWindows(), false);
        EXPECT_FALSE(ViewerHelpWindow());
        EXPECT_TRUE(ViewerWindows().Entries.empty());
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(realShapeLoaded) << "no consist showed the wagon with the real shape";
    SetViewerWindowOpener(nullptr);
    ResetAppState();
    qputenv("QUARVEL_REGISTRY_DIR", savedRegistry);
}

} // namespace
} // namespace qv
