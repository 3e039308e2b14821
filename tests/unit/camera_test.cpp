#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "editor/view/draw_frame.h"
#include "editor/editor_commands.h"
#include "fake_platform.h"

namespace {

uint32_t Bits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof(bits));
    return bits;
}

struct CameraRig : EditorRig {
    Camera& camera() { return editor->camera; }
    CameraRig() { Frame(); }
};

}  // namespace

TEST(Camera, StartValuesAndResetUseTheExactConstants) {
    CameraRig rig;
    EXPECT_EQ(Bits(rig.camera().yaw), 0xC0860A91u);
    EXPECT_EQ(Bits(rig.camera().pitch), 0x3F490FDAu);
    EXPECT_EQ(Bits(kPitchLimit), 0x3FC90C93u);
    EXPECT_EQ(Bits(kOrbitRadiansPerPixel), 0x3C860A91u);
    rig.camera().yaw = 3.0f;
    rig.camera().targetX = 5.0f;
    WheelZoom(rig.camera(), 10);
    ResetCamera(rig.camera());
    EXPECT_EQ(rig.camera().distance, 8.0f);
    EXPECT_EQ(rig.camera().masterZoom, 9.0);
    EXPECT_EQ(rig.camera().targetX, 100.5f);
    // The first zoom step after a reset continues from 9, not 8.
    WheelZoom(rig.camera(), 1);
    EXPECT_EQ(rig.camera().distance, 7.0f);

    ResetCamera(rig.camera());
    const Vec3 eye = EyePosition(rig.camera());
    EXPECT_NEAR(eye.x, 100.5 + 8 * std::cos(-4.1887898) * std::cos(0.7853981), 1e-4);
    EXPECT_NEAR(eye.y, 100.5 + 8 * std::sin(0.7853981), 1e-4);
    EXPECT_NEAR(eye.z, 100.5 + 8 * std::sin(-4.1887898) * std::cos(0.7853981), 1e-4);
}

TEST(Camera, WheelStepsAreClampedAndTruncatedByTheWindow) {
    CameraRig rig;
    WheelZoom(rig.camera(), 1);
    EXPECT_EQ(rig.camera().distance, 7.0f);
    WheelZoom(rig.camera(), 100);
    EXPECT_EQ(rig.camera().distance, 3.0f);
    WheelZoom(rig.camera(), -200);
    EXPECT_EQ(rig.camera().distance, 166.0f);
    // A 40-unit high-resolution wheel message is 0 notches: 40 / 120 truncates.
    WheelZoom(rig.camera(), static_cast<int16_t>(40 / 120));
    EXPECT_EQ(rig.camera().distance, 166.0f);
    WheelZoom(rig.camera(), static_cast<int16_t>(-239 / 120));
    EXPECT_EQ(rig.camera().distance, 166.0f);
}

TEST(Camera, ZoomKeysStopAtTheLimitsAndGWins) {
    CameraRig rig;
    rig.Hold(kKeyG);
    for (int i = 0; i < 100; ++i)
        rig.Frame(100);
    EXPECT_EQ(rig.camera().distance, 3.0f);
    rig.Hold(kKeyF);  // both held: G wins
    rig.Frame(100);
    EXPECT_EQ(rig.camera().distance, 3.0f);
    rig.Release(kKeyG);
    for (int i = 0; i < 200; ++i)
        rig.Frame(100);
    EXPECT_EQ(rig.camera().distance, 166.0f);
}

TEST(Camera, AltWithALetterOpensAMenuAndLeavesTheViewAlone) {
    CameraRig rig;
    const Camera start = rig.camera();
    rig.Hold(kKeyAlt);
    for (int key : {kKeyF, kKeyG, kKeyW, kKeyLeft}) {
        rig.Hold(key);
        rig.Frame(100);
        rig.Release(key);
    }
    EXPECT_EQ(rig.camera().distance, start.distance);
    EXPECT_EQ(rig.camera().yaw, start.yaw);
    EXPECT_EQ(rig.camera().targetY, start.targetY);
    rig.Release(kKeyAlt);
    rig.Hold(kKeyF);
    rig.Frame(100);
    EXPECT_GT(rig.camera().distance, start.distance);
}

