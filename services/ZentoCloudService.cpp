#include "services/ZentoCloudService.h"

#include "services/LocalCertificate.h"

#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace {

std::string randomHex(int bytes)
{
    std::vector<unsigned char> data(bytes);
    RAND_bytes(data.data(), bytes);
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : data) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string hashPassword(const std::string& salt, const std::string& password)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const std::string input = salt + password;
    EVP_Digest(input.data(), input.size(), digest, &length, EVP_sha256(), nullptr);
    std::string out;
    static const char* digits = "0123456789abcdef";
    for (unsigned int i = 0; i < length; ++i) {
        out += digits[digest[i] >> 4];
        out += digits[digest[i] & 15];
    }
    return out;
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\')
            out += '\\', out += char(c);
        else if (c < 0x20) {
            char buffer[8];
            snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else
            out += char(c);
    }
    return out + "\"";
}

struct Account {
    std::string name, token, secret;
    int twitter = 0, facebook = 0;
};

class AccountStore {
public:
    explicit AccountStore(const std::string& path)
    {
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
            return;
        sqlite3_exec(m_db,
                     "CREATE TABLE IF NOT EXISTS accounts (email TEXT PRIMARY KEY, salt TEXT, password TEXT, name TEXT,"
                     " token TEXT UNIQUE, secret TEXT, twitter INTEGER DEFAULT 0, facebook INTEGER DEFAULT 0)",
                     nullptr, nullptr, nullptr);
    }
    ~AccountStore() { sqlite3_close(m_db); }

    // 1: signed in (created when new), 0: wrong password, -1: the store failed
    int SignIn(const std::string& email, const std::string& password, const std::string& name, Account& account)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        sqlite3_stmt* find = nullptr;
        sqlite3_prepare_v2(m_db, "SELECT salt, password, name FROM accounts WHERE email = ?", -1, &find, nullptr);
        sqlite3_bind_text(find, 1, email.c_str(), -1, SQLITE_TRANSIENT);
        const bool known = sqlite3_step(find) == SQLITE_ROW;
        std::string salt, stored, storedName;
        if (known) {
            salt = reinterpret_cast<const char*>(sqlite3_column_text(find, 0));
            stored = reinterpret_cast<const char*>(sqlite3_column_text(find, 1));
            storedName = reinterpret_cast<const char*>(sqlite3_column_text(find, 2));
        }
        sqlite3_finalize(find);
        if (known && hashPassword(salt, password) != stored)
            return 0;
        if (!known)
            salt = randomHex(8);
        account.name = name.empty() ? storedName : name;
        account.token = randomHex(16);
        account.secret = randomHex(16);
        sqlite3_stmt* save = nullptr;
        sqlite3_prepare_v2(m_db,
                           "INSERT INTO accounts (email, salt, password, name, token, secret) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"
                           " ON CONFLICT(email) DO UPDATE SET name = ?4, token = ?5, secret = ?6",
                           -1, &save, nullptr);
        const std::string values[] = {email, salt, hashPassword(salt, password), account.name, account.token, account.secret};
        for (int i = 0; i < 6; ++i)
            sqlite3_bind_text(save, i + 1, values[i].c_str(), -1, SQLITE_TRANSIENT);
        const bool ok = sqlite3_step(save) == SQLITE_DONE;
        sqlite3_finalize(save);
        return ok ? 1 : -1;
    }

    bool Find(const std::string& token, const std::string& secret, Account& account)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        sqlite3_stmt* find = nullptr;
        sqlite3_prepare_v2(m_db, "SELECT name, twitter, facebook FROM accounts WHERE token = ? AND secret = ?", -1, &find, nullptr);
        sqlite3_bind_text(find, 1, token.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(find, 2, secret.c_str(), -1, SQLITE_TRANSIENT);
        const bool found = !token.empty() && sqlite3_step(find) == SQLITE_ROW;
        if (found) {
            account.name = reinterpret_cast<const char*>(sqlite3_column_text(find, 0));
            account.twitter = sqlite3_column_int(find, 1);
            account.facebook = sqlite3_column_int(find, 2);
            account.token = token;
            account.secret = secret;
        }
        sqlite3_finalize(find);
        return found;
    }

