// The storage-folder dialog on the offscreen platform: what it opens with, the typed path made
// full, a refused OK that keeps it open, an OK that registers and closes, and Cancel.
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "engine/forms/pathselectdlg.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

namespace qv {
namespace {

class PathSelectDlg : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        temp_.MakeFile("MSTS/TRAINS/TRAINSET/DEFAULT/DEFAULT.WAG");
        temp_.MakeFolder("Store/QVDATA");
    }
    static QString StorePath() { return RegReadString(kProductKey, "Store Path"); }

    RegistrySandbox sandbox_;
    TempMsts temp_;
    FakeUi ui_;
};

TEST_F(PathSelectDlg, OpensAtTheProposedOrRegisteredFolderAndTheTreeFillsTheEditLine) {
    auto dialog = std::make_unique<TPathSelectDlg>();
    for (const char* name : {"SrcLabel", "DirectoryListBox", "SelectedPath", "OKBtn", "CancelBtn"})
        EXPECT_TRUE(dialog->findChild<QObject*>(name)) << name;
    EXPECT_EQ(dialog->windowTitle(), "Quarvel - Storage Path Setup");
    EXPECT_EQ(dialog->SrcLabel->text(), Caption(Msg::NEW_QUARVEL_KEY_LEG));
    EXPECT_EQ(dialog->Folder(), "C:\\");
    EXPECT_EQ(dialog->SelectedPath->text(), "C:\\Quarvel");

    RegWriteString(kProductKey, "Store Path", "C:\\store");
    dialog = std::make_unique<TPathSelectDlg>();
    EXPECT_EQ(dialog->SrcLabel->text(), Caption(Msg::EXISTING_QUARVEL_KEY_LEG));
    EXPECT_EQ(dialog->Folder(), "C:\\Store");
    EXPECT_EQ(dialog->SelectedPath->text(), "C:\\store");
    dialog->GoToFolder("C:\\msts");
    EXPECT_EQ(dialog->SelectedPath->text(), "C:\\MSTS");
}

TEST_F(PathSelectDlg, RefusedOkStaysOpenAndAcceptedOkRegistersAndCloses) {
    TPathSelectDlg dialog;
    dialog.show();
    dialog.SelectedPath->setText("C:\\MSTS\\Quarvel");
    dialog.OKBtn->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(ui_.Shown().back().text.startsWith(Caption(Msg::PATH_CANNOT_BE_IN_MSTS)));
    EXPECT_EQ(dialog.SelectedPath->text(), "C:\\MSTS\\Quarvel");

    // A host path typed in is taken in its Windows form.
    dialog.SelectedPath->setText(temp_.Host("Quarvel"));
    ui_.Expect("'C:\\Quarvel' does not exist", ID_YES);
    dialog.OKBtn->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), ID_OK);
    EXPECT_EQ(StorePath(), "C:\\Quarvel");
    EXPECT_TRUE(ui_.Mismatches().isEmpty()) << ui_.Mismatches().join('\n').toStdString();
}

TEST_F(PathSelectDlg, CancelNeverWritesTheStorePath) {
    TPathSelectDlg dialog;
    dialog.show();
    dialog.SelectedPath->setText("C:\\Store");
    dialog.CancelBtn->click();
    EXPECT_EQ(dialog.result(), ID_CANCEL);
    EXPECT_EQ(StorePath(), "");
    EXPECT_TRUE(ui_.Shown().empty());
}

} // namespace
} // namespace qv
