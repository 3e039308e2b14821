// The Options menu's view and mirror commands, shared by both shells' menus and the keys that stand for them.
#pragma once

#include <cstdint>

struct Editor;

enum class EditorCommand {
    ResetCamera,   // the camera's start values
    FrameModel,    // every cube in view (Home)
    MirrorX,       // mirroring in the X, Y or Z plane on or off
    MirrorY,
    MirrorZ,
    MirrorCentre,  // every plane through the middle of the cube pointed at (M)
    MirrorFace,    // the plane of the face pointed at laid on that face (N)
};

// Carries out a command. The two that point at a cube take the one under client point (x, y), and do nothing where
// there is none.
void RunEditorCommand(Editor& editor, EditorCommand command, int32_t x, int32_t y);
// The same from a menu: what points at a cube takes the one under the cursor where it last was over the view.
void RunEditorMenuCommand(Editor& editor, EditorCommand command);
// A scene just opened is framed as Home frames it, unless it already lies wholly in view as the camera stands (the
// start scene and small models keep the camera). Once per opened scene.
void FrameOpenedModel(Editor& editor);
// Whether the command's item carries a check mark (the mirror switches that are on).
bool EditorCommandChecked(const Editor& editor, EditorCommand command);
