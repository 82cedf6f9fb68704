#include "tests/support/TempEnvironment.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <csignal>
#include <gtest/gtest.h>

// the service as scripts/demo runs it: its own process, on free ports, stopped by a signal
TEST(ServiceProgram, ListensOnLoopbackWhereItSaysAndStopsCleanlyOnSigterm)
{
    TempEnvironment env;
    for (const int stop : {SIGTERM, SIGINT}) {
        QProcess service;
        service.start(ZENTOCLOUD_SERVICE_PATH, {"--port", "0", "--http-port", "0", "--db", env.Path("accounts.sqlite")});
        ASSERT_TRUE(service.waitForReadyRead(30000)) << service.readAllStandardError().toStdString();
        const QString line = QString::fromUtf8(service.readLine());
        const auto found = QRegularExpression(R"(listening on https://127\.0\.0\.1:(\d+) \(registration page http://127\.0\.0\.1:(\d+)/register\))")
                               .match(line);
        ASSERT_TRUE(found.hasMatch()) << line.toStdString();
        for (const int port : {found.captured(1).toInt(), found.captured(2).toInt()}) {
            QTcpSocket socket;
            socket.connectToHost("127.0.0.1", quint16(port));
            EXPECT_TRUE(socket.waitForConnected(5000)) << port;
        }
        ::kill(pid_t(service.processId()), stop);
        ASSERT_TRUE(service.waitForFinished(30000));
        EXPECT_EQ(QProcess::NormalExit, service.exitStatus()) << stop;
        EXPECT_EQ(0, service.exitCode()) << stop;
    }

    // a port that is taken is refused, so a caller can try another
    QProcess first, second;
    first.start(ZENTOCLOUD_SERVICE_PATH, {"--port", "0", "--http-port", "-1", "--db", ":memory:"});
    ASSERT_TRUE(first.waitForReadyRead(30000));
    const QString port = QRegularExpression(R"(127\.0\.0\.1:(\d+))").match(QString::fromUtf8(first.readLine())).captured(1);
    second.start(ZENTOCLOUD_SERVICE_PATH, {"--port", port, "--http-port", "-1", "--db", ":memory:"});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(1, second.exitCode());
    ::kill(pid_t(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(0, first.exitCode());
}
