#include "program/ProgramListFile.h"

#include "platform/CodePage.h"
#include "platform/FileLock.h"
#include "platform/FileReplace.h"
#include "platform/Text.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvndcm/ParamFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>
#include <cstdio>

namespace {

QString decode(const QByteArray& line) { return platform::FromCodePage(line); }

bool isSectionHeader(const QString& trimmed, int n)
{
    return trimmed.compare(QStringLiteral("[Prog%1]").arg(n), Qt::CaseInsensitive) == 0;
}

// "[Prog" ... "]": the number between, as _wtoi reads it
bool programHeader(const QString& trimmed, int* number)
{
    if (!trimmed.startsWith(QLatin1String("[Prog"), Qt::CaseInsensitive) || !trimmed.endsWith(u']'))
        return false;
    *number = platform::_wtoi(trimmed.mid(5, trimmed.size() - 6));
    return true;
}

QByteArray renumbered(int number) { return "[Prog" + QByteArray::number(number) + "]"; }

}  // namespace

QByteArray CProgramListFile::Header()
{
    return "[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\nNum=0\r\n";
}

QList<QByteArray> CProgramListFile::SplitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.mid(start, end - start);
        if (line.endsWith('\r') && end < bytes.size())
            line.chop(1);
        lines.append(line);
        start = next;
    }
    return lines;
}

QString CProgramListFile::TrimEnd(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace())
        --end;
    return text.left(end);
}

QByteArray CProgramListFile::RemoveSection(const QByteArray& bytes, int n)
{
    QByteArray out;
    bool skipping = false;
    for (const QByteArray& line : SplitLines(bytes)) {
        const QString trimmed = TrimEnd(decode(line));
        if (isSectionHeader(trimmed, n)) {
            skipping = true;
            continue;
        }
        if (trimmed.startsWith(u'[')) {
            skipping = false;
            int k = 0;
            // "[Programs]" reads as 0, below every n, and so keeps its name
            if (trimmed.size() >= 7 && programHeader(trimmed, &k) && k >= n)
                out += renumbered(k - 1) + "\r\n";
            else
                out += line + "\r\n";
            continue;
        }
        if (!skipping)
            out += line + "\r\n";
    }
    return out;
}

bool CProgramListFile::ReplaceList(const QString& listPath, const QByteArray& bytes)
{
    const QString temporary = listPath + QStringLiteral(".$$$");
    if (!platform::ReplaceFile(temporary, bytes))
        return false;
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(listPath).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

int CProgramListFile::DecrementCount(const QString& listPath)
{
    CParamFile list;
    list.SetParameterFile(listPath);
    int count = 0;
    list.UpdateParam(QStringLiteral("Programs"), QStringLiteral("Num"), 0, count, CParamFile::Read);
    // "Num" far below int reads as INT_MIN, which has no number below it
    if (count > INT_MIN)
        --count;
    list.UpdateParam(QStringLiteral("Programs"), QStringLiteral("Num"), 0, count, CParamFile::Write);
    return count;
}

QString CProgramListFile::ProgramFolder(const QString& listPath, const QString& script)
{
    const QString listFolder = QDir::cleanPath(QFileInfo(listPath).absolutePath());
    const QString folder = QDir::cleanPath(listFolder + u'/' + CCommonFile::GetBaseFileName(script));
    // "", "." and ".." name the list's own folder or one above it: neither lies directly in it
    return QFileInfo(folder).absolutePath() == listFolder ? folder : QString();
}

std::optional<int> CProgramListFile::RemoveProgram(const QString& listPath, int n, const QString& script)
{
    const platform::FileLock lock(listPath);
    if (!lock.IsHeld())
        return std::nullopt;
    // the dialog read the list when it opened: another process may have changed it since
    CParamFile check;
    QString listed;
    if (!check.SetParameterFile(listPath)
        || !check.UpdateParam(QStringLiteral("Prog%1").arg(n), QStringLiteral("Script"), QString(), listed, CParamFile::Read)
        || listed != script)
        return std::nullopt;
    QFile source(listPath);
    if (!source.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray filtered = RemoveSectionAfterwards(source.readAll(), n);
    source.close();
    if (!ReplaceList(listPath, filtered))
        return std::nullopt;
    return DecrementCount(listPath);
}

QByteArray CProgramListFile::RemoveSectionAfterwards(const QByteArray& bytes, int n)
{
    enum { Before, Inside, After } state = Before;
    QByteArray out;
    for (const QByteArray& line : SplitLines(bytes)) {
        const QString trimmed = TrimEnd(decode(line));
        if (state == Before) {
            if (isSectionHeader(trimmed, n))
                state = Inside;
            else
                out += line + "\r\n";
            continue;
        }
        if (state == Inside) {
            if (!trimmed.startsWith(u'['))
                continue;
            state = After;
        }
        int k = 0;
        // "[Prog" with a number far below int reads as INT_MIN, which has no number below it: kept as it was
        out += (programHeader(trimmed, &k) && k > INT_MIN ? renumbered(k - 1) : line) + "\r\n";
    }
    return out;
}
