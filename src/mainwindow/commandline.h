// The program's one optional argument. Four switches only choose the page the main window opens
// on; the others are jobs after which the program closes itself: "-rc" starts Route Control,
// "-uc" unstores everything, and any other argument names a scenario file whose marks are stored
// and unstored before MSTS is launched.
#pragma once

#include <QString>

class QObject;

namespace qv {

// Where a command-line job shows what it does: the splash window's description label.
class StatusLabel {
public:
    virtual ~StatusLabel() = default;
    // Shows the text at once (the job goes on without returning to the event loop).
    virtual void ShowText(const QString& text) = 0;
    // The width of a text in the label's font, and the label's own width, in pixels.
    virtual int TextWidth(const QString& text) const = 0;
    virtual int Width() const = 0;
};

// Handles the argument, compared with each switch without regard to case. For a job the
// program-wide CommandLineJob is set before anything else (so it stands even when the job
// refuses to run) and the main window is minimised afterwards; its first timer tick then closes
// the program without a save prompt. A job that is refused (a scenario file missing or not
// readable, no MSTS program set, Route Control not set up, the user's No) or that ran with a move
// that failed sets CommandLineJobFailed, so that the program ends with kJobFailedStatus.
// `sender` is handed on to the launch after a scenario.
void ProcessCommandLine(const QString& argument, StatusLabel& status, QObject* sender);

// True when the argument is a job: not empty and none of the four page switches.
bool IsCommandLineJob(const QString& argument);

// The exit status of a copy that ended without running the job it was given, because another
// copy of the program runs.
inline constexpr int kJobNotRunStatus = 2;
// The exit status of a program whose command-line job was refused or failed, or whose start-up
// was refused.
inline constexpr int kJobFailedStatus = 1;

// The line a copy that cannot run its job writes to standard error, naming the argument.
QString JobNotRunText(const QString& argument);

} // namespace qv
