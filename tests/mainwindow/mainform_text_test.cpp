// The main window's text commands on the offscreen platform: printing, the keys, the search in
// the information pane and the About box.

#include "mainwindow/forms/mainform.h"

#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "core/forms/fontrecord.h"
#include "core/regsettings.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "mainwindow/aboutinfo.h"
#include "mainwindow/forms/aboutboxdlg.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace qv;

namespace {

class MainFormTextTest : public ::testing::Test {
protected:
    MainFormTextTest() {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().ProgramVersion = QStringLiteral("1.0");
        App().ProgramFileVersion = QStringLiteral("1.0.0.0");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        form = std::make_unique<TMainForm>(QString());
        memo = form->findChild<QTextEdit*>(QStringLiteral("InformationMemo"));
    }
    ~MainFormTextTest() override {
        form.reset();
        SetUi(nullptr);
        ResetAppState();
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    FakeUi ui;
    TFixedDefsForm pictures;
    std::unique_ptr<TMainForm> form;
    QTextEdit* memo = nullptr;
};

TEST_F(MainFormTextTest, Print_NoDialogForAnEmptyPaneACancelledPrintLeavesThePaneAsItWas) {
    form->PrintFocusedText(memo);
    EXPECT_TRUE(ui.PrintDialogs().empty());
    EXPECT_TRUE(ui.Mismatches().isEmpty());

    form->InformationMemo()->AddHeading("Report  ");
    form->InformationMemo()->AddLine("value\t \x01");
    const QStringList before = form->InformationMemo()->Lines();
    ui.ExpectPrintDocument(ID_CANCEL);
    form->PrintFocusedText(memo);
    ASSERT_EQ(ui.PrintDialogs().size(), 1u);
    EXPECT_EQ(ui.PrintDialogs().front().title, "Quarvel");
    // What is printed is trimmed; the pane keeps its lines.
    EXPECT_TRUE(ui.PrintDialogs().front().html.contains("value</p>"));
    EXPECT_EQ(form->InformationMemo()->Lines(), before);
    EXPECT_TRUE(form->InformationMemo()->IsHeading(0));
}

TEST(PrintHtmlTest, WritesAPdfThroughThePrinter) {
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    PrintHtml(printer, "Quarvel", "<p>Hello</p>");
    QFile pdf(dir.filePath("out.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
}

TEST_F(MainFormTextTest, Keys_AreIgnoredWhileBusy) {
    App().Busy = true;
    EXPECT_FALSE(form->FormKeyDown(Qt::Key_F5, Qt::NoModifier));
    EXPECT_FALSE(form->FormKeyDown(Qt::Key_T, Qt::ControlModifier | Qt::AltModifier));
    EXPECT_FALSE(App().LoggingActive);
    App().Busy = false;
}

TEST_F(MainFormTextTest, Search_InThePaneSelectsEachMatchAndReportsTheEnd) {
    form->InformationMemo()->AddLine("ababab");
    memo->moveCursor(QTextCursor::Start);
    AcceptSearchParams(form->SearchState, "AB", false, false, false);
    form->FindInControl(form->SearchState, memo);
    EXPECT_EQ(memo->textCursor().selectionStart(), 0);
    for (int expected : {2, 4}) {
        form->FindInControl(form->SearchState, memo);
        EXPECT_EQ(memo->textCursor().selectionStart(), expected);
    }
    ui.Expect("The search string 'AB' was not found", ID_OK);
    form->FindInControl(form->SearchState, memo);
    EXPECT_EQ(form->SearchState.LastResult, -1);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(MainFormTextTest, About_ShowsFixedOrAutomaticTheBuildAndShortenedPaths) {
    struct Case {
        const char* fixed;
        const char* tag;
    };
    for (const Case& c : {Case{"", "(Automatic)"}, Case{"anything", "(Fixed)"}}) {
        RegWriteString(kProductKey, "Fixed MSTS Path", c.fixed);
        EXPECT_EQ(AboutBoxTexts().FixedOrAutomatic, c.tag);
    }
    EXPECT_TRUE(AboutBoxTexts().TsectionBuild.isEmpty()); // no TSECTION.DAT
    builder.WriteTsection(61);
    EXPECT_EQ(AboutBoxTexts().TsectionBuild, "Build 00061");
    builder.WriteTsection(-1);
    EXPECT_TRUE(AboutBoxTexts().TsectionBuild.contains("   ")); // the date, three blanks
    EXPECT_EQ(AboutBoxTexts().Version, "Version 1.0\n(Build 1.0.0.0)");

    App().StoreRootFolder =
        "C:\\A very long folder name\\Another very long folder name\\Yet another one\\STORE";
    TAboutBoxDlg about(form.get());
    about.FormShow();
    EXPECT_EQ(about.windowTitle(), "About Quarvel");
    EXPECT_TRUE(about.StorageFolderPath->text().startsWith("C:\\...\\"));
    EXPECT_TRUE(about.StorageFolderPath->text().endsWith("\\STORE"));
    EXPECT_EQ(about.StorageFolderPath->toolTip(), App().StoreRootFolder);
    EXPECT_EQ(about.MSTSFolderPath->text(), "C:\\MSTS");
}

TEST_F(MainFormTextTest, MstsLaunchSettings_AnEmptyPathDisablesLaunchMsts) {
    const QString key = kProductKey;
    auto* launch = form->findChild<QCheckBox*>(QStringLiteral("LaunchMSTSCbx"));
    auto* settings = form->findChild<QAction*>(QStringLiteral("MSTSLaunchSettings"));
    ASSERT_TRUE(launch && settings);
    ui.ExpectEditLaunchSettings(ID_OK,
                                [&] { RegWriteString(key, "MSTS EXE Path", "C:\\train.exe"); });
    settings->trigger();
    EXPECT_TRUE(launch->isEnabled());
    ui.ExpectEditLaunchSettings(ID_OK, [&] { RegWriteString(key, "MSTS EXE Path", QString()); });
    settings->trigger();
    EXPECT_FALSE(launch->isEnabled());
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

} // namespace
