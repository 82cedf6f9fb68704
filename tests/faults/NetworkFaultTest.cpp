// The service closes mid-body or never answers (the timeouts of "General\Network"), or the host core
// answers nothing: the user is told why, and the stored account and temporary folder stay as they were.
#include "cloud/DlgCloudUpload.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/faults/FaultFixture.h"
#include "tests/support/ScriptedHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpServer>

using namespace platform;

namespace {

const QString kAuth = "General\\Authentication";
const QString kHttpFailed = "ゼントクラウドとのHTTP通信に失敗しました。\n";
// far longer than the receive timeout of 1 s: the silence is noticed first, with seconds to
// spare on a loaded machine, and an answer the client waited for would come too late
constexpr int kPostSilence = 6000;
constexpr int kNoticedWithin = kPostSilence - 1500;

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

}  // namespace

TEST(NetworkFaults, TheTokenCheckSaysWhyAndKeepsTheStoredAccount)
{
    CloudFixture cloud;
    CRegistry::Write("General\\Network", "ReceiveTimeout", 1);
    CRegistry::Write(kAuth, "AccessToken", "old-token");
    CRegistry::Write(kAuth, "AccessTokenSecret", "old-secret");
    const QByteArray settings = TempEnvironment::ReadBytes(cloud.env.SettingsFile());
    for (const Fault& fault : failingAnswers(cloud, R"({"status":200,"access_token":"t1","access_token_secret":"s1","name":"星野"})", kPostSilence)) {
        SCOPED_TRACE(fault.what);
        cloud.service.Script("/api/user_status", fault.answer);
        tokenCheckFailsWithin(kNoticedWithin);
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

TEST(NetworkFaults, TheShareSaysWhyAndLeavesNothingBehind)
{
    CloudFixture cloud;
    CRegistry::Write("General\\Network", "ReceiveTimeout", 1);
    CDlgCloudLogin account;
    ASSERT_EQ(1, RunDialog(account, [&] { SignIn(account); }));
    const QString scene = cloud.env.Path("冬.zsf");
    TempEnvironment::WriteBytes(scene, "[General]\r\nFileId=Scene\r\n");
    CRegistry::Write("Dialog\\CloudUpload", "Location", "0");
    CRegistry::Write("Dialog\\CloudUpload", "Image", "0");
    const QByteArray settings = TempEnvironment::ReadBytes(cloud.env.SettingsFile());
    const auto share = [&](ScriptedHost& host, const std::function<void(CDlgCloudUpload&)>& action) {
        CDlgCloudUpload dialog(&host, account.GetZentoCloudConnection(), {}, 0, 0, account.GetAccessToken(),
                               account.GetAccessTokenSecret(), scene, nullptr);
        return RunDialog(dialog, [&] { action(dialog); });
    };
    ScriptedHost host;
    for (const Fault& fault : failingAnswers(cloud, R"({"type":"OK","link":"https://127.0.0.1/charts/7"})", kPostSilence)) {
        SCOPED_TRACE(fault.what);
        cloud.service.Script("/api/charts", fault.answer);
        MessageBoxScript boxes;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(IDCANCEL, share(host, [&](CDlgCloudUpload& dialog) {
                      boxes.ExpectStartingWith(kHttpFailed, MB_OK | MB_ICONEXCLAMATION, IDOK);
                      dialog.DispatchCommand(BN_CLICKED, 1);
                  }));
        EXPECT_LT(clock.elapsed(), kNoticedWithin);
        EXPECT_GT(boxes.Shown().value(0).text.size(), kHttpFailed.size());
        EXPECT_EQ(settings, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
    }

    // a host core that answers nothing saves no chart: the service refuses, and the share stays open
    cloud.service.ClearScripts();
    ScriptedHost silent;
    QString shown;
    EXPECT_EQ(IDCANCEL, share(silent, [&](CDlgCloudUpload& dialog) {
                  QTimer::singleShot(0, &dialog, [&] {
                      if (auto* error = qobject_cast<CZntDialog*>(QApplication::activeModalWidget())) {
                          shown = error->windowTitle() + "|" + error->GetDlgItemText(1053);
                          error->done(2);
                      }
                  });
                  dialog.DispatchCommand(BN_CLICKED, 1);
                  EXPECT_TRUE(dialog.isVisible());
                  dialog.OnCancel();
              }));
    EXPECT_EQ("共有 - エラー|投稿データの送信に失敗しました。\n星図画像がありません。", shown);
    EXPECT_TRUE(cloud.service.Charts().empty());
    EXPECT_TRUE(QDir(cloud.env.TempFolder()).entryList(QDir::Files).isEmpty());  // the chart files the dialog made go with it
}
