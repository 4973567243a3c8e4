#include "viewer/canvasshape.h"

#include "platform/casefold.h"

#include <QCoreApplication>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace qv {

namespace {

// Spherical interpolation between two unit quaternions, taking the shorter way round.
void Slerp(const ShapeAnimKey& a, const ShapeAnimKey& b, float t, float out[4]) {
    float bx = b.x, by = b.y, bz = b.z, bw = b.w;
    float cosine = a.x * bx + a.y * by + a.z * bz + a.w * bw;
    if (cosine < 0) {
        cosine = -cosine;
        bx = -bx;
        by = -by;
        bz = -bz;
        bw = -bw;
    }
    float wa = 1 - t, wb = t;
    if (cosine < 0.9995f) {
        const float angle = std::acos(std::min(cosine, 1.0f));
        const float sine = std::sin(angle);
        wa = std::sin((1 - t) * angle) / sine;
        wb = std::sin(t * angle) / sine;
    }
    out[0] = wa * a.x + wb * bx;
    out[1] = wa * a.y + wb * by;
    out[2] = wa * a.z + wb * bz;
    out[3] = wa * a.w + wb * bw;
    const float length =
        std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2] + out[3] * out[3]);
    if (length > 0)
        for (int i = 0; i < 4; ++i)
            out[i] /= length;
}

// The keys around a frame and how far between them it lies.
bool KeysAround(const std::vector<ShapeAnimKey>& keys, float frame, const ShapeAnimKey** a,
                const ShapeAnimKey** b, float* t) {
    if (keys.empty())
        return false;
    *a = *b = &keys.front();
    *t = 0;
    if (frame <= keys.front().frame)
        return true;
    for (size_t i = 1; i < keys.size(); ++i) {
        if (frame <= keys[i].frame) {
            *a = &keys[i - 1];
            *b = &keys[i];
            // Frames may lie at both ends of the int range: their distance needs a wider type.
            const float span = float(qint64(keys[i].frame) - keys[i - 1].frame);
            *t = span > 0 ? (frame - float(keys[i - 1].frame)) / span : 1.0f;
            return true;
        }
    }
    *a = *b = &keys.back();
    return true;
}

// The node's own matrix at a frame: its controllers replace its turn and its position.
Mat4 AnimatedLocal(const ShapeMatrix& matrix, const ShapeAnimNode* node, float frame) {
    Mat4 local = ShapeMatrixToMat4(matrix);
    if (!node)
        return local;
    for (const ShapeController& controller : node->controllers) {
        const ShapeAnimKey *a = nullptr, *b = nullptr;
        float t = 0;
        if (!KeysAround(controller.keys, frame, &a, &b, &t))
            continue;
        if (IsRotation(controller.kind)) {
            float q[4];
            Slerp(*a, *b, t, q);
            const Mat4 turn = MatrixRotationQuaternion(q[0], q[1], q[2], q[3]);
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    local.m[i][j] = turn.m[i][j];
        } else {
            local.m[3][0] = a->x + (b->x - a->x) * t;
            local.m[3][1] = a->y + (b->y - a->y) * t;
            local.m[3][2] = a->z + (b->z - a->z) * t;
        }
    }
    return local;
}

AlphaMode AlphaFor(const QString& shaderName, int alphaTestMode) {
    if (shaderName.startsWith(QLatin1String("BlendA"), Qt::CaseInsensitive) ||
        shaderName.startsWith(QLatin1String("AddA"), Qt::CaseInsensitive))
        return AlphaMode::Blended;
    return alphaTestMode != 0 ? AlphaMode::Tested : AlphaMode::Opaque;
}

void AddVertex(const ShapeModel& model, const ShapeVertex& vertex, ShapeBatch* batch) {
    const ShapeVector& p = model.points[size_t(vertex.point)];
    batch->positions.insert(batch->positions.end(), {p.x, p.y, p.z});
    const ShapeVector n = size_t(vertex.normal) < model.normals.size()
                              ? model.normals[size_t(vertex.normal)]
                              : ShapeVector{0, 1, 0};
    batch->normals.insert(batch->normals.end(), {n.x, n.y, n.z});
    ShapeUv uv;
    if (!vertex.uvs.empty())
        uv = model.uvPoints[size_t(vertex.uvs.front())];
    batch->uvs.insert(batch->uvs.end(), {uv.u, uv.v});
}

void BoundsFromPoints(CanvasShape* shape) {
    const auto& points = shape->model.points;
    if (points.empty())
        return;
    Vec3 low{points[0].x, points[0].y, points[0].z}, high = low;
    for (const ShapeVector& p : points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    shape->centre = {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    const Vec3 half{high.x - shape->centre.x, high.y - shape->centre.y, high.z - shape->centre.z};
    shape->radius = std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z);
}

} // namespace

int MostDetailedLevel(const ShapeModel& model) {
    int best = -1;
    for (size_t i = 0; i < model.distanceLevels.size(); ++i)
        if (best < 0 ||
            model.distanceLevels[i].selection < model.distanceLevels[size_t(best)].selection)
            best = int(i);
    return best;
}

