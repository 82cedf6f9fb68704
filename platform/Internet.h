#pragma once
/// \file
/// The internet classes the module was written against, over libcurl:
/// a session (agent, the system's proxy settings), a connection to one server,
/// and requests on it, all synchronous. A request's answer can be read as it
/// arrives, so that a caller can let the user interface breathe between reads.
/// Failures are thrown as CInternetException.
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

namespace platform {

/// A 32-bit unsigned number: flags, options, error numbers.
using DWORD = quint32;
/// A TCP port.
using INTERNET_PORT = quint16;

/// The numbers of the internet classes, with their Windows values.
enum : DWORD {
    /// AfxParseURL(): an http address.
    AFX_INET_SERVICE_HTTP = 3,
    /// AfxParseURL(): an https address.
    AFX_INET_SERVICE_HTTPS = 4107,
    /// The port of an http address that names none.
    INTERNET_DEFAULT_HTTP_PORT = 80,
    /// The port of an https address that names none.
    INTERNET_DEFAULT_HTTPS_PORT = 443,
    /// A session with the system's proxy settings (the only kind there is).
    INTERNET_OPEN_TYPE_PRECONFIG = 0,
    /// CHttpConnection::OpenRequest(): a POST.
    HTTP_VERB_POST = 0,
    /// CHttpConnection::OpenRequest(): a GET.
    HTTP_VERB_GET = 1,
    /// Fetch from the server, not from a cache (there is none: accepted and changes nothing).
    INTERNET_FLAG_RELOAD = 0x80000000,
    /// Reuse an open connection (the session always does).
    INTERNET_FLAG_EXISTING_CONNECT = 0x20000000,
    /// Keep nothing in a cache (there is none).
    INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000,
    /// The connection's requests go over TLS (https).
    INTERNET_FLAG_SECURE = 0x00800000,
    /// A text transfer (changes nothing here).
    INTERNET_FLAG_TRANSFER_ASCII = 0x00000001,
    /// A binary transfer (changes nothing here).
    INTERNET_FLAG_TRANSFER_BINARY = 0x00000002,
    /// CHttpFile::SetOption(): the security flags below.
    INTERNET_OPTION_SECURITY_FLAGS = 31,
    /// A security flag, accepted; on its own it changes nothing.
    SECURITY_FLAG_IGNORE_REVOCATION = 0x00000080,
    /// A security flag: the certificate's chain is not checked (nor is the trusted authority used).
    SECURITY_FLAG_IGNORE_UNKNOWN_CA = 0x00000100,
    /// A security flag: the certificate need not name the server.
    SECURITY_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000,
    /// A security flag, accepted; on its own it changes nothing.
    SECURITY_FLAG_IGNORE_CERT_DATE_INVALID = 0x00002000,
    /// CHttpFile::QueryInfo(): the Content-Length header.
    HTTP_QUERY_CONTENT_LENGTH = 5,
    /// CHttpFile::QueryInfo(): the Last-Modified header.
    HTTP_QUERY_LAST_MODIFIED = 11,
    /// The answer's status (CHttpFile::QueryInfoStatusCode()).
    HTTP_QUERY_STATUS_CODE = 19,
    /// CHttpFile::QueryInfo(): the ETag header.
    HTTP_QUERY_ETAG = 54,
    HTTP_QUERY_CUSTOM = 65535,  ///< the header named by the value passed in
    // the client's error numbers a caller names itself
    INTERNET_ERROR_CANNOT_CONNECT = 7,     ///< no connection to the server
    INTERNET_ERROR_ANSWER_TOO_LARGE = 63,  ///< an answer larger than the caller takes
};

/// A failure of the internet classes: the client's error number and its text.
class CInternetException {
public:
    /// The failure `error` (the client's number) with its text.
    CInternetException(DWORD error, QString text) : m_dwError(error), m_strError(std::move(text)) {}
    /// The client's error number.
    DWORD m_dwError;
    /// the error's text, at most `max` - 1 characters, as Windows fills a buffer of `max`
    ///
    /// Returns true.
    bool GetErrorMessage(QString& text, int max = 1024) const;
    /// The error's whole text.
    const QString& ErrorText() const { return m_strError; }
    /// What a person reads for one of the client's error numbers: a Japanese
    /// sentence, then `detail` (a sentence of its own, may be empty), then the
    /// number, as "サーバーに接続できません。(通信エラー 7)".
    static QString TextOf(DWORD error, const QString& detail = {});

private:
    QString m_strError;
};

/// Splits "https://host:port/path" into its service type, server, object and
/// port (the scheme's default when none is named). False for anything else.
///
/// The object is the path with its query, "/" when the address names none.
bool AfxParseURL(const QString& url, DWORD& serviceType, QString& server, QString& object, INTERNET_PORT& port);

/// How long a connection attempt may take, and how long a transfer may go on
/// receiving nothing, before the request fails (60 s each, as desktop HTTP
/// stacks wait). A new session asks the source for them: the module reads them
/// from its settings, tests shorten them.
struct InternetTimeouts {
    /// Seconds a connection attempt may take.
    int connectSeconds = 60;
    /// Seconds a transfer may go on receiving nothing.
    int receiveSeconds = 60;
    QString trustedAuthority;  ///< a PEM file: certificates are checked against it instead of the system's
};
/// Gives a new session its timeouts.
using InternetTimeoutSource = std::function<InternetTimeouts()>;
/// The source every new session asks; the module sets one that reads `General\Network`.
void SetInternetTimeoutSource(InternetTimeoutSource source);  // an empty one: the defaults

/// Sees every request as it goes out on the wire: its header lines and its
/// body, as the client writes them (before encryption). For tests and logs.
using InternetTrace = std::function<void(const QString& url, const QByteArray& sent)>;
/// Sets the InternetTrace each request is shown to when it is closed.
InternetTrace SetInternetTrace(InternetTrace trace);  // an empty one stops it; answers the previous one

class CHttpConnection;
class CHttpFile;
struct InternetSessionState;

/// A session: the user agent every request sends, the timeouts it took from the
/// source, and the pool of open connections its requests share.
class CInternetSession {
public:
    /// A session sending `agent`; the other arguments are accepted as Windows
    /// takes them and change nothing. Throws CInternetException when the client cannot start.
    CInternetSession(const QString& agent, DWORD context = 1, DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG,
                     const QString& proxy = {}, const QString& bypass = {}, DWORD flags = 0);
    /// Closes the session. Its connections and requests must be gone first.
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    /// one connection to the server; its requests share the session's open connections
    ///
    /// `flags` with INTERNET_FLAG_SECURE makes its requests https; user and
    /// password are not used. Throws CInternetException for an empty server name.
    std::unique_ptr<CHttpConnection> GetHttpConnection(const QString& server, DWORD flags, INTERNET_PORT port,
                                                       const QString& user = {}, const QString& password = {});
    /// a GET of the whole URL, sent at once (the ASCII and binary flags change nothing here)
    ///
    /// Returns the request with its status and headers in. Throws
    /// CInternetException for an address that is no http or https URL or a failed exchange.
    std::unique_ptr<CHttpFile> OpenURL(const QString& url, DWORD context = 1, DWORD flags = INTERNET_FLAG_TRANSFER_BINARY,
                                       const QString& headers = {});
    /// Closes the connection pool; a closed session opens no more requests.
    void Close();

