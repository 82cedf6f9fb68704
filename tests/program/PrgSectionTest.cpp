#include "program/PrgSection.h"
#include "program/ProgramListFile.h"
#include "support/zvndcm/ParamFile.h"
#include "tests/program/ListFiles.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <climits>
#include <gtest/gtest.h>

using listfiles::header;

namespace {

const QString kCreateFailed = QString::fromUtf8("番組情報ファイルを作成できません。");
const QString kUpdateFailed = QString::fromUtf8("番組情報ファイルを更新できません。");

int num(const QString& list)
{
    CParamFile file;
    file.SetParameterFile(list);
    int n = -99;
    file.UpdateParam("Programs", "Num", 0, n, CParamFile::Read);
    return n;
}

}  // namespace

TEST(PrgSection, MakeNewWritesTheHeaderAndNothingElse)
{
    TempEnvironment env;
    ASSERT_EQ(1, CPrgSection::MakeNew(env.Path("zvnprg.lst")));
    EXPECT_EQ("[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\nNum=0\r\n",
              TempEnvironment::ReadBytes(env.Path("zvnprg.lst")));

    MessageBoxScript boxes;
    boxes.Expect(kCreateFailed, 0, 1);
    TempEnvironment::WriteBytes(env.Path("file"), "a file, not a folder");
    EXPECT_EQ(0, CPrgSection::MakeNew(env.Path("file/zvnprg.lst")));
}

TEST(PrgSection, AddOnAMissingListCreatesItThenAppendsProgramOne)
{
    TempEnvironment env;
    const QString list = env.Path("Prg/zvnprg.lst");
    QDir().mkpath(env.Path("Prg"));
    // lines end in LF only, the last in nothing: every line is written with CR LF
    TempEnvironment::WriteBytes(env.Path("info.txt"), platform::ToCodePage(QString::fromUtf8("Type=Program\nTitle=星めぐり\nScript=stars.zsf")));
    ASSERT_EQ(1, CPrgSection::Add(list, env.Path("info.txt")));
    QByteArray expected = header();
    expected.replace("Num=0", "Num=1");
    expected += "\r\n[Prog1]\r\nType=Program\r\n" + platform::ToCodePage(QString::fromUtf8("Title=星めぐり\r\n")) + "Script=stars.zsf\r\n";
    EXPECT_EQ(expected, TempEnvironment::ReadBytes(list));
    EXPECT_FALSE(QFileInfo::exists(env.Path("Prg/zvnprg.tmp")));

    TempEnvironment::WriteBytes(env.Path("second.txt"), "Type=BGV\r\nTitle=Second\r\nScript=second.zsf\r\n");
    ASSERT_EQ(1, CPrgSection::Add(list, env.Path("second.txt")));
    EXPECT_TRUE(TempEnvironment::ReadBytes(list).endsWith("Script=stars.zsf\r\n\r\n[Prog2]\r\nType=BGV\r\nTitle=Second\r\nScript=second.zsf\r\n"));
    EXPECT_EQ(2, num(list));
}

TEST(PrgSection, AddToAListWithoutNumNumbersTheProgramOne)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    TempEnvironment::WriteBytes(list, "[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\n");
    TempEnvironment::WriteBytes(env.Path("info.txt"), "Title=T\r\nScript=t.zsf\r\n");
    ASSERT_EQ(1, CPrgSection::Add(list, env.Path("info.txt")));
    EXPECT_EQ("[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\nNum=1\r\n"
              "\r\n[Prog1]\r\nTitle=T\r\nScript=t.zsf\r\n",
              TempEnvironment::ReadBytes(list));
}

