// Starting other programs in place of the Windows shell: a host program runs as it is, a Windows
// program (.exe, .bat, .com) runs through Wine with its Windows-form path. The parameters are one
// text, split the way a Windows program splits its command line. Waiting polls the process in
// short slices through the program's clock; a program nobody waits for any longer is reaped in
// the background, and every program runs in a session of its own so that it outlives this one.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

// The shell's error numbers that a failed start is reported with (ShellErrorText turns them into
// texts); other failures keep their errno.
constexpr int kShellFileNotFound = 2;
constexpr int kShellPathNotFound = 3;
constexpr int kShellAccessDenied = 5;
constexpr int kShellOutOfMemory = 8;
constexpr int kShellBadFormat = 11;
constexpr int kShellSharingViolation = 26;

// The shell error number of an errno from starting a program.
int ShellErrorFromErrno(int error);

// Splits a parameter text into arguments as a Windows program splits its command line: blanks and
// tabs separate arguments outside double quotes; 2n backslashes before a quote give n backslashes
// and the quote opens or closes quoting, 2n+1 give n backslashes and a literal quote; "" inside
// quotes is a literal quote; other backslashes are plain characters.
QStringList SplitWindowsArguments(const QString& text);

// True for a program that runs through Wine: its name ends in .exe, .bat or .com (any case).
bool IsWindowsProgram(const QString& program);

// The Wine launcher: $QUARVEL_WINE, else "wine".
QString WineCommand();

// What actually runs: a host file (or a bare name looked up in PATH) and its arguments.
struct HostCommand {
    QString executable;
    QStringList arguments; // without the program name itself
};

// The command for a program and a parameter text. The program may be a Windows-form path, a host
// path, a path relative to the current folder, or a bare name (found by Wine or in PATH). A
// Windows program becomes Wine with the program's Windows-form path and the arguments as given;
// a host program gets every full Windows-form path among its arguments in host form. False, with
// kShellFileNotFound or kShellPathNotFound, when a program given with a folder is not there.
bool BuildHostCommand(const QString& program, const QString& parameters, HostCommand* command,
                      int* shellError);

// Starts a command in a session of its own with default signal handling, so that neither the end
// of this program nor the loss of its terminal ends it. False with a shell error number.
bool StartProcess(const HostCommand& command, qint64* processId, int* shellError);

// BuildHostCommand, then StartProcess.
bool StartProgram(const QString& program, const QString& parameters, qint64* processId,
                  int* shellError);

enum class ProcessWait { Ended, TimedOut, Failed };

// Waits up to timeoutMs for a started process to end (0: looks once), reaping it when it has;
// `exitCode` then receives its exit status (-1 when a signal ended it). Failed, with the errno in
// `error`, when the process cannot be waited for (not our child, or reaped already).
ProcessWait WaitForProcess(qint64 processId, int timeoutMs, int* error = nullptr,
                           int* exitCode = nullptr);

// Stops waiting for a started process: it is reaped in the background when it ends, so that no
// zombie is left while this program runs on. It is never waited for again.
void DetachProcess(qint64 processId);

} // namespace qv
