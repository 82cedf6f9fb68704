#include "services/ContentsSite.h"

#include "services/LocalService.h"

#include <httplib.h>
#include <zip.h>

#include <openssl/evp.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iconv.h>
#include <map>
#include <mutex>
#include <thread>

namespace {

// the sample content: two planetarium programs and a BGV as packages, a scene, an animation, a comet
const std::vector<CContentsSite::Item> kCatalogue = {
    {"orion-story", "オリオン座ものがたり", "プラネタリウム番組", "orion_story.zip",
     "冬の夜空の主役、オリオン座の見つけ方と神話をご案内します。", "番組の一覧から「オリオン座ものがたり」を選んでください。"},
    {"summer-triangle", "夏の大三角をめぐる旅", "プラネタリウム番組", "summer_triangle.zip",
     "ベガ・アルタイル・デネブをたどり、天の川を渡ります。", "番組の一覧から「夏の大三角をめぐる旅」を選んでください。"},
    {"milkyway-bgv", "天の川の流れるBGV", "BGV", "milkyway_bgv.zip",
     "満天の星と天の川がゆっくり巡る、音楽のための映像です。", "番組の一覧から再生できます。"},
    {"pleiades-scene", "すばるを見上げて", "シーン", "pleiades.zsf",
     "おうし座のすばる（プレアデス星団）に向けた視点です。", "お気に入りから開けます。"},
    {"meteor-animation", "ふたご座流星群の夜", "アニメーション", "geminids.zsf",
     "12月14日の夜、流星群の極大に合わせた星空です。", "お気に入りから開けます。"},
    {"comet-2026", "ゼント彗星（2026年）", "追加天体", "comet_zento_2026.adf",
     "2026年の冬に見ごろを迎える架空の彗星です。", "追加天体として星空に表示されます。"},
};

std::string toCp932(const std::string& utf8)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string out(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size(), outLeft = out.size();
    char* o = out.data();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string scene(const std::string& description, const std::string& view)
{
    return toCp932(crlf("[General]\nFileOwner=ZentorinLite\nFileId=Scene\nFileVersion=1.0\nDescription=" + description + "\n" + view));
}

bool writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return bool(out);
}

bool writeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::remove(path.c_str());
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto& [name, bytes] : entries) {
        if (name.back() == '/') {
            zip_dir_add(archive, name.c_str(), ZIP_FL_ENC_UTF_8);
            continue;
        }
        zip_source_t* source = zip_source_buffer(archive, strdup(bytes.c_str()), bytes.size(), 1);
        zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    }
    return zip_close(archive) == 0;
}

std::string htmlPage(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\"><title>" + title
           + "</title><style>body{font-family:sans-serif;background:#0b1730;color:#e8ecf8;margin:16px}"
             "a{color:#9cc3ff}h1{font-size:20px;border-bottom:1px solid #456}h2{font-size:16px;color:#ffd27a}"
             ".item{display:flex;gap:12px;margin:8px 0;padding:8px;background:#14254a;border-radius:6px}"
             ".install{display:inline-block;padding:6px 14px;background:#2f6fd6;color:#fff;border-radius:4px;text-decoration:none}"
             "</style></head><body><h1>"
           + title + "</h1>" + body + "</body></html>";
}

// a small picture of each item, drawn as SVG
std::string picture(const CContentsSite::Item& item, int size)
{
    std::string stars;
    unsigned seed = 0;
    for (char c : item.id)
        seed = seed * 31 + static_cast<unsigned char>(c);
    for (int i = 0; i < 14; ++i) {
        seed = seed * 1103515245 + 12345;
        const int x = int(seed >> 8) % size, y = int(seed >> 16) % size, r = 1 + int(seed >> 24) % 3;
        stars += "<circle cx=\"" + std::to_string(x) + "\" cy=\"" + std::to_string(y) + "\" r=\"" + std::to_string(r) + "\" fill=\"#fff\"/>";
    }
    return "<svg width=\"" + std::to_string(size) + "\" height=\"" + std::to_string(size) + "\"><rect width=\"100%\" height=\"100%\" fill=\"#02060f\"/>"
           + stars + "</svg>";
}

