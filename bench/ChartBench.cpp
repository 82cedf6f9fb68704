// A star chart of 1920 x 1080 rendered by the reference host's simulated
// core: the view it starts with, and the same view with every display flag
// on (the most it draws). Best and median of several renders each.
//
//   chart_bench [RUNS]      renders of each (default 10)
#include "bench/BenchSupport.h"
#include "host/core/SimulatedCore.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

namespace {

QList<double> renders(const CSimulatedCore& core, int runs)
{
    QList<double> seconds;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QImage chart = core.RenderChart(QSize(1920, 1080));
        seconds.append(timer.nsecsElapsed() / 1e9);
        if (chart.size() != QSize(1920, 1080))
            std::fprintf(stderr, "the chart is %dx%d\n", chart.width(), chart.height());
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::Offscreen();
    QGuiApplication app(argc, argv);  // the chart's fonts
    const int runs = bench::Runs(argc, argv, 10);
    CSimulatedCore core;
    core.ExecCommand(QStringLiteral("time.year = 2026; time.month = 1; time.day = 15; time.hour = 21; time.minute = 0"));
    renders(core, 1);  // the catalogues are read at the first render
    const QList<double> start = renders(core, runs);
    QStringList all;
    for (const QString& flag : CSimulatedCore::FlagNames())
        all << flag + QStringLiteral(" = TRUE");
    core.ExecCommand(all.join(QStringLiteral("; ")));
    const QList<double> every = renders(core, runs);

    std::printf("chart of 1920 x 1080 by the simulated core, best of %d renders (median)\n", runs);
    std::printf("  the starting view:      %7.1f ms (%.1f ms)   (at most 100 ms)\n", bench::Best(start) * 1e3, bench::Median(start) * 1e3);
    std::printf("  every display flag on:  %7.1f ms (%.1f ms)   (at most 100 ms)\n", bench::Best(every) * 1e3, bench::Median(every) * 1e3);
    bench::Figure("chart.start_ms", bench::Best(start) * 1e3);
    bench::Figure("chart.every_ms", bench::Best(every) * 1e3);
    return 0;
}
