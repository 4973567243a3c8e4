#include "platform/terminate.h"

#include <cstdlib>

namespace qv {

namespace {
TerminateHook& Hook() {
    static TerminateHook hook;
    return hook;
}
} // namespace

void TerminateProgram(int status) {
    if (Hook()) {
        Hook()(status);
        return;
    }
    std::exit(status);
}

TerminateHook SetTerminateHook(TerminateHook hook) {
    TerminateHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

} // namespace qv
