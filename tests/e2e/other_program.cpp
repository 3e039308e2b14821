// Another program in the same Wine desktop as Blokkenveld, for the end-to-end tests and tools/frame_rate.sh.
//   e2e_other_program activate    shows a window titled "Other program" and makes it the foreground window, so
//                                 that Blokkenveld becomes inactive; the title ends in " (foreground)" while the
//                                 window is active. The program ends when its window is closed; started again
//                                 meanwhile, it brings that window back to the foreground.
//   e2e_other_program drop PATH   drops PATH on Blokkenveld's main window as a file manager does: the drop record
//                                 is written into Blokkenveld's memory and WM_DROPFILES posted to the window.
//   e2e_other_program paste PATH  writes the clipboard's text (CF_UNICODETEXT) into PATH as UTF-8, as another
//                                 program's paste reads it; exit code 7 when the clipboard holds no text.
#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr wchar_t kClassName[] = L"OtherProgram";
constexpr wchar_t kTitle[] = L"Other program";
constexpr wchar_t kForegroundTitle[] = L"Other program (foreground)";
constexpr UINT_PTR kCheckTimer = 1;
constexpr UINT kCheckEveryMs = 50;
constexpr int kChecks = 100;  // five seconds of trying, then the timer stops and the program only waits
int gChecksLeft = kChecks;

// The title says whether the window is the foreground window; until it is, the program keeps asking for it.
LRESULT CALLBACK OtherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            SetWindowTextW(window, LOWORD(wParam) != WA_INACTIVE ? kForegroundTitle : kTitle);
            break;
        case WM_TIMER:
            if (GetForegroundWindow() == window || --gChecksLeft <= 0)
                KillTimer(window, kCheckTimer);
            else
                SetForegroundWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// One window at a time: a second start brings the first window back to the foreground.
int Activate(HINSTANCE instance) {
    if (HWND existing = FindWindowW(kClassName, nullptr)) {
        for (int check = 0; check < kChecks && GetForegroundWindow() != existing; ++check) {
            SetForegroundWindow(existing);
            Sleep(kCheckEveryMs);
        }
        return GetForegroundWindow() == existing ? 0 : 1;
    }
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OtherWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    // Bottom right of the desktop, clear of Blokkenveld's window at its default size and place.
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 720, 320,
                                  200, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    SetForegroundWindow(window);
    SetTimer(window, kCheckTimer, kCheckEveryMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

int Drop(const char* path) {
    HWND target = FindWindowW(L"Blokkenveld", nullptr);
    if (target == nullptr)
        return 2;
    DWORD processId = 0;
    GetWindowThreadProcessId(target, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr)
        return 3;
    // A DROPFILES header, the path and an empty name that ends the list.
    const size_t pathBytes = std::strlen(path) + 1;
    const size_t size = sizeof(DROPFILES) + pathBytes + 1;
    char record[sizeof(DROPFILES) + MAX_PATH + 1] = {};
    if (size > sizeof(record))
        return 4;
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    std::memcpy(record, &header, sizeof(header));
    std::memcpy(record + sizeof(DROPFILES), path, pathBytes);
    void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool written = remote != nullptr && WriteProcessMemory(process, remote, record, size, nullptr);
    CloseHandle(process);
    if (!written)
        return 5;
    return PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) ? 0 : 6;
}

int Paste(const char* path) {
    if (!OpenClipboard(nullptr))
        return 3;
    int result = 7;
    HANDLE memory = GetClipboardData(CF_UNICODETEXT);
    if (const auto* wide = memory != nullptr ? static_cast<const wchar_t*>(GlobalLock(memory)) : nullptr) {
        const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        char* text = length > 0 ? static_cast<char*>(std::malloc(static_cast<size_t>(length))) : nullptr;
        if (text != nullptr) {
            WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, length, nullptr, nullptr);
            HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            DWORD written = 0;
            result = file != INVALID_HANDLE_VALUE &&
                             WriteFile(file, text, static_cast<DWORD>(length - 1), &written, nullptr)
                         ? 0
                         : 4;
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
            std::free(text);
        }
        GlobalUnlock(memory);
    }
    CloseClipboard();
    return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc == 2 && std::strcmp(__argv[1], "activate") == 0)
        return Activate(instance);
    if (__argc == 3 && std::strcmp(__argv[1], "drop") == 0)
        return Drop(__argv[2]);
    if (__argc == 3 && std::strcmp(__argv[1], "paste") == 0)
        return Paste(__argv[2]);
    return 2;
}
