#include "narrow_text.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>

namespace sondara {

std::string NarrowCodeSet() {
    const std::string codeSet = nl_langinfo(CODESET);
    if (codeSet.empty() || codeSet == "ANSI_X3.4-1968" || codeSet == "ASCII" || codeSet == "US-ASCII") return "UTF-8";
    return codeSet;
}

namespace {

std::optional<std::string> Convert(std::string_view text, const std::string& fromCode, const std::string& toCode) {
    const iconv_t cd = iconv_open(toCode.c_str(), fromCode.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    char* in = const_cast<char*>(text.data());  // iconv's interface is not const-correct
    std::size_t inLeft = text.size();
    char buffer[256];
    bool ok = true;
    while (inLeft > 0) {
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &in, &inLeft, &to, &toLeft);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    if (ok) {  // a stateful code set may need its shift sequence back to the initial state
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        ok = iconv(cd, nullptr, nullptr, &to, &toLeft) != static_cast<std::size_t>(-1);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> Utf8ToCodeSet(std::string_view utf8, const std::string& codeSet) {
    return Convert(utf8, "UTF-8", codeSet);
}

std::optional<std::string> CodeSetToUtf8(std::string_view text, const std::string& codeSet) {
    return Convert(text, codeSet, "UTF-8");
}

}  // namespace sondara
