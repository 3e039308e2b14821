// Menu commands of the main window.
#include <cstddef>

#include "app/shell.h"
#include "editor_menu_items.h"
#include "main_menu.h"
#include "render/d3d9/graphics_device.h"
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

// The language items' radio mark on the language in use.
void CheckLanguage(HMENU menu) {
    CheckMenuRadioItem(
        menu, ID_OPTIONS_LANGUAGE_JAPANESE, ID_OPTIONS_LANGUAGE_ENGLISH,
        CurrentLanguage() == Language::English ? ID_OPTIONS_LANGUAGE_ENGLISH : ID_OPTIONS_LANGUAGE_JAPANESE,
        MF_BYCOMMAND);
}

// Every text in the chosen language from now on: the menu bar is built again with the marks it had, and the view,
// whose status strip reads the table each frame, is drawn again. The choice is written at exit.
void ChooseLanguage(HWND window, Language language) {
    SetLanguage(language);
    gSettings.language = language;
    gSettings.languageChosen = true;
    // The paint window's captions are drawn in its bitmap: the language's own is loaded.
    if (!MakePanelTexture()) {
        DestroyWindow(window);  // no panel can be drawn, as when the device is made again after a resize
        return;
    }
    HMENU old = GetMenu(window);
    SetMenu(window, BuildMainMenu());
    DestroyMenu(old);
    SetViewChecks(window);
    FillFileDialogRecords(window);  // the file dialogs' type names and titles
    gEditorChecksShown = false;
    SyncEditorChecks(window);  // Undo and Redo are set by every frame, and this command wakes one
    DrawMenuBar(window);
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace

HMENU BuildMainMenu() {
    HMENU bar = CreateMenu();
    HMENU popups[2] = {nullptr, nullptr};  // the menu being filled, and its submenu while one is open
    int depth = 0;
    for (const MainMenuEntry& entry : kMainMenu) {
        HMENU popup = popups[depth];
        switch (entry.kind) {
            case MainMenuEntry::Menu:
                depth = 0;
                popups[0] = CreatePopupMenu();
                AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popups[0]),
                            WideText(entry.text).c_str());
                break;
            case MainMenuEntry::SubMenu:
                depth = 1;
                popups[1] = CreatePopupMenu();
                AppendMenuW(popup, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popups[1]),
                            WideText(entry.text).c_str());
                break;
            case MainMenuEntry::SubMenuEnd:
                depth = 0;
                break;
            case MainMenuEntry::Separator:
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                break;
            case MainMenuEntry::Item: {
                const UINT state = ((entry.state & MainMenuEntry::Grayed) != 0 ? MF_GRAYED : 0u) |
                                   ((entry.state & MainMenuEntry::Checked) != 0 ? MF_CHECKED : 0u);
                AppendMenuW(popup, MF_STRING | state, static_cast<UINT_PTR>(entry.commandId),
                            WideText(entry.text).c_str());
                break;
            }
        }
    }
    CheckLanguage(bar);
    return bar;
}

void LabelDialog(HWND dialog, TextId caption, std::initializer_list<DialogLabel> labels) {
    SetWindowTextW(dialog, WideText(caption).c_str());
    for (const DialogLabel& label : labels)
        SetDlgItemTextW(dialog, label.control, WideText(label.text).c_str());
}

INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        LabelDialog(dialog, TextId::VersionCaption,
                    {{IDC_VERSION_NOTE, TextId::VersionNote}, {IDOK, TextId::DialogOk}});
        return FALSE;  // the focus stays where the dialog manager puts it
    }
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
        case ID_OPTIONS_LANGUAGE_JAPANESE:
            ChooseLanguage(window, Language::Japanese);
            return true;
        case ID_OPTIONS_LANGUAGE_ENGLISH:
            ChooseLanguage(window, Language::English);
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
