#include "platform/registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Reads a whole file. A missing file is a state, not an error: `exists` tells.
bool ReadFileState(const QString& path, bool* exists, QByteArray* bytes, QString* error) {
    bytes->clear();
    *exists = false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        *error = QStringLiteral("'%1': %2").arg(path, SystemError(errno));
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = QStringLiteral("'%1': %2").arg(path, SystemError(errno));
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        bytes->append(buffer, n);
    }
    ::close(fd);
    *exists = true;
    return true;
}

// One of our hive files as last read or written. A change is seen by comparing the file's bytes,
// which, unlike its times, cannot miss a quick succession of writes by another copy.
struct HiveCache {
    bool loaded = false;
    bool exists = false;
    QByteArray bytes;
    RegNode root;
    // A file that could be neither read nor set aside: read as empty, never written over.
    std::optional<QByteArray> unusable;
};

std::map<QString, HiveCache>& HiveCaches() {
    static std::map<QString, HiveCache> caches;
    return caches;
}

// Wine's files are large and seldom change: their size and time tell when to read them again.
struct WineCache {
    bool loaded = false;
    struct stat stamp {};
    RegNode root;
    bool win64 = false; // the file of a 64-bit prefix
};

// Wine marks the file of a 64-bit prefix with a line "#arch=win64" ahead of its first key.
bool IsWin64File(const QByteArray& bytes) {
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArray line = bytes.mid(start, end - start).trimmed();
        if (line.startsWith('['))
            return false;
        if (line == "#arch=win64")
            return true;
        start = end + 1;
    }
    return false;
}

// In a 64-bit prefix a 32-bit program, as MSTS, its installer and its tools are, sees its own
// branch of the machine's Software key, which Wine keeps under Wow6432Node (for the file classes,
// in Classes\Wow6432Node). The key there, when there is one, is the key the program meant; empty
// for a key outside Software.
QStringList Wow64Parts(const QStringList& parts) {
    const QString wow = QStringLiteral("Wow6432Node");
    if (parts.size() < 2 || RegFold(parts[0]) != RegFold(QStringLiteral("Software")) ||
        RegFold(parts[1]) == RegFold(wow))
        return {};
    const int shared = RegFold(parts[1]) == RegFold(QStringLiteral("Classes")) ? 2 : 1;
    if (shared == 2 && (parts.size() < 3 || RegFold(parts[2]) == RegFold(wow)))
        return {};
    return parts.mid(0, shared) + QStringList{wow} + parts.mid(shared);
}

std::map<QString, WineCache>& WineCaches() {
    static std::map<QString, WineCache> caches;
    return caches;
}

QStringList& Notices() {
    static QStringList notices;
    return notices;
}

std::optional<QString>& WinePrefixOverride() {
    static std::optional<QString> prefix;
    return prefix;
}

QString RootName(RegRoot root) {
    return root == HKEY_CURRENT_USER ? QStringLiteral("HKEY_CURRENT_USER")
                                     : QStringLiteral("HKEY_LOCAL_MACHINE");
}

QString HiveFile(RegRoot root) {
    return RegistryDir() + QLatin1Char('/') + RootName(root) + QStringLiteral(".reg");
}

// The key path below the hive's root: HKEY_CLASSES_ROOT lives in Software\Classes.
QStringList HiveParts(RegRoot root, const QString& path) {
    QStringList parts = RegSplitPath(path);
    if (root == HKEY_CLASSES_ROOT)
        parts = QStringList{QStringLiteral("Software"), QStringLiteral("Classes")} + parts;
    return parts;
}

// Writes the file whole under a temporary name, makes it durable and puts it in place in one step,
// so that a reader sees either the old file or the new one.
bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* error) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temp = target + ".tmp";
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        *error = QStringLiteral("'%1': %2").arg(QFile::decodeName(temp), SystemError(errno));
        return false;
    }
    int failure = 0;
    const auto fail = [&failure] {
        if (failure == 0)
            failure = errno != 0 ? errno : EIO;
    };
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail();
            break;
        }
        written += n;
    }
    if (failure == 0 && ::fsync(fd) != 0)
        fail();
    if (::close(fd) != 0)
        fail();
    if (failure == 0 && ::rename(temp.constData(), target.constData()) != 0)
        fail();
    if (failure != 0) {
        *error = QStringLiteral("'%1': %2").arg(path, SystemError(failure));
        ::unlink(temp.constData());
        return false;
    }
    const int dirFd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

// Renames an unreadable hive file to the first free ".bad" name, so that nothing of it is lost.
bool SetAside(const QString& path, QString* badPath, QString* error) {
    for (int n = 1;; ++n) {
        *badPath = path + (n == 1 ? QStringLiteral(".bad") : QStringLiteral(".bad%1").arg(n));
        if (!QFileInfo::exists(*badPath))
            break;
    }
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(*badPath).constData()) == 0)
        return true;
    *error = SystemError(errno);
    return false;
}

