#include "easy/usemwgfx.h"

#include "core/appstate.h"
#include "platform/drivemap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

class RecordingControl : public PictureControl {
public:
    void ShowPicture(const QImage& picture) override {
        shown = picture;
        ++calls;
    }
    QImage shown;
    int calls = 0;
};

// Pictures in one temporary folder, the temporary files of the conversion in another, so that
// a file left behind shows.
class UseMwgfxTest : public ::testing::Test {
protected:
    UseMwgfxTest() : savedTemp(qgetenv("TMPDIR")) {
        ResetAppState();
        qputenv("TMPDIR", temp.path().toLocal8Bit());
    }
    ~UseMwgfxTest() override {
        qputenv("TMPDIR", savedTemp);
        ResetAppState();
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile file(pictures.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return ToWindowsForm(file.fileName());
    }
    static QByteArray Encoded(const QImage& picture, const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(picture.save(&buffer, format)) << format;
        return bytes;
    }
    QStringList LeftInTemp() const { return QDir(temp.path()).entryList(QDir::Files); }

    QTemporaryDir pictures;
    QTemporaryDir temp;
    QByteArray savedTemp;
};

QByteArray Put32(quint32 value) {
    QByteArray bytes;
    for (int i = 0; i < 4; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
    return bytes;
}

// A plain 2 x 1 ACE texture of 24 bits: red then blue.
QByteArray SmallAce() {
    QByteArray bytes("SIMISA@@@@@@@@@@");
    for (quint32 v : {1u, 0u, 2u, 1u, 0x0Eu, 3u})
        bytes += Put32(v);
    bytes += QByteArray(128, '\0');
    for (quint32 type : {3u, 4u, 5u})
        bytes += Put32(8) + Put32(0) + Put32(type) + Put32(0);
    bytes += Put32(204);
    bytes += QByteArray("\xFF\x00\x00\x00\x00\xFF", 6);
    return bytes;
}

QByteArray ProgressiveJpeg(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x * 7, y * 5, (x ^ y) & 0xFF));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    EXPECT_TRUE(writer.write(picture));
    return bytes;
}

// The JPEG with its last scan coded again and again, as a hostile file may: the decoder takes
// each scan as one more pass over the picture.
QByteArray WithLastScanRepeated(const QByteArray& jpeg, int times) {
    const qsizetype scan = jpeg.lastIndexOf("\xFF\xDA");
    const qsizetype end = jpeg.lastIndexOf("\xFF\xD9");
    return jpeg.left(end) + jpeg.mid(scan, end - scan).repeated(times) + jpeg.mid(end);
}

} // namespace

TEST_F(UseMwgfxTest, AJpegOfFarMoreScansThanRealPicturesHoldIsNotDecoded) {
    const QByteArray small = ProgressiveJpeg(64, 48);
    const QByteArray large = ProgressiveJpeg(4096, 2048);
    const struct {
        const char* name;
        QByteArray bytes;
        bool shown;
    } cases[] = {
        {"progressive.jpg", small, true},
        {"more.jpg", WithLastScanRepeated(small, 20), true},
        {"thousands.jpg", WithLastScanRepeated(small, 3000), false},
        {"large.jpg", large, true},
        {"largemore.jpg", WithLastScanRepeated(large, 50), false},
    };
    for (const auto& c : cases) {
        RecordingControl control;
        EXPECT_EQ(ShowImageFile(&control, Write(c.name, c.bytes)), c.shown) << c.name;
        EXPECT_EQ(control.calls, c.shown ? 1 : 0) << c.name;
        EXPECT_TRUE(LeftInTemp().isEmpty()) << c.name;
    }
}

TEST_F(UseMwgfxTest, TheBuiltInLibraryIsAvailableByNameAndKeptOnceLoaded) {
    EXPECT_TRUE(IsDllAvailable(QStringLiteral("MWGFX")));
    EXPECT_FALSE(IsDllAvailable(QStringLiteral("nosuchlib")));
    const PictureLibraryModule* module = LoadPictureLibrary();
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(App().PictureLibrary, module);
    EXPECT_NE(PictureLibraryFunction(module, "_anytobmps"), nullptr);
    EXPECT_EQ(PictureLibraryFunction(module, "anytobmps"), nullptr);
    EXPECT_EQ(PictureLibraryFunction(nullptr, "_anytobmps"), nullptr);
}

