#include "platform/Internet.h"

#include <QFile>

#include "platform/CodePage.h"

#include <QSet>
#include <QHash>
#include <QUrl>
#include <cerrno>
#include <curl/curl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

struct InternetSessionState {
    CURLM* multi = nullptr;
    QSet<curl_socket_t> sockets;  // the session's open connections
    int running = 0;              // requests sent whose answer has not yet ended

    // A connection with something to read between two answers holds the rest of an answer
    // that broke its framing (more than its Content-Length), or its server has closed it:
    // either way the next answer read there would not be the next request's. Shutting it
    // down makes the client see it dead and open a new one instead of reusing it.
    void dropUnclean()
    {
        if (running > 0)
            return;
        for (const curl_socket_t socket : std::as_const(sockets)) {
            pollfd watched{socket, POLLIN, 0};
            if (::poll(&watched, 1, 0) > 0)
                ::shutdown(socket, SHUT_RDWR);
        }
    }
};

namespace {

InternetTrace& trace()
{
    static InternetTrace t;
    return t;
}

InternetTimeoutSource& timeoutSource()
{
    static InternetTimeoutSource source;
    return source;
}

// The request's address as it goes on the request line: the object in the system's code
// page, as it is, but for the bytes a request line cannot carry (blanks, "#", control bytes)
QByteArray requestUrl(const QString& scheme, const QString& server, INTERNET_PORT port, const QString& object)
{
    const QString host = server.contains(u':') ? u'[' + server + u']' : server;
    QByteArray url = (scheme + QStringLiteral("://") + host + u':' + QString::number(port)).toUtf8();
    if (!object.startsWith(u'/'))
        url += '/';
    for (const char c : ToCodePage(object)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '#')
            url += '%' + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        else
            url += c;
    }
    return url;
}

}  // namespace

void SetInternetTimeoutSource(InternetTimeoutSource source) { timeoutSource() = std::move(source); }

InternetTrace SetInternetTrace(InternetTrace t)
{
    InternetTrace previous = std::move(trace());
    trace() = std::move(t);
    return previous;
}

struct InternetCallbacks {
    static curl_socket_t openSocket(void* user, curlsocktype, curl_sockaddr* address)
    {
        const curl_socket_t socket = ::socket(address->family, address->socktype, address->protocol);
        if (socket != CURL_SOCKET_BAD)
            static_cast<InternetSessionState*>(user)->sockets.insert(socket);
        return socket;
    }
    static int closeSocket(void* user, curl_socket_t socket)
    {
        static_cast<InternetSessionState*>(user)->sockets.remove(socket);
        return ::close(socket);
    }
    // the request's own upload is traffic too: the silence starts when it ends
    static int progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded)
    {
        auto* file = static_cast<CHttpFile*>(user);
        if (uploaded != file->m_uploaded) {
            file->m_uploaded = uploaded;
            file->m_sinceReceived.start();
        }
        return 0;
    }

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* user)
    {
        if (type == CURLINFO_HEADER_OUT || type == CURLINFO_DATA_OUT)
            static_cast<CHttpFile*>(user)->m_sent.append(data, qsizetype(size));
        return 0;
    }

    static size_t body(char* data, size_t size, size_t count, void* user)
    {
        // only Read pumps the transfer, so no more arrives here than one pass of the
        // client brings between two reads: a download streams, it is never held whole
        const size_t n = size * count;
        auto* file = static_cast<CHttpFile*>(user);
        file->m_received.append(data, qsizetype(n));
        file->m_sinceReceived.start();
        return n;
    }
    static size_t header(char* data, size_t size, size_t count, void* user)
    {
        auto* file = static_cast<CHttpFile*>(user);
        file->m_sinceReceived.start();
        const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
        if (line.startsWith("HTTP/")) {  // a new answer (after "100 Continue", say) starts over
            file->m_headers.clear();
            file->m_headersDone = false;
        } else if (line.isEmpty()) {
            long status = 0;
            curl_easy_getinfo(static_cast<CURL*>(file->m_curl), CURLINFO_RESPONSE_CODE, &status);
            // a redirection that the client follows is not the answer: the status, length and
            // validators that decide are those of the answer at its end
            const bool followed = file->m_nVerb == HTTP_VERB_GET && status >= 300 && status < 400
                                  && !file->m_headers.value("location").isEmpty();
            file->m_headersDone = status >= 200 && !followed;
        } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
            file->m_headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
        return size * count;
    }
};

