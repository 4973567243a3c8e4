// The shape reader on a whole file: text (UTF-16 or 8-bit), binary, plain or compressed. A text
// shape is read both ways, its long lists on threads as the reader does it and everything in one
// go: the two must give the same model or the same fault. A model the reader gives must pass the
// model check again.
#include "fuzzsupport.h"
#include "graphics/shapebuild.h"
#include "graphics/shapereader.h"
#include "graphics/simisfile.h"

#include <QSysInfo>
#include <bit>
#include <cstdio>
#include <new>

namespace {

bool Same(float a, float b) {
    return std::bit_cast<quint32>(a) == std::bit_cast<quint32>(b);
}
bool Same(const qv::ShapeVector& a, const qv::ShapeVector& b) {
    return Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z);
}
bool Same(const qv::ShapeUv& a, const qv::ShapeUv& b) {
    return Same(a.u, b.u) && Same(a.v, b.v);
}
bool Same(const qv::ShapeMatrix& a, const qv::ShapeMatrix& b) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (!Same(a.m[i][j], b.m[i][j]))
                return false;
    return a.name == b.name && Same(a.translation, b.translation);
}
bool Same(const qv::ShapeTexture& a, const qv::ShapeTexture& b) {
    return a.image == b.image && a.filterMode == b.filterMode && Same(a.mipMapBias, b.mipMapBias) &&
           a.borderColour == b.borderColour;
}
bool Same(const qv::ShapeVertexState& a, const qv::ShapeVertexState& b) {
    return a.flags == b.flags && a.matrix == b.matrix && a.lightMaterial == b.lightMaterial &&
           a.lightModelConfig == b.lightModelConfig && a.lightFlags == b.lightFlags;
}
bool Same(const qv::ShapePrimState& a, const qv::ShapePrimState& b) {
    return a.name == b.name && a.flags == b.flags && a.shader == b.shader &&
           a.textures == b.textures && Same(a.zBias, b.zBias) && a.vertexState == b.vertexState &&
           a.alphaTestMode == b.alphaTestMode && a.lightConfig == b.lightConfig &&
           a.zBufferMode == b.zBufferMode;
}
bool Same(const qv::ShapeVertex& a, const qv::ShapeVertex& b) {
    return a.flags == b.flags && a.point == b.point && a.normal == b.normal &&
           a.colour1 == b.colour1 && a.colour2 == b.colour2 && a.uvs == b.uvs;
}
bool Same(const qv::ShapeVertexSet& a, const qv::ShapeVertexSet& b) {
    return a.vertexState == b.vertexState && a.start == b.start && a.count == b.count;
}
bool Same(const qv::ShapeTriangleList& a, const qv::ShapeTriangleList& b) {
    return a.primState == b.primState && a.vertexIndexes == b.vertexIndexes;
}
bool Same(const QString& a, const QString& b) {
    return a == b;
}
template <typename T> bool Same(const std::vector<T>& a, const std::vector<T>& b);
bool Same(const qv::ShapeSubObject& a, const qv::ShapeSubObject& b) {
    return Same(a.vertices, b.vertices) && Same(a.vertexSets, b.vertexSets) &&
           Same(a.triangleLists, b.triangleLists);
}
bool Same(const qv::ShapeDistanceLevel& a, const qv::ShapeDistanceLevel& b) {
    return Same(a.selection, b.selection) && a.hierarchy == b.hierarchy &&
           Same(a.subObjects, b.subObjects);
}
bool Same(const qv::ShapeAnimKey& a, const qv::ShapeAnimKey& b) {
    return a.frame == b.frame && Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z) &&
           Same(a.w, b.w) && Same(a.tension, b.tension) && Same(a.continuity, b.continuity) &&
           Same(a.bias, b.bias) && Same(a.in, b.in) && Same(a.out, b.out);
}
bool Same(const qv::ShapeController& a, const qv::ShapeController& b) {
    return a.kind == b.kind && Same(a.keys, b.keys);
}
bool Same(const qv::ShapeAnimNode& a, const qv::ShapeAnimNode& b) {
    return a.name == b.name && Same(a.controllers, b.controllers);
}
bool Same(const qv::ShapeAnimation& a, const qv::ShapeAnimation& b) {
    return a.frameCount == b.frameCount && a.frameRate == b.frameRate && Same(a.nodes, b.nodes);
}
template <typename T> bool Same(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!Same(a[i], b[i]))
            return false;
    return true;
}
bool Same(const qv::ShapeModel& a, const qv::ShapeModel& b) {
    return Same(a.boundsCentre, b.boundsCentre) && Same(a.boundsRadius, b.boundsRadius) &&
           Same(a.shaderNames, b.shaderNames) && Same(a.textureFilterNames, b.textureFilterNames) &&
           Same(a.points, b.points) && Same(a.uvPoints, b.uvPoints) && Same(a.normals, b.normals) &&
           Same(a.matrices, b.matrices) && Same(a.images, b.images) &&
           Same(a.textures, b.textures) && Same(a.vertexStates, b.vertexStates) &&
           Same(a.primStates, b.primStates) && Same(a.distanceLevels, b.distanceLevels) &&
           Same(a.animations, b.animations);
}

// The text of a text shape's body after its sub-header, as the reader takes it; false for a
// binary shape or anything else.
bool ShapeText(const qv::SimisBody& body, QString* text) {
    const QByteArrayView bytes = body.Body();
    const qsizetype step = body.utf16 ? 2 : 1;
    if (bytes.size() < 16 * step)
        return false;
    QByteArray header;
    for (qsizetype i = 0; i < 8; ++i)
        header.append(bytes[i * step]);
    if (!header.startsWith("JINX0s") || header[7] != 't')
        return false;
    *text = body.utf16 ? qv::Utf16LeText(reinterpret_cast<const uchar*>(bytes.constData()),
                                         bytes.size() / 2)
                       : QString::fromLatin1(bytes);
    text->remove(0, 16);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray file = qv::fuzz::Input(data, size);
    qv::ShapeModel model;
    QString error;
    const bool read = qv::ReadShapeBytes(file, &model, &error);
    if (read) {
        try {
            qv::CheckShapeModel(model);
        } catch (const qv::ShapeError&) {
            __builtin_trap(); // the reader handed out a model with a bad index
        }
    }

    qv::SimisBody body;
    QString text;
    QString bodyError;
    if (!qv::ReadSimisBody(file, &body, &bodyError) || !ShapeText(body, &text))
        return 0;
    qv::ShapeModel oneGo;
    QString oneGoError;
    bool oneGoRead = false;
    try {
        qv::BuildShapeModel(*qv::NewTextShapeSource(text), &oneGo);
        oneGoRead = true;
    } catch (const qv::ShapeError& failure) {
        oneGoError = failure.reason;
        oneGo = qv::ShapeModel();
    } catch (const std::bad_alloc&) {
        oneGoError = QStringLiteral("the shape is too large to load");
        oneGo = qv::ShapeModel();
    }
    if (oneGoRead != read || oneGoError != error || !Same(model, oneGo)) {
        // Reading on threads and in one go disagree.
        std::fprintf(stderr, "on threads: %d \"%s\"\nin one go: %d \"%s\"\n", int(read),
                     qPrintable(error), int(oneGoRead), qPrintable(oneGoError));
        __builtin_trap();
    }
    return 0;
}
