#include "core/searchtext.h"

#include "core/appstate.h"
#include "core/forms/searchparamsboxdlg.h"
#include "core/regsettings.h"
#include "fixtures/registrysandbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <gtest/gtest.h>

using namespace qv;

namespace {

// Every match position MatchSearchText gives for one text, until it says the text is done.
QList<int> AllMatches(const QString& text, const QString& needle, bool caseSensitive) {
    SearchTextSet record;
    record.Text = needle;
    record.CaseSensitive = caseSensitive;
    ResetSearch(record);
    QList<int> found;
    int start = 1;
    for (int guard = 0; guard < 20; ++guard) {
        const int before = record.Position;
        const int r = MatchSearchText(text, record);
        if (r == 0)
            break;
        start = before > 0 ? before : 1;
        found << start + r - 1; // absolute 1-based position
        if (record.Position == -1)
            break;
    }
    return found;
}

TEST(MatchSearchTextTest, FindsEveryMatchAndFoldsCaseAsUnicodeDoes) {
    struct Case {
        const char* text;
        const char* needle;
        bool caseSensitive;
        QList<int> positions;
    };
    const Case cases[] = {
        {"ababab", "ab", true, {1, 3, 5}},
        {"ababab", "AB", false, {1, 3, 5}},
        {"ababab", "AB", true, {}},
        {"aaa", "aa", true, {1}},
        {"Grüße GRÜSSE ÄRGER", "ärger", false, {14}},
        {"x end", "end", true, {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.needle);
        EXPECT_EQ(
            AllMatches(QString::fromUtf8(c.text), QString::fromUtf8(c.needle), c.caseSensitive),
            c.positions);
    }
}

TEST(MatchSearchTextTest, ADoneTextGivesNothingOnceAndTheNextTextStartsAtItsStart) {
    SearchTextSet record;
    record.Text = "end";
    record.CaseSensitive = true;
    EXPECT_EQ(MatchSearchText("the end", record), 5);
    EXPECT_EQ(record.Position, -1);
    EXPECT_EQ(MatchSearchText("end again", record), 0);
    EXPECT_EQ(record.Position, 0);
    EXPECT_EQ(MatchSearchText("end again", record), 1);
}

TEST(FindTextFromTest, CaseAndWholeWords) {
    struct Case {
        const char* text;
        const char* needle;
        int from;
        bool caseSensitive, wholeWord;
        int expected;
    };
    const Case cases[] = {
        {"Route route", "route", 0, true, false, 6},
        {"Route route", "route", 0, false, false, 0},
        {"Route route", "route", 1, false, false, 6},
        {"routes route", "route", 0, false, true, 7},
        {"abc", "x", 0, false, false, -1},
        {"abc", "", 0, false, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FindTextFrom(c.text, c.needle, c.from, c.caseSensitive, c.wholeWord), c.expected);
    }
}

TEST(SearchDialogTest, OkNeedsATextAndKeepsFifteenTextsMostRecentFirst) {
    RegistrySandbox registry;
    ResetAppState();
    SearchTextSet record;
    EXPECT_FALSE(AcceptSearchParams(record, QString(), true, false, false));
    EXPECT_FALSE(record.NewSearch);

    for (int i = 1; i <= 16; ++i)
        ASSERT_TRUE(AcceptSearchParams(record, QString("text %1").arg(i), true, false, true));
    EXPECT_TRUE(record.NewSearch);
    EXPECT_TRUE(record.CaseSensitive);
    EXPECT_TRUE(record.SearchInformation);
    EXPECT_EQ(record.Text, "text 16");
    const QStringList history = LoadSearchDialogState().History;
    ASSERT_EQ(history.size(), 15);
    EXPECT_EQ(history.first(), "text 16");
    EXPECT_EQ(history.last(), "text 2");

    StoreSearchCaseSensitive(true);
    StoreSearchWholeWord(false);
    EXPECT_TRUE(LoadSearchDialogState().CaseSensitive);
    EXPECT_FALSE(LoadSearchDialogState().WholeWord);
    EXPECT_EQ(RegReadString(kProductKey, "Search WholeWord"), "false");
}

TEST(SearchParamsDialogTest, ShowsTheHistoryStoresClickedBoxesAndNeedsAText) {
    RegistrySandbox registry;
    ResetAppState();
    AddToKeyList(kSearchTextHistoryKey, "older", false, kSearchHistoryMaximum);
    AddToKeyList(kSearchTextHistoryKey, "newer", false, kSearchHistoryMaximum);
    WriteFlag(true, "Search Case Sensitive");
    SearchTextSet record;
    TSearchParamsBoxDlg dialog(nullptr, record, nullptr);
    ASSERT_EQ(dialog.SearchTextCmbx->count(), 2);
    EXPECT_EQ(dialog.SearchTextCmbx->itemText(0), "newer");
    EXPECT_TRUE(dialog.SearchTextCmbx->currentText().isEmpty());
    EXPECT_TRUE(dialog.CaseSensitiveCbx->isChecked());
    EXPECT_TRUE(dialog.WholeWordCbx->isHidden());

    dialog.CaseSensitiveCbx->click();
    EXPECT_EQ(RegReadString(kProductKey, "Search Case Sensitive"), "false");
    dialog.OKButtonClick();
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(record.NewSearch);
    dialog.SearchTextCmbx->setEditText("Alpha");
    dialog.OKButtonClick();
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_TRUE(record.NewSearch);
    EXPECT_EQ(record.Text, "Alpha");
    EXPECT_FALSE(record.CaseSensitive);
    EXPECT_EQ(ReadKeyList(kSearchTextHistoryKey).first(), "Alpha");
}

} // namespace