private:
    sqlite3* m_db = nullptr;
    std::mutex m_mutex;
};

std::string accountAnswer(const Account& a)
{
    return "{\"status\":200,\"access_token\":" + jsonString(a.token) + ",\"access_token_secret\":" + jsonString(a.secret)
           + ",\"name\":" + jsonString(a.name) + ",\"twitter\":" + std::to_string(a.twitter)
           + ",\"facebook\":" + std::to_string(a.facebook) + "}";
}

std::string failure(int status, const std::string& error, const std::string& message)
{
    return "{\"status\":" + std::to_string(status) + ",\"error\":" + jsonString(error) + ",\"message\":" + jsonString(message) + "}";
}

std::string page(const std::string& title, const std::string& text)
{
    return "<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body><h1>" + title
           + "</h1><p>" + text + "</p></body></html>";
}

}  // namespace

struct CZentoCloudService::Impl {
    explicit Impl(const std::string& database) : store(database) {}
    AccountStore store;
    std::unique_ptr<httplib::SSLServer> https;
    std::unique_ptr<httplib::Server> http;
    std::thread httpsThread, httpThread;
    mutable std::mutex mutex;
    std::map<std::string, ScriptedAnswer> scripts;
    std::vector<Request> requests;
    std::map<std::string, std::string> lastForm;
    X509* certificate = nullptr;
    EVP_PKEY* key = nullptr;

    bool scripted(const httplib::Request& req, httplib::Response& res)
    {
        ScriptedAnswer answer;
        {
            std::lock_guard<std::mutex> lock(mutex);
            const auto it = scripts.find(req.path);
            if (it == scripts.end())
                return false;
            answer = it->second;
        }
        if (answer.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMs));
        res.status = answer.status;
        if (!answer.rawContentLength.empty()) {
            res.set_header("Content-Length", answer.rawContentLength);
        } else if (answer.pieceBytes > 0) {
            const std::string body = answer.body;
            const size_t piece = answer.pieceBytes;
            const auto pause = std::chrono::milliseconds(answer.pieceDelayMs);
            res.set_content_provider(body.size(), answer.contentType, [body, piece, pause](size_t offset, size_t, httplib::DataSink& sink) {
                std::this_thread::sleep_for(pause);
                return sink.write(body.data() + offset, std::min(piece, body.size() - offset));
            });
        } else if (!answer.contentLengthOverride.empty()) {
            // a length announced and never sent: the connection closes with nothing
            res.set_content_provider(std::stoull(answer.contentLengthOverride), answer.contentType,
                                     [](size_t, size_t, httplib::DataSink&) { return false; });
        } else if (answer.closeEarly) {
            const std::string body = answer.body;
            res.set_content_provider(body.size(), answer.contentType, [body](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset == 0)
                    sink.write(body.data(), body.size() / 2);
                return offset == 0;
            });
        } else if (!answer.contentLength) {
            const std::string body = answer.body;
            res.set_chunked_content_provider(answer.contentType, [body](size_t offset, httplib::DataSink& sink) {
                // in pieces, as a streaming service sends them
                if (offset < body.size())
                    sink.write(body.data() + offset, std::min<size_t>(1000, body.size() - offset));
                else
                    sink.done();
                return true;
            });
        } else {
            res.set_content(answer.body, answer.contentType);
        }
        return true;
    }

    void record(const httplib::Request& req)
    {
        Request r{req.method, req.target, {}, req.body, req.remote_port};
        for (const auto& [name, value] : req.headers) {
            std::string lower = name;
            for (char& c : lower)
                c = char(tolower(static_cast<unsigned char>(c)));
            r.headers[lower] = value;
        }
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back(std::move(r));
    }
};

CZentoCloudService::CZentoCloudService(const std::string& database) : m_impl(std::make_unique<Impl>(database)) {}

CZentoCloudService::~CZentoCloudService()
{
    Stop();
    X509_free(m_impl->certificate);
    EVP_PKEY_free(m_impl->key);
}

std::string CZentoCloudService::BaseUrl() const { return "https://127.0.0.1:" + std::to_string(m_port); }

