#include "cloud/CloudRequest.h"
#include "platform/Internet.h"
#include "tests/cloud/CloudFixture.h"

#include <QTcpServer>

using namespace platform;

namespace {

struct Connection {
    CInternetSession session{"ZentorinLite/1.0"};
    std::unique_ptr<CHttpConnection> connection;
    explicit Connection(int port)
    {
        connection = session.GetHttpConnection("127.0.0.1", INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_SECURE,
                                               INTERNET_PORT(port));
    }
    // the routine's result, or -1 when it threw the internet error
    int get(const QString& object, QByteArray& response)
    {
        try {
            return CCloudRequest::Execute(connection.get(), HTTP_VERB_GET, object, {}, nullptr, 0, response);
        } catch (const CInternetException& e) {
            response = QByteArray::number(qulonglong(e.m_dwError));
            return -1;
        }
    }
};

}  // namespace

TEST(Internet, ParsesServiceAddresses)
{
    struct Row {
        const char* url;
        bool parsed;
        DWORD type;
        QString server, object;
        int port;
    };
    const Row rows[] = {
        {"https://cloud.example.test", true, AFX_INET_SERVICE_HTTPS, "cloud.example.test", "/", 443},
        {"https://127.0.0.1:8443/some/path?x=1", true, AFX_INET_SERVICE_HTTPS, "127.0.0.1", "/some/path?x=1", 8443},
        {"http://127.0.0.1/", true, AFX_INET_SERVICE_HTTP, "127.0.0.1", "/", 80},
        {"not a url", false, 0, "", "", 0},
        {"ftp://127.0.0.1/", false, 0, "", "", 0},
    };
    for (const Row& row : rows) {
        DWORD type = 0;
        QString server, object;
        INTERNET_PORT port = 0;
        EXPECT_EQ(row.parsed, AfxParseURL(row.url, type, server, object, port)) << row.url;
        if (row.parsed) {
            EXPECT_EQ(std::make_tuple(row.type, row.server, row.object, row.port), std::make_tuple(type, server, object, int(port)));
        }
    }
}

// every answer on one connection: whole when it is a 200, whatever its length says or does
// not say (its pieces differ, so a lost or repeated one shows); the status text otherwise;
// an internet error for an answer broken off or announced past 16 MiB
TEST(Internet, TheRequestRoutineReadsTwoHundredsWholeAndNamesEveryOtherStatus)
{
    CloudFixture cloud;
    Connection c(cloud.service.Port());
    const std::string big = QByteArray("abcdefghijklmnopqrstuvw").repeated(435).left(10000).toStdString();
    struct Row {
        CZentoCloudService::ScriptedAnswer answer;
        int result;
        QByteArray response;
    };
    std::vector<Row> rows = {{cloud.answer(200, big), 1, QByteArray::fromStdString(big)},
                             {cloud.answer(200, big), 1, QByteArray::fromStdString(big)},
                             {cloud.answer(200, big), 1, QByteArray::fromStdString(big)},
                             {cloud.answer(200, ""), 1, ""},
                             {cloud.answer(200, ""), 1, ""},
                             {cloud.answer(200, std::string(5000, 'z')), -1, QByteArray::number(18)},
                             {cloud.answer(200, ""), -1, QByteArray::number(INTERNET_ERROR_ANSWER_TOO_LARGE)},
                             {cloud.answer(200, std::string(16 * 1024 * 1024 + 4096, 'e')), -1,
                              QByteArray::number(INTERNET_ERROR_ANSWER_TOO_LARGE)}};
    rows[1].answer.contentLength = false;  // read in pieces to the end
    rows[2].answer.pieceBytes = 700;       // small pieces, a pause before each, as a far server sends them: one read waits
    rows[2].answer.pieceDelayMs = 15;
    rows[4].answer.rawContentLength = "many";  // no number: read as 0, an empty answer
    rows[5].answer.closeEarly = true;
    rows[6].answer.contentLengthOverride = "16777217";  // refused before anything is set aside for it
    rows[7].answer.contentLength = false;               // cut off as it grows past the limit
    for (int status : {201, 204, 404, 500})  // a 204 has no body, whatever the service would like to say
        rows.push_back({cloud.answer(status, status == 204 ? "" : "{\"status\":200}"), 0, QString("ステータス:[%1]").arg(status).toUtf8()});
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        const QString path = QString("/answer%1").arg(i);
        cloud.service.Script(path.toStdString(), rows[i].answer);
        QByteArray response;
        EXPECT_EQ(rows[i].result, c.get(path, response));
        EXPECT_EQ(rows[i].response, response);
    }
    // the routine's own flags take the service's self-signed certificate, which a plain request refuses
    auto strict = c.connection->OpenRequest(HTTP_VERB_GET, "/answer0", {}, 1, nullptr, {}, INTERNET_FLAG_SECURE);
    EXPECT_THROW(strict->SendRequest(), CInternetException);
}

// what a person reads when the network fails: Japanese whatever the locale, with
// the number for whoever helps them, never the client's English
TEST(Internet, EachFailureIsToldInJapaneseWithItsNumber)
{
    CloudFixture cloud;
    SetInternetTimeoutSource([] { InternetTimeouts t; t.receiveSeconds = 1; return t; });
    auto cutShort = cloud.answer(200, std::string(5000, 'z'));
    cutShort.closeEarly = true;
    cloud.service.Script("/cut", cutShort);
    auto silent = cloud.answer(200, "{}");
    silent.delayMs = 3000;
    cloud.service.Script("/silent", silent);
    QTcpServer closed;  // a port that was free a moment ago: nothing listens there now
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const int refusedPort = closed.serverPort();
    closed.close();
    const struct { const char* what; int port; bool trusting; const char* object; QString text; } rows[] = {
        {"refused", refusedPort, true, "/", "サーバーに接続できません。サーバーが接続を拒否しました。(通信エラー 7)"},
        {"certificate", cloud.service.Port(), false, "/", "サーバーの証明書を信頼できません。(通信エラー 60)"},
        {"cut short", cloud.service.Port(), true, "/cut", "転送が途中で切れました。(通信エラー 18)"},
        {"silent", cloud.service.Port(), true, "/silent", "サーバーからの応答がなく、時間切れになりました。1 秒間、何も受信していません。(通信エラー 28)"},
    };
    for (const auto& row : rows) {
        CInternetSession session("ZentorinLite/1.0");
        auto connection = session.GetHttpConnection("127.0.0.1", INTERNET_FLAG_SECURE, INTERNET_PORT(row.port));
        auto request = connection->OpenRequest(HTTP_VERB_GET, row.object, {}, 1, nullptr, {}, INTERNET_FLAG_SECURE);
        if (row.trusting)  // the service's own certificate, self-signed for 127.0.0.1
            request->SetOption(INTERNET_OPTION_SECURITY_FLAGS, SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID);
        QString text;
        try {
            request->SendRequest();
            char buffer[8192];
            while (request->Read(buffer, sizeof buffer) > 0) {
            }
        } catch (const CInternetException& e) {
            e.GetErrorMessage(text);
        }
        EXPECT_EQ(row.text.toStdString(), text.toStdString()) << row.what;
    }
    SetInternetTimeoutSource({});
}
