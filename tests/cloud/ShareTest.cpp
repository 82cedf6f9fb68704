#include "cloud/CloudRequest.h"
#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudError.h"
#include "cloud/DlgCloudResult.h"
#include "cloud/DlgCloudUpload.h"
#include "cloud/ShareOutcome.h"
#include "cloud/ShareRequest.h"
#include "platform/CodePage.h"
#include "platform/Internet.h"
#include "platform/ResourceChain.h"
#include "tests/cloud/CloudFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QBitmap>
#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

using namespace platform;

namespace {

const QByteArray kPng = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray("chart\0bytes\r\n--", 16);
const QString kSave = QStringLiteral("Show Sky; Save Zentar,\"");

// a host that writes a chart file for every save, as the real one renders it
class SavingHost : public ScriptedHost {
public:
    bool realChart = false;  // a 960 x 720 PNG instead of marked bytes
    QString ExecCommand(const QString& command) override
    {
        if (command.startsWith(kSave) && realChart) {
            QImage chart(960, 720, QImage::Format_RGB32);
            chart.fill(Qt::darkBlue);
            chart.save(command.mid(kSave.size()).chopped(1), "PNG");
        } else if (command.startsWith(kSave)) {
            TempEnvironment::WriteBytes(command.mid(kSave.size()).chopped(1), kPng + command.toUtf8());
        }
        return ScriptedHost::ExecCommand(command);
    }
};

// an account signed in through the sign-in dialog, whose connection the share uses, as the host does
struct Account {
    CDlgCloudLogin login;
    CHttpConnection* connection = nullptr;
    QByteArray token, secret;

    Account()
    {
        runModal(login, [this] {
            qobject_cast<QLineEdit*>(login.GetDlgItem(1043))->setText("s@example.org");
            qobject_cast<QLineEdit*>(login.GetDlgItem(1044))->setText("p");
            login.DispatchCommand(BN_CLICKED, 1);
        });
        connection = login.GetZentoCloudConnection();
        token = login.GetAccessToken();
        secret = login.GetAccessTokenSecret();
    }
    QByteArray post(const QString& object, const QByteArray& body)
    {
        QByteArray answer;
        CCloudRequest::Execute(connection, HTTP_VERB_POST, object, sharerequest::HeaderLine(), body.constData(), int(body.size()), answer);
        return answer;
    }
};

QString scene(CloudFixture& cloud)
{
    const QString path = cloud.env.Path("冬の空.zsf");
    TempEnvironment::WriteBytes(path, "[General]\r\nFileId=Scene\r\n");
    return path;
}

// what the modal dialog that comes up inside OK showed, before it was given its answer
struct NestedDialog {
    QString title, message;
    QStringList texts;  // of every static text and picture
    bool settingsShown = false;
    QSize icon;         // the icon's picture
    QImage iconImage;
    int iconWidth = 0;  // the width of its drawn (not transparent) pixels
    bool seen = false;
};

// the timer goes with `owner`, the dialog the nested one comes up over
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
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            seen.texts << label->text();
        if (const auto* label = qobject_cast<QLabel*>(dialog->GetDlgItem(-1))) {
            const QImage icon = label->pixmap().toImage();
            seen.icon = icon.size();
            seen.iconImage = icon.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            seen.iconWidth = QRegion(QBitmap::fromImage(icon.createAlphaMask())).boundingRect().width();
        }
        dialog->DispatchCommand(BN_CLICKED, result);  // the user presses that button
        if (dialog->isVisible())
            dialog->done(-1);  // a button that ends nothing: the caller's check fails, the test goes on
    });
}

QByteArray part(const QByteArray& name, const QByteArray& value)
{
    return "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n--image_upload_from_zntzvn\r\n";
}

}  // namespace

