// Every dialog in the user's language: with a language module that translates every text of the
// English module, each dialog the program shows (through the Ui seam, and the About box, the
// splash and the 3-D options) shows no text that the module left English: its title, its
// captions, hints and buttons, and the titles and filters of its file dialogs.
#include "catalogue/pathrecords.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/regsettings.h"
#include "core/searchtext.h"
#include "engine/tsection.h"
#include "fixtures/formtexts.h"
#include "fixtures/markingtranslator.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "mainwindow/forms/aboutboxdlg.h"
#include "mainwindow/forms/splashform.h"
#include "qtui/qtui.h"
#include "viewer/forms/canvasoptionsdialog.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace qv {
namespace {

class DialogTexts : public ::testing::Test {
protected:
    DialogTexts() {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        drive_.MakeFile("MSTS/TRAINS/TRAINSET/DEFAULT/DEFAULT.WAG");
        drive_.MakeFolder("STORE/QVDATA");
    }
    ~DialogTexts() override { ResetAppState(); }

    // Opens a dialog as the user meets it and gives back its unmarked texts but those of the
    // controls that show data, read once it is up; then it is cancelled. Of Qt's own dialogs
    // (fonts) only the title is the program's.
    static QStringList Unmarked(const std::function<void()>& open, const QStringList& data,
                                bool titleOnly) {
        QStringList found;
        bool seen = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || seen)
                return;
            seen = true;
            found = titleOnly ? (test::UnmarkedText(dialog->windowTitle())
                                     ? QStringList{dialog->windowTitle()}
                                     : QStringList())
                              : test::UnmarkedTexts(dialog, data);
            dialog->reject();
        });
        poll.start(5);
        open();
        EXPECT_TRUE(seen) << "no dialog came up";
        return found;
    }

    RegistrySandbox registry_;
    TempMsts drive_;
    test::MarkingTranslator marks_;
    QtUi ui_;
};

TEST_F(DialogTexts, EveryDialogOfTheUiShowsOnlyTextsOfTheLanguageModule) {
    RouteInfo route;
    route.PType = PT_ROUTE;
    route.Name = QStringLiteral("Alpha Line");
    route.Folder = QStringLiteral("Routes\\ALPHA");
    std::vector<std::unique_ptr<ConflictInfo>> conflicts;
    std::vector<std::unique_ptr<ItemSet>> items;
    SearchTextSet search;
    const struct Case {
        const char* dialog;
        std::function<void()> open;
        QStringList data = {};
        bool titleOnly = false;
    } cases[] = {
        {"duplicate file",
         [&] { ui_.ConfirmFileMove("C:\\MSTS\\A.WAG", "C:\\STORE\\A.WAG", true); }},
        {"folder",
         [&] {
             ui_.SelectFolder("C:\\MSTS", Caption(Msg::SELECT_MSTS_FOLDER_TAG2),
                              Caption(Msg::SELECT_MSTS_FOLDER_TAG7), nullptr);
         }},
        {"fixed objects", [&] { ui_.SetFixedObjects(); }},
        {"TSECTION.DAT parameters", [&] { ui_.EditTsectionSettings(route); }},
        {"TSECTION.DAT choice", [&] { ui_.ResolveTsectionConflicts(conflicts); }},
        {"storage folder", [&] { ui_.SelectStoragePath(); }},
        {"lot number", [&] { ui_.ChangeLotNumber(items, nullptr); }},
        {"open scenario",
         [&] { ui_.OpenScenarioDialog(Caption(Msg::OPEN_SCENARIO_TITLE_OPEN), "C:\\", nullptr); }},
        {"save scenario", [&] { ui_.SaveScenarioDialog("C:\\", nullptr); }},
        {"launch settings",
         [&] {
             ui_.EditLaunchSettings(Caption(Msg::MSTS_PARAMS_PROGNAME), "MSTS Params",
                                    "MSTS EXE Path", kProductKey, true,
                                    Caption(Msg::MSTS_PARAMS_DESC_TEXT));
         }},
        {"save text", [&] { ui_.SaveTextDialog("C:\\", nullptr, nullptr); }},
        {"font", [&] { ui_.ChooseFont(nullptr, nullptr); }, {}, true},
        {"find text", [&] { ui_.FindTextDialog(search); }},
        {"3-D options",
         [&] {
             CanvasOptions options;
             EditCanvasOptions(nullptr, &options);
         }},
        {"about",
         [&] {
             TAboutBoxDlg about(nullptr);
             about.exec();
         },
         {"ProductNameLbl", "LegalCopyrightLbl", "MSTSFolderPath", "StorageFolderPath",
          "TSECTIONBuildLbl"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        const QStringList unmarked = Unmarked(c.open, c.data, c.titleOnly);
        EXPECT_TRUE(unmarked.isEmpty()) << unmarked.join(QLatin1Char('\n')).toStdString();
    }
}

// The splash names the version in the language in use before its start-up runs.
TEST_F(DialogTexts, TheSplashShowsItsVersionInTheLanguageInUse) {
    App().ProgramVersion = QStringLiteral("1.0");
    App().ProgramFileVersion = QStringLiteral("1.0.0.0");
    TSplashForm splash(QString(), nullptr);
    splash.show();
    const QStringList unmarked = test::UnmarkedTexts(
        &splash, {QStringLiteral("ProductNameLbl"), QStringLiteral("CopyrightLbl")});
    EXPECT_TRUE(unmarked.isEmpty()) << unmarked.join(QLatin1Char('\n')).toStdString();
}

} // namespace
} // namespace qv
