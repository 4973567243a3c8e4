#include "platform/renamequeue.h"

#include "platform/folderlisting.h"
#include "platform/keptfolders.h"
#include "platform/winfs.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/openat2.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
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

std::atomic<bool>& WalkStepByStep() {
    static std::atomic<bool> stepByStep{false};
    return stepByStep;
}

// The way below `root` one folder at a time, no link followed.
int OpenStepByStep(int root, const char* below) {
    int at = root;
    const char* part = below;
    while (*part) {
        const char* end = std::strchr(part, '/');
        const std::string name(part, end ? std::size_t(end - part) : std::strlen(part));
        part = end ? end + 1 : part + name.size();
        if (name.empty())
            continue;
        if (name == "..") {
            if (at != root)
                close(at);
            errno = EXDEV;
            return -1;
        }
        const int next = openat(at, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        int code = errno;
        // A link is told as the walk at once tells it.
        struct stat st {};
        if (next < 0 && code == ENOTDIR &&
            fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
            code = ELOOP;
        if (at != root)
            close(at);
        if (next < 0) {
            errno = code;
            return -1;
        }
        at = next;
    }
    return at != root ? at : openat(root, ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// One side of the renames (where they come from, or where they go to). For each rename the file's
// own folder is opened anew without following any link below the kept folder it lies in, and
// checked to be the very folder judged when the rename was decided: the rename then acts by the
// file's bare name in that folder. A folder moved away, or a link or another folder put in its
// place or on its way, fails the rename. A job's renames come in runs of one folder, whose way
// below its kept folder is made once for the run; the kept folder's handle is held while renames
// keep coming.
class RenameSide {
public:
    explicit RenameSide(const QStringList& keptFolders) : keptFolders_(keptFolders) {}
    ~RenameSide() { Close(); }
    RenameSide(const RenameSide&) = delete;
    RenameSide& operator=(const RenameSide&) = delete;

    // A handle of `folder`, found to be the folder `judged` (when that is given); -1 with the
    // error.
    int Open(const QString& folder, const FolderIdentity& judged, int* error) {
        // The caller hands over copies of one text for a run: mostly the same characters.
        if (!entered_ || folder.size() != folder_.size() ||
            (folder.constData() != folder_.constData() && folder != folder_))
            Enter(folder);
        int fd = -1;
        if (kept_ < 0) {
            // Below no kept folder there is no way to judge: the folder as its path finds it.
            fd = open(below_.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        } else {
            if (root_ < 0)
                root_ = open(EncodeHostPath(keptFolders_.at(kept_)).constData(),
                             O_PATH | O_DIRECTORY | O_CLOEXEC);
            fd = root_ < 0 ? -1 : OpenFolderBelow(root_, below_.constData());
        }
        struct stat st {};
        if (fd < 0 || fstat(fd, &st) != 0) {
            *error = errno ? errno : EIO;
            if (fd >= 0)
                close(fd);
            return -1;
        }
        if (judged.inode != 0 && (st.st_dev != judged.device || st.st_ino != judged.inode)) {
            // Another folder stands where the one judged was: that one is not there.
            close(fd);
            *error = ENOENT;
            return -1;
        }
        return fd;
    }
    // Nothing is held while nothing is to be done: the next rename opens the kept folder again.
    void Close() {
        if (root_ >= 0)
            close(root_);
        root_ = -1;
        folder_ = QString();
        entered_ = false;
    }

private:
    // The kept folder the folder lies in (the innermost), and its way below it; or the whole
    // path, below none.
    void Enter(const QString& folder) {
        entered_ = true;
        folder_ = folder;
        int kept = -1;
        qsizetype cut = 0;
        for (int k = 0; k < keptFolders_.size(); ++k) {
            const QString& root = keptFolders_.at(k);
            const qsizetype size = root.endsWith(QLatin1Char('/')) ? root.size() - 1 : root.size();
            const bool below = folder.startsWith(QStringView(root).left(size)) &&
                               (folder.size() == size || folder.at(size) == QLatin1Char('/'));
            if (below && (kept < 0 || size > cut)) {
                kept = k;
                cut = size;
            }
        }
        if (kept != kept_ && root_ >= 0) {
            close(root_);
            root_ = -1;
        }
        kept_ = kept;
        if (kept < 0) {
            below_ = EncodeHostPath(folder);
        } else {
            below_ = EncodeHostPath(folder.mid(cut + 1));
            if (below_.isEmpty())
                below_ = ".";
        }
    }

    const QStringList& keptFolders_;
    bool entered_ = false;
    QString folder_;
    int kept_ = -1;    // the place of its kept folder, -1: none
    QByteArray below_; // its way below the kept folder, or its whole path
    int root_ = -1;    // the kept folder's handle, when open
};

std::function<void(const QByteArray&, const QByteArray&)>& BeforeRenameHook() {
    static std::function<void(const QByteArray&, const QByteArray&)> hook;
    return hook;
}

// The host path of a name in a folder, as the hook is given it.
QByteArray HostBytes(const QString& folder, const QString& name) {
    return EncodeHostPath(JoinHostPath(folder, name));
}

// Whether the file at `name` in the open folder is a regular file its owner may write.
bool WritableFile(int folder, const char* name) {
    struct stat st {};
    return fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & S_IWUSR);
}

} // namespace

QStringList KeptHostFolders() {
    QStringList hosts;
    for (const QString& folder : KeptFolders()) {
        QString host;
        if (!folder.isEmpty() && ResolvePath(folder, &host))
            hosts.append(host);
    }
    return hosts;
}

int OpenFolderBelow(int root, const char* below) {
    // Where the system lacks the call (or forbids it), the way is walked one folder at a time.
    static std::atomic<bool> lacking{false};
    if (!lacking.load(std::memory_order_relaxed) && !WalkStepByStep()) {
        open_how how{};
        how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH;
        // The kernel asks to try again when a rename elsewhere raced the walk.
        for (int attempt = 0; attempt < 8; ++attempt) {
            const long fd = syscall(SYS_openat2, root, below, &how, sizeof how);
            if (fd >= 0)
                return int(fd);
            if (errno != EAGAIN)
                break;
        }
        if (errno != ENOSYS && errno != EPERM)
            return -1;
        lacking = true;
    }
    return OpenStepByStep(root, below);
}

RenameQueue::RenameQueue(std::function<void()> afterSome, QStringList keptFolders)
    : slots_(kMostQueued), afterSome_(std::move(afterSome)), keptFolders_(std::move(keptFolders)),
      thread_([this] { Run(); }) {}

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
    RenameSide source(keptFolders_), target(keptFolders_);
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
        if (BeforeRenameHook())
            BeforeRenameHook()(HostBytes(rename.fromFolder, rename.fromName),
                               HostBytes(rename.toFolder, rename.toName));
        FailedRename failure;
        const int from = source.Open(rename.fromFolder, rename.fromIdentity, &failure.error);
        const int to =
            from < 0 ? -1 : target.Open(rename.toFolder, rename.toIdentity, &failure.error);
        if (to >= 0) {
            const QByteArray fromName = EncodeHostPath(rename.fromName);
            const QByteArray toName =
                rename.toName == rename.fromName ? fromName : EncodeHostPath(rename.toName);
            if (rename.checkFile && !WritableFile(from, fromName.constData()))
                failure.notSettled = true;
            else if (!RenameNoReplaceAt(from, fromName.constData(), to, toName.constData(),
                                        &failure.error))
                failure.error = failure.error ? failure.error : EIO;
        }
        if (from >= 0)
            close(from);
        if (to >= 0)
            close(to);
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

void SetFolderWalkStepByStepForTests(bool stepByStep) {
    WalkStepByStep() = stepByStep;
}

} // namespace qv
