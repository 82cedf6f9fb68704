#include "program/PrgSection.h"
#include "program/ProgramListFile.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/MessageBoxScript.h"

#include <QDir>
#include <QFileInfo>
#include <climits>

namespace {

const QString kCreateFailed = QString::fromUtf8("番組情報ファイルを作成できません。");
const QString kUpdateFailed = QString::fromUtf8("番組情報ファイルを更新できません。");

}  // namespace

TEST(PrgSection, MakeNewWritesTheHeaderAndAddAppendsEachProgramWithItsNumber)
{
    TempEnvironment env;
    MessageBoxScript boxes;
    ASSERT_EQ(1, CPrgSection::MakeNew(env.Path("zvnprg.lst")));
    EXPECT_EQ("[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\nNum=0\r\n",
              TempEnvironment::ReadBytes(env.Path("zvnprg.lst")));
    boxes.Expect(kCreateFailed, 0, 1);
    TempEnvironment::WriteBytes(env.Path("file"), "a file, not a folder");
    EXPECT_EQ(0, CPrgSection::MakeNew(env.Path("file/zvnprg.lst")));

    // a missing list is made first; lines that end in LF only, the last in nothing, are written with CR LF
    const QString list = env.Path("Prg/zvnprg.lst");
    QDir().mkpath(env.Path("Prg"));
    TempEnvironment::WriteBytes(env.Path("info.txt"), platform::ToCodePage(QString::fromUtf8("Type=Program\nTitle=星めぐり\nScript=stars.zsf")));
    ASSERT_EQ(1, CPrgSection::Add(list, env.Path("info.txt")));
    EXPECT_EQ(header("1.0", "ZentorinLite", 1) + "\r\n[Prog1]\r\nType=Program\r\n" + platform::ToCodePage(QString::fromUtf8("Title=星めぐり\r\n"))
                  + "Script=stars.zsf\r\n",
              TempEnvironment::ReadBytes(list));
    EXPECT_FALSE(QFileInfo::exists(env.Path("Prg/zvnprg.tmp")));
    // a temporary file that a crash left beside the list is overwritten
    TempEnvironment::WriteBytes(env.Path("Prg/zvnprg.tmp"), "[General]\r\nFileOw");
    TempEnvironment::WriteBytes(env.Path("second.txt"), "Type=BGV\r\nTitle=Second\r\nScript=second.zsf\r\n");
    ASSERT_EQ(1, CPrgSection::Add(list, env.Path("second.txt")));
    const QByteArray two = TempEnvironment::ReadBytes(list);
    EXPECT_TRUE(two.startsWith(header("1.0", "ZentorinLite", 2)));
    EXPECT_TRUE(two.endsWith("Script=stars.zsf\r\n\r\n[Prog2]\r\nType=BGV\r\nTitle=Second\r\nScript=second.zsf\r\n"));

    // a list without Num: the program is number 1
    QByteArray bare = header();
    TempEnvironment::WriteBytes(list, bare.replace("Num=0\r\n", ""));
    ASSERT_EQ(1, CPrgSection::Add(list, env.Path("second.txt")));
    EXPECT_EQ(header("1.0", "ZentorinLite", 1) + "\r\n[Prog1]\r\nType=BGV\r\nTitle=Second\r\nScript=second.zsf\r\n", TempEnvironment::ReadBytes(list));
}

TEST(PrgSection, AFailedAddLeavesTheListAsItWas)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    const QByteArray before = header("1.0", "ZentorinLite", 1) + section(1, "Program", "A", "a.zsf");
    TempEnvironment::WriteBytes(env.Path("hostile.txt"), "Title=X\r\n[Prog1]\r\nScript=evil.zsf\r\n");  // sections of its own
    TempEnvironment::WriteBytes(env.Path("binary.txt"), QByteArray("Title=X\0\1\2", 10));
    TempEnvironment::WriteBytes(env.Path("b.txt"), "Title=B\r\nScript=b.zsf\r\n");
    QByteArray huge = before;  // a count far beyond int reads as INT_MAX and cannot grow
    huge.replace("Num=1", "Num=99999999999999999999");
    const struct { QByteArray list; const char* sectionFile; } cases[] = {
        {before, "missing.txt"}, {before, "hostile.txt"}, {before, "binary.txt"}, {before + QByteArray("\0", 1), "b.txt"}, {huge, "b.txt"},
    };
    MessageBoxScript boxes;
    for (const auto& c : cases) {
        TempEnvironment::WriteBytes(list, c.list);
        boxes.Expect(kUpdateFailed, 0, 1);
        EXPECT_EQ(0, CPrgSection::Add(list, env.Path(c.sectionFile))) << c.sectionFile;
        EXPECT_EQ(c.list, TempEnvironment::ReadBytes(list)) << c.sectionFile;
        // nothing of a refused append stays beside the list (found by the fuzz target program_list)
        EXPECT_EQ(QStringList({"zvnprg.lst", "zvnprg.lst.lock"}), QDir(env.Root()).entryList({"zvnprg*"}, QDir::Files | QDir::Hidden)) << c.sectionFile;
    }
    // a list that cannot be created: both messages
    TempEnvironment::WriteBytes(env.Path("file"), "x");
    boxes.Expect(kCreateFailed, 0, 1).Expect(kUpdateFailed, 0, 1);
    EXPECT_EQ(0, CPrgSection::Add(env.Path("file/zvnprg.lst"), env.Path("b.txt")));
}

