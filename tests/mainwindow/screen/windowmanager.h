// A window manager on the test's own X server: windows get frames and are placed as a desktop
// places them, so that where a window opens can be compared with where it was closed.
#pragma once

#include <sys/types.h>

namespace qv::testing {

enum class WindowManager { Running, NotInstalled, Failed };

class OwnWindowManager {
public:
    ~OwnWindowManager();
    // Starts openbox on $DISPLAY and waits until it has announced itself on the root window.
    WindowManager Start();

private:
    pid_t pid_ = 0;
};

} // namespace qv::testing
