#pragma once
// What the local services share: a self-signed certificate for 127.0.0.1,
// made anew at every start, the socket option that keeps a port their own,
// serving on their own threads, and the stop signals of their programs.
#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <csignal>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace localservice {

bool MakeCertificate(X509** certificate, EVP_PKEY** key, const char* organisation);
std::string CertificatePem(X509* certificate);
// SO_REUSEADDR only: a restart may take its port back from TIME_WAIT, but a port another
// process listens on is refused (the library's default, SO_REUSEPORT, would share it)
void OwnPortOnly(int sock);

// Binds the server on 127.0.0.1 at `port` (0: any free one) and serves it on `thread`; the port, or -1.
int Serve(httplib::Server& server, int port, std::thread& thread);
// Returns once the server takes connections (at most a second).
void WaitUntilRunning(httplib::Server& server);
// Stops the server, when there is one, and waits for its thread.
void Stop(httplib::Server* server, std::thread& thread);

// SIGTERM and SIGINT, blocked before any thread starts so that every thread inherits the
// mask and the signal arrives only at WaitForStopSignal: never lost, never killing half-way.
sigset_t BlockStopSignals();
int WaitForStopSignal(const sigset_t& signals);  // the signal that came

// The answers a test has scripted, by path; the server's threads look them up while
// the test sets and clears them.
template <class Answer>
class ScriptBook {
public:
    // answered `times` times, then the server's own answer again; -1: until cleared
    void Set(const std::string& path, const Answer& answer, int times = -1)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers[path] = {answer, times};
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers.clear();
    }
    // a copy, so the server answers from it after the lock is gone
    bool Find(const std::string& path, Answer& answer)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_answers.find(path);
        if (it == m_answers.end())
            return false;
        answer = it->second.first;
        if (it->second.second > 0 && --it->second.second == 0)
            m_answers.erase(it);
        return true;
    }

private:
    std::mutex m_mutex;
    std::map<std::string, std::pair<Answer, int>> m_answers;
};

}  // namespace localservice