// Holds the exclusive lock of one hive for the lifetime of the object.
class HiveLock {
public:
    explicit HiveLock(const QString& hiveFile) : name_(hiveFile + QStringLiteral(".lock")) {
        fd_ = ::open(QFile::encodeName(name_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
            }
        }
        if (fd_ < 0)
            error_ = QStringLiteral("'%1': %2").arg(name_, SystemError(errno));
    }
    ~HiveLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;

    bool Held() const { return fd_ >= 0; }
    QString ErrorText() const { return error_; }

private:
    QString name_;
    int fd_ = -1;
    QString error_;
};

// The hive as the file now holds it; nullptr when it cannot be known (error says why). `locked`:
// the caller holds the hive's lock and is about to write.
RegNode* LoadHive(RegRoot root, bool locked, QString* error) {
    const QString path = HiveFile(root);
    HiveCache& cache = HiveCaches()[path];
    for (;;) {
        bool exists = false;
        QByteArray bytes;
        if (!ReadFileState(path, &exists, &bytes, error))
            return nullptr;
        if (cache.loaded && cache.exists == exists && cache.bytes == bytes)
            return &cache.root;
        if (exists && cache.unusable == bytes) {
            if (!locked)
                return &cache.root; // empty
            *error = QStringLiteral("'%1' could not be read and is not written over.").arg(path);
            return nullptr;
        }
        cache.loaded = false;
        cache.root = RegNode();
        QString reason;
        if (!exists || ParseHiveText(bytes, RootName(root), &cache.root, &reason)) {
            cache.exists = exists;
            cache.bytes = bytes;
            cache.loaded = true;
            return &cache.root;
        }
        cache.root = RegNode();
        // Unreadable: set it aside under the lock, and only when it is still the same file.
        std::optional<HiveLock> lock;
        if (!locked) {
            lock.emplace(path);
            bool stillExists = false;
            QByteArray now;
            if (!lock->Held()) {
                *error = lock->ErrorText();
                return nullptr;
            }
            if (!ReadFileState(path, &stillExists, &now, error))
                return nullptr;
            if (!stillExists || now != bytes)
                continue;
        }
        QString badPath;
        QString renameError;
        if (SetAside(path, &badPath, &renameError)) {
            Notices() << QStringLiteral("The registry file '%1' could not be read (%2). It has "
                                        "been kept as '%3' and an empty one is used instead.")
                             .arg(path, reason, badPath);
            continue;
        }
        Notices() << QStringLiteral("The registry file '%1' could not be read (%2), nor set "
                                    "aside (%3). Its settings are not in use and it will not be "
                                    "written over.")
                         .arg(path, reason, renameError);
        cache.unusable = bytes;
    }
}

WineCache* WineHive(RegRoot root) {
    const QString prefix = RegistryWinePrefix();
    if (prefix.isEmpty())
        return nullptr;
    const QString path = prefix + (root == HKEY_CURRENT_USER ? QStringLiteral("/user.reg")
                                                             : QStringLiteral("/system.reg"));
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return nullptr;
    WineCache& cache = WineCaches()[path];
    if (!cache.loaded || cache.stamp.st_ino != st.st_ino || cache.stamp.st_size != st.st_size ||
        cache.stamp.st_mtim.tv_sec != st.st_mtim.tv_sec ||
        cache.stamp.st_mtim.tv_nsec != st.st_mtim.tv_nsec) {
        bool exists = false;
        QByteArray bytes;
        QString error;
        cache.root = RegNode();
        cache.win64 = false;
        if (ReadFileState(path, &exists, &bytes, &error) && ParseWineRegistry(bytes, &cache.root))
            cache.win64 = IsWin64File(bytes);
        cache.stamp = st;
        cache.loaded = true;
    }
    return &cache;
}

enum class Change { Failed, Unchanged, Changed };

// Applies one change to the hive under its lock and writes the file when something changed.
bool ModifyHive(RegRoot root, const std::function<Change(RegNode&, QString*)>& change,
                QString* error) {
    const QString dir = RegistryDir();
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("The registry folder '%1' cannot be made.").arg(dir);
        return false;
    }
    const QString path = HiveFile(root);
    HiveLock lock(path);
    if (!lock.Held()) {
        *error = lock.ErrorText();
        return false;
    }
    RegNode* hive = LoadHive(root, true, error);
    if (!hive)
        return false;
    const Change result = change(*hive, error);
    if (result != Change::Changed)
        return result == Change::Unchanged;
    HiveCache& cache = HiveCaches()[path];
    const QByteArray bytes = HiveText(*hive, RootName(root));
    if (!ReplaceFile(path, bytes, error)) {
        cache.loaded = false; // the change is not on disk: forget it
        return false;
    }
    cache.exists = true;
    cache.bytes = bytes;
    return true;
}

