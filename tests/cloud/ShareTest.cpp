#include "cloud/CloudRequest.h"
#include "cloud/DlgCloudError.h"
#include "cloud/DlgCloudResult.h"
#include "cloud/DlgCloudUpload.h"
#include "cloud/ShareRequest.h"
#include "platform/CodePage.h"
#include "platform/Internet.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QApplication>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <unistd.h>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTextEdit>
#include <QTimer>

using namespace platform;

namespace {

const QByteArray kPng = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray("chart\0bytes\r\n--", 16);

// a host that writes a chart file for every save, as the real one renders it
class SavingHost : public ScriptedHost {
public:
    bool realChart = false;  // a 960 x 720 PNG instead of marked bytes
    QString ExecCommand(const QString& command) override
    {
        const QString save = QStringLiteral("Show Sky; Save Zentar,\"");
        if (command.startsWith(save) && realChart) {
            QImage chart(960, 720, QImage::Format_RGB32);
            chart.fill(Qt::darkBlue);
            chart.save(command.mid(save.size()).chopped(1), "PNG");
        } else if (command.startsWith(save)) {
            TempEnvironment::WriteBytes(command.mid(save.size()).chopped(1), kPng + command.toUtf8());
        }
        return ScriptedHost::ExecCommand(command);
    }
};

// a signed-in account on the service, with its own connection
struct Account {
    std::unique_ptr<CInternetSession> session;
    std::unique_ptr<CHttpConnection> connection;
    QByteArray token, secret;
};

Account signIn(CloudFixture& cloud)
{
    Account a;
    a.session = std::make_unique<CInternetSession>(QStringLiteral("ZentorinLite/1.0"));
    a.connection = a.session->GetHttpConnection(QStringLiteral("127.0.0.1"), INTERNET_FLAG_SECURE, INTERNET_PORT(cloud.service.Port()));
    const QByteArray form = "--b\r\nContent-Disposition: form-data; name=\"name\"\r\n\r\n星野\r\n--b\r\nContent-Disposition: form-data; "
                            "name=\"account\"\r\n\r\ns@example.org\r\n--b\r\nContent-Disposition: form-data; name=\"password\"\r\n\r\np\r\n--b--\r\n";
    QByteArray answer;
    CCloudRequest::Execute(a.connection.get(), HTTP_VERB_POST, "/api/register", "Content-Type: multipart/form-data; boundary=b\r\n",
                           form.constData(), int(form.size()), answer);
    const auto field = [&answer](const QByteArray& name) {
        const qsizetype at = answer.indexOf("\"" + name + "\":\"") + name.size() + 4;
        return answer.mid(at, answer.indexOf('"', at) - at);
    };
    a.token = field("access_token");
    a.secret = field("access_token_secret");
    return a;
}

QString scene(CloudFixture& cloud)
{
    const QString path = cloud.env.Path("冬の空.zsf");
    TempEnvironment::WriteBytes(path, "[General]\r\nFileId=Scene\r\n");
    return path;
}

// the view of the tests: answers for every query of the body
void answerView(ScriptedHost& host, const QString& coordinate)
{
    host.Answer("? view.coordinate", coordinate)
        .Answer("? view.center.position.galactic.longitude", "184.5")
        .Answer("? view.center.position.galactic.latitude", "-5.8")
        .Answer("? view.angle", "60")
        .Answer("? time.jd", "2461056.000000")
        .Answer("? location.latitude", "35.6895")
        .Answer("? location.longitude", "139.6917")
        .Answer("? location.height", "東京 40")
        .Answer("? star.name.visible", "TRUE")
        .Answer("? milkyway.visible", "True")
        .Answer("?  deepskyobject.messier.mark.visible", "TRUE")
        .Answer("? skylight.lightpollution.visible", "TRUE");
}

// the modal dialog that comes up inside OK gets this answer; its texts are kept (the timer
// goes with `owner`, the dialog the nested one comes up over)
struct NestedDialog {
    QString title, message;
    bool settingsShown = false;
    bool icon = false;
    bool seen = false;
};

void answerNested(QObject* owner, int result, NestedDialog& seen)
{
    QTimer::singleShot(0, owner, [result, &seen] {
        auto* dialog = qobject_cast<CZntDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen.seen = true;
        seen.title = dialog->windowTitle();
        seen.message = dialog->GetDlgItemText(1053);
        seen.settingsShown = dialog->GetDlgItem(1) && dialog->GetDlgItem(1)->isVisibleTo(dialog);
        const auto* icon = qobject_cast<QLabel*>(dialog->GetDlgItem(-1));
        seen.icon = icon && !icon->pixmap().isNull();
        dialog->done(result);
    });
}

int share(CDlgCloudUpload& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.DoModal();
}

QByteArray part(const QByteArray& name, const QByteArray& value)
{
    return "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n--image_upload_from_zntzvn\r\n";
}

QString stored(const QString& name)
{
    QString value = "<absent>";
    CRegistry::Read("General\\Authentication", name, "<absent>", value);
    return value;
}

}  // namespace

