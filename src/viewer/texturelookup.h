// Where a shape's texture file is: beside the shape first, then in the texture folder named
// relative to the shape's folder ("..\textures\" for rolling stock). Names come from downloaded
// files, so a name that reaches into another folder or drive is refused.
#pragma once

#include <QString>

namespace qv {

// `shapePath` is the shape's Windows-form path, `textureFolder` a folder relative to the shape's
// folder (or empty), `imageName` the name the shape gives. True with the file's Windows-form
// path in *found; false with the reason in *reason. Letter case does not matter (the file
// system layer finds each name without regard to it).
bool FindTextureFile(const QString& shapePath, const QString& textureFolder,
                     const QString& imageName, QString* found, QString* reason);

} // namespace qv
