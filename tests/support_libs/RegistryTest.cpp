#include "support/zvnreg/Registry.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
const QString kAuth = QStringLiteral("General\\Authentication");
const QString kLibrary = QStringLiteral("Dialog\\ContentsLibrary");
}  // namespace

TEST(Registry, EachValueIsOneLineOfItsSectionAndReadsBackAsWritten)
{
    TempEnvironment env;
    // a name twice: the first holds, and a write-back keeps only it
    ASSERT_TRUE(TempEnvironment::WriteBytes(env.SettingsFile(), "[Exchange]\nItem=1\nitem=2\n"));
    const QList<std::pair<QString, QString>> values = {
        {"Awkward", "a\r\nC:\\n\t[Fake]\nx=y\t"}, {"Blanks", "  x = y  "}, {"Name", QString::fromUtf8("星野 すばる")}, {"Empty", ""},
    };
    for (const auto& [name, value] : values)
        ASSERT_EQ(1, CRegistry::Write("Exchange", name, value));
    ASSERT_EQ(1, CRegistry::Write(kAuth, "Count", -7));
    EXPECT_EQ("[Exchange]\nItem=1\nAwkward=a\\r\\nC:\\\\n\\t[Fake]\\nx=y\\t\nBlanks=  x = y  \nName=星野 すばる\nEmpty=\n\n"
              "[General\\Authentication]\nCount=-7\n",
              TempEnvironment::ReadBytes(env.SettingsFile()));
    for (const auto& [name, value] : values) {
        QString text;
        EXPECT_EQ(1, CRegistry::Read("exchange", name.toUpper(), "", text));  // names ignore letter case
        EXPECT_EQ(value, text);
    }
    int number = 0;
    EXPECT_EQ(1, CRegistry::Read(kAuth, "Count", 0, &number));
    EXPECT_EQ(-7, number);
    EXPECT_EQ(0, CRegistry::Read("Exchange", "Empty", 5, &number));  // "" is no number
    EXPECT_EQ(5, number);
    EXPECT_EQ(0, CRegistry::Read(kAuth, "Missing", 9, &number));
    EXPECT_EQ(9, number);
    // the file was replaced, so no temporary file is left beside it: only the lock its writers share
    EXPECT_EQ(QStringList({"settings.ini", "settings.ini.lock"}), QDir(env.Path("config")).entryList(QDir::Files | QDir::Hidden));
}

TEST(Registry, WhatCannotBeStoredFailsAndAFileTheStoreCannotReadIsNeverWrittenOver)
{
    TempEnvironment env;
    for (const auto& [section, name] : QList<std::pair<QString, QString>>{{"Sec]tion", "Name"}, {"Section", "Na=me"},
                                                                          {"Section", "Na\nme"}, {"", "Name"}})
        EXPECT_EQ(0, CRegistry::Write(section, name, "v")) << name.toStdString();
    // not UTF-8, not text, or larger than any the store writes
    for (const QByteArray& bytes : {QByteArray("[General\\Authentication]\nAccessToken=\x93\xfa\x96\x7b\n"),
                                    QByteArray("[A]\nB=\0C\n", 9), QByteArray(16 * 1024 * 1024 + 1, 'x')}) {
        ASSERT_TRUE(TempEnvironment::WriteBytes(env.SettingsFile(), bytes));
        EXPECT_EQ(0, CRegistry::Write(kAuth, "UserName", "new"));
        EXPECT_EQ(bytes, TempEnvironment::ReadBytes(env.SettingsFile()));
        QString text;
        EXPECT_EQ(0, CRegistry::Read(kAuth, "AccessToken", "default", text));
        EXPECT_EQ("default", text);
    }
    qputenv("ZVN_SETTINGS_FILE", QFile::encodeName(env.Path("blocker/settings.ini")));
    ASSERT_TRUE(TempEnvironment::WriteBytes(env.Path("blocker"), "a file where the folder should be"));
    EXPECT_EQ(0, CRegistry::Write("Section", "Name", "v"));
}

TEST(Registry, WindowPlacementRoundTripsWithAndWithoutSize)
{
    TempEnvironment env;
    QWidget window;
    window.setGeometry(40, 60, 320, 200);
    ASSERT_EQ(1, CRegistry::Write(kLibrary, "WindowPosSize", &window));
    QWidget restored;
    restored.resize(100, 100);
    for (int flag : {0, 1}) {  // 0: the place only
        ASSERT_EQ(1, CRegistry::Read(kLibrary, "WindowPosSize", &restored, &flag));
        EXPECT_EQ(QRect(40, 60, flag ? 320 : 100, flag ? 200 : 100), restored.geometry());
    }

    // missing, garbled, or on a screen that is no longer there: not restored
    QWidget untouched;
    untouched.move(5, 5);
    CRegistry::Write(kLibrary, "Garbled", "1,2,three,4");
    CRegistry::Write(kLibrary, "FarAway", "90000,90000,300,200");
    int flag = 1;
    for (const char* name : {"Missing", "Garbled", "FarAway"})
        EXPECT_EQ(0, CRegistry::Read(kLibrary, name, &untouched, &flag)) << name;
    EXPECT_EQ(QPoint(5, 5), untouched.pos());
}

// The file holds the account's tokens: only its owner may read it, its lock and its temporary
// copies included, whatever the umask, and a file an earlier version left readable is narrowed.
TEST(Registry, TheSettingsAreTheOwnersAloneWhateverTheUmask)
{
    TempEnvironment env;
    const mode_t before = ::umask(022);
    EXPECT_EQ(1, CRegistry::Write(kAuth, "AccessToken", "token"));
    EXPECT_EQ(0600u, TempEnvironment::Mode(env.SettingsFile()));
    EXPECT_EQ(0600u, TempEnvironment::Mode(env.SettingsFile() + ".lock"));
    ASSERT_EQ(0, ::chmod(QFile::encodeName(env.SettingsFile()).constData(), 0644));
    EXPECT_EQ(1, CRegistry::Write(kAuth, "AccessTokenSecret", "secret"));
    EXPECT_EQ(0600u, TempEnvironment::Mode(env.SettingsFile()));
    ::umask(before);
}
