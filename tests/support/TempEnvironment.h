#pragma once
// A test's own settings file and temporary folder, in a folder that goes
// away with the test; no test touches the user's real ones.
#include <QByteArray>
#include <QString>
#include <QList>
#include <QTemporaryDir>
#include <optional>
#include <utility>

class TempEnvironment {
public:
    TempEnvironment();
    ~TempEnvironment();
    TempEnvironment(const TempEnvironment&) = delete;
    TempEnvironment& operator=(const TempEnvironment&) = delete;

    QString Root() const { return m_dir.path(); }     // a fresh folder for the test's files
    QString SettingsFile() const;                     // what CRegistry reads and writes
    QString TempFolder() const;                       // what GetTempPath() answers, ending in "/"

    // helpers for the bytes on disk
    QString Path(const QString& relative) const;      // Root() + "/" + relative
    static QByteArray ReadBytes(const QString& path);
    static bool WriteBytes(const QString& path, const QByteArray& bytes);  // creates the folders
    static unsigned Mode(const QString& path);  // the permission bits (0600, ...); 0 when there is nothing

    // Sets (or, with a null value, unsets) an environment variable for the test's length:
    // the first change of each name is undone when the environment goes.
    void SetVariable(const char* name, const QByteArray& value);

private:
    QTemporaryDir m_dir;
    QByteArray m_oldSettings;
    bool m_hadSettings;
    QList<std::pair<QByteArray, std::optional<QByteArray>>> m_variables;  // names and their values before
};
