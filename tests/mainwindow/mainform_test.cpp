#include "mainwindow/forms/mainform.h"

#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

// Failures show texts as text.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

using namespace qv;

namespace {

// The window on a synthetic installation: route ALPHA in the MSTS folder with one activity,
// route BETA in the store, the tree not loaded until a test asks.
class MainFormTest : public ::testing::Test {
protected:
    MainFormTest() {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddRoute("BETA", "Beta Line", "B", {}, Into::Store);
        builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
        builder.AddService("ALPHA", "s1.srv", "Service One", "FREIGHT", "up");
        builder.AddActivity("ALPHA", "a1.act", "Morning Run", "s1.srv", QString());
        form = std::make_unique<TMainForm>(QStringLiteral("-ss"));
    }
    ~MainFormTest() override {
        form.reset();
        SetUi(nullptr);
        ResetAppState();
    }

    void LoadTree() { form->LoadTree(QString(), nullptr, -1); }
    // The node whose record has the description and kind bit.
    ItemNode* Node(const QString& description, std::uint32_t kind) {
        for (ItemNode* node = form->QuarvelObjects()->First(); node; node = node->GetNext())
            if (node->Data()->Description == description && (node->Data()->PType & kind))
                return node;
        ADD_FAILURE() << "no node " << description.toStdString();
        return nullptr;
    }
    void Select(ItemNode* node) {
        form->QuarvelObjects()->SetSelected(node);
        form->UpdateControls();
    }
    // A component of the window by its name.
    template <class T> T* C(const char* name) {
        T* control = form->findChild<T*>(QString::fromLatin1(name));
        if (!control)
            ADD_FAILURE() << "no component " << name;
        return control;
    }
    static QString ButtonText(Msg key) { return Caption(key).replace(u'\r', u'\n'); }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    FakeUi ui;
    TFixedDefsForm pictures;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, Components_ExistByNameInTheOrderTheCodeRelies) {
    for (const char* name : {"QuarvelObjects",
                             "InformationMemo",
                             "MainPageControl",
                             "Easy",
                             "Classic",
                             "SimulationMaintPageControl",
                             "StandardTab",
                             "MaintenancePage",
                             "ActivityExplorePageCntrl",
                             "RunActivityTabSheet",
                             "ExploreTabSheet",
                             "LaunchMSTSCbx",
                             "PartialRouteCbx",
                             "DefaultRoutesCbx",
                             "AllConsistsCbx",
                             "AllStockCbx",
                             "StartRDCbx",
                             "EveryThingCbx",
                             "LaunchEditorCbx",
                             "GoBtn",
                             "UnstoreBtn",
                             "ExitBtn",
                             "RoutesMnu",
                             "StoreRouteMnu",
                             "UnStoreRouteMnu",
                             "ActivitiesMnu",
                             "ExploreModeConsistsMnu",
                             "StockMnu",
                             "PathsMnu",
                             "LanguageMnu",
                             "ReportsMnu",
                             "Spacer",
                             "NewTBtn",
                             "OpenTBtn",
                             "SaveTBtn",
                             "SaveAsTBtn",
                             "PrintTBtn",
                             "UnStoreCompletelyTBtn",
                             "ToolBar1",
                             "StatusBar",
                             "MainFormPopup",
                             "Timer1",
                             "RoutesLstbx",
                             "LocomotivesLstbx",
                             "ConsistsCmbx",
                             "ExploreLoadCmbx",
                             "TreePanelLbl",
                             "MaintenanceLabel"})
        EXPECT_NE(form->findChild<QObject*>(name), nullptr) << name;

    // Page indexes mean what the Parts say: 0 Easy / 1 Classic, 0 Simulation / 1 Maintenance.
    EXPECT_EQ(C<QTabWidget>("MainPageControl")->widget(0), C<QWidget>("Easy"));
    EXPECT_EQ(C<QTabWidget>("SimulationMaintPageControl")->widget(1),
              C<QWidget>("MaintenancePage"));
    EXPECT_EQ(C<QTabWidget>("ActivityExplorePageCntrl")->widget(1), C<QWidget>("ExploreTabSheet"));
    EXPECT_FALSE(form->Timer1->isActive());

    // The recent files stand between the two named separators, MRU0 first.
    QStringList fileMenu;
    for (const QAction* item : C<QMenu>("File1")->actions())
        fileMenu << item->objectName();
    EXPECT_EQ(fileMenu.join(u' '),
              "New1 Open1 Save1 SaveAs1 N4 Print1 PrintSetup1 NLBeforeMRU MRU0 MRU1 MRU2 MRU3 "
              "MRU4 MRU5 MRU6 MRU7 MRU8 NLAfterMRU Exit1");
}

TEST_F(MainFormTest, Window_ShowsTheProgramIcon) {
    const QIcon icon = form->windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));
}

