// The settings file's reading rules and the command line: whatever the file or the line holds, the values
// come out within their rules.
#include <memory>
#include <string>

#include "editor/document/command_line.h"
#include "editor/editor.h"
#include "editor/document/settings.h"
#include "fuzz_support.h"

namespace {

// Each line of the input is one key's text, in the order the settings are read; integers as the profile
// reading does it: a leading number, wrapped to 32 bits, the default when there is none.
class TextIni : public IniStore {
public:
    std::vector<std::string> lines;
    size_t next = 0;

    uint32_t GetInt(const char*, int32_t defaultValue) override {
        const std::string text = Next();
        if (text.empty())
            return static_cast<uint32_t>(defaultValue);
        uint32_t value = 0;
        size_t i = text[0] == '-' ? 1 : 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            value = value * 10 + static_cast<uint32_t>(text[i] - '0');
        return text[0] == '-' ? 0u - value : value;
    }
    void GetString(const char*, const char* defaultValue, char* buffer, int capacity) override {
        const std::string text = Next();
        std::snprintf(buffer, static_cast<size_t>(capacity), "%s", text.empty() ? defaultValue : text.c_str());
    }
    void WriteString(const char*, const char*) override {}

private:
    std::string Next() { return next < lines.size() ? lines[next++] : std::string(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    static auto editor = std::make_unique<Editor>();
    TextIni ini;
    size_t start = 0;
    for (size_t end; (end = input.find('\n', start)) != std::string::npos; start = end + 1)
        ini.lines.push_back(input.substr(start, end - start));
    ini.lines.push_back(input.substr(start));
    Settings settings;
    ReadSettings(ini, settings, *editor);
    FUZZ_CHECK(settings.windowMode == 1 || settings.windowMode == 2);
    FUZZ_CHECK(settings.showCommand == kShowMaximized || settings.showCommand == kShowNormal);
    FUZZ_CHECK(std::strlen(settings.paletteName) < sizeof(settings.paletteName));
    FUZZ_CHECK(std::strlen(settings.textureName) < sizeof(settings.textureName));

    const std::string line = input.substr(0, input.find('\0'));
    char path[kCommandLinePathCapacity];
    ParseCommandLine(StdFileSystem(), line.c_str(), path);
    FUZZ_CHECK(std::strlen(path) < kCommandLinePathCapacity && std::strchr(path, '"') == nullptr);
    return 0;
}
