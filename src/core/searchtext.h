// The state of a text search in one window (the tree of stored objects, a rich edit) and the
// matching that Find and Find Next share: where the next match is looked for, what the last
// search found, and the history and options the Find Text dialog keeps in the registry.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace qv {

// The registry list of past search texts, most recent first, and its length.
inline const QString kSearchTextHistoryKey = QStringLiteral("Filters\\Search Text");
constexpr int kSearchHistoryMaximum = 15;

struct SearchTextSet {
    bool NewSearch = false; // the dialog's OK: the next search starts afresh
    QString Text;
    QString LowerText; // Text lower-cased, for searches without regard to case
    bool CaseSensitive = false;
    bool WholeWord = false;
    bool SearchInformation = false; // stored only
    // Tree: 1-based position in the current node's text where the next match is looked for; 0
    // from the start, -1 when the node's text is done. Rich edit: the position after the last
    // match. 0 also means that no search is under way.
    std::int32_t Position = 0;
    // Tree: position of the match within the searched part (0 none); rich edit: the match's
    // position (-1 none).
    std::int32_t LastResult = 0;
    // Tree: the position in tree order of the node where the search goes on.
    std::int32_t NodeIndex = 0;
    // The control last searched (not owned).
    const QObject* Control = nullptr;
};

// Position, LastResult and NodeIndex back to 0; LowerText from Text.
void ResetSearch(SearchTextSet& record);

// Looks for the search text in `text` from the record's Position and moves Position past the
// match, so that the next call finds the next match, also one that follows right after (1-based
// position of the match within the part searched, or 0). Case is folded as Unicode does. When
// the text is done Position becomes -1, and the call after that gives 0 and starts again at 0.
int MatchSearchText(const QString& text, SearchTextSet& record);

// The first match of `needle` in `text` at or after `from` (0-based), with case and whole-word
// options as a rich edit searches; -1 when there is none.
int FindTextFrom(const QString& text, const QString& needle, int from, bool caseSensitive,
                 bool wholeWord);

// What the Find Text dialog starts with: the history and the three boxes from the registry.
struct SearchDialogState {
    QStringList History;
    bool CaseSensitive = false;
    bool WholeWord = false;
    bool SearchInformation = false;
};
SearchDialogState LoadSearchDialogState();
// A click on one of the dialog's boxes stores it at once.
void StoreSearchCaseSensitive(bool checked);
void StoreSearchWholeWord(bool checked);
void StoreSearchInformation(bool checked);

// The dialog's OK: false (the dialog stays open) for an empty text; otherwise the record takes
// the choices with NewSearch set, and the text goes first into the history.
bool AcceptSearchParams(SearchTextSet& record, const QString& text, bool caseSensitive,
                        bool wholeWord, bool searchInformation);

// The box shown when a search found nothing.
QString SearchNotFoundText(const SearchTextSet& record);

} // namespace qv