namespace {

void globalInit()
{
    static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
    Q_UNUSED(done);
}

}  // namespace

bool CInternetException::GetErrorMessage(QString& text, int max) const
{
    text = m_strError.left(std::max(0, max - 1));
    return true;
}

QString CInternetException::TextOf(DWORD error, const QString& detail)
{
    // what a person reads, in the module's language whatever the locale; the number
    // stays beside it for whoever helps them
    static const QHash<DWORD, QString> texts = {
        {CURLE_UNSUPPORTED_PROTOCOL, QStringLiteral("この種類のアドレスには接続できません。")},
        {CURLE_FAILED_INIT, QStringLiteral("通信を開始できません。")},
        {CURLE_URL_MALFORMAT, QStringLiteral("アドレスの形式が正しくありません。")},
        {CURLE_COULDNT_RESOLVE_PROXY, QStringLiteral("プロキシ サーバーの名前を解決できません。")},
        {CURLE_COULDNT_RESOLVE_HOST, QStringLiteral("サーバーの名前を解決できません。アドレスとネットワークの設定を確認してください。")},
        {CURLE_COULDNT_CONNECT, QStringLiteral("サーバーに接続できません。")},
        {CURLE_WEIRD_SERVER_REPLY, QStringLiteral("サーバーの応答が正しくありません。")},
        {CURLE_REMOTE_ACCESS_DENIED, QStringLiteral("サーバーへのアクセスが拒否されました。")},
        {CURLE_HTTP2, QStringLiteral("HTTP/2 の通信に失敗しました。")},
        {CURLE_PARTIAL_FILE, QStringLiteral("転送が途中で切れました。")},
        {CURLE_HTTP_RETURNED_ERROR, QStringLiteral("サーバーがエラーを返しました。")},
        {CURLE_WRITE_ERROR, QStringLiteral("受信したデータを書き込めません。")},
        {CURLE_UPLOAD_FAILED, QStringLiteral("送信に失敗しました。")},
        {CURLE_READ_ERROR, QStringLiteral("送信するデータを読み込めません。")},
        {CURLE_OUT_OF_MEMORY, QStringLiteral("メモリが足りません。")},
        {CURLE_OPERATION_TIMEDOUT, QStringLiteral("サーバーからの応答がなく、時間切れになりました。")},
        {CURLE_RANGE_ERROR, QStringLiteral("サーバーが途中からの転送に応じません。")},
        {CURLE_SSL_CONNECT_ERROR, QStringLiteral("サーバーと安全な接続 (TLS) を確立できません。")},
        {CURLE_ABORTED_BY_CALLBACK, QStringLiteral("転送が中止されました。")},
        {CURLE_INTERFACE_FAILED, QStringLiteral("ネットワーク インターフェイスを使えません。")},
        {CURLE_TOO_MANY_REDIRECTS, QStringLiteral("転送先の指定 (リダイレクト) が多すぎます。")},
        {CURLE_GOT_NOTHING, QStringLiteral("サーバーから何も返ってきませんでした。")},
        {CURLE_SEND_ERROR, QStringLiteral("データを送信できません。接続が切れました。")},
        {CURLE_RECV_ERROR, QStringLiteral("データを受信できません。接続が切れました。")},
        {CURLE_SSL_CERTPROBLEM, QStringLiteral("クライアント証明書に問題があります。")},
        {CURLE_SSL_CIPHER, QStringLiteral("サーバーと共通の暗号方式がありません。")},
        {CURLE_PEER_FAILED_VERIFICATION, QStringLiteral("サーバーの証明書を信頼できません。")},
        {CURLE_BAD_CONTENT_ENCODING, QStringLiteral("応答の圧縮形式に対応していません。")},
        {CURLE_FILESIZE_EXCEEDED, QStringLiteral("応答が大きすぎます。")},
        {CURLE_SSL_CACERT_BADFILE, QStringLiteral("信頼する証明書の一覧を読み込めません。")},
        {CURLE_SSL_SHUTDOWN_FAILED, QStringLiteral("安全な接続 (TLS) を正しく閉じられませんでした。")},
        {CURLE_SSL_ISSUER_ERROR, QStringLiteral("サーバーの証明書の発行元を確認できません。")},
        {CURLE_PROXY, QStringLiteral("プロキシ サーバーとの通信に失敗しました。")},
    };
    const QString text = texts.value(error, QStringLiteral("通信に失敗しました。"));
    return text + detail + QStringLiteral("(通信エラー %1)").arg(error);
}

