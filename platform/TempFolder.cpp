#include "platform/TempFolder.h"

#include <QDir>

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

}  // namespace

QString GetTempPath()
{
    return withSlash(overridden().isEmpty() ? QDir::tempPath() : overridden());
}

void SetTempPath(const QString& folder) { overridden() = folder; }

}  // namespace platform
