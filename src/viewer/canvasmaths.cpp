#include "viewer/canvasmaths.h"

#include <cmath>

namespace qv {

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Normalise(const Vec3& v) {
    const float length = std::sqrt(Dot(v, v));
    if (length <= 0)
        return v;
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace

Mat4 MatrixTranslation(float x, float y, float z) {
    Mat4 r;
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Mat4 MatrixRotationY(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Mat4 r;
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Mat4 MatrixMultiply(const Mat4& a, const Mat4& b) {
    Mat4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

Mat4 MatrixRotationQuaternion(float x, float y, float z, float w) {
    Mat4 r;
    r.m[0][0] = 1 - 2 * (y * y + z * z);
    r.m[0][1] = 2 * (x * y + z * w);
    r.m[0][2] = 2 * (x * z - y * w);
    r.m[1][0] = 2 * (x * y - z * w);
    r.m[1][1] = 1 - 2 * (x * x + z * z);
    r.m[1][2] = 2 * (y * z + x * w);
    r.m[2][0] = 2 * (x * z + y * w);
    r.m[2][1] = 2 * (y * z - x * w);
    r.m[2][2] = 1 - 2 * (x * x + y * y);
    return r;
}

Mat4 MatrixLookAt(const Vec3& eye, const Vec3& target, const Vec3& up) {
    const Vec3 zAxis = Normalise(Sub(target, eye));
    const Vec3 xAxis = Normalise(Cross(up, zAxis));
    const Vec3 yAxis = Cross(zAxis, xAxis);
    Mat4 r;
    const Vec3 axes[3] = {xAxis, yAxis, zAxis};
    for (int column = 0; column < 3; ++column) {
        r.m[0][column] = axes[column].x;
        r.m[1][column] = axes[column].y;
        r.m[2][column] = axes[column].z;
        r.m[3][column] = -Dot(axes[column], eye);
    }
    return r;
}

Mat4 MatrixPerspective(float fovY, float aspect, float nearPlane, float farPlane) {
    const float yScale = 1.0f / std::tan(fovY / 2);
    Mat4 r;
    r.m[0][0] = aspect > 0 ? yScale / aspect : yScale;
    r.m[1][1] = yScale;
    r.m[2][2] = (farPlane + nearPlane) / (farPlane - nearPlane);
    r.m[2][3] = 1;
    r.m[3][2] = -2 * farPlane * nearPlane / (farPlane - nearPlane);
    r.m[3][3] = 0;
    return r;
}

Mat4 MatrixOrthogonal(float width, float height, float nearPlane, float farPlane) {
    Mat4 r;
    r.m[0][0] = 2 / width;
    r.m[1][1] = 2 / height;
    r.m[2][2] = 2 / (farPlane - nearPlane);
    r.m[3][2] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    return r;
}

Vec3 TransformPoint(const Vec3& p, const Mat4& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

Mat4 ShapeMatrixToMat4(const ShapeMatrix& matrix) {
    Mat4 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = matrix.m[i][j];
    r.m[3][0] = matrix.translation.x;
    r.m[3][1] = matrix.translation.y;
    r.m[3][2] = matrix.translation.z;
    return r;
}

Mat4 VehicleWorldMatrix(bool flipped, float centre) {
    const float pi = 3.14159265358979f;
    return MatrixMultiply(MatrixRotationY(flipped ? -2 * pi : pi), MatrixTranslation(0, 0, centre));
}

} // namespace qv
