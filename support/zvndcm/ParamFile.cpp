#include "support/zvndcm/ParamFile.h"

#include "platform/CodePage.h"
#include "platform/FileReplace.h"
#include "platform/Text.h"

#include <QHashFunctions>
#include <algorithm>

#include <bit>
#include <cstring>

namespace {

// far above a list of 10,000 programs; anything larger is not one of ours
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;
// room made for sections before they are counted: a list of 100,000 programs
constexpr size_t kMostSectionsAtOnce = 100001;

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

// The name of a "[name]" line of ASCII, pointed to where it lies; false when the line
// has no "]". One byte a character: "]" is found among the bytes.
bool asciiSectionName(QByteArrayView text, QByteArrayView& name)
{
    const qsizetype close = find(text, ']');
    if (close < 0)
        return false;
    name = text.sliced(1, close - 1);
    // as QString::trimmed trims: ASCII's blanks and line breaks
    const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!name.isEmpty() && space(name.front()))
        name = name.sliced(1);
    while (!name.isEmpty() && space(name.back()))
        name.chop(1);
    return true;
}

// The name of any other "[name]" line, decoded first: a CP932 character may hold "]" as
// its second byte.
bool decodedSectionName(QByteArrayView text, QString& name)
{
    const QString decoded = decode(text);
    const qsizetype close = decoded.indexOf(u']');
    if (close < 0)
        return false;
    name = decoded.mid(1, close - 1).trimmed();
    return true;
}

// mixed through Qt's integer hash: names like "Prog1".."Prog10000" give runs of near values,
// which in an open-addressed table would pile up into long probes
template <typename Text>
quint32 nameHash(const Text& name)
{
    size_t h = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c(name[i]);
        const char16_t u = c.unicode();
        h = h * 31 + (u >= 0x80 ? c.toCaseFolded().unicode() : u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
    }
    return quint32(qHash(h));
}

// The slot of a hash in the table: the first from the hash's own that is empty or holds a
// section `same` accepts. The table is never more than half full.
template <typename Same>
size_t probe(const std::vector<int>& table, size_t hash, const Same& same)
{
    const size_t mask = table.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask)
        if (table[i] == 0 || same(table[i] - 1))
            return i;
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
    if (!ascii)
        return name.size() >= key.size() && key.compare(decode(name), Qt::CaseInsensitive) == 0;
    if (name.size() != key.size())
        return false;
    const auto lower = [](char16_t c) { return c >= 'A' && c <= 'Z' ? char16_t(c + ('a' - 'A')) : c; };
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t k = key[i].unicode();
        // a letter beyond ASCII may still fold to one (the Kelvin sign to "k"): Qt decides those
        if (k >= 0x80)
            return key.compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0;
        if (lower(k) != lower(char16_t(name[i])))
            return false;
    }
    return true;
}

QLatin1StringView CParamFile::asciiName(const Section& section) const
{
    return QLatin1StringView(m_bytes.constData() + section.name, section.nameSize);
}

bool CParamFile::sameName(const Section& section, const QString& name) const
{
    // names are mostly asked for as the file spells them
    if (section.decoded >= 0) {
        const QString& own = m_decodedNames[size_t(section.decoded)];
        return own == name || own.compare(name, Qt::CaseInsensitive) == 0;
    }
    return name == asciiName(section) || name.compare(asciiName(section), Qt::CaseInsensitive) == 0;
}

bool CParamFile::sameName(const Section& a, const Section& b) const
{
    if (a.decoded < 0 && b.decoded < 0)
        return asciiName(a).compare(asciiName(b), Qt::CaseInsensitive) == 0;
    return sameName(a, b.decoded >= 0 ? m_decodedNames[size_t(b.decoded)] : QString(asciiName(b)));
}

