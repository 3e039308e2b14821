// Vector, matrix and plane maths in the graphics device's own conventions: row vectors (v' = v x M),
// left-handed view space, matrices laid out m[row][col] so the shell can copy them straight into the device.
#pragma once

#include <cstdint>

struct Vec3 {
    float x;  // right
    float y;  // up
    float z;  // into the screen in view space
};

struct Matrix {
    float m[4][4];  // m[row][col]; the translation sits in row 3
};

// The plane a*x + b*y + c*z + d = 0; (a, b, c) is the unit normal when built from points.
struct Plane {
    float a;  // normal x
    float b;  // normal y
    float c;  // normal z
    float d;  // minus the distance along the normal from the origin
};

// Matches the device's viewport so the picking maths sees exactly what the rasteriser uses.
struct Viewport {
    uint32_t x;       // left edge in pixels
    uint32_t y;       // top edge in pixels
    uint32_t width;   // pixels
    uint32_t height;  // pixels
    float minZ;       // depth written for the near plane, usually 0
    float maxZ;       // depth written for the far plane, usually 1
};

Vec3 Vec3Add(Vec3 a, Vec3 b);
Vec3 Vec3Subtract(Vec3 a, Vec3 b);
Vec3 Vec3Scale(Vec3 v, float s);
float Vec3Dot(Vec3 a, Vec3 b);
Vec3 Vec3Cross(Vec3 a, Vec3 b);
float Vec3Length(Vec3 v);
// Unit vector along v; the zero vector stays zero rather than turning into NaNs.
Vec3 Vec3Normalize(Vec3 v);

Matrix MatrixIdentity();
// View matrix for a camera at eye looking at at; up need not be perpendicular to the view direction.
Matrix MatrixLookAtLH(Vec3 eye, Vec3 at, Vec3 up);
// Projection mapping view-space depth zn..zf to 0..1; fovY is the vertical field of view in radians.
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zn, float zf);
Matrix MatrixTranslation(float x, float y, float z);
Matrix MatrixScaling(float x, float y, float z);
// a x b: applies a first, then b.
Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
// False, leaving out untouched, when m is singular.
bool MatrixInverse(const Matrix& m, Matrix& out);

// Transforms the point (x, y, z, 1) and divides by the resulting w (skipped when w is 0).
Vec3 Vec3TransformCoord(Vec3 v, const Matrix& m);
// Object space to screen: x, y in viewport pixels (y down), z in minZ..maxZ.
Vec3 Vec3Project(Vec3 v, const Viewport& vp, const Matrix& projection, const Matrix& view, const Matrix& world);
// Screen (pixels, depth) back to object space; the zero vector when the combined matrix is singular.
Vec3 Vec3Unproject(Vec3 screen, const Viewport& vp, const Matrix& projection, const Matrix& view, const Matrix& world);

// Plane through three points, normal = normalize((b - a) x (c - a)); collinear points give the zero plane.
Plane PlaneFromPoints(Vec3 a, Vec3 b, Vec3 c);
// Where the infinite line through lineStart and lineEnd meets the plane; false when they are parallel.
bool PlaneIntersectLine(const Plane& p, Vec3 lineStart, Vec3 lineEnd, Vec3& out);
