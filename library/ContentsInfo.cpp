#include "library/ContentsInfo.h"

#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"

#include <QDomNodeList>
#include <algorithm>
#include <cstring>
#include <stdexcept>

using namespace platform;

namespace {
enum : unsigned short {
    IDS_CANNOT_CONNECT = 16281,
    IDS_INFO_NOT_FOUND = 16292,
    IDS_INFO_NOT_VALID = 16293,
    IDS_INFO_NOT_READ = 16294,
};
}  // namespace

CSequentialStreamFromFile::CSequentialStreamFromFile(std::unique_ptr<CHttpFile> file, qint64 limit)
    : m_pFile(std::move(file)), m_nLimit(limit)
{
    QIODevice::open(QIODevice::ReadOnly);
}

CSequentialStreamFromFile::CSequentialStreamFromFile(QByteArray bytes, qint64 limit)
    : m_bytes(std::move(bytes)), m_bFromBytes(true), m_nLimit(limit)
{
    QIODevice::open(QIODevice::ReadOnly);
}

CSequentialStreamFromFile::~CSequentialStreamFromFile() { close(); }

void CSequentialStreamFromFile::close()
{
    if (m_pFile) {
        m_pFile->Close();
        m_pFile.reset();
    }
    m_bFromBytes = false;
    QIODevice::close();
}

// as the internet file reads: `count` bytes, fewer only at the end
quint32 CSequentialStreamFromFile::readSource(char* data, quint32 count)
{
    if (m_pFile)
        return m_pFile->Read(data, count);
    const auto got = quint32(std::min<qint64>(count, m_bytes.size() - m_nAt));
    std::memcpy(data, m_bytes.constData() + m_nAt, got);
    m_nAt += got;
    return got;
}

qint64 CSequentialStreamFromFile::readData(char* data, qint64 maxSize)
{
    if ((!m_pFile && !m_bFromBytes) || m_bEnded)
        return -1;
    // one byte past the limit tells a document that is too large from one that just fits
    const qint64 room = m_nLimit + 1 - m_nRead;
    const auto want = quint32(std::min<qint64>({maxSize, room, 1 << 16}));
    quint32 got = 0;
    try {
        got = want ? readSource(data, want) : 0;
    } catch (const CInternetException& e) {
        // the caller is Qt's parser, which no exception may pass through
        m_failure = e;
        m_bEnded = true;
        return -1;
    }
    m_nRead += got;
    if (m_nRead > m_nLimit) {
        m_bOverflow = true;
        return -1;
    }
    if (got < want)
        m_bEnded = true;
    return got ? qint64(got) : -1;
}

int CContentsInfo::Load(const QString& url, const QString& agent, QWidget* owner)
{
    m_document = QDomDocument();
    m_root = QDomElement();
    try {
        CInternetSession session(agent, 1, INTERNET_OPEN_TYPE_PRECONFIG, {}, {}, 0);
        std::unique_ptr<CHttpFile> file = session.OpenURL(url, 1, INTERNET_FLAG_TRANSFER_BINARY);
        if (!file) {
            MessageBox(owner, LoadString(IDS_INFO_NOT_FOUND), MB_OK);
            return 0;
        }
        CSequentialStreamFromFile stream(std::move(file), kDocumentLimit);
        const bool read = readDocument(stream);
        if (stream.Failure())
            throw *stream.Failure();  // reported as any failure to reach the site, below
        session.Close();
        if (!read) {
            MessageBox(owner, LoadString(IDS_INFO_NOT_FOUND), MB_OK);
            return 0;
        }
    } catch (const CInternetException&) {
        // an unreachable site: the table's connection message, which no other road shows
        MessageBox(owner, LoadString(IDS_CANNOT_CONNECT), MB_OK);
        return 0;
    }
    return takeFields(owner);
}

int CContentsInfo::LoadDocument(const QByteArray& bytes, QWidget* owner)
{
    m_document = QDomDocument();
    m_root = QDomElement();
    CSequentialStreamFromFile stream(bytes, kDocumentLimit);
    if (!readDocument(stream)) {
        MessageBox(owner, LoadString(IDS_INFO_NOT_FOUND), MB_OK);
        return 0;
    }
    return takeFields(owner);
}

bool CContentsInfo::readDocument(CSequentialStreamFromFile& stream)
{
    const bool parsed = bool(m_document.setContent(&stream));
    stream.close();
    return parsed && !stream.Overflowed();
}

int CContentsInfo::takeFields(QWidget* owner)
{
    m_root = m_document.documentElement();
    if (m_root.isNull()) {
        MessageBox(owner, LoadString(IDS_INFO_NOT_VALID), MB_OK);
        return 0;
    }
    try {
        m_strTitle = GetElementText(IDS_TITLE);
        m_strFileName = GetElementText(IDS_FILENAME);
        m_strSize = GetElementText(IDS_SIZE);
        m_strGenre = GetElementText(IDS_GENRE);
        m_strExtMessage = GetElementText(IDS_EXTMESSAGE);
        const QDomNodeList hash = m_root.elementsByTagName(QStringLiteral("sha256"));
        m_strSha256 = hash.isEmpty() ? QString() : hash.item(0).toElement().text().trimmed();
    } catch (const std::runtime_error&) {
        m_document = QDomDocument();
        MessageBox(owner, LoadString(IDS_INFO_NOT_READ), MB_OK);
        return 0;
    }
    m_document = QDomDocument();  // the root element stays until the next load
    return 1;
}

QString CContentsInfo::GetElementText(unsigned short id) const
{
    if (m_root.isNull())
        throw std::runtime_error("no root element");
    const QDomNodeList list = m_root.elementsByTagName(LoadString(id));
    if (list.isEmpty() || !list.item(0).isElement())
        throw std::runtime_error("no such element");
    return list.item(0).toElement().text();
}

QString CContentsInfo::GetField(unsigned short id) const
{
    switch (id) {
    case IDS_TITLE: return m_strTitle;
    case IDS_FILENAME: return m_strFileName;
    case IDS_SIZE: return m_strSize;
    case IDS_GENRE: return m_strGenre;
    case IDS_EXTMESSAGE: return m_strExtMessage;
    default: return {};
    }
}

bool CContentsInfo::IsPlainFileName(const QString& name)
{
    // ".." is the parent folder; "..zsf" is a name like any other
    if (name.isEmpty() || name == u"." || name == u".." || name.toUtf8().size() > 255)
        return false;
    for (const QChar c : name)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}
