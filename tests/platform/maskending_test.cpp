// A mask of a star and a plain ending ("*.WAG") matches as the wildcard walk matches: the names
// that end so without regard to case, plain ASCII ones compared letter by letter.
#include "platform/winfind.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TEST(MatchesMask, AStarAndAnEndingMatchTheNamesThatEndSo) {
    struct Case {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Case cases[] = {
        {"W00001.WAG", "*.wag", true},
        {"w00001.wag", "*.WAG", true},
        {"w00001.Wag", "*.wAg", true},
        {".wag", "*.WAG", true},
        {"wag", "*.WAG", false},
        {"x.wag2", "*.WAG", false},
        {"x.wa", "*.WAG", false},
        {"x.WAG.bak", "*.WAG", false},
        {"", "*.WAG", false},
        {"ab", "*b", true},
        {"ab", "*B", true},
        {"ba", "*b", false},
        {"anything", "*", true},
        {"", "*", true},
        {"x.wag", "*.wa?", true},
        {"x.wag", "*a*", true},
        {"\u00e9.WAG", "*.wag", true},
        {"\u00e9.WAG", "*.\u00c9", false},
        {"x.\u00e9", "*.\u00c9", true},
        {"x.E", "*.\u00c9", false},
        {"x.\u212a", "*.k", true}, // a Kelvin sign folds to k
        {"x.k", "*.\u212a", true},
        {"Readme", "*.*", true},
        {"Readme", "readme.*", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesMask(S(c.name), S(c.mask)), c.matches) << c.name << " / " << c.mask;
}
