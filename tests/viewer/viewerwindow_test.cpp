// The viewer windows' life and keys, on a fake window over a fake canvas: housekeeping moves an
// entry from created to shown and frees it once closed; a failed load is reported and freed; a
// tick inside a load changes nothing; the key table moves, zooms, turns and saves.
#include "canvastestkit.h"
#include "core/appstate.h"
#include "core/regsettings.h"
#include "fakecanvas.h"
#include "fixtures/registrysandbox.h"
#include "platform/fakeui.h"
#include "viewer/viewerwindow.h"

#include <QDir>
#include <gtest/gtest.h>

namespace qv {
namespace {

class FakeCanvasFailing : public test::FakeCanvas {
public:
    bool Startup() override { return false; }
};

class FakeViewerWindow : public ViewerWindow {
public:
    FakeViewerWindow(ViewerWindowList& list, std::unique_ptr<SVIEWHeaderInfo> header,
                     std::unique_ptr<test::FakeCanvas> canvas = nullptr)
        : ViewerWindow(list),
          canvas_(canvas ? std::move(canvas) : std::make_unique<test::FakeCanvas>()) {
        Register(std::move(header), 127);
        FormShow();
    }
    ~FakeViewerWindow() override = default;

    test::FakeCanvas& Fake() { return *canvas_; }
    using ViewerWindow::RenderFrame;

    void MinimiseWindow() override { minimised = true; }
    void RestoreAndRaise() override { ++raised; }
    void DestroyWindow() override { destroyed = true; }

    // Runs while the window loads, between its models.
    std::function<void()> duringLoad;
    QSize size{864, 127};
    bool hidden = false, minimised = false, destroyed = false;
    int raised = 0, helpToggles = 0, beeps = 0;

protected:
    Canvas& ViewCanvas() override { return *canvas_; }
    QSize WindowSize() const override { return size; }
    void ResizeWindow(QSize s) override { size = s; }
    void MoveWindow(QPoint) override {}
    QRect MainFormGeometry() const override { return QRect(0, 0, 1000, 700); }
    QSize ScreenSize() const override { return QSize(1600, 900); }
    int ScreenDpi() const override { return 96; }
    void SetCaption(const QString& caption) override { captions << caption; }
    void HideWindow() override { hidden = true; }
    bool Minimised() const override { return minimised; }
    void ToggleHelp() override { ++helpToggles; }
    bool ChooseBackground(quint32*) override { return false; }
    void ScreenshotFlash() override {}
    void FocusCanvas() override {}
    void Beep() override { ++beeps; }
    void ProcessMessages() override {
        if (duringLoad)
            duringLoad();
    }
    void SetWaitCursor(bool) override {}

public:
    QStringList captions;

private:
    std::unique_ptr<test::FakeCanvas> canvas_;
};

class ViewerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        ASSERT_TRUE(folder.Ok());
        ASSERT_TRUE(folder.Write(QStringLiteral("SET/box.s"), test::BoxTextFile()));
        ASSERT_TRUE(folder.Write(QStringLiteral("SET/box.ace"), test::BoxTexture()));
    }

    // A consist of `count` boxes, 10 m apart.
    std::unique_ptr<SVIEWHeaderInfo> Consist(int count) {
        auto header = std::make_unique<SVIEWHeaderInfo>();
        header->Title = QStringLiteral("Box train");
        header->Side = 1;
        for (int i = 0; i < count; ++i) {
            header->Models.push_back(NewSviewModelInfo());
            header->Models.back()->Shape = folder.Windows(QStringLiteral("SET/box.s"));
            header->Models.back()->Length = 10;
        }
        return header;
    }

    FakeViewerWindow* Open(int vehicles, std::unique_ptr<test::FakeCanvas> canvas = nullptr) {
        windows.push_back(
            std::make_unique<FakeViewerWindow>(list, Consist(vehicles), std::move(canvas)));
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
    EXPECT_DOUBLE_EQ(window->Header()->TotalLength, 30);
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(window), VS_SHOWN);
    EXPECT_FALSE(App().Busy);
    // Three vehicles of one shape: loaded once, drawn three times.
    EXPECT_EQ(window->Fake().Scene().size(), 3u);
    EXPECT_EQ(window->Fake().Library().ShapeReads(), 1);
    EXPECT_EQ(window->captions.last(), QStringLiteral("Box train"));
    EXPECT_EQ(window->Header()->CurrentIndex, window->Header()->MiddleIndex);

