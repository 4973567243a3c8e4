// The one way the program ends itself after a failure it cannot go on from ("ends the program with
// exit status 1"). Tests install a hook so that the end can be observed instead of happening.
#pragma once

#include <functional>

namespace qv {

using TerminateHook = std::function<void(int status)>;

// Ends the program with the given exit status, or calls the installed hook. When a hook returns,
// TerminateProgram returns too: callers must return at once after calling it.
void TerminateProgram(int status);

// Installs a hook (an empty one restores the real end). Returns the previous hook.
TerminateHook SetTerminateHook(TerminateHook hook);

} // namespace qv
