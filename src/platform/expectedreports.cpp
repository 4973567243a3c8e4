#include "platform/expectedreports.h"

#include "platform/folderlisting.h"

#include <algorithm>

namespace qv {

namespace {

// A name as a report gives it is the same as a plain ASCII text, byte for character.
bool SameAsciiName(const QString& text, const char* name) {
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte == 0 || byte >= 0x80 || text.at(i).unicode() != byte)
            return false;
    }
    return name[size] == 0;
}

} // namespace

std::deque<ExpectedReports::Report>& ExpectedReports::QueuedOf(int watch) {
    return queued_[std::min(WatchGroupOf(watch), kWatchGroups - 1)];
}

std::deque<ExpectedReports::Report>& ExpectedReports::PlainOf(int watch) {
    return plain_[std::min(WatchGroupOf(watch), kWatchGroups - 1)];
}

void ExpectedReports::Expect(int watch, quint32 mask, const QString& name, quint64 seq) {
    (seq == 0 ? PlainOf(watch) : QueuedOf(watch)).push_back(Report{watch, mask, name, seq});
}

bool ExpectedReports::Expected(int watch, quint32 mask, const QString& name, bool renamesDeferred) {
    const auto same = [&](const Report& next) {
        return next.watch == watch && next.mask == mask && next.name == name;
    };
    std::deque<Report>& queued = QueuedOf(watch);
    std::deque<Report>& plain = PlainOf(watch);
    for (std::deque<Report>* expected : {&queued, &plain}) {
        if (!expected->empty() && same(expected->front())) {
            expected->pop_front();
            return true;
        }
    }
    // With renames in flight, a change of ours made meanwhile in another folder (one made)
    // reports before the renames handed over earlier do: it was expected last, behind theirs.
    if (!renamesDeferred)
        return false;
    for (std::deque<Report>* expected : {&plain, &queued}) {
        const auto it = std::find_if(expected->rbegin(), expected->rend(), same);
        if (it != expected->rend()) {
            expected->erase(std::next(it).base());
            return true;
        }
    }
    return false;
}

bool ExpectedReports::ExpectedName(int watch, quint32 mask, const char* name,
                                   bool renamesDeferred) {
    // Plain ASCII bytes alike, one for one; any other name is compared as a text.
    for (const std::deque<Report>* expected : {&QueuedOf(watch), &PlainOf(watch)})
        if (!expected->empty() && SameAsciiName(expected->front().name, name))
            return Expected(watch, mask, expected->front().name, renamesDeferred);
    return false;
}

void ExpectedReports::Forget(const std::function<bool(const Report&)>& which) {
    for (auto* group : {&queued_, &plain_}) {
        for (std::deque<Report>& expected : *group) {
            if (which)
                std::erase_if(expected, which);
            else
                expected.clear();
        }
    }
}

void ExpectedReports::ForgetDone(quint64 done, bool renamesDeferred) {
    for (std::deque<Report>& expected : plain_)
        expected.clear();
    for (std::deque<Report>& expected : queued_) {
        if (!renamesDeferred)
            expected.clear();
        while (!expected.empty() && expected.front().seq <= done)
            expected.pop_front();
    }
}

} // namespace qv
