#include "math/math3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectVecNear(Vec3 expected, Vec3 actual, float tolerance) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

void ExpectMatrixNear(const Matrix& expected, const Matrix& actual, float tolerance) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            EXPECT_NEAR(expected.m[row][col], actual.m[row][col], tolerance) << "at [" << row << "][" << col << "]";
        }
    }
}

// Checks a x b == identity in double, allowing for the float rounding of entries as large as the inputs'.
void ExpectProductIsIdentity(const Matrix& a, const Matrix& b) {
    double largestA = 0.0;
    double largestB = 0.0;
    for (int i = 0; i < 16; ++i) {
        largestA = std::max(largestA, std::fabs(static_cast<double>(a.m[i / 4][i % 4])));
        largestB = std::max(largestB, std::fabs(static_cast<double>(b.m[i / 4][i % 4])));
    }
    const double tolerance = 1e-6 * std::max(1.0, 4.0 * largestA * largestB);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(a.m[row][k]) * b.m[k][col];
            }
            EXPECT_NEAR(row == col ? 1.0 : 0.0, sum, tolerance) << "at [" << row << "][" << col << "]";
        }
    }
}

Matrix MatrixFromRows(const float (&values)[16]) {
    Matrix r;
    std::memcpy(r.m, values, sizeof(values));
    return r;
}

// The camera the editor uses: looking down at the grid from an angle.
Matrix EditorView() {
    return MatrixLookAtLH({112.0f, 130.0f, 80.0f}, {100.0f, 100.0f, 100.0f}, {0.0f, 1.0f, 0.0f});
}

Matrix EditorProjection() {
    return MatrixPerspectiveFovLH(kPi / 3.0f, 4.0f / 3.0f, 0.1f, 300.0f);
}

}  // namespace

TEST(MathLayout, MatchesTheDeviceMatrixMemoryLayout) {
    static_assert(sizeof(Matrix) == 16 * sizeof(float), "Matrix is copied byte for byte into the device");
    static_assert(std::is_trivially_copyable<Matrix>::value, "Matrix is copied byte for byte into the device");
    // Row 3 holds the translation, and it must come at floats 12..14.
    Matrix t = MatrixTranslation(7.0f, 8.0f, 9.0f);
    float flat[16];
    std::memcpy(flat, &t, sizeof(flat));
    EXPECT_EQ(7.0f, flat[12]);
    EXPECT_EQ(8.0f, flat[13]);
    EXPECT_EQ(9.0f, flat[14]);
    EXPECT_EQ(1.0f, flat[15]);
}

TEST(MathVector, NormalizeAndProducts) {
    ExpectVecNear({0.6f, 0.8f, 0.0f}, Vec3Normalize({3.0f, 4.0f, 0.0f}), 1e-6f);
    ExpectVecNear({0.0f, 0.0f, -1.0f}, Vec3Normalize({0.0f, 0.0f, -0.001f}), 1e-6f);
    Vec3 zero = Vec3Normalize({0.0f, 0.0f, 0.0f});
    EXPECT_EQ(0.0f, zero.x);
    EXPECT_EQ(0.0f, zero.y);
    EXPECT_EQ(0.0f, zero.z);

    // Left-handed or not, x cross y is z; the handedness lives in how the camera uses it.
    ExpectVecNear({0.0f, 0.0f, 1.0f}, Vec3Cross({1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}), 0.0f);
    ExpectVecNear({-3.0f, 6.0f, -3.0f}, Vec3Cross({1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}), 1e-6f);
    EXPECT_FLOAT_EQ(32.0f, Vec3Dot({1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}));
}

