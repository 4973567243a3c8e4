// The two TSECTION.DAT dialogs driven on the offscreen platform, and the menu commands that open
// the parameters dialog: what they show, the checks of OK, what is written, and how unticking
// routes resolves a conflict.
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "engine/forms/tsectionchoiceboxdlg.h"
#include "engine/forms/tsectionparamsboxdlg.h"
#include "engine/tsectionedit.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace qv {
namespace {

const char* const kMarch1 = "01 Mar 2004   11:00 PM";

class TsectionDlgs : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        main_.SetQuarvelObjects(&tree_);
        SetMainServices(&main_);
        heading_ = tree_.AddRoot(std::make_unique<ItemSet>(
            ItemSet{0, PT_ROUTES_ROOT, SI_HEADING, QStringLiteral("Routes"), {}, {}, {}, {}}));
    }
    void TearDown() override {
        SetMainServices(nullptr);
        ResetAppState();
    }

    // A TSECTION.DAT in the MSTS folder's KEEP folder, by build (none when negative).
    QString Tsection(const QString& name, int build) {
        return QStringLiteral("C:\\MSTS\\") + builder_.WriteTsection(build, "KEEP\\" + name);
    }
    ItemNode* AddRoute(const QString& folder) {
        auto item = std::make_unique<ItemSet>();
        item->PType = PT_ROUTE;
        item->Description = folder + " Line";
        item->Folder = "Routes\\" + folder;
        return heading_->AddChild(std::move(item));
    }
    static RouteInfo Record(const QString& folder) {
        RouteInfo record;
        record.PType = folder.isEmpty() ? PT_GLOBAL : PT_ROUTE;
        record.Name = folder + " Line";
        record.Folder = "Routes\\" + folder;
        return record;
    }
    // Writes a specification: the system default when the folder is empty.
    static void Specify(const QString& folder, const QString& file, int simulation,
                        int maintenance) {
        RouteInfo required = Record(folder);
        required.TSectionFileName = file;
        required.TSectionSimulation = simulation;
        required.TSectionMaintenance = maintenance;
        WriteTsectionSettings(required);
    }
    static bool Stored(const QString& folder, RouteInfo* required = nullptr) {
        RouteInfo record = Record(folder);
        const bool found = ReadTsectionSettings(record);
        if (required)
            *required = record;
        return found;
    }
    // Types a path and the Maintenance action and presses OK; the message shown, if any.
    QString PressOk(TTSECTIONParamsBoxDlg& dialog, const QString& path, int maintenance) {
        const std::size_t before = ui_.Shown().size();
        dialog.Path->setText(path);
        dialog.MaintenanceActionCmbx->setCurrentIndex(maintenance);
        dialog.OKButton->click();
        return ui_.Shown().size() > before ? ui_.Shown().back().text : QString();
    }
    // Chooses a file in the browse dialog (none: cancels it); the folder it opened at.
    QString Browse(TTSECTIONParamsBoxDlg& dialog, const QString& hostFile) {
        QString openedAt;
        QTimer::singleShot(0, &dialog, [&] {
            openedAt = dialog.OpenTSECTIONDlg->directory().absolutePath();
            // Typed as the user would: selectFile leaves a focused name line alone.
            dialog.OpenTSECTIONDlg->findChild<QLineEdit*>("fileNameEdit")->setText(hostFile);
            QMetaObject::invokeMethod(dialog.OpenTSECTIONDlg,
                                      hostFile.isEmpty() ? "reject" : "accept");
        });
        dialog.OpenTSECTIONDialogBtn->click();
        return openedAt;
    }

    RegistrySandbox registry_;
    TempMsts temp_;
    MstsBuilder builder_{temp_.Host(QStringLiteral("MSTS")), temp_.Host(QStringLiteral("STORE"))};
    FakeUi ui_;
    ItemTree tree_;
    HeadlessMainServices main_;
    ItemNode* heading_ = nullptr;
};