void CParamFile::addSection(Section section, qsizetype& current)
{
    // the first of two sections with one name holds; the second is out of reach
    const size_t slot = probe(m_table, section.hash, [&](int i) { return sameName(m_sections[size_t(i)], section); });
    if (m_table[slot] != 0)
        return;
    m_sections.push_back(section);
    m_table[slot] = int(m_sections.size());
    current = qsizetype(m_sections.size()) - 1;
    if (m_sections.size() * 2 <= m_table.size())
        return;
    m_table.assign(m_table.size() * 2, 0);
    for (size_t i = 0; i < m_sections.size(); ++i)
        m_table[probe(m_table, m_sections[i].hash, [](int) { return false; })] = int(i) + 1;
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
    m_decodedNames.clear();
    // room for every section at once, as many as the file holds "[": a list that grows
    // touches fresh memory again and again, and each fresh page is a fault (some 10 µs
    // in the virtual machine the benchmarks run in)
    size_t brackets = 0;
    for (QByteArrayView rest(m_bytes); brackets < kMostSectionsAtOnce; ++brackets) {
        const qsizetype at = find(rest, '[');
        if (at < 0)
            break;
        rest = rest.sliced(at + 1);
    }
    m_sections.reserve(brackets);
    m_table.assign(std::bit_ceil(std::max<size_t>(64, brackets * 2 + 2)), 0);
    m_lastName.clear();
    m_lastSection = nullptr;
    m_keysOf = nullptr;
    qsizetype current = -1;  // the section whose key lines these are; a pointer would move as the list grows
    for (qsizetype start = 0; start < m_bytes.size();) {
        const QByteArrayView whole = line(start);
        const QByteArrayView text = trimBlanks(stripEnding(whole));
        if (text.startsWith('[')) {
            current = -1;
            Section section;
            section.header = section.last = quint32(start);
            QByteArrayView ascii;
            QString decoded;
            if (isAscii(text) && asciiSectionName(text, ascii)) {
                section.name = quint32(ascii.data() - m_bytes.constData());
                section.nameSize = quint32(ascii.size());
                section.hash = nameHash(QLatin1StringView(ascii));
                addSection(section, current);
            } else if (!isAscii(text) && decodedSectionName(text, decoded)) {
                section.decoded = int(m_decodedNames.size());
                section.hash = nameHash(decoded);
                m_decodedNames.push_back(std::move(decoded));
                addSection(section, current);
            }
        } else if (current >= 0 && find(text, '=') > 0) {
            m_sections[size_t(current)].last = quint32(start);
        }
        start += whole.size();
    }
}

const CParamFile::Section* CParamFile::findSection(const QString& section) const
{
    if (m_lastSection && section == m_lastName)
        return m_lastSection;
    const size_t slot = probe(m_table, nameHash(section), [&](int i) { return sameName(m_sections[size_t(i)], section); });
    m_lastName = section;
    m_lastSection = m_table[slot] != 0 ? &m_sections[size_t(m_table[slot] - 1)] : nullptr;
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
    // An ASCII key (every key the module asks for) is compared only with the ASCII names of
    // its hash: no character CP932 holds folds to an ASCII letter. Any other key is compared
    // with each line.
    const bool asciiKey = std::all_of(key.begin(), key.end(), [](QChar c) { return c.unicode() < 0x80; });
    const quint32 wanted = asciiKey ? nameHash(key) : 0;
    const auto matches = [&](const KeyLine& k) { return (!asciiKey || (k.ascii && k.hash == wanted)) && k.is(key); };
    // from the top: the first of two equal keys holds
    for (const KeyLine& k : m_keys)
        if (matches(k))
            return k.start;
    while (m_keysReadTo <= section.last) {
        const qsizetype start = m_keysReadTo;
        const QByteArrayView whole = line(start);
        const QByteArrayView text = trimBlanks(stripEnding(whole));
        m_keysReadTo += whole.size();
        if (find(text, '=') > 0) {
            const QByteArrayView name = keyPart(text);
            const bool ascii = isAscii(name);
            m_keys.push_back({name, ascii, start, ascii ? nameHash(QLatin1StringView(name)) : 0});
            if (matches(m_keys.back()))
                return start;
        }
    }
    return -1;
}

bool CParamFile::valueBytes(const QString& section, const QString& key, QByteArrayView& value) const
{
    const Section* s = findSection(section);
    const qsizetype at = s ? findKey(*s, key) : -1;
    if (at < 0)
        return false;
    const QByteArrayView text = stripEnding(line(at));
    value = trimBlanks(text.sliced(find(text, '=') + 1));
    return true;
}

int CParamFile::read(const QString& section, const QString& key, QString& value) const
{
    QByteArrayView bytes;
    if (!valueBytes(section, key, bytes))
        return 0;
    value = decode(bytes);
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
    QByteArrayView text;
    if (valueBytes(section, key, text)) {
        // read from the bytes themselves: no byte of a CP932 character is a digit, a sign or
        // a blank, so the number ends where it would end in the decoded text
        value = platform::_wtoi(QLatin1StringView(text));
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
