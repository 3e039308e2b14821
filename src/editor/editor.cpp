#include "editor/editor.h"

#include <cstring>

Editor::Editor() {
    std::memset(scene.cubes, 0, sizeof(scene.cubes));
    std::memset(scene.grid, 0, sizeof(scene.grid));
    std::memset(undo.entries, 0, sizeof(undo.entries));
    std::memset(undo.kinds, 0, sizeof(undo.kinds));
    // Until the shell sets the real client size, the pick works as for the smallest window.
    SetViewSize(view, 800, 600);
    view.view = MatrixIdentity();
}

void Editor::ResetScene() {
    if (!newSceneRequest)
        return;
    std::memset(scene.grid, 0, sizeof(scene.grid));
    scene.highestUsedSlot = 0;
    CubeRecord& cube = scene.cubes[0];
    cube.x = cube.y = cube.z = kStartCubeCoordinate;
    cube.inUse = 1;
    cube.textured = 0;
    cube.colour = kWhite;
    for (uint8_t& exposed : cube.faceExposed)
        exposed = 1;
    const int c = static_cast<int>(kStartCubeCoordinate);
    scene.grid[Scene::GridIndex(c, c, c)] = 1;
    newSceneRequest = false;
}

void Editor::StartNewScene() {
    // The planes go back through the start cube; whether each is on stays as the user left it.
    const int32_t start = static_cast<int32_t>(kStartCubeCoordinate);
    CentreMirrorOn(mirror, {start, start, start});
    // A box still being dragged spans cells of the scene that goes, and so does the selection.
    box.active = false;
    selection.active = false;
    selectStroke.active = false;
    scene.liveCubeCount = 1;
    modified = false;
    named = false;
    newSceneRequest = true;
    undo.Empty();
}

void Editor::RequestScreenshot(const char* path) {
    std::strncpy(screenshotPath, path, kPathCapacity - 1);
    screenshotPath[kPathCapacity - 1] = '\0';
    screenshotRequest = true;
}
