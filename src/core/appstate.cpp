#include "core/appstate.h"

#include <memory>

namespace qv {

namespace {
std::unique_ptr<AppState>& Instance() {
    static std::unique_ptr<AppState> state = std::make_unique<AppState>();
    return state;
}
} // namespace

AppState& App() {
    return *Instance();
}

void ResetAppState() {
    Instance() = std::make_unique<AppState>();
}

} // namespace qv
