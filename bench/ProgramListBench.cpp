// Loading, appending to and deleting from large program lists.
//
//   program_list_bench        prints the time of each operation and the ratio
//                             of loading 10,000 programs to loading 1,000
//   program_list_bench --write LIST N
//                             writes a system list of N programs and their
//                             scene files, for timing `zvnprg list` as a whole
#include "bench/BenchSupport.h"
#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "program/PrgSection.h"
#include "program/ProgramListReader.h"
#include "support/zvndcm/ParamFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

// A system program list as the host ships one (CP932, CR LF): "Today" and "CnsGuide"
// first, then shows and BGV with the format's fields, credits and several-line texts.
// With `scenes`, each show's scene file is put where the list's readers look for it.
void writeList(const QString& path, int programs, bool scenes = false)
{
    QByteArray bytes = "[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\nNum="
                       + QByteArray::number(programs) + "\r\n";
    const QString folder = QFileInfo(path).absolutePath() + QStringLiteral("/../PRG/");
    for (int n = 1; n <= programs; ++n) {
        const QString type = n == 1 ? QStringLiteral("Today") : n == 2 ? QStringLiteral("CnsGuide") : n % 5 ? QStringLiteral("Program") : QStringLiteral("BGV");
        const QString base = QStringLiteral("prog%1").arg(n);
        QString text = QStringLiteral("\r\n[Prog%1]\r\nType=%2\r\nJimaku=%3\r\nTitle=星空の番組 第%1話\r\nSubTitle=冬の大三角と星の一生\r\n"
                                      "Script=%4.zsf\r\nSummary=オリオン座のベテルギウスから始まる物語。\\r\\n星の誕生と最期をたどります。\\r\\n約%5分。\r\n"
                                      "Time=%6\r\n")
                           .arg(n)
                           .arg(type, n % 3 ? QStringLiteral("NO") : QStringLiteral("YES"), base)
                           .arg((600 + n % 1200) / 60)
                           .arg(600 + n % 1200);
        if (type == u"BGV")
            text += QStringLiteral("Music=星空ピアノ・アンサンブル\r\n");
        else if (n % 2)
            text += QStringLiteral("Narrator=星野 すばる\r\n");
        else
            text += QStringLiteral("Artist=天野 ほのか\r\nArtWork=イラスト\r\n");
        text += QStringLiteral("Profile=プラネタリウム解説員。\\r\\n天文普及に二十年。\r\nOrg=天文同好会\r\n"
                               "OrgInfo=毎月第二土曜に観察会。\\r\\nhttps://example.org/club\r\nYear=%1\r\n")
                    .arg(2000 + n % 27);
        bytes += platform::ToCodePage(text);
        if (scenes && (type == u"Program" || type == u"BGV")) {
            QDir().mkpath(folder + base);
            QFile(folder + base + u'/' + base + QStringLiteral(".zsf")).open(QIODevice::WriteOnly);
        }
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
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
    if (argc == 4 && qstrcmp(argv[1], "--write") == 0) {
        writeList(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), true);
        return 0;
    }
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
    bench::Figure("program_list.load_1000_ms", loadSmall);
    bench::Figure("program_list.load_10000_ms", loadLarge);

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
