#include "editor/editor_commands.h"

#include "editor/editor.h"
#include "editor/platform.h"
#include "text/texts.h"

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
        case EditorCommand::DeleteSelection:
            DeleteSelection(editor);
            break;
        case EditorCommand::SelectAll:
            SelectAll(editor);
            break;
        case EditorCommand::SelectNone:
            ClearSelection(editor);
            break;
        case EditorCommand::FlipX:
        case EditorCommand::FlipY:
        case EditorCommand::FlipZ:
            FlipSelection(editor, static_cast<int>(command) - static_cast<int>(EditorCommand::FlipX));
            break;
        case EditorCommand::Turn:
            TurnSelection(editor);
            break;
        case EditorCommand::PaintSelection:
            PaintSelection(editor);
            break;
        case EditorCommand::MoveLeft:
        case EditorCommand::MoveRight:
        case EditorCommand::MoveAway:
        case EditorCommand::MoveNear: {
            constexpr int kArrows[] = {kKeyLeft, kKeyRight, kKeyUp, kKeyDown};
            const Move move =
                ArrowMove(editor, kArrows[static_cast<int>(command) - static_cast<int>(EditorCommand::MoveLeft)]);
            MoveSelection(editor, move.axis, move.step);
            break;
        }
        case EditorCommand::MoveUp:
        case EditorCommand::MoveDown:
            MoveSelection(editor, 1, command == EditorCommand::MoveUp ? 1 : -1);
            break;
        case EditorCommand::Cut:
        case EditorCommand::Copy:
        case EditorCommand::Paste:
            break;
    }
}

void RunEditorMenuCommand(Editor& editor, EditorCommand command) {
    if (!editor.viewCursorKnown && (command == EditorCommand::MirrorCentre || command == EditorCommand::MirrorFace))
        return;
    RunEditorCommand(editor, command, editor.viewCursorX, editor.viewCursorY);
}

bool EditorCommandEnabled(const Editor& editor, EditorCommand command, bool clipboardHasCubes) {
    switch (command) {
        case EditorCommand::Paste:
            return clipboardHasCubes;
        case EditorCommand::SelectNone:
            return editor.selection.active || editor.selectStroke.active;
        case EditorCommand::Cut:
        case EditorCommand::Copy:
        case EditorCommand::DeleteSelection:
        case EditorCommand::FlipX:
        case EditorCommand::FlipY:
        case EditorCommand::FlipZ:
        case EditorCommand::Turn:
        case EditorCommand::PaintSelection:
        case EditorCommand::MoveLeft:
        case EditorCommand::MoveRight:
        case EditorCommand::MoveAway:
        case EditorCommand::MoveNear:
        case EditorCommand::MoveUp:
        case EditorCommand::MoveDown:
            return editor.selection.active;
        default:
            return true;
    }
}

bool Clipboard::PutCopy(Editor& editor) {
    return Put(CopiedText(editor));
}

ClipboardOutcome RunClipboardCommand(Editor& editor,
                                     EditorCommand command,
                                     Clipboard& clipboard,
                                     const char* textureName) {
    if (command == EditorCommand::Paste) {
        std::string text;
        const bool ownCopy = clipboard.HoldsOwnCopy();
        if (!ownCopy && !clipboard.Take(text))
            return ClipboardOutcome::TakeRefused;
        Cell cube{};
        int side = 0;
        const bool pointed =
            editor.viewCursorKnown && PointedCube(editor, editor.viewCursorX, editor.viewCursorY, cube, side);
        const PointedFace face{cube, side};
        switch (ownCopy ? PasteCopied(editor, pointed ? &face : nullptr)
                        : PasteText(editor, text, pointed ? &face : nullptr)) {
            case PasteResult::Pasted:
                return ClipboardOutcome::Done;
            case PasteResult::NotAScene:
                return ClipboardOutcome::NotAScene;
            case PasteResult::TooMany:
                return ClipboardOutcome::TooMany;
            case PasteResult::OutOfRange:
                return ClipboardOutcome::OutOfRange;
        }
        return ClipboardOutcome::NotAScene;
    }
    if (CopySelection(editor, textureName) == 0)
        return ClipboardOutcome::Nothing;
    if (!clipboard.PutCopy(editor))
        return ClipboardOutcome::PutRefused;
    if (command == EditorCommand::Cut)
        DeleteSelection(editor);
    return ClipboardOutcome::Done;
}

const char* ClipboardMessage(ClipboardOutcome outcome) {
    switch (outcome) {
        case ClipboardOutcome::PutRefused:
            return TextOf(TextId::ClipboardPutRefused);
        case ClipboardOutcome::TakeRefused:
            return TextOf(TextId::ClipboardTakeRefused);
        case ClipboardOutcome::NotAScene:
            return TextOf(TextId::ClipboardNotAScene);
        case ClipboardOutcome::TooMany:
            return TextOf(TextId::ClipboardTooMany);
        case ClipboardOutcome::OutOfRange:
            return TextOf(TextId::ClipboardOutOfRange);
        default:
            return nullptr;
    }
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