std::string xmlEscape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

std::string sha256Hex(const std::function<void(EVP_MD_CTX*)>& feed)
{
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
    feed(context);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(context, digest, &size);
    EVP_MD_CTX_free(context);
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < size; ++i)
        hex += {digits[digest[i] >> 4], digits[digest[i] & 15]};
    return hex;
}

// the generated item's bytes: a block repeated
const std::string& generatedBlock()
{
    static const std::string block(1 << 16, '*');
    return block;
}

// "bytes=N-" or "bytes=N-M" of a file of `total` bytes: its first and last byte; false for any other form
bool parseRange(const std::string& header, long long total, long long& first, long long& last)
{
    if (header.rfind("bytes=", 0) != 0 || header.find(',') != std::string::npos)
        return false;
    const std::string range = header.substr(6);
    const size_t dash = range.find('-');
    if (dash == 0 || dash == std::string::npos || range.find_first_not_of("0123456789-") != std::string::npos)
        return false;
    first = std::stoll(range.substr(0, dash));
    last = dash + 1 < range.size() ? std::min(std::stoll(range.substr(dash + 1)), total - 1) : total - 1;
    return first <= last || first >= total;
}

}  // namespace

const std::vector<CContentsSite::Item>& CContentsSite::Catalogue() { return kCatalogue; }

bool CContentsSite::WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    return writeZip(path, entries);
}

bool CContentsSite::MakeSamples(const std::string& folder)
{
    const auto package = [&](const std::string& base, const std::string& type, const std::string& title, const std::string& summary,
                             const std::string& view) {
        const std::string info = toCp932(crlf("Type=" + type + "\nTitle=" + title + "\nScript=" + base + ".zsf\nSummary=" + summary
                                              + "\nNarrator=星野 すばる\nYear=2026\n"));
        return writeZip(folder + "/" + base + ".zip",
                        {{base + "/", ""}, {base + "/info.txt", info}, {base + "/" + base + ".zsf", scene(title, view)}});
    };
    const std::string orion = "[View]\nCoordinate=Horizon\nCenterLongitude=180.000000\nCenterLatitude=40.000000\nAngle=70.0000\n";
    const std::string summer = "[Time]\nJD=2461257.95833333\nTimeZone=9.00\n[View]\nCoordinate=Horizon\nCenterLongitude=90.000000\nCenterLatitude=60.000000\nAngle=100.0000\n";
    bool ok = package("orion_story", "Program", "オリオン座ものがたり", "オリオン座の見つけ方と神話。", orion);
    ok &= package("summer_triangle", "Program", "夏の大三角をめぐる旅", "ベガ・アルタイル・デネブをたどります。", summer);
    ok &= package("milkyway_bgv", "BGV", "天の川の流れるBGV", "天の川がゆっくり巡ります。", summer);
    ok &= writeFile(folder + "/pleiades.zsf",
                    scene("すばるを見上げて", "[View]\nCoordinate=Horizon\nCenterLongitude=200.000000\nCenterLatitude=55.000000\nAngle=30.0000\n"));
    ok &= writeFile(folder + "/geminids.zsf",
                    scene("ふたご座流星群の夜", "[Time]\nJD=2461388.95833333\nTimeZone=9.00\n[View]\nCoordinate=Horizon\nCenterLongitude=90.000000\nCenterLatitude=50.000000\nAngle=120.0000\n"));
    // an additional object: a comet the simulated core draws at its sky position
    ok &= writeFile(folder + "/comet_zento_2026.adf",
                    toCp932(crlf("[General]\nFileOwner=ZentorinLite\nFileId=AdditionalObject\nFileVersion=1.0\n[Object]\nKind=Comet\n"
                                 "Name=ゼント彗星\nRA=5.5833\nDec=22.0\nMagnitude=4.5\nTailLength=6.0\nTailAngle=60\n")));
    return ok;
}

