// zentocloud-service: the local ZentoCloud service on its own, on 127.0.0.1.
//
//   zentocloud-service [--port N] [--http-port N] [--db FILE]
//
// --port: the HTTPS port of the service (0: any free one; default 47443);
// --http-port: the plain HTTP port of the registration page (0: any free one,
// -1: none; default 47080); --db: the SQLite file of the accounts (default
// zentocloud.sqlite). Prints one line saying where it listens, then serves
// until SIGTERM or SIGINT, and stops cleanly (exit status 0).
#include "services/LocalService.h"
#include "services/ZentoCloudService.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <signal.h>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void usage(std::FILE* to)
{
    std::fputs("usage: zentocloud-service [--port N] [--http-port N] [--db FILE]\n"
               "  --port N       HTTPS port of the service on 127.0.0.1 (0: any free one; default 47443)\n"
               "  --http-port N  HTTP port of the registration page (0: any free one, -1: none; default 47080)\n"
               "  --db FILE      SQLite file of the accounts (default zentocloud.sqlite)\n",
               to);
}

bool readPort(const char* text, int low, int* port)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > 65535)
        return false;
    *port = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int port = 47443, httpPort = 47080;
    std::string db = "zentocloud.sqlite";
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (!std::strcmp(option, "--help") || !std::strcmp(option, "-h")) {
            usage(stdout);
            return 0;
        }
        const char* value = i + 1 < argc ? argv[++i] : nullptr;
        bool ok = false;
        if (value && !std::strcmp(option, "--port"))
            ok = readPort(value, 0, &port);
        else if (value && !std::strcmp(option, "--http-port"))
            ok = readPort(value, -1, &httpPort);
        else if (value && !std::strcmp(option, "--db") && *value) {
            db = value;
            ok = true;
        }
        if (!ok) {
            std::fprintf(stderr, "zentocloud-service: bad argument %s%s%s\n", option, value ? " " : "", value ? value : "");
            usage(stderr);
            return 2;
        }
    }

    const sigset_t stopSignals = localservice::BlockStopSignals();  // before the server threads start

    CZentoCloudService service(db);
    if (!service.Start(port, httpPort)) {
        std::fprintf(stderr, "zentocloud-service: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    if (httpPort != -1 && service.HttpPort() <= 0) {
        std::fprintf(stderr, "zentocloud-service: cannot listen on 127.0.0.1:%d\n", httpPort);
        return 1;
    }
    if (httpPort != -1)
        std::printf("zentocloud-service: listening on %s (registration page http://127.0.0.1:%d/register), accounts in %s\n",
                    service.BaseUrl().c_str(), service.HttpPort(), db.c_str());
    else
        std::printf("zentocloud-service: listening on %s, accounts in %s\n", service.BaseUrl().c_str(), db.c_str());
    std::fflush(stdout);

    const int received = localservice::WaitForStopSignal(stopSignals);
    service.Stop();
    std::printf("zentocloud-service: stopped (%s)\n", received == SIGTERM ? "SIGTERM" : "SIGINT");
    return 0;
}
