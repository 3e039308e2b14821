// The exports to other programs saved as files by the extension of the path: ".glb", ".gltf", ".obj" (with its
// ".mtl" and, when faces show the atlas, its ".png" beside it) and ".vox". Every file is saved the safe way.
#pragma once

#include <string>
#include <vector>

#include "files/bitmap.h"
#include "files/file_system.h"
#include "files/png_encoder.h"
#include "scene/scene.h"

enum class ModelExport { None, GltfBinary, GltfText, Obj, Vox };

// Asked before an export replaces files it writes beside the one it is saved under (an OBJ export's material
// library and picture): the user named only that one, and the others may be files of their own.
class CompanionCheck {
public:
    virtual ~CompanionCheck() = default;
    // existing: the paths of those already there. False keeps them, and nothing at all is written.
    virtual bool MayReplace(const std::vector<std::string>& existing) = 0;
};

// Which export a path names by its extension: ".glb", ".gltf", ".obj" or ".vox", compared exactly, letter case
// included, as the program compares every file kind, unless letterCase says otherwise.
ModelExport ModelExportOf(const FileSystem& files, const char* path, LetterCase letterCase = LetterCase::Exact);

// Writes the export path names for the scene as its face-exposed flags stand; atlas is null when none is loaded.
// False when the path names no export, a file could not be made or saved, or companions refused to replace a
// file beside it (without companions they are replaced). An OBJ export saves the picture and the material library
// before the .obj itself, so a failure leaves no .obj that points at a missing file.
bool SaveModelExport(FileSystem& files,
                     const char* path,
                     const Scene& scene,
                     const Image* atlas,
                     PngEncoder& png,
                     CompanionCheck* companions = nullptr);
// The same for an export whose kind the caller has told from the path; false for ModelExport::None.
bool SaveModelExport(FileSystem& files,
                     const char* path,
                     ModelExport kind,
                     const Scene& scene,
                     const Image* atlas,
                     PngEncoder& png,
                     CompanionCheck* companions = nullptr);