// With Ctrl the letters are the program's shortcuts (Ctrl+S, Ctrl+A, Ctrl+D): they leave the view alone, the arrows
// still turn it. With Shift and a selection the arrows move the selection instead; Shift alone turns the view.
TEST(Camera, CtrlKeepsTheLettersAndShiftWithASelectionTheArrowsFromTheView) {
    CameraRig rig;
    const Camera start = rig.camera();
    rig.Hold(kKeyControl);
    for (int key : {kKeyF, kKeyG, kKeyW, kKeyA, kKeyS, kKeyD}) {
        rig.Hold(key);
        rig.Frame(100);
        rig.Release(key);
    }
    EXPECT_TRUE(rig.camera().distance == start.distance && rig.camera().targetX == start.targetX &&
                rig.camera().targetY == start.targetY);
    rig.Hold(kKeyLeft);
    rig.Frame(100);
    EXPECT_NE(rig.camera().yaw, start.yaw);
    rig.Release(kKeyControl);
    rig.Hold(kKeyShift);
    rig.editor->selection.active = true;
    const float yaw = rig.camera().yaw;
    rig.Frame(100);
    EXPECT_EQ(rig.camera().yaw, yaw);
    rig.editor->selection.active = false;
    rig.Frame(100);
    EXPECT_NE(rig.camera().yaw, yaw);
}

TEST(Camera, ArrowKeysTurnAndKeepThePitchWithinItsLimits) {
    CameraRig rig;
    const float yaw = rig.camera().yaw;
    rig.Hold(kKeyRight);
    rig.Frame(250);
    EXPECT_FLOAT_EQ(rig.camera().yaw, yaw + 1.0f);
    rig.Release(kKeyRight);
    rig.Hold(kKeyLeft);
    rig.Frame(500);
    EXPECT_FLOAT_EQ(rig.camera().yaw, yaw - 1.0f);
    rig.Release(kKeyLeft);
    const float pitch = rig.camera().pitch;
    rig.Hold(kKeyDown);
    rig.Frame(100);
    EXPECT_FLOAT_EQ(rig.camera().pitch, pitch - 0.4f);
    rig.Release(kKeyDown);
    rig.Hold(kKeyUp);
    rig.Frame(2000);
    EXPECT_EQ(rig.camera().pitch, kPitchLimit);
    rig.Release(kKeyUp);
    rig.Hold(kKeyDown);
    rig.Frame(3000);
    EXPECT_EQ(rig.camera().pitch, -kPitchLimit);
}

TEST(Camera, OrbitFollowsTheDragAndReanchorsAtThePitchLimit) {
    CameraRig rig;
    Camera& camera = rig.camera();
    const float yaw = camera.yaw, pitch = camera.pitch;
    rig.platform.cursor = {500, 500};
    rig.Hold(kKeyRightButton);
    rig.Frame();
    EXPECT_TRUE(camera.orbitActive);
    rig.platform.cursor = {510, 520};
    rig.Frame();
    EXPECT_FLOAT_EQ(camera.yaw, yaw - 10 * kOrbitRadiansPerPixel);
    EXPECT_FLOAT_EQ(camera.pitch, pitch + 20 * kOrbitRadiansPerPixel);

    // Far down: the pitch stops at the limit and the anchor moves with the cursor.
    rig.platform.cursor = {510, 2000};
    rig.Frame();
    EXPECT_EQ(camera.pitch, kPitchLimit);
    // A small movement back lowers the pitch at once.
    rig.platform.cursor = {510, 1990};
    rig.Frame();
    EXPECT_FLOAT_EQ(camera.pitch, kPitchLimit - 10 * kOrbitRadiansPerPixel);
    rig.platform.cursor = {510, -5000};
    rig.Frame();
    EXPECT_EQ(camera.pitch, -kPitchLimit);

    rig.Release(kKeyRightButton);
    rig.Frame();
    EXPECT_FALSE(camera.orbitActive);
    EXPECT_EQ(camera.pitchAtOrbitStart, camera.pitch);
}

