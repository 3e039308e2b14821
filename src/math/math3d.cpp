// Vector, matrix and plane maths for the camera, picking and the Add tool.
#include "math/math3d.h"

#include <cmath>

Vec3 Vec3Add(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 Vec3Subtract(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 Vec3Scale(Vec3 v, float s) {
    return {v.x * s, v.y * s, v.z * s};
}

float Vec3Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Vec3Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Vec3Length(Vec3 v) {
    return std::sqrt(Vec3Dot(v, v));
}

Vec3 Vec3Normalize(Vec3 v) {
    float length = Vec3Length(v);
    if (length == 0.0f) {
        return {0.0f, 0.0f, 0.0f};
    }
    return Vec3Scale(v, 1.0f / length);
}

Matrix MatrixIdentity() {
    Matrix r = {};
    r.m[0][0] = r.m[1][1] = r.m[2][2] = r.m[3][3] = 1.0f;
    return r;
}

Matrix MatrixLookAtLH(Vec3 eye, Vec3 at, Vec3 up) {
    Vec3 zAxis = Vec3Normalize(Vec3Subtract(at, eye));
    Vec3 xAxis = Vec3Normalize(Vec3Cross(up, zAxis));
    Vec3 yAxis = Vec3Cross(zAxis, xAxis);

    Matrix r = MatrixIdentity();
    r.m[0][0] = xAxis.x;
    r.m[1][0] = xAxis.y;
    r.m[2][0] = xAxis.z;
    r.m[0][1] = yAxis.x;
    r.m[1][1] = yAxis.y;
    r.m[2][1] = yAxis.z;
    r.m[0][2] = zAxis.x;
    r.m[1][2] = zAxis.y;
    r.m[2][2] = zAxis.z;
    r.m[3][0] = -Vec3Dot(xAxis, eye);
    r.m[3][1] = -Vec3Dot(yAxis, eye);
    r.m[3][2] = -Vec3Dot(zAxis, eye);
    return r;
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zn, float zf) {
    float yScale = 1.0f / std::tan(fovY / 2.0f);
    float xScale = yScale / aspect;
    Matrix r = {};
    r.m[0][0] = xScale;
    r.m[1][1] = yScale;
    r.m[2][2] = zf / (zf - zn);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zn * zf / (zf - zn);
    return r;
}

Matrix MatrixTranslation(float x, float y, float z) {
    Matrix r = MatrixIdentity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix MatrixScaling(float x, float y, float z) {
    Matrix r = {};
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    r.m[3][3] = 1.0f;
    return r;
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[row][k] * b.m[k][col];
            }
            r.m[row][col] = sum;
        }
    }
    return r;
}

bool MatrixInverse(const Matrix& m, Matrix& out) {
    // Picking inverts view x projection, whose entries span several orders of magnitude (near 0.1, far
    // hundreds), so the cofactors are worked out in double to keep unprojected rays steady.
    double a[16];
    for (int i = 0; i < 16; ++i) {
        a[i] = m.m[i / 4][i % 4];
    }
    // Pairwise 2x2 determinants of the top two rows and of the bottom two rows.
    double s0 = a[0] * a[5] - a[4] * a[1];
    double s1 = a[0] * a[6] - a[4] * a[2];
    double s2 = a[0] * a[7] - a[4] * a[3];
    double s3 = a[1] * a[6] - a[5] * a[2];
    double s4 = a[1] * a[7] - a[5] * a[3];
    double s5 = a[2] * a[7] - a[6] * a[3];
    double c5 = a[10] * a[15] - a[14] * a[11];
    double c4 = a[9] * a[15] - a[13] * a[11];
    double c3 = a[9] * a[14] - a[13] * a[10];
    double c2 = a[8] * a[15] - a[12] * a[11];
    double c1 = a[8] * a[14] - a[12] * a[10];
    double c0 = a[8] * a[13] - a[12] * a[9];

    double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (det == 0.0 || !std::isfinite(det)) {
        return false;
    }
    double inv = 1.0 / det;
    double r[16] = {
        (a[5] * c5 - a[6] * c4 + a[7] * c3),     (-a[1] * c5 + a[2] * c4 - a[3] * c3),
        (a[13] * s5 - a[14] * s4 + a[15] * s3),  (-a[9] * s5 + a[10] * s4 - a[11] * s3),
        (-a[4] * c5 + a[6] * c2 - a[7] * c1),    (a[0] * c5 - a[2] * c2 + a[3] * c1),
        (-a[12] * s5 + a[14] * s2 - a[15] * s1), (a[8] * s5 - a[10] * s2 + a[11] * s1),
        (a[4] * c4 - a[5] * c2 + a[7] * c0),     (-a[0] * c4 + a[1] * c2 - a[3] * c0),
        (a[12] * s4 - a[13] * s2 + a[15] * s0),  (-a[8] * s4 + a[9] * s2 - a[11] * s0),
        (-a[4] * c3 + a[5] * c1 - a[6] * c0),    (a[0] * c3 - a[1] * c1 + a[2] * c0),
        (-a[12] * s3 + a[13] * s1 - a[14] * s0), (a[8] * s3 - a[9] * s1 + a[10] * s0),
    };
    for (int i = 0; i < 16; ++i) {
        out.m[i / 4][i % 4] = static_cast<float>(r[i] * inv);
    }
    return true;
}

