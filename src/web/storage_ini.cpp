#include "web/storage_ini.h"

#include <algorithm>
#include <cstring>

uint32_t ParseProfileInt(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    return negative ? 0u - value : value;
}

std::string StorageIniStore::Name(const char* key) const {
    return std::string(kSettingsSection) + "/" + key;
}

uint32_t StorageIniStore::GetInt(const char* key, int32_t defaultValue) {
    std::string value;
    if (!store_.Get(Name(key).c_str(), value) || value.empty())
        return static_cast<uint32_t>(defaultValue);
    return ParseProfileInt(value.c_str());
}

void StorageIniStore::GetString(const char* key, const char* defaultValue, char* buffer, int capacity) {
    if (capacity <= 0)
        return;
    std::string value;
    const char* text = store_.Get(Name(key).c_str(), value) ? value.c_str() : defaultValue;
    const size_t length = std::min(std::strlen(text), static_cast<size_t>(capacity - 1));
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

void StorageIniStore::WriteString(const char* key, const char* value) {
    store_.Set(Name(key).c_str(), value);
}
