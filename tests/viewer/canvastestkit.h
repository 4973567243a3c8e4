// What the canvas tests draw: a synthetic box written as a real shape file (text or binary) with
// a DXT1 texture, in a temporary folder laid out as MSTS keeps rolling stock.
#pragma once

#include "graphics/shapewriter.h"
#include "platform/drivemap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace qv::test {

// RGB565 colours of the texture's two halves.
constexpr quint16 kBoxRed = 0xF800, kBoxBlue = 0x001F;

struct BoxOptions {
    bool maskedBlue = false; // the blue half's texels are masked out (and alpha-tested)
    bool animatedFlag = false;
    QString imageName = QStringLiteral("box.ace");
    QString shader = QStringLiteral("Tex"); // "TexDiff": lit; "BlendATex": blended
};

// A box 2 m wide (x), 2 m tall (y) and 6 m long (z) around the origin: its +x side shows the
// red half of the texture, its -x side the blue half, its other sides red. With an animated flag,
// a red panel stands 0.5 m off the -x side above the centre and turns half a turn about the x
// axis by the middle of its animation, so that it hangs below the centre.
inline Node BoxShape(const BoxOptions& options = {}) {
    struct Face {
        float corners[4][3];
        float outward[3];
        bool blue;
        int state; // prim state
    };
    const float hx = 1, hy = 1, hz = 3;
    std::vector<Face> faces = {
        {{{hx, -hy, -hz}, {hx, hy, -hz}, {hx, hy, hz}, {hx, -hy, hz}}, {1, 0, 0}, false, 0},
        {{{-hx, -hy, -hz}, {-hx, hy, -hz}, {-hx, hy, hz}, {-hx, -hy, hz}}, {-1, 0, 0}, true, 0},
        {{{-hx, hy, -hz}, {hx, hy, -hz}, {hx, hy, hz}, {-hx, hy, hz}}, {0, 1, 0}, false, 0},
        {{{-hx, -hy, -hz}, {hx, -hy, -hz}, {hx, -hy, hz}, {-hx, -hy, hz}}, {0, -1, 0}, false, 0},
        {{{-hx, -hy, hz}, {hx, -hy, hz}, {hx, hy, hz}, {-hx, hy, hz}}, {0, 0, 1}, false, 0},
        {{{-hx, -hy, -hz}, {hx, -hy, -hz}, {hx, hy, -hz}, {-hx, hy, -hz}}, {0, 0, -1}, false, 0},
    };
    if (options.animatedFlag) // in the flag node's own coordinates
        faces.push_back({{{0, 0, -0.5f}, {0, 0.9f, -0.5f}, {0, 0.9f, 0.5f}, {0, 0, 0.5f}},
                         {-1, 0, 0},
                         false,
                         1});
    std::vector<Item> points, normals, vertices, body, flag;
    int vertex = 0;
    for (const Face& face : faces) {
        float c[4][3];
        std::copy(&face.corners[0][0], &face.corners[0][0] + 12, &c[0][0]);
        // Clockwise seen from outside: the normal of (a, b, c) by the left-hand rule points out.
        const float e1[3] = {c[1][0] - c[0][0], c[1][1] - c[0][1], c[1][2] - c[0][2]};
        const float e2[3] = {c[2][0] - c[0][0], c[2][1] - c[0][1], c[2][2] - c[0][2]};
        const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                            e1[0] * e2[1] - e1[1] * e2[0]};
        if (n[0] * face.outward[0] + n[1] * face.outward[1] + n[2] * face.outward[2] < 0)
            std::swap(c[1], c[3]);
        const int normal = int(normals.size());
        normals.push_back(
            B("vector", 3, {F(face.outward[0]), F(face.outward[1]), F(face.outward[2])}));
        const int uv = face.blue ? 1 : 0;
        for (int k = 0; k < 4; ++k) {
            points.push_back(B("point", 2, {F(c[k][0]), F(c[k][1]), F(c[k][2])}));
            vertices.push_back(B("vertex", 48,
                                 {H(0), I(int(points.size()) - 1), I(normal), H(0xffffffff),
                                  H(0xff000000), B("vertex_uvs", 49, {I(1), I(uv)})}));
        }
        auto& list = face.state == 0 ? body : flag;
        for (int k : {0, 1, 2, 0, 2, 3})
            list.push_back(I(vertex + k));
        vertex += 4;
    }
    auto triList = [](int state, const std::vector<Item>& indexes) {
        std::vector<Item> idx = {I(qint64(indexes.size()))};
        idx.insert(idx.end(), indexes.begin(), indexes.end());
        std::vector<Item> nrm = {I(qint64(indexes.size() / 3))};
        for (size_t t = 0; t < indexes.size() / 3; ++t)
            nrm.insert(nrm.end(), {I(0), I(3)});
        return std::vector<Item>{
            B("prim_state_idx", 56, {I(state)}),
            B("indexed_trilist", 60, {B("vertex_idxs", 63, idx), B("normal_idxs", 6, nrm)})};
    };
    std::vector<Item> primitives = {I(options.animatedFlag ? 4 : 2)};
    for (Item& item : triList(0, body))
        primitives.push_back(item);
    if (options.animatedFlag)
        for (Item& item : triList(1, flag))
            primitives.push_back(item);
    const int bodyVertices = 24;
    std::vector<Item> sets = {I(options.animatedFlag ? 2 : 1),
                              B("vertex_set", 51, {I(0), I(0), I(bodyVertices)})};
    if (options.animatedFlag)
        sets.push_back(B("vertex_set", 51, {I(1), I(bodyVertices), I(4)}));
    auto counted = [](const std::vector<Item>& items) {
        std::vector<Item> out = {I(qint64(items.size()))};
        out.insert(out.end(), items.begin(), items.end());
        return out;
    };
    Item level =
        B("distance_level", 37,
          {B("distance_level_header", 34,
             {B("dlevel_selection", 35, {F(2000)}), B("hierarchy", 67, {I(2), I(-1), I(0)})}),
           B("sub_objects", 38,
             {I(1), B("sub_object", 39,
                      {B("sub_object_header", 40, {H(0x400), I(-1), I(-1), H(0x1d2), H(0x1c4)}),
                       B("vertices", 50, counted(vertices)), B("vertex_sets", 52, sets),
                       B("primitives", 53, primitives)})})});
    const int alphaTest = options.maskedBlue ? 1 : 0;
    Node shape{
        "shape",
        71,
        {},
        {B("shape_header", 70, {H(0), H(0)}),
         B("volumes", 68,
           {I(1), B("vol_sphere", 69, {B("vector", 3, {F(0), F(0), F(0)}), F(3.4f)})}),
         B("shader_names", 72, {I(1), B("named_shader", 129, {S(options.shader)})}),
         B("texture_filter_names", 74, {I(1), B("named_filter_mode", 125, {S("MipLinear")})}),
         B("points", 7, counted(points)),
         B("uv_points", 9,
           {I(2), B("uv_point", 8, {F(0.25f), F(0.5f)}), B("uv_point", 8, {F(0.75f), F(0.5f)})}),
         B("normals", 5, counted(normals)),
         B("matrices", 66,
           {I(2),
            B("matrix", 65,
              {F(1), F(0), F(0), F(0), F(1), F(0), F(0), F(0), F(1), F(0), F(0), F(0)}, "MAIN"),
            B("matrix", 65,
              {F(1), F(0), F(0), F(0), F(1), F(0), F(0), F(0), F(1), F(-1.5f), F(0), F(0)},
              "FLAG")}),
         B("images", 14, {I(1), B("image", 13, {S(options.imageName)})}),
         B("textures", 16, {I(1), B("texture", 15, {I(0), I(0), F(0), H(0xff000000)})}),
         B("vtx_states", 47,
           {I(2), B("vtx_state", 46, {H(0), I(0), I(-5), I(0), H(2)}),
            B("vtx_state", 46, {H(0), I(1), I(-5), I(0), H(2)})}),
         B("prim_states", 55,
           {I(2),
            B("prim_state", 54,
              {H(0), I(0), B("tex_idxs", 61, {I(1), I(0)}), F(0), I(0), I(alphaTest), I(0), I(1)},
              "Body"),
            B("prim_state", 54,
              {H(0), I(0), B("tex_idxs", 61, {I(1), I(0)}), F(0), I(1), I(0), I(0), I(1)},
              "Flag")}),
         B("lod_controls", 31,
           {I(1), B("lod_control", 32,
                    {B("distance_levels_header", 33, {I(0)}),
                     B("distance_levels", 36, {I(1), level})})})}};
    if (options.animatedFlag) {
        Item animation =
            B("animation", 28,
              {I(2), I(30),
               B("anim_nodes", 27,
                 {I(2), B("anim_node", 26, {B("controllers", 25, {I(0)})}, "MAIN"),
                  B("anim_node", 26,
                    {B("controllers", 25,
                       {I(1), B("tcb_rot", 24,
                                {I(3), B("slerp_rot", 23, {I(0), F(0), F(0), F(0), F(1)}),
                                 B("slerp_rot", 23, {I(1), F(1), F(0), F(0), F(0)}),
                                 B("slerp_rot", 23, {I(2), F(0), F(0), F(0), F(1)})})})},
                    "FLAG")})});
        shape.items.push_back(B("animations", 29, {I(1), animation}));
    }
    return shape;
}