TEST(CloudShare, OkSendsTheBodyByteForByteAndTheBrowserOpensTheSharedPage)
{
    CloudFixture cloud;
    Account account;
    SavingHost host;
    const std::pair<QString, QString> answers[] = {
        {"? deepskyimage.visible", "TRUE"}, {"? view.coordinate", "galactic"}, {"? view.center.position.galactic.longitude", "184.5"},
        {"? view.center.position.galactic.latitude", "-5.8"}, {"? view.angle", "60"}, {"? time.jd", "2461056.000000"},
        {"? location.latitude", "35.6895"}, {"? location.longitude", "139.6917"}, {"? location.height", "東京 40"},
        {"? star.name.visible", "TRUE"}, {"? milkyway.visible", "True"}, {"?  deepskyobject.messier.mark.visible", "TRUE"},
        {"? skylight.lightpollution.visible", "TRUE"}, {"? skylight.moonlight.visible", "TRUE"}};
    for (const auto& [query, answer] : answers)
        host.Answer(query, answer);
    CRegistry::Write("Dialog\\CloudUpload", "Location", "1");
    const QString zsf = scene(cloud);
    QByteArray wire;
    ShellRecorder shell;
    NestedDialog result;
    auto dialog = std::make_unique<CDlgCloudUpload>(&host, account.connection, QString(), 0, 0, account.token, account.secret, zsf,
                                                    nullptr);
    const int code = runModal(*dialog, [&] {
        qobject_cast<QTextEdit*>(dialog->GetDlgItem(2040))->setPlainText("オリオン座\n冬");
        qobject_cast<QCheckBox*>(dialog->GetDlgItem(2044))->click();  // the overlaid image
        dialog->DispatchCommand(BN_CLICKED, 3);  // 設定: the service's configuration page, the dialog stays
        SetInternetTrace([&wire](const QString&, const QByteArray& sent) { wire += sent; });
        answerNested(dialog.get(), 1064, result);
        dialog->DispatchCommand(BN_CLICKED, 1);
        SetInternetTrace({});
    });
    dialog.reset();  // closed and gone: its images removed, its choices stored
    ASSERT_EQ(1, code);
    const QString overlaid = cloud.env.TempFolder() + "tmpZentar_overlaid.png";
    const QByteArray expected =
        "--image_upload_from_zntzvn\r\n" + part("access_token", account.token) + part("access_token_secret", account.secret)
        + part("comment", "オリオン座\n冬") + "Content-Disposition: form-data; name=\"image\"; filename=\"" + ToCodePage(overlaid)
        + "\"\r\nContent-Type: image/png\r\n\r\n" + kPng + (kSave + overlaid + "\"").toUtf8() + "\r\n--image_upload_from_zntzvn\r\n"
        + "Content-Disposition: form-data; name=\"zentotalk\"; filename=\"" + ToCodePage(zsf)
        + "\"\r\nContent-Type: text/plain\r\n\r\n[General]\r\nFileId=Scene\r\n\r\n--image_upload_from_zntzvn\r\n"
        + part("coordinate", "galactic") + part("alpha", "184.5") + part("delta", "-5.8") + part("angle", "60")
        + part("jd", "2461056.000000") + part("latitude", "35.6895") + part("longitude", "139.6917") + part("height", ToCodePage("東京 40"))
        + part("star.name", "1") + part("twinkle", "0") + part("cons.name", "0") + part("cons.line", "0") + part("cons.pic", "0")
        + part("sol_system.name", "0") + part("milkyway", "0") + part("messier.mark", "1") + part("messier.number", "0")
        + part("messier.name", "0") + part("comet", "0") + part("comet.id", "0") + part("comet.name", "0")
        + part("meteor.radiant.mark", "0") + part("meteor.radiant.name", "0") + part("panorama", "0") + part("meridian", "0")
        + part("hrz_grid", "0") + part("equator", "0") + part("eqt_grid", "0") + part("ecliptic", "0") + part("daylight", "0")
        + part("moonlight", "1") + "Content-Disposition: form-data; name=\"lightpollution\"\r\n\r\n1\r\n--image_upload_from_zntzvn--\r\n";
    EXPECT_EQ(expected, wire.mid(wire.indexOf("\r\n\r\n") + 4));
    EXPECT_TRUE(wire.contains("Content-Type: multipart/form-data; boundary=image_upload_from_zntzvn\r\n"));
    // the browser opens the page the service named; the overlaid image is gone and the choice kept
    ASSERT_EQ(2, shell.Calls().size());
    EXPECT_EQ(QStringList({CDlgCloudLogin::DefaultUrlBase() + "/config", cloud.base + "/charts/1"}),
              QStringList({shell.Calls()[0].file, shell.Calls()[1].file}));
    EXPECT_FALSE(QFile::exists(overlaid));
    EXPECT_EQ("1", stored("Image", "Dialog\\CloudUpload"));
}

