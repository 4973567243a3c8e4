// The program entry: the application object, the Qt Ui, the main window, the event loop. With
// "--demo" first on the command line, the program runs on a synthetic installation of its own
// (see demo.h); any further argument is the main window's command-line argument.
#include "app/demo.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/startupconfig.h"
#include "engine/fixedobjects.h"
#include "mainwindow/forms/mainform.h"
#include "platform/terminate.h"
#include "platform/ui.h"
#include "qtui/qtui.h"

#include <QApplication>
#include <QIcon>
#include <exception>

namespace {

const QString kTitle = QStringLiteral("Quarvel");

// Shows an exception that nothing else caught and ends the program.
void EndWithException(const QString& text) {
    const QString title = qv::App().ProgramTitle.isEmpty() ? kTitle : qv::App().ProgramTitle;
    qv::TheUi().MessageBox(text, title, qv::MB_ICONSTOP);
    qv::TerminateProgram(1);
}

// Qt cannot carry an exception through its event loop, so one thrown by a handler ends the
// program here, where it would otherwise have reached the entry.
class QuarvelApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            EndWithException(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            EndWithException(qv::UnexpectedText(__FILE__, __LINE__));
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QuarvelApplication app(argc, argv);
    QApplication::setApplicationName(kTitle);
    QApplication::setWindowIcon(QIcon(qv::kProgramIcon));
    qv::QtUi ui;
    try {
        qv::SetFixedObjectsCheck(qv::EnsureDefaultExclusions);
        qv::SetUi(&ui);

        QStringList arguments = QApplication::arguments().mid(1);
        if (!arguments.isEmpty() && arguments.first() == QLatin1String("--demo")) {
            arguments.removeFirst();
            QString error;
            if (!qv::PrepareDemo(qv::DemoFolder(), &error)) {
                qv::TheUi().MessageBox(error, kTitle, qv::MB_ICONSTOP);
                return 1;
            }
        }
        qv::TMainForm form(arguments.value(0), nullptr);
        form.show();
        const int status = app.exec();
        return status != 0 ? status : form.ExitStatus();
    } catch (const std::exception& error) {
        EndWithException(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        EndWithException(qv::UnexpectedText(__FILE__, __LINE__));
    }
    return 1;
}
