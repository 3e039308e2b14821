#include "files/export_files.h"

#include <cstring>
#include <string>

#include "files/model_export.h"
#include "files/vox.h"

ModelExport ModelExportOf(const FileSystem& files, const char* path, LetterCase letterCase) {
    if (HasExtension(files, path, ".glb", letterCase))
        return ModelExport::GltfBinary;
    if (HasExtension(files, path, ".gltf", letterCase))
        return ModelExport::GltfText;
    if (HasExtension(files, path, ".obj", letterCase))
        return ModelExport::Obj;
    if (HasExtension(files, path, ".vox", letterCase))
        return ModelExport::Vox;
    return ModelExport::None;
}

bool SaveModelExport(FileSystem& files,
                     const char* path,
                     const Scene& scene,
                     const Image* atlas,
                     PngEncoder& png,
                     CompanionCheck* companions) {
    return SaveModelExport(files, path, ModelExportOf(files, path), scene, atlas, png, companions);
}

bool SaveModelExport(FileSystem& files,
                     const char* path,
                     ModelExport kind,
                     const Scene& scene,
                     const Image* atlas,
                     PngEncoder& png,
                     CompanionCheck* companions) {
    switch (kind) {
        case ModelExport::None:
            return false;
        case ModelExport::GltfBinary: {
            std::vector<uint8_t> bytes;
            return GltfBinary(scene, atlas, png, bytes) && SaveFile(files, path, bytes.data(), bytes.size());
        }
        case ModelExport::GltfText: {
            // Bytes as they are: the text has no line ends for the system to change.
            std::string text;
            return GltfText(scene, atlas, png, text) &&
                   SaveFile(files, path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
        }
        case ModelExport::Vox: {
            const std::vector<uint8_t> bytes = VoxBytes(scene, atlas);
            return SaveFile(files, path, bytes.data(), bytes.size());
        }
        case ModelExport::Obj:
            break;
    }
    // The library and the picture are named after the .obj: the same path with the other extension.
    const std::string full = path;
    const std::string stem = full.substr(0, full.size() - std::strlen(".obj"));
    const char* name = files.FileNamePart(path);
    const std::string baseName(name, std::strlen(name) - std::strlen(".obj"));
    ObjFiles out;
    if (!ObjExport(scene, atlas, png, baseName, out))
        return false;
    const std::string library = stem + ".mtl", picture = stem + ".png";
    // Only the files this export writes: a picture of that name stays untouched when no face shows the atlas.
    std::vector<std::string> existing;
    if (files.FileExists(library.c_str()))
        existing.push_back(library);
    if (!out.atlas.empty() && files.FileExists(picture.c_str()))
        existing.push_back(picture);
    if (!existing.empty() && companions != nullptr && !companions->MayReplace(existing))
        return false;
    if (!out.atlas.empty() && !SaveFile(files, picture.c_str(), out.atlas.data(), out.atlas.size()))
        return false;
    return SaveText(files, library.c_str(), out.mtl) && SaveText(files, path, out.obj);
}
