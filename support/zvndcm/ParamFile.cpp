#include "support/zvndcm/ParamFile.h"

#include "platform/CodePage.h"
#include "platform/FileReplace.h"
#include "platform/Text.h"

#include <QFile>

namespace {

// far above a list of 10,000 programs; anything larger is not one of ours
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

QByteArrayView stripEnding(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    return line;
}

QByteArrayView trimBlanks(QByteArrayView text)
{
    // CP932 trail bytes are 0x40 and above, so blanks are never half a character
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.chop(1);
    return text;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

QString decode(QByteArrayView bytes)
{
    // the bytes are converted where they lie, not copied first
    return isAscii(bytes) ? QString::fromLatin1(bytes) : platform::FromCodePage(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

size_t caselessHash(QStringView text)
{
    size_t h = 0;
    for (QChar c : text)
        h = h * 31 + c.toCaseFolded().unicode();
    return h;
}

// the key part of a key line
QByteArrayView keyPart(QByteArrayView line) { return trimBlanks(line.first(line.indexOf('='))); }

bool sameKey(QByteArrayView fileKey, const QString& key)
{
    // letter case never changes a name's length, so most lines are passed over by it
    if (isAscii(fileKey))
        return fileKey.size() == key.size() && key.compare(QLatin1StringView(fileKey), Qt::CaseInsensitive) == 0;
    return key.compare(decode(fileKey), Qt::CaseInsensitive) == 0;
}

}  // namespace

// mixed through Qt's integer hash: names like "Prog1".."Prog10000" give runs of near values,
// which in the table's open addressing would pile up into long probes
size_t qHash(const CParamFile::Caseless& name, size_t seed) noexcept { return qHash(caselessHash(QStringView(name.text)), seed); }

int CParamFile::SetParameterFile(const QString& path)
{
    m_path = path;
    m_loaded = false;
    m_refused = false;
    m_bytes.clear();
    index();

    QFile file(path);
    if (!file.exists())
        return 0;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) {
        m_refused = true;
        return 0;
    }
    QByteArray bytes = file.readAll();
    if (bytes.contains('\0')) {
        m_refused = true;
        return 0;
    }
    m_bytes = std::move(bytes);
    index();
    m_loaded = true;
    return 1;
}

QByteArrayView CParamFile::line(int i) const
{
    return stripEnding(QByteArrayView(m_bytes).sliced(m_lineStarts[i], m_lineStarts[i + 1] - m_lineStarts[i]));
}

void CParamFile::index()
{
    m_sections.clear();
    m_lastName.clear();
    m_lastSection = nullptr;
    m_keysOf = nullptr;
    m_lineStarts.clear();
    m_lineStarts.reserve(m_bytes.count('\n') + 2);  // one allocation for a list of 200,000 lines
    for (qsizetype start = 0; start < m_bytes.size();) {
        m_lineStarts.append(start);
        const qsizetype lf = m_bytes.indexOf('\n', start);
        start = lf < 0 ? m_bytes.size() : lf + 1;
    }
    m_lineStarts.append(m_bytes.size());

    Section* current = nullptr;
    for (int i = 0; i + 1 < m_lineStarts.size(); ++i) {
        const QByteArrayView text = trimBlanks(line(i));
        if (text.startsWith('[')) {
            // the name is decoded before looking for "]", which a CP932 character may hold as its second byte
            const QString decoded = decode(text);
            const qsizetype close = decoded.indexOf(u']');
            current = nullptr;
            if (close < 0)
                continue;
            const Caseless name{decoded.mid(1, close - 1).trimmed()};
            // the first of two sections with one name holds; the second is out of reach
            if (m_sections.contains(name))
                continue;
            current = &m_sections[name];
            current->header = current->last = i;
            continue;
        }
        if (current && text.indexOf('=') > 0)
            current->last = i;
    }
}

const CParamFile::Section* CParamFile::findSection(const QString& section) const
{
    if (m_lastSection && section == m_lastName)
        return m_lastSection;
    const auto s = m_sections.constFind(Caseless{section});
    m_lastName = section;
    m_lastSection = s == m_sections.cend() ? nullptr : &*s;
    return m_lastSection;
}

int CParamFile::findKey(const Section& section, const QString& key) const
{
    // the key names of the section asked for are found once: readers ask for its keys in a row
    if (m_keysOf != &section) {
        m_keysOf = &section;
        m_keys.clear();
        for (int i = section.header + 1; i <= section.last; ++i) {
            const QByteArrayView text = trimBlanks(line(i));
            if (text.indexOf('=') > 0)
                m_keys.append({keyPart(text), i});
        }
    }
    // from the top: the first of two equal keys holds
    for (const KeyLine& k : m_keys)
        if (sameKey(k.name, key))
            return k.line;
    return -1;
}

int CParamFile::read(const QString& section, const QString& key, QString& value) const
{
    const Section* s = findSection(section);
    const int at = s ? findKey(*s, key) : -1;
    if (at < 0)
        return 0;
    const QByteArrayView text = line(at);
    value = decode(trimBlanks(text.sliced(text.indexOf('=') + 1)));
    return 1;
}

int CParamFile::write(const QString& section, const QString& key, const QString& value)
{
    // a line break in a value would end its line and begin another
    if (m_path.isEmpty() || m_refused || value.contains(u'\n') || value.contains(u'\r') || key.contains(u'=')
        || key.trimmed().isEmpty() || section.contains(u']'))
        return 0;
    const QByteArray encoded = platform::ToCodePage(value);
    const int lines = int(m_lineStarts.size()) - 1;
    // a line end for a last line that has none, before anything is put after it
    const auto ended = [&](int i) {
        const QByteArray whole = m_bytes.mid(m_lineStarts[i], m_lineStarts[i + 1] - m_lineStarts[i]);
        return whole.endsWith('\n') ? whole : whole + "\r\n";
    };

    QByteArray bytes;
    const Section* s = findSection(section);
    const int at = s ? findKey(*s, key) : -1;
    if (at >= 0) {
        // keep the key as it was spelled and the line's own ending
        const QByteArrayView whole = QByteArrayView(m_bytes).sliced(m_lineStarts[at], m_lineStarts[at + 1] - m_lineStarts[at]);
        const QByteArrayView ending = whole.sliced(stripEnding(whole).size());
        bytes = m_bytes.left(m_lineStarts[at]) + whole.first(whole.indexOf('=') + 1).toByteArray() + encoded
                + ending.toByteArray() + m_bytes.mid(m_lineStarts[at + 1]);
    } else if (s) {
        bytes = m_bytes.left(m_lineStarts[s->last]) + ended(s->last) + platform::ToCodePage(key) + '=' + encoded + "\r\n"
                + m_bytes.mid(m_lineStarts[s->last + 1]);
    } else {
        bytes = (lines > 0 ? m_bytes.left(m_lineStarts[lines - 1]) + ended(lines - 1) : QByteArray()) + '['
                + platform::ToCodePage(section) + "]\r\n" + platform::ToCodePage(key) + '=' + encoded + "\r\n";
    }
    if (!platform::ReplaceFile(m_path, bytes))
        return 0;
    // memory follows the file only once the file is replaced
    m_bytes = std::move(bytes);
    m_loaded = true;
    index();
    return 1;
}

int CParamFile::UpdateParam(const QString& section, const QString& key, const QString& defaultValue, QString& value,
                            int mode)
{
    if (mode == Write)
        return write(section, key, value);
    if (read(section, key, value))
        return 1;
    value = defaultValue;
    return 0;
}

int CParamFile::UpdateParam(const QString& section, const QString& key, int defaultValue, int& value, int mode)
{
    if (mode == Write)
        return write(section, key, QString::number(value));
    QString text;
    if (read(section, key, text)) {
        value = platform::_wtoi(text);
        return 1;
    }
    value = defaultValue;
    return 0;
}

int CParamFile::GetParamFileProperty(QString& id, QString& version, QString& owner)
{
    UpdateParam(QStringLiteral("General"), QStringLiteral("FileId"), QString(), id, Read);
    UpdateParam(QStringLiteral("General"), QStringLiteral("FileVersion"), QString(), version, Read);
    UpdateParam(QStringLiteral("General"), QStringLiteral("FileOwner"), QString(), owner, Read);
    return m_loaded ? 1 : 0;
}
