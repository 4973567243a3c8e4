#include "platform/mstsfile.h"

#include "fixtures/tempmsts.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace qv;

namespace {

// A header line and a value with letters outside Latin-1, so that a wrong byte order or code page
// cannot go unnoticed.
const QString kSample = QStringLiteral("SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n"
                                       "Train (\r\n\tName ( \"Ærø Ω Łódź 東京\" )\r\n)\r\n");

QByteArray Utf16(const QString& text, bool bigEndian) {
    QByteArray bytes;
    for (QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low);
        bytes.append(bigEndian ? low : high);
    }
    return bytes;
}

QByteArray Utf16LeWithMark(const QString& text) {
    return QByteArray("\xFF\xFE", 2) + Utf16(text, false);
}

QByteArray Compressed(const QByteArray& content, quint32 declaredLength,
                      int level = Z_DEFAULT_COMPRESSION) {
    uLongf size = compressBound(uLong(content.size()));
    QByteArray stream(qsizetype(size), '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(stream.data()), &size,
                        reinterpret_cast<const Bytef*>(content.constData()), uLong(content.size()),
                        level),
              Z_OK);
    stream.truncate(qsizetype(size));
    QByteArray file("SIMISA@F");
    for (int shift = 0; shift < 32; shift += 8)
        file.append(char((declaredLength >> shift) & 0xFF));
    return file + "@@@@" + stream;
}

QByteArray Compressed(const QByteArray& content) {
    return Compressed(content, quint32(content.size()));
}

QString Decoded(const QByteArray& bytes) {
    QString text;
    EXPECT_TRUE(DecodeMstsText(bytes, &text));
    return text;
}

} // namespace

TEST(DecodeMstsText, ReadsUtf16WithEitherMarkAndDropsTheMark) {
    EXPECT_EQ(Decoded(Utf16LeWithMark(kSample)), kSample);
    EXPECT_EQ(Decoded(QByteArray("\xFE\xFF", 2) + Utf16(kSample, true)), kSample);
}

TEST(DecodeMstsText, TellsUtf16ByteOrderWithoutAMarkFromItsZeroBytes) {
    EXPECT_EQ(Decoded(Utf16(kSample, false)), kSample);
    EXPECT_EQ(Decoded(Utf16(kSample, true)), kSample);
}

TEST(DecodeMstsText, ReadsUnmarkedEightBitTextAsWindows1252) {
    // 0x80 is the euro sign in Windows-1252 (not a control character as in Latin-1).
    const QByteArray bytes("SIMISA@@@@@@@@@@JINX0D0t______\r\nName ( \"\x80 \xC6r\xF8\" )\r\n");
    EXPECT_EQ(Decoded(bytes), QStringLiteral("SIMISA@@@@@@@@@@JINX0D0t______\r\n"
                                             "Name ( \"€ Ærø\" )\r\n"));
}

TEST(DecodeMstsText, ReadsUtf8WithAMark) {
    EXPECT_EQ(Decoded(QByteArray("\xEF\xBB\xBF") + kSample.toUtf8()), kSample);
}

