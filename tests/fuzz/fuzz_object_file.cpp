// Object files: every input ends accepted or rejected; an accepted one holds what the scene can hold and
// saves to a file that reads back the same; a rejected one leaves the scene exactly as it was.
#include <cstdio>
#include <memory>
#include <vector>

#include "editor/document/document.h"
#include "editor/editor.h"
#include "files/object_file.h"
#include "fuzz_support.h"

namespace {

Editor& SharedEditor() {
    static Editor* editor = [] {
        auto* e = new Editor();
        e->ResetScene();
        return e;
    }();
    return *editor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ObjectFileContents contents;
    if (ParseObjectFile(data, size, contents)) {
        FUZZ_CHECK(contents.cubes.size() <= static_cast<size_t>(kMaxCubes));
        // Every cube in a cell of its own inside the grid.
        static std::vector<uint8_t> cells(static_cast<size_t>(kGridSize) * kGridSize * kGridSize);
        std::vector<int> marked;
        for (const LoadedCube& cube : contents.cubes) {
            FUZZ_CHECK(cube.x >= 0 && cube.x < 200 && cube.y >= 0 && cube.y < 200 && cube.z >= 0 && cube.z < 200);
            FUZZ_CHECK(cube.x == static_cast<int>(cube.x) && cube.y == static_cast<int>(cube.y) &&
                       cube.z == static_cast<int>(cube.z));
            FUZZ_CHECK(!cube.textured || (cube.cellColumn >= 0 && cube.cellColumn <= 7));
            const int cell =
                Scene::GridIndex(static_cast<int>(cube.x), static_cast<int>(cube.y), static_cast<int>(cube.z));
            FUZZ_CHECK(cells[static_cast<size_t>(cell)] == 0);
            cells[static_cast<size_t>(cell)] = 1;
            marked.push_back(cell);
        }
        for (int cell : marked)
            cells[static_cast<size_t>(cell)] = 0;
    }

    Editor& editor = SharedEditor();
    MemoryFileSystem files;
    files.files["in.bvo"] = std::vector<uint8_t>(data, data + size);
    BitmapOnlyAtlas atlas;
    char textureName[kPathCapacity] = "tex.bmp";
    TextureNameSource textureSource = TextureNameSource::UserChoice;
    // The whole grid is compared for one input in 64: it is 8 MB, and most inputs are turned down early.
    static unsigned count = 0;
    const bool withGrid = ++count % 64 == 0;
    const uint64_t before = Fingerprint(editor.scene, withGrid);
    if (!LoadObjectFile(editor, files, atlas, "in.bvo", textureName, textureSource, "")) {
        FUZZ_CHECK(Fingerprint(editor.scene, withGrid) == before);
        return 0;
    }
    // What the writer makes of an accepted file reads back to the same text.
    const std::string text = ObjectFileText(editor.scene, textureName);
    ObjectFileContents again;
    FUZZ_CHECK(ParseObjectFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), again));
    FUZZ_CHECK(again.cubes.size() == static_cast<size_t>(editor.scene.liveCubeCount));
    return 0;
}