// A key as RegistryKey::Current finds it for reading: ours, else Wine's, redirected as there.
const RegNode* FindForReading(RegRoot root, const QStringList& parts, RegNode* hive,
                              const RegNode* wine, bool wine64) {
    if (RegNode* node = hive ? RegFind(*hive, parts) : nullptr)
        return node;
    if (!wine)
        return nullptr;
    RegNode& wineRoot = const_cast<RegNode&>(*wine);
    if (wine64 && root != HKEY_CURRENT_USER) {
        const QStringList redirected = Wow64Parts(parts);
        if (RegNode* node = redirected.isEmpty() ? nullptr : RegFind(wineRoot, redirected))
            return node;
    }
    return RegFind(wineRoot, parts);
}

bool ValidKeyName(const QString& name) {
    return !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')) &&
           !name.contains(QChar(0));
}

} // namespace

// ---- public --------------------------------------------------------------------------------

QString RegistryDir() {
    const QString own = qEnvironmentVariable("QUARVEL_REGISTRY_DIR");
    if (!own.isEmpty())
        return own;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/quarvel/registry");
}

QString RegistryWinePrefix() {
    if (WinePrefixOverride())
        return *WinePrefixOverride();
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::homePath() + QStringLiteral("/.wine");
    return QFileInfo(prefix).isDir() ? prefix : QString();
}

void SetRegistryWinePrefix(std::optional<QString> prefix) {
    WinePrefixOverride() = std::move(prefix);
}

QStringList TakeHiveNotices() {
    QStringList notices;
    notices.swap(Notices());
    return notices;
}

bool RegKeyExists(RegRoot root, const QString& path) {
    RegistryKey key;
    return key.OpenReadOnly(root, path);
}

bool RegDeleteKey(RegRoot root, const QString& path, QString* error) {
    const QStringList parts = HiveParts(root, path);
    QString ignored;
    QString* why = error ? error : &ignored;
    if (RegSplitPath(path).isEmpty()) {
        *why = QStringLiteral("A root key cannot be deleted.");
        return false;
    }
    return ModifyHive(
        root,
        [&](RegNode& hive, QString* err) {
            RegNode* parent = RegFind(hive, parts.mid(0, parts.size() - 1));
            RegNode* node = parent ? parent->Child(parts.last()) : nullptr;
            if (!node)
                return Change::Unchanged;
            if (!node->children.empty()) {
                *err = QStringLiteral("The key '%1' has sub-keys.").arg(path);
                return Change::Failed;
            }
            parent->children.erase(RegFold(parts.last()));
            return Change::Changed;
        },
        why);
}

bool RegistryKey::Open(RegRoot root, const QString& path, bool canCreate) {
    Close();
    root_ = root;
    parts_ = HiveParts(root, path);
    readOnly_ = false;
    error_.clear();
    if (!canCreate) {
        RegNode* hive = LoadHive(root, false, &error_);
        open_ = hive && RegFind(*hive, parts_);
        return open_;
    }
    for (const QString& part : parts_) {
        if (!ValidKeyName(part)) {
            error_ = QStringLiteral("'%1' is not a valid key name.").arg(part);
            return false;
        }
    }
    if (const QString problem = RegPathProblem(parts_); !problem.isEmpty()) {
        error_ = QStringLiteral("The key cannot be made: %1.").arg(problem);
        return false;
    }
    open_ = ModifyHive(
        root,
        [&](RegNode& hive, QString*) {
            if (RegFind(hive, parts_))
                return Change::Unchanged;
            RegNode* node = &hive;
            for (const QString& part : parts_)
                node = node->AddChild(part);
            return Change::Changed;
        },
        &error_);
    return open_;
}

bool RegistryKey::OpenReadOnly(RegRoot root, const QString& path) {
    Close();
    root_ = root;
    parts_ = HiveParts(root, path);
    readOnly_ = true;
    open_ = Current() != nullptr;
    return open_;
}

void RegistryKey::Close() {
    open_ = false;
    parts_.clear();
    error_.clear();
}

const RegNode* RegistryKey::Current() {
    error_.clear();
    RegNode* hive = LoadHive(root_, false, &error_);
    if (RegNode* node = hive ? RegFind(*hive, parts_) : nullptr)
        return node;
    WineCache* wine = readOnly_ ? WineHive(root_) : nullptr;
    if (!wine)
        return nullptr;
    // The user's own keys are not redirected; the machine's are, for the programs we look up.
    if (wine->win64 && root_ != HKEY_CURRENT_USER) {
        const QStringList redirected = Wow64Parts(parts_);
        if (RegNode* node = redirected.isEmpty() ? nullptr : RegFind(wine->root, redirected))
            return node;
    }
    return RegFind(wine->root, parts_);
}

