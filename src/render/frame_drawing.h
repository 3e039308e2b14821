// What one frame draws, handed to RenderFrame as plain data: the camera, the switches, the cube mesh, the
// paint window's pieces, vertex lists and numbers, and the status strip's texts. Filled in by the editor.
#pragma once

#include <cstdint>

#include "math/math3d.h"
#include "render/cube_mesh.h"
#include "render/vertices.h"

struct ClientRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct SourceRect {  // texels of the 512 x 512 panel bitmap; right and bottom exclusive
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// A piece of the panel bitmap placed at a client position.
struct SpritePiece {
    SourceRect source;
    float x;  // translation, client pixels
    float y;
};

constexpr int kMaxPanelPieces = 16;  // the body and at most one piece per button group over it
constexpr int kNumberTextCapacity = 8;
constexpr int kStatusTextCapacity = 64;

struct PaintWindowDrawing {
    SpritePiece pieces[kMaxPanelPieces];  // body first, then the pieces drawn over it, in order
    int32_t pieceCount = 0;
    const PaintColourVertex* colourVertices = nullptr;    // 408: cells, swatch, bars
    const PaintTextureVertex* textureVertices = nullptr;  // 12: atlas view, current-cell preview
    SpritePiece marker{};                                 // the selected palette or atlas cell
    char numbers[3][kNumberTextCapacity] = {};            // red, green, blue as "%3d"
    int32_t numberX = 0;
    int32_t numberY[3] = {};
};

struct StatusDrawing {
    ClientRect* rect = nullptr;                // the status rectangle: read, measured while drawing, kept
    char countText[kStatusTextCapacity] = {};  // the cube count
    const char* warning = nullptr;             // the limit warning, or null
    char mirrorText[kStatusTextCapacity] = {};  // the mirror planes switched on ("ミラー：X Z"), or empty
    char selectionText[kStatusTextCapacity] = {};  // the selection's size and cubes ("選択：3×2×1（5 個）"), or empty
};

struct FrameDrawing {
    uint32_t clearColour = 0xFF000000;
    Vec3 eye{};
    Vec3 target{};
    Vec3 lightDirection{};  // from the eye towards the target
    bool lighting = true;
    bool faces = true;
    bool wireframe = true;
    float wireframeColour[3] = {};  // 0..1
    const CubeMesh* mesh = nullptr;
    // Guide lines (the mirror planes, a box being drawn): pairs of world points, and their colour (0..1).
    const float (*guidePoints)[3] = nullptr;
    int32_t guideLineCount = 0;
    float guideColour[3] = {};
    // The selection's outline and a Ctrl drag's, in a colour of their own.
    const float (*selectionPoints)[3] = nullptr;
    int32_t selectionLineCount = 0;
    float selectionColour[3] = {};
    bool paintWindowShown = false;
    PaintWindowDrawing paintWindow;
    bool statusShown = false;
    StatusDrawing status;
};
