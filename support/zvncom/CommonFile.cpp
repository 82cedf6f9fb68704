#include "support/zvncom/CommonFile.h"

#include "platform/FileRead.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <link.h>
#include <fcntl.h>
#include <cstring>

namespace {

int findModule(dl_phdr_info* info, size_t, void* data)
{
    const char* name = info->dlpi_name;
    const char* slash = name ? std::strrchr(name, '/') : nullptr;
    const char* file = slash ? slash + 1 : name;
    if (file && std::strncmp(file, "libzvnd06.so", 12) == 0) {
        *static_cast<QString*>(data) = QString::fromLocal8Bit(name);
        return 1;
    }
    return 0;
}

QString& overridden()
{
    static QString folder;
    return folder;
}

}  // namespace

void CCommonFile::SetModulePath(const QString& folder) { overridden() = folder; }

QString CCommonFile::GetModulePath()
{
    if (!overridden().isEmpty())
        return overridden().endsWith(u'/') ? overridden() : overridden() + u'/';
    QString module;
    dl_iterate_phdr(findModule, &module);
    const QString folder = module.isEmpty() ? QCoreApplication::applicationDirPath()
                                            : QFileInfo(module).canonicalPath();
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString CCommonFile::GetPathName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QStringLiteral(".");
    return path.left(slash);
}

QString CCommonFile::GetBaseFileName(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

int CCommonFile::DoesFileExist(const QString& path)
{
    // one question to the system (QFileInfo asked twice: is it there, is it a folder),
    // since listing programs asks once a program; a NUL would cut the name short
    return !path.isEmpty() && !path.contains(QChar(u'\0')) && platform::IsFile(AT_FDCWD, QFile::encodeName(path).constData())
               ? 1
               : 0;
}

int CCommonFile::DoesDirectoryExist(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir() ? 1 : 0;
}

int CCommonFile::DeleteDirectory(const QString& path, int recursive)
{
    const QFileInfo info(path);
    // a link to a folder is not the folder: removing through it would empty its target
    if (path.isEmpty() || info.isSymLink() || !info.isDir())
        return 0;
    QDir dir(path);
    if (recursive)
        return dir.removeRecursively() ? 1 : 0;
    return dir.rmdir(dir.absolutePath()) ? 1 : 0;
}
