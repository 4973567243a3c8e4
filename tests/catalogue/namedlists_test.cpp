#include "catalogue/namedlists.h"

#include "catalogue/listeditorservices.h"
#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/regsettings.h"
#include "fixtures/growth.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/terminate.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

const QString kRoute = QStringLiteral("ROUTES\\Europe1");

class NamedListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        previousHook = SetTerminateHook([this](int status) { ends << status; });
    }
    void TearDown() override {
        SetTerminateHook(previousHook);
        ResetAppState();
    }
    // A register as a person or an older program left it.
    void WriteRegister(const QString& relative, const QByteArray& sections) {
        disk.MakeFile(QStringLiteral("STORE/QVDATA/") + relative,
                      "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n\r\n" + sections);
    }
    static std::unique_ptr<ItemSet> Record(std::uint32_t type, const QString& fileName,
                                           int storeInd = 0) {
        auto item = std::make_unique<ItemSet>();
        item->PType = type;
        item->FileName = fileName;
        item->StoreInd = storeInd;
        item->Folder = kRoute;
        item->Description = QStringLiteral("Europe1");
        return item;
    }
    QStringList Lists(std::uint32_t kind, bool activeOnly = false, const QString& folder = kRoute) {
        return ReadRouteLists(folder, kind, activeOnly).Strings();
    }

    RegistrySandbox registry;
    TempMsts disk;
    FakeUi ui;
    QList<int> ends;
    TerminateHook previousHook;
};

class FakeEditor : public ListEditorServices {
public:
    QString ListNameBtnCaption() const override { return QStringLiteral("List Name"); }
    void EnableOKBtn() override { okEnabled = true; }
    void SetEditorCaption(const QString& text) override { caption = text; }
    QObject* EditConsistListsDlg() const override { return nullptr; }
    QObject* EditStockListsDlg() const override { return nullptr; }
    bool okEnabled = false;
    QString caption;
};

} // namespace

TEST_F(NamedListsTest, Helpers_SplitValuesAtTheFirstCommaAndFilterByStatus) {
    EXPECT_EQ(ListValueText(QStringLiteral("12,A,B")), QStringLiteral("A,B"));
    EXPECT_EQ(ListValueState(QStringLiteral("x,A")), -1);
    EXPECT_EQ(ListValueState(QStringLiteral("no comma")), -1);
    EXPECT_EQ(ListValueText(QStringLiteral("no comma")), QStringLiteral("no comma"));
    EXPECT_EQ(SetStoreBits(7, 2), 6);
    EXPECT_EQ(StatusComboItems(), QStringLiteral("In Use\r\nIn Store\r\nIn Error/Warning\r\n\r\n"));
    EXPECT_EQ(StatusFilterMask(2), 4);
    EXPECT_EQ(StatusFilterMask(-1), 8);
    WriteFlag(true, QStringLiteral("Suppress Error Highlighting"));
    EXPECT_EQ(StatusComboItems(), QStringLiteral("In Use\r\nIn Store\r\n\r\n"));
    EXPECT_EQ(StatusFilterMask(2), 8);
}

TEST_F(NamedListsTest, RouteListSection_EndsTheProgramOnAKindThatHasNoLists) {
    EXPECT_TRUE(RouteListSection(PT_CONSIST).isEmpty());
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.contains(QStringLiteral("'ListEditorCommon'  Line No.: 1173")));
    EXPECT_TRUE(ui.Shown()[0].text.endsWith(QStringLiteral(" - 4194304")));
    EXPECT_EQ(ends, QList<int>({1}));
}

