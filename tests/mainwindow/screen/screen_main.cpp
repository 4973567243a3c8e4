// The main of the main window's screen tests: an Xvfb of the program's own with openbox on it,
// so that the window is framed and placed by a window manager. Without Xvfb or openbox the
// tests skip.
#include "easy/fakewindow/xserver.h"
#include "mainwindow/screen/windowmanager.h"

#include <QApplication>
#include <cstring>
#include <gtest/gtest.h>

namespace qv::testing {
WindowManager screenWindowManager = WindowManager::NotInstalled;
}

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    // A display of the test's own: a desktop's own window manager would place windows its way.
    qunsetenv("DISPLAY");
    const bool screen = !listing && qv::testing::EnsureXServer() == qv::testing::XServer::Available;
    static qv::testing::OwnWindowManager manager;
    if (screen)
        qv::testing::screenWindowManager = manager.Start();
    qputenv("QT_QPA_PLATFORM", screen ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
