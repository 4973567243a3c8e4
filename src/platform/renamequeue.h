// File renames made on a thread of their own, in the order given, while the caller goes on
// deciding the next ones: a job spends about as long deciding a file's move as the kernel takes
// to rename it, so the two overlap.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qv {

struct QueuedRename {
    // Host folders and names, joined and encoded on the rename thread: the caller hands over the
    // texts it holds.
    QString fromFolder;
    QString fromName;
    QString toFolder;
    QString toName;
    // The source is to be a regular file its owner may write; anything else is not renamed.
    bool checkFile = false;
};

struct FailedRename {
    quint64 seq = 0;
    int error = 0;           // what the rename failed with
    bool notSettled = false; // the check refused the source: nothing was tried
};

// One thread hands renames over and waits for them.
class RenameQueue {
public:
    // `afterSome` is called on the thread after every few renames while it keeps up with the
    // caller, and before it waits for more.
    explicit RenameQueue(std::function<void()> afterSome = {});
    // Makes every rename given, then ends the thread.
    ~RenameQueue();
    RenameQueue(const RenameQueue&) = delete;
    RenameQueue& operator=(const RenameQueue&) = delete;

    // Hands a rename over; returns its number (1, 2, ...). Waits while very many are ahead.
    quint64 Push(QueuedRename&& rename);
    // The number of the last rename handed over, and of the last one done (every rename before
    // it is done too).
    quint64 Pushed() const { return pushed_.load(std::memory_order_acquire); }
    quint64 Done() const { return done_.load(std::memory_order_acquire); }
    // Waits until the renames up to `seq` are done.
    void WaitFor(quint64 seq);
    // The renames that failed or were refused since the last call.
    std::vector<FailedRename> TakeFailures();
    bool HasFailures() const { return failed_.load(std::memory_order_acquire); }

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable progress_;
    // The renames handed over, each in the place of its number (modulo their count): the caller
    // writes a place only once the rename there before is done, the thread reads it until then.
    std::vector<QueuedRename> slots_;
    std::vector<FailedRename> failures_;
    std::atomic<quint64> pushed_{0};
    std::atomic<quint64> done_{0};
    std::atomic<bool> failed_{false};
    std::atomic<bool> idle_{false};  // the thread waits for work
    std::atomic<quint64> wakeAt_{0}; // the caller waits until this rename is done (0: it does not)
    bool stopping_ = false;
    std::function<void()> afterSome_;
    std::thread thread_;
};

// Tests only: called on the rename thread just before each rename, with the host paths, as
// another program acting in that moment. Set while no queue lives; an empty hook removes it.
void SetBeforeQueuedRenameHookForTests(
    std::function<void(const QByteArray& from, const QByteArray& to)> hook);

} // namespace qv
