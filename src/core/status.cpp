#include "core/status.h"

#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "platform/clock.h"
#include "platform/ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <memory>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace qv {

namespace {

// A long loop calls the pump and the status text per item; doing the work behind them for each
// of 20,000 files would cost more than the job itself.
constexpr qint64 kThrottleMs = 30;

std::unique_ptr<QFile> logFile;

// True, and the time taken, when the last time lies at least kThrottleMs back (or never was).
bool ThrottleDue(qint64& last) {
    const qint64 now = TheClock().MonotonicMs();
    if (last >= 0 && now >= last && now - last < kThrottleMs)
        return false;
    last = now;
    return true;
}

void RepaintStatusBarThrottled() {
    if (ThrottleDue(App().LastStatusRepaintMs))
        TheMainServices().RepaintStatusBar();
}

void LogMessage(const QString& text) {
    TheUi().MessageBox(text, App().ProgramTitle, MB_ICONEXCLAMATION);
}

// The log's date: English names, 12-hour clock, ending in a line feed.
QString LogDateText() {
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(TheClock().Now(), QStringLiteral("ddd, dd, MMM yyyy ' at ' hh:mm AP")) +
           QLatin1Char('\n');
}

bool WriteLog(const QString& text) {
    if (!logFile || !logFile->isOpen())
        return false;
    const QByteArray bytes = text.toUtf8();
    return logFile->write(bytes) == bytes.size() && logFile->flush();
}

QStringList ReadLogLines(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = QString::fromUtf8(file.readAll()).split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void StartLogging(ReportPane* pane) {
    const QString name = MakeTempFileName(QStringLiteral("QV"));
    auto file = std::make_unique<QFile>(name);
    const QString text = QStringLiteral("Logging Started on ") + LogDateText();
    bool started = !name.isEmpty() && file->open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (started) {
        logFile = std::move(file);
        started = WriteLog(text);
    }
    if (!started) {
        logFile.reset();
        // The file was made for this log alone; nothing else will ever remove it.
        if (!name.isEmpty())
            QFile::remove(name);
        LogMessage(QStringLiteral("LogFile Open Error"));
        return;
    }
    if (pane)
        pane->AddLine(text.chopped(1));
    App().LogFileName = name;
    App().LoggingActive = true;
}

void StopLogging(ReportPane* pane) {
    const QString closing = QStringLiteral("\nLogging Ended on ") + LogDateText();
    if (!WriteLog(closing))
        LogMessage(QStringLiteral("LogFile Close Error"));
    logFile.reset();
    const QString name = App().LogFileName;
    if (pane)
        pane->SetLines(ReadLogLines(name));
    if (!name.isEmpty())
        QFile::remove(name);
    App().LogFileName.clear();
    App().LoggingActive = false;
}

void SetNodeState(ItemNode* node, int state) {
    node->Data()->StoreInd = state;
    node->StateIndex = state;
    App().TreeSynchronised = false;
    App().ScenarioChanged = true;
}

} // namespace

// ---- Status stack ------------------------------------------------------------------------------

namespace {

thread_local int quietStatus = 0;
thread_local int throttledReads = 0;

} // namespace

QuietStatus::QuietStatus() {
    ++quietStatus;
}

QuietStatus::~QuietStatus() {
    --quietStatus;
}

ThrottledReadStatus::ThrottledReadStatus() {
    ++throttledReads;
}

ThrottledReadStatus::~ThrottledReadStatus() {
    --throttledReads;
}

void PushStatus(const QString& code) {
    if (quietStatus > 0)
        return;
    App().StatusCodeStack.prepend(code);
    TheMainServices().SetStatusText(0, code);
    LogStatus();
}

void PopStatus() {
    if (quietStatus > 0)
        return;
    QStringList& stack = App().StatusCodeStack;
    if (!stack.isEmpty())
        stack.removeFirst();
    MainServices& services = TheMainServices();
    services.SetStatusText(0, stack.isEmpty() ? QString() : stack.first());
    services.SetStatusText(1, QString());
    RepaintStatusBarThrottled();
}

StatusGuard::StatusGuard(const QString& code) {
    PushStatus(code);
}

StatusGuard::~StatusGuard() {
    PopStatus();
}

void SetStatusDetail(const QString& text) {
    if (quietStatus > 0)
        return;
    TheMainServices().SetStatusText(1, text);
    LogStatus();
}

void ShowReadStatus(Msg label, const QString& name) {
    if (throttledReads > 0 && !StatusTextDue())
        return;
    SetStatusDetail(Caption(label) + QStringLiteral(" '") + name + QLatin1Char('\''));
}

void LogStatus() {
    if (quietStatus > 0)
        return;
    MainServices& services = TheMainServices();
    if (App().LoggingActive)
        LogWrite(services.StatusText(0) + QStringLiteral(": ") + services.StatusText(1),
                 services.InformationMemo());
    RepaintStatusBarThrottled();
}

// ---- Busy flag and event pump ------------------------------------------------------------------

bool StatusTextDue() {
    if (quietStatus > 0)
        return false;
    const qint64 last = App().LastStatusRepaintMs;
    const qint64 now = TheClock().MonotonicMs();
    return App().LoggingActive || last < 0 || now < last || now - last >= kThrottleMs;
}

void SetBusy(bool busy) {
    App().Busy = busy;
    TheMainServices().SetBusyControlsEnabled(!busy);
}

void PumpMessagesIfBusy() {
    if (quietStatus == 0 && App().Busy && ThrottleDue(App().LastPumpMs))
        TheMainServices().ProcessEvents();
}

// ---- Memory usage ------------------------------------------------------------------------------

QString MemoryUsageText() {
    qint64 allocated = 0;
    qint64 free = 0;
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    allocated = qint64(info.uordblks);
    free = qint64(info.fordblks);
#endif
    return QStringLiteral("Dynamic Memory Usage- Allocated: ") + QString::number(allocated) +
           QStringLiteral(" - Free: ") + QString::number(free);
}

void ShowMemoryUsage() {
    TheMainServices().SetStatusText(1, MemoryUsageText());
}

// ---- Log ---------------------------------------------------------------------------------------

void ToggleLogging(ReportPane* pane) {
    if (App().LoggingActive)
        StopLogging(pane);
    else
        StartLogging(pane);
}

void LogWrite(const QString& text, ReportPane* pane) {
    if (!App().LoggingActive)
        return;
    if (WriteLog(text + QLatin1Char('\n')))
        return;
    LogMessage(QStringLiteral("LogFile Write Error - Logging Stopped"));
    StopLogging(pane);
}

QString MakeTempFileName(const QString& prefix) {
    // A temporary folder that does not exist comes back empty; the file must not land in "/".
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return QString();
    QTemporaryFile file(folder + QLatin1Char('/') + prefix + QStringLiteral("XXXXXX.tmp"));
    file.setAutoRemove(false);
    if (!file.open())
        return QString();
    return file.fileName();
}

// ---- Node states -------------------------------------------------------------------------------

void SetRouteNodeState(ItemNode* node, int state) {
    if (!node || !(node->Data()->PType & PT_ROUTE))
        return;
    if (node->Data()->PType & PT_HEADING) {
        for (int i = 0; i < node->ChildCount(); ++i)
            SetRouteNodeState(node->Child(i), state);
        return;
    }
    SetNodeState(node, state);
    for (int i = 0; i < node->ChildCount(); ++i)
        SetActivityNodeState(node->Child(i), state);
}

void SetActivityNodeState(ItemNode* node, int state) {
    if (!node || !(node->Data()->PType & PT_ACTIVITY))
        return;
    if (node->Data()->PType & PT_HEADING) {
        for (int i = 0; i < node->ChildCount(); ++i)
            SetActivityNodeState(node->Child(i), state);
        return;
    }
    // An activity in use needs its route in the MSTS folder too.
    if (state == SI_IN_USE && node->Data()->PLevel == 3 && node->Parent()) {
        ItemNode* route = node->Parent()->Parent();
        if (route && route->Data()->StoreInd == SI_IN_STORE && (route->Data()->PType & PT_ROUTE)) {
            route->Data()->StoreInd = SI_IN_USE;
            route->StateIndex = SI_IN_USE;
        }
    }
    SetNodeState(node, state);
}

} // namespace qv
