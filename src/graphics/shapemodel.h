// An MSTS shape (.s) as a renderer walks it: plain records, every index checked by the reader
// before the model is handed out, so that a renderer may index the vectors without checks of
// its own.
//
// Coordinates are left-handed metres (x to the side, y up, z along the vehicle); triangles are
// wound clockwise seen from their front. A point is placed by the matrix of its vertex state,
// composed with the matrices of its parents up to the root of the distance level's hierarchy:
// with row vectors, p' = p * M(child) * M(parent) * ... * M(root).
#pragma once

#include <QString>
#include <QVarLengthArray>
#include <cstdint>
#include <vector>

namespace qv {

struct ShapeVector {
    float x = 0, y = 0, z = 0;
};

struct ShapeUv {
    float u = 0, v = 0;
};

// Three rows of the 3 x 3 part (row vectors: a point p becomes p * M), then the translation.
struct ShapeMatrix {
    QString name; // the node's name; animations name their node the same way
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    ShapeVector translation;
};

struct ShapeTexture {
    int image = 0;      // index into ShapeModel::images
    int filterMode = 0; // index into ShapeModel::textureFilterNames
    float mipMapBias = 0;
    quint32 borderColour = 0; // ARGB
};

// How the vertices of a vertex set are lit and placed.
struct ShapeVertexState {
    quint32 flags = 0;
    int matrix = 0;           // index into ShapeModel::matrices: the node the vertices move with
    int lightMaterial = 0;    // negative: one of MSTS's built-in materials (-5 is the usual one)
    int lightModelConfig = 0; // index into the file's light model configurations (not kept)
    quint32 lightFlags = 0;
};

// The drawing state that the triangle lists after a `prim_state_idx` use.
struct ShapePrimState {
    QString name;
    quint32 flags = 0;
    int shader = 0;            // index into ShapeModel::shaderNames ("Tex", "BlendATexDiff", ...)
    std::vector<int> textures; // indexes into ShapeModel::textures, first one the base texture
    float zBias = 0;
    int vertexState = 0;   // index into ShapeModel::vertexStates
    int alphaTestMode = 0; // non-zero: draw only texels whose alpha passes the test
    int lightConfig = 0;   // index into the file's light model configurations (not kept)
    int zBufferMode = 0;   // the file's depth-buffer mode, 1 in ordinary shapes
};

struct ShapeVertex {
    quint32 flags = 0;
    int point = 0;  // index into ShapeModel::points
    int normal = 0; // index into ShapeModel::normals
    quint32 colour1 = 0, colour2 = 0;
    // Indexes into ShapeModel::uvPoints, first one the base texture's. A vertex has one or two:
    // kept in the vertex, as a shape has many thousands of vertices.
    QVarLengthArray<int, 2> uvs;
};

// A run of a sub-object's vertices that share one vertex state.
struct ShapeVertexSet {
    int vertexState = 0; // index into ShapeModel::vertexStates
    int start = 0;       // first vertex (index into ShapeSubObject::vertices)
    int count = 0;       // start + count never exceeds the sub-object's vertex count
};

// Triangles, three vertex indexes each (into the sub-object's vertices), all drawn with one
// primitive state.
struct ShapeTriangleList {
    int primState = 0; // index into ShapeModel::primStates
    std::vector<int> vertexIndexes;
};

struct ShapeSubObject {
    std::vector<ShapeVertex> vertices;
    std::vector<ShapeVertexSet> vertexSets;
    std::vector<ShapeTriangleList> triangleLists;
};

struct ShapeDistanceLevel {
    float selection = 0; // the greatest distance in metres at which this level is drawn
    // hierarchy[i] is the parent matrix of matrix i, -1 for a root; one entry per matrix,
    // free of cycles.
    std::vector<int> hierarchy;
    std::vector<ShapeSubObject> subObjects;
};

// One key of an animated node. Rotations are quaternions (x, y, z, w); positions use x, y, z.
// The tension, continuity, bias, in and out values belong to TCB keys only.
struct ShapeAnimKey {
    int frame = 0;
    float x = 0, y = 0, z = 0, w = 1;
    float tension = 0, continuity = 0, bias = 0, in = 0, out = 0;
};

struct ShapeController {
    enum class Kind { LinearPosition, TcbPosition, SlerpRotation, TcbRotation };
    Kind kind = Kind::LinearPosition;
    std::vector<ShapeAnimKey> keys;
};

// Rotation keys hold a quaternion; position keys only x, y and z.
inline bool IsRotation(ShapeController::Kind kind) {
    return kind == ShapeController::Kind::SlerpRotation ||
           kind == ShapeController::Kind::TcbRotation;
}

// The controllers of one node, which names the matrix it moves (ShapeMatrix::name).
struct ShapeAnimNode {
    QString name;
    std::vector<ShapeController> controllers;
};

struct ShapeAnimation {
    int frameCount = 0;
    int frameRate = 0; // frames per second
    std::vector<ShapeAnimNode> nodes;
};

struct ShapeModel {
    // The first volume: a sphere that holds the whole shape (the viewer's size query).
    ShapeVector boundsCentre;
    float boundsRadius = 0;
    std::vector<QString> shaderNames;
    std::vector<QString> textureFilterNames;
    std::vector<ShapeVector> points;
    std::vector<ShapeUv> uvPoints;
    std::vector<ShapeVector> normals;
    std::vector<ShapeMatrix> matrices;
    std::vector<QString> images; // texture file names, relative (usually beside the shape)
    std::vector<ShapeTexture> textures;
    std::vector<ShapeVertexState> vertexStates;
    std::vector<ShapePrimState> primStates;
    // In file order; the level with the smallest selection distance not below the viewing
    // distance is drawn (the first level is the most detailed in real files).
    std::vector<ShapeDistanceLevel> distanceLevels;
    std::vector<ShapeAnimation> animations;
};

} // namespace qv
