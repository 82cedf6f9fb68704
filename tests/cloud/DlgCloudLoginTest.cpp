#include "cloud/DlgCloudLogin.h"
#include "platform/Internet.h"
#include "platform/ResourceChain.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ShellRecorder.h"

#include <QLineEdit>
#include <QTimer>

using namespace platform;

namespace {

const QString kAuth = "General\\Authentication";

QString stored(const QString& name)
{
    QString value = "<absent>";
    CRegistry::Read(kAuth, name, "<absent>", value);
    return value;
}

void fill(CDlgCloudLogin& d, const QString& account, const QString& password, const QString& name)
{
    qobject_cast<QLineEdit*>(d.GetDlgItem(1043))->setText(account);
    qobject_cast<QLineEdit*>(d.GetDlgItem(1044))->setText(password);
    qobject_cast<QLineEdit*>(d.GetDlgItem(1045))->setText(name);
}

int run(CDlgCloudLogin& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.DoModal();
}

QByteArray expectedBody(const QString& name, const QString& account, const QString& password)
{
    return "--zentorlink\r\nContent-Disposition: form-data; name=\"name\"\r\n\r\n" + name.toUtf8()
           + "\r\n--zentorlink\r\nContent-Disposition: form-data; name=\"account\"\r\n\r\n" + account.toUtf8()
           + "\r\n--zentorlink\r\nContent-Disposition: form-data; name=\"password\"\r\n\r\n" + password.toUtf8()
           + "\r\n--zentorlink--\r\n";
}

}  // namespace

TEST(CloudLogin, EmptyFieldsAreAskedForOneAtATime)
{
    CloudFixture cloud;
    MessageBoxScript boxes;
    CDlgCloudLogin dialog;
    run(dialog, [&] {
        boxes.Expect("メールアドレスを入力してください。\n", MB_OK | MB_ICONASTERISK, IDOK);
        dialog.DispatchCommand(BN_CLICKED, 1);
        EXPECT_EQ(dialog.GetDlgItem(1043), dialog.focusWidget());
        fill(dialog, "   ", "", "");
        boxes.Expect("パスワードを入力してください。\n", MB_OK | MB_ICONASTERISK, IDOK);
        dialog.DispatchCommand(BN_CLICKED, 1);
        EXPECT_EQ(dialog.GetDlgItem(1044), dialog.focusWidget());
        dialog.OnCancel();
    });
    EXPECT_TRUE(cloud.service.Requests().empty());
}

TEST(CloudLogin, SignInSendsTheFormByteForByteAndStoresTheAccount)
{
    CloudFixture cloud;
    QByteArray wire;
    platform::SetInternetTrace([&wire](const QString&, const QByteArray& sent) { wire += sent; });
    CDlgCloudLogin dialog;
    const int result = run(dialog, [&] { fill(dialog, "subaru@example.org", "p@ss", "星野 すばる"); dialog.DispatchCommand(BN_CLICKED, 1); });
    platform::SetInternetTrace({});
    ASSERT_EQ(1, result);
    const auto requests = cloud.service.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("POST", requests[0].method);
    EXPECT_EQ("/api/register", requests[0].target);
    EXPECT_EQ("multipart/form-data; boundary=zentorlink", requests[0].headers.at("content-type"));
    EXPECT_EQ("ZentorinLite/1.0", requests[0].headers.at("user-agent"));
    // the body on the wire, after the request's header lines, byte for byte
    const QByteArray body = expectedBody("星野 すばる", "subaru@example.org", "p@ss");
    ASSERT_TRUE(wire.contains("\r\n\r\n"));
    EXPECT_EQ(body, wire.mid(wire.indexOf("\r\n\r\n") + 4));
    EXPECT_TRUE(wire.contains("Content-Length: " + QByteArray::number(body.size()) + "\r\n"));
    // and the service's multipart reader finds the three fields
    const auto form = cloud.service.LastForm();
    EXPECT_EQ("星野 すばる", form.at("name"));
    EXPECT_EQ("subaru@example.org", form.at("account"));
    EXPECT_EQ("p@ss", form.at("password"));

    EXPECT_EQ(QString::fromLatin1(dialog.GetAccessToken()), stored("AccessToken"));
    EXPECT_EQ(32, dialog.GetAccessToken().size());
    EXPECT_EQ(QString::fromLatin1(dialog.GetAccessTokenSecret()), stored("AccessTokenSecret"));
    EXPECT_EQ("subaru@example.org", stored("VaroquinId"));
    EXPECT_EQ("星野 すばる", stored("UserName"));
    EXPECT_EQ("星野 すばる", dialog.GetDispUserName());
    // written in this order
    const QString file = QString::fromUtf8(TempEnvironment::ReadBytes(cloud.env.SettingsFile()));
    EXPECT_LT(file.indexOf("AccessToken="), file.indexOf("AccessTokenSecret="));
    EXPECT_LT(file.indexOf("AccessTokenSecret="), file.indexOf("VaroquinId="));
    EXPECT_LT(file.indexOf("VaroquinId="), file.indexOf("UserName="));
}

