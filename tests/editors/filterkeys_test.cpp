// The editors' text filters get their keys at the focus widget, the combo box, not its line edit:
// Enter applies and remembers the text, Shift+Delete forgets the history.
#include "core/regsettings.h"
#include "editors/consistfilter.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "editors/forms/editpathlistsdlg.h"
#include "editors/forms/editstocklistsdlg.h"
#include "editors/pathfilter.h"
#include "editors/stockfilter.h"
#include "editortestkit.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QtCore/qtestsupport_core.h>

namespace qv {

namespace {

class FilterKeysTest : public EditorTest {
protected:
    FilterKeysTest() {
        App().ConsistCacheList.push_back(Record(2, PT_CONSIST, 2, "Local", "", "LOCAL.CON"));
        App().StockCacheList.push_back(Record(2, PT_STOCK, 2, "Coach", "", "A\\COACH.WAG"));
        tree.SetSelected(
            tree.AddRoot(Record(0, PT_ROUTE, 1, "Alpha Line", "ROUTES\\ALPHA", "ALPHA.trk")));
    }
};

// A key pressed and released where the window system sends it: to the focus widget.
void KeyClick(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QApplication::sendEvent(focus, &event);
    }
}

std::unique_ptr<TListEditorDlg> NewEditor(char kind) {
    if (kind == 'c')
        return std::make_unique<TEditConsistListsDlg>(nullptr, EM_VIEW_ALL);
    if (kind == 's')
        return std::make_unique<TEditStockListsDlg>(nullptr, EM_VIEW_ALL);
    return std::make_unique<TEditPathListsDlg>(nullptr, EM_VIEW_ALL);
}

TEST_F(FilterKeysTest, EnterAndShiftDeleteReachEveryTextFilterThroughTheFocusWidget) {
    const struct {
        char editor;
        const char* combo;
        QString history;
        bool route;
    } filters[] = {
        {'c', "ConsistNameFilterCmbx", kConsistFiltersKey + "\\ConsistName", false},
        {'c', "EngineNameFilterCmbx", kConsistFiltersKey + "\\EngineName", false},
        {'c', "LotNumberFilterCmbx", kConsistFiltersKey + "\\LotNumber", false},
        {'c', "UsedInRouteFilterCmbx", kConsistFiltersKey + "\\UsedInRoute", true},
        {'s', "StockNameFilterCmbx", kStockFiltersKey + "\\StockName", false},
        {'s', "LotNumberFilterCmbx", kStockFiltersKey + "\\LotNumber", false},
        {'s', "UsedInRouteFilterCmbx", kStockFiltersKey + "\\UsedInRoute", true},
        {'p', "PathFromFilterCmbx", kPathFiltersKey + "\\From", false},
        {'p', "PathToFilterCmbx", kPathFiltersKey + "\\To", false},
        {'p', "PathNameFilterCmbx", kPathFiltersKey + "\\Name", false},
    };
    for (const auto& f : filters) {
        SCOPED_TRACE(f.combo);
        AddToKeyList(f.history, "older", false, 15);
        auto dialog = NewEditor(f.editor);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->isActiveWindow(); }, 5000));
        auto* combo = dialog->findChild<QComboBox*>(f.combo);
        ASSERT_NE(combo, nullptr);
        combo->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), combo);

        // A route filter takes only one of its own items; anything else is emptied unapplied.
        if (f.route) {
            combo->setEditText("Nowhere");
            KeyClick(Qt::Key_Return);
            EXPECT_EQ(combo->currentText(), "");
            EXPECT_EQ(ReadKeyList(f.history), QStringList{"older"});
        }
        const QString text = f.route ? combo->itemText(combo->findText("Alpha Line")) : "cab*";
        ASSERT_FALSE(text.isEmpty());
        combo->setEditText(text);
        KeyClick(Qt::Key_Return);
        EXPECT_EQ(ReadKeyList(f.history), (QStringList{text, "older"}));

        KeyClick(Qt::Key_Delete, Qt::ShiftModifier);
        EXPECT_EQ(combo->currentText(), "");
        EXPECT_EQ(ReadKeyList(f.history), QStringList{});
        dialog->reject();
    }
}

} // namespace

} // namespace qv
