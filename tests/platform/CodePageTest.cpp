#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <iconv.h>

using platform::FromCodePage;
using platform::ToCodePage;

TEST(CodePage, JapaneseTextRoundTripsThroughCp932AndWhatItCannotHoldIsOneQuestionMark)
{
    const QString text = QString::fromUtf8("番組リスト ｶﾀｶﾅ　～①");
    // CP932's own codes: the ideographic space, the wave dash of Windows and the NEC circled digit
    const QByteArray bytes = "\x94\xd4\x91\x67\x83\x8a\x83\x58\x83\x67 \xb6\xc0\xb6\xc5\x81\x40\x81\x60\x87\x40";
    EXPECT_EQ(bytes, ToCodePage(text));
    EXPECT_EQ(text, FromCodePage(bytes));
    QString lacking = QString::fromUtf8("\u0101x😀y");  // a lone surrogate last
    lacking += QChar(0xD800);
    EXPECT_EQ(QByteArray("?x?y?"), ToCodePage(lacking));
}

namespace {

// The system's converter asked directly, a byte it cannot read becoming one U+FFFD and
// reading going on with the next byte: what the module's decoding must give, byte for byte.
QString convertedBySystem(const QByteArray& bytes)
{
    static const iconv_t cd = iconv_open("UTF-16LE", "CP932");
    QString result;
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char16_t units[64];
        char* out = reinterpret_cast<char*>(units);
        size_t outLeft = sizeof units;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd, &in, &inLeft, &out, &outLeft);
        result.append(reinterpret_cast<const QChar*>(units), qsizetype(sizeof units - outLeft) / 2);
        if (r == size_t(-1) && errno != E2BIG) {
            result.append(QChar(0xFFFD));
            ++in;
            --inLeft;
        }
    }
    return result;
}

}  // namespace

TEST(CodePage, DecodingAgreesWithTheSystemsConverterOnEveryByteAndPair)
{
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            // each pair alone, then with a byte after it that may begin a pair of its own
            const char pair[3] = {char(a), char(b), char(0x81)};
            for (const QByteArray& bytes : {QByteArray(pair, 2), QByteArray(pair, 3)})
                ASSERT_EQ(convertedBySystem(bytes), FromCodePage(bytes)) << std::hex << a << ' ' << b;
        }
        ASSERT_EQ(convertedBySystem(QByteArray(1, char(a))), FromCodePage(QByteArray(1, char(a)))) << std::hex << a;
    }
}
