#pragma once
// Sectioned key=value files in the system's code page (CP932) with CR LF line
// ends: program lists, scene files. The file is read once, when it is set,
// and its sections found in one pass; a key is looked for among the few
// lines of its section, which lie together in memory. A write changes the one
// line it concerns and replaces the file, every other byte as it was.
#include "platform/FileRead.h"

#include <QByteArray>
#include <QString>
#include <vector>

class CParamFile {
public:
    enum Mode { Read = 0, Write = 1 };

    CParamFile() = default;

    // Reads the file at the path. A file that is not there reads as empty and
    // is created by the first write. One that is not text (a NUL byte) or is
    // larger than any list the host writes reads as empty and is never written.
    // Returns 1 when the file was read, 0 when it is absent or refused.
    int SetParameterFile(const QString& path);
    const QString& GetParameterFile() const { return m_path; }

    // Mode 0 reads the value into `value`, the default when the key is missing
    // (result 0 then, 1 when found). Mode 1 writes `value` (result 1 when the
    // file was replaced). Section and key names match without regard to case.
    int UpdateParam(const QString& section, const QString& key, const QString& defaultValue, QString& value,
                    int mode);
    // Integers read as the C library's _wtoi reads them ("12ab" is 12).
    int UpdateParam(const QString& section, const QString& key, int defaultValue, int& value, int mode);

    // FileId, FileVersion and FileOwner of the "General" section (empty when
    // missing). Returns 1 when the file was read.
    int GetParamFileProperty(QString& id, QString& version, QString& owner);
    // how many sections of distinct names the file holds
    int GetSectionCount() const { return int(m_sections.size()); }

private:
    // places in the file are byte offsets of line starts: a table of every line would
    // cost a list of 10,000 programs more memory than the list itself
    // offsets fit 32 bits: files beyond 64 MiB are refused
    struct Section {
        quint32 header = 0;    // the line "[name]"
        quint32 last = 0;      // the last key line, or the header
        quint32 name = 0;      // the name's bytes in the header, when they are ASCII
        quint32 nameSize = 0;
        qint32 decoded = -1;   // otherwise its place among the decoded names
        quint32 hash = 0;      // of the name without regard to case
    };

    void index();
    QByteArrayView line(qsizetype start) const;      // the line beginning there, with its line end
    const Section* findSection(const QString& section) const;
    qsizetype findKey(const Section& section, const QString& key) const;  // its line's start, or -1
    bool valueBytes(const QString& section, const QString& key, QByteArrayView& value) const;  // as in the file
    int read(const QString& section, const QString& key, QString& value) const;
    int write(const QString& section, const QString& key, const QString& value);

    QString m_path;
    bool m_loaded = false;   // the file was there and readable
    bool m_refused = false;  // not text, or too large: never written over
    platform::WholeFile m_read;          // the file as it was read
    QByteArray m_bytes;                  // the file, byte for byte: over m_read until the first write
    // The first section of each name, in the file's order, found through a table of
    // their numbers by the names' hash: no string is made for a name that is ASCII, and
    // a list of 10,000 programs is indexed without 10,000 small allocations.
    std::vector<Section> m_sections;
    std::vector<QString> m_decodedNames;  // names that are not ASCII, decoded
    std::vector<int> m_table;             // a section's number + 1 in its hash's slot, 0 when empty
    QLatin1StringView asciiName(const Section& section) const;
    bool sameName(const Section& section, const QString& name) const;
    bool sameName(const Section& a, const Section& b) const;
    void addSection(Section section, qsizetype& current);
    // the section asked for last: readers ask for one section's keys in a row
    mutable QString m_lastName;
    mutable const Section* m_lastSection = nullptr;
    // the key lines of the section looked in last, with their names, as far as they are read
    struct KeyLine {
        QByteArrayView name;
        bool ascii;
        qsizetype start;
        quint32 hash;  // of an ASCII name without regard to case, as a section's
        bool is(const QString& key) const;  // without regard to case
    };
    mutable const Section* m_keysOf = nullptr;
    mutable std::vector<KeyLine> m_keys;
    mutable qsizetype m_keysReadTo = 0;  // the first line not read yet
};
