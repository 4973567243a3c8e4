// The consist list editor on the offscreen platform: its columns, its label counts, the busy
// guard of OK and Cancel, and an edit carried through to the tree and the list file.
#include "editors/forms/editconsistlistsdlg.h"

#include "core/regsettings.h"
#include "editortestkit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextEdit>

namespace qv {

namespace {

class ConsistEditorDialogTest : public EditorTest {
protected:
    // The Status filter shows every state; the members of the lists have no files, and the
    // question whether to drop them is answered No.
    ConsistEditorDialogTest() {
        RegWriteString(kProductKey + "\\Filters\\Consists", "StoreInd", "3");
        ui.SetDefaultAnswer(ID_NO);
    }
    void AddCachedConsists(int count, int matching) {
        for (int i = 0; i < count; ++i) {
            const QString name =
                QString(i < matching ? "Match%1" : "Other%1").arg(i, 3, 10, QChar('0'));
            App().ConsistCacheList.push_back(
                Record(2, PT_CONSIST | PT_DRIVEABLE, 2, name, "", name + ".CON"));
        }
    }
};

TEST_F(ConsistEditorDialogTest, ViewAllShowsTwoColumnsCountsShownRowsAndNothingCanEnableOK) {
    AddCachedConsists(340, 12);
    TEditConsistListsDlg dialog(nullptr, EM_VIEW_ALL);
    dialog.show();

    EXPECT_TRUE(dialog.CurrentListBox->isHidden());
    EXPECT_TRUE(dialog.OKBtn->isHidden());
    EXPECT_TRUE(dialog.AddRemoveBtn->isHidden());
    EXPECT_TRUE(dialog.ListNameBtn->isHidden());
    EXPECT_EQ(dialog.CancelBtn->text(), dialog.OKBtn->text());
    EXPECT_EQ(dialog.MiddleFrame->width(), (792 - 14) / 2);
    EXPECT_EQ(dialog.Model().ListType, PT_CONSIST);
    EXPECT_EQ(dialog.AvailableListBox->count(), 340);
    dialog.EnableOKBtn();
    EXPECT_FALSE(dialog.OKBtn->isEnabled());
    EXPECT_TRUE(dialog.windowTitle().contains("View All"));
    EXPECT_EQ(dialog.AvailableListLabel->text(), "Consists Available (340)");

    for (const auto& [filter, label] :
         {std::pair<QString, QString>{"match*", "Consists Available (12 out of 340)"},
          {"nothing*", "Consists Available (0 out of 340)"}}) {
        dialog.ConsistNameFilterCmbx->setEditText(filter);
        dialog.ApplyFilterBtnClick();
        EXPECT_EQ(dialog.AvailableListLabel->text(), label);
    }
}

TEST_F(ConsistEditorDialogTest, RowsInTheHighlightFontTakeItsHeight) {
    AddCachedConsists(2, 2);
    App().ConsistCacheList[0]->StoreInd = SI_IN_USE;
    const QFont large(QFont().family(), QFont().pointSize() * 3);
    const auto previous = TheListEditorFormHooks().HighlightFont;
    TheListEditorFormHooks().HighlightFont = [large](const QFont&) { return large; };
    TEditConsistListsDlg dialog(nullptr, EM_VIEW_ALL);
    dialog.show();
    TheListEditorFormHooks().HighlightFont = previous;
    QListWidget* rows = dialog.AvailableListBox;
    EXPECT_GE(rows->visualItemRect(rows->item(0)).height(), QFontMetrics(large).height());
}

TEST_F(ConsistEditorDialogTest, ARowBroughtIntoUseIsLaidOutInTheHighlightFontsHeight) {
    builder.AddWagon("W", "BOX.WAG", "Box", WagonType::Freight, Into::Store);
    builder.AddConsist("STORED.CON", "Stored", {{"W", "BOX", false, false}}, Into::Store);
    App().ConsistCacheList.push_back(
        Record(2, PT_CONSIST | PT_DRIVEABLE, SI_IN_STORE, "Stored", "", "STORED.CON"));
    AddCachedConsists(1, 0);
    tree.SetSelected(AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"Other000.CON"}}));
    main.SetSimulationMaintPageIndex(1);
    const QFont large(QFont().family(), QFont().pointSize() * 3);
    const auto previous = TheListEditorFormHooks().HighlightFont;
    TheListEditorFormHooks().HighlightFont = [large](const QFont&) { return large; };
    TEditConsistListsDlg dialog(nullptr, EM_EDIT);
    dialog.show();
    TheListEditorFormHooks().HighlightFont = previous;
    QListWidget* rows = dialog.AvailableListBox;
    rows->item(0)->setSelected(true);
    dialog.ListEditorPopupMenuPopup(rows);
    dialog.ImmediateUnstorePopupMnu->trigger();
    QApplication::processEvents();
    ASSERT_EQ(App().ConsistCacheList[0]->StoreInd, SI_IN_USE);
    const QRect unstored = rows->visualItemRect(rows->item(0));
    EXPECT_GE(unstored.height(), QFontMetrics(large).height());
    EXPECT_GT(rows->visualItemRect(rows->item(1)).top(), unstored.bottom());
}

