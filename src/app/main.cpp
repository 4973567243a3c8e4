// The program entry: the application object, the Qt Ui, the main window, the event loop.
#include "core/appstate.h"
#include "core/version.h"
#include "platform/ui.h"
#include "qtui/qtui.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    qv::QtUi ui;
    qv::SetUi(&ui);
    qv::LoadProgramVersion();

    QMainWindow window;
    window.setWindowTitle(qv::App().ProgramTitle);
    window.resize(800, 600);
    window.show();
    return app.exec();
}
