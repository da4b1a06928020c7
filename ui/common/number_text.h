#pragma once
// Numbers typed into cells: read as far as the text forms a decimal number, the way
// the survey tables always have, independent of the user's locale.

#include <QString>

namespace ui_text {

// The decimal number at the start of `text` (after leading blanks); 0 when none.
double LeadingNumber(const QString& text);
float LeadingFloat(const QString& text);

// Whether every character is a digit, '.', '-' or, when allowed, a blank.
bool OnlyNumberCharacters(const QString& text, bool allowBlanks);

}  // namespace ui_text
