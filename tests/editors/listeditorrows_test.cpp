// The rows of the editors' list boxes as the user selects them with the mouse and the keys, and
// what a long list costs: a change of selection and a change of the rows' states take no more
// work with sixteen times the rows, and every row takes one size.
#include "core/regsettings.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "editortestkit.h"
#include "fixtures/growth.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QtCore/qtestsupport_core.h>

namespace qv {

namespace {

using test::LeastCpuSeconds;

class ListEditorRowsTest : public EditorTest {
protected:
    // Every store state shown; the members of the lists have no files and stay listed.
    ListEditorRowsTest() {
        RegWriteString(kProductKey + "\\Filters\\Consists", "StoreInd", "3");
        ui.SetDefaultAnswer(ID_NO);
    }
    void AddCachedConsists(int count) {
        for (int i = 0; i < count; ++i) {
            const QString name = QString("Consist%1").arg(i, 5, 10, QChar('0'));
            App().ConsistCacheList.push_back(
                Record(2, PT_CONSIST | PT_DRIVEABLE, SI_IN_STORE, name, "", name + ".CON"));
        }
    }
    // A dialog of the route's list of `members` consists over `available` cached ones, shown
    // and active, so that keys reach its focus widget.
    std::unique_ptr<TEditConsistListsDlg> OpenEditor(int available, int members) {
        AddCachedConsists(available);
        QStringList files;
        for (int i = 0; i < members; ++i)
            files << App().ConsistCacheList[std::size_t(i)]->FileName;
        tree.SetSelected(AddRouteWithLists({"MAINTCON=12,Shunting"}, {files}));
        auto dialog = std::make_unique<TEditConsistListsDlg>(nullptr, EM_EDIT);
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->isActiveWindow(); }, 5000));
        return dialog;
    }
};

void Click(QListWidget* box, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPoint at = box->visualItemRect(box->item(row)).center();
    const QPointF global = box->viewport()->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, modifiers);
    QApplication::sendEvent(box->viewport(), &press);
    QApplication::sendEvent(box->viewport(), &release);
}

// A key pressed and released where the window system sends it: to the focus widget.
void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    }
}

std::vector<int> Rows(std::initializer_list<int> rows) {
    return rows;
}

std::vector<int> RowsFromTo(int first, int last) {
    std::vector<int> rows;
    for (int row = first; row <= last; ++row)
        rows.push_back(row);
    return rows;
}

// Clicks, Ctrl+clicks, Shift+clicks, Shift+arrows and Ctrl+A select the rows they always did, and
// the label, the Add button and the details follow: the count of the rows and the record of the
// current row while it is selected, else of the first one selected.
TEST_F(ListEditorRowsTest, MouseAndKeysSelectTheRowsTheLabelAndDetailsCount) {
    auto dialog = OpenEditor(12, 0);
    QListWidget* box = dialog->AvailableListBox;
    box->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), box);
    const struct {
        const char* what;
        std::function<void()> act;
        std::vector<int> rows;
        int detailRow;
    } steps[] = {
        {"a click", [&] { Click(box, 2); }, Rows({2}), 2},
        {"Ctrl+clicks add rows", [&] { Click(box, 5, Qt::ControlModifier); }, Rows({2, 5}), 5},
        {"", [&] { Click(box, 9, Qt::ControlModifier); }, Rows({2, 5, 9}), 9},
        {"Ctrl+click takes a row out", [&] { Click(box, 9, Qt::ControlModifier); }, Rows({2, 5}),
         2},
        {"a click starts again", [&] { Click(box, 4); }, Rows({4}), 4},
        {"Shift+click selects from there", [&] { Click(box, 7, Qt::ShiftModifier); },
         RowsFromTo(4, 7), 7},
        {"Shift+Down goes on", [&] { Key(Qt::Key_Down, Qt::ShiftModifier); }, RowsFromTo(4, 8), 8},
        {"", [&] { Key(Qt::Key_Down, Qt::ShiftModifier); }, RowsFromTo(4, 9), 9},
        {"Shift+Up back", [&] { Key(Qt::Key_Up, Qt::ShiftModifier); }, RowsFromTo(4, 8), 8},
        {"Down alone moves the selection", [&] { Key(Qt::Key_Down); }, Rows({9}), 9},
        {"Ctrl+A selects every row", [&] { Key(Qt::Key_A, Qt::ControlModifier); },
         RowsFromTo(0, 11), 9},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        // As each row says of itself.
        std::vector<int> selected;
        for (int row = 0; row < box->count(); ++row)
            if (box->item(row)->isSelected())
                selected.push_back(row);
        EXPECT_EQ(selected, step.rows);
        EXPECT_EQ(dialog->AvailableView().SelectedRows(), step.rows);
        EXPECT_EQ(dialog->AvailableView().SelectedCount(), int(step.rows.size()));
        EXPECT_EQ(dialog->SelectedLabel->text(),
                  QString("%1 Consists Selected").arg(step.rows.size()));
        EXPECT_EQ(dialog->AddRemoveBtn->text(), "Add to List");
        EXPECT_TRUE(dialog->AddRemoveBtn->isEnabled());
        const QString shown = App().ConsistCacheList[std::size_t(step.detailRow)]->Description;
        EXPECT_TRUE(dialog->DetailsPane().Lines().join('\n').contains(shown))
            << dialog->DetailsPane().Lines().join('\n').toStdString();
    }
}

