#include "editor/document/document.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "editor/editor.h"
#include "files/export_files.h"
#include "files/metasequoia.h"
#include "files/object_file.h"

namespace {

// What a fresh document starts with after a load or an import. A new scene still pending (New, or a file
// on the command line that could not be read) would wipe the loaded one on the next frame. The mirror planes go
// through the model's middle, which need not be the start cube's (whether each is on stays), and the next frame
// brings the model into view if it does not fit as the camera stands.
void StartLoadedDocument(Editor& editor, bool named) {
    editor.newSceneRequest = false;
    editor.undo.Empty();
    editor.modified = false;
    editor.named = named;
    editor.ignoreNextClick = true;
    editor.frameOpenedModel = true;
    CentreMirrorOnModel(editor.mirror, editor.scene);
    editor.selection.active = false;
    editor.selectStroke.active = false;
}

void SetAtlas(Editor& editor, AtlasLoader& atlas, Image&& image) {
    editor.atlas = std::move(image);
    atlas.AtlasChanged(editor.atlas);
}

// Decodes bytes already read; false, keeping the atlas, when the system cannot decode them.
bool DecodeAtlas(Editor& editor, AtlasLoader& atlas, const std::vector<uint8_t>& bytes) {
    Image image;
    if (bytes.empty() || !atlas.DecodeImage(bytes.data(), bytes.size(), image) || image.width <= 0 ||
        image.height <= 0 || image.pixels.size() != static_cast<size_t>(image.width) * image.height)
        return false;
    SetAtlas(editor, atlas, std::move(image));
    return true;
}

}  // namespace

void LoadNamedAtlas(Editor& editor,
                    FileSystem& files,
                    AtlasLoader& atlas,
                    const char* textureName,
                    const char* programDirectory,
                    TextureNameSource source) {
    char path[kPathCapacity];
    std::vector<uint8_t> bytes;
    const bool mayOpen =
        !NamesDevice(textureName) && !(source == TextureNameSource::SceneFile && IsNetworkPath(textureName));
    if (!mayOpen || !ResolvePath(textureName, programDirectory, path) || !files.ReadAll(path, bytes) ||
        !DecodeAtlas(editor, atlas, bytes))
        SetAtlas(editor, atlas, Image{});
}

void LoadSettingsAtlas(Editor& editor,
                       FileSystem& files,
                       AtlasLoader& atlas,
                       const Settings& settings,
                       const char* programDirectory) {
    LoadNamedAtlas(editor, files, atlas, settings.textureName, programDirectory, settings.textureSource);
}

bool LoadObjectFile(Editor& editor,
                    FileSystem& files,
                    AtlasLoader& atlas,
                    const char* path,
                    char (&textureName)[kPathCapacity],
                    TextureNameSource& textureSource,
                    const char* programDirectory) {
    std::vector<uint8_t> bytes;
    ObjectFileContents contents;
    if (!files.ReadAll(path, bytes) || !ParseObjectFile(bytes.data(), bytes.size(), contents))
        return false;

    // The cubes are packed into slots 0 to n - 1, coloured ones first; a coloured cube's slot keeps its cell.
    Scene& scene = editor.scene;
    std::memset(scene.grid, 0, sizeof(scene.grid));
    const int32_t count = static_cast<int32_t>(contents.cubes.size());
    for (int32_t slot = 0; slot < count; ++slot) {
        const LoadedCube& loaded = contents.cubes[static_cast<size_t>(slot)];
        CubeRecord& cube = scene.cubes[slot];
        cube.x = loaded.x;
        cube.y = loaded.y;
        cube.z = loaded.z;
        cube.inUse = 1;
        cube.textured = loaded.textured ? 1 : 0;
        cube.colour = loaded.colour;
        if (loaded.textured) {
            cube.cellColumn = loaded.cellColumn;
            cube.cellRow = loaded.cellRow;
        }
        scene.grid[Scene::GridIndex(static_cast<int>(cube.x), static_cast<int>(cube.y), static_cast<int>(cube.z))] = 1;
    }
    scene.highestUsedSlot = count - 1;
    scene.liveCubeCount = count;
    if (contents.texturedSection) {
        CopyPath(textureName, contents.textureName);
        textureSource = TextureNameSource::SceneFile;
        LoadNamedAtlas(editor, files, atlas, textureName, programDirectory, textureSource);
    }
    StartLoadedDocument(editor, true);
    return true;
}

ImportResult ImportBitmap(Editor& editor, FileSystem& files, const char* path) {
    std::vector<uint8_t> bytes;
    if (!files.ReadAll(path, bytes) || bytes.empty())
        return kImportReadFailure;
    ImportedLayer layer;
    const ImportResult result = ParseImportBitmap(bytes.data(), bytes.size(), layer);
    if (result != kImported)
        return result;

    Scene& scene = editor.scene;
    std::memset(scene.grid, 0, sizeof(scene.grid));
    const int32_t w = layer.width, h = layer.height;
    for (int32_t r = 0; r < h; ++r) {
        for (int32_t c = 0; c < w; ++c) {
            // The first pixel of a row at the largest x, the bottom row at the smallest y.
            CubeRecord& cube = scene.cubes[r * w + c];
            const int x = 100 + w / 2 - c, y = 100 - h / 2 + r, z = 100;
            cube.x = static_cast<float>(x);
            cube.y = static_cast<float>(y);
            cube.z = static_cast<float>(z);
            cube.inUse = 1;
            cube.textured = 0;
            cube.colour = layer.colours[static_cast<size_t>(r * w + c)];
            scene.grid[Scene::GridIndex(x, y, z)] = 1;
        }
    }
    scene.liveCubeCount = w * h;
    scene.highestUsedSlot = w * h - 1;
    StartLoadedDocument(editor, false);
    return kImported;
}

