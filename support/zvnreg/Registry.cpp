#include "support/zvnreg/Registry.h"

#include "platform/FileLock.h"
#include "platform/FileReplace.h"
#include "support/zvnreg/SettingsDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <optional>

namespace {

constexpr qint64 kMaxSettingsSize = 16 * 1024 * 1024;

QString& chosenPath()
{
    static QString path;
    return path;
}

// The stored document; an empty one when there is no file yet, and none when a file is there
// but is not one the store could have written (unreadable, too large, not UTF-8 text): that
// file is never written over, so the values in it are not lost.
std::optional<CSettingsDocument> load()
{
    QFile file(CRegistry::SettingsPath());
    if (!file.exists())
        return CSettingsDocument();
    if (file.size() > kMaxSettingsSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return CSettingsDocument::Parse(file.readAll());
}

std::optional<QString> storedValue(const QString& section, const QString& name)
{
    const auto doc = load();
    return doc ? doc->Value(section, name) : std::nullopt;
}

// names become part of the file's lines, so they may not break a line or the name=value form
bool usableName(const QString& section, const QString& name)
{
    auto clean = [](const QString& s) {
        return !s.isEmpty() && !s.contains(u'\n') && !s.contains(u'\r') && !s.contains(u']') && !s.contains(u'=');
    };
    return clean(section) && clean(name) && !name.startsWith(u'[');
}

bool makeFolder(const QString& path) { return QDir().mkpath(QFileInfo(path).absolutePath()); }

int store(const QString& section, const QList<std::pair<QString, QString>>& values)
{
    for (const auto& value : values)
        if (!usableName(section, value.first))
            return 0;
    const QString path = CRegistry::SettingsPath();
    if (!makeFolder(path))
        return 0;
    // read inside the lock: the values another process wrote a moment ago are kept
    const platform::FileLock lock(path);
    if (!lock.IsHeld())
        return 0;
    auto doc = load();
    if (!doc)
        return 0;
    for (const auto& value : values)
        doc->SetValue(section, value.first, value.second);
    return platform::ReplaceFile(path, doc->Serialize(), platform::FileAccess::OwnerOnly) ? 1 : 0;
}

int store(const QString& section, const QString& name, const QString& value) { return store(section, {{name, value}}); }

}  // namespace

QString CRegistry::SettingsPath()
{
    const QString fromEnvironment = qEnvironmentVariable("ZVN_SETTINGS_FILE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (!chosenPath().isEmpty())
        return chosenPath();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zvnhost/settings.ini");
}

void CRegistry::SetSettingsPath(const QString& path) { chosenPath() = path; }

CRegistry::Lock::Lock()
{
    const QString path = SettingsPath();
    if (makeFolder(path))
        m_lock = std::make_unique<platform::FileLock>(path);
}

CRegistry::Lock::~Lock() = default;

bool CRegistry::Lock::IsHeld() const { return m_lock && m_lock->IsHeld(); }

int CRegistry::Read(const QString& section, const QString& name, const QString& defaultValue, QString& value, int)
{
    const auto found = storedValue(section, name);
    value = found.value_or(defaultValue);
    return found ? 1 : 0;
}

int CRegistry::Read(const QString& section, const QString& name, int defaultValue, int* value, int)
{
    const auto found = storedValue(section, name);
    bool ok = false;
    const int number = found ? found->trimmed().toInt(&ok) : 0;
    if (value)
        *value = ok ? number : defaultValue;
    return ok ? 1 : 0;
}

int CRegistry::Write(const QString& section, const QString& name, const QString& value, int)
{
    return store(section, name, value);
}

int CRegistry::Write(const QString& section, const QString& name, int value, int)
{
    return store(section, name, QString::number(value));
}

int CRegistry::Write(const QString& section, const QList<std::pair<QString, QString>>& values) { return store(section, values); }

int CRegistry::Write(const QString& section, const QString& name, const QWidget* window)
{
    if (!window)
        return 0;
    // the frame's top-left and the client size: what move() and resize() take back
    const QRect placement(window->pos(), window->size());
    return store(section, name,
                 QStringLiteral("%1,%2,%3,%4")
                     .arg(placement.x())
                     .arg(placement.y())
                     .arg(placement.width())
                     .arg(placement.height()));
}

int CRegistry::Read(const QString& section, const QString& name, QWidget* window, int* flag, int)
{
    if (!window)
        return 0;
    const auto found = storedValue(section, name);
    if (!found)
        return 0;
    const QStringList parts = found->split(u',');
    if (parts.size() != 4)
        return 0;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return 0;
    }
    const QRect placement(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (placement.width() <= 0 || placement.height() <= 0)
        return 0;
    // a placement from a screen that is gone would put the window out of reach
    bool visible = false;
    for (const QScreen* screen : QGuiApplication::screens())
        visible = visible || screen->availableGeometry().intersects(placement);
    if (!visible)
        return 0;
    window->move(placement.topLeft());
    if (flag && *flag)
        window->resize(placement.size());
    return 1;
}
