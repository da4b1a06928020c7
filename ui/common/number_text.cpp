#include "ui/common/number_text.h"

#include <charconv>
#include <cstdio>
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

// The C library's formatting, which rounds the exact binary value as printf does
// everywhere else in the program (the program keeps LC_NUMERIC at "C").
QString Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return QString::fromLatin1(text);
}

}  // namespace ui_text
