// The glTF exports: one document describing one mesh of up to two primitives, with a buffer of their vertex and
// index data and the atlas picture; a .glb carries the buffer as its binary chunk, a .gltf inside its JSON text.
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

// sRGB to linear light for each 8-bit value, (c / 255 + 0.055) / 1.055 raised to 2.4 (c / 255 / 12.92 in the
// toe), rounded to float once here: a run-time pow depends on the floating-point state, which Direct3D 9 narrows
// in the program, and the same scene must give the same bytes everywhere.
// clang-format off
constexpr float kLinearOfSrgb[256] = {
    0.0f, 0.000303526991f, 0.000607053982f, 0.000910580973f, 0.00121410796f, 0.00151763496f,
    0.00182116195f, 0.00212468882f, 0.00242821593f, 0.0027317428f, 0.00303526991f, 0.00334653584f,
    0.00367650739f, 0.00402471703f, 0.00439144205f, 0.00477695325f, 0.00518151652f, 0.00560539169f,
    0.00604883302f, 0.00651209056f, 0.00699541019f, 0.00749903219f, 0.00802319311f, 0.00856812578f,
    0.00913405884f, 0.00972121768f, 0.010329823f, 0.0109600937f, 0.0116122449f, 0.012286488f,
    0.0129830325f, 0.0137020834f, 0.0144438436f, 0.0152085144f, 0.0159962941f, 0.0168073755f,
    0.0176419541f, 0.01850022f, 0.0193823613f, 0.0202885624f, 0.0212190095f, 0.0221738853f,
    0.0231533665f, 0.0241576321f, 0.0251868591f, 0.0262412224f, 0.0273208916f, 0.02842604f,
    0.0295568351f, 0.0307134446f, 0.0318960324f, 0.0331047662f, 0.0343398079f, 0.0356013142f,
    0.0368894488f, 0.0382043719f, 0.0395462364f, 0.0409151986f, 0.0423114114f, 0.043735031f,
    0.045186203f, 0.0466650873f, 0.0481718257f, 0.0497065671f, 0.0512694567f, 0.0528606474f,
    0.054480277f, 0.0561284907f, 0.0578054301f, 0.0595112368f, 0.0612460524f, 0.0630100146f,
    0.064803265f, 0.0666259378f, 0.0684781671f, 0.0703600943f, 0.0722718537f, 0.0742135718f,
    0.0761853829f, 0.078187421f, 0.0802198201f, 0.0822827071f, 0.0843762085f, 0.0865004584f,
    0.0886555836f, 0.0908417106f, 0.0930589661f, 0.0953074694f, 0.097587347f, 0.0998987257f,
    0.102241732f, 0.104616486f, 0.107023105f, 0.10946171f, 0.111932427f, 0.114435375f,
    0.116970666f, 0.119538426f, 0.122138776f, 0.124771819f, 0.127437681f, 0.130136475f,
    0.13286832f, 0.135633335f, 0.138431609f, 0.141263291f, 0.144128472f, 0.147027269f,
    0.149959788f, 0.152926147f, 0.155926466f, 0.158960834f, 0.162029371f, 0.165132195f,
    0.168269396f, 0.171441108f, 0.174647406f, 0.177888423f, 0.18116425f, 0.18447499f,
    0.187820777f, 0.191201687f, 0.194617838f, 0.198069319f, 0.20155625f, 0.205078736f,
    0.208636865f, 0.212230757f, 0.215860501f, 0.219526201f, 0.223227963f, 0.226965874f,
    0.230740055f, 0.23455058f, 0.238397568f, 0.242281124f, 0.246201321f, 0.25015828f,
    0.254152089f, 0.258182853f, 0.262250662f, 0.266355604f, 0.270497799f, 0.274677306f,
    0.278894275f, 0.283148736f, 0.287440836f, 0.291770637f, 0.296138257f, 0.300543785f,
    0.304987311f, 0.309468925f, 0.313988715f, 0.318546772f, 0.323143214f, 0.327778101f,
    0.332451522f, 0.337163627f, 0.341914415f, 0.346704066f, 0.351532608f, 0.356400132f,
    0.361306787f, 0.366252601f, 0.371237695f, 0.376262128f, 0.38132602f, 0.386429429f,
    0.391572475f, 0.396755219f, 0.401977777f, 0.407240212f, 0.412542611f, 0.417885065f,
    0.423267663f, 0.428690493f, 0.434153646f, 0.439657182f, 0.445201188f, 0.450785786f,
    0.456411034f, 0.462076992f, 0.467783809f, 0.473531485f, 0.479320168f, 0.48514995f,
    0.491020858f, 0.496932983f, 0.502886474f, 0.50888133f, 0.514917672f, 0.520995557f,
    0.527115107f, 0.533276379f, 0.539479494f, 0.545724452f, 0.55201143f, 0.558340371f,
    0.564711511f, 0.571124852f, 0.577580452f, 0.584078431f, 0.590618849f, 0.597201765f,
    0.603827357f, 0.610495567f, 0.617206573f, 0.623960376f, 0.630757153f, 0.637596846f,
    0.644479692f, 0.651405632f, 0.658374846f, 0.665387273f, 0.672443151f, 0.679542482f,
    0.686685324f, 0.693871737f, 0.701101899f, 0.708375752f, 0.715693474f, 0.723055124f,
    0.730460763f, 0.73791039f, 0.745404184f, 0.752942204f, 0.760524511f, 0.768151164f,
    0.775822222f, 0.783537805f, 0.791297913f, 0.799102724f, 0.806952238f, 0.814846575f,
    0.822785735f, 0.830769897f, 0.838799f, 0.846873224f, 0.854992628f, 0.863157213f,
    0.871367097f, 0.8796224f, 0.887923121f, 0.896269381f, 0.904661179f, 0.913098633f,
    0.921581864f, 0.930110872f, 0.938685715f, 0.947306514f, 0.955973327f, 0.964686275f,
    0.973445296f, 0.982250571f, 0.991102099f, 1.0f,
};
// clang-format on

