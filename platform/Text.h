#pragma once
// Number reading and scaling with the C library's semantics, as the module's
// callers rely on them (" 12ab" is 12, "abc" is 0, a divisor of 0 gives -1).
#include <QString>

namespace platform {

// Leading white space, an optional sign, then decimal digits up to the first
// other character. No digits give 0; a value beyond int is clamped to
// INT_MAX or INT_MIN, as the Windows C library does.
int _wtoi(const QString& text);
int _wtoi(QLatin1StringView text);

// The longest prefix that reads as a decimal (or hexadecimal, "inf", "nan")
// floating-point number, in the "C" locale; 0.0 when there is none.
double _wtof(const QString& text);

// number * numerator / denominator with a 64-bit intermediate, rounded half
// away from zero. -1 when the denominator is 0 or the result leaves int.
int MulDiv(int number, int numerator, int denominator);

// One-line text for tables and settings files: a backslash, CR and LF are
// written as two characters each (backslash and backslash, "r", "n"); reading
// also takes backslash "t", and keeps any other backslash as itself, so that
// a section name such as Dialog\Program stands as it is.
QString EscapeLineText(const QString& text);
QString UnescapeLineText(const QString& text);

}  // namespace platform
