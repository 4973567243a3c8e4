#include "viewer/shapelibrary.h"

#include "graphics/acefile.h"
#include "graphics/shapereader.h"
#include "platform/casefold.h"

namespace qv {

std::shared_ptr<const CanvasShape> ShapeLibrary::Shape(const QString& path, QString* error) {
    const QString key = FoldCase(path);
    if (auto found = shapes_.constFind(key); found != shapes_.constEnd())
        return *found;
    ++shapeReads_;
    auto shape = std::make_shared<CanvasShape>();
    shape->path = path;
    if (!ReadShapeFile(path, &shape->model, error))
        return nullptr;
    PrepareCanvasShape(shape.get());
    shapes_.insert(key, shape);
    return shape;
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
