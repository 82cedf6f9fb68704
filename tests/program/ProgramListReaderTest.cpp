#include "program/ProgramListReader.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvndcm/ParamFile.h"
#include "support/zvnreg/Registry.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/MessageBoxScript.h"

#include <QDir>

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

TEST(ProgramListReader, ReadsBothListsInOrderWithDefaultsAndTheIconPairOfEachTypeAndList)
{
    TempEnvironment env;
    const QString system = env.Path("sys.lst"), user = env.Path("user.lst");
    TempEnvironment::WriteBytes(system, header());
    EXPECT_EQ(1, load(system, env.Path("none/user.lst")).result);  // no programs, no user list: an empty list

    TempEnvironment::WriteBytes(system, header("1.0", "ZentorinLite", 5) + section(1, "Today", "a", "a.zsf")
                                            + section(2, "CnsGuide", "b", "b.zsf") + section(3, "Program", "c", "c.zsf")
                                            + section(4, "BGV", "d", "d.zsf")
                                            + platform::ToCodePage(QString::fromUtf8("\r\n[Prog5]\r\nTitle=オリオン\r\nScript=ori.zsf\r\n"
                                                                                     "Summary=一行目\\r\\n二行目\r\nTime=1500\r\n")));
    TempEnvironment::WriteBytes(user, header("0.9", "ZentorinLite", 2) + section(1, "Program", "e", "e.zsf")
                                          + section(2, "BGV", "f", "f.zsf"));
    QImage icons[10];
    const Loaded loaded = load(system, user, icons);
    ASSERT_EQ(1, loaded.result);
    ASSERT_EQ(7, loaded.programs.size());
    const int pairs[7][2] = {{16040, 16035}, {16040, 16035}, {16041, 16036}, {16042, 16037}, {16041, 16036}, {16043, 16038}, {16044, 16039}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(&icons[pairs[i][0] - 16035], loaded.programs[i].icon) << i;
        EXPECT_EQ(&icons[pairs[i][1] - 16035], loaded.programs[i].iconMask) << i;
        EXPECT_EQ(i < 5 ? i + 1 : i - 4, loaded.programs[i].progNum) << i;
        EXPECT_EQ(i < 5 ? 1 : 0, loaded.programs[i].isSystem) << i;
    }
    const tagPROGITEM& orion = loaded.programs[4];  // the default type and caption setting
    EXPECT_EQ(QStringList({QString::fromUtf8("オリオン"), "Program", "NO", "1500", QString::fromUtf8("一行目\\r\\n二行目")}),
              QStringList({orion.title, orion.type, orion.jimaku, QString::number(orion.time), orion.summary}));
}

TEST(ProgramListReader, ATypeWithoutIconForItsListEndsThatListAndMissingSectionsReadAsDefaults)
{
    TempEnvironment env;
    const QString system = env.Path("sys.lst"), user = env.Path("user.lst");
    TempEnvironment::WriteBytes(system, header());
    TempEnvironment::WriteBytes(user, header("1.0", "ZentorinLite", 3) + section(1, "Program", "Before", "a.zsf")
                                          + section(2, "Today", "Today", "b.zsf") + section(3, "Program", "After", "c.zsf"));
    Loaded loaded = load(system, user);
    EXPECT_EQ(1, loaded.result);
    ASSERT_EQ(1, loaded.programs.size());
    EXPECT_EQ("Before", loaded.programs[0].title);
    // a type is compared as written
    TempEnvironment::WriteBytes(system, header("1.0", "ZentorinLite", 1) + section(1, "program", "lower", "a.zsf"));
    EXPECT_TRUE(load(system, "").programs.isEmpty());

    // sections that are missing read as default programs, within reason
    TempEnvironment::WriteBytes(system, header("1.0", "ZentorinLite", 3) + section(1, "Program", "A", "a.zsf"));
    loaded = load(system, "");
    EXPECT_EQ(1, loaded.result);
    ASSERT_EQ(3, loaded.programs.size());
    EXPECT_EQ(3, loaded.programs[2].progNum);
}

