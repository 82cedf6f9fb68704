#include "program/PrgSection.h"
#include "program/ProgramListReader.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvndcm/ParamFile.h"
#include "support/zvnreg/Registry.h"
#include "tests/program/ListFiles.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>

using listfiles::header;
using listfiles::section;

namespace {

const QString kBadFormat = QString::fromUtf8("番組リストファイルの形式が不正です。");

struct Loaded {
    int result;
    QList<tagPROGITEM> programs;
};

Loaded load(const QString& system, const QString& user, const QImage* icons = nullptr)
{
    Loaded loaded{0, {}};
    const CProgramListReader reader(icons);
    loaded.result = CProgramListReader::ReadLists(system, user, [&](CParamFile* file, int isSystem) {
        return reader.DoRead(file, isSystem, loaded.programs);
    });
    return loaded;
}

}  // namespace

TEST(ProgramListReader, AnEmptySystemListAndNoUserListGiveAnEmptyList)
{
    TempEnvironment env;
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header());
    const Loaded loaded = load(env.Path("sys.lst"), env.Path("none/user.lst"));
    EXPECT_EQ(1, loaded.result);
    EXPECT_TRUE(loaded.programs.isEmpty());
}

TEST(ProgramListReader, ReadsBothListsInOrderWithDefaultsAndJapaneseText)
{
    TempEnvironment env;
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header("1.0", "ZentorinLite", 2) + section(1, "Today", QString::fromUtf8("今日の星空"), "pln.zsf")
                                                         + platform::ToCodePage(QString::fromUtf8("\r\n[Prog2]\r\nTitle=オリオン\r\nScript=ori.zsf\r\nSummary=一行目\\r\\n二行目\r\nTime=1500\r\n")));
    TempEnvironment::WriteBytes(env.Path("user.lst"), header("0.9", "ZentorinLite", 1) + section(1, "BGV", "Piano", "piano.zsf"));
    QImage icons[10];
    for (int i = 0; i < 10; ++i)
        icons[i] = QImage(1, 1, QImage::Format_RGB32);
    const Loaded loaded = load(env.Path("sys.lst"), env.Path("user.lst"), icons);
    ASSERT_EQ(1, loaded.result);
    ASSERT_EQ(3, loaded.programs.size());
    const tagPROGITEM& orion = loaded.programs[1];
    EXPECT_EQ(QString::fromUtf8("オリオン"), orion.title);
    EXPECT_EQ("Program", orion.type);  // the default type
    EXPECT_EQ("NO", orion.jimaku);
    EXPECT_EQ(1500, orion.time);
    EXPECT_EQ(QString::fromUtf8("一行目\\r\\n二行目"), orion.summary);
    EXPECT_EQ(2, orion.progNum);
    EXPECT_EQ(1, orion.isSystem);
    EXPECT_EQ(0, loaded.programs[2].isSystem);
    EXPECT_EQ(1, loaded.programs[2].progNum);
}

TEST(ProgramListReader, EveryTypeTakesTheIconPairOfItsList)
{
    TempEnvironment env;
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header("1.0", "ZentorinLite", 4) + section(1, "Today", "a", "a.zsf")
                                                         + section(2, "CnsGuide", "b", "b.zsf") + section(3, "Program", "c", "c.zsf")
                                                         + section(4, "BGV", "d", "d.zsf"));
    TempEnvironment::WriteBytes(env.Path("user.lst"), header("1.0", "ZentorinLite", 2) + section(1, "Program", "e", "e.zsf")
                                                          + section(2, "BGV", "f", "f.zsf"));
    QImage icons[10];
    const Loaded loaded = load(env.Path("sys.lst"), env.Path("user.lst"), icons);
    ASSERT_EQ(6, loaded.programs.size());
    const int pairs[6][2] = {{16040, 16035}, {16040, 16035}, {16041, 16036}, {16042, 16037}, {16043, 16038}, {16044, 16039}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(&icons[pairs[i][0] - 16035], loaded.programs[i].icon) << i;
        EXPECT_EQ(&icons[pairs[i][1] - 16035], loaded.programs[i].iconMask) << i;
    }
}

TEST(ProgramListReader, ACountNoListCouldHoldIsABadList)
{
    TempEnvironment env;
    MessageBoxScript boxes;
    // sections that are missing read as default programs, within reason
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header("1.0", "ZentorinLite", 3) + section(1, "Program", "A", "a.zsf"));
    const Loaded few = load(env.Path("sys.lst"), "");
    EXPECT_EQ(1, few.result);
    ASSERT_EQ(3, few.programs.size());
    EXPECT_EQ("", few.programs[2].title);
    EXPECT_EQ(3, few.programs[2].progNum);
    for (int count : {2000000, 5000}) {
        boxes.Expect(kBadFormat, platform::MB_OK | platform::MB_ICONHAND, platform::IDOK);
        TempEnvironment::WriteBytes(env.Path("sys.lst"), header("1.0", "ZentorinLite", count) + section(1, "Program", "A", "a.zsf"));
        const Loaded phantoms = load(env.Path("sys.lst"), "");
        EXPECT_EQ(0, phantoms.result) << count;
        EXPECT_TRUE(phantoms.programs.isEmpty()) << count;
    }
}

