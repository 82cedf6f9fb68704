#include "services/LocalService.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>
#include <chrono>
#include <pthread.h>
#include <sys/socket.h>

namespace localservice {

bool MakeCertificate(X509** certificate, EVP_PKEY** key, const char* organisation)
{
    *key = EVP_RSA_gen(2048);
    *certificate = X509_new();
    if (!*key || !*certificate)
        return false;
    // version 3 (the value 2): a browser refuses extensions in an older certificate as malformed
    X509_set_version(*certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(*certificate), 1);
    X509_gmtime_adj(X509_getm_notBefore(*certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(*certificate), 3600L * 24 * 365);
    X509_set_pubkey(*certificate, *key);
    X509_NAME* name = X509_get_subject_name(*certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(organisation), -1, -1, 0);
    X509_set_issuer_name(*certificate, name);
    // the address as a subject alternative name, which certificate checks ask for
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, *certificate, *certificate, nullptr, nullptr, 0);
    if (X509_EXTENSION* san = X509V3_EXT_conf_nid(nullptr, &context, NID_subject_alt_name, "IP:127.0.0.1")) {
        X509_add_ext(*certificate, san, -1);
        X509_EXTENSION_free(san);
    }
    if (X509_EXTENSION* ca = X509V3_EXT_conf_nid(nullptr, &context, NID_basic_constraints, "critical,CA:TRUE")) {
        X509_add_ext(*certificate, ca, -1);
        X509_EXTENSION_free(ca);
    }
    return X509_sign(*certificate, *key, EVP_sha256()) > 0;
}

std::string CertificatePem(X509* certificate)
{
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, certificate);
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    std::string pem(data, size_t(length));
    BIO_free(bio);
    return pem;
}

void OwnPortOnly(int sock)
{
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

int Serve(httplib::Server& server, int port, std::thread& thread)
{
    const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1") : (server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound > 0)
        thread = std::thread([&server] { server.listen_after_bind(); });
    return bound;
}

void WaitUntilRunning(httplib::Server& server)
{
    for (int i = 0; i < 500 && !server.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void Stop(httplib::Server* server, std::thread& thread)
{
    if (server)
        server->stop();
    if (thread.joinable())
        thread.join();
}

sigset_t BlockStopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

int WaitForStopSignal(const sigset_t& signals)
{
    int received = 0;
    sigwait(&signals, &received);
    return received;
}

}  // namespace localservice
