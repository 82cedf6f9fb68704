#include "tests/support/TempEnvironment.h"

#include "platform/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>

TempEnvironment::TempEnvironment() : m_hadSettings(qEnvironmentVariableIsSet("ZVN_SETTINGS_FILE"))
{
    m_oldSettings = qgetenv("ZVN_SETTINGS_FILE");
    QDir(m_dir.path()).mkpath(QStringLiteral("tmp"));
    qputenv("ZVN_SETTINGS_FILE", QFile::encodeName(SettingsFile()));
    platform::SetTempPath(TempFolder());
}

TempEnvironment::~TempEnvironment()
{
    for (auto it = m_variables.crbegin(); it != m_variables.crend(); ++it) {
        if (it->second)
            qputenv(it->first.constData(), *it->second);
        else
            qunsetenv(it->first.constData());
    }
    platform::SetTempPath(QString());
    if (m_hadSettings)
        qputenv("ZVN_SETTINGS_FILE", m_oldSettings);
    else
        qunsetenv("ZVN_SETTINGS_FILE");
}

void TempEnvironment::SetVariable(const char* name, const QByteArray& value)
{
    const bool seen = std::any_of(m_variables.cbegin(), m_variables.cend(), [&](const auto& v) { return v.first == name; });
    if (!seen)
        m_variables.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

QString TempEnvironment::SettingsFile() const { return m_dir.path() + QStringLiteral("/config/settings.ini"); }

QString TempEnvironment::TempFolder() const { return m_dir.path() + QStringLiteral("/tmp/"); }

QString TempEnvironment::Path(const QString& relative) const { return m_dir.path() + u'/' + relative; }

QByteArray TempEnvironment::ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TempEnvironment::WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

unsigned TempEnvironment::Mode(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}
