#include "number_text.h"

#include <charconv>

namespace sondara {

std::string RightAligned(std::string text, int width) {
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string FixedText(double value, int decimals) {
    char text[400];  // the largest double has 309 digits before the point
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, r.ptr);
}

std::string PaddedFixed(double value, int width, int decimals) {
    return RightAligned(FixedText(value, decimals), width);
}

std::string PaddedInt(long long value, int width) { return RightAligned(std::to_string(value), width); }

}  // namespace sondara