Vec3 Vec3TransformCoord(Vec3 v, const Matrix& m) {
    float x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0];
    float y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1];
    float z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2];
    float w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + m.m[3][3];
    if (w == 0.0f) {
        return {x, y, z};
    }
    return {x / w, y / w, z / w};
}

Vec3 Vec3Project(Vec3 v, const Viewport& vp, const Matrix& projection, const Matrix& view, const Matrix& world) {
    Matrix combined = MatrixMultiply(MatrixMultiply(world, view), projection);
    Vec3 clip = Vec3TransformCoord(v, combined);
    float width = static_cast<float>(vp.width);
    float height = static_cast<float>(vp.height);
    return {static_cast<float>(vp.x) + (1.0f + clip.x) * width / 2.0f,
            static_cast<float>(vp.y) + (1.0f - clip.y) * height / 2.0f, vp.minZ + clip.z * (vp.maxZ - vp.minZ)};
}

Vec3 Vec3Unproject(Vec3 screen, const Viewport& vp, const Matrix& projection, const Matrix& view, const Matrix& world) {
    Matrix combined = MatrixMultiply(MatrixMultiply(world, view), projection);
    Matrix inverse;
    if (!MatrixInverse(combined, inverse)) {
        return {0.0f, 0.0f, 0.0f};
    }
    // A zero-sized viewport or depth range has no inverse; pin those axes to the centre / near plane
    // instead of dividing by zero.
    Vec3 clip = {0.0f, 0.0f, 0.0f};
    if (vp.width != 0) {
        clip.x = 2.0f * (screen.x - static_cast<float>(vp.x)) / static_cast<float>(vp.width) - 1.0f;
    }
    if (vp.height != 0) {
        clip.y = 1.0f - 2.0f * (screen.y - static_cast<float>(vp.y)) / static_cast<float>(vp.height);
    }
    if (vp.maxZ != vp.minZ) {
        clip.z = (screen.z - vp.minZ) / (vp.maxZ - vp.minZ);
    }
    return Vec3TransformCoord(clip, inverse);
}

Plane PlaneFromPoints(Vec3 a, Vec3 b, Vec3 c) {
    Vec3 normal = Vec3Normalize(Vec3Cross(Vec3Subtract(b, a), Vec3Subtract(c, a)));
    return {normal.x, normal.y, normal.z, -Vec3Dot(normal, a)};
}

bool PlaneIntersectLine(const Plane& p, Vec3 lineStart, Vec3 lineEnd, Vec3& out) {
    Vec3 normal = {p.a, p.b, p.c};
    Vec3 direction = Vec3Subtract(lineEnd, lineStart);
    float along = Vec3Dot(normal, direction);
    if (along == 0.0f) {
        return false;
    }
    float t = (Vec3Dot(normal, lineStart) + p.d) / along;
    out = Vec3Subtract(lineStart, Vec3Scale(direction, t));
    return true;
}
