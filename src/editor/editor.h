// The Editor: the one object that owns the scene, the palette, the editing, camera and undo
// state, the cube mesh and the paint panel's vertex lists. Fixed size (~50 MB); nothing grows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/editing/cell_slots.h"
#include "editor/editing/mirror.h"
#include "editor/editing/selection.h"
#include "editor/editing/undo_history.h"
#include "editor/panels/paint_window.h"
#include "editor/panels/status_window.h"
#include "editor/view/camera.h"
#include "editor/view/pick.h"
#include "files/bitmap.h"
#include "files/file_system.h"
#include "files/object_file.h"
#include "render/cube_mesh.h"
#include "render/vertices.h"
#include "scene/scene.h"

constexpr int kPaletteColumns = 8;
constexpr int kPaletteSize = 64;
constexpr int kAtlasColumns = 8;

enum class EditTool : int32_t { Add = 0, Delete = 1, Paint = 2, PickColour = 3 };

// Input samples the frame update keeps from one frame to the next.
// Frames run after anything that can change the picture or the editing: the one that shows it, and one more for
// what a frame applies only after it has built the mesh (an undo asked for by the keys or the menu).
constexpr int32_t kFramesAfterWake = 2;

struct FrameState {
    int32_t framesToRun = kFramesAfterWake;  // frames still due after the last wake; the first ones draw the start
    bool clockStarted = false;
    uint32_t previousClock = 0;  // milliseconds
    float frameTime = 0.0f;      // seconds since the previous frame
    bool ctrlDown = false;
    bool zDown = false;
    bool yDown = false;
    bool zDownBefore = false;
    bool yDownBefore = false;
    bool leftDown = false;  // after the ignore-left-button latch
    bool leftDownBefore = false;
    bool clickConsumedByPanel = false;
};

// A Shift drag with Add, Delete or Paint: the box spans the cells the tool would act on at the press and now.
struct BoxStroke {
    bool active = false;
    Cell from{};
    Cell to{};
};

struct Editor {
    Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    Scene scene;

    uint32_t currentColour = kWhite;  // given to added and painted coloured cubes
    int32_t red = 255;                // colour components of the current colour
    int32_t green = 255;
    int32_t blue = 255;
    uint32_t palette[kPaletteSize] = {};  // index column + 8 * row
    int32_t paletteColumn = 0;            // selected palette cell
    int32_t paletteRow = 0;
    int32_t paletteIndex = 0;
    bool textureMode = false;   // Add and Paint produce textured cubes
    int32_t textureColumn = 0;  // current atlas cell
    int32_t textureRow = 0;
    int32_t textureIndex = 0;
    EditTool tool = EditTool::Add;

    bool modified = false;          // changed since loaded, saved or created
    bool named = false;             // has an object-file name that Save may overwrite
    bool ignoreNextClick = false;   // a file was just loaded: the next frame ignores clicks and Ctrl+Z/Y
    bool newSceneRequest = true;    // the next frame update empties the scene
    bool cannotCreate = false;      // the last Add was refused
    bool frameOpenedModel = false;  // a scene came in: the next frame frames it unless it is wholly in view

    bool lightingSwitch = true;
    bool facesSwitch = true;
    bool wireframeSwitch = true;

    PaintWindowState paintWindow;
    StatusWindowState statusWindow;
    Camera camera;
    UndoHistory undo;
    FrameState frame;
    ViewTransforms view;  // what the last frame was drawn with, for the pick
    PickState pick;       // the face this frame's click will edit
    MirrorState mirror;   // the planes edits are mirrored in
    BoxStroke box;
    CellSlots cellSlots;  // the slots of the cubes at a click's mirror images
    GuideLines guides;    // the planes and the box as the view shows them
    Selection selection;
    SelectStroke selectStroke;
    GuideLines selectionLines;     // the selection's outline and a Ctrl drag's, in their own colour
    bool copyOriginKnown = false;  // where the last copy's lowest corner was, for a paste that points at no cube
    Cell copyOrigin{};
    // The last copy: its cubes (the coloured ones first), the atlas its textured ones name, and its text once asked
    // for; the room of each is used again.
    PackedCube copiedCubes[kMaxCubes];
    Cell copiedLow{}, copiedHigh{};  // the lowest and highest cells of its cubes, counted from copyOrigin
    int32_t copiedCount = 0;
    int32_t copiedColoured = 0;
    std::string copiedTextureName;
    std::string copiedText;
    bool copiedTextMade = false;
    // Room for a command on the selection: the slots it moves, the cells its cubes take and the slots found there.
    int32_t selectedSlots[kMaxCubes];
    Cell takenCells[kMaxCubes];
    int32_t replacedSlots[kMaxCubes];
    // Where the cursor last was over the view (not a panel): the mirror commands of the menu act on the cube there.
    bool viewCursorKnown = false;
    int32_t viewCursorX = 0;
    int32_t viewCursorY = 0;

    bool screenshotRequest = false;
    char screenshotPath[kPathCapacity] = {};

    // The texture atlas as decoded from its file (8 x 8 cells of 16 x 16 texels in the usual 128 x 128); no
    // pixels when there is none. Kept here so that a new device is given the same atlas without reading a file.
    Image atlas;

    CubeMesh mesh;
    PaintColourVertex paintColourVertices[kPaintColourVertexCount] = {};
    PaintTextureVertex paintTextureVertices[kPaintTextureVertexCount] = {};

    // Empties the scene to the single white start cube, only while the new-scene request is raised.
    void ResetScene();
    // File > New: the scene itself is emptied by the next frame update.
    void StartNewScene();
    void RequestScreenshot(const char* path);
};
