#include "core/appstate.h"

#include "platform/keptfolders.h"

#include <memory>

namespace qv {

namespace {
std::unique_ptr<AppState>& Instance() {
    static std::unique_ptr<AppState> state = [] {
        // The path layer asks for the two folders whenever it judges a write into them.
        SetKeptFoldersSource([] {
            return QStringList{App().MstsRootFolder, App().StoreRootFolder};
        });
        return std::make_unique<AppState>();
    }();
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