TEST(ProgramListReader, ATypeWithoutIconForItsListEndsThatList)
{
    TempEnvironment env;
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header());
    TempEnvironment::WriteBytes(env.Path("user.lst"), header("1.0", "ZentorinLite", 3) + section(1, "Program", "Before", "a.zsf")
                                                          + section(2, "Today", "Today", "b.zsf") + section(3, "Program", "After", "c.zsf"));
    const Loaded loaded = load(env.Path("sys.lst"), env.Path("user.lst"));
    EXPECT_EQ(1, loaded.result);
    ASSERT_EQ(1, loaded.programs.size());
    EXPECT_EQ("Before", loaded.programs[0].title);
    // a type is compared as written
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header("1.0", "ZentorinLite", 1) + section(1, "program", "lower", "a.zsf"));
    EXPECT_TRUE(load(env.Path("sys.lst"), "").programs.isEmpty());
}

TEST(ProgramListReader, HeadersAreCheckedExactly)
{
    TempEnvironment env;
    for (const char* accepted : {"1.00", "0.9", "1.0", "1"}) {
        TempEnvironment::WriteBytes(env.Path("sys.lst"), header(accepted));
        EXPECT_EQ(1, load(env.Path("sys.lst"), "").result) << accepted;
    }
    MessageBoxScript boxes;
    for (const char* refused : {"1.01", "2.0"}) {
        boxes.Expect(kBadFormat, platform::MB_OK | platform::MB_ICONHAND, platform::IDOK);
        TempEnvironment::WriteBytes(env.Path("sys.lst"), header(refused));
        EXPECT_EQ(0, load(env.Path("sys.lst"), "").result) << refused;
    }
    boxes.Expect(kBadFormat, platform::MB_OK | platform::MB_ICONHAND, platform::IDOK);
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header("1.0", "zentorinlite"));
    EXPECT_EQ(0, load(env.Path("sys.lst"), "").result);
    boxes.Expect(kBadFormat, platform::MB_OK | platform::MB_ICONHAND, platform::IDOK);
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header().replace("FileId=ProgramList", "FileId=SceneFile"));
    EXPECT_EQ(0, load(env.Path("sys.lst"), "").result);

    // a bad user list: the system programs stay loaded, the result is 0
    boxes.Expect(kBadFormat, platform::MB_OK | platform::MB_ICONHAND, platform::IDOK);
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header("1.0", "ZentorinLite", 1) + section(1, "Program", "A", "a.zsf"));
    TempEnvironment::WriteBytes(env.Path("user.lst"), header("3.0"));
    const Loaded loaded = load(env.Path("sys.lst"), env.Path("user.lst"));
    EXPECT_EQ(0, loaded.result);
    EXPECT_EQ(1, loaded.programs.size());

    boxes.Expect(QString::fromUtf8("番組リストファイルが見つかりません。\n") + env.Path("nowhere.lst"), platform::MB_OK, platform::IDOK);
    EXPECT_EQ(0, load(env.Path("nowhere.lst"), "").result);
}

TEST(ProgramListReader, AProgramWrittenByAddIsReadBack)
{
    TempEnvironment env;
    TempEnvironment::WriteBytes(env.Path("info.txt"), platform::ToCodePage(QString::fromUtf8("Type=BGV\r\nTitle=星の調べ\r\nScript=melody.zsf\r\nMusic=ピアノ\r\n")));
    QDir().mkpath(env.Path("Prg"));
    ASSERT_EQ(1, CPrgSection::Add(env.Path("Prg/zvnprg.lst"), env.Path("info.txt")));
    TempEnvironment::WriteBytes(env.Path("sys.lst"), header());
    const Loaded loaded = load(env.Path("sys.lst"), env.Path("Prg/zvnprg.lst"));
    ASSERT_EQ(1, loaded.programs.size());
    EXPECT_EQ(QString::fromUtf8("星の調べ"), loaded.programs[0].title);
    EXPECT_EQ(QString::fromUtf8("ピアノ"), loaded.programs[0].music);
}

