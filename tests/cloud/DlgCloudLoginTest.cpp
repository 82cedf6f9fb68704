#include "cloud/DlgCloudLogin.h"
#include "platform/Internet.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ShellRecorder.h"

#include <QFileInfo>
#include <QLineEdit>
#include <sys/stat.h>
#include <QRegularExpression>

using namespace platform;

namespace {

const QString kAuth = "General\\Authentication";
const QString kNotSignedIn = "ゼントクラウドへのログインに失敗しました。\nログインしていません。";
const QString kNoNetwork = "ネットワーク接続が無効です。\n\nWindows のネットワークの設定を確認してください。";

void fill(CDlgCloudLogin& d, const QString& account, const QString& password, const QString& name)
{
    qobject_cast<QLineEdit*>(d.GetDlgItem(1043))->setText(account);
    qobject_cast<QLineEdit*>(d.GetDlgItem(1044))->setText(password);
    qobject_cast<QLineEdit*>(d.GetDlgItem(1045))->setText(name);
}

int signIn(CDlgCloudLogin& dialog, const QString& account, const QString& password, const QString& name)
{
    return runModal(dialog, [&] {
        fill(dialog, account, password, name);
        dialog.DispatchCommand(BN_CLICKED, 1);
    });
}

}  // namespace

TEST(CloudLogin, TheDialogSignsInWithTheFormByteForByteAndStoresTheAccount)
{
    CloudFixture cloud;
    QByteArray wire;
    SetInternetTrace([&wire](const QString&, const QByteArray& sent) { wire += sent; });
    ShellRecorder shell;
    CDlgCloudLogin dialog;
    const int result = runModal(dialog, [&] {
        EXPECT_EQ("共有ログイン", dialog.windowTitle());
        EXPECT_EQ(QLineEdit::Password, qobject_cast<QLineEdit*>(dialog.GetDlgItem(1044))->echoMode());
        EXPECT_TRUE(dialog.GetDlgItem(2045)->styleSheet().contains("#c4c4c4"));  // skinned as it set itself up
        dialog.DispatchCommand(BN_CLICKED, 2045);  // the registration page opens; the dialog stays
        fill(dialog, "subaru@example.org", "p@ss", "星野 すばる");
        dialog.DispatchCommand(BN_CLICKED, 1);
    });
    SetInternetTrace({});
    ASSERT_EQ(1, result);
    ASSERT_EQ(1, shell.Calls().size());
    EXPECT_EQ(std::make_tuple(QString("Open"), QString("http://127.0.0.1:9/register"), int(SW_SHOWNORMAL)),
              std::make_tuple(shell.Calls()[0].verb, shell.Calls()[0].file, int(shell.Calls()[0].show)));
    // the request and its form on the wire, byte for byte
    const QByteArray body = "--zentorlink\r\nContent-Disposition: form-data; name=\"name\"\r\n\r\n" + QString("星野 すばる").toUtf8()
                            + "\r\n--zentorlink\r\nContent-Disposition: form-data; name=\"account\"\r\n\r\nsubaru@example.org"
                            + "\r\n--zentorlink\r\nContent-Disposition: form-data; name=\"password\"\r\n\r\np@ss\r\n--zentorlink--\r\n";
    const qsizetype end = wire.indexOf("\r\n\r\n") + 4;
    EXPECT_EQ(body, wire.mid(end));
    for (const QByteArray& line : {QByteArray("POST /api/register HTTP/1.1\r\n"), QByteArray("\r\nUser-Agent: ZentorinLite/1.0\r\n"),
                                   QByteArray("\r\nContent-Type: multipart/form-data; boundary=zentorlink\r\n"),
                                   "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n"})
        EXPECT_TRUE(wire.left(end).contains(line)) << line.toStdString();
    EXPECT_EQ(QString::fromLatin1(dialog.GetAccessToken()), stored("AccessToken"));
    EXPECT_EQ(QString::fromLatin1(dialog.GetAccessTokenSecret()), stored("AccessTokenSecret"));
    EXPECT_EQ("subaru@example.org", stored("VaroquinId"));
    EXPECT_EQ("星野 すばる", stored("UserName"));
    // written in this order
    const QString file = QString::fromUtf8(TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
    const QRegularExpression order("AccessToken=.*AccessTokenSecret=.*VaroquinId=.*UserName=", QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(file.contains(order));
}

// The tokens of a sign-in are their owner's alone, whatever the umask: in the settings and in
// the local service's account store, one an older run left readable to all included.
TEST(CloudLogin, ASignInsTokensAreReadableByTheirOwnerAlone)
{
    CloudFixture cloud;
    const mode_t before = ::umask(022);
    const QString accounts = cloud.env.Path("zentocloud.sqlite");
    ASSERT_TRUE(TempEnvironment::WriteBytes(accounts, ""));
    ASSERT_EQ(0, ::chmod(QFile::encodeName(accounts).constData(), 0644));
    {
        CZentoCloudService service(accounts.toStdString());
        ASSERT_TRUE(service.Start(0));
        CRegistry::Write(kAuth, "CloudUrlBase", QString::fromStdString(service.BaseUrl()));
        CDlgCloudLogin dialog;
        EXPECT_EQ(1, signIn(dialog, "subaru@example.org", "p@ss", "すばる"));
    }
    ::umask(before);
    EXPECT_NE("<absent>", stored("AccessToken"));
    EXPECT_EQ(0600u, TempEnvironment::Mode(cloud.env.SettingsFile()));
    EXPECT_EQ(0600u, TempEnvironment::Mode(accounts));
    EXPECT_GT(QFileInfo(accounts).size(), 0);
}

TEST(CloudLogin, FailedSignInsShowWhyAndStoreNothingAndASuccessStoresTheAnswersName)
{
    CloudFixture cloud;
    {
        CDlgCloudLogin first;  // makes the account; a wrong password is then refused by the service
        ASSERT_EQ(1, signIn(first, "a@example.org", "right", "A"));
    }
    const QString token = stored("AccessToken");
    MessageBoxScript boxes;
    CDlgCloudLogin dialog;
    const int result = runModal(dialog, [&] {
        // the account signed in last is offered again: its address and its name, never the password
        const auto text = [&](int id) { return qobject_cast<QLineEdit*>(dialog.GetDlgItem(id))->text(); };
        EXPECT_EQ(QStringList({"a@example.org", "", "A"}), QStringList({text(1043), text(1044), text(1045)}));
        fill(dialog, "", "", "");
        boxes.Expect("メールアドレスを入力してください。\n", MB_OK | MB_ICONASTERISK, IDOK);  // one empty field at a time
        dialog.DispatchCommand(BN_CLICKED, 1);
        EXPECT_EQ(dialog.GetDlgItem(1043), dialog.focusWidget());
        fill(dialog, "   ", "", "");
        boxes.Expect("パスワードを入力してください。\n", MB_OK | MB_ICONASTERISK, IDOK);
        dialog.DispatchCommand(BN_CLICKED, 1);
        EXPECT_EQ(dialog.GetDlgItem(1044), dialog.focusWidget());
        EXPECT_EQ(1u, cloud.service.Requests().size());
        fill(dialog, "a@example.org", "wrong", "Other");
        boxes.Expect("認証に失敗しました。(正しいVaroquin ID、パスワードを入力してください。)\n", MB_OK | MB_ICONASTERISK, IDOK);
        dialog.DispatchCommand(BN_CLICKED, 1);
        EXPECT_TRUE(dialog.isVisible());
        cloud.service.Script("/api/register", cloud.answer(401, "denied"));
        boxes.Expect("認証に失敗しました。(ステータス:[401])\n", MB_OK, IDOK);
        dialog.DispatchCommand(BN_CLICKED, 1);
        cloud.service.Script("/api/register", cloud.answer(200, "{\"status\":503}"));
        boxes.Expect("認証に失敗しました。(UNDEFINED ERROR.\n[RESPONSE STRING:{\"status\":503}])\n", MB_OK | MB_ICONEXCLAMATION, IDOK);
        dialog.DispatchCommand(BN_CLICKED, 1);
        EXPECT_EQ(token, stored("AccessToken"));
        EXPECT_EQ("A", stored("UserName"));
        cloud.service.Script("/api/register", cloud.answer(200, R"({"status":200,"access_token":"T","name":"From Service"})"));
        dialog.DispatchCommand(BN_CLICKED, 1);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("From Service", stored("UserName"));
    EXPECT_EQ("Other", dialog.GetDispUserName());  // the field, exchanged once more on OK
    EXPECT_EQ("T", stored("AccessToken"));
}

TEST(CloudLogin, TokenCheckAcceptsRefusesAndRetriesOnTheSignInsConnection)
{
    CloudFixture cloud;
    MessageBoxScript boxes;
    CDlgCloudLogin dialog;
    boxes.Expect(kNotSignedIn, MB_OK | MB_ICONEXCLAMATION, IDOK);
    EXPECT_EQ(4, dialog.CheckValidAccessToken());  // never signed in: both tokens empty
    CHttpConnection* connection = dialog.GetZentoCloudConnection();
    ASSERT_EQ(1, signIn(dialog, "t@example.org", "pw", "ていと"));
    EXPECT_EQ(connection, dialog.GetZentoCloudConnection());

    CDlgCloudLogin account;  // reads the stored tokens
    EXPECT_EQ(1, account.CheckValidAccessToken());
    EXPECT_EQ("ていと", account.GetDispUserName());
    const auto requests = cloud.service.Requests();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ("/api/user_status?access_token=&access_token_secret=", requests[0].target);
    EXPECT_EQ(requests[0].remotePort, requests[1].remotePort);
    EXPECT_EQ("/api/user_status?access_token=" + stored("AccessToken").toStdString() + "&access_token_secret="
                  + stored("AccessTokenSecret").toStdString(),
              requests[2].target);

    cloud.service.Script("/api/user_status", cloud.answer(500, "down"));
    boxes.Expect("ゼントクラウドとのHTTP通信に失敗しました。\nステータス:[500]", MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDRETRY)
        .Expect("ゼントクラウドとのHTTP通信に失敗しました。\nステータス:[500]", MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDRETRY)
        .Then([] { CRegistry::Write("General\\Network", "Connected", 0); })  // the network goes while the box is up
        .Expect(kNoNetwork, MB_OK, IDOK);
    EXPECT_EQ(2, account.CheckValidAccessToken());
    EXPECT_EQ(5u, cloud.service.Requests().size());  // Retry asked again, after the network check
}

TEST(CloudLogin, TheTokenCheckFormatsItsPathAndReportsConnectionProblems)
{
    CloudFixture cloud;
    MessageBoxScript boxes;
    CRegistry::Write(kAuth, "CloudUrlBase", "http://127.0.0.1:1");
    CDlgCloudLogin plain;
    boxes.Expect("URLが不正です。\n", MB_OK, IDOK);
    EXPECT_EQ(2, plain.CheckValidAccessToken());
    EXPECT_EQ(nullptr, plain.GetZentoCloudConnection());

    // the certificate names 127.0.0.1, not localhost, and is taken all the same; the path is ignored;
    // the tokens as the service might send them go into a configured path with a literal "%"
    CRegistry::Write(kAuth, "CloudUrlBase", QString("https://localhost:%1/ignored/path").arg(cloud.service.Port()));
    CRegistry::Write(kAuth, "AccessToken", "a%sb c#d\x01");
    CRegistry::Write(kAuth, "AccessTokenSecret", "秘密");
    CRegistry::Write(kAuth, "CloudApiStatus", "/api/user_status?rate=100%%&access_token=%s&access_token_secret=%s");
    CDlgCloudLogin dialog;
    boxes.Expect(kNotSignedIn, MB_OK | MB_ICONEXCLAMATION, IDOK);
    EXPECT_EQ(4, dialog.CheckValidAccessToken());
    // the secret in the system's code page; only what a request line cannot carry is escaped
    EXPECT_EQ("/api/user_status?rate=100%&access_token=a%sb%20c%23d%01&access_token_secret=\x94\xe9\x96\xa7",
              cloud.service.Requests().back().target);
    // the network check comes first on every call, an open connection notwithstanding
    CRegistry::Write("General\\Network", "Connected", 0);
    boxes.Expect(kNoNetwork, MB_OK, IDOK);
    EXPECT_EQ(2, dialog.CheckValidAccessToken());
    // a server that is gone once the connection exists: the platform's error text
    CRegistry::Write("General\\Network", "Connected", 1);
    cloud.service.Stop();
    boxes.ExpectStartingWith("ゼントクラウドとのHTTP通信に失敗しました。\n", MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDCANCEL);
    EXPECT_EQ(2, dialog.CheckValidAccessToken());
    EXPECT_GT(boxes.Shown().last().text.size(), QString("ゼントクラウドとのHTTP通信に失敗しました。\n").size());
}
