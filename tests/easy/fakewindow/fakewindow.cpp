// A stand-in for the programs the launch tests start: it can record how it was called, opens a
// top-level X window with a given title and class, and ends after a given time or once a given
// file appears. Options (every argument, options included, is recorded):
//   --argv-file F   writes its process id and then each argument, one per line, to F
//   --title T       the window's title (WM_NAME and _NET_WM_NAME)
//   --class C       the window's class (WM_CLASS class name; the instance name is "fakewindow")
//   --no-window     opens no window
//   --until-file F  ends once F exists (or its folder has gone: the test is over)
//   --seconds N     ends after N seconds at the latest (default 30)
// As MSTS does with an Explore session, once its window is up:
//   --remove-file F     removes F half a second later (MSTS takes up EXPLORER.ACT)
//   --copy-file S D     copies S to D two and a half seconds later (what the program made of S)
//   --make-file F       then creates F (a save made during the session)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::string Option(int argc, char** argv, const char* name, const char* fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    }
    return fallback;
}

bool Flag(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return true;
    }
    return false;
}

void RecordArguments(const std::string& file, int argc, char** argv) {
    const std::string temporary = file + ".part";
    {
        std::ofstream out(temporary, std::ios::binary);
        out << getpid() << '\n';
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\n';
    }
    // Appears whole, so a test never reads half of it.
    std::rename(temporary.c_str(), file.c_str());
}

Window OpenWindow(Display* display, const std::string& title, const std::string& windowClass) {
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 10, 10, 200, 100, 1,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, title.c_str());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
    XClassHint hint;
    std::string instance = "fakewindow";
    hint.res_name = instance.data();
    std::string className = windowClass;
    hint.res_class = className.data();
    XSetClassHint(display, window, &hint);
    const long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

} // namespace

int main(int argc, char** argv) {
    const std::string argvFile = Option(argc, argv, "--argv-file", "");
    if (!argvFile.empty())
        RecordArguments(argvFile, argc, argv);

    Display* display = nullptr;
    if (!Flag(argc, argv, "--no-window")) {
        display = XOpenDisplay(nullptr);
        if (!display)
            return 2;
        OpenWindow(display, Option(argc, argv, "--title", "Fake Window"),
                   Option(argc, argv, "--class", "FakeWindow"));
    }

    const std::string removeFile = Option(argc, argv, "--remove-file", "");
    const std::string makeFile = Option(argc, argv, "--make-file", "");
    std::string copyFrom, copyTo;
    for (int i = 1; i + 2 < argc; ++i) {
        if (std::strcmp(argv[i], "--copy-file") == 0) {
            copyFrom = argv[i + 1];
            copyTo = argv[i + 2];
        }
    }
    const auto start = std::chrono::steady_clock::now();
    bool removed = false, copied = false;

    const std::string untilFile = Option(argc, argv, "--until-file", "");
    const std::size_t slash = untilFile.rfind('/');
    const std::string untilFolder =
        slash == std::string::npos ? std::string(".") : untilFile.substr(0, slash + 1);
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::seconds(std::atoi(Option(argc, argv, "--seconds", "30").c_str()));
    while (std::chrono::steady_clock::now() < end) {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (!removed && !removeFile.empty() && elapsed > std::chrono::milliseconds(500)) {
            std::remove(removeFile.c_str());
            removed = true;
        }
        if (!copied && elapsed > std::chrono::milliseconds(2500)) {
            std::error_code ignored;
            if (!copyFrom.empty())
                std::filesystem::copy_file(
                    copyFrom, copyTo, std::filesystem::copy_options::overwrite_existing, ignored);
            if (!makeFile.empty())
                std::ofstream(makeFile, std::ios::binary) << "save";
            copied = true;
        }
        if (!untilFile.empty() &&
            (access(untilFile.c_str(), F_OK) == 0 || access(untilFolder.c_str(), F_OK) != 0))
            break;
        while (display && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (display)
        XCloseDisplay(display);
    return 0;
}
