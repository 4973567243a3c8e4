// The viewer windows' life and keys, on a fake window over a fake canvas: housekeeping moves an
// entry from created to shown and frees it once closed; a failed load is reported and freed; a
// tick inside a load changes nothing; the key table moves, zooms, turns, lights and saves.
#include "canvastestkit.h"
#include "core/appstate.h"
#include "core/regsettings.h"
#include "fakecanvas.h"
#include "fixtures/registrysandbox.h"
#include "platform/fakeui.h"
#include "viewer/viewerwindow.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

class FailingCanvas : public test::FakeCanvas {
public:
    bool Startup() override { return false; }
};

class FakeViewerWindow : public ViewerWindow {
public:
    FakeViewerWindow(ViewerWindowList& list, std::unique_ptr<SVIEWHeaderInfo> header,
                     std::unique_ptr<test::FakeCanvas> canvas)
        : ViewerWindow(list), canvas_(std::move(canvas)) {
        Register(std::move(header), 127);
        FormShow();
    }
    test::FakeCanvas& Fake() { return *canvas_; }

    void MinimiseWindow() override {}
    void RestoreAndRaise() override {}
    void DestroyWindow() override { destroyed = true; }

    std::function<void()> duringLoad; // runs while the window loads, between its models
    QSize size{864, 127};
    bool destroyed = false;

protected:
    Canvas& ViewCanvas() override { return *canvas_; }
    QSize WindowSize() const override { return size; }
    void ResizeWindow(QSize s) override { size = s; }
    void MoveWindow(QPoint) override {}
    QRect MainFormGeometry() const override { return QRect(0, 0, 1000, 700); }
    QSize ScreenSize() const override { return QSize(1600, 900); }
    int ScreenDpi() const override { return 96; }
    void SetCaption(const QString&) override {}
    void HideWindow() override {}
    bool Minimised() const override { return false; }
    void ToggleHelp() override {}
    bool ChooseBackground(quint32*) override { return false; }
    void ScreenshotFlash() override {}
    void FocusCanvas() override {}
    void Beep() override {}
    void ProcessMessages() override {
        if (duringLoad)
            duringLoad();
    }
    void SetWaitCursor(bool) override {}

private:
    std::unique_ptr<test::FakeCanvas> canvas_;
};

class ViewerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        ASSERT_TRUE(folder.Write(QStringLiteral("SET/box.s"), test::BoxTextFile()));
        ASSERT_TRUE(folder.Write(QStringLiteral("SET/box.ace"), test::BoxTexture()));
    }

    // A consist of boxes, 10 m each.
    FakeViewerWindow* Open(int vehicles, std::unique_ptr<test::FakeCanvas> canvas = nullptr) {
        auto header = std::make_unique<SVIEWHeaderInfo>();
        for (int i = 0; i < vehicles; ++i) {
            header->Models.push_back(NewSviewModelInfo());
            header->Models.back()->Shape = folder.Windows(QStringLiteral("SET/box.s"));
            header->Models.back()->Length = 10;
        }
        windows.push_back(std::make_unique<FakeViewerWindow>(
            list, std::move(header),
            canvas ? std::move(canvas) : std::make_unique<test::FakeCanvas>()));
        return windows.back().get();
    }

    int StateOf(const FakeViewerWindow* window) {
        const ViewerEntry* entry = FindViewerEntry(list, window, 0);
        return entry ? entry->State : -1;
    }

    RegistrySandbox registry;
    FakeUi ui;
    test::StockFolder folder;
    ViewerWindowList list;
    std::vector<std::unique_ptr<FakeViewerWindow>> windows;
};

TEST_F(ViewerWindowTest, HousekeepingLoadsOnATickAndFreesAfterTheClose) {
    FakeViewerWindow* window = Open(3);
    EXPECT_EQ(StateOf(window), VS_CREATED);
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(window), VS_SHOWN);
    EXPECT_FALSE(App().Busy);
    // Three vehicles of one shape: read once, drawn three times.
    EXPECT_EQ(window->Fake().Scene().size(), 3u);
    EXPECT_EQ(window->Fake().Library().ShapeReads(), 1);
    EXPECT_TRUE(window->FormClose());
    EXPECT_EQ(StateOf(window), VS_CLOSED);
    ViewerHousekeeping(list, false);
    EXPECT_TRUE(window->destroyed);
    EXPECT_TRUE(list.Entries.empty());
}

