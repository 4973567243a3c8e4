// The change reports that this program's own changes make, kept by the folder cache so that it
// passes them over when it takes them: a move's thousands of renames must not read their folders
// again.
#pragma once

#include "platform/folderwatches.h"

#include <QString>
#include <array>
#include <deque>
#include <functional>

namespace qv {

// Those still expected when every report has been read are forgotten: the kernel queues a
// change's reports before the change returns. They are queued in the order the changes were
// made, with the reports of other programs' changes among them; so only the next one expected
// is compared, and one that never came makes the later ones count as others' changes (their
// listings are then asked again) until every report has been read.
class ExpectedReports {
public:
    struct Report {
        int watch;
        quint32 mask;
        QString name;
        quint64 seq = 0; // of a rename handed to the queue, else 0
    };

    void Expect(int watch, quint32 mask, const QString& name, quint64 seq = 0);
    // True (and the expectation is used up) when the report is one of our own changes. With
    // `renamesDeferred` (renames in flight on the rename thread) one expected later is looked
    // for too.
    bool Expected(int watch, quint32 mask, const QString& name, bool renamesDeferred);
    // The same for the name as the report gives it, true only for a plain ASCII name.
    bool ExpectedName(int watch, quint32 mask, const char* name, bool renamesDeferred);
    // Forgets the expected reports `which` picks (every one when none is given).
    void Forget(const std::function<bool(const Report&)>& which = nullptr);
    // Forgets those of every change made and (while renames are deferred) of every queued rename
    // done by `done`, once all their reports have been read: from the front of each queue,
    // without looking at the rest.
    void ForgetDone(quint64 done, bool renamesDeferred);
    // The reports expected of renames handed to the queue through the watch's notifier, in the
    // order of their numbers.
    const std::deque<Report>& OfRenames(int watch) { return QueuedOf(watch); }

private:
    // The reports expected through the watch's notifier: of renames handed to the queue, in the
    // order of their numbers, and of the other changes.
    std::deque<Report>& QueuedOf(int watch);
    std::deque<Report>& PlainOf(int watch);

    // The reports of each notifier come in the order of the changes, whichever folders they are
    // in; those of two notifiers are read one notifier after the other.
    std::array<std::deque<Report>, kWatchGroups> queued_;
    std::array<std::deque<Report>, kWatchGroups> plain_;
};

} // namespace qv
