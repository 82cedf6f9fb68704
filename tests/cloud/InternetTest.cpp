#include "cloud/CloudRequest.h"
#include "platform/Internet.h"
#include "tests/cloud/CloudFixture.h"

#include <QElapsedTimer>

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
    int get(const QString& object, QByteArray& response)
    {
        return CCloudRequest::Execute(connection.get(), HTTP_VERB_GET, object, {}, nullptr, 0, response);
    }
};

// a body whose every piece differs from its neighbours, so a lost or repeated piece shows
std::string pattern(size_t size)
{
    std::string text(size, ' ');
    for (size_t i = 0; i < size; ++i)
        text[i] = char('a' + i % 23);
    return text;
}

}  // namespace

TEST(Internet, ParsesServiceAddresses)
{
    DWORD type = 0;
    QString server, object;
    INTERNET_PORT port = 0;
    ASSERT_TRUE(AfxParseURL("https://cloud.example.test", type, server, object, port));
    EXPECT_EQ(DWORD(AFX_INET_SERVICE_HTTPS), type);
    EXPECT_EQ("cloud.example.test", server);
    EXPECT_EQ(443, port);
    ASSERT_TRUE(AfxParseURL("https://127.0.0.1:8443/some/path?x=1", type, server, object, port));
    EXPECT_EQ(8443, port);
    EXPECT_EQ("/some/path?x=1", object);
    ASSERT_TRUE(AfxParseURL("http://127.0.0.1/", type, server, object, port));
    EXPECT_EQ(DWORD(AFX_INET_SERVICE_HTTP), type);
    EXPECT_EQ(80, port);
    EXPECT_FALSE(AfxParseURL("not a url", type, server, object, port));
    EXPECT_FALSE(AfxParseURL("ftp://127.0.0.1/", type, server, object, port));
}

TEST(Internet, ReadsAnswersWithAndWithoutTheirLength)
{
    CloudFixture cloud;
    Connection c(cloud.service.Port());
    const std::string big = pattern(10000);
    cloud.service.Script("/sized", cloud.answer(200, big));
    auto chunked = cloud.answer(200, big);
    chunked.contentLength = false;
    cloud.service.Script("/chunked", chunked);
    cloud.service.Script("/empty", cloud.answer(200, ""));

    QByteArray response;
    ASSERT_EQ(1, c.get("/sized", response));
    EXPECT_EQ(QByteArray::fromStdString(big), response);
    response.clear();
    ASSERT_EQ(1, c.get("/chunked", response));  // no Content-Length: read in pieces to the end
    EXPECT_EQ(QByteArray::fromStdString(big), response);
    response.clear();
    ASSERT_EQ(1, c.get("/empty", response));
    EXPECT_EQ(QByteArray(), response);

    const auto requests = cloud.service.Requests();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ("ZentorinLite/1.0", requests[0].headers.at("user-agent"));
    // one connection for every request of the session
    EXPECT_EQ(requests[0].remotePort, requests[1].remotePort);
    EXPECT_EQ(requests[0].remotePort, requests[2].remotePort);
}

TEST(Internet, AnythingButTwoHundredIsAFailureWithItsStatus)
{
    CloudFixture cloud;
    Connection c(cloud.service.Port());
    for (int status : {201, 204, 404, 500}) {
        // a 204 has no body, whatever the service would like to say
        cloud.service.Script("/status", cloud.answer(status, status == 204 ? "" : "{\"status\":200}"));
        QByteArray response;
        try {
            EXPECT_EQ(0, c.get("/status", response)) << status;
        } catch (const CInternetException& e) {
            ADD_FAILURE() << status << ": " << e.ErrorText().toStdString();
        }
        EXPECT_EQ(QString("ステータス:[%1]").arg(status).toUtf8(), response);
    }
}

TEST(Internet, BrokenAndOversizedAnswersFail)
{
    CloudFixture cloud;
    Connection c(cloud.service.Port());
    auto early = cloud.answer(200, std::string(5000, 'z'));
    early.closeEarly = true;
    cloud.service.Script("/early", early);
    QByteArray response;
    EXPECT_THROW(c.get("/early", response), CInternetException);

    // the error an answer fails with; 0 when it is read
    const auto failure = [&](const char* path) {
        response.clear();
        try {
            c.get(path, response);
        } catch (const CInternetException& e) {
            return e.m_dwError;
        }
        return DWORD(0);
    };
    // a length past the limit is refused before anything is set aside for it, however little comes
    auto huge = cloud.answer(200, "");
    huge.contentLengthOverride = "16777217";
    cloud.service.Script("/huge", huge);
    EXPECT_EQ(DWORD(INTERNET_ERROR_ANSWER_TOO_LARGE), failure("/huge"));
    // and an answer that grows past the limit without announcing it is cut off
    auto endless = cloud.answer(200, std::string(16 * 1024 * 1024 + 4096, 'e'));
    endless.contentLength = false;
    cloud.service.Script("/endless", endless);
    EXPECT_EQ(DWORD(INTERNET_ERROR_ANSWER_TOO_LARGE), failure("/endless"));
}