// Rows Ctrl+clicked in the Current list and Delete: exactly those rows leave the list.
TEST_F(ListEditorRowsTest, DeleteRemovesTheRowsCtrlClickedFromTheCurrentList) {
    auto dialog = OpenEditor(8, 8);
    QListWidget* current = dialog->CurrentListBox;
    ASSERT_EQ(current->count(), 8);
    current->setFocus();
    Click(current, 1);
    for (int row : {3, 4, 7})
        Click(current, row, Qt::ControlModifier);
    EXPECT_EQ(dialog->AddRemoveBtn->text(), "Remove from List");
    Key(Qt::Key_Delete);
    QStringList left;
    for (int row = 0; row < current->count(); ++row)
        left << current->item(row)->text();
    EXPECT_EQ(left, QStringList({"Consist00000.CON", "Consist00002.CON", "Consist00005.CON",
                                 "Consist00006.CON"}))
        << left.join(' ').toStdString();
    EXPECT_EQ(dialog->CurrentListLabel->text(), "Current List (4)");
}

// A list of 16 times the rows, with as many rows selected here and there: what the user does
// takes no more work than on the short list, the painting after it included. Asking each row
// whether it is selected looks through every selected stretch; laying each row out again asked
// the style for each row's size.
TEST_F(ListEditorRowsTest, CtrlClicksAndChangesOfStateTakeNoMoreWorkForMoreRows) {
    const struct {
        const char* what;
        std::function<void(TEditConsistListsDlg& dialog, int round)> act;
    } cases[] = {
        {"a Ctrl+click among 100 rows selected",
         [](TEditConsistListsDlg& dialog, int) {
             Click(dialog.AvailableListBox, 1, Qt::ControlModifier);
         }},
        {"an item's state changed by an unstore from the popup",
         [](TEditConsistListsDlg& dialog, int round) {
             App().ConsistCacheList[std::size_t(round % 10)]->StoreInd ^= SI_IN_USE | SI_IN_STORE;
             dialog.AvailableView().Repaint();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto cost = [&](int count) {
            App().ConsistCacheList.clear();
            tree.Clear();
            auto dialog = OpenEditor(count, 0);
            QListWidget* box = dialog->AvailableListBox;
            box->setFocus();
            QItemSelection apart;
            for (int k = 0; k < 100; ++k) {
                const QModelIndex index = box->model()->index(3 + k * (count / 100), 0);
                apart.select(index, index);
            }
            box->selectionModel()->select(apart, QItemSelectionModel::Select);
            QApplication::processEvents();
            int round = 0;
            return LeastCpuSeconds([&] {
                c.act(*dialog, round++);
                QApplication::processEvents();
            });
        };
        const double few = cost(500);
        EXPECT_LT(cost(16 * 500) / few, 4);
    }
}

// Rows in the highlight font and plain rows take one height, the highlight font's; the widest
// row can be scrolled to, and once it is filtered out the list is no wider than the rest.
TEST_F(ListEditorRowsTest, EveryRowTakesOneSizeAndTheWidestRowCanBeScrolledTo) {
    AddCachedConsists(3);
    App().ConsistCacheList[1]->StoreInd = SI_IN_USE;
    App().ConsistCacheList[2]->Description =
        "Consist00002 " + QString("with a long name ").repeated(8);
    const QFont large(QFont().family(), QFont().pointSize() * 3);
    const auto previous = TheListEditorFormHooks().HighlightFont;
    TheListEditorFormHooks().HighlightFont = [large](const QFont&) { return large; };
    TEditConsistListsDlg dialog(nullptr, EM_VIEW_ALL);
    dialog.show();
    TheListEditorFormHooks().HighlightFont = previous;
    QListWidget* rows = dialog.AvailableListBox;
    ASSERT_EQ(rows->count(), 3);
    const int height = rows->visualItemRect(rows->item(1)).height();
    EXPECT_GE(height, QFontMetrics(large).height());
    for (int row : {0, 2})
        EXPECT_EQ(rows->visualItemRect(rows->item(row)).height(), height) << row;
    QApplication::processEvents();
    EXPECT_GT(rows->horizontalScrollBar()->maximum(), 0);

    dialog.ConsistNameFilterCmbx->setEditText("Consist0000[01]");
    dialog.ApplyFilterBtnClick();
    ASSERT_EQ(rows->count(), 2);
    QApplication::processEvents();
    EXPECT_EQ(rows->horizontalScrollBar()->maximum(), 0);
}

} // namespace

} // namespace qv
