#include "library/ContentsTransfer.h"

#include "library/ContentsDownload.h"
#include "platform/Internet.h"
#include "platform/Text.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <memory>

using namespace platform;

namespace contents {
namespace {
constexpr int kBufferSize = 4096;
constexpr int kBlockSize = 64 * kBufferSize;
constexpr qint64 kMaxTotal = 0xFFFFFFFFLL;
}  // namespace

CTransfer::CTransfer(QString agent, QString url, QString installFile, int size, QByteArray sha256)
    : m_strAgent(std::move(agent)), m_strURL(std::move(url)), m_strInstallFile(std::move(installFile)), m_nSize(size),
      m_sha256(std::move(sha256))
{
}

CTransfer::Result CTransfer::Run(Observer& observer)
{
    QFile file(m_strInstallFile);
    // a file partly written by an earlier download of this item goes on where it ended
    const CResumePlan plan = CResumePlan::Make(m_strInstallFile, m_strURL, m_nSize);
    if (!plan.Offset())
        RemoveRecord(m_strInstallFile);
    Validator validator = plan.Kept();
    std::unique_ptr<CRunningHash> hash;
    if (!m_sha256.isEmpty())
        hash = std::make_unique<CRunningHash>();
    // Each 4096-byte read lands in a block that goes to disk in one write once it holds
    // 64 reads: a write per read cost more than the transfer itself.
    const auto block = std::make_unique<char[]>(kBlockSize);
    qint64 held = 0;
    const auto writeHeld = [&] {
        if (hash)
            hash->Add(block.get(), held);
        const bool written = held == 0 || file.write(block.get(), held) == held;
        held = 0;
        return written;
    };
    // every road on which the partial file goes takes its record with it
    const auto removeFile = [this] {
        QFile::remove(m_strInstallFile);
        RemoveRecord(m_strInstallFile);
    };
    QByteArray unread;  // what had arrived of a read that met an internet failure
    try {
        CInternetSession session(m_strAgent, 1, INTERNET_OPEN_TYPE_PRECONFIG, {}, {}, 0);
        std::unique_ptr<CHttpFile> http = session.OpenURL(m_strURL, 1, INTERNET_FLAG_TRANSFER_ASCII, plan.RequestHeaders());
        if (!http)
            return CannotGet;
        DWORD status = 0;
        QString contentRange = QStringLiteral("Content-Range");
        if (!http->QueryInfo(HTTP_QUERY_CUSTOM, contentRange))
            contentRange.clear();
        const auto road = http->QueryInfoStatusCode(status) ? plan.Answer(status, contentRange) : CResumePlan::Failure;
        if (road == CResumePlan::Failure) {
            http->Close();
            session.Close();
            return NotFound;
        }
        const bool append = road == CResumePlan::Append;
        if (!append) {
            QString etag, modified;
            http->QueryInfo(HTTP_QUERY_ETAG, etag);
            http->QueryInfo(HTTP_QUERY_LAST_MODIFIED, modified);
            // a weak ETag cannot ask for a part (If-Range takes a strong one)
            validator = {etag.startsWith(u'"') ? etag.toLatin1() : QByteArray(), modified.toLatin1()};
            RemoveRecord(m_strInstallFile);
        }
        // unbuffered: a full disk shows at the write of the block that meets it; the hash of
        // a part already on disk is taken from it once, as it was not kept
        const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered | (append ? QIODevice::Append : QIODevice::Truncate);
        if ((append && hash && !hash->AddFile(m_strInstallFile, plan.Offset())) || !file.open(mode)) {
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
                read = http->Read(block.get() + held, kBufferSize);
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
        if (overrun || total != m_nSize || (hash && hash->Hex() != m_sha256)) {
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
            memcpy(block.get() + held, unread.constData(), size_t(rest));
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
