#pragma once
// The system's narrow code page: on Linux the code set of the process locale
// (nl_langinfo(CODESET)), UTF-8 in a UTF-8 locale, GB18030 or GBK in a Chinese one.

#include <optional>
#include <string>
#include <string_view>

namespace sondara {

// The code set of the current locale. The C and POSIX locales name plain ASCII,
// which cannot carry a Chinese name at all; there UTF-8 is used.
std::string NarrowCodeSet();

// UTF-8 text in `codeSet`; nothing when a character has no form there or the code
// set is unknown.
std::optional<std::string> Utf8ToCodeSet(std::string_view utf8, const std::string& codeSet);

// Text in `codeSet` as UTF-8; nothing when the bytes are not valid there.
std::optional<std::string> CodeSetToUtf8(std::string_view text, const std::string& codeSet);

}  // namespace sondara
