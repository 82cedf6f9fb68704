#include "support/zvnreg/SettingsDocument.h"

namespace {

// a value is one line in the file: its line breaks and backslashes are escaped
QString escape(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        if (c == u'\\')
            out += u"\\\\";
        else if (c == u'\n')
            out += u"\\n";
        else if (c == u'\r')
            out += u"\\r";
        else
            out += c;
    }
    return out;
}

QString unescape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
    }
    return out;
}

}  // namespace

CSettingsDocument CSettingsDocument::Parse(const QByteArray& utf8)
{
    CSettingsDocument doc;
    Section* current = nullptr;
    const QString text = QString::fromUtf8(utf8);
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = line.mid(1, line.size() - 2).toString();
            current = doc.find(name);
            if (!current) {
                doc.m_sections.append(Section{name, {}});
                current = &doc.m_sections.last();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq <= 0)
            continue;  // a line outside any section, or without a name, is not a value
        const QString name = line.left(eq).trimmed().toString();
        const QString value = unescape(line.mid(eq + 1).toString());
        bool known = false;
        for (const Entry& e : current->entries)
            known = known || e.name.compare(name, Qt::CaseInsensitive) == 0;
        if (!known)  // the first of two equal names holds, as a reader from the top sees it
            current->entries.append(Entry{name, value});
    }
    return doc;
}

QByteArray CSettingsDocument::Serialize() const
{
    QString text;
    for (const Section& section : m_sections) {
        if (!text.isEmpty())
            text += u'\n';
        text += QLatin1Char('[') + section.name + QLatin1String("]\n");
        for (const Entry& e : section.entries)
            text += e.name + u'=' + escape(e.value) + u'\n';
    }
    return text.toUtf8();
}

std::optional<QString> CSettingsDocument::Value(const QString& section, const QString& name) const
{
    if (const Section* s = find(section))
        for (const Entry& e : s->entries)
            if (e.name.compare(name, Qt::CaseInsensitive) == 0)
                return e.value;
    return std::nullopt;
}

void CSettingsDocument::SetValue(const QString& section, const QString& name, const QString& value)
{
    Section* s = find(section);
    if (!s) {
        m_sections.append(Section{section, {}});
        s = &m_sections.last();
    }
    for (Entry& e : s->entries) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0) {
            e.value = value;
            return;
        }
    }
    s->entries.append(Entry{name, value});
}

CSettingsDocument::Section* CSettingsDocument::find(const QString& section)
{
    for (Section& s : m_sections)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

const CSettingsDocument::Section* CSettingsDocument::find(const QString& section) const
{
    return const_cast<CSettingsDocument*>(this)->find(section);
}
