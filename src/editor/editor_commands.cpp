#include "editor/editor_commands.h"

#include "editor/editor.h"

namespace {

// The cube under a client point and the side pointed at; false where there is none.
bool CubeAt(const Editor& editor, int32_t x, int32_t y, Cell& cube, int& side) {
    const PickState hit = Pick(editor.scene, MakePickRay(x, y, editor.view));
    if (!hit.held)
        return false;
    cube = CellOf(editor.scene.cubes[hit.slot]);
    side = hit.side;
    return true;
}

}  // namespace

void RunEditorCommand(Editor& editor, EditorCommand command, int32_t x, int32_t y) {
    Cell cube{};
    int side = 0;
    switch (command) {
        case EditorCommand::ResetCamera:
            ResetCamera(editor.camera);
            break;
        case EditorCommand::FrameModel: {
            const Viewport& viewport = editor.view.viewport;
            const float aspect = viewport.height > 0 ? static_cast<float>(viewport.width) / viewport.height : 1.0f;
            FrameModel(editor.camera, editor.scene, aspect);
            break;
        }
        case EditorCommand::MirrorX:
        case EditorCommand::MirrorY:
        case EditorCommand::MirrorZ: {
            bool& on = editor.mirror.on[static_cast<int>(command) - static_cast<int>(EditorCommand::MirrorX)];
            on = !on;
            break;
        }
        case EditorCommand::MirrorCentre:
            if (CubeAt(editor, x, y, cube, side))
                CentreMirrorOn(editor.mirror, cube);
            break;
        case EditorCommand::MirrorFace:
            if (CubeAt(editor, x, y, cube, side))
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
