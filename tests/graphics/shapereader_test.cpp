#include "graphics/shapereader.h"
#include "platform/drivemap.h"
#include "testshapes.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using namespace qv::test;

TEST(ShapeReaderTest, SyntheticShapeReadsAlikeInEveryEncoding) {
    const std::vector<Encoded> files = SyntheticFiles();
    ShapeModel m;
    QString error;
    ASSERT_TRUE(ReadShapeBytes(files[0].file, &m, &error)) << error.toStdString();
    {
        EXPECT_FLOAT_EQ(m.boundsCentre.z, 2);
        EXPECT_FLOAT_EQ(m.boundsRadius, 3.5f);
        EXPECT_EQ(m.shaderNames, (std::vector<QString>{"Tex", "BlendATexDiff"}));
        ASSERT_EQ(m.points.size(), 4u);
        EXPECT_FLOAT_EQ(m.points[3].z, -2.5e-3f);
        ASSERT_EQ(m.matrices.size(), 2u);
        EXPECT_EQ(m.matrices[1].name, "WHEEL");
        EXPECT_FLOAT_EQ(m.matrices[1].m[0][1], -1);
        EXPECT_FLOAT_EQ(m.matrices[1].translation.y, 0.5f);
        EXPECT_EQ(m.images, std::vector<QString>{"body texture.ace"});
        ASSERT_EQ(m.textures.size(), 1u);
        EXPECT_FLOAT_EQ(m.textures[0].mipMapBias, -3);
        EXPECT_EQ(m.textures[0].borderColour, 0xff000000u);
        ASSERT_EQ(m.vertexStates.size(), 2u);
        EXPECT_EQ(m.vertexStates[1].matrix, 1);
        ASSERT_EQ(m.primStates.size(), 2u);
        EXPECT_EQ(m.primStates[1].name, "Glass");
        EXPECT_EQ(m.primStates[1].textures, std::vector<int>{0});
        EXPECT_EQ(m.primStates[1].vertexState, 1);
        EXPECT_EQ(m.primStates[1].alphaTestMode, 1);
        ASSERT_EQ(m.distanceLevels.size(), 1u);
        const ShapeDistanceLevel& level = m.distanceLevels[0];
        EXPECT_FLOAT_EQ(level.selection, 150);
        EXPECT_EQ(level.hierarchy, (std::vector<int>{-1, 0}));
        ASSERT_EQ(level.subObjects.size(), 1u);
        const ShapeSubObject& sub = level.subObjects[0];
        ASSERT_EQ(sub.vertices.size(), 4u);
        EXPECT_EQ(sub.vertices[2].point, 2);
        EXPECT_EQ(std::vector<int>(sub.vertices[2].uvs.begin(), sub.vertices[2].uvs.end()),
                  std::vector<int>{1});
        ASSERT_EQ(sub.vertexSets.size(), 2u);
        EXPECT_EQ(sub.vertexSets[1].start, 3);
        ASSERT_EQ(sub.triangleLists.size(), 1u);
        EXPECT_EQ(sub.triangleLists[0].primState, 1);
        EXPECT_EQ(sub.triangleLists[0].vertexIndexes, (std::vector<int>{0, 1, 2, 0, 2, 3}));
        ASSERT_EQ(m.animations.size(), 1u);
        const ShapeAnimation& animation = m.animations[0];
        EXPECT_EQ(animation.frameCount, 3);
        EXPECT_EQ(animation.frameRate, 30);
        ASSERT_EQ(animation.nodes.size(), 2u);
        EXPECT_EQ(animation.nodes[1].name, "WHEEL");
        ASSERT_EQ(animation.nodes[1].controllers.size(), 2u);
        const ShapeController& rotation = animation.nodes[1].controllers[0];
        EXPECT_EQ(rotation.kind, ShapeController::Kind::TcbRotation);
        ASSERT_EQ(rotation.keys.size(), 2u);
        EXPECT_FLOAT_EQ(rotation.keys[0].w, 1);
        EXPECT_EQ(rotation.keys[1].frame, 2);
        EXPECT_FLOAT_EQ(rotation.keys[1].w, 0.75f);
        EXPECT_FLOAT_EQ(rotation.keys[1].out, 0.5f);
        const ShapeController& position = animation.nodes[1].controllers[1];
        EXPECT_EQ(position.kind, ShapeController::Kind::LinearPosition);
        ASSERT_EQ(position.keys.size(), 1u);
        EXPECT_FLOAT_EQ(position.keys[0].z, 2);
    }
    for (std::size_t i = 1; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].name);
        ShapeModel other;
        ASSERT_TRUE(ReadShapeBytes(files[i].file, &other, &error)) << error.toStdString();
        ExpectSameModel(m, other);
    }
}

