#include "tests/support/TempEnvironment.h"

#include "platform/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    platform::SetTempPath(QString());
    if (m_hadSettings)
        qputenv("ZVN_SETTINGS_FILE", m_oldSettings);
    else
        qunsetenv("ZVN_SETTINGS_FILE");
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
