#include "platform/Text.h"

#include <climits>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace platform {
namespace {

bool isCSpace(char16_t u) { return u == ' ' || (u >= '\t' && u <= '\r'); }

// as the C library's _wtoi, over text of either width
template <typename Text>
int toInt(const Text& text)
{
    const auto at = [&](qsizetype i) { return QChar(text[i]).unicode(); };
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isCSpace(at(i)))
        ++i;
    bool negative = false;
    if (i < n && (at(i) == u'+' || at(i) == u'-')) {
        negative = at(i) == u'-';
        ++i;
    }
    // accumulate as a negative number so that INT_MIN itself is reachable
    long long value = 0;
    for (; i < n && at(i) >= u'0' && at(i) <= u'9'; ++i) {
        value = value * 10 - (at(i) - u'0');
        if (value < static_cast<long long>(INT_MIN) - 1)
            value = static_cast<long long>(INT_MIN) - 1;  // saturated; the clamp below decides
    }
    if (negative)
        return value < INT_MIN ? INT_MIN : static_cast<int>(value);
    return -value > INT_MAX ? INT_MAX : static_cast<int>(-value);
}

}  // namespace

int _wtoi(const QString& text) { return toInt(text); }
int _wtoi(QLatin1StringView text) { return toInt(text); }

double _wtof(const QString& text)
{
    // strtod reads only ASCII; the first other character ends the number anyway
    QByteArray ascii;
    ascii.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() == 0 || c.unicode() > 0x7F)
            break;
        ascii.append(static_cast<char>(c.unicode()));
    }
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(ascii.constData(), nullptr, cLocale);
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    long long product = static_cast<long long>(number) * numerator;
    long long divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const long long half = divisor / 2;
    const long long result = product < 0 ? (product - half) / divisor : (product + half) / divisor;
    if (result > INT_MAX || result < -INT_MAX)
        return -1;
    return static_cast<int>(result);
}

QString EscapeLineText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\')
            out += QLatin1String("\\\\");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

QString UnescapeLineText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (text[i] != u'\\' || (next != u'n' && next != u't' && next != u'r' && next != u'\\')) {
            out += text[i];
            continue;
        }
        out += next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next == u'r' ? QChar(u'\r') : next;
        ++i;
    }
    return out;
}

}  // namespace platform
