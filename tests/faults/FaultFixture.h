#pragma once
// What the fault tests share: every file and folder under a folder, to compare before and after
// (the fillers of a full disk are not the user's files); a dialog run with an action; a sign-in.
#include "cloud/DlgCloudLogin.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempEnvironment.h"

#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>

inline QMap<QString, QByteArray> Snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName().startsWith(QLatin1String(".filler")))
            continue;
        QFile file(path);
        files[path.mid(folder.size())] = it.fileInfo().isDir() ? QByteArray("<folder>") : (file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>");
    }
    return files;
}

// the folder is as it was; else the names now in it, for a readable failure
inline ::testing::AssertionResult Unchanged(const QMap<QString, QByteArray>& before, const QString& folder)
{
    const QMap<QString, QByteArray> now = Snapshot(folder);
    if (now == before)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "now: " << now.keys().join(' ').toStdString();
}

inline int RunDialog(CZntDialog& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.DoModal();
}

inline void SignIn(CDlgCloudLogin& dialog)
{
    qobject_cast<QLineEdit*>(dialog.GetDlgItem(1043))->setText("s@example.org");
    qobject_cast<QLineEdit*>(dialog.GetDlgItem(1044))->setText("pw");
    dialog.DispatchCommand(BN_CLICKED, 1);
}
