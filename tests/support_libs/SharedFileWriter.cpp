// A process that changes the files several processes share, as the module does, for the
// tests that run many of them at once:
//   write NAME COUNT   writes NAME1 .. NAME<COUNT> to the settings section "Processes", one write each
//   adf NAME COUNT     registers the additional objects /objects/NAME1.adf .. NAME<COUNT>.adf
//                      (titled NAME1 ..) as installations do
//   hold FILE          takes FILE's lock, prints "held" and waits until it is killed
// The settings file is the one ZVN_SETTINGS_FILE names.
#include "library/ContentsInstall.h"
#include "platform/FileLock.h"
#include "support/zvnreg/Registry.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == u"write" && args.size() == 3) {
        int failed = 0;
        for (int n = 1; n <= args[2].toInt(); ++n)
            failed += CRegistry::Write(QStringLiteral("Processes"), args[1] + QString::number(n), n) ? 0 : 1;
        return failed ? 1 : 0;
    }
    if (command == u"adf" && args.size() == 3) {
        int failed = 0;
        for (int n = 1; n <= args[2].toInt(); ++n) {
            const QString name = args[1] + QString::number(n);
            failed += contents::RegisterAdf(QStringLiteral("/objects/") + name + QStringLiteral(".adf"), name) ? 0 : 1;
        }
        return failed ? 1 : 0;
    }
    if (command == u"hold" && args.size() == 2) {
        const platform::FileLock lock(args[1]);
        if (!lock.IsHeld())
            return 1;
        std::puts("held");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(60);
    }
    std::fputs("usage: write NAME COUNT | adf NAME COUNT | hold FILE\n", stderr);
    return 2;
}
