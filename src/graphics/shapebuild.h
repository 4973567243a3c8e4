// Builds a shape model from either form of a shape file and checks every index in it.
#pragma once

#include "graphics/shapemodel.h"
#include "graphics/shapesource.h"

namespace qv {

// Reads the `shape` block from the source into the model; throws ShapeError when the file is
// malformed or an index points outside what the file holds.
void BuildShapeModel(ShapeSource& source, ShapeModel* model);

// Throws ShapeError when an index of the model points outside what it indexes, or the
// hierarchy of a distance level does not fit its matrices or loops.
void CheckShapeModel(const ShapeModel& model);

} // namespace qv
