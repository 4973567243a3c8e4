#include "platform/xwindows.h"

#include "easy/fakewindow/xserver.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// Top-level windows made by the test itself on its own connection.
class XWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QV_REQUIRE_X_SERVER();
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
    }
    void TearDown() override {
        if (display_)
            XCloseDisplay(display_);
    }

    // A window with WM_NAME `title` (and _NET_WM_NAME `netTitle` when given), WM_CLASS
    // instance/class, and _NET_WM_PID when pid is not 0.
    Window MakeWindow(const std::string& title, std::string instance, std::string windowClass,
                      long pid = 0, const std::string& netTitle = std::string()) {
        const Window window =
            XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 50, 50, 0, 0, 0);
        XStoreName(display_, window, title.c_str());
        if (!netTitle.empty())
            XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False),
                            XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(netTitle.data()),
                            int(netTitle.size()));
        XClassHint hint{instance.data(), windowClass.data()};
        XSetClassHint(display_, window, &hint);
        if (pid)
            XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_PID", False),
                            XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&pid), 1);
        XMapWindow(display_, window);
        XSync(display_, False);
        return window;
    }

    Display* display_ = nullptr;
};

} // namespace

TEST(XWindowsNoDisplay, FindsNothingAndDoesNothingWithoutADisplay) {
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    EXPECT_EQ(FindXWindow(S("TrainSim"), S("Train Simulator")), 0u);
    EXPECT_FALSE(RestoreXWindow(0x400001));
    EXPECT_FALSE(MinimiseXWindow(0x400001));
    qputenv("DISPLAY", ":4711");
    EXPECT_EQ(FindXWindow(S("TrainSim"), S("Train Simulator")), 0u);
    EXPECT_FALSE(ActivateXWindow(0x400001));
    if (display.isEmpty())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);
}

TEST_F(XWindowsTest, FindXWindow_MatchesClassAndTitleWithoutRegardToCase) {
    const Window msts = MakeWindow("Train Simulator QV", "train", "TrainSim");
    const Window utf8 = MakeWindow("old name", "viewer", "Viewer", 0, "Zürich Überblick");
    const Window wine = MakeWindow("Wine Simulator QV", "train.exe", "train.exe");
    EXPECT_EQ(FindXWindow(S("TRAINSIM"), S("train simulator qv")), WindowHandle(msts));
    EXPECT_EQ(FindXWindow(S("Train"), S("Train Simulator QV")), WindowHandle(msts));
    EXPECT_EQ(FindXWindow(S("TrainSimX"), S("Train Simulator QV")), 0u);
    EXPECT_EQ(FindXWindow(S("TrainSim"), S("Train Simulator")), 0u);
    EXPECT_EQ(FindXWindow(S("viewer"), S("zÜrich überblick")), WindowHandle(utf8));
    EXPECT_EQ(FindXWindow(S("viewer"), S("old name")), 0u);
    // Wine does not show the Windows class: its windows match on their title.
    EXPECT_EQ(FindXWindow(S("TrainSim"), S("wine simulator qv")), WindowHandle(wine));
}

TEST_F(XWindowsTest, FindXWindow_PassesOverTheWindowsOfTheProcessToSkip) {
    const Window own = MakeWindow("Quarvel QV", "quarvel", "Quarvel", long(getpid()));
    EXPECT_EQ(FindXWindow(S("Quarvel"), S("Quarvel QV"), getpid()), 0u);
    EXPECT_EQ(FindXWindow(S("Quarvel"), S("Quarvel QV")), WindowHandle(own));
}

TEST_F(XWindowsTest, RestoreXWindow_MapsAHiddenWindowAgain) {
    const Window window = MakeWindow("Hidden QV", "hidden", "Hidden");
    XUnmapWindow(display_, window);
    XSync(display_, False);
    ASSERT_TRUE(RestoreXWindow(window));
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display_, window, &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_FALSE(RestoreXWindow(0x7FFFFFF));
}
