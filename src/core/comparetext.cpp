#include "core/comparetext.h"

#include <QCollator>
#include <QLocale>

namespace qv {

namespace {

// A collator is far cheaper to reuse than to set up, and sorts of tens of thousands of names
// call this millions of times, so each thread keeps one. It is made again when the default
// locale changes (a language change may set it). QCollator is not safe to share between threads.
struct CachedCollator {
    QLocale locale;
    QCollator collator;

    explicit CachedCollator(const QLocale& l) : locale(l), collator(l) {
        collator.setCaseSensitivity(Qt::CaseInsensitive);
    }
};

} // namespace

int CompareText(const QString& a, const QString& b) {
    thread_local CachedCollator cached{QLocale()};
    const QLocale current;
    if (cached.locale != current)
        cached = CachedCollator(current);
    return cached.collator.compare(a, b);
}

} // namespace qv