bool AfxParseURL(const QString& url, DWORD& serviceType, QString& server, QString& object, INTERNET_PORT& port)
{
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty() || (scheme != u"https" && scheme != u"http"))
        return false;
    serviceType = scheme == u"https" ? AFX_INET_SERVICE_HTTPS : AFX_INET_SERVICE_HTTP;
    server = parsed.host();
    object = parsed.path(QUrl::FullyEncoded);
    if (object.isEmpty())
        object = QStringLiteral("/");
    if (parsed.hasQuery())
        object += u'?' + parsed.query(QUrl::FullyEncoded);
    port = INTERNET_PORT(parsed.port(serviceType == AFX_INET_SERVICE_HTTPS ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT));
    return true;
}

CInternetSession::CInternetSession(const QString& agent, DWORD, DWORD, const QString&, const QString&, DWORD)
    : m_strAgent(agent), m_state(std::make_unique<InternetSessionState>())
{
    globalInit();
    if (timeoutSource())
        m_timeouts = timeoutSource()();
    // one multi handle: its connection pool lets every request of the session reuse an open connection
    m_state->multi = curl_multi_init();
    if (!m_state->multi)
        throw CInternetException(CURLE_FAILED_INIT, CInternetException::TextOf(CURLE_FAILED_INIT));
}

CInternetSession::~CInternetSession() { Close(); }

void CInternetSession::Close()
{
    if (m_state && m_state->multi) {
        curl_multi_cleanup(m_state->multi);
        m_state->multi = nullptr;
    }
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const QString& server, DWORD flags, INTERNET_PORT port,
                                                                     const QString&, const QString&)
{
    if (server.isEmpty() || !m_state->multi)
        throw CInternetException(CURLE_URL_MALFORMAT, CInternetException::TextOf(CURLE_URL_MALFORMAT));
    return std::make_unique<CHttpConnection>(*this, server, port, flags);
}

std::unique_ptr<CHttpFile> CInternetSession::OpenURL(const QString& url, DWORD, DWORD flags, const QString& headers)
{
    DWORD service = 0;
    QString server, object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url, service, server, object, port))
        throw CInternetException(CURLE_URL_MALFORMAT, CInternetException::TextOf(CURLE_URL_MALFORMAT));
    auto file = std::make_unique<CHttpFile>(*this, requestUrl(service == AFX_INET_SERVICE_HTTPS ? QStringLiteral("https") : QStringLiteral("http"), server, port, object),
                                            HTTP_VERB_GET, flags);
    file->SendRequest(headers);
    return file;
}

CHttpConnection::CHttpConnection(CInternetSession& session, QString server, INTERNET_PORT port, DWORD flags)
    : m_session(session), m_strServer(std::move(server)), m_nPort(port), m_dwFlags(flags)
{
}

CHttpConnection::~CHttpConnection() = default;

void CHttpConnection::Close() {}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(int verb, const QString& object, const QString&, DWORD,
                                                        const char**, const QString&, DWORD flags)
{
    const bool secure = (flags | m_dwFlags) & INTERNET_FLAG_SECURE;
    return std::make_unique<CHttpFile>(m_session, requestUrl(secure ? QStringLiteral("https") : QStringLiteral("http"), m_strServer, m_nPort, object),
                                       verb, flags | (m_dwFlags & INTERNET_FLAG_SECURE));
}

