// The consist list editor from the demo's main window: a route's new Explore consist list is
// filtered, filled, trimmed and committed into the tree and the route's register; Cancel leaves
// both alone.
#include "editors/forms/editconsistlistsdlg.h"
#include "editors/forms/editpathlistsdlg.h"
#include "editors/forms/editstocklistsdlg.h"
#include "editors/forms/listeditoropeners.h"
#include "mainwindow/e2ekit.h"
#include "mainwindow/forms/easycontroller.h"
#include "mainwindow/forms/treecontroller.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <map>

using namespace qv;

namespace {

// Lets an editor offer every item, wherever it lies.
template <class Dialog> void ShowAll(Dialog& dialog) {
    dialog.StoreIndCmbx->setCurrentIndex(dialog.StoreIndCmbx->count() - 1);
    dialog.ApplyFilterBtnClick();
}

// Runs `act` in the editor that `shown` finds once its window is up and its first refresh
// (which pumps events while it rebuilds the item list) is done.
template <class Dialog>
void InAnyEditor(Dialog* (*shown)(), std::function<void(Dialog&)> act, int tries = 500) {
    QTimer::singleShot(10, [shown, act, tries] {
        Dialog* dialog = shown();
        if (dialog && dialog->isVisible() && !App().Busy && !dialog->Model().InFormShow)
            act(*dialog);
        else if (tries > 0)
            InAnyEditor(shown, act, tries - 1);
        else
            ADD_FAILURE() << "no editor shown";
    });
}

class DemoListEditor : public DemoTest {
protected:
    ItemNode* ExploreHeading(const QString& route) {
        ItemNode* node = Node(route, PT_ROUTE);
        for (int i = 0; node && i < node->ChildCount(); ++i)
            if ((node->Child(i)->Data()->PType & (PT_EXPLORE_CONSIST | PT_HEADING)) ==
                (PT_EXPLORE_CONSIST | PT_HEADING))
                return node->Child(i);
        ADD_FAILURE() << "no Explore consist heading";
        return nullptr;
    }
    // Runs `act` in the consist editor once it is up and its first refresh is done.
    static void InEditor(std::function<void(TEditConsistListsDlg&)> act) {
        InAnyEditor<TEditConsistListsDlg>(&EditConsistListsDlg, std::move(act));
    }
    QString Register(const QString& routeFolder) {
        QFile file(demo + "/STORE/QVDATA/" + routeFolder + "/ROUTE.QVC");
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }
};

TEST_F(DemoListEditor, ANewRouteListIsFilteredFilledAndCommitted) {
    BuildCaches();
    Start();
    ItemNode* heading = ExploreHeading("Route 0");
    ASSERT_NE(heading, nullptr);
    const QString routeFolder = heading->Data()->Folder.section('\\', -1);
    Select(heading);
    const QString registerBefore = Register(routeFolder);

    QStringList added;
    InEditor([&](TEditConsistListsDlg& dialog) {
        ShowAll(dialog);
        ASSERT_GE(dialog.AvailableListBox->count(), 2);
        for (int row : {0, 1}) {
            dialog.AvailableListBox->item(row)->setSelected(true);
            added << dialog.AvailableListBox->item(row)->text();
        }
        dialog.AddRemoveBtnClick();
        dialog.CancelBtn->click();
    });
    EXPECT_EQ(form->Tree()->OpenListEditorForNode(heading, 2), 2);
    EXPECT_EQ(EditConsistListsDlg(), nullptr); // nothing points at the closed editor
    EXPECT_EQ(heading->ChildCount(), 0);
    EXPECT_EQ(Register(routeFolder), registerBefore);

    InEditor([&](TEditConsistListsDlg& dialog) {
        // Only driveable consists are offered for an Explore list.
        EXPECT_FALSE(dialog.DriveableCmbx->isEnabled());
        ShowAll(dialog);
        for (int row : {0, 1, 2})
            dialog.AvailableListBox->item(row)->setSelected(true);
        dialog.AddRemoveBtnClick();
        dialog.CurrentListBox->item(2)->setSelected(true);
        dialog.AddRemoveBtnClick();
        EXPECT_EQ(dialog.CurrentListLabel->text(), "Current List (2)");
        dialog.OKBtn->click();
    });
    EXPECT_EQ(form->Tree()->OpenListEditorForNode(heading, 2), 1);
    EXPECT_EQ(heading->Data()->FileName, "CONSISTS.QVC");
    ASSERT_EQ(heading->ChildCount(), 1); // the placeholder standing for the list
    EXPECT_TRUE(Register(routeFolder).contains("CONSISTS=12,Original List"));
    EXPECT_TRUE(QFile::exists(demo + "/STORE/QVDATA/" + routeFolder + "/CONSISTS.QVC"));
    EXPECT_FALSE(App().TreeSynchronised);
}

TEST_F(DemoListEditor, EveryListEditorCommandIsBound) {
    Start();
    EXPECT_TRUE(form->Tree()->ShowStockListEditor);
    EXPECT_TRUE(form->Tree()->ShowPathListEditor);

    int rows = -1;
    InAnyEditor<TEditStockListsDlg>(&EditStockListsDlg, [&](TEditStockListsDlg& dialog) {
        ShowAll(dialog);
        rows = dialog.AvailableListBox->count();
        dialog.CancelBtn->click();
    });
    C<QAction>("ViewAllStockItemsMnu")->trigger();
    EXPECT_GT(rows, 0);
}

TEST_F(DemoListEditor, ViewAllPathsFromTheEasyPageShowsTheSelectedRoutesPaths) {
    BuildCaches();
    Start();
    C<QTabWidget>("MainPageControl")->setCurrentIndex(0);
    auto* viewAllPaths = C<QAction>("ViewAllPathsMnu");
    EXPECT_TRUE(viewAllPaths->isEnabled());

    form->QuarvelObjects()->SetSelected(Node("Route 0", PT_ROUTE));
    int shown = -1;
    QString label;
    InAnyEditor<TEditPathListsDlg>(&EditPathListsDlg, [&](TEditPathListsDlg& dialog) {
        ShowAll(dialog);
        shown = dialog.AvailableListBox->count();
        label = dialog.AvailableListLabel->text();
        dialog.CancelBtn->click();
    });
    form->Tree()->ViewAllPathsMnuClick();
    EXPECT_GT(shown, 0) << label.toStdString();
    EXPECT_EQ(label, "Paths Available (" + QString::number(App().PathRouteCount) + ")");
}

TEST_F(DemoListEditor, ASearchInAnEditorLeavesTheMainWindowsSearchUnderWay) {
    BuildCaches();
    Start();
    QWidget* memo = C<QWidget>("InformationMemo");
    form->SearchState.Text = "Route";
    form->SearchState.Position = 7;
    form->SearchState.Control = memo;

    bool nextOffered = false;
    InEditor([&](TEditConsistListsDlg& dialog) {
        ShowAll(dialog);
        dialog.AvailableListBox->item(0)->setSelected(true);
        const QString word = dialog.Details->toPlainText().simplified().section(' ', 0, 0);
        EXPECT_FALSE(word.isEmpty());
        ui.ExpectFindTextDialog(ID_OK, [word](SearchTextSet& record) {
            record.Text = word;
            record.NewSearch = true;
        });
        dialog.ListEditorPopupMenuPopup(dialog.Details);
        dialog.FindPopupMnu->trigger();
        dialog.ListEditorPopupMenuPopup(dialog.Details);
        nextOffered = dialog.FindNextPopupMnu->isVisible();
        dialog.CancelBtn->click();
    });
    C<QAction>("ViewAllConsistsMnu")->trigger();
    EXPECT_TRUE(nextOffered);
    EXPECT_EQ(form->SearchState.Text, "Route");
    EXPECT_EQ(form->SearchState.Position, 7);
    EXPECT_EQ(form->SearchState.Control, memo);
}

TEST_F(DemoListEditor, ShowSelectedItemIsOfferedOnlyWhileTheViewerIsOn) {
    BuildCaches();
    Start();
    for (const bool switchedOff : {false, true}) {
        SCOPED_TRACE(switchedOff ? "viewer switched off" : "viewer on");
        App().NoViewerFile = switchedOff;
        App().ViewerControlRegistered = !switchedOff;
        App().ShapeViewerPath.clear();
        bool button = switchedOff, popup = switchedOff;
        InEditor([&](TEditConsistListsDlg& dialog) {
            ShowAll(dialog);
            dialog.AvailableListBox->item(0)->setSelected(true);
            button = dialog.ViewBtn->isEnabled();
            dialog.ListEditorPopupMenuPopup(dialog.AvailableListBox);
            popup = dialog.SVIEWPopupMnu->isVisible();
            dialog.CancelBtn->click();
        });
        C<QAction>("ViewAllConsistsMnu")->trigger();
        EXPECT_EQ(button, !switchedOff);
        EXPECT_EQ(popup, !switchedOff);
    }
}

TEST_F(DemoListEditor, TheEasyPagesEditListOpensTheRoutesExploreConsistList) {
    BuildCaches();
    Start();
    C<QTabWidget>("ActivityExplorePageCntrl")->setCurrentIndex(1);
    C<QTabWidget>("MainPageControl")->setCurrentIndex(0);
    auto* routes = C<QListWidget>("RoutesLstbx");
    const auto found = routes->findItems("Route 0", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    routes->setCurrentItem(found.first());
    form->EasyControls()->RoutesLstbxClick();
    auto* editList = C<QPushButton>("AddRemoveConsistBtn");
    EXPECT_TRUE(editList->isEnabled());

    ItemNode* editedNode = nullptr;
    InEditor([&](TEditConsistListsDlg& dialog) {
        editedNode = dialog.ListNode();
        EXPECT_EQ(dialog.Model().ListType, PT_EXPLORE_CONSIST);
        dialog.CancelBtn->click();
    });
    editList->click();
    ASSERT_NE(editedNode, nullptr);
    EXPECT_EQ(editedNode, ExploreHeading("Route 0"));
    EXPECT_EQ(form->QuarvelObjects()->Selected(), Node("Route 0", PT_ROUTE));
}

// Shift+F10 and the Menu key, pressed in a list of any list editor, open the list's popup: the
// only way to Where Used, Immediate Unstore and Edit Lot Number from the keyboard.
TEST_F(DemoListEditor, Keys_ShiftF10AndTheMenuKeyOpenTheListsPopupInEveryEditor) {
    BuildCaches();
    Start();
    // The Maintenance actions are offered on the Classic page's Maintenance tab.
    C<QTabWidget>("MainPageControl")->setCurrentIndex(1);
    C<QTabWidget>("SimulationMaintPageControl")->setCurrentIndex(1);
    ASSERT_EQ(form->SimulationMaintPageIndex(), 1);
    Select(Node("Route 0", PT_ROUTE)); // whose paths View All Paths shows
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{"Shift+F10", Qt::Key_F10, Qt::ShiftModifier},
                {"Menu", Qt::Key_Menu, Qt::NoModifier}};
    // Paths have no lot number.
    const struct {
        const char* command;
        QStringList wanted;
    } editors[] = {{"ViewAllConsistsMnu",
                    {"ImmediateUnstorePopupMnu", "EditLotNumberPopupMnu", "WhereUsedPopupMnu"}},
                   {"ViewAllStockItemsMnu",
                    {"ImmediateUnstorePopupMnu", "EditLotNumberPopupMnu", "WhereUsedPopupMnu"}},
                   {"ViewAllPathsMnu", {"ImmediateUnstorePopupMnu", "WhereUsedPopupMnu"}}};
    for (const auto& [command, wanted] : editors) {
        std::map<std::string, QStringList> offered;
        const auto pressKeys = [&](TListEditorDlg& dialog) {
            ShowAll(dialog);
            QListWidget* list = dialog.AvailableListBox;
            ASSERT_GT(list->count(), 0);
            list->setCurrentRow(0);
            for (const auto& k : keys) {
                // The user is in the list (the window system gives the focus back to it when a
                // popup closes).
                dialog.activateWindow();
                QApplication::processEvents();
                list->setFocus();
                ASSERT_EQ(QApplication::focusWidget(), list);
                QStringList& items = offered[k.name];
                // Read while the popup is open, then closed as Escape would.
                QMenu* popup = dialog.ListEditorPopupMenu;
                QTimer::singleShot(0, popup, [popup, &items] {
                    for (const QAction* item : popup->actions())
                        if (popup->isVisible() && item->isVisible() && !item->isSeparator())
                            items << item->objectName();
                    popup->close();
                });
                QTest::keyClick(QApplication::focusWidget(), k.key, k.modifiers);
                QApplication::processEvents();
            }
            dialog.CancelBtn->click();
        };
        const QString name = command;
        if (name == "ViewAllConsistsMnu")
            InAnyEditor<TEditConsistListsDlg>(&EditConsistListsDlg, pressKeys);
        else if (name == "ViewAllStockItemsMnu")
            InAnyEditor<TEditStockListsDlg>(&EditStockListsDlg, pressKeys);
        else
            InAnyEditor<TEditPathListsDlg>(&EditPathListsDlg, pressKeys);
        C<QAction>(command)->trigger();
        for (const auto& k : keys) {
            SCOPED_TRACE(std::string(command) + " " + k.name);
            const QStringList& items = offered[k.name];
            for (const QString& item : wanted)
                EXPECT_TRUE(items.contains(item)) << items.join(' ').toStdString();
        }
    }
}

} // namespace