TEST(Internet, AReadWaitsForTheBytesAskedOrTheEnd)
{
    CloudFixture cloud;
    Connection c(cloud.service.Port());
    const std::string body = pattern(10000);
    auto slow = cloud.answer(200, body);
    slow.pieceBytes = 700;  // small pieces, a pause before each, as a far server sends them
    slow.pieceDelayMs = 15;
    cloud.service.Script("/slow", slow);

    QByteArray response;
    ASSERT_EQ(1, c.get("/slow", response));  // the routine reads a Content-Length answer in one read
    EXPECT_EQ(QByteArray::fromStdString(body), response);

    auto request = c.connection->OpenRequest(HTTP_VERB_GET, "/slow", {}, 1, nullptr, {}, INTERNET_FLAG_SECURE);
    request->SetOption(INTERNET_OPTION_SECURITY_FLAGS, 0x3180);
    request->SendRequest();
    char buffer[4096];
    EXPECT_EQ(4096u, request->Read(buffer, sizeof buffer));
    EXPECT_EQ(4096u, request->Read(buffer, sizeof buffer));
    EXPECT_EQ(10000u - 8192u, request->Read(buffer, sizeof buffer));  // short only at the end
    EXPECT_EQ(0u, request->Read(buffer, sizeof buffer));
}

TEST(Internet, ASilentServerFailsAfterTheReceiveTimeout)
{
    CloudFixture cloud;
    CRegistry::Write("General\\Network", "ReceiveTimeout", 1);
    Connection c(cloud.service.Port());  // a new session takes the setting
    auto silent = cloud.answer(200, "late");
    silent.delayMs = 3000;
    cloud.service.Script("/silent", silent);
    QElapsedTimer clock;
    clock.start();
    QByteArray response;
    EXPECT_THROW(c.get("/silent", response), CInternetException);
    EXPECT_LT(clock.elapsed(), 2800);
}

TEST(Internet, RequestsCarryWhatTheirCallerWroteAndHttpNeeds)
{
    CloudFixture cloud;
    Connection c(cloud.service.Port());
    cloud.service.Script("/post", cloud.answer(200, "{}"));
    QByteArray sent;
    const InternetTrace previous = SetInternetTrace([&](const QString&, const QByteArray& bytes) { sent += bytes; });
    QByteArray response;
    const char body[] = "a=1";
    EXPECT_EQ(1, CCloudRequest::Execute(c.connection.get(), HTTP_VERB_POST, "/post", {}, body, 3, response));
    SetInternetTrace(previous);
    const QByteArray head = sent.left(sent.indexOf("\r\n\r\n")).toLower();
    EXPECT_TRUE(head.startsWith("post /post http/1.1\r\n")) << head.toStdString();
    EXPECT_TRUE(head.contains("\r\nuser-agent: zentorinlite/1.0")) << head.toStdString();
    EXPECT_TRUE(head.contains("\r\ncontent-length: 3")) << head.toStdString();
    EXPECT_FALSE(head.contains("accept:")) << head.toStdString();
    EXPECT_FALSE(head.contains("content-type:")) << head.toStdString();
    EXPECT_FALSE(head.contains("expect:")) << head.toStdString();
}

TEST(Internet, ALengthThatIsNoNumberReadsAsNothing)
{
    CloudFixture cloud;
    Connection c(cloud.service.Port());
    auto odd = cloud.answer(200, "");
    odd.rawContentLength = "many";
    cloud.service.Script("/odd", odd);
    QByteArray response = "left";
    response.clear();
    EXPECT_EQ(1, c.get("/odd", response));  // a number read of "many" is 0: an empty answer, no failure
    EXPECT_EQ(QByteArray(), response);
}

TEST(Internet, CertificatesAreCheckedUnlessTheSecurityFlagsSayOtherwise)
{
    CloudFixture cloud;
    Connection c(cloud.service.Port());
    cloud.service.Script("/page", cloud.answer(200, "hello"));
    auto strict = c.connection->OpenRequest(HTTP_VERB_GET, "/page", {}, 1, nullptr, {}, INTERNET_FLAG_SECURE);
    EXPECT_THROW(strict->SendRequest(), CInternetException);  // the service's own certificate is not trusted

    auto tolerant = c.connection->OpenRequest(HTTP_VERB_GET, "/page", {}, 1, nullptr, {}, INTERNET_FLAG_SECURE);
    tolerant->SetOption(INTERNET_OPTION_SECURITY_FLAGS, 0x3180);
    ASSERT_TRUE(tolerant->SendRequest());
    DWORD status = 0;
    ASSERT_TRUE(tolerant->QueryInfoStatusCode(status));
    EXPECT_EQ(200u, status);
    char buffer[4096];
    const quint32 n = tolerant->Read(buffer, sizeof buffer);
    EXPECT_EQ("hello", QByteArray(buffer, int(n)));
    EXPECT_EQ(0u, tolerant->Read(buffer, sizeof buffer));
}
