#include "core/comparetext.h"

#include <QCollator>
#include <QLocale>

#include <atomic>

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

    explicit CachedCollator(int g) : generation(g), collator(QLocale()) {
        collator.setCaseSensitivity(Qt::CaseInsensitive);
    }
};

} // namespace

int CompareText(const QString& a, const QString& b) {
    thread_local CachedCollator cached{localeGeneration.load(std::memory_order_acquire)};
    const int generation = localeGeneration.load(std::memory_order_acquire);
    if (cached.generation != generation)
        cached = CachedCollator(generation);
    return cached.collator.compare(a, b);
}

void SetDefaultLocale(const QLocale& locale) {
    QLocale::setDefault(locale);
    localeGeneration.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace qv
