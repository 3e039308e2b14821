// Menu commands of the main window.
#include "app/shell.h"
#include "resource_ids.h"

namespace {

// Flips a View item's check mark and returns whether the panel is now shown.
bool ToggleCheck(HWND window, int commandId) {
    HMENU menu = GetMenu(window);
    const bool wasChecked = (GetMenuState(menu, static_cast<UINT>(commandId), MF_BYCOMMAND) & MF_CHECKED) != 0;
    CheckMenuItem(menu, static_cast<UINT>(commandId), MF_BYCOMMAND | (wasChecked ? MF_UNCHECKED : MF_CHECKED));
    return !wasChecked;
}

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

bool OnCommand(HWND window, int commandId) {
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
        case ID_OPTIONS_RESET_CAMERA:
            ResetCamera(gEditor.camera);
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
