#include "core/searchtext.h"

#include "core/generaldefs.h"
#include "core/regsettings.h"

namespace qv {

void ResetSearch(SearchTextSet& record) {
    record.Position = 0;
    record.LastResult = 0;
    record.NodeIndex = 0;
    record.LowerText = record.CaseSensitive ? QString() : record.Text.toLower();
}

int MatchSearchText(const QString& text, SearchTextSet& record) {
    if (record.Position == -1) {
        record.Position = 0;
        return 0;
    }
    if (record.Text.isEmpty()) {
        record.Position = 0;
        return 0;
    }
    // The part searched starts at character Position (1-based); 0 means the whole text.
    const int start = record.Position > 0 ? record.Position : 1;
    if (start > text.size()) {
        record.Position = -1;
        return 0;
    }
    const Qt::CaseSensitivity cs = record.CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qsizetype found = text.indexOf(record.Text, start - 1, cs);
    if (found < 0) {
        record.Position = 0;
        return 0;
    }
    const int r = int(found) - (start - 1) + 1;
    // The next search starts right after the match, so that a match that follows at once is
    // found too.
    record.Position = int(found) + 1 + int(record.Text.size());
    if (record.Position > text.size())
        record.Position = -1;
    return r;
}

namespace {

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

int FindTextFrom(const QString& text, const QString& needle, int from, bool caseSensitive,
                 bool wholeWord) {
    if (needle.isEmpty() || from < 0)
        return -1;
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype at = from;
    while (at <= text.size()) {
        const qsizetype found = text.indexOf(needle, at, cs);
        if (found < 0)
            return -1;
        const qsizetype end = found + needle.size();
        const bool startsWord = found == 0 || !IsWordChar(text.at(found - 1));
        const bool endsWord = end >= text.size() || !IsWordChar(text.at(end));
        if (!wholeWord || (startsWord && endsWord))
            return int(found);
        at = found + 1;
    }
    return -1;
}

SearchDialogState LoadSearchDialogState() {
    SearchDialogState state;
    state.History = ReadKeyList(kSearchTextHistoryKey);
    state.CaseSensitive = ReadFlag(QStringLiteral("Search Case Sensitive"));
    state.WholeWord = ReadFlag(QStringLiteral("Search WholeWord"));
    state.SearchInformation = ReadFlag(QStringLiteral("Search Information"));
    return state;
}

void StoreSearchCaseSensitive(bool checked) {
    WriteFlag(checked, QStringLiteral("Search Case Sensitive"));
}

void StoreSearchWholeWord(bool checked) {
    WriteFlag(checked, QStringLiteral("Search WholeWord"));
}

void StoreSearchInformation(bool checked) {
    WriteFlag(checked, QStringLiteral("Search Information"));
}

bool AcceptSearchParams(SearchTextSet& record, const QString& text, bool caseSensitive,
                        bool wholeWord, bool searchInformation) {
    if (text.isEmpty())
        return false;
    record.CaseSensitive = caseSensitive;
    record.WholeWord = wholeWord;
    record.Text = text;
    record.SearchInformation = searchInformation;
    record.NewSearch = true;
    AddToKeyList(kSearchTextHistoryKey, text, false, kSearchHistoryMaximum);
    return true;
}

QString SearchNotFoundText(const SearchTextSet& record) {
    return Caption(Msg::SEARCH_NOT_FOUND1) + record.Text + QStringLiteral("' ") +
           Caption(Msg::GENERAL_NOT_FOUND6);
}

} // namespace qv