TEST(PrgSection, DeleteTakesOutTheProgramsSectionAndRenumbersTheRest)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    const QByteArray other = platform::ToCodePage(QString::fromUtf8("Custom=残すキー  \r\n"));
    const QByteArray gap = header("1.0", "ZentorinLite", 2) + section(1, "Program", "A", "a.zsf") + section(3, "Program", "C", "c.zsf");
    QByteArray farBelow = header("1.0", "ZentorinLite", 1) + section(1, "Program", "A", "a.zsf");
    farBelow.replace("Num=1", "Num=-99999999999999999999");  // found by the fuzz target program_list
    const struct { QByteArray list; const char* name; int result; QByteArray after; } cases[] = {
        // every other line and section stays; a middle program's followers move down
        {header("1.0", "ZentorinLite", 3) + section(1, "Program", "A", "a.zsf") + other + section(2, "Program", "B", "b.zsf")
             + section(3, "BGV", "C", "c.zsf") + "\r\n[Extra]\r\nKey=1\r\n",
         "b", 1,
         header("1.0", "ZentorinLite", 2) + section(1, "Program", "A", "a.zsf") + other + "\r\n" + section(2, "BGV", "C", "c.zsf").mid(2)
             + "\r\n[Extra]\r\nKey=1\r\n"},
        // a script in other letter case and with blanks after it; the only program leaves Num 0
        {header("1.0", "ZentorinLite", 1) + "\r\n[Prog1]   \r\nType=Program\r\nScript=Galaxy.ZSF  \r\n", "galaxy", 1,
         header("1.0", "ZentorinLite", 0) + "\r\n"},
        // a header with blanks after it is renumbered without them
        {header("1.0", "ZentorinLite", 2) + section(1, "Program", "A", "a.zsf") + "\r\n[Prog2]  \r\nScript=b.zsf\r\n", "a", 1,
         header("1.0", "ZentorinLite", 1) + "\r\n[Prog1]\r\nScript=b.zsf\r\n"},
        {gap, "c", 0, gap},  // after a gap: not found
        {gap, "zzz", 0, gap},
        {farBelow, "a", 1, QByteArray(header("1.0", "ZentorinLite", INT_MIN) + "\r\n")},  // no number below the lowest
    };
    for (const auto& c : cases) {
        TempEnvironment::WriteBytes(list, c.list);
        EXPECT_EQ(c.result, CPrgSection::Delete(list, c.name)) << c.name;
        EXPECT_EQ(c.after, TempEnvironment::ReadBytes(list)) << c.name;
        EXPECT_FALSE(QFileInfo::exists(list + ".$$$"));
    }
    EXPECT_EQ(0, CPrgSection::Delete(env.Path("missing.lst"), "a"));
    EXPECT_FALSE(QFileInfo::exists(env.Path("missing.lst")));

    // the dialog's filter keeps a program header numbered far below int (found by the fuzz target program_list)
    EXPECT_EQ(header("1.0", "ZentorinLite", 2) + "\r\n[Prog-99999999999]\r\nScript=b.zsf\r\n\r\n[Prog2]\r\nScript=c.zsf\r\n",
              CProgramListFile::RemoveSectionAfterwards(header("1.0", "ZentorinLite", 2) + section(1, "Program", "A", "a.zsf")
                                                            + "\r\n[Prog-99999999999]\r\nScript=b.zsf\r\n\r\n[Prog3]\r\nScript=c.zsf\r\n",
                                                        1));
}
