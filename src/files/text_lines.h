// The program's text files as its readers take them: one line at a time on the real line ends, and the
// numbers on a line scanned as printf-style readers scan them ("%d", "%x", "%f"), whatever the locale.
#pragma once

#include <cstddef>
#include <cstdint>

class TextLines {
public:
    TextLines(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Copies the next line into buffer without its line feed (nor a carriage return before it), cut to
    // capacity - 1 characters and terminated; the rest of a longer line is skipped. False at the end.
    bool Next(char* buffer, size_t capacity);

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// True when the first whitespace-delimited word of line is exactly word.
bool FirstWordIs(const char* line, const char* word);

// Each scanner skips leading white space, reads one number, advances cursor past it and returns true; on
// anything that is not such a number it returns false and leaves cursor and out alone. A NUL ends the line.
// "%d": an optional sign and decimal digits; values beyond 32 bits are held at the nearest limit.
bool ScanInt(const char*& cursor, int32_t& out);
// "%x": an optional sign, an optional 0x, hexadecimal digits; the low 32 bits, negated for a minus sign.
bool ScanHex(const char*& cursor, uint32_t& out);
// "%f": an optional sign, then a decimal number with an optional exponent, or inf or nan; a point is always
// the decimal separator.
bool ScanReal(const char*& cursor, float& out);
