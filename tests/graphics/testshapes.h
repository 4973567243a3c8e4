// The shapes of the reader tests: a synthetic one in every encoding and the real ones.
#pragma once

#include "graphics/shapemodel.h"
#include "shapewriter.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace qv::test {

// A small shape with one of every block the reader takes apart: two matrices, a quad of two
// triangles split over two vertex sets, and an animated node with slerp, TCB and linear keys.
// With `quads` more than one, the quad's vertices and triangles are repeated as often, each
// copy with vertices of its own: long lists in one sub-object.
inline Node SyntheticShape(int quads = 1) {
    auto vertex = [](int point, int uv) {
        return B("vertex", 48,
                 {H(0), I(point), I(0), H(0xff969696), H(0xff808080),
                  B("vertex_uvs", 49, {I(1), I(uv)})});
    };
    std::vector<Item> vertices{I(4 * quads)};
    std::vector<Item> indexes{I(6 * quads)};
    for (int quad = 0; quad < quads; ++quad) {
        for (int corner : {0, 1, 2, 3})
            vertices.push_back(vertex(corner, corner == 0 || corner == 3 ? 0 : 1));
        for (int corner : {0, 1, 2, 0, 2, 3})
            indexes.push_back(I(4 * quad + corner));
    }
    Item level =
        B("distance_level", 37,
          {B("distance_level_header", 34,
             {B("dlevel_selection", 35, {F(150)}), B("hierarchy", 67, {I(2), I(-1), I(0)})}),
           B("sub_objects", 38,
             {I(1), B("sub_object", 39,
                      {B("sub_object_header", 40, {H(0x400), I(-1), I(-1), H(0x1d2), H(0x1c4)}),
                       B("vertices", 50, vertices),
                       B("vertex_sets", 52,
                         {I(2), B("vertex_set", 51, {I(0), I(0), I(3)}),
                          B("vertex_set", 51, {I(1), I(3), I(1)})}),
                       B("primitives", 53,
                         {I(2), B("prim_state_idx", 56, {I(1)}),
                          B("indexed_trilist", 60,
                            {B("vertex_idxs", 63, indexes),
                             B("normal_idxs", 6, {I(2), I(0), I(3), I(0), I(3)})})})})})});
    Item animation = B(
        "animation", 28,
        {I(3), I(30),
         B("anim_nodes", 27,
           {I(2), B("anim_node", 26, {B("controllers", 25, {I(0)})}, "MAIN"),
            B("anim_node", 26,
              {B("controllers", 25,
                 {I(2),
                  B("tcb_rot", 24,
                    {I(2), B("slerp_rot", 23, {I(0), F(0), F(0), F(0), F(1)}),
                     B("tcb_key", 20,
                       {I(2), F(0), F(0.5f), F(0), F(0.75f), F(0.1f), F(0.2f), F(0.3f), F(0.4f),
                        F(0.5f)})}),
                  B("linear_pos", 21, {I(1), B("linear_key", 19, {I(1), F(0), F(0.5f), F(2)})})})},
              "WHEEL")})});
    return Node{
        "shape",
        71,
        {},
        {B("shape_header", 70, {H(0), H(0)}),
         B("volumes", 68,
           {I(2), B("vol_sphere", 69, {B("vector", 3, {F(0), F(1), F(2)}), F(3.5f)}),
            B("vol_sphere", 69, {B("vector", 3, {F(9), F(9), F(9)}), F(1)})}),
         B("shader_names", 72,
           {I(2), B("named_shader", 129, {S("Tex")}),
            B("named_shader", 129, {S("BlendATexDiff")})}),
         B("texture_filter_names", 74, {I(1), B("named_filter_mode", 125, {S("MipLinear")})}),
         B("points", 7,
           {I(4), B("point", 2, {F(0), F(0), F(0)}), B("point", 2, {F(1), F(0), F(0)}),
            B("point", 2, {F(1), F(1), F(0)}), B("point", 2, {F(0), F(1), F(-2.5e-3f)})}),
         B("uv_points", 9, {I(2), B("uv_point", 8, {F(0), F(0)}), B("uv_point", 8, {F(1), F(1)})}),
         B("normals", 5, {I(1), B("vector", 3, {F(0), F(0), F(-1)})}),
         B("comment", 1, {S("made for the tests")}),
         B("matrices", 66,
           {I(2),
            B("matrix", 65,
              {F(1), F(0), F(0), F(0), F(1), F(0), F(0), F(0), F(1), F(0), F(0), F(0)}, "MAIN"),
            B("matrix", 65,
              {F(0), F(-1), F(0), F(1), F(0), F(0), F(0), F(0), F(1), F(0), F(0.5f), F(2)},
              "WHEEL")}),
         B("images", 14, {I(1), B("image", 13, {S("body texture.ace")})}),
         B("textures", 16, {I(1), B("texture", 15, {I(0), I(0), F(-3), H(0xff000000)})}),
         B("vtx_states", 47,
           {I(2), B("vtx_state", 46, {H(0), I(0), I(-5), I(0), H(2)}),
            B("vtx_state", 46, {H(0), I(1), I(-12), I(0), H(2)})}),
         B("prim_states", 55,
           {I(2),
            B("prim_state", 54,
              {H(0), I(0), B("tex_idxs", 61, {I(1), I(0)}), F(0), I(0), I(0), I(0), I(1)}, "Body"),
            B("prim_state", 54,
              {H(0), I(1), B("tex_idxs", 61, {I(1), I(0)}), F(0), I(1), I(1), I(0), I(1)},
              "Glass")}),
         B("lod_controls", 31,
           {I(1),
            B("lod_control", 32,
              {B("distance_levels_header", 33, {I(0)}), B("distance_levels", 36, {I(1), level})})}),
         B("animations", 29, {I(1), animation})}};
}

