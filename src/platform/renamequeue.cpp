#include "platform/renamequeue.h"

#include "platform/folderlisting.h"
#include "platform/keptfolders.h"
#include "platform/winfs.h"

#include <algorithm>
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
// How many renames are made in a pair of folders before the folders are checked to be at their
// places still: the most that go back should either have been moved meanwhile.
constexpr std::size_t kMostUnchecked = 32;

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

// One side of the renames (where they come from, or where they go to): a handle of the folder a
// run of renames acts in, opened without following any link below the kept folder it lies in and
// found to be the very folder judged when the renames were decided. The files are renamed by
// their bare names relative to it, so that they go nowhere but into (or out of) that folder; the
// way is walked again to find the folder still at its place before the renames count as done.
class RenameSide {
public:
    explicit RenameSide(const QStringList& keptFolders) : keptFolders_(keptFolders) {}
    ~RenameSide() { Close(); }
    RenameSide(const RenameSide&) = delete;
    RenameSide& operator=(const RenameSide&) = delete;

    // Whether the handle held is of `folder` as judged.
    bool Holds(const QString& folder, const FolderIdentity& judged) const {
        // The caller hands over copies of one text for a run: mostly the same characters.
        return fd_ >= 0 && judged.device == judged_.device && judged.inode == judged_.inode &&
               folder.size() == folder_.size() &&
               (folder.constData() == folder_.constData() || folder == folder_);
    }
    // Opens and holds the folder, found to be the folder `judged` (when that is given); the
    // error, or 0.
    int Hold(const QString& folder, const FolderIdentity& judged) {
        Release();
        folder_ = folder;
        judged_ = judged;
        Enter(folder);
        int error = 0;
        fd_ = OpenHere(&self_, &error);
        if (fd_ >= 0 && judged.inode != 0 &&
            (self_.st_dev != judged.device || self_.st_ino != judged.inode)) {
            // Another folder stands where the one judged was: that one is not there.
            Release();
            error = ENOENT;
        }
        return error;
    }
    int Fd() const { return fd_; }
    // Whether the folder held is still at its place, found by its way as it was found when it
    // was opened; the error, or 0. A folder removed since (emptied by the renames, and removed
    // by the job) counts as at its place with `removedIsFine`.
    int StillInPlace(bool removedIsFine) {
        struct stat now {};
        int error = 0;
        const int fd = OpenHere(&now, &error);
        if (fd >= 0)
            close(fd);
        if (fd >= 0 && now.st_dev == self_.st_dev && now.st_ino == self_.st_ino)
            return 0;
        struct stat held {};
        if (removedIsFine && fstat(fd_, &held) == 0 && held.st_nlink == 0)
            return 0;
        return error ? error : ENOENT;
    }
    // Nothing is held while nothing is to be done.
    void Close() {
        Release();
        if (root_ >= 0)
            close(root_);
        root_ = -1;
        kept_ = -1;
    }

private:
    void Release() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }
    // The kept folder the folder lies in (the innermost), and its way below it; or the whole
    // path, below none.
    void Enter(const QString& folder) {
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
        below_ = EncodeHostPath(kept < 0 ? folder : folder.mid(cut + 1));
        if (below_.isEmpty())
            below_ = ".";
    }
    // Opens the folder by its way, with its stat; -1 with the error.
    int OpenHere(struct stat* st, int* error) {
        int fd = -1;
        if (kept_ < 0) {
            // Below no kept folder there is nothing to judge links by: the folder as its path
            // finds it.
            fd = open(below_.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        } else {
            if (root_ < 0)
                root_ = open(EncodeHostPath(keptFolders_.at(kept_)).constData(),
                             O_PATH | O_DIRECTORY | O_CLOEXEC);
            fd = root_ < 0 ? -1 : OpenFolderBelow(root_, below_.constData());
        }
        if (fd < 0 || fstat(fd, st) != 0) {
            *error = errno ? errno : EIO;
            if (fd >= 0)
                close(fd);
            return -1;
        }
        return fd;
    }

    const QStringList& keptFolders_;
    QString folder_;
    FolderIdentity judged_;
    int kept_ = -1;    // the place of its kept folder, -1: none
    QByteArray below_; // its way below the kept folder, or its whole path
    int root_ = -1;    // the kept folder's handle, when open
    int fd_ = -1;      // the folder's handle, when held
    struct stat self_ {};
};

// The renames made since their two folders were last found at their places, and the failures
// among them: they count as done, and the failures are told, only once the folders are found
// there still.
struct Unchecked {
    struct Made {
        quint64 seq;
        QByteArray from;
        QByteArray to;
    };
    quint64 last = 0; // the last rename among them (0: none)
    std::vector<Made> made;
    std::vector<FailedRename> failures;
};

