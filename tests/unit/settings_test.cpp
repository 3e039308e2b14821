#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "editor/document/command_line.h"
#include "editor/editor.h"
#include "editor/document/settings.h"
#include "files/file_system.h"

namespace {

// Keys held as the file would hold their text; integers parse like the platform's profile reader.
class MapIni : public IniStore {
public:
    std::map<std::string, std::string> values;
    std::vector<std::string> writeOrder;

    uint32_t GetInt(const char* key, int32_t defaultValue) override {
        const auto found = values.find(key);
        if (found == values.end())
            return static_cast<uint32_t>(defaultValue);
        return static_cast<uint32_t>(std::stoll(found->second));
    }
    void GetString(const char* key, const char* defaultValue, char* buffer, int capacity) override {
        const auto found = values.find(key);
        std::strncpy(buffer, found == values.end() ? defaultValue : found->second.c_str(), capacity - 1);
        buffer[capacity - 1] = '\0';
    }
    void WriteString(const char* key, const char* value) override {
        values[key] = value;
        writeOrder.emplace_back(key);
    }
};

}  // namespace

TEST(Settings, DefaultsWithoutAFile) {
    MapIni ini;
    Settings settings;
    auto editor = std::make_unique<Editor>();
    ReadSettings(ini, settings, *editor);
    EXPECT_EQ(settings.windowMode, 1);
    EXPECT_EQ(settings.showCommand, kShowNormal);
    EXPECT_EQ(editor->paintWindow.x, 0.0f);
    EXPECT_TRUE(editor->paintWindow.shown);
    EXPECT_TRUE(editor->statusWindow.shown);
    EXPECT_EQ(settings.background.red, 0);
    EXPECT_STREQ(settings.paletteName, "palette.bvp");
    EXPECT_STREQ(settings.textureName, "tex.bmp");
    EXPECT_EQ(settings.textureSource, TextureNameSource::UserChoice);
    EXPECT_EQ(ClientWidthForMode(settings.windowMode), 800);
    EXPECT_EQ(ClientHeightForMode(settings.windowMode), 600);
}

TEST(Settings, ReadingRules) {
    struct Case {
        const char* mode;
        int16_t expectedMode;
        const char* maximized;
        int32_t expectedShow;
    };
    const Case cases[] = {
        {"2", 2, "3", 3},  {"7", 1, "5", 5},      {"0", 1, "4", 5},
        {"-2", 1, "1", 5}, {"65538", 2, "-3", 5},  // held as 16 bits: 65538 is 2
    };
    for (const Case& c : cases) {
        MapIni ini;
        ini.values = {{"WINDOW_MODE", c.mode}, {"WINDOW_MAXIMIZED", c.maximized}};
        Settings settings;
        auto editor = std::make_unique<Editor>();
        ReadSettings(ini, settings, *editor);
        EXPECT_EQ(settings.windowMode, c.expectedMode) << c.mode;
        EXPECT_EQ(settings.showCommand, c.expectedShow) << c.maximized;
    }
}

TEST(Settings, PanelAndColourKeysAreTakenAsRead) {
    MapIni ini;
    ini.values = {{"PWIN_X", "5000"},   {"PWIN_Y", "-1"},    {"PWIN_SHOW", "0"},   {"SWIN_SHOW", "7"},
                  {"BGCOLOR_R", "300"}, {"BGCOLOR_G", "-1"}, {"WFCOLOR_B", "255"}, {"PALETTE", "C:\\p\\x.bvp"}};
    Settings settings;
    auto editor = std::make_unique<Editor>();
    ReadSettings(ini, settings, *editor);
    EXPECT_EQ(editor->paintWindow.x, 5000.0f);
    EXPECT_EQ(editor->paintWindow.y, -1.0f);  // read signed, as written
    EXPECT_FALSE(editor->paintWindow.shown);
    EXPECT_TRUE(editor->statusWindow.shown);
    EXPECT_EQ(settings.background.red, 300);
    EXPECT_EQ(settings.background.green, -1);
    EXPECT_EQ(settings.wireframe.blue, 255);
    EXPECT_STREQ(settings.paletteName, "C:\\p\\x.bvp");
    // The view takes the low 8 bits: 300 clears with red 44.
    EXPECT_EQ(ClearColour(settings.background), 0xFF2CFF00u);
    for (const int32_t width : {800, 120}) {  // placed in view, the title strip too where the view is smaller
        PlacePaintWindow(*editor, width, width == 800 ? 600 : 360);
        EXPECT_EQ(editor->paintWindow.y, 0.0f);
    }
}

