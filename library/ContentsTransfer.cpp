#include "library/ContentsTransfer.h"

#include "library/ContentsDownload.h"
#include "platform/Internet.h"
#include "platform/Text.h"

#include <QFile>
#include <QFileInfo>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace platform;

namespace contents {
namespace {
constexpr int kBufferSize = 4096;
constexpr int kBlockSize = 64 * kBufferSize;
constexpr qint64 kMaxTotal = 0xFFFFFFFFLL;
// a block handed to the hasher (a type of this file's own: a deque of plain pairs would
// be a template the library exports)
struct Handed {
    char* block;
    qint64 length;
};

// Blocks hashed on a thread of their own while the next ones arrive. A block is handed over
// once it is on disk and comes back once hashed, so the transfer waits only while every
// block is still being hashed.
class HashBehind {
public:
    explicit HashBehind(CRunningHash& hash) : m_hash(hash)
    {
        for (auto& block : m_blocks) {
            block = std::make_unique<char[]>(kBlockSize);
            m_free.push_back(block.get());
        }
        m_thread = std::thread([this] { run(); });
    }
    ~HashBehind()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    HashBehind(const HashBehind&) = delete;
    HashBehind& operator=(const HashBehind&) = delete;

    char* Take()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_free.empty(); });
        char* block = m_free.back();
        m_free.pop_back();
        return block;
    }
    void Hand(char* block, qint64 length)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_queue.push_back({block, length});
        }
        m_changed.notify_all();
    }
    // every block handed over is in the hash
    void Finish()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_quit || !m_queue.empty(); });
            if (m_quit)
                return;  // a download that ended otherwise: its hash is never asked for
            const auto [block, length] = m_queue.front();
            m_queue.pop_front();
            m_busy = true;
            lock.unlock();
            m_hash.Add(block, length);
            lock.lock();
            m_busy = false;
            m_free.push_back(block);
            m_changed.notify_all();
        }
    }

    CRunningHash& m_hash;
    std::unique_ptr<char[]> m_blocks[4];
    std::vector<char*> m_free;
    std::deque<Handed> m_queue;
    bool m_busy = false, m_quit = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;  // last: it starts once the rest is ready
};

// The install file made anew for a download from nothing. Whatever stood at the path is
// taken away first, a link included (never its target), and the file is made by this open
// alone, so nothing planted at the path in between is followed.
int openFresh(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    ::unlink(name.constData());  // a folder stays, and fails the open
    return ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// The part on disk, to go on from: only a regular file of the length its record names, never
// through a link, and never a FIFO or a device, whose open could wait for ever.
int openPart(const QString& path, qint64 length)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != length)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

CTransfer::CTransfer(QString agent, QString url, QString installFile, int size, QByteArray sha256)
    : m_strAgent(std::move(agent)), m_strURL(std::move(url)), m_strInstallFile(std::move(installFile)), m_nSize(size),
      m_sha256(std::move(sha256))
{
}

