#include "platform/CodePage.h"
#include "support/zvndcm/ParamFile.h"
#include "support/zvndcm/ZsfFile.h"
#include "tests/support/TempEnvironment.h"

#include <gtest/gtest.h>

namespace {

// a program list as the Windows product writes it: CP932, CR LF
const QByteArray kList = "[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n"
                         "[Programs]\r\nNum=2\r\n\r\n"
                         "[Prog1]\r\nTitle=\x90\xaf\x8b\xf3\x8eU\x95\xe0\r\nTime = 1200 \r\nSummary=a\\r\\nb\r\n\r\n"  // 星空散歩
                         "[Prog2]\r\nTitle=Second\r\nTime=90s\r\n";

struct ListFile {
    TempEnvironment env;
    QString path = env.Path("zvnprg.lst");
    CParamFile file;
    explicit ListFile(const QByteArray& bytes = kList)  // null bytes: no file
    {
        if (!bytes.isNull())
            TempEnvironment::WriteBytes(path, bytes);
        file.SetParameterFile(path);
    }
    QByteArray onDisk() const { return TempEnvironment::ReadBytes(path); }
};

}  // namespace

TEST(ParamFile, ReadsValuesAndDefaults)
{
    ListFile list;
    const QList<std::tuple<QString, QString, int, QString>> cases = {
        {"Prog1", "Title", 1, QString::fromUtf8("星空散歩")},
        {"prog1", "TIME", 1, "1200"},     // case is not significant, blanks around are not part
        {"Prog1", "Summary", 1, "a\\r\\nb"},  // escaped line breaks stay as written
        {"Prog2", "Type", 0, "default"}, {"Prog3", "Time", 0, "default"},
    };
    for (const auto& [section, key, found, expected] : cases) {
        QString text = "untouched";
        EXPECT_EQ(found, list.file.UpdateParam(section, key, "default", text, CParamFile::Read)) << key.toStdString();
        EXPECT_EQ(expected, text);
    }
    int number = -1;
    EXPECT_EQ(1, list.file.UpdateParam("Prog2", "Time", 0, number, CParamFile::Read));
    EXPECT_EQ(90, number);  // an integer reads as the C library reads it
    EXPECT_EQ(0, list.file.UpdateParam("Prog3", "Time", 7, number, CParamFile::Read));
    EXPECT_EQ(7, number);

    QString id, version, owner;
    EXPECT_EQ(1, list.file.GetParamFileProperty(id, version, owner));
    EXPECT_EQ(QStringList({"ProgramList", "1.0", "ZentorinLite"}), QStringList({id, version, owner}));
}

TEST(ParamFile, AWriteChangesOrAddsOnlyItsLine)
{
    QByteArray changed = kList, added = kList;
    // Japanese text is written in the code page; the key keeps its spelling and blanks
    changed.replace("Time = 1200 \r\n", "Time =\x82\x51\x82\x4f\x95\xaa\r\n");
    added.replace("Summary=a\\r\\nb\r\n", "Summary=a\\r\\nb\r\nType=BGV\r\n");  // after the section's last key
    const QList<std::tuple<QByteArray, QString, QString, QString, QByteArray>> cases = {
        {kList, "PROG1", "time", QString::fromUtf8("２０分"), changed},
        {kList, "Prog1", "Type", "BGV", added},
        // a last line without a line end keeps none when changed, and gets one before a new line
        {"[Programs]\r\nNum=0", "Programs", "Num", "1", "[Programs]\r\nNum=1"},
        {"[Programs]\r\nNum=0", "Prog1", "Title", "T", "[Programs]\r\nNum=0\r\n[Prog1]\r\nTitle=T\r\n"},
        {QByteArray(), "Programs", "Num", "1", "[Programs]\r\nNum=1\r\n"},  // no file yet
    };
    for (const auto& [bytes, section, key, value, expected] : cases) {
        ListFile list(bytes);
        QString text = value, read;
        ASSERT_EQ(1, list.file.UpdateParam(section, key, "", text, CParamFile::Write)) << key.toStdString();
        EXPECT_EQ(expected, list.onDisk());
        EXPECT_EQ(1, list.file.UpdateParam(section, key, "", read, CParamFile::Read));  // what is in memory follows
        EXPECT_EQ(value, read);
    }
    // a folder that is not there cannot take the file
    TempEnvironment env;
    CParamFile nowhere;
    nowhere.SetParameterFile(env.Path("no/such/folder/x.lst"));
    int num = 1;
    EXPECT_EQ(0, nowhere.UpdateParam("Programs", "Num", 0, num, CParamFile::Write));
}