TEST_F(ConsistEditorDialogTest, OKAndCancelWaitWhileTheProgramIsBusy) {
    AddCachedConsists(2, 2);
    ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"Match000.CON"}});
    tree.SetSelected(heading);
    TEditConsistListsDlg dialog(nullptr, EM_EDIT);
    dialog.show();
    dialog.EnableOKBtn();

    App().Busy = true;
    dialog.OKBtnClick();
    dialog.reject();
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(heading->ChildCount(), 1);

    App().Busy = false;
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 2);
}

TEST_F(ConsistEditorDialogTest, AnEditAddsAndRemovesRowsAndOKCommitsThem) {
    AddCachedConsists(3, 3);
    ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"Match000.CON"}});
    tree.SetSelected(heading->Child(0)); // an entry opens its list
    TEditConsistListsDlg dialog(nullptr, EM_EDIT);
    dialog.show();
    ASSERT_EQ(dialog.ListNode(), heading);
    ASSERT_EQ(dialog.CurrentListBox->count(), 1);
    EXPECT_EQ(dialog.CurrentListLabel->text(), "Current List (1)");
    EXPECT_FALSE(dialog.OKBtn->isEnabled());

    dialog.AvailableListBox->item(1)->setSelected(true);
    dialog.AvailableListBox->item(2)->setSelected(true);
    EXPECT_EQ(dialog.AddRemoveBtn->text(), "Add to List");
    EXPECT_FALSE(dialog.DetailsPane().Lines().isEmpty());
    dialog.AddRemoveBtnClick();
    EXPECT_EQ(dialog.CurrentListBox->count(), 3);
    EXPECT_TRUE(dialog.OKBtn->isEnabled());

    dialog.CurrentListBox->item(0)->setSelected(true);
    dialog.CurrentListBox->item(2)->setSelected(true);
    EXPECT_EQ(dialog.AddRemoveBtn->text(), "Remove from List");
    dialog.AddRemoveBtnClick();
    ASSERT_EQ(dialog.CurrentListBox->count(), 1);
    EXPECT_EQ(dialog.CurrentListBox->item(0)->text(), "Match001");

    dialog.OKBtnClick();
    EXPECT_EQ(dialog.result(), 1);
    ASSERT_EQ(heading->ChildCount(), 1);
    EXPECT_EQ(heading->Child(0)->Data()->FileName, "Match001.CON");
    auto list = OpenStoreIni("ALPHA\\MAINTCON.QVC");
    EXPECT_TRUE(list->Ini.ReadSections().contains("Match001.CON"));
    EXPECT_FALSE(list->Ini.ReadSections().contains("Match000.CON"));
}