TEST(CloudLogin, FailedSignInsShowWhyAndStoreNothing)
{
    CloudFixture cloud;
    // the first sign-in makes the account; a wrong password is refused by the service
    {
        CDlgCloudLogin first;
        ASSERT_EQ(1, run(first, [&] { fill(first, "a@example.org", "right", "A"); first.DispatchCommand(BN_CLICKED, 1); }));
    }
    const QString token = stored("AccessToken");
    MessageBoxScript boxes;
    CDlgCloudLogin dialog;
    const int result = run(dialog, [&] {
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
        dialog.OnCancel();
    });
    EXPECT_EQ(2, result);
    EXPECT_EQ(token, stored("AccessToken"));
    EXPECT_EQ("A", stored("UserName"));
}

TEST(CloudLogin, AnHtmlAnswerCountsAsSignedInAndTheAnswersNameIsStored)
{
    CloudFixture cloud;
    cloud.service.Script("/api/register", cloud.answer(200, "<html><body>ok</body></html>"));
    CDlgCloudLogin html;
    ASSERT_EQ(1, run(html, [&] { fill(html, "h@example.org", "pw", ""); html.DispatchCommand(BN_CLICKED, 1); }));
    EXPECT_EQ("h@example.org", stored("VaroquinId"));
    EXPECT_EQ("", stored("AccessToken"));  // the tokens it had: none

    cloud.service.Script("/api/register", cloud.answer(200, R"({"status":200,"access_token":"T","access_token_secret":"S","name":"From Service"})"));
    CDlgCloudLogin named;
    ASSERT_EQ(1, run(named, [&] { fill(named, "h@example.org", "pw", "Typed"); named.DispatchCommand(BN_CLICKED, 1); }));
    EXPECT_EQ("From Service", stored("UserName"));
    EXPECT_EQ("Typed", named.GetDispUserName());  // the field, exchanged once more on OK
    EXPECT_EQ("T", stored("AccessToken"));
}

TEST(CloudLogin, TheRegistrationButtonOpensThePage)
{
    CloudFixture cloud;
    ShellRecorder shell;
    CDlgCloudLogin dialog;
    run(dialog, [&] {
        // the dialog skinned its registration button as it set itself up
        EXPECT_TRUE(dialog.GetDlgItem(2045)->styleSheet().contains("#c4c4c4"));
        dialog.DispatchCommand(BN_CLICKED, 2045);
        EXPECT_TRUE(dialog.isVisible());
        dialog.OnCancel();
    });
    ASSERT_EQ(1, shell.Calls().size());
    EXPECT_EQ("Open", shell.Calls()[0].verb);
    EXPECT_EQ("http://127.0.0.1:9/register", shell.Calls()[0].file);
    EXPECT_EQ(SW_SHOWNORMAL, shell.Calls()[0].show);
}

