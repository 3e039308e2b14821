// The Windows shell's globals and helpers: the one window, its flags, settings and file names.
#pragma once

#include "render/d3d9/win32.h"

#include <string>

#include "editor/editor.h"
#include "editor/platform.h"
#include "editor/settings.h"

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

// "エラー" with the exclamation icon, owned by the main window.
void ShowError(const char* utf8Text);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Menu commands of the main window; returns true when the command was handled.
bool OnCommand(HWND window, int commandId);

// The settings file through the profile API, section "SYSTEM".
class ProfileIniStore final : public IniStore {
public:
    uint32_t GetInt(const char* key, int32_t defaultValue) override;
    void GetString(const char* key, const char* defaultValue, char* buffer, int capacity) override;
    void WriteString(const char* key, const char* value) override;
};

// Runs one frame update of the editor against the real platform.
void RunEditorFrame(HWND window);
// Draws and presents one frame with the colours the getters give.
void DrawMainWindowFrame(HWND window);
// Render states, projection and the pick's view size for a device of the client size.
void SetUpDevice(int32_t width, int32_t height);
// Everything on the device again at a new client size; destroys the window when that fails.
void RebuildGraphics(HWND window, int32_t width, int32_t height);