    EXPECT_TRUE(window->FormClose());
    EXPECT_TRUE(window->hidden);
    EXPECT_EQ(StateOf(window), VS_CLOSED);
    ViewerHousekeeping(list, false);
    EXPECT_TRUE(window->destroyed);
    EXPECT_TRUE(list.Entries.empty());
}

TEST_F(ViewerWindowTest, AFailingLoadShowsTheStopBoxAndIsFreedOnTheNextTick) {
    ui.Expect(QStringLiteral("Failure in operation with TRAINLIB.OCX"), ID_OK);
    FakeViewerWindow* window = Open(2, std::make_unique<FakeCanvasFailing>());
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(window), VS_TO_CLOSE);
    EXPECT_FALSE(App().Busy);
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown().front().style, MB_ICONSTOP);
    ViewerHousekeeping(list, false);
    EXPECT_TRUE(window->destroyed);
    EXPECT_TRUE(list.Entries.empty());
}

TEST_F(ViewerWindowTest, ATickInsideALoadNeitherFreesNorLoads) {
    FakeViewerWindow* closed = Open(1);
    FakeViewerWindow* waiting = Open(1);
    FakeViewerWindow* loading = Open(2);
    ViewerHousekeeping(list, false); // loads all three
    ASSERT_EQ(StateOf(loading), VS_SHOWN);
    closed->FormClose();
    // A fresh window during whose load the timer ticks.
    FakeViewerWindow* fresh = Open(2);
    int innerTicks = 0;
    fresh->duringLoad = [&] {
        ++innerTicks;
        EXPECT_TRUE(App().Busy);
        ViewerHousekeeping(list, false);
        EXPECT_TRUE(App().Busy) << "the inner pass switched the busy flag off";
        EXPECT_EQ(StateOf(fresh), VS_LOADING);
        EXPECT_EQ(StateOf(closed), VS_CLOSED) << "the inner pass freed an entry";
    };
    ViewerHousekeeping(list, false);
    EXPECT_EQ(innerTicks, 3); // after each model and once at the end
    EXPECT_EQ(StateOf(fresh), VS_SHOWN);
    EXPECT_FALSE(App().Busy);
    EXPECT_TRUE(closed->destroyed);
    EXPECT_EQ(StateOf(waiting), VS_SHOWN);
    EXPECT_EQ(list.Entries.size(), 3u);
}

TEST_F(ViewerWindowTest, NothingLoadsOrClosesWhileBusy) {
    FakeViewerWindow* window = Open(1);
    App().Busy = true;
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(window), VS_CREATED);
    EXPECT_FALSE(window->FormClose());
    EXPECT_TRUE(App().Busy);
    App().Busy = false;
    ViewerHousekeeping(list, false);
    EXPECT_EQ(StateOf(window), VS_SHOWN);
}

TEST_F(ViewerWindowTest, ShiftCloseClosesAllAndShiftMinimiseMinimisesAll) {
    FakeViewerWindow* a = Open(1);
    FakeViewerWindow* b = Open(1);
    ViewerHousekeeping(list, false);
    a->FormKeyDown(Qt::Key_Shift, VK_SHIFT_MASK);
    a->minimised = true;
    a->FormResize();
    ViewerHousekeeping(list, false);
    EXPECT_TRUE(b->minimised);
    b->FormKeyDown(Qt::Key_Shift, VK_SHIFT_MASK);
    b->FormClose();
    ViewerHousekeeping(list, false);
    EXPECT_TRUE(a->destroyed && b->destroyed);
    EXPECT_TRUE(list.Entries.empty());
}

TEST_F(ViewerWindowTest, ClosingTheLastWindowClosesTheHelpWindow) {
    FakeViewerWindow* window = Open(1);
    ViewerHousekeeping(list, false);
    int helpClosed = 0;
    list.CloseHelpWindow = [&] { ++helpClosed; };
    ViewerHousekeeping(list, false);
    EXPECT_EQ(helpClosed, 0);
    window->FormClose();
    ViewerHousekeeping(list, false);
    EXPECT_EQ(helpClosed, 1);
    EXPECT_FALSE(list.CloseHelpWindow);
}

