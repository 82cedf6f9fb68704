#pragma once
// The internet classes the module was written against, over libcurl:
// a session (agent, the system's proxy settings), a connection to one server,
// and requests on it, all synchronous. A request's answer can be read as it
// arrives, so that a caller can let the user interface breathe between reads.
// Failures are thrown as CInternetException.
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

namespace platform {

using DWORD = quint32;
using INTERNET_PORT = quint16;

enum : DWORD {
    AFX_INET_SERVICE_HTTP = 3,
    AFX_INET_SERVICE_HTTPS = 4107,
    INTERNET_DEFAULT_HTTP_PORT = 80,
    INTERNET_DEFAULT_HTTPS_PORT = 443,
    INTERNET_OPEN_TYPE_PRECONFIG = 0,
    HTTP_VERB_POST = 0,
    HTTP_VERB_GET = 1,
    INTERNET_FLAG_RELOAD = 0x80000000,
    INTERNET_FLAG_EXISTING_CONNECT = 0x20000000,
    INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000,
    INTERNET_FLAG_SECURE = 0x00800000,
    INTERNET_FLAG_TRANSFER_ASCII = 0x00000001,
    INTERNET_FLAG_TRANSFER_BINARY = 0x00000002,
    INTERNET_OPTION_SECURITY_FLAGS = 31,
    SECURITY_FLAG_IGNORE_REVOCATION = 0x00000080,
    SECURITY_FLAG_IGNORE_UNKNOWN_CA = 0x00000100,
    SECURITY_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000,
    SECURITY_FLAG_IGNORE_CERT_DATE_INVALID = 0x00002000,
    HTTP_QUERY_CONTENT_LENGTH = 5,
    HTTP_QUERY_LAST_MODIFIED = 11,
    HTTP_QUERY_STATUS_CODE = 19,
    HTTP_QUERY_ETAG = 54,
    HTTP_QUERY_CUSTOM = 65535,  // the header named by the value passed in
    // the client's error numbers a caller names itself
    INTERNET_ERROR_CANNOT_CONNECT = 7,     // no connection to the server
    INTERNET_ERROR_ANSWER_TOO_LARGE = 63,  // an answer larger than the caller takes
};

class CInternetException {
public:
    CInternetException(DWORD error, QString text) : m_dwError(error), m_strError(std::move(text)) {}
    DWORD m_dwError;
    // the error's text, at most `max` - 1 characters, as Windows fills a buffer of `max`
    bool GetErrorMessage(QString& text, int max = 1024) const;
    const QString& ErrorText() const { return m_strError; }
    // the client's own text for one of its error numbers
    static QString TextOf(DWORD error);

private:
    QString m_strError;
};

// Splits "https://host:port/path" into its service type, server, object and
// port (the scheme's default when none is named). False for anything else.
bool AfxParseURL(const QString& url, DWORD& serviceType, QString& server, QString& object, INTERNET_PORT& port);

// How long a connection attempt may take, and how long a transfer may go on
// receiving nothing, before the request fails (60 s each, as desktop HTTP
// stacks wait). A new session asks the source for them: the module reads them
// from its settings, tests shorten them.
struct InternetTimeouts {
    int connectSeconds = 60;
    int receiveSeconds = 60;
    QString trustedAuthority;  // a PEM file: certificates are checked against it instead of the system's
};
using InternetTimeoutSource = std::function<InternetTimeouts()>;
void SetInternetTimeoutSource(InternetTimeoutSource source);  // an empty one: the defaults

// Sees every request as it goes out on the wire: its header lines and its
// body, as the client writes them (before encryption). For tests and logs.
using InternetTrace = std::function<void(const QString& url, const QByteArray& sent)>;
InternetTrace SetInternetTrace(InternetTrace trace);  // an empty one stops it; answers the previous one

class CHttpConnection;
class CHttpFile;
struct InternetSessionState;

class CInternetSession {
public:
    CInternetSession(const QString& agent, DWORD context = 1, DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG,
                     const QString& proxy = {}, const QString& bypass = {}, DWORD flags = 0);
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // one connection to the server; its requests share the session's open connections
    std::unique_ptr<CHttpConnection> GetHttpConnection(const QString& server, DWORD flags, INTERNET_PORT port,
                                                       const QString& user = {}, const QString& password = {});
    // a GET of the whole URL, sent at once (the ASCII and binary flags change nothing here)
    std::unique_ptr<CHttpFile> OpenURL(const QString& url, DWORD context = 1, DWORD flags = INTERNET_FLAG_TRANSFER_BINARY,
                                       const QString& headers = {});
    void Close();