inline QByteArray BoxTextFile(const BoxOptions& options = {}) {
    return TextShapeFile(WriteText(BoxShape(options)));
}

inline QByteArray BoxBinaryFile(const BoxOptions& options = {}) {
    return "SIMISA@@@@@@@@@@" + BinaryShapeBody(BoxShape(options));
}

// An 8 x 4 DXT1 texture: the left block red, the right one blue (or, masked, transparent).
inline QByteArray BoxTexture(bool maskedBlue = false) {
    QByteArray body;
    const int channels = maskedBlue ? 4 : 3;
    for (quint32 value : {1u, 0x10u, 8u, 4u, 0x12u, quint32(channels)})
        Put32(&body, value);
    QByteArray text("made by a test");
    text.resize(128, '\0');
    body += text;
    const int types[4] = {3, 4, 5, 2};
    for (int i = 0; i < channels; ++i) {
        Put32(&body, i == 3 ? 1 : 8);
        Put32(&body, 0);
        Put32(&body, quint32(types[i]));
        Put32(&body, 0);
    }
    auto block = [](quint16 c0, quint16 c1, quint32 indexes) {
        QByteArray b;
        b.append(char(c0 & 0xFF)).append(char(c0 >> 8));
        b.append(char(c1 & 0xFF)).append(char(c1 >> 8));
        Put32(&b, indexes);
        return b;
    };
    // A block whose first colour is not above the second has a transparent fourth colour.
    const QByteArray level = block(kBoxRed, 0, 0) +
                             (maskedBlue ? block(0, kBoxBlue, 0xFFFFFFFF) : block(kBoxBlue, 0, 0));
    Put32(&body, quint32(body.size() + 4));
    Put32(&body, quint32(level.size()));
    return "SIMISA@@@@@@@@@@" + body + level;
}

// Writes a whole file at a host path, making its folder first.
inline bool WriteHostFile(const QString& host, const QByteArray& bytes) {
    QDir().mkpath(host.left(host.lastIndexOf(u'/')));
    QFile file(host);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A temporary MSTS-like folder; paths are handed out in Windows form.
class StockFolder {
public:
    bool Ok() const { return dir_.isValid(); }
    QString Host(const QString& relative) const { return dir_.path() + u'/' + relative; }
    QString Windows(const QString& relative) const { return ToWindowsForm(Host(relative)); }
    bool Write(const QString& relative, const QByteArray& bytes) const {
        return WriteHostFile(Host(relative), bytes);
    }

private:
    QTemporaryDir dir_;
};

} // namespace qv::test
