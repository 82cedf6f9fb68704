// A 50 MiB chart shared the module's way (the body built in one buffer and
// posted on the account's connection) against curl -F posting the same parts
// to the same service, which runs as its own process. Prints the times and
// the module's peak memory over what it held before the share.
#include "bench/BenchSupport.h"
#include "cloud/CloudRequest.h"
#include "cloud/ShareRequest.h"
#include "platform/Internet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace platform;

namespace {

QByteArray field(const QByteArray& answer, const QByteArray& name)
{
    const qsizetype at = answer.indexOf("\"" + name + "\":\"") + name.size() + 4;
    return answer.mid(at, answer.indexOf('"', at) - at);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    constexpr qint64 kImage = 50LL << 20;
    QTemporaryDir dir;
    const QString image = dir.filePath("chart.png"), scene = dir.filePath("chart.zsf");
    {
        QByteArray bytes(kImage, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QFile f(image);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        QFile s(scene);
        s.open(QIODevice::WriteOnly);
        s.write("[General]\r\nFileId=Scene\r\n");
    }

    bench::ServiceProcess service;
    if (!service.Start(ZENTOCLOUD_SERVICE_PATH, {"--port", "0", "--http-port", "-1", "--db", dir.filePath("cloud.sqlite")}))
        return 1;
    const int port = service.Port();

    CInternetSession session(QStringLiteral("ZentorinLite/1.0"));
    auto connection = session.GetHttpConnection(QStringLiteral("127.0.0.1"), INTERNET_FLAG_SECURE, INTERNET_PORT(port));
    const QByteArray form = "--b\r\nContent-Disposition: form-data; name=\"account\"\r\n\r\nbench@example.org\r\n--b\r\n"
                            "Content-Disposition: form-data; name=\"password\"\r\n\r\np\r\n--b--\r\n";
    QByteArray answer;
    CCloudRequest::Execute(connection.get(), HTTP_VERB_POST, "/api/register", "Content-Type: multipart/form-data; boundary=b\r\n",
                           form.constData(), int(form.size()), answer);
    sharerequest::BodyInputs in{field(answer, "access_token"), field(answer, "access_token_secret"), QStringLiteral("ベンチ"), image, scene, 0};
    // the view both senders send: curl gets the same values below
    const auto ask = [](const QString& query) {
        const QHash<QString, QString> view = {{"? view.coordinate", "Horizon"}, {"? view.center.position.horizon.altitude", "30"},
                                              {"? view.center.position.horizon.azimuth", "180"}, {"? view.angle", "90"},
                                              {"? time.jd", "2461056.5"}};
        return view.value(query, QStringLiteral("TRUE"));
    };

    QList<double> module, building, curl;
    qint64 peakKiB = 0;
    for (int run = 0; run < 5; ++run) {
        const qint64 before = bench::StatusKiB("VmRSS:");
        bench::ResetPeak();
        QElapsedTimer timer;
        timer.start();
        {
            sharerequest::Body body;
            int length = 0;
            QString error;
            QByteArray response;
            const bool built = sharerequest::BuildBody(in, ask, body, length, error);
            building.append(timer.nsecsElapsed() / 1e9);
            if (!built
                || !CCloudRequest::Execute(connection.get(), HTTP_VERB_POST, "/api/charts", sharerequest::HeaderLine(), body.get(), length,
                                           response)
                || !response.contains("\"OK\"")) {
                std::fprintf(stderr, "share failed: %s\n", response.constData());
                return 1;
            }
        }
        module.append(timer.nsecsElapsed() / 1e9);
        peakKiB = std::max(peakKiB, bench::StatusKiB("VmHWM:") - before);

        QStringList args = {"-sk", "-o", "/dev/null", "-F", "access_token=" + in.accessToken, "-F", "access_token_secret=" + in.accessTokenSecret,
                            "-F", "comment=ベンチ", "-F", "image=@" + image + ";type=image/png", "-F", "zentotalk=@" + scene + ";type=text/plain",
                            "-F", "coordinate=Horizon", "-F", "alpha=30", "-F", "delta=180", "-F", "angle=90", "-F", "jd=2461056.5"};
        for (const char* flag : {"star.name", "twinkle", "cons.name", "cons.line", "cons.pic", "sol_system.name", "milkyway", "messier.mark",
                                 "messier.number", "messier.name", "comet", "comet.id", "comet.name", "meteor.radiant.mark",
                                 "meteor.radiant.name", "panorama", "meridian", "hrz_grid", "equator", "eqt_grid", "ecliptic", "daylight",
                                 "moonlight", "lightpollution"})
            args << "-F" << QString::fromLatin1(flag) + "=1";
        args << QStringLiteral("https://127.0.0.1:%1/api/charts").arg(port);
        timer.restart();
        QProcess::execute("curl", args);
        curl.append(timer.nsecsElapsed() / 1e9);
    }
    std::sort(module.begin(), module.end());
    std::sort(curl.begin(), curl.end());
    std::sort(building.begin(), building.end());
    std::printf("share of a 50 MiB chart, median of 5 runs against the local service\n");
    std::printf("  module: %.3f s   curl -F: %.3f s   ratio %.2f (at most 1.2)\n", module[2], curl[2], module[2] / curl[2]);
    std::printf("  of which the module built its body in %.3f s\n", building[2]);
    std::printf("  module peak memory over its resting size: %.1f MiB = %.2f times the payload (at most 2)\n", peakKiB / 1024.0,
                peakKiB * 1024.0 / kImage);
    bench::Figure("share.module_s", module[2]);
    bench::Figure("share.curl_s", curl[2]);
    bench::Figure("share.peak_payloads", peakKiB * 1024.0 / kImage);
    connection.reset();
    session.Close();
    return 0;
}