TEST_F(TsectionDlgs, Params_DefaultShowsItsSpecificationAndOkWritesTheEditsWithReminder) {
    const QString b38 = Tsection("B38.DAT", 38);
    Specify({}, b38, 0, 1);
    RouteInfo record = Record({});
    TTSECTIONParamsBoxDlg dialog(nullptr, record);
    dialog.show();
    for (const char* name : {"Panel1", "SetTSECTIONLbl1", "Label2", "Path", "OpenTSECTIONDialogBtn",
                             "Label3", "Description", "Label6", "Label4", "SimulationActionCmbx",
                             "Label5", "MaintenanceActionCmbx", "SetTSECTIONLbl2", "BuildInfoLbl",
                             "OKButton", "CancelButton", "OpenTSECTIONDlg"})
        EXPECT_TRUE(dialog.findChild<QObject*>(name)) << name;
    EXPECT_EQ(dialog.windowTitle(), "Quarvel - System Default TSECTION.DAT Parameters ");
    EXPECT_EQ(dialog.SetTSECTIONLbl1->text(),
              "Enter the location of the TSECTION.DAT file on your computer that you want to use "
              "for the system default. Leave this blank if you do not want Quarvel to change the "
              "TSECTION.DAT file used.");
    EXPECT_EQ(dialog.Path->text(), b38);
    EXPECT_EQ(dialog.BuildInfoLbl->text(), "(Build 00038)");
    EXPECT_EQ(dialog.MaintenanceActionCmbx->itemText(1), "Use this  specific File");
    EXPECT_EQ(dialog.MaintenanceActionCmbx->currentIndex(), 1);

    dialog.Description->setText(QStringLiteral("Old build"));
    ui_.Expect(QStringLiteral("Reminder:To make this function fully operational"), ID_OK);
    EXPECT_EQ(PressOk(dialog, b38, 2).left(9), "Reminder:") << "no route has its own";
    EXPECT_EQ(ui_.Shown().back().style, MB_ICONINFORMATION);
    EXPECT_EQ(dialog.result(), ID_OK);
    RouteInfo stored;
    ASSERT_TRUE(Stored({}, &stored));
    EXPECT_EQ(stored.TSectionDescription, "Old build");
    EXPECT_EQ(stored.TSectionMaintenance, 2);
}

TEST_F(TsectionDlgs, Params_BrowseSetsBothActionsToThisBuildOrHigherAndCancelWritesNothing) {
    const QString b60 = Tsection("TSECTION60.DAT", 60);
    RouteInfo record = Record("Hill");
    TTSECTIONParamsBoxDlg dialog(nullptr, record);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Quarvel - TSECTION.DAT Parameters  (Hill Line)");
    EXPECT_EQ(dialog.SetTSECTIONLbl2->text(),
              "This specification will be followed when 'Hill Line' Route is unstored.");
    EXPECT_TRUE(dialog.Path->text().isEmpty());
    EXPECT_EQ(dialog.MaintenanceActionCmbx->currentIndex(), 0) << "an action, not none";

    dialog.Description->setText(QStringLiteral("typed first"));
    EXPECT_EQ(Browse(dialog, temp_.Host("MSTS/KEEP/TSECTION60.DAT")), temp_.Host("MSTS"));
    EXPECT_EQ(dialog.Path->text(), b60);
    EXPECT_EQ(dialog.BuildInfoLbl->text(), "(Build 00060)");
    EXPECT_EQ(dialog.SimulationActionCmbx->currentIndex(), TSA_THIS_BUILD_OR_HIGHER);
    EXPECT_EQ(dialog.MaintenanceActionCmbx->currentIndex(), TSA_THIS_BUILD_OR_HIGHER);
    EXPECT_EQ(dialog.Description->text(), "typed first");
    EXPECT_EQ(Browse(dialog, {}), temp_.Host("MSTS/KEEP")) << "the chosen file's folder";
    EXPECT_EQ(dialog.Path->text(), b60) << "a cancelled browse changes nothing";

    dialog.CancelButton->click();
    EXPECT_EQ(dialog.result(), ID_CANCEL);
    EXPECT_TRUE(record.TSectionFileName.isEmpty());
    EXPECT_FALSE(Stored("Hill"));
}

