#include "platform/renamequeue.h"

#include "platform/winfs.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

// Enough to keep the thread busy; a bound so that a caller far ahead holds little memory.
constexpr std::size_t kMostQueued = 4096;
// How long the thread looks for the next rename before it sleeps: some tens of microseconds.
constexpr int kSpins = 2000;

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

// An open handle of the folder of the last renames, so that each rename and check walks no path:
// a job's files come folder by folder.
class FolderHandle {
public:
    ~FolderHandle() { Close(); }
    // The handle of the folder part of `path` (up to the last '/'), and in `name` the rest; -1
    // when the folder cannot be opened.
    int Of(const QByteArray& path, const char** name) {
        const qsizetype slash = path.lastIndexOf('/');
        *name = path.constData() + slash + 1;
        const QByteArrayView folder(path.constData(), slash < 1 ? 1 : slash);
        if (fd_ < 0 || folder != QByteArrayView(folder_)) {
            Close();
            folder_ = folder.toByteArray();
            fd_ = open(folder_.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        }
        return fd_;
    }
    void Close() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

private:
    QByteArray folder_;
    int fd_ = -1;
};

// Whether the file at `name` in the open folder is a regular file its owner may write.
bool WritableFile(int folder, const char* name) {
    struct stat st {};
    return fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & S_IWUSR);
}

} // namespace

RenameQueue::RenameQueue() : thread_([this] { Run(); }) {}

RenameQueue::~RenameQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    work_.notify_one();
    thread_.join();
}

quint64 RenameQueue::Push(QueuedRename&& rename) {
    std::unique_lock<std::mutex> lock(mutex_);
    // Those done are let go of here, so that their memory goes back on the thread that took it.
    const quint64 done = Done();
    while (!items_.empty() && firstSeq_ <= done) {
        items_.pop_front();
        ++firstSeq_;
    }
    if (items_.size() >= kMostQueued) {
        ++waiting_;
        progress_.wait(lock, [this] { return Pushed() - Done() < kMostQueued / 2; });
        --waiting_;
    }
    items_.push_back(std::move(rename));
    const quint64 seq = Pushed() + 1;
    pushed_.store(seq, std::memory_order_release);
    const bool wake = idle_;
    lock.unlock();
    if (wake)
        work_.notify_one();
    return seq;
}

void RenameQueue::WaitFor(quint64 seq) {
    if (Done() >= seq)
        return;
    std::unique_lock<std::mutex> lock(mutex_);
    ++waiting_;
    progress_.wait(lock, [&] { return Done() >= seq; });
    --waiting_;
}

std::vector<FailedRename> RenameQueue::TakeFailures() {
    std::lock_guard<std::mutex> lock(mutex_);
    failed_.store(false, std::memory_order_release);
    return std::exchange(failures_, {});
}

void RenameQueue::Run() {
    FolderHandle sourceFolder, targetFolder;
    for (quint64 next = 1;; ++next) {
        // The next rename mostly comes within microseconds: waiting for it a moment spares the
        // caller waking this thread for each one.
        for (int spin = 0; spin < kSpins && Pushed() < next; ++spin)
            Pause();
        const QueuedRename* item = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (Pushed() < next) {
                // A folder is not held open while nothing is to be done.
                sourceFolder.Close();
                targetFolder.Close();
                idle_ = true;
                work_.wait(lock, [&] { return Pushed() >= next || stopping_; });
                idle_ = false;
                if (Pushed() < next)
                    return;
            }
            item = &items_[std::size_t(next - firstSeq_)];
        }
        const QueuedRename& rename = *item;
        FailedRename failure;
        const char* fromName = nullptr;
        const char* toName = nullptr;
        int from = sourceFolder.Of(rename.from, &fromName);
        int to = targetFolder.Of(rename.to, &toName);
        if (from < 0 || to < 0) {
            // Told apart by the rename itself.
            from = to = AT_FDCWD;
            fromName = rename.from.constData();
            toName = rename.to.constData();
        }
        if (rename.checkFile && !WritableFile(from, fromName)) {
            failure.notSettled = true;
        } else if (renameat2(from, fromName, to, toName, RENAME_NOREPLACE) != 0) {
            // A file system without the flag has stand-ins that need the paths.
            const int code = errno;
            if (code != EINVAL && code != ENOSYS && code != EOPNOTSUPP)
                failure.error = code;
            else if (!RenameNoReplaceEncoded(rename.from, rename.to, &failure.error))
                failure.error = failure.error ? failure.error : EIO;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (failure.notSettled || failure.error) {
            failure.seq = next;
            failures_.push_back(failure);
            failed_.store(true, std::memory_order_release);
        }
        done_.store(next, std::memory_order_release);
        if (waiting_ > 0)
            progress_.notify_all();
    }
}

} // namespace qv
