// Whether the screen tests' windows are framed and placed by a window manager, as a desktop
// places them; set by the tests' main.
#pragma once

namespace qv::testing {

enum class WindowManager { Running, NotInstalled, Failed };
extern WindowManager screenWindowManager;

} // namespace qv::testing
