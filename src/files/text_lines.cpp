#include "files/text_lines.h"

#include <cstring>
#include <limits>

#include "files/decimal_float.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipSpace(const char* p) {
    while (IsSpace(*p))
        ++p;
    return p;
}

}  // namespace

bool TextLines::Next(char* buffer, size_t capacity) {
    if (position_ >= size_)
        return false;
    const uint8_t* start = data_ + position_;
    const void* feed = std::memchr(start, '\n', size_ - position_);
    size_t length =
        feed != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(feed) - start) : size_ - position_;
    position_ += length + (feed != nullptr ? 1 : 0);
    if (length > 0 && start[length - 1] == '\r')
        --length;
    if (length > capacity - 1)
        length = capacity - 1;
    std::memcpy(buffer, start, length);
    buffer[length] = '\0';
    return true;
}

bool FirstWordIs(const char* line, const char* word) {
    const char* begin = SkipSpace(line);
    const char* end = begin;
    while (*end != '\0' && !IsSpace(*end))
        ++end;
    const size_t length = static_cast<size_t>(end - begin);
    return length == std::strlen(word) && std::memcmp(begin, word, length) == 0;
}

bool ScanInt(const char*& cursor, int32_t& out) {
    const char* p = SkipSpace(cursor);
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (!IsDigit(*p))
        return false;
    int64_t value = 0;
    for (; IsDigit(*p); ++p) {
        if (value <= int64_t{1} << 40)
            value = value * 10 + (*p - '0');
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        value = std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        value = std::numeric_limits<int32_t>::min();
    out = static_cast<int32_t>(value);
    cursor = p;
    return true;
}

bool ScanHex(const char*& cursor, uint32_t& out) {
    const char* p = SkipSpace(cursor);
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0)
        p += 2;
    if (HexDigit(*p) < 0)
        return false;
    uint32_t value = 0;
    for (int digit = HexDigit(*p); digit >= 0; digit = HexDigit(*++p))
        value = (value << 4) | static_cast<uint32_t>(digit);
    out = negative ? 0u - value : value;
    cursor = p;
    return true;
}

bool ScanReal(const char*& cursor, float& out) {
    const char* p = SkipSpace(cursor);
    const char* number = p;
    if (*p == '+')  // the decimal reader takes a minus sign but not a plus
        number = ++p;
    if (*p == '-')
        ++p;
    // A decimal number, inf or nan.
    if (!IsDigit(*p) && !(*p == '.' && IsDigit(p[1])) && *p != 'i' && *p != 'I' && *p != 'n' && *p != 'N')
        return false;
    float value = 0.0f;
    const char* end = number + std::strlen(number);
    const char* taken = number;
    const DecimalResult result = ParseDecimalFloat(number, end, value, &taken);
    if (result == DecimalResult::Invalid || taken == number)
        return false;
    // Out of range: as the C library does, a huge value becomes infinity and a tiny one zero.
    if (result == DecimalResult::OutOfRange) {
        const bool minus = *number == '-';
        const char* e = number;
        while (e < taken && *e != 'e' && *e != 'E')
            ++e;
        const bool tiny = e < taken && e[1] == '-';
        value = tiny ? 0.0f : std::numeric_limits<float>::infinity();
        if (minus)
            value = -value;
    }
    out = value;
    cursor = taken;
    return true;
}
