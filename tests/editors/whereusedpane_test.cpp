// Where Used from the popup of each list editor: its report stays in the details while the
// focus comes back to the list, until the user moves to another item by key.
#include "core/regsettings.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "editors/forms/editpathlistsdlg.h"
#include "editors/forms/editstocklistsdlg.h"
#include "editortestkit.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QtCore/qtestsupport_core.h>
#include <functional>

namespace qv {
namespace {

TEST_F(EditorTest, WhereUsed_TheReportStaysInTheDetailsUntilTheUserMovesToAnotherItem) {
    for (const char* kind : {"Consists", "Stock", "Paths"})
        RegWriteString(kProductKey + "\\Filters\\" + kind, "StoreInd", "3");
    for (const char* name : {"Local", "Express"}) {
        App().ConsistCacheList.push_back(
            Record(2, PT_CONSIST, 2, name, "", name + QString(".CON")));
        App().StockCacheList.push_back(Record(2, PT_STOCK, 2, name, "", name + QString("\\A.WAG")));
        builder.AddPath("ALPHA", name + QString(".pat"), name, "Yard", "Town", true);
    }
    tree.SetSelected(tree.AddRoot(Record(0, PT_ROUTE, 1, "Alpha", "ROUTES\\ALPHA", "ALPHA.trk")));
    const auto key = [](int code) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    };
    const std::function<std::unique_ptr<TListEditorDlg>()> editors[] = {
        [] { return std::make_unique<TEditConsistListsDlg>(nullptr, EM_VIEW_ALL); },
        [] { return std::make_unique<TEditStockListsDlg>(nullptr, EM_VIEW_ALL); },
        [] { return std::make_unique<TEditPathListsDlg>(nullptr, EM_VIEW_ALL); }};
    for (const auto& editor : editors) {
        const std::unique_ptr<TListEditorDlg> dialog = editor();
        SCOPED_TRACE(dialog->metaObject()->className());
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->isActiveWindow(); }, 5000));
        QListWidget* box = dialog->AvailableListBox;
        ASSERT_EQ(box->count(), 2);
        box->setFocus();
        box->setCurrentRow(1);
        const QStringList second = dialog->DetailsPane().Lines();
        box->setCurrentRow(0);
        const QStringList first = dialog->DetailsPane().Lines();

        dialog->ListEditorPopupMenuPopup(box);
        dialog->WhereUsedPopupMnu->trigger();
        EXPECT_NE(dialog->DetailsPane().Lines(), first);
        ASSERT_EQ(QApplication::focusWidget(), box);
        key(Qt::Key_Down);
        EXPECT_EQ(dialog->DetailsPane().Lines(), second);
        key(Qt::Key_Up);
        EXPECT_EQ(dialog->DetailsPane().Lines(), first);
    }
}

} // namespace
} // namespace qv
