#include "host/app/HostApplication.h"

#include "host/app/DataFolders.h"
#include "host/app/HostWindow.h"
#include "host/app/Tour.h"
#include "host/core/SimulatedCore.h"
#include "cloud/DlgCloudLogin.h"
#include "platform/HostWindows.h"
#include "services/ZentoCloudService.h"
#include "support/zvnreg/Registry.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QUrl>
#include <cstdio>

int RunHost(int argc, char** argv)
{
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
    parser.addOptions({tour, shots, log});
    parser.process(app);

    QTextStream out(stdout);
    const CDataFolders folders;
    if (!folders.Prepare()) {
        out << "zvnhost: cannot prepare the data folder " << folders.Root() << Qt::endl;
        return 1;
    }
    // the local ZentoCloud service, where the module's default address points; on free ports
    // when those are taken, and then the settings name it unless they name a service already
    CZentoCloudService cloud((folders.Root() + QStringLiteral("/zentocloud.sqlite")).toStdString());
    const QString section = QStringLiteral("General\\Authentication");
    QString base;
    const bool addressSet = CRegistry::Read(section, QStringLiteral("CloudUrlBase"), QString(), base);
    if (cloud.Start(QUrl(CDlgCloudLogin::DefaultUrlBase()).port(), QUrl(CDlgCloudLogin::DefaultUrlReg()).port())) {
        // the module's defaults reach it
    } else if (cloud.Start(0, 0)) {
        if (!addressSet)
            CRegistry::Write(section, QStringLiteral("CloudUrlBase"), QString::fromStdString(cloud.BaseUrl()));
        out << "zvnhost: the local ZentoCloud service runs at " << QString::fromStdString(cloud.BaseUrl()) << Qt::endl;
    } else {
        out << "zvnhost: the local ZentoCloud service could not start" << Qt::endl;
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
