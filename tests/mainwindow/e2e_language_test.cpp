// A switch of language from the demo's main window, to a module made from the English language
// module as a translator makes one (every text translated, here marked «text»): the menus, tabs,
// buttons and check boxes and an open list editor show the new language at once, and the tree
// keeps its selection and the information pane what it showed.
#include "core/comparetext.h"
#include "core/languages.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "fixtures/formtexts.h"
#include "fixtures/tsfile.h"
#include "mainwindow/e2ekit.h"
#include "mainwindow/forms/easycontroller.h"

#include <QAction>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <clocale>
#include <string>

using namespace qv;

namespace {

constexpr std::uint32_t kGerman = 0x0407;

class DemoLanguage : public DemoTest {
protected:
    DemoLanguage() : collation_(std::setlocale(LC_COLLATE, nullptr)) {}
    ~DemoLanguage() override {
        form.reset();
        SetDefaultLocale(locale_);
        std::setlocale(LC_COLLATE, collation_.c_str());
    }

    // Puts a German module beside the program and chooses it from the Language menu.
    void SwitchToGerman() {
        App().ProgramFilePath = QStringLiteral("C:\\Program\\quarvel");
        drive.MakeFolder(QStringLiteral("Program"));
        ASSERT_TRUE(test::WriteModuleFromTemplate(
            drive.Host(QStringLiteral("Program/quarvel.DEU")), App().ProgramVersion,
            [](const QString& text) { return QStringLiteral("«") + text + QStringLiteral("»"); }));
        EnumerateLanguages();
        form->BuildLanguageMenu();
        QAction* german = nullptr;
        for (QAction* item : C<QMenu>("LanguageMnu")->actions())
            if (item->property("Tag").toLongLong() == kGerman)
                german = item;
        ASSERT_TRUE(german) << "no German in the Language menu";
        german->trigger();
        ASSERT_EQ(App().CurrentLanguageId, kGerman);
    }

    QLocale locale_;
    std::string collation_;
};

TEST_F(DemoLanguage, ASwitchShowsTheWindowAndAnOpenListEditorInTheNewLanguageAtOnce) {
    Start();
    // A list editor open at the switch (shown without its own loop, so that the test goes on).
    TEditConsistListsDlg editor(form.get(), EM_VIEW_ALL);
    editor.show();
    EXPECT_EQ(C<QMenu>("File1")->title(), "&File");
    EXPECT_EQ(C<QTabWidget>("MainPageControl")->tabText(0), "Easy Quarvel");
    EXPECT_EQ(C<QAbstractButton>("GoBtn")->text(), "Go!");
    EXPECT_EQ(editor.RefreshBtn->text(), "Refresh List");

    SwitchToGerman();
    EXPECT_EQ(C<QMenu>("File1")->title(), "«&File»");
    EXPECT_EQ(C<QMenu>("File1")->actions().value(0)->text(), "«&New»");
    EXPECT_EQ(C<QTabWidget>("MainPageControl")->tabText(0), "«Easy Quarvel»");
    EXPECT_EQ(C<QAbstractButton>("GoBtn")->text(), "«Go!»");
    EXPECT_EQ(C<QAbstractButton>("EveryThingCbx")->text(), "«EveryThing!»");
    EXPECT_EQ(C<QAbstractButton>("ExitBtn")->text(), "«E&xit»");
    EXPECT_EQ(editor.RefreshBtn->text(), "«Refresh List»");
    QStringList unmarked = test::UnmarkedTexts(
        &editor, {QStringLiteral("AvailableListBox"), QStringLiteral("CurrentListBox")});
    EXPECT_TRUE(unmarked.isEmpty()) << unmarked.join(QLatin1Char('\n')).toStdString();

    // Nothing of the window is left English, on either page: what stays is the activity's data,
    // the lines picked from list captions (the mark stands round the whole list) and the names
    // of the languages.
    editor.close();
    for (int page : {0, 1}) {
        C<QTabWidget>("MainPageControl")->setCurrentIndex(page);
        unmarked =
            test::UnmarkedTexts(form.get(), {"LocomotiveUsedTxt", "ConsistUsedTxt", "PathFromLbl",
                                             "PathToLbl", "SeasonTextLbl", "WeatherTextLbl",
                                             "DifficultyLevelTextLbl", "LanguageMnu"});
        EXPECT_TRUE(unmarked.isEmpty()) << unmarked.join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(DemoLanguage, ASwitchKeepsTheTreesSelectionAndWhatTheInformationPaneShows) {
    Start();
    C<QTabWidget>("MainPageControl")->setCurrentIndex(1);
    const ItemNode* route = Node("Route 0", PT_ROUTE);
    ASSERT_TRUE(route);
    Focus("QuarvelObjects");
    Select(route);
    const QString folder = route->Data()->Folder;
    const int paneLines = form->InformationMemo()->LineCount();
    ASSERT_GT(paneLines, 0);
    const bool store = C<QAbstractButton>("StoreRoute_ActivityBtn")->isEnabled();
    const bool unstore = C<QAbstractButton>("UnStoreRoute_ActivityBtn")->isEnabled();
    ASSERT_TRUE(store || unstore);

    SwitchToGerman();
    const ItemNode* selected = form->QuarvelObjects()->Selected();
    ASSERT_TRUE(selected);
    EXPECT_EQ(selected->Data()->Folder, folder);
    EXPECT_TRUE(selected->Data()->PType & PT_ROUTE);
    EXPECT_EQ(View()->currentIndex(), IndexOf(selected));
    // The route's information, now in the new language.
    EXPECT_EQ(form->InformationMemo()->LineCount(), paneLines);
    EXPECT_TRUE(form->InformationMemo()->Lines().join('\n').contains("Route 0"));
    EXPECT_TRUE(form->InformationMemo()->Lines().join('\n').contains(QChar(0x00AB)));
    EXPECT_EQ(C<QAbstractButton>("StoreRoute_ActivityBtn")->isEnabled(), store);
    EXPECT_EQ(C<QAbstractButton>("UnStoreRoute_ActivityBtn")->isEnabled(), unstore);
    EXPECT_EQ(QApplication::focusWidget(), C<QWidget>("QuarvelObjects"));
}

TEST_F(DemoLanguage, ASwitchOnTheEasyPageKeepsTheChosenRoute) {
    StartOnEasyTab(0);
    auto* routes = C<QListWidget>("RoutesLstbx");
    const auto found = routes->findItems(QStringLiteral("Route 1"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    routes->setCurrentItem(found.first());
    form->EasyControls()->RoutesLstbxClick();

    SwitchToGerman();
    ASSERT_TRUE(routes->currentItem());
    EXPECT_EQ(routes->currentItem()->text(), "Route 1");
    EXPECT_EQ(form->QuarvelObjects()->Selected()->Data()->Description, "Route 1");
}

} // namespace
