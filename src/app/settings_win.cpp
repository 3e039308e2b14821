// The settings file through the profile API, and the colour settings dialog.
#include "app/shell.h"

#include <commdlg.h>
#include "resource_ids.h"

namespace {

// Swatches in the dialog's client pixels.
constexpr RECT kBackgroundSwatch = {35, 30, 85, 80};
constexpr RECT kWireframeSwatch = {130, 30, 180, 80};

COLORREF SwatchColour(const RgbSetting& rgb) {
    return RGB(rgb.red & 0xFF, rgb.green & 0xFF, rgb.blue & 0xFF);
}

void DrawSwatch(HDC dc, const RECT& r, const RgbSetting& rgb) {
    HBRUSH brush = CreateSolidBrush(SwatchColour(rgb));
    HGDIOBJ old = SelectObject(dc, brush);
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, old);
    DeleteObject(brush);
}

// The chooser always opens on black; the custom colours persist while the program runs.
void ChooseSettingColour(HWND dialog, RgbSetting& rgb) {
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = dialog;
    choose.rgbResult = 0;
    choose.lpCustColors = reinterpret_cast<COLORREF*>(gColourDialog.customColours);
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choose))
        return;
    rgb.red = GetRValue(choose.rgbResult);
    rgb.green = GetGValue(choose.rgbResult);
    rgb.blue = GetBValue(choose.rgbResult);
    InvalidateRect(dialog, nullptr, TRUE);
}

}  // namespace

uint32_t ProfileIniStore::GetInt(const char* key, int32_t defaultValue) {
    return GetPrivateProfileIntA(kSettingsSection, key, defaultValue, gSettingsPath);
}

void ProfileIniStore::GetString(const char* key, const char* defaultValue, char* buffer, int capacity) {
    GetPrivateProfileStringA(kSettingsSection, key, defaultValue, buffer, static_cast<DWORD>(capacity), gSettingsPath);
}

void ProfileIniStore::WriteString(const char* key, const char* value) {
    WritePrivateProfileStringA(kSettingsSection, key, value, gSettingsPath);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            LabelDialog(dialog, TextId::SettingsCaption,
                        {{IDC_COLOUR_GROUP, TextId::SettingsColours},
                         {IDC_BACKGROUND_BUTTON, TextId::SettingsBackground},
                         {IDC_WIREFRAME_BUTTON, TextId::SettingsWireframe},
                         {IDOK, TextId::DialogOk},
                         {IDCANCEL, TextId::DialogCancel}});
            return FALSE;  // the focus stays where the dialog manager puts it
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(dialog, &paint);
            DrawSwatch(dc, kBackgroundSwatch, gSettings.background);
            DrawSwatch(dc, kWireframeSwatch, gSettings.wireframe);
            EndPaint(dialog, &paint);
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_BACKGROUND_BUTTON:
                    ChooseSettingColour(dialog, gSettings.background);
                    return FALSE;
                case IDC_WIREFRAME_BUTTON:
                    ChooseSettingColour(dialog, gSettings.wireframe);
                    return FALSE;
                case IDOK: {
                    gColourDialog.open = false;
                    ProfileIniStore ini;
                    WriteColourSettings(ini, gSettings);
                    EndDialog(dialog, 1);
                    return TRUE;
                }
                case IDCANCEL:
                    gSettings.background = gColourDialog.savedBackground;
                    gSettings.wireframe = gColourDialog.savedWireframe;
                    gColourDialog.open = false;
                    EndDialog(dialog, 1);
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_CLOSE:
            // The close box keeps the chosen colours for this run without writing them.
            gColourDialog.open = false;
            EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
    }
}
