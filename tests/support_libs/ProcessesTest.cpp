// Several processes changing one shared file at once, as two host windows, a host and a tool,
// or an installer's `xargs -P` do: every value and every program stays, a reader never meets a
// half-written file, and a writer killed while it holds a file never blocks the next one.
#include "platform/CodePage.h"
#include "support/zvnreg/Registry.h"
#include "support/zvnreg/SettingsDocument.h"
#include "tests/support/TempEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Processes = std::vector<std::unique_ptr<QProcess>>;

Processes startAll(const QString& program, const QList<QStringList>& arguments)
{
    Processes processes;
    for (const QStringList& args : arguments) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processes.back()->start(program, args);
    }
    return processes;
}

// each one's exit code once it ended (-1: it did not end, or crashed)
QList<int> exitCodes(Processes& processes)
{
    QList<int> codes;
    for (auto& p : processes)
        codes.append((p->state() == QProcess::NotRunning || p->waitForFinished(120000)) && p->exitStatus() == QProcess::NormalExit
                         ? p->exitCode()
                         : -1);
    return codes;
}

// a process's end is seen only as its events are handled
bool running(const Processes& processes)
{
    QCoreApplication::processEvents();
    for (const auto& p : processes)
        if (p->state() != QProcess::NotRunning)
            return true;
    return false;
}

// the program sections' numbers in the order the list holds them, its Num, and its scene files
struct ListedPrograms {
    QList<int> numbers;
    int count = -1;
    QSet<QString> scripts;
};
ListedPrograms listed(const QString& listPath)
{
    ListedPrograms list;
    static const QRegularExpression section(QStringLiteral("^\\[Prog(\\d+)\\]$"));
    for (const QString& line : platform::FromCodePage(TempEnvironment::ReadBytes(listPath)).split(QStringLiteral("\r\n"))) {
        if (const auto match = section.match(line); match.hasMatch())
            list.numbers.append(match.captured(1).toInt());
        else if (line.startsWith(QStringLiteral("Num=")))
            list.count = line.mid(4).toInt();
        else if (line.startsWith(QStringLiteral("Script=")))
            list.scripts.insert(line.mid(7));
    }
    return list;
}

QList<int> oneTo(int n)
{
    QList<int> numbers;
    for (int i = 1; i <= n; ++i)
        numbers.append(i);
    return numbers;
}

}  // namespace

TEST(Processes, SettingsWrittenByManyAtOnceAreAllKeptAndAlwaysReadWhole)
{
    TempEnvironment env;
    constexpr int kProcesses = 4, kWrites = 100;
    QList<QStringList> arguments;
    for (int p = 0; p < kProcesses; ++p)
        arguments.append({"write", QString("P%1_").arg(p), QString::number(kWrites)});
    Processes writers = startAll(SHARED_FILE_WRITER, arguments);
    // read as another window does meanwhile: always a whole file, never fewer values than before
    qsizetype seen = 0, reads = 0, shrank = 0, broken = 0;
    while (running(writers)) {
        const QByteArray bytes = TempEnvironment::ReadBytes(env.SettingsFile());
        const auto doc = CSettingsDocument::Parse(bytes);
        const qsizetype values = bytes.count('\n');
        broken += !doc || (!bytes.isEmpty() && !bytes.endsWith('\n'));
        shrank += values < seen;
        seen = std::max(seen, values);
        ++reads;
        QThread::msleep(2);
    }
    EXPECT_EQ(QList<int>(kProcesses, 0), exitCodes(writers));
    EXPECT_GT(reads, 10);
    EXPECT_EQ(0, broken);
    EXPECT_EQ(0, shrank);
    QStringList lost;
    for (int p = 0; p < kProcesses; ++p) {
        for (int n = 1; n <= kWrites; ++n) {
            int value = 0;
            if (!CRegistry::Read("Processes", QString("P%1_%2").arg(p).arg(n), 0, &value) || value != n)
                lost.append(QString("P%1_%2").arg(p).arg(n));
        }
    }
    EXPECT_EQ(QStringList(), lost);
}

