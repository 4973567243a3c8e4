// The one way an outside program is started (MSTS, the tools, this program itself) and waited
// for while the window stays responsive, the one top-level window search, MSTS's window identity
// and the texts of a failed start.
#pragma once

#include "platform/xwindows.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace qv {

// Show commands for ShowTopWindow, in the numbers the callers have always passed.
enum ShowCommand : int {
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_MINIMIZE = 6,
    SW_SHOWMINNOACTIVE = 7,
    SW_RESTORE = 9,
};

// What FindTopWindow gives for another running copy of this program, which is reached through
// its socket rather than a window (no X window id is this large).
constexpr WindowHandle kOtherCopyWindow = ~WindowHandle(0);

// What a window search looks for; MSTS's window identity is handed over in it.
struct ProcessesInfo {
    QString WindowTitle;
    QString WindowClass;
};

// Starts a program (its %NAME% environment variables expanded) with a parameter text. A failed
// start shows the shell's error text and gives -1. Otherwise, with minimiseSelf the application
// minimises; then it waits (WaitForProgram) unless noWait is set, and gives the wait's result. A
// program started minimised is always waited for, at least until MSTS's window has been dealt
// with; noWait then ends the wait there. Without a wait the result is the process id, and the
// program goes on running on its own, also after this program ends.
std::int32_t LaunchProgram(const QString& program, const QString& parameters,
                           const QString& displayName, bool minimiseSelf, bool startMinimised,
                           bool noWait);

// Waits for a started process in 100 ms passes, pumping events in between, with the busy flag
// set and "Waiting Semaphore" at "1". With watchWindow, each pass looks for MSTS's window until
// it is found (an error after 150 passes in vain), then checks the Explore session each pass
// (CheckExplorerActivity) and restores the window once the check ends. 0 when the program ended,
// the watch finished with noWait, or the window was not found; -1 when the wait failed.
std::int32_t WaitForProgram(qint64 processId, const QString& displayName, bool noWait,
                            bool watchWindow);

// The first top-level window whose class and title equal the given ones without regard to case,
// or 0. With both texts empty: kOtherCopyWindow when another copy of this program runs, else 0.
WindowHandle FindTopWindow(const QString& className, const QString& title);

// Shows a window: minimised for SW_SHOWMINIMIZED, SW_MINIMIZE and SW_SHOWMINNOACTIVE, else
// restored. kOtherCopyWindow asks the other copy to come to the front.
void ShowTopWindow(WindowHandle window, int showCommand);
void BringTopWindowToFront(WindowHandle window);

// MSTS's main window: title "Train Simulator", class "TrainSim", unless "QV_TEMP_PARAM.DAT" in
// the program's own folder says otherwise (section "MSTS Title Class", keys "WindowTitle" and
// "WindowClass"); the file is read afresh at every call.
std::unique_ptr<ProcessesInfo> MstsWindowIdentity();

// The message for a shell error number of a failed start.
QString ShellErrorText(int code);

} // namespace qv