TEST(DecodeMstsText, ToleratesAnEmptyFileAndADanglingOddByte) {
    QString text = QStringLiteral("stale");
    EXPECT_TRUE(DecodeMstsText(QByteArray(), &text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(Decoded(Utf16LeWithMark(QStringLiteral("Name ( x )")) + 'Z'),
              QStringLiteral("Name ( x )"));
}

TEST(DecodeMstsText, InflatesCompressedFilesWhateverTheirInnerEncoding) {
    EXPECT_EQ(Decoded(Compressed(Utf16(kSample, false))), kSample);
    EXPECT_EQ(Decoded(Compressed(Utf16LeWithMark(kSample))), kSample);
    EXPECT_EQ(Decoded(Compressed(QByteArray("SIMISA@@@@@@@@@@JINX0D0t______\r\nName ( \xE6 )"))),
              QStringLiteral("SIMISA@@@@@@@@@@JINX0D0t______\r\nName ( æ )"));
}

TEST(DecodeMstsText, TakesTheDeclaredLengthOnlyAsAHint) {
    // A header that claims 4 GiB must neither be believed nor refuse the real content.
    EXPECT_EQ(Decoded(Compressed(Utf16(kSample, false), 0xFFFFFFFFu)), kSample);
    EXPECT_EQ(Decoded(Compressed(Utf16(kSample, false), 3)), kSample);
}

TEST(DecodeMstsText, RefusesACompressedFileThatDoesNotInflate) {
    QByteArray damaged = Compressed(Utf16(kSample, false));
    damaged[20] = char(damaged[20] ^ 0x55);
    damaged[21] = char(damaged[21] ^ 0x55);
    QString text = QStringLiteral("stale");
    EXPECT_FALSE(DecodeMstsText(damaged, &text));
    EXPECT_TRUE(text.isEmpty());

    const QByteArray whole = Compressed(Utf16(kSample, false));
    EXPECT_FALSE(DecodeMstsText(whole.left(whole.size() - 6), &text)) << "truncated stream";
    EXPECT_FALSE(DecodeMstsText(whole.left(18), &text)) << "nothing after the stream header";
}

TEST(InflateMstsFile, TakesUpToTheCapAndRefusesOneByteMoreWhateverTheHeaderSays) {
    const QByteArray content(100000, ' ');
    const struct {
        qsizetype cap;
        quint32 declared;
        bool inflates;
    } cases[] = {
        {100000, 100000, true},      {99999, 100000, false}, {99999, 10, false},
        {99999, 0xFFFFFFFFu, false}, {100000, 10, true},     {1 << 20, 0xFFFFFFFFu, true},
    };
    for (const auto& c : cases) {
        QByteArray inflated("stale");
        EXPECT_EQ(InflateMstsFile(Compressed(content, c.declared), &inflated, c.cap), c.inflates)
            << c.cap << " " << c.declared;
        EXPECT_EQ(inflated, c.inflates ? content : QByteArray());
    }
    QByteArray inflated;
    EXPECT_FALSE(InflateMstsFile(content, &inflated, 1 << 20)) << "not compressed";
}

TEST(DecodeMstsText, RefusesAFileThatInflatesBeyondAnyRealTextFile) {
    // A few kilobytes that would inflate to more than any real MSTS text file holds.
    QString text;
    EXPECT_FALSE(DecodeMstsText(Compressed(QByteArray(kMaxInflatedTextSize + 1, ' ')), &text));
    EXPECT_TRUE(text.isEmpty());
}

QByteArray Noise(qsizetype size) {
    QByteArray noise(size, '\0'); // as good as incompressible
    QRandomGenerator(1).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    return noise;
}

// Real text shrinks to a twentieth at best: a small file may grow to the floor, a larger one to
// its share of its own stream (bytes after it not counted), and a file of under a megabyte never
// beyond the largest real file.
TEST(DecodeMstsText, RefusesAFileThatInflatesFarBeyondItsOwnSize) {
    const QByteArray noise = Noise(64 * 1024);
    QString text;
    EXPECT_TRUE(DecodeMstsText(Compressed(QByteArray(kMinInflatedTextLimit, ' ')), &text));
    EXPECT_FALSE(DecodeMstsText(Compressed(QByteArray(kMinInflatedTextLimit + 1, ' ')), &text));
    EXPECT_TRUE(DecodeMstsText(Compressed(noise + QByteArray(1 << 20, ' ')), &text));
    EXPECT_FALSE(DecodeMstsText(Compressed(noise + QByteArray(4 << 20, ' ')), &text));
    for (const QByteArray& file : {Compressed(QByteArray(2 << 20, ' ')) + Noise(128 * 1024),
                                   Compressed(Noise(256 * 1024) + QByteArray(16 << 20, ' '))}) {
        ASSERT_LT(file.size(), 1 << 20);
        EXPECT_FALSE(DecodeMstsText(file, &text)) << text.size();
    }
}

// The largest real MSTS text file, deflated as far as zlib goes, still reads as it stands.
TEST(DecodeMstsText, TheLargestRealTextFileReadsWhenCompressed) {
    QFile file(QStringLiteral(QUARVEL_REALDATA_DIR "/dk24/GLOBAL/tsection.dat"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray plain = file.readAll();
    const QByteArray compressed = Compressed(plain, quint32(plain.size()), Z_BEST_COMPRESSION);
    ASSERT_GT(plain.size(), 20 * (compressed.size() - 16)) << "deflates 20-fold";
    QString text;
    ASSERT_TRUE(DecodeMstsText(compressed, &text));
    EXPECT_EQ(text, Decoded(plain));
}

TEST(DecodeMstsText, TextWhoseHeaderMerelyReadsSimisaAtFIsNotInflated) {
    const QString header = QStringLiteral("SIMISA@F@@@@@@@@JINX0D0t______\r\nName ( x )\r\n");
    EXPECT_EQ(Decoded(Utf16LeWithMark(header)), header);
    EXPECT_EQ(Decoded(header.toLatin1()), header);
}

TEST(ReadMstsTextFile, FindsTheFileByItsWindowsPathInAnyLetterCase) {
    TempMsts drive;
    drive.MakeFile(QStringLiteral("MSTS/Trains/Consists/X.CON"), Utf16LeWithMark(kSample));
    QString text;
    EXPECT_TRUE(ReadMstsTextFile(QStringLiteral("C:\\msts\\TRAINS\\consists\\x.con"), &text));
    EXPECT_EQ(text, kSample);
    EXPECT_FALSE(ReadMstsTextFile(QStringLiteral("C:\\msts\\TRAINS\\consists\\y.con"), &text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(ReadMstsTextFile(QStringLiteral("C:\\msts\\TRAINS\\consists"), &text))
        << "a folder is not a file";
}

TEST(ReadMstsTextHostFile, FailsForAMissingFile) {
    QTemporaryDir dir;
    QString text;
    EXPECT_FALSE(ReadMstsTextHostFile(dir.filePath(QStringLiteral("absent.con")), &text));
    EXPECT_FALSE(ReadMstsTextHostFile(dir.path(), &text)) << "a folder is not a file";
}

TEST(ReadMstsTextHostFile, DecodesEveryRealRouteFileToItsHeader) {
    const QString root = QStringLiteral(QUARVEL_REALDATA_DIR "/dk24");
    ASSERT_TRUE(QDir(root).exists()) << root.toStdString();
    int files = 0;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QString text;
        ASSERT_TRUE(ReadMstsTextHostFile(path, &text)) << path.toStdString();
        // Open Rails' own TSECTION.DAT files are include files without the MSTS header.
        if (path.contains(QStringLiteral("/OPENRAILS/")))
            EXPECT_TRUE(text.trimmed().startsWith(QStringLiteral("include"))) << path.toStdString();
        else
            EXPECT_TRUE(text.startsWith(QStringLiteral("SIMISA"))) << path.toStdString();
        ++files;
    }
    EXPECT_GT(files, 400);

    QString route;
    ASSERT_TRUE(ReadMstsTextHostFile(root + QStringLiteral("/ROUTES/OR_DK24/DK24.trk"), &route));
    EXPECT_TRUE(route.contains(QStringLiteral("Høje Taastrup")));
}