// One primitive: its faces counted and measured first, so that the file can be laid out and its data written
// straight into place.
struct Primitive {
    bool textured = false;
    size_t faces = 0;
    float low[3] = {0, 0, 0};  // the extent of its positions, which glTF requires beside them
    float high[3] = {0, 0, 0};
    // Where its data goes in the binary chunk.
    size_t positionsAt = 0, normalsAt = 0, extraAt = 0, indicesAt = 0;
    size_t written = 0;  // faces written so far

    size_t Vertices() const { return faces * 4; }
    size_t ExtraBytes() const { return Vertices() * (textured ? 8 : 12); }
};

// Grid points to metres: centred on the middle of the model's extent, z turned around.
struct Frame {
    int twiceCentre[3];  // low + high + 1 on each axis: twice the middle, a whole number
    float Coordinate(int axis, int gridPoint) const {
        const float value = static_cast<float>(2 * gridPoint - twiceCentre[axis]) * 0.5f;
        return axis == 2 ? -value : value;
    }
};

void Measure(Primitive& p, const Frame& frame, const Cell& cell, int side) {
    for (int corner = 0; corner < 4; corner += 2) {  // corners 1 and 3 lie across the face from each other
        const int* offset = kSideCorners[side][corner];
        const int point[3] = {cell.x + offset[0], cell.y + offset[1], cell.z + offset[2]};
        for (int axis = 0; axis < 3; ++axis) {
            const float value = frame.Coordinate(axis, point[axis]);
            if (p.faces == 0 && corner == 0) {
                p.low[axis] = p.high[axis] = value;
            } else {
                p.low[axis] = value < p.low[axis] ? value : p.low[axis];
                p.high[axis] = value > p.high[axis] ? value : p.high[axis];
            }
        }
    }
    ++p.faces;
}

void Store(uint8_t* at, const float* values, size_t count) {
    std::memcpy(at, values, count * sizeof(float));
}

