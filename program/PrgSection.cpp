#include "program/PrgSection.h"

#include "platform/CodePage.h"
#include "platform/FileLock.h"
#include "platform/FileReplace.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "platform/Text.h"
#include "program/ProgramListFile.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvndcm/ParamFile.h"

#include <QFile>
#include <QFileInfo>
#include <climits>
#include <cstdio>

namespace {

constexpr int IDS_PRGLIST_CREATE_FAILED = 16313;
constexpr int IDS_PRGLIST_UPDATE_FAILED = 16315;
// far larger than any program's description; a larger section file is not one
constexpr qint64 kMaxSectionFile = 1024 * 1024;

int fail(int message)
{
    platform::MessageBox(nullptr, platform::LoadString(message), platform::MB_OK);
    return 0;
}

bool readFile(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return true;
}

// A section file is the key=value lines of one program. One that is not text,
// or that would open a section of its own in the list, is refused.
bool sectionLines(const QByteArray& bytes, QByteArray& lines)
{
    if (bytes.size() > kMaxSectionFile || bytes.contains('\0'))
        return false;
    for (const QByteArray& line : CProgramListFile::SplitLines(bytes)) {
        if (line.trimmed().startsWith('['))
            return false;
        lines += line + "\r\n";
    }
    return true;
}

// The list's header, written over whatever is at the path.
bool writeHeader(const QString& listPath) { return platform::ReplaceFile(listPath, CProgramListFile::Header()); }

enum class Added { Yes, CannotCreate, CannotUpdate };

// Add's steps, with the list locked by the caller.
Added addLocked(const QString& listPath, const QString& sectionFile)
{
    if (!CCommonFile::DoesFileExist(listPath) && !writeHeader(listPath))
        return Added::CannotCreate;
    const QString temporary = CCommonFile::GetPathName(listPath) + QStringLiteral("/zvnprg.tmp");

    QByteArray list;
    if (!readFile(listPath, list) || !platform::ReplaceFile(temporary, list))
        return Added::CannotUpdate;
    // from here on a failure takes the copy away too: on a full disk it would only take the space
    const auto failWithCopy = [&temporary] {
        QFile::remove(temporary);
        return Added::CannotUpdate;
    };

    CParamFile copy;
    copy.SetParameterFile(temporary);
    int count = 0;
    copy.UpdateParam(QStringLiteral("Programs"), QStringLiteral("Num"), 0, count, CParamFile::Read);
    // a count that cannot grow ("Num" far beyond int reads as INT_MAX) describes no list to add to
    if (count == INT_MAX)
        return failWithCopy();
    ++count;
    if (!copy.UpdateParam(QStringLiteral("Programs"), QStringLiteral("Num"), 0, count, CParamFile::Write))
        return failWithCopy();

    QByteArray section, lines;
    if (!readFile(sectionFile, section) || !sectionLines(section, lines))
        return failWithCopy();

    QFile append(temporary);
    if (!append.open(QIODevice::WriteOnly | QIODevice::Append))
        return failWithCopy();
    const QByteArray added = "\r\n[Prog" + QByteArray::number(count) + "]\r\n" + lines;
    const bool written = append.write(added) == added.size() && append.flush();
    append.close();
    // the list itself is replaced only now, so every earlier failure leaves it whole
    if (!written || std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(listPath).constData()) != 0)
        return failWithCopy();
    return Added::Yes;
}

}  // namespace

// Each change locks the list for its whole read-modify-write, so that programs that several
// processes add at once all stay, numbered without a gap; messages wait until the lock is let go.

int CPrgSection::MakeNew(const QString& listPath)
{
    bool written = false;
    {
        const platform::FileLock lock(listPath);
        written = lock.IsHeld() && writeHeader(listPath);
    }
    return written ? 1 : fail(IDS_PRGLIST_CREATE_FAILED);
}

int CPrgSection::Add(const QString& listPath, const QString& sectionFile)
{
    Added added = Added::CannotUpdate;
    {
        const platform::FileLock lock(listPath);
        if (lock.IsHeld())
            added = addLocked(listPath, sectionFile);
        else if (!CCommonFile::DoesFileExist(listPath))
            added = Added::CannotCreate;  // no list, and none can be made where it would be
    }
    if (added == Added::CannotCreate)
        fail(IDS_PRGLIST_CREATE_FAILED);
    return added == Added::Yes ? 1 : fail(IDS_PRGLIST_UPDATE_FAILED);
}

int CPrgSection::Delete(const QString& listPath, const QString& baseName)
{
    const platform::FileLock lock(listPath);
    if (!lock.IsHeld())
        return 0;
    const QString wanted = baseName + QStringLiteral(".zsf");
    CParamFile list;
    list.SetParameterFile(listPath);
    int found = 0;
    for (int n = 1;; ++n) {
        QString script;
        list.UpdateParam(QStringLiteral("Prog%1").arg(n), QStringLiteral("Script"), QString(), script, CParamFile::Read);
        if (script.isEmpty())
            return 0;
        if (CProgramListFile::TrimEnd(script).compare(wanted, Qt::CaseInsensitive) == 0) {
            found = n;
            break;
        }
    }

    QByteArray bytes;
    if (!readFile(listPath, bytes))
        return 0;
    if (!CProgramListFile::ReplaceList(listPath, CProgramListFile::RemoveSection(bytes, found)))
        return 0;
    CProgramListFile::DecrementCount(listPath);
    return 1;
}
