// The decimal reader against the standard library's own from_chars, which this native build has: the same
// characters taken, the same bits, the same out-of-range answers.
#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "files/decimal_float.h"

namespace {

void ExpectSameAsLibrary(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    float expected = -7.0f, actual = -7.0f;
    const std::from_chars_result reference = std::from_chars(first, last, expected, std::chars_format::general);
    const char* end = nullptr;
    const DecimalResult result = ParseDecimalFloat(first, last, actual, &end);
    if (reference.ec == std::errc::invalid_argument) {
        EXPECT_EQ(result, DecimalResult::Invalid) << text;
        EXPECT_EQ(end, first) << text;
        return;
    }
    EXPECT_EQ(end - first, reference.ptr - first) << text;
    if (reference.ec == std::errc::result_out_of_range) {
        EXPECT_EQ(result, DecimalResult::OutOfRange) << text;
        EXPECT_EQ(actual, -7.0f) << text;
        return;
    }
    ASSERT_EQ(result, DecimalResult::Ok) << text;
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << text;
        EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << text;
        return;
    }
    uint32_t a = 0, b = 0;
    std::memcpy(&a, &actual, 4);
    std::memcpy(&b, &expected, 4);
    EXPECT_EQ(a, b) << text << " gives " << actual << ", the library " << expected;
}

}  // namespace

TEST(DecimalFloat, TakesWhatTheLibraryTakes) {
    for (const char* text : {"100",
                             "-100.5",
                             "0",
                             "-0",
                             "0.000",
                             ".5",
                             "5.",
                             "1.e5",
                             ".",
                             "-",
                             "-.",
                             "e5",
                             "1e",
                             "1e+",
                             "1e-x",
                             "1E+3x",
                             "0x10",
                             "00012.50",
                             "inf",
                             "-INFINITY",
                             "infinit",
                             "nan",
                             "NaN(abc_1)",
                             "nan(",
                             "nan(a b)",
                             "3.4028235e38",
                             "3.4028236e38",
                             "4e38",
                             "1e39",
                             "1e-38",
                             "1e-40",
                             "1e-45",
                             "1.5e-45",
                             "7e-46",
                             "7.1e-46",
                             "1e-46",
                             "16777217",
                             "16777216.5",
                             "0.1",
                             "0.30000001192092896",
                             "123456789012345678901234567890",
                             "1e100000000000",
                             "1e-100000000000",
                             "0e999",
                             "100.5 100.5",
                             "-1.17549435e-38"})
        ExpectSameAsLibrary(text);
}

TEST(DecimalFloat, RoundsEveryRandomNumberAsTheLibraryDoes) {
    std::mt19937 random(1234);
    const char pieces[] = "0123456789";
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        if (random() % 4 == 0)
            text += '-';
        const int whole = static_cast<int>(random() % 12);
        for (int d = 0; d < whole; ++d)
            text += pieces[random() % 10];
        if (random() % 2 == 0) {
            text += '.';
            const int fraction = static_cast<int>(random() % 14);
            for (int d = 0; d < fraction; ++d)
                text += pieces[random() % 10];
        }
        if (random() % 3 == 0) {
            text += random() % 2 ? 'e' : 'E';
            if (random() % 2)
                text += random() % 2 ? '-' : '+';
            text += std::to_string(random() % 50);
        }
        ExpectSameAsLibrary(text);
        if (HasFailure())
            return;
    }
}

// Half-way cases between floats, where a second rounding through double would go wrong.
TEST(DecimalFloat, HalfWayNumbersRoundToEven) {
    for (uint32_t bits : {0x3F800001u, 0x4B7FFFFFu, 0x00000001u, 0x7F7FFFFEu, 0x3DCCCCCDu}) {
        float low = 0.0f, high = 0.0f;
        std::memcpy(&low, &bits, 4);
        const uint32_t next = bits + 1;
        std::memcpy(&high, &next, 4);
        char text[64];
        std::snprintf(text, sizeof(text), "%.40g", (static_cast<double>(low) + static_cast<double>(high)) / 2.0);
        ExpectSameAsLibrary(text);
    }
}

// The point is a point whatever the locale says, even where the library is asked for a comma.
TEST(DecimalFloat, LocaleDoesNotChangeThePoint) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr && std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma here";
    float value = 0.0f;
    const char text[] = "0.123456789123";
    const char* end = nullptr;
    EXPECT_EQ(ParseDecimalFloat(text, text + std::strlen(text), value, &end), DecimalResult::Ok);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(end, text + std::strlen(text));
    EXPECT_FLOAT_EQ(value, 0.123456789123f);
}