std::function<void(const QByteArray&, const QByteArray&)>& BeforeRenameHook() {
    static std::function<void(const QByteArray&, const QByteArray&)> hook;
    return hook;
}

// The host path of a name in a folder, as the hook is given it.
QByteArray HostBytes(const QString& folder, const QString& name) {
    return EncodeHostPath(JoinHostPath(folder, name));
}

// The renames made since their folders were last found at their places, checked: when either
// folder is not there now (moved away, or a link put on its way), each file goes back and its
// rename fails, and neither folder is held any longer. Gives the failures among the renames, in
// their order.
std::vector<FailedRename> Check(Unchecked* unchecked, RenameSide* source, RenameSide* target) {
    std::vector<FailedRename> failures = std::move(unchecked->failures);
    if (!unchecked->made.empty()) {
        int error = target->StillInPlace(false);
        if (error == 0)
            error = source->StillInPlace(true);
        if (error != 0) {
            for (const Unchecked::Made& made : unchecked->made) {
                int ignored = 0;
                RenameNoReplaceAt(target->Fd(), made.to.constData(), source->Fd(),
                                  made.from.constData(), &ignored);
                failures.push_back(FailedRename{made.seq, error, false});
            }
            std::sort(failures.begin(), failures.end(),
                      [](const FailedRename& a, const FailedRename& b) { return a.seq < b.seq; });
            source->Close();
            target->Close();
        }
    }
    *unchecked = Unchecked();
    return failures;
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
    Unchecked unchecked;
    const auto settle = [&] {
        const quint64 last = unchecked.last;
        if (last != 0)
            Publish(last, Check(&unchecked, &source, &target));
    };
    // The caller waits for a rename made but not counted done yet.
    const auto awaited = [&] {
        const quint64 wakeAt = wakeAt_.load(std::memory_order_seq_cst);
        return wakeAt != 0 && wakeAt <= unchecked.last;
    };
    for (quint64 next = 1;; ++next) {
        // The next rename mostly comes within microseconds: waiting for it a moment spares the
        // caller waking this thread for each one.
        if (afterSome_ && (Pushed() < next ||
                           (next % kRenamesBetweenCalls == 0 && Pushed() - next < kBehindForHook)))
            afterSome_();
        while (Pushed() < next) {
            for (int spin = 0; spin < kSpins && Pushed() < next && !awaited(); ++spin)
                Pause();
            if (Pushed() >= next)
                break;
            // What was made is checked and told before the thread waits, and at once when the
            // caller waits for it.
            const bool waitedFor = awaited();
            settle();
            if (waitedFor)
                continue;
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
        failure.seq = next;
        if (!source.Holds(rename.fromFolder, rename.fromIdentity) ||
            !target.Holds(rename.toFolder, rename.toIdentity)) {
            // Another pair of folders: the renames between the last two are checked first (which
            // lets go of both when either is found moved).
            settle();
            if (!source.Holds(rename.fromFolder, rename.fromIdentity))
                failure.error = source.Hold(rename.fromFolder, rename.fromIdentity);
            if (failure.error == 0 && !target.Holds(rename.toFolder, rename.toIdentity))
                failure.error = target.Hold(rename.toFolder, rename.toIdentity);
        }
        if (failure.error == 0) {
            QByteArray fromName = EncodeHostPath(rename.fromName);
            QByteArray toName =
                rename.toName == rename.fromName ? fromName : EncodeHostPath(rename.toName);
            if (rename.checkFile && !WritableFile(source.Fd(), fromName.constData()))
                failure.notSettled = true;
            else if (RenameNoReplaceAt(source.Fd(), fromName.constData(), target.Fd(),
                                       toName.constData(), &failure.error))
                unchecked.made.push_back(
                    Unchecked::Made{next, std::move(fromName), std::move(toName)});
            else
                failure.error = failure.error ? failure.error : EIO;
        }
        if (failure.notSettled || failure.error)
            unchecked.failures.push_back(failure);
        unchecked.last = next;
        if (unchecked.made.size() >= kMostUnchecked || awaited())
            settle();
    }
}

void RenameQueue::Publish(quint64 last, std::vector<FailedRename>&& failures) {
    // A failure is kept before the rename counts as done, so that whoever sees it done sees the
    // failure too.
    if (!failures.empty()) {
        std::lock_guard<std::mutex> lock(mutex_);
        failures_.insert(failures_.end(), failures.begin(), failures.end());
        failed_.store(true, std::memory_order_release);
    }
    done_.store(last, std::memory_order_seq_cst);
    const quint64 wakeAt = wakeAt_.load(std::memory_order_seq_cst);
    if (wakeAt != 0 && last >= wakeAt) {
        { std::lock_guard<std::mutex> lock(mutex_); }
        progress_.notify_one();
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
