// Decimal numbers read exactly as std::from_chars reads them in the general format, for standard libraries
// that lack its floating-point form: the same characters taken, the same correctly rounded value, the same
// out-of-range results, whatever the locale.
#pragma once

enum class DecimalResult { Ok, Invalid, OutOfRange };

// Reads [-]digits[.digits][(e|E)[+|-]digits], ".digits" forms included, or inf, infinity, nan, nan(chars), letter
// case ignored, from first up to last. Sets *end past what was taken (first when nothing was). Invalid leaves value
// alone; OutOfRange, for a nonzero number that rounds to zero or beyond the largest float, also leaves it alone.
DecimalResult ParseDecimalFloat(const char* first, const char* last, float& value, const char** end);