CHttpFile::CHttpFile(CInternetSession& session, QByteArray url, int verb, DWORD flags)
    : m_session(session), m_url(std::move(url)), m_nVerb(verb), m_dwFlags(flags)
{
    m_curl = curl_easy_init();
    if (!m_curl)
        throw CInternetException(CURLE_FAILED_INIT, CInternetException::TextOf(CURLE_FAILED_INIT));
}

CHttpFile::~CHttpFile() { Close(); }

void CHttpFile::Close()
{
    if (!m_sent.isEmpty() && trace())
        trace()(QString::fromUtf8(m_url), m_sent);
    m_sent.clear();
    auto* curl = static_cast<CURL*>(m_curl);
    // an answer not read to its end leaves its connection to be closed by the client
    if (curl && m_added && m_session.State().multi)
        curl_multi_remove_handle(m_session.State().multi, curl);
    if (m_added && !m_done)
        --m_session.State().running;
    m_added = false;
    if (curl)
        curl_easy_cleanup(curl);
    m_curl = nullptr;
    if (m_headerList)
        curl_slist_free_all(static_cast<curl_slist*>(m_headerList));
    m_headerList = nullptr;
}

bool CHttpFile::SetOption(DWORD option, DWORD value)
{
    if (option != INTERNET_OPTION_SECURITY_FLAGS)
        return false;
    m_dwSecurity = value;
    return true;
}

void CHttpFile::fail(int code) const
{
    // the system's reason where it says more than the client's number; the client's
    // own words (English, naming addresses and timings) stay out of what a person reads
    long reason = 0;
    curl_easy_getinfo(static_cast<CURL*>(m_curl), CURLINFO_OS_ERRNO, &reason);
    QString detail;
    if (code == CURLE_COULDNT_CONNECT && reason == ECONNREFUSED)
        detail = QStringLiteral("サーバーが接続を拒否しました。");
    else if (code == CURLE_COULDNT_CONNECT && (reason == ENETUNREACH || reason == EHOSTUNREACH))
        detail = QStringLiteral("サーバーまでの経路がありません。");
    throw CInternetException(DWORD(code), CInternetException::TextOf(DWORD(code), detail));
}

bool CHttpFile::SendRequest(const QString& headers, const void* body, DWORD length)
{
    auto* curl = static_cast<CURL*>(m_curl);
    if (!curl || !m_session.State().multi)
        throw CInternetException(CURLE_FAILED_INIT, CInternetException::TextOf(CURLE_FAILED_INIT));
    curl_easy_setopt(curl, CURLOPT_URL, m_url.constData());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, m_session.Agent().toUtf8().constData());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &InternetCallbacks::body);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &InternetCallbacks::header);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // a server that cannot be reached, or that goes silent, fails the request instead of holding the user for ever
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(std::max(1, m_session.Timeouts().connectSeconds)));
    // the silence of an answer is timed by pump() from the last byte that came or went: the
    // client's own low-speed check averages over seconds and ends a stalled transfer late
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &InternetCallbacks::progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &InternetCallbacks::openSocket);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, &m_session.State());
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, &InternetCallbacks::closeSocket);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, &m_session.State());
    // a GET follows the server's redirections as a browser would, to web addresses only;
    // a POST is not sent again elsewhere: its answer's status tells the caller
    if (m_nVerb == HTTP_VERB_GET) {
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    }
    if (trace()) {
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &InternetCallbacks::debug);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    }
    // the security flags say which certificate faults to accept; without them certificates are checked
    const bool ignoreCa = m_dwSecurity & SECURITY_FLAG_IGNORE_UNKNOWN_CA;
    const bool ignoreName = m_dwSecurity & SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, ignoreCa ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, ignoreName ? 0L : 2L);
    if (!ignoreCa && !m_session.Timeouts().trustedAuthority.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, QFile::encodeName(m_session.Timeouts().trustedAuthority).constData());
    curl_slist* list = nullptr;
    bool contentType = false;
    for (const QString& line : headers.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        list = curl_slist_append(list, line.toUtf8().constData());
        contentType = contentType || line.startsWith(QStringLiteral("content-type:"), Qt::CaseInsensitive);
    }
    // the request carries what its caller wrote and what HTTP needs (Host, the agent, the body's
    // length), nothing the client would add of itself: no Accept, no form type on a bare POST,
    // and the body goes at once, without waiting for "100 Continue"
    list = curl_slist_append(list, "Accept:");
    list = curl_slist_append(list, "Expect:");
    if (!contentType)
        list = curl_slist_append(list, "Content-Type:");
    m_headerList = list;
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);
    if (m_nVerb == HTTP_VERB_POST) {
        // the caller's bytes, not a copy: a chart share is large, and the caller keeps them until Close
        m_body = QByteArray::fromRawData(static_cast<const char*>(body), body ? qsizetype(length) : 0);
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(m_body.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, m_body.constData());
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
    m_session.State().dropUnclean();
    if (curl_multi_add_handle(m_session.State().multi, curl) != CURLM_OK)
        throw CInternetException(CURLE_FAILED_INIT, CInternetException::TextOf(CURLE_FAILED_INIT));
    m_added = true;
    ++m_session.State().running;
    pump([this] { return m_headersDone; });
    return true;
}

