#include "graphics/shapelists.h"

#include "platform/workers.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>

namespace qv::shapelists {

// Helper threads kept from one shape to the next: starting threads for every shape costs more
// than the reading of a small one, and on a busy machine a thread started may run only after
// the shape is read. A helper joins the lists of one reading at a time, and a reading waits
// only for the helpers that joined it, never for threads that have not come round yet.
class HelperPool {
public:
    static HelperPool& Instance() {
        static HelperPool pool;
        return pool;
    }

    ~HelperPool() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }

    // Asks up to `helpers` threads to help with `lists` until it is withdrawn.
    void Call(LaterLists* lists, std::size_t helpers) {
        {
            const std::lock_guard lock(mutex_);
            requests_.push_back(Request{lists, helpers, 0});
            try {
                while (threads_.size() < helpers)
                    threads_.emplace_back([this] { Serve(); });
            } catch (const std::system_error&) {
                // No more threads to be had: those there and the reading thread share the runs.
            }
        }
        wake_.notify_all();
    }

    // Returns once no helper works on `lists`, and none will start to.
    void Withdraw(LaterLists* lists) {
        std::unique_lock lock(mutex_);
        const auto request = Find(lists);
        if (request == requests_.end())
            return;
        request->wanted = 0;
        // The helpers still inside are reading their last runs, which mostly end sooner than
        // a sleeping thread is woken: the reading thread looks again for a little while
        // before it sleeps.
        const auto until = std::chrono::steady_clock::now() + kLookAgainFor;
        while (Find(lists)->inside != 0 && std::chrono::steady_clock::now() < until) {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
        left_.wait(lock, [&] { return Find(lists)->inside == 0; });
        requests_.erase(Find(lists));
    }

private:
    static constexpr std::chrono::microseconds kLookAgainFor{200};

    struct Request {
        LaterLists* lists;
        std::size_t wanted; // helpers that may still join
        std::size_t inside; // helpers working on it now
    };

    std::vector<Request>::iterator Find(LaterLists* lists) {
        return std::find_if(requests_.begin(), requests_.end(),
                            [lists](const Request& request) { return request.lists == lists; });
    }

    void Serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            auto request = requests_.end();
            wake_.wait(lock, [&] {
                request = std::find_if(requests_.begin(), requests_.end(),
                                       [](const Request& open) { return open.wanted > 0; });
                return stopping_ || request != requests_.end();
            });
            if (stopping_)
                return;
            LaterLists* const lists = request->lists;
            --request->wanted;
            ++request->inside;
            lock.unlock();
            lists->Help();
            lock.lock();
            --Find(lists)->inside;
            left_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_; // a call came or the pool stops
    std::condition_variable left_; // a helper left a call
    std::vector<Request> requests_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
};

LaterLists::~LaterLists() {
    // Left unread after a fault elsewhere in the shape: the runs not yet taken are dropped.
    {
        const std::lock_guard lock(mutex_);
        queue_.clear();
    }
    StopHelpers();
}

void LaterLists::Queue(std::unique_ptr<Later> later, qint64 count) {
    Later* const list = later.get();
    list->itemsPerRun = count / qint64(list->runs.size());
    list->holds = list->runs.size() + 1;
    byPlace_.emplace(reinterpret_cast<quintptr>(list->into), list);
    lists_.push_back(std::move(later));
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(list);
        waiting_ += list->itemsPerRun * qint64(list->runs.size());
        wake = waiting_ >= kItemsPerRun;
    }
    if (wake)
        wake_.notify_all();
    CallHelpers();
}

void LaterLists::CallHelpers() {
    if (helpersCalled_)
        return;
    // A few are enough: the reading thread's own pass over the rest of the shape bounds the
    // time, and more threads only wait longer to start on a busy machine.
    helpersCalled_ = true;
    HelperPool::Instance().Call(this, std::min<std::size_t>(WorkerLimit(), kMostThreads) - 1);
}

void LaterLists::ForgetWithin(const void* from, const void* to) {
    const auto first = byPlace_.lower_bound(reinterpret_cast<quintptr>(from));
    const auto last = byPlace_.lower_bound(reinterpret_cast<quintptr>(to));
    for (auto it = first; it != last; ++it)
        ForgetList(*it->second);
    byPlace_.erase(first, last);
}

void LaterLists::ForgetList(Later& list) {
    std::size_t from = 0;
    {
        const std::lock_guard lock(mutex_);
        from = list.taken;
        waiting_ -= list.itemsPerRun * qint64(list.runs.size() - from);
        list.taken = list.runs.size();
    }
    list.forgotten = true;
    for (std::size_t k = from; k < list.runs.size(); ++k)
        ReadRun(list, k);
    Drop(list);
}

bool LaterLists::TakeRun(Later** list, std::size_t* index) {
    while (!queue_.empty() && queue_.front()->taken == queue_.front()->runs.size())
        queue_.pop_front();
    if (queue_.empty())
        return false;
    *list = queue_.front();
    *index = (*list)->taken++;
    waiting_ -= (*list)->itemsPerRun;
    return true;
}

void LaterLists::ReadRun(Later& list, std::size_t index) {
    if (!failed_) {
        ShapeSource& source = *list.runs[index];
        try {
            list.readRun(source, index);
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
    list.runs[index].reset();
    Drop(list);
}

void LaterLists::Drop(Later& list) {
    if (list.holds.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    // Forgotten and read: its items go now, not with the shape's last list (each source went
    // when its run was read; the row of them stays, as the queue counts the runs by it).
    list.readRun = nullptr;
    list.join = nullptr;
}

void LaterLists::Help() {
    for (;;) {
        Later* list = nullptr;
        std::size_t index = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return TakeRun(&list, &index) || closed_; });
            if (list == nullptr)
                return;
        }
        ReadRun(*list, index);
    }
}

void LaterLists::StopHelpers() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    wake_.notify_all();
    if (helpersCalled_)
        HelperPool::Instance().Withdraw(this);
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
    byPlace_.clear();
    return true;
}

} // namespace qv::shapelists
