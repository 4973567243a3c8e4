// The duplicate-file dialog, the folder dialog and the control helpers, on the offscreen platform.
#include "core/controlhelpers.h"
#include "core/filemove.h"
#include "core/forms/confirmfilemovedlg.h"
#include "core/forms/controls.h"
#include "core/forms/folderselectdlg.h"
#include "core/itemtree.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

namespace qv {
namespace {

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = "Quarvel";
    }
    void MakeFile(const QString& relative, const QByteArray& content, qint64 time) {
        temp_.MakeFile(relative, content);
        QFile file(temp_.Host(relative));
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::fromSecsSinceEpoch(time), QFileDevice::FileModificationTime);
    }
    // Shows the duplicate dialog for C:\In\<name> onto C:\Out\<name>.
    std::unique_ptr<TConfirmFileMoveDlg> ShowDuplicate(const QString& name, bool differ) {
        PathSet().DuplicateSourceFile = "C:\\In\\" + name;
        PathSet().DuplicateTargetFile = "C:\\Out\\" + name;
        auto dialog = std::make_unique<TConfirmFileMoveDlg>(nullptr, differ);
        dialog->show();
        return dialog;
    }
    static void Press(QWidget* widget, int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

    TempMsts temp_;
};

TEST_F(FormsTest, ConfirmFileMove_SameDateProposesKeepAndShowsBothFiles) {
    MakeFile("In/a.con", "incoming", 1700000000);
    MakeFile("Out/a.con", "existing!", 1700000000);
    auto dialog = ShowDuplicate("a.con", true);
    for (const char* name :
         {"Bevel1", "Label1", "Label2", "Label3A", "Label4A", "Label5", "Label3B", "Label4B",
          "Label6", "ReplaceBtn", "ReplaceAllBtn", "KeepBtn", "KeepAllBtn", "CancelBtn"})
        EXPECT_TRUE(dialog->findChild<QWidget*>(name)) << name;
    EXPECT_EQ(dialog->windowTitle(), "Quarvel - Confirm Duplicate File Action");
    EXPECT_EQ(dialog->Label1->text(), "The file 'C:\\Out\\a.con' already exists.");
    EXPECT_EQ(dialog->Label2->text(), "Would you like to keep the existing newer file");
    EXPECT_EQ(dialog->Label5->text(), "or replace it with this older one?");
    EXPECT_TRUE(dialog->KeepBtn->isDefault());
    EXPECT_FALSE(dialog->ReplaceBtn->isDefault());
    EXPECT_EQ(dialog->Label3A->text(), "size: 9 bytes");
    EXPECT_EQ(dialog->Label3B->text(), "size: 8 bytes");
    const QString date =
        QLocale().toString(QDateTime::fromSecsSinceEpoch(1700000000), "dd/MMM/yyyy HH:mm:ss");
    EXPECT_EQ(dialog->Label4A->text(), "modified: " + date);
    EXPECT_TRUE(dialog->Label6->text().isEmpty());
    EXPECT_FALSE(dialog->CancelBtn->isVisible());
    EXPECT_EQ(dialog->size(), QSize(417, 240));
}

TEST_F(FormsTest, ConfirmFileMove_NewerIncomingProposesReplaceAndNotesSameContent) {
    MakeFile("In/a.con", "same", 1700009000);
    MakeFile("Out/a.con", "same", 1700000000);
    auto dialog = ShowDuplicate("a.con", false);
    EXPECT_EQ(dialog->Label2->text(), "Would you like to replace the existing older file");
    EXPECT_EQ(dialog->Label5->text(), "with this  newer one?");
    EXPECT_TRUE(dialog->ReplaceBtn->isDefault());
    EXPECT_EQ(dialog->Label6->text(), "(The file contents are the same)");

    auto missing = ShowDuplicate("gone.con", true);
    EXPECT_EQ(missing->Label3A->text(), "size: 1 bytes");
}

