#include "platform/TempFolder.h"

#include <QDir>
#include <QFile>
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
           && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

// The system's temporary folder is shared by every user, and callers put files
// of fixed names in it: another user could make them first, as links or as
// files we cannot write. They go into a folder of our own instead, made fresh
// (mode 0700) and removed when the process ends; one a cleaner took away, or
// that is no longer ours alone, is replaced by a new one.
QString privateFolder()
{
    static std::unique_ptr<QTemporaryDir> folder;
    if (!folder || !stillOurs(*folder)) {
        if (folder)
            folder->setAutoRemove(false);  // never remove what may now be another's
        folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zvnd06-XXXXXX"));
        if (!stillOurs(*folder))
            return {};
    }
    return folder->path();
}

}  // namespace

QString GetTempPath()
{
    const QString folder = overridden().isEmpty() ? privateFolder() : overridden();
    return folder.isEmpty() ? QString() : withSlash(folder);
}

void SetTempPath(const QString& folder) { overridden() = folder; }

}  // namespace platform