bool CZentoCloudService::Start(int port, int httpPort)
{
    Impl& d = *m_impl;
    Stop();  // a second start (on other ports) replaces the first
    X509_free(d.certificate);
    EVP_PKEY_free(d.key);
    d.certificate = nullptr;
    d.key = nullptr;
    if (!localservice::MakeCertificate(&d.certificate, &d.key, "ZentoCloud local service"))
        return false;
    d.https = std::make_unique<httplib::SSLServer>(d.certificate, d.key);
    if (!d.https->is_valid())
        return false;
    httplib::SSLServer& s = *d.https;
    s.set_socket_options(localservice::OwnPortOnly);
    s.set_pre_routing_handler([&d](const httplib::Request& req, httplib::Response& res) {
        d.record(req);
        return d.scripted(req, res) ? httplib::Server::HandlerResponse::Handled : httplib::Server::HandlerResponse::Unhandled;
    });
    s.Post("/api/register", [&d](const httplib::Request& req, httplib::Response& res) {
        // the form, as the server's multipart reader takes it apart
        const std::string email = req.get_file_value("account").content;
        const std::string password = req.get_file_value("password").content;
        Account account;
        const int result = email.empty() || password.empty() ? 0 : d.store.SignIn(email, password, req.get_file_value("name").content, account);
        if (result == 1)
            res.set_content(accountAnswer(account), "application/json");
        else if (result == 0)
            res.set_content(failure(401, "VALIDATION_FAILED", "正しいVaroquin ID、パスワードを入力してください。"), "application/json");
        else
            res.set_content(failure(500, "UNDEFINED_ERR", "未定義のエラー。"), "application/json");
        std::lock_guard<std::mutex> lock(d.mutex);
        d.lastForm = {{"name", req.get_file_value("name").content}, {"account", email}, {"password", password}};
    });
    s.Get("/api/user_status", [&d](const httplib::Request& req, httplib::Response& res) {
        Account account;
        if (d.store.Find(req.get_param_value("access_token"), req.get_param_value("access_token_secret"), account))
            res.set_content(accountAnswer(account), "application/json");
        else
            res.set_content(failure(401, "USER_NOT_FOUND", "ログインしていません。"), "application/json");
    });
    s.Get("/home", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(page("ゼントクラウド", "みんなの星図が集まる場所です。"), "text/html; charset=utf-8");
    });
    s.Get("/config", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(page("アカウントの設定", "表示名と連携の設定をここで変えられます。"), "text/html; charset=utf-8");
    });
    m_port = port == 0 ? s.bind_to_any_port("127.0.0.1") : (s.bind_to_port("127.0.0.1", port) ? port : -1);
    if (m_port <= 0)
        return false;
    d.httpsThread = std::thread([&s] { s.listen_after_bind(); });

    if (httpPort != -1) {
        d.http = std::make_unique<httplib::Server>();
        d.http->set_socket_options(localservice::OwnPortOnly);
        d.http->Get("/register", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(page("ユーザー登録", "はじめてログインしたメールアドレスとパスワードで、アカウントが作られます。"),
                            "text/html; charset=utf-8");
        });
        m_httpPort = httpPort == 0 ? d.http->bind_to_any_port("127.0.0.1") : (d.http->bind_to_port("127.0.0.1", httpPort) ? httpPort : -1);
        if (m_httpPort > 0)
            d.httpThread = std::thread([&d] { d.http->listen_after_bind(); });
    }
    // answer only once the server takes connections
    for (int i = 0; i < 500 && !s.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return true;
}

void CZentoCloudService::Stop()
{
    Impl& d = *m_impl;
    if (d.https)
        d.https->stop();
    if (d.http)
        d.http->stop();
    if (d.httpsThread.joinable())
        d.httpsThread.join();
    if (d.httpThread.joinable())
        d.httpThread.join();
}

void CZentoCloudService::Script(const std::string& path, const ScriptedAnswer& answer)
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->scripts[path] = answer;
}

void CZentoCloudService::ClearScripts()
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->scripts.clear();
}

std::map<std::string, std::string> CZentoCloudService::LastForm() const
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->lastForm;
}

std::vector<CZentoCloudService::Request> CZentoCloudService::Requests() const
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->requests;
}
