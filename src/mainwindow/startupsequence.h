// The start-up actions that may take long and run while the splash window shows: converting an
// older store layout, rebuilding missing caches, the next lot number and the command-line
// argument. The splash lends its description label, its progress bar and its timer through a
// small interface, so that the sequence needs no display.
#pragma once

#include "catalogue/conversion.h"

#include <QString>

namespace qv {

class StatusLabel;

// The splash window as the sequence drives it: the description text and progress bar (through
// ConversionProgress), the bar's visibility, the splash timer's interval and the description as
// the command-line job's status label.
class StartupView : public ConversionProgress {
public:
    virtual void HideProgressBar() = 0;
    // The splash closes on the first tick after the sequence is done; a longer interval keeps
    // the last message up for a while.
    virtual void SetTimerInterval(int milliseconds) = 0;
    virtual StatusLabel& DescriptionLabel() = 0;
};

// Runs the sequence in order: ConvertStore when <store>\QVDATA is missing; the stock, consist
// and path caches rebuilt when their files are missing (a consist cache without its stock cache
// is deleted first, so that both are rebuilt); the next lot number; the command-line job when an
// argument was given (empty: none); then "Startup Actions Complete". Every step reports its own
// failures; the sequence always runs to its end.
void StartupSequence(StartupView& view, const QString& commandLineArgument);

} // namespace qv
