#include "cloud/CloudRequest.h"
#include "platform/Internet.h"
#include "tests/cloud/CloudFixture.h"

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
