// The exports to other programs saved as files by the extension of the path: ".glb", ".obj" (with its ".mtl"
// and, when faces show the atlas, its ".png" beside it) and ".vox". Every file is saved the safe way.
#pragma once

#include "files/bitmap.h"
#include "files/file_system.h"
#include "files/png_encoder.h"
#include "scene/scene.h"

enum class ModelExport { None, Gltf, Obj, Vox };

// Which export a path names: its extension compared exactly, letter case included, as every file kind is.
ModelExport ModelExportOf(const FileSystem& files, const char* path);

// Writes the export path names for the scene as its face-exposed flags stand; atlas is null when none is loaded.
// False when the path names no export or a file could not be made or saved. An OBJ export saves the picture and
// the material library before the .obj itself, so a failure leaves no .obj that points at a missing file.
bool SaveModelExport(FileSystem& files, const char* path, const Scene& scene, const Image* atlas, PngEncoder& png);