TEST_F(FormsTest, ConfirmFileMove_AnswersAndStandingAnswers) {
    MakeFile("In/a.con", "a", 1700000000);
    MakeFile("Out/a.con", "b", 1700000000);
    auto escaped = ShowDuplicate("a.con", true);
    Press(escaped.get(), Qt::Key_Escape);
    EXPECT_EQ(escaped->result(), ID_CANCEL);
    EXPECT_FALSE(escaped->isVisible());

    auto keep = ShowDuplicate("a.con", true);
    keep->KeepBtn->click();
    EXPECT_EQ(keep->result(), ID_NO);
    EXPECT_EQ(PathSet().DuplicateAnswer, 0);

    auto keepAll = ShowDuplicate("a.con", true);
    keepAll->KeepAllBtn->click();
    EXPECT_EQ(keepAll->result(), ID_NO);
    EXPECT_EQ(PathSet().DuplicateAnswer, 2);

    auto replaceAll = ShowDuplicate("a.con", true);
    replaceAll->ReplaceAllBtn->click();
    EXPECT_EQ(replaceAll->result(), ID_YES);
    EXPECT_EQ(PathSet().DuplicateAnswer, 1);
}

TEST_F(FormsTest, FolderSelect_ReachesAnotherDriveAndAnswersInWindowsForm) {
    QTemporaryDir other;
    DriveMap map = TheDriveMap();
    map.SetDrive(QLatin1Char('D'), other.path());
    SetDriveMap(map);
    QDir().mkpath(other.path() + "/Store/Sub");
    temp_.MakeFolder("MSTS/Routes");

    TFolderSelectDlg dialog("c:\\msts\\ROUTES", "Pick one", "(MSTS Folders Location)");
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Quarvel - Select Folder (MSTS Folders Location)");
    QFont bold = dialog.font();
    bold.setBold(true);
    EXPECT_GE(dialog.width(), QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 100);
    EXPECT_EQ(dialog.SrcLabel->text(), "Pick one");
    EXPECT_EQ(dialog.DriveComboBox->currentText(), "C:");
    EXPECT_EQ(dialog.Folder(), "C:\\MSTS\\Routes");
    EXPECT_EQ(dialog.SelectedPath->text(), "C:\\MSTS\\Routes");
    ASSERT_EQ(dialog.DriveComboBox->count(), 3); // C:, D:, Z:

    dialog.DriveComboBox->setCurrentIndex(dialog.DriveComboBox->findText("D:"));
    EXPECT_EQ(dialog.Folder(), "D:\\");
    QTreeWidgetItem* root = dialog.DirectoryListBox->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 1);
    root->child(0)->setExpanded(true);
    ASSERT_EQ(root->child(0)->childCount(), 1);
    dialog.DirectoryListBox->setCurrentItem(root->child(0)->child(0));
    EXPECT_EQ(dialog.SelectedPath->text(), "D:\\Store\\Sub");
    dialog.OKBtn->click();
    EXPECT_EQ(dialog.result(), ID_OK);
    EXPECT_EQ(dialog.Folder(), "D:\\Store\\Sub");
}

