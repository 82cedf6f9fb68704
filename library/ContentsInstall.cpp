#include "library/ContentsInstall.h"

#include "library/ContentsDownload.h"
#include "platform/ResourceChain.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvncom/ZntUnZip.h"
#include "support/zvnreg/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace contents {
namespace {
constexpr int IDS_ADF_SECTION = 16243;
constexpr int IDS_ADF_NAME = 16244;

constexpr int IDS_FOLDER_FAVORITES = 16231;
constexpr int IDS_FOLDER_PRG = 16232;
constexpr int IDS_FOLDER_ADF = 16233;

QString adfName(int n) { return platform::LoadString(IDS_ADF_NAME).replace(QStringLiteral("%d"), QString::number(n)); }

// the user program list, the copy it is rebuilt in and its lock file, all beside the
// programs, and the record beside a partly downloaded file (in every install folder)
bool isKeptInProgramFolder(const QString& name)
{
    for (const char* kept : {"zvnprg.lst", "zvnprg.tmp", "zvnprg.lst.lock"})
        if (name.compare(QLatin1String(kept), Qt::CaseInsensitive) == 0)
            return true;
    return IsRecordName(name);
}

// Moves `from` onto `to`: a file takes the place of a file, a folder goes whole where
// there is none and into one that is there. With `dryRun` it only looks whether every
// step could be taken: never a file onto a folder or the reverse, never through a link.
bool moveOnto(const QString& from, const QString& to, bool dryRun)
{
    const QFileInfo source(from), target(to);
    if (target.isSymLink())
        return false;
    if (!target.exists())
        return dryRun || std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
    if (source.isDir() != target.isDir())
        return false;
    if (!source.isDir())  // rename() replaces the file in one step
        return dryRun || std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
    for (const QString& child : QDir(from).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        if (!moveOnto(from + u'/' + child, to + u'/' + child, dryRun))
            return false;
    return true;
}

void removeEntry(const QString& path)
{
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
        CCommonFile::DeleteDirectory(path, 1);
    else
        QFile::remove(path);
}
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
    // the free number is chosen and taken in one step: another process installing an
    // object at the same moment takes the next one, never the same
    const CRegistry::Lock lock;
    if (!lock.IsHeld())
        return 0;
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

bool IsInstallableName(int genre, const QString& fileName)
{
    if (IsRecordName(fileName))
        return false;
    if (IsPackageGenre(genre)) {
        const QString base = CCommonFile::GetBaseFileName(fileName);
        return !isKeptInProgramFolder(fileName) && !base.isEmpty() && base != u"." && base != u"..";
    }
    if (genre == 999)  // saved in the install root itself, beside the genres' folders
        for (const int id : {IDS_FOLDER_FAVORITES, IDS_FOLDER_PRG, IDS_FOLDER_ADF})
            if (fileName.compare(platform::LoadString(id), Qt::CaseInsensitive) == 0)
                return false;
    return true;
}

void TakeBack(const QString& folder, QStringList& added)
{
    for (const QString& name : std::as_const(added))
        removeEntry(folder + name);
    added.clear();
}

int UnpackPackage(const QString& archive, const QString& folder, const QString& base, QStringList& added)
{
    added.clear();
    // the staging folder sits beside the package, so the moves into place stay on one file system
    QTemporaryDir staging(folder + QStringLiteral(".unpack-XXXXXX"));
    if (!staging.isValid() || !CZntUnZip::Unzip(archive, staging.path()))
        return 0;
    const QStringList entries = QDir(staging.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString& name : entries) {
        const QString target = folder + name;
        if (isKeptInProgramFolder(name) || (name != base && QFileInfo::exists(target + QStringLiteral("/info.txt"))))
            return 0;
        if (!(name == base && QFileInfo(target).isDir()) && !moveOnto(staging.path() + u'/' + name, target, true))
            return 0;
    }
    for (const QString& name : entries) {
        const QString target = folder + name;
        if (name == base && QFileInfo(target).isDir() && !CCommonFile::DeleteDirectory(target, 1))
            return 0;
        const bool existed = QFileInfo(target).exists() || QFileInfo(target).isSymLink();
        if (!moveOnto(staging.path() + u'/' + name, target, false)) {
            TakeBack(folder, added);
            return 0;
        }
        if (!existed)
            added.append(name);
    }
    return 1;
}

}  // namespace contents
