// The main of the viewer's screen tests: the windows are shown and their events processed, which
// needs a real X display (the offscreen platform cannot put an OpenGL widget inside a window).
// An Xvfb of the program's own is started unless a display is given; without one the tests skip.
#include "easy/fakewindow/xserver.h"

#include <QApplication>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    const bool screen = !listing && qv::testing::EnsureXServer() == qv::testing::XServer::Available;
    qputenv("QT_QPA_PLATFORM", screen ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
