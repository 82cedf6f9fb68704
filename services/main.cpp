// zentocloud-service: the local ZentoCloud service on its own.
//
//   zentocloud-service [--port N] [--http-port N] [--db FILE]
#include "services/ZentoCloudService.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t stopping = 0;
void onSignal(int) { stopping = 1; }
}  // namespace

int main(int argc, char** argv)
{
    int port = 47443, httpPort = 47080;
    std::string db = "zentocloud.sqlite";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--port"))
            port = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--http-port"))
            httpPort = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--db"))
            db = argv[i + 1];
    }
    CZentoCloudService service(db);
    if (!service.Start(port, httpPort)) {
        std::fprintf(stderr, "zentocloud-service: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("zentocloud-service: %s (registration page http://127.0.0.1:%d/register), accounts in %s\n",
                service.BaseUrl().c_str(), service.HttpPort(), db.c_str());
    std::fflush(stdout);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    while (!stopping)
        pause();
    service.Stop();
    return 0;
}
