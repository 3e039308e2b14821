// The Windows shell's globals and helpers: the one window, its flags, settings and file names.
#pragma once

#include "render/d3d9/win32.h"

#include <initializer_list>
#include <string>

#include "editor/document/document_commands.h"
#include "editor/editor.h"
#include "editor/editor_commands.h"
#include "editor/platform.h"
#include "editor/document/settings.h"
#include "files/file_system.h"
#include "win/file_system_win.h"

constexpr wchar_t kProductName[] = L"Blokkenveld";
constexpr int kPathBufferSize = 260;

extern HWND gMainWindow;
extern Editor gEditor;
extern ShellFlags gShellFlags;
extern Settings gSettings;
extern ColourDialogState gColourDialog;
extern char gProgramDirectory[kPathBufferSize];  // ends in a separator
extern char gSettingsPath[kPathBufferSize];
extern char gDesktopDirectory[kPathBufferSize];

extern Documents gDocuments;

// A text of the table in the program's language, for the system's wide calls.
std::wstring WideText(TextId id);
// TextId::ErrorTitle with the exclamation icon, owned by the main window.
void ShowError(const char* utf8Text);
// A question titled TextId::ConfirmTitle with Yes and No, owned by the main window; true for Yes.
bool AskYesNo(const char* utf8Text);

// Files through the system's calls (win/file_system_win.cpp).
extern Win32FileSystem gFiles;

// The six file-dialog records, filled once when the main window is created (document_win.cpp).
void FillFileDialogRecords(HWND window);
// The document commands with the shell's dialogs, boxes and title.
DocumentContext& Document();
// File > Help: the HTML Help viewer, if the system has one.
void ShowHelp(HWND window);
// The window title, "Blokkenveld" or "Blokkenveld - " and a path in the ANSI code page.
void SetMainTitle(const char* ansiPath);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Menu commands of the main window; returns true when the command was handled.
bool OnCommand(HWND window, int commandId);
// An Edit item or the key that stands for it: the clipboard's through the system clipboard, the rest by the editor.
void RunEditMenuCommand(HWND window, EditorCommand command);
// The text of the copy the clipboard holds, asked for by a paste (WM_RENDERFORMAT) or, when the program closes
// while owning the clipboard, for good (WM_RENDERALLFORMATS, allFormats).
void RenderCopiedText(HWND window, bool allFormats);
// The Edit menu's items greyed as the selection and the clipboard stand, when popup is that menu.
void UpdateEditMenu(HWND window, HMENU popup);
// A key the main window received: the command of the program's shortcut it stands for, carried out as its item
// would be. False when it stands for none.
bool OnShortcutKey(HWND window, int virtualKey, bool repeat);
// The Options items' check marks as the editor's mirror switches stand: at start (the settings may switch axes on),
// after a command and after every frame (N switches an axis on). The menu is touched only where a mark changes.
void SyncEditorChecks(HWND window);
// The View items' check marks from the panels' state.
void SetViewChecks(HWND window);
// The menu bar from its table, in the program's language, with the language's radio mark.
HMENU BuildMainMenu();
// A dialog's caption and controls in the program's language: the templates hold the Japanese texts, and each dialog
// is labelled from the table of texts as it opens.
struct DialogLabel {
    int control;
    TextId text;
};
void LabelDialog(HWND dialog, TextId caption, std::initializer_list<DialogLabel> labels);

// The settings file through the profile API, section "SYSTEM".
class ProfileIniStore final : public IniStore {
public:
    uint32_t GetInt(const char* key, int32_t defaultValue) override;
    void GetString(const char* key, const char* defaultValue, char* buffer, int capacity) override;
    void WriteString(const char* key, const char* value) override;
};

// A key or button went down in the main window; the next frame counts it even if it is let go before then.
void NoteKeyPress(int virtualKey);
// Runs one frame update of the editor against the real platform.
void RunEditorFrame(HWND window);
// Whether the next idle pass runs a frame, by the editor's rule; otherwise the loop waits for a message.
bool EditorFrameDue();
// A message came that can change the picture or the editing: the frames it asks for follow.
void WakeEditorFrames();
// Draws and presents one frame with the colours the getters give.
void DrawMainWindowFrame(HWND window);
// Render states, projection and the pick's view size for a device of the client size.
void SetUpDevice(int32_t width, int32_t height);
// Everything on the device again at a new client size; destroys the window when that fails.
void RebuildGraphics(HWND window, int32_t width, int32_t height);
