// The main window driven from the keyboard on the demo's installation: the focus after the
// buttons' jobs and at the start, the menus opened with Alt and a letter, the keys the menus
// show, the context menu asked for with Shift+F10, and a layout that stays still under the mouse.
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "mainwindow/e2ekit.h"

#include <QAction>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTextEdit>

using namespace qv;

namespace {

class KeyboardWindow : public DemoTest {
protected:
    // A key with modifiers, sent as the window system sends it to the focus widget (the
    // menu bar's Alt keys included).
    static void Chord(int key, Qt::KeyboardModifiers modifiers) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, Qt::Key(key), modifiers);
    }
    QWidget* Focused() const { return QApplication::focusWidget(); }
};

TEST_F(KeyboardWindow, Focus_AfterAButtonsJobStaysOnItOrGoesToTheTreeNeverToExit) {
    BuildCaches();
    Start();
    ItemNode* route = Node("Route 0", PT_ROUTE);
    ASSERT_NE(route, nullptr);
    const ItemSet routeItem = *route->Data();
    Select(route);

    // The store button cannot be pressed again once the route is marked: the tree takes the
    // focus, and the arrows move in it.
    Focus("StoreRoute_ActivityBtn");
    Key(Qt::Key_Space);
    EXPECT_TRUE(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->isEnabled());
    EXPECT_EQ(Focused(), View());
    Key(Qt::Key_Down);
    EXPECT_NE(form->QuarvelObjects()->Selected(), route);

    // Go stays usable after its job, so it keeps the focus; a second Space runs it again and the
    // window stays.
    Focus("GoBtn");
    Key(Qt::Key_Space);
    EXPECT_EQ(Located(routeItem), "STORE");
    EXPECT_EQ(Focused(), C<QWidget>("GoBtn"));
    Key(Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_TRUE(form->isVisible());
    EXPECT_NE(Focused(), C<QWidget>("ExitBtn"));
}

TEST_F(KeyboardWindow, Focus_TheEasyPageStartsInItsRoutesList) {
    BuildCaches();
    StartOnEasyTab(0);
    form->activateWindow();
    QApplication::processEvents();
    auto* routes = C<QListWidget>("RoutesLstbx");
    ASSERT_EQ(Focused(), routes);
    const int row = routes->currentRow();
    Key(Qt::Key_Down);
    EXPECT_NE(routes->currentRow(), row);
}

} // namespace