// A folder typed or pasted in the path field, in host or Windows form and in any letter case, is
// chosen with Enter; one that does not exist keeps the dialog open with the text as typed.
TEST_F(FormsTest, FolderSelect_AFolderTypedInThePathFieldIsChosenWithEnter) {
    temp_.MakeFolder("MSTS/Routes");
    for (const auto& [typed, chosen] :
         {std::pair{temp_.DriveC() + "/msts/routes", "C:\\MSTS\\Routes"},
          {"c:\\msts\\", "C:\\MSTS"},
          {"C:\\MSTS\\Nowhere", ""}}) {
        TFolderSelectDlg dialog("C:\\", QString(), QString());
        dialog.show();
        dialog.activateWindow();
        QApplication::processEvents();
        dialog.SelectedPath->setFocus();
        dialog.SelectedPath->selectAll();
        QKeyEvent paste(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QApplication::sendEvent(QApplication::focusWidget(), &paste);
        Press(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(dialog.result(), *chosen ? ID_OK : 0) << typed.toStdString();
        EXPECT_EQ(*chosen ? dialog.Folder() : dialog.SelectedPath->text(),
                  *chosen ? chosen : "C:\\MSTS\\Nowhere");
    }
}

TEST_F(FormsTest, DuplicateAndFolderDialogs_CentreOverTheMainWindowWhateverTheirOwner) {
    MakeFile("In/a.con", "incoming", 1700000000);
    MakeFile("Out/a.con", "existing", 1700000000);
    QWidget mainWindow, other;
    mainWindow.setObjectName(kMainWindowName);
    mainWindow.setGeometry(40, 60, 900, 700);
    other.setGeometry(700, 500, 200, 150);
    mainWindow.show();
    other.show();
    ASSERT_EQ(MainWindowWidget(), &mainWindow);
    const auto centredOverMain = [&mainWindow](const QWidget& dialog) {
        return CentredTopLeft(QRect(dialog.pos(), dialog.size()), mainWindow.frameGeometry(),
                              dialog.screen()->geometry().height());
    };

    PathSet().DuplicateSourceFile = "C:\\In\\a.con";
    PathSet().DuplicateTargetFile = "C:\\Out\\a.con";
    TConfirmFileMoveDlg duplicate(&other, true); // made while another window was active
    duplicate.show();
    EXPECT_EQ(duplicate.pos(), centredOverMain(duplicate));

    TFolderSelectDlg folder("C:\\", QString(), QString());
    folder.show();
    EXPECT_EQ(folder.pos(), centredOverMain(folder));
}

// Long names: the first text is there whole, from its first line on, wrapped or to be scrolled
// to, with the texts below it clear of it; the dialog stays on the screen.
TEST_F(FormsTest, ConfirmFileMove_LongNamesAreShownWhole) {
    const QString deep = QString("A Folder With A Long Name\\").repeated(6);
    for (const QString& name :
         {deep + "a long file name.con", deep + QString(120, u'x') + ".con", QString("a.con")}) {
        SCOPED_TRACE(name.toStdString());
        auto dialog = ShowDuplicate(name, true);
        const QLabel* text = dialog->Label1;
        EXPECT_EQ(text->text(), "The file 'C:\\Out\\" + name + "' already exists.");
        // The part of the dialog that shows the text, and the text's own place in it.
        const QWidget* shown = text->parentWidget();
        ASSERT_NE(shown, nullptr);
        const QRect room(shown->mapTo(dialog.get(), QPoint()), shown->size());
        EXPECT_EQ(text->mapTo(shown, QPoint()), QPoint()) << "its first line is at the top";
        EXPECT_GE(text->height(), text->heightForWidth(text->width())) << "no line cut off";
        EXPECT_GE(text->width(), text->minimumSizeHint().width()) << "no name cut off";
        const auto* area = qobject_cast<const QScrollArea*>(shown->parentWidget());
        if (!area || text->size() != shown->size()) {
            ASSERT_NE(area, nullptr) << "a text larger than its room must scroll";
            const bool wider = text->width() > shown->width();
            EXPECT_EQ(area->horizontalScrollBar()->maximum() > 0, wider);
            EXPECT_EQ(area->verticalScrollBar()->maximum() > 0, text->height() > shown->height());
        }
        EXPECT_GE(dialog->Label2->y(), room.bottom());
        EXPECT_GE(dialog->ReplaceBtn->y(), dialog->Label6->geometry().bottom());
        EXPECT_TRUE(dialog->screen()->availableGeometry().contains(dialog->geometry()));
    }
}

// While the main window is not on the screen (the start-up asks for folders before its first
// show is done; a command-line job runs it minimised), the dialogs open over the middle of the
// screen, not over the place the window is not at.
TEST_F(FormsTest, DuplicateAndFolderDialogs_CentreOnTheScreenWhileTheMainWindowIsNotOnIt) {
    MakeFile("In/a.con", "incoming", 1700000000);
    MakeFile("Out/a.con", "existing", 1700000000);
    PathSet().DuplicateSourceFile = "C:\\In\\a.con";
    PathSet().DuplicateTargetFile = "C:\\Out\\a.con";
    class MainWindow : public QWidget {
    public:
        std::function<void()> onFirstShow;

    protected:
        void showEvent(QShowEvent*) override {
            if (onFirstShow)
                std::exchange(onFirstShow, {})();
        }
    };
    const auto centredOnScreen = [](const QWidget& dialog) {
        return CentredTopLeft(QRect(dialog.pos(), dialog.size()),
                              dialog.screen()->availableGeometry(),
                              dialog.screen()->geometry().height());
    };
    const std::function<std::unique_ptr<QDialog>()> dialogs[] = {
        [] { return std::make_unique<TConfirmFileMoveDlg>(nullptr, true); },
        [] { return std::make_unique<TFolderSelectDlg>("C:\\", QString(), QString()); }};
    for (const char* state : {"never shown", "in its first show", "minimised"}) {
        for (const auto& make : dialogs) {
            SCOPED_TRACE(state);
            MainWindow mainWindow;
            mainWindow.setObjectName(kMainWindowName);
            mainWindow.setGeometry(0, 0, 500, 400); // at the top left
            std::unique_ptr<QDialog> dialog = make();
            SCOPED_TRACE(dialog->objectName().toStdString());
            if (std::string(state) == "in its first show") {
                mainWindow.onFirstShow = [&dialog] { dialog->show(); };
                mainWindow.show();
            } else {
                if (std::string(state) == "minimised") {
                    mainWindow.showMinimized();
                    QApplication::processEvents();
                }
                dialog->show();
            }
            ASSERT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->pos(), centredOnScreen(*dialog));
        }
    }
}

TEST_F(FormsTest, SelectFolder_KeepsTheResultAndAnswersEmptyWhenCancelled) {
    FakeUi ui;
    ui.ExpectSelectFolder(ID_CANCEL);
    EXPECT_EQ(SelectFolder("C:\\MSTS", "Prompt", "(Suffix)"), "");
    EXPECT_EQ(App().FolderDialogResult, ID_CANCEL);
    EXPECT_TRUE(App().FolderDialogFolder.isEmpty());
    ui.ExpectSelectFolder(ID_OK, "D:\\Store");
    EXPECT_EQ(SelectFolder("C:\\MSTS", "Prompt", "(Suffix)"), "D:\\Store");
    EXPECT_EQ(App().FolderDialogResult, ID_OK);
    ASSERT_EQ(ui.FolderDialogs().size(), 2u);
    EXPECT_EQ(ui.FolderDialogs()[1].captionSuffix, "(Suffix)");
    EXPECT_EQ(App().FolderDialogPrompt, "Prompt");
}

TEST_F(FormsTest, Controls_ClassTestsTakeTheExactClassOnly) {
    QTextEdit edit;
    QTextBrowser browser; // derived from the rich edit's class: does not count
    QTreeWidget tree;
    QListWidget list;
    QComboBox combo;
    QLineEdit line;
    EXPECT_TRUE(IsRichEdit(&edit));
    EXPECT_FALSE(IsRichEdit(&browser));
    EXPECT_FALSE(IsRichEdit(&tree));
    EXPECT_TRUE(IsRichEditOrTree(&tree));
    EXPECT_FALSE(IsRichEditOrTree(&list));
    for (QWidget* w : std::initializer_list<QWidget*>{&edit, &tree, &list, &combo})
        EXPECT_TRUE(IsListControl(w));
    EXPECT_FALSE(IsListControl(&line));
    EXPECT_FALSE(IsListControl(nullptr));
}

TEST_F(FormsTest, Controls_TreeTextIndentsChildrenAndLeavesTheTreeCollapsed) {
    QTreeWidget tree;
    auto* root = new QTreeWidgetItem(&tree, QStringList("Root"));
    new QTreeWidgetItem(root, QStringList("A"));
    new QTreeWidgetItem(root, QStringList("B"));
    tree.setCurrentItem(root);
    EXPECT_EQ(ListControlText(&tree), "Root\r\n\tA\r\n\tB\r\n");
    EXPECT_FALSE(root->isExpanded());
    EXPECT_EQ(tree.currentItem(), root);

    QComboBox combo;
    combo.addItems({"x", "y"});
    EXPECT_EQ(ListControlText(&combo), "x\r\ny\r\n");
}

TEST_F(FormsTest, Controls_CopyToClipboard) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    QListWidget empty;
    CopyToClipboard(&empty);
    EXPECT_EQ(clipboard->text(), "before");

    QTextEdit edit;
    edit.setPlainText("all of it");
    ScrollRichEditToPosition(&edit, 3);
    CopyToClipboard(&edit);
    EXPECT_EQ(clipboard->text(), "all of it");
    EXPECT_FALSE(edit.textCursor().hasSelection());
    EXPECT_EQ(edit.textCursor().position(), 3);
    ScrollRichEditToPosition(&edit, -1);
    EXPECT_EQ(edit.textCursor().position(), 9);
}

