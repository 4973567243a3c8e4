// A vehicle reference is cut into folder and file without a copy of each part: the path is the
// one the parts cut as texts of their own give, for every shape of reference.
#include "catalogue/consistreader.h"
#include "catalogue/mststext.h"
#include "core/regsettings.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

// The reference cut into texts of their own, part by part.
QString ByCopies(const QString& value, bool engine) {
    QString file;
    QString folder;
    if (!value.startsWith(u'"')) {
        const qsizetype blank = FindBlank(value);
        if (blank < 0) {
            folder = StripQuotes(value);
        } else {
            file = StripQuotes(value.left(blank));
            folder = StripQuotes(TrimText(value.mid(blank + 1)));
        }
    } else {
        qsizetype close = -1;
        for (qsizetype i = 1; i + 1 < value.size() && close < 0; ++i) {
            if (value[i] == u'"' && IsBlank(value[i + 1]))
                close = i;
        }
        if (close < 0) {
            folder = StripQuotes(value);
        } else {
            file = TrimText(value.mid(1, close - 1));
            folder = StripQuotes(TrimText(value.mid(close + 2)));
        }
    }
    file += engine ? QStringLiteral(".ENG") : QStringLiteral(".WAG");
    return folder + u'\\' + file;
}

} // namespace

TEST(StockDataPathViews, CutsEveryShapeOfReferenceAsCopiesOfItsPartsWould) {
    const char* values[] = {"Dash9 Dash9",
                            "ffVIA \"DSB IC3 VIA\"",
                            "\"My Loco\" \"My Folder\"",
                            "\"My Loco\"  \"My Folder\"",
                            "coach\tCoaches",
                            "\"a b\"\tCoaches",
                            "lonely",
                            "\"lonely\"",
                            "\"",
                            "\"\"",
                            "\"\" x",
                            "\" \"",
                            "\"a\" ",
                            "\"a\"  ",
                            "a ",
                            "a  ",
                            " a",
                            "\"open folder",
                            "\"a\" \"b",
                            "\"a\" b\"",
                            "x \"\"",
                            "x \"",
                            "x  \t b c ",
                            "\"q\"x\" y",
                            "",
                            "\u00e9l\u00e9 \u00c9t\u00e9"};
    for (const char* text : values) {
        const QString value = QString::fromUtf8(text);
        for (const bool engine : {true, false})
            EXPECT_EQ(StockDataPath(value, engine), ByCopies(value, engine)) << text;
    }
}
