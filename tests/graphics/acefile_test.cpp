#include "graphics/acefile.h"

#include "graphics/simisfile.h"
#include "testshapes.h"

#include <gtest/gtest.h>
#include <random>

namespace qv {
namespace {

using test::Put32;

void Put64(QByteArray* bytes, quint64 value) {
    Put32(bytes, quint32(value));
    Put32(bytes, quint32(value >> 32));
}

QByteArray Header(quint32 flags, int width, int height, int format,
                  const std::vector<AceChannel>& channels) {
    QByteArray bytes;
    for (quint32 value :
         {1u, flags, quint32(width), quint32(height), quint32(format), quint32(channels.size())})
        Put32(&bytes, value);
    QByteArray text("made by a test");
    text.resize(128, '\0');
    bytes += text;
    for (const AceChannel& channel : channels) {
        Put64(&bytes, quint64(channel.bits));
        Put64(&bytes, quint64(channel.type));
    }
    return bytes;
}

// An uncompressed body: `rows` holds every row of every level, each the channel planes in order;
// the offset table is written in front of them.
QByteArray RowBody(quint32 flags, int width, int height, int format,
                   const std::vector<AceChannel>& channels, const std::vector<QByteArray>& rows) {
    QByteArray bytes = Header(flags, width, height, format, channels);
    quint32 at = quint32(bytes.size() + 4 * rows.size());
    for (const QByteArray& row : rows) {
        Put32(&bytes, at);
        at += quint32(row.size());
    }
    for (const QByteArray& row : rows)
        bytes += row;
    return bytes;
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

// A DXT1 body: one offset per level, each level its byte count and its blocks.
QByteArray DxtBody(quint32 flags, int width, int height, const std::vector<AceChannel>& channels,
                   const std::vector<QByteArray>& levels) {
    QByteArray bytes = Header(flags | kAceRawDxt, width, height, kAceFormatDxt1, channels);
    quint32 at = quint32(bytes.size() + 4 * levels.size());
    for (const QByteArray& level : levels) {
        Put32(&bytes, at);
        at += quint32(4 + level.size());
    }
    for (const QByteArray& level : levels) {
        Put32(&bytes, quint32(level.size()));
        bytes += level;
    }
    return bytes;
}

QByteArray Block(quint16 c0, quint16 c1, quint32 indexes) {
    QByteArray bytes;
    bytes.append(char(c0 & 0xFF)).append(char(c0 >> 8));
    bytes.append(char(c1 & 0xFF)).append(char(c1 >> 8));
    Put32(&bytes, indexes);
    return bytes;
}

QByteArray Plain(const QByteArray& body) {
    return "SIMISA@@@@@@@@@@" + body;
}

using Texel = std::array<int, 4>;

Texel At(const AceTexture& texture, int x, int y) {
    const auto* p = reinterpret_cast<const uchar*>(texture.rgba.constData()) +
                    (qsizetype(y) * texture.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

const std::vector<AceChannel> kRgb = {{8, 3}, {8, 4}, {8, 5}};
const std::vector<AceChannel> kRgbMask = {{8, 3}, {8, 4}, {8, 5}, {1, 2}};
const std::vector<AceChannel> kRgba = {{8, 3}, {8, 4}, {8, 5}, {8, 6}};

// Red and blue in RGB565.
constexpr quint16 kRed = 0xF800, kBlue = 0x001F;

// A test file and what it must give: texels as x, y, red, green, blue, alpha.
struct Variant {
    const char* name;
    QByteArray body;
    int width, height;
    bool hasAlpha;
    std::vector<std::array<int, 6>> texels;
};

void Add(std::vector<Variant>* variants, const char* name, const QByteArray& body, int width,
         int height, bool hasAlpha, std::vector<std::array<int, 6>> texels) {
    variants->push_back({name, body, width, height, hasAlpha, std::move(texels)});
}

std::vector<Variant> Variants() {
    std::vector<Variant> v;
    Add(&v, "24-bit",
        RowBody(
            0, 3, 2, kAceFormatRgb, kRgb,
            {Bytes({1, 2, 3, 10, 20, 30, 100, 200, 250}), Bytes({4, 5, 6, 40, 50, 60, 7, 8, 9})}),
        3, 2, false, {{0, 0, 1, 10, 100, 255}, {2, 0, 3, 30, 250, 255}, {1, 1, 5, 50, 8, 255}});
    // Ten texels wide: the mask takes two bytes, the most significant bit first.
    const QByteArray ramp = Bytes({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    Add(&v, "24-bit with mask",
        RowBody(0, 10, 1, kAceFormatRgbMask, kRgbMask, {ramp + ramp + ramp + Bytes({0xA0, 0xC0})}),
        10, 1, true,
        {{0, 0, 0, 0, 0, 255},
         {1, 0, 1, 1, 1, 0},
         {2, 0, 2, 2, 2, 255},
         {7, 0, 7, 7, 7, 0},
         {8, 0, 8, 8, 8, 255},
         {9, 0, 9, 9, 9, 255}});
    Add(&v, "32-bit",
        RowBody(0, 2, 1, kAceFormatRgba, kRgba, {Bytes({11, 12, 21, 22, 31, 32, 0, 128})}), 2, 1,
        true, {{0, 0, 11, 21, 31, 0}, {1, 0, 12, 22, 32, 128}});
    // 4 x 4 with its 2 x 2 and 1 x 1 levels: seven rows; only the first four make the picture.
    std::vector<QByteArray> rows;
    for (int y = 0; y < 4; ++y)
        rows.push_back(Bytes({y, y, y, y, 50, 51, 52, 53, 9, 9, 9, 9}));
    rows.insert(rows.end(), {QByteArray(6, 'c'), QByteArray(6, 'c'), QByteArray(3, 'c')});
    Add(&v, "24-bit with mipmaps", RowBody(kAceHasMipmaps, 4, 4, kAceFormatRgb, kRgb, rows), 4, 4,
        false, {{0, 0, 0, 50, 9, 255}, {3, 3, 3, 53, 9, 255}});
    // Four colours (c0 > c1): texel n of the first row takes index n.
    Add(&v, "DXT1 four colours", DxtBody(0, 4, 4, kRgb, {Block(kRed, kBlue, 0xE4)}), 4, 4, false,
        {{0, 0, 255, 0, 0, 255},
         {1, 0, 0, 0, 255, 255},
         {2, 0, 170, 0, 85, 255},
         {3, 0, 85, 0, 170, 255},
         {3, 3, 255, 0, 0, 255}});
    // Three colours (c0 <= c1) with a mask channel: index 3 is transparent black. Two blocks
    // across, the smaller levels after the first.
    Add(&v, "DXT1 three colours with alpha and mipmaps",
        DxtBody(kAceHasMipmaps, 8, 4, kRgbMask,
                {Block(kBlue, kRed, 0xE4) + Block(0xFFFF, 0xFFFF, 0xC0000000), Block(0, 0, 0),
                 Block(0, 0, 0), Block(0, 0, 0)}),
        8, 4, true,
        {{0, 0, 0, 0, 255, 255},
         {1, 0, 255, 0, 0, 255},
         {2, 0, 127, 0, 127, 255},
         {3, 0, 0, 0, 0, 0},
         {4, 0, 255, 255, 255, 255},
         {7, 3, 0, 0, 0, 0}});
    Add(&v, "DXT1 three colours without alpha", DxtBody(0, 4, 4, kRgb, {Block(kBlue, kRed, 0xC0)}),
        4, 4, false, {{3, 0, 0, 0, 0, 255}, {0, 1, 0, 0, 255, 255}});
    // Three by three: one block, of which the last row and column are left out.
    Add(&v, "DXT1 smaller than a block", DxtBody(0, 3, 3, kRgb, {Block(kRed, kBlue, 0x00550000)}),
        3, 3, false, {{0, 2, 0, 0, 255, 255}, {2, 1, 255, 0, 0, 255}});
    return v;
}

void ExpectDecodes(const Variant& v, const QByteArray& file) {
    AceTexture texture;
    QString error;
    ASSERT_TRUE(ReadAceTexture(file, &texture, &error)) << v.name << ": " << error.toStdString();
    EXPECT_EQ(texture.width, v.width) << v.name;
    EXPECT_EQ(texture.height, v.height) << v.name;
    EXPECT_EQ(texture.hasAlpha, v.hasAlpha) << v.name;
    ASSERT_EQ(texture.rgba.size(), qsizetype(v.width) * v.height * 4) << v.name;
    for (const auto& t : v.texels)
        EXPECT_EQ(At(texture, t[0], t[1]), (Texel{t[2], t[3], t[4], t[5]}))
            << v.name << " at " << t[0] << "," << t[1];
}

// A file that reads must give a whole picture; one that does not must say why.
void ExpectEndsCleanly(const QByteArray& file, const char* name) {
    AceTexture texture;
    QString error;
    if (ReadAceTexture(file, &texture, &error)) {
        ASSERT_TRUE(texture.width >= 1 && texture.width <= kMaxAceSide) << name;
        ASSERT_EQ(texture.rgba.size(), qsizetype(texture.width) * texture.height * 4) << name;
    } else {
        ASSERT_FALSE(error.isEmpty()) << name;
        ASSERT_TRUE(texture.rgba.isEmpty()) << name;
    }
}

} // namespace

TEST(AceFileTest, EveryVariantDecodesToItsTexelsPlainAndCompressed) {
    for (const Variant& v : Variants()) {
        ExpectDecodes(v, Plain(v.body));
        ExpectDecodes(v, test::Compress(v.body));
    }
}

TEST(AceFileTest, RealCompressedTextureDecodes) {
    AceTexture texture;
    QString error;
    ASSERT_TRUE(ReadAceTexture(test::RealShape("woda.ace"), &texture, &error))
        << error.toStdString();
    EXPECT_EQ(texture.width, 512);
    EXPECT_EQ(texture.height, 512);
    EXPECT_EQ(texture.surfaceFormat, kAceFormatRgb);
    EXPECT_FALSE(texture.hasAlpha);
    // Read by hand from the inflated file: row 1 starts at byte 2248 of the body, its red plane
    // 69 65 61 57, green 102 98 94 90, blue 114 110 106 103.
    EXPECT_EQ(At(texture, 0, 0), (Texel{69, 102, 114, 255}));
    EXPECT_EQ(At(texture, 3, 0), (Texel{57, 90, 103, 255}));
}

TEST(AceFileTest, DamagedHeadersAreRefusedWithAReason) {
    const QByteArray good = RowBody(0, 1, 1, kAceFormatRgb, kRgb, {Bytes({1, 2, 3})});
    auto changed = [&](int at, quint32 value) {
        QByteArray bytes = good;
        QByteArray word;
        Put32(&word, value);
        bytes.replace(at, 4, word);
        return bytes;
    };
    const QByteArray oversized = RowBody(0, 5000, 1, kAceFormatRgb, kRgb, {});
    // 4096 rows all at one row: the file is far too small to hold the picture.
    QByteArray shared = Header(0, 4096, 4096, kAceFormatRgb, kRgb);
    for (int y = 0; y < 4096; ++y)
        Put32(&shared, quint32(200 + 4 * 4096));
    shared += QByteArray(3 * 4096, 'x');
    struct Case {
        const char* name;
        QByteArray body;
    } cases[] = {
        {"not starting with 1", changed(0, 2)},
        {"zero width", changed(8, 0)},
        {"negative height", changed(12, 0xFFFFFFFF)},
        {"too wide", oversized},
        {"unknown format", changed(16, 0x30)},
        {"no channels", changed(20, 0)},
        {"huge channel count", changed(20, 0x7FFFFFFF)},
        {"bad bit count", changed(152, 7)},
        {"unknown channel type", changed(160, 9)},
        {"row before the table", changed(200, 4)},
        {"row past the end", changed(200, 0xFFFFFFF0)},
        {"DXT flag on a colour format", changed(4, kAceRawDxt)},
        {"DXT format without its flag", changed(16, kAceFormatDxt1)},
        {"rows sharing one offset", shared},
        {"DXT level too small", DxtBody(0, 8, 8, kRgb, {Block(0, 0, 0)})},
    };
    for (const Case& c : cases) {
        AceTexture texture;
        QString error;
        EXPECT_FALSE(ReadAceBody(c.body, &texture, &error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_TRUE(texture.rgba.isEmpty()) << c.name;
    }
}

TEST(AceFileTest, EveryTruncationAndRandomChangeEndsCleanly) {
    std::mt19937 random(25);
    for (const Variant& v : Variants()) {
        for (const QByteArray& file : {Plain(v.body), test::Compress(v.body)}) {
            for (qsizetype n = 0; n < file.size(); ++n)
                ExpectEndsCleanly(file.left(n), v.name);
            for (int i = 0; i < 400; ++i) {
                QByteArray bytes = file;
                const int changes = 1 + int(random() % 4);
                for (int k = 0; k < changes; ++k)
                    bytes[qsizetype(random() % quint32(bytes.size()))] = char(random());
                ExpectEndsCleanly(bytes, v.name);
            }
        }
    }
}

TEST(AceFileTest, DamagedRealTextureEndsCleanly) {
    SimisBody body;
    QString error;
    ASSERT_TRUE(ReadSimisBody(test::RealShape("woda.ace"), &body, &error));
    const QByteArray real = body.Body().toByteArray();
    std::mt19937 random(512);
    for (qsizetype n = 0; n < real.size(); n += 4093)
        ExpectEndsCleanly(Plain(real.left(n)), "cut real texture");
    // Changes in the header and the row table, where they matter most, and anywhere else.
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes = real;
        const quint32 span = i % 2 ? quint32(bytes.size()) : 2248u;
        bytes[qsizetype(random() % span)] = char(random());
        ExpectEndsCleanly(Plain(bytes), "changed real texture");
    }
}

} // namespace qv
