#pragma once
// A scene file (".zsf"): the host's saved view, in the sectioned key=value
// form of CParamFile. The module reads only its description, kept in escaped
// one-line form (each line break written as the four characters \r\n).
// The layout is described in docs/scene-file.md.
#include <QString>

class CZsfFile {
public:
    explicit CZsfFile(const QString& path);

    // The escaped one-line description; empty when the file or the value is missing.
    const QString& GetDescription() const { return m_description; }

private:
    QString m_description;
};
