// The Wavefront OBJ export: shared corners, six normals, the atlas corners that textured faces use, and the faces
// grouped by material; the material library beside it names the atlas picture.
#include <algorithm>
#include <charconv>
#include <cstring>

#include "files/hull.h"
#include "files/model_export.h"

namespace {

// The atlas edge at each corner of a side (scene.h): corner 1 left-bottom, 2 left-top, 3 right-top,
// 4 right-bottom, as the program draws them.
constexpr int kCornerRight[4] = {0, 0, 1, 1};
constexpr int kCornerBottom[4] = {1, 0, 0, 1};
constexpr int kAtlasPoints = 9;  // the cell edges of the 8 x 8 atlas on each axis

void AppendInt(std::string& text, long value) {
    char digits[24];
    text.append(digits, std::to_chars(digits, digits + sizeof(digits), value).ptr);
}

// Lines with many numbers are put together in a buffer and appended at once.
char* PutInt(char* at, long value) {
    return std::to_chars(at, at + 24, value).ptr;
}

// A multiple of a half, as "%g" would write it, without the C library's locale.
char* PutHalves(char* at, int halves) {
    if (halves < 0) {
        *at++ = '-';
        halves = -halves;
    }
    at = PutInt(at, halves / 2);
    if (halves % 2 != 0) {
        *at++ = '.';
        *at++ = '5';
    }
    return at;
}

// numerator / denominator with six decimals, rounded; numerator from 0 to denominator.
void AppendFraction(std::string& text, long numerator, long denominator) {
    const long millionths = (2000000 * numerator + denominator) / (2 * denominator);
    AppendInt(text, millionths / 1000000);
    text += '.';
    for (long place = 100000; place > 0; place /= 10)
        text += static_cast<char>('0' + millionths / place % 10);
}

void AppendColour(std::string& text, const char* key, uint32_t colour) {
    const ColourParts parts = SplitColour(colour);
    text += key;
    for (int32_t channel : {parts.red, parts.green, parts.blue}) {
        text += ' ';
        AppendFraction(text, channel, 255);
    }
    text += '\n';
}

}  // namespace

