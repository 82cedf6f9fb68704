#include "platform/FileReplace.h"

#include <QSaveFile>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool ReplaceFile(const QString& path, const QByteArray& bytes, FileAccess access)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // the temporary file is made with the old file's or the default permissions: narrowed
    // before anything is written, and the rename carries its mode over to the path
    if (access == FileAccess::OwnerOnly && ::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0) {
        file.cancelWriting();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace platform
