// The common ground of the end-to-end tests: the demo's synthetic installation built below the
// drive C of a temporary Wine prefix, with its private registry and the built program's file (so
// that its language modules are found), a scripted Ui, and the main window started on it as the
// program starts it; then the user's selections and clicks, and where an item's file lies.
#pragma once

#include "app/demo.h"
#include "catalogue/cacherebuild.h"
#include "core/appstate.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "engine/fixedobjects.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "mainwindow/forms/itemtreemodel.h"
#include "mainwindow/forms/mainform.h"
#include "mainwindow/forms/treecontroller.h"
#include "platform/drivemap.h"
#include "platform/fakeui.h"
#include "platform/winresolve.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>

namespace qv {

class DemoTest : public ::testing::Test {
protected:
    DemoTest() {
        ResetAppState();
        App().ProgramFilePath = ProgramFile();
        SetFixedObjectsCheck(EnsureDefaultExclusions);
        QString error;
        EXPECT_TRUE(PrepareDemo(demo, &error)) << error.toStdString();
    }
    ~DemoTest() override {
        form.reset();
        SetFixedObjectsCheck({});
        QDir::setCurrent(startFolder);
        ResetAppState();
    }

    // The built program as it names itself (Windows form of its canonical path).
    static QString ProgramFile() {
        return ToWindowsForm(QFileInfo(QStringLiteral(QUARVEL_PROGRAM_FILE)).canonicalFilePath());
    }

    // The caches a first start would rebuild, so that the splash closes at once.
    void BuildCaches() {
        AppState& app = App();
        app.MstsRootFolder = RegReadString(kMstsKey, QStringLiteral("Path"));
        app.StoreRootFolder = RegReadString(kProductKey, QStringLiteral("Store Path"));
        EXPECT_TRUE(RebuildStockCache(app.StockCacheList, true, nullptr));
        EXPECT_TRUE(RebuildConsistCache(app.ConsistCacheList, true, nullptr));
        EXPECT_TRUE(RebuildPathCache(app.PathCacheList, true, nullptr));
        ResetAppState();
        App().ProgramFilePath = ProgramFile();
    }

    // Starts the window as the program does (its first show runs the start-up and the splash)
    // and lets its first tick load the tree.
    TMainForm& Start() {
        form = std::make_unique<TMainForm>(QString());
        form->show();
        EXPECT_FALSE(App().StartupAborted);
        form->Timer1Timer();
        return *form;
    }

    // Starts on a tab of the Easy page, where the last session left the window.
    TMainForm& StartOnEasyTab(int tab) {
        RegWriteString(kProductKey, QStringLiteral("Last Main Page"), QStringLiteral("0"));
        RegWriteString(kProductKey, QStringLiteral("Last Easy Page"), QString::number(tab));
        return Start();
    }

    // The first node in tree order with the description and every one of the kind bits.
    ItemNode* Node(const QString& description, std::uint32_t kind) const {
        for (ItemNode* node = form->QuarvelObjects()->First(); node; node = node->GetNext()) {
            if (node->Data()->Description == description && (node->Data()->PType & kind) == kind)
                return node;
        }
        ADD_FAILURE() << "no node " << description.toStdString();
        return nullptr;
    }
    // The tree view and the place of a node in it.
    QTreeView* View() const { return form->Tree()->View(); }
    QModelIndex IndexOf(const ItemNode* node) const { return form->Tree()->Model()->IndexOf(node); }
    // Selects the node in the tree view, as a click on it does.
    void Select(const ItemNode* node) const {
        View()->setCurrentIndex(IndexOf(node));
        ASSERT_EQ(form->QuarvelObjects()->Selected(), node);
    }
    // A component of the window by its name.
    template <class T> T* C(const char* name) const {
        T* control = form->findChild<T*>(QString::fromLatin1(name));
        if (!control)
            ADD_FAILURE() << "no component " << name;
        return control;
    }
    void Click(const char* button) const { C<QAbstractButton>(button)->click(); }

    // A key pressed and released where the window system sends it: the focus widget.
    static void Key(int key) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(focus, &press);
        QApplication::sendEvent(focus, &release);
    }
    // Gives a control the focus, as a click or the Tab key would.
    void Focus(const char* name) {
        QWidget* control = C<QWidget>(name);
        // The window has the keyboard, as the window system gives it to the active window.
        form->activateWindow();
        QApplication::processEvents();
        control->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), control) << name;
    }

    // Where the item's file is: "MSTS", "STORE", "both" or "none".
    QString Located(const ItemSet& item) const {
        const QString relative = item.Folder + QLatin1Char('\\') + item.FileName;
        QString host;
        const bool msts = ResolvePath(DemoRoot("MSTS") + relative, &host);
        const bool store = ResolvePath(DemoRoot("STORE") + relative, &host);
        return msts && store ? QStringLiteral("both")
               : msts        ? QStringLiteral("MSTS")
               : store       ? QStringLiteral("STORE")
                             : QStringLiteral("none");
    }
    // The demo's MSTS folder or store as its settings name it, with a trailing backslash.
    QString DemoRoot(const char* folder) const {
        return DriveMap().ToWindows(demo + QLatin1Char('/') + QLatin1String(folder)) +
               QLatin1Char('\\');
    }

    RegistrySandbox registry; // first made, last gone: the demo changes the registry folder
    TempMsts drive;
    FakeUi ui;
    const QString demo = drive.Host(QStringLiteral("demo"));
    const QString startFolder = QDir::currentPath();
    std::unique_ptr<TMainForm> form;
};

} // namespace qv
