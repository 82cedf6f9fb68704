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

QString decode(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return platform::FromCodePage(bytes.toByteArray());
    return QString::fromLatin1(bytes);
}

QString fold(const QString& name) { return name.toCaseFolded(); }

}  // namespace

int CParamFile::SetParameterFile(const QString& path)
{
    m_path = path;
    m_loaded = false;
    m_refused = false;
    m_lines.clear();
    m_sections.clear();

    QFile file(path);
    if (!file.exists())
        return 0;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) {
        m_refused = true;
        return 0;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\0')) {
        m_refused = true;
        return 0;
    }
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        m_lines.append(bytes.mid(start, end - start));
        start = end;
    }
    index();
    m_loaded = true;
    return 1;
}

void CParamFile::index()
{
    m_sections.clear();
    Section* current = nullptr;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QByteArrayView line = trimBlanks(stripEnding(m_lines[i]));
        if (line.startsWith('[')) {
            // the name is decoded before looking for "]", which a CP932 character may hold as its second byte
            const QString text = decode(line);
            const qsizetype close = text.indexOf(u']');
            if (close < 0) {
                current = nullptr;
                continue;
            }
            const QString name = fold(text.mid(1, close - 1).trimmed());
            // the first of two sections with one name holds; the second is out of reach
            current = m_sections.contains(name) ? nullptr : &m_sections[name];
            if (current)
                current->header = current->last = i;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!current || eq <= 0)
            continue;
        const QString key = fold(decode(trimBlanks(line.first(eq))));
        if (!current->keys.contains(key))
            current->keys.insert(key, i);
        current->last = i;
    }
}

const QByteArray* CParamFile::valueBytes(const QString& section, const QString& key, int* line) const
{
    const auto s = m_sections.constFind(fold(section));
    if (s == m_sections.cend())
        return nullptr;
    const auto k = s->keys.constFind(fold(key));
    if (k == s->keys.cend())
        return nullptr;
    *line = k.value();
    return &m_lines[k.value()];
}

int CParamFile::read(const QString& section, const QString& key, QString& value) const
{
    int line = -1;
    const QByteArray* bytes = valueBytes(section, key, &line);
    if (!bytes)
        return 0;
    const QByteArrayView text = stripEnding(*bytes);
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
    QList<QByteArray> lines = m_lines;
    auto endLine = [&lines](int i) {
        if (i >= 0 && !lines[i].endsWith('\n'))
            lines[i] += "\r\n";
    };

    int line = -1;
    if (valueBytes(section, key, &line)) {
        // keep the key as it was spelled and the line's own ending
        const QByteArray& old = lines[line];
        const QByteArray ending = old.sliced(stripEnding(old).size());
        lines[line] = old.left(old.indexOf('=') + 1) + encoded + ending;
    } else if (const auto s = m_sections.constFind(fold(section)); s != m_sections.cend()) {
        endLine(s->last);
        lines.insert(s->last + 1, platform::ToCodePage(key) + '=' + encoded + "\r\n");
    } else {
        endLine(int(lines.size()) - 1);
        lines.append('[' + platform::ToCodePage(section) + "]\r\n");
        lines.append(platform::ToCodePage(key) + '=' + encoded + "\r\n");
    }
    if (!platform::ReplaceFile(m_path, lines.join()))
        return 0;
    // memory follows the file only once the file is replaced
    m_lines = std::move(lines);
    m_loaded = true;
    if (line < 0)
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