TEST_F(UseMwgfxTest, EveryFormatIsShownAndLeavesNoTemporaryFile) {
    QImage source(5, 3, QImage::Format_RGB32);
    source.fill(QColor(10, 200, 30));
    struct Case {
        const char* name;
        QByteArray bytes;
        QSize size;
        QRgb firstTexel;
        bool exact;
    } cases[] = {
        {"route.png", Encoded(source, "PNG"), {5, 3}, qRgb(10, 200, 30), true},
        {"route.bmp", Encoded(source, "BMP"), {5, 3}, qRgb(10, 200, 30), true},
        {"route.jpg", Encoded(source, "JPEG"), {5, 3}, qRgb(10, 200, 30), false},
        {"route.ace", SmallAce(), {2, 1}, qRgb(255, 0, 0), true},
        {"wide.png", Encoded(source.scaled(4096, 1), "PNG"), {4096, 1}, qRgb(10, 200, 30), true},
    };
    for (const Case& c : cases) {
        RecordingControl control;
        ASSERT_TRUE(ShowImageFile(&control, Write(c.name, c.bytes))) << c.name;
        EXPECT_EQ(control.calls, 1) << c.name;
        EXPECT_EQ(control.shown.size(), c.size) << c.name;
        const QRgb texel = control.shown.pixel(0, 0);
        if (c.exact)
            EXPECT_EQ(texel, c.firstTexel) << c.name;
        else
            EXPECT_NEAR(qGreen(texel), qGreen(c.firstTexel), 8) << c.name;
        EXPECT_TRUE(LeftInTemp().isEmpty()) << c.name;
    }
}

TEST_F(UseMwgfxTest, FailuresLeaveTheControlAsItWasAndNoTemporaryFile) {
    QByteArray damagedAce = SmallAce();
    damagedAce.chop(3);
    struct Case {
        const char* name;
        QString file;
    } cases[] = {
        {"missing file", ToWindowsForm(pictures.filePath("none.png"))},
        {"not a picture", Write("notes.png", "these are words, not a picture")},
        {"damaged texture", Write("cut.ace", damagedAce)},
        {"empty file", Write("empty.jpg", QByteArray())},
        // As the texture reader, sides up to 4096.
        {"too wide", Write("wide.png", Encoded(QImage(4097, 1, QImage::Format_Mono), "PNG"))},
        {"too tall", Write("tall.png", Encoded(QImage(1, 4097, QImage::Format_Mono), "PNG"))},
    };
    for (const Case& c : cases) {
        RecordingControl control;
        EXPECT_FALSE(ShowImageFile(&control, c.file)) << c.name;
        EXPECT_EQ(control.calls, 0) << c.name;
        EXPECT_TRUE(LeftInTemp().isEmpty()) << c.name;
    }
}

TEST_F(UseMwgfxTest, NoTemporaryFolderMeansNoPicture) {
    const QString picture = Write("route.ace", SmallAce());
    qputenv("TMPDIR", QFile::encodeName(temp.filePath("missing")));
    RecordingControl control;
    EXPECT_FALSE(ShowImageFile(&control, picture));
    EXPECT_EQ(control.calls, 0);
}

TEST_F(UseMwgfxTest, ConverterWritesAWindowsBitmapOverItsTarget) {
    const QString source = Write("route.ace", SmallAce());
    const QString target = Write("out.bmp", "old");
    char buffer[kPictureWorkBufferSize] = {};
    ASSERT_NE(AnyToBmps(source.toUtf8().constData(), target.toUtf8().constData(), buffer, 0, 0), 0);
    QFile written(pictures.filePath("out.bmp"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bitmap = written.readAll();
    EXPECT_TRUE(bitmap.startsWith("BM"));
    const QImage image = QImage::fromData(bitmap, "BMP");
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(AnyToBmps(nullptr, target.toUtf8().constData(), buffer, 0, 0), 0);
}
