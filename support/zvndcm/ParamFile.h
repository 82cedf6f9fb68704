#pragma once
// Sectioned key=value files in the system's code page (CP932) with CR LF line
// ends: program lists, scene files. The file is read once, when it is set;
// reads come from memory. A write changes the one line it concerns and
// replaces the file, every other byte as it was.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

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

private:
    struct Section {
        int header = -1;                 // line of "[name]"
        int last = -1;                   // last key line, or the header
        QHash<QString, int> keys;        // folded key name -> line
    };

    void index();
    const QByteArray* valueBytes(const QString& section, const QString& key, int* line) const;
    int read(const QString& section, const QString& key, QString& value) const;
    int write(const QString& section, const QString& key, const QString& value);

    QString m_path;
    bool m_loaded = false;   // the file was there and readable
    bool m_refused = false;  // not text, or too large: never written over
    QList<QByteArray> m_lines;  // each line with its own line end, byte for byte
    QHash<QString, Section> m_sections;  // folded section name -> where it stands
};
