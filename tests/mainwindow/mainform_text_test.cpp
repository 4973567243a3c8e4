// The main window's text commands on the offscreen platform: printing, the keys, the search in
// the information pane and the About box.

#include "mainwindow/forms/mainform.h"

#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "core/forms/fontrecord.h"
#include "core/panetext.h"
#include "core/regsettings.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "mainwindow/aboutinfo.h"
#include "mainwindow/forms/aboutboxdlg.h"
#include "platform/drivemap.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <map>

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
    form->InformationMemo()->SetTabStops({20, 40, 130});
    form->InformationMemo()->AddLine("value\t \x01");
    const QStringList before = form->InformationMemo()->Lines();
    ui.ExpectPrintDocument(ID_CANCEL);
    form->PrintFocusedText(memo);
    ASSERT_EQ(ui.PrintDialogs().size(), 1u);
    EXPECT_EQ(ui.PrintDialogs().front().title, "Quarvel");
    // What is printed is trimmed, with the pane's tab stops; the pane keeps its lines.
    EXPECT_TRUE(ui.PrintDialogs().front().html.contains("value</p>"));
    EXPECT_EQ(ui.PrintDialogs().front().tabStops, (QList<int>{20, 40, 130}));
    EXPECT_EQ(form->InformationMemo()->Lines(), before);
    EXPECT_TRUE(form->InformationMemo()->IsHeading(0));
}

TEST(PrintHtmlTest, PrintedColumnsStandAtThePanesTabStops) {
    ReportPane pane;
    pane.SetFixedPitch(true);
    pane.SetTabStops({20, 40, 130});
    pane.AddHeading("Statistics");
    pane.AddLine("\t\tRoutes:\t      7");
    pane.AddLine("\t\t    Engines:\t  1,234");
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    PrintHtml(printer, "Quarvel", PaneHtml(pane), pane.TabStops());

    // Each word's left edge in points, as pdftotext (poppler-utils, from scripts/setup) reads it.
    QProcess extract;
    extract.start("pdftotext", {"-bbox", dir.filePath("out.pdf"), "-"});
    ASSERT_TRUE(extract.waitForFinished() && extract.exitCode() == 0) << "run scripts/setup";
    std::map<QString, double> left;
    static const QRegularExpression word(R"re(<word xMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    for (auto match = word.globalMatch(QString::fromUtf8(extract.readAllStandardOutput()));
         match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        left[found.captured(2)] = found.captured(1).toDouble();
    }
    for (const char* text : {"Statistics", "Routes:", "Engines:", "7", "1,234"})
        ASSERT_TRUE(left.count(text)) << text;
    // Two tabs reach the stop at 40 points; four blanks follow on the second line.
    EXPECT_GT(left["Engines:"] - left["Routes:"], 12.0);
    // The numbers, right-aligned in their field of the same width, end in one column at 130.
    const double margin = left["Routes:"] - 40;
    const double charWidth = (left["7"] - left["1,234"]) / 4;
    EXPECT_NEAR(left["1,234"] - 2 * charWidth, margin + 130, 1.0);
    EXPECT_NEAR(left["7"] - 6 * charWidth, margin + 130, 1.0);
}