void CHttpFile::pump(const std::function<bool()>& enough)
{
    CURLM* multi = m_session.State().multi;
    // time spent outside (the caller's own work between two reads) is no silence of the server's
    m_sinceReceived.start();
    const qint64 silence = 1000LL * std::max(1, m_session.Timeouts().receiveSeconds);
    while (!m_done && !enough()) {
        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == m_curl) {
                m_done = true;
                --m_session.State().running;
                m_result = message->data.result;
            }
        }
        if (m_done || enough())
            break;
        // connecting has a timeout of its own; the silence counts once the request is on its way
        curl_off_t started = 0;
        curl_easy_getinfo(static_cast<CURL*>(m_curl), CURLINFO_PRETRANSFER_TIME_T, &started);
        if (started == 0)
            m_sinceReceived.start();
        else if (m_sinceReceived.hasExpired(silence))
            throw CInternetException(CURLE_OPERATION_TIMEDOUT,
                                     CInternetException::TextOf(CURLE_OPERATION_TIMEDOUT,
                                                                QStringLiteral("%1 秒間、何も受信していません。").arg(silence / 1000)));
        curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    // A Content-Length that is no number is the caller's to read, as a number read
    // of it gives (most often 0): the answer ends with its headers, it is no failure.
    if (m_done && m_result == CURLE_WEIRD_SERVER_REPLY && QByteArray(m_error).contains("Content-Length")) {
        long status = 0;
        curl_easy_getinfo(static_cast<CURL*>(m_curl), CURLINFO_RESPONSE_CODE, &status);
        if (status > 0) {
            m_result = CURLE_OK;
            m_headersDone = true;
        }
    }
    if (m_done && m_result != CURLE_OK && !enough())
        fail(m_result);
}

bool CHttpFile::QueryInfoStatusCode(DWORD& status) const
{
    long code = 0;
    if (!m_curl || curl_easy_getinfo(static_cast<CURL*>(m_curl), CURLINFO_RESPONSE_CODE, &code) != CURLE_OK || code == 0)
        return false;
    status = DWORD(code);
    return true;
}

bool CHttpFile::QueryInfo(DWORD what, QString& value) const
{
    QByteArray name;
    switch (what) {
    case HTTP_QUERY_CONTENT_LENGTH: name = "content-length"; break;
    case HTTP_QUERY_LAST_MODIFIED: name = "last-modified"; break;
    case HTTP_QUERY_ETAG: name = "etag"; break;
    case HTTP_QUERY_CUSTOM: name = value.toLatin1().toLower(); break;
    default: return false;
    }
    if (!m_headers.contains(name))
        return false;
    value = QString::fromLatin1(m_headers.value(name));
    return true;
}

quint32 CHttpFile::Read(void* buffer, quint32 count)
{
    if (!m_curl || count == 0)
        return 0;
    pump([this, count] { return m_received.size() >= qsizetype(count); });
    const quint32 n = quint32(std::min<qsizetype>(count, m_received.size()));
    memcpy(buffer, m_received.constData(), n);
    m_received.remove(0, n);
    return n;
}

}  // namespace platform