void AddFace(Primitive& p, uint8_t* bin, const Frame& frame, const CubeRecord& cube, int side, const float* colour) {
    const Cell cell = CellOf(cube);
    const size_t face = p.written++;
    const float normal[3] = {static_cast<float>(kSideOffset[side][0]), static_cast<float>(kSideOffset[side][1]),
                             -static_cast<float>(kSideOffset[side][2])};
    float positions[12], normals[12], extra[12];
    float* e = extra;
    for (int corner = 0; corner < 4; ++corner) {
        const int* offset = kSideCorners[side][corner];
        const int point[3] = {cell.x + offset[0], cell.y + offset[1], cell.z + offset[2]};
        for (int axis = 0; axis < 3; ++axis) {
            positions[corner * 3 + axis] = frame.Coordinate(axis, point[axis]);
            normals[corner * 3 + axis] = normal[axis];
        }
        if (colour != nullptr) {
            *e++ = colour[0];
            *e++ = colour[1];
            *e++ = colour[2];
        } else {
            *e++ = static_cast<float>(cube.cellColumn + kCornerRight[corner]) * 0.125f;
            *e++ = static_cast<float>(cube.cellRow + kCornerBottom[corner]) * 0.125f;
        }
    }
    Store(bin + p.positionsAt + face * 48, positions, 12);
    Store(bin + p.normalsAt + face * 48, normals, 12);
    Store(bin + p.extraAt + face * (colour != nullptr ? 48 : 32), extra, colour != nullptr ? 12 : 8);
    uint32_t indices[6];
    for (int k = 0; k < 6; ++k)
        indices[k] = static_cast<uint32_t>(face * 4) + kFaceTriangles[k];
    std::memcpy(bin + p.indicesAt + face * 24, indices, sizeof(indices));
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

// The binary chunk's buffer views and accessors, laid out before any data is written.
class Layout {
public:
    // A view of size bytes at the next four-byte boundary; returns its offset.
    size_t AddView(size_t size, int target, int& view) {
        const size_t offset = size_;
        size_ = (size_ + size + 3) / 4 * 4;
        if (!views_.empty())
            views_ += ',';
        views_ += "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) + ",\"byteLength\":" + std::to_string(size);
        if (target != 0)
            views_ += ",\"target\":" + std::to_string(target);
        views_ += '}';
        view = viewCount_++;
        return offset;
    }

    // A view and its accessor; returns the view's offset and the accessor's number in accessor.
    size_t AddAccessor(size_t size,
                       int componentType,
                       size_t count,
                       const char* type,
                       int target,
                       int& accessor,
                       const std::string& bounds = std::string()) {
        int view = 0;
        const size_t offset = AddView(size, target, view);
        if (!accessors_.empty())
            accessors_ += ',';
        accessors_ += "{\"bufferView\":" + std::to_string(view) +
                      ",\"componentType\":" + std::to_string(componentType) + ",\"count\":" + std::to_string(count) +
                      ",\"type\":\"" + type + "\"" + bounds + "}";
        accessor = accessorCount_++;
        return offset;
    }

    const std::string& Views() const { return views_; }
    const std::string& Accessors() const { return accessors_; }
    size_t Size() const { return size_; }

private:
    size_t size_ = 0;
    std::string views_, accessors_;
    int viewCount_ = 0, accessorCount_ = 0;
};

std::string PrimitiveJson(Layout& layout, Primitive& p, int material) {
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
    int position = 0, normal = 0, extra = 0, indices = 0;
    p.positionsAt =
        layout.AddAccessor(vertices * 12, kFloatType, vertices, "VEC3", kArrayBufferTarget, position, bounds);
    p.normalsAt = layout.AddAccessor(vertices * 12, kFloatType, vertices, "VEC3", kArrayBufferTarget, normal);
    p.extraAt = layout.AddAccessor(p.ExtraBytes(), kFloatType, vertices, p.textured ? "VEC2" : "VEC3",
                                   kArrayBufferTarget, extra);
    p.indicesAt =
        layout.AddAccessor(p.faces * 24, kUnsignedIntType, p.faces * 6, "SCALAR", kElementArrayBufferTarget, indices);
    return "{\"attributes\":{\"POSITION\":" + std::to_string(position) + ",\"NORMAL\":" + std::to_string(normal) +
           (p.textured ? ",\"TEXCOORD_0\":" : ",\"COLOR_0\":") + std::to_string(extra) +
           "},\"indices\":" + std::to_string(indices) + ",\"material\":" + std::to_string(material) + "}";
}

void PutU32(uint8_t* at, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        *at++ = static_cast<uint8_t>(value >> shift);
}

// Base64 of RFC 4648, with its padding: the buffer of the text form as a data: URI.
std::string Base64(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t at = 0; at < bytes.size(); at += 3) {
        const size_t left = bytes.size() - at;
        const uint32_t group = static_cast<uint32_t>(bytes[at]) << 16 |
                               (left > 1 ? static_cast<uint32_t>(bytes[at + 1]) << 8 : 0) |
                               (left > 2 ? static_cast<uint32_t>(bytes[at + 2]) : 0);
        text += kDigits[group >> 18];
        text += kDigits[(group >> 12) & 63];
        text += left > 1 ? kDigits[(group >> 6) & 63] : '=';
        text += left > 2 ? kDigits[group & 63] : '=';
    }
    return text;
}