TEST_F(MainFormTest, UpdateControls_CaptionShowsScenarioAndStoreState) {
    form->SetCurrentScenarioFile(QStringLiteral("C:\\Scenarios\\Week.QVS"));
    App().ScenarioChanged = true;
    RegWriteString(kProductKey, "Selected Unstored", "1");
    form->UpdateControls();
    EXPECT_EQ(form->windowTitle(),
              "Quarvel [C:\\Scenarios\\Week.QVS (Changed)] [Maint. Prepared (All Consists)]");

    // Everything unstored outranks a maintenance preparation; synchronised comes last.
    RegWriteString(kProductKey, "Everything Unstored", "true");
    App().ScenarioChanged = false;
    App().TreeSynchronised = true;
    form->UpdateControls();
    EXPECT_EQ(form->windowTitle(),
              "Quarvel [C:\\Scenarios\\Week.QVS] [Everything Unstored] [Synchronised]");
}

TEST_F(MainFormTest, UpdateControls_EmptyTree_KeepsGoUnstoreAndTsectionDisabled) {
    C<QAbstractButton>("DefaultRoutesCbx")->setChecked(true);
    form->UpdateControls();
    EXPECT_FALSE(C<QAbstractButton>("GoBtn")->isEnabled());
    EXPECT_FALSE(C<QAbstractButton>("UnstoreBtn")->isEnabled());
    EXPECT_FALSE(C<QAbstractButton>("DefaultRoutesCbx")->isEnabled());
    EXPECT_FALSE(C<QAction>("TSectionMnu")->isEnabled());

    LoadTree();
    form->UpdateControls();
    EXPECT_TRUE(C<QAbstractButton>("GoBtn")->isEnabled());
    EXPECT_TRUE(C<QAbstractButton>("UnstoreBtn")->isEnabled());
    EXPECT_TRUE(C<QAction>("TSectionMnu")->isEnabled());
}

TEST_F(MainFormTest, UpdateControls_RouteInStoreOnSimulationPage_OffersOnlyUnstore) {
    LoadTree();
    Select(Node("Beta Line", PT_ROUTE));
    ASSERT_EQ(form->QuarvelObjects()->Selected()->Data()->StoreInd, SI_IN_STORE);

    EXPECT_TRUE(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->isEnabled());
    EXPECT_EQ(TMainForm::Glyph(C<QAbstractButton>("UnStoreRoute_ActivityBtn")), BTN_UNSTORE);
    EXPECT_EQ(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->text(),
              ButtonText(Msg::UNSTORE_ROUTE_TAG));
    EXPECT_TRUE(C<QAction>("UnStoreRouteMnu")->isEnabled());
    EXPECT_FALSE(C<QAbstractButton>("StoreRoute_ActivityBtn")->isEnabled());
    EXPECT_EQ(TMainForm::Glyph(C<QAbstractButton>("StoreRoute_ActivityBtn")), -1);
    EXPECT_FALSE(C<QAction>("StoreRouteMnu")->isEnabled());
    EXPECT_FALSE(C<QAction>("StoreActivityMnu")->isEnabled());
    EXPECT_FALSE(C<QAction>("UnStoreActivityMnu")->isEnabled());

    // Marking it for unstoring turns the offer round; the glyph goes with the enabled button.
    SetRouteNodeState(form->QuarvelObjects()->Selected(), SI_IN_USE);
    form->UpdateControls();
    EXPECT_FALSE(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->isEnabled());
    EXPECT_EQ(TMainForm::Glyph(C<QAbstractButton>("UnStoreRoute_ActivityBtn")), -1);
    EXPECT_TRUE(C<QAbstractButton>("StoreRoute_ActivityBtn")->isEnabled());
    EXPECT_EQ(TMainForm::Glyph(C<QAbstractButton>("StoreRoute_ActivityBtn")), BTN_STORE);
}

