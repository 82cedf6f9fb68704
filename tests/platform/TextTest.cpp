#include "platform/DialogTemplate.h"
#include "platform/Text.h"

#include <climits>
#include <gtest/gtest.h>

using namespace platform;

TEST(WtoiAndWtof, ReadTheLeadingNumberAsTheCLibraryDoes)
{
    const QList<std::pair<QString, int>> cases = {
        {" 12ab", 12}, {"+7", 7}, {"-3", -3}, {"abc", 0}, {"- 5", 0}, {"\t\n\v\f\r 42", 42},
        {QString::fromUtf8("１２"), 0},  // full-width digits are not digits here
        {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483649", INT_MIN},
        {"-99999999999999999999999999", INT_MIN},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(expected, _wtoi(text)) << text.toStdString();
    EXPECT_DOUBLE_EQ(-2.5e3, _wtof(" -2.5e3xyz"));
    EXPECT_DOUBLE_EQ(0.0, _wtof("abc"));
    EXPECT_DOUBLE_EQ(3.0, _wtof(QString::fromUtf8("3．5")));  // the full-width point ends the number
}

TEST(MulDiv, RoundsHalfAwayFromZeroWithAWideIntermediate)
{
    const int cases[][4] = {
        {5, 100, 0, -1}, {1, 100, 3, 33}, {2, 100, 3, 67}, {5, 1, 2, 3}, {-5, 1, 2, -3}, {5, 1, -2, -3},
        {2000000000, 3, 4, 1500000000},  // the product does not fit in 32 bits, the result does
        {INT_MAX, 2, 1, -1}, {INT_MIN, 1, 1, -1},  // a result beyond int is an error, as on Windows
    };
    for (const auto& c : cases)
        EXPECT_EQ(c[3], MulDiv(c[0], c[1], c[2])) << c[0] << '*' << c[1] << '/' << c[2];
}

TEST(DialogTemplate, TitleAndControlTextsReadTheirEscapes)
{
    const QList<DialogTemplate> dialogs = ParseDialogTemplates("dialog\t130\t200\t80\tcaption\tA\\tB\\\\C\\D\n"
                                                               "1\tstatic\t4\t6\t90\t20\t\tx\\r\\ny\n");
    ASSERT_EQ(1, dialogs.size());
    EXPECT_EQ("A\tB\\C\\D", dialogs[0].title);
    ASSERT_EQ(1, dialogs[0].controls.size());
    EXPECT_EQ("x\r\ny", dialogs[0].controls[0].text);
}
