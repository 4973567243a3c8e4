// The main window driven from the keyboard on the demo's installation.
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "mainwindow/e2ekit.h"

#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QTest>
#include <QTextEdit>

using namespace qv;

namespace {

class KeyboardWindow : public DemoTest {
protected:
    void SetUp() override { BuildCaches(); }
    // Starts the window with the first route selected in the tree.
    ItemNode* StartOnRoute() {
        Start();
        ItemNode* route = Node("Route 0", PT_ROUTE);
        Select(route);
        return route;
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
};

TEST_F(KeyboardWindow, Focus_AfterAButtonsJobStaysOnItOrGoesToTheTreeNeverToExit) {
    ItemNode* route = StartOnRoute();
    const ItemSet routeItem = *route->Data();

    // The store button cannot be pressed again once the route is marked: the tree takes the
    // focus, and the arrows move in it.
    Focus("StoreRoute_ActivityBtn");
    Key(Qt::Key_Space);
    EXPECT_TRUE(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->isEnabled());
    EXPECT_EQ(Focused(), View());
    Key(Qt::Key_Down);
    EXPECT_NE(form->QuarvelObjects()->Selected(), route);

    // Go stays usable after its job, so it keeps the focus (a second Space must not hit Exit).
    Focus("GoBtn");
    Key(Qt::Key_Space);
    EXPECT_EQ(Located(routeItem), "STORE");
    EXPECT_EQ(Focused(), C<QWidget>("GoBtn"));
}

// Alt+E and Alt+F open their menus with the menu bar holding the keys; the items still follow
// the pane the user was in, as they do when the menus are opened with the mouse.
TEST_F(KeyboardWindow, Menus_OpenedWithAltFollowTheControlTheUserIsIn) {
    StartOnRoute();
    ASSERT_FALSE(C<QTextEdit>("InformationMemo")->toPlainText().isEmpty());
    const struct {
        Qt::Key letter;
        const char* menu;
        std::vector<const char*> items;
    } cases[] = {{Qt::Key_E, "EditMnu", {"CopyMnu", "SaveTxtMnu", "FindMnu"}},
                 {Qt::Key_F, "File1", {"Print1", "PrintTBtn"}}};
    for (const auto& c : cases) {
        Focus("InformationMemo");
        QTest::keyClick(Focused(), c.letter, Qt::AltModifier); // as the menu bar gets it
        auto* menu = C<QMenu>(c.menu);
        ASSERT_TRUE(menu->isVisible()) << c.menu;
        for (const char* item : c.items)
            EXPECT_TRUE(C<QAction>(item)->isEnabled()) << item;
        menu->close();
        QApplication::processEvents();
    }
}

// Shift+F10 opens the focused control's context menu, as the Menu key does.
TEST_F(KeyboardWindow, ContextMenu_ShiftF10OpensThePopupOfTheFocusedControl) {
    StartOnRoute();
    const auto popupOf = [this](const char* control) {
        Focus(control);
        QTest::keyClick(Focused(), Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_TRUE(form->MainFormPopup->isVisible()) << control;
        QStringList items;
        for (const QAction* item : form->MainFormPopup->actions())
            items << item->text();
        form->MainFormPopup->close();
        return items;
    };
    const QStringList tree = popupOf("QuarvelObjects");
    EXPECT_TRUE(tree.contains(Caption(Msg::STORE_MENU_TAG) + u' ' + "Route 0"))
        << tree.join(u'|').toStdString();
    EXPECT_EQ(popupOf("InformationMemo").size(), 4) << "Find, Copy, Save Text As, Print";
}

// The maintenance label comes and goes with the store state; the window's height and the
// buttons stay where they are.
TEST_F(KeyboardWindow, Layout_StaysStillWhenTheMaintenanceLabelComesAndGoes) {
    Start();
    QWidget* label = C<QWidget>("MaintenanceLabel");
    const auto place = [this](const char* name) {
        QWidget* control = C<QWidget>(name);
        return QRect(control->mapTo(form.get(), QPoint(0, 0)), control->size());
    };
    const auto settle = [this] {
        form->UpdateControls();
        QApplication::processEvents();
        form->layout()->activate();
        QApplication::processEvents();
    };
    settle();
    const bool shownFirst = label->isVisible();
    const int height = form->height();
    const QRect go = place("GoBtn");
    for (const bool unstored : {false, true, false}) {
        WriteFlag(unstored, QStringLiteral("Everything Unstored"));
        settle();
        SCOPED_TRACE(label->isVisible() ? "label shown" : "label hidden");
        EXPECT_EQ(form->height(), height);
        EXPECT_EQ(place("GoBtn"), go);
    }
    EXPECT_NE(label->isVisible(), shownFirst) << "the label never changed";
}

} // namespace
