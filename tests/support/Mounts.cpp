#include "tests/support/Mounts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Once per program: a mount namespace of our own, so nothing mounted here is
// seen outside, and a crash leaves no mount behind (the namespace dies with us).
QString privateNamespace()
{
    static const QString error = [] {
        if (::unshare(CLONE_NEWNS) != 0)
            return QStringLiteral("unshare: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return QStringLiteral("private mounts: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return QString();
    }();
    return error;
}

QString lastError(const char* what) { return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))); }

}  // namespace

ScopedMount ScopedMount::Tmpfs(const QString& folder, qint64 bytes, int inodes)
{
    ScopedMount m;
    m.m_error = privateNamespace();
    if (!m.m_error.isEmpty())
        return m;
    QDir().mkpath(folder);
    QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    if (inodes > 0)
        options += ",nr_inodes=" + QByteArray::number(inodes);
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) != 0) {
        m.m_error = lastError("mount tmpfs");
        return m;
    }
    m.m_folder = folder;
    return m;
}

ScopedMount ScopedMount::ReadOnly(const QString& folder)
{
    ScopedMount m;
    m.m_error = privateNamespace();
    if (!m.m_error.isEmpty())
        return m;
    const QByteArray path = QFile::encodeName(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) {
        m.m_error = lastError("mount --bind");
        return m;
    }
    m.m_folder = folder;  // from here on the destructor takes it away again
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        m.m_error = lastError("remount read-only");
        ::umount2(path.constData(), MNT_DETACH);
        m.m_folder.clear();
    }
    return m;
}

ScopedMount ScopedMount::FixedModes(const QString& folder)
{
    ScopedMount m;
    m.m_error = privateNamespace();
    if (!m.m_error.isEmpty())
        return m;
    const QString disk = folder + QStringLiteral(".disk");
    QDir().mkpath(folder);
    QDir().mkpath(disk);
    struct stat parent {};
    if (::stat(QFile::encodeName(folder + QStringLiteral("/..")).constData(), &parent) != 0) {
        m.m_error = lastError("stat");
        return m;
    }
    m.m_server = std::make_unique<QProcess>();
    // in the foreground, as our child, which the kernel ends with us should we crash
    m.m_server->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m.m_server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m.m_server->start(QStringLiteral("bindfs"), {QStringLiteral("-f"), QStringLiteral("-p"), QStringLiteral("0755"),
                                                 QStringLiteral("--chmod-ignore"), disk, folder});
    if (!m.m_server->waitForStarted(5000)) {
        m.m_error = QStringLiteral("bindfs: %1").arg(m.m_server->errorString());
        return m;
    }
    // mounted once the folder lies on another device
    for (int i = 0; i < 100; ++i) {
        struct stat st {};
        if (::stat(QFile::encodeName(folder).constData(), &st) == 0 && st.st_dev != parent.st_dev) {
            m.m_folder = folder;
            return m;
        }
        if (m.m_server->waitForFinished(50))  // it gave up: no FUSE for us
            break;
    }
    m.m_error = QStringLiteral("bindfs did not mount %1").arg(folder);
    m.m_server->kill();
    m.m_server->waitForFinished(5000);
    return m;
}

ScopedMount::ScopedMount(ScopedMount&& other) noexcept
    : m_folder(std::move(other.m_folder)), m_error(std::move(other.m_error)), m_server(std::move(other.m_server))
{
    other.m_folder.clear();
}

ScopedMount::~ScopedMount()
{
    if (m_folder.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(m_folder);
    // a file still open under it (a dialog not yet gone) must not keep the mount
    if (::umount2(path.constData(), 0) != 0)
        ::umount2(path.constData(), MNT_DETACH);
    if (m_server && !m_server->waitForFinished(5000)) {  // a FUSE server ends with its mount
        m_server->kill();
        m_server->waitForFinished(5000);
    }
}

bool FillDisk(const QString& folder, qint64 leave)
{
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/.filler"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const std::vector<char> block(4096, 'f');
    qint64 written = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block.data(), block.size());
        if (n <= 0)
            break;
        written += n;
    }
    // give back just what was asked for: the next write runs out of space part-way
    const bool ok = errno == ENOSPC && ::ftruncate(fd, std::max<qint64>(0, written - leave)) == 0;
    ::close(fd);
    return ok;
}

bool FillInodes(const QString& folder)
{
    for (int n = 0; n < 100000; ++n) {
        const QByteArray path = QFile::encodeName(folder + QStringLiteral("/.filler-%1").arg(n));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0)
            return errno == ENOSPC;
        ::close(fd);
    }
    return false;
}
