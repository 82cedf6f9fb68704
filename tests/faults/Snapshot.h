#pragma once
// Every file under a folder, byte for byte, and every folder: what a fault
// test compares before and after, so that nothing lost, added or half
// written goes unseen. The fillers of a full disk are not the user's files.
#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QString>

inline QMap<QString, QByteArray> Snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(folder.size());
        if (it.fileName().startsWith(QLatin1String(".filler")))
            continue;
        QFile file(path);
        files[relative] = it.fileInfo().isDir() ? QByteArray("<folder>") : (file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>");
    }
    return files;
}

// names only, for a readable failure
inline QStringList Names(const QMap<QString, QByteArray>& files) { return files.keys(); }
