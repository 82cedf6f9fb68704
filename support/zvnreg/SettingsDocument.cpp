#include "support/zvnreg/SettingsDocument.h"

#include "platform/Text.h"

#include <QStringDecoder>


std::optional<CSettingsDocument> CSettingsDocument::Parse(const QByteArray& utf8)
{
    // the store writes UTF-8 text only; anything else is some other file, not settings
    if (utf8.contains('\0'))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(utf8);
    if (decoder.hasError())
        return std::nullopt;

    CSettingsDocument doc;
    Section* current = nullptr;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        // blanks before a name are layout; a value keeps every blank it was written with
        const QStringView head = line.trimmed();
        if (head.isEmpty() || head.startsWith(u';') || head.startsWith(u'#'))
            continue;
        if (head.startsWith(u'[') && head.endsWith(u']')) {
            const QString name = head.mid(1, head.size() - 2).toString();
            current = doc.find(name);
            if (!current) {
                doc.m_sections.append(Section{name, {}});
                current = &doc.m_sections.last();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        const QString name = eq < 0 ? QString() : line.left(eq).trimmed().toString();
        if (!current || name.isEmpty())
            continue;  // a line outside any section, or without a name, is not a value
        const QString value = platform::UnescapeLineText(line.mid(eq + 1).toString());
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
        // a tab too is written escaped: at the end of a line it would be a blank that reading
        // trims, and "[x=y]" + tab, the value "y]" + tab of the name "[x", would read back as a section
        for (const Entry& e : section.entries)
            text += e.name + u'=' + platform::EscapeLineText(e.value).replace(u'\t', QLatin1String("\\t")) + u'\n';
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