struct Encoded {
    const char* name;
    QByteArray file;
};

inline std::vector<Encoded> SyntheticFiles() {
    const Node shape = SyntheticShape();
    const QString text = WriteText(shape);
    return {
        {"text", TextShapeFile(text)},
        {"compressed text", Compress(EncodeUtf16Le(QStringLiteral("JINX0s1t______\r\n") + text))},
        {"binary", "SIMISA@@@@@@@@@@" + BinaryShapeBody(shape)},
        {"compressed binary", Compress(BinaryShapeBody(shape))}};
}

// The text with the `nth` (from 0) occurrence of `from` replaced; fails the test when it is
// missing.
inline void ReplaceOnce(QString* text, const QString& from, const QString& to, int nth = 0) {
    qsizetype at = -1;
    for (int k = 0; k <= nth; ++k) {
        at = text->indexOf(from, at + 1);
        ASSERT_GE(at, 0) << from.toStdString() << " " << k;
    }
    text->replace(at, from.size(), to);
}

// A real shape or texture file from the test data.
inline QByteArray RealShape(const char* name) {
    QFile file(QStringLiteral(QUARVEL_REALDATA_DIR "/shapes/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Floats written as text keep six digits: equal within that.
inline bool Near(float a, float b) {
    return std::abs(a - b) <= 1e-5f * std::max(1.0f, std::abs(a));
}

// The whole model as lines of text, floats to the last bit (nine digits), so that two models
// compare line by line and a difference shows where it is.
inline QStringList Dump(const ShapeModel& m) {
    QStringList lines;
    auto f = [](float v) { return QString::number(double(v), 'g', 9); };
    auto vec = [&](const ShapeVector& v) { return f(v.x) + u' ' + f(v.y) + u' ' + f(v.z); };
    auto ints = [](const auto& values) {
        QStringList out;
        for (int v : values)
            out << QString::number(v);
        return out.join(u' ');
    };
    lines << QStringLiteral("bounds ") + vec(m.boundsCentre) + u' ' + f(m.boundsRadius);
    for (const std::vector<QString>* names : {&m.shaderNames, &m.textureFilterNames, &m.images})
        lines << QStringList(names->begin(), names->end()).join(u'|');
    for (const ShapeVector& p : m.points)
        lines << QStringLiteral("point ") + vec(p);
    for (const ShapeUv& uv : m.uvPoints)
        lines << QStringLiteral("uv ") + f(uv.u) + u' ' + f(uv.v);
    for (const ShapeVector& n : m.normals)
        lines << QStringLiteral("normal ") + vec(n);
    for (const ShapeMatrix& x : m.matrices)
        lines << x.name + u' ' + f(x.m[0][0]) + u' ' + f(x.m[0][1]) + u' ' + f(x.m[1][0]) + u' ' +
                     f(x.m[2][2]) + u' ' + vec(x.translation);
    for (const ShapeTexture& t : m.textures)
        lines << QStringLiteral("texture %1 %2 %3")
                     .arg(t.image)
                     .arg(f(t.mipMapBias))
                     .arg(t.borderColour);
    for (const ShapeVertexState& v : m.vertexStates)
        lines << QStringLiteral("vertex state %1 %2 %3")
                     .arg(v.flags)
                     .arg(v.matrix)
                     .arg(v.lightMaterial);
    for (const ShapePrimState& p : m.primStates)
        lines << QStringLiteral("prim state %1 %2 %3 %4 %5 %6")
                     .arg(p.name, ints(p.textures))
                     .arg(p.shader)
                     .arg(p.vertexState)
                     .arg(p.alphaTestMode)
                     .arg(p.zBufferMode);
    for (const ShapeDistanceLevel& level : m.distanceLevels) {
        lines << QStringLiteral("level ") + f(level.selection) + u' ' + ints(level.hierarchy);
        for (const ShapeSubObject& sub : level.subObjects) {
            for (const ShapeVertex& v : sub.vertices)
                lines << QStringLiteral("vertex %1 %2 %3 %4 %5 %6")
                             .arg(v.flags)
                             .arg(v.point)
                             .arg(v.normal)
                             .arg(v.colour1)
                             .arg(v.colour2)
                             .arg(ints(v.uvs));
            for (const ShapeVertexSet& v : sub.vertexSets)
                lines
                    << QStringLiteral("set %1 %2 %3").arg(v.vertexState).arg(v.start).arg(v.count);
            for (const ShapeTriangleList& t : sub.triangleLists)
                lines << QStringLiteral("triangles %1: %2")
                             .arg(t.primState)
                             .arg(ints(t.vertexIndexes));
        }
    }
    for (const ShapeAnimation& a : m.animations) {
        lines << QStringLiteral("animation %1 %2").arg(a.frameCount).arg(a.frameRate);
        for (const ShapeAnimNode& node : a.nodes) {
            lines << node.name;
            for (const ShapeController& c : node.controllers) {
                for (const ShapeAnimKey& k : c.keys)
                    lines << QStringLiteral("key %1 %2 %3 %4 %5 %6 %7")
                                 .arg(int(c.kind))
                                 .arg(k.frame)
                                 .arg(f(k.x), f(k.y), f(k.z), f(k.w), f(k.tension));
            }
        }
    }
    return lines;
}

inline void ExpectSameModel(const ShapeModel& a, const ShapeModel& b) {
    const QStringList x = Dump(a), y = Dump(b);
    EXPECT_EQ(x.size(), y.size());
    for (qsizetype i = 0; i < std::min(x.size(), y.size()); ++i)
        ASSERT_EQ(x[i].toStdString(), y[i].toStdString()) << "line " << i;
}

} // namespace qv::test
