#include "support/zvndcm/ParamFile.h"

#include "platform/CodePage.h"
#include "platform/FileReplace.h"
#include "platform/Text.h"

#include <cstring>
#include <optional>

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

// where the byte is, or -1 (a plain search: Qt's looks for a one-byte needle as for any other)
qsizetype find(QByteArrayView text, char c)
{
    const void* at = text.isEmpty() ? nullptr : std::memchr(text.data(), c, size_t(text.size()));
    return at ? static_cast<const char*>(at) - text.data() : -1;
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
    for (QChar c : text) {
        const char16_t u = c.unicode();
        h = h * 31 + (u >= 0x80 ? c.toCaseFolded().unicode() : u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
    }
    return h;
}

// The name of a "[name]" line; none when the line has no "]".
std::optional<QString> sectionName(QByteArrayView text)
{
    // one byte a character: "]" is found among the bytes
    if (isAscii(text)) {
        const qsizetype close = find(text, ']');
        return close < 0 ? std::nullopt : std::optional(QString::fromLatin1(text.sliced(1, close - 1)).trimmed());
    }
    // otherwise the name is decoded first: a CP932 character may hold "]" as its second byte
    const QString decoded = decode(text);
    const qsizetype close = decoded.indexOf(u']');
    return close < 0 ? std::nullopt : std::optional(decoded.mid(1, close - 1).trimmed());
}

// the text given a line end, for a last line that has none, before anything is put after it
QByteArray ended(QByteArrayView text)
{
    return text.toByteArray() + (text.isEmpty() || text.endsWith('\n') ? "" : "\r\n");
}

// the key part of a key line
QByteArrayView keyPart(QByteArrayView line) { return trimBlanks(line.first(find(line, '='))); }

}  // namespace

bool CParamFile::KeyLine::is(const QString& key) const
{
    // letter case never changes a name's length, and a CP932 name has at least as many
    // bytes as characters: most lines are passed over by their length alone
    if (ascii)
        return name.size() == key.size() && key.compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0;
    return name.size() >= key.size() && key.compare(decode(name), Qt::CaseInsensitive) == 0;
}

// mixed through Qt's integer hash: names like "Prog1".."Prog10000" give runs of near values,
// which in the table's open addressing would pile up into long probes
size_t qHash(const CParamFile::Caseless& name, size_t seed) noexcept { return qHash(caselessHash(QStringView(name.text)), seed); }

bool CParamFile::Caseless::operator==(const Caseless& other) const
{
    // names are mostly asked for as the file spells them
    return text == other.text || text.compare(other.text, Qt::CaseInsensitive) == 0;
}

int CParamFile::SetParameterFile(const QString& path)
{
    m_path = path;
    m_bytes.clear();
    const platform::WholeFile::Result result = m_read.read(path, kMaxFileSize);
    m_loaded = result == platform::WholeFile::Read && find(m_read.bytes(), '\0') < 0;
    m_refused = result == platform::WholeFile::Refused || (result == platform::WholeFile::Read && !m_loaded);
    if (m_loaded)
        m_bytes = QByteArray::fromRawData(m_read.bytes().data(), m_read.bytes().size());
    else
        m_read.clear();
    index();
    return m_loaded ? 1 : 0;
}

QByteArrayView CParamFile::line(qsizetype start) const
{
    const QByteArrayView rest = QByteArrayView(m_bytes).sliced(start);
    const qsizetype lf = find(rest, '\n');
    return rest.first(lf < 0 ? rest.size() : lf + 1);
}

void CParamFile::index()
{
    m_sections.clear();
    m_lastName.clear();
    m_lastSection = nullptr;
    m_keysOf = nullptr;
    Section* current = nullptr;
    for (qsizetype start = 0; start < m_bytes.size();) {
        const QByteArrayView whole = line(start);
        const QByteArrayView text = trimBlanks(stripEnding(whole));
        if (text.startsWith('[')) {
            current = nullptr;
            if (std::optional<QString> name = sectionName(text)) {
                // the first of two sections with one name holds; the second is out of reach
                const qsizetype before = m_sections.size();
                Section& section = m_sections[Caseless{std::move(*name)}];
                if (m_sections.size() > before) {
                    current = &section;
                    current->header = current->last = start;
                }
            }
        } else if (current && find(text, '=') > 0) {
            current->last = start;
        }
        start += whole.size();
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

qsizetype CParamFile::findKey(const Section& section, const QString& key) const
{
    // the key lines of the section asked for are read once, and only as far as a key is
    // asked for: readers ask for its keys in a row, and often only for the first few
    if (m_keysOf != &section) {
        m_keysOf = &section;
        m_keys.clear();
        m_keysReadTo = section.header + line(section.header).size();
    }
    // from the top: the first of two equal keys holds
    for (const KeyLine& k : m_keys)
        if (k.is(key))
            return k.start;
    while (m_keysReadTo <= section.last) {
        const qsizetype start = m_keysReadTo;
        const QByteArrayView whole = line(start);
        const QByteArrayView text = trimBlanks(stripEnding(whole));
        m_keysReadTo += whole.size();
        if (find(text, '=') > 0) {
            const QByteArrayView name = keyPart(text);
            m_keys.push_back({name, isAscii(name), start});
            if (m_keys.back().is(key))
                return start;
        }
    }
    return -1;
}

int CParamFile::read(const QString& section, const QString& key, QString& value) const
{
    const Section* s = findSection(section);
    const qsizetype at = s ? findKey(*s, key) : -1;
    if (at < 0)
        return 0;
    const QByteArrayView text = stripEnding(line(at));
    value = decode(trimBlanks(text.sliced(find(text, '=') + 1)));
    return 1;
}

int CParamFile::write(const QString& section, const QString& key, const QString& value)
{
    // a line break in a value would end its line and begin another
    if (m_path.isEmpty() || m_refused || value.contains(u'\n') || value.contains(u'\r') || key.contains(u'=')
        || key.trimmed().isEmpty() || section.contains(u']'))
        return 0;
    const QByteArray encoded = platform::ToCodePage(value);
    const QByteArrayView all(m_bytes);
    // the file up to the end of the line beginning at `start`
    const auto through = [&](qsizetype start) { return all.first(start + line(start).size()); };

    QByteArray bytes;
    const Section* s = findSection(section);
    const qsizetype at = s ? findKey(*s, key) : -1;
    if (at >= 0) {
        // keep the key as it was spelled and the line's own ending
        const QByteArrayView whole = line(at);
        const QByteArrayView ending = whole.sliced(stripEnding(whole).size());
        bytes = all.first(at).toByteArray() + whole.first(find(whole, '=') + 1).toByteArray() + encoded
                + ending.toByteArray() + all.sliced(at + whole.size()).toByteArray();
    } else if (s) {
        bytes = ended(through(s->last)) + platform::ToCodePage(key) + '=' + encoded + "\r\n"
                + all.sliced(s->last + line(s->last).size()).toByteArray();
    } else {
        bytes = ended(all) + '[' + platform::ToCodePage(section) + "]\r\n" + platform::ToCodePage(key) + '=' + encoded
                + "\r\n";
    }
    if (!platform::ReplaceFile(m_path, bytes))
        return 0;
    // memory follows the file only once the file is replaced
    m_bytes = std::move(bytes);
    m_read.clear();
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