TEST(MathMatrix, MultiplyAppliesLeftOperandFirst) {
    Matrix translateThenScale = MatrixMultiply(MatrixTranslation(1.0f, 2.0f, 3.0f), MatrixScaling(2.0f, 3.0f, 4.0f));
    Matrix scaleThenTranslate = MatrixMultiply(MatrixScaling(2.0f, 3.0f, 4.0f), MatrixTranslation(1.0f, 2.0f, 3.0f));
    ExpectVecNear({4.0f, 9.0f, 16.0f}, Vec3TransformCoord({1.0f, 1.0f, 1.0f}, translateThenScale), 1e-6f);
    ExpectVecNear({3.0f, 5.0f, 7.0f}, Vec3TransformCoord({1.0f, 1.0f, 1.0f}, scaleThenTranslate), 1e-6f);

    const float values[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    Matrix m = MatrixFromRows(values);
    ExpectMatrixNear(m, MatrixMultiply(MatrixIdentity(), m), 0.0f);
    ExpectMatrixNear(m, MatrixMultiply(m, MatrixIdentity()), 0.0f);
    // Row 0 of m x m: (1,2,3,4) against each column.
    Matrix squared = MatrixMultiply(m, m);
    EXPECT_FLOAT_EQ(90.0f, squared.m[0][0]);
    EXPECT_FLOAT_EQ(100.0f, squared.m[0][1]);
    EXPECT_FLOAT_EQ(110.0f, squared.m[0][2]);
    EXPECT_FLOAT_EQ(120.0f, squared.m[0][3]);
}

TEST(MathMatrix, LookAtAlongPlusZIsATranslation) {
    Matrix view = MatrixLookAtLH({0.0f, 0.0f, -5.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    ExpectMatrixNear(MatrixTranslation(0.0f, 0.0f, 5.0f), view, 1e-6f);
}

TEST(MathMatrix, LookAtPutsTargetAheadOnTheViewAxis) {
    struct Case {
        Vec3 eye;
        Vec3 at;
        Vec3 up;
    };
    const Case cases[] = {
        {{5.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}},
        {{112.0f, 130.0f, 80.0f}, {100.0f, 100.0f, 100.0f}, {0.0f, 1.0f, 0.0f}},
        {{-3.0f, 2.0f, 7.0f}, {1.0f, -1.0f, 2.0f}, {0.3f, 1.0f, 0.1f}},  // up not perpendicular
    };
    for (const Case& c : cases) {
        Matrix view = MatrixLookAtLH(c.eye, c.at, c.up);
        float distance = Vec3Length(Vec3Subtract(c.at, c.eye));
        ExpectVecNear({0.0f, 0.0f, 0.0f}, Vec3TransformCoord(c.eye, view), 1e-4f);
        ExpectVecNear({0.0f, 0.0f, distance}, Vec3TransformCoord(c.at, view), 1e-4f);
        // A point above the eye along up stays in the upper half of view space.
        EXPECT_GT(Vec3TransformCoord(Vec3Add(c.eye, c.up), view).y, 0.0f);
        // The rotation part is orthonormal.
        for (int i = 0; i < 3; ++i) {
            Vec3 column = {view.m[0][i], view.m[1][i], view.m[2][i]};
            EXPECT_NEAR(1.0f, Vec3Length(column), 1e-5f);
        }
    }

    // Looking along -x from +x: view x is world +z (left-handed), view z is world -x.
    Matrix view = MatrixLookAtLH({5.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    const float expected[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 5, 1};
    ExpectMatrixNear(MatrixFromRows(expected), view, 1e-6f);
}

TEST(MathMatrix, PerspectiveEntries) {
    const float fov = kPi / 3.0f;
    Matrix p = MatrixPerspectiveFovLH(fov, 4.0f / 3.0f, 0.1f, 300.0f);
    const float yScale = 1.0f / std::tan(fov / 2.0f);  // sqrt(3)
    Matrix expected = {};
    expected.m[0][0] = yScale * 3.0f / 4.0f;
    expected.m[1][1] = yScale;
    expected.m[2][2] = 300.0f / 299.9f;
    expected.m[2][3] = 1.0f;
    expected.m[3][2] = -0.1f * 300.0f / 299.9f;
    ExpectMatrixNear(expected, p, 1e-5f);
    EXPECT_NEAR(1.7320508f, p.m[1][1], 1e-5f);

    // Depth 0 at the near plane, 1 at the far plane, and the frustum edge lands on clip x = 1.
    EXPECT_NEAR(0.0f, Vec3TransformCoord({0.0f, 0.0f, 0.1f}, p).z, 1e-5f);
    EXPECT_NEAR(1.0f, Vec3TransformCoord({0.0f, 0.0f, 300.0f}, p).z, 1e-5f);
    const float halfHeightAt10 = 10.0f * std::tan(fov / 2.0f);
    Vec3 corner = Vec3TransformCoord({halfHeightAt10 * 4.0f / 3.0f, halfHeightAt10, 10.0f}, p);
    EXPECT_NEAR(1.0f, corner.x, 1e-5f);
    EXPECT_NEAR(1.0f, corner.y, 1e-5f);
}

TEST(MathMatrix, InverseTimesMatrixIsIdentity) {
    const float general[16] = {2, 0, 1, 0, 1, 3, 0, 0, 0, 1, 4, 0, 5, -2, 7, 1};
    const float withPerspectiveColumn[16] = {1, 2, 0, 0.5f, 0, 1, 3, 0, 4, 0, 1, 1, 0, 2, 0, 2};
    const Matrix cases[] = {
        MatrixIdentity(),
        MatrixTranslation(-100.0f, 3.5f, 42.0f),
        MatrixScaling(0.5f, 4.0f, -2.0f),
        EditorView(),
        EditorProjection(),
        MatrixMultiply(EditorView(), EditorProjection()),
        MatrixFromRows(general),
        MatrixFromRows(withPerspectiveColumn),
    };
    for (const Matrix& m : cases) {
        Matrix inverse;
        ASSERT_TRUE(MatrixInverse(m, inverse));
        ExpectProductIsIdentity(inverse, m);
        ExpectProductIsIdentity(m, inverse);
    }

    Matrix known;
    ASSERT_TRUE(MatrixInverse(MatrixTranslation(1.0f, 2.0f, 3.0f), known));
    ExpectMatrixNear(MatrixTranslation(-1.0f, -2.0f, -3.0f), known, 1e-6f);
}

TEST(MathMatrix, SingularInverseFailsAndLeavesOutputAlone) {
    const float repeatedRow[16] = {1, 2, 3, 4, 1, 2, 3, 4, 0, 0, 1, 0, 0, 0, 0, 1};
    const Matrix cases[] = {MatrixScaling(1.0f, 0.0f, 1.0f), MatrixFromRows(repeatedRow), Matrix{}};
    for (const Matrix& m : cases) {
        Matrix out = MatrixTranslation(9.0f, 9.0f, 9.0f);
        EXPECT_FALSE(MatrixInverse(m, out));
        ExpectMatrixNear(MatrixTranslation(9.0f, 9.0f, 9.0f), out, 0.0f);
    }
}

TEST(MathTransform, CoordDividesByW) {
    // w = 2 halves every component.
    Matrix halve = MatrixIdentity();
    halve.m[3][3] = 2.0f;
    ExpectVecNear({1.0f, 2.0f, 3.0f}, Vec3TransformCoord({2.0f, 4.0f, 6.0f}, halve), 1e-6f);
    // Through the projection, w is the view-space depth.
    Vec3 clip = Vec3TransformCoord({2.0f, 1.0f, 10.0f}, EditorProjection());
    EXPECT_NEAR(2.0f * 1.7320508f * 0.75f / 10.0f, clip.x, 1e-5f);
    EXPECT_NEAR(1.7320508f / 10.0f, clip.y, 1e-5f);
}

TEST(MathProject, KnownScreenPositions) {
    const Viewport vp = {0, 0, 800, 600, 0.0f, 1.0f};
    const Matrix view = MatrixLookAtLH({0.0f, 0.0f, -5.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    const Matrix projection = EditorProjection();
    const Matrix world = MatrixIdentity();

    Vec3 centre = Vec3Project({0.0f, 0.0f, 0.0f}, vp, projection, view, world);
    EXPECT_NEAR(400.0f, centre.x, 1e-3f);
    EXPECT_NEAR(300.0f, centre.y, 1e-3f);
    // Screen y grows downwards: a point above the target lands above the centre.
    const float topEdge = 5.0f * std::tan(kPi / 6.0f);
    Vec3 top = Vec3Project({0.0f, topEdge, 0.0f}, vp, projection, view, world);
    EXPECT_NEAR(400.0f, top.x, 1e-3f);
    EXPECT_NEAR(0.0f, top.y, 1e-3f);
    // The world matrix is applied first.
    Vec3 moved = Vec3Project({-topEdge, 0.0f, 0.0f}, vp, projection, view, MatrixTranslation(0.0f, topEdge, 0.0f));
    EXPECT_NEAR(400.0f - 300.0f, moved.x, 1e-2f);
    EXPECT_NEAR(0.0f, moved.y, 1e-3f);
}

TEST(MathProject, UnprojectUndoesProject) {
    struct Case {
        Viewport vp;
        Matrix world;
        Vec3 point;
    };
    const Case cases[] = {
        {{0, 0, 800, 600, 0.0f, 1.0f}, MatrixIdentity(), {100.0f, 100.0f, 100.0f}},
        {{0, 0, 800, 600, 0.0f, 1.0f}, MatrixIdentity(), {104.5f, 99.0f, 96.0f}},
        {{0, 0, 800, 600, 0.0f, 1.0f}, MatrixIdentity(), {110.0f, 125.0f, 85.0f}},  // near the camera
        {{120, 40, 640, 480, 0.0f, 1.0f}, MatrixIdentity(), {98.0f, 103.0f, 101.0f}},
        {{0, 0, 800, 600, 0.25f, 0.75f}, MatrixTranslation(1.0f, -2.0f, 3.0f), {95.0f, 101.0f, 99.0f}},
        {{10, 20, 300, 200, 0.0f, 1.0f}, MatrixScaling(2.0f, 2.0f, 2.0f), {50.0f, 50.0f, 50.0f}},
    };
    for (const Case& c : cases) {
        Vec3 screen = Vec3Project(c.point, c.vp, EditorProjection(), EditorView(), c.world);
        EXPECT_GE(screen.z, c.vp.minZ);
        EXPECT_LE(screen.z, c.vp.maxZ);
        Vec3 back = Vec3Unproject(screen, c.vp, EditorProjection(), EditorView(), c.world);
        ExpectVecNear(c.point, back, 2e-2f);
    }
}

TEST(MathProject, UnprojectedPixelRayPassesThroughThePixel) {
    // Picking builds a ray from depth 0 and depth 1 at the mouse position.
    const Viewport vp = {0, 0, 1024, 768, 0.0f, 1.0f};
    const Matrix world = MatrixIdentity();
    const Vec3 pixels[] = {{512.0f, 384.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {1023.0f, 767.0f, 0.0f}, {200.0f, 600.0f, 0.0f}};
    for (Vec3 pixel : pixels) {
        Vec3 nearPoint = Vec3Unproject({pixel.x, pixel.y, 0.0f}, vp, EditorProjection(), EditorView(), world);
        Vec3 farPoint = Vec3Unproject({pixel.x, pixel.y, 1.0f}, vp, EditorProjection(), EditorView(), world);
        Vec3 midway = Vec3Add(nearPoint, Vec3Scale(Vec3Subtract(farPoint, nearPoint), 0.01f));
        Vec3 screen = Vec3Project(midway, vp, EditorProjection(), EditorView(), world);
        EXPECT_NEAR(pixel.x, screen.x, 0.05f);
        EXPECT_NEAR(pixel.y, screen.y, 0.05f);
        // The near point sits on the near plane, 0.1 in front of the eye.
        EXPECT_NEAR(0.0f, Vec3TransformCoord(nearPoint, EditorView()).z - 0.1f, 1e-3f);
    }
    // The centre pixel's ray runs straight down the view direction.
    Vec3 centreNear = Vec3Unproject({512.0f, 384.0f, 0.0f}, vp, EditorProjection(), EditorView(), world);
    Vec3 centreFar = Vec3Unproject({512.0f, 384.0f, 1.0f}, vp, EditorProjection(), EditorView(), world);
    Vec3 expectedDirection = Vec3Normalize({-12.0f, -30.0f, 20.0f});
    ExpectVecNear(expectedDirection, Vec3Normalize(Vec3Subtract(centreFar, centreNear)), 1e-4f);
}

TEST(MathPlane, FromPoints) {
    // Winding decides which way the normal faces: (b - a) x (c - a).
    Plane y1 = PlaneFromPoints({0.0f, 1.0f, 0.0f}, {1.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 1.0f});
    EXPECT_NEAR(0.0f, y1.a, 1e-6f);
    EXPECT_NEAR(-1.0f, y1.b, 1e-6f);
    EXPECT_NEAR(0.0f, y1.c, 1e-6f);
    EXPECT_NEAR(1.0f, y1.d, 1e-6f);

    Plane flipped = PlaneFromPoints({0.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 0.0f});
    EXPECT_NEAR(1.0f, flipped.b, 1e-6f);
    EXPECT_NEAR(-1.0f, flipped.d, 1e-6f);

    // A tilted plane: every source point satisfies the equation and the normal is unit length.
    const Vec3 a = {100.5f, 100.5f, 99.5f};
    const Vec3 b = {101.5f, 102.0f, 99.5f};
    const Vec3 c = {100.5f, 100.0f, 103.0f};
    Plane tilted = PlaneFromPoints(a, b, c);
    EXPECT_NEAR(1.0f, Vec3Length({tilted.a, tilted.b, tilted.c}), 1e-6f);
    for (Vec3 p : {a, b, c}) {
        EXPECT_NEAR(0.0f, tilted.a * p.x + tilted.b * p.y + tilted.c * p.z + tilted.d, 1e-4f);
    }

    Plane collinear = PlaneFromPoints({0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {2.0f, 2.0f, 2.0f});
    EXPECT_EQ(0.0f, collinear.a);
    EXPECT_EQ(0.0f, collinear.b);
    EXPECT_EQ(0.0f, collinear.c);
}

TEST(MathPlane, IntersectLine) {
    // The top face of the cube at (100, 100, 100): y = 100.5.
    const Plane top = PlaneFromPoints({99.5f, 100.5f, 99.5f}, {99.5f, 100.5f, 100.5f}, {100.5f, 100.5f, 99.5f});
    struct Case {
        Vec3 start;
        Vec3 end;
        Vec3 expected;
    };
    const Case cases[] = {
        {{100.0f, 110.0f, 100.0f}, {100.0f, 90.0f, 100.0f}, {100.0f, 100.5f, 100.0f}},  // straight down
        {{100.0f, 90.0f, 100.0f}, {100.0f, 110.0f, 100.0f}, {100.0f, 100.5f, 100.0f}},  // from below
        {{90.0f, 110.5f, 95.0f}, {110.0f, 90.5f, 105.0f}, {100.0f, 100.5f, 100.0f}},    // slanted
        // The segment stops short of the plane; the infinite line still meets it.
        {{100.0f, 104.5f, 100.0f}, {101.0f, 102.5f, 100.0f}, {102.0f, 100.5f, 100.0f}},
        {{3.0f, 100.5f, 4.0f}, {5.0f, 0.0f, 6.0f}, {3.0f, 100.5f, 4.0f}},  // starts on the plane
    };
    for (const Case& c : cases) {
        Vec3 hit = {-1.0f, -1.0f, -1.0f};
        ASSERT_TRUE(PlaneIntersectLine(top, c.start, c.end, hit));
        ExpectVecNear(c.expected, hit, 1e-4f);
    }

    // Parallel lines, whether above the plane or lying in it, have no single intersection.
    Vec3 untouched = {7.0f, 8.0f, 9.0f};
    EXPECT_FALSE(PlaneIntersectLine(top, {0.0f, 105.0f, 0.0f}, {10.0f, 105.0f, 3.0f}, untouched));
    EXPECT_FALSE(PlaneIntersectLine(top, {0.0f, 100.5f, 0.0f}, {10.0f, 100.5f, 3.0f}, untouched));
    EXPECT_FALSE(PlaneIntersectLine(top, {1.0f, 2.0f, 3.0f}, {1.0f, 2.0f, 3.0f}, untouched));  // no direction
    ExpectVecNear({7.0f, 8.0f, 9.0f}, untouched, 0.0f);
}
