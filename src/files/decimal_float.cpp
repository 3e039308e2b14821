#include "files/decimal_float.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The length of word at p, letter case ignored, or 0 when it is not there.
size_t Matches(const char* p, const char* last, const char* word) {
    const size_t n = std::strlen(word);
    if (static_cast<size_t>(last - p) < n)
        return 0;
    for (size_t i = 0; i < n; ++i) {
        if (Lower(p[i]) != word[i])
            return 0;
    }
    return n;
}

// Powers of ten a float holds exactly: 5^10 still fits in its 24 bits.
constexpr float kExactPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr int kMaxExactPower = 10;
constexpr uint32_t kExactMantissaLimit = 1u << 24;
constexpr int kFastDigits = 7;  // below 2^24 whatever they are

}  // namespace

DecimalResult ParseDecimalFloat(const char* first, const char* last, float& value, const char** end) {
    *end = first;
    const char* p = first;
    const bool minus = p < last && *p == '-';
    if (minus)
        ++p;

    if (const size_t n = Matches(p, last, "inf")) {
        p += n;
        p += Matches(p, last, "inity");
        value = minus ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
        *end = p;
        return DecimalResult::Ok;
    }
    if (const size_t n = Matches(p, last, "nan")) {
        p += n;
        // nan(chars) takes the parenthesis only when it closes around letters, digits and underscores.
        if (p < last && *p == '(') {
            const char* q = p + 1;
            while (q < last && (IsDigit(*q) || (Lower(*q) >= 'a' && Lower(*q) <= 'z') || *q == '_'))
                ++q;
            if (q < last && *q == ')')
                p = q + 1;
        }
        value = minus ? -std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::quiet_NaN();
        *end = p;
        return DecimalResult::Ok;
    }

    // The digits: the first seven significant ones gathered for the exact path, with the power of ten they
    // stand for; a nonzero digit beyond them leaves the number to the library.
    uint32_t mantissa = 0;
    int significant = 0;
    int exponent = 0;
    bool anyDigit = false;
    bool exact = true;
    auto take = [&](char c, bool fraction) {
        anyDigit = true;
        if (significant == 0 && c == '0') {
            exponent -= fraction ? 1 : 0;  // a leading zero only moves the point
            return;
        }
        if (significant < kFastDigits) {
            mantissa = mantissa * 10 + static_cast<uint32_t>(c - '0');
            exponent -= fraction ? 1 : 0;
        } else {
            exponent += fraction ? 0 : 1;
            exact = exact && c == '0';
        }
        ++significant;
    };
    for (; p < last && IsDigit(*p); ++p)
        take(*p, false);
    if (p < last && *p == '.') {
        for (++p; p < last && IsDigit(*p); ++p)
            take(*p, true);
    }
    if (!anyDigit)
        return DecimalResult::Invalid;
    // An exponent counts only with digits after it.
    if (p < last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool negative = false;
        if (q < last && (*q == '+' || *q == '-'))
            negative = *q++ == '-';
        if (q < last && IsDigit(*q)) {
            int written = 0;
            for (; q < last && IsDigit(*q); ++q)
                written = written < 100000 ? written * 10 + (*q - '0') : written;
            exponent += negative ? -written : written;
            p = q;
        }
    }
    *end = p;

    if (mantissa == 0 && exact) {
        value = minus ? -0.0f : 0.0f;
        return DecimalResult::Ok;
    }
    // One rounding of exact operands: the float operation gives the nearest float, as the library would.
    if (exact && mantissa < kExactMantissaLimit && exponent >= -kMaxExactPower && exponent <= kMaxExactPower) {
        const float m = static_cast<float>(mantissa);
        const float v = exponent >= 0 ? m * kExactPowers[exponent] : m / kExactPowers[-exponent];
        value = minus ? -v : v;
        return DecimalResult::Ok;
    }

    // Anything else through the C library, which rounds correctly too; its decimal point follows the locale, so
    // the point is written the way the locale expects it.
    std::string text(first, p);
    const char* point = std::localeconv()->decimal_point;
    const size_t at = text.find('.');
    if (at != std::string::npos && point != nullptr && point[0] != '\0')
        text.replace(at, 1, point);
    errno = 0;
    char* stop = nullptr;
    const float v = std::strtof(text.c_str(), &stop);
    if (errno == ERANGE && (v == 0.0f || std::isinf(v)))
        return DecimalResult::OutOfRange;
    value = v;
    return DecimalResult::Ok;
}
