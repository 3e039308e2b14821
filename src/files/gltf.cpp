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

// sRGB to linear light for each 8-bit value, (c / 255 + 0.055) / 1.055 raised to 2.4 (c / 255 / 12.92 in the
// toe), rounded to float once here: a run-time pow depends on the floating-point state, which Direct3D 9 narrows
// in the program, and the same scene must give the same bytes everywhere.
constexpr float kLinearOfSrgb[256] = {
    0.0f,
    0.0003035269910469651f,
    0.0006070539820939302f,
    0.0009105809731408954f,
    0.0012141079641878605f,
    0.0015176349552348256f,
    0.0018211619462817907f,
    0.002124688820913434f,
    0.002428215928375721f,
    0.0027317428030073643f,
    0.0030352699104696512f,
    0.0033465358428657055f,
    0.0036765073891729116f,
    0.004024717025458813f,
    0.0043914420530200005f,
    0.004776953253895044f,
    0.005181516520678997f,
    0.005605391692370176f,
    0.006048833020031452f,
    0.006512090563774109f,
    0.006995410192757845f,
    0.007499032188206911f,
    0.00802319310605526f,
    0.008568125776946545f,
    0.009134058840572834f,
    0.009721217676997185f,
    0.01032982300966978f,
    0.010960093699395657f,
    0.011612244881689548f,
    0.012286487966775894f,
    0.012983032502233982f,
    0.013702083379030228f,
    0.014443843625485897f,
    0.015208514407277107f,
    0.01599629409611225f,
    0.016807375475764275f,
    0.017641954123973846f,
    0.01850022003054619f,
    0.019382361322641373f,
    0.020288562402129173f,
    0.021219009533524513f,
    0.022173885256052017f,
    0.023153366521000862f,
    0.024157632142305374f,
    0.02518685907125473f,
    0.026241222396492958f,
    0.027320891618728638f,
    0.028426039963960648f,
    0.02955683507025242f,
    0.03071344457566738f,
    0.03189603239297867f,
    0.03310476616024971f,
    0.03433980792760849f,
    0.03560131415724754f,
    0.03688944876194f,
    0.0382043719291687f,
    0.039546236395835876f,
    0.040915198624134064f,
    0.0423114113509655f,
    0.04373503103852272f,
    0.045186202973127365f,
    0.04666508734226227f,
    0.04817182570695877f,
    0.04970656707882881f,
    0.05126945674419403f,
    0.052860647439956665f,
    0.05448027700185776f,
    0.05612849071621895f,
    0.05780543014407158f,
    0.05951123684644699f,
    0.061246052384376526f,
    0.06301001459360123f,
    0.06480326503515244f,
    0.0666259378194809f,
    0.06847816705703735f,
    0.07036009430885315f,
    0.07227185368537903f,
    0.07421357184648514f,
    0.07618538290262222f,
    0.07818742096424103f,
    0.0802198201417923f,
    0.08228270709514618f,
    0.08437620848417282f,
    0.08650045841932297f,
    0.08865558356046677f,
    0.09084171056747437f,
    0.09305896610021591f,
    0.09530746936798096f,
    0.09758734703063965f,
    0.09989872574806213f,
    0.10224173218011856f,
    0.10461648553609848f,
    0.10702310502529144f,
    0.109461709856987f,
    0.1119324266910553f,
    0.11443537473678589f,
    0.11697066575288773f,
    0.11953842639923096f,
    0.12213877588510513f,
    0.12477181851863861f,
    0.12743768095970154f,
    0.13013647496700287f,
    0.13286831974983215f,
    0.13563333451747894f,
    0.1384316086769104f,
    0.14126329123973846f,
    0.1441284716129303f,
    0.14702726900577545f,
    0.14995978772640228f,
    0.15292614698410034f,
    0.15592646598815918f,
    0.15896083414554596f,
    0.16202937066555023f,
    0.16513219475746155f,
    0.16826939582824707f,
    0.17144110798835754f,
    0.17464740574359894f,
    0.177888423204422f,
    0.18116424977779388f,
    0.18447498977184296f,
    0.18782077729701996f,
    0.19120168685913086f,
    0.1946178376674652f,
    0.19806931912899017f,
    0.2015562504529953f,
    0.20507873594760895f,
    0.20863686501979828f,
    0.21223075687885284f,
    0.2158605009317398f,
    0.21952620148658752f,
    0.22322796285152435f,
    0.22696587443351746f,
    0.23074005544185638f,
    0.2345505803823471f,
    0.23839756846427917f,
    0.24228112399578094f,
    0.2462013214826584f,
    0.25015828013420105f,
    0.2541520893573761f,
    0.2581828534603119f,
    0.2622506618499756f,
    0.26635560393333435f,
    0.27049779891967773f,
    0.2746773064136505f,
    0.2788942754268646f,
    0.28314873576164246f,
    0.28744083642959595f,
    0.2917706370353699f,
    0.2961382567882538f,
    0.30054378509521484f,
    0.3049873113632202f,
    0.30946892499923706f,
    0.31398871541023254f,
    0.31854677200317383f,
    0.32314321398735046f,
    0.3277781009674072f,
    0.3324515223503113f,
    0.33716362714767456f,
    0.34191441535949707f,
    0.34670406579971313f,
    0.35153260827064514f,
    0.35640013217926025f,
    0.3613067865371704f,
    0.366252601146698f,
    0.37123769521713257f,
    0.3762621283531189f,
    0.38132601976394653f,
    0.38642942905426025f,
    0.3915724754333496f,
    0.3967552185058594f,
    0.4019777774810791f,
    0.40724021196365356f,
    0.4125426113605499f,
    0.41788506507873535f,
    0.423267662525177f,
    0.42869049310684204f,
    0.43415364623069763f,
    0.43965718150138855f,
    0.44520118832588196f,
    0.4507857859134674f,
    0.4564110338687897f,
    0.46207699179649353f,
    0.4677838087081909f,
    0.47353148460388184f,
    0.4793201684951782f,
    0.48514994978904724f,
    0.4910208582878113f,
    0.4969329833984375f,
    0.5028864741325378f,
    0.5088813304901123f,
    0.5149176716804504f,
    0.520995557308197f,
    0.5271151065826416f,
    0.533276379108429f,
    0.5394794940948486f,
    0.5457244515419006f,
    0.5520114302635193f,
    0.5583403706550598f,
    0.5647115111351013f,
    0.5711248517036438f,
    0.577580451965332f,
    0.5840784311294556f,
    0.5906188488006592f,
    0.5972017645835876f,
    0.6038273572921753f,
    0.6104955673217773f,
    0.6172065734863281f,
    0.6239603757858276f,
    0.6307571530342102f,
    0.637596845626831f,
    0.6444796919822693f,
    0.6514056324958801f,
    0.6583748459815979f,
    0.6653872728347778f,
    0.672443151473999f,
    0.6795424818992615f,
    0.68668532371521f,
    0.6938717365264893f,
    0.7011018991470337f,
    0.7083757519721985f,
    0.715693473815918f,
    0.7230551242828369f,
    0.7304607629776001f,
    0.7379103899002075f,
    0.7454041838645935f,
    0.7529422044754028f,
    0.7605245113372803f,
    0.7681511640548706f,
    0.7758222222328186f,
    0.7835378050804138f,
    0.7912979125976562f,
    0.7991027235984802f,
    0.8069522380828857f,
    0.8148465752601624f,
    0.8227857351303101f,
    0.8307698965072632f,
    0.838798999786377f,
    0.8468732237815857f,
    0.8549926280975342f,
    0.8631572127342224f,
    0.8713670969009399f,
    0.8796223998069763f,
    0.8879231214523315f,
    0.8962693810462952f,
    0.9046611785888672f,
    0.9130986332893372f,
    0.9215818643569946f,
    0.9301108717918396f,
    0.9386857151985168f,
    0.9473065137863159f,
    0.9559733271598816f,
    0.9646862745285034f,
    0.9734452962875366f,
    0.9822505712509155f,
    0.9911020994186401f,
    1.0f,
};

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

    Primitive coloured, textured;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const bool showsAtlas = ShowsAtlas(cube, useAtlas);
        const ColourParts parts = SplitColour(cube.textured != 0 ? kWhite : cube.colour);
        const float colour[3] = {kLinearOfSrgb[parts.red], kLinearOfSrgb[parts.green], kLinearOfSrgb[parts.blue]};
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
