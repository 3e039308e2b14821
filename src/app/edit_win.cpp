// The Edit menu in the Windows program: the system clipboard, the items greyed as the selection and the clipboard
// stand, and the shortcut keys the main window receives.
#include "app/shell.h"
#include "editor/editing/selection.h"
#include "editor_menu_items.h"
#include "files/object_file.h"
#include "resource_ids.h"

namespace {

// The clipboard holds the scene text as CF_UNICODETEXT, made from the program's text in the ANSI code page (the
// texture name is a path in it) with Windows' line ends, so that any editor or program reads it; what comes back
// is turned into the ANSI code page again. On an open clipboard: false when the system refused it.
bool SetClipboardText(const std::string& text) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    const int length = MultiByteToWideChar(CP_ACP, 0, lines.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return false;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length) * sizeof(wchar_t));
    bool put = false;
    if (auto* wide = memory != nullptr ? static_cast<wchar_t*>(GlobalLock(memory)) : nullptr) {
        MultiByteToWideChar(CP_ACP, 0, lines.c_str(), -1, wide, length);
        GlobalUnlock(memory);
        put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!put && memory != nullptr)
        GlobalFree(memory);  // the clipboard owns it only once it was taken
    return put;
}

class WindowsClipboard final : public Clipboard {
public:
    explicit WindowsClipboard(HWND window) : window_(window) {}

    bool Put(const std::string& text) override {
        if (!OpenClipboard(window_))
            return false;
        const bool put = EmptyClipboard() && SetClipboardText(text);
        CloseClipboard();
        return put;
    }

    // The copy's text is made when something asks the clipboard for it (WM_RENDERFORMAT): a copy of many cubes
    // costs no more than keeping them, and a paste into this program takes the cubes themselves.
    bool PutCopy(Editor&) override {
        if (!OpenClipboard(window_))
            return false;
        bool put = false;
        if (EmptyClipboard()) {
            SetClipboardData(CF_UNICODETEXT, nullptr);
            put = IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
        }
        CloseClipboard();
        return put;
    }

    bool HoldsOwnCopy() override {
        return GetClipboardOwner() == window_ && IsClipboardFormatAvailable(CF_UNICODETEXT);
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

// Whether the clipboard holds a scene of cubes: read only when the Edit menu opens, and not at all while it holds the
// program's own copy.
bool ClipboardHasCubes(HWND window) {
    WindowsClipboard clipboard(window);
    if (clipboard.HoldsOwnCopy())
        return gEditor.copiedCount > 0;
    std::string text;
    ObjectFileContents contents;
    return clipboard.Take(text) &&
           ParseObjectFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), contents) &&
           !contents.cubes.empty();
}

}  // namespace

void RenderCopiedText(HWND window, bool allFormats) {
    // For every format at once (the program is closing while it owns the clipboard), the clipboard is opened here
    // and only while still the program's; for one, it is already open for whoever asked.
    if (allFormats && !OpenClipboard(window))
        return;
    if (!allFormats || GetClipboardOwner() == window)
        SetClipboardText(CopiedText(gEditor));
    if (allFormats)
        CloseClipboard();
}

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