TEST(ProgramListReader, HeadersAreCheckedExactly)
{
    TempEnvironment env;
    const QString system = env.Path("sys.lst");
    MessageBoxScript boxes;
    const struct { QByteArray header; int result; } cases[] = {
        {header("1.00"), 1}, {header("0.9"), 1}, {header("1"), 1}, {header("1.01"), 0}, {header("2.0"), 0},
        {header("1.0", "zentorinlite"), 0}, {header().replace("FileId=ProgramList", "FileId=SceneFile"), 0},
        // a count no list could hold
        {header("1.0", "ZentorinLite", 5000) + section(1, "Program", "A", "a.zsf"), 0},
        {header("1.0", "ZentorinLite", 2000000) + section(1, "Program", "A", "a.zsf"), 0},
    };
    for (const auto& c : cases) {
        if (!c.result)
            boxes.Expect(kBadFormat, platform::MB_OK | platform::MB_ICONHAND, platform::IDOK);
        TempEnvironment::WriteBytes(system, c.header);
        EXPECT_EQ(c.result, load(system, "").result) << c.header.constData();
    }
    // a bad user list: the system programs stay loaded, the result is 0
    boxes.Expect(kBadFormat, platform::MB_OK | platform::MB_ICONHAND, platform::IDOK);
    TempEnvironment::WriteBytes(system, header("1.0", "ZentorinLite", 1) + section(1, "Program", "A", "a.zsf"));
    TempEnvironment::WriteBytes(env.Path("user.lst"), header("3.0"));
    const Loaded loaded = load(system, env.Path("user.lst"));
    EXPECT_EQ(0, loaded.result);
    EXPECT_EQ(1, loaded.programs.size());

    boxes.Expect(QString::fromUtf8("番組リストファイルが見つかりません。\n") + env.Path("nowhere.lst"), platform::MB_OK, platform::IDOK);
    EXPECT_EQ(0, load(env.Path("nowhere.lst"), "").result);
}

TEST(ProgramListReader, SceneFilesAreLookedForWhereEachKindLives)
{
    TempEnvironment env;
    const QString system = env.Path("data/System/zvnprg.lst"), user = env.Path("data/Contents/Prg/zvnprg.lst");
    TempEnvironment::WriteBytes(system, header());
    // beside the module's folder, where the product installs Today and the guide: a folder of the test's own
    const QString module = env.Path("app/lib/");
    QDir().mkpath(module);
    CCommonFile::SetModulePath(module);
    struct Restore {
        ~Restore() { CCommonFile::SetModulePath({}); }
    } restore;
    const QString program = QString::fromUtf8("プラネタリウム番組"), planetarium = QString::fromUtf8("プラネタリウム");
    const struct { const char *setting, *folder; QString file; const char *type, *script; int isSystem; QString found, kind, shortKind; } cases[] = {
        {"", "", env.Path("data/PRG/winter/winter.zsf"), "program", "winter.zsf", 1, env.Path("data/System/../PRG/winter/winter.zsf"), "", ""},
        // a registered folder is the only place for system programs: no fallback
        {"PRG", "elsewhere", "", "Program", "winter.zsf", 1, "", program, planetarium},
        {"", "", env.Path("data/Contents/Prg/piano/piano.zsf"), "BGV", "piano.zsf", 0, env.Path("data/Contents/Prg/piano/piano.zsf"), "", ""},
        // a script without "." has an empty base name: the file directly under an empty folder name
        {"", "", env.Path("data/Contents/Prg/noext"), "Program", "noext", 0, env.Path("data/Contents/Prg//noext"), "", ""},
        {"ConsGd", "guide", "", "CnsGuide", "oric.zsf", 1, "", QString::fromUtf8("88星座ガイド"), QString::fromUtf8("星座ガイド")},
        {"", "", env.Path("guide/ori/oric.zsf"), "CnsGuide", "oric.zsf", 1, env.Path("guide/ori/oric.zsf"), "", ""},
        {"PLN", "pln", env.Path("pln/pln.zsf"), "TODAY", "x.zsf", 1, env.Path("pln/pln.zsf"), "", ""},
        {"", "", "", "Movie", "m.zsf", 1, "", "", ""},
        // a script that names another folder finds nothing, though a file is there
        {"", "", env.Path("data/x.zsf"), "Program", "../../x.zsf", 0, "", program, planetarium},
        // registered folders without the file: Today and the guide fall back to the module's folder
        {"PLN", "empty", module + "../pln/pln.zsf", "Today", "x.zsf", 1, module + "../pln/pln.zsf", "", ""},
        {"ConsGd", "empty", module + "../CnsGd/ori/oric.zsf", "CnsGuide", "x.zsf", 1, module + "../CnsGd/ori/oric.zsf", "", ""},
    };
    for (const auto& c : cases) {
        if (*c.setting)
            CRegistry::Write("Files", c.setting, env.Path(c.folder));
        if (!c.file.isEmpty()) {
            ASSERT_TRUE(TempEnvironment::WriteBytes(c.file, "scene"));
        }
        QString path, kind, shortKind;
        EXPECT_EQ(c.found.isEmpty() ? 0 : 1, CProgramListReader::FindScene(c.type, c.script, c.isSystem, system, user, path, kind, shortKind))
            << c.type << " " << c.script;
        EXPECT_EQ(c.found, path) << c.type << " " << c.script;
        if (c.found.isEmpty()) {
            EXPECT_EQ(QStringList({c.kind, c.shortKind}), QStringList({kind, shortKind})) << c.type;
        }
    }
}
