// Where Used from the popup of each list editor: its report stays in the details while the
// focus comes back to the list, until the user moves to another item.
#include "core/regsettings.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "editors/forms/editpathlistsdlg.h"
#include "editors/forms/editstocklistsdlg.h"
#include "editortestkit.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QtCore/qtestsupport_core.h>

namespace qv {

namespace {

class WhereUsedPaneTest : public EditorTest {
protected:
    WhereUsedPaneTest() {
        for (const char* kind : {"Consists", "Stock", "Paths"})
            RegWriteString(kProductKey + "\\Filters\\" + kind, "StoreInd", "3");
        App().ConsistCacheList.push_back(Record(2, PT_CONSIST, 2, "Local", "", "LOCAL.CON"));
        App().ConsistCacheList.push_back(Record(2, PT_CONSIST, 2, "Express", "", "EXPRESS.CON"));
        App().StockCacheList.push_back(Record(2, PT_STOCK, 2, "Coach", "", "A\\COACH.WAG"));
        App().StockCacheList.push_back(Record(2, PT_STOCK, 2, "Van", "", "A\\VAN.WAG"));
        builder.AddPath("ALPHA", "up.pat", "Up", "Yard", "Town", true);
        builder.AddPath("ALPHA", "down.pat", "Down", "Town", "Yard", true);
        tree.SetSelected(
            tree.AddRoot(Record(0, PT_ROUTE, 1, "Alpha Line", "ROUTES\\ALPHA", "ALPHA.trk")));
    }
};

// A key pressed and released where the window system sends it: to the focus widget.
void KeyClick(int key) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QApplication::sendEvent(focus, &event);
    }
}

TEST_F(WhereUsedPaneTest, TheReportStaysInTheDetailsUntilTheUserMovesToAnotherItem) {
    for (char kind : {'c', 's', 'p'}) {
        SCOPED_TRACE(kind);
        std::unique_ptr<TListEditorDlg> dialog;
        if (kind == 'c')
            dialog = std::make_unique<TEditConsistListsDlg>(nullptr, EM_VIEW_ALL);
        else if (kind == 's')
            dialog = std::make_unique<TEditStockListsDlg>(nullptr, EM_VIEW_ALL);
        else
            dialog = std::make_unique<TEditPathListsDlg>(nullptr, EM_VIEW_ALL);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->isActiveWindow(); }, 5000));
        QListWidget* box = dialog->AvailableListBox;
        ASSERT_EQ(box->count(), 2);
        box->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), box);

        box->setCurrentRow(1);
        const QStringList second = dialog->DetailsPane().Lines();
        box->setCurrentRow(0);
        const QStringList first = dialog->DetailsPane().Lines();
        ASSERT_NE(first, second);

        dialog->ListEditorPopupMenuPopup(box);
        dialog->WhereUsedPopupMnu->trigger();
        const QStringList report = dialog->DetailsPane().Lines();
        EXPECT_NE(report, first);
        EXPECT_EQ(QApplication::focusWidget(), box);
        box->clearFocus();
        box->setFocus();
        EXPECT_EQ(dialog->DetailsPane().Lines(), report);

        KeyClick(Qt::Key_Down);
        EXPECT_EQ(dialog->DetailsPane().Lines(), second);
        KeyClick(Qt::Key_Up);
        EXPECT_EQ(dialog->DetailsPane().Lines(), first);
    }
}

} // namespace

} // namespace qv
