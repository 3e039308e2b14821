// Helpers for the file tests: a temporary folder, bitmaps built byte by byte, a file system whose writes can
// be made to fail at each step, and scripted dialogs and boxes for the document commands.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/document/document_commands.h"
#include "editor/document/settings.h"
#include "files/file_system.h"

class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("blokkenveld_" + std::string(info->name()) + "_" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    std::string Directory() const { return path_.string() + "/"; }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    size_t Count() const { return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path_), {})); }

private:
    std::filesystem::path path_;
};

// A Windows bitmap: 14-byte file header, 40-byte info header, an optional colour table, the rows.
struct BitmapBuilder {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 24;
    uint32_t infoSize = 40;
    uint32_t compression = 0;
    uint32_t tableEntries = 0;    // written colour table entries (8 bits); 0 leaves the "used" field 0 and writes 256
    std::vector<uint32_t> table;  // 0xRRGGBB entries
    std::vector<uint8_t> rows;    // stored rows, padding included

    std::string Bytes() const {
        const uint32_t entries = bits == 8 ? (tableEntries == 0 ? 256 : tableEntries) : 0;
        const uint32_t offset = 14 + infoSize + entries * 4;
        std::string out(offset, '\0');
        auto put16 = [&out](size_t at, uint32_t v) {
            out[at] = static_cast<char>(v);
            out[at + 1] = static_cast<char>(v >> 8);
        };
        auto put32 = [&](size_t at, uint32_t v) {
            put16(at, v);
            put16(at + 2, v >> 16);
        };
        out[0] = 'B';
        out[1] = 'M';
        put32(2, offset + static_cast<uint32_t>(rows.size()));
        put32(10, offset);
        put32(14, infoSize);
        put32(18, static_cast<uint32_t>(width));
        put32(22, static_cast<uint32_t>(height));
        put16(26, 1);
        put16(28, bits);
        put32(30, compression);
        put32(46, tableEntries);
        for (uint32_t i = 0; i < entries && i < table.size(); ++i)
            put32(14 + infoSize + i * 4, table[i]);
        return out + std::string(rows.begin(), rows.end());
    }
};

// A file system over real files whose steps of a save can be made to fail.
class FaultyFileSystem : public StdFileSystem {
public:
    enum class Fault { None, Create, Write, Close, Replace };
    Fault fault = Fault::None;

    Handle CreateNew(const char* path) override {
        return fault == Fault::Create ? nullptr : StdFileSystem::CreateNew(path);
    }
    bool Write(Handle file, const uint8_t* data, size_t size) override {
        // A disk that fills up midway: half the bytes arrive.
        if (fault == Fault::Write) {
            StdFileSystem::Write(file, data, size / 2);
            return false;
        }
        return StdFileSystem::Write(file, data, size);
    }
    bool Close(Handle file) override { return StdFileSystem::Close(file) && fault != Fault::Close; }
    bool Replace(const char* from, const char* to) override {
        return fault != Fault::Replace && StdFileSystem::Replace(from, to);
    }
};

// Dialogs and boxes answered from a script; everything shown is recorded.
class ScriptedUi : public DocumentUi {
public:
    std::deque<Answer> saveAnswers;
    std::deque<bool> yesNoAnswers;
    std::deque<std::string> chosenFiles;  // "" cancels the dialog
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    std::vector<FileDialog> dialogs;
    std::vector<std::string> log;  // questions, errors and dialogs in the order they came
    std::string title = "Blokkenveld";

    Answer AskSaveChanges() override {
        questions.push_back("save changes");
        log.push_back("save changes");
        return Next(saveAnswers, Answer::Cancel);
    }
    bool AskYesNo(const char* text) override {
        questions.emplace_back(text);
        log.emplace_back(text);
        return Next(yesNoAnswers, false);
    }
    void ShowError(const char* text) override {
        errors.emplace_back(text);
        log.emplace_back(text);
    }
    bool ChooseFile(FileDialog dialog, bool, char (&name)[kPathCapacity]) override {
        dialogs.push_back(dialog);
        log.push_back("dialog");
        const std::string chosen = Next(chosenFiles, std::string());
        if (chosen.empty())
            return false;
        CopyPath(name, chosen.c_str());
        return true;
    }
    void SetTitle(const char* path) override {
        title = path == nullptr ? "Blokkenveld" : "Blokkenveld - " + std::string(path);
    }

private:
    template <typename T>
    static T Next(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

// Settings storage that holds nothing: every key reads as its default.
class NoIni : public IniStore {
public:
    uint32_t GetInt(const char*, int32_t defaultValue) override { return static_cast<uint32_t>(defaultValue); }
    void GetString(const char*, const char* defaultValue, char* buffer, int capacity) override {
        std::snprintf(buffer, static_cast<size_t>(capacity), "%s", defaultValue);
    }
    void WriteString(const char*, const char*) override {}
};

// How many times part occurs in text, overlaps included.
inline size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}