TEST_F(ViewerWindowTest, TheFreightShapeIsLoadedAlsoWhenTheMainShapeCannotBeRead) {
    ASSERT_TRUE(folder.Write(QStringLiteral("SET/broken.s"), QByteArray("not a shape")));
    FakeViewerWindow* window = Open(1);
    SVIEWModelInfo& wagon = *window->Header()->Models.front();
    wagon.SecondShape = wagon.Shape;
    wagon.Shape = folder.Windows(QStringLiteral("SET/broken.s"));
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(window), VS_SHOWN);
    EXPECT_FALSE(wagon.Model);
    EXPECT_TRUE(wagon.SecondModel);
    EXPECT_EQ(window->Fake().Scene().size(), 1u);
}

TEST_F(ViewerWindowTest, AFailingLoadShowsTheStopBoxAndIsFreedOnTheNextTick) {
    ui.Expect(QStringLiteral("Failure in operation with TRAINLIB.OCX"), ID_OK);
    FakeViewerWindow* window = Open(2, std::make_unique<FailingCanvas>());
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(window), VS_TO_CLOSE);
    EXPECT_FALSE(App().Busy);
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown().front().style, MB_ICONSTOP);
    ViewerHousekeeping(list, false);
    EXPECT_TRUE(window->destroyed);
}

TEST_F(ViewerWindowTest, ATickInsideALoadNeitherFreesNorLoads) {
    FakeViewerWindow* closed = Open(1);
    ViewerHousekeeping(list, false);
    closed->FormClose();
    FakeViewerWindow* loading = Open(2);
    FakeViewerWindow* waiting = nullptr;
    int innerTicks = 0;
    loading->duringLoad = [&] {
        ++innerTicks;
        if (!waiting)
            waiting = Open(1); // opened meanwhile: waits for an idle tick
        ViewerHousekeeping(list, false);
        EXPECT_TRUE(App().Busy) << "the inner pass switched the busy flag off";
        EXPECT_EQ(StateOf(loading), VS_LOADING);
        EXPECT_EQ(StateOf(waiting), VS_CREATED);
        EXPECT_EQ(StateOf(closed), VS_CLOSED) << "the inner pass freed an entry";
    };
    ViewerHousekeeping(list, false);
    EXPECT_EQ(innerTicks, 3); // after each model and once at the end
    EXPECT_EQ(StateOf(loading), VS_SHOWN);
    EXPECT_TRUE(closed->destroyed);
    EXPECT_FALSE(App().Busy);
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(waiting), VS_SHOWN);
}

TEST_F(ViewerWindowTest, NothingLoadsClosesOrAnswersKeysWhileBusy) {
    FakeViewerWindow* window = Open(3);
    App().Busy = true;
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(window), VS_CREATED);
    window->CanvasKeyDown(Qt::Key_Escape, 0);
    EXPECT_FALSE(window->FormClose());
    App().Busy = false;
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(window), VS_SHOWN);
}

