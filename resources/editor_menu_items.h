// The Options items that stand for the editor's own view and mirror commands: one table for the Windows menu and
// the page's, so that both carry out the same command for the same item.
#pragma once

#include "editor/editor_commands.h"
#include "resource_ids.h"

struct EditorMenuItem {
    int commandId;          // the menu item
    EditorCommand command;  // what the editor does for it
};

constexpr EditorMenuItem kEditorMenuItems[] = {
    {ID_OPTIONS_RESET_CAMERA, EditorCommand::ResetCamera}, {ID_OPTIONS_FRAME_MODEL, EditorCommand::FrameModel},
    {ID_OPTIONS_MIRROR_X, EditorCommand::MirrorX},         {ID_OPTIONS_MIRROR_Y, EditorCommand::MirrorY},
    {ID_OPTIONS_MIRROR_Z, EditorCommand::MirrorZ},         {ID_OPTIONS_MIRROR_CENTRE, EditorCommand::MirrorCentre},
    {ID_OPTIONS_MIRROR_FACE, EditorCommand::MirrorFace},
};

// The item of a command id, or null when the command is not the editor's.
inline const EditorMenuItem* EditorMenuItemOf(int commandId) {
    for (const EditorMenuItem& item : kEditorMenuItems) {
        if (item.commandId == commandId)
            return &item;
    }
    return nullptr;
}
