#include "library/ContentsDownload.h"

#include "platform/FileRead.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <openssl/evp.h>

#include <unistd.h>

namespace contents {
namespace {
constexpr char kRecordHeader[] = "zvnpart 1";
constexpr qint64 kRecordLimit = 8192;  // a record is a few lines; anything larger is not one

QByteArray valueOf(const QList<QByteArray>& lines, const QByteArray& key)
{
    for (const QByteArray& line : lines)
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1);
    return {};
}
// The record's text, only from a regular file of a few lines: a FIFO or a device, which
// could hold the dialog for ever, is never read (nor waited on at its open), nor a link.
bool readRecord(const QString& path, QByteArray& text)
{
    // the module writes its records itself, as files: a link in a record's place is another's
    if (QFileInfo(path).isSymLink())
        return false;
    platform::WholeFile record;
    if (record.read(path, kRecordLimit) != platform::WholeFile::Read)
        return false;
    text = record.bytes().toByteArray();
    return true;
}

}  // namespace

QString RecordPath(const QString& installFile) { return installFile + QLatin1String(kRecordSuffix); }

void RemoveRecord(const QString& installFile) { QFile::remove(RecordPath(installFile)); }

CResumePlan CResumePlan::Make(const QString& installFile, const QString& url, qint64 size)
{
    CResumePlan plan;
    const QFileInfo partial(installFile);
    QByteArray text;
    if (size <= 0 || !partial.isFile() || partial.isSymLink() || !readRecord(RecordPath(installFile), text))
        return plan;
    const QList<QByteArray> lines = text.split('\n');
    bool lengthRead = false;
    const qint64 length = valueOf(lines, "length").toLongLong(&lengthRead);
    const bool numbers = lengthRead && valueOf(lines, "size").toLongLong() == size;
    Validator validator{valueOf(lines, "etag"), valueOf(lines, "last-modified")};
    if (lines.value(0) != kRecordHeader || QString::fromUtf8(valueOf(lines, "url")) != url || !numbers
        || validator.IsEmpty() || length != partial.size() || length <= 0 || length >= size)
        return plan;
    plan.m_nOffset = length;
    plan.m_validator = validator;
    return plan;
}

QString CResumePlan::RequestHeaders() const
{
    if (m_nOffset <= 0)
        return {};
    return QStringLiteral("Range: bytes=%1-\r\nIf-Range: %2\r\n").arg(m_nOffset).arg(QString::fromLatin1(m_validator.IfRange()));
}

CResumePlan::Road CResumePlan::Answer(quint32 status, const QString& contentRange, const Validator& answered) const
{
    if (status == 200)
        return FromNothing;
    if (m_nOffset <= 0 || (status != 206 && status != 416))
        return Failure;
    // the rest must start where the file ends: "bytes N-M/T"
    static const QRegularExpression range(QStringLiteral("^bytes\\s+(\\d+)-\\d+/(\\d+|\\*)$"));
    const QRegularExpressionMatch match = range.match(contentRange.trimmed());
    // a site that ignored If-Range names the changed file's validator: its tail is not this part's
    const auto differs = [](const QByteArray& kept, const QByteArray& given) { return !kept.isEmpty() && !given.isEmpty() && kept != given; };
    const bool sameFile = !differs(m_validator.etag, answered.etag) && !differs(m_validator.lastModified, answered.lastModified);
    if (status == 206 && match.hasMatch() && match.captured(1).toLongLong() == m_nOffset && sameFile)
        return Append;
    return Restart;
}

bool CResumePlan::Keep(const QString& installFile, const QString& url, qint64 size, qint64 length, const Validator& validator)
{
    if (size <= 0 || length <= 0 || length >= size || validator.IsEmpty())
        return false;
    QByteArray text = QByteArray(kRecordHeader) + "\nurl=" + url.toUtf8() + "\nsize=" + QByteArray::number(size)
                      + "\nlength=" + QByteArray::number(length) + '\n';
    text += validator.etag.isEmpty() ? "last-modified=" + validator.lastModified : "etag=" + validator.etag;
    text += '\n';
    // a link planted where the record goes is taken away, never written through
    RemoveRecord(installFile);
    QSaveFile record(RecordPath(installFile));
    return record.open(QIODevice::WriteOnly) && record.write(text) == text.size() && record.commit();
}

struct CRunningHash::State {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    ~State() { EVP_MD_CTX_free(context); }
};

CRunningHash::CRunningHash() : m_state(std::make_unique<State>())
{
    EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr);
}

CRunningHash::~CRunningHash() = default;

void CRunningHash::Add(const char* data, qint64 length)
{
    if (length > 0)
        EVP_DigestUpdate(m_state->context, data, size_t(length));
}

bool CRunningHash::AddFile(int fd, qint64 length)
{
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 at = 0; at < length;) {
        const ssize_t n = ::pread(fd, chunk.data(), size_t(std::min<qint64>(length - at, chunk.size())), off_t(at));
        if (n <= 0)
            return false;
        Add(chunk.constData(), n);
        at += n;
    }
    return true;
}

QByteArray CRunningHash::Hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(m_state->context, digest, &size);
    return QByteArray(reinterpret_cast<const char*>(digest), int(size)).toHex();
}

bool IsSha256Text(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{64}$"));
    return text.isEmpty() || hex.match(text).hasMatch();
}

}  // namespace contents