TEST_F(ViewerWindowTest, KeysMoveAlongTheConsistZoomAndTurn) {
    FakeViewerWindow* window = Open(5);
    ViewerHousekeeping(list, false);
    SVIEWHeaderInfo& h = *window->Header();
    const float distance = h.CameraDistance;
    struct Step {
        const char* name;
        int key, shift;
        int index;
        double eyeZ;
    } steps[] = {
        {"Right moves on", Qt::Key_Right, 0, 3, 35},
        {"Shift+Right goes to the last", Qt::Key_Right, VK_SHIFT_MASK, 4, 45},
        {"Right at the last stays", Qt::Key_Right, 0, 4, 45},
        {"Shift+Left goes to the first", Qt::Key_Left, VK_SHIFT_MASK, 0, 5},
        {"Left at the first stays", Qt::Key_Left, 0, 0, 5},
        {"Home goes to the middle", Qt::Key_Home, 0, 2, 25},
    };
    for (const Step& s : steps) {
        window->CanvasKeyDown(s.key, s.shift);
        EXPECT_EQ(h.CurrentIndex, s.index) << s.name;
        EXPECT_FLOAT_EQ(h.EyeZ, float(s.eyeZ)) << s.name;
        EXPECT_FLOAT_EQ(window->Fake().View().eye.z, float(s.eyeZ)) << s.name;
    }
    window->CanvasKeyDown(kKeypadMinus, 0);
    EXPECT_FLOAT_EQ(h.CameraDistance, distance + 0.25f);
    EXPECT_FLOAT_EQ(h.InOutOffset, 0.25f);
    window->CanvasKeyDown(kKeypadPlus, 0);
    window->CanvasKeyDown(kKeypadPlus, 0);
    EXPECT_FLOAT_EQ(h.CameraDistance, distance - 0.25f);

    // R mirrors the camera and the light; a second R turns back.
    const int light = window->Fake().LightAngle();
    window->CanvasKeyDown(Qt::Key_R, 0);
    EXPECT_EQ(h.Side, 3);
    EXPECT_LT(h.CameraDistance, 0);
    EXPECT_EQ(window->Fake().LightAngle(), 1440 - light);
    EXPECT_LT(window->Fake().View().eye.x, 0);
    window->CanvasKeyDown(Qt::Key_Right, 0); // on the other side Right goes back
    EXPECT_EQ(h.CurrentIndex, 1);
    window->CanvasKeyDown(Qt::Key_R, 0);
    EXPECT_EQ(h.Side, 1);
    EXPECT_GT(h.CameraDistance, 0);
    EXPECT_EQ(window->Fake().LightAngle(), light);

    window->CanvasKeyDown(Qt::Key_F1, 0);
    EXPECT_EQ(window->helpToggles, 1);
}

TEST_F(ViewerWindowTest, AnimationStepsWrapAfterOne) {
    FakeViewerWindow* window = Open(1);
    ViewerHousekeeping(list, false);
    float last = 0;
    int wraps = 0;
    for (int press = 0; press < 40; ++press) {
        window->CanvasKeyDown(Qt::Key_A, 0);
        const float phase = window->Header()->AnimationPhase;
        if (phase == 0.0f) {
            ++wraps;
            EXPECT_GT(last + 0.03f, 1.0f);
        } else {
            EXPECT_NEAR(phase, last + 0.03f, 1e-5);
        }
        last = phase;
    }
    EXPECT_EQ(wraps, 1);
    ASSERT_FALSE(window->Fake().Scene().empty());
    EXPECT_FLOAT_EQ(window->Fake().Scene().front().phase, last);
}