TEST(ParamFile, WhatCannotBeWrittenAsALineLeavesTheFileAsItWas)
{
    const QByteArray binary("[Programs]\r\nNum=5\r\n\0\x01\x02garbage", 27);
    const QList<std::tuple<QByteArray, QString, QString>> cases = {
        {binary, "Num", "6"},  // a file that is not text is neither read nor written
        {kList, "Num", "two\rlines"}, {kList, "Num", "two\nlines"}, {kList, "N=um", "6"},
    };
    for (const auto& [bytes, key, value] : cases) {
        ListFile list(bytes);
        QString text = value;
        EXPECT_EQ(0, list.file.UpdateParam("Programs", key, "", text, CParamFile::Write)) << value.toStdString();
        EXPECT_EQ(bytes, list.onDisk());
    }
    ListFile list(binary);
    int num = 0;
    EXPECT_EQ(0, list.file.UpdateParam("Programs", "Num", 0, num, CParamFile::Read));
}

TEST(ParamFile, NamesMatchAsUnicodeFoldsTheirCaseAndTheFirstOfTwoHolds)
{
    // the second byte of "云" (0x89 0x5D) is "]": a byte reader would cut the name there;
    // the Kelvin sign folds to "k": a name asked for with it is the file's ASCII name
    ListFile list("[\x89\x5D\x89\x40]\r\nKey=1\r\n[Kelvin]\r\nKey=2\r\nKey=3\r\n"
                  "[\x82\x60\x82\x61]\r\nKey=4\r\n[kelvin]\r\nOnlyHere=5\r\n");  // "ＡＢ"
    const QList<std::tuple<QString, QString, int>> cases = {
        {QString::fromUtf8("云院"), "Key", 1}, {QString::fromUtf8("\u212Aelvin"), QString::fromUtf8("\u212Aey"), 2},
        {QString::fromUtf8("ａｂ"), "KEY", 4}, {"Kelvin", "OnlyHere", 0},
    };
    for (const auto& [section, key, expected] : cases) {
        int value = 0;
        EXPECT_EQ(int(expected != 0), list.file.UpdateParam(section, key, 0, value, CParamFile::Read)) << key.toStdString();
        EXPECT_EQ(expected, value) << key.toStdString();
    }
}

TEST(ZsfFile, DescriptionIsReadInItsEscapedForm)
{
    TempEnvironment env;
    TempEnvironment::WriteBytes(env.Path("scene.zsf"),
                                "[General]\r\nFileOwner=ZentorinLite\r\nFileId=Scene\r\nFileVersion=1.0\r\n"
                                "Description=" + platform::ToCodePage(QString::fromUtf8("冬の大三角\\r\\nオリオン座")) +
                                    "\r\n");
    EXPECT_EQ(QString::fromUtf8("冬の大三角\\r\\nオリオン座"), CZsfFile(env.Path("scene.zsf")).GetDescription());
    EXPECT_EQ("", CZsfFile(env.Path("missing.zsf")).GetDescription());
}

TEST(ParamFile, AListOfManySectionsIsFoundWhole)
{
    // more sections than room is made for at first, and more bytes than one large page (3 MB):
    // every section is found, the last as well as the first
    QByteArray bytes;
    for (int n = 1; n <= 140000; ++n)
        bytes += "[S" + QByteArray::number(n) + "]\r\nK=" + QByteArray::number(n) + "xxxxxxxx\r\n";
    ListFile list(bytes);
    EXPECT_EQ(140000, list.file.GetSectionCount());
    for (int n : {1, 64, 65, 100001, 131073, 140000}) {
        QString value;
        EXPECT_EQ(1, list.file.UpdateParam("s" + QString::number(n), "k", "", value, CParamFile::Read)) << n;
        EXPECT_EQ(QString::number(n) + "xxxxxxxx", value) << n;
    }
}
