#include "editor/editor_commands.h"

#include "editor/editor.h"

namespace {

// The cube under a client point and the side pointed at; false where there is none.
bool PointedCube(const Editor& editor, int32_t x, int32_t y, Cell& cube, int& side) {
    const PickState hit = Pick(editor.scene, MakePickRay(x, y, editor.view));
    if (!hit.held)
        return false;
    cube = CellOf(editor.scene.cubes[hit.slot]);
    side = hit.side;
    return true;
}

float ViewAspect(const Editor& editor) {
    const Viewport& viewport = editor.view.viewport;
    return viewport.height > 0 ? static_cast<float>(viewport.width) / viewport.height : 1.0f;
}

}  // namespace

void FrameOpenedModel(Editor& editor) {
    if (!editor.frameOpenedModel)
        return;
    editor.frameOpenedModel = false;
    if (!ModelInView(editor.camera, editor.scene, ViewAspect(editor)))
        FrameModel(editor.camera, editor.scene, ViewAspect(editor));
}

void RunEditorCommand(Editor& editor, EditorCommand command, int32_t x, int32_t y) {
    Cell cube{};
    int side = 0;
    switch (command) {
        case EditorCommand::ResetCamera:
            ResetCamera(editor.camera);
            break;
        case EditorCommand::FrameModel:
            FrameModel(editor.camera, editor.scene, ViewAspect(editor));
            break;
        case EditorCommand::MirrorX:
        case EditorCommand::MirrorY:
        case EditorCommand::MirrorZ: {
            bool& on = editor.mirror.on[static_cast<int>(command) - static_cast<int>(EditorCommand::MirrorX)];
            on = !on;
            break;
        }
        case EditorCommand::MirrorCentre:
            if (PointedCube(editor, x, y, cube, side))
                CentreMirrorOn(editor.mirror, cube);
            break;
        case EditorCommand::MirrorFace:
            if (PointedCube(editor, x, y, cube, side))
                MirrorAlongFace(editor.mirror, cube, side);
            break;
    }
}

void RunEditorMenuCommand(Editor& editor, EditorCommand command) {
    if (!editor.viewCursorKnown && (command == EditorCommand::MirrorCentre || command == EditorCommand::MirrorFace))
        return;
    RunEditorCommand(editor, command, editor.viewCursorX, editor.viewCursorY);
}

bool EditorCommandChecked(const Editor& editor, EditorCommand command) {
    switch (command) {
        case EditorCommand::MirrorX:
        case EditorCommand::MirrorY:
        case EditorCommand::MirrorZ:
            return editor.mirror.on[static_cast<int>(command) - static_cast<int>(EditorCommand::MirrorX)];
        default:
            return false;
    }
}