VoxReadResult ImportVoxels(Editor& editor, FileSystem& files, const char* path) {
    std::vector<uint8_t> bytes;
    if (!files.ReadAll(path, bytes))
        return kVoxReadFailure;
    std::vector<VoxCube> cubes;
    const VoxReadResult result = ParseVox(bytes.data(), bytes.size(), cubes);
    if (result != kVoxRead)
        return result;

    Scene& scene = editor.scene;
    std::memset(scene.grid, 0, sizeof(scene.grid));
    const int32_t count = static_cast<int32_t>(cubes.size());
    for (int32_t slot = 0; slot < count; ++slot) {
        const VoxCube& voxel = cubes[static_cast<size_t>(slot)];
        CubeRecord& cube = scene.cubes[slot];
        cube.x = static_cast<float>(voxel.x);
        cube.y = static_cast<float>(voxel.y);
        cube.z = static_cast<float>(voxel.z);
        cube.inUse = 1;
        cube.textured = 0;
        cube.colour = voxel.colour;
        scene.grid[Scene::GridIndex(voxel.x, voxel.y, voxel.z)] = 1;
    }
    scene.liveCubeCount = count;
    scene.highestUsedSlot = count - 1;
    StartLoadedDocument(editor, false);
    return kVoxRead;
}

namespace {

// Without the system's encoder no picture can be made; exports whose faces show no atlas need none.
class NoPngEncoder final : public PngEncoder {
public:
    bool Encode(const Image&, std::vector<uint8_t>&) override { return false; }
};

}  // namespace

bool SaveScene(Editor& editor,
               FileSystem& files,
               const char* path,
               const char* textureName,
               PngEncoder* png,
               CompanionCheck* companions,
               LetterCase letterCase) {
    if (HasExtension(files, path, ".bvo", letterCase)) {
        if (!SaveText(files, path, ObjectFileText(editor.scene, textureName)))
            return false;
        editor.modified = false;
        editor.named = true;
        return true;
    }
    if (HasExtension(files, path, ".mqo", letterCase)) {
        // The flags the export reads are those of the last frame; after a load they may not have been set yet.
        UpdateFaceExposure(editor.scene);
        return SaveText(files, path, MetasequoiaText(editor.scene, textureName));
    }
    const ModelExport kind = ModelExportOf(files, path, letterCase);
    if (kind != ModelExport::None) {
        UpdateFaceExposure(editor.scene);
        NoPngEncoder noPng;
        const Image* atlas = editor.atlas.pixels.empty() ? nullptr : &editor.atlas;
        return SaveModelExport(files, path, kind, editor.scene, atlas, png != nullptr ? *png : noPng, companions);
    }
    // A kind the program cannot write: nothing was saved, and the user must hear so.
    return false;
}

TextureCheck ReplaceTextureBitmap(Editor& editor,
                                  FileSystem& files,
                                  AtlasLoader& atlas,
                                  const char* path,
                                  const char* programDirectory,
                                  char (&textureName)[kPathCapacity]) {
    std::vector<uint8_t> bytes;
    if (!files.ReadAll(path, bytes))
        return kTextureReadFailure;
    const TextureCheck check = CheckTextureBitmap(bytes.data(), bytes.size());
    if (check != kTextureAccepted)
        return check;
    if (!DecodeAtlas(editor, atlas, bytes))
        return kTextureReadFailure;
    CopyPath(textureName, IsInDirectory(files, path, programDirectory) ? files.FileNamePart(path) : path);
    editor.ignoreNextClick = true;
    return kTextureAccepted;
}

bool SaveScreenshotFile(FileSystem& files, const char* path, const Image& frame, int32_t width, int32_t height) {
    Image shot;
    shot.width = width < frame.width ? width : frame.width;
    shot.height = height < frame.height ? height : frame.height;
    if (shot.width <= 0 || shot.height <= 0)
        return false;
    shot.pixels.resize(static_cast<size_t>(shot.width) * static_cast<size_t>(shot.height));
    for (int32_t row = 0; row < shot.height; ++row) {
        const uint32_t* source = &frame.pixels[static_cast<size_t>(row) * static_cast<size_t>(frame.width)];
        std::copy(source, source + shot.width,
                  &shot.pixels[static_cast<size_t>(row) * static_cast<size_t>(shot.width)]);
    }
    const std::vector<uint8_t> bytes = EncodeBitmap24(shot);
    return !bytes.empty() && SaveFile(files, path, bytes.data(), bytes.size());
}