TEST(ProgramListReader, SceneFilesAreLookedForWhereEachKindLives)
{
    TempEnvironment env;
    const QString system = env.Path("data/System/zvnprg.lst");
    const QString user = env.Path("data/Contents/Prg/zvnprg.lst");
    QString path, kind, shortKind;

    TempEnvironment::WriteBytes(system, listfiles::header());
    TempEnvironment::WriteBytes(env.Path("data/PRG/winter/winter.zsf"), "scene");
    ASSERT_EQ(1, CProgramListReader::FindScene("program", "winter.zsf", 1, system, user, path, kind, shortKind));
    EXPECT_EQ(env.Path("data/System/../PRG/winter/winter.zsf"), path);

    // a registered folder is the only place for system programs: no fallback
    CRegistry::Write("Files", "PRG", env.Path("elsewhere"));
    EXPECT_EQ(0, CProgramListReader::FindScene("Program", "winter.zsf", 1, system, user, path, kind, shortKind));
    EXPECT_EQ(QString::fromUtf8("プラネタリウム番組"), kind);
    EXPECT_EQ(QString::fromUtf8("プラネタリウム"), shortKind);

    TempEnvironment::WriteBytes(env.Path("data/Contents/Prg/piano/piano.zsf"), "scene");
    ASSERT_EQ(1, CProgramListReader::FindScene("BGV", "piano.zsf", 0, system, user, path, kind, shortKind));
    EXPECT_EQ(env.Path("data/Contents/Prg/piano/piano.zsf"), path);

    // a script without "." has an empty base name: the file directly under an empty folder name
    TempEnvironment::WriteBytes(env.Path("data/Contents/Prg/noext"), "scene");
    ASSERT_EQ(1, CProgramListReader::FindScene("Program", "noext", 0, system, user, path, kind, shortKind));
    EXPECT_EQ(env.Path("data/Contents/Prg//noext"), path);

    CRegistry::Write("Files", "ConsGd", env.Path("guide"));
    EXPECT_EQ(0, CProgramListReader::FindScene("CnsGuide", "oric.zsf", 1, system, user, path, kind, shortKind));
    EXPECT_EQ(QString::fromUtf8("88星座ガイド"), kind);
    EXPECT_EQ(QString::fromUtf8("星座ガイド"), shortKind);
    TempEnvironment::WriteBytes(env.Path("guide/ori/oric.zsf"), "scene");
    ASSERT_EQ(1, CProgramListReader::FindScene("CnsGuide", "oric.zsf", 1, system, user, path, kind, shortKind));
    EXPECT_EQ(env.Path("guide/ori/oric.zsf"), path);

    CRegistry::Write("Files", "PLN", env.Path("pln"));
    TempEnvironment::WriteBytes(env.Path("pln/pln.zsf"), "scene");
    ASSERT_EQ(1, CProgramListReader::FindScene("TODAY", "x.zsf", 1, system, user, path, kind, shortKind));
    EXPECT_EQ(env.Path("pln/pln.zsf"), path);

    EXPECT_EQ(0, CProgramListReader::FindScene("Movie", "m.zsf", 1, system, user, path, kind, shortKind));
    EXPECT_EQ("", kind);
    EXPECT_EQ("", shortKind);

    // a script that names another folder finds nothing, though a file is there
    TempEnvironment::WriteBytes(env.Path("data/x.zsf"), "scene");
    EXPECT_EQ(0, CProgramListReader::FindScene("Program", "../../x.zsf", 0, system, user, path, kind, shortKind));
}

TEST(ProgramListReader, TodayAndTheGuideFallBackToTheModuleFolder)
{
    TempEnvironment env;
    // beside the module's folder, as the product installs them; removed again at the end
    const QString moduleFolder = CCommonFile::GetModulePath();
    struct Cleanup {
        QString root;
        ~Cleanup() { QDir(root + "../pln").removeRecursively(), QDir(root + "../CnsGd").removeRecursively(); }
    } cleanup{moduleFolder};
    ASSERT_TRUE(TempEnvironment::WriteBytes(moduleFolder + "../pln/pln.zsf", "scene"));
    ASSERT_TRUE(TempEnvironment::WriteBytes(moduleFolder + "../CnsGd/ori/oric.zsf", "scene"));
    CRegistry::Write("Files", "PLN", env.Path("empty"));  // registered, but without the file
    QString path, kind, shortKind;
    ASSERT_EQ(1, CProgramListReader::FindScene("Today", "x.zsf", 1, "", "", path, kind, shortKind));
    EXPECT_EQ(moduleFolder + "../pln/pln.zsf", path);
    ASSERT_EQ(1, CProgramListReader::FindScene("CnsGuide", "x.zsf", 1, "", "", path, kind, shortKind));
    EXPECT_EQ(moduleFolder + "../CnsGd/ori/oric.zsf", path);
}
