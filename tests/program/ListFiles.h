#pragma once
// Program lists as the product writes them (CP932, CR LF), for the tests.
#include "platform/CodePage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace listfiles {

inline QByteArray header(const QString& version = "1.0", const QString& owner = "ZentorinLite", int num = 0)
{
    return QString("[General]\r\nFileOwner=%1\r\nFileId=ProgramList\r\nFileVersion=%2\r\n\r\n[Programs]\r\nNum=%3\r\n")
        .arg(owner, version)
        .arg(num)
        .toLatin1();
}

// one section: "[Prog<n>]" and its key=value lines, in CP932
inline QByteArray section(int n, const QString& type, const QString& title, const QString& script, int time = 0)
{
    QString text = QString("\r\n[Prog%1]\r\nType=%2\r\nTitle=%3\r\nScript=%4\r\n").arg(n).arg(type, title, script);
    if (time)
        text += QString("Time=%1\r\n").arg(time);
    return platform::ToCodePage(text);
}

}  // namespace listfiles
