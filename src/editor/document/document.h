// The scene's files as the editor takes them in and gives them out: an object file or a bitmap replaces the
// scene only once the whole file has been read, and a save never damages the file it replaces.
#pragma once

#include <cstdint>

#include "editor/document/settings.h"
#include "files/bitmap.h"
#include "files/bitmap_import.h"
#include "files/export_files.h"
#include "files/file_system.h"
#include "files/png_encoder.h"
#include "files/vox.h"

struct Editor;

// What the shell does for the atlas: the system's image decoder, and the device's copy of the pixels the
// editor keeps. The editor holds the decoded atlas, so that a new device never reads the file again.
class AtlasLoader {
public:
    virtual ~AtlasLoader() = default;
    // Decodes an image file's bytes (any format the system reads) into pixels; false when it cannot.
    virtual bool DecodeImage(const uint8_t* data, size_t size, Image& image) = 0;
    // The editor's atlas changed (no pixels: no atlas, textured faces are drawn without a texture).
    virtual void AtlasChanged(const Image& atlas) = 0;
};

// Decodes with the program's own BMP reader and keeps no device copy: for tools and tests without a screen.
class BitmapOnlyAtlas : public AtlasLoader {
public:
    bool DecodeImage(const uint8_t* data, size_t size, Image& image) override {
        return DecodeBitmap(data, size, image);
    }
    void AtlasChanged(const Image&) override {}
};

// Replaces the scene with an object file's cubes, the texture name and atlas with its texture section (a
// relative name is found in programDirectory; textureSource becomes SceneFile), and starts a fresh document:
// undo emptied, not modified, named, the next click ignored, a pending new scene withdrawn. False, with nothing
// changed, when the file cannot be read or is not valid.
bool LoadObjectFile(Editor& editor,
                    FileSystem& files,
                    AtlasLoader& atlas,
                    const char* path,
                    char (&textureName)[kPathCapacity],
                    TextureNameSource& textureSource,
                    const char* programDirectory);

// Replaces the scene with a bitmap of at most 100 x 100 pixels as one layer of cubes at z = 100, as a load
// does but leaving the document unnamed. Any result but kImported changes nothing.
ImportResult ImportBitmap(Editor& editor, FileSystem& files, const char* path);

// Replaces the scene with the first model of a MagicaVoxel file, centred on the grid's middle, as an import
// does: a new unnamed document. Any result but kVoxRead changes nothing.
VoxReadResult ImportVoxels(Editor& editor, FileSystem& files, const char* path);

// Writes the scene by the extension of path: an object file for ".bvo", a Metasequoia document for ".mqo", and
// the exports ".glb", ".gltf", ".obj" and ".vox" with the editor's atlas, its pictures made by png (without an encoder
// an export that needs the atlas fails); extensions compared exactly, as the program compares every file kind, unless
// letterCase says otherwise. Only an object file clears the modified flag and names the document.
// False when no file could be written, a name of any other kind included, or when companions kept the files an
// export would replace beside path; the file that was there is then untouched and the document flags stay as
// they were.
bool SaveScene(Editor& editor,
               FileSystem& files,
               const char* path,
               const char* textureName,
               PngEncoder* png = nullptr,
               CompanionCheck* companions = nullptr,
               LetterCase letterCase = LetterCase::Exact);

// A 128 x 128 bitmap the user chose as the new atlas (wherever it lies); textureName becomes its bare name when
// it lies in programDirectory, else the full path. Anything that cannot be decoded keeps the atlas and the name
// as they were (result 0).
TextureCheck ReplaceTextureBitmap(Editor& editor,
                                  FileSystem& files,
                                  AtlasLoader& atlas,
                                  const char* path,
                                  const char* programDirectory,
                                  char (&textureName)[kPathCapacity]);

// The frame just drawn, cut to the client area's width x height, saved as a 24-bit BMP file the safe way.
bool SaveScreenshotFile(FileSystem& files, const char* path, const Image& frame, int32_t width, int32_t height);

// The atlas named by a texture name, a relative name found in programDirectory; no atlas when the name may
// not be opened or the image cannot be read.
void LoadNamedAtlas(Editor& editor,
                    FileSystem& files,
                    AtlasLoader& atlas,
                    const char* textureName,
                    const char* programDirectory,
                    TextureNameSource source);
// The atlas at start: the settings' texture name, opened by the rule of where it came from.
void LoadSettingsAtlas(Editor& editor,
                       FileSystem& files,
                       AtlasLoader& atlas,
                       const Settings& settings,
                       const char* programDirectory);
