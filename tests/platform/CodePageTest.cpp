#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <iconv.h>
#include <random>

using platform::FromCodePage;
using platform::ToCodePage;

TEST(CodePage, JapaneseTextRoundTripsThroughCp932)
{
    const QString text = QString::fromUtf8("番組リストファイルの形式が不正です。ｶﾀｶﾅ　全角～①");
    const QByteArray bytes = ToCodePage(text);
    // "番" is 0x94 0xD4 in CP932, the ideographic space 0x81 0x40, the wave dash of Windows 0x81 0x60
    EXPECT_TRUE(bytes.startsWith("\x94\xD4"));
    EXPECT_TRUE(bytes.contains("\x81\x40"));
    EXPECT_TRUE(bytes.contains("\x81\x60"));
    EXPECT_TRUE(bytes.contains("\xB6\xC0\xB6\xC5"));  // half-width katakana are single bytes
    EXPECT_EQ(text, FromCodePage(bytes));
    EXPECT_EQ(QString("plain ASCII [Prog1]\r\n"), FromCodePage("plain ASCII [Prog1]\r\n"));
}

TEST(CodePage, BytesThatDoNotDecodeBecomeReplacementCharacters)
{
    const QChar bad(0xFFFD);
    // 0xA0 and 0xFD..0xFF are no CP932 character
    EXPECT_EQ(QString("a") + bad + "b", FromCodePage("a\xA0" "b"));
    EXPECT_EQ(QString("x") + bad + bad + "y", FromCodePage("x\xFF\xFDy"));
    // a lead byte cut off at the end of the text
    EXPECT_EQ(QString("ab") + bad, FromCodePage("ab\x94"));
    // a lead byte followed by a byte that cannot follow it: the rest still decodes
    EXPECT_EQ(QString(bad) + "\nnext", FromCodePage("\x94\nnext"));
    EXPECT_EQ(QString(), FromCodePage(QByteArray()));
}

TEST(CodePage, CharactersCp932CannotHoldBecomeQuestionMarks)
{
    EXPECT_EQ(QByteArray("a?b"), ToCodePage(QString::fromUtf8("aéb").replace(u'é', QChar(0x0101))));
    // a character outside the BMP is one character, so one "?"
    EXPECT_EQ(QByteArray("x?y"), ToCodePage(QString::fromUtf8("x😀y")));
    // a lone surrogate
    QString lone = "p";
    lone += QChar(0xD800);
    lone += "q";
    EXPECT_EQ(QByteArray("p?q"), ToCodePage(lone));
    EXPECT_EQ(QByteArray(), ToCodePage(QString()));
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
    // runs of lead bytes, trail bytes and ASCII, as text and as noise
    std::mt19937 random(932);
    for (int n = 0; n < 20000; ++n) {
        QByteArray bytes(qsizetype(random() % 24), Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random() % 3 == 0 ? 0x81 + random() % 0x1F : random() % 256);
        ASSERT_EQ(convertedBySystem(bytes), FromCodePage(bytes)) << bytes.toHex().toStdString();
    }
}
