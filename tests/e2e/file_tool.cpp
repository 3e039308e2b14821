// Writes what the program's own writers make of a scene file or a bitmap, with the line ends of Windows, so
// that the end-to-end tests can compare the program's saves byte for byte.
// Usage: e2e_file_tool IN.bvo|IN.bmp OUT.bvo|OUT.mqo
#include <cstdio>
#include <memory>

#include "editor/document/document.h"
#include "editor/editor.h"

namespace {

class WindowsLineEnds : public StdFileSystem {
public:
    const char* LineEnd() const override { return "\r\n"; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: e2e_file_tool IN.bvo|IN.bmp OUT.bvo|OUT.mqo\n");
        return 2;
    }
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    WindowsLineEnds files;
    BitmapOnlyAtlas atlas;
    char textureName[kPathCapacity] = "tex.bmp";
    TextureNameSource textureSource = TextureNameSource::UserChoice;
    const bool loaded = HasExtension(files, argv[1], ".bmp")
                            ? ImportBitmap(*editor, files, argv[1]) == kImported
                            : LoadObjectFile(*editor, files, atlas, argv[1], textureName, textureSource, "");
    if (!loaded) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    UpdateFaceExposure(editor->scene);
    return SaveScene(*editor, files, argv[2], textureName) ? 0 : 1;
}
