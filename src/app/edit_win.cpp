// The Edit menu in the Windows program: the system clipboard, the items greyed as the selection and the clipboard
// stand, and the shortcut keys the main window receives.
#include "app/shell.h"
#include "editor_menu_items.h"
#include "files/object_file.h"
#include "resource_ids.h"

namespace {

// The clipboard holds the scene text as CF_UNICODETEXT, made from the program's text in the ANSI code page (the
// texture name is a path in it) with Windows' line ends, so that any editor or program reads it; what comes back
// is turned into the ANSI code page again.
class WindowsClipboard final : public Clipboard {
public:
    explicit WindowsClipboard(HWND window) : window_(window) {}

    bool Put(const std::string& text) override {
        std::string lines;
        for (char c : text) {
            if (c == '\n')
                lines += '\r';
            lines += c;
        }
        const int length = MultiByteToWideChar(CP_ACP, 0, lines.c_str(), -1, nullptr, 0);
        if (length <= 0 || !OpenClipboard(window_))
            return false;
        bool put = false;
        if (EmptyClipboard()) {
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length) * sizeof(wchar_t));
            if (auto* wide = memory != nullptr ? static_cast<wchar_t*>(GlobalLock(memory)) : nullptr) {
                MultiByteToWideChar(CP_ACP, 0, lines.c_str(), -1, wide, length);
                GlobalUnlock(memory);
                put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            }
            if (!put && memory != nullptr)
                GlobalFree(memory);  // the clipboard owns it only once it was taken
        }
        CloseClipboard();
        return put;
    }

    bool Take(std::string& text) override {
        if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(window_))
            return false;
        bool taken = false;
        if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(memory))) {
                const int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
                if (length > 0) {
                    text.assign(static_cast<size_t>(length), '\0');
                    WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], length, nullptr, nullptr);
                    text.resize(static_cast<size_t>(length - 1));
                    taken = true;
                }
                GlobalUnlock(memory);
            }
        }
        CloseClipboard();
        return taken;
    }

private:
    HWND window_;
};

bool IsClipboardCommand(EditorCommand command) {
    return command == EditorCommand::Cut || command == EditorCommand::Copy || command == EditorCommand::Paste;
}

// Whether the clipboard holds a scene of cubes: read only when the Edit menu opens.
bool ClipboardHasCubes(HWND window) {
    WindowsClipboard clipboard(window);
    std::string text;
    ObjectFileContents contents;
    return clipboard.Take(text) &&
           ParseObjectFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), contents) &&
           !contents.cubes.empty();
}

}  // namespace

void RunEditMenuCommand(HWND window, EditorCommand command) {
    if (!IsClipboardCommand(command)) {
        RunEditorMenuCommand(gEditor, command);
        return;
    }
    WindowsClipboard clipboard(window);
    if (const char* message = ClipboardMessage(RunClipboardCommand(gEditor, command, clipboard, gSettings.textureName)))
        ShowError(message);
}

void UpdateEditMenu(HWND window, HMENU popup) {
    if (GetMenuState(popup, ID_EDIT_PASTE, MF_BYCOMMAND) == static_cast<UINT>(-1))
        return;  // another menu
    const bool clipboardHasCubes = ClipboardHasCubes(window);
    for (const EditorMenuItem& item : kEditorMenuItems) {
        const bool enabled = EditorCommandEnabled(gEditor, item.command, clipboardHasCubes);
        EnableMenuItem(popup, static_cast<UINT>(item.commandId), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

bool OnShortcutKey(HWND window, int virtualKey, bool repeat) {
    const int commandId = ShortcutCommand(virtualKey, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0,
                                          GetKeyState(VK_MENU) < 0, repeat);
    if (commandId == 0)
        return false;
    // A key acts as its item would, never where the item would be greyed; Paste goes ahead so that text which is no
    // scene is answered with a message.
    if (const EditorMenuItem* item = EditorMenuItemOf(commandId)) {
        if (item->command != EditorCommand::Paste && !EditorCommandEnabled(gEditor, item->command, true))
            return true;
    }
    OnCommand(window, commandId);
    return true;
}
