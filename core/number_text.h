#pragma once
// Numbers as the "%.Nf" family prints them, but independent of the process locale
// (a desktop program runs under the user's locale, whose decimal point may be a comma).

#include <string>

namespace sondara {

// "%.{decimals}f".
std::string FixedText(double value, int decimals);

// "%{width}.{decimals}f": right-aligned, padded with blanks to at least `width`.
std::string PaddedFixed(double value, int width, int decimals);

// `text` right-aligned: blanks before it up to at least `width` characters.
std::string RightAligned(std::string text, int width);

// "%{width}d".
std::string PaddedInt(long long value, int width);

}  // namespace sondara
