// The scene's files as the editor takes them in and gives them out: an object file or a bitmap replaces the
// scene only once the whole file has been read, and a save never damages the file it replaces.
#pragma once

#include <cstdint>

#include "files/bitmap.h"
#include "files/bitmap_import.h"
#include "files/file_system.h"

struct Editor;

// The texture atlas on the device; the shell decodes images with the system's image decoder.
class AtlasLoader {
public:
    virtual ~AtlasLoader() = default;
    // Decodes the named image into the atlas in place of the one held; false, keeping it, when it cannot.
    virtual bool LoadAtlas(const char* path) = 0;
    // No atlas: textured faces are drawn without a texture.
    virtual void ClearAtlas() = 0;
};

// Replaces the scene with an object file's cubes, the texture name and atlas with its texture section, and
// starts a fresh document: undo emptied, not modified, named, the next click ignored (and, at start-up, the
// pending new scene withdrawn). False, with nothing changed, when the file cannot be read or is not valid.
bool LoadObjectFile(Editor& editor,
                    FileSystem& files,
                    AtlasLoader& atlas,
                    const char* path,
                    char (&textureName)[kPathCapacity],
                    bool startupLoad);

// Replaces the scene with a bitmap of at most 100 x 100 pixels as one layer of cubes at z = 100, as a load
// does but leaving the document unnamed. Any result but kImported changes nothing.
ImportResult ImportBitmap(Editor& editor, FileSystem& files, const char* path, bool startupLoad);

// Writes the scene by the extension of path: an object file for ".bvo", a Metasequoia document for ".mqo",
// nothing for any other. False only when a file was to be written and could not be; the file that was there
// is then untouched and the document flags stay as they were.
bool SaveScene(Editor& editor, FileSystem& files, const char* path, const char* textureName);

// A 128 x 128 bitmap as the new atlas; textureName becomes its bare name when it lies in programDirectory, else
// the full path. Anything that cannot be decoded keeps the atlas and the name as they were (result 0).
TextureCheck ReplaceTextureBitmap(Editor& editor,
                                  FileSystem& files,
                                  AtlasLoader& atlas,
                                  const char* path,
                                  const char* programDirectory,
                                  char (&textureName)[kPathCapacity]);

// The frame just drawn, cut to the client area's width x height, saved as a 24-bit BMP file the safe way.
bool SaveScreenshotFile(FileSystem& files, const char* path, const Image& frame, int32_t width, int32_t height);

// The atlas named by a texture name; a name that points at another machine or a device is not opened.
void LoadNamedAtlas(AtlasLoader& atlas, const char* textureName);
