// Menu commands of the main window.
#include <cstddef>

#include "app/shell.h"
#include "editor_menu_items.h"
#include "resource_ids.h"

namespace {

// Flips a View item's check mark and returns whether the panel is now shown.
bool ToggleCheck(HWND window, int commandId) {
    HMENU menu = GetMenu(window);
    const bool wasChecked = (GetMenuState(menu, static_cast<UINT>(commandId), MF_BYCOMMAND) & MF_CHECKED) != 0;
    CheckMenuItem(menu, static_cast<UINT>(commandId), MF_BYCOMMAND | (wasChecked ? MF_UNCHECKED : MF_CHECKED));
    return !wasChecked;
}

// The editor items' check marks as they were last set, so that a frame touches the menu only when one changes.
constexpr size_t kEditorItemCount = sizeof(kEditorMenuItems) / sizeof(kEditorMenuItems[0]);
bool gEditorChecksShown = false;
bool gEditorChecked[kEditorItemCount] = {};

void OpenSettingsDialog(HWND window) {
    gColourDialog.savedBackground = gSettings.background;
    gColourDialog.savedWireframe = gSettings.wireframe;
    gColourDialog.open = true;
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), window, SettingsDialogProc, 0);
}

}  // namespace

INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDOK)) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

void SyncEditorChecks(HWND window) {
    for (size_t i = 0; i < kEditorItemCount; ++i) {
        const bool checked = EditorCommandChecked(gEditor, kEditorMenuItems[i].command);
        if (gEditorChecksShown && checked == gEditorChecked[i])
            continue;
        CheckMenuItem(GetMenu(window), static_cast<UINT>(kEditorMenuItems[i].commandId),
                      MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
        gEditorChecked[i] = checked;
    }
    gEditorChecksShown = true;
}

bool OnCommand(HWND window, int commandId) {
    if (const EditorMenuItem* item = EditorMenuItemOf(commandId)) {
        RunEditMenuCommand(window, item->command);
        SyncEditorChecks(window);
        return true;
    }
    switch (commandId) {
        case ID_FILE_NEW:
            CommandNew(Document());
            return true;
        case ID_FILE_OPEN:
            CommandOpen(Document());
            return true;
        case ID_FILE_SAVE:
            CommandSave(Document());
            return true;
        case ID_FILE_SAVE_AS:
            CommandSaveAs(Document());
            return true;
        case ID_FILE_SCREENSHOT:
            CommandScreenshot(Document());
            return true;
        case ID_HELP_HELP:
            ShowHelp(window);
            return true;
        case ID_VIEW_PAINT_WINDOW:
            gEditor.paintWindow.shown = ToggleCheck(window, commandId);
            return true;
        case ID_VIEW_STATUS_WINDOW:
            gEditor.statusWindow.shown = ToggleCheck(window, commandId);
            return true;
        case ID_HELP_VERSION:
            DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_VERSION), window, VersionDialogProc, 0);
            return true;
        case ID_OPTIONS_SETTINGS:
            OpenSettingsDialog(window);
            return true;
        case ID_OPTIONS_UNDO:
            gEditor.undo.undoRequest = true;
            return true;
        case ID_OPTIONS_REDO:
            gEditor.undo.redoRequest = true;
            return true;
        default:
            return false;
    }
}