TEST(PrgSection, AFailedAddLeavesTheListAsItWas)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    const QByteArray before = header("1.0", "ZentorinLite", 1) + listfiles::section(1, "Program", "A", "a.zsf");
    TempEnvironment::WriteBytes(list, before);

    // nothing of a refused append stays beside the list (found by the fuzz target program_list)
    const auto besideTheList = [&] { return QDir(env.Root()).entryList({"zvnprg*"}, QDir::Files | QDir::Hidden); };

    MessageBoxScript boxes;
    boxes.Expect(kUpdateFailed, 0, 1);
    EXPECT_EQ(0, CPrgSection::Add(list, env.Path("missing.txt")));
    EXPECT_EQ(before, TempEnvironment::ReadBytes(list));
    EXPECT_EQ(QStringList{"zvnprg.lst"}, besideTheList());

    // a section file that would open sections of its own, or that is not text, is refused
    TempEnvironment::WriteBytes(env.Path("hostile.txt"), "Title=X\r\n[Prog1]\r\nScript=evil.zsf\r\n");
    boxes.Expect(kUpdateFailed, 0, 1);
    EXPECT_EQ(0, CPrgSection::Add(list, env.Path("hostile.txt")));
    TempEnvironment::WriteBytes(env.Path("binary.txt"), QByteArray("Title=X\0\1\2", 10));
    boxes.Expect(kUpdateFailed, 0, 1);
    EXPECT_EQ(0, CPrgSection::Add(list, env.Path("binary.txt")));
    EXPECT_EQ(before, TempEnvironment::ReadBytes(list));
    EXPECT_EQ(QStringList{"zvnprg.lst"}, besideTheList());

    // a list that is not text takes no count, and one whose count far beyond int reads as INT_MAX cannot grow
    TempEnvironment::WriteBytes(env.Path("b.txt"), "Title=B\r\nScript=b.zsf\r\n");
    QByteArray huge = before;
    huge.replace("Num=1", "Num=99999999999999999999");
    for (const QByteArray& refused : {before + QByteArray("\0", 1), huge}) {
        TempEnvironment::WriteBytes(list, refused);
        boxes.Expect(kUpdateFailed, 0, 1);
        EXPECT_EQ(0, CPrgSection::Add(list, env.Path("b.txt")));
        EXPECT_EQ(refused, TempEnvironment::ReadBytes(list));
        EXPECT_EQ(QStringList{"zvnprg.lst"}, besideTheList());
    }

    // a list that cannot be created: both messages
    TempEnvironment::WriteBytes(env.Path("file"), "x");
    boxes.Expect(kCreateFailed, 0, 1).Expect(kUpdateFailed, 0, 1);
    EXPECT_EQ(0, CPrgSection::Add(env.Path("file/zvnprg.lst"), env.Path("hostile.txt")));
}

// found by the fuzz target program_list: a count far below int has no number below it
TEST(PrgSection, DeleteFromAListCountedFarBelowIntKeepsTheLowestCount)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    QByteArray bytes = header("1.0", "ZentorinLite", 1) + listfiles::section(1, "Program", "A", "a.zsf");
    bytes.replace("Num=1", "Num=-99999999999999999999");
    TempEnvironment::WriteBytes(list, bytes);
    ASSERT_EQ(1, CPrgSection::Delete(list, "a"));
    EXPECT_EQ(INT_MIN, num(list));
}

// found by the fuzz target program_list (tests/fuzz/corpus/program_list/crash-prog-header-below-int)
TEST(PrgSection, TheDialogsFilterKeepsAProgramHeaderNumberedFarBelowInt)
{
    const QByteArray list = header("1.0", "ZentorinLite", 2) + listfiles::section(1, "Program", "A", "a.zsf")
                            + "\r\n[Prog-99999999999]\r\nScript=b.zsf\r\n\r\n[Prog3]\r\nScript=c.zsf\r\n";
    EXPECT_EQ(header("1.0", "ZentorinLite", 2) + "\r\n[Prog-99999999999]\r\nScript=b.zsf\r\n\r\n[Prog2]\r\nScript=c.zsf\r\n",
              CProgramListFile::RemoveSectionAfterwards(list, 1));
}

