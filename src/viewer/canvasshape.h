// A shape made ready for drawing once per file: the most detailed distance level cut into
// batches of plain triangles, one per drawing state and node, and the poses of its nodes at any
// animation phase. Shared by every vehicle that uses the file.
#pragma once

#include "graphics/shapemodel.h"
#include "viewer/canvasmaths.h"

#include <QString>
#include <vector>

namespace qv {

// How a batch's texels are combined with what is behind them.
enum class AlphaMode { Opaque, Tested, Blended };

struct ShapeBatch {
    int matrix = 0;  // the node the triangles move with
    int image = -1;  // index into ShapeModel::images of the base texture, -1 for none
    bool lit = true; // shaded by the light; false: the texels' colours as they are
    AlphaMode alpha = AlphaMode::Opaque;
    std::vector<float> positions; // x, y, z per vertex, three vertices per triangle
    std::vector<float> normals;   // x, y, z per vertex
    std::vector<float> uvs;       // u, v per vertex
};

struct CanvasShape {
    QString path; // the Windows-form path it was read from
    ShapeModel model;
    int level = -1; // the distance level drawn, -1 when the shape has none
    std::vector<ShapeBatch> batches;
    // Per node matrix, its animated node in the first animation (-1 for none): found once, not
    // at every frame.
    std::vector<int> animNodes;
    // The bounding sphere in the shape's own coordinates.
    Vec3 centre;
    float radius = 0;
};

// The most triangles the viewer takes of one shape, far above what real shapes hold (some
// thousands; a detailed engine some tens of thousands): each costs 96 bytes of batches.
inline constexpr size_t kMaxCanvasTriangles = 1000000;

// Cuts a read shape into batches; the model's indexes were checked by its reader. False, without
// batches and with the reason in *error, when its most detailed level holds more than
// kMaxCanvasTriangles. An allocation that fails throws std::bad_alloc.
bool PrepareCanvasShape(CanvasShape* shape, QString* error);

// The index of the distance level with the smallest selection distance (the most detailed),
// -1 when there is none.
int MostDetailedLevel(const ShapeModel& model);

// The matrix of every node at the animation phase (0 to 1 over the first animation), composed
// up the hierarchy of the drawn level: a point of node i is placed by p * result[i].
std::vector<Mat4> PoseMatrices(const CanvasShape& shape, float phase);

} // namespace qv
