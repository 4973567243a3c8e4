#include "viewer/shapelibrary.h"

#include "graphics/acefile.h"
#include "graphics/shapereader.h"
#include "platform/casefold.h"

#include <QCoreApplication>
#include <algorithm>
#include <new>

namespace qv {

CanvasTexture HalveTexture(const CanvasTexture& texture) {
    CanvasTexture half;
    half.path = texture.path;
    half.hasAlpha = texture.hasAlpha;
    half.width = std::max(texture.width / 2, 1);
    half.height = std::max(texture.height / 2, 1);
    half.rgba.resize(qsizetype(half.width) * half.height * 4);
    const auto* from = reinterpret_cast<const uchar*>(texture.rgba.constData());
    auto* to = reinterpret_cast<uchar*>(half.rgba.data());
    for (int y = 0; y < half.height; ++y) {
        const int y0 = std::min(2 * y, texture.height - 1),
                  y1 = std::min(2 * y + 1, texture.height - 1);
        for (int x = 0; x < half.width; ++x) {
            const int x0 = std::min(2 * x, texture.width - 1),
                      x1 = std::min(2 * x + 1, texture.width - 1);
            const uchar* a = from + (qsizetype(y0) * texture.width + x0) * 4;
            const uchar* b = from + (qsizetype(y0) * texture.width + x1) * 4;
            const uchar* c = from + (qsizetype(y1) * texture.width + x0) * 4;
            const uchar* d = from + (qsizetype(y1) * texture.width + x1) * 4;
            uchar* out = to + (qsizetype(y) * half.width + x) * 4;
            for (int k = 0; k < 4; ++k)
                out[k] = uchar((a[k] + b[k] + c[k] + d[k] + 2) / 4);
        }
    }
    return half;
}

std::shared_ptr<const CanvasShape> ShapeLibrary::Shape(const QString& path, QString* error) {
    const QString key = FoldCase(path);
    if (auto found = shapes_.constFind(key); found != shapes_.constEnd())
        return *found;
    ++shapeReads_;
    // A shape too large for the memory there is fails alone: the viewer shows the others.
    try {
        auto shape = std::make_shared<CanvasShape>();
        shape->path = path;
        if (!ReadShapeFile(path, &shape->model, error) || !PrepareCanvasShape(shape.get(), error))
            return nullptr;
        shapes_.insert(key, shape);
        return shape;
    } catch (const std::bad_alloc&) {
        *error = QCoreApplication::translate("Viewer", "the shape is too large to load");
        return nullptr;
    }
}

std::shared_ptr<const CanvasTexture> ShapeLibrary::Texture(const QString& path, QString* error) {
    const QString key = FoldCase(path);
    if (auto found = textures_.constFind(key); found != textures_.constEnd()) {
        *error = found->error;
        return found->texture;
    }
    ++textureReads_;
    TextureEntry entry;
    AceTexture ace;
    QString reason;
    if (LoadAceFile(path, &ace, &reason)) {
        auto texture = std::make_shared<CanvasTexture>();
        texture->path = path;
        texture->width = ace.width;
        texture->height = ace.height;
        texture->hasAlpha = ace.hasAlpha;
        texture->rgba = std::move(ace.rgba);
        entry.texture = std::move(texture);
    } else {
        entry.error = reason;
    }
    textures_.insert(key, entry);
    *error = entry.error;
    return entry.texture;
}

} // namespace qv
