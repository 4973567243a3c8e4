// The quick readers of plain numbers in shape text: each gives exactly what the general
// conversion gives, and leaves every other form to it.
#include "graphics/shapenumbers.h"
#include "graphics/shapereader.h"
#include "testshapes.h"

#include <QRandomGenerator>
#include <charconv>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace qv {
namespace {

using namespace qv::test;

std::u16string Utf16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// What the quick reader makes of the whole word: true with the value when it read all of it.
// The word is read alone and again followed by more text, which the readers take another way
// (no look at the end for each digit): both must agree.
template <typename T, typename Read> bool ReadsWhole(Read read, const std::string& word, T* value) {
    const std::u16string text = Utf16(word);
    const char16_t* end = text.data() + text.size();
    const bool alone = read(text.data(), end, value) == end;
    const std::u16string followed = Utf16(word + " 123456789012345678901234567890");
    T followedValue = *value;
    const bool inText = read(followed.data(), followed.data() + followed.size(), &followedValue) ==
                        followed.data() + text.size();
    EXPECT_EQ(alone, inText) << word;
    if (alone && inText) {
        EXPECT_EQ(std::memcmp(value, &followedValue, sizeof followedValue), 0) << word;
    }
    return alone;
}

TEST(ShapeNumbersTest, PlainFormsAreReadAndOthersLeftAlone) {
    struct Case {
        const char* word;
        bool plain;
    };
    const Case ints[] = {{"0", true},          {"-12", true},         {"000000007", true},
                         {"999999999", true},  {"1234567890", false}, {"-", false},
                         {"+5", false},        {"", false},           {"--5", false},
                         {"-999999999", true}, {"0000000001", false}, {"12a", false}};
    for (const Case& c : ints) {
        qint32 value = -1;
        EXPECT_EQ(ReadsWhole(PlainInt, c.word, &value), c.plain) << c.word;
        if (c.plain) {
            EXPECT_EQ(value, std::stoi(c.word)) << c.word;
        }
    }
    const Case hexes[] = {{"ff969696", true},  {"FF808080", true},   {"0", true},
                          {"0123abCD", true},  {"fedcba98", true},   {"12345g78", false},
                          {"1234567/", false}, {"@0000000", false},  {"0000000G", false},
                          {"ffffffff", true},  {"123456789", false}, {"-1", false},
                          {"", false}};
    for (const Case& c : hexes) {
        quint32 value = 1;
        EXPECT_EQ(ReadsWhole(PlainHex, c.word, &value), c.plain) << c.word;
        if (c.plain) {
            EXPECT_EQ(value, quint32(std::stoul(c.word, nullptr, 16))) << c.word;
        }
    }
    const Case floats[] = {{"75.1042", true},
                           {"-0.020043", true},
                           {"+2", true},
                           {"-0", true},
                           {"16777216", true},
                           {"16777217", false},
                           {"1e5", true},
                           {"5.", false},
                           {".5", false},
                           {"0.12345678901", false},
                           {"3.14159265358979", false},
                           // Exponents: the power of ten left after the point's digits is at
                           // most ten either way.
                           {"-3.8e-005", true},
                           {"1.5E+3", true},
                           {"16777.216e-6", true},
                           {"2.5e-9", true},
                           {"2.5e-10", false},
                           {"1e10", true},
                           {"1e11", false},
                           {"-0e5", true},
                           {"1e", false},
                           {"1e+", false},
                           {"1e-00005", false},
                           {"1.2e3.4", false},
                           {"e5", false},
                           // Many digits: leading zeros, and more than the quick way reads.
                           {"0000000000000000000000001.5", true},
                           {"1677721.6", true},
                           {"16777216.0", false},
                           {"0.0000000001", true},
                           {"123456789012345678901234", false},
                           {"1234567890123456789.5", false}};
    for (const Case& c : floats) {
        float value = 0;
        EXPECT_EQ(ReadsWhole(PlainFloat, c.word, &value), c.plain) << c.word;
        if (c.plain) {
            float expected = 0;
            const char* from = c.word[0] == '+' ? c.word + 1 : c.word;
            std::from_chars(from, c.word + std::strlen(c.word), expected);
            EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << c.word;
        }
    }
}

// Random decimals in the forms shapes are written in: the quick reader, where it reads one,
// gives the very float the general conversion gives.
TEST(ShapeNumbersTest, PlainDecimalsGiveTheNearestFloat) {
    QRandomGenerator random(25);
    int read = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string word = random.bounded(2) ? "-" : "";
        word += std::to_string(random.bounded(100000));
        const int decimals = random.bounded(11);
        if (decimals > 0) {
            word += '.';
            for (int d = 0; d < decimals; ++d)
                word += char('0' + random.bounded(10));
        }
        if (random.bounded(4) == 0) {
            word += 'e';
            word += std::to_string(int(random.bounded(25)) - 12);
        }
        float quick = 0;
        if (!ReadsWhole(PlainFloat, word, &quick))
            continue;
        ++read;
        float expected = 0;
        std::from_chars(word.data(), word.data() + word.size(), expected);
        ASSERT_EQ(std::memcmp(&quick, &expected, sizeof quick), 0) << word;
    }
    // Those with too many digits for the quick reader are left out; most are not.
    EXPECT_GT(read, 50000);
}

// Numbers a tool may write in other forms, and block names in capitals, read as before.
TEST(ShapeNumbersTest, OddFormsInAShapeReadAsTheGeneralConversionReadsThem) {
    QString text = WriteText(SyntheticShape());
    ReplaceOnce(&text, "point ( 1 0 0 )", "POINT ( 1.5e1 +2 -0.1234567891234 )");
    ReplaceOnce(&text, "vertex ( 00000000 2 0", "Vertex ( 00000000 0000000002 0");
    ReplaceOnce(&text, "ff969696", "FF969696");
    ShapeModel model;
    QString error;
    ASSERT_TRUE(ReadShapeBytes(TextShapeFile(text), &model, &error)) << error.toStdString();
    ASSERT_FALSE(model.points.empty());
    EXPECT_EQ(model.points[1].x, 15.0f);
    EXPECT_EQ(model.points[1].y, 2.0f);
    EXPECT_EQ(model.points[1].z, -0.1234567891234f);
    const std::vector<ShapeVertex>& vertices = model.distanceLevels.at(0).subObjects.at(0).vertices;
    EXPECT_EQ(vertices.at(2).point, 2);
    EXPECT_EQ(vertices.at(0).colour1, 0xff969696u);
}

} // namespace
} // namespace qv
