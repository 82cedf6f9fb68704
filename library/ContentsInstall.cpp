#include "library/ContentsInstall.h"

#include "platform/ResourceChain.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvncom/ZntUnZip.h"
#include "support/zvnreg/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace contents {
namespace {
constexpr int IDS_ADF_SECTION = 16243;
constexpr int IDS_ADF_NAME = 16244;

QString adfName(int n) { return platform::LoadString(IDS_ADF_NAME).replace(QStringLiteral("%d"), QString::number(n)); }
}  // namespace

int CountAdfInRegistry()
{
    const QString section = platform::LoadString(IDS_ADF_SECTION);
    int count = 0;
    for (int n = 1; n <= kMaxAdf; ++n) {
        QString value;
        if (CRegistry::Read(section, adfName(n), QString(), value))
            ++count;
    }
    return count;
}

int RegisterAdf(const QString& path, const QString& title)
{
    const QString section = platform::LoadString(IDS_ADF_SECTION);
    const QString entry = path + u',' + title;
    int firstFree = 0;
    for (int n = 1; n <= kMaxAdf; ++n) {
        QString value;
        if (!CRegistry::Read(section, adfName(n), QString(), value)) {
            if (!firstFree)
                firstFree = n;
        } else if (value == entry) {
            return 1;
        }
    }
    if (!firstFree)
        return 0;
    return CRegistry::Write(section, adfName(firstFree), entry);
}

int UnpackPackage(const QString& archive, const QString& folder, const QString& base)
{
    // the staging folder sits beside the package, so the final rename stays on one file system
    QTemporaryDir staging(folder + QStringLiteral(".unpack-XXXXXX"));
    if (!staging.isValid() || !CZntUnZip::Unzip(archive, staging.path()))
        return 0;
    const QStringList entries = QDir(staging.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    if (entries != QStringList{base} || !QFileInfo(staging.path() + u'/' + base).isDir())
        return 0;
    const QString target = folder + base;
    if (QFileInfo::exists(target) && !CCommonFile::DeleteDirectory(target, 1))
        return 0;
    return QDir().rename(staging.path() + u'/' + base, target) ? 1 : 0;
}

}  // namespace contents
