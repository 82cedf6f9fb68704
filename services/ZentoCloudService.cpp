#include "services/ZentoCloudService.h"

#include "services/LocalService.h"

#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <sqlite3.h>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
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
    std::string email, name, token, secret;
    int twitter = 0, facebook = 0;
};

class AccountStore {
public:
    explicit AccountStore(const std::string& path)
    {
        // tokens and password hashes are the owner's alone: the file is made, or narrowed, to
        // 0600 before the store opens it, and its journal takes the same mode from it
        if (!path.empty() && path != ":memory:" && path.rfind("file:", 0) != 0) {
            const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (fd < 0 || ::fchmod(fd, 0600) != 0) {
                if (fd >= 0)
                    ::close(fd);
                return;
            }
            ::close(fd);
        }
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
            return;
        sqlite3_exec(m_db,
                     "CREATE TABLE IF NOT EXISTS accounts (email TEXT PRIMARY KEY, salt TEXT, password TEXT, name TEXT,"
                     " token TEXT UNIQUE, secret TEXT, twitter INTEGER DEFAULT 0, facebook INTEGER DEFAULT 0);"
                     "CREATE TABLE IF NOT EXISTS charts (id INTEGER PRIMARY KEY, email TEXT, author TEXT, image_name TEXT,"
                     " scene_name TEXT, created TEXT DEFAULT CURRENT_TIMESTAMP);"
                     "CREATE TABLE IF NOT EXISTS chart_values (chart INTEGER, position INTEGER, name TEXT, value TEXT)",
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
        sqlite3_prepare_v2(m_db, "SELECT name, twitter, facebook, email FROM accounts WHERE token = ? AND secret = ?", -1, &find, nullptr);
        sqlite3_bind_text(find, 1, token.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(find, 2, secret.c_str(), -1, SQLITE_TRANSIENT);
        const bool found = !token.empty() && sqlite3_step(find) == SQLITE_ROW;
        if (found) {
            account.name = reinterpret_cast<const char*>(sqlite3_column_text(find, 0));
            account.twitter = sqlite3_column_int(find, 1);
            account.facebook = sqlite3_column_int(find, 2);
            account.email = reinterpret_cast<const char*>(sqlite3_column_text(find, 3));
            account.token = token;
            account.secret = secret;
        }
        sqlite3_finalize(find);
        return found;
    }

    // a new chart with its text parts in the order sent; its id, or 0 when the store failed
    long long AddChart(const Account& owner, const std::vector<std::pair<std::string, std::string>>& values,
                       const std::string& imageName, const std::string& sceneName)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        sqlite3_stmt* add = nullptr;
        sqlite3_prepare_v2(m_db, "INSERT INTO charts (email, author, image_name, scene_name) VALUES (?, ?, ?, ?)", -1, &add, nullptr);
        const std::string texts[] = {owner.email, owner.name, imageName, sceneName};
        for (int i = 0; i < 4; ++i)
            sqlite3_bind_text(add, i + 1, texts[i].c_str(), int(texts[i].size()), SQLITE_TRANSIENT);
        const bool ok = sqlite3_step(add) == SQLITE_DONE;
        sqlite3_finalize(add);
        if (!ok)
            return 0;
        const long long id = sqlite3_last_insert_rowid(m_db);
        int position = 0;
        for (const auto& [name, value] : values) {
            sqlite3_stmt* put = nullptr;
            sqlite3_prepare_v2(m_db, "INSERT INTO chart_values (chart, position, name, value) VALUES (?, ?, ?, ?)", -1, &put, nullptr);
            sqlite3_bind_int64(put, 1, id);
            sqlite3_bind_int(put, 2, position++);
            sqlite3_bind_text(put, 3, name.c_str(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(put, 4, value.c_str(), int(value.size()), SQLITE_TRANSIENT);
            sqlite3_step(put);
            sqlite3_finalize(put);
        }
        return id;
    }

    struct StoredChart {
        long long id = 0;
        std::string author, imageName, sceneName;
        std::vector<std::pair<std::string, std::string>> values;
    };

    // newest first when `newestFirst`, at most `limit`; one chart when `id` is not 0
    std::vector<StoredChart> Charts(long long id, bool newestFirst, int limit)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<StoredChart> out;
        sqlite3_stmt* list = nullptr;
        const std::string sql = std::string("SELECT id, author, image_name, scene_name FROM charts WHERE ?1 = 0 OR id = ?1 ORDER BY id ")
                                + (newestFirst ? "DESC" : "ASC") + " LIMIT ?2";
        sqlite3_prepare_v2(m_db, sql.c_str(), -1, &list, nullptr);
        sqlite3_bind_int64(list, 1, id);
        sqlite3_bind_int(list, 2, limit);
        const auto text = [](sqlite3_stmt* st, int column) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
            return p ? std::string(p, size_t(sqlite3_column_bytes(st, column))) : std::string();
        };
        while (sqlite3_step(list) == SQLITE_ROW)
            out.push_back({sqlite3_column_int64(list, 0), text(list, 1), text(list, 2), text(list, 3), {}});
        sqlite3_finalize(list);
        for (StoredChart& chart : out) {
            sqlite3_stmt* values = nullptr;
            sqlite3_prepare_v2(m_db, "SELECT name, value FROM chart_values WHERE chart = ? ORDER BY position", -1, &values, nullptr);
            sqlite3_bind_int64(values, 1, chart.id);
            while (sqlite3_step(values) == SQLITE_ROW)
                chart.values.emplace_back(text(values, 0), text(values, 1));
            sqlite3_finalize(values);
        }
        return out;
    }

    // the account that shared last (the local service's browser pages have no sign-in of their own)
    bool LatestAccount(Account& account)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        sqlite3_stmt* find = nullptr;
        sqlite3_prepare_v2(m_db, "SELECT email, name FROM accounts ORDER BY (SELECT MAX(id) FROM charts WHERE charts.email = accounts.email) DESC"
                                 " NULLS LAST, rowid DESC LIMIT 1", -1, &find, nullptr);
        const bool found = sqlite3_step(find) == SQLITE_ROW;
        if (found) {
            account.email = reinterpret_cast<const char*>(sqlite3_column_text(find, 0));
            account.name = reinterpret_cast<const char*>(sqlite3_column_text(find, 1));
        }
        sqlite3_finalize(find);
        return found;
    }

