// Reads an MSTS shape (.s) file, text or binary, plain or compressed, into a ShapeModel.
#pragma once

#include "graphics/shapemodel.h"

#include <QByteArray>
#include <QString>

namespace qv {

// Reads the shape at a Windows-form path. False with the reason in *error (and an empty model)
// when the file cannot be read, is no shape or is malformed in any way.
bool ReadShapeFile(const QString& windowsPath, ShapeModel* model, QString* error);

// The same from the file's bytes.
bool ReadShapeBytes(const QByteArray& file, ShapeModel* model, QString* error);

} // namespace qv
