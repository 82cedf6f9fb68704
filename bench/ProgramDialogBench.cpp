// The program dialog with a list of 1,000 programs (or as many as asked),
// offscreen: the time from showing it to its first paint, the time one page of
// scrolling takes to repaint, and the process's peak memory.
//
//   program_dialog_bench [PROGRAMS]   prints them, in milliseconds and MiB
#include "bench/BenchSupport.h"
#include "platform/CodePage.h"
#include "program/DlgProgram.h"
#include "program/ZntTpListBox.h"
#include "support/zvncst/ZntListBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

void writeList(const QString& path, int programs)
{
    static const char* const types[] = {"Today", "CnsGuide", "Program", "BGV"};
    QString text = QStringLiteral("[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n"
                                  "[Programs]\r\nNum=%1\r\n")
                       .arg(programs);
    for (int n = 1; n <= programs; ++n)
        text += QStringLiteral("\r\n[Prog%1]\r\nType=%2\r\nTitle=星空の番組 %1\r\nSubTitle=副題\r\nScript=prog%1.zsf\r\n"
                               "Summary=一行目\\r\\n二行目\\r\\n三行目\r\nTime=%3\r\nNarrator=星野 すばる\r\nMusic=ピアノ\r\n"
                               "Profile=解説員\r\nOrg=天文同好会\r\nOrgInfo=毎月の観察会\r\nYear=2026\r\n")
                    .arg(n)
                    .arg(QLatin1String(types[n % 4]))
                    .arg(600 + n % 1200);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(platform::ToCodePage(text)) < 0)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// counts the paints of a widget
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    bench::Offscreen();
    QApplication app(argc, argv);
    const int kPrograms = bench::Runs(argc, argv, 1000);  // the one argument is the list's length
    const QTemporaryDir folder;
    const QString system = folder.filePath(QStringLiteral("System/zvnprg.lst"));
    writeList(system, kPrograms);

    // showing: the lists read, the pictures composed, the window and its list painted once
    double firstPaint = 1e300, firstOpen = 0;
    for (int run = 0; run < 5; ++run) {
        CDlgProgram dialog(system, QString(), nullptr);
        PaintCounter counter;
        QElapsedTimer timer;
        timer.start();
        dialog.show();
        dialog.GetListBox().List()->viewport()->installEventFilter(&counter);
        while (counter.paints == 0 && timer.elapsed() < 5000)
            QApplication::processEvents();
        firstPaint = std::min(firstPaint, timer.nsecsElapsed() / 1e6);
        if (run == 0)
            firstOpen = timer.nsecsElapsed() / 1e6;  // the process's first: its pictures decoded and composed
        if (dialog.Programs().size() != kPrograms)
            std::fprintf(stderr, "the dialog holds %lld programs\n", static_cast<long long>(dialog.Programs().size()));
        dialog.hide();
    }

    // a page down and the list's repaint, page after page
    CDlgProgram dialog(system, QString(), nullptr);
    dialog.show();
    QApplication::processEvents();
    CZntTpListBox& box = dialog.GetListBox();
    QWidget* entries = box.List()->viewport();
    double total = 0, slowest = 0;
    int pages = 0;
    for (; pages < 100; ++pages) {
        QElapsedTimer timer;
        timer.start();
        box.OnVScroll(SB_PAGEDOWN, 0);
        entries->repaint();
        const double ms = timer.nsecsElapsed() / 1e6;
        total += ms;
        slowest = std::max(slowest, ms);
    }
    std::printf("program dialog, %d programs, offscreen\n", kPrograms);
    std::printf("  open to first paint (best of 5): %8.2f ms; the process's first open %.2f ms\n", firstPaint, firstOpen);
    std::printf("  one page scrolled and repainted: %8.2f ms mean, %.2f ms slowest of %d   (bound 16 ms)\n", total / pages,
                slowest, pages);
    std::printf("  first visible entry after the pages: %d\n", box.GetTopIndex());
    std::printf("  the process's peak memory: %8.1f MiB\n", bench::StatusKiB("VmHWM:") / 1024.0);
    const QByteArray size = QByteArray::number(kPrograms);
    bench::Figure("program_dialog." + size + ".open_ms", firstPaint);
    bench::Figure("program_dialog." + size + ".first_open_ms", firstOpen);
    bench::Figure("program_dialog." + size + ".page_ms", total / pages);
    bench::Figure("program_dialog." + size + ".peak_mib", bench::StatusKiB("VmHWM:") / 1024.0);
    return 0;
}