TEST(Camera, OrbitAndPanExcludeEachOther) {
    CameraRig rig;
    Camera& camera = rig.camera();
    rig.platform.cursor = {100, 100};
    rig.Hold(kKeyRightButton);
    rig.Frame();
    rig.Hold(kKeyMiddleButton);
    rig.platform.cursor = {150, 100};
    const float targetX = camera.targetX;
    rig.Frame();
    EXPECT_TRUE(camera.orbitActive);
    EXPECT_FALSE(camera.panActive);
    EXPECT_EQ(camera.targetX, targetX);

    // Releasing the right button while the middle one is still held does not start a pan at once:
    // the middle button was seen held, so it must be pressed again.
    rig.Release(kKeyRightButton);
    rig.Frame();
    EXPECT_FALSE(camera.orbitActive);
    rig.Release(kKeyMiddleButton);
    rig.Frame();

    rig.Hold(kKeyMiddleButton);
    rig.Frame();
    EXPECT_TRUE(camera.panActive);
    rig.Hold(kKeyRightButton);
    rig.Frame();
    EXPECT_FALSE(camera.orbitActive);
}

// At a general yaw and pitch: the view's sideways direction is (-sin yaw, 0, cos yaw) and its up direction
// (-cos yaw sin pitch, cos pitch, -sin yaw sin pitch). A pan moves the target against sideways for dx and along
// up for dy, distance / 1000 per pixel.
struct ViewAxes {
    double side[3];
    double up[3];
};

ViewAxes AxesOf(double yaw, double pitch) {
    return {{-std::sin(yaw), 0.0, std::cos(yaw)},
            {-std::cos(yaw) * std::sin(pitch), std::cos(pitch), -std::sin(yaw) * std::sin(pitch)}};
}

void ExpectTargetMoved(const Camera& camera, const float (&from)[3], const double (&by)[3]) {
    EXPECT_NEAR(camera.targetX - from[0], by[0], 1e-4);
    EXPECT_NEAR(camera.targetY - from[1], by[1], 1e-4);
    EXPECT_NEAR(camera.targetZ - from[2], by[2], 1e-4);
}

TEST(Camera, PanMovesTheTargetByDistanceOverAThousandPerPixel) {
    CameraRig rig;
    Camera& camera = rig.camera();
    WheelZoom(camera, -100);  // distance 166
    camera.yaw = 0.7f;
    camera.pitch = -0.4f;
    const ViewAxes axes = AxesOf(camera.yaw, camera.pitch);
    rig.platform.cursor = {300, 300};
    rig.Hold(kKeyMiddleButton);
    rig.Frame();
    float from[3] = {camera.targetX, camera.targetY, camera.targetZ};
    rig.platform.cursor = {302, 300};
    rig.Frame();
    ExpectTargetMoved(camera, from, {-0.332 * axes.side[0], -0.332 * axes.side[1], -0.332 * axes.side[2]});
    float again[3] = {camera.targetX, camera.targetY, camera.targetZ};
    rig.platform.cursor = {302, 303};
    rig.Frame();
    ExpectTargetMoved(camera, again, {0.498 * axes.up[0], 0.498 * axes.up[1], 0.498 * axes.up[2]});
}

