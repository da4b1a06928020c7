#pragma once
// Hole names are counted in UTF-16 code units (the survey file keeps 12 of them),
// so they are held as UTF-16 and converted at the edges that speak UTF-8.

#include <string>
#include <string_view>

namespace sondara {

// Decodes the code point of the UTF-8 sequence at `i` and advances `i` past it; an
// invalid sequence gives U+FFFD.
char32_t NextCodePoint(std::string_view s, std::size_t& i);

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace sondara