TEST_F(TsectionDlgs, Params_OkRefusesTargetFilesAnyFileForMaintenanceAndInvalidTypedFiles) {
    const QString b60 = Tsection("B60.DAT", 60);
    builder_.WriteTsection(38, QStringLiteral("GLOBAL\\TSECTION.DAT"));
    builder_.WriteTsection(40, QStringLiteral("ROUTES\\Hill\\tsection.dat"));
    const QString invalid =
        QStringLiteral("C:\\MSTS\\") + builder_.WriteMstsFile("KEEP\\X.DAT", "T0t", {"_INFO(x)"});
    Specify("Hill", b60, 2, 2);
    RouteInfo record = Record("Hill");
    TTSECTIONParamsBoxDlg dialog(nullptr, record);
    dialog.show();
    ASSERT_EQ(dialog.Path->text(), b60);

    EXPECT_EQ(PressOk(dialog, "C:\\MSTS\\KEEP\\none.dat", 2),
              "The specified folder/file name is invalid");
    EXPECT_EQ(PressOk(dialog, "c:\\msts\\global\\tsection.DAT", 2),
              "You cannot specify this file as the TSECTION.DAT file to be used\rbecause this is "
              "the target location to which the file will be unstored.");
    EXPECT_EQ(PressOk(dialog, "C:\\MSTS\\Routes\\HILL\\TSECTION.DAT", 2),
              "You cannot specify this file as the TSECTION.DAT file to be used\rbecause this is "
              "the TSECTION.DAT file for dynamic track belonging to a Route.");
    EXPECT_EQ(PressOk(dialog, b60, TSA_ANY_FILE),
              "A TSECTION.DAT file has been specified.\r\rYou cannot specify 'use any "
              "TSECTION.DAT file' when unstoring in Maintenance Mode.");
    // The typed file is tested, not the valid one the dialog opened with.
    EXPECT_EQ(PressOk(dialog, invalid, 2), "The file specified is not a valid TSECTION.DAT file.");
    for (const ShownMessage& shown : ui_.Shown())
        EXPECT_EQ(shown.style, MB_ICONSTOP);
    EXPECT_TRUE(dialog.isVisible());
    RouteInfo stored;
    ASSERT_TRUE(Stored("Hill", &stored));
    EXPECT_EQ(stored.TSectionFileName, b60);

    // Any file for Simulation is fine; a host path is recorded in Windows form.
    dialog.SimulationActionCmbx->setCurrentIndex(TSA_ANY_FILE);
    EXPECT_TRUE(PressOk(dialog, temp_.Host("MSTS/KEEP/B60.DAT"), 1).isEmpty());
    EXPECT_EQ(dialog.result(), ID_OK);
    ASSERT_TRUE(Stored("Hill", &stored));
    EXPECT_EQ(stored.TSectionFileName, b60);
    EXPECT_EQ(stored.TSectionSimulation, TSA_ANY_FILE);
}

TEST_F(TsectionDlgs, Params_ASpecificationThatCannotBeWrittenKeepsTheDialogOpen) {
    const QString b60 = Tsection("B60.DAT", 60);
    // A file stands where the route's data folder would be made.
    temp_.MakeFile("STORE/QVDATA/Hill", "in the way");
    RouteInfo record = Record("Hill");
    TTSECTIONParamsBoxDlg dialog(nullptr, record);
    dialog.show();
    EXPECT_TRUE(PressOk(dialog, b60, 2).startsWith(Caption(Msg::WRITE_ERROR)));
    EXPECT_EQ(ui_.Shown().back().style, MB_ICONSTOP);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), ID_OK);

    RouteInfo direct = Record("Hill");
    EXPECT_FALSE(AcceptTsectionSettings(direct, b60, "mine", 2, 2));
    EXPECT_TRUE(direct.TSectionFileName.isEmpty()) << "the record stays as it was";
    EXPECT_FALSE(Stored("Hill"));
}

