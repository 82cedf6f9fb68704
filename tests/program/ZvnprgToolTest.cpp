#include "support/zvnreg/Registry.h"
#include "tests/program/ProgramFixture.h"

#include <QDir>
#include <QProcess>

namespace {

// the tool's exit code, and what it printed (standard error after standard output)
std::pair<int, QString> zvnprg(const QStringList& args)
{
    QProcess process;
    process.start(ZVNPRG_PATH, args);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
}

}  // namespace

TEST(ZvnprgTool, EditsListsAndRefusesAsTheModuleDoes)
{
    TempEnvironment env;
    const QString list = env.Path("Prg/zvnprg.lst"), system = env.Path("System/zvnprg.lst");
    QDir().mkpath(env.Path("Prg"));
    EXPECT_EQ(0, zvnprg({"new", list}).first);
    TempEnvironment::WriteBytes(env.Path("info.txt"), platform::ToCodePage(QString::fromUtf8("Type=Program\r\nTitle=星めぐり\r\nScript=stars.zsf\r\nTime=1500\r\n")));
    EXPECT_EQ(0, zvnprg({"add", list, env.Path("info.txt")}).first);
    TempEnvironment::WriteBytes(env.Path("Prg/stars/stars.zsf"), "scene");
    // many batches of programs, each scene looked for apart from the reading: every line still comes in the
    // list's order, with its own scene or its own kind missing, and more than one buffer of them
    constexpr int kPrograms = 1200;
    QByteArray programs = header("1.0", "ZentorinLite", kPrograms);
    QString expected;
    for (int n = 1; n <= kPrograms; ++n) {
        const QString name = QString("p%1").arg(n);
        programs += section(n, n % 5 ? "Program" : "BGV", QString::fromUtf8("番組%1").arg(n), name + ".zsf", n);
        if (n % 3 == 0)
            TempEnvironment::WriteBytes(env.Path("PRG/" + name + "/" + name + ".zsf"), "scene");
        else if (n % 7 == 0)  // a folder by the scene's name is no scene
            QDir().mkpath(env.Path("PRG/" + name + "/" + name + ".zsf"));
        expected += QString::fromUtf8("%1\tsystem\t%2\t番組%3\t%4:%5\t%6\n")
                        .arg(n - 1)
                        .arg(n % 5 ? "Program" : "BGV")
                        .arg(n)
                        .arg(n / 60, 2, 10, QChar('0'))
                        .arg(n % 60, 2, 10, QChar('0'))
                        .arg(n % 3 == 0 ? env.Path("System/../PRG/" + name + "/" + name + ".zsf") : QString::fromUtf8("missing: プラネタリウム番組"));
    }
    TempEnvironment::WriteBytes(system, programs);
    EXPECT_EQ(std::make_pair(0, expected + QString::fromUtf8("1200\tuser\tProgram\t星めぐり\t25:00\t") + env.Path("Prg/stars/stars.zsf") + "\n"),
              zvnprg({"list", system, list}));
    EXPECT_EQ(0, zvnprg({"delete", list, "stars"}).first);
    EXPECT_EQ(header() + "\r\n", TempEnvironment::ReadBytes(list));

    // what it read before a user list that is none is listed still; every refusal says why, and changes nothing
    TempEnvironment::WriteBytes(env.Path("bad.lst"), header("2.0"));
    const struct { QStringList args; const char* message; } refused[] = {
        {{"list", system, env.Path("bad.lst")}, "番組リストファイルの形式が不正です。"},
        {{"add", env.Path("bad.lst"), env.Path("info.txt")}, "番組リストファイルの形式が不正です。"},
        {{"add", list, env.Path("missing.txt")}, "番組情報ファイルを更新できません。"},
        {{"delete", list, "zzz"}, ""},
        {{}, "list"},  // no command: the usage, as a refusal
        {{"move", list}, "list"},
    };
    for (const auto& r : refused) {
        const auto [exit, printed] = zvnprg(r.args);
        EXPECT_EQ(1, exit) << r.args.join(' ').toStdString();
        EXPECT_TRUE(printed.contains(QString::fromUtf8(r.message))) << printed.toStdString();
    }
    EXPECT_TRUE(zvnprg({"list", system, env.Path("bad.lst")}).second.startsWith(expected));
    EXPECT_EQ(header("2.0"), TempEnvironment::ReadBytes(env.Path("bad.lst")));
    EXPECT_EQ(header() + "\r\n", TempEnvironment::ReadBytes(list));
    // the folder the settings register for the system's programs
    CRegistry::Write("Files", "PRG", env.Path("registered"));
    TempEnvironment::WriteBytes(env.Path("registered/p1/p1.zsf"), "scene");
    EXPECT_TRUE(zvnprg({"list", system}).second.startsWith(QString::fromUtf8("0\tsystem\tProgram\t番組1\t00:01\t") + env.Path("registered/p1/p1.zsf") + "\n"));
}