TEST(CloudShare, ImageRoadsSendTheirCommandsInOrderAndFailuresRestoreTheView)
{
    CloudFixture cloud;
    const QString naked = cloud.env.TempFolder() + "tmpZentar_naked.png";
    const QString saveNaked = kSave + naked + "\"", saveOverlaid = kSave + cloud.env.TempFolder() + "tmpZentar_overlaid.png\"";
    const QStringList start = {"? deepskyimage.visible", "FreeStyleControl.Visible = FALSE", "Logo.Visible = TRUE"};
    const QStringList end = {"Logo.Visible = FALSE", "FreeStyleControl.Visible = TRUE; Show Sky"};
    struct Road {
        QString deepSky;
        QStringList errors;  // answers to "? System.Error", in turn
        QString box;          // empty: the dialog opens
        QStringList commands;  // between the start and the end of the capture
    };
    const Road roads[] = {
        {"FALSE", {""}, {}, {saveNaked, "? System.Error"}},
        {"FALSE", {"星図を保存できません: x"}, "星図画像取得に失敗しました。[星図を保存できません: x]", {saveNaked, "? System.Error"}},
        {"TRUE", {"e1"}, "星図画像取得に失敗しました。[e1]", {saveOverlaid, "? System.Error"}},
        {"TRUE", {"", "e2"}, "星図画像取得に失敗しました。[e2]",
         {saveOverlaid, "? System.Error", "deepskyimage.visible = FALSE", saveNaked, "? System.Error", "deepskyimage.visible = TRUE"}},
    };
    for (const Road& road : roads) {
        SavingHost host;
        host.realChart = true;
        host.Answer("? deepskyimage.visible", road.deepSky).AnswerInTurn("? System.Error", road.errors);
        MessageBoxScript boxes;
        if (!road.box.isEmpty()) {
            boxes.Expect(road.box, MB_OK | MB_ICONEXCLAMATION, IDOK);
        }
        {
            CDlgCloudUpload dialog(&host, nullptr, {}, 0, 0, "t", "s", "none.zsf", nullptr);
            EXPECT_EQ(2, runModal(dialog, [&] {
                          // the 960 x 720 chart fills the box less 24 pixels in its limiting direction
                          qobject_cast<QCheckBox*>(dialog.GetDlgItem(2044))->click();
                          const QSize group = dialog.GetDlgItem(1064)->size();
                          const double r = std::max(960.0 / (group.width() - 24), 720.0 / (group.height() - 24));
                          if (road.box.isEmpty()) {
                              EXPECT_EQ(QSize(int(960 / r), int(720 / r)), dialog.GetDlgItem(1042)->size());
                          }
                          dialog.OnCancel();
                      }));
        }
        EXPECT_EQ(start + road.commands + end + QStringList("deepskyimage.visible = " + road.deepSky + "; Show Sky"), host.Commands());
        EXPECT_FALSE(QFile::exists(naked));
    }
}