struct CContentsSite::Impl {
    std::string folder;
    std::unique_ptr<httplib::SSLServer> https;
    std::unique_ptr<httplib::Server> http;
    std::thread httpsThread, httpThread;
    mutable std::mutex mutex;
    localservice::ScriptBook<ScriptedAnswer> scripts;
    std::vector<Request> requests;
    X509* certificate = nullptr;
    EVP_PKEY* key = nullptr;
    long long generated = -1;
    std::string generatedHash;
    std::map<std::string, std::pair<long long, int>> cuts;  // id: bytes, times
    std::atomic<long long> sent{0};
    bool log = false;

    // The file `total` bytes long, `bytesAt(offset, n)` giving its bytes: whole, or the part a
    // Range asks for when an If-Range that comes with it names this ETag; cut where told.
    void serveFile(const std::string& id, const httplib::Request& req, httplib::Response& res, long long total, const std::string& sha256,
                   std::function<std::string(long long, size_t)> bytesAt)
    {
        const std::string etag = "\"" + sha256.substr(0, 32) + "\"";
        res.set_header("ETag", etag);
        // both validators, as most sites send them; If-Range is matched against the ETag alone
        res.set_header("Last-Modified", "Sun, 06 Dec 2026 12:00:00 GMT");
        res.set_header("Accept-Ranges", "bytes");
        long long first = 0, last = total - 1;
        const std::string ifRange = req.get_header_value("If-Range");
        if (req.has_header("Range") && (ifRange.empty() || ifRange == etag) && parseRange(req.get_header_value("Range"), total, first, last)) {
            if (first >= total) {
                res.status = 416;
                res.set_header("Content-Range", "bytes */" + std::to_string(total));
                return;
            }
            res.status = 206;
            res.set_header("Content-Range", "bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" + std::to_string(total));
        } else {
            res.status = 200;
            first = 0;
        }
        long long limit = last - first + 1;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (auto cut = cuts.find(id); cut != cuts.end() && cut->second.second > 0) {
                limit = std::min(limit, cut->second.first);
                if (--cut->second.second == 0)
                    cuts.erase(cut);
            }
        }
        res.set_content_provider(size_t(last - first + 1), "application/octet-stream",
                                 [this, first, limit, bytesAt](size_t offset, size_t length, httplib::DataSink& sink) {
                                     if (static_cast<long long>(offset) >= limit)
                                         return false;  // cut: the connection closes mid-body
                                     const std::string piece = bytesAt(first + static_cast<long long>(offset), std::min<size_t>(length, size_t(limit) - offset));
                                     sent += static_cast<long long>(piece.size());
                                     return sink.write(piece.data(), piece.size());
                                 });
    }

    const Item* find(const std::string& id) const
    {
        for (const Item& item : kCatalogue)
            if (item.id == id)
                return &item;
        return nullptr;
    }

    std::string content(const Item& item) const
    {
        std::ifstream in(folder + "/" + item.fileName, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    bool scripted(const httplib::Request& req, httplib::Response& res)
    {
        ScriptedAnswer answer;
        if (!scripts.Find(req.path, answer))
            return false;
        res.status = answer.status;
        for (const auto& [name, value] : answer.headers)
            res.set_header(name, value);
        const std::string body = answer.body;
        const size_t piece = answer.pieceBytes ? answer.pieceBytes : std::max<size_t>(body.size(), 1);
        const auto pause = std::chrono::milliseconds(answer.pieceDelayMs);
        const size_t announced = answer.announced >= 0 ? size_t(answer.announced) : body.size();
        const auto stall = std::chrono::milliseconds(answer.stallMs);
        res.set_content_provider(announced, answer.contentType, [body, piece, pause, stall](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset >= body.size()) {
                std::this_thread::sleep_for(stall);
                return false;  // less than announced: the connection closes mid-body
            }
            std::this_thread::sleep_for(pause);
            return sink.write(body.data() + offset, std::min(piece, body.size() - offset));
        });
        return true;
    }

    void record(const httplib::Request& req)
    {
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back({req.method, req.target, req.get_header_value("User-Agent"), req.get_header_value("Range"), req.get_header_value("If-Range"),
                            req.get_header_value("Accept-Language")});
        if (log)
            std::fprintf(stderr, "contents-site: %s %s \"%s\"%s\n", req.method.c_str(), req.target.c_str(), req.get_header_value("User-Agent").c_str(),
                         req.has_header("Range") ? (" Range: " + req.get_header_value("Range") + " If-Range: " + req.get_header_value("If-Range")).c_str() : "");
    }

    void routes(httplib::Server& s)
    {
        s.set_socket_options(localservice::OwnPortOnly);
        s.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
            // the site answers Range itself (If-Range, cuts), and a scripted answer is sent as
            // scripted: the server library's own handling of ranges would apply it to either
            const_cast<httplib::Request&>(req).ranges.clear();
            record(req);
            return scripted(req, res) ? httplib::Server::HandlerResponse::Handled : httplib::Server::HandlerResponse::Unhandled;
        });
        s.Get("/", [](const httplib::Request&, httplib::Response& res) {
            std::string body = "<p>星空をもっと楽しむためのコンテンツを集めました。気になる作品を選んで「インストール」を押してください。</p>";
            for (const char* genre : {"プラネタリウム番組", "BGV", "シーン", "アニメーション", "追加天体"}) {
                body += std::string("<h2>") + genre + "</h2>";
                for (const Item& item : kCatalogue)
                    if (item.genre == genre)
                        body += "<div class=\"item\">" + picture(item, 48) + "<div><a href=\"/page/" + item.id + "\">" + item.title + "</a><br>"
                                + item.description + "</div></div>";
            }
            res.set_content(htmlPage("コンテンツ・ライブラリ", body), "text/html; charset=utf-8");
        });
        s.Get(R"(/page/([A-Za-z0-9_-]+))", [this](const httplib::Request& req, httplib::Response& res) {
            const Item* item = find(req.matches[1]);
            if (!item) {
                res.status = 404;
                res.set_content(htmlPage("見つかりません", "<p>このコンテンツはありません。</p>"), "text/html; charset=utf-8");
                return;
            }
            const std::string body = "<div class=\"item\">" + picture(*item, 160) + "<div><p>" + item->description + "</p><p>ジャンル：" + item->genre
                                     + "</p><p>サイズ：" + std::to_string(content(*item).size()) + " バイト</p><p><a class=\"install\" id=\"install\" href=\"/install/"
                                     + item->id + "\">インストール</a></p><p><a href=\"/\">一覧へもどる</a></p></div></div>";
            res.set_content(htmlPage(item->title, body), "text/html; charset=utf-8");
        });
        // the host takes this link over; a browser without the host sees a page
        s.Get(R"(/install/([A-Za-z0-9_-]+))", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(htmlPage("インストール", "<p>プラネタリウムのコンテンツ・ライブラリから開いてください。</p>"), "text/html; charset=utf-8");
        });
        s.Get(R"(/item/([A-Za-z0-9_-]+)\.xml)", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string id = req.matches[1];
            const Item* item = find(id);
            // "bench-plain" is the same bytes with no hash stated, for a download that checks none
            const bool plain = id == "bench-plain";
            if ((id == "bench" || plain) && generated >= 0) {
                static const Item bench{"bench", "計測用データ", "その他", "bench.bin", "", ""};
                item = &bench;
            }
            if (!item) {
                res.status = 404;
                return;
            }
            const bool sample = item == find(id);
            const std::string bytes = sample ? content(*item) : std::string();
            const long long size = sample ? (long long)bytes.size() : generated;
            const std::string hash = sample ? sha256Hex([&](EVP_MD_CTX* c) { EVP_DigestUpdate(c, bytes.data(), bytes.size()); }) : generatedHash;
            res.set_content("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ContentsLibraryInfo version=\"1.0\"><id>" + item->id + "</id><title>"
                                + xmlEscape(item->title) + "</title><filename>" + item->fileName + "</filename><size>" + std::to_string(size)
                                + "</size><genre>" + item->genre + "</genre><extmessage>" + xmlEscape(item->extMessage)
                                + "</extmessage>" + (plain ? std::string() : "<sha256>" + hash + "</sha256>") + "</ContentsLibraryInfo>\n",
                            "application/xml");
        });
        s.Get(R"(/download/([A-Za-z0-9_-]+))", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string id = req.matches[1];
            if ((id == "bench" || id == "bench-plain") && generated >= 0) {
                serveFile(id, req, res, generated, generatedHash, [](long long, size_t length) {
                    return generatedBlock().substr(0, std::min(length, generatedBlock().size()));
                });
                return;
            }
            const Item* item = find(id);
            if (!item) {
                res.status = 404;
                return;
            }
            const std::string bytes = content(*item);
            const std::string hash = sha256Hex([&](EVP_MD_CTX* c) { EVP_DigestUpdate(c, bytes.data(), bytes.size()); });
            serveFile(id, req, res, (long long)bytes.size(), hash,
                      [bytes](long long offset, size_t length) { return bytes.substr(size_t(offset), length); });
        });
    }
};