TEST(PrgSection, AStaleTemporaryFileFromACrashIsHarmless)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    const QByteArray before = header("1.0", "ZentorinLite", 1) + listfiles::section(1, "Program", "A", "a.zsf");
    TempEnvironment::WriteBytes(list, before);
    // what a crash between writing the new list and renaming it leaves: the old list whole, a half temporary file
    TempEnvironment::WriteBytes(env.Path("zvnprg.tmp"), "[General]\r\nFileOw");
    EXPECT_EQ(before, TempEnvironment::ReadBytes(list));
    TempEnvironment::WriteBytes(env.Path("b.txt"), "Title=B\r\nScript=b.zsf\r\n");
    ASSERT_EQ(1, CPrgSection::Add(list, env.Path("b.txt")));
    EXPECT_EQ(2, num(list));
    EXPECT_TRUE(TempEnvironment::ReadBytes(list).startsWith("[General]\r\nFileOwner=ZentorinLite\r\n"));
}

TEST(PrgSection, DeleteOfAMiddleProgramRenumbersTheRestAndKeepsEveryOtherLine)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    const QByteArray other = platform::ToCodePage(QString::fromUtf8("Custom=残すキー  \r\n"));
    TempEnvironment::WriteBytes(list, header("1.0", "ZentorinLite", 3) + listfiles::section(1, "Program", "A", "a.zsf") + other
                                          + listfiles::section(2, "Program", "B", "b.zsf") + listfiles::section(3, "BGV", "C", "c.zsf")
                                          + "\r\n[Extra]\r\nKey=1\r\n");
    ASSERT_EQ(1, CPrgSection::Delete(list, "b"));
    QByteArray expected = header("1.0", "ZentorinLite", 2) + listfiles::section(1, "Program", "A", "a.zsf") + other
                          + "\r\n" + listfiles::section(2, "BGV", "C", "c.zsf").mid(2) + "\r\n[Extra]\r\nKey=1\r\n";
    EXPECT_EQ(expected, TempEnvironment::ReadBytes(list));
    EXPECT_FALSE(QFileInfo::exists(list + ".$$$"));
}

TEST(PrgSection, DeleteFindsScriptsRegardlessOfCaseAndTrailingBlanks)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    TempEnvironment::WriteBytes(list, header("1.0", "ZentorinLite", 1) + "\r\n[Prog1]   \r\nType=Program\r\nScript=Galaxy.ZSF  \r\n");
    ASSERT_EQ(1, CPrgSection::Delete(list, "galaxy"));
    // the only program: the header with Num 0, and the blank line that stood before the section
    EXPECT_EQ(header("1.0", "ZentorinLite", 0) + "\r\n", TempEnvironment::ReadBytes(list));
}

TEST(PrgSection, DeleteRenumbersHeadersWithBlanksWithoutThemAndLeavesProgramsAlone)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    TempEnvironment::WriteBytes(list, header("1.0", "ZentorinLite", 2) + listfiles::section(1, "Program", "A", "a.zsf")
                                          + "\r\n[Prog2]  \r\nScript=b.zsf\r\n");
    ASSERT_EQ(1, CPrgSection::Delete(list, "a"));
    EXPECT_EQ(header("1.0", "ZentorinLite", 1) + "\r\n[Prog1]\r\nScript=b.zsf\r\n", TempEnvironment::ReadBytes(list));
}

TEST(PrgSection, DeleteStopsAtAGapAndAtAMissingList)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    const QByteArray gap = header("1.0", "ZentorinLite", 2) + listfiles::section(1, "Program", "A", "a.zsf")
                           + listfiles::section(3, "Program", "C", "c.zsf");
    TempEnvironment::WriteBytes(list, gap);
    EXPECT_EQ(0, CPrgSection::Delete(list, "c"));  // after the gap: not found
    EXPECT_EQ(0, CPrgSection::Delete(list, "zzz"));
    EXPECT_EQ(gap, TempEnvironment::ReadBytes(list));
    EXPECT_EQ(0, CPrgSection::Delete(env.Path("missing.lst"), "a"));
    EXPECT_FALSE(QFileInfo::exists(env.Path("missing.lst")));
}