    const QString& Agent() const { return m_strAgent; }
    const InternetTimeouts& Timeouts() const { return m_timeouts; }
    InternetSessionState& State() { return *m_state; }

private:
    QString m_strAgent;
    InternetTimeouts m_timeouts;
    std::unique_ptr<InternetSessionState> m_state;
};

class CHttpConnection {
public:
    CHttpConnection(CInternetSession& session, QString server, INTERNET_PORT port, DWORD flags);
    ~CHttpConnection();

    std::unique_ptr<CHttpFile> OpenRequest(int verb, const QString& object, const QString& referer = {}, DWORD context = 1,
                                           const char** acceptTypes = nullptr, const QString& version = {},
                                           DWORD flags = INTERNET_FLAG_RELOAD);
    void Close();

    const QString& Server() const { return m_strServer; }
    INTERNET_PORT Port() const { return m_nPort; }
    bool Secure() const { return m_dwFlags & INTERNET_FLAG_SECURE; }

private:
    CInternetSession& m_session;
    QString m_strServer;
    INTERNET_PORT m_nPort;
    DWORD m_dwFlags;
};

class CHttpFile {
public:
    CHttpFile(CInternetSession& session, QByteArray url, int verb, DWORD flags);  // the URL as it goes out
    ~CHttpFile();
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    bool SetOption(DWORD option, DWORD value);
    // Sends the request and returns once the answer's status and headers are in.
    // The body is sent from the caller's bytes, which must stay until the request is closed.
    bool SendRequest(const QString& headers = {}, const void* body = nullptr, DWORD length = 0);
    bool QueryInfoStatusCode(DWORD& status) const;
    // a header of the answer: Content-Length, Last-Modified, ETag, or with HTTP_QUERY_CUSTOM the one `value` names
    bool QueryInfo(DWORD what, QString& value) const;
    // `count` bytes of the answer, waiting until they are in; fewer only at
    // the answer's end (0 once it is all read), as a synchronous read answers.
    quint32 Read(void* buffer, quint32 count);
    // What arrived and was not yet read: after a failed Read, the bytes received before the
    // failure, which a caller keeping a partial answer may still write.
    QByteArray TakeReceived() { return std::exchange(m_received, {}); }
    void Close();

private:
    void pump(const std::function<bool()>& enough);
    [[noreturn]] void fail(int code) const;

    CInternetSession& m_session;
    QByteArray m_url;
    int m_nVerb;
    DWORD m_dwFlags;
    DWORD m_dwSecurity = 0;
    void* m_curl = nullptr;  // CURL*
    void* m_headerList = nullptr;
    QByteArray m_body;
    QByteArray m_received;  // arrived and not yet read
    QByteArray m_sent;      // what went out, for the trace
    QHash<QByteArray, QByteArray> m_headers;  // lower-case names
    bool m_headersDone = false;
    bool m_done = false;
    bool m_added = false;
    int m_result = 0;  // CURLcode once done
    QElapsedTimer m_sinceReceived;  // since the last byte came or went, while the transfer is driven
    qint64 m_uploaded = 0;
    char m_error[256] = {};
    friend struct InternetCallbacks;
};

}  // namespace platform
