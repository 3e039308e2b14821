#include "files/model_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "fake_platform.h"
#include "file_fixtures.h"

namespace {

// Stands in for the system's encoder: a few recognisable bytes, or a failure.
class FakePng : public PngEncoder {
public:
    bool fail = false;
    int calls = 0;
    bool Encode(const Image& image, std::vector<uint8_t>& out) override {
        ++calls;
        if (fail)
            return false;
        out = {0x89, 'P', 'N', 'G', static_cast<uint8_t>(image.width)};
        return true;
    }
};

Image Atlas() {
    Image atlas;
    atlas.width = atlas.height = 128;
    atlas.pixels.assign(128 * 128, 0xFF808080);
    return atlas;
}

struct Rig {
    std::unique_ptr<Scene> scene = EmptyScene();
    Image atlas = Atlas();
    FakePng png;
    CubeRecord& Add(int slot, int x, int y, int z, uint32_t colour = kWhite) {
        CubeRecord& cube = PlaceCube(*scene, slot, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
        cube.colour = colour;
        return cube;
    }
    CubeRecord& AddTextured(int slot, int x, int y, int z, int column, int row) {
        CubeRecord& cube = Add(slot, x, y, z);
        cube.textured = 1;
        cube.cellColumn = column;
        cube.cellRow = row;
        return cube;
    }
    std::vector<uint8_t> Glb(bool withAtlas = true) {
        UpdateFaceExposure(*scene);
        std::vector<uint8_t> out;
        EXPECT_TRUE(GltfBinary(*scene, withAtlas ? &atlas : nullptr, png, out));
        return out;
    }
    ObjFiles Obj(bool withAtlas = true) {
        UpdateFaceExposure(*scene);
        ObjFiles files;
        EXPECT_TRUE(ObjExport(*scene, withAtlas ? &atlas : nullptr, png, "model", files));
        return files;
    }
};

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, &b[at], 4);
    return v;
}

// The parts of a .glb: its JSON text and its binary chunk.
struct Glb {
    std::string json;
    std::vector<uint8_t> bin;
    explicit Glb(const std::vector<uint8_t>& bytes) {
        EXPECT_EQ(U32(bytes, 0), 0x46546C67u);
        EXPECT_EQ(U32(bytes, 4), 2u);
        EXPECT_EQ(U32(bytes, 8), bytes.size());
        const uint32_t jsonSize = U32(bytes, 12);
        EXPECT_EQ(jsonSize % 4, 0u);
        json.assign(bytes.begin() + 20, bytes.begin() + 20 + jsonSize);
        if (bytes.size() > 20 + jsonSize) {
            const size_t at = 20 + jsonSize;
            EXPECT_EQ(U32(bytes, at + 4), 0x004E4942u);
            bin.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 8), bytes.end());
            EXPECT_EQ(U32(bytes, at), bin.size());
        }
    }
    // The numbers after "key": in a view or accessor list, in order.
    std::vector<long> Numbers(const std::string& key) const {
        std::vector<long> found;
        for (size_t at = json.find("\"" + key + "\":"); at != std::string::npos;
             at = json.find("\"" + key + "\":", at + 1))
            found.push_back(std::stol(json.substr(at + key.size() + 3)));
        return found;
    }
    const float* Floats(size_t view) const {
        return reinterpret_cast<const float*>(bin.data() + Numbers("byteOffset")[view]);
    }
    const uint32_t* Indices(size_t view) const {
        return reinterpret_cast<const uint32_t*>(bin.data() + Numbers("byteOffset")[view]);
    }
};

}  // namespace