TEST(CloudShare, OkSendsTheBodyByteForByteAndTheServiceStoresTheChart)
{
    CloudFixture cloud;
    Account account = signIn(cloud);
    SavingHost host;
    host.Answer("? deepskyimage.visible", "TRUE");
    answerView(host, "galactic");
    CRegistry::Write("Dialog\\CloudUpload", "Location", "1");
    const QString zsf = scene(cloud);
    QByteArray wire;
    ShellRecorder shell;
    NestedDialog result;
    int code = 0;
    {
        CDlgCloudUpload dialog(&host, account.connection.get(), {}, 0, 0, account.token, account.secret, zsf, nullptr);
        code = share(dialog, [&] {
            qobject_cast<QTextEdit*>(dialog.GetDlgItem(2040))->setPlainText("オリオン座\n冬");
            qobject_cast<QCheckBox*>(dialog.GetDlgItem(2044))->click();  // the overlaid image
            SetInternetTrace([&wire](const QString&, const QByteArray& sent) { wire += sent; });
            answerNested(&dialog, 1064, result);
            dialog.DispatchCommand(BN_CLICKED, 1);
            SetInternetTrace({});
        });
    }
    ASSERT_EQ(1, code);
    EXPECT_TRUE(result.seen);
    const QString overlaid = cloud.env.TempFolder() + "tmpZentar_overlaid.png";
    const QByteArray image = kPng + ("Show Sky; Save Zentar,\"" + overlaid + "\"").toUtf8();
    const QByteArray expected =
        "--image_upload_from_zntzvn\r\n" + part("access_token", account.token) + part("access_token_secret", account.secret)
        + part("comment", "オリオン座\n冬") + "Content-Disposition: form-data; name=\"image\"; filename=\"" + ToCodePage(overlaid)
        + "\"\r\nContent-Type: image/png\r\n\r\n" + image + "\r\n--image_upload_from_zntzvn\r\n"
        + "Content-Disposition: form-data; name=\"zentotalk\"; filename=\"" + ToCodePage(zsf)
        + "\"\r\nContent-Type: text/plain\r\n\r\n[General]\r\nFileId=Scene\r\n\r\n--image_upload_from_zntzvn\r\n"
        + part("coordinate", "galactic") + part("alpha", "184.5") + part("delta", "-5.8") + part("angle", "60")
        + part("jd", "2461056.000000") + part("latitude", "35.6895") + part("longitude", "139.6917") + part("height", ToCodePage("東京 40"))
        + part("star.name", "1") + part("twinkle", "0") + part("cons.name", "0") + part("cons.line", "0") + part("cons.pic", "0")
        + part("sol_system.name", "0") + part("milkyway", "0") + part("messier.mark", "1") + part("messier.number", "0")
        + part("messier.name", "0") + part("comet", "0") + part("comet.id", "0") + part("comet.name", "0")
        + part("meteor.radiant.mark", "0") + part("meteor.radiant.name", "0") + part("panorama", "0") + part("meridian", "0")
        + part("hrz_grid", "0") + part("equator", "0") + part("eqt_grid", "0") + part("ecliptic", "0") + part("daylight", "0")
        + part("moonlight", "0") + "Content-Disposition: form-data; name=\"lightpollution\"\r\n\r\n1\r\n--image_upload_from_zntzvn--\r\n";
    ASSERT_TRUE(wire.contains("\r\n\r\n"));
    EXPECT_EQ(expected, wire.mid(wire.indexOf("\r\n\r\n") + 4));
    EXPECT_TRUE(wire.contains("Content-Type: multipart/form-data; boundary=image_upload_from_zntzvn\r\n"));
    // the service took the same body apart with its multipart reader
    const auto charts = cloud.service.Charts();
    ASSERT_EQ(1u, charts.size());
    EXPECT_EQ(image.toStdString(), charts[0].image);
    EXPECT_EQ("オリオン座\n冬", charts[0].fields.at("comment"));
    EXPECT_EQ("184.5", charts[0].fields.at("alpha"));
    EXPECT_EQ("星野", charts[0].author);
    // the browser opens the page the service named
    ASSERT_EQ(1, shell.Calls().size());
    EXPECT_EQ(QString::fromStdString(cloud.service.BaseUrl()).mid(8).prepend("https://") + "/charts/1", shell.Calls()[0].file);
    // the host: rendered with the pasted images and without, asked for the view, restored at the end
    const QStringList commands = host.Commands();
    const QStringList opening = {"? deepskyimage.visible", "FreeStyleControl.Visible = FALSE", "Logo.Visible = TRUE",
                                 "Show Sky; Save Zentar,\"" + overlaid + "\"", "? System.Error", "deepskyimage.visible = FALSE",
                                 "Show Sky; Save Zentar,\"" + cloud.env.TempFolder() + "tmpZentar_naked.png\"", "? System.Error",
                                 "deepskyimage.visible = TRUE", "Logo.Visible = FALSE", "FreeStyleControl.Visible = TRUE; Show Sky",
                                 "? view.coordinate", "? view.center.position.galactic.longitude"};
    EXPECT_EQ(opening, commands.mid(0, opening.size()));
    EXPECT_EQ("? skylight.lightpollution.visible", commands[commands.size() - 2]);
    EXPECT_EQ("deepskyimage.visible = TRUE; Show Sky", commands.last());
    EXPECT_FALSE(QFile::exists(overlaid));
    QString kept;
    CRegistry::Read("Dialog\\CloudUpload", "Image", "", kept);
    EXPECT_EQ("1", kept);
}