TEST_F(ViewerWindowTest, InsertAndDeleteStepTheLightPerChannel) {
    FakeViewerWindow* window = Open(1);
    ViewerHousekeeping(list, false);
    window->Fake().SetAmbient(0xFFFFFE01);
    window->CanvasKeyDown(Qt::Key_Insert, 0);
    window->CanvasKeyDown(Qt::Key_Insert, 0);
    EXPECT_EQ(window->Fake().Ambient(), 0xFFFFFF03u);
    window->Fake().SetAmbient(0x7F010002);
    for (int i = 0; i < 3; ++i)
        window->CanvasKeyDown(Qt::Key_Delete, 0);
    EXPECT_EQ(window->Fake().Ambient(), 0x7F000000u);
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

    // The next window takes them: height, background, ambient and offset.
    FakeViewerWindow* next = Open(1);
    EXPECT_EQ(list.ViewerHeight, 150);
    EXPECT_FLOAT_EQ(NewSviewHeaderInfo()->InOutOffset, 0.25f);
    ViewerHousekeeping(list, false);
    EXPECT_EQ(next->Fake().BackgroundColour(), 0x123456u);
    EXPECT_EQ(next->Fake().Ambient(), 0xFF606060u);

    window->CanvasKeyDown(Qt::Key_S, VK_CTRL_MASK | VK_SHIFT_MASK);
    for (const auto& [name, value] : saved)
        EXPECT_TRUE(RegReadString(kProductKey, QLatin1String(name)).isEmpty()) << name;
}

TEST_F(ViewerWindowTest, CtrlF6RaisesTheNextWindowAndShiftF6ThePrevious) {
    FakeViewerWindow* a = Open(1);
    FakeViewerWindow* b = Open(1);
    FakeViewerWindow* c = Open(1);
    ViewerHousekeeping(list, false);
    c->CanvasKeyDown(Qt::Key_F6, VK_CTRL_MASK);
    EXPECT_EQ(a->raised, 1);
    a->CanvasKeyDown(Qt::Key_F6, VK_SHIFT_MASK);
    EXPECT_EQ(c->raised, 1);
    EXPECT_EQ(b->raised, 0);
}

TEST_F(ViewerWindowTest, KeysAreIgnoredWhileBusy) {
    FakeViewerWindow* window = Open(3);
    ViewerHousekeeping(list, false);
    const int index = window->Header()->CurrentIndex;
    App().Busy = true;
    window->CanvasKeyDown(Qt::Key_Right, 0);
    window->CanvasKeyDown(Qt::Key_Escape, 0);
    App().Busy = false;
    EXPECT_EQ(window->Header()->CurrentIndex, index);
    EXPECT_EQ(StateOf(window), VS_SHOWN);
    window->CanvasKeyDown(Qt::Key_Escape, 0);
    EXPECT_EQ(StateOf(window), VS_CLOSED);
}

TEST_F(ViewerWindowTest, AScreenshotNeedsAnExistingFolder) {
    FakeViewerWindow* window = Open(1);
    ViewerHousekeeping(list, false);
    App().ScreenshotFolder = folder.Windows(QStringLiteral("missing"));
    window->CanvasKeyDown(Qt::Key_F11, 0);
    EXPECT_EQ(window->beeps, 0);
    QDir().mkpath(folder.Host(QStringLiteral("shots")));
    App().ScreenshotFolder = folder.Windows(QStringLiteral("shots"));
    window->CanvasKeyDown(Qt::Key_F11, 0);
    EXPECT_EQ(window->beeps, 1);
    EXPECT_EQ(window->Fake().FileName(),
              folder.Windows(QStringLiteral("shots")) + QStringLiteral("\\QVV"));
}

TEST_F(ViewerWindowTest, SharedShapesAndMissingFiles) {
    auto header = Consist(3);
    header->Models[1]->Shape = folder.Windows(QStringLiteral("SET/missing.s"));
    header->Models[2]->Shape = folder.Windows(QStringLiteral("SET/BOX.S"));
    header->Models[2]->SecondShape = folder.Windows(QStringLiteral("set/box.s"));
    windows.push_back(std::make_unique<FakeViewerWindow>(list, std::move(header)));
    FakeViewerWindow* window = windows.back().get();
    ViewerHousekeeping(list, false);
    const SVIEWHeaderInfo& h = *window->Header();
    EXPECT_TRUE(h.Models[0]->Model);
    EXPECT_FALSE(h.Models[1]->Model);
    EXPECT_TRUE(h.Models[2]->Model);
    EXPECT_EQ(FindLoadedModel(h, folder.Windows(QStringLiteral("SET/BOX.s")), 1).get(),
              h.Models[0]->Model.get());
    EXPECT_FALSE(FindLoadedModel(h, folder.Windows(QStringLiteral("SET/missing.s")), 3));
    EXPECT_EQ(window->Fake().Scene().size(), 3u); // two models and a second model
}

} // namespace
} // namespace qv
