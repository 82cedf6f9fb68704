#include "platform/FileLock.h"

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

struct Held {
    int fd = -1;
    int depth = 0;
};

// the locks this thread holds: a second flock() on a new descriptor of the same file
// would wait for the first, held by the same thread, for ever
std::map<std::string, Held>& held()
{
    thread_local std::map<std::string, Held> locks;
    return locks;
}

// whether the descriptor is still the file at the path: one removed (with its folder,
// say) and made anew while this process waited guards nothing any more
bool stillThere(int fd, const std::string& path)
{
    struct stat open, named;
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev
           && open.st_ino == named.st_ino;
}

}  // namespace

FileLock::FileLock(const QString& path, int waitMs) : m_key(QFile::encodeName(LockPath(path)).toStdString())
{
    if (auto it = held().find(m_key); it != held().end()) {
        ++it->second.depth;
        m_held = true;
        return;
    }
    const QDeadlineTimer deadline(waitMs);
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        // never through a link: the lock file is the module's own
        // flock() needs no write access: a lock file of another owner, or on a read-only disk, still locks
        const int fd = ::open(m_key.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return;
        // flock() cannot be told how long to wait, so it is asked again and again, briefly
        bool locked = false;
        while (!(locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0)) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired())
                break;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(16));
        }
        if (locked && stillThere(fd, m_key)) {
            held()[m_key] = Held{fd, 1};
            m_held = true;
            return;
        }
        ::close(fd);  // closing lets go of the lock too
        if (!locked || deadline.hasExpired())
            return;
    }
}

FileLock::~FileLock()
{
    if (!m_held)
        return;
    const auto it = held().find(m_key);
    if (it == held().end() || --it->second.depth > 0)
        return;
    ::close(it->second.fd);
    held().erase(it);
}

}  // namespace platform
