#pragma once
// The settings file: "[section]" lines and "name=value" lines, UTF-8, with
// section names kept exactly as written ("General\Authentication"). Names
// match without regard to letter case, as Windows registry names do.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class CSettingsDocument {
public:
    // None for bytes that are not UTF-8 text (invalid sequences, NUL bytes).
    static std::optional<CSettingsDocument> Parse(const QByteArray& utf8);
    QByteArray Serialize() const;

    std::optional<QString> Value(const QString& section, const QString& name) const;
    void SetValue(const QString& section, const QString& name, const QString& value);

private:
    struct Entry {
        QString name;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    Section* find(const QString& section);
    const Section* find(const QString& section) const;

    QList<Section> m_sections;
};
