#include "cloud/CloudRequest.h"

#include "platform/Internet.h"
#include "platform/Text.h"

using namespace platform;

namespace {

// larger than any answer the service sends: a form's or a chart's JSON object
constexpr qint64 kMaxAnswer = 16 * 1024 * 1024;

[[noreturn]] void tooLarge()
{
    throw CInternetException(INTERNET_ERROR_ANSWER_TOO_LARGE, CInternetException::TextOf(INTERNET_ERROR_ANSWER_TOO_LARGE));
}

}  // namespace

int CCloudRequest::Execute(CHttpConnection* connection, int verb, const QString& object, const QString& headers,
                           const char* body, int bodyLength, QByteArray& response)
{
    if (!connection)  // never signed in: there is no connection to the service
        throw CInternetException(INTERNET_ERROR_CANNOT_CONNECT, CInternetException::TextOf(INTERNET_ERROR_CANNOT_CONNECT));
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
        const qint64 n = std::max(0, _wtoi(length));
        // a length no answer of the service has is refused before anything is set aside for it
        if (n > kMaxAnswer)
            tooLarge();
        // one read of n bytes; it holds what arrived before the answer ended
        QByteArray buffer(n, Qt::Uninitialized);
        buffer.truncate(request->Read(buffer.data(), quint32(n)));
        response += buffer;
    } else {
        char buffer[2048];
        while (const quint32 r = request->Read(buffer, sizeof buffer)) {
            if (response.size() + r > kMaxAnswer)
                tooLarge();
            response.append(buffer, r);
        }
    }
    request->Close();
    return 1;
}