    // every token of the account stops holding
    void SignOut(const std::string& email)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        sqlite3_stmt* out = nullptr;
        sqlite3_prepare_v2(m_db, "UPDATE accounts SET token = NULL, secret = NULL WHERE email = ?", -1, &out, nullptr);
        sqlite3_bind_text(out, 1, email.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(out);
        sqlite3_finalize(out);
    }

private:
    sqlite3* m_db = nullptr;
    std::mutex m_mutex;
};

std::string html(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\n': out += "<br>"; break;
        default: out += c;
        }
    }
    return out;
}

std::string refusal(const std::string& type, const std::string& message)
{
    return "{\"type\":" + jsonString(type) + ",\"message\":" + jsonString(message) + "}";
}

// the view's values as the chart page names them, in the order they are shown
const std::pair<const char*, const char*> kValueNames[] = {
    {"coordinate", "座標系"}, {"alpha", "中心 α"}, {"delta", "中心 δ"}, {"angle", "画角 (度)"}, {"jd", "ユリウス日"},
    {"latitude", "緯度"}, {"longitude", "経度"}, {"height", "標高 (m)"},
    {"star.name", "恒星名"}, {"twinkle", "瞬き"}, {"cons.name", "星座名"}, {"cons.line", "星座線"}, {"cons.pic", "星座絵"},
    {"sol_system.name", "太陽系天体名"}, {"milkyway", "天の川"}, {"messier.mark", "メシエ天体マーク"},
    {"messier.number", "メシエ番号"}, {"messier.name", "メシエ天体名"}, {"comet", "彗星"}, {"comet.id", "彗星符号"},
    {"comet.name", "彗星名"}, {"meteor.radiant.mark", "流星群輻射点"}, {"meteor.radiant.name", "流星群名"},
    {"panorama", "風景"}, {"meridian", "子午線"}, {"hrz_grid", "地平座標線"}, {"equator", "天の赤道"},
    {"eqt_grid", "赤道座標線"}, {"ecliptic", "黄道"}, {"daylight", "昼光"}, {"moonlight", "月明かり"},
    {"lightpollution", "光害"},
};

const std::map<std::string, std::string> kCoordinateNames = {
    {"Horizon", "地平座標"}, {"EquatorialDateMean", "赤道座標 (瞬時平均)"}, {"Ecliptic", "黄道座標"}, {"Galactic", "銀河座標"}};

bool isFlag(const std::string& name)
{
    for (const char* value : {"coordinate", "alpha", "delta", "angle", "jd", "latitude", "longitude", "height"})
        if (name == value)
            return false;
    return true;
}