TEST(Camera, MovementKeysFollowTheViewDirections) {
    // 0.4 x distance (8) units a second: 1.6 in half a second. A and D along and against sideways, S and W along
    // and against up.
    const struct {
        int key;
        double side;
        double up;
    } cases[] = {{kKeyA, 1.6, 0}, {kKeyD, -1.6, 0}, {kKeyS, 0, 1.6}, {kKeyW, 0, -1.6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        CameraRig rig;
        Camera& camera = rig.camera();
        camera.yaw = 2.3f;
        camera.pitch = 0.9f;
        const ViewAxes axes = AxesOf(camera.yaw, camera.pitch);
        const float from[3] = {camera.targetX, camera.targetY, camera.targetZ};
        rig.Hold(c.key);
        rig.Frame(500);
        double by[3];
        for (int i = 0; i < 3; ++i)
            by[i] = c.side * axes.side[i] + c.up * axes.up[i];
        ExpectTargetMoved(camera, from, by);
    }
}

TEST(Camera, FramingPutsEveryCubeInViewAsCloseAsItMayFromTheSameDirection) {
    // Cubes from (low, low, low) to high, every step-th, seen at a pitch; the zoom limit framing stops at (0: none).
    const struct {
        int low, high[3], step, width, height;
        float pitch;
        double zoom;
    } cases[] = {{100, {102, 139, 102}, 1, 800, 600, -0.4f, 0.0},
                 {100, {159, 101, 109}, 1, 1600, 500, -0.1f, 0.0},
                 {100, {100, 100, 100}, 1, 800, 600, 0.3f, kMinZoom},
                 {1, {198, 198, 198}, 197, 800, 600, 0.3f, kMaxZoom}};
    for (const auto& c : cases) {
        CameraRig rig;
        Editor& editor = *rig.editor;
        int slots = 0;
        for (int x = c.low; x <= c.high[0]; x += c.step)
            for (int y = c.low; y <= c.high[1]; y += c.step)
                for (int z = c.low; z <= c.high[2]; z += c.step)
                    PlaceCube(editor.scene, slots++, x, y, z);
        Camera& camera = editor.camera;
        camera.yaw = 0.7f;
        camera.pitch = c.pitch;
        SetViewSize(editor.view, c.width, c.height);
        RunEditorCommand(editor, EditorCommand::FrameModel, 0, 0);
        EXPECT_TRUE(camera.yaw == 0.7f && camera.pitch == c.pitch);
        EXPECT_EQ((std::vector<float>{camera.targetX, camera.targetY, camera.targetZ}),
                  (std::vector<float>{(c.low + c.high[0] + 1) * 0.5f, (c.low + c.high[1] + 1) * 0.5f,
                                      (c.low + c.high[2] + 1) * 0.5f}));
        EXPECT_EQ(camera.masterZoom == c.zoom, c.zoom != 0.0);
        // Every corner in view, and one near its edge (reach: the farthest from the centre, in half widths or heights).
        RecordView(editor);
        double reach = 0.0;
        for (int i = 0; i < slots * 8 && c.zoom == 0.0; ++i) {
            const CubeRecord& cube = editor.scene.cubes[i / 8];
            const Vec3 at = ScreenOf(editor, {cube.x + (i & 1), cube.y + (i >> 1 & 1), cube.z + (i >> 2 & 1)});
            reach = std::fmax(reach, std::fmax(std::fabs(2 * at.x / c.width - 1), std::fabs(2 * at.y / c.height - 1)));
        }
        EXPECT_TRUE(c.zoom != 0.0 || (reach <= 1.0 && reach > 0.9)) << reach;
        EXPECT_EQ(ModelInView(camera, editor.scene, static_cast<float>(c.width) / c.height), c.zoom != kMaxZoom);
    }
}

// Looking along +z from 20 before the start cube (right is +x, up +y, a square view): at the cube's near side, 19.5
// from the eye, the view reaches 11.26 either way. A cube 10 cells off on either side of either axis is in view, 11
// cells off it is not; nor is a cube behind the eye.
TEST(Camera, AModelIsInViewOnlyWhenEveryCornerIs) {
    CameraRig rig;
    Editor& editor = *rig.editor;
    Camera& camera = editor.camera;
    camera.yaw = -1.5707964f;
    camera.pitch = 0.0f;
    camera.distance = 20.0f;
    EXPECT_TRUE(ModelInView(camera, editor.scene, 1.0f));
    for (int axis = 0; axis < 2; ++axis) {
        for (int sign : {-1, 1}) {
            for (int off : {10, 11}) {
                int at[3] = {100, 100, 100};
                at[axis] += sign * off;
                PlaceCube(editor.scene, 1, at[0], at[1], at[2]);
                EXPECT_EQ(ModelInView(camera, editor.scene, 1.0f), off == 10) << axis << " " << sign << " " << off;
                EXPECT_EQ(ModelInView(camera, editor.scene, 2.0f), off == 10 || axis == 0) << "a wider view";
                editor.scene.grid[Scene::GridIndex(at[0], at[1], at[2])] = 0;
                --editor.scene.liveCubeCount;
            }
        }
    }
    PlaceCube(editor.scene, 1, 100, 100, 79);
    EXPECT_FALSE(ModelInView(camera, editor.scene, 1.0f)) << "behind the eye";
    editor.scene.cubes[1].z = 199.0f;
    camera.targetZ = 20.5f;
    camera.distance = 166.0f;
    EXPECT_FALSE(ModelInView(camera, editor.scene, 1.0f)) << "beyond the far plane, 345 away";
    camera.distance = 100.0f;
    EXPECT_TRUE(ModelInView(camera, editor.scene, 1.0f));
}
