#include "platform/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QString& overridden()
{
    static QString folder;
    return folder;
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

// still the folder we made: a folder, not a link, ours alone
bool stillOurs(const QTemporaryDir& folder)
{
    struct stat st {};
    return folder.isValid() && ::lstat(QFile::encodeName(folder.path()).constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && st.st_uid == ::geteuid() && (st.st_mode & 0777) == 0700;  // a set-group-id bit opens nothing
}

// Where the folder may go, in turn: the system's temporary folder; then the
// user's runtime and cache folders, which are the user's alone also where the
// temporary folder lies on a file system without POSIX modes (FAT), on which no
// folder ever reads back as anyone's alone.
QStringList places()
{
    QStringList places{QDir::tempPath()};
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        places << runtime;
    places << QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return places;
}

// The system's temporary folder is shared by every user, and callers put files
// of fixed names in it: another user could make them first, as links or as
// files we cannot write. They go into a folder of our own instead, made fresh
// (mode 0700) and removed when the process ends; one a cleaner took away, or
// that is no longer ours alone, is replaced by a new one.
QString privateFolder()
{
    static std::unique_ptr<QTemporaryDir> folder;
    if (folder && stillOurs(*folder))
        return folder->path();
    if (folder)
        folder->setAutoRemove(false);  // never remove what may now be another's
    folder.reset();
    for (const QString& place : places()) {
        if (place.isEmpty() || !QDir().mkpath(place))
            continue;
        auto made = std::make_unique<QTemporaryDir>(place + QStringLiteral("/zvnd06-XXXXXX"));
        if (stillOurs(*made)) {
            folder = std::move(made);
            return folder->path();
        }
        // made a moment ago and not ours alone: taken away again, only while it is
        // still an empty folder (rmdir takes neither a link nor what another put in it)
        made->setAutoRemove(false);
        if (made->isValid())
            ::rmdir(QFile::encodeName(made->path()).constData());
    }
    return {};
}

}  // namespace

QString GetTempPath()
{
    const QString folder = overridden().isEmpty() ? privateFolder() : overridden();
    return folder.isEmpty() ? QString() : withSlash(folder);
}

void SetTempPath(const QString& folder) { overridden() = folder; }

}  // namespace platform
