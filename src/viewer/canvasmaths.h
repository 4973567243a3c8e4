// The matrix arithmetic of the 3-D canvas, in the convention MSTS shapes and the viewer windows
// use: left-handed axes (x to the side, y up, z along the consist) and row vectors, so that a
// point p becomes p * M and M1 * M2 applies M1 first. A matrix stored row by row is what OpenGL
// loads column by column, so the drawing code hands these matrices over unchanged.
#pragma once

#include "graphics/shapemodel.h"

namespace qv {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct Mat4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const float* Data() const { return &m[0][0]; }
};

Mat4 MatrixTranslation(float x, float y, float z);
// A turn by `angle` radians about the vertical axis, clockwise seen from above.
Mat4 MatrixRotationY(float angle);
// a * b: a applies first.
Mat4 MatrixMultiply(const Mat4& a, const Mat4& b);
// The rotation of a unit quaternion (x, y, z, w).
Mat4 MatrixRotationQuaternion(float x, float y, float z, float w);
// The view from `eye` towards `target` with `up` as the upward direction: the camera looks along
// +z of the result, x to its right and y up.
Mat4 MatrixLookAt(const Vec3& eye, const Vec3& target, const Vec3& up);
// Projections onto OpenGL's clip space (depth -1 at the near plane, +1 at the far one).
// `fovY` is the vertical field of view in radians, `aspect` width / height.
Mat4 MatrixPerspective(float fovY, float aspect, float nearPlane, float farPlane);
Mat4 MatrixOrthogonal(float width, float height, float nearPlane, float farPlane);

Vec3 TransformPoint(const Vec3& p, const Mat4& m);

// A shape's node matrix as a 4 x 4 matrix.
Mat4 ShapeMatrixToMat4(const ShapeMatrix& matrix);

// Where a vehicle stands: turned about its own vertical axis (half a turn when it is not
// flipped, a whole turn when it is, as the viewer windows have always asked), then moved along
// the consist to its centre.
Mat4 VehicleWorldMatrix(bool flipped, float centre);

} // namespace qv
