#include "tests/program/ListFiles.h"
#include "support/zvnreg/Registry.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using listfiles::header;
using listfiles::section;

namespace {

struct ToolRun {
    int exit;
    QString out;
    QString err;
};

ToolRun zvnprg(const QStringList& args)
{
    QProcess process;
    process.start(ZVNPRG_PATH, args);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

TEST(ZvnprgTool, EditsAndListsProgramLists)
{
    TempEnvironment env;
    const QString list = env.Path("Prg/zvnprg.lst");
    QDir().mkpath(env.Path("Prg"));
    EXPECT_EQ(0, zvnprg({"new", list}).exit);
    EXPECT_EQ(header(), TempEnvironment::ReadBytes(list));
    TempEnvironment::WriteBytes(env.Path("info.txt"), platform::ToCodePage(QString::fromUtf8("Type=Program\r\nTitle=星めぐり\r\nScript=stars.zsf\r\nTime=1500\r\n")));
    EXPECT_EQ(0, zvnprg({"add", list, env.Path("info.txt")}).exit);
    TempEnvironment::WriteBytes(env.Path("Prg/stars/stars.zsf"), "scene");
    TempEnvironment::WriteBytes(env.Path("System/zvnprg.lst"), header("1.0", "ZentorinLite", 1) + section(1, "Program", "Sys", "sys.zsf"));

    const ToolRun listed = zvnprg({"list", env.Path("System/zvnprg.lst"), list});
    EXPECT_EQ(0, listed.exit) << listed.err.toStdString();
    const QStringList lines = listed.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(2, lines.size()) << listed.out.toStdString();
    EXPECT_EQ(QString::fromUtf8("0\tsystem\tProgram\tSys\t-\tmissing: プラネタリウム番組"), lines[0]);
    EXPECT_EQ(QString::fromUtf8("1\tuser\tProgram\t星めぐり\t25:00\t") + env.Path("Prg/stars/stars.zsf"), lines[1]);
    // the folder the settings register for the system's programs
    CRegistry::Write("Files", "PRG", env.Path("registered"));
    TempEnvironment::WriteBytes(env.Path("registered/sys/sys.zsf"), "scene");
    EXPECT_EQ(QString("0\tsystem\tProgram\tSys\t-\t") + env.Path("registered/sys/sys.zsf"),
              zvnprg({"list", env.Path("System/zvnprg.lst")}).out.split('\n').value(0));

    EXPECT_EQ(0, zvnprg({"delete", list, "stars"}).exit);
    EXPECT_EQ(header() + "\r\n", TempEnvironment::ReadBytes(list));
    EXPECT_EQ(0, zvnprg({"--help"}).exit);
}

TEST(ZvnprgTool, FailsCleanlyAndChangesNothing)
{
    TempEnvironment env;
    const QString list = env.Path("zvnprg.lst");
    const QByteArray before = header("1.0", "ZentorinLite", 1) + section(1, "Program", "A", "a.zsf");
    TempEnvironment::WriteBytes(list, before);

    ToolRun r = zvnprg({"add", list, env.Path("missing.txt")});
    EXPECT_EQ(1, r.exit);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("番組情報ファイルを更新できません。"))) << r.err.toStdString();

    TempEnvironment::WriteBytes(env.Path("bad.lst"), header("2.0"));
    TempEnvironment::WriteBytes(env.Path("info.txt"), "Title=B\r\nScript=b.zsf\r\n");
    r = zvnprg({"add", env.Path("bad.lst"), env.Path("info.txt")});
    EXPECT_EQ(1, r.exit);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("番組リストファイルの形式が不正です。"))) << r.err.toStdString();
    EXPECT_EQ(header("2.0"), TempEnvironment::ReadBytes(env.Path("bad.lst")));
    EXPECT_EQ(1, zvnprg({"list", env.Path("bad.lst")}).exit);

    TempEnvironment::WriteBytes(env.Path("file"), "not a folder");
    r = zvnprg({"new", env.Path("file/zvnprg.lst")});
    EXPECT_EQ(1, r.exit);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("番組情報ファイルを作成できません。"))) << r.err.toStdString();

    r = zvnprg({"delete", list, "zzz"});
    EXPECT_EQ(1, r.exit);
    r = zvnprg({"delete", env.Path("missing.lst"), "a"});
    EXPECT_EQ(1, r.exit);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("番組リストファイルが見つかりません。"))) << r.err.toStdString();
    EXPECT_EQ(before, TempEnvironment::ReadBytes(list));
    EXPECT_EQ(1, zvnprg({"frobnicate"}).exit);
}

TEST(ZvnprgTool, ListsALongListInOrderAndWhatItReadBeforeAUserListThatIsNone)
{
    // many batches of programs, each scene looked for apart from the reading: every line
    // still comes in the list's order, with its own scene or its own kind missing
    TempEnvironment env;
    constexpr int kPrograms = 1200;  // more than one buffer of output
    QByteArray system = header("1.0", "ZentorinLite", kPrograms);
    for (int n = 1; n <= kPrograms; ++n) {
        const QString name = QString("p%1").arg(n);
        system += section(n, n % 5 ? "Program" : "BGV", QString::fromUtf8("番組%1").arg(n), name + ".zsf", n);
        if (n % 3 == 0)
            TempEnvironment::WriteBytes(env.Path("PRG/" + name + "/" + name + ".zsf"), "scene");
        else if (n % 7 == 0)  // a folder by the scene's name is no scene
            QDir().mkpath(env.Path("PRG/" + name + "/" + name + ".zsf"));
    }
    TempEnvironment::WriteBytes(env.Path("System/zvnprg.lst"), system);
    TempEnvironment::WriteBytes(env.Path("User/zvnprg.lst"), header("2.0"));

    const ToolRun r = zvnprg({"list", env.Path("System/zvnprg.lst"), env.Path("User/zvnprg.lst")});
    EXPECT_EQ(1, r.exit);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("番組リストファイルの形式が不正です。"))) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(kPrograms, lines.size());
    for (int n = 1; n <= kPrograms; ++n) {
        const QString name = QString("p%1").arg(n);
        const QString scene = n % 3 == 0 ? env.Path("System/../PRG/" + name + "/" + name + ".zsf")
                                         : QString::fromUtf8("missing: プラネタリウム番組");
        EXPECT_EQ(QString::fromUtf8("%1\tsystem\t%2\t番組%3\t%4:%5\t%6")
                      .arg(n - 1)
                      .arg(n % 5 ? "Program" : "BGV")
                      .arg(n)
                      .arg(n / 60, 2, 10, QChar('0'))
                      .arg(n % 60, 2, 10, QChar('0'))
                      .arg(scene),
                  lines[n - 1]);
    }
}
