// What a canvas has read: each shape file parsed once and each texture file read once, kept
// for every vehicle that uses them while the canvas lives. Files are known by their path
// without regard to letter case.
#pragma once

#include "viewer/canvasshape.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>

namespace qv {

// A texture's texels, ready to be handed to the graphics card once.
struct CanvasTexture {
    QString path;
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    QByteArray rgba; // width x height texels, top row first, red, green, blue, alpha
};

// The next smaller level of a texture for distant drawing: each texel the mean of the (up to)
// four it covers, half as wide and half as tall (at least one texel each way).
CanvasTexture HalveTexture(const CanvasTexture& texture);

class ShapeLibrary {
public:
    // The shape at a Windows-form path, read and prepared on first use; null with the reason in
    // *error when it cannot be read, is larger than the viewer takes or than the memory there is
    // (a failure is not kept, so a mended file reads next time).
    std::shared_ptr<const CanvasShape> Shape(const QString& path, QString* error);
    // The texture at a Windows-form path, read on first use; null with the reason when it
    // cannot be read (remembered, so a bad texture is not read again for every vehicle).
    std::shared_ptr<const CanvasTexture> Texture(const QString& path, QString* error);

    // How many files were read, for tests and the benchmark.
    int ShapeReads() const { return shapeReads_; }
    int TextureReads() const { return textureReads_; }

private:
    struct TextureEntry {
        std::shared_ptr<const CanvasTexture> texture;
        QString error;
    };
    QHash<QString, std::shared_ptr<const CanvasShape>> shapes_;
    QHash<QString, TextureEntry> textures_;
    int shapeReads_ = 0;
    int textureReads_ = 0;
};

} // namespace qv
