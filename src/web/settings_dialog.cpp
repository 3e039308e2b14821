#include "web/settings_dialog.h"

void BeginSettingsDialog(const Settings& settings, ColourDialogState& dialog) {
    dialog.savedBackground = settings.background;
    dialog.savedWireframe = settings.wireframe;
    dialog.open = true;
}

void EndSettingsDialog(SettingsDialogEnd end,
                       const RgbSetting& background,
                       const RgbSetting& wireframe,
                       IniStore& ini,
                       Settings& settings,
                       ColourDialogState& dialog) {
    settings.background = background;
    settings.wireframe = wireframe;
    dialog.open = false;
    if (end == SettingsDialogEnd::Ok) {
        WriteColourSettings(ini, settings);
    } else if (end == SettingsDialogEnd::Cancel) {
        settings.background = dialog.savedBackground;
        settings.wireframe = dialog.savedWireframe;
    }
}