TEST(CloudShare, ImageRoadsSendTheirCommandsInOrderAndFailuresRestoreTheView)
{
    CloudFixture cloud;
    const QString naked = cloud.env.TempFolder() + "tmpZentar_naked.png";
    const QString overlaid = cloud.env.TempFolder() + "tmpZentar_overlaid.png";
    const QString saveNaked = "Show Sky; Save Zentar,\"" + naked + "\"";
    const QString saveOverlaid = "Show Sky; Save Zentar,\"" + overlaid + "\"";
    struct Road {
        QString deepSky;
        QStringList errors;  // answers to "? System.Error", in turn
        QString box;          // empty: the dialog opens
        QStringList commands;
    };
    const Road roads[] = {
        {"FALSE", {""}, {}, {"? deepskyimage.visible", "FreeStyleControl.Visible = FALSE", "Logo.Visible = TRUE", saveNaked,
                             "? System.Error", "Logo.Visible = FALSE", "FreeStyleControl.Visible = TRUE; Show Sky",
                             "deepskyimage.visible = FALSE; Show Sky"}},
        {"FALSE", {"星図を保存できません: x"}, "星図画像取得に失敗しました。[星図を保存できません: x]",
         {"? deepskyimage.visible", "FreeStyleControl.Visible = FALSE", "Logo.Visible = TRUE", saveNaked, "? System.Error",
          "Logo.Visible = FALSE", "FreeStyleControl.Visible = TRUE; Show Sky", "deepskyimage.visible = FALSE; Show Sky"}},
        {"TRUE", {"e1"}, "星図画像取得に失敗しました。[e1]",
         {"? deepskyimage.visible", "FreeStyleControl.Visible = FALSE", "Logo.Visible = TRUE", saveOverlaid, "? System.Error",
          "Logo.Visible = FALSE", "FreeStyleControl.Visible = TRUE; Show Sky", "deepskyimage.visible = TRUE; Show Sky"}},
        {"TRUE", {"", "e2"}, "星図画像取得に失敗しました。[e2]",
         {"? deepskyimage.visible", "FreeStyleControl.Visible = FALSE", "Logo.Visible = TRUE", saveOverlaid, "? System.Error",
          "deepskyimage.visible = FALSE", saveNaked, "? System.Error", "deepskyimage.visible = TRUE", "Logo.Visible = FALSE",
          "FreeStyleControl.Visible = TRUE; Show Sky", "deepskyimage.visible = TRUE; Show Sky"}},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.commands.join(" | ").toStdString());
        SavingHost host;
        host.realChart = true;
        host.Answer("? deepskyimage.visible", road.deepSky).AnswerInTurn("? System.Error", road.errors);
        MessageBoxScript boxes;
        if (!road.box.isEmpty()) {
            boxes.Expect(road.box, MB_OK | MB_ICONEXCLAMATION, IDOK);
        }
        int code = 0;
        QSize thumbnail;
        {
            CDlgCloudUpload dialog(&host, nullptr, {}, 0, 0, "t", "s", "none.zsf", nullptr);
            code = share(dialog, [&] {
                // the 960 x 720 chart fills the box less 24 pixels in its limiting direction
                qobject_cast<QCheckBox*>(dialog.GetDlgItem(2044))->click();
                thumbnail = dialog.GetDlgItem(1042)->size();
                const QSize group = dialog.GetDlgItem(1064)->size();
                const double r = std::max(960.0 / (group.width() - 24), 720.0 / (group.height() - 24));
                if (road.box.isEmpty()) {
                    EXPECT_EQ(QSize(int(960 / r), int(720 / r)), thumbnail);
                }
                dialog.OnCancel();
            });
        }
        EXPECT_EQ(2, code);
        EXPECT_EQ(road.commands, host.Commands());
        EXPECT_FALSE(QFile::exists(naked));
    }
}

