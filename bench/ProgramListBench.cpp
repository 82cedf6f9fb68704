// Loading, appending to and deleting from large program lists.
//
//   program_list_bench        prints the time of each operation and the ratio
//                             of loading 10,000 programs to loading 1,000
#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "program/PrgSection.h"
#include "program/ProgramListReader.h"
#include "support/zvndcm/ParamFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

void writeList(const QString& path, int programs)
{
    QByteArray bytes = "[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\nNum="
                       + QByteArray::number(programs) + "\r\n";
    for (int n = 1; n <= programs; ++n)
        bytes += platform::ToCodePage(QStringLiteral("\r\n[Prog%1]\r\nType=Program\r\nTitle=星空の番組 %1\r\nSubTitle=副題\r\n"
                                                     "Script=prog%1.zsf\r\nSummary=一行目\\r\\n二行目\\r\\n三行目\r\nTime=%2\r\n"
                                                     "Narrator=星野 すばる\r\nOrg=天文同好会\r\nOrgInfo=毎月の観察会\r\nYear=2026\r\n")
                                          .arg(n)
                                          .arg(600 + n % 1200));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

// the best of several runs, in milliseconds
template <class F>
double best(int runs, F&& f)
{
    double fastest = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
    }
    return fastest;
}

double load(const QString& list, int expected)
{
    return best(5, [&] {
        QList<tagPROGITEM> programs;
        const CProgramListReader reader;
        CProgramListReader::ReadLists(list, QString(), [&](CParamFile* f, int s) { return reader.DoRead(f, s, programs); });
        if (programs.size() != expected)
            std::fprintf(stderr, "read %lld programs, expected %d\n", static_cast<long long>(programs.size()), expected);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::SetMessageBoxHandler([](QWidget*, const QString& text, unsigned) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return platform::IDOK;
    });
    QTemporaryDir dir;
    const QString small = dir.filePath("small.lst"), large = dir.filePath("large.lst");
    writeList(small, 1000);
    writeList(large, 10000);

    const double loadSmall = load(small, 1000);
    const double loadLarge = load(large, 10000);
    std::printf("load  1,000 programs   %8.2f ms\n", loadSmall);
    std::printf("load 10,000 programs   %8.2f ms\n", loadLarge);
    std::printf("ratio 10,000 / 1,000   %8.2f  (linear is 10)\n", loadLarge / loadSmall);

    QFile info(dir.filePath("info.txt"));
    info.open(QIODevice::WriteOnly);
    info.write(platform::ToCodePage(QStringLiteral("Type=Program\r\nTitle=追加\r\nScript=added.zsf\r\nTime=900\r\n")));
    info.close();
    const double add = best(1, [&] { CPrgSection::Add(large, dir.filePath("info.txt")); });
    std::printf("add to 10,000          %8.2f ms\n", add);
    const double removeMiddle = best(1, [&] { CPrgSection::Delete(large, "prog5000"); });
    std::printf("delete from 10,000     %8.2f ms  (the 5,000th; 5,000 sections renumbered)\n", removeMiddle);
    return 0;
}
