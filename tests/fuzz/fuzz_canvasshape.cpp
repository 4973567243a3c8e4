// The viewer's preparation of a shape, without a window: the input is a shape file; a shape the
// reader takes is cut into batches and posed at three animation phases. Every batch must hold
// whole triangles with a normal and a UV pair per vertex, and name a node and texture the shape
// has.
#include "fuzzsupport.h"
#include "graphics/shapereader.h"
#include "viewer/canvasshape.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::CanvasShape shape;
    QString error;
    if (!qv::ReadShapeBytes(qv::fuzz::Input(data, size), &shape.model, &error))
        return 0;
    if (!qv::PrepareCanvasShape(&shape, &error))
        return 0;
    const qv::ShapeModel& model = shape.model;
    if (shape.animNodes.size() != model.matrices.size() ||
        shape.level >= int(model.distanceLevels.size()))
        __builtin_trap();
    for (const qv::ShapeBatch& batch : shape.batches) {
        if (batch.positions.size() % 9 != 0 || batch.normals.size() != batch.positions.size() ||
            batch.uvs.size() * 3 != batch.positions.size() * 2 || batch.matrix < 0 ||
            std::size_t(batch.matrix) >= model.matrices.size() || batch.image < -1 ||
            batch.image >= int(model.images.size()))
            __builtin_trap();
    }
    for (float phase : {0.0f, 0.37f, 1.0f}) {
        if (qv::PoseMatrices(shape, phase).size() != model.matrices.size())
            __builtin_trap();
    }
    return 0;
}