bool PrepareCanvasShape(CanvasShape* shape, QString* error) {
    const ShapeModel& model = shape->model;
    shape->batches.clear();
    error->clear();
    shape->centre = {model.boundsCentre.x, model.boundsCentre.y, model.boundsCentre.z};
    shape->radius = model.boundsRadius;
    if (!(shape->radius > 0))
        BoundsFromPoints(shape);
    shape->animNodes.assign(model.matrices.size(), -1);
    if (!model.animations.empty()) {
        // The first animated node of each name, without regard to case.
        const auto& nodes = model.animations[0].nodes;
        QHash<FoldedName, int> nodeOf;
        for (size_t n = 0; n < nodes.size(); ++n)
            if (!nodes[n].controllers.empty() && !nodeOf.contains(FoldedName{nodes[n].name}))
                nodeOf.insert(FoldedName{nodes[n].name}, int(n));
        for (size_t i = 0; i < model.matrices.size() && !nodeOf.isEmpty(); ++i)
            shape->animNodes[i] = nodeOf.value(FoldedName{model.matrices[i].name}, -1);
    }
    shape->level = MostDetailedLevel(model);
    if (shape->level < 0)
        return true;
    // One batch per drawing state and node, in the order they first occur. Each list's batch and
    // each batch's size are found first, so that a shape beyond what the viewer takes is refused
    // before its batches cost anything, and each batch is allocated once.
    QHash<quint64, size_t> batchOf;
    std::vector<size_t> batchOfList;
    std::vector<size_t> trianglesOf;
    size_t triangles = 0;
    const ShapeDistanceLevel& level = model.distanceLevels[size_t(shape->level)];
    for (const ShapeSubObject& sub : level.subObjects) {
        for (const ShapeTriangleList& list : sub.triangleLists) {
            const ShapePrimState& prim = model.primStates[size_t(list.primState)];
            const int matrix = model.vertexStates[size_t(prim.vertexState)].matrix;
            const quint64 key = (quint64(quint32(list.primState)) << 32) | quint32(matrix);
            auto found = batchOf.constFind(key);
            if (found == batchOf.constEnd()) {
                ShapeBatch batch;
                batch.matrix = matrix;
                if (!prim.textures.empty())
                    batch.image = model.textures[size_t(prim.textures.front())].image;
                const QString& shader = model.shaderNames[size_t(prim.shader)];
                batch.lit = shader.contains(QLatin1String("Diff"), Qt::CaseInsensitive);
                batch.alpha = AlphaFor(shader, prim.alphaTestMode);
                found = batchOf.insert(key, shape->batches.size());
                shape->batches.push_back(std::move(batch));
                trianglesOf.push_back(0);
            }
            batchOfList.push_back(*found);
            trianglesOf[*found] += list.vertexIndexes.size() / 3;
            triangles += list.vertexIndexes.size() / 3;
        }
    }
    if (triangles > kMaxCanvasTriangles) {
        shape->batches.clear();
        *error = QCoreApplication::translate("Viewer",
                                             "its most detailed level holds %1 triangles, more "
                                             "than the viewer shows (%2 at most)")
                     .arg(triangles)
                     .arg(kMaxCanvasTriangles);
        return false;
    }
    for (size_t b = 0; b < shape->batches.size(); ++b) {
        ShapeBatch& batch = shape->batches[b];
        batch.positions.reserve(trianglesOf[b] * 9);
        batch.normals.reserve(trianglesOf[b] * 9);
        batch.uvs.reserve(trianglesOf[b] * 6);
    }
    auto listBatch = batchOfList.cbegin();
    for (const ShapeSubObject& sub : level.subObjects) {
        for (const ShapeTriangleList& list : sub.triangleLists) {
            ShapeBatch& batch = shape->batches[*listBatch++];
            const size_t indexes = list.vertexIndexes.size() / 3 * 3;
            for (size_t i = 0; i < indexes; ++i)
                AddVertex(model, sub.vertices[size_t(list.vertexIndexes[i])], &batch);
        }
    }
    // Blended batches go last, so that what lies behind them is drawn first.
    std::stable_partition(shape->batches.begin(), shape->batches.end(),
                          [](const ShapeBatch& b) { return b.alpha != AlphaMode::Blended; });
    return true;
}

std::vector<Mat4> PoseMatrices(const CanvasShape& shape, float phase) {
    const ShapeModel& model = shape.model;
    std::vector<Mat4> local(model.matrices.size());
    const ShapeAnimation* animation = model.animations.empty() ? nullptr : &model.animations[0];
    const float frame =
        animation ? std::clamp(phase, 0.0f, 1.0f) * float(animation->frameCount) : 0.0f;
    for (size_t i = 0; i < model.matrices.size(); ++i) {
        const int node = i < shape.animNodes.size() ? shape.animNodes[i] : -1;
        local[i] = AnimatedLocal(model.matrices[i],
                                 animation && node >= 0 ? &animation->nodes[size_t(node)] : nullptr,
                                 frame);
    }
    if (shape.level < 0)
        return local;
    // The reader has checked that the hierarchy has one entry per matrix and no cycles; a parent
    // may still come after its child. Each node is composed once, from its parent's pose: the
    // nodes up to one already composed wait on a stack and are composed on the way back down.
    const std::vector<int>& parents = model.distanceLevels[size_t(shape.level)].hierarchy;
    const auto parentOf = [&](size_t i) {
        const int p = i < parents.size() ? parents[i] : -1;
        return p >= 0 && size_t(p) < local.size() ? p : -1;
    };
    std::vector<Mat4> composed(local.size());
    std::vector<char> state(local.size(), 0); // 1 waiting, 2 composed
    std::vector<size_t> waiting;
    for (size_t i = 0; i < local.size(); ++i) {
        for (int node = int(i); node >= 0 && state[size_t(node)] == 0;
             node = parentOf(size_t(node))) {
            state[size_t(node)] = 1;
            waiting.push_back(size_t(node));
        }
        while (!waiting.empty()) {
            const size_t node = waiting.back();
            waiting.pop_back();
            const int p = parentOf(node);
            // A parent still waiting would close a loop: the node is then taken as a root.
            composed[node] = p >= 0 && state[size_t(p)] == 2
                                 ? MatrixMultiply(local[node], composed[size_t(p)])
                                 : local[node];
            state[node] = 2;
        }
    }
    return composed;
}

} // namespace qv
