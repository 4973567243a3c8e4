#include "graphics/simisfile.h"
#include "testshapes.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

QByteArray Utf16(const QString& text, bool mark) {
    return (mark ? QByteArray("\xFF\xFE", 2) : QByteArray()) + EncodeUtf16Le(text);
}

} // namespace

TEST(SimisFileTest, EveryFormGivesTheBodyAfterTheSignature) {
    const QByteArray binary("JINX0s1b______\r\n\x47\x00", 18);
    struct Case {
        const char* name;
        QByteArray file;
        QByteArray body;
        bool utf16;
    } cases[] = {
        {"plain binary", "SIMISA@@@@@@@@@@" + binary, binary, false},
        {"compressed binary", test::Compress(binary), binary, false},
        {"utf-16 text", Utf16("SIMISA@@@@@@@@@@JINX0s1t______\r\n(", true),
         Utf16("JINX0s1t______\r\n(", false), true},
        {"compressed text with mark", test::Compress(Utf16("JINX0s1t______\r\n", true)),
         Utf16("JINX0s1t______\r\n", false), true},
        {"compressed text without mark", test::Compress(Utf16("JINX0s1t______\r\n", false)),
         Utf16("JINX0s1t______\r\n", false), true},
    };
    for (const Case& c : cases) {
        SimisBody body;
        QString error;
        ASSERT_TRUE(ReadSimisBody(c.file, &body, &error)) << c.name << ": " << error.toStdString();
        EXPECT_EQ(body.Body(), c.body) << c.name;
        EXPECT_EQ(body.utf16, c.utf16) << c.name;
    }
}

TEST(SimisFileTest, RefusesWhatIsNoSimisFileOrDoesNotInflate) {
    QByteArray damaged = test::Compress(QByteArray(1000, 'x'));
    damaged[30] = char(damaged[30] ^ 0x55);
    damaged.chop(5);
    const QByteArray cases[] = {QByteArray(), QByteArray("SIMISA@@"), QByteArray("JINX0s1b"),
                                Utf16("SIMISA@@@@", true), damaged};
    for (const QByteArray& file : cases) {
        SimisBody body;
        QString error;
        EXPECT_FALSE(ReadSimisBody(file, &body, &error)) << file.toHex().toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(body.Body().isEmpty());
    }
}

} // namespace qv
