#include "convert/conversion.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/document/document.h"
#include "editor/editor.h"
#include "files/export_files.h"
#include "files/metasequoia.h"
#include "files/object_file.h"
#include "text/texts.h"

namespace {

constexpr char kUsage[] =
    "Usage: blokkenveld-convert IN OUT\n"
    "       blokkenveld-convert --overwrite IN OUT\n"
    "Converts a Blokkenveld model between files, choosing each kind by its extension, in any letter case:\n"
    "  IN   .bvo   Blokkenveld scene\n"
    "       .vox   MagicaVoxel model (at most 10,000 filled cells and 200 on each axis)\n"
    "       .bmp   bitmap of at most 100 x 100 pixels, one cube per pixel, as the program imports it\n"
    "  OUT  .bvo   Blokkenveld scene\n"
    "       .mqo   Metasequoia document\n"
    "       .glb   glTF 2.0 binary\n"
    "       .gltf  glTF 2.0 text, its data inside it (one file)\n"
    "       .obj   Wavefront OBJ, with OUT's .mtl (and .png for the texture atlas) beside it\n"
    "       .vox   MagicaVoxel model\n"
    "A texture named by a .bvo file is read (as a .bmp) beside that file, then beside the converter.\n"
    "OUT is replaced when it is there; the .mtl and .png an OBJ export writes beside it only with --overwrite.\n"
    "Exit codes: 0 done, 1 input refused or output not saved (nothing is written for a refused input), 2 usage.\n";

// Windows users type names in capitals as often as not, and the system finds "HOUSE.BVO" as it finds "house.bvo":
// the converter takes every extension in any letter case (the program itself compares them exactly).
constexpr LetterCase kLetterCase = LetterCase::Ignored;

enum class Input { Object, Voxels, Bitmap, Unknown };

Input InputOf(const FileSystem& files, const char* path) {
    if (HasExtension(files, path, ".bvo", kLetterCase))
        return Input::Object;
    if (HasExtension(files, path, ".vox", kLetterCase))
        return Input::Voxels;
    if (HasExtension(files, path, ".bmp", kLetterCase))
        return Input::Bitmap;
    return Input::Unknown;
}

// What OUT names: the program's own two kinds, else the export ModelExportOf finds.
enum class Output { Object, Metasequoia, Export, Unknown };

Output OutputOf(const FileSystem& files, const char* path) {
    if (HasExtension(files, path, ".bvo", kLetterCase))
        return Output::Object;
    if (HasExtension(files, path, ".mqo", kLetterCase))
        return Output::Metasequoia;
    return ModelExportOf(files, path, kLetterCase) != ModelExport::None ? Output::Export : Output::Unknown;
}

// The files an export writes beside OUT are replaced only when the command line says so; the user named OUT
// alone, and the others may be files of their own.
class ReplaceWhenTold final : public CompanionCheck {
public:
    explicit ReplaceWhenTold(bool overwrite) : overwrite_(overwrite) {}
    bool MayReplace(const std::vector<std::string>& existing) override {
        if (!overwrite_)
            kept = existing;
        return overwrite_;
    }
    std::vector<std::string> kept;  // the files that were there and stopped the export

private:
    bool overwrite_;
};

bool HasTexturedCubes(const Scene& scene) {
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        if (scene.cubes[slot].inUse != 0 && scene.cubes[slot].textured != 0)
            return true;
    }
    return false;
}

}  // namespace

ConvertStatus RunConverter(int argc,
                           const char* const* argv,
                           FileSystem& files,
                           PngEncoder& png,
                           const char* converterDirectory,
                           std::FILE* out,
                           std::FILE* errors) {
    bool overwrite = false;
    std::vector<const char*> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, out);
            return kConvertDone;
        }
        if (std::strcmp(argv[i], "--overwrite") == 0)
            overwrite = true;
        else
            paths.push_back(argv[i]);
    }
    if (paths.size() != 2) {
        std::fputs(kUsage, errors);
        return kConvertUsage;
    }
    const char* input = paths[0];
    const char* output = paths[1];
    const Input kind = InputOf(files, input);
    if (kind == Input::Unknown) {
        std::fprintf(errors, "blokkenveld-convert: %s: the input must end in .bvo, .vox or .bmp\n", input);
        return kConvertUsage;
    }
    const Output outputKind = OutputOf(files, output);
    if (outputKind == Output::Unknown) {
        std::fprintf(errors, "blokkenveld-convert: %s: the output must end in .bvo, .mqo, .glb, .gltf, .obj or .vox\n",
                     output);
        return kConvertUsage;
    }
    if (std::strlen(input) >= kPathCapacity || std::strlen(output) >= kPathCapacity - 4) {
        std::fprintf(errors, "blokkenveld-convert: a path is longer than %d characters\n", kPathCapacity - 5);
        return kConvertUsage;
    }

    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    BitmapOnlyAtlas atlas;
    const std::string inputDirectory(input, files.FileNamePart(input));
    char textureName[kPathCapacity] = "tex.bmp";
    TextureNameSource textureSource = TextureNameSource::SceneFile;
    const char* refusal = nullptr;
    switch (kind) {
        case Input::Object:
            // The texture a scene names is looked for beside the scene, as the program looks in its own folder.
            if (!LoadObjectFile(*editor, files, atlas, input, textureName, textureSource, inputDirectory.c_str())) {
                refusal = "cannot be read or is not a Blokkenveld scene";
                break;
            }
            if (!HasTexturedCubes(editor->scene))
                break;
            if (editor->atlas.pixels.empty())
                LoadNamedAtlas(*editor, files, atlas, textureName, converterDirectory, textureSource);
            if (editor->atlas.pixels.empty())
                std::fprintf(errors, "blokkenveld-convert: warning: texture %s not found; textured cubes are white\n",
                             textureName);
            break;
        case Input::Bitmap:
            switch (ImportBitmap(*editor, files, input)) {
                case kImported:
                    break;
                case kImportTooLarge:
                    refusal = TextIn(TextId::BitmapTooLarge, Language::English);
                    break;
                case kImportUnsupported:
                    refusal = TextIn(TextId::BitmapUnsupported, Language::English);
                    break;
                case kImportReadFailure:
                    refusal = "cannot be read or is not a bitmap";
                    break;
            }
            break;
        case Input::Voxels:
            switch (ImportVoxels(*editor, files, input)) {
                case kVoxRead:
                    break;
                case kVoxTooLarge:
                    refusal = TextIn(TextId::VoxelsTooLarge, Language::English);
                    break;
                case kVoxReadFailure:
                    refusal = "cannot be read or is not a MagicaVoxel model";
                    break;
            }
            break;
        case Input::Unknown:
            break;
    }
    if (refusal != nullptr) {
        std::fprintf(errors, "blokkenveld-convert: %s: %s\n", input, refusal);
        return kConvertRefused;
    }
    ReplaceWhenTold companions(overwrite);
    // As the program's Save As saves the same name in lower case.
    if (!SaveScene(*editor, files, output, textureName, &png, &companions, kLetterCase)) {
        for (const std::string& kept : companions.kept)
            std::fprintf(errors, "blokkenveld-convert: %s: is there already; give --overwrite to replace it\n",
                         kept.c_str());
        if (companions.kept.empty())
            std::fprintf(errors, "blokkenveld-convert: %s: cannot be saved\n", output);
        else
            std::fprintf(errors, "blokkenveld-convert: %s: not written\n", output);
        return kConvertRefused;
    }
    return kConvertDone;
}
