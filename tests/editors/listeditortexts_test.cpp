// The list editors in the user's language: built in the language in use, and shown again in a
// new one when the language switches while an editor is open, with what it shows kept.
#include "core/regsettings.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "editors/forms/editpathlistsdlg.h"
#include "editors/forms/editstocklistsdlg.h"
#include "editortestkit.h"
#include "fixtures/formtexts.h"
#include "fixtures/markingtranslator.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <memory>
#include <optional>

namespace qv {
namespace {

class ListEditorTexts : public EditorTest {
protected:
    ListEditorTexts() {
        for (const char* filters : {"Consists", "Stock", "Paths"})
            RegWriteString(kProductKey + "\\Filters\\" + filters, "StoreInd", "3");
        ui.SetDefaultAnswer(ID_NO);
        for (const char* name : {"Alpha", "Beta"}) {
            App().ConsistCacheList.push_back(
                Record(2, PT_CONSIST | PT_DRIVEABLE, 2, name, "", QString(name) + ".CON"));
            App().StockCacheList.push_back(
                Record(2, PT_STOCK | PT_ENGINE, 2, name, "", QString(name) + ".ENG"));
        }
    }
};

// The texts an open editor shows: every caption, button, label, hint and its title; the rows are
// data.
QStringList Unmarked(const QWidget& dialog) {
    return test::UnmarkedTexts(
        &dialog, {QStringLiteral("AvailableListBox"), QStringLiteral("CurrentListBox")});
}

TEST_F(ListEditorTexts, ASwitchOfLanguageShowsAnOpenEditorInTheNewLanguage) {
    ItemNode* heading = AddRouteWithLists({"MAINTCON=12,Shunting"}, {{"Alpha.CON"}});
    const struct Case {
        const char* editor;
        std::function<std::unique_ptr<TListEditorDlg>()> make;
    } cases[] = {
        {"consists, a list edited",
         [&] {
             tree.SetSelected(heading);
             return std::make_unique<TEditConsistListsDlg>(nullptr, EM_EDIT);
         }},
        {"stock, View All",
         [] { return std::make_unique<TEditStockListsDlg>(nullptr, EM_VIEW_ALL); }},
        {"paths, View All",
         [] { return std::make_unique<TEditPathListsDlg>(nullptr, EM_VIEW_ALL); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.editor);
        std::unique_ptr<TListEditorDlg> dialog = c.make();
        dialog->show();
        if (dialog->AvailableListBox->count() > 0)
            dialog->AvailableListBox->item(0)->setSelected(true);
        const int status = dialog->StoreIndCmbx->currentIndex();
        const QString title = dialog->windowTitle();
        ASSERT_FALSE(Unmarked(*dialog).isEmpty()); // English, before the switch

        std::optional<test::MarkingTranslator> switched;
        switched.emplace();
        QCoreApplication::processEvents();
        const QStringList unmarked = Unmarked(*dialog);
        EXPECT_TRUE(unmarked.isEmpty()) << unmarked.join(QLatin1Char('\n')).toStdString();
        EXPECT_NE(dialog->windowTitle(), title);
        // What the editor shows stays: the chosen status and the selection.
        EXPECT_EQ(dialog->StoreIndCmbx->currentIndex(), status);
        EXPECT_EQ(dialog->AvailableListBox->count() > 0,
                  dialog->AvailableListBox->item(0) &&
                      dialog->AvailableListBox->item(0)->isSelected());
        switched.reset();
        QCoreApplication::processEvents();
    }
}

} // namespace
} // namespace qv