TEST(Settings, ExitWritesSevenKeysInOrderAndNeverColoursOrPalette) {
    MapIni ini;
    ini.values = {{"WINDOW_MODE", "7"}};
    Settings settings;
    auto editor = std::make_unique<Editor>();
    ReadSettings(ini, settings, *editor);
    editor->paintWindow.x = 12.9f;
    editor->paintWindow.y = 4294967296.0f;
    editor->statusWindow.shown = false;
    ini.writeOrder.clear();
    WriteExitSettings(ini, settings, *editor);
    const std::vector<std::string> order = {"WINDOW_MODE", "WINDOW_MAXIMIZED", "PWIN_X", "PWIN_Y",
                                            "PWIN_SHOW",   "SWIN_SHOW",        "TEXTURE"};
    EXPECT_EQ(ini.writeOrder, order);
    EXPECT_EQ(ini.values["WINDOW_MODE"], "1");
    EXPECT_EQ(ini.values["WINDOW_MAXIMIZED"], "5");
    EXPECT_EQ(ini.values["PWIN_X"], "12");
    // A position beyond any screen is held at the integer range instead of overflowing.
    EXPECT_EQ(ini.values["PWIN_Y"], "2147483647");
    EXPECT_EQ(ini.values["PWIN_SHOW"], "1");
    EXPECT_EQ(ini.values["SWIN_SHOW"], "0");
    EXPECT_EQ(ini.values["TEXTURE"], "tex.bmp");

    // Once mirroring is used its keys follow; it comes back as it was left, and a plane no two cells make is the
    // start cube's.
    editor->mirror.on[1] = true;
    editor->mirror.sum[1] = 397;
    ini.writeOrder.clear();
    WriteExitSettings(ini, settings, *editor);
    EXPECT_EQ(ini.writeOrder.size(), order.size() + 6);
    ini.values["MIRROR_PLANE_Z"] = "399";
    auto next = std::make_unique<Editor>();
    ReadSettings(ini, settings, *next);
    EXPECT_EQ(next->mirror.on[0], false);
    EXPECT_EQ(next->mirror.on[1], true);
    EXPECT_EQ(next->mirror.sum[1], 397);
    EXPECT_EQ(next->mirror.sum[2], 200);
}

// A texture name read from a scene keeps that rule at the next start; a mark left from an earlier run is cleared.
TEST(Settings, WhereTheTextureNameCameFromOutlivesTheRun) {
    MapIni ini;
    Settings settings, next;
    auto editor = std::make_unique<Editor>();
    settings.textureSource = TextureNameSource::SceneFile;
    WriteExitSettings(ini, settings, *editor);
    ReadSettings(ini, next, *editor);
    EXPECT_EQ(next.textureSource, TextureNameSource::SceneFile);
    next.textureSource = TextureNameSource::UserChoice;
    WriteExitSettings(ini, next, *editor);
    ReadSettings(ini, settings, *editor);
    EXPECT_EQ(settings.textureSource, TextureNameSource::UserChoice);
}

TEST(Settings, ColourKeysAndTheGettersWhileTheDialogIsOpen) {
    MapIni ini;
    Settings settings;
    settings.background = {1, 2, 3};
    settings.wireframe = {4, 5, 6};
    ColourDialogState dialog;
    for (uint32_t custom : dialog.customColours)
        EXPECT_EQ(custom, 0x00FFFFFFu);
    dialog.savedBackground = settings.background;
    dialog.savedWireframe = settings.wireframe;
    dialog.open = true;
    settings.background = {9, 9, 9};
    EXPECT_EQ(BackgroundColour(settings, dialog).red, 1);
    EXPECT_EQ(WireframeColour(settings, dialog).blue, 6);
    dialog.open = false;
    EXPECT_EQ(BackgroundColour(settings, dialog).red, 9);

    WriteColourSettings(ini, settings);
    const std::vector<std::string> order = {"BGCOLOR_R", "BGCOLOR_G", "BGCOLOR_B",
                                            "WFCOLOR_R", "WFCOLOR_G", "WFCOLOR_B"};
    EXPECT_EQ(ini.writeOrder, order);
    EXPECT_EQ(ini.values["WFCOLOR_G"], "5");
}

