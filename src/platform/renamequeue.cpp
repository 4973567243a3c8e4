#include "platform/renamequeue.h"

#include "platform/folderlisting.h"
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
// How many renames are made between calls of the hook, and how far behind the caller the thread
// may be for it: further behind, the renames go first, and the caller, ahead, has time to do the
// hook's work itself.
constexpr quint64 kRenamesBetweenCalls = 16;
constexpr quint64 kBehindForHook = 32;

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

// One side of the renames (where they come from, or where they go to): the host path of a name
// in a folder, made in bytes kept from one rename to the next, and an open handle of the folder
// above that folder. A path relative to the handle walks two names (the folder's and the file's)
// where the whole path walks a dozen. A job's renames come in runs of one folder, whose bytes are
// made once for the run, and from and to sibling folders, so that the handle is seldom opened.
class RenameSide {
public:
    ~RenameSide() { Close(); }
    // The whole path of `name` in `folder`; in `at` and `relative` the handle and the path from
    // it: AT_FDCWD and the whole path without a folder above, or when it cannot be opened.
    const QByteArray& Of(const QString& folder, const QString& name, int* at,
                         const char** relative) {
        // The caller hands over copies of one text for a run: mostly the same characters.
        if (!entered_ || folder.size() != folder_.size() ||
            (folder.constData() != folder_.constData() && folder != folder_))
            Enter(folder);
        bytes_.truncate(folderSize_);
        bytes_ += EncodeHostPath(name);
        *at = fd_ >= 0 ? fd_ : AT_FDCWD;
        *relative = bytes_.constData() + (fd_ >= 0 ? above_.size() + 1 : 0);
        return bytes_;
    }
    // Nothing is held while nothing is to be done: the next rename opens the handle again.
    void Close() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
        above_.clear();
        folder_ = QString();
        entered_ = false;
    }

private:
    void Enter(const QString& folder) {
        entered_ = true;
        folder_ = folder;
        bytes_ = EncodeHostPath(JoinHostPath(folder, QString()));
        folderSize_ = bytes_.size();
        const qsizetype slash = folderSize_ - 1;
        const qsizetype cut = slash > 0 ? bytes_.lastIndexOf('/', slash - 1) : -1;
        const QByteArrayView above =
            cut < 1 ? QByteArrayView() : QByteArrayView(bytes_.constData(), cut);
        if (fd_ >= 0 && above == QByteArrayView(above_))
            return;
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
        above_ = above.toByteArray();
        if (!above_.isEmpty())
            fd_ = open(above_.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }

    bool entered_ = false;
    QString folder_;
    QByteArray bytes_;
    qsizetype folderSize_ = 0;
    QByteArray above_; // the folder the handle is of
    int fd_ = -1;
};

std::function<void(const QByteArray&, const QByteArray&)>& BeforeRenameHook() {
    static std::function<void(const QByteArray&, const QByteArray&)> hook;
    return hook;
}

// Whether the file at `name` in the open folder is a regular file its owner may write.
bool WritableFile(int folder, const char* name) {
    struct stat st {};
    return fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & S_IWUSR);
}

} // namespace

RenameQueue::RenameQueue(std::function<void()> afterSome)
    : slots_(kMostQueued), afterSome_(std::move(afterSome)), thread_([this] { Run(); }) {}

RenameQueue::~RenameQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    work_.notify_one();
    thread_.join();
}

quint64 RenameQueue::Push(QueuedRename&& rename) {
    const quint64 seq = Pushed() + 1;
    // The place is that of the rename kMostQueued before, which must be done; far ahead, the
    // caller waits until the thread is halfway back.
    if (seq > Done() + kMostQueued)
        WaitFor(seq - kMostQueued / 2);
    // The one done there is let go of here, so that its memory goes back on the thread that
    // took it.
    slots_[std::size_t((seq - 1) % kMostQueued)] = std::move(rename);
    // Sequentially consistent here and where the thread goes to sleep: the thread either sees
    // this rename before it sleeps or is seen asleep and woken.
    pushed_.store(seq, std::memory_order_seq_cst);
    if (idle_.load(std::memory_order_seq_cst)) {
        { std::lock_guard<std::mutex> lock(mutex_); }
        work_.notify_one();
    }
    return seq;
}

void RenameQueue::WaitFor(quint64 seq) {
    if (Done() >= seq)
        return;
    std::unique_lock<std::mutex> lock(mutex_);
    wakeAt_.store(seq, std::memory_order_seq_cst);
    progress_.wait(lock, [&] { return done_.load(std::memory_order_seq_cst) >= seq; });
    wakeAt_.store(0, std::memory_order_seq_cst);
}

std::vector<FailedRename> RenameQueue::TakeFailures() {
    std::lock_guard<std::mutex> lock(mutex_);
    failed_.store(false, std::memory_order_release);
    return std::exchange(failures_, {});
}

void RenameQueue::Run() {
    RenameSide source, target;
    for (quint64 next = 1;; ++next) {
        // The next rename mostly comes within microseconds: waiting for it a moment spares the
        // caller waking this thread for each one.
        if (afterSome_ && (Pushed() < next ||
                           (next % kRenamesBetweenCalls == 0 && Pushed() - next < kBehindForHook)))
            afterSome_();
        for (int spin = 0; spin < kSpins && Pushed() < next; ++spin)
            Pause();
        if (Pushed() < next) {
            // A folder is not held open while nothing is to be done.
            source.Close();
            target.Close();
            std::unique_lock<std::mutex> lock(mutex_);
            idle_.store(true, std::memory_order_seq_cst);
            work_.wait(
                lock, [&] { return pushed_.load(std::memory_order_seq_cst) >= next || stopping_; });
            idle_.store(false, std::memory_order_seq_cst);
            if (Pushed() < next)
                return;
        }
        // Read where it lies: the caller writes that place again only once this rename is done.
        const QueuedRename& rename = slots_[std::size_t((next - 1) % kMostQueued)];
        FailedRename failure;
        int from = AT_FDCWD;
        int to = AT_FDCWD;
        const char* fromName = nullptr;
        const char* toName = nullptr;
        const QByteArray& fromPath =
            source.Of(rename.fromFolder, rename.fromName, &from, &fromName);
        const QByteArray& toPath = target.Of(rename.toFolder, rename.toName, &to, &toName);
        if (BeforeRenameHook())
            BeforeRenameHook()(fromPath, toPath);
        if (rename.checkFile && !WritableFile(from, fromName))
            failure.notSettled = true;
        else if (!RenameNoReplaceAt(from, fromName, to, toName, &failure.error))
            failure.error = failure.error ? failure.error : EIO;
        // A failure is kept before the rename counts as done, so that whoever sees it done sees
        // the failure too.
        if (failure.notSettled || failure.error) {
            std::lock_guard<std::mutex> lock(mutex_);
            failure.seq = next;
            failures_.push_back(failure);
            failed_.store(true, std::memory_order_release);
        }
        done_.store(next, std::memory_order_seq_cst);
        const quint64 wakeAt = wakeAt_.load(std::memory_order_seq_cst);
        if (wakeAt != 0 && next >= wakeAt) {
            { std::lock_guard<std::mutex> lock(mutex_); }
            progress_.notify_one();
        }
    }
}

void SetBeforeQueuedRenameHookForTests(
    std::function<void(const QByteArray& from, const QByteArray& to)> hook) {
    BeforeRenameHook() = std::move(hook);
}

} // namespace qv
