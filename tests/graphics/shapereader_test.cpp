#include "graphics/shapereader.h"
#include "platform/drivemap.h"
#include "testshapes.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using namespace qv::test;

TEST(ShapeReaderTest, SyntheticShapeReadsAlikeInEveryEncoding) {
    for (const Encoded& encoded : SyntheticFiles()) {
        SCOPED_TRACE(encoded.name);
        ShapeModel m;
        QString error;
        ASSERT_TRUE(ReadShapeBytes(encoded.file, &m, &error)) << error.toStdString();
        EXPECT_FLOAT_EQ(m.boundsCentre.z, 2);
        EXPECT_FLOAT_EQ(m.boundsRadius, 3.5f);
        EXPECT_EQ(m.shaderNames, (std::vector<QString>{"Tex", "BlendATexDiff"}));
        EXPECT_EQ(m.textureFilterNames, std::vector<QString>{"MipLinear"});
        ASSERT_EQ(m.points.size(), 4u);
        EXPECT_FLOAT_EQ(m.points[3].z, -2.5e-3f);
        ASSERT_EQ(m.uvPoints.size(), 2u);
        EXPECT_FLOAT_EQ(m.uvPoints[1].v, 1);
        ASSERT_EQ(m.normals.size(), 1u);
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
        EXPECT_EQ(m.vertexStates[1].lightMaterial, -12);
        ASSERT_EQ(m.primStates.size(), 2u);
        EXPECT_EQ(m.primStates[1].name, "Glass");
        EXPECT_EQ(m.primStates[1].shader, 1);
        EXPECT_EQ(m.primStates[1].textures, std::vector<int>{0});
        EXPECT_EQ(m.primStates[1].vertexState, 1);
        EXPECT_EQ(m.primStates[1].alphaTestMode, 1);
        EXPECT_EQ(m.primStates[1].zBufferMode, 1);
        ASSERT_EQ(m.distanceLevels.size(), 1u);
        const ShapeDistanceLevel& level = m.distanceLevels[0];
        EXPECT_FLOAT_EQ(level.selection, 150);
        EXPECT_EQ(level.hierarchy, (std::vector<int>{-1, 0}));
        ASSERT_EQ(level.subObjects.size(), 1u);
        const ShapeSubObject& sub = level.subObjects[0];
        ASSERT_EQ(sub.vertices.size(), 4u);
        EXPECT_EQ(sub.vertices[2].point, 2);
        EXPECT_EQ(sub.vertices[2].uvs, std::vector<int>{1});
        EXPECT_EQ(sub.vertices[2].colour1, 0xff969696u);
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
}

// Floats written as text keep six digits: equal within that.
bool Near(float a, float b) {
    return std::abs(a - b) <= 1e-5f * std::max(1.0f, std::abs(a));
}

void ExpectSameModel(const ShapeModel& a, const ShapeModel& b) {
    auto sameVector = [](const ShapeVector& p, const ShapeVector& q) {
        return Near(p.x, q.x) && Near(p.y, q.y) && Near(p.z, q.z);
    };
    EXPECT_TRUE(sameVector(a.boundsCentre, b.boundsCentre));
    EXPECT_TRUE(Near(a.boundsRadius, b.boundsRadius));
    EXPECT_EQ(a.shaderNames, b.shaderNames);
    EXPECT_EQ(a.textureFilterNames, b.textureFilterNames);
    EXPECT_EQ(a.images, b.images);
    ASSERT_EQ(a.points.size(), b.points.size());
    for (std::size_t i = 0; i < a.points.size(); ++i)
        ASSERT_TRUE(sameVector(a.points[i], b.points[i])) << "point " << i;
    ASSERT_EQ(a.normals.size(), b.normals.size());
    for (std::size_t i = 0; i < a.normals.size(); ++i)
        ASSERT_TRUE(sameVector(a.normals[i], b.normals[i])) << "normal " << i;
    ASSERT_EQ(a.uvPoints.size(), b.uvPoints.size());
    for (std::size_t i = 0; i < a.uvPoints.size(); ++i)
        ASSERT_TRUE(Near(a.uvPoints[i].u, b.uvPoints[i].u) &&
                    Near(a.uvPoints[i].v, b.uvPoints[i].v));
    ASSERT_EQ(a.matrices.size(), b.matrices.size());
    for (std::size_t i = 0; i < a.matrices.size(); ++i) {
        EXPECT_EQ(a.matrices[i].name, b.matrices[i].name);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                EXPECT_TRUE(Near(a.matrices[i].m[r][c], b.matrices[i].m[r][c]));
        }
        EXPECT_TRUE(sameVector(a.matrices[i].translation, b.matrices[i].translation));
    }
    ASSERT_EQ(a.textures.size(), b.textures.size());
    for (std::size_t i = 0; i < a.textures.size(); ++i) {
        EXPECT_EQ(a.textures[i].image, b.textures[i].image);
        EXPECT_EQ(a.textures[i].borderColour, b.textures[i].borderColour);
    }
    ASSERT_EQ(a.vertexStates.size(), b.vertexStates.size());
    for (std::size_t i = 0; i < a.vertexStates.size(); ++i)
        EXPECT_EQ(a.vertexStates[i].matrix, b.vertexStates[i].matrix);
    ASSERT_EQ(a.primStates.size(), b.primStates.size());
    for (std::size_t i = 0; i < a.primStates.size(); ++i) {
        const ShapePrimState& p = a.primStates[i];
        const ShapePrimState& q = b.primStates[i];
        EXPECT_EQ(p.name, q.name);
        EXPECT_EQ(p.shader, q.shader);
        EXPECT_EQ(p.textures, q.textures);
        EXPECT_EQ(p.vertexState, q.vertexState);
        EXPECT_EQ(p.alphaTestMode, q.alphaTestMode);
        EXPECT_EQ(p.zBufferMode, q.zBufferMode);
    }
    ASSERT_EQ(a.distanceLevels.size(), b.distanceLevels.size());
    for (std::size_t l = 0; l < a.distanceLevels.size(); ++l) {
        const ShapeDistanceLevel& p = a.distanceLevels[l];
        const ShapeDistanceLevel& q = b.distanceLevels[l];
        EXPECT_EQ(p.selection, q.selection);
        EXPECT_EQ(p.hierarchy, q.hierarchy);
        ASSERT_EQ(p.subObjects.size(), q.subObjects.size());
        for (std::size_t s = 0; s < p.subObjects.size(); ++s) {
            const ShapeSubObject& x = p.subObjects[s];
            const ShapeSubObject& y = q.subObjects[s];
            ASSERT_EQ(x.vertices.size(), y.vertices.size());
            for (std::size_t v = 0; v < x.vertices.size(); ++v) {
                ASSERT_EQ(x.vertices[v].point, y.vertices[v].point);
                ASSERT_EQ(x.vertices[v].normal, y.vertices[v].normal);
                ASSERT_EQ(x.vertices[v].uvs, y.vertices[v].uvs);
            }
            ASSERT_EQ(x.vertexSets.size(), y.vertexSets.size());
            ASSERT_EQ(x.triangleLists.size(), y.triangleLists.size());
            for (std::size_t t = 0; t < x.triangleLists.size(); ++t) {
                EXPECT_EQ(x.triangleLists[t].primState, y.triangleLists[t].primState);
                EXPECT_EQ(x.triangleLists[t].vertexIndexes, y.triangleLists[t].vertexIndexes);
            }
        }
    }
    ASSERT_EQ(a.animations.size(), b.animations.size());
    for (std::size_t i = 0; i < a.animations.size(); ++i) {
        ASSERT_EQ(a.animations[i].nodes.size(), b.animations[i].nodes.size());
        for (std::size_t n = 0; n < a.animations[i].nodes.size(); ++n) {
            const ShapeAnimNode& p = a.animations[i].nodes[n];
            const ShapeAnimNode& q = b.animations[i].nodes[n];
            EXPECT_EQ(p.name, q.name);
            ASSERT_EQ(p.controllers.size(), q.controllers.size());
            for (std::size_t c = 0; c < p.controllers.size(); ++c) {
                ASSERT_EQ(p.controllers[c].keys.size(), q.controllers[c].keys.size());
                for (std::size_t k = 0; k < p.controllers[c].keys.size(); ++k) {
                    EXPECT_EQ(p.controllers[c].keys[k].frame, q.controllers[c].keys[k].frame);
                    EXPECT_TRUE(Near(p.controllers[c].keys[k].w, q.controllers[c].keys[k].w));
                }
            }
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
