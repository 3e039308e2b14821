// The glTF binary export: a JSON chunk describing one mesh of up to two primitives and a binary chunk with
// their vertex and index data and the atlas picture.
#include <cmath>
#include <cstring>

#include "files/hull.h"
#include "files/model_export.h"

namespace {

constexpr uint32_t kGlbMagic = 0x46546C67;  // "glTF"
constexpr uint32_t kGlbVersion = 2;
constexpr uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr uint32_t kBinChunk = 0x004E4942;   // "BIN\0"
constexpr int kFloatType = 5126;
constexpr int kUnsignedIntType = 5125;
constexpr int kArrayBufferTarget = 34962;
constexpr int kElementArrayBufferTarget = 34963;
constexpr int kNearest = 9728;
constexpr int kClampToEdge = 33071;

// Two triangles per face from corners 1 to 4 of the side (scene.h). Turning z around mirrors their turn, so
// they run 1, 3, 2 and 1, 4, 3: counter-clockwise seen from outside, as glTF wants.
constexpr uint32_t kFaceTriangles[6] = {0, 2, 1, 0, 3, 2};
// The atlas edge at each corner: corner 1 left-bottom, 2 left-top, 3 right-top, 4 right-bottom, as drawn.
constexpr int kCornerRight[4] = {0, 0, 1, 1};
constexpr int kCornerBottom[4] = {1, 0, 0, 1};

float SrgbToLinear(int value) {
    const float c = static_cast<float>(value) / 255.0f;
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

// The vertex and index data of one primitive.
struct Primitive {
    std::vector<float> positions;  // x, y, z per vertex
    std::vector<float> normals;
    std::vector<float> extra;  // colours (r, g, b, linear) or texture coordinates (u, v)
    std::vector<uint32_t> indices;
    float low[3] = {0, 0, 0};
    float high[3] = {0, 0, 0};

    size_t Vertices() const { return positions.size() / 3; }
};

// Grid points to metres: centred on the middle of the model's extent, z turned around.
struct Frame {
    int twiceCentre[3];  // low + high + 1 on each axis: twice the middle, a whole number
    float Coordinate(int axis, int gridPoint) const {
        const float value = static_cast<float>(2 * gridPoint - twiceCentre[axis]) * 0.5f;
        return axis == 2 ? -value : value;
    }
};

void AddFace(Primitive& p, const Frame& frame, const CubeRecord& cube, int side, const float* colour) {
    const CubeCell cell = CellOf(cube);
    const uint32_t first = static_cast<uint32_t>(p.Vertices());
    const float normal[3] = {static_cast<float>(kSideOffset[side][0]), static_cast<float>(kSideOffset[side][1]),
                             -static_cast<float>(kSideOffset[side][2])};
    for (int corner = 0; corner < 4; ++corner) {
        const int* offset = kSideCorners[side][corner];
        const int point[3] = {cell.x + offset[0], cell.y + offset[1], cell.z + offset[2]};
        for (int axis = 0; axis < 3; ++axis) {
            const float value = frame.Coordinate(axis, point[axis]);
            if (first == 0 && corner == 0) {
                p.low[axis] = p.high[axis] = value;
            } else {
                p.low[axis] = value < p.low[axis] ? value : p.low[axis];
                p.high[axis] = value > p.high[axis] ? value : p.high[axis];
            }
            p.positions.push_back(value);
            p.normals.push_back(normal[axis]);
        }
        if (colour != nullptr) {
            p.extra.insert(p.extra.end(), colour, colour + 3);
        } else {
            p.extra.push_back(static_cast<float>(cube.cellColumn + kCornerRight[corner]) * 0.125f);
            p.extra.push_back(static_cast<float>(cube.cellRow + kCornerBottom[corner]) * 0.125f);
        }
    }
    for (uint32_t index : kFaceTriangles)
        p.indices.push_back(first + index);
}

// Numbers in the JSON text: whole numbers and halves, written without the C library so that no locale reaches
// them.
void AppendNumber(std::string& json, float value) {
    if (value < 0) {
        json += '-';
        value = -value;
    }
    const long twice = std::lround(value * 2.0f);
    json += std::to_string(twice / 2);
    if (twice % 2 != 0)
        json += ".5";
}

class GlbWriter {
public:
    // Appends data to the binary chunk as a buffer view of its own; returns the view's number.
    int AddView(const void* data, size_t size, int target) {
        const size_t offset = bin_.size();
        bin_.insert(bin_.end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
        while (bin_.size() % 4 != 0)
            bin_.push_back(0);
        if (!views_.empty())
            views_ += ',';
        views_ += "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) + ",\"byteLength\":" + std::to_string(size);
        if (target != 0)
            views_ += ",\"target\":" + std::to_string(target);
        views_ += '}';
        return viewCount_++;
    }

    // A buffer view and its accessor; returns the accessor's number.
    int AddAccessor(const void* data,
                    size_t size,
                    int componentType,
                    size_t count,
                    const char* type,
                    int target,
                    const std::string& bounds = std::string()) {
        const int view = AddView(data, size, target);
        if (!accessors_.empty())
            accessors_ += ',';
        accessors_ += "{\"bufferView\":" + std::to_string(view) +
                      ",\"componentType\":" + std::to_string(componentType) + ",\"count\":" + std::to_string(count) +
                      ",\"type\":\"" + type + "\"" + bounds + "}";
        return accessorCount_++;
    }

    const std::string& Views() const { return views_; }
    const std::string& Accessors() const { return accessors_; }
    const std::vector<uint8_t>& Bin() const { return bin_; }

private:
    std::vector<uint8_t> bin_;
    std::string views_, accessors_;
    int viewCount_ = 0, accessorCount_ = 0;
};

std::string PrimitiveJson(GlbWriter& writer, const Primitive& p, bool textured, int material) {
    std::string bounds = ",\"min\":[";
    for (int axis = 0; axis < 3; ++axis) {
        if (axis > 0)
            bounds += ',';
        AppendNumber(bounds, p.low[axis]);
    }
    bounds += "],\"max\":[";
    for (int axis = 0; axis < 3; ++axis) {
        if (axis > 0)
            bounds += ',';
        AppendNumber(bounds, p.high[axis]);
    }
    bounds += ']';
    const size_t vertices = p.Vertices();
    const int position = writer.AddAccessor(p.positions.data(), p.positions.size() * 4, kFloatType, vertices, "VEC3",
                                            kArrayBufferTarget, bounds);
    const int normal =
        writer.AddAccessor(p.normals.data(), p.normals.size() * 4, kFloatType, vertices, "VEC3", kArrayBufferTarget);
    const int extra = writer.AddAccessor(p.extra.data(), p.extra.size() * 4, kFloatType, vertices,
                                         textured ? "VEC2" : "VEC3", kArrayBufferTarget);
    const int indices = writer.AddAccessor(p.indices.data(), p.indices.size() * 4, kUnsignedIntType, p.indices.size(),
                                           "SCALAR", kElementArrayBufferTarget);
    return "{\"attributes\":{\"POSITION\":" + std::to_string(position) + ",\"NORMAL\":" + std::to_string(normal) +
           (textured ? ",\"TEXCOORD_0\":" : ",\"COLOR_0\":") + std::to_string(extra) +
           "},\"indices\":" + std::to_string(indices) + ",\"material\":" + std::to_string(material) + "}";
}

void AppendU32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

bool GltfBinary(const Scene& scene, const Image* atlas, PngEncoder& png, std::vector<uint8_t>& out) {
    const bool useAtlas = atlas != nullptr && atlas->width > 0 && atlas->height > 0;
    const ModelBounds bounds = BoundsOf(scene);
    Frame frame{};
    for (int axis = 0; axis < 3; ++axis)
        frame.twiceCentre[axis] = bounds.low[axis] + bounds.high[axis] + 1;

    float linear[256];
    for (int value = 0; value < 256; ++value)
        linear[value] = SrgbToLinear(value);
    Primitive coloured, textured;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const bool showsAtlas = ShowsAtlas(cube, useAtlas);
        const ColourParts parts = SplitColour(cube.textured != 0 ? kWhite : cube.colour);
        const float colour[3] = {linear[parts.red], linear[parts.green], linear[parts.blue]};
        for (int side = 0; side < kSideCount; ++side) {
            if (cube.faceExposed[side] != 0)
                AddFace(showsAtlas ? textured : coloured, frame, cube, side, showsAtlas ? nullptr : colour);
        }
    }

    GlbWriter writer;
    std::string primitives, materials;
    if (coloured.Vertices() > 0) {
        materials += "{\"name\":\"colours\",\"pbrMetallicRoughness\":{\"metallicFactor\":0,\"roughnessFactor\":1}}";
        primitives += PrimitiveJson(writer, coloured, false, 0);
    }
    std::string texturing;
    if (textured.Vertices() > 0) {
        std::vector<uint8_t> picture;
        if (!png.Encode(*atlas, picture) || picture.empty())
            return false;
        const int material = coloured.Vertices() > 0 ? 1 : 0;
        if (material > 0) {
            materials += ',';
            primitives += ',';
        }
        materials +=
            "{\"name\":\"atlas\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0},\"metallicFactor\":0,"
            "\"roughnessFactor\":1}}";
        primitives += PrimitiveJson(writer, textured, true, material);
        const int view = writer.AddView(picture.data(), picture.size(), 0);
        texturing =
            ",\"samplers\":[{\"magFilter\":" + std::to_string(kNearest) + ",\"minFilter\":" + std::to_string(kNearest) +
            ",\"wrapS\":" + std::to_string(kClampToEdge) + ",\"wrapT\":" + std::to_string(kClampToEdge) +
            "}],\"textures\":[{\"sampler\":0,\"source\":0}],\"images\":[{\"bufferView\":" + std::to_string(view) +
            ",\"mimeType\":\"image/png\"}]";
    }

    std::string json = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Blokkenveld\"},\"scene\":0,";
    if (primitives.empty()) {
        json += "\"scenes\":[{\"name\":\"Blokkenveld\"}]}";
    } else {
        json +=
            "\"scenes\":[{\"name\":\"Blokkenveld\",\"nodes\":[0]}],\"nodes\":[{\"name\":\"Blokkenveld\",\"mesh\":0}],"
            "\"meshes\":[{\"name\":\"Blokkenveld\",\"primitives\":[" +
            primitives + "]}],\"materials\":[" + materials + "]" + texturing + ",\"accessors\":[" + writer.Accessors() +
            "],\"bufferViews\":[" + writer.Views() +
            "],\"buffers\":[{\"byteLength\":" + std::to_string(writer.Bin().size()) + "}]}";
    }
    while (json.size() % 4 != 0)
        json += ' ';

    const std::vector<uint8_t>& bin = writer.Bin();
    std::vector<uint8_t> glb;
    glb.reserve(12 + 8 + json.size() + (bin.empty() ? 0 : 8 + bin.size()));
    AppendU32(glb, kGlbMagic);
    AppendU32(glb, kGlbVersion);
    AppendU32(glb, static_cast<uint32_t>(12 + 8 + json.size() + (bin.empty() ? 0 : 8 + bin.size())));
    AppendU32(glb, static_cast<uint32_t>(json.size()));
    AppendU32(glb, kJsonChunk);
    glb.insert(glb.end(), json.begin(), json.end());
    if (!bin.empty()) {
        AppendU32(glb, static_cast<uint32_t>(bin.size()));
        AppendU32(glb, kBinChunk);
        glb.insert(glb.end(), bin.begin(), bin.end());
    }
    out = std::move(glb);
    return true;
}
