#include "easy/launchprogram.h"

#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/filemove.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/toolpaths.h"
#include "easy/savedactivity.h"
#include "platform/inifile.h"
#include "platform/process.h"
#include "platform/singleinstance.h"
#include "platform/ui.h"

#include <QCoreApplication>

namespace qv {

namespace {

constexpr int kWaitPassMs = 100;
// About 15 seconds of passes in which MSTS's window may appear.
constexpr int kWindowSearchPasses = 150;

const QString kWaitingSemaphore = QStringLiteral("Waiting Semaphore");

void WriteWaitingSemaphore(int value) {
    RegWriteString(kProductKey, kWaitingSemaphore, QString::number(value));
}

// A program still starting when its window was given up on may need the files prepared for it
// (an Explore session's activity): what follows the wait must not come while it runs.
QString KeepWaitingQuestion() {
    return QStringLiteral("\r\r") +
           QCoreApplication::translate("LaunchProgram",
                                       "MSTS may still be starting. Wait until it has ended "
                                       "before its Explore files are removed?");
}

bool IsMinimiseCommand(int showCommand) {
    return showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE ||
           showCommand == SW_SHOWMINNOACTIVE;
}

} // namespace

std::int32_t LaunchProgram(const QString& program, const QString& parameters,
                           const QString& displayName, bool minimiseSelf, bool startMinimised,
                           bool noWait) {
    qint64 processId = 0;
    int shellError = 0;
    if (!StartProgram(ExpandEnvironmentVars(program), parameters, &processId, &shellError)) {
        TheUi().MessageBox(ShellErrorText(shellError), App().ProgramTitle, MB_ICONSTOP);
        return -1;
    }
    if (minimiseSelf)
        TheMainServices().MinimiseApplication();
    if (noWait && !startMinimised) {
        DetachProcess(processId);
        return std::int32_t(processId);
    }
    return WaitForProgram(processId, displayName, noWait, startMinimised);
}

std::int32_t WaitForProgram(qint64 processId, const QString& displayName, bool noWait,
                            bool watchWindow) {
    WindowHandle window = 0;
    int searchPasses = 0;
    // The Explore check's mode: 1 while MSTS's window is searched for and watched, 0 after.
    int checkMode = watchWindow ? 1 : 0;
    bool ended = false;
    bool done = false;
    std::int32_t result = 0;
    SetBusy(true);
    WriteWaitingSemaphore(1);
    while (!done) {
        PumpMessagesIfBusy();
        int error = 0;
        switch (WaitForProcess(processId, kWaitPassMs, &error)) {
        case ProcessWait::Ended:
            ended = true;
            result = 0;
            TheMainServices().RestoreApplication();
            done = true;
            break;
        case ProcessWait::TimedOut:
            if (checkMode == 0)
                break;
            ++searchPasses;
            if (!window) {
                const std::unique_ptr<ProcessesInfo> identity = MstsWindowIdentity();
                window = FindTopWindow(identity->WindowClass, identity->WindowTitle);
                if (window) {
                    // The program was to start minimised; a window is only told so once it is
                    // there.
                    ShowTopWindow(window, SW_SHOWMINIMIZED);
                } else if (searchPasses == kWindowSearchPasses + 1) {
                    const QString text = Caption(Msg::UNEXPECTED_LEG) + QLatin1Char(' ') +
                                         QV_MODULE_LINE() + QLatin1Char('\n') +
                                         Caption(Msg::WAIT_ACTION_ERR_LEG1);
                    if (noWait) {
                        TheUi().MessageBox(text, App().ProgramTitle, MB_ICONSTOP);
                        result = 0;
                        SetBusy(false);
                        done = true;
                    } else if (TheUi().MessageBox(text + KeepWaitingQuestion(), App().ProgramTitle,
                                                  MB_ICONSTOP | MB_YESNO) != ID_YES) {
                        // The user gives up on the wait: whatever follows it comes now.
                        result = 0;
                        SetBusy(false);
                        done = true;
                    }
                    // Waited for on, a slow start still meets the window search until it ends.
                }
                break;
            }
            checkMode = CheckExplorerActivity(checkMode, processId, window);
            if (checkMode == 0) {
                ShowTopWindow(window, SW_RESTORE);
                if (noWait) {
                    result = 0;
                    done = true;
                }
            }
            break;
        case ProcessWait::Failed:
            // Nothing is left to reap: the process is not (or no longer) ours to wait for.
            ended = true;
            result = -1;
            SetBusy(false);
            TheMainServices().RestoreApplication();
            TheUi().MessageBox(!displayName.isEmpty()
                                   ? displayName + QStringLiteral(" - ") + ErrorNumberText(error)
                                   : UnexpectedText(__FILE__, __LINE__, ErrorNumberText(error)),
                               App().ProgramTitle, MB_ICONSTOP);
            done = true;
            break;
        }
    }
    SetBusy(false);
    if (!ended)
        DetachProcess(processId);
    WriteWaitingSemaphore(0);
    return result;
}

WindowHandle FindTopWindow(const QString& className, const QString& title) {
    // Another copy of this program answers on its socket; its windows are not searched for.
    if (className.isEmpty() && title.isEmpty())
        return OtherCopyRunning() ? kOtherCopyWindow : 0;
    return FindXWindow(className, title);
}

void ShowTopWindow(WindowHandle window, int showCommand) {
    if (window == kOtherCopyWindow)
        RaiseOtherCopy();
    else if (window && IsMinimiseCommand(showCommand))
        MinimiseXWindow(window);
    else if (window)
        RestoreXWindow(window);
}

void BringTopWindowToFront(WindowHandle window) {
    if (window == kOtherCopyWindow)
        RaiseOtherCopy();
    else if (window)
        ActivateXWindow(window);
}

std::unique_ptr<ProcessesInfo> MstsWindowIdentity() {
    const QString program = ProgramFilePath();
    const QString file = program.left(program.lastIndexOf(QLatin1Char('\\')) + 1) +
                         QStringLiteral("QV_TEMP_PARAM.DAT");
    IniFile ini;
    LoadIniFile(file, &ini);
    const QString section = QStringLiteral("MSTS Title Class");
    auto identity = std::make_unique<ProcessesInfo>();
    identity->WindowTitle =
        ini.ReadString(section, QStringLiteral("WindowTitle"), QStringLiteral("Train Simulator"));
    identity->WindowClass =
        ini.ReadString(section, QStringLiteral("WindowClass"), QStringLiteral("TrainSim"));
    return identity;
}

QString ShellErrorText(int code) {
    switch (code) {
    case 0:
    case 8:
        return Caption(Msg::SE_ERR_OOM_LEG);
    case 2:
        return Caption(Msg::ERROR_FILE_NOT_FOUND_LEG);
    case 3:
        return Caption(Msg::ERROR_PATH_NOT_FOUND_LEG);
    case 5:
        return Caption(Msg::SE_ERR_ACCESSDENIED_LEG);
    case 11:
        return Caption(Msg::ERROR_BAD_FORMAT_LEG);
    case 26:
        return Caption(Msg::SE_ERR_SHARE_LEG);
    case 27:
        return Caption(Msg::SE_ERR_ASSOCINCOMPLETE_LEG);
    case 28:
        return Caption(Msg::SE_ERR_DDETIMEOUT_LEG);
    case 29:
        return Caption(Msg::SE_ERR_DDEFAIL_LEG);
    case 30:
        return Caption(Msg::SE_ERR_DDEBUSY_LEG);
    case 31:
        return Caption(Msg::SE_ERR_NOASSOC_LEG);
    case 32:
        return Caption(Msg::SE_ERR_DLLNOTFOUND_LEG);
    default:
        return UnexpectedText(__FILE__, __LINE__, QString::number(code));
    }
}

} // namespace qv
