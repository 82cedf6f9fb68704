#include "support/zvnreg/Registry.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
const QString kAuth = QStringLiteral("General\\Authentication");
const QString kUpload = QStringLiteral("Dialog\\CloudUpload");
}  // namespace

TEST(Registry, TextAndIntegersRoundTripUnderTheirSectionNamesAsWritten)
{
    TempEnvironment env;
    EXPECT_EQ(1, CRegistry::Write(kAuth, "AccessToken", "tok-123"));
    EXPECT_EQ(1, CRegistry::Write(kAuth, "UserName", QString::fromUtf8("星野 すばる")));
    EXPECT_EQ(1, CRegistry::Write(kUpload, "Location", 1));
    EXPECT_EQ(1, CRegistry::Write(kUpload, "Image", -7));

    QString text;
    int number = 0;
    EXPECT_EQ(1, CRegistry::Read(kAuth, "AccessToken", "", text));
    EXPECT_EQ("tok-123", text);
    EXPECT_EQ(1, CRegistry::Read(kAuth, "username", "", text));  // names ignore letter case
    EXPECT_EQ(QString::fromUtf8("星野 すばる"), text);
    EXPECT_EQ(1, CRegistry::Read(kUpload, "Location", 0, &number));
    EXPECT_EQ(1, number);
    EXPECT_EQ(1, CRegistry::Read(kUpload, "Image", 0, &number));
    EXPECT_EQ(-7, number);

    // the file shows the sections as the product names them, "General" included
    const QString file = QString::fromUtf8(TempEnvironment::ReadBytes(env.SettingsFile()));
    EXPECT_TRUE(file.contains("[General\\Authentication]\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("[Dialog\\CloudUpload]\n")) << file.toStdString();
    EXPECT_FALSE(file.contains('%'));
}

TEST(Registry, AnAbsentValueFailsAndYieldsTheDefault)
{
    TempEnvironment env;
    QString text = "untouched";
    int number = 0;
    EXPECT_EQ(0, CRegistry::Read("General\\ADF", "ADF1", "default", text));  // no file at all
    EXPECT_EQ("default", text);
    CRegistry::Write("General\\ADF", "ADF1", "");
    EXPECT_EQ(1, CRegistry::Read("General\\ADF", "ADF1", "default", text));  // empty is a value
    EXPECT_EQ("", text);
    EXPECT_EQ(0, CRegistry::Read("General\\ADF", "ADF2", "default", text));
    EXPECT_EQ(0, CRegistry::Read("General\\ADF", "ADF1", 5, &number));  // "" is no number
    EXPECT_EQ(5, number);
    EXPECT_EQ(0, CRegistry::Read("Other", "ADF1", 9, &number));
    EXPECT_EQ(9, number);
}

TEST(Registry, ValuesKeepLineBreaksAndBackslashesAndOtherValuesSurviveAWrite)
{
    TempEnvironment env;
    const QString awkward = "line one\r\nC:\\path\\n not a break\n[Fake]\nx=y";
    CRegistry::Write("Exchange", "ContentsLibrary", "item-42");
    CRegistry::Write("Exchange", "Awkward", awkward);
    CRegistry::Write("Exchange", "ContentsLibrary", "item-43");
    QString text;
    CRegistry::Read("Exchange", "Awkward", "", text);
    EXPECT_EQ(awkward, text);
    CRegistry::Read("Exchange", "ContentsLibrary", "", text);
    EXPECT_EQ("item-43", text);
    EXPECT_EQ(0, CRegistry::Read("Fake", "x", "", text));  // the value did not become a section
    // the file was replaced, so no temporary file is left beside it
    EXPECT_EQ(QStringList{"settings.ini"}, QDir(env.Path("config")).entryList(QDir::Files | QDir::Hidden));
}

TEST(Registry, NamesThatWouldBreakTheFileAreRefused)
{
    TempEnvironment env;
    EXPECT_EQ(0, CRegistry::Write("Sec]tion", "Name", "v"));
    EXPECT_EQ(0, CRegistry::Write("Section", "Na=me", "v"));
    EXPECT_EQ(0, CRegistry::Write("Section", "Na\nme", "v"));
    EXPECT_EQ(0, CRegistry::Write("", "Name", "v"));
}

TEST(Registry, AnUnwritableSettingsFolderFailsTheWrite)
{
    TempEnvironment env;
    qputenv("ZVN_SETTINGS_FILE", QFile::encodeName(env.Path("blocker/settings.ini")));
    ASSERT_TRUE(TempEnvironment::WriteBytes(env.Path("blocker"), "a file where the folder should be"));
    EXPECT_EQ(0, CRegistry::Write("Section", "Name", "v"));
}

TEST(Registry, WindowPlacementRoundTripsWithAndWithoutSize)
{
    TempEnvironment env;
    QWidget window;
    window.move(40, 60);
    window.resize(320, 200);
    ASSERT_EQ(1, CRegistry::Write("Dialog\\ContentsLibrary", "WindowPosSize", &window));

    QWidget restored;
    restored.resize(100, 100);
    int flag = 0;
    ASSERT_EQ(1, CRegistry::Read("Dialog\\ContentsLibrary", "WindowPosSize", &restored, &flag));
    EXPECT_EQ(QPoint(40, 60), restored.pos());
    EXPECT_EQ(QSize(100, 100), restored.size());  // flag 0: position only
    flag = 1;
    ASSERT_EQ(1, CRegistry::Read("Dialog\\ContentsLibrary", "WindowPosSize", &restored, &flag));
    EXPECT_EQ(QSize(320, 200), restored.size());

    QWidget untouched;
    untouched.move(5, 5);
    EXPECT_EQ(0, CRegistry::Read("Dialog\\ContentsLibrary", "Missing", &untouched, &flag));
    CRegistry::Write("Dialog\\ContentsLibrary", "Garbled", "1,2,three,4");
    EXPECT_EQ(0, CRegistry::Read("Dialog\\ContentsLibrary", "Garbled", &untouched, &flag));
    // a placement on a screen that is no longer there is not restored
    CRegistry::Write("Dialog\\ContentsLibrary", "FarAway", "90000,90000,300,200");
    EXPECT_EQ(0, CRegistry::Read("Dialog\\ContentsLibrary", "FarAway", &untouched, &flag));
    EXPECT_EQ(QPoint(5, 5), untouched.pos());
}

TEST(Registry, ValuesKeepTheirBlanksExactly)
{
    TempEnvironment env;
    for (const QString& value : {QStringLiteral("abc  "), QStringLiteral("   "), QStringLiteral("  x = y  ")}) {
        ASSERT_EQ(1, CRegistry::Write(kAuth, "VaroquinId", value));
        QString text;
        EXPECT_EQ(1, CRegistry::Read(kAuth, "VaroquinId", "", text));
        EXPECT_EQ(value, text);
    }
}

TEST(Registry, AFileTheStoreCannotReadIsNeverWrittenOver)
{
    TempEnvironment env;
    const QByteArray notUtf8 = "[General\\Authentication]\nAccessToken=\x93\xfa\x96\x7b\n";
    const QByteArray tooLarge(16 * 1024 * 1024 + 1, 'x');
    for (const QByteArray& bytes : {notUtf8, QByteArray("[A]\nB=\0C\n", 9), tooLarge}) {
        ASSERT_TRUE(TempEnvironment::WriteBytes(env.SettingsFile(), bytes));
        EXPECT_EQ(0, CRegistry::Write(kAuth, "UserName", "new"));
        EXPECT_EQ(bytes, TempEnvironment::ReadBytes(env.SettingsFile()));
        QString text;
        EXPECT_EQ(0, CRegistry::Read(kAuth, "AccessToken", "default", text));
        EXPECT_EQ("default", text);
    }
}

// found by the fuzz target settings (tests/fuzz/corpus/settings/crash-tab-ends-a-value): a write lost the values below
TEST(Registry, AValueEndingInATabKeepsTheValuesBelowItInTheirSection)
{
    TempEnvironment env;
    ASSERT_TRUE(TempEnvironment::WriteBytes(env.SettingsFile(), "[General\\Authentication]\n[x=y]\\t\nAccessToken=abc\n"));
    ASSERT_EQ(1, CRegistry::Write(kAuth, "UserName", "new"));
    QString text;
    EXPECT_EQ(1, CRegistry::Read(kAuth, "AccessToken", "", text));
    EXPECT_EQ("abc", text);
    EXPECT_EQ(1, CRegistry::Read(kAuth, "[x", "", text));
    EXPECT_EQ("y]\t", text);
}