TEST_F(TsectionDlgs, Params_DefaultCannotBeClearedWhileRoutesHaveTheirOwn) {
    const QString b38 = Tsection("B38.DAT", 38);
    Specify({}, b38, 0, 2);
    for (const char* route : {"Hill", "Flat", "Old"})
        AddRoute(route);
    // A route whose own file has gone still counts, and clearing reads no builds.
    Specify("Hill", QStringLiteral("C:\\KEEP\\gone.dat"), 2, 2);
    Specify("Old", b38, 1, 1);

    RouteInfo record = Record({});
    TTSECTIONParamsBoxDlg dialog(nullptr, record);
    dialog.show();
    EXPECT_EQ(PressOk(dialog, {}, 2),
              "Before you can remove the system default TSECTION.DAT information,\ryou must "
              "remove any TSECTION.DAT information which has been specified\rfor the following "
              "individual Routes :-\r\r\nHill Line\nOld Line");
    EXPECT_EQ(ui_.Shown().size(), 1u);
    EXPECT_TRUE(Stored({}));

    // A route's own specification is cleared without question; then the default may go.
    for (const char* route : {"Hill", "Old"}) {
        RouteInfo own = Record(route);
        TTSECTIONParamsBoxDlg routeDialog(nullptr, own);
        routeDialog.show();
        EXPECT_TRUE(PressOk(routeDialog, {}, 2).isEmpty());
        EXPECT_FALSE(Stored(route));
    }
    EXPECT_TRUE(PressOk(dialog, {}, 2).isEmpty());
    EXPECT_EQ(dialog.result(), ID_OK);
    EXPECT_FALSE(Stored({}));
}

TEST_F(TsectionDlgs, MenuCommands_OpenTheDialogForTheDefaultOrTheSelectedRouteOnly) {
    ItemTree empty;
    main_.SetQuarvelObjects(&empty);
    EXPECT_EQ(EditDefaultTsectionSettings(), 0);
    main_.SetQuarvelObjects(&tree_);
    ui_.ExpectEditTsectionSettings(ID_OK, [](RouteInfo& record) { EXPECT_EQ(record.PType, 1u); });
    EXPECT_EQ(EditDefaultTsectionSettings(), ID_OK);

    ItemNode* hill = AddRoute("Hill");
    EXPECT_EQ(EditRouteTsectionSettings(), 0) << "nothing selected";
    tree_.SetSelected(heading_);
    EXPECT_EQ(EditRouteTsectionSettings(), 0) << "the routes heading";
    EXPECT_TRUE(ui_.Shown().empty());
    tree_.SetSelected(hill);
    EXPECT_EQ(EditRouteTsectionSettings(), 0);
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_TRUE(ui_.Shown()[0].text.startsWith(
        "Before you can specify TSECTION.DAT information for a Route,\r"));

    Specify({}, Tsection("B38.DAT", 38), 0, 2);
    ui_.ExpectEditTsectionSettings(ID_CANCEL, [](RouteInfo& record) {
        EXPECT_EQ(record.PType, PT_ROUTE);
        EXPECT_EQ(record.Name, "Hill Line");
        EXPECT_EQ(record.Folder, "Routes\\Hill");
    });
    EXPECT_EQ(EditRouteTsectionSettings(), ID_CANCEL);
    EXPECT_EQ(ui_.TsectionSettingsDialogs(), 2);
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
}

