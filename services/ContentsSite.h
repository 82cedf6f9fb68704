#pragma once
// The local content library site: Japanese pages with a catalogue by genre,
// the item documents (/item/<id>.xml) and the files (/download/<id>) of the
// sample content made at build time, over HTTPS on 127.0.0.1 with a
// certificate of its own (and over plain HTTP on a second port when asked).
// Every request is logged with its User-Agent; tests can script answers.
// The files answer Range and If-Range (a strong ETag from their SHA-256), the
// item documents state that hash, and a transfer can be cut after N bytes.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CContentsSite {
public:
    struct Item {
        std::string id, title, genre, fileName, description, extMessage;
    };
    struct Request {
        std::string method, target, userAgent, range, ifRange, acceptLanguage;
    };
    // an answer exactly as a test wants it
    struct ScriptedAnswer {
        int status = 200;
        std::string body;
        std::string contentType = "application/octet-stream";
        size_t pieceBytes = 0;      // the body in pieces of this size ...
        int pieceDelayMs = 0;       // ... with this pause before each
        long long announced = -1;   // announce this length, send what the body holds, then close
        int stallMs = 0;            // after the body, keep the connection silent this long before closing
        std::vector<std::pair<std::string, std::string>> headers;  // sent as they are: Location, ETag, Content-Range
    };

    // the catalogue: every item of the sample content
    static const std::vector<Item>& Catalogue();
    // Writes the sample content (program and BGV packages, scenes, an additional object) into `folder`.
    static bool MakeSamples(const std::string& folder);
    // Writes a zip archive of (name, bytes) entries, a name ending in "/" a folder, as the samples are made.
    static bool WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries);

    explicit CContentsSite(std::string contentFolder);
    ~CContentsSite();
    CContentsSite(const CContentsSite&) = delete;
    CContentsSite& operator=(const CContentsSite&) = delete;

    // HTTPS on 127.0.0.1 at `port` (0: any free one); plain HTTP on `httpPort` unless -1
    bool Start(int port, int httpPort = -1);
    void Stop();
    int Port() const { return m_port; }
    int HttpPort() const { return m_httpPort; }
    std::string BaseUrl() const;                    // "https://127.0.0.1:<port>"
    std::string CertificatePem() const;             // the site's own certificate, to be trusted by name
    bool WriteCertificate(const std::string& path) const;
    // a generated item of `bytes` bytes (id "bench"; "bench-plain" states no hash), streamed, for measuring downloads
    void AddGeneratedItem(long long bytes);

    void SetLogging(bool on);  // each request as one line on stderr

    // The next `times` answers of /download/<id> stop after `bytes` bytes of body and close the connection.
    void CutAfter(const std::string& id, long long bytes, int times = 1);
    // body bytes sent by the /download/ answers so far (scripted ones aside)
    long long BytesSent() const;

    // `path` answered so `times` times, then as the site answers it; -1: until ClearScripts
    void Script(const std::string& path, const ScriptedAnswer& answer, int times = -1);
    void ClearScripts();
    std::vector<Request> Requests() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    int m_port = 0;
    int m_httpPort = 0;
};
