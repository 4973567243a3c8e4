#include "platform/process.h"

#include "platform/clock.h"
#include "platform/drivemap.h"
#include "platform/winresolve.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace qv {

namespace {

// How often a wait looks at the process: short enough that an end is seen at once.
constexpr int kPollSliceMs = 10;

bool IsSeparator(QChar c) {
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// "X:\..." or "X:/...": a path that names its drive.
bool IsFullWindowsPath(const QString& text) {
    return text.size() >= 3 && text.at(0).isLetter() && text.at(0).unicode() < 0x80 &&
           text.at(1) == QLatin1Char(':') && IsSeparator(text.at(2));
}

QString WithoutSurroundingQuotes(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('"')) &&
        trimmed.endsWith(QLatin1Char('"')))
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

// The Windows-form folder of a Windows-form path.
QString WindowsParent(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return cut > 2 ? path.left(cut) : path.left(3);
}

// Why a Windows-form program path cannot be run: its file is missing, or already its folder.
int MissingProgramError(const QString& windowsPath, int resolveError) {
    if (resolveError != ENOENT)
        return kShellPathNotFound;
    QString folder;
    return ResolvePath(WindowsParent(windowsPath), &folder) ? kShellFileNotFound
                                                            : kShellPathNotFound;
}

// A full Windows-form argument of a host program in host form; anything else as it is.
QString HostArgument(const QString& argument) {
    if (!IsFullWindowsPath(argument))
        return argument;
    ResolvedPath resolved;
    if (ResolvePathForCreate(argument, &resolved))
        return resolved.host;
    const QString literal = TheDriveMap().ToHost(argument);
    return literal.isEmpty() ? argument : literal;
}

std::vector<QByteArray> EncodedArguments(const HostCommand& command) {
    std::vector<QByteArray> encoded;
    encoded.push_back(QFile::encodeName(command.executable));
    for (const QString& argument : command.arguments)
        encoded.push_back(argument.toLocal8Bit());
    return encoded;
}

} // namespace

int ShellErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return kShellFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        return kShellPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
        return kShellAccessDenied;
    case ENOMEM:
    case E2BIG:
    case EAGAIN:
    case EMFILE:
    case ENFILE:
        return kShellOutOfMemory;
    case ENOEXEC:
    case ELIBBAD:
        return kShellBadFormat;
    case ETXTBSY:
        return kShellSharingViolation;
    default:
        return error;
    }
}

QStringList SplitWindowsArguments(const QString& text) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = text.at(i);
        if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            if (inArgument)
                arguments.append(current);
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == QLatin1Char('\\')) {
            qsizetype count = 0;
            while (i < size && text.at(i) == QLatin1Char('\\')) {
                ++count;
                ++i;
            }
            if (i < size && text.at(i) == QLatin1Char('"')) {
                current += QString(count / 2, QLatin1Char('\\'));
                if (count % 2 == 1) {
                    current += QLatin1Char('"');
                    ++i;
                }
            } else {
                current += QString(count, QLatin1Char('\\'));
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < size && text.at(i + 1) == QLatin1Char('"')) {
                current += QLatin1Char('"');
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}

bool IsWindowsProgram(const QString& program) {
    const QString name = program.trimmed();
    return name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".bat"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".com"), Qt::CaseInsensitive);
}

QString WineCommand() {
    const QString wine = qEnvironmentVariable("QUARVEL_WINE");
    return wine.isEmpty() ? QStringLiteral("wine") : wine;
}

bool BuildHostCommand(const QString& program, const QString& parameters, HostCommand* command,
                      int* shellError) {
    QString given = WithoutSurroundingQuotes(program);
    if (!IsFullWindowsPath(given) && !given.startsWith(QLatin1Char('/')) &&
        std::any_of(given.cbegin(), given.cend(), IsSeparator))
        given = ToWindowsForm(QDir::currentPath()) + QLatin1Char('\\') + given;

    QString windowsPath = given; // what Wine is given
    QString hostPath = given;    // what runs on the host
    if (IsFullWindowsPath(given)) {
        int error = 0;
        if (!ResolvePath(given, &hostPath, &error)) {
            *shellError = MissingProgramError(given, error);
            return false;
        }
    } else if (given.startsWith(QLatin1Char('/'))) {
        if (!QFileInfo::exists(given)) {
            *shellError = QFileInfo::exists(QFileInfo(given).absolutePath()) ? kShellFileNotFound
                                                                             : kShellPathNotFound;
            return false;
        }
        windowsPath = ToWindowsForm(given);
    }

    const QStringList arguments = SplitWindowsArguments(parameters);
    if (IsWindowsProgram(given)) {
        command->executable = WineCommand();
        command->arguments = QStringList{windowsPath} + arguments;
    } else {
        command->executable = hostPath;
        command->arguments.clear();
        for (const QString& argument : arguments)
            command->arguments.append(HostArgument(argument));
    }
    return true;
}

bool StartProcess(const HostCommand& command, qint64* processId, int* shellError) {
    const std::vector<QByteArray> encoded = EncodedArguments(command);
    std::vector<char*> argv;
    for (const QByteArray& argument : encoded)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv.front(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        *shellError = ShellErrorFromErrno(error);
        return false;
    }
    *processId = pid;
    return true;
}

bool StartProgram(const QString& program, const QString& parameters, qint64* processId,
                  int* shellError) {
    HostCommand command;
    return BuildHostCommand(program, parameters, &command, shellError) &&
           StartProcess(command, processId, shellError);
}

ProcessWait WaitForProcess(qint64 processId, int timeoutMs, int* error, int* exitCode) {
    const qint64 start = TheClock().MonotonicMs();
    for (;;) {
        int status = 0;
        const pid_t answer = waitpid(pid_t(processId), &status, WNOHANG);
        if (answer == pid_t(processId)) {
            if (exitCode)
                *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return ProcessWait::Ended;
        }
        if (answer < 0) {
            if (errno == EINTR)
                continue;
            if (error)
                *error = errno;
            return ProcessWait::Failed;
        }
        const qint64 elapsed = TheClock().MonotonicMs() - start;
        if (elapsed >= timeoutMs)
            return ProcessWait::TimedOut;
        TheClock().SleepMs(int(std::min<qint64>(kPollSliceMs, timeoutMs - elapsed)));
    }
}

void DetachProcess(qint64 processId) {
    std::thread([processId] {
        int status = 0;
        while (waitpid(pid_t(processId), &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace qv
