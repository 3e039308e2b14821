// The object file (.bvo): the magic line, the section flags, the coloured cubes, and the textured cubes with
// the name of the texture bitmap they take their cells from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "scene/scene.h"

constexpr char kObjectMagic[] = "Blokkenveld";

struct LoadedCube {
    float x;  // the cell: the position read, truncated toward zero
    float y;
    float z;
    bool textured;
    int32_t cellColumn;  // textured cubes only
    int32_t cellRow;
    uint32_t colour;  // coloured cubes only; textured ones are white
};

// A cube of a block the program keeps (a copy): its cell counted from the block's lowest corner, and its look.
struct PackedCube {
    uint8_t x;
    uint8_t y;
    uint8_t z;
    uint8_t textured;
    uint8_t cellColumn;  // textured cubes only
    uint8_t cellRow;
    uint32_t colour;  // coloured cubes only; textured ones are white
};

// Everything a file holds, read completely before any of it reaches the scene.
struct ObjectFileContents {
    std::vector<LoadedCube> cubes;  // the coloured section, then the textured one, each in file order
    bool texturedSection = false;   // the file names a texture
    char textureName[kPathCapacity] = {};
};

// Reads a whole object file. False when anything does not scan, a section ends early, the counts are
// negative or together more than the scene holds, a position lies outside the grid, two cubes fall in one
// cell (positions name the cell they truncate to), or an atlas cell lies outside 0 to 7. Lines may end in
// "\r\n" or "\n"; numbers always use a point.
bool ParseObjectFile(const uint8_t* data, size_t size, ObjectFileContents& out);

// Whether a text that ParseObjectFile refuses is a scene file whose counts say more cubes than a scene holds, so that
// the refusal can say so.
bool ObjectFileHoldsTooMany(const uint8_t* data, size_t size);

// The file's text for the in-use cubes of slots 0 to the highest used slot, in slot order; lines end in '\n'.
std::string ObjectFileText(const Scene& scene, const char* textureName);
// The same for the cubes whose cells lie from low to high (both included), their positions counted from low, into
// text, whose room is used again.
void WriteObjectFileText(std::string& text,
                         const Scene& scene,
                         const char* textureName,
                         const int32_t (&low)[3],
                         const int32_t (&high)[3]);
// The same for the cubes in slots: the first `coloured` of them coloured, the next `textured` textured, their
// positions counted from origin. And for a kept block's cubes, their cells as they stand.
void WriteObjectFileText(std::string& text,
                         const Scene& scene,
                         const char* textureName,
                         const int32_t* slots,
                         int32_t coloured,
                         int32_t textured,
                         const int32_t (&origin)[3]);
void WriteObjectFileText(std::string& text,
                         const PackedCube* cubes,
                         int32_t coloured,
                         int32_t textured,
                         const char* textureName);
