// The window's reports: the selected node's information follows the tree only while the tree
// holds the window's focus, and Statistics and Check Attributes run from the Tools menu.
#include "mainwindow/forms/mainform.h"

#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QAction>
#include <QTextEdit>
#include <QTreeView>
#include <gtest/gtest.h>

namespace qv {
namespace {

class MainFormReportsTest : public ::testing::Test {
protected:
    MainFormReportsTest() {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddRoute("BETA", "Beta Line", "B", {}, Into::Store);
        form = std::make_unique<TMainForm>(QStringLiteral("-ss"));
        form->LoadTree(QString(), nullptr, -1);
    }
    ~MainFormReportsTest() override {
        form.reset();
        SetUi(nullptr);
        ResetAppState();
    }

    void SelectRoute(const QString& description) {
        for (ItemNode* node = form->QuarvelObjects()->First(); node; node = node->GetNext()) {
            if (node->Data()->Description == description && (node->Data()->PType & PT_ROUTE) &&
                !(node->Data()->PType & PT_HEADING)) {
                form->QuarvelObjects()->SetSelected(node);
                return;
            }
        }
        ADD_FAILURE() << "no route " << description.toStdString();
    }
    template <class T> T* C(const char* name) { return form->findChild<T*>(name); }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    FakeUi ui;
    TFixedDefsForm pictures;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormReportsTest, SelectedNodeInfo_FollowsTheTreeOnlyWhileItHasTheFocus) {
    C<QTreeView>("QuarvelObjects")->setFocus();
    SelectRoute("Alpha Line");
    App().ReportItemCount = 5;
    form->ShowSelectedNodeInfo();
    ASSERT_GT(form->InformationMemo()->LineCount(), 2);
    EXPECT_EQ(form->InformationMemo()->Lines().at(1), "Alpha Line");
    EXPECT_EQ(App().ReportItemCount, 0);

    // Another control has the focus: the pane keeps what it shows.
    C<QTextEdit>("InformationMemo")->setFocus();
    SelectRoute("Beta Line");
    form->ShowSelectedNodeInfo();
    EXPECT_EQ(form->InformationMemo()->Lines().at(1), "Alpha Line");

    C<QTreeView>("QuarvelObjects")->setFocus();
    form->ShowSelectedNodeInfo();
    EXPECT_EQ(form->InformationMemo()->Lines().at(1), "Beta Line");
    EXPECT_TRUE(C<QTextEdit>("InformationMemo")->toPlainText().contains("Route ID:  B"));
}

TEST_F(MainFormReportsTest, StatisticsAndCheckAttributes_RunFromTheToolsMenu) {
    for (const char* name : {"StatisticsMnu", "CheckAttributes"})
        EXPECT_FALSE(TMainForm::PendingCommands().contains(name)) << name;
    form->UpdateControls();
    ASSERT_TRUE(C<QAction>("StatisticsMnu")->isEnabled());
    C<QAction>("StatisticsMnu")->trigger();
    EXPECT_EQ(form->InformationMemo()->Lines().at(1), "Quarvel Statistics");
    EXPECT_TRUE(C<QTextEdit>("InformationMemo")->document()->defaultFont().fixedPitch());

    ASSERT_TRUE(C<QAction>("CheckAttributes")->isEnabled());
    C<QAction>("CheckAttributes")->trigger();
    // Nothing is read-only: the pane is left empty and no box is shown.
    EXPECT_EQ(form->InformationMemo()->LineCount(), 0);
    EXPECT_TRUE(ui.Shown().empty());
    EXPECT_FALSE(C<QTextEdit>("InformationMemo")->document()->defaultFont().fixedPitch());
}

} // namespace
} // namespace qv
