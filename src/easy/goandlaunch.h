// The one road from a store job to a running MSTS: the Go button, the Easy page's Run and Explore
// commands and a scenario given on the command line run the job here, and MSTS (or the RailDriver
// manager) is started after it; the program then closes, or waits for MSTS and tidies up after an
// Explore session, as "Spawn Wait" and "Start RD" say.
#pragma once

#include <QString>
#include <functional>

class QObject;

namespace qv {

// Runs the store job of the main tree's marks (silent for an Explore command, `explore`), clears
// "+ All Consists" and "+ All Stock", and, when "Launch MSTS" is checked and the save question is
// not cancelled, launches from the MSTS folder. During a command-line job it never waits and
// never closes the program. False when the store job did not run and, in a command-line job, when
// the program it was to start could not be started.
bool GoAndLaunch(QObject* sender, bool explore);

// The Easy page's part of the tidy-up after a wait for an Explore session: when its
// ExploreLoadCmbx shows "Reload saved QUARVEL EXPLORE", it lists the saved sessions of the route
// (given by its folder name) again, refreshes its Explore controls and answers true; otherwise it
// answers false and the session's save number is dropped.
using ExploreReloadHandler = std::function<bool(QObject* sender, const QString& routeFolderName)>;
// Installed by the Easy page; an empty handler (no Easy page shown) answers false.
void SetExploreReloadHandler(ExploreReloadHandler handler);

} // namespace qv