CContentsSite::CContentsSite(std::string contentFolder) : m_impl(std::make_unique<Impl>())
{
    m_impl->folder = std::move(contentFolder);
}

CContentsSite::~CContentsSite()
{
    Stop();
    X509_free(m_impl->certificate);
    EVP_PKEY_free(m_impl->key);
}

std::string CContentsSite::BaseUrl() const { return "https://127.0.0.1:" + std::to_string(m_port); }

std::string CContentsSite::CertificatePem() const { return m_impl->certificate ? localservice::CertificatePem(m_impl->certificate) : std::string(); }

bool CContentsSite::WriteCertificate(const std::string& path) const { return writeFile(path, CertificatePem()); }

void CContentsSite::SetLogging(bool on) { m_impl->log = on; }

void CContentsSite::AddGeneratedItem(long long bytes)
{
    m_impl->generated = bytes;
    m_impl->generatedHash = sha256Hex([bytes](EVP_MD_CTX* c) {
        for (long long left = bytes; left > 0; left -= (long long)generatedBlock().size())
            EVP_DigestUpdate(c, generatedBlock().data(), size_t(std::min<long long>(left, (long long)generatedBlock().size())));
    });
}

void CContentsSite::CutAfter(const std::string& id, long long bytes, int times)
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->cuts[id] = {bytes, times};
}