    /// The user agent its requests send.
    const QString& Agent() const { return m_strAgent; }
    /// The timeouts its requests keep.
    const InternetTimeouts& Timeouts() const { return m_timeouts; }
    /// The client's state, which the session's requests share.
    InternetSessionState& State() { return *m_state; }

private:
    QString m_strAgent;
    InternetTimeouts m_timeouts;
    std::unique_ptr<InternetSessionState> m_state;
};

/// A connection to one server and port of a session, which must outlive it.
class CHttpConnection {
public:
    /// The connection to `server` at `port`; INTERNET_FLAG_SECURE in `flags` makes it https.
    CHttpConnection(CInternetSession& session, QString server, INTERNET_PORT port, DWORD flags);
    /// Nothing to close beyond what its requests close.
    ~CHttpConnection();

    /// A request of `verb` (HTTP_VERB_GET or HTTP_VERB_POST) for `object` (the
    /// path and query) on this server, not sent yet (CHttpFile::SendRequest()).
    /// INTERNET_FLAG_SECURE in `flags` or the connection's makes it https; the
    /// other arguments are accepted and not used.
    std::unique_ptr<CHttpFile> OpenRequest(int verb, const QString& object, const QString& referer = {}, DWORD context = 1,
                                           const char** acceptTypes = nullptr, const QString& version = {},
                                           DWORD flags = INTERNET_FLAG_RELOAD);
    /// Nothing to do: the session keeps the open connections.
    void Close();

    /// The server's name.
    const QString& Server() const { return m_strServer; }
    /// The server's port.
    INTERNET_PORT Port() const { return m_nPort; }
    /// True for an https connection.
    bool Secure() const { return m_dwFlags & INTERNET_FLAG_SECURE; }

private:
    CInternetSession& m_session;
    QString m_strServer;
    INTERNET_PORT m_nPort;
    DWORD m_dwFlags;
};

/// One request and its answer, on a session that must outlive it.
class CHttpFile {
public:
    /// A request of `verb` for the whole `url`; throws CInternetException when the client cannot make one.
    CHttpFile(CInternetSession& session, QByteArray url, int verb, DWORD flags);  // the URL as it goes out
    /// Closes the request.
    ~CHttpFile();
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    /// INTERNET_OPTION_SECURITY_FLAGS: the SECURITY_FLAG_ values, which turn
    /// certificate checks off (0x3180 every one). True for that option, false
    /// for any other.
    bool SetOption(DWORD option, DWORD value);
    /// Sends the request and returns once the answer's status and headers are in.
    /// The body is sent from the caller's bytes, which must stay until the request is closed.
    ///
    /// `headers` are "Name: value" lines ending in CR LF. A GET follows up to 10
    /// redirections to http and https addresses; a POST follows none. Returns
    /// true; a failed exchange or a timeout throws CInternetException.
    bool SendRequest(const QString& headers = {}, const void* body = nullptr, DWORD length = 0);
    /// The answer's status (200, 404, ...); false before an answer arrived.
    bool QueryInfoStatusCode(DWORD& status) const;
    /// a header of the answer: Content-Length, Last-Modified, ETag, or with HTTP_QUERY_CUSTOM the one `value` names
    ///
    /// False when the answer has no such header.
    bool QueryInfo(DWORD what, QString& value) const;
    /// `count` bytes of the answer, waiting until they are in; fewer only at
    /// the answer's end (0 once it is all read), as a synchronous read answers.
    ///
    /// A transfer that fails or times out throws CInternetException.
    quint32 Read(void* buffer, quint32 count);
    /// What arrived and was not yet read: after a failed Read, the bytes received before the
    /// failure, which a caller keeping a partial answer may still write.
    QByteArray TakeReceived() { return std::exchange(m_received, {}); }
    /// Ends the request; an answer not read to its end closes its connection.
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
