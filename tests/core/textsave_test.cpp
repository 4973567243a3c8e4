#include "core/textsave.h"

#include "core/appstate.h"
#include "core/regsettings.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QFile>
#include <QScopeGuard>
#include <gtest/gtest.h>

using namespace qv;

namespace {

class TextSaveTest : public ::testing::Test {
protected:
    TextSaveTest() {
        ResetAppState();
        App().ProgramTitle = "Quarvel";
        SetUi(&ui);
        pane.AddHeading("Heading");
        pane.AddLine("line");
    }
    ~TextSaveTest() override {
        SetUi(nullptr);
        ResetAppState();
    }

    RegistrySandbox registry;
    TempMsts drive;
    FakeUi ui;
    ReportPane pane;
};

TEST_F(TextSaveTest, TheChosenTypeDecidesTheForm) {
    struct Case {
        const char* file;
        int filter;
        bool rtf;
    };
    const Case cases[] = {
        {"a.TXT", SAVE_AS_TEXT, false}, {"b.RTF", SAVE_AS_RTF, true},
        {"c.rtf", SAVE_AS_ANY, true},   {"d.log", SAVE_AS_ANY, false},
        {"e.rtf", SAVE_AS_TEXT, false},
    };
    drive.MakeFolder("Out");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ui.ExpectSaveTextDialog(ID_OK, QString("C:\\Out\\") + c.file, c.filter);
        EXPECT_TRUE(SaveFocusedTextAs(&pane, true, QString()));
        // A rich pane preselects rich text.
        EXPECT_EQ(ui.SaveTextDialogs().back().filterIndex, SAVE_AS_RTF);
        const QByteArray written = drive.Content(QString("Out/") + c.file);
        EXPECT_EQ(written.startsWith("{\\rtf1"), c.rtf);
        if (!c.rtf) {
            EXPECT_EQ(written, "Heading\r\nline");
        }
    }
    EXPECT_EQ(RegReadString(kProductKey, "Last Text Save Folder"), "C:\\Out\\");
    ui.ExpectSaveTextDialog(ID_OK, "C:\\Out\\list.txt", SAVE_AS_TEXT);
    EXPECT_TRUE(SaveFocusedTextAs(nullptr, false, "one\r\n\ttwo\r\n"));
    EXPECT_EQ(ui.SaveTextDialogs().back().initialFolder, "C:\\Out\\");
    EXPECT_EQ(ui.SaveTextDialogs().back().filterIndex, SAVE_AS_TEXT);
    EXPECT_EQ(drive.Content("Out/list.txt"), "one\r\n\ttwo\r\n");
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

// Without a last folder, or when it is gone, the home folder is proposed, never the current
// folder (the MSTS folder after a launch).
TEST_F(TextSaveTest, TheDialogProposesTheHomeFolderWithoutALastOne) {
    drive.MakeFolder("Home");
    const auto restore = qScopeGuard([was = qgetenv("HOME")] { qputenv("HOME", was); });
    qputenv("HOME", QFile::encodeName(drive.Host("Home")));
    for (const QString last : {"", "C:\\Gone\\"}) {
        RegWriteString(kProductKey, "Last Text Save Folder", last);
        ui.ExpectSaveTextDialog(ID_CANCEL);
        SaveFocusedTextAs(&pane, true, QString());
        EXPECT_EQ(ui.SaveTextDialogs().back().initialFolder, "C:\\Home\\") << last.toStdString();
    }
}

TEST_F(TextSaveTest, AFailedWriteReportsAndLeavesTheOldFileWhole) {
    drive.MakeFile("Out/old.txt", "old content");
    QFile::setPermissions(drive.Host("Out/old.txt"), QFile::ReadOwner | QFile::ReadGroup);
    ui.ExpectSaveTextDialog(ID_OK, "C:\\Out\\old.txt", SAVE_AS_TEXT);
    ui.Expect("Error: Writing to file 'C:\\Out\\old.txt'", ID_OK);
    EXPECT_FALSE(SaveFocusedTextAs(&pane, false, QString()));
    EXPECT_EQ(drive.Content("Out/old.txt"), "old content");
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(TextSaveTest, CancelWritesNothing) {
    ui.ExpectSaveTextDialog(ID_CANCEL);
    EXPECT_FALSE(SaveFocusedTextAs(&pane, true, QString()));
    EXPECT_TRUE(RegReadString(kProductKey, "Last Text Save Folder").isEmpty());
}

} // namespace