CTransfer::Result CTransfer::Run(Observer& observer)
{
    QFile file;
    // a file partly written by an earlier download of this item goes on where it ended
    CResumePlan plan = CResumePlan::Make(m_strInstallFile, m_strURL, m_nSize);
    if (!plan.Offset())
        RemoveRecord(m_strInstallFile);
    Validator validator = plan.Kept();
    std::unique_ptr<CRunningHash> hash;
    if (!m_sha256.isEmpty())
        hash = std::make_unique<CRunningHash>();
    // Each 4096-byte read lands in a block that goes to disk in one write once it holds
    // 64 reads: a write per read cost more than the transfer itself. A checked download's
    // blocks are hashed behind it, on another thread.
    std::unique_ptr<HashBehind> behind;
    std::unique_ptr<char[]> own;
    if (hash)
        behind = std::make_unique<HashBehind>(*hash);
    else
        own = std::make_unique<char[]>(kBlockSize);
    char* block = behind ? behind->Take() : own.get();
    qint64 held = 0;
    const auto writeHeld = [&] {
        const bool written = held == 0 || file.write(block, held) == held;
        if (behind && held > 0) {
            behind->Hand(block, held);
            block = behind->Take();
        }
        held = 0;
        return written;
    };
    const auto matches = [&] {
        behind->Finish();
        return hash->Hex() == m_sha256;
    };
    // every road on which the partial file goes takes its record with it
    const auto removeFile = [this] {
        QFile::remove(m_strInstallFile);
        RemoveRecord(m_strInstallFile);
    };
    QByteArray unread;  // what had arrived of a read that met an internet failure
    try {
        CInternetSession session(m_strAgent, 1, INTERNET_OPEN_TYPE_PRECONFIG, {}, {}, 0);
        std::unique_ptr<CHttpFile> http;
        CResumePlan::Road road = CResumePlan::Failure;
        Validator answered;
        // A part the site will not continue is dropped with its record, and the file is asked
        // for whole in the same try: a later try would only ask for the same part again.
        for (int request = 0; request < 2; ++request) {
            http = session.OpenURL(m_strURL, 1, INTERNET_FLAG_TRANSFER_ASCII, plan.RequestHeaders());
            if (!http)
                return CannotGet;
            DWORD status = 0;
            QString contentRange = QStringLiteral("Content-Range"), etag, modified;
            if (!http->QueryInfo(HTTP_QUERY_CUSTOM, contentRange))
                contentRange.clear();
            http->QueryInfo(HTTP_QUERY_ETAG, etag);
            http->QueryInfo(HTTP_QUERY_LAST_MODIFIED, modified);
            answered = {etag.toLatin1(), modified.toLatin1()};
            road = http->QueryInfoStatusCode(status) ? plan.Answer(status, contentRange, answered) : CResumePlan::Failure;
            if (road != CResumePlan::Restart)
                break;
            http->Close();
            removeFile();
            plan = CResumePlan();
        }
        if (road != CResumePlan::FromNothing && road != CResumePlan::Append) {
            http->Close();
            session.Close();
            return NotFound;
        }
        const bool append = road == CResumePlan::Append;
        if (!append) {
            // a weak ETag cannot ask for a part (If-Range takes a strong one)
            validator = {answered.etag.startsWith('"') ? answered.etag : QByteArray(), answered.lastModified};
            RemoveRecord(m_strInstallFile);
        }
        // unbuffered: a full disk shows at the write of the block that meets it; the hash of
        // a part already on disk is taken from it once, as it was not kept
        const int fd = append ? openPart(m_strInstallFile, plan.Offset()) : openFresh(m_strInstallFile);
        const bool opened = fd >= 0 && (!append || !hash || hash->AddFile(fd, plan.Offset()))
                            && file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered | (append ? QIODevice::Append : QIODevice::NotOpen),
                                         QFileDevice::AutoCloseHandle);
        if (!opened) {
            if (fd >= 0)
                ::close(fd);
            http->Close();
            session.Close();
            return CannotInstall;
        }
        qint64 total = append ? plan.Offset() : 0;
        if (append)  // the progress starts at the share already on disk
            observer.Progress(MulDiv(int(total), 100, m_nSize));
        quint32 read = 0;
        bool cancelled = false, writeFailed = false, overrun = false;
        do {
            if (observer.IsCancelled()) {
                cancelled = true;
                break;
            }
            try {
                read = http->Read(block + held, kBufferSize);
            } catch (const CInternetException&) {
                unread = http->TakeReceived();
                throw;
            }
            total += read;
            held += read;
            if (held + kBufferSize > kBlockSize && !writeHeld()) {
                writeFailed = true;
                break;
            }
            // more than announced can never pass the size check: stop before it fills the disk;
            // with no size announced the data's end decides, up to what a 32-bit count holds
            if ((m_nSize > 0 && total > m_nSize) || total > kMaxTotal) {
                overrun = true;
                break;
            }
            observer.Progress(MulDiv(int(total), 100, m_nSize));
        } while (read == kBufferSize);
        writeFailed = writeFailed || (!cancelled && !overrun && !writeHeld());
        http->Close();
        session.Close();
        file.close();
        if (cancelled || writeFailed) {
            removeFile();
            return cancelled ? Cancelled : SizeFile;
        }
        observer.Progress(100);
        // bytes other than the site's: the size's message, as for any download that is not the file
        if (overrun || total != m_nSize || (hash && !matches())) {
            removeFile();
            return SizeDownload;
        }
        if (QFileInfo(m_strInstallFile).size() != qint64(m_nSize)) {
            removeFile();
            return SizeFile;
        }
    } catch (const CInternetException&) {
        // what arrived stays on disk, whole up to the failure, with the record a later download goes on from
        if (file.isOpen()) {
            // a read is at most 4096 bytes and the block keeps room for one
            const qint64 rest = std::min<qint64>(unread.size(), kBlockSize - held);
            memcpy(block + held, unread.constData(), size_t(rest));
            held += rest;
            writeHeld();
            file.close();
            CResumePlan::Keep(m_strInstallFile, m_strURL, m_nSize, QFileInfo(m_strInstallFile).size(), validator);
        }
        return CannotDownload;
    }
    RemoveRecord(m_strInstallFile);
    return Done;
}

}  // namespace contents
