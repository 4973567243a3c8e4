// The storage-folder dialog on the offscreen platform: what it opens with, the typed path made
// full, a refused OK that keeps it open, an OK that registers and closes, and Cancel.
#include "core/appstate.h"
#include "core/forms/folderselectdlg.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "engine/forms/pathselectdlg.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>
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

// A dialog that tells when it starts to go.
template <class Dialog> class Going : public Dialog {
public:
    using Dialog::Dialog;
    ~Going() override { *going = true; }
    bool* going = nullptr;
};

// The user types in a folder dialog's path field and the dialog goes while the field still has
// the focus: the field's edit ends as the window goes, and the dialog, half gone, must not act on
// it any more.
TEST_F(PathSelectDlg, FolderDialogs_AFieldLeftAsTheDialogGoesIsNotActedOn) {
    temp_.MakeFolder("MSTS/Routes");
    const struct {
        const char* dialog;
        std::function<std::unique_ptr<QDialog>(bool*)> make;
        QString typed;
    } cases[] = {
        {"folder",
         [](bool* going) {
             auto dialog = std::make_unique<Going<TFolderSelectDlg>>("C:\\", QString(), QString());
             dialog->going = going;
             return std::unique_ptr<QDialog>(std::move(dialog));
         },
         "C:\\MSTS\\Nowhere"},
        {"store path",
         [](bool* going) {
             auto dialog = std::make_unique<Going<TPathSelectDlg>>();
             dialog->going = going;
             return std::unique_ptr<QDialog>(std::move(dialog));
         },
         "c:/msts/routes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog);
        bool going = false;
        std::unique_ptr<QDialog> dialog = c.make(&going);
        dialog->show();
        dialog->activateWindow();
        QApplication::processEvents();
        auto* field = dialog->findChild<QLineEdit*>("SelectedPath");
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QKeyEvent typing(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, c.typed);
        QApplication::sendEvent(QApplication::focusWidget(), &typing);
        ASSERT_EQ(field->text(), c.typed);
        int actedOn = 0;
        QObject watcher;
        QObject::connect(field, &QLineEdit::textChanged, &watcher, [&] { actedOn += going; });
        dialog.reset();
        EXPECT_TRUE(going);
        EXPECT_EQ(actedOn, 0);
    }
}

} // namespace
} // namespace qv
