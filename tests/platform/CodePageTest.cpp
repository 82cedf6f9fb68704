#include "platform/CodePage.h"

#include <gtest/gtest.h>

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
