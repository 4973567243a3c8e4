#include "core/comparetext.h"

#include "platform/casefold.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace qv {

namespace {

// Counts the changes of the default locale, so that a comparison learns of one from a number
// instead of building and comparing a locale on every call.
std::atomic<int> localeGeneration{0};

// A collator is far cheaper to reuse than to set up, and sorts of tens of thousands of names
// call this millions of times, so each thread keeps one. It is made again when the default
// locale changes (a language change may set it). QCollator is not safe to share between threads.
struct CachedCollator {
    int generation;
    QCollator collator;
    bool inC; // the C locale's, which compares the characters with their case folded

    explicit CachedCollator(int g)
        : generation(g), collator(QLocale()), inC(collator.locale().language() == QLocale::C) {
        collator.setCaseSensitivity(Qt::CaseInsensitive);
    }
};

CachedCollator& Cached() {
    thread_local CachedCollator cached{localeGeneration.load(std::memory_order_acquire)};
    const int generation = localeGeneration.load(std::memory_order_acquire);
    if (cached.generation != generation)
        cached = CachedCollator(generation);
    return cached;
}

} // namespace

int CompareText(const QString& a, const QString& b) {
    // Copies of one text share their characters: a sort of records that name one item by copies
    // of its text compares them without reading them.
    if (a.size() == b.size() && a.constData() == b.constData())
        return 0;
    CachedCollator& cached = Cached();
    // The C locale's collator compares the characters with their case folded, which for plain
    // ASCII needs no collator at all.
    if (!cached.inC)
        return cached.collator.compare(a, b);
    // Sorted lists of many thousands of long paths compare here: both texts are checked for being
    // plain ASCII four characters at a time, and their common start passed over as quickly.
    if (!IsAscii(a) || !IsAscii(b))
        return cached.collator.compare(a, b);
    return CompareAsciiFolded(a, b);
}

bool CompareTextFoldsCase() {
    return Cached().inC;
}

void SortTexts(QStringList& texts) {
    const auto below = [](const QString& a, const QString& b) { return CompareText(a, b) < 0; };
    if (std::is_sorted(texts.cbegin(), texts.cend(), below))
        return;
    const bool plain =
        Cached().inC && std::all_of(texts.cbegin(), texts.cend(),
                                    [](const QString& text) { return IsAscii(text); });
    if (!plain) {
        std::stable_sort(texts.begin(), texts.end(), below);
        return;
    }
    // Every text's folded bytes in one buffer: CompareText of two plain ASCII texts is the byte
    // order of their folded forms, a shorter one first where it is the start of the other.
    std::string folded;
    struct Place {
        std::size_t at;
        std::size_t size;
        qsizetype index;
    };
    std::vector<Place> places;
    places.reserve(std::size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString& text = texts.at(i);
        places.push_back(Place{folded.size(), std::size_t(text.size()), i});
        for (const QChar c : text)
            folded.push_back(char(AsciiLower(c.unicode())));
    }
    const char* bytes = folded.data();
    std::stable_sort(places.begin(), places.end(), [bytes](const Place& a, const Place& b) {
        const int order = std::memcmp(bytes + a.at, bytes + b.at, std::min(a.size, b.size));
        return order != 0 ? order < 0 : a.size < b.size;
    });
    QStringList sorted;
    sorted.reserve(texts.size());
    for (const Place& place : places)
        sorted.append(std::move(texts[place.index]));
    texts = std::move(sorted);
}

// The C locale's collator compares the texts' characters with their case folded, while its sort
// keys would keep the case: there the folded text is the key.
TextKey::TextKey(const QString& text) {
    CachedCollator& cached = Cached();
    if (!cached.inC) {
        collated_.emplace(cached.collator.sortKey(text));
        return;
    }
    folded_ = FoldCase(text);
    const qsizetype packed = std::min<qsizetype>(folded_.size(), 4 * kHeads);
    for (qsizetype i = 0; i < packed; ++i)
        head_[i / 4] |= quint64(folded_[i].unicode()) << (16 * (3 - i % 4));
}

bool TextKey::QuickHeads(QStringView text, quint64 (&head)[kHeads]) {
    if (text.size() > 4 * kHeads || !Cached().inC)
        return false;
    quint64 packed[kHeads] = {};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == 0 || u >= 0x80)
            return false;
        packed[i / 4] |= quint64(AsciiLower(u)) << (16 * (3 - i % 4));
    }
    std::copy(std::begin(packed), std::end(packed), head);
    return true;
}

int TextKey::Compare(const TextKey& other) const {
    if (collated_ && other.collated_)
        return collated_->compare(*other.collated_);
    for (int i = 0; i < kHeads; ++i) {
        if (head_[i] != other.head_[i])
            return head_[i] < other.head_[i] ? -1 : 1;
    }
    // A text with a zero character among its first ones may tie with a shorter one.
    return folded_.compare(other.folded_);
}

void SetDefaultLocale(const QLocale& locale) {
    QLocale::setDefault(locale);
    localeGeneration.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace qv