// OK when the register cannot be written keeps the editor open and usable; pressed again it
// neither crashes on a tree node that went nor adds the list twice.
TEST_F(ConsistEditorDialogTest, OKAfterAFailedCommitCanBePressedAgain) {
    AddCachedConsists(2, 2);
    const QString routeRegister = drive.Host("STORE/QVDATA/ALPHA/ROUTE.QVC");
    const struct {
        const char* name;
        int mode;
        QStringList lists;
        int selected; // the heading's child selected, -1 for the heading
        QStringList after;
    } cases[] = {
        {"new list",
         EM_NEW_LIST,
         {"MAINTCON=12,Shunting"},
         -1,
         {"Shunting [MAINTCON.QVC] 12", "  Match000.CON [Match000.CON] 1",
          "New List (1) [MAINTCON1.QVC] 12", "  Match000 [Match000.CON] 2"}},
        {"list emptied",
         EM_EDIT,
         {"MAINTCON=12,Shunting", "MAINTCON1=12,Yard"},
         1,
         {"Match000.CON [Match000.CON] 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tree.Clear();
        ItemNode* heading = AddRouteWithLists(c.lists, {{"Match000.CON"}, {"Match001.CON"}});
        tree.SetSelected(c.selected < 0 ? heading : heading->Child(c.selected));
        TEditConsistListsDlg dialog(nullptr, c.mode);
        dialog.show();
        auto* from = c.mode == EM_NEW_LIST ? dialog.AvailableListBox : dialog.CurrentListBox;
        from->item(0)->setSelected(true);
        dialog.AddRemoveBtnClick();
        const QStringList before = Shape(heading);
        ASSERT_TRUE(QFile::setPermissions(routeRegister, QFile::ReadOwner));

        for (int press = 0; press < 2; ++press) {
            ui.Clear();
            dialog.OKBtnClick();
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(Shape(heading), before);
            EXPECT_EQ(ui.Shown().size(), 1u);
        }
        ASSERT_TRUE(QFile::setPermissions(routeRegister, QFile::ReadOwner | QFile::WriteOwner));
        dialog.OKBtnClick();
        EXPECT_EQ(dialog.result(), 1);
        EXPECT_EQ(Shape(heading), c.after);
    }
}

TEST_F(ConsistEditorDialogTest, PopupOffersTheMaintenanceActionsOnlyWhereTheyBelong) {
    AddCachedConsists(2, 2);
    RegWriteString(kProductKey + "\\Editor", "Editor EXE Path", "C:\\ED.EXE");
    ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"Match000.CON"}});
    tree.SetSelected(heading);
    TEditConsistListsDlg dialog(nullptr, EM_EDIT);
    dialog.show();
    dialog.AvailableListBox->item(0)->setSelected(true);

    const struct {
        const char* name;
        std::uint32_t listType;
        int page;
        bool unstore;
    } cases[] = {
        {"maintenance list on the Maintenance tab", PT_MAINT_CONSIST, 1, true},
        {"maintenance list on the Simulation tab", PT_MAINT_CONSIST, 0, false},
        {"explore list on the Maintenance tab", PT_EXPLORE_CONSIST, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.Model().ListType = c.listType;
        main.SetSimulationMaintPageIndex(c.page);
        dialog.ListEditorPopupMenuPopup(dialog.AvailableListBox);
        EXPECT_EQ(dialog.ImmediateUnstorePopupMnu->isVisible(), c.unstore);
        EXPECT_EQ(dialog.EditLotNumberPopupMnu->isVisible(), c.unstore);
        EXPECT_EQ(dialog.ImmediateEditPopupMnu->isVisible(), c.unstore);
        EXPECT_FALSE(dialog.LoadInCBPopupMnu->isVisible()); // no ConBuilder path
        EXPECT_TRUE(dialog.WhereUsedPopupMnu->isVisible());
        EXPECT_TRUE(dialog.CopyPopupMnu->isVisible());
        EXPECT_FALSE(dialog.FindPopupMnu->isVisible());
    }
    dialog.AvailableListBox->clearSelection();
    dialog.ListEditorPopupMenuPopup(dialog.AvailableListBox);
    EXPECT_FALSE(dialog.WhereUsedPopupMnu->isVisible());
}

TEST_F(ConsistEditorDialogTest, RightClickSelectsTheRowAloneAndDeleteRemovesFromTheCurrentList) {
    AddCachedConsists(3, 3);
    ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"Match000.CON"}});
    tree.SetSelected(heading);
    TEditConsistListsDlg dialog(nullptr, EM_EDIT);
    dialog.show();
    QListWidget* available = dialog.AvailableListBox;
    available->item(0)->setSelected(true);
    available->item(1)->setSelected(true);
    const QPoint row2 = available->visualItemRect(available->item(2)).center();
    QMouseEvent press(QEvent::MouseButtonPress, row2, available->viewport()->mapToGlobal(row2),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(available->viewport(), &press);
    ASSERT_EQ(available->selectedItems().size(), 1);
    EXPECT_EQ(available->selectedItems().front()->text(), "Match002");
    EXPECT_EQ(dialog.SelectedLabel->text(), "1 Consists Selected");

    dialog.CurrentListBox->item(0)->setSelected(true);
    QKeyEvent del(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(dialog.CurrentListBox, &del);
    EXPECT_EQ(dialog.CurrentListBox->count(), 0);
    EXPECT_EQ(dialog.CurrentListLabel->text(), "Current List (0)");
    EXPECT_TRUE(dialog.OKBtn->isEnabled());
}

} // namespace

} // namespace qv