TEST_F(NamedListsTest, ReadRouteLists_ReadsTheKindsSectionOfTheScopeSortedByName) {
    WriteRegister(QStringLiteral("Europe1/ROUTE.QVC"),
                  "[MAINTCON]\r\nMAINTCON=11,zebra\r\nMAINTCON1=12,Alpha\r\nMAINTCON2=12,beta\r\n"
                  "\r\n[PATHS]\r\nPATHS=12,Only\r\n\r\n");
    WriteRegister(QStringLiteral("ROUTE.QVC"), "[MAINTSTK]\r\nMAINTSTK=12,Global\r\n\r\n");
    EXPECT_EQ(
        Lists(PT_MAINT_CONSIST),
        QStringList({"MAINTCON1.QVC=12,Alpha", "MAINTCON2.QVC=12,beta", "MAINTCON.QVC=11,zebra"}));
    EXPECT_EQ(Lists(PT_MAINT_CONSIST, true).size(), 2);
    EXPECT_EQ(Lists(PT_EXPLORE_PATH), QStringList({"PATHS.QVC=12,Only"}));
    EXPECT_TRUE(Lists(PT_MAINT_PATH).isEmpty());
    EXPECT_TRUE(Lists(PT_MAINT_STOCK).isEmpty());
    EXPECT_EQ(Lists(PT_MAINT_STOCK, false, QStringLiteral("TRAINS\\TRAINSET")),
              QStringList({"MAINTSTK.QVC=12,Global"}));

    // An older store's single-list file becomes the scope's registered, active first list.
    disk.MakeFile(QStringLiteral("STORE/QVDATA/GLOBAL SETTINGS/CONSISTS.QVC"));
    EXPECT_EQ(Lists(PT_EXPLORE_CONSIST, false, QStringLiteral("TRAINS\\CONSISTS")),
              QStringList({"CONSISTS.QVC=12,Original List"}));
    EXPECT_TRUE(disk.Content(QStringLiteral("STORE/QVDATA/ROUTE.QVC"))
                    .contains("[CONSISTS]\r\nCONSISTS=12,Original List\r\n"));
}

// A register of tens of thousands of lists, as a hostile download may bring, is read in time in
// step with their number.
TEST_F(NamedListsTest, ReadRouteLists_GrowsInStepWithTheNumberOfLists) {
    const auto make = [this](int n) {
        QByteArray section = "[MAINTCON]\r\n";
        for (int i = 0; i < n; ++i)
            section += "MAINTCON" + QByteArray::number(i) + "=12,List\r\n";
        WriteRegister(QStringLiteral("Europe1/ROUTE.QVC"), section);
        return [this, n] { ASSERT_EQ(Lists(PT_MAINT_CONSIST).size(), n); };
    };
    EXPECT_LT(test::SixteenfoldGrowth(make, 2000), test::kMostSixteenfoldGrowth);
}

