// The main form's close: the question whether to save a changed scenario, the decision whether
// the close may go on, and what is done once it does (the selected node remembered, the tree and
// the program-wide lists freed, stale activity-cache entries purged, logging ended and the state
// the next start reads written to the registry). The form's close event calls FormCloseMayProceed,
// closes the viewer windows (a refusal stops the close there) and then calls FormCloseFinish.
#pragma once

#include <QDateTime>
#include <QString>

class QObject;

namespace qv {

// Offers to save a changed scenario: always for a named scenario other than the default one,
// otherwise only when "Show Save Warning" is set. Returns 1 when nothing was asked, else ID_YES,
// ID_NO or ID_CANCEL. A Yes whose save was cancelled or failed counts as ID_CANCEL, so that
// nothing goes on as if the marks had been saved.
int QuerySaveScenario(QObject* sender);

// The save question before the program ends (close event, Exit command): false when the user
// cancels; a No forgets the current scenario, so that the next start knows none was kept.
bool QuerySaveBeforeClose(QObject* sender);

// Whether the close may go on: never while a job runs; otherwise, unless the close is silent,
// after QuerySaveBeforeClose.
bool FormCloseMayProceed(QObject* sender);

// The rest of the close, once the viewer windows are closed: remembers the selected node, frees
// the tree and the lists, purges the activity cache, ends logging and writes the last-close
// values with the window's position and maximised state.
void FormCloseFinish(int top, int left, bool maximised);

// Erases from the activity cache every section whose activity file is in neither the store nor
// the MSTS folder.
void PurgeScenarioCache();

// The moment as "Last Close" holds it: days since 30 December 1899 with the time of day as the
// fraction, local time.
double LastCloseDayNumber(const QDateTime& moment);

} // namespace qv
