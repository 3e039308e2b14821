#include "files/metasequoia.h"

#include "files/hull.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

namespace {

constexpr char kHeader[] =
    "Metasequoia Document\nFormat Text Ver 1.0\n\n"
    "Scene {\n\tpos 0.0000 0.0000 1500.0000\n\tlookat 0.0000 0.0000 0.0000\n\thead -0.5236\n\tpich 0.5236\n"
    "\tortho 0\n\tzoom2 4.2859\n\tamb 0.250 0.250 0.250\n}\n";
constexpr char kObjectOpening[] =
    "Object \"obj1\" {\n\tvisible 15\n\tlocking 0\n\tshading 1\n\tfacet 59.5\n\tcolor 0.898 0.498 0.698\n"
    "\tcolor_type 0\n";
constexpr char kColouredUv[] = "UV(0.00000 0.00000 1.00000 0.00000 1.00000 1.00000 0.00000 1.00000)";

// The corners of each side as corner slots of the cube's lattice cell: slot a + 2b + 4c is the corner at
// offset (a, b, c).
constexpr int kFaceCorners[kSideCount][4] = {{2, 3, 1, 0}, {3, 7, 5, 1}, {7, 6, 4, 5},
                                             {6, 2, 0, 4}, {6, 7, 3, 2}, {0, 1, 5, 4}};

uint32_t SlotCornerKey(const Cell& cell, int slot) {
    return CornerKey(cell.x + (slot & 1), cell.y + (slot >> 1 & 1), cell.z + (slot >> 2 & 1));
}

bool Exposed(const CubeRecord& cube, int side) {
    return cube.faceExposed[side] != 0;
}

void AppendInt(std::string& text, int value) {
    char digits[16];
    text.append(digits, std::to_chars(digits, digits + sizeof(digits), value).ptr);
}

// v / 255 with three decimals ("%.3f"), from integers: no locale and no rounding of a float between.
void AppendUnitFraction(std::string& text, int32_t v) {
    const int32_t thousandths = (2000 * v + 255) / 510;
    char digits[24];
    std::snprintf(digits, sizeof(digits), "%d.%03d", thousandths / 1000, thousandths % 1000);
    text += digits;
}

// An eighth of the atlas, as "%.5f": column / 8 is exact in five decimals.
void AppendEighths(std::string& text, int32_t eighths) {
    static constexpr const char* kFractions[8] = {".00000", ".12500", ".25000", ".37500",
                                                  ".50000", ".62500", ".75000", ".87500"};
    AppendInt(text, eighths / 8);
    text += kFractions[eighths % 8];
}

}  // namespace

std::string MetasequoiaText(const Scene& scene, const char* textureName) {
    std::string text = kHeader;
    const int32_t slots = scene.highestUsedSlot + 1;

    // Materials by first appearance in slot order: each distinct colour, and the texture once.
    const MaterialTable materials = AssignMaterials(scene, true);
    const std::vector<int32_t>& material = materials.ofSlot;
    const std::vector<uint32_t>& materialColours = materials.colour;
    const int32_t textureMaterial = materials.texture;
    text += "Material " + std::to_string(materialColours.size()) + " {\n";
    for (size_t j = 0; j < materialColours.size(); ++j) {
        text += "\t\"mat" + std::to_string(j + 1) + "\" shader(3) col(";
        if (static_cast<int32_t>(j) == textureMaterial) {
            text += "1.000 1.000 1.000 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) power(5.00) tex(\"";
            text += textureName;
            text += "\")\n";
            continue;
        }
        const ColourParts parts = SplitColour(materialColours[j]);
        AppendUnitFraction(text, parts.red);
        text += ' ';
        AppendUnitFraction(text, parts.green);
        text += ' ';
        AppendUnitFraction(text, parts.blue);
        text += " 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) power(5.00)\n";
    }
    text += "}\n";
    text += kObjectOpening;

    // The corners of every exposed face, in the order the faces are written; numbered in X, Y, Z order by
    // sorting their lattice keys, each key once.
    std::vector<uint32_t> faceCorners;
    for (int32_t slot = 0; slot < slots; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const Cell cell = CellOf(cube);
        for (int side = 0; side < kSideCount; ++side) {
            if (Exposed(cube, side)) {
                for (int corner : kFaceCorners[side])
                    faceCorners.push_back(SlotCornerKey(cell, corner));
            }
        }
    }
    const int32_t faces = static_cast<int32_t>(faceCorners.size() / 4);
    std::vector<uint32_t> vertexKeys;
    const std::vector<int32_t> vertexOf = NumberCorners(faceCorners, vertexKeys);
    text.reserve(text.size() + vertexKeys.size() * 40 + faceCorners.size() * 24 + 64);
    text += "\tvertex " + std::to_string(vertexKeys.size()) + " {\n";
    for (uint32_t key : vertexKeys) {
        const int x = static_cast<int>(key / (kLattice * kLattice));
        const int y = static_cast<int>(key / kLattice % kLattice);
        const int z = static_cast<int>(key % kLattice);
        // "%.4f" of whole numbers of ten units.
        text += "\t\t";
        AppendInt(text, 10 * (z - 100));
        text += ".0000 ";
        AppendInt(text, 10 * (y - 100));
        text += ".0000 ";
        AppendInt(text, 10 * (x - 100));
        text += ".0000\n";
    }
    text += "\t}\n";

    text += "\tface " + std::to_string(faces) + " {\n";
    size_t nextCorner = 0;
    for (int32_t slot = 0; slot < slots; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        for (int side = 0; side < kSideCount; ++side) {
            if (!Exposed(cube, side))
                continue;
            text += "\t\t4 V(";
            for (int i = 0; i < 4; ++i) {
                if (i > 0)
                    text += ' ';
                AppendInt(text, vertexOf[nextCorner++]);
            }
            text += ") M(";
            AppendInt(text, material[slot]);
            text += ") ";
            if (cube.textured == 0) {
                text += kColouredUv;
            } else {
                // Every face shows the whole cell, its first corner at the cell's top-left.
                const int32_t left = cube.cellColumn, right = cube.cellColumn + 1;
                const int32_t top = cube.cellRow, bottom = cube.cellRow + 1;
                const int32_t uv[8] = {left, top, right, top, right, bottom, left, bottom};
                text += "UV(";
                for (int i = 0; i < 8; ++i) {
                    if (i > 0)
                        text += ' ';
                    AppendEighths(text, uv[i]);
                }
                text += ')';
            }
            text += '\n';
        }
    }
    text += "\t}\n}\nEof";
    return text;
}