TEST_F(MainFormTest, UpdateControls_ActivityOnMaintenancePage_NeedsPartialRoute) {
    form->SetSimulationMaintPageIndex(1);
    LoadTree();
    Select(Node("Morning Run", PT_ACTIVITY));
    ASSERT_EQ(form->QuarvelObjects()->Selected()->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(C<QAbstractButton>("StoreRoute_ActivityBtn")->text(),
              ButtonText(Msg::STORE_ACTIVITY_TAG));
    EXPECT_FALSE(C<QAbstractButton>("StoreRoute_ActivityBtn")->isEnabled());
    EXPECT_FALSE(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->isEnabled());
    EXPECT_TRUE(C<QAction>("UnStoreThisActivityOnlyMnu")->isEnabled());

    C<QAbstractButton>("PartialRouteCbx")->setChecked(true);
    form->UpdateControls();
    EXPECT_TRUE(C<QAbstractButton>("StoreRoute_ActivityBtn")->isEnabled());
    EXPECT_TRUE(C<QAction>("StoreActivityMnu")->isEnabled());
    EXPECT_FALSE(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->isEnabled());
}

TEST_F(MainFormTest, UpdateExploreButton_ConsistNamedOtherThanItsFile_CannotBeExplored) {
    auto consist = std::make_unique<ItemSet>();
    consist->PType = PT_NAME_DIFFERS;
    App().ConsistCacheList.push_back(std::move(consist));
    C<QListWidget>("LocomotivesLstbx")->addItem("Dash 9");
    C<QListWidget>("LocomotivesLstbx")->setCurrentRow(0);
    C<QComboBox>("ConsistsCmbx")->addItem("Freight One", 0); // the row's place in ConsistCacheList
    C<QComboBox>("FromCmbx")->addItem("Here");
    C<QComboBox>("ExploreLoadCmbx")->addItems({"new", "reload"});
    App().PathCacheList.push_back(std::make_unique<ItemSet>());

    // Without a To row there is no path to start on.
    App().ConsistCacheList[0]->PType = 0;
    form->UpdateExploreButton();
    EXPECT_FALSE(C<QAbstractButton>("ExploreBtn")->isEnabled());
    C<QComboBox>("ToCmbx")->addItem("There", 0); // the row's place in PathCacheList
    App().ConsistCacheList[0]->PType = PT_NAME_DIFFERS;

    form->UpdateExploreButton();
    EXPECT_FALSE(C<QAbstractButton>("ExploreBtn")->isEnabled());

    App().ConsistCacheList[0]->PType = 0;
    form->UpdateExploreButton();
    EXPECT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());

    // Reloading a saved session needs a saved session to reload.
    C<QComboBox>("ExploreLoadCmbx")->setCurrentIndex(1);
    form->UpdateExploreButton();
    EXPECT_FALSE(C<QAbstractButton>("ExploreBtn")->isEnabled());
}

TEST_F(MainFormTest, Popup_OpensOnTheRouteListAndThePanesOfTheEasyPage) {
    form->SetMainPageIndex(0);
    form->ReinitializeForms(); // the texts read again for another language keep their keys
    struct Case {
        const char* pane;
        QStringList items;
    };
    const QString tsection = C<QAction>("SetTSECTIONMnu")->text();
    const Case cases[] = {
        {"RoutesLstbx", {tsection, "&Copy\tCtrl+C", "Save &Text As ...\tCtrl+S"}},
        {"ActivitiesLstbx", {"&Copy\tCtrl+C", "Save &Text As ...\tCtrl+S"}},
        {"LocomotivesLstbx", {"&Copy\tCtrl+C", "Save &Text As ...\tCtrl+S"}},
        {"ActivityDetails",
         {"&Find ...\tCtrl+F", "&Copy\tCtrl+C", "Save &Text As ...\tCtrl+S", "&Print ...\tCtrl+P"}},
        {"ExploreDetails",
         {"&Find ...\tCtrl+F", "&Copy\tCtrl+C", "Save &Text As ...\tCtrl+S", "&Print ...\tCtrl+P"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pane);
        // The window system sends the request to the pane's viewport.
        auto* pane = C<QAbstractScrollArea>(c.pane);
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(4, 4),
                                  pane->viewport()->mapToGlobal(QPoint(4, 4)));
        QCoreApplication::sendEvent(pane->viewport(), &request);
        ASSERT_TRUE(form->MainFormPopup->isVisible());
        QStringList items;
        for (const QAction* item : form->MainFormPopup->actions())
            items << item->text();
        EXPECT_EQ(items, c.items);
        form->MainFormPopup->close();
    }
}