std::string chartPage(const AccountStore::StoredChart& chart)
{
    std::map<std::string, std::string> values(chart.values.begin(), chart.values.end());
    std::string rows;
    for (const auto& [field, label] : kValueNames) {
        const auto it = values.find(field);
        if (it == values.end())
            continue;
        std::string shown = it->second;
        if (isFlag(field))
            shown = shown == "1" ? "表示" : "非表示";
        else if (field == std::string("coordinate") && kCoordinateNames.count(shown))
            shown = kCoordinateNames.at(shown);
        rows += "<tr><th>" + std::string(label) + "</th><td>" + html(shown) + "</td></tr>";
    }
    const std::string id = std::to_string(chart.id);
    return "<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\"><title>星図 " + id
           + " - ゼントクラウド</title></head><body><h1>ゼントクラウドの星図</h1>"
             "<p><img id=\"chart\" src=\"/charts/" + id + "/image.png\" alt=\"星図\" style=\"max-width:100%\"></p>"
           + "<p class=\"author\">投稿者: " + html(chart.author) + "</p><p class=\"comment\">" + html(values["comment"])
           + "</p><table>" + rows + "</table><p><a href=\"/home\">ホームへ</a></p></body></html>";
}

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
    explicit Impl(const std::string& database) : store(database)
    {
        namespace fs = std::filesystem;
        ownFolder = database == ":memory:";
        folder = ownFolder ? (fs::temp_directory_path() / ("zentocloud-" + randomHex(8))).string() : database + ".files";
        std::error_code ignored;
        fs::create_directories(folder, ignored);
    }
    ~Impl()
    {
        std::error_code ignored;
        if (ownFolder)
            std::filesystem::remove_all(folder, ignored);
    }
    AccountStore store;
    std::string folder;  // the charts' image and scene files, by id
    bool ownFolder = false;
    std::unique_ptr<httplib::SSLServer> https;
    std::unique_ptr<httplib::Server> http;
    std::thread httpsThread, httpThread;
    mutable std::mutex mutex;
    localservice::ScriptBook<ScriptedAnswer> scripts;
    std::vector<Request> requests;
    std::map<std::string, std::string> lastForm;
    X509* certificate = nullptr;
    EVP_PKEY* key = nullptr;

    bool scripted(const httplib::Request& req, httplib::Response& res)
    {
        ScriptedAnswer answer;
        if (!scripts.Find(req.path, answer))
            return false;
        if (answer.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMs));
        res.status = answer.status;
        // a body the script did not read stays on the connection: it is not the next request
        if (req.method == "POST")
            res.set_header("Connection", "close");
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
        } else if (!answer.beyondLength.empty()) {
            const std::string body = answer.body, beyond = answer.beyondLength;
            res.set_content_provider(body.size(), answer.contentType, [body, beyond](size_t, size_t, httplib::DataSink& sink) {
                return sink.write(body.data(), body.size()) && sink.write(beyond.data(), beyond.size());
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

    // POST /api/charts: the tokens, then the form as the server's multipart reader takes it apart
    void shareChart(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader)
    {
        std::vector<std::pair<std::string, std::string>> values;
        std::map<std::string, httplib::MultipartFormData> files;
        std::string current;
        const bool read = req.is_multipart_form_data() && reader(
            [&](const httplib::MultipartFormData& header) {
                current = header.name;
                if (header.filename.empty())
                    values.emplace_back(header.name, std::string());
                else
                    files[header.name] = header;
                return true;
            },
            [&](const char* data, size_t length) {
                if (files.count(current))
                    files[current].content.append(data, length);
                else
                    values.back().second.append(data, length);
                return true;
            });
        res.status = 200;
        if (!read) {
            res.set_header("Connection", "close");  // what is left of an unreadable body is not another request
            res.set_content(refusal("INVALID_REQUEST", "投稿データを読み取れませんでした。"), "application/json");
            return;
        }
        std::map<std::string, std::string> form(values.begin(), values.end());
        Account account;
        if (!store.Find(form["access_token"], form["access_token_secret"], account)) {
            res.set_content(refusal("USER_NOT_FOUND", "ログインしていません。もう一度ログインしてください。"), "application/json");
            return;
        }
        if (!files.count("image") || files["image"].content.empty()) {
            res.set_content(refusal("NO_IMAGE", "星図画像がありません。"), "application/json");
            return;
        }
        std::vector<std::pair<std::string, std::string>> kept;
        for (auto& value : values)
            if (value.first != "access_token" && value.first != "access_token_secret")
                kept.push_back(std::move(value));
        const long long id = store.AddChart(account, kept, files["image"].filename, files["zentotalk"].filename);
        std::ofstream(folder + "/" + std::to_string(id) + ".png", std::ios::binary) << files["image"].content;
        std::ofstream(folder + "/" + std::to_string(id) + ".zsf", std::ios::binary) << files["zentotalk"].content;
        const std::string host = req.get_header_value("Host");
        res.set_content("{\"type\": \"OK\", \"link\": " + jsonString("https://" + host + "/charts/" + std::to_string(id)) + "}",
                        "application/json");
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
    s.Post("/api/charts", [&d](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
        d.shareChart(req, res, reader);
    });
    // a shared chart's page and picture, also on the plain HTTP side, where any browser opens them
    const auto charts = [&d](httplib::Server& server) {
        server.Get(R"(/charts/(\d+))", [&d](const httplib::Request& req, httplib::Response& res) {
            const auto found = d.store.Charts(std::stoll(req.matches[1]), true, 1);
            if (found.empty()) {
                res.status = 404;
                res.set_content(page("星図が見つかりません", "この星図はありません。"), "text/html; charset=utf-8");
                return;
            }
            res.set_content(chartPage(found.front()), "text/html; charset=utf-8");
        });
        server.Get(R"(/charts/(\d+)/image.png)", [&d](const httplib::Request& req, httplib::Response& res) {
            std::ifstream file(d.folder + "/" + std::string(req.matches[1]) + ".png", std::ios::binary);
            if (!file) {
                res.status = 404;
                return;
            }
            std::ostringstream bytes;
            bytes << file.rdbuf();
            res.set_content(bytes.str(), "image/png");
        });
    };
    charts(s);
    s.Get("/home", [&d](const httplib::Request&, httplib::Response& res) {
        std::string items;
        for (const auto& chart : d.store.Charts(0, true, 30)) {
            const std::string id = std::to_string(chart.id);
            items += "<li><a href=\"/charts/" + id + "\"><img src=\"/charts/" + id + "/image.png\" width=\"240\" alt=\"星図 " + id
                     + "\"></a> " + html(chart.author) + "</li>";
        }
        res.set_content(page("ゼントクラウド", "みんなの星図が集まる場所です。新しい順に並んでいます。</p><ul class=\"charts\">" + items
                                                  + "</ul><p>"),
                        "text/html; charset=utf-8");
    });
    s.Get("/config", [&d](const httplib::Request&, httplib::Response& res) {
        Account account;
        std::string text = "表示名と連携の設定をここで変えられます。";
        if (d.store.LatestAccount(account))
            text += "</p><p class=\"account\">表示名: " + html(account.name) + "</p><form method=\"post\" action=\"/config/signout\">"
                    "<input type=\"hidden\" name=\"account\" value=\"" + html(account.email)
                    + "\"><button type=\"submit\">すべての端末からログアウト</button></form><p>";
        res.set_content(page("アカウントの設定", text), "text/html; charset=utf-8");
    });
    s.Post("/config/signout", [&d](const httplib::Request& req, httplib::Response& res) {
        d.store.SignOut(req.get_param_value("account"));
        res.set_content(page("ログアウトしました", "このアカウントのすべてのアクセストークンを無効にしました。"), "text/html; charset=utf-8");
    });
    m_port = localservice::Serve(s, port, d.httpsThread);
    if (m_port <= 0)
        return false;

    if (httpPort != -1) {
        d.http = std::make_unique<httplib::Server>();
        d.http->set_socket_options(localservice::OwnPortOnly);
        charts(*d.http);
        d.http->Get("/register", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(page("ユーザー登録", "はじめてログインしたメールアドレスとパスワードで、アカウントが作られます。"),
                            "text/html; charset=utf-8");
        });
        m_httpPort = localservice::Serve(*d.http, httpPort, d.httpThread);
    }
    localservice::WaitUntilRunning(s);  // answer only once the server takes connections
    return true;
}

void CZentoCloudService::Stop()
{
    Impl& d = *m_impl;
    localservice::Stop(d.https.get(), d.httpsThread);
    localservice::Stop(d.http.get(), d.httpThread);
}

void CZentoCloudService::Script(const std::string& path, const ScriptedAnswer& answer)
{
    m_impl->scripts.Set(path, answer);
}

void CZentoCloudService::ClearScripts()
{
    m_impl->scripts.Clear();
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

std::vector<CZentoCloudService::Chart> CZentoCloudService::Charts() const
{
    std::vector<Chart> out;
    for (const auto& stored : m_impl->store.Charts(0, false, 1 << 30)) {
        Chart chart;
        chart.id = stored.id;
        chart.author = stored.author;
        chart.fields = std::map<std::string, std::string>(stored.values.begin(), stored.values.end());
        chart.imageName = stored.imageName;
        chart.sceneName = stored.sceneName;
        const auto read = [this, &stored](const char* extension) {
            std::ifstream file(m_impl->folder + "/" + std::to_string(stored.id) + extension, std::ios::binary);
            std::ostringstream bytes;
            bytes << file.rdbuf();
            return bytes.str();
        };
        chart.image = read(".png");
        chart.scene = read(".zsf");
        out.push_back(std::move(chart));
    }
    return out;
}