TEST(CloudLogin, TokenCheckAcceptsRefusesAndRetries)
{
    CloudFixture cloud;
    {
        CDlgCloudLogin signIn;
        ASSERT_EQ(1, run(signIn, [&] { fill(signIn, "t@example.org", "pw", "ていと"); signIn.DispatchCommand(BN_CLICKED, 1); }));
    }
    CDlgCloudLogin account;  // reads the stored tokens
    EXPECT_EQ(1, account.CheckValidAccessToken());
    EXPECT_EQ("ていと", account.GetDispUserName());
    EXPECT_EQ(0, account.GetTwitterStatus());
    EXPECT_NE(nullptr, account.GetZentoCloudConnection());
    const auto requests = cloud.service.Requests();
    EXPECT_EQ("/api/user_status?access_token=" + stored("AccessToken").toStdString() + "&access_token_secret="
                  + stored("AccessTokenSecret").toStdString(),
              requests.back().target);

    MessageBoxScript boxes;
    CRegistry::Write(kAuth, "AccessToken", "forged");
    CDlgCloudLogin forged;
    boxes.Expect("ゼントクラウドへのログインに失敗しました。\nログインしていません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
    EXPECT_EQ(4, forged.CheckValidAccessToken());

    cloud.service.Script("/api/user_status", cloud.answer(500, "down"));
    boxes.Expect("ゼントクラウドとのHTTP通信に失敗しました。\nステータス:[500]", MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDRETRY)
        .Expect("ゼントクラウドとのHTTP通信に失敗しました。\nステータス:[500]", MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDRETRY)
        .Then([] { CRegistry::Write("General\\Network", "Connected", 0); })  // the network goes while the box is up
        .Expect("ネットワーク接続が無効です。\n\nWindows のネットワークの設定を確認してください。", MB_OK, IDOK);
    const size_t before = cloud.service.Requests().size();
    EXPECT_EQ(2, forged.CheckValidAccessToken());
    EXPECT_EQ(before + 2, cloud.service.Requests().size());  // Retry asked again, after the network check
}

TEST(CloudLogin, TheTokenPathIsFormattedAsTheSettingSays)
{
    CloudFixture cloud;
    // the tokens as the service might send them, and a configured path with a literal "%"
    CRegistry::Write(kAuth, "AccessToken", "a%sb c#d\x01");
    CRegistry::Write(kAuth, "AccessTokenSecret", "秘密");
    CRegistry::Write(kAuth, "CloudApiStatus", "/api/user_status?rate=100%%&access_token=%s&access_token_secret=%s");
    MessageBoxScript boxes;
    boxes.Expect("ゼントクラウドへのログインに失敗しました。\nログインしていません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
    CDlgCloudLogin dialog;
    EXPECT_EQ(4, dialog.CheckValidAccessToken());
    // the secret in the system's code page; only what a request line cannot carry is escaped
    EXPECT_EQ("/api/user_status?rate=100%&access_token=a%sb%20c%23d%01&access_token_secret=\x94\xe9\x96\xa7",
              cloud.service.Requests().back().target);
}

TEST(CloudLogin, TheServicesCertificateIsTakenWhateverNameItBears)
{
    CloudFixture cloud;  // its certificate names 127.0.0.1, not localhost
    CRegistry::Write(kAuth, "CloudUrlBase", QString("https://localhost:%1").arg(cloud.service.Port()));
    MessageBoxScript boxes;
    boxes.Expect("ゼントクラウドへのログインに失敗しました。\nログインしていません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
    CDlgCloudLogin dialog;
    EXPECT_EQ(4, dialog.CheckValidAccessToken());  // the service answered: the connection was taken
}

TEST(CloudLogin, ASilentServiceOffersRetry)
{
    CloudFixture cloud;
    CRegistry::Write("General\\Network", "ReceiveTimeout", 1);
    auto silent = cloud.answer(200, "{}");
    silent.delayMs = 2500;
    cloud.service.Script("/api/user_status", silent);
    MessageBoxScript boxes;
    boxes.ExpectStartingWith("ゼントクラウドとのHTTP通信に失敗しました。\n", MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDCANCEL);
    CDlgCloudLogin dialog;
    EXPECT_EQ(2, dialog.CheckValidAccessToken());
}

TEST(CloudLogin, TheTokenCheckAndTheSignInShareOneConnection)
{
    CloudFixture cloud;
    MessageBoxScript boxes;
    CDlgCloudLogin dialog;
    boxes.Expect("ゼントクラウドへのログインに失敗しました。\nログインしていません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
    EXPECT_EQ(4, dialog.CheckValidAccessToken());  // never signed in: both tokens empty
    platform::CHttpConnection* connection = dialog.GetZentoCloudConnection();
    ASSERT_EQ(1, run(dialog, [&] { fill(dialog, "c@example.org", "pw", "C"); dialog.DispatchCommand(BN_CLICKED, 1); }));
    EXPECT_EQ(connection, dialog.GetZentoCloudConnection());
    const auto requests = cloud.service.Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ("/api/user_status?access_token=&access_token_secret=", requests[0].target);
    EXPECT_EQ(requests[0].remotePort, requests[1].remotePort);
}

TEST(CloudLogin, ConnectionProblemsAreReportedBeforeAnyRequest)
{
    CloudFixture cloud;
    MessageBoxScript boxes;
    CRegistry::Write(kAuth, "CloudUrlBase", "http://127.0.0.1:1");
    CDlgCloudLogin plain;
    boxes.Expect("URLが不正です。\n", MB_OK, IDOK);
    EXPECT_EQ(2, plain.CheckValidAccessToken());
    EXPECT_EQ(nullptr, plain.GetZentoCloudConnection());

    CRegistry::Write(kAuth, "CloudUrlBase", cloud.base + "/ignored/path");
    CDlgCloudLogin dialog;
    EXPECT_EQ(4, [&] {
        MessageBoxScript inner;
        inner.Expect("ゼントクラウドへのログインに失敗しました。\nログインしていません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        return dialog.CheckValidAccessToken();
    }());
    EXPECT_EQ("/api/user_status?access_token=&access_token_secret=", cloud.service.Requests().back().target);
    // the network check comes first on every call, an open connection notwithstanding
    CRegistry::Write("General\\Network", "Connected", 0);
    boxes.Expect("ネットワーク接続が無効です。\n\nWindows のネットワークの設定を確認してください。", MB_OK, IDOK);
    EXPECT_EQ(2, dialog.CheckValidAccessToken());

    // a server that is gone once the connection exists: the platform's error text
    CRegistry::Write("General\\Network", "Connected", 1);
    cloud.service.Stop();
    boxes.ExpectStartingWith("ゼントクラウドとのHTTP通信に失敗しました。\n", MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDCANCEL);
    EXPECT_EQ(2, dialog.CheckValidAccessToken());
    EXPECT_GT(boxes.Shown().last().text.size(), QString("ゼントクラウドとのHTTP通信に失敗しました。\n").size());
}

TEST(CloudLogin, TheTitlePictureIsScaledIntoItsPlaceAndCentred)
{
    CloudFixture cloud;
    CDlgCloudLogin dialog;
    const QRect a = dialog.Units().Rect(0, 0, 278, 151);  // the picture's place in the template
    const QSize b = platform::LoadBitmap(1081).size();
    ASSERT_EQ(QSize(343, 205), b);
    // scaled by the smaller of the two ratios, centred on the place's centre, edges at centre -/+ half
    double s = 1.0;
    if (a.width() < b.width())
        s = double(a.width()) / b.width();
    if (a.height() < b.height())
        s = double(a.height()) / b.height();
    const int w = int(b.width() * s), h = int(b.height() * s);
    const int cx = a.width() / 2, cy = a.height() / 2;
    run(dialog, [&] {
        EXPECT_EQ(QRect(cx - w / 2, cy - h / 2, (cx + w / 2) - (cx - w / 2), (cy + h / 2) - (cy - h / 2)),
                  dialog.GetDlgItem(1046)->geometry());
        dialog.OnCancel();
    });
}
