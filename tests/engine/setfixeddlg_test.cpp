// The fixed-objects dialog driven on the offscreen platform: what it shows, adding and removing
// entries, the alias view switch, and what OK and Cancel leave in the registry.
#include "core/appstate.h"
#include "engine/fixedobjects.h"
#include "engine/forms/setfixeddlg.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace qv {
namespace {

class SetFixedDlg : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\Store");
        temp_.MakeFile("MSTS/TRAINS/TRAINSET/DEFAULT/DEFAULT.WAG");
        temp_.MakeFile("MSTS/TRAINS/TRAINSET/Dash9/dash9.eng");
        temp_.MakeFolder("Store/TRAINS/TRAINSET/Acela");
        temp_.MakeFolder("Store/TRAINS/TRAINSET/DASH9");
        ASSERT_TRUE(EnsureDefaultExclusions());
    }
    std::unique_ptr<TSetFixedDlg> Show() {
        auto dialog = std::make_unique<TSetFixedDlg>();
        dialog->show();
        return dialog;
    }
    static QStringList Lines(const QListWidget* list) {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
    static void Select(QListWidget* list, const QStringList& texts) {
        for (const QString& text : texts)
            list->findItems(text, Qt::MatchExactly).front()->setSelected(true);
    }
    static QStringList Paths(const QString& key) {
        RecordList<ExclusionInfo> list;
        ReadExclusionKey(key, list, true);
        QStringList paths;
        for (const auto& entry : list)
            paths << entry->Path;
        return paths;
    }

    RegistrySandbox sandbox_;
    TempMsts temp_;
    FakeUi ui_;
};

TEST_F(SetFixedDlg, Show_ListsTheTrainsetFoldersAndTheCurrentFixedObjects) {
    auto dialog = Show();
    for (const char* name :
         {"Label1", "TrainsetFolders", "SelectedFoldersLbl", "ExclusionListBox", "AddFolderBtn",
          "AddFileBtn", "RemoveBtn", "AliasesOrFolders", "OKBtn", "CancelBtn", "OpenFileDlg"})
        EXPECT_TRUE(dialog->findChild<QObject*>(name)) << name;
    EXPECT_EQ(dialog->windowTitle(), "Quarvel - Select Fixed Objects");
    EXPECT_EQ(Lines(dialog->TrainsetFolders), (QStringList{"Acela", "Dash9", "DEFAULT"}));
    EXPECT_EQ(dialog->Label1->text(), "TRAINSET Folders (3)");
    EXPECT_EQ(dialog->AliasesOrFolders->text(), "Show &Alias Folders");
    EXPECT_EQ(Lines(dialog->ExclusionListBox),
              (QStringList{"Folder: TRAINS\\TRAINSET\\DEFAULT",
                           "File: TRAINS\\TRAINSET\\DEFAULT\\DEFAULT.WAG"}));
    EXPECT_EQ(dialog->ExclusionListBox->item(1)->toolTip(),
              "TRAINS\\TRAINSET\\DEFAULT\\DEFAULT.WAG");
    EXPECT_FALSE(dialog->AddFolderBtn->isEnabled());
    EXPECT_FALSE(dialog->RemoveBtn->isEnabled());
    EXPECT_EQ(dialog->OpenFileDlg->windowTitle(), "Quarvel - Select Files to Exclude");
}

TEST_F(SetFixedDlg, EmptyFilesList_ShowsTheDefaultFileAndOkWritesIt) {
    ASSERT_TRUE(DeleteKeyTree(kExclusionFilesKey));
    RegistryKey empty;
    ASSERT_TRUE(empty.Open(HKEY_LOCAL_MACHINE, kExclusionFilesKey, true));
    auto dialog = Show();
    EXPECT_TRUE(Lines(dialog->ExclusionListBox).contains("File: " + kDefaultFixedFile));
    dialog->OKBtn->click();
    EXPECT_EQ(dialog->result(), ID_OK);
    EXPECT_TRUE(KeyHasValues(kExclusionFilesKey));
    EXPECT_EQ(Paths(kExclusionFilesKey), QStringList{kDefaultFixedFile});
}

