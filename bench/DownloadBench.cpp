// Content downloads through the library dialog's own road (Download: the item
// document, the questions, GetContents' read loop with its progress window)
// against `curl -o` of the same URL, taking turns in one run, from the local
// content site running as its own process; over its HTTPS side (the
// certificate checked by both) and its plain HTTP side. Two downloads of the
// module take part: one whose item document states the package's SHA-256, so
// that it checks it as it writes, and one whose document states none. The
// same guarantee got the common way is `curl -o`, then `openssl dgst -sha256`
// of the file; that is timed too. Prints the best and median times of each,
// and the module's peak memory over the dialog's idle footprint at 16 MiB and
// 256 MiB. Then a 256 MiB package cut at
// half by the site (run in this process, which counts the bytes it sends):
// the share of the bytes the resumed download moves, and that the file ends
// whole and byte-identical.
//
//   contents_download_bench [RUNS]      RUNS of each at 256 MiB (default 5)
#include "bench/BenchSupport.h"
#include "library/DlgContentsLibrary.h"
#include "platform/MessageBox.h"
#include "services/ContentsSite.h"
#include "support/zvnreg/Registry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace platform;

namespace {

const QString kNetwork = QStringLiteral("General\\Network");

struct Outcome {
    QList<double> module, plain, curl, curlHash;  // checked, unchecked, curl -o, curl -o then openssl dgst
    double peakOverIdleMiB = 0;
    double idleMiB = 0;
};

bool failed = false;
bool cutExpected = false;  // the message of a download the site cuts is the one box besides the question

// the dialog shown and its browser done with the first page, as a user has it before picking an item
bool waitUntilReady(CDlgContentsLibrary& dialog)
{
    QElapsedTimer clock;
    clock.start();
    while (!dialog.IsBrowserReady() && clock.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    return dialog.IsBrowserReady();
}

Outcome measure(const QString& base, const QString& folder, const QString& authority, qint64 bytes, int runs)
{
    Outcome out;
    CRegistry::Write(kNetwork, QStringLiteral("URL3"), base);
    QWidget host;
    CDlgContentsLibrary dialog(&host);
    dialog.m_strInstallRoot = folder + u'/';
    const QString installed = folder + QStringLiteral("/bench.bin"), fetched = folder + QStringLiteral("/curl.bin");
    if (dialog.Create(&host) != 1 || !waitUntilReady(dialog)) {
        std::fprintf(stderr, "the library dialog did not open\n");
        failed = true;
        return out;
    }
    const qint64 idle = bench::StatusKiB("VmRSS:");
    out.idleMiB = idle / 1024.0;
    qint64 peak = idle;
    const QString url = base + QStringLiteral("/download/bench");
    const auto download = [&](const QString& id, QList<double>& times) {
        bench::ResetPeak();
        QElapsedTimer timer;
        timer.start();
        CRegistry::Write(QStringLiteral("Exchange"), QStringLiteral("ContentsLibrary"), id);
        const int done = dialog.Download();
        times.append(timer.nsecsElapsed() / 1e9);
        peak = std::max(peak, bench::StatusKiB("VmHWM:"));
        dialog.ProgressDialog().Close();
        if (!done || QFileInfo(installed).size() != bytes) {
            std::fprintf(stderr, "the module's download of %s failed\n", qPrintable(id));
            failed = true;
        }
        QFile::remove(installed);
    };
    for (int run = 0; run < runs && !failed; ++run) {
        download(QStringLiteral("bench"), out.module);
        download(QStringLiteral("bench-plain"), out.plain);

        QStringList args = {QStringLiteral("-sS"), QStringLiteral("-o"), fetched, url};
        if (base.startsWith(QLatin1String("https:")))
            args << QStringLiteral("--cacert") << authority;
        QElapsedTimer timer;
        timer.start();
        const int curl = QProcess::execute(QStringLiteral("curl"), args);
        const double fetchedIn = timer.nsecsElapsed() / 1e9;
        out.curl.append(fetchedIn);
        timer.restart();
        QProcess dgst;
        dgst.setStandardOutputFile(QProcess::nullDevice());
        dgst.start(QStringLiteral("openssl"), {QStringLiteral("dgst"), QStringLiteral("-sha256"), fetched});
        const bool hashed = dgst.waitForFinished(60000) && dgst.exitCode() == 0;
        out.curlHash.append(fetchedIn + timer.nsecsElapsed() / 1e9);
        if (curl != 0 || QFileInfo(fetched).size() != bytes || !hashed) {
            std::fprintf(stderr, "curl or openssl failed\n");
            failed = true;
        }
        QFile::remove(fetched);
    }
    out.peakOverIdleMiB = (peak - idle) / 1024.0;
    dialog.done(IDCANCEL);
    return out;
}

// The share of the package's bytes the site sent for the download that went on after a cut at half.
double resumeShare(const QString& folder, const QString& authority, qint64 bytes)
{
    CContentsSite site(folder.toStdString());
    site.AddGeneratedItem(bytes);
    site.CutAfter("bench", bytes / 2);
    if (!site.Start(0) || !site.WriteCertificate(authority.toStdString())) {
        std::fprintf(stderr, "the in-process content site did not start\n");
        failed = true;
        return 0;
    }
    CRegistry::Write(kNetwork, QStringLiteral("URL3"), QString::fromStdString(site.BaseUrl()));
    QWidget host;
    CDlgContentsLibrary dialog(&host);
    dialog.m_strInstallRoot = folder + u'/';
    const QString installed = folder + QStringLiteral("/bench.bin");
    dialog.Create(&host);
    CRegistry::Write(QStringLiteral("Exchange"), QStringLiteral("ContentsLibrary"), QStringLiteral("bench"));
    cutExpected = true;
    const int cut = dialog.Download();
    cutExpected = false;
    dialog.ProgressDialog().Close();
    const qint64 kept = QFileInfo(installed).size();
    const long long before = site.BytesSent();
    const int resumed = dialog.Download();
    const double share = double(site.BytesSent() - before) / double(bytes);
    dialog.ProgressDialog().Close();
    // byte-identical: the generated package is one byte repeated
    QFile file(installed);
    qint64 same = 0;
    if (file.open(QIODevice::ReadOnly))
        for (QByteArray chunk; !(chunk = file.read(1 << 20)).isEmpty();)
            same += chunk.count('*');
    std::printf("  a %lld MiB package cut at half: %.1f MiB kept, the resumed download moved %.1f MiB (%.1f %% of the package, at most 52 %%); "
                "%s\n",
                static_cast<long long>(bytes >> 20), kept / 1048576.0, share * bytes / 1048576.0, share * 100,
                same == bytes && file.size() == bytes ? "the file is whole and byte-identical" : "THE FILE DIFFERS");
    if (cut != 0 || resumed != 1 || same != bytes || file.size() != bytes) {
        std::fprintf(stderr, "the resumed download failed\n");
        failed = true;
    }
    file.remove();
    dialog.done(IDCANCEL);
    site.Stop();
    return share;
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    bench::PrepareLibraryBench(dir.path());
    QApplication app(argc, argv);
    const int runs = bench::Runs(argc, argv, 5);
    // the install question answered yes; any other box is a failure
    SetMessageBoxHandler([](QWidget*, const QString& text, unsigned style) {
        if ((style & MB_TYPEMASK) == MB_YESNO)
            return IDYES;
        if (cutExpected && text == QStringLiteral("コンテンツがダウンロードできませんでした。"))
            return IDOK;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        failed = true;
        return IDOK;
    });
    const QString authority = dir.filePath(QStringLiteral("site-ca.pem"));
    CRegistry::Write(kNetwork, QStringLiteral("TrustedCA"), authority);

    std::printf("content download from the local site, the module's Download against curl -o, taking turns\n");
    for (const qint64 mib : {16, 256}) {
        const qint64 bytes = mib << 20;
        bench::ServiceProcess site;
        if (!site.Start(CONTENTS_SITE_PATH, {"--port", "0", "--http-port", "0", "--content", dir.path(), "--cert-out", authority,
                                             "--generated", QString::number(bytes)})) {
            std::fprintf(stderr, "the content site did not start\n");
            return 1;
        }
        for (const bool secure : {true, false}) {
            const char* scheme = secure ? "https" : "http";
            const QString base = QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme)).arg(site.Port(secure ? 0 : 1));
            const Outcome o = measure(base, dir.path(), authority, bytes, mib == 256 ? runs : 2);
            if (failed)
                return 1;
            const double module = bench::Best(o.module), plain = bench::Best(o.plain), curl = bench::Best(o.curl),
                         curlHash = bench::Best(o.curlHash);
            std::printf("  %3lld MiB over %-5s checked   %7.3f s (%6.0f MiB/s; median %.3f s)   unchecked %7.3f s (median %.3f s)\n"
                        "                      curl -o   %7.3f s (%6.0f MiB/s; median %.3f s)   then openssl dgst %7.3f s (median %.3f s)\n"
                        "                      throughput over curl -o: checked %.2f (at least 0.97), unchecked %.2f (at least 1.1); "
                        "checked over curl -o and openssl dgst %.2f\n",
                        static_cast<long long>(mib), scheme, module, mib / module, bench::Median(o.module), plain,
                        bench::Median(o.plain), curl, mib / curl, bench::Median(o.curl), curlHash, bench::Median(o.curlHash),
                        curl / module, curl / plain, curlHash / module);
            std::printf("      peak memory %.1f MiB over the dialog's idle %.1f MiB (at most 16)\n", o.peakOverIdleMiB, o.idleMiB);
            const QByteArray key = QByteArray("download.") + scheme + '.' + QByteArray::number(mib);
            bench::Figure(key + ".module_s", module);
            bench::Figure(key + ".module_median_s", bench::Median(o.module));
            bench::Figure(key + ".plain_s", plain);
            bench::Figure(key + ".curl_s", curl);
            bench::Figure(key + ".curl_median_s", bench::Median(o.curl));
            bench::Figure(key + ".curl_dgst_s", curlHash);
            bench::Figure(key + ".peak_mib", o.peakOverIdleMiB);
        }
    }
    const double share = resumeShare(dir.path(), authority, qint64(256) << 20);
    if (failed)
        return 1;
    bench::Figure("download.resume.256.moved_share", share);
    return 0;
}
