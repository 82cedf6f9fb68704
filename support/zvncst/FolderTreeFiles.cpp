#include "support/zvncst/FolderTreeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>

namespace foldertree {

namespace {

const QString kForbidden = QStringLiteral("\\/:,;*?\"<>|");

// the path with its links resolved; for a path not (yet) there, its folder's resolved path and its name
QString resolved(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QString() : folder + u'/' + info.fileName();
}

}  // namespace

NameCheck CheckName(const QString& name, const QString& suffix)
{
    if (name.isEmpty())
        return NameCheck::Empty;
    for (const QChar c : name)
        if (kForbidden.contains(c))
            return NameCheck::ForbiddenCharacter;
    bool onlyDots = true;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return NameCheck::Unusable;
        onlyDots = onlyDots && c == u'.';
    }
    if (onlyDots || QFile::encodeName(name + suffix).size() > NAME_MAX)
        return NameCheck::Unusable;
    return NameCheck::Ok;
}

QString EmptyNameMessage() { return QStringLiteral("ファイル名を入力してください。"); }

QString ForbiddenCharactersMessage()
{
    QStringList characters;
    for (const QChar c : kForbidden)
        characters.append(QString(c));
    return QStringLiteral("ファイル名には次の文字は使用できません。\n") + QString(9, u' ') + characters.join(u' ');
}

QString ExistsMessage(const QString& path) { return QStringLiteral("%1 は既に存在します。").arg(path); }

bool IsInside(const QString& root, const QString& path)
{
    const QString top = QFileInfo(root).canonicalFilePath();
    const QString item = resolved(path);
    return !top.isEmpty() && !item.isEmpty() && (item == top || item.startsWith(top + u'/'));
}

QString NewFolderName(const QString& parent)
{
    const QString base = QStringLiteral("新しいフォルダー");
    QString name = base;
    for (int n = 2; QFileInfo(QDir(parent).filePath(name)).exists() || QFileInfo(QDir(parent).filePath(name)).isSymLink(); ++n)
        name = QStringLiteral("%1 (%2)").arg(base).arg(n);
    return name;
}

MoveResult Move(const QString& root, const QString& from, const QString& target)
{
    // the item itself, not where a link of it leads, is what moves
    const QString item = QFileInfo(QFileInfo(from).absolutePath()).canonicalFilePath() + u'/' + QFileInfo(from).fileName();
    if (!IsInside(root, QFileInfo(from).absolutePath()) || !IsInside(root, QFileInfo(target).absolutePath())
        || item == QFileInfo(root).canonicalFilePath())
        return MoveResult::Outside;
    const QString to = resolved(QFileInfo(target).absolutePath()) + u'/' + QFileInfo(target).fileName();
    if (to == item || to.startsWith(item + u'/'))
        return MoveResult::IntoItself;
    const QFileInfo there(to);
    if (there.exists() || there.isSymLink())
        return MoveResult::Exists;
    const QByteArray a = QFile::encodeName(item), b = QFile::encodeName(to);
    // the kernel refuses to replace what appears meanwhile
    if (renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return MoveResult::Moved;
    if (errno == EEXIST)
        return MoveResult::Exists;
    return MoveResult::Failed;
}

TrashResult MoveToTrash(const QString& root, const QString& path)
{
    if (!IsInside(root, QFileInfo(path).absolutePath()) || resolved(path) == QFileInfo(root).canonicalFilePath())
        return TrashResult::Outside;
    // Qt puts the item into the working folder when it cannot make the home trash: make it first
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data + QStringLiteral("/Trash/files")) || !QDir().mkpath(data + QStringLiteral("/Trash/info")))
        return TrashResult::Refused;
    return QFile::moveToTrash(path) ? TrashResult::Trashed : TrashResult::Refused;
}

bool DeleteForGood(const QString& root, const QString& path)
{
    if (!IsInside(root, QFileInfo(path).absolutePath()) || resolved(path) == QFileInfo(root).canonicalFilePath())
        return false;
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();  // links inside are removed, not followed
    return QFile::remove(path);
}

}  // namespace foldertree