TEST(CloudShare, TheServiceAnswersLeadToTheirOutcomes)
{
    CloudFixture cloud;
    Account account = signIn(cloud);
    CRegistry::Write("General\\Authentication", "CloudUrlHome", "https://home.example/home");
    struct Outcome {
        int status;
        std::string answer;
        int nestedResult;      // the nested dialog's answer
        QString nestedMessage;  // empty: the result dialog (or none)
        bool settingsShown;
        QString box;            // a message box that ends the dialog
        QString opened;         // what the desktop is asked to open
        int code;
        bool erasesTokens = false;
    };
    const Outcome outcomes[] = {
        {200, "not json", 1064, {}, false, {}, "https://home.example/home", 1},
        {200, "{}", 1060, {}, false, {}, "mailto:?subject=ZentoCloud:&body=", 1},
        {200, "{\"type\":\"OK\",\"link\":\"https://x/c?a=1&b=2\"}", 1060, {}, false, {}, "mailto:?subject=ZentoCloud:&body=https://x/c?a=1&b=2", 1},
        {200, std::string(300, '[') + "\"deep\"", 2, {}, false, {}, {}, 1},
        {200, "{\"type\":\"NG\",\"message\":3}", 2, "投稿データの送信に失敗しました。\nUNDEFINED ERROR.\n[RESPONSE STRING:{\"type\":\"NG\",\"message\":3}]",
         false, {}, {}, -1},
        {200, "{\"type\":\"NG\",\"message\":\"容量がいっぱいです。\",\"link\":\"https://x/plan\"}", 1, "投稿データの送信に失敗しました。\n容量がいっぱいです。",
         true, {}, "https://x/plan", -1},
        {200, "{\"type\":\"USER_NOT_FOUND\",\"message\":\"ログインしてください。\"}", 0, {}, false,
         "投稿データの送信に失敗しました。\nログインしてください。", {}, 2, true},
        // an answer cut short counts as none at all: neither a refusal nor a lost user
        {200, "{\"type\":\"USER_NOT_FOUND\"", 2, {}, false, {}, {}, 1},
        {200, "{\"type\":\"NG\",\"message\":\"容量\",\"link\":\"https://x\"", 2, {}, false, {}, {}, 1},
        {500, "{}", 0, {}, false, "投稿データの送信に失敗しました。\nステータス:[500]", {}, 2},
    };
    for (const Outcome& o : outcomes) {
        SCOPED_TRACE(o.answer);
        CRegistry::Write("General\\Authentication", "AccessToken", "kept");
        CRegistry::Write("General\\Authentication", "AccessTokenSecret", "kept");
        cloud.service.Script("/api/charts", cloud.answer(o.status, o.answer));
        ScriptedHost host;
        MessageBoxScript boxes;
        if (!o.box.isEmpty()) {
            boxes.Expect(o.box, MB_OK | MB_ICONEXCLAMATION, IDOK);
        }
        ShellRecorder shell;
        NestedDialog nested;
        CDlgCloudUpload dialog(&host, account.connection.get(), {}, 0, 0, account.token, account.secret, scene(cloud), nullptr);
        const int code = share(dialog, [&] {
            if (o.box.isEmpty())
                answerNested(&dialog, o.nestedResult, nested);
            dialog.DispatchCommand(BN_CLICKED, 1);
            if (dialog.isVisible())
                dialog.done(-1);  // still open after a refusal
        });
        EXPECT_EQ(o.code, code);
        EXPECT_EQ(o.box.isEmpty(), nested.seen);
        if (!o.nestedMessage.isEmpty()) {
            EXPECT_EQ("共有 - エラー", nested.title);
            EXPECT_EQ(o.nestedMessage, nested.message);
            EXPECT_EQ(o.settingsShown, nested.settingsShown);
        }
        ASSERT_EQ(o.opened.isEmpty() ? 0 : 1, shell.Calls().size());
        if (!o.opened.isEmpty()) {
            EXPECT_EQ(o.opened, shell.Calls()[0].file);
        }
        EXPECT_EQ(o.erasesTokens ? "" : "kept", stored("AccessToken"));
        EXPECT_EQ(o.erasesTokens ? "" : "kept", stored("AccessTokenSecret"));
    }
}