TEST(Processes, AdditionalObjectsInstalledAtOnceEachTakeANumberOfTheirOwn)
{
    TempEnvironment env;
    // eight installers of five objects each fill the forty numbers exactly
    QList<QStringList> arguments;
    QSet<QString> expected;
    for (int p = 0; p < 8; ++p) {
        arguments.append({"adf", QString("obj%1_").arg(p), "5"});
        for (int n = 1; n <= 5; ++n)
            expected.insert(QString("/objects/obj%1_%2.adf,obj%1_%2").arg(p).arg(n));
    }
    Processes installers = startAll(SHARED_FILE_WRITER, arguments);
    EXPECT_EQ(QList<int>(8, 0), exitCodes(installers));
    QSet<QString> registered;
    for (int n = 1; n <= 40; ++n) {
        QString entry;
        CRegistry::Read("General\\ADF", QString("ADF%1").arg(n), QString(), entry);
        registered.insert(entry);
    }
    EXPECT_EQ(expected, registered);
}

TEST(Processes, ProgramsAddedAndRemovedByManyAtOnceAreAllListedWithoutAGap)
{
    TempEnvironment env;
    const QString list = env.Path("Prg/zvnprg.lst");
    constexpr int kAdded = 24, kRemoved = 12;
    QList<QStringList> adds;
    QSet<QString> scripts;
    for (int n = 1; n <= kAdded; ++n) {
        const QString info = env.Path(QString("info%1.txt").arg(n));
        TempEnvironment::WriteBytes(info, platform::ToCodePage(QString::fromUtf8("Title=番組%1\r\nScript=p%1.zsf\r\n").arg(n)));
        adds.append({"add", list, info});
        scripts.insert(QString("p%1.zsf").arg(n));
    }
    // the list does not exist yet: the first to come makes it, and no one makes it twice
    TempEnvironment::WriteBytes(env.Path("Prg/.keep"), "");
    Processes adding = startAll(ZVNPRG_PATH, adds);
    EXPECT_EQ(QList<int>(kAdded, 0), exitCodes(adding));
    ListedPrograms after = listed(list);
    EXPECT_EQ(oneTo(kAdded), after.numbers);
    EXPECT_EQ(kAdded, after.count);
    EXPECT_EQ(scripts, after.scripts);

    QList<QStringList> deletes;
    for (int n = 1; n <= kAdded; n += 2) {
        deletes.append({"delete", list, QString("p%1").arg(n)});
        scripts.remove(QString("p%1.zsf").arg(n));
    }
    Processes deleting = startAll(ZVNPRG_PATH, deletes);
    EXPECT_EQ(QList<int>(kRemoved, 0), exitCodes(deleting));
    after = listed(list);
    EXPECT_EQ(oneTo(kAdded - kRemoved), after.numbers);
    EXPECT_EQ(kAdded - kRemoved, after.count);
    EXPECT_EQ(scripts, after.scripts);
}

TEST(Processes, AWriterKilledWhileItHoldsAFileNeverBlocksTheNext)
{
    TempEnvironment env;
    TempEnvironment::WriteBytes(env.Path("info.txt"), "Title=T\r\nScript=t.zsf\r\n");
    const QString list = env.Path("Prg/zvnprg.lst");
    TempEnvironment::WriteBytes(env.Path("Prg/.keep"), "");
    const struct {
        const char* name;
        QString file, program;
        QStringList args;
        std::function<bool()> done;
    } rows[] = {
        {"the settings", env.SettingsFile(), SHARED_FILE_WRITER, {"write", "After", "1"},
         [] {
             int value = 0;
             return CRegistry::Read("Processes", "After1", 0, &value) == 1 && value == 1;
         }},
        {"a program list", list, ZVNPRG_PATH, {"add", list, env.Path("info.txt")}, [&] { return listed(list).count == 1; }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QDir().mkpath(QFileInfo(row.file).absolutePath());
        QProcess holder;
        holder.start(SHARED_FILE_WRITER, {"hold", row.file});
        ASSERT_TRUE(holder.waitForReadyRead(30000));
        ASSERT_EQ("held", holder.readAll().trimmed());
        Processes writer = startAll(row.program, {row.args});
        // it waits for the holder ...
        EXPECT_FALSE(writer[0]->waitForFinished(700));
        EXPECT_FALSE(row.done());
        // ... and goes on at once once the holder is killed with the lock in its hands
        holder.kill();
        holder.waitForFinished(5000);
        EXPECT_TRUE(writer[0]->waitForFinished(5000));
        EXPECT_EQ(0, writer[0]->exitCode());
        EXPECT_TRUE(row.done());
    }
}
