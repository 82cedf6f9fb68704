#pragma once
// A local stand-in for the ZentoCloud sharing service, over HTTPS on the
// loopback address, with a certificate of its own made at start. Accounts
// live in an SQLite file: the first sign-in of an address creates its
// account, later ones must give the same password. Tests can script exact
// answers for a path, and read every request the service received.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CZentoCloudService {
public:
    struct Request {
        std::string method;
        std::string target;  // path and query as sent
        std::map<std::string, std::string> headers;  // lower-case names
        std::string body;  // empty for a multipart form
        int remotePort;  // the client's side of the connection: equal for requests on one connection
    };

    // an answer exactly as a test wants it
    struct ScriptedAnswer {
        int status = 200;
        std::string body;
        std::string contentType = "application/json";
        bool contentLength = true;   // false: chunked, with no Content-Length
        bool closeEarly = false;     // announce the whole length, send half, close the connection
        std::string contentLengthOverride;  // announce this Content-Length instead (with no body)
        std::string rawContentLength;       // send this text as the Content-Length header, and no body
        int delayMs = 0;                    // keep silent this long before answering
        size_t pieceBytes = 0;              // send the body in pieces of this size ...
        int pieceDelayMs = 0;               // ... with this pause before each
        std::string beyondLength;           // sent after the body, past the length announced for it
    };

    // a shared chart as the service stored it
    struct Chart {
        long long id = 0;
        std::string author;  // the display name
        std::map<std::string, std::string> fields;  // every text part of the share, by name
        std::string imageName, sceneName;  // the file names the parts gave
        std::string image, scene;  // the files' bytes
    };

    // database: the SQLite file of the accounts and charts (":memory:" for none
    // kept); chart files go to a folder beside it (database + ".files")
    explicit CZentoCloudService(const std::string& database);
    ~CZentoCloudService();
    CZentoCloudService(const CZentoCloudService&) = delete;
    CZentoCloudService& operator=(const CZentoCloudService&) = delete;

    // Listens on 127.0.0.1 at the port (0: any free one) in a thread of its
    // own; also serves the registration page over plain HTTP on `httpPort`
    // when it is not -1. Returns false when the port cannot be had.
    bool Start(int port, int httpPort = -1);
    void Stop();
    int Port() const { return m_port; }
    int HttpPort() const { return m_httpPort; }
    std::string BaseUrl() const;  // "https://127.0.0.1:<port>"

    void Script(const std::string& path, const ScriptedAnswer& answer);  // path without query
    void ClearScripts();
    std::vector<Request> Requests() const;  // a multipart body is taken apart, not kept: see LastForm
    std::map<std::string, std::string> LastForm() const;  // the fields of the last sign-in form
    std::vector<Chart> Charts() const;  // every shared chart, oldest first

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    int m_port = 0;
    int m_httpPort = 0;
};
