#include "graphics/shapebuild.h"

#include "graphics/shapelists.h"
#include "graphics/shapetokens.h"
#include "platform/workers.h"

#include <algorithm>
#include <iterator>

namespace qv {

void ThrowShapeError(const QString& reason) {
    throw ShapeError{reason};
}

namespace {

using namespace shapelists;

void ExpectChild(ShapeSource& source, int wanted) {
    int token = 0;
    QString label;
    if (!OpenChild(source, &token, &label) || token != wanted)
        ThrowShapeError(QStringLiteral("a %1 block is expected at %2")
                            .arg(ShapeTokenName(wanted), source.Where()));
}

// A child block of the given kind holding a counted list of integers.
template <typename Values> void ReadIntegerBlock(ShapeSource& source, int block, Values* values) {
    ExpectChild(source, block);
    ReadIntegers(source, Count(source, block, false), values);
    source.Close();
}

ShapeVector ReadVector(ShapeSource& source) {
    ShapeVector v;
    v.x = source.Float();
    v.y = source.Float();
    v.z = source.Float();
    return v;
}

void ReadVolumes(ShapeSource& source, ShapeModel* model) {
    Count(source, kTokenVolumes, true);
    int token = 0;
    QString label;
    if (OpenChild(source, &token, &label)) {
        if (token == kTokenVolSphere) {
            ExpectChild(source, kTokenVector);
            model->boundsCentre = ReadVector(source);
            source.Close();
            model->boundsRadius = source.Float();
        }
        source.Close();
    }
}

void ReadNames(ShapeSource& source, int list, int item, std::vector<QString>* names) {
    ReadList(source, list, item, names,
             [](ShapeSource& source, QString& name, const QString&) { name = source.String(); });
}

void ReadPrimState(ShapeSource& source, ShapePrimState& state, const QString& label) {
    state.name = label;
    state.flags = source.Flags();
    state.shader = source.Int();
    ReadIntegerBlock(source, kTokenTexIdxs, &state.textures);
    state.zBias = source.Float();
    state.vertexState = source.Int();
    state.alphaTestMode = source.Int();
    state.lightConfig = source.Int();
    state.zBufferMode = source.Int();
}

void ReadVertex(ShapeSource& source, ShapeVertex& vertex) {
    if (source.Vertex(&vertex))
        return;
    vertex.flags = source.Flags();
    vertex.point = source.Int();
    vertex.normal = source.Int();
    vertex.colour1 = source.Flags();
    vertex.colour2 = source.Flags();
    ReadIntegerBlock(source, kTokenVertexUvs, &vertex.uvs);
}

// `primitives ( count prim_state_idx ( n ) indexed_trilist ( ... ) ... )`: a state index
// applies to the triangle lists after it; other kinds of primitives are passed over.
void ReadPrimitives(ShapeSource& source, ShapeSubObject* sub) {
    const qint64 count = Count(source, kTokenPrimitives, true);
    qint64 seen = 0;
    int state = 0;
    int token = 0;
    QString label;
    while (OpenChild(source, &token, &label)) {
        if (++seen > count)
            ThrowMoreThanClaimed(source, kTokenPrimitives, count);
        if (token == kTokenPrimStateIdx) {
            state = source.Int();
        } else if (token == kTokenIndexedTrilist) {
            // The list's indexes may be read later, when the triangle lists after it may have
            // moved it: it is found again by its place.
            const std::size_t index = sub->triangleLists.size();
            sub->triangleLists.push_back(ShapeTriangleList{state, {}});
            ExpectChild(source, kTokenVertexIdxs);
            ReadValues(source, kTokenVertexIdxs, &sub->triangleLists.back().vertexIndexes,
                       &sub->triangleLists, [sub, index] {
                           return index < sub->triangleLists.size()
                                      ? &sub->triangleLists[index].vertexIndexes
                                      : nullptr;
                       });
            source.Close();
        }
        source.Close();
    }
    if (seen != count)
        ThrowShapeError(QStringLiteral("the primitives list holds %1 entries, not the %2 it claims")
                            .arg(seen)
                            .arg(count));
}

void ReadSubObject(ShapeSource& source, ShapeSubObject& sub) {
    int token = 0;
    QString label;
    while (OpenChild(source, &token, &label)) {
        switch (token) {
        case kTokenVertices:
            ReadLongList(
                source, token, kTokenVertex, &sub.vertices,
                [](ShapeSource& source, ShapeVertex& vertex, const QString&) {
                    ReadVertex(source, vertex);
                },
                [](ShapeSource& source, ShapeVertex* first, qint64 room) {
                    return source.Vertices(first, room);
                });
            break;
        case kTokenVertexSets:
            ReadList(source, token, kTokenVertexSet, &sub.vertexSets,
                     [](ShapeSource& source, ShapeVertexSet& set, const QString&) {
                         set.vertexState = source.Int();
                         set.start = source.Int();
                         set.count = source.Int();
                     });
            break;
        case kTokenPrimitives:
            ReadPrimitives(source, &sub);
            break;
        default:
            break;
        }
        source.Close();
    }
}

void ReadDistanceLevel(ShapeSource& source, ShapeDistanceLevel& level) {
    int token = 0;
    QString label;
    while (OpenChild(source, &token, &label)) {
        if (token == kTokenDistanceLevelHeader) {
            int inner = 0;
            while (OpenChild(source, &inner, &label)) {
                if (inner == kTokenDlevelSelection)
                    level.selection = source.Float();
                else if (inner == kTokenHierarchy)
                    ReadIntegers(source, Count(source, inner, false), &level.hierarchy);
                source.Close();
            }
        } else if (token == kTokenSubObjects) {
            ReadList(source, token, kTokenSubObject, &level.subObjects,
                     [](ShapeSource& source, ShapeSubObject& sub, const QString&) {
                         ReadSubObject(source, sub);
                     });
        }
        source.Close();
    }
}

// `lod_controls ( count lod_control ( distance_levels_header ( ... ) distance_levels ( ... ) ) )`:
// the levels of every control, in file order.
void ReadLodControls(ShapeSource& source, ShapeModel* model) {
    const qint64 count = Count(source, kTokenLodControls, true);
    qint64 seen = 0;
    int token = 0;
    QString label;
    while (OpenChild(source, &token, &label)) {
        if (token != kTokenLodControl)
            ThrowShapeError(QStringLiteral("the lod_controls list holds a %1 block at %2")
                                .arg(ShapeTokenName(token), source.Where()));
        if (++seen > count)
            ThrowMoreThanClaimed(source, kTokenLodControls, count);
        while (OpenChild(source, &token, &label)) {
            if (token == kTokenDistanceLevels) {
                std::vector<ShapeDistanceLevel> levels;
                ReadList(source, token, kTokenDistanceLevel, &levels,
                         [](ShapeSource& source, ShapeDistanceLevel& level, const QString&) {
                             ReadDistanceLevel(source, level);
                         });
                // The first control's levels are taken over whole; those of a further one are
                // moved in, each level's lists staying where they are.
                if (model->distanceLevels.empty()) {
                    model->distanceLevels = std::move(levels);
                } else {
                    model->distanceLevels.reserve(model->distanceLevels.size() + levels.size());
                    std::move(levels.begin(), levels.end(),
                              std::back_inserter(model->distanceLevels));
                }
            }
            source.Close();
        }
        source.Close();
    }
    if (seen != count)
        ThrowShapeError(
            QStringLiteral("the lod_controls list holds %1 entries, not the %2 it claims")
                .arg(seen)
                .arg(count));
}

void ReadKey(ShapeSource& source, ShapeController::Kind kind, ShapeAnimKey& key) {
    using Kind = ShapeController::Kind;
    key.frame = source.Int();
    key.x = source.Float();
    key.y = source.Float();
    key.z = source.Float();
    if (IsRotation(kind))
        key.w = source.Float();
    else
        key.w = 0;
    if (kind == Kind::TcbPosition || kind == Kind::TcbRotation) {
        key.tension = source.Float();
        key.continuity = source.Float();
        key.bias = source.Float();
        key.in = source.Float();
        key.out = source.Float();
    }
}

void ReadControllers(ShapeSource& source, ShapeAnimNode& node) {
    using Kind = ShapeController::Kind;
    const qint64 count = Count(source, kTokenControllers, true);
    int token = 0;
    QString label;
    while (OpenChild(source, &token, &label)) {
        if (qint64(node.controllers.size()) >= count)
            ThrowMoreThanClaimed(source, kTokenControllers, count);
        ShapeController controller;
        int keyToken = kTokenTcbKey;
        switch (token) {
        case kTokenLinearPos:
            controller.kind = Kind::LinearPosition;
            keyToken = kTokenLinearKey;
            break;
        case kTokenTcbPos:
            controller.kind = Kind::TcbPosition;
            break;
        case kTokenSlerpRot:
            controller.kind = Kind::SlerpRotation;
            keyToken = kTokenSlerpRot;
            break;
        case kTokenTcbRot:
            controller.kind = Kind::TcbRotation;
            break;
        default:
            ThrowShapeError(QStringLiteral("the controllers list holds a %1 block at %2")
                                .arg(ShapeTokenName(token), source.Where()));
        }
        // A rotation controller may hold slerp keys among its TCB keys: each key block says
        // which it is.
        const qint64 keys = Count(source, token, true);
        controller.keys.reserve(std::size_t(std::min<qint64>(keys, kFirstReserve)));
        int key = 0;
        while (OpenChild(source, &key, &label)) {
            Kind kind = controller.kind;
            if (key == kTokenSlerpRot)
                kind = Kind::SlerpRotation;
            else if (key == kTokenLinearKey)
                kind = Kind::LinearPosition;
            else if (key != keyToken && key != kTokenTcbKey)
                ThrowShapeError(QStringLiteral("a %1 block stands among animation keys at %2")
                                    .arg(ShapeTokenName(key), source.Where()));
            if (qint64(controller.keys.size()) >= keys)
                ThrowMoreThanClaimed(source, token, keys);
            controller.keys.emplace_back();
            ReadKey(source, kind, controller.keys.back());
            source.Close();
        }
        if (qint64(controller.keys.size()) != keys)
            ThrowShapeError(QStringLiteral("an animation controller holds %1 keys, not the %2 it "
                                           "claims")
                                .arg(controller.keys.size())
                                .arg(keys));
        node.controllers.push_back(std::move(controller));
        source.Close();
    }
    if (qint64(node.controllers.size()) != count)
        ThrowShapeError(QStringLiteral("the animation node %1 holds %2 controllers, not the %3 it "
                                       "claims")
                            .arg(node.name)
                            .arg(node.controllers.size())
                            .arg(count));
}

void ReadAnimation(ShapeSource& source, ShapeAnimation& animation) {
    animation.frameCount = source.Int();
    animation.frameRate = source.Int();
    ExpectChild(source, kTokenAnimNodes);
    ReadList(source, kTokenAnimNodes, kTokenAnimNode, &animation.nodes,
             [](ShapeSource& source, ShapeAnimNode& node, const QString& label) {
                 node.name = label;
                 ExpectChild(source, kTokenControllers);
                 ReadControllers(source, node);
                 source.Close();
             });
    source.Close();
}

void ReadShapeBlock(ShapeSource& source, ShapeModel* model) {
    int token = 0;
    QString label;
    while (OpenChild(source, &token, &label)) {
        switch (token) {
        case kTokenVolumes:
            ReadVolumes(source, model);
            break;
        case kTokenShaderNames:
            ReadNames(source, token, kTokenNamedShader, &model->shaderNames);
            break;
        case kTokenTextureFilterNames:
            ReadNames(source, token, kTokenNamedFilterMode, &model->textureFilterNames);
            break;
        case kTokenPoints:
            ReadLongList(
                source, token, kTokenPoint, &model->points,
                [](ShapeSource& source, ShapeVector& p, const QString&) { p = ReadVector(source); },
                [](ShapeSource& source, ShapeVector* first, qint64 room) {
                    return source.Vectors(kTokenPoint, first, room);
                });
            break;
        case kTokenUvPoints:
            ReadLongList(
                source, token, kTokenUvPoint, &model->uvPoints,
                [](ShapeSource& source, ShapeUv& uv, const QString&) {
                    uv.u = source.Float();
                    uv.v = source.Float();
                },
                [](ShapeSource& source, ShapeUv* first, qint64 room) {
                    return source.Uvs(first, room);
                });
            break;
        case kTokenNormals:
            ReadLongList(
                source, token, kTokenVector, &model->normals,
                [](ShapeSource& source, ShapeVector& n, const QString&) { n = ReadVector(source); },
                [](ShapeSource& source, ShapeVector* first, qint64 room) {
                    return source.Vectors(kTokenVector, first, room);
                });
            break;
        case kTokenMatrices:
            ReadList(source, token, kTokenMatrix, &model->matrices,
                     [](ShapeSource& source, ShapeMatrix& matrix, const QString& name) {
                         matrix.name = name;
                         for (auto& row : matrix.m) {
                             for (float& value : row)
                                 value = source.Float();
                         }
                         matrix.translation = ReadVector(source);
                     });
            break;
        case kTokenImages:
            ReadNames(source, token, kTokenImage, &model->images);
            break;
        case kTokenTextures:
            ReadList(source, token, kTokenTexture, &model->textures,
                     [](ShapeSource& source, ShapeTexture& texture, const QString&) {
                         texture.image = source.Int();
                         texture.filterMode = source.Int();
                         texture.mipMapBias = source.Float();
                         texture.borderColour = source.Flags();
                     });
            break;
        case kTokenVtxStates:
            ReadList(source, token, kTokenVtxState, &model->vertexStates,
                     [](ShapeSource& source, ShapeVertexState& state, const QString&) {
                         state.flags = source.Flags();
                         state.matrix = source.Int();
                         state.lightMaterial = source.Int();
                         state.lightModelConfig = source.Int();
                         state.lightFlags = source.Flags();
                     });
            break;
        case kTokenPrimStates:
            ReadList(source, token, kTokenPrimState, &model->primStates,
                     [](ShapeSource& source, ShapePrimState& state, const QString& name) {
                         ReadPrimState(source, state, name);
                     });
            break;
        case kTokenLodControls:
            ReadLodControls(source, model);
            break;
        case kTokenAnimations:
            ReadList(source, token, kTokenAnimation, &model->animations,
                     [](ShapeSource& source, ShapeAnimation& animation, const QString&) {
                         ReadAnimation(source, animation);
                     });
            break;
        default:
            break;
        }
        source.Close();
    }
}

// The shape block read through `source`; long lists are left in `later` when it is given.
void ReadShape(ShapeSource& source, LaterLists* later, ShapeModel* model) {
    *model = ShapeModel();
    source.later = later;
    int token = 0;
    QString label;
    if (!OpenChild(source, &token, &label) || token != kTokenShape)
        ThrowShapeError(QStringLiteral("the file holds no shape block"));
    ReadShapeBlock(source, model);
    source.Close();
    source.later = nullptr;
}

} // namespace

void BuildShapeModel(const std::function<std::unique_ptr<ShapeSource>()>& open, ShapeModel* model) {
    // The long lists are read on several threads after the rest. Any fault, there or in the
    // rest, has the whole shape read again in one go, which reports the first fault of the file
    // where it stands.
    if (WorkerLimit() < 2) {
        // No thread to help: leaving lists for later would only cost a pass more.
        BuildShapeModel(*open(), model);
        return;
    }
    bool read = false;
    try {
        const std::unique_ptr<ShapeSource> source = open();
        LaterLists later;
        ReadShape(*source, &later, model);
        read = later.ReadAll();
    } catch (const ShapeError&) {
    }
    if (!read)
        ReadShape(*open(), nullptr, model);
    CheckShapeModel(*model);
}

void BuildShapeModel(ShapeSource& source, ShapeModel* model) {
    ReadShape(source, nullptr, model);
    CheckShapeModel(*model);
}

} // namespace qv