TEST_F(FormsTest, Controls_CheckOnlyItemKeepsASelectionThatHoldsTheLine) {
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.addItems({"a", "b", "c"});
    list.item(0)->setSelected(true);
    list.item(1)->setSelected(true);
    CheckOnlyItem(1, &list);
    EXPECT_EQ(list.selectedItems().size(), 2);
    CheckOnlyItem(2, &list);
    ASSERT_EQ(list.selectedItems().size(), 1);
    EXPECT_EQ(list.selectedItems()[0]->text(), "c");
}

TEST(ControlHelpers, CentringAndHintTexts) {
    // Taller than the target: the middle of the screen; never left of the screen's edge.
    EXPECT_EQ(CentredTopLeft(QRect(0, 0, 400, 300), QRect(10, 50, 200, 100), 1000), QPoint(0, 350));
    EXPECT_EQ(CentredTopLeft(QRect(0, 0, 101, 51), QRect(100, 100, 300, 200), 1000),
              QPoint(199, 174));
    EXPECT_EQ(ReplaceLastCharWithBar("a"), "|");
    EXPECT_EQ(ReplaceLastCharWithBar("Open&"), "Open|");
}

TEST(ControlHelpers, ListNodesAndRouteNodes) {
    ItemTree tree;
    auto item = [](std::uint32_t type, const QString& file = QString()) {
        auto set = std::make_unique<ItemSet>();
        set->PType = type;
        set->FileName = file;
        return set;
    };
    ItemNode* global = tree.AddRoot(item(PT_GLOBAL_ROOT));
    ItemNode* lists = global->AddChild(item(PT_HEADING | PT_EXPLORE_CONSIST));
    ItemNode* named = lists->AddChild(item(PT_HEADING | PT_EXPLORE_CONSIST, "L1"));
    ItemNode* member = named->AddChild(item(PT_EXPLORE_CONSIST));
    ItemNode* routes = tree.AddRoot(item(PT_ROUTES_ROOT));
    ItemNode* r1 = routes->AddChild(item(PT_ROUTE, "r1"));
    ItemNode* r2 = routes->AddChild(item(PT_ROUTE, "r2"));
    EXPECT_EQ(ClassifyListNode(global), 0);
    EXPECT_EQ(ClassifyListNode(lists), 2);
    EXPECT_EQ(ClassifyListNode(named), 1);
    EXPECT_EQ(ClassifyListNode(member), 1);
    std::vector<ItemNode*> found;
    CollectRouteNodes(found, tree);
    EXPECT_EQ(found, (std::vector<ItemNode*>{r1, r2}));
}

} // namespace
} // namespace qv
