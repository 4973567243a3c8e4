// Malformed shapes: each fault is refused with a reason that names it; truncations and random
// byte changes of every test file end cleanly, and whatever still loads can be walked.
#include "graphics/shapereader.h"
#include "testshapes.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace qv {
namespace {

using namespace qv::test;

// Touches every index the way a renderer would, with checked access: a fault the reader let
// through throws here.
void WalkLikeARenderer(const ShapeModel& m) {
    for (const ShapePrimState& state : m.primStates) {
        m.shaderNames.at(std::size_t(state.shader));
        m.vertexStates.at(std::size_t(state.vertexState));
        for (int texture : state.textures) {
            m.images.at(std::size_t(m.textures.at(std::size_t(texture)).image));
            m.textureFilterNames.at(std::size_t(m.textures.at(std::size_t(texture)).filterMode));
        }
    }
    for (const ShapeVertexState& state : m.vertexStates)
        m.matrices.at(std::size_t(state.matrix));
    for (const ShapeDistanceLevel& level : m.distanceLevels) {
        for (std::size_t i = 0; i < level.hierarchy.size(); ++i) {
            std::size_t steps = 0;
            for (int node = int(i); node != -1; node = level.hierarchy.at(std::size_t(node)))
                ASSERT_LE(++steps, level.hierarchy.size());
        }
        for (const ShapeSubObject& sub : level.subObjects) {
            for (const ShapeVertexSet& set : sub.vertexSets) {
                m.vertexStates.at(std::size_t(set.vertexState));
                if (set.count > 0)
                    sub.vertices.at(std::size_t(set.start) + std::size_t(set.count) - 1);
            }
            for (const ShapeTriangleList& list : sub.triangleLists) {
                m.primStates.at(std::size_t(list.primState));
                ASSERT_EQ(list.vertexIndexes.size() % 3, 0u);
                for (int index : list.vertexIndexes) {
                    const ShapeVertex& v = sub.vertices.at(std::size_t(index));
                    m.points.at(std::size_t(v.point));
                    m.normals.at(std::size_t(v.normal));
                    for (int uv : v.uvs)
                        m.uvPoints.at(std::size_t(uv));
                }
            }
        }
    }
}

// Loads or refuses with a reason; a loaded model must be safe to walk.
void ExpectCleanEnd(const QByteArray& file, const std::string& what) {
    ShapeModel model;
    QString error;
    if (ReadShapeBytes(file, &model, &error)) {
        EXPECT_NO_THROW(WalkLikeARenderer(model)) << what;
    } else {
        EXPECT_FALSE(error.isEmpty()) << what;
        EXPECT_TRUE(model.points.empty() && model.distanceLevels.empty()) << what;
    }
}

TEST(ShapeBadInputTest, EachFaultIsRefusedWithItsReason) {
    const QString good = WriteText(SyntheticShape());
    struct Case {
        const char* from;
        const char* to;
        const char* reason;
    } cases[] = {
        {"vertex ( 00000000 3 0", "vertex ( 00000000 4 0", "names point 4"},
        {"vertex ( 00000000 2 0", "vertex ( 00000000 2 1", "names normal 1"},
        {"vertex_uvs ( 1 1 )", "vertex_uvs ( 1 2 )", "names UV point 2"},
        {"vertex_uvs ( 1 1 )", "vertex_uvs ( 400000000 1 )", "more than the file can hold"},
        {"vertex_uvs ( 1 1 )", "vertex_uvs ( 2 1 )", "a value is missing"},
        {"hierarchy ( 2 -1 0 )", "hierarchy ( 2 1 0 )", "loops back on itself"},
        {"hierarchy ( 2 -1 0 )", "hierarchy ( 2 -1 5 )", "names parent 5"},
        {"hierarchy ( 2 -1 0 )", "hierarchy ( 1 -1 )", "1 entries for 2 matrices"},
        {"vertex_set ( 1 3 1 )", "vertex_set ( 1 3 2 )", "beyond the 4 there are"},
        {"vertex_set ( 1 3 1 )", "vertex_set ( 2 3 1 )", "names vertex state 2"},
        {"prim_state_idx ( 1 )", "prim_state_idx ( 2 )", "names primitive state 2"},
        {"vertex_idxs ( 6 0 1 2 0 2 3 )", "vertex_idxs ( 6 0 1 2 0 2 4 )", "names vertex 4"},
        {"vertex_idxs ( 6 0 1 2 0 2 3 )", "vertex_idxs ( 6 0 1 2 0 2 -3 )", "names vertex -3"},
        {"vertex ( 00000000 3 0", "vertex ( 00000000 -1 0", "names point -1"},
        {"vertex_idxs ( 6 0 1 2 0 2 3 )", "vertex_idxs ( 5 0 1 2 0 2 )", "not whole triangles"},
        {"tex_idxs ( 1 0 ) 0 1", "tex_idxs ( 1 1 ) 0 1", "names texture 1"},
        {"Glass ( 00000000 1", "Glass ( 00000000 2", "names shader 2"},
        {"texture ( 0 0", "texture ( 1 0", "names image 1"},
        {"texture ( 0 0", "texture ( 0 1", "names filter mode 1"},
        {"vtx_state ( 00000000 1 -12", "vtx_state ( 00000000 2 -12", "names matrix 2"},
        {"points ( 4", "points ( 400000000", "more than the file can hold"},
        {"points ( 4", "points ( -1", "more than the file can hold"},
        {"points ( 4", "points ( 5", "holds 4 entries, not the 5"},
        {"controllers ( 2", "controllers ( 3", "holds 2 controllers, not the 3"},
        {"point ( 1 0 0 )", "point ( 1 x 0 )", "a number is expected at line"},
        {"point ( 1 0 0 )", "point ( 1 0 )", "a value is missing at line"},
        {"matrix MAIN (", "matrix MAIN", "is not followed by a block"},
        {"\"body texture.ace\" )", "\"body texture.ace )", "quoted text is not closed"},
        {"shape (", "shapes (", "no shape block"},
        {"linear_key ( 1", "slerp_rot ( 1", "a value is missing"},
    };
    for (const Case& c : cases) {
        QString text = good;
        ReplaceOnce(&text, c.from, c.to);
        ShapeModel model;
        QString error;
        EXPECT_FALSE(ReadShapeBytes(TextShapeFile(text), &model, &error)) << c.to;
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << c.to << ": " << error.toStdString();
    }
}

TEST(ShapeBadInputTest, BinaryBlocksMustStayInsideTheirParents) {
    const QByteArray good = BinaryShapeBody(SyntheticShape());
    struct Case {
        qsizetype at;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        // The shape block's length, then the shape_header's, then its label length.
        {16 + 4, QByteArray("\xff\xff\xff\x7f", 4), "longer than the block it stands in"},
        {16 + 9 + 4, QByteArray("\x40\x00\x00\x00", 4), "longer than the block it stands in"},
        {16 + 9 + 8, QByteArray("\x20", 1), "label"},
        {0, QByteArray("JINX0x1b"), "not a shape file"},
    };
    for (const Case& c : cases) {
        QByteArray body = good;
        body.replace(c.at, c.bytes.size(), c.bytes);
        ShapeModel model;
        QString error;
        EXPECT_FALSE(ReadShapeBytes("SIMISA@@@@@@@@@@" + body, &model, &error)) << c.reason;
        EXPECT_TRUE(error.contains(QLatin1String(c.reason)))
            << c.reason << ": " << error.toStdString();
    }
}

// The test files: the synthetic shape in every encoding, the real shape as it comes and with
// its binary body stored plain, so that changes reach the block reader rather than zlib.
std::vector<Encoded> TestFiles() {
    std::vector<Encoded> files = SyntheticFiles();
    const QByteArray compressed = RealShape("DK10f_A1tPnt5dLft_compressed.s");
    files.push_back({"real compressed", compressed});
    const QByteArray inflated = qUncompress(QByteArray("\x00\x0d\x86\x97", 4) + compressed.mid(16));
    files.push_back({"real binary", "SIMISA@@@@@@@@@@" + inflated});
    files.push_back({"real text", RealShape("DK10f_A1tPnt5dLft.s")});
    return files;
}

TEST(ShapeBadInputTest, TruncationsEndCleanly) {
    for (const Encoded& encoded : TestFiles()) {
        ASSERT_GT(encoded.file.size(), 100) << encoded.name;
        // Every length of the small files; a spread of lengths of the large ones.
        const qsizetype step = std::max<qsizetype>(1, encoded.file.size() / 150);
        for (qsizetype length = 0; length < encoded.file.size(); length += step) {
            ShapeModel model;
            QString error;
            EXPECT_FALSE(ReadShapeBytes(encoded.file.left(length), &model, &error))
                << encoded.name << " cut at " << length;
            EXPECT_FALSE(error.isEmpty());
        }
    }
}

TEST(ShapeBadInputTest, RandomByteChangesEndCleanly) {
    QRandomGenerator random(25);
    for (const Encoded& encoded : TestFiles()) {
        const bool large = encoded.file.size() > 100000;
        const int rounds = large ? (encoded.file.size() > 1000000 ? 40 : 300) : 1000;
        for (int round = 0; round < rounds; ++round) {
            QByteArray file = encoded.file;
            const int changes = 1 + int(random.bounded(4));
            for (int i = 0; i < changes; ++i) {
                // Past the signature, where the body starts.
                const qsizetype at = 16 + qsizetype(random.bounded(quint32(file.size() - 16)));
                file[at] = char(random.bounded(256));
            }
            ExpectCleanEnd(file, std::string(encoded.name) + " round " + std::to_string(round));
        }
    }
}

} // namespace
} // namespace qv