TEST(CloudShare, UnreadableFilesHugeBodiesAndLostConnectionsAreToldAndSendNothing)
{
    CloudFixture cloud;
    Account account = signIn(cloud);
    const QString huge = cloud.env.Path("huge.zsf");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(2) << 30));  // sparse: takes no disk
    }
    const QString missing = cloud.env.Path("消えた.zsf");
    struct Case {
        QString zsf;
        bool serviceDown;
        QString box;
        bool prefix;
    };
    const Case cases[] = {
        {missing, false, "投稿データの生成に失敗しました。\nZSFデータファイル" + missing + "を開けませんでした。\n", false},
        {huge, false, "投稿データの生成に失敗しました。\nZSFデータファイル" + huge + "を開けませんでした。\n", false},
        {scene(cloud), true, "ゼントクラウドとのHTTP通信に失敗しました。\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box.toStdString());
        const size_t before = cloud.service.Requests().size();
        if (c.serviceDown)
            cloud.service.Stop();
        ScriptedHost host;
        MessageBoxScript boxes;
        if (c.prefix)
            boxes.ExpectStartingWith(c.box, MB_OK | MB_ICONEXCLAMATION, IDOK);
        else
            boxes.Expect(c.box, MB_OK | MB_ICONEXCLAMATION, IDOK);
        CDlgCloudUpload dialog(&host, account.connection.get(), {}, 0, 0, account.token, account.secret, c.zsf, nullptr);
        EXPECT_EQ(2, share(dialog, [&] { dialog.DispatchCommand(BN_CLICKED, 1); }));
        EXPECT_EQ(before, cloud.service.Requests().size());
        // a file failure asks the host nothing about the view
        if (c.zsf == missing) {
            EXPECT_FALSE(host.Commands().contains("? view.coordinate"));
        }
    }
}

TEST(CloudShare, ResultAndErrorDialogsShowTheInformationIconAndTheirTexts)
{
    TempEnvironment env;
    NestedDialog seen;
    CDlgCloudError error(nullptr);
    answerNested(&error, 2, seen);
    EXPECT_EQ(2, error.DoModal());
    EXPECT_TRUE(seen.icon);
    EXPECT_EQ("", seen.title);
    EXPECT_EQ("TEXT", seen.message);
    EXPECT_TRUE(seen.settingsShown);
    CDlgCloudResult result(nullptr);
    answerNested(&result, 1060, seen);
    EXPECT_EQ(1060, result.DoModal());
    EXPECT_TRUE(seen.icon);
}

