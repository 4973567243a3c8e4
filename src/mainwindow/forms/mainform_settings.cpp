#include "mainwindow/forms/mainform_settings.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/regsettings.h"
#include "core/toolpaths.h"
#include "mainwindow/forms/easycontroller.h"
#include "mainwindow/forms/mainform.h"
#include "mainwindow/windowplace.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

namespace qv {

namespace {

// The option flags and the component whose check mark shows each.
struct OptionMark {
    const char* value;
    const char* component;
};
const OptionMark kOptionMarks[] = {
    {"Expand List", "ExpandListByDefault"},
    {"Easy Show All Consists", "ShowAllEasyConsistsMnu"},
    {"Easy Suppress MSTS Launch", "SuppMSTSLaunchMnu"},
    {"Easy Suppress Image", "SuppBackgrdImageMnu"},
    {"Include Explore Consists", "IncludeExploreModeCbx"},
    {"Include Explore Paths", "IncludeExploreModePathsCbx"},
    {"Partial Route", "PartialRouteCbx"},
    {"All Stock", "AllStockCbx"},
    {"Start Blank", "StartBlank"},
    {"Show Save Warning", "ShowSaveWarning"},
    {"Strict SMS Checking", "StrictSMSChecking"},
    {"Confirm Completion", "ConfirmCompletion"},
    {"Suppress Move Errors", "SuppressMoveErrorDialogue"},
    {"Suppress Activity Saved Warning", "SuppressActivitySavedWarning"},
    {"Suppress Maintenance Edit Warning", "SuppressMaintenanceWarning"},
    {"Suppress Warnings", "SuppressWarningMessagesMnu"},
    {"Suppress Where Used Analysis", "SuppressWhereUsedMnu"},
    {"Suppress Error Highlighting", "SuppressErrorsMnu"},
    {"Spawn Wait", "SpawnWaitMnu"},
    {"Use SVIEW", "UseSVIEWMnu"},
};

QString ProductValue(const char* name) {
    return RegReadString(kProductKey, QLatin1String(name));
}

void StoreSize(const TMainForm& form) {
    RegWriteString(kProductKey, QStringLiteral("Last MainForm Width"),
                   QString::number(form.width()));
    RegWriteString(kProductKey, QStringLiteral("Last MainForm Height"),
                   QString::number(form.height()));
}

// Stores the window's size whenever it changes.
class SizeKeeper : public QObject {
public:
    explicit SizeKeeper(TMainForm& form) : QObject(&form), form_(form) {
        setObjectName(QStringLiteral("SizeKeeper"));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &form_ && event->type() == QEvent::Resize && !App().StartupAborted &&
            !App().GeometryRestoring && !App().CommandLineJob)
            StoreSize(form_);
        return false;
    }

private:
    TMainForm& form_;
};

} // namespace

int ReadProductNumber(const QString& name, int fallback) {
    bool ok = false;
    const int value = RegReadString(kProductKey, name).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

void LoadSettings(TMainForm& form) {
    const bool launchable = !ProductValue("MSTS EXE Path").isEmpty();
    form.ui->LaunchMSTSCbx->setEnabled(launchable);
    form.ui->LaunchEditorCbx->setEnabled(launchable);

    for (const OptionMark& mark : kOptionMarks)
        form.SetChecked(QLatin1String(mark.component), ReadFlag(QLatin1String(mark.value)));
    form.SetChecked(QStringLiteral("ViewObjectsbyFileNameMnu"), App().ViewByFileName);
    form.SetChecked(QStringLiteral("DefaultScenarioMnu"),
                    !ProductValue("Default Scenario").isEmpty());

    const int mainPage = ReadProductNumber(QStringLiteral("Last Main Page"), -1);
    if (mainPage >= 0)
        form.SetMainPageIndex(mainPage);
    const int easyPage = ReadProductNumber(QStringLiteral("Last Easy Page"), -1);
    if (easyPage >= 0)
        form.SetActivityExplorePageIndex(easyPage);
    form.SetSimulationMaintPageIndex(
        ReadProductNumber(QStringLiteral("Selected Unstored"), -1) >= 0 ? 1 : 0);
    LoadEasySettings(form);
}

void RestoreMainFormGeometry(TMainForm& form) {
    AppState& app = App();
    const bool restoring = app.GeometryRestoring;
    app.GeometryRestoring = true;
    const int treeWidth = ReadProductNumber(QStringLiteral("Last MainForm Tree Width"), -1);

    // The tree width is measured against the window's restored size, so the window gets its size
    // first. A width that leaves no room for the information pane is not applied.
    if (ProductValue("Last MainForm Maximized") == QLatin1String("true")) {
        if (form.isMaximized())
            form.showNormal();
        form.setWindowState(form.windowState() | Qt::WindowMaximized);
        // The window system may grant the maximised size only later.
        const QScreen* screen = form.screen();
        ApplyTreeWidth(form, treeWidth, false,
                       screen ? screen->availableGeometry().width() : form.width());
        app.GeometryRestoring = restoring;
        return;
    }

    const int width = ReadProductNumber(QStringLiteral("Last MainForm Width"), -1);
    if (width != -1)
        form.resize(width, form.height());
    const QSize screen = form.ScreenSize();
    const int top = ReadProductNumber(QStringLiteral("Last MainForm Top"),
                                      (screen.height() - form.height()) / 2);
    const int left = ReadProductNumber(QStringLiteral("Last MainForm Left"),
                                       (screen.width() - form.width()) / 2);
    // A place on a screen that is gone would open the window out of sight. The place is that of
    // the window's inside, as stored at the close; its title bar stands above it.
    QList<QRect> screens;
    for (const QScreen* shown : QGuiApplication::screens())
        screens << shown->availableGeometry();
    const QPoint framed = VisibleWindowPlace(
        QRect(left, top - kTitleBarHeight, form.width(), form.height() + kTitleBarHeight), screens);
    // The inside's own place: a move() would place the frame, whose size the window manager
    // tells only once the window is shown.
    form.setGeometry(QRect(framed + QPoint(0, kTitleBarHeight), form.size()));
    // The height that follows is stored again, as any later change of size is.
    app.GeometryRestoring = restoring;
    const int height = ReadProductNumber(QStringLiteral("Last MainForm Height"), -1);
    if (height != -1)
        form.resize(form.width(), height);
    ApplyTreeWidth(form, treeWidth, false);
}

void LoadEasyBackground(TMainForm& form) {
    QLabel* background = form.ui->EasyBackground;
    const QString program = ProgramFilePath();
    const QString file =
        program.left(program.lastIndexOf(QLatin1Char('\\'))) + QStringLiteral("\\BACKGRND.JPG");
    QString host;
    int tag = FileExists(file) && ResolvePath(file, &host) ? 1 : 0;
    if (tag == 1 && !App().EasySuppressImage) {
        QImageReader reader(host, "jpeg");
        const QImage picture = reader.read();
        if (picture.isNull())
            tag = 0;
        else
            background->setPixmap(QPixmap::fromImage(picture));
    }
    background->setProperty(kTagProperty, tag);
    background->setVisible(tag == 1 && !App().EasySuppressImage);
    if (form.EasyControls())
        form.EasyControls()->ApplyLayout();
}

void KeepMainFormSize(TMainForm& form) {
    if (form.findChild<QObject*>(QStringLiteral("SizeKeeper"), Qt::FindDirectChildrenOnly))
        return;
    form.installEventFilter(new SizeKeeper(form));
}

} // namespace qv