TEST_F(MainFormTest, InformationMemo_ShowsThePaneLineForLine) {
    ReportPane* pane = form->InformationMemo();
    pane->AddHeading("Where Used");
    pane->AddLine("first");
    pane->AddLine(QString());
    EXPECT_EQ(C<QTextEdit>("InformationMemo")->toPlainText(), "Where Used\nfirst\n");
    EXPECT_EQ(C<QTextEdit>("InformationMemo")->document()->firstBlock().blockFormat().alignment(),
              Qt::AlignHCenter);

    pane->SetLines({"replaced"});
    EXPECT_EQ(C<QTextEdit>("InformationMemo")->toPlainText(), "replaced");
    pane->Clear();
    pane->AddLine("again");
    EXPECT_EQ(C<QTextEdit>("InformationMemo")->toPlainText(), "again");
}

TEST_F(MainFormTest, CheckMarks_ByNameOverBoxesAndOptionItems) {
    form->SetChecked("AllStockCbx", true);
    form->SetChecked("ConfirmCompletion", true);
    EXPECT_TRUE(form->Checked("AllStockCbx"));
    EXPECT_TRUE(form->Checked("ConfirmCompletion"));
    EXPECT_FALSE(form->Checked("NoSuchBox"));
    // Only the user's click stores the box's state.
    EXPECT_EQ(RegReadString(kProductKey, "All Stock"), QString());
    C<QAbstractButton>("AllStockCbx")->click();
    EXPECT_EQ(RegReadString(kProductKey, "All Stock"), "false");

    // "EveryThing!" takes every consist and stock item along, and gives them back.
    C<QAbstractButton>("EveryThingCbx")->click();
    EXPECT_TRUE(C<QAbstractButton>("AllConsistsCbx")->isChecked());
    EXPECT_FALSE(C<QAbstractButton>("AllConsistsCbx")->isEnabled());
    C<QAbstractButton>("EveryThingCbx")->click();
    EXPECT_FALSE(C<QAbstractButton>("AllStockCbx")->isChecked());
    EXPECT_TRUE(C<QAbstractButton>("AllStockCbx")->isEnabled());
}

TEST_F(MainFormTest, PageSwitch_ByUserRebuildsTreeKeepingSelection_ByProgramChangesNothing) {
    LoadTree();
    Select(Node("Beta Line", PT_ROUTE));
    const auto holds = [this](std::uint32_t kind) {
        for (const ItemNode* node = form->QuarvelObjects()->First(); node; node = node->GetNext())
            if (node->Data()->PType & kind)
                return true;
        return false;
    };
    ASSERT_FALSE(holds(PT_MAINT_CONSIST));

    C<QTabWidget>("SimulationMaintPageControl")->setCurrentIndex(1); // as the user's click does
    EXPECT_TRUE(holds(PT_MAINT_CONSIST));
    ASSERT_NE(form->QuarvelObjects()->Selected(), nullptr);
    EXPECT_EQ(form->QuarvelObjects()->Selected()->Data()->Description, "Beta Line");

    App().LastTreeSelection.Folder = QStringLiteral("kept");
    form->SetSimulationMaintPageIndex(0);
    EXPECT_TRUE(holds(PT_MAINT_CONSIST));
    EXPECT_EQ(App().LastTreeSelection.Folder, "kept");
}

TEST_F(MainFormTest, Exit_AsksOnceAndCancelKeepsTheWindow) {
    LoadTree();
    form->SetCurrentScenarioFile(QStringLiteral("C:\\Scenarios\\Week.QVS"));
    App().ScenarioChanged = true;
    const QString question = Caption(Msg::SAVE_QUERY_TAG);

    ui.Expect(question, ID_CANCEL);
    C<QAbstractButton>("ExitBtn")->click();
    EXPECT_FALSE(App().SilentClose);
    EXPECT_EQ(RegReadString(kProductKey, "Last Close"), QString());

    // No: the scenario is forgotten and the close asks nothing more.
    ui.Expect(question, ID_NO);
    C<QAbstractButton>("ExitBtn")->click();
    EXPECT_TRUE(App().SilentClose);
    // The close comes once the click's handler has returned.
    EXPECT_EQ(RegReadString(kProductKey, "Last Close"), QString());
    QCoreApplication::processEvents();
    EXPECT_NE(RegReadString(kProductKey, "Last Close"), QString());
    EXPECT_EQ(form->CurrentScenarioFile(), QString());
    EXPECT_EQ(ui.Shown().size(), 2u);
    EXPECT_TRUE(ui.Mismatches().isEmpty());
}

} // namespace