TEST(CloudShare, TheCentreFollowsTheCoordinateSystemAndAnUnreadableImageIsNamedBeforeTheHostIsAsked)
{
    TempEnvironment env;
    const QString image = env.Path("chart.png"), zsf = env.Path("chart.zsf");
    TempEnvironment::WriteBytes(image, kPng);
    TempEnvironment::WriteBytes(zsf, "[General]\r\n");
    QStringList asked;
    QString coordinate;
    const auto ask = [&](const QString& query) {
        asked << query;
        return query == "? view.coordinate"                         ? coordinate
               : query == "? view.center.position.horizon.altitude" ? QStringLiteral("45")
               : query == "? view.center.position.horizon.azimuth"  ? QStringLiteral("180")
                                                                     : QStringLiteral("x");
    };
    sharerequest::BodyInputs in{"t", "s", {}, image, zsf, 0};
    sharerequest::Body body;
    int length = 0;
    QString error;
    // for the horizon, alpha carries the altitude and delta the azimuth; the name is compared without case
    coordinate = "HORIZON";
    ASSERT_EQ(1, sharerequest::BuildBody(in, ask, body, length, error));
    EXPECT_TRUE(QByteArray(body.get(), length).contains(part("coordinate", "HORIZON") + part("alpha", "45") + part("delta", "180")
                                                        + part("angle", "x")));
    coordinate = "Selenographic";  // no centre for a system the body does not know
    ASSERT_EQ(1, sharerequest::BuildBody(in, ask, body, length, error));
    EXPECT_TRUE(QByteArray(body.get(), length).contains(part("coordinate", "Selenographic") + part("angle", "x")));
    asked.clear();
    in.imagePath = env.Path("消えた.png");
    EXPECT_EQ(0, sharerequest::BuildBody(in, ask, body, length, error));
    EXPECT_EQ("星図画像" + in.imagePath + "を開けませんでした。\n", error);
    EXPECT_TRUE(asked.isEmpty());
}

TEST(CloudShare, WithThePastedImagesHiddenTheNakedChartIsSentThoughTheirBoxIsTicked)
{
    CloudFixture cloud;
    Account account = signIn(cloud);
    SavingHost host;
    host.Answer("? deepskyimage.visible", "FALSE");
    CRegistry::Write("Dialog\\CloudUpload", "Image", "1");  // "Location" never stored: the place stays private
    NestedDialog result;
    WindowMessageRecorder messages;
    {
        CDlgCloudUpload dialog(&host, account.connection.get(), {}, 0, 0, account.token, account.secret, scene(cloud), nullptr);
        EXPECT_EQ(1, share(dialog, [&] {
                      // the comment box tells the dialog base as it gains and loses the focus
                      QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
                      const qsizetype before = messages.Sent(WM_ZNTDIALOG).size();
                      QApplication::sendEvent(dialog.GetDlgItem(2040), &in);
                      QApplication::sendEvent(dialog.GetDlgItem(2040), &out);
                      const auto base = messages.Sent(WM_ZNTDIALOG).mid(before);
                      ASSERT_EQ(2, base.size());
                      EXPECT_EQ(std::make_pair(&dialog, 0), std::make_pair(qobject_cast<CDlgCloudUpload*>(base[0].target), int(base[0].wParam)));
                      EXPECT_EQ(std::make_pair(&dialog, 1), std::make_pair(qobject_cast<CDlgCloudUpload*>(base[1].target), int(base[1].wParam)));
                      answerNested(&dialog, 2, result);
                      dialog.DispatchCommand(BN_CLICKED, 1);
                      if (dialog.isVisible())
                          dialog.done(-1);  // refused
                  }));
    }
    const auto charts = cloud.service.Charts();
    ASSERT_EQ(1u, charts.size());
    const QString naked = cloud.env.TempFolder() + "tmpZentar_naked.png";
    EXPECT_EQ((kPng + ("Show Sky; Save Zentar,\"" + naked + "\"").toUtf8()).toStdString(), charts[0].image);
    EXPECT_EQ(ToCodePage(naked).toStdString(), charts[0].imageName);
    EXPECT_EQ(0u, charts[0].fields.count("latitude"));
}

