#include "web/menu_commands.h"

#include "editor/editor.h"
#include "editor_menu_items.h"
#include "resource_ids.h"
#include "text/texts.h"
#include "web/browser_input.h"

namespace {

bool IsMenuCommand(int commandId) {
    for (int command : kMenuCommands) {
        if (command == commandId)
            return true;
    }
    return false;
}

// Cut, Copy and Paste reach the system's clipboard, which only the shell can.
bool IsClipboardCommand(EditorCommand command) {
    return command == EditorCommand::Cut || command == EditorCommand::Copy || command == EditorCommand::Paste;
}

bool IsClipboardItem(int commandId) {
    const EditorMenuItem* item = EditorMenuItemOf(commandId);
    return item != nullptr && IsClipboardCommand(item->command);
}

}  // namespace

MenuItemState MenuStateOf(const Editor& editor,
                          int commandId,
                          bool undoEnabled,
                          bool redoEnabled,
                          bool clipboardHasCubes) {
    if (const EditorMenuItem* item = EditorMenuItemOf(commandId))
        return {EditorCommandEnabled(editor, item->command, clipboardHasCubes),
                EditorCommandChecked(editor, item->command)};
    switch (commandId) {
        case ID_OPTIONS_UNDO:
            return {undoEnabled, false};
        case ID_OPTIONS_REDO:
            return {redoEnabled, false};
        case ID_VIEW_PAINT_WINDOW:
            return {true, editor.paintWindow.shown};
        case ID_VIEW_STATUS_WINDOW:
            return {true, editor.statusWindow.shown};
        case ID_OPTIONS_LANGUAGE_JAPANESE:
            return {true, CurrentLanguage() == Language::Japanese};
        case ID_OPTIONS_LANGUAGE_ENGLISH:
            return {true, CurrentLanguage() == Language::English};
        default:
            return {IsMenuCommand(commandId), false};
    }
}

bool RunMenuCommand(Editor& editor,
                    MenuShell& shell,
                    int commandId,
                    bool undoEnabled,
                    bool redoEnabled,
                    bool clipboardHasCubes) {
    if (!MenuStateOf(editor, commandId, undoEnabled, redoEnabled, clipboardHasCubes).enabled)
        return false;
    const EditorMenuItem* item = EditorMenuItemOf(commandId);
    if (item != nullptr && !IsClipboardCommand(item->command)) {
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

void ClipboardKnowledge::Note(EditorCommand command, ClipboardOutcome outcome) {
    if (command == EditorCommand::Paste) {
        // Text was read: cubes unless it was no scene, even when the scene could not take them.
        if (outcome != ClipboardOutcome::TakeRefused)
            hasCubes_ = outcome != ClipboardOutcome::NotAScene;
    } else if (outcome == ClipboardOutcome::Done) {
        hasCubes_ = true;  // nothing copied, or a copy refused, leaves the clipboard as it was
    }
}

PageKeyAction PageKeyActionOf(int virtualKey, bool ctrl, bool shift, bool alt, bool repeat) {
    const int command = ShortcutCommand(virtualKey, ctrl, shift, alt, false);
    if (command != 0 && IsClipboardItem(command))
        return {0, false};
    return {ShortcutCommand(virtualKey, ctrl, shift, alt, repeat), command != 0 || KeepFromBrowser(virtualKey, ctrl)};
}
