// The service misbehaves under the sign-in, the token check and the share:
// it closes the connection mid-body, answers slowly, never answers (the
// timeouts of "General\Network"), or sends more than it announced. The user
// is told, and the stored account stays as it was.
#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudUpload.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/ShellRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace platform;

namespace {

const QString kAuth = "General\\Authentication";
const QString kHttpFailed = "ゼントクラウドとのHTTP通信に失敗しました。\n";
// longer than the receive timeout of 1 s with its slack: the silence is noticed first
constexpr int kPostSilence = 3000;
const std::string kSignedIn = R"({"status":200,"access_token":"t1","access_token_secret":"s1","name":"星野"})";

QString storedToken()
{
    QString token;
    CRegistry::Read(kAuth, "AccessToken", "", token);
    return token;
}

int run(CZntDialog& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.DoModal();
}

void signIn(CDlgCloudLogin& dialog)
{
    qobject_cast<QLineEdit*>(dialog.GetDlgItem(1043))->setText("s@example.org");
    qobject_cast<QLineEdit*>(dialog.GetDlgItem(1044))->setText("pw");
    qobject_cast<QLineEdit*>(dialog.GetDlgItem(1045))->setText("星野");
    dialog.DispatchCommand(BN_CLICKED, 1);
}

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

// a server on 127.0.0.1 that takes connections and never says a word: the handshake never ends
class MuteServer {
public:
    MuteServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(m_fd, 4) == 0
            && ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~MuteServer() { ::close(m_fd); }
    MuteServer(const MuteServer&) = delete;
    MuteServer& operator=(const MuteServer&) = delete;
    int Port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

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
        EXPECT_EQ(2, run(dialog, [&] {
                      boxes.ExpectStartingWith("認証に失敗しました。(", MB_OK, IDOK);
                      signIn(dialog);
                      dialog.OnCancel();
                  }));
        EXPECT_LT(clock.elapsed(), kPostSilence - 1000);  // the timeout, not the answer at last
        EXPECT_EQ(settings, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
    }

    // a server that takes the connection and never completes the handshake: the connect timeout
    MuteServer mute;
    ASSERT_NE(0, mute.Port());
    CRegistry::Write("General\\Network", "ConnectTimeout", 1);
    CRegistry::Write(kAuth, "CloudUrlBase", QString("https://127.0.0.1:%1").arg(mute.Port()));
    const QByteArray muted = TempEnvironment::ReadBytes(cloud.env.SettingsFile());
    tokenCheckFailsWithin(5000);
    EXPECT_EQ(muted, TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
}

TEST(NetworkFaults, ASlowAnswerSignsInAndOneLongerThanAnnouncedCountsAsAnnounced)
{
    CloudFixture cloud;
    CRegistry::Write("General\\Network", "ReceiveTimeout", 1);
    const auto answers = slowOrLongAnswers(cloud, kSignedIn);
    {
        SCOPED_TRACE(answers[0].what);
        cloud.service.Script("/api/user_status", answers[0].answer);
        cloud.service.Script("/api/register", answers[0].answer);
        CDlgCloudLogin dialog;
        EXPECT_EQ(1, dialog.CheckValidAccessToken());
        EXPECT_EQ(1, run(dialog, [&] { signIn(dialog); }));
        EXPECT_EQ("t1", storedToken());
    }

    SCOPED_TRACE(answers[1].what);
    cloud.service.ClearScripts();
    cloud.service.Script("/api/user_status", answers[1].answer);
    CDlgCloudLogin dialog;
    EXPECT_EQ(1, dialog.CheckValidAccessToken());
    EXPECT_EQ("星野", dialog.GetDispUserName());  // the announced answer, nothing of what came after it
    // the rest is no answer to the next request: that one goes out on a new connection and signs in
    EXPECT_EQ(1, run(dialog, [&] { signIn(dialog); }));
    EXPECT_EQ(32, storedToken().size());  // the service's own
}

TEST(NetworkFaults, TheShareSaysWhyOrSucceedsAndKeepsTheStoredAccount)
{
    CloudFixture cloud;
    CRegistry::Write("General\\Network", "ReceiveTimeout", 1);
    CDlgCloudLogin account;
    ASSERT_EQ(1, run(account, [&] { signIn(account); }));
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
        return run(dialog, [&] { action(dialog); });
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
