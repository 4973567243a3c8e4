// File renames made on a thread of their own, in the order given, while the caller goes on
// deciding the next ones: a job spends about as long deciding a file's move as the kernel takes
// to rename it, so the two overlap. A rename waits in the queue while another program may move
// or link folders: it is made only in the very folders judged when it was decided, by the file's
// bare name relative to a handle of each, and it counts as done only once both folders are found
// still at their places; else the file goes back and the rename fails.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qv {

// Which folder a host folder was: its device and inode (0: not known).
struct FolderIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

struct QueuedRename {
    // Host folders and names, encoded on the rename thread: the caller hands over the texts it
    // holds.
    QString fromFolder;
    QString fromName;
    QString toFolder;
    QString toName;
    // The source is to be a regular file its owner may write; anything else is not renamed.
    bool checkFile = false;
    // The two folders as they were judged when the rename was decided: a folder at the path that
    // is not that very folder makes the rename fail (not given: the folder the path finds first).
    // A link on a folder's way below the kept folder it lies in makes it fail too.
    FolderIdentity fromIdentity{};
    FolderIdentity toIdentity{};
};

// The kept folders (the MSTS folder and the store) as the path layer resolves them now.
QStringList KeptHostFolders();

struct FailedRename {
    quint64 seq = 0;
    int error = 0; // what the rename failed with; or why a rename made went back: its folder was
                   // found moved away (ENOENT) or a link on its way (ELOOP)
    bool notSettled = false; // the check refused the source: nothing was tried
};

// One thread hands renames over and waits for them.
class RenameQueue {
public:
    // `afterSome` is called on the thread after every few renames while it keeps up with the
    // caller, and before it waits for more. `keptFolders` are the host folders (as the path
    // layer resolves them) below which no link is followed on a rename's way.
    explicit RenameQueue(std::function<void()> afterSome = {},
                         QStringList keptFolders = KeptHostFolders());
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
    // The renames up to `last` count as done, with their failures.
    void Publish(quint64 last, std::vector<FailedRename>&& failures);

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
    const QStringList keptFolders_;
    std::thread thread_;
};

// Opens the folder `below` (a relative host path, "." for the folder itself) below the open
// folder `root` as a handle (O_PATH), following no link on the way and not leaving `root`;
// -1 with errno.
int OpenFolderBelow(int root, const char* below);

// Tests only: called on the rename thread just before each rename, with the host paths, as
// another program acting in that moment. Set while no queue lives; an empty hook removes it.
void SetBeforeQueuedRenameHookForTests(
    std::function<void(const QByteArray& from, const QByteArray& to)> hook);
// Tests only: OpenFolderBelow walks the way one folder at a time, as where the system lacks the
// call that walks it at once.
void SetFolderWalkStepByStepForTests(bool stepByStep);

} // namespace qv