TEST_F(SetFixedDlg, AddFolderAndRemove_EditTheListAndOkWritesIt) {
    auto dialog = Show();
    Select(dialog->TrainsetFolders, {"Acela", "DEFAULT"});
    EXPECT_TRUE(dialog->AddFolderBtn->isEnabled());
    EXPECT_EQ(dialog->SelectedFoldersLbl->text(), "Selected (2)");
    dialog->AddFolderBtn->click();
    // DEFAULT is listed already; Acela is appended after the sorted lines.
    EXPECT_EQ(Lines(dialog->ExclusionListBox).back(), "Folder: TRAINS\\TRAINSET\\Acela");
    EXPECT_EQ(dialog->ExclusionListBox->count(), 3);
    EXPECT_TRUE(dialog->RemoveBtn->isEnabled());

    dialog->TrainsetFolders->clearSelection();
    EXPECT_FALSE(dialog->AddFolderBtn->isEnabled());
    EXPECT_TRUE(dialog->SelectedFoldersLbl->text().isEmpty());

    Select(dialog->ExclusionListBox, {"Folder: TRAINS\\TRAINSET\\DEFAULT"});
    dialog->RemoveBtn->click();
    EXPECT_EQ(Lines(dialog->ExclusionListBox),
              (QStringList{"File: TRAINS\\TRAINSET\\DEFAULT\\DEFAULT.WAG",
                           "Folder: TRAINS\\TRAINSET\\Acela"}));
    dialog->OKBtn->click();
    EXPECT_EQ(Paths(kExclusionFoldersKey), QStringList{"TRAINS\\TRAINSET\\Acela"});
    EXPECT_EQ(Paths(kExclusionFilesKey), QStringList{kDefaultFixedFile});
    EXPECT_EQ(dialog->ExclusionListBox->count(), 0);
    EXPECT_TRUE(dialog->Editor().Entries().empty());
}

TEST_F(SetFixedDlg, Cancel_LeavesTheRegistryAsItWas) {
    const QByteArray before = sandbox_.ReadHive(HKEY_LOCAL_MACHINE);
    auto dialog = Show();
    dialog->ExclusionListBox->selectAll();
    dialog->RemoveBtn->click();
    EXPECT_FALSE(dialog->RemoveBtn->isEnabled());
    dialog->CancelBtn->click();
    EXPECT_EQ(dialog->result(), ID_CANCEL);
    EXPECT_EQ(sandbox_.ReadHive(HKEY_LOCAL_MACHINE), before);
}

TEST_F(SetFixedDlg, AddFile_TakesTheWagonChosenInTheFileDialog) {
    auto dialog = Show();
    const QString chosen = temp_.Host("MSTS/TRAINS/TRAINSET/Dash9/dash9.eng");
    QTimer::singleShot(0, dialog.get(), [&] {
        dialog->OpenFileDlg->selectFile(chosen);
        QMetaObject::invokeMethod(dialog->OpenFileDlg, "accept");
    });
    dialog->AddFileBtn->click();
    EXPECT_EQ(Lines(dialog->ExclusionListBox).back(), "File: TRAINS\\TRAINSET\\Dash9\\dash9.eng");
    EXPECT_TRUE(dialog->RemoveBtn->isEnabled());
}

TEST_F(SetFixedDlg, AliasesOrFolders_SwitchesViewsAndDropsTheSelection) {
    auto dialog = Show();
    Select(dialog->TrainsetFolders, {"Dash9"});
    dialog->AliasesOrFolders->click();
    EXPECT_EQ(dialog->Label1->text(), "TRAINSET Alias Target Folders (0)");
    EXPECT_EQ(dialog->AliasesOrFolders->text(), "Show Trainset Folders");
    EXPECT_EQ(dialog->TrainsetFolders->count(), 0);
    EXPECT_FALSE(dialog->AddFolderBtn->isEnabled());

    dialog->AliasesOrFolders->click();
    EXPECT_EQ(dialog->Label1->text(), "TRAINSET Folders (3)");
    EXPECT_TRUE(dialog->TrainsetFolders->selectedItems().isEmpty());
}

} // namespace
} // namespace qv