// A line longer than the paper is wide goes on over further lines, its blanks kept.
TEST(PrintHtmlTest, ALongLineWrapsAtThePaperEdge) {
    ReportPane pane;
    const QString line = QStringLiteral("'ROUTES\\ALPHA\\run.act'  ").repeated(20);
    pane.AddLine(line);
    QTextDocument paper;
    paper.setHtml(PaneHtml(pane));
    paper.setTextWidth(500);
    paper.size(); // laid out at the paper's width
    EXPECT_GT(paper.firstBlock().layout()->lineCount(), 2);
    EXPECT_EQ(paper.toPlainText(), line);
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

TEST_F(MainFormTextTest, About_EveryTextHasItsOwnRoomBelowTheIcon) {
    TAboutBoxDlg about(form.get());
    about.show();
    QCoreApplication::processEvents();
    const QWidget* column[] = {
        about.ProgramIcon,       about.CopyrightLbl,   about.LegalCopyrightLbl,
        about.DescriptionLbl,    about.Description,    about.LinePnl,
        about.MSTSFolderPathLbl, about.MSTSFolderPath, about.StorageFolderPathLbl,
        about.StorageFolderPath, about.TSECTIONLbl,    about.TSECTIONBuildLbl};
    for (size_t i = 1; i < std::size(column); ++i) {
        const QWidget* above = column[i - 1];
        const QWidget* below = column[i];
        SCOPED_TRACE(below->objectName().toStdString());
        EXPECT_GE(below->geometry().top(), above->geometry().bottom());
        if (const auto* label = qobject_cast<const QLabel*>(below)) {
            const int needed = label->hasHeightForWidth() ? label->heightForWidth(label->width())
                                                          : label->sizeHint().height();
            EXPECT_GE(label->height(), needed);
        }
    }
    EXPECT_GE(about.OKButton->geometry().top(), about.Panel1->geometry().bottom());
}

TEST_F(MainFormTextTest, Manual_TheCommandOpensTheManualBuiltBesideTheProgram) {
    // A reader that writes down what it was asked to open.
    QTemporaryDir dir;
    const QString opened = dir.filePath("opened");
    QFile reader(dir.filePath("reader"));
    ASSERT_TRUE(reader.open(QIODevice::WriteOnly));
    reader.write(("#!/bin/sh\nprintf '%s' \"$1\" > '" + opened + "'\n").toUtf8());
    reader.close();
    reader.setPermissions(reader.permissions() | QFileDevice::ExeOwner);
    RegWriteStringAt(HKEY_CLASSES_ROOT, ".pdf", QString(), "PdfFile");
    RegWriteStringAt(HKEY_CLASSES_ROOT, "PdfFile\\shell\\open\\command", QString(),
                     "\"" + reader.fileName() + "\" \"%1\"");
    App().ProgramFilePath = ToWindowsForm(QUARVEL_PROGRAM_FILE);

    form->findChild<QAction*>(QStringLiteral("QuarvelManual"))->trigger();
    EXPECT_TRUE(ui.Shown().empty()) << "no message, such as a missing manual";
    for (int wait = 0; wait < 100 && !QFile::exists(opened); ++wait)
        QThread::msleep(50);
    QFile answer(opened);
    ASSERT_TRUE(answer.open(QIODevice::ReadOnly));
    const QFileInfo manual(QString::fromUtf8(answer.readAll()));
    EXPECT_EQ(manual.absolutePath(), QFileInfo(QUARVEL_PROGRAM_FILE).absolutePath());
    EXPECT_EQ(manual.fileName().toLower(), "quarvel.pdf");
    QFile pdf(manual.filePath());
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
}

// The desktop's opener, looked for in PATH only: none there, one that fails, one that works.
TEST_F(MainFormTextTest, Manual_WithoutAProgramForPdfFilesTheUserIsToldSo) {
    App().ProgramFilePath = ToWindowsForm(QUARVEL_PROGRAM_FILE);
    const auto restore = qScopeGuard([path = qgetenv("PATH")] { qputenv("PATH", path); });
    qputenv("PATH", QFile::encodeName(drive.Host("bin")));
    drive.MakeFolder("bin");
    for (const auto& [opener, told] :
         {std::pair{"", true}, {"/bin/false", true}, {"/bin/true", false}}) {
        QFile::link(opener, drive.Host("bin/xdg-open")); // none for ""
        if (told)
            ui.Expect("The manual '" + QFileInfo(QUARVEL_PROGRAM_FILE).absolutePath() +
                          "/quarvel.pdf' cannot be shown:\rno program to open PDF files was found.",
                      ID_OK);
        const std::size_t shown = ui.Shown().size();
        form->findChild<QAction*>(QStringLiteral("QuarvelManual"))->trigger();
        (void)QTest::qWaitFor([&] { return ui.Shown().size() > shown; }, told ? 10000 : 500);
        EXPECT_EQ(ui.Shown().size(), shown + told) << opener;
        QFile::remove(drive.Host("bin/xdg-open"));
    }
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
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
