#include "graphics/shapelists.h"

#include "platform/workers.h"

#include <system_error>

namespace qv::shapelists {

LaterLists::~LaterLists() {
    // Left unread after a fault elsewhere in the shape: the runs not yet taken are dropped.
    {
        const std::lock_guard lock(mutex_);
        queue_.clear();
    }
    StopHelpers();
}

void LaterLists::Queue(std::unique_ptr<Later> later) {
    {
        const std::lock_guard lock(mutex_);
        for (std::size_t k = 0; k < later->runs.size(); ++k)
            queue_.push_back(Run{later.get(), k});
    }
    lists_.push_back(std::move(later));
    wake_.notify_all();
    if (helpersStarted_)
        return;
    // The helpers start with the first long list, so that a small shape starts none.
    helpersStarted_ = true;
    try {
        // A few helpers are enough: the reading thread's own pass over the rest of the shape
        // bounds the time, and more threads only wait longer to start on a busy machine.
        const std::size_t threads = std::min<std::size_t>(WorkerLimit(), kMostThreads);
        for (std::size_t t = 1; t < threads; ++t)
            helpers_.emplace_back([this] { Help(); });
    } catch (const std::system_error&) {
        // No more threads to be had: those started and the reading thread share the runs.
    }
}

void LaterLists::Forget(const void* into) {
    for (const std::unique_ptr<Later>& later : lists_) {
        if (later->into == into)
            later->forgotten = true;
    }
}

void LaterLists::Help() {
    for (;;) {
        Run run{};
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return closed_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            run = queue_.front();
            queue_.pop_front();
        }
        if (failed_)
            continue;
        ShapeSource& source = *run.list->runs[run.index];
        try {
            run.list->readRun(source, run.index);
            // A run must end exactly where the next one starts: else the cut fell inside an
            // item and the items read are not the list's.
            if (!source.AtEnd())
                failed_ = true;
        } catch (const ShapeError&) {
            failed_ = true;
        } catch (const std::bad_alloc&) {
            failed_ = true;
        }
    }
}

void LaterLists::StopHelpers() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    wake_.notify_all();
    for (std::thread& helper : helpers_)
        helper.join();
    helpers_.clear();
}

bool LaterLists::ReadAll() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    wake_.notify_all();
    Help();
    StopHelpers();
    if (failed_)
        return false;
    for (const std::unique_ptr<Later>& later : lists_) {
        if (!later->forgotten && !later->join())
            return false;
    }
    lists_.clear();
    return true;
}

} // namespace qv::shapelists
