#include "ui/common/number_text.h"

#include <charconv>
#include <string>

namespace ui_text {

double LeadingNumber(const QString& text) {
    const std::string bytes = text.toStdString();
    const char* first = bytes.data();
    const char* last = first + bytes.size();
    while (first != last && (*first == ' ' || *first == '\t')) ++first;
    double value = 0;
    if (std::from_chars(first, last, value).ec != std::errc{}) return 0;
    return value;
}

float LeadingFloat(const QString& text) { return static_cast<float>(LeadingNumber(text)); }

bool OnlyNumberCharacters(const QString& text, bool allowBlanks) {
    for (QChar c : text) {
        const bool ok = (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || (allowBlanks && c == u' ');
        if (!ok) return false;
    }
    return true;
}

}  // namespace ui_text