// The document both forms hold: the JSON text and one buffer with the vertex and index data and the atlas picture.
// Laid out first, so that each form can write the buffer straight into its place.
class Document {
public:
    // Measures the faces and lays out the buffer; false when the atlas is needed and cannot be encoded.
    bool Lay(const Scene& scene, const Image* atlas, PngEncoder& png);
    size_t BufferSize() const { return layout_.Size(); }
    // Writes the buffer, BufferSize() bytes at bin.
    void Fill(const Scene& scene, uint8_t* bin);
    // The JSON text; bufferUri is empty where the buffer travels beside the text (the binary chunk of a .glb).
    std::string Json(const std::string& bufferUri) const;

private:
    bool useAtlas_ = false;
    Frame frame_{};
    Primitive coloured_, textured_;
    std::vector<uint8_t> picture_;
    size_t pictureAt_ = 0;
    Layout layout_;
    std::string primitives_, materials_, texturing_;
};

bool Document::Lay(const Scene& scene, const Image* atlas, PngEncoder& png) {
    useAtlas_ = atlas != nullptr && atlas->width > 0 && atlas->height > 0;
    const ModelBounds bounds = BoundsOf(scene);
    for (int axis = 0; axis < 3; ++axis)
        frame_.twiceCentre[axis] = bounds.low[axis] + bounds.high[axis] + 1;

    textured_.textured = true;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        Primitive& p = ShowsAtlas(cube, useAtlas_) ? textured_ : coloured_;
        for (int side = 0; side < kSideCount; ++side) {
            if (cube.faceExposed[side] != 0)
                Measure(p, frame_, CellOf(cube), side);
        }
    }
    if (textured_.faces > 0 && (!png.Encode(*atlas, picture_) || picture_.empty()))
        return false;

    if (coloured_.faces > 0) {
        materials_ += "{\"name\":\"colours\",\"pbrMetallicRoughness\":{\"metallicFactor\":0,\"roughnessFactor\":1}}";
        primitives_ += PrimitiveJson(layout_, coloured_, 0);
    }
    if (textured_.faces > 0) {
        const int material = coloured_.faces > 0 ? 1 : 0;
        if (material > 0) {
            materials_ += ',';
            primitives_ += ',';
        }
        materials_ +=
            "{\"name\":\"atlas\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0},\"metallicFactor\":0,"
            "\"roughnessFactor\":1}}";
        primitives_ += PrimitiveJson(layout_, textured_, material);
        int view = 0;
        pictureAt_ = layout_.AddView(picture_.size(), 0, view);
        texturing_ =
            ",\"samplers\":[{\"magFilter\":" + std::to_string(kNearest) + ",\"minFilter\":" + std::to_string(kNearest) +
            ",\"wrapS\":" + std::to_string(kClampToEdge) + ",\"wrapT\":" + std::to_string(kClampToEdge) +
            "}],\"textures\":[{\"sampler\":0,\"source\":0}],\"images\":[{\"bufferView\":" + std::to_string(view) +
            ",\"mimeType\":\"image/png\"}]";
    }
    return true;
}

