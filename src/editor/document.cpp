#include "editor/document.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "editor/editor.h"
#include "files/metasequoia.h"
#include "files/object_file.h"

namespace {

// What a fresh document starts with after a load or an import.
void StartLoadedDocument(Editor& editor, bool startupLoad, bool named) {
    if (startupLoad)
        editor.newSceneRequest = false;
    editor.undo.Empty();
    editor.modified = false;
    editor.named = named;
    editor.ignoreNextClick = true;
}

}  // namespace

void LoadNamedAtlas(AtlasLoader& atlas, const char* textureName) {
    if (IsNetworkOrDevicePath(textureName) || !atlas.LoadAtlas(textureName))
        atlas.ClearAtlas();
}

bool LoadObjectFile(Editor& editor,
                    FileSystem& files,
                    AtlasLoader& atlas,
                    const char* path,
                    char (&textureName)[kPathCapacity],
                    bool startupLoad) {
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
        LoadNamedAtlas(atlas, textureName);
    }
    StartLoadedDocument(editor, startupLoad, true);
    return true;
}

ImportResult ImportBitmap(Editor& editor, FileSystem& files, const char* path, bool startupLoad) {
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
    StartLoadedDocument(editor, startupLoad, false);
    return kImported;
}

bool SaveScene(Editor& editor, FileSystem& files, const char* path, const char* textureName) {
    if (HasExtension(files, path, ".bvo")) {
        if (!SaveText(files, path, ObjectFileText(editor.scene, textureName)))
            return false;
        editor.modified = false;
        editor.named = true;
        return true;
    }
    if (HasExtension(files, path, ".mqo")) {
        // The flags the export reads are those of the last frame; after a load they may not have been set yet.
        UpdateFaceExposure(editor.scene);
        return SaveText(files, path, MetasequoiaText(editor.scene, textureName));
    }
    return true;
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
    if (!atlas.LoadAtlas(path))
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