TEST(CommandLine, QuotesExtensionsAndLength) {
    struct Case {
        std::string line;
        CommandLineFile kind;
        std::string path;
    };
    const std::string longName = "C:\\" + std::string(300, 'a') + ".bvo";
    const Case cases[] = {
        {"", CommandLineFile::None, ""},
        {"\"C:\\my scenes\\house.bvo\"", CommandLineFile::Object, "C:\\my scenes\\house.bvo"},
        {"C:\\a\\pic.bmp", CommandLineFile::Bitmap, "C:\\a\\pic.bmp"},
        {"C:\\a\\HOUSE.BVO", CommandLineFile::None, "C:\\a\\HOUSE.BVO"},
        {"C:\\a\\pic.BMP", CommandLineFile::None, "C:\\a\\pic.BMP"},
        {"a.bvo b.bvo", CommandLineFile::Object, "a.bvo b.bvo"},  // one path, spaces kept
        {"a.bvo b.txt", CommandLineFile::None, "a.bvo b.txt"},
        {"C:\\dir.bvo\\noext", CommandLineFile::None, "C:\\dir.bvo\\noext"},
        {"x\"y\".b\"vo", CommandLineFile::Object, "xy.bvo"},
        {longName, CommandLineFile::None, longName.substr(0, 259)},
    };
    for (const Case& c : cases) {
        char path[kCommandLinePathCapacity];
        EXPECT_EQ(ParseCommandLine(StdFileSystem(), c.line.c_str(), path), c.kind) << c.line;
        EXPECT_EQ(std::string(path), c.path);
    }
}

// The language is Japanese unless the file says "en"; the key is written only once the user has chosen, so that a
// value this program does not know stays in the file as it was.
TEST(Settings, TheLanguageIsWrittenOnlyOnceChosenAndReadAsJapaneseUnlessEnglish) {
    auto editor = std::make_unique<Editor>();
    for (const char* value : {"", "ja", "fr", "EN", "en ", "english"}) {
        MapIni ini;
        if (value[0] != '\0')
            ini.values[kLanguageKey] = value;
        Settings settings;
        ReadSettings(ini, settings, *editor);
        EXPECT_EQ(settings.language, Language::Japanese) << value;
        WriteExitSettings(ini, settings, *editor);
        EXPECT_EQ(ini.values.count(kLanguageKey), value[0] != '\0' ? 1u : 0u) << value;
        if (value[0] != '\0') {
            EXPECT_EQ(ini.values[kLanguageKey], value);
        }
    }
    MapIni ini;
    ini.values[kLanguageKey] = "fr";
    Settings settings;
    ReadSettings(ini, settings, *editor);
    settings.language = Language::English;
    settings.languageChosen = true;
    WriteExitSettings(ini, settings, *editor);
    EXPECT_EQ(ini.values[kLanguageKey], "en");
    Settings next;
    ReadSettings(ini, next, *editor);
    EXPECT_EQ(next.language, Language::English);
    EXPECT_FALSE(next.languageChosen);
    next.language = Language::Japanese;
    next.languageChosen = true;
    WriteExitSettings(ini, next, *editor);
    EXPECT_EQ(ini.values[kLanguageKey], "ja");
}

// The page's "?lang=" on a first visit: taken and kept when the settings keep no language, and only "en" or "ja".
TEST(Settings, AnAddressLanguageIsTakenOnlyOnAFirstVisitAndOnlyWhenKnown) {
    const struct {
        const char* kept;  // "" for none
        const char* asked;
        bool taken;
        Language language;
    } cases[] = {{"", "en", true, Language::English},  {"", "ja", true, Language::Japanese},
                 {"", "", false, Language::Japanese},  {"", "EN", false, Language::Japanese},
                 {"", "e", false, Language::Japanese}, {"ja", "en", false, Language::Japanese},
                 {"en", "ja", false, Language::English}, {"fr", "en", false, Language::Japanese}};
    auto editor = std::make_unique<Editor>();
    for (const auto& c : cases) {
        MapIni ini;
        if (c.kept[0] != '\0')
            ini.values[kLanguageKey] = c.kept;
        Settings settings;
        ReadSettings(ini, settings, *editor);
        EXPECT_EQ(TakeAddressLanguage(ini, settings, c.asked), c.taken) << c.kept << " " << c.asked;
        EXPECT_EQ(settings.language, c.language) << c.kept << " " << c.asked;
        EXPECT_EQ(settings.languageChosen, c.taken);
        EXPECT_EQ(ini.values[kLanguageKey], c.taken ? c.asked : c.kept) << c.kept << " " << c.asked;
    }
}