void Document::Fill(const Scene& scene, uint8_t* bin) {
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const bool showsAtlas = ShowsAtlas(cube, useAtlas_);
        const ColourParts parts = SplitColour(cube.textured != 0 ? kWhite : cube.colour);
        const float colour[3] = {kLinearOfSrgb[parts.red], kLinearOfSrgb[parts.green], kLinearOfSrgb[parts.blue]};
        for (int side = 0; side < kSideCount; ++side) {
            if (cube.faceExposed[side] != 0)
                AddFace(showsAtlas ? textured_ : coloured_, bin, frame_, cube, side, showsAtlas ? nullptr : colour);
        }
    }
    if (!picture_.empty())
        std::memcpy(bin + pictureAt_, picture_.data(), picture_.size());
}

std::string Document::Json(const std::string& bufferUri) const {
    std::string json = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Blokkenveld\"},\"scene\":0,";
    if (primitives_.empty())
        return json + "\"scenes\":[{\"name\":\"Blokkenveld\"}]}";
    return json +
           "\"scenes\":[{\"name\":\"Blokkenveld\",\"nodes\":[0]}],\"nodes\":[{\"name\":\"Blokkenveld\",\"mesh\":0}],"
           "\"meshes\":[{\"name\":\"Blokkenveld\",\"primitives\":[" +
           primitives_ + "]}],\"materials\":[" + materials_ + "]" + texturing_ + ",\"accessors\":[" +
           layout_.Accessors() + "],\"bufferViews\":[" + layout_.Views() +
           "],\"buffers\":[{\"byteLength\":" + std::to_string(layout_.Size()) +
           (bufferUri.empty() ? std::string() : ",\"uri\":\"" + bufferUri + "\"") + "}]}";
}

}  // namespace

bool GltfBinary(const Scene& scene, const Image* atlas, PngEncoder& png, std::vector<uint8_t>& out) {
    Document document;
    if (!document.Lay(scene, atlas, png))
        return false;
    std::string json = document.Json(std::string());
    while (json.size() % 4 != 0)
        json += ' ';

    // Header, JSON chunk, binary chunk; the vertex data is written straight into its place.
    const size_t binSize = document.BufferSize();
    const size_t binAt = 12 + 8 + json.size() + 8;
    std::vector<uint8_t> glb(binAt - (binSize == 0 ? 8 : 0) + binSize);
    PutU32(&glb[0], kGlbMagic);
    PutU32(&glb[4], kGlbVersion);
    PutU32(&glb[8], static_cast<uint32_t>(glb.size()));
    PutU32(&glb[12], static_cast<uint32_t>(json.size()));
    PutU32(&glb[16], kJsonChunk);
    std::memcpy(&glb[20], json.data(), json.size());
    if (binSize > 0) {
        PutU32(&glb[binAt - 8], static_cast<uint32_t>(binSize));
        PutU32(&glb[binAt - 4], kBinChunk);
        document.Fill(scene, &glb[binAt]);
    }
    out = std::move(glb);
    return true;
}

bool GltfText(const Scene& scene, const Image* atlas, PngEncoder& png, std::string& out) {
    Document document;
    if (!document.Lay(scene, atlas, png))
        return false;
    std::vector<uint8_t> buffer(document.BufferSize());
    if (!buffer.empty())
        document.Fill(scene, buffer.data());
    out = document.Json("data:application/octet-stream;base64," + Base64(buffer));
    return true;
}
