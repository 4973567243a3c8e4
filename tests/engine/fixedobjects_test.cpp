// The fixed-object lists in the registry, their start-up defaults, what the survey reads of them,
// and the list that the fixed-objects dialog edits.
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/stringlist.h"
#include "engine/fixedobjects.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QFile>
#include <gtest/gtest.h>

namespace qv {
namespace {

class FixedObjects : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\Store");
    }

    void MakeDefaultWag() { temp_.MakeFile("MSTS/Trains/Trainset/Default/default.wag"); }
    static void SetValue(const QString& key, const QString& name, const QString& path) {
        RegistryKey reg;
        ASSERT_TRUE(reg.Open(HKEY_LOCAL_MACHINE, key, true));
        ASSERT_TRUE(reg.WriteString(name, path));
    }
    // The key's values as "name=path", in their order.
    static QStringList Values(const QString& key) {
        QStringList values;
        RegistryKey reg;
        if (reg.OpenReadOnly(HKEY_LOCAL_MACHINE, key)) {
            for (const QString& name : reg.ValueNames()) {
                RegValue value;
                reg.ReadValue(name, &value);
                values << name + "=" + value.text;
            }
        }
        return values;
    }
    static QStringList Lines(const ExclusionEditor& editor) {
        QStringList lines;
        for (const auto& entry : editor.Entries())
            lines << ExclusionEditor::LineText(*entry);
        return lines;
    }

    RegistrySandbox sandbox_;
    TempMsts temp_;
    FakeUi ui_;
};

// ---- the registry lists and their defaults ------------------------------------------------------

TEST_F(FixedObjects,
       EnsureDefaultExclusions_KeepsFolderEntriesAndAddsOnlyTheDefaultFileBehindThem) {
    MakeDefaultWag();
    SetValue(kExclusionFoldersKey, "5", "TRAINS\\TRAINSET\\ACELA");
    SetValue(kExclusionFoldersKey, "9", "TRAINS\\TRAINSET\\DASH9");
    EXPECT_TRUE(EnsureDefaultExclusions());
    EXPECT_EQ(Values(kExclusionFoldersKey),
              (QStringList{"0=TRAINS\\TRAINSET\\ACELA", "1=TRAINS\\TRAINSET\\DASH9"}));
    EXPECT_EQ(Values(kExclusionFilesKey), QStringList{"2=TRAINS\\TRAINSET\\DEFAULT\\DEFAULT.WAG"});
}

TEST_F(FixedObjects, EnsureDefaultExclusions_WritesNothingWhenBothListsHoldValues) {
    MakeDefaultWag();
    SetValue(kExclusionFoldersKey, "3", "TRAINS\\TRAINSET\\ACELA");
    SetValue(kExclusionFilesKey, "7", "TRAINS\\TRAINSET\\GP38\\GP38.ENG");
    const QByteArray before = sandbox_.ReadHive(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(EnsureDefaultExclusions());
    EXPECT_EQ(sandbox_.ReadHive(HKEY_LOCAL_MACHINE), before);
}

TEST_F(FixedObjects, EnsureDefaultExclusions_RefusesWithoutMstsDefaultWagon) {
    EXPECT_FALSE(EnsureDefaultExclusions());
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, "No MSTS DEFAULT.WAG file found in the MSTS folder "
                                   "'C:\\MSTS\\TRAINS\\TRAINSET\\DEFAULT'");
    EXPECT_EQ(ui_.Shown()[0].caption, "Quarvel");
    EXPECT_EQ(ui_.Shown()[0].style, 16);
    EXPECT_FALSE(KeyHasValues(kExclusionFoldersKey));
}

TEST_F(FixedObjects, EnsureDefaultExclusions_FailsWhenTheListsCannotBeWritten) {
    MakeDefaultWag();
    // A file stands where the registry folder would be made, so no key can be created.
    QFile blocker(sandbox_.Dir());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_FALSE(EnsureDefaultExclusions());
    ASSERT_FALSE(ui_.Shown().empty());
    EXPECT_EQ(ui_.Shown().back().text, Caption(Msg::BAD_REGISTRY_WRITE_LEG1) + "\n" +
                                           Caption(Msg::BAD_REGISTRY_WRITE_LEG2) +
                                           kExclusionFoldersKey + "'");
    EXPECT_EQ(ui_.Shown().back().style, 16);
}

// ---- what the survey reads --------------------------------------------------------------------

