// The settings file in the browser: section "SYSTEM" kept in the page's local storage, one entry a key, named
// "SYSTEM/KEY" (as "SYSTEM/WINDOW_MODE"), read and written by the settings rules as the INI file is. Plain C++:
// the unit tests drive it natively.
#pragma once

#include <cstdint>
#include <string>

#include "editor/document/settings.h"

// Text the browser keeps under a name.
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;
    // False when nothing is kept under the name.
    virtual bool Get(const char* name, std::string& value) = 0;
    virtual void Set(const char* name, const char* value) = 0;
};

// An integer as the profile reader takes it: blanks, a sign and decimal digits up to the first other character
// (none give 0), wrapping at 32 bits.
uint32_t ParseProfileInt(const char* text);

class StorageIniStore final : public IniStore {
public:
    explicit StorageIniStore(KeyValueStore& store) : store_(store) {}
    // A key missing or kept empty gives the default.
    uint32_t GetInt(const char* key, int32_t defaultValue) override;
    // Cut to capacity - 1 characters, as the profile reader cuts what does not fit its buffer.
    void GetString(const char* key, const char* defaultValue, char* buffer, int capacity) override;
    void WriteString(const char* key, const char* value) override;

private:
    std::string Name(const char* key) const;
    KeyValueStore& store_;
};