class TsectionChoiceDlg : public TsectionDlgs {
protected:
    void AddEntry(const char* route, int action, const QString& build, const QString& file) {
        list_.push_back(std::make_unique<ConflictInfo>());
        list_.back()->RouteName = QLatin1String(route);
        list_.back()->Action = action;
        list_.back()->TSectionBuild = build;
        list_.back()->TSectionFileName = file;
    }
    static QStringList Row(const QTableWidget* table, int row) {
        QStringList texts;
        for (int column = 0; column < table->columnCount(); ++column)
            texts << table->item(row, column)->text();
        return texts;
    }
    static void Tick(QTableWidget* table, int row, bool ticked) {
        table->item(row, 0)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    ConflictList list_;
};

TEST_F(TsectionChoiceDlg, UntickingUntilNoConflictEnablesOkAndNamesTheChosenFile) {
    const QString b38 = Tsection("B38.DAT", 38), b60 = Tsection("B60.DAT", 60);
    const QString plain = Tsection("PLAIN.DAT", -1);
    ASSERT_TRUE(SetFileAge(plain, PackDosDateTime({QDate(2004, 3, 1), QTime(23, 0)})));
    AddEntry("Hill Line", TSA_THIS_BUILD_OR_HIGHER, "Build 00060", b60);
    AddEntry("Flat Line", TSA_ANY_FILE, {}, plain);
    AddEntry("Old Line", TSA_THIS_FILE, "Build 00038", b38);
    ASSERT_TRUE(FindTsectionConflicts(list_, true));

    TTSECTIONChoiceBoxDlg dialog(nullptr, list_);
    dialog.show();
    QTableWidget* table = dialog.TSECTIONLvw;
    EXPECT_EQ(dialog.windowTitle(), "Resolve Conflicting TSECTION.DAT Specifications");
    EXPECT_EQ(table->horizontalHeaderItem(3)->text(), "Action When Unstoring");
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(Row(table, 0),
              (QStringList{"*", "Old Line", "Build 00038", "Use this  specific File", b38}));
    EXPECT_EQ(Row(table, 1)[0], "*");
    EXPECT_EQ(Row(table, 2),
              (QStringList{"", "Flat Line", kMarch1, "Use any TSECTION.DAT file", plain}));
    EXPECT_EQ(table->columnWidth(0), 30);
    EXPECT_EQ(table->columnWidth(4), table->fontMetrics().horizontalAdvance(plain) + 20);
    EXPECT_FALSE(dialog.OKButton->isEnabled());
    EXPECT_FALSE(dialog.DeselectLbl->isHidden());
    EXPECT_TRUE(dialog.ConflictLbl->text().startsWith("There is a conflict between"));
    EXPECT_TRUE(dialog.RecommendedLbl->text().isEmpty());

    Tick(table, 0, false);
    EXPECT_EQ(list_[0]->Selected, 0);
    EXPECT_EQ(Row(table, 0)[0], "") << "the mark stands only on ticked entries";
    EXPECT_EQ(Row(table, 1)[0], "");
    EXPECT_TRUE(dialog.OKButton->isEnabled());
    EXPECT_TRUE(dialog.DeselectLbl->isHidden());
    EXPECT_TRUE(dialog.ConflictLbl->text().startsWith("The Routes now selected have compatible"));
    EXPECT_EQ(dialog.RecommendedLbl->text(), "Chosen TSECTION.DAT File:\n" + b60);

    ASSERT_TRUE(dialog.ReSortBtn->isEnabled());
    dialog.ReSortBtn->click();
    EXPECT_EQ(Row(table, 2)[1], "Old Line") << "unticked last";
    EXPECT_EQ(table->item(2, 0)->checkState(), Qt::Unchecked);
    EXPECT_FALSE(dialog.ReSortBtn->isEnabled());

    Tick(table, 2, true);
    EXPECT_FALSE(dialog.OKButton->isEnabled()) << "ticking a route again brings its conflict back";
    EXPECT_EQ(Row(table, 2)[0], "*");
    for (int row = 0; row < 3; ++row)
        Tick(table, row, false);
    EXPECT_FALSE(dialog.OKButton->isEnabled()) << "no route left";
    Tick(table, 1, true);
    dialog.OKButton->click();
    EXPECT_EQ(dialog.result(), ID_OK);
    EXPECT_EQ(list_[RecommendedTsectionEntry(list_)]->RouteName, "Hill Line");
}

} // namespace
} // namespace qv
