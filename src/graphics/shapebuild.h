// Builds a shape model from either form of a shape file and checks every index in it.
#pragma once

#include "graphics/shapemodel.h"
#include "graphics/shapesource.h"

#include <functional>
#include <memory>

namespace qv {

// Reads the `shape` block from the source into the model; throws ShapeError when the file is
// malformed or an index points outside what the file holds.
void BuildShapeModel(ShapeSource& source, ShapeModel* model);

// The same from the source `open` gives, with the long lists read on several threads after the
// rest where the source can cut them into runs; on any fault the shape is read again in one go
// from a second source `open` gives, so that the fault is reported as a reading in one go finds
// it.
void BuildShapeModel(const std::function<std::unique_ptr<ShapeSource>()>& open, ShapeModel* model);

// Throws ShapeError when an index of the model points outside what it indexes, or the
// hierarchy of a distance level does not fit its matrices or loops.
void CheckShapeModel(const ShapeModel& model);

} // namespace qv