TEST(GltfExport, EveryTriangleFacesOutwardAlongItsNormal) {
    Rig rig;
    rig.Add(0, 100, 100, 100);
    rig.Add(1, 101, 100, 100, 0xFF102030);
    rig.Add(2, 100, 101, 100);
    const Glb glb(rig.Glb());
    EXPECT_EQ(glb.Numbers("count"), (std::vector<long>{56, 56, 56, 84}));  // 14 faces of 4 corners, 2 triangles
    const float* positions = glb.Floats(0);
    const float* normals = glb.Floats(1);
    const uint32_t* indices = glb.Indices(3);
    for (int t = 0; t < 28; ++t) {
        const float* a = positions + 3 * indices[3 * t];
        const float* b = positions + 3 * indices[3 * t + 1];
        const float* c = positions + 3 * indices[3 * t + 2];
        const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float cross[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        const float* n = normals + 3 * indices[3 * t];
        // Counter-clockwise seen from outside: the right-handed cross product is the normal, area one half.
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_FLOAT_EQ(cross[axis], n[axis]) << "triangle " << t;
    }
    // Centred: the extent 100..101 on x and y becomes -1..1, the single layer on z -0.5..0.5.
    EXPECT_NE(glb.json.find("\"min\":[-1,-1,-0.5],\"max\":[1,1,0.5]"), std::string::npos);
}

TEST(GltfExport, TheModelIsNotMirrored) {
    // Cubes one step along the grid's x, y and z from a corner cube. The grid is left-handed and glTF
    // right-handed, so the three steps must come out as a left-handed triple: their determinant is -1.
    Rig rig;
    rig.Add(0, 100, 100, 100);
    rig.Add(1, 101, 100, 100);
    rig.Add(2, 100, 101, 100);
    rig.Add(3, 100, 100, 101);
    const Glb glb(rig.Glb());
    const float* positions = glb.Floats(0);
    float centre[4][3] = {};
    for (int cube = 0; cube < 4; ++cube) {
        // The cubes' faces in slot order; each cube's corners average to its centre.
        const int first = cube == 0 ? 0 : 12 + (cube - 1) * 20;
        const int corners = cube == 0 ? 12 : 20;
        for (int k = 0; k < corners; ++k)
            for (int axis = 0; axis < 3; ++axis)
                centre[cube][axis] += positions[3 * (first + k) + axis] / static_cast<float>(corners);
    }
    float step[3][3];
    for (int s = 0; s < 3; ++s)
        for (int axis = 0; axis < 3; ++axis)
            step[s][axis] = std::round(centre[s + 1][axis] - centre[0][axis]);
    const float determinant = step[0][0] * (step[1][1] * step[2][2] - step[1][2] * step[2][1]) -
                              step[0][1] * (step[1][0] * step[2][2] - step[1][2] * step[2][0]) +
                              step[0][2] * (step[1][0] * step[2][1] - step[1][1] * step[2][0]);
    EXPECT_EQ(determinant, -1.0f);
    EXPECT_EQ(step[1][1], 1.0f) << "y stays up";
}

TEST(GltfExport, TexturedFacesSampleTheirCellFromTheEmbeddedAtlas) {
    Rig rig;
    rig.Add(0, 100, 100, 100, 0xFF0000FF);
    rig.AddTextured(1, 110, 100, 100, 2, 5);
    const std::vector<uint8_t> bytes = rig.Glb();
    const Glb glb(bytes);
    EXPECT_NE(glb.json.find("\"COLOR_0\""), std::string::npos);
    EXPECT_NE(glb.json.find("\"TEXCOORD_0\""), std::string::npos);
    EXPECT_NE(glb.json.find("\"magFilter\":9728,\"minFilter\":9728"), std::string::npos);
    EXPECT_NE(glb.json.find("\"mimeType\":\"image/png\""), std::string::npos);
    EXPECT_EQ(rig.png.calls, 1);
    // Views: coloured position, normal, colour, index; textured position, normal, uv, index; the picture.
    const std::vector<long> lengths = glb.Numbers("byteLength");
    ASSERT_EQ(lengths.size(), 10u);  // nine views and the buffer
    EXPECT_EQ(lengths[8], 5);
    EXPECT_EQ(std::memcmp(glb.bin.data() + glb.Numbers("byteOffset")[8], "\x89PNG\x80", 5), 0);
    const float* uv = glb.Floats(6);
    std::set<std::pair<float, float>> corners;
    for (int k = 0; k < 24; ++k)
        corners.insert({uv[2 * k], uv[2 * k + 1]});
    EXPECT_EQ(corners,
              (std::set<std::pair<float, float>>{{0.25f, 0.625f}, {0.25f, 0.75f}, {0.375f, 0.625f}, {0.375f, 0.75f}}));
    // On the sides the picture stands upright, as the program draws it: the upper corners take the cell's top.
    const float* position = glb.Floats(4);
    const float* normal = glb.Floats(5);
    for (int face = 0; face < 6; ++face) {
        if (normal[12 * face + 1] != 0.0f)
            continue;
        for (int k = 0; k < 4; ++k) {
            const int vertex = 4 * face + k;
            EXPECT_EQ(uv[2 * vertex + 1], position[3 * vertex + 1] > 0 ? 0.625f : 0.75f) << "face " << face;
        }
    }
    // The blue cube's colour, linear: the red and green channels are 0, blue 1.
    const float* colour = glb.Floats(2);
    EXPECT_FLOAT_EQ(colour[0], 0.0f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
    EXPECT_EQ(rig.Glb(), bytes) << "the same scene gives the same bytes";
}

TEST(GltfExport, WithoutAtlasTexturedCubesAreWhiteAndAFailedPictureFailsTheExport) {
    Rig rig;
    rig.AddTextured(0, 100, 100, 100, 1, 1);
    const Glb glb(rig.Glb(false));
    EXPECT_EQ(glb.json.find("TEXCOORD_0"), std::string::npos);
    EXPECT_EQ(glb.json.find("images"), std::string::npos);
    EXPECT_FLOAT_EQ(glb.Floats(2)[1], 1.0f);
    EXPECT_EQ(rig.png.calls, 0);
    rig.png.fail = true;
    std::vector<uint8_t> out = {1, 2, 3};
    EXPECT_FALSE(GltfBinary(*rig.scene, &rig.atlas, rig.png, out));
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(GltfExport, AnEmptySceneIsAnEmptyModel) {
    Rig rig;
    const Glb glb(rig.Glb());
    EXPECT_TRUE(glb.bin.empty());
    EXPECT_EQ(glb.json.find("meshes"), std::string::npos);
}

// The text form holds the binary form's document: the same JSON but for the buffer's data: URI (and the padding a
// chunk needs), and behind the URI the binary chunk's bytes. Buffers of each length modulo 3 reach both ends of the
// base64 padding; a scene without faces has no buffer.
TEST(GltfExport, TheTextFormHoldsTheBinaryFormsJsonAndBuffer) {
    const std::string uri = ",\"uri\":\"data:application/octet-stream;base64,";
    const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::set<size_t> remainders;
    for (int textured = 0; textured <= 2; ++textured) {
        for (int coloured = 0; coloured <= 1; ++coloured) {
            Rig rig;
            for (int i = 0; i < textured; ++i)
                rig.AddTextured(i, 100 + i, 100, 100, 2, 5);
            if (coloured > 0)
                rig.Add(5, 100, 101, 100, 0xFF00FF00);
            const Glb glb(rig.Glb());
            std::string text;
            ASSERT_TRUE(GltfText(*rig.scene, &rig.atlas, rig.png, text));
            const size_t at = text.find(uri), end = text.find('"', at + uri.size());
            std::vector<uint8_t> bytes;
            uint32_t bits = 0;
            for (size_t i = at + uri.size(), count = 0; at != std::string::npos && i < end && text[i] != '='; ++i) {
                bits = bits << 6 | static_cast<uint32_t>(digits.find(text[i]));
                if ((count += 6) >= 8)
                    bytes.push_back(static_cast<uint8_t>(bits >> (count -= 8)));
            }
            EXPECT_EQ(bytes, glb.bin) << textured << " textured, " << coloured << " coloured";
            EXPECT_EQ(at == std::string::npos ? text : text.substr(0, at) + text.substr(end + 1),
                      glb.json.substr(0, glb.json.find_last_not_of(' ') + 1));
            remainders.insert(glb.bin.size() % 3);
        }
    }
    EXPECT_EQ(remainders.size(), 3u);
}

TEST(ObjExport, SharedCornersMaterialsAsTheMetasequoiaExportGroupsThem) {
    Rig rig;
    rig.Add(0, 100, 100, 100, 0xFF804020);
    rig.AddTextured(1, 110, 100, 100, 2, 5);
    rig.Add(2, 101, 100, 100, 0xFF0000FF);
    rig.Add(3, 120, 100, 100, 0xFF804020);
    const ObjFiles files = rig.Obj();
    // Cubes 0 and 2 touch: 12 corners, 10 faces; the other two stand alone.
    EXPECT_EQ(Count(files.obj, "\nv "), 12u + 8 + 8);
    EXPECT_EQ(Count(files.obj, "\nf "), 10u + 6 + 6);
    EXPECT_EQ(Count(files.obj, "\nvn "), 6u);
    EXPECT_EQ(Count(files.obj, "\nvt "), 4u);
    EXPECT_EQ(files.obj.find("mtllib model.mtl\n"), std::string("# Blokkenveld\n").size());
    // mat1 the first colour (two cubes), mat2 the atlas, mat3 the blue cube; faces grouped in that order.
    const size_t mat1 = files.obj.find("usemtl mat1\n"), mat2 = files.obj.find("usemtl mat2\n"),
                 mat3 = files.obj.find("usemtl mat3\n");
    ASSERT_TRUE(mat1 < mat2 && mat2 < mat3 && mat3 != std::string::npos);
    EXPECT_EQ(Count(files.obj.substr(mat1, mat2 - mat1), "\nf "), 11u);
    EXPECT_EQ(Count(files.obj.substr(mat2, mat3 - mat2), "\nf "), 6u);
    EXPECT_EQ(files.obj.substr(mat2, mat3 - mat2).find("//"), std::string::npos) << "textured faces name their vt";
    EXPECT_NE(files.obj.substr(mat3).find("//"), std::string::npos);
    // Cell (2, 5): u 0.25 to 0.375, v counted from the bottom 1 - 6/8 to 1 - 5/8.
    EXPECT_NE(files.obj.find("vt 0.250000 0.250000\n"), std::string::npos);
    EXPECT_NE(files.obj.find("vt 0.375000 0.375000\n"), std::string::npos);
    EXPECT_NE(files.mtl.find("newmtl mat1\nKd 0.501961 0.250980 0.125490\n"), std::string::npos);
    EXPECT_NE(files.mtl.find("newmtl mat2\nKd 1.000000 1.000000 1.000000\n"), std::string::npos);
    EXPECT_NE(files.mtl.find("map_Kd model.png\n"), std::string::npos);
    EXPECT_EQ(files.atlas.size(), 5u);
    EXPECT_EQ(Count(files.mtl, "newmtl"), 3u);
}

TEST(ObjExport, QuadsWindCounterClockwiseAndSitInTheGltfFrame) {
    Rig rig;
    rig.Add(0, 100, 100, 100);
    const ObjFiles files = rig.Obj(false);
    EXPECT_TRUE(files.atlas.empty());
    EXPECT_EQ(files.mtl.find("map_Kd"), std::string::npos);
    // Corners numbered in grid x, y, z order; the grid's z turned around, centred.
    EXPECT_NE(files.obj.find("v -0.5 -0.5 0.5\nv -0.5 -0.5 -0.5\nv -0.5 0.5 0.5\n"), std::string::npos);
    // Side 0 (grid -z, glTF +z, normal 1 is (0, 0, 1)): its corners (1,0,0) (1,1,0) (0,1,0) (0,0,0) are
    // vertices 5, 7, 3, 1; seen from +z that runs counter-clockwise.
    EXPECT_NE(files.obj.find("f 5//1 7//1 3//1 1//1\n"), std::string::npos);
    EXPECT_NE(files.obj.find("vn 0 0 1\nvn 1 0 0\nvn 0 0 -1\n"), std::string::npos);
}