// A vertex may be written with other blanks, names in capitals, other blocks among its own or
// numbers in longer forms: each reads to the fields it holds, in a list long enough to be read
// in runs as well as in a short one, and the vertices after it read as ever.
TEST(ShapeReaderTest, VerticesWrittenAnyWayReadToTheirFields) {
    const QString usual = "vertex ( 00000000 0 0 ff969696 ff808080\n\tvertex_uvs ( 1 0 ) )";
    struct Case {
        const char* text;
        quint32 flags;
        int point;
        quint32 colour1;
        std::vector<int> uvs;
    } cases[] = {
        {"vertex ( 00000000 0 0 ff969696 ff808080\n\tvertex_uvs ( 1 0 ) )", 0, 0, 0xff969696, {0}},
        {"vertex (\r\n\t\t00000010\t1 0 ff969696 ff808080 vertex_uvs (2 0 1) )",
         0x10,
         1,
         0xff969696,
         {0, 1}},
        {"vertex ( 4 0 0 FF969697 ff808080 VERTEX_UVS ( 1 1 ) )", 4, 0, 0xff969697, {1}},
        {"vertex ( 00000000 0000000003 0 ff969696 ff808080 vertex_uvs ( 1 0 ) )",
         0,
         3,
         0xff969696,
         {0}},
        {"vertex ( 00000000 2 0 ff969696 ff808080 comment ( x ) vertex_uvs ( 1 1 ) )",
         0,
         2,
         0xff969696,
         {1}},
        {"vertex ( 00000000 0 0 ff969696 ff808080 vertex_uvs ( 0 ) skip ( 5 ) )",
         0,
         0,
         0xff969696,
         {}},
    };
    for (int quads : {1, 40}) {
        ShapeModel usualModel;
        QString error;
        ASSERT_TRUE(
            ReadShapeBytes(TextShapeFile(WriteText(SyntheticShape(quads))), &usualModel, &error));
        const ShapeSubObject& usualSub = usualModel.distanceLevels.at(0).subObjects.at(0);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.text) + ", quads " + std::to_string(quads));
            QString text = WriteText(SyntheticShape(quads));
            ReplaceOnce(&text, usual, QString::fromLatin1(c.text));
            ShapeModel m;
            ASSERT_TRUE(ReadShapeBytes(TextShapeFile(text), &m, &error)) << error.toStdString();
            ShapeSubObject& sub = m.distanceLevels.at(0).subObjects.at(0);
            ASSERT_EQ(sub.vertices.size(), usualSub.vertices.size());
            const ShapeVertex& v = sub.vertices[0];
            EXPECT_EQ(v.flags, c.flags);
            EXPECT_EQ(v.point, c.point);
            EXPECT_EQ(v.normal, 0);
            EXPECT_EQ(v.colour1, c.colour1);
            EXPECT_EQ(v.colour2, 0xff808080u);
            EXPECT_EQ(std::vector<int>(v.uvs.begin(), v.uvs.end()), c.uvs);
            // Everything else reads as the usual shape does.
            sub.vertices[0] = usualSub.vertices[0];
            ExpectSameModel(m, usualModel);
        }
    }
}

TEST(ShapeReaderTest, AMissingFileIsNotLoaded) {
    ShapeModel model;
    QString error;
    EXPECT_FALSE(ReadShapeFile(QStringLiteral("Z:\\no such folder\\x.s"), &model, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ShapeReaderTest, RealShapeGivesOneModelInBothEncodings) {
    ShapeModel text, binary;
    QString error;
    // The text one through its Windows-form path, as the viewer names it.
    const QString path =
        ToWindowsForm(QStringLiteral(QUARVEL_REALDATA_DIR "/shapes/DK10f_A1tPnt5dLft.s"));
    ASSERT_TRUE(ReadShapeFile(path, &text, &error)) << error.toStdString();
    ASSERT_TRUE(ReadShapeBytes(RealShape("DK10f_A1tPnt5dLft_compressed.s"), &binary, &error))
        << error.toStdString();
    for (const ShapeModel* m : {&text, &binary}) {
        EXPECT_EQ(m->points.size(), 3962u);
        EXPECT_EQ(m->uvPoints.size(), 1841u);
        EXPECT_EQ(m->normals.size(), 2725u);
        EXPECT_EQ(m->matrices.size(), 10u);
        EXPECT_EQ(m->images.size(), 11u);
        EXPECT_EQ(m->textures.size(), 15u);
        EXPECT_EQ(m->primStates.size(), 30u);
        ASSERT_EQ(m->distanceLevels.size(), 4u);
        std::vector<float> selections;
        for (const ShapeDistanceLevel& level : m->distanceLevels)
            selections.push_back(level.selection);
        EXPECT_EQ(selections, (std::vector<float>{200, 500, 800, 2000}));
        std::size_t triangles = 0;
        for (const ShapeSubObject& sub : m->distanceLevels[0].subObjects) {
            for (const ShapeTriangleList& list : sub.triangleLists)
                triangles += list.vertexIndexes.size() / 3;
        }
        EXPECT_EQ(triangles, 5158u);
        EXPECT_EQ(m->distanceLevels[0].hierarchy,
                  (std::vector<int>{-1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        const ShapeMatrix& lever = m->matrices[4];
        EXPECT_EQ(lever.name, "M200_HEBEL_LR01");
        EXPECT_TRUE(Near(lever.m[0][1], -1) && Near(lever.m[1][0], 1) && Near(lever.m[2][2], 1));
        EXPECT_TRUE(Near(lever.translation.z, 18.949f));
        EXPECT_EQ(m->primStates[5].name, "DB_WM1c");
        EXPECT_EQ(m->primStates[5].textures, std::vector<int>{7});
        EXPECT_EQ(m->shaderNames[m->primStates[1].shader], "BlendATexDiff");
        EXPECT_EQ(m->images[m->textures[m->primStates[0].textures[0]].image], "DB_Rails10w.ACE");
        EXPECT_TRUE(Near(m->boundsCentre.x, -1.23867f) && Near(m->boundsCentre.y, 3.5875f) &&
                    Near(m->boundsCentre.z, 40));
        EXPECT_TRUE(Near(m->boundsRadius, 42.452f));
        ASSERT_EQ(m->animations.size(), 1u);
        EXPECT_EQ(m->animations[0].frameCount, 2);
        EXPECT_EQ(m->animations[0].frameRate, 30);
        ASSERT_EQ(m->animations[0].nodes.size(), 10u);
        EXPECT_EQ(m->animations[0].nodes[4].controllers.size(), 2u);
    }
    ExpectSameModel(text, binary);
}

} // namespace
} // namespace qv
