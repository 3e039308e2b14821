#include "files/object_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "files/text_lines.h"

namespace {

// Cube lines are short; the name line takes a whole path.
constexpr size_t kLineLimit = 255;
constexpr int32_t kLastCell = 7;

// A coordinate names the cell it truncates to, so 199.4 still lies in the last cell.
bool InGrid(float coordinate) {
    return coordinate >= 0.0f && coordinate < static_cast<float>(kGridSize);
}

// Two cubes in one cell would leave a cube behind in a cell the grid calls empty once one of them is deleted.
bool EachCellOnce(const std::vector<LoadedCube>& cubes) {
    std::vector<int32_t> cells;
    cells.reserve(cubes.size());
    for (const LoadedCube& cube : cubes)
        cells.push_back(Scene::GridIndex(static_cast<int>(cube.x), static_cast<int>(cube.y), static_cast<int>(cube.z)));
    std::sort(cells.begin(), cells.end());
    return std::adjacent_find(cells.begin(), cells.end()) == cells.end();
}

bool ReadCount(TextLines& lines, int32_t& count) {
    char line[kLineLimit + 1];
    const char* cursor = line;
    return lines.Next(line, sizeof(line)) && ScanInt(cursor, count);
}

// A cube stands in the cell its position truncates to, and is kept there: drawn, picked, exported and saved
// as that cell. Kept as written, 100.6 would be drawn between two cells and saved as 101, where another
// cube of the same file may stand.
bool ReadPosition(const char*& cursor, LoadedCube& cube) {
    if (!ScanReal(cursor, cube.x) || !ScanReal(cursor, cube.y) || !ScanReal(cursor, cube.z) || !InGrid(cube.x) ||
        !InGrid(cube.y) || !InGrid(cube.z))
        return false;
    cube.x = static_cast<float>(static_cast<int>(cube.x));
    cube.y = static_cast<float>(static_cast<int>(cube.y));
    cube.z = static_cast<float>(static_cast<int>(cube.z));
    return true;
}

bool ReadColouredCubes(TextLines& lines, int32_t count, std::vector<LoadedCube>& cubes) {
    char line[kLineLimit + 1];
    for (int32_t i = 0; i < count; ++i) {
        LoadedCube cube{};
        const char* cursor = line;
        if (!lines.Next(line, sizeof(line)) || !ReadPosition(cursor, cube) || !ScanHex(cursor, cube.colour))
            return false;
        cubes.push_back(cube);
    }
    return true;
}

bool ReadTexturedCubes(TextLines& lines, int32_t count, std::vector<LoadedCube>& cubes) {
    char line[kLineLimit + 1];
    for (int32_t i = 0; i < count; ++i) {
        LoadedCube cube{};
        cube.textured = true;
        cube.colour = kWhite;
        const char* cursor = line;
        if (!lines.Next(line, sizeof(line)) || !ReadPosition(cursor, cube) || !ScanInt(cursor, cube.cellColumn) ||
            !ScanInt(cursor, cube.cellRow))
            return false;
        if (cube.cellColumn < 0 || cube.cellColumn > kLastCell || cube.cellRow < 0 || cube.cellRow > kLastCell)
            return false;
        cubes.push_back(cube);
    }
    return true;
}

// "%.0f" of a whole-numbered coordinate, written without the C library so that no locale can reach it;
// a half rounds to the even neighbour, as printf rounds.
void AppendCoordinate(std::string& text, float value) {
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%ld", std::lrint(value));
    text += digits;
}

}  // namespace

bool ParseObjectFile(const uint8_t* data, size_t size, ObjectFileContents& out) {
    TextLines lines(data, size);
    char line[kLineLimit + 1];
    if (!lines.Next(line, sizeof(line)) || !FirstWordIs(line, kObjectMagic))
        return false;
    int32_t colouredFlag = 0, texturedFlag = 0;
    const char* cursor = line;
    if (!lines.Next(line, sizeof(line)) || !ScanInt(cursor, colouredFlag) || !ScanInt(cursor, texturedFlag))
        return false;

    ObjectFileContents contents;
    int32_t total = 0;
    if (colouredFlag != 0) {
        int32_t count = 0;
        if (!ReadCount(lines, count) || count < 0 || count > kMaxCubes)
            return false;
        total = count;
        contents.cubes.reserve(static_cast<size_t>(count));
        if (!ReadColouredCubes(lines, count, contents.cubes))
            return false;
    }
    if (texturedFlag != 0) {
        contents.texturedSection = true;
        // The whole line is the name, as long as a path can be: every name the program writes reads back.
        if (!lines.Next(contents.textureName, sizeof(contents.textureName)))
            return false;
        int32_t count = 0;
        if (!ReadCount(lines, count) || count < 0 || count > kMaxCubes - total)
            return false;
        if (!ReadTexturedCubes(lines, count, contents.cubes))
            return false;
    }
    if (!EachCellOnce(contents.cubes))
        return false;
    out = std::move(contents);
    return true;
}

std::string ObjectFileText(const Scene& scene, const char* textureName) {
    const int32_t low[3] = {0, 0, 0};
    const int32_t high[3] = {kGridSize - 1, kGridSize - 1, kGridSize - 1};
    return ObjectFileText(scene, textureName, low, high);
}

std::string ObjectFileText(const Scene& scene,
                           const char* textureName,
                           const int32_t (&low)[3],
                           const int32_t (&high)[3]) {
    const auto inside = [&](const CubeRecord& cube) {
        const Cell cell = CellOf(cube);
        return cube.inUse != 0 && cell.x >= low[0] && cell.x <= high[0] && cell.y >= low[1] && cell.y <= high[1] &&
               cell.z >= low[2] && cell.z <= high[2];
    };
    int32_t coloured = 0, textured = 0;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (inside(cube))
            ++(cube.textured == 0 ? coloured : textured);
    }
    std::string text = std::string(kObjectMagic) + "\n";
    text += std::to_string(coloured > 0 ? 1 : 0) + " " + std::to_string(textured > 0 ? 1 : 0) + "\n";
    const auto appendPosition = [&text, &low](const CubeRecord& cube) {
        AppendCoordinate(text, cube.x - static_cast<float>(low[0]));
        text += ' ';
        AppendCoordinate(text, cube.y - static_cast<float>(low[1]));
        text += ' ';
        AppendCoordinate(text, cube.z - static_cast<float>(low[2]));
    };
    if (coloured > 0) {
        text += std::to_string(coloured) + "\n";
        for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
            const CubeRecord& cube = scene.cubes[slot];
            if (!inside(cube) || cube.textured != 0)
                continue;
            char colour[12];
            std::snprintf(colour, sizeof(colour), " %x\n", static_cast<unsigned>(cube.colour));
            appendPosition(cube);
            text += colour;
        }
    }
    if (textured > 0) {
        text += std::string(textureName) + "\n" + std::to_string(textured) + "\n";
        for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
            const CubeRecord& cube = scene.cubes[slot];
            if (!inside(cube) || cube.textured == 0)
                continue;
            appendPosition(cube);
            text += " " + std::to_string(cube.cellColumn) + " " + std::to_string(cube.cellRow) + "\n";
        }
    }
    return text;
}
