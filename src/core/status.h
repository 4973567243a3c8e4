// What the user sees of a running job and what keeps the window alive meanwhile: the stack of
// status codes in the main status bar, the busy flag that locks the main controls, the
// throttled event pump, the memory-usage text, the optional log into which status texts and
// report lines are mirrored, and the two operations that mark route and activity nodes.
#pragma once

#include "core/generaldefs.h"

#include <QString>

namespace qv {

class ItemNode;
class ReportPane;

// Status codes are short plain literals ("SURVEY", "MOVE", ...). PushStatus shows the code in
// panel 0 and logs the status; PopStatus shows the code below (or nothing), empties panel 1 and
// logs nothing.
void PushStatus(const QString& code);
void PopStatus();

// Pushes a code for the lifetime of a scope, so that every way out of a job pops it.
class StatusGuard {
public:
    explicit StatusGuard(const QString& code);
    ~StatusGuard();
    StatusGuard(const StatusGuard&) = delete;
    StatusGuard& operator=(const StatusGuard&) = delete;
};

// Panel 1 shows the text; then LogStatus.
void SetStatusDetail(const QString& text);
// Panel 1 shows the caption, " '", the name and "'" (what every reader shows for a file); then
// LogStatus.
void ShowReadStatus(Msg label, const QString& name);
// Writes "<panel 0>: <panel 1>" to the log while logging, and repaints the status bar (at most
// about every 30 ms, so that a long loop does not spend its time painting).
void LogStatus();

// Whether a status text set now would be seen: while logging (the log takes every text) or
// when the status bar's next repaint is due. Loops over thousands of files make their texts
// only then.
bool StatusTextDue();

// While one lives on a thread, that thread shows, logs and pumps nothing: status texts and the
// event pump belong to the main thread, and work done meanwhile on a thread of its own (a listing
// made ahead) stays out of what the main thread shows.
class QuietStatus {
public:
    QuietStatus();
    ~QuietStatus();
    QuietStatus(const QuietStatus&) = delete;
    QuietStatus& operator=(const QuietStatus&) = delete;
};

// While one lives on a thread, ShowReadStatus makes its text there only when StatusTextDue: the
// cache rebuilds read tens of thousands of files, and a text for each would cost them more than
// taking the file from its cache section.
class ThrottledReadStatus {
public:
    ThrottledReadStatus();
    ~ThrottledReadStatus();
    ThrottledReadStatus(const ThrottledReadStatus&) = delete;
    ThrottledReadStatus& operator=(const ThrottledReadStatus&) = delete;
};

// Sets Busy; the main window's tool bar and page control are disabled while it is set.
void SetBusy(bool busy);
// While Busy, lets the application process its pending events, at most about every 30 ms.
void PumpMessagesIfBusy();

// "Dynamic Memory Usage- Allocated: <n> - Free: <n>" for the process's heap.
QString MemoryUsageText();
// Panel 1 shows MemoryUsageText().
void ShowMemoryUsage();

// Starts logging when it is off, stops it when it is on. On stop the pane (when given) is
// replaced by the whole log, and the log's file is deleted.
void ToggleLogging(ReportPane* pane);
// Writes the text and a line feed to the log; a failed write shows its message and stops
// logging (with the pane, as ToggleLogging).
void LogWrite(const QString& text, ReportPane* pane);

// Creates a new empty file in the temporary folder whose name begins with the prefix, and
// returns its path (host form); empty when no file could be made.
QString MakeTempFileName(const QString& prefix);

// Set the store state of a node of the main tree (2 store, 1 unstore), with the cascades of
// the tree: a route carries its activities along, the Routes heading and the Activities groups
// pass the state to each child, and an activity taken out of the store puts a stored route in
// use.
void SetRouteNodeState(ItemNode* node, int state);
void SetActivityNodeState(ItemNode* node, int state);

} // namespace qv
