// The lot-number dialog driven on the offscreen platform: the lots it offers, which entries it
// takes and how it stores them, and where it stands.
#include "catalogue/forms/itemrightclick.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "platform/fakeui.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace qv;

namespace {

std::unique_ptr<ItemSet> Item(std::uint32_t type, const QString& lot) {
    auto item = std::make_unique<ItemSet>();
    item->PType = type;
    item->LotNumber = lot;
    return item;
}

class ItemRightClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().CurrentLotNumber = QStringLiteral("12");
        items.push_back(Item(PT_CONSIST, "3"));
        items.push_back(Item(PT_CONSIST, ""));
        items.push_back(Item(PT_CONSIST, "B52"));
        items.push_back(Item(PT_CONSIST, "10"));
        items.push_back(Item(PT_CONSIST, "3"));
    }
    void TearDown() override { ResetAppState(); }

    std::unique_ptr<TItemRightClickForm> Show() {
        auto dialog = std::make_unique<TItemRightClickForm>(nullptr, items);
        dialog->show();
        return dialog;
    }
    // Types the entry and presses OK; true when the dialog closed with OK.
    bool Enter(TItemRightClickForm& dialog, const QString& entry) {
        dialog.LotNumberCmbx->setEditText(entry);
        dialog.OKBtn->click();
        return !dialog.isVisible() && dialog.result() == ID_OK;
    }

    // Centred within the frame margins that the platform adds.
    static bool CentredOver(const QWidget& dialog, const QWidget& editor) {
        const QPoint offset = dialog.frameGeometry().center() - editor.frameGeometry().center();
        return std::abs(offset.x()) <= 4 && std::abs(offset.y()) <= 4;
    }

    RecordList<ItemSet> items;
    FakeUi ui;
};

} // namespace

TEST_F(ItemRightClickTest, Show_OffersEachLotOfTheItemsOnceAndEmptiesTheAnswer) {
    App().ChosenLotNumber = QStringLiteral("old");
    auto dialog = Show();
    EXPECT_EQ(dialog->windowTitle(), "Change Lot Number");
    EXPECT_EQ(dialog->size(), QSize(295, 78));
    EXPECT_EQ(dialog->ChangeLotNumber->text(), "Change Lot Number to");
    EXPECT_TRUE(dialog->LotNumberCmbx->isEditable());
    QStringList offered;
    for (int i = 0; i < dialog->LotNumberCmbx->count(); ++i)
        offered << dialog->LotNumberCmbx->itemText(i);
    EXPECT_EQ(offered, QStringList({"10", "3", "B52"}));
    EXPECT_TRUE(App().ChosenLotNumber.isEmpty());
}

TEST_F(ItemRightClickTest, Ok_TakesHandedOutNumbersAndOwnNamesAndRefusesTheRest) {
    for (const QString entry : {"12", "3", "0", "B52", "-4"}) {
        auto dialog = Show();
        EXPECT_TRUE(Enter(*dialog, entry)) << entry.toStdString();
        EXPECT_EQ(App().ChosenLotNumber, entry);
    }
    EXPECT_TRUE(ui.Shown().empty());

    for (const QString entry : {"13", "12a", "99999999999999999999999"}) {
        auto dialog = Show();
        EXPECT_FALSE(Enter(*dialog, entry)) << entry.toStdString();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(App().ChosenLotNumber.isEmpty());
    }
    ASSERT_EQ(ui.Shown().size(), 3u);
    EXPECT_EQ(ui.Shown()[0].text, Caption(Msg::INVALID_LOT_NUMBER));
    EXPECT_EQ(ui.Shown()[0].caption, "Quarvel");
    EXPECT_EQ(ui.Shown()[0].style, MB_ICONSTOP);
}

TEST_F(ItemRightClickTest, Ok_StoresTheEntryTrimmedAndTakesBlanksAsNoEntry) {
    auto dialog = Show();
    EXPECT_TRUE(Enter(*dialog, "  7\t "));
    EXPECT_EQ(App().ChosenLotNumber, "7");

    dialog = Show();
    EXPECT_TRUE(Enter(*dialog, "   "));
    EXPECT_TRUE(App().ChosenLotNumber.isEmpty());
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(ItemRightClickTest, Cancel_LeavesNoAnswerEvenAfterATypedLot) {
    items.clear();
    auto dialog = Show();
    EXPECT_EQ(dialog->LotNumberCmbx->count(), 0);
    dialog->LotNumberCmbx->setEditText("5");
    dialog->CancelBtn->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), ID_CANCEL);
    EXPECT_TRUE(App().ChosenLotNumber.isEmpty());
}

TEST_F(ItemRightClickTest, Show_CentresOverTheListEditorOfTheFirstItemsKind) {
    QWidget consistEditor;
    consistEditor.setObjectName("EditConsistListsDlg");
    consistEditor.setGeometry(300, 250, 500, 300);
    consistEditor.show();
    QWidget stockEditor;
    stockEditor.setObjectName("EditStockListsDlg");
    stockEditor.setGeometry(50, 40, 300, 200);
    stockEditor.show();

    items.front()->PType = PT_MAINT_STOCK;
    auto dialog = Show();
    EXPECT_TRUE(CentredOver(*dialog, stockEditor));

    items.front()->PType = PT_MAINT_CONSIST | PT_MAINT_STOCK;
    dialog = Show();
    EXPECT_TRUE(CentredOver(*dialog, consistEditor));

    items.front()->PType = PT_CONSIST;
    dialog = Show();
    EXPECT_FALSE(CentredOver(*dialog, consistEditor));
    EXPECT_FALSE(CentredOver(*dialog, stockEditor));
}
