// The service misbehaves under the sign-in, the token check and the share:
// it closes the connection mid-body, never answers (the timeouts of
// "General\Network"), answers slowly or sends more than it announced. The
// user is told, and the stored account stays as it was.
#include "cloud/DlgCloudUpload.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/faults/FaultFixture.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/ShellRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpServer>

using namespace platform;

namespace {

const QString kAuth = "General\\Authentication";
const QString kHttpFailed = "ゼントクラウドとのHTTP通信に失敗しました。\n";
// longer than the receive timeout of 1 s with its slack: the silence is noticed first
constexpr int kPostSilence = 3000;
const std::string kSignedIn = R"({"status":200,"access_token":"t1","access_token_secret":"s1","name":"星野"})";

// the token check offers Retry/Cancel with the reason in time, and the user cancels
void tokenCheckFailsWithin(qint64 milliseconds)
{
    MessageBoxScript boxes;
    CDlgCloudLogin dialog;
    QElapsedTimer clock;
    clock.start();
    boxes.ExpectStartingWith(kHttpFailed, MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDCANCEL);
    EXPECT_EQ(2, dialog.CheckValidAccessToken());
    EXPECT_LT(clock.elapsed(), milliseconds);
    EXPECT_GT(boxes.Shown().value(0).text.size(), kHttpFailed.size());  // and why, in the platform's words
}

struct Fault {
    const char* what;
    CZentoCloudService::ScriptedAnswer answer;
};

std::vector<Fault> failingAnswers(CloudFixture& cloud, const std::string& body, int silence)
{
    auto early = cloud.answer(200, body);
    early.closeEarly = true;
    auto silent = cloud.answer(200, body);
    silent.delayMs = silence;
    return {{"closes mid-body", early}, {"never answers", silent}};
}

std::vector<Fault> slowOrLongAnswers(CloudFixture& cloud, const std::string& body)
{
    auto slow = cloud.answer(200, body);
    slow.pieceBytes = 8;  // a pause shorter than the timeout before each piece: slow, but alive
    slow.pieceDelayMs = 120;  // more than the timeout in all
    auto longer = cloud.answer(200, body);
    longer.beyondLength = R"({"status":401,"type":"ERROR","message":"not this"})" + std::string(3000, 'x');
    return {{"answers slowly", slow}, {"sends more than announced", longer}};
}

}  // namespace

TEST(NetworkFaults, TheTokenCheckAndTheSignInSayWhyAndKeepTheStoredAccount)
{
    CloudFixture cloud;
    CRegistry::Write("General\\Network", "ReceiveTimeout", 1);
    CRegistry::Write(kAuth, "AccessToken", "old-token");
    CRegistry::Write(kAuth, "AccessTokenSecret", "old-secret");
    const QByteArray settings = TempEnvironment::ReadBytes(cloud.env.SettingsFile());
    for (const Fault& fault : failingAnswers(cloud, kSignedIn, 3000)) {
        SCOPED_TRACE(fault.what);
        cloud.service.Script("/api/user_status", fault.answer);
        tokenCheckFailsWithin(2800);
        EXPECT_EQ(settings, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
    }
    for (const Fault& fault : failingAnswers(cloud, kSignedIn, kPostSilence)) {
        SCOPED_TRACE(fault.what);
        cloud.service.Script("/api/register", fault.answer);
        MessageBoxScript boxes;
        CDlgCloudLogin dialog;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(2, RunDialog(dialog, [&] {
                      boxes.ExpectStartingWith("認証に失敗しました。(", MB_OK, IDOK);
                      SignIn(dialog, "星野");
                      dialog.OnCancel();
                  }));
        EXPECT_LT(clock.elapsed(), kPostSilence - 1000);  // the timeout, not the answer at last
        EXPECT_EQ(settings, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
    }

    // a server that takes the connection and never completes the handshake: the connect timeout
    QTcpServer mute;  // the system takes the connection; nothing reads it, nothing answers
    ASSERT_TRUE(mute.listen(QHostAddress::LocalHost));
    CRegistry::Write("General\\Network", "ConnectTimeout", 1);
    CRegistry::Write(kAuth, "CloudUrlBase", QString("https://127.0.0.1:%1").arg(mute.serverPort()));
    const QByteArray muted = TempEnvironment::ReadBytes(cloud.env.SettingsFile());
    tokenCheckFailsWithin(5000);
    EXPECT_EQ(muted, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
}

TEST(NetworkFaults, TheShareSaysWhyOrSucceedsAndKeepsTheStoredAccount)
{
    CloudFixture cloud;
    CRegistry::Write("General\\Network", "ReceiveTimeout", 1);
    CDlgCloudLogin account;
    ASSERT_EQ(1, RunDialog(account, [&] { SignIn(account, "星野"); }));
    const QString scene = cloud.env.Path("冬.zsf");
    TempEnvironment::WriteBytes(scene, "[General]\r\nFileId=Scene\r\n");
    CRegistry::Write("Dialog\\CloudUpload", "Location", "0");
    CRegistry::Write("Dialog\\CloudUpload", "Image", "0");
    const QByteArray settings = TempEnvironment::ReadBytes(cloud.env.SettingsFile());
    const std::string shared = R"({"type":"OK","link":"https://127.0.0.1/charts/7"})";
    const auto share = [&](const std::function<void(CDlgCloudUpload&)>& action) {
        ScriptedHost host;
        CDlgCloudUpload dialog(&host, account.GetZentoCloudConnection(), {}, 0, 0, account.GetAccessToken(),
                               account.GetAccessTokenSecret(), scene, nullptr);
        return RunDialog(dialog, [&] { action(dialog); });
    };

    for (const Fault& fault : failingAnswers(cloud, shared, kPostSilence)) {
        SCOPED_TRACE(fault.what);
        cloud.service.Script("/api/charts", fault.answer);
        MessageBoxScript boxes;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(IDCANCEL, share([&](CDlgCloudUpload& dialog) {
                      boxes.ExpectStartingWith(kHttpFailed, MB_OK | MB_ICONEXCLAMATION, IDOK);
                      dialog.DispatchCommand(BN_CLICKED, 1);
                  }));
        EXPECT_LT(clock.elapsed(), kPostSilence - 1000);
        EXPECT_GT(boxes.Shown().value(0).text.size(), kHttpFailed.size());
        EXPECT_EQ(settings, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
    }

    for (const Fault& fault : slowOrLongAnswers(cloud, shared)) {
        SCOPED_TRACE(fault.what);
        cloud.service.Script("/api/charts", fault.answer);
        ShellRecorder shell;
        EXPECT_EQ(IDOK, share([&](CDlgCloudUpload& dialog) {
                      // the result dialog's browser button
                      QTimer::singleShot(0, &dialog, [] {
                          if (auto* result = qobject_cast<CZntDialog*>(QApplication::activeModalWidget()))
                              result->done(1064);
                      });
                      dialog.DispatchCommand(BN_CLICKED, 1);
                  }));
        ASSERT_EQ(1, shell.Calls().size());
        EXPECT_EQ("https://127.0.0.1/charts/7", shell.Calls()[0].file);  // the link of the announced answer
        EXPECT_EQ(settings, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
    }
}