TEST(CloudShare, TheServiceRefusesWhatItCannotStoreAndShowsTheChartsItStored)
{
    CloudFixture cloud;
    Account account = signIn(cloud);
    const auto exchange = [&](int verb, const QString& object, const QByteArray& body = {},
                              const QString& headers = sharerequest::HeaderLine()) {
        QByteArray answer;
        CCloudRequest::Execute(account.connection.get(), verb, object, headers, body.constData(), int(body.size()), answer);
        return answer;
    };
    const auto post = [&](const QByteArray& token, const QString& imagePath, const QString& comment) {
        const QString zsf = scene(cloud);
        sharerequest::BodyInputs in{token, account.secret, comment, imagePath, zsf, 1};
        sharerequest::Body body;
        int length = 0;
        QString error;
        sharerequest::BuildBody(in, [](const QString& q) { return q == "? view.coordinate" ? QStringLiteral("Galactic") : QStringLiteral("TRUE"); },
                                body, length, error);
        return exchange(HTTP_VERB_POST, "/api/charts", QByteArray(body.get(), length));
    };
    const QString image = cloud.env.Path("chart.png"), empty = cloud.env.Path("empty.png");
    TempEnvironment::WriteBytes(image, kPng);
    TempEnvironment::WriteBytes(empty, "");
    EXPECT_TRUE(post("unknown", image, "x").contains("\"type\":\"USER_NOT_FOUND\""));
    EXPECT_TRUE(post(account.token, empty, "x").contains("\"type\":\"NO_IMAGE\""));
    EXPECT_TRUE(exchange(HTTP_VERB_POST, "/api/charts", "--image_upload_from_zntzvn\r\nno header end").contains("\"type\":\"INVALID_REQUEST\""));
    EXPECT_TRUE(cloud.service.Charts().empty());

    EXPECT_TRUE(post(account.token, image, "<b>冬</b> & 夏").contains("/charts/1\""));
    EXPECT_TRUE(post(account.token, image, "二枚目").contains("/charts/2\""));
    const QString page = QString::fromUtf8(exchange(HTTP_VERB_GET, "/charts/1"));
    EXPECT_TRUE(page.contains("&lt;b&gt;冬&lt;/b&gt; &amp; 夏")) << page.toStdString();
    EXPECT_TRUE(page.contains("投稿者: 星野"));
    EXPECT_TRUE(page.contains("<th>座標系</th><td>銀河座標</td>"));
    EXPECT_TRUE(page.contains("<th>天の川</th><td>表示</td>"));
    EXPECT_TRUE(page.contains("src=\"/charts/1/image.png\""));
    EXPECT_EQ(kPng, exchange(HTTP_VERB_GET, "/charts/1/image.png"));
    const QString home = QString::fromUtf8(exchange(HTTP_VERB_GET, "/home"));
    EXPECT_LT(home.indexOf("/charts/2\""), home.indexOf("/charts/1\""));  // newest first
    EXPECT_GE(home.indexOf("/charts/2\""), 0);
    EXPECT_TRUE(QString::fromUtf8(exchange(HTTP_VERB_GET, "/config")).contains("表示名: 星野"));
    // signing out on the account page revokes the tokens the module holds
    exchange(HTTP_VERB_POST, "/config/signout", "account=s%40example.org", "Content-Type: application/x-www-form-urlencoded\r\n");
    EXPECT_TRUE(post(account.token, image, "三枚目").contains("\"type\":\"USER_NOT_FOUND\""));
}

TEST(CloudShare, TheSharedChartShowsInABrowser)
{
    // as root the browser's sandbox cannot start; the module's own browser says the same
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    CloudFixture cloud;
    ASSERT_TRUE(cloud.service.Start(0, 0));  // with its plain HTTP side, which any browser opens
    Account account = signIn(cloud);
    const QString image = cloud.env.Path("chart.png");
    QImage chart(64, 48, QImage::Format_RGB32);
    chart.fill(QColor(0x10, 0x20, 0x40));
    ASSERT_TRUE(chart.save(image, "PNG"));
    sharerequest::BodyInputs in{account.token, account.secret, QStringLiteral("冬の空"), image, scene(cloud), 1};
    sharerequest::Body body;
    int length = 0;
    QString error;
    ASSERT_TRUE(sharerequest::BuildBody(in, [](const QString&) { return QStringLiteral("TRUE"); }, body, length, error));
    QByteArray answer;
    CCloudRequest::Execute(account.connection.get(), HTTP_VERB_POST, "/api/charts", sharerequest::HeaderLine(), body.get(), length, answer);
    ASSERT_TRUE(answer.contains("/charts/1\"")) << answer.toStdString();

    QWebEngineProfile profile;  // off the record: nothing of the test stays in a user folder
    QWebEnginePage page(&profile);
    QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
    page.load(QUrl(QStringLiteral("http://127.0.0.1:%1/charts/1").arg(cloud.service.HttpPort())));
    ASSERT_TRUE(loaded.wait(30000));
    ASSERT_TRUE(loaded.first().first().toBool());
    QVariant width;
    bool answered = false;
    page.runJavaScript(QStringLiteral("(function(){ const i = document.getElementById('chart'); return i && i.complete ? i.naturalWidth : -1; })()"),
                       [&](const QVariant& result) { width = result, answered = true; });
    for (int i = 0; i < 200 && !answered; ++i)
        QTest::qWait(50);
    EXPECT_EQ(64, width.toInt());  // the picture arrived and decoded: the chart shows
}
