// The quick ways an ini is read by gives what the long ways give: IniFile::ToInteger reads plain
// decimal numbers by itself, every text as the library's conversions read it, at both ends of the
// integer range and past them; a file of plain ASCII is read without the code page's table.
#include "platform/inifile.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

// The reading as the library's conversions make it.
int LibraryInteger(QStringView text, int defaultValue) {
    bool ok = false;
    int value = 0;
    if (text.size() > 2 && text.startsWith(u"0x", Qt::CaseInsensitive))
        value = static_cast<int>(text.sliced(2).toUInt(&ok, 16));
    else if (text.size() > 1 && text.startsWith(u'$'))
        value = static_cast<int>(text.sliced(1).toUInt(&ok, 16));
    else
        value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

} // namespace

TEST(IniToInteger, ReadsEveryTextAsTheLibraryConversionsRead) {
    const char* texts[] = {"0",
                           "7",
                           "-7",
                           "-0",
                           "00012",
                           "1493201234",
                           "2147483647",
                           "2147483648",
                           "-2147483648",
                           "-2147483649",
                           "9999999999",
                           "-9999999999",
                           "12345678901",
                           "0000000000001",
                           "",
                           "-",
                           "--1",
                           "+7",
                           " 7",
                           "7 ",
                           "12a",
                           "1.5",
                           "0x1F",
                           "0X1f",
                           "0x",
                           "$10",
                           "$FFFFFFFF",
                           "$",
                           "x"};
    for (const char* text : texts) {
        const QString value = QString::fromLatin1(text);
        EXPECT_EQ(IniFile::ToInteger(value, -99), LibraryInteger(value, -99)) << text;
        EXPECT_EQ(IniFile::ToInteger(value, 5), LibraryInteger(value, 5)) << text;
    }
    // Digits of another script are the library's to read.
    const QString arabic = QString(QChar(0x0661)) + QChar(0x0662);
    EXPECT_EQ(IniFile::ToInteger(arabic, -1), LibraryInteger(arabic, -1));
}

// A file of plain ASCII is read without the code page's table: it reads as the same bytes read
// through the table, and a file with one byte beyond ASCII anywhere is read through the table.
TEST(IniFromBytes, PlainAsciiReadsAsThroughTheCodePage) {
    QByteArray plain = "[Sec]\r\nName=W00001\r\nFileDate=1493201234\r\n\r\n[B]\r\nk=v\r\n";
    for (int i = 0; i < 20; ++i)
        plain += "[S" + QByteArray::number(i) + "]\r\nPType=" + QByteArray::number(i) + "\r\n";
    const IniFile ascii = IniFile::FromBytes(plain);
    EXPECT_EQ(ascii.ReadString("Sec", "Name", QString()), QStringLiteral("W00001"));
    EXPECT_EQ(ascii.ReadInteger("S19", "PType", -1), 19);
    // The same file with a byte beyond ASCII at its start, in its middle and at its end.
    for (const qsizetype at : {qsizetype(8), plain.size() / 2, plain.size() - 3}) {
        QByteArray other = plain;
        other.insert(at, "\xE9");
        const IniFile read = IniFile::FromBytes(other);
        EXPECT_TRUE(read.ToBytes().contains("\xE9")) << at; // the byte is é, written back
    }
    EXPECT_EQ(ascii.ToBytes(), IniFile::FromBytes(ascii.ToBytes()).ToBytes());
}
