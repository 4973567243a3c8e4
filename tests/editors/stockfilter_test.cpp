// The stock list editor: which engines and wagons pass its filters, the kinds its records keep
// between openings and the lot filter after a lot change.
#include "editors/stockfilter.h"

#include "core/regsettings.h"
#include "editors/forms/editstocklistsdlg.h"
#include "editors/listboxview.h"
#include "editortestkit.h"

#include <QComboBox>
#include <QLabel>

namespace qv {

namespace {

class StockFilterTest : public EditorTest {
protected:
    StockFilterTest() {
        RegWriteString(kProductKey + "\\Filters\\Stock", "StoreInd", "3");
        ui.SetDefaultAnswer(ID_NO);
    }
    void AddStock(const QString& name, std::uint32_t bits, const QString& lot = {}) {
        auto item = Record(2, PT_STOCK | bits, 2, name, "", "T\\" + name + ".ENG");
        item->LotNumber = lot;
        App().StockCacheList.push_back(std::move(item));
    }
    // Engines of each power (driveable or not), a tender, a carriage and a wagon.
    void AddFixtureSet() {
        AddStock("DieselCab", PT_ENGINE | PT_DIESEL | PT_DRIVEABLE, "5");
        AddStock("DieselDummy", PT_ENGINE | PT_DIESEL);
        AddStock("SteamCab", PT_ENGINE | PT_STEAM | PT_DRIVEABLE);
        AddStock("ElectricCab", PT_ENGINE | PT_ELECTRIC | PT_DRIVEABLE);
        AddStock("Tender", PT_TENDER);
        AddStock("Coach", PT_PASSENGER);
        AddStock("Boxcar", PT_FREIGHT, "5");
    }
    QStringList Passing(std::uint32_t include, std::uint32_t exclude) {
        StockFilterValues values;
        values.Include = include;
        values.Exclude = exclude;
        QStringList names;
        for (const auto& item : App().StockCacheList)
            if (StockPassesFilter(*item, values))
                names << item->Description;
        return names;
    }
};

TEST_F(StockFilterTest, StockPassesFilter_KindsPowerAndDriveable) {
    AddFixtureSet();
    const struct {
        const char* name;
        std::uint32_t include;
        std::uint32_t exclude;
        QStringList passing;
    } cases[] = {
        {"nothing set",
         0,
         0,
         {"DieselCab", "DieselDummy", "SteamCab", "ElectricCab", "Tender", "Coach", "Boxcar"}},
        {"engines", PT_ENGINE, 0, {"DieselCab", "DieselDummy", "SteamCab", "ElectricCab"}},
        {"engines and diesel", PT_ENGINE | PT_DIESEL, 0, {"DieselCab", "DieselDummy"}},
        {"carriages and diesel", PT_PASSENGER | PT_DIESEL, 0, {"Coach"}},
        {"diesel alone", PT_DIESEL, 0, {"DieselCab", "DieselDummy", "Tender", "Coach", "Boxcar"}},
        {"tick",
         PT_DRIVEABLE,
         0,
         {"DieselCab", "SteamCab", "ElectricCab", "Tender", "Coach", "Boxcar"}},
        {"cross", 0, PT_DRIVEABLE, {"DieselDummy", "Tender", "Coach", "Boxcar"}},
        {"tenders and freight", PT_TENDER | PT_FREIGHT, 0, {"Tender", "Boxcar"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Passing(c.include, c.exclude), c.passing);
    }
}

TEST_F(StockFilterTest, RecordsKeepTheStockListKindInViewAllAndTheRegistryHoldsTheMasks) {
    AddFixtureSet();
    ListEditorModel model;
    model.AvailableItems = &App().StockCacheList;
    MemoryListBox box;
    StockFilterControls controls;
    controls.StoreIndIndex = 3;
    model.ListType = PT_MAINT_STOCK;
    RefreshAvailableStock(model, controls, box, false, {});
    model.ListType = PT_STOCK;
    controls.CheckedTags = PT_ENGINE;
    controls.DriveableIndex = DRIVEABLE_CROSS;
    RefreshAvailableStock(model, controls, box, false, {});

    for (const auto& item : App().StockCacheList)
        EXPECT_EQ(item->PType & (PT_MAINT_STOCK | PT_STOCK), PT_MAINT_STOCK | PT_STOCK)
            << item->Description.toStdString();
    EXPECT_EQ(box.Texts(), QStringList{"DieselDummy"});
    EXPECT_EQ(RegReadString(kProductKey + "\\Filters\\Stock", "Include"), "128");
    EXPECT_EQ(RegReadString(kProductKey + "\\Filters\\Stock", "Exclude"), "16384");
    EXPECT_EQ(controls.LotNumberItems, (QStringList{" ", "5"}));
}

TEST_F(StockFilterTest, DialogFindsItselfByNameAndTheLotFilterSeesAChangedLot) {
    AddFixtureSet();
    TEditStockListsDlg dialog(nullptr, EM_VIEW_ALL);
    dialog.show();
    EXPECT_EQ(dialog.objectName(), "EditStockListsDlg");
    EXPECT_EQ(dialog.EditStockListsDlg(), &dialog);
    EXPECT_EQ(dialog.Model().ListType, PT_STOCK);
    EXPECT_EQ(dialog.AvailableListLabel->text(), "Stock Items Available (7)");

    dialog.LotNumberFilterCmbx->setEditText("9");
    dialog.ApplyFilterBtnClick();
    EXPECT_EQ(dialog.AvailableListBox->count(), 0);

    dialog.LotNumberFilterCmbx->setEditText(QString());
    dialog.ApplyFilterBtnClick();
    dialog.AvailableListBox->item(1)->setSelected(true); // DieselDummy
    dialog.ListEditorPopupMenuPopup(dialog.AvailableListBox);
    ui.ExpectChangeLotNumber(ID_OK, "9");
    dialog.EditLotNumberPopupMnuClick();
    EXPECT_EQ(App().StockCacheList[1]->LotNumber, "9");

    dialog.LotNumberFilterCmbx->setEditText("9");
    dialog.ApplyFilterBtnClick();
    ASSERT_EQ(dialog.AvailableListBox->count(), 1);
    EXPECT_EQ(dialog.AvailableListBox->item(0)->text(), "DieselDummy");
    EXPECT_EQ(dialog.AvailableListLabel->text(), "Stock Items Available (1 out of 7)");
}

} // namespace

} // namespace qv
