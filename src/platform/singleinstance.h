// Tells running copies of the program apart. The copy that runs listens on a local socket whose
// name belongs to the user and to the registry folder in use (so that a copy with a private
// registry, such as the demo, is a program of its own); a copy started later finds it there and
// asks it to come to the front.
#pragma once

#include <QString>
#include <functional>

namespace qv {

// The socket's name for this user and the registry folder in use.
QString RunningCopyServerName();

// The lock file whose lock the running copy holds, in the registry folder in use.
QString RunningCopyLockFile();

// Makes this copy the running one, in one step that two copies started together cannot both
// pass: it takes a lock held for the whole run (a lock file in the registry folder), then
// listens, and every raise request a later copy sends calls `raiseRequested` on the GUI thread.
// A socket file that nobody answers on (left by a copy that did not end cleanly) is removed
// first. False when another copy holds the lock (one that has not started to listen yet too, or
// another window of this process) or answers already; true otherwise, also when the socket
// cannot be made.
bool ListenAsRunningCopy(std::function<void()> raiseRequested);

// True when a copy listens (this one too, once it listens).
bool OtherCopyRunning();

// Asks the listening copy to come to the front. False when no copy answers.
bool RaiseOtherCopy();

// Stops listening, removes the socket and gives up the lock; nothing when this copy does not
// run as the running copy.
void StopListening();

} // namespace qv
