#include "web/menu_commands.h"

#include "editor/editor.h"
#include "editor_menu_items.h"
#include "resource_ids.h"

namespace {

bool IsMenuCommand(int commandId) {
    for (int command : kMenuCommands) {
        if (command == commandId)
            return true;
    }
    return false;
}

}  // namespace

MenuItemState MenuStateOf(const Editor& editor, int commandId, bool undoEnabled, bool redoEnabled) {
    if (const EditorMenuItem* item = EditorMenuItemOf(commandId))
        return {true, EditorCommandChecked(editor, item->command)};
    switch (commandId) {
        case ID_OPTIONS_UNDO:
            return {undoEnabled, false};
        case ID_OPTIONS_REDO:
            return {redoEnabled, false};
        case ID_VIEW_PAINT_WINDOW:
            return {true, editor.paintWindow.shown};
        case ID_VIEW_STATUS_WINDOW:
            return {true, editor.statusWindow.shown};
        default:
            return {IsMenuCommand(commandId), false};
    }
}

bool RunMenuCommand(Editor& editor, MenuShell& shell, int commandId, bool undoEnabled, bool redoEnabled) {
    if (!MenuStateOf(editor, commandId, undoEnabled, redoEnabled).enabled)
        return false;
    if (const EditorMenuItem* item = EditorMenuItemOf(commandId)) {
        RunEditorMenuCommand(editor, item->command);
        return true;
    }
    switch (commandId) {
        case ID_OPTIONS_UNDO:
            editor.undo.undoRequest = true;
            return true;
        case ID_OPTIONS_REDO:
            editor.undo.redoRequest = true;
            return true;
        case ID_VIEW_PAINT_WINDOW:
            editor.paintWindow.shown = !editor.paintWindow.shown;
            return true;
        case ID_VIEW_STATUS_WINDOW:
            editor.statusWindow.shown = !editor.statusWindow.shown;
            return true;
        default:
            shell.RunShellCommand(commandId);
            return true;
    }
}
