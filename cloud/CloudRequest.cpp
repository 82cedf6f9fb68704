#include "cloud/CloudRequest.h"

#include "platform/Internet.h"
#include "platform/Text.h"

using namespace platform;

int CCloudRequest::Execute(CHttpConnection* connection, int verb, const QString& object, const QString& headers,
                           const char* body, int bodyLength, QByteArray& response)
{
    if (!connection)
        throw CInternetException(0, QStringLiteral("接続がありません。"));
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_SECURE;
    std::unique_ptr<CHttpFile> request = connection->OpenRequest(verb, object, {}, 1, nullptr, {}, flags);
    // the service's certificate is taken as it is: unknown issuer, dates, name, revocation
    request->SetOption(INTERNET_OPTION_SECURITY_FLAGS, SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_CN_INVALID
                                                           | SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_REVOCATION);
    request->SendRequest(headers, body, DWORD(std::max(0, bodyLength)));
    DWORD status = 0;
    if (!request->QueryInfoStatusCode(status) || status != 200) {
        response = QStringLiteral("ステータス:[%1]").arg(status).toUtf8();
        request->Close();
        return 0;
    }
    QString length;
    if (request->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, length) && !length.isEmpty()) {
        const qint64 n = _wtoi(length);
        // a length no answer of the service has is refused before anything is set aside for it
        if (n > CHttpFile::kMaxAnswer) {
            response = QStringLiteral("応答が大きすぎます。(%1 バイト)").arg(n).toUtf8();
            request->Close();
            return 0;
        }
        // one read of n bytes: what arrives until n bytes are in or the answer ends
        QByteArray buffer(std::max<qint64>(0, n), Qt::Uninitialized);
        qint64 got = 0;
        while (got < n) {
            const quint32 r = request->Read(buffer.data() + got, quint32(n - got));
            if (r == 0)
                break;
            got += r;
        }
        buffer.truncate(got);
        response += buffer;
    } else {
        char buffer[2048];
        while (const quint32 r = request->Read(buffer, sizeof buffer))
            response.append(buffer, r);
    }
    request->Close();
    return 1;
}
