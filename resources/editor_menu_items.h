// The menu items that stand for the editor's own commands (the Options menu's view and mirror commands, the Edit
// menu's) and the program's shortcut keys: one table each for the Windows program and the page, so that both carry
// out the same command for the same item or key.
#pragma once

#include "editor/editor_commands.h"
#include "resource_ids.h"

struct EditorMenuItem {
    int commandId;          // the menu item
    EditorCommand command;  // what the editor does for it
};

constexpr EditorMenuItem kEditorMenuItems[] = {
    {ID_OPTIONS_RESET_CAMERA, EditorCommand::ResetCamera},
    {ID_OPTIONS_FRAME_MODEL, EditorCommand::FrameModel},
    {ID_OPTIONS_MIRROR_X, EditorCommand::MirrorX},
    {ID_OPTIONS_MIRROR_Y, EditorCommand::MirrorY},
    {ID_OPTIONS_MIRROR_Z, EditorCommand::MirrorZ},
    {ID_OPTIONS_MIRROR_CENTRE, EditorCommand::MirrorCentre},
    {ID_OPTIONS_MIRROR_FACE, EditorCommand::MirrorFace},
    {ID_EDIT_CUT, EditorCommand::Cut},
    {ID_EDIT_COPY, EditorCommand::Copy},
    {ID_EDIT_PASTE, EditorCommand::Paste},
    {ID_EDIT_DELETE, EditorCommand::DeleteSelection},
    {ID_EDIT_SELECT_ALL, EditorCommand::SelectAll},
    {ID_EDIT_SELECT_NONE, EditorCommand::SelectNone},
    {ID_EDIT_FLIP_X, EditorCommand::FlipX},
    {ID_EDIT_FLIP_Y, EditorCommand::FlipY},
    {ID_EDIT_FLIP_Z, EditorCommand::FlipZ},
    {ID_EDIT_TURN, EditorCommand::Turn},
    {ID_EDIT_PAINT, EditorCommand::PaintSelection},
    {ID_EDIT_MOVE_LEFT, EditorCommand::MoveLeft},
    {ID_EDIT_MOVE_RIGHT, EditorCommand::MoveRight},
    {ID_EDIT_MOVE_AWAY, EditorCommand::MoveAway},
    {ID_EDIT_MOVE_NEAR, EditorCommand::MoveNear},
    {ID_EDIT_MOVE_UP, EditorCommand::MoveUp},
    {ID_EDIT_MOVE_DOWN, EditorCommand::MoveDown},
};

// The item of a command id, or null when the command is not the editor's.
inline const EditorMenuItem* EditorMenuItemOf(int commandId) {
    for (const EditorMenuItem& item : kEditorMenuItems) {
        if (item.commandId == commandId)
            return &item;
    }
    return nullptr;
}

// A key that stands for a command while the view has the keyboard: the Windows virtual-key code, the modifiers that
// must be held with it (and no others), and whether a held key's repeats act again (the moves) or only its press.
struct Shortcut {
    int key;
    bool ctrl;
    bool shift;
    int commandId;
    bool repeats;
};

constexpr Shortcut kShortcuts[] = {
    {'N', true, false, ID_FILE_NEW, false},
    {'O', true, false, ID_FILE_OPEN, false},
    {'S', true, false, ID_FILE_SAVE, false},
    {'X', true, false, ID_EDIT_CUT, false},
    {'C', true, false, ID_EDIT_COPY, false},
    {'V', true, false, ID_EDIT_PASTE, false},
    {0x2E, false, false, ID_EDIT_DELETE, false},  // Del
    {'A', true, false, ID_EDIT_SELECT_ALL, false},
    {0x1B, false, false, ID_EDIT_SELECT_NONE, false},  // Esc
    {'R', false, false, ID_EDIT_TURN, false},
    {0x25, false, true, ID_EDIT_MOVE_LEFT, true},  // Shift + the arrows
    {0x27, false, true, ID_EDIT_MOVE_RIGHT, true},
    {0x26, false, true, ID_EDIT_MOVE_AWAY, true},
    {0x28, false, true, ID_EDIT_MOVE_NEAR, true},
    {0x21, false, true, ID_EDIT_MOVE_UP, true},  // Shift + Page Up and Page Down
    {0x22, false, true, ID_EDIT_MOVE_DOWN, true},
};

// The command a key press in the view stands for, or 0: the modifiers held must be the shortcut's exactly (Alt
// never), and a held key's repeat counts only for the keys that repeat.
inline int ShortcutCommand(int key, bool ctrl, bool shift, bool alt, bool repeat) {
    if (alt)
        return 0;
    for (const Shortcut& shortcut : kShortcuts) {
        if (shortcut.key == key && shortcut.ctrl == ctrl && shortcut.shift == shift && (!repeat || shortcut.repeats))
            return shortcut.commandId;
    }
    return 0;
}