long long CContentsSite::BytesSent() const { return m_impl->sent; }

bool CContentsSite::Start(int port, int httpPort)
{
    Impl& d = *m_impl;
    Stop();
    if (!d.certificate && !localservice::MakeCertificate(&d.certificate, &d.key, "Contents library local site"))
        return false;
    d.https = std::make_unique<httplib::SSLServer>(d.certificate, d.key);
    if (!d.https->is_valid())
        return false;
    d.routes(*d.https);
    m_port = localservice::Serve(*d.https, port, d.httpsThread);
    if (m_port <= 0)
        return false;
    if (httpPort != -1) {
        d.http = std::make_unique<httplib::Server>();
        d.routes(*d.http);
        m_httpPort = localservice::Serve(*d.http, httpPort, d.httpThread);
    }
    localservice::WaitUntilRunning(*d.https);
    return true;
}

void CContentsSite::Stop()
{
    Impl& d = *m_impl;
    localservice::Stop(d.https.get(), d.httpsThread);
    localservice::Stop(d.http.get(), d.httpThread);
}

void CContentsSite::Script(const std::string& path, const ScriptedAnswer& answer, int times)
{
    m_impl->scripts.Set(path, answer, times);
}

void CContentsSite::ClearScripts()
{
    m_impl->scripts.Clear();
}

std::vector<CContentsSite::Request> CContentsSite::Requests() const
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->requests;
}
