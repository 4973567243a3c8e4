#include "easy/explorestate.h"

#include "core/mainservices.h"

namespace qv {

namespace {

ExploreState& State() {
    static ExploreState state;
    return state;
}

// Main page 0 is the Easy page; its tab 1 is "Explore the Route".
constexpr int kEasyPage = 0;
constexpr int kExploreTab = 1;

} // namespace

ExploreState& Explore() {
    return State();
}

void ResetExploreState() {
    State() = ExploreState();
}

const ExploreActivitySaveInfo* ExploreRecordInForce() {
    const ExploreState& state = State();
    const MainServices& main = TheMainServices();
    const bool exploreTabShown =
        main.MainPageIndex() == kEasyPage && main.ActivityExplorePageIndex() == kExploreTab;
    if (state.ExploreSourceActivity || exploreTabShown)
        return &state.CurrentExploreRecord;
    return nullptr;
}

} // namespace qv