TEST_F(FixedObjects, AddFixedObjects_GivesStockPathsThatIsFixedObjectRecognises) {
    SetValue(kExclusionFoldersKey, "0", "TRAINS\\TRAINSET\\DASH9");
    SetValue(kExclusionFoldersKey, "1", "trains\\trainset\\Acela");
    SetValue(kExclusionFoldersKey, "2", "SOUND");
    SetValue(kExclusionFilesKey, "3", "TRAINS\\TRAINSET\\GP38\\GP38.ENG");
    StringList folders = StringList::SortedUnique();
    StringList files = StringList::SortedUnique();
    AddFixedObjects(folders, files);
    EXPECT_EQ(folders.Strings(), (QStringList{"Acela", "DASH9"}));
    EXPECT_EQ(files.Strings(), QStringList{"GP38\\GP38.ENG"});

    EXPECT_TRUE(IsFixedObject(folders, files, "dash9"));
    EXPECT_TRUE(IsFixedObject(folders, files, "DASH9\\dash9.eng"));
    EXPECT_TRUE(IsFixedObject(folders, files, "gp38\\gp38.eng"));
    EXPECT_FALSE(IsFixedObject(folders, files, "GP38\\GP38B.ENG"));
    EXPECT_FALSE(IsFixedObject(folders, files, "SOUND"));
}

// ---- the dialog's list ----------------------------------------------------------------------

TEST_F(FixedObjects, Editor_LoadsSortedAndAppendsANewFolderOnceWhateverItsCase) {
    SetValue(kExclusionFoldersKey, "0", "TRAINS\\TRAINSET\\dash9");
    SetValue(kExclusionFoldersKey, "1", "TRAINS\\TRAINSET\\Acela");
    ExclusionEditor editor;
    editor.Load();
    EXPECT_FALSE(editor.AddFolder("DASH9"));
    EXPECT_TRUE(editor.AddFolder("GP38"));
    EXPECT_FALSE(editor.AddFolder("gp38"));
    EXPECT_EQ(Lines(editor),
              (QStringList{"Folder: TRAINS\\TRAINSET\\Acela", "Folder: TRAINS\\TRAINSET\\dash9",
                           "File: TRAINS\\TRAINSET\\DEFAULT\\DEFAULT.WAG",
                           "Folder: TRAINS\\TRAINSET\\GP38"}));
    editor.Remove({3, 0});
    EXPECT_EQ(Lines(editor), (QStringList{"Folder: TRAINS\\TRAINSET\\dash9",
                                          "File: TRAINS\\TRAINSET\\DEFAULT\\DEFAULT.WAG"}));
}

TEST_F(FixedObjects, Editor_RecordsFilesOfEitherRootInOneFormAndOnce) {
    temp_.MakeFile("MSTS/Trains/Trainset/GP38/gp38.eng");
    temp_.MakeFile("Store/TRAINS/TRAINSET/Acela/acela.wag");
    ExclusionEditor editor;
    editor.AddFiles({"C:\\MSTS\\Trains\\Trainset\\GP38\\gp38.eng",
                     "C:\\MSTS\\TRAINS\\TRAINSET\\GP38\\missing.wag"});
    editor.AddFiles({"c:\\msts\\trains\\trainset\\gp38\\GP38.ENG",
                     "C:\\Store\\TRAINS\\TRAINSET\\Acela\\acela.wag"});
    EXPECT_EQ(Lines(editor), (QStringList{"File: TRAINS\\TRAINSET\\GP38\\gp38.eng",
                                          "File: TRAINS\\TRAINSET\\Acela\\acela.wag"}));
    EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(FixedObjects, Editor_RefusesAFileOutsideTrainsetAndStopsTheRound) {
    temp_.MakeFile("MSTS/Trains/Trainset/GP38/gp38.eng");
    temp_.MakeFile("MSTS/Trains/Trainset/GP38/gp38b.eng");
    temp_.MakeFile("MSTS/Trains/Consists/x.con");
    ExclusionEditor editor;
    editor.AddFiles({"C:\\MSTS\\Trains\\Trainset\\GP38\\gp38.eng",
                     "C:\\MSTS\\Trains\\Consists\\x.con",
                     "C:\\MSTS\\Trains\\Trainset\\GP38\\gp38b.eng"});
    EXPECT_EQ(Lines(editor), QStringList{"File: TRAINS\\TRAINSET\\GP38\\gp38.eng"});
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, "The Fixed Objects selected must be within the folders\r"
                                   "'C:\\MSTS\\TRAINS\\TRAINSET\\'\r"
                                   "or 'C:\\Store\\TRAINS\\TRAINSET\\'");
    EXPECT_EQ(ui_.Shown()[0].style, 16);
}

} // namespace
} // namespace qv