bool ObjExport(const Scene& scene, const Image* atlas, PngEncoder& png, const std::string& baseName, ObjFiles& out) {
    const bool useAtlas = atlas != nullptr && atlas->width > 0 && atlas->height > 0;
    const MaterialTable materials = AssignMaterials(scene, useAtlas);
    const ModelBounds bounds = BoundsOf(scene);
    const int32_t slots = scene.highestUsedSlot + 1;

    // Every exposed face's corners in slot and side order, numbered once each in X, Y, Z order.
    std::vector<uint32_t> corners;
    std::vector<int32_t> faceSlot;
    std::vector<uint8_t> faceSide;
    for (int32_t slot = 0; slot < slots; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const Cell cell = CellOf(cube);
        for (int side = 0; side < kSideCount; ++side) {
            if (cube.faceExposed[side] == 0)
                continue;
            for (const int* offset : kSideCorners[side])
                corners.push_back(CornerKey(cell.x + offset[0], cell.y + offset[1], cell.z + offset[2]));
            faceSlot.push_back(slot);
            faceSide.push_back(static_cast<uint8_t>(side));
        }
    }
    std::vector<uint32_t> keys;
    const std::vector<int32_t> vertexOf = NumberCorners(corners, keys);

    std::string obj = "# Blokkenveld\nmtllib " + baseName + ".mtl\n";
    obj.reserve(keys.size() * 24 + corners.size() * 12 + 256);
    // Centred on the middle of the extent, one cube one unit, z turned around as in the glTF export.
    const int twiceCentre[3] = {bounds.low[0] + bounds.high[0] + 1, bounds.low[1] + bounds.high[1] + 1,
                                bounds.low[2] + bounds.high[2] + 1};
    for (uint32_t key : keys) {
        const int x = static_cast<int>(key / (kLattice * kLattice));
        const int y = static_cast<int>(key / kLattice % kLattice);
        const int z = static_cast<int>(key % kLattice);
        char line[96] = {'v', ' '};
        char* at = PutHalves(line + 2, 2 * x - twiceCentre[0]);
        *at++ = ' ';
        at = PutHalves(at, 2 * y - twiceCentre[1]);
        *at++ = ' ';
        at = PutHalves(at, twiceCentre[2] - 2 * z);
        *at++ = '\n';
        obj.append(line, at);
    }

    // The atlas points textured faces use, in the order of first use; OBJ counts v upward from the bottom.
    int atlasPoint[kAtlasPoints * kAtlasPoints];
    std::fill(atlasPoint, atlasPoint + kAtlasPoints * kAtlasPoints, 0);
    int atlasPoints = 0;
    for (size_t face = 0; face < faceSlot.size(); ++face) {
        const CubeRecord& cube = scene.cubes[faceSlot[face]];
        if (!ShowsAtlas(cube, useAtlas))
            continue;
        for (int corner = 0; corner < 4; ++corner) {
            const int u = cube.cellColumn + kCornerRight[corner], v = cube.cellRow + kCornerBottom[corner];
            int& number = atlasPoint[u * kAtlasPoints + v];
            if (number != 0)
                continue;
            number = ++atlasPoints;
            obj += "vt ";
            AppendFraction(obj, u, 8);
            obj += ' ';
            AppendFraction(obj, 8 - v, 8);
            obj += '\n';
        }
    }
    for (const int* offset : kSideOffset) {
        obj += "vn ";
        AppendInt(obj, offset[0]);
        obj += ' ';
        AppendInt(obj, offset[1]);
        obj += ' ';
        AppendInt(obj, -offset[2]);
        obj += '\n';
    }

    // Faces grouped by material, in slot order within each.
    const size_t materialCount = materials.colour.size();
    std::vector<std::vector<uint32_t>> facesOf(materialCount);
    for (size_t face = 0; face < faceSlot.size(); ++face)
        facesOf[static_cast<size_t>(materials.ofSlot[static_cast<size_t>(faceSlot[face])])].push_back(
            static_cast<uint32_t>(face));
    for (size_t material = 0; material < materialCount; ++material) {
        obj += "usemtl mat";
        AppendInt(obj, static_cast<long>(material + 1));
        obj += '\n';
        const bool textured = static_cast<int32_t>(material) == materials.texture;
        for (uint32_t face : facesOf[material]) {
            const CubeRecord& cube = scene.cubes[faceSlot[face]];
            const int normal = faceSide[face] + 1;
            char line[160] = {'f'};
            char* at = line + 1;
            // Turning z around mirrors the corners' turn: taken backwards they run counter-clockwise outside.
            for (int corner = 3; corner >= 0; --corner) {
                *at++ = ' ';
                at = PutInt(at, vertexOf[face * 4 + static_cast<size_t>(corner)] + 1);
                *at++ = '/';
                if (textured) {
                    const int u = cube.cellColumn + kCornerRight[corner], v = cube.cellRow + kCornerBottom[corner];
                    at = PutInt(at, atlasPoint[u * kAtlasPoints + v]);
                }
                *at++ = '/';
                at = PutInt(at, normal);
            }
            *at++ = '\n';
            obj.append(line, at);
        }
    }

    std::string mtl = "# Blokkenveld\n";
    std::vector<uint8_t> picture;
    for (size_t material = 0; material < materialCount; ++material) {
        mtl += "\nnewmtl mat";
        AppendInt(mtl, static_cast<long>(material + 1));
        mtl += '\n';
        const bool textured = static_cast<int32_t>(material) == materials.texture;
        AppendColour(mtl, "Kd", textured ? kWhite : materials.colour[material]);
        mtl += "Ks 0.000000 0.000000 0.000000\nd 1\nillum 1\n";
        if (textured) {
            mtl += "map_Kd " + baseName + ".png\n";
            if (!png.Encode(*atlas, picture) || picture.empty())
                return false;
        }
    }
    out.obj = std::move(obj);
    out.mtl = std::move(mtl);
    out.atlas = std::move(picture);
    return true;
}
