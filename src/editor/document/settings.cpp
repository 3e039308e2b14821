#include "editor/document/settings.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "editor/editor.h"

namespace {

void WriteInt(IniStore& ini, const char* key, long long value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%lld", value);
    ini.WriteString(key, text);
}

// The panel position is written truncated toward zero; a position far outside any screen (it can be
// read from the file that way) is held at the ends of the integer range instead of overflowing.
long long TruncatePosition(float position) {
    if (!(position > static_cast<float>(std::numeric_limits<int32_t>::min())))
        return std::numeric_limits<int32_t>::min();
    if (position >= static_cast<float>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<long long>(position);
}

void ReadRgb(IniStore& ini, const char* redKey, const char* greenKey, const char* blueKey, RgbSetting& rgb) {
    rgb.red = static_cast<int32_t>(ini.GetInt(redKey, 0));
    rgb.green = static_cast<int32_t>(ini.GetInt(greenKey, 0));
    rgb.blue = static_cast<int32_t>(ini.GetInt(blueKey, 0));
}

constexpr const char* kMirrorKeys[3] = {"MIRROR_X", "MIRROR_Y", "MIRROR_Z"};
constexpr const char* kMirrorPlaneKeys[3] = {"MIRROR_PLANE_X", "MIRROR_PLANE_Y", "MIRROR_PLANE_Z"};

// The mirror switches, and each plane as the sum of a cell and its image; a plane the grid cannot hold (a sum
// outside 0..398, which no two cells make) is the start cube's.
void ReadMirror(IniStore& ini, MirrorState& mirror) {
    const MirrorState start;
    for (int axis = 0; axis < 3; ++axis) {
        mirror.on[axis] = ini.GetInt(kMirrorKeys[axis], 0) != 0;
        const uint32_t sum = ini.GetInt(kMirrorPlaneKeys[axis], start.sum[axis]);
        mirror.sum[axis] = sum <= 2 * (kGridSize - 1) ? static_cast<int32_t>(sum) : start.sum[axis];
    }
}

// Written once mirroring has been used: a settings file that never held the keys stays as it was.
void WriteMirror(IniStore& ini, const MirrorState& mirror) {
    const MirrorState start;
    bool used = ini.GetInt(kMirrorPlaneKeys[0], -1) != 0xFFFFFFFFu;
    for (int axis = 0; axis < 3; ++axis)
        used = used || mirror.on[axis] || mirror.sum[axis] != start.sum[axis];
    if (!used)
        return;
    for (int axis = 0; axis < 3; ++axis) {
        WriteInt(ini, kMirrorKeys[axis], mirror.on[axis] ? 1 : 0);
        WriteInt(ini, kMirrorPlaneKeys[axis], mirror.sum[axis]);
    }
}

}  // namespace

ColourDialogState::ColourDialogState() {
    for (uint32_t& colour : customColours)
        colour = 0x00FFFFFF;
}

int32_t ClientWidthForMode(int16_t windowMode) {
    return windowMode == 2 ? 1024 : 800;
}

int32_t ClientHeightForMode(int16_t windowMode) {
    return windowMode == 2 ? 768 : 600;
}

void ReadSettings(IniStore& ini, Settings& settings, Editor& editor) {
    settings.windowMode = static_cast<int16_t>(ini.GetInt("WINDOW_MODE", 1));
    if (settings.windowMode != 2)
        settings.windowMode = 1;
    settings.showCommand = static_cast<int32_t>(ini.GetInt("WINDOW_MAXIMIZED", kShowNormal));
    if (settings.showCommand != kShowMaximized && settings.showCommand != kShowNormal)
        settings.showCommand = kShowNormal;
    // Signed, as written: a panel once left above or left of the view comes back at the edge, not at the far corner.
    editor.paintWindow.x = static_cast<float>(static_cast<int32_t>(ini.GetInt("PWIN_X", 0)));
    editor.paintWindow.y = static_cast<float>(static_cast<int32_t>(ini.GetInt("PWIN_Y", 0)));
    editor.paintWindow.shown = ini.GetInt("PWIN_SHOW", 1) != 0;
    editor.statusWindow.shown = ini.GetInt("SWIN_SHOW", 1) != 0;
    ReadRgb(ini, "BGCOLOR_R", "BGCOLOR_G", "BGCOLOR_B", settings.background);
    ReadRgb(ini, "WFCOLOR_R", "WFCOLOR_G", "WFCOLOR_B", settings.wireframe);
    ini.GetString("PALETTE", "palette.bvp", settings.paletteName, kPaletteNameCapacity);
    ini.GetString("TEXTURE", "tex.bmp", settings.textureName, kTextureNameCapacity);
    settings.textureSource =
        ini.GetInt(kTextureFromSceneKey, 0) != 0 ? TextureNameSource::SceneFile : TextureNameSource::UserChoice;
    ReadMirror(ini, editor.mirror);
    char language[8];
    ini.GetString(kLanguageKey, "", language, sizeof(language));
    settings.language = std::strcmp(language, kEnglishValue) == 0 ? Language::English : Language::Japanese;
}

void WriteExitSettings(IniStore& ini, const Settings& settings, const Editor& editor) {
    WriteInt(ini, "WINDOW_MODE", settings.windowMode);
    WriteInt(ini, "WINDOW_MAXIMIZED", settings.showCommand);
    WriteInt(ini, "PWIN_X", TruncatePosition(editor.paintWindow.x));
    WriteInt(ini, "PWIN_Y", TruncatePosition(editor.paintWindow.y));
    WriteInt(ini, "PWIN_SHOW", editor.paintWindow.shown ? 1 : 0);
    WriteInt(ini, "SWIN_SHOW", editor.statusWindow.shown ? 1 : 0);
    ini.WriteString("TEXTURE", settings.textureName);
    // Only a name read from a scene is marked; a mark left by an earlier run is cleared, and a settings file that
    // never held such a name stays as it was.
    const bool fromScene = settings.textureSource == TextureNameSource::SceneFile;
    if (fromScene || ini.GetInt(kTextureFromSceneKey, 0) != 0)
        WriteInt(ini, kTextureFromSceneKey, fromScene ? 1 : 0);
    WriteMirror(ini, editor.mirror);
    WriteLanguageSetting(ini, settings);
}

void WriteLanguageSetting(IniStore& ini, const Settings& settings) {
    // A language read from the file, known or not, stays as the file has it until the user chooses one.
    if (settings.languageChosen)
        ini.WriteString(kLanguageKey, settings.language == Language::English ? kEnglishValue : kJapaneseValue);
}

bool TakeAddressLanguage(IniStore& ini, Settings& settings, const char* asked) {
    char kept[8];
    ini.GetString(kLanguageKey, "", kept, sizeof(kept));
    const bool english = std::strcmp(asked, kEnglishValue) == 0;
    if (kept[0] != '\0' || (!english && std::strcmp(asked, kJapaneseValue) != 0))
        return false;
    settings.language = english ? Language::English : Language::Japanese;
    settings.languageChosen = true;
    WriteLanguageSetting(ini, settings);
    return true;
}

void WriteColourSettings(IniStore& ini, const Settings& settings) {
    WriteInt(ini, "BGCOLOR_R", settings.background.red);
    WriteInt(ini, "BGCOLOR_G", settings.background.green);
    WriteInt(ini, "BGCOLOR_B", settings.background.blue);
    WriteInt(ini, "WFCOLOR_R", settings.wireframe.red);
    WriteInt(ini, "WFCOLOR_G", settings.wireframe.green);
    WriteInt(ini, "WFCOLOR_B", settings.wireframe.blue);
}

RgbSetting BackgroundColour(const Settings& settings, const ColourDialogState& dialog) {
    return dialog.open ? dialog.savedBackground : settings.background;
}

RgbSetting WireframeColour(const Settings& settings, const ColourDialogState& dialog) {
    return dialog.open ? dialog.savedWireframe : settings.wireframe;
}

uint32_t ClearColour(const RgbSetting& colour) {
    return 0xFF000000u | (static_cast<uint32_t>(colour.red) & 0xFF) << 16 |
           (static_cast<uint32_t>(colour.green) & 0xFF) << 8 | (static_cast<uint32_t>(colour.blue) & 0xFF);
}