TEST_F(ViewerWindowTest, KeysMoveAlongTheConsistZoomTurnAndLight) {
    FakeViewerWindow* window = Open(5); // centres 5, 15, 25, 35, 45; middle 2
    ViewerHousekeeping(list, false);
    SVIEWHeaderInfo& h = *window->Header();
    test::FakeCanvas& canvas = window->Fake();
    const float distance = h.CameraDistance;
    const int light = canvas.LightAngle();
    canvas.SetAmbient(0xFFFFFE01);
    struct Step {
        const char* name;
        int key, shift;
        int index;
        float eyeZ, distance;
        quint32 ambient;
    } steps[] = {
        {"Right moves on", Qt::Key_Right, 0, 3, 35, distance, 0xFFFFFE01},
        {"Shift+Right goes to the last", Qt::Key_Right, VK_SHIFT_MASK, 4, 45, distance, 0xFFFFFE01},
        {"Right at the last stays", Qt::Key_Right, 0, 4, 45, distance, 0xFFFFFE01},
        {"Shift+Left goes to the first", Qt::Key_Left, VK_SHIFT_MASK, 0, 5, distance, 0xFFFFFE01},
        {"Home goes to the middle", Qt::Key_Home, 0, 2, 25, distance, 0xFFFFFE01},
        {"keypad minus zooms out", kKeypadMinus, 0, 2, 25, distance + 0.25f, 0xFFFFFE01},
        {"Insert brightens", Qt::Key_Insert, 0, 2, 25, distance + 0.25f, 0xFFFFFF02},
        {"Insert stops at 255", Qt::Key_Insert, 0, 2, 25, distance + 0.25f, 0xFFFFFF03},
        {"Delete darkens", Qt::Key_Delete, 0, 2, 25, distance + 0.25f, 0xFFFEFE02},
        {"R mirrors the camera", Qt::Key_R, 0, 2, 25, -(distance + 0.25f), 0xFFFEFE02},
        {"on the other side Right goes back", Qt::Key_Right, 0, 1, 15, -(distance + 0.25f),
         0xFFFEFE02},
        {"keypad plus comes closer", kKeypadPlus, 0, 1, 15, -distance, 0xFFFEFE02},
    };
    for (const Step& s : steps) {
        window->CanvasKeyDown(s.key, s.shift);
        EXPECT_EQ(h.CurrentIndex, s.index) << s.name;
        EXPECT_FLOAT_EQ(canvas.View().eye.z, s.eyeZ) << s.name;
        EXPECT_FLOAT_EQ(canvas.View().eye.x, s.distance) << s.name;
        EXPECT_EQ(canvas.Ambient(), s.ambient) << s.name;
    }
    EXPECT_EQ(canvas.LightAngle(), 1440 - light);
    window->CanvasKeyDown(Qt::Key_R, 0);
    EXPECT_EQ(canvas.LightAngle(), light);
    EXPECT_FLOAT_EQ(h.CameraDistance, distance);
    EXPECT_FLOAT_EQ(h.InOutOffset, 0.5f); // both zooms added to it
}

TEST_F(ViewerWindowTest, AnimationStepsWrapAfterOne) {
    FakeViewerWindow* window = Open(1);
    ViewerHousekeeping(list, false);
    std::vector<float> phases;
    for (int press = 0; press < 35; ++press) {
        window->CanvasKeyDown(Qt::Key_A, 0);
        phases.push_back(window->Header()->AnimationPhase);
    }
    EXPECT_NEAR(phases[32], 0.99f, 1e-4); // 33 steps of 0.03
    EXPECT_NEAR(phases[33], 0.0f, 1e-4);  // past 1.0: back to 0
    EXPECT_NEAR(phases[34], 0.03f, 1e-4);
    EXPECT_FLOAT_EQ(window->Fake().Scene().front().phase, phases[34]);
}

TEST_F(ViewerWindowTest, CtrlSSavesTheViewAndCtrlShiftSRemovesIt) {
    FakeViewerWindow* window = Open(1);
    ViewerHousekeeping(list, false);
    window->Fake().SetBackgroundColour(0x123456);
    window->Fake().SetAmbient(0xFF606060);
    window->CanvasKeyDown(kKeypadMinus, 0);
    window->size = QSize(900, 150);
    window->CanvasKeyDown(Qt::Key_S, VK_CTRL_MASK);
    const std::pair<const char*, const char*> saved[] = {{"Viewer Background", "1193046"},
                                                         {"Viewer F12", "false"},
                                                         {"Viewer Ambient", "4284506208"},
                                                         {"Viewer InOut", "0.25"},
                                                         {"Viewer Height", "150"}};
    for (const auto& [name, value] : saved)
        EXPECT_EQ(RegReadString(kProductKey, QLatin1String(name)), QLatin1String(value)) << name;

    // The next window takes them.
    FakeViewerWindow* next = Open(1);
    EXPECT_EQ(list.ViewerHeight, 150);
    ViewerHousekeeping(list, false);
    EXPECT_EQ(next->Fake().BackgroundColour(), 0x123456u);
    EXPECT_EQ(next->Fake().Ambient(), 0xFF606060u);

    window->CanvasKeyDown(Qt::Key_S, VK_CTRL_MASK | VK_SHIFT_MASK);
    for (const auto& [name, value] : saved)
        EXPECT_TRUE(RegReadString(kProductKey, QLatin1String(name)).isEmpty()) << name;
}

} // namespace
} // namespace qv