// the roads out of a share over the wire: what the service answered (or the status of
// an answer other than 200) gives the road, the text shown, the link and the tokens' fate
TEST(CloudShare, TheAnswerToAShareDecidesItsOutcome)
{
    CloudFixture cloud;
    Account account;
    const QString earlier = "https://x/earlier", home = "https://x/home";
    const QString notSent = "投稿データの送信に失敗しました。\n";
    struct Row {
        int status;
        std::string answer;  // none: the service's own, to a token it does not know
        CShareOutcome::Road road;
        QString message, link;
        bool erases = false;
    };
    const Row rows[] = {
        {200, "", CShareOutcome::Ended, notSent + "ログインしていません。もう一度ログインしてください。", "", true},
        {200, "not json", CShareOutcome::Shared, "", earlier},
        {200, "{}", CShareOutcome::Shared, "", ""},
        {200, R"({"type":"OK","link":"https://x/c?a=1&b=2"})", CShareOutcome::Shared, "", "https://x/c?a=1&b=2"},
        {200, std::string(300, '[') + "\"deep\"", CShareOutcome::Shared, "", earlier},
        {200, R"({"type":"NG","message":3})", CShareOutcome::Refused,
         notSent + "UNDEFINED ERROR.\n[RESPONSE STRING:{\"type\":\"NG\",\"message\":3}]", ""},
        {200, R"({"type":"NG","message":"容量がいっぱいです。","link":"https://x/plan"})", CShareOutcome::Refused, notSent + "容量がいっぱいです。",
         "https://x/plan"},
        // an answer cut short counts as none at all: neither a refusal nor a lost user
        {200, R"({"type":"USER_NOT_FOUND")", CShareOutcome::Shared, "", earlier},
        {200, R"({"type":"NG","message":"容量","link":"https://x")", CShareOutcome::Shared, "", earlier},
        {500, "{}", CShareOutcome::Ended, notSent + "ステータス:[500]", earlier},
    };
    const QByteArray body = "--image_upload_from_zntzvn\r\n" + part("access_token", "unknown")
                            + "Content-Disposition: form-data; name=\"comment\"\r\n\r\nx\r\n--image_upload_from_zntzvn--\r\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer);
        if (!row.answer.empty())
            cloud.service.Script("/api/charts", cloud.answer(row.status, row.answer));
        CShareOutcome outcome(earlier);
        QByteArray response;
        if (CCloudRequest::Execute(account.connection, HTTP_VERB_POST, "/api/charts", sharerequest::HeaderLine(), body.constData(),
                                   int(body.size()), response))
            outcome.Answered(response);
        else
            outcome.SendFailed(response);
        EXPECT_EQ(row.road, outcome.GetRoad());
        EXPECT_EQ(row.message, outcome.GetMessage());
        EXPECT_EQ(row.link, outcome.GetLink());
        EXPECT_EQ(row.erases, outcome.ErasesTokens());
        EXPECT_EQ(!row.link.isEmpty(), outcome.ShowsSettings());
        // the result dialog's page button opens the link, or the home page without one; its mail button the link as it is
        EXPECT_EQ(row.link.isEmpty() ? home : row.link, outcome.PageFor(1064, home));
        EXPECT_EQ("mailto:?subject=ZentoCloud:&body=" + row.link, outcome.PageFor(1060, home));
        EXPECT_EQ("", outcome.PageFor(2, home));
    }
    // the failures before any answer end the share, with their reason
    CShareOutcome unmade, broken;
    unmade.BodyFailed("x");
    broken.ExchangeFailed("y");
    EXPECT_EQ(std::make_pair(CShareOutcome::Ended, CShareOutcome::Ended), std::make_pair(unmade.GetRoad(), broken.GetRoad()));
    EXPECT_EQ(QStringList({"投稿データの生成に失敗しました。\nx", "ゼントクラウドとのHTTP通信に失敗しました。\ny"}),
              QStringList({unmade.GetMessage(), broken.GetMessage()}));
}

// a refusal shows the error dialog, which keeps the share open; a user the service no
// longer knows loses the stored tokens, is told in a box and the share ends
TEST(CloudShare, TheDialogShowsARefusalInTheErrorDialogAndEndsOnALostUser)
{
    CloudFixture cloud;
    Account account;
    // with the pasted images hidden the naked chart goes, though their box is ticked;
    // "Location" never stored: the place stays private
    CRegistry::Write("Dialog\\CloudUpload", "Image", "1");
    const QByteArray naked = "filename=\"" + ToCodePage(cloud.env.TempFolder() + "tmpZentar_naked.png") + "\"";
    // a lost user; a refusal naming a page for the settings button; one naming none
    for (const QByteArray& link : {QByteArray(), QByteArray("https://x/plan"), QByteArray("")}) {
        CRegistry::Write("General\\Authentication", "AccessToken", "kept");
        CRegistry::Write("General\\Authentication", "AccessTokenSecret", "kept");
        const bool lost = link.isNull();
        const QByteArray token = lost ? QByteArray("unknown") : account.token;
        if (!lost)
            cloud.service.Script("/api/charts", cloud.answer(200, R"({"type":"NG","message":"容量がいっぱいです。","link":")" + link.toStdString() + "\"}"));
        SavingHost host;
        host.Answer("? deepskyimage.visible", "FALSE");
        MessageBoxScript boxes;
        if (lost)
            boxes.Expect("投稿データの送信に失敗しました。\nログインしていません。もう一度ログインしてください。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        ShellRecorder shell;
        WindowMessageRecorder messages;
        NestedDialog error;
        QByteArray wire;
        CDlgCloudUpload dialog(&host, account.connection, {}, 0, 0, token, account.secret, scene(cloud), nullptr);
        EXPECT_EQ(lost ? 2 : -1, runModal(dialog, [&] {
                      EXPECT_EQ("星図の場所設定を公開(&P)", qobject_cast<QCheckBox*>(dialog.GetDlgItem(2042))->text());
                      // the comment box tells the dialog base as it gains and loses the focus
                      QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
                      QApplication::sendEvent(dialog.GetDlgItem(2040), &in);
                      QApplication::sendEvent(dialog.GetDlgItem(2040), &out);
                      QList<std::pair<QObject*, int>> base;
                      for (const auto& sent : messages.Sent(WM_ZNTDIALOG))
                          base << std::make_pair(sent.target, int(sent.wParam));
                      EXPECT_EQ((QList<std::pair<QObject*, int>>{{&dialog, 0}, {&dialog, 1}}), base.mid(base.size() - 2));
                      SetInternetTrace([&wire](const QString&, const QByteArray& sent) { wire += sent; });
                      answerNested(&dialog, link.isEmpty() ? IDCANCEL : IDOK, error);
                      dialog.DispatchCommand(BN_CLICKED, 1);
                      SetInternetTrace({});
                      if (dialog.isVisible())
                          dialog.done(-1);  // still open after a refusal
                  }));
        EXPECT_TRUE(wire.contains(naked));
        EXPECT_FALSE(wire.contains("name=\"latitude\""));
        EXPECT_EQ(lost ? "" : "kept", stored("AccessToken"));
        EXPECT_EQ(lost ? "" : "kept", stored("AccessTokenSecret"));
        EXPECT_EQ(!lost, error.seen);
        if (!lost) {
            EXPECT_EQ("共有 - エラー", error.title);
            EXPECT_EQ("投稿データの送信に失敗しました。\n容量がいっぱいです。", error.message);
            EXPECT_EQ(!link.isEmpty(), error.settingsShown);
            ASSERT_EQ(link.isEmpty() ? 0 : 1, shell.Calls().size());  // its settings button opens the page the service named
            if (!link.isEmpty()) {
                EXPECT_EQ("https://x/plan", shell.Calls()[0].file);
            }
        }
    }
}

TEST(CloudShare, TheResultAndErrorDialogsShowTheSystemsInformationIconAndTheirTexts)
{
    TempEnvironment env;
    NestedDialog seen;
    CDlgCloudError error(nullptr);
    error.ShowSettingsButton(0);
    answerNested(&error, 2, seen);
    EXPECT_EQ(2, error.DoModal());
    EXPECT_EQ(std::make_tuple(QString(), QString("TEXT"), false), std::make_tuple(seen.title, seen.message, seen.settingsShown));
    // a system icon is 32 x 32 pixels, the information sign filling most of it
    const QImage information = LoadIcon(IDI_INFORMATION).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(QSize(32, 32), seen.icon);
    EXPECT_EQ(information, seen.iconImage);
    EXPECT_GE(seen.iconWidth, 28);
    CDlgCloudResult result(nullptr);
    answerNested(&result, 1060, seen);
    EXPECT_EQ(1060, result.DoModal());
    EXPECT_EQ(information, seen.iconImage);
    EXPECT_TRUE(seen.texts.contains("ゼントクラウドで共有しました。")) << seen.texts.join('|').toStdString();
}

TEST(CloudShare, TheCentreFollowsTheCoordinateSystemAndUnreadableOrHugeFilesAreNamedBeforeTheHostIsAsked)
{
    TempEnvironment env;
    const QString image = env.Path("chart.png"), zsf = env.Path("chart.zsf"), huge = env.Path("huge.zsf");
    TempEnvironment::WriteBytes(image, kPng);
    TempEnvironment::WriteBytes(zsf, "[General]\r\n");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(2) << 30));  // sparse: takes no disk
    }
    QStringList asked;  // the coordinate system first; every other query is answered with itself
    const auto ask = [&asked](const QString& query) { return query == "? view.coordinate" ? asked.first() : (asked << query).last(); };
    struct Row {
        QString coordinate, image, zsf;
        QByteArray expected;  // in the body; empty: refused with the error
        QString error;
    };
    const Row rows[] = {
        // for the horizon, alpha carries the altitude and delta the azimuth; the name is compared without case
        {"HORIZON", image, zsf,
         part("coordinate", "HORIZON") + part("alpha", "? view.center.position.horizon.altitude")
             + part("delta", "? view.center.position.horizon.azimuth") + part("angle", "? view.angle"),
         {}},
        // no centre for a system the body does not know
        {"Selenographic", image, zsf, part("coordinate", "Selenographic") + part("angle", "? view.angle"), {}},
        {"Galactic", env.Path("消えた.png"), zsf, {}, "星図画像" + env.Path("消えた.png") + "を開けませんでした。\n"},
        {"Galactic", image, huge, {}, "ZSFデータファイル" + huge + "を開けませんでした。\n"},
    };
    for (const Row& row : rows) {
        asked = QStringList{row.coordinate};
        sharerequest::BodyInputs in{"t", "s", {}, row.image, row.zsf, 0};
        sharerequest::Body body;
        int length = 0;
        QString error;
        EXPECT_EQ(row.error.isEmpty() ? 1 : 0, sharerequest::BuildBody(in, ask, body, length, error));
        EXPECT_EQ(row.error, error);
        if (!row.expected.isEmpty()) {
            EXPECT_TRUE(QByteArray(body.get(), length).contains(row.expected)) << row.coordinate.toStdString();
        }
        EXPECT_EQ(row.image == image, asked.size() > 1);  // an image that cannot be opened is named before the host is asked
    }
}

// the stand-in service: what is left of a body it could not read is never taken for the
// next request, so the next request on the connection gets its own answer
TEST(CloudShare, TheServiceClosesTheConnectionAfterABodyItCouldNotRead)
{
    CloudFixture cloud;
    Account account;
    cloud.service.Script("/next", cloud.answer(200, "next"));
    const QByteArray unreadable = "--image_upload_from_zntzvn\r\nno header end" + QByteArray(256 * 1024, 'x');
    EXPECT_TRUE(account.post("/api/charts", unreadable).contains("\"type\":\"INVALID_REQUEST\""));
    EXPECT_EQ("next", account.post("/next", "n"));
}
