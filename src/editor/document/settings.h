// The preferences of section "SYSTEM" of Blokkenveld.ini: their defaults, the rules by which
// values are read, and the order in which they are written back.
#pragma once

#include <cstdint>

#include "text/texts.h"

struct Editor;

constexpr char kSettingsFileName[] = "Blokkenveld.ini";
constexpr char kSettingsSection[] = "SYSTEM";
constexpr int kShowMaximized = 3;
constexpr int kShowNormal = 5;
constexpr int kPaletteNameCapacity = 256;
constexpr int kTextureNameCapacity = 260;
// Nonzero when TEXTURE was read from a scene file; missing, as in files written before it, means the user's choice.
constexpr char kTextureFromSceneKey[] = "TEXTURE_FROM_SCENE";
// The language the user chose, and its two values.
constexpr char kLanguageKey[] = "LANGUAGE";
constexpr char kJapaneseValue[] = "ja";
constexpr char kEnglishValue[] = "en";

// The INI file as the settings code sees it; the shell backs it with the profile API, tests with a map.
class IniStore {
public:
    virtual ~IniStore() = default;
    // The platform's integer reading: missing keys give the default; negative text wraps as unsigned.
    virtual uint32_t GetInt(const char* key, int32_t defaultValue) = 0;
    virtual void GetString(const char* key, const char* defaultValue, char* buffer, int capacity) = 0;
    virtual void WriteString(const char* key, const char* value) = 0;
};

// Where a texture name comes from decides what may be opened: a name the user chose in the texture dialog may
// lie on another machine; one read from a scene file may not, since a file from elsewhere must not make the
// program reach out to a machine it names. A device is never opened. The settings file keeps which it is, so a
// name read from a scene keeps its rule at the next start.
enum class TextureNameSource { UserChoice, SceneFile };

struct RgbSetting {
    int32_t red = 0;  // stored as read; drawing uses the low 8 bits
    int32_t green = 0;
    int32_t blue = 0;
};

struct Settings {
    int16_t windowMode = 1;             // 1: 800 x 600 client area, 2: 1024 x 768
    int32_t showCommand = kShowNormal;  // 3 maximized, 5 normal; follows every resize
    RgbSetting background;
    RgbSetting wireframe;
    char paletteName[kPaletteNameCapacity] = "palette.bvp";
    char textureName[kTextureNameCapacity] = "tex.bmp";
    TextureNameSource textureSource = TextureNameSource::UserChoice;  // where textureName came from
    Language language = Language::Japanese;  // "LANGUAGE": "en" English; missing or anything else Japanese
    bool languageChosen = false;             // the user chose it in this run: only then is the key written
};

// The colour settings dialog's state. While it is open the view keeps the colours it opened with.
struct ColourDialogState {
    bool open = false;
    RgbSetting savedBackground;
    RgbSetting savedWireframe;
    uint32_t customColours[16];  // the chooser's custom colours, kept while the program runs

    ColourDialogState();
};

int32_t ClientWidthForMode(int16_t windowMode);
int32_t ClientHeightForMode(int16_t windowMode);

// Reads every key in start-up order; the four panel keys go straight into the editor.
void ReadSettings(IniStore& ini, Settings& settings, Editor& editor);
// Written by the main window's destroy handler: window, panels and texture (with where its name came from),
// never colours or palette.
void WriteExitSettings(IniStore& ini, const Settings& settings, const Editor& editor);
// The language the user chose, written at once by a program that may not see its own exit.
void WriteLanguageSetting(IniStore& ini, const Settings& settings);
// The language an address asks for on a first visit ("en" or "ja", from the page's "?lang="): taken as the user's
// choice when the settings keep none, and true. A kept language, or anything else asked, changes nothing.
bool TakeAddressLanguage(IniStore& ini, Settings& settings, const char* asked);
// Written when the colour settings dialog ends with OK.
void WriteColourSettings(IniStore& ini, const Settings& settings);

// Colour getters: the saved colours while the dialog is open, else the current ones.
RgbSetting BackgroundColour(const Settings& settings, const ColourDialogState& dialog);
RgbSetting WireframeColour(const Settings& settings, const ColourDialogState& dialog);
// 0xFF000000 | r << 16 | g << 8 | b from the low 8 bits of each component.
uint32_t ClearColour(const RgbSetting& colour);
