// Every index of a shape checked against what it points into, so that a renderer can walk the
// model without checks of its own.
#include "graphics/shapebuild.h"

#include <vector>

namespace qv {

namespace {

// `what` names the referring entry; it is called only when the index is out of range, so that a
// sound shape costs no messages.
template <typename Container, typename Name>
void CheckIndex(qint64 index, const Container& into, const Name& what, const char* kind) {
    if (index < 0 || index >= qint64(into.size()))
        ThrowShapeError(QStringLiteral("%1 names %2 %3, but the shape has %4")
                            .arg(what(), QLatin1String(kind))
                            .arg(index)
                            .arg(into.size()));
}

void CheckHierarchy(const ShapeDistanceLevel& level, std::size_t levelIndex,
                    std::size_t matrixCount) {
    const auto where = [&] {
        return QStringLiteral("the hierarchy of distance level %1").arg(levelIndex);
    };
    if (level.hierarchy.size() != matrixCount)
        ThrowShapeError(QStringLiteral("%1 has %2 entries for %3 matrices")
                            .arg(where())
                            .arg(level.hierarchy.size())
                            .arg(matrixCount));
    const std::size_t n = level.hierarchy.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (level.hierarchy[i] != -1)
            CheckIndex(level.hierarchy[i], level.hierarchy, where, "parent");
    }
    // Every walk from a node to its root ends, or it loops. A walk stops at the first node known
    // to reach a root, so that each node is walked through once; the first node, by index,
    // whose walk loops is the one named.
    enum : char { Unknown, OnWalk, ReachesRoot };
    std::vector<char> state(n, Unknown);
    std::vector<std::size_t> walk;
    for (std::size_t i = 0; i < n; ++i) {
        walk.clear();
        int node = int(i);
        while (node != -1 && state[std::size_t(node)] == Unknown) {
            state[std::size_t(node)] = OnWalk;
            walk.push_back(std::size_t(node));
            node = level.hierarchy[std::size_t(node)];
        }
        if (node != -1 && state[std::size_t(node)] == OnWalk)
            ThrowShapeError(
                QStringLiteral("%1 loops back on itself at matrix %2").arg(where()).arg(i));
        for (std::size_t on : walk)
            state[on] = ReachesRoot;
    }
}

// Whether every index of the sub-object's vertices and triangles is in range: one pass without
// a branch for each, as nearly every shape is sound; the checks that name the fault follow only
// when one is not.
bool IndexesInRange(const ShapeModel& model, const ShapeSubObject& sub) {
    // A negative index turns into a very large one.
    const auto below = [](int index, std::size_t size) { return quint64(qint64(index)) < size; };
    bool good = true;
    for (const ShapeVertex& vertex : sub.vertices) {
        good &=
            below(vertex.point, model.points.size()) & below(vertex.normal, model.normals.size());
        for (int uv : vertex.uvs)
            good &= below(uv, model.uvPoints.size());
    }
    for (const ShapeTriangleList& list : sub.triangleLists) {
        for (int index : list.vertexIndexes)
            good &= below(index, sub.vertices.size());
    }
    return good;
}

void CheckSubObject(const ShapeModel& model, const ShapeSubObject& sub, std::size_t subIndex,
                    std::size_t levelIndex) {
    const auto where = [&] {
        return QStringLiteral("sub-object %1 of distance level %2").arg(subIndex).arg(levelIndex);
    };
    const bool inRange = IndexesInRange(model, sub);
    for (std::size_t v = 0; !inRange && v < sub.vertices.size(); ++v) {
        const ShapeVertex& vertex = sub.vertices[v];
        const auto name = [&] { return QStringLiteral("vertex %1 of %2").arg(v).arg(where()); };
        CheckIndex(vertex.point, model.points, name, "point");
        CheckIndex(vertex.normal, model.normals, name, "normal");
        for (int uv : vertex.uvs)
            CheckIndex(uv, model.uvPoints, name, "UV point");
    }
    for (std::size_t s = 0; s < sub.vertexSets.size(); ++s) {
        const ShapeVertexSet& set = sub.vertexSets[s];
        const auto name = [&] { return QStringLiteral("vertex set %1 of %2").arg(s).arg(where()); };
        CheckIndex(set.vertexState, model.vertexStates, name, "vertex state");
        if (set.start < 0 || set.count < 0 ||
            qint64(set.start) + set.count > qint64(sub.vertices.size()))
            ThrowShapeError(QStringLiteral("%1 runs from vertex %2 for %3 vertices, beyond the %4 "
                                           "there are")
                                .arg(name())
                                .arg(set.start)
                                .arg(set.count)
                                .arg(sub.vertices.size()));
    }
    for (std::size_t t = 0; t < sub.triangleLists.size(); ++t) {
        const ShapeTriangleList& list = sub.triangleLists[t];
        const auto name = [&] {
            return QStringLiteral("triangle list %1 of %2").arg(t).arg(where());
        };
        CheckIndex(list.primState, model.primStates, name, "primitive state");
        if (list.vertexIndexes.size() % 3 != 0)
            ThrowShapeError(QStringLiteral("%1 has %2 vertex indexes, not whole triangles")
                                .arg(name())
                                .arg(list.vertexIndexes.size()));
        for (std::size_t i = 0; !inRange && i < list.vertexIndexes.size(); ++i)
            CheckIndex(list.vertexIndexes[i], sub.vertices, name, "vertex");
    }
}

} // namespace

void CheckShapeModel(const ShapeModel& model) {
    for (std::size_t i = 0; i < model.textures.size(); ++i) {
        const auto name = [&] { return QStringLiteral("texture %1").arg(i); };
        CheckIndex(model.textures[i].image, model.images, name, "image");
        CheckIndex(model.textures[i].filterMode, model.textureFilterNames, name, "filter mode");
    }
    for (std::size_t i = 0; i < model.vertexStates.size(); ++i) {
        const auto name = [&] { return QStringLiteral("vertex state %1").arg(i); };
        CheckIndex(model.vertexStates[i].matrix, model.matrices, name, "matrix");
    }
    for (std::size_t i = 0; i < model.primStates.size(); ++i) {
        const ShapePrimState& state = model.primStates[i];
        const auto name = [&] { return QStringLiteral("primitive state %1").arg(i); };
        CheckIndex(state.shader, model.shaderNames, name, "shader");
        CheckIndex(state.vertexState, model.vertexStates, name, "vertex state");
        for (int texture : state.textures)
            CheckIndex(texture, model.textures, name, "texture");
    }
    for (std::size_t l = 0; l < model.distanceLevels.size(); ++l) {
        const ShapeDistanceLevel& level = model.distanceLevels[l];
        CheckHierarchy(level, l, model.matrices.size());
        for (std::size_t s = 0; s < level.subObjects.size(); ++s)
            CheckSubObject(model, level.subObjects[s], s, l);
    }
}

} // namespace qv