const RegNode* RegistrySnapshot::Key(RegRoot root, const QString& path) {
    // HKEY_CLASSES_ROOT lies in the hive of HKEY_LOCAL_MACHINE.
    Taken& taken = roots_[root == HKEY_CURRENT_USER ? 1 : 0];
    const RegRoot hiveRoot = root == HKEY_CURRENT_USER ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    // The trees stay where they are in their caches, changed in place by our own writes.
    if (!taken.taken) {
        QString error;
        taken.ours = LoadHive(hiveRoot, false, &error);
        const WineCache* wine = WineHive(hiveRoot);
        taken.wine = wine ? &wine->root : nullptr;
        taken.wine64 = wine ? &wine->win64 : nullptr;
        taken.taken = true;
    }
    return FindForReading(root, HiveParts(root, path), taken.ours, taken.wine,
                          taken.wine64 && *taken.wine64);
}

bool RegistrySnapshot::ReadValue(RegRoot root, const QString& path, const QString& name,
                                 RegValue* value) {
    const RegNode* node = Key(root, path);
    const RegValue* found = node ? node->Value(name) : nullptr;
    if (found)
        *value = *found;
    return found != nullptr;
}

bool RegistryKey::ReadValue(const QString& name, RegValue* value) {
    const RegNode* node = open_ ? Current() : nullptr;
    const RegValue* found = node ? node->Value(name) : nullptr;
    if (found)
        *value = *found;
    return found != nullptr;
}

bool RegistryKey::ValueExists(const QString& name) {
    RegValue ignored;
    return ReadValue(name, &ignored);
}

QStringList RegistryKey::ValueNames() {
    QStringList names;
    if (const RegNode* node = open_ ? Current() : nullptr) {
        for (const auto& entry : node->values)
            names << entry.first;
    }
    return names;
}

QStringList RegistryKey::SubKeyNames() {
    QStringList names;
    if (const RegNode* node = open_ ? Current() : nullptr) {
        for (const auto& entry : node->children)
            names << entry.second->name;
    }
    return names;
}

namespace {

// Applies a change to the node of a key open for writing, under the hive's lock.
bool ModifyOpenKey(bool open, bool readOnly, RegRoot root, const QStringList& parts, QString* error,
                   const std::function<Change(RegNode&)>& change) {
    error->clear();
    if (!open || readOnly) {
        *error = open ? QStringLiteral("The key is open for reading only.")
                      : QStringLiteral("The key is not open.");
        return false;
    }
    return ModifyHive(
        root,
        [&](RegNode& hive, QString* err) {
            RegNode* node = RegFind(hive, parts);
            if (!node) {
                *err = QStringLiteral("The key has been deleted.");
                return Change::Failed;
            }
            return change(*node);
        },
        error);
}

} // namespace

bool RegistryKey::Write(const QString& name, const RegValue& value) {
    // A write that changes nothing leaves the file unwritten (a job writes the same settings at
    // every end).
    return ModifyOpenKey(open_, readOnly_, root_, parts_, &error_, [&](RegNode& node) {
        return node.SetValue(name, value) ? Change::Changed : Change::Unchanged;
    });
}

bool RegistryKey::WriteString(const QString& name, const QString& text) {
    return WriteStrings({{name, text}});
}

bool RegistryKey::WriteStrings(const QList<std::pair<QString, QString>>& values) {
    return ModifyOpenKey(open_, readOnly_, root_, parts_, &error_, [&](RegNode& node) {
        Change change = Change::Unchanged;
        for (const auto& [name, text] : values) {
            RegValue value;
            value.type = REG_SZ;
            value.text = text;
            if (node.SetValue(name, value))
                change = Change::Changed;
        }
        return change;
    });
}

bool RegistryKey::WriteExpandString(const QString& name, const QString& text) {
    RegValue value;
    value.type = REG_EXPAND_SZ;
    value.text = text;
    return Write(name, value);
}

bool RegistryKey::WriteDword(const QString& name, quint32 number) {
    RegValue value;
    value.type = REG_DWORD;
    value.dword = number;
    return Write(name, value);
}

bool RegistryKey::WriteBinary(const QString& name, const QByteArray& data) {
    RegValue value;
    value.type = REG_BINARY;
    value.data = data;
    return Write(name, value);
}

bool RegistryKey::DeleteValue(const QString& name) {
    return ModifyOpenKey(open_, readOnly_, root_, parts_, &error_, [&](RegNode& node) {
        return node.RemoveValue(name) ? Change::Changed : Change::Unchanged;
    });
}

} // namespace qv
