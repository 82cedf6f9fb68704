#include "host/app/HostApplication.h"

#include "host/app/DataFolders.h"
#include "host/app/HostWindow.h"
#include "host/app/Tour.h"
#include "host/core/SimulatedCore.h"
#include "platform/HostWindows.h"
#include "support/zvnreg/Registry.h"


#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>
#include <QUrl>
#include <cstdio>

namespace {

// The browser engine talks a lot on the console (its GL parameters and flags,
// its graphics backend, Chromium's own log lines), and so do Qt's platform
// plugins; a user of the host sees only the host's own lines, which it prints
// itself, unless asked with --verbose. Set before the application, since the
// engine takes its flags when it starts.
void QuietenTheLibraries(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--verbose") == 0)
            return;
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            fprintf(stderr, "%s\n", qPrintable(message));
    });
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + (flags.isEmpty() ? "" : " ") + "--log-level=3 --disable-logging");
}

// The tour types through the controls themselves, never through an input method. Without
// one it also runs where no keyboard exists: Qt's Wayland input context fails when a text
// field takes the focus on a compositor with no keyboard seat (a headless one, as in CI).
void NoInputMethodForTheTour(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--tour") == 0 || qstrncmp(argv[i], "--tour=", 7) == 0) {
            qputenv("QT_IM_MODULE", "none");
            return;
        }
}

}  // namespace

int RunHost(int argc, char** argv)
{
    QuietenTheLibraries(argc, argv);
    NoInputMethodForTheTour(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zvnhost"));
    QApplication::setApplicationDisplayName(QStringLiteral("zvnhost プラネタリウム"));
    platform::SetApplicationName(QStringLiteral("zvnhost プラネタリウム"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The reference host of the zvnd06 dialog module."));
    parser.addHelpOption();
    const QCommandLineOption tour(QStringLiteral("tour"), QStringLiteral("Run FEATURES (all, or program,library,login,share,favorites) without a person."), QStringLiteral("FEATURES"));
    const QCommandLineOption shots(QStringLiteral("screenshots"), QStringLiteral("Save a picture of every window the tour shows in DIR."), QStringLiteral("DIR"));
    const QCommandLineOption log(QStringLiteral("command-log"), QStringLiteral("Append every command the core receives to FILE."), QStringLiteral("FILE"));
    const QCommandLineOption cloudBase(QStringLiteral("cloud-url-base"), QStringLiteral("Write URL as the ZentoCloud service's address (setting CloudUrlBase) before starting."), QStringLiteral("URL"));
    const QCommandLineOption cloudReg(QStringLiteral("cloud-url-reg"), QStringLiteral("Write URL as the ZentoCloud registration page (setting CloudUrlReg) before starting."), QStringLiteral("URL"));
    const QCommandLineOption libraryUrl(QStringLiteral("library-url"), QStringLiteral("Write URL as the content library site's address (setting URL3 of General\\Network) before starting."), QStringLiteral("URL"));
    const QCommandLineOption libraryCa(QStringLiteral("library-ca"), QStringLiteral("Trust the certificate in FILE (PEM) for the content library site (setting TrustedCA of General\\Network) before starting."), QStringLiteral("FILE"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Let Qt and the embedded browser engine print their diagnostics."));
    parser.addOptions({tour, shots, log, cloudBase, cloudReg, libraryUrl, libraryCa, verbose});
    parser.process(app);

    QTextStream out(stdout);
    if (parser.isSet(libraryUrl))
        CRegistry::Write(QStringLiteral("General\\Network"), QStringLiteral("URL3"), parser.value(libraryUrl));
    if (parser.isSet(libraryCa))
        CRegistry::Write(QStringLiteral("General\\Network"), QStringLiteral("TrustedCA"), QFileInfo(parser.value(libraryCa)).absoluteFilePath());
    // where the module finds ZentoCloud; written before anything reads the settings, and kept
    const struct { const QCommandLineOption& option; const char* value; } cloudAddresses[] = {
        {cloudBase, "CloudUrlBase"}, {cloudReg, "CloudUrlReg"}};
    for (const auto& address : cloudAddresses) {
        if (!parser.isSet(address.option))
            continue;
        const QUrl url(parser.value(address.option), QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty() || (url.scheme() != u"https" && url.scheme() != u"http")) {
            out << "zvnhost: --" << address.option.names().constFirst() << " needs an http or https address, not "
                << parser.value(address.option) << Qt::endl;
            return 2;
        }
        if (!CRegistry::Write(QStringLiteral("General\\Authentication"), QString::fromLatin1(address.value), url.toString())) {
            out << "zvnhost: cannot write the settings file " << CRegistry::SettingsPath() << Qt::endl;
            return 1;
        }
    }
    const CDataFolders folders;
    if (!folders.Prepare()) {
        out << "zvnhost: cannot prepare the data folder " << folders.Root() << Qt::endl;
        return 1;
    }
    CSimulatedCore core;
    const QString logPath = parser.isSet(log) ? parser.value(log) : qEnvironmentVariable("ZVNHOST_COMMAND_LOG");
    if (!logPath.isEmpty() && !core.SetCommandLog(logPath))
        out << "zvnhost: cannot write the command log " << logPath << Qt::endl;
    CHostWindow window(core, folders);
    if (parser.isSet(tour)) {
        CTour run(window, parser.value(shots), out);
        return run.Run(parser.value(tour));
    }
    window.show();
    return app.exec();
}