TEST_F(NamedListsTest, NextRouteListName_NumbersAfterTheHighestIdAndPassesOverMalformedOnes) {
    RouteListsInfo info;
    FillRouteListsInfo(*Record(0, QString()), info, PT_EXPLORE_CONSIST);
    NextRouteListName(info);
    EXPECT_EQ(info.ListId + QLatin1Char('=') + info.ListName,
              QStringLiteral("CONSISTS.QVC=Original List"));
    EXPECT_EQ(info.State, 12);

    WriteRegister(QStringLiteral("Europe1/ROUTE.QVC"),
                  "[CONSISTS]\r\nCONSISTS=12,First\r\nCONSISTS4=11,Fourth\r\n\r\n");
    NextRouteListName(info);
    EXPECT_EQ(info.ListId + QLatin1Char('=') + info.ListName,
              QStringLiteral("CONSISTS5.QVC=New List (5)"));

    // Hand-edited entries: ids that are no list id, a value without a comma, and an id in small
    // letters, which names the same list file as CONSISTS7 does.
    WriteRegister(QStringLiteral("Europe1/ROUTE.QVC"),
                  "[CONSISTS]\r\nFOO=12,x\r\nCONSISTSX=11,y\r\nCONSISTS2=no comma\r\n"
                  "consists7=11,small\r\n\r\n");
    NextRouteListName(info);
    EXPECT_EQ(info.ListId, QStringLiteral("CONSISTS8.QVC"));
    WriteRegister(QStringLiteral("Europe1/ROUTE.QVC"), "[CONSISTS]\r\nFOO=12,x\r\n\r\n");
    NextRouteListName(info);
    EXPECT_EQ(info.ListId, QStringLiteral("CONSISTS.QVC"));
    EXPECT_TRUE(ends.isEmpty());
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(NamedListsTest, RouteListFileOp_DeletingTheLastEntryRemovesTheSection) {
    WriteRegister(QStringLiteral("Europe1/ROUTE.QVC"),
                  "[MAINTPAT]\r\nMAINTPAT=12,One\r\nMAINTPAT1=11,Two\r\n\r\n");
    RouteListsInfo info;
    FillRouteListsInfo(*Record(0, QStringLiteral("MAINTPAT1.QVC")), info, PT_MAINT_PATH);
    ASSERT_TRUE(RouteListFileOp(info, RLF_OPEN | RLF_READ | RLF_KEEP_OPEN));
    EXPECT_EQ(info.ListName, QStringLiteral("Two"));
    RouteListFileOp(info, RLF_DELETE | RLF_KEEP_OPEN);
    EXPECT_EQ(info.KeysLeft, 1);
    info.Key = QStringLiteral("MAINTPAT");
    ASSERT_TRUE(RouteListFileOp(info, RLF_OPEN | RLF_DELETE));
    EXPECT_EQ(info.KeysLeft, 0);
    EXPECT_EQ(info.Holder, nullptr);
    EXPECT_FALSE(
        disk.Content(QStringLiteral("STORE/QVDATA/Europe1/ROUTE.QVC")).contains("MAINTPAT"));
}

TEST_F(NamedListsTest, ActivateRouteList_LeavesExactlyThatListActiveAmongItsSiblings) {
    WriteRegister(QStringLiteral("Europe1/ROUTE.QVC"),
                  "[MAINTCON]\r\nMAINTCON=12,A\r\nMAINTCON1=11,B\r\nMAINTCON2=11,C\r\n\r\n");
    const std::uint32_t heading = PT_HEADING | PT_MAINT_CONSIST;
    ItemTree tree;
    ItemNode* kind =
        tree.AddRoot(Record(PT_ROUTE, QString()))->AddChild(Record(heading, QString()));
    ItemNode* a = kind->AddChild(Record(heading, QStringLiteral("MAINTCON.QVC"), 12));
    ItemNode* b = kind->AddChild(Record(heading, QStringLiteral("MAINTCON1.QVC"), 11));
    kind->AddChild(Record(heading, QStringLiteral("MAINTCON2.QVC"), 11));

    ActivateRouteList(b, 12, true);
    EXPECT_EQ(a->Data()->StoreInd, 11);
    EXPECT_EQ(b->Data()->StoreInd, 12);
    EXPECT_EQ(b->StateIndex, 12);
    EXPECT_EQ(Lists(PT_MAINT_CONSIST, true), QStringList({"MAINTCON1.QVC=12,B"}));

    // On the heading over the lists the state goes to each list; a child that is no registered
    // list is not written into the register.
    kind->AddChild(Record(PT_MAINT_CONSIST, QStringLiteral("X.CON"), 8));
    ActivateRouteList(kind, 11, false);
    EXPECT_EQ(b->Data()->StoreInd, 11);
    EXPECT_EQ(kind->Child(3)->Data()->StoreInd, 8);
    EXPECT_EQ(Lists(PT_MAINT_CONSIST),
              QStringList({"MAINTCON.QVC=11,A", "MAINTCON1.QVC=11,B", "MAINTCON2.QVC=11,C"}));
}

TEST_F(NamedListsTest, RenameRouteList_TakesANonBlankNameAndRenewsTheEditorInEditMode) {
    ItemTree tree;
    ItemNode* list = tree.AddRoot(Record(PT_ROUTE, QString()))
                         ->AddChild(Record(PT_HEADING | PT_MAINT_CONSIST, "MAINTCON.QVC", 12));
    RouteListsInfo info;
    info.ListType = PT_MAINT_CONSIST;
    info.ListName = QStringLiteral("Old");
    info.State = 12;
    FakeEditor editor;
    ui.ExpectInputQuery(true, QStringLiteral("   "));
    ui.ExpectInputQuery(false, QStringLiteral("Ignored"));
    EXPECT_FALSE(RenameRouteList(list, editor, info, 1));
    EXPECT_FALSE(RenameRouteList(list, editor, info, 1));
    EXPECT_EQ(info.ListName, QStringLiteral("Old"));
    EXPECT_FALSE(info.NameChanged || editor.okEnabled);

    ui.ExpectInputQuery(true, QStringLiteral(" Shunting"));
    EXPECT_TRUE(RenameRouteList(list, editor, info, 1));
    EXPECT_EQ(info.ListName, QStringLiteral(" Shunting"));
    EXPECT_TRUE(info.NameChanged && editor.okEnabled);
    EXPECT_EQ(
        editor.caption,
        QStringLiteral("Quarvel - Edit: Maintenance Mode Consist List - Europe1 (Activated)"));
    EXPECT_EQ(ui.InputQueries()[2].caption, QStringLiteral("List Name"));
    EXPECT_EQ(ui.InputQueries()[2].value, QStringLiteral("Old"));

    FakeEditor newList;
    ui.ExpectInputQuery(true, QStringLiteral("Other"));
    EXPECT_TRUE(RenameRouteList(list, newList, info, 2));
    EXPECT_FALSE(newList.okEnabled || !newList.caption.isEmpty());
    EXPECT_TRUE(ui.Mismatches().isEmpty());
}
