#include "host/app/DataFolders.h"

#include "platform/CodePage.h"
#include "platform/FileReplace.h"
#include "support/zvndcm/ParamFile.h"
#include "support/zvnreg/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QByteArray sampleText(const QString& name)
{
    QFile file(QStringLiteral(":/zvnhost/sample/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// the product's files are CP932 with CR LF line ends
QByteArray asProductText(const QString& text)
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    return platform::ToCodePage(crlf);
}

bool writeIfMissing(const QString& path, const QByteArray& bytes)
{
    if (QFileInfo::exists(path))
        return true;
    return QDir().mkpath(QFileInfo(path).absolutePath()) && platform::ReplaceFile(path, bytes);
}

QByteArray sceneFile(const QString& title, const QString& description)
{
    return asProductText(QStringLiteral("[General]\nFileOwner=ZentorinLite\nFileId=Scene\nFileVersion=1.0\n"
                                        "Title=%1\nDescription=%2\n")
                             .arg(title, description));
}

}  // namespace

CDataFolders::CDataFolders(const QString& root) : m_root(root) {}

QString CDataFolders::DefaultRoot()
{
    const QString fromEnvironment = qEnvironmentVariable("ZVNHOST_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/zvnhost");
}

bool CDataFolders::Prepare() const
{
    bool ok = QDir().mkpath(InstallRoot() + QStringLiteral("Prg")) && QDir().mkpath(InstallRoot() + QStringLiteral("Favorites"))
              && QDir().mkpath(InstallRoot() + QStringLiteral("Adf")) && QDir().mkpath(FavoritesRoot());
    ok = ok && writeSampleLists();
    // where the program dialog looks for the special programs' scene files
    QString folder;
    if (!CRegistry::Read(QStringLiteral("Files"), QStringLiteral("PLN"), QString(), folder))
        CRegistry::Write(QStringLiteral("Files"), QStringLiteral("PLN"), m_root + QStringLiteral("/pln"));
    if (!CRegistry::Read(QStringLiteral("Files"), QStringLiteral("ConsGd"), QString(), folder))
        CRegistry::Write(QStringLiteral("Files"), QStringLiteral("ConsGd"), m_root + QStringLiteral("/CnsGd"));
    return ok;
}

bool CDataFolders::writeSampleLists() const
{
    const QByteArray list = asProductText(QString::fromUtf8(sampleText(QStringLiteral("programs.txt"))));
    if (!writeIfMissing(SystemProgramList(), list))
        return false;
    // a scene file for every sample program, where the program dialog looks for it
    CParamFile programs;
    programs.SetParameterFile(SystemProgramList());
    int count = 0;
    programs.UpdateParam(QStringLiteral("Programs"), QStringLiteral("Num"), 0, count, CParamFile::Read);
    for (int n = 1; n <= count; ++n) {
        const QString section = QStringLiteral("Prog%1").arg(n);
        QString type, title, script, summary;
        programs.UpdateParam(section, QStringLiteral("Type"), QStringLiteral("Program"), type, CParamFile::Read);
        programs.UpdateParam(section, QStringLiteral("Title"), QString(), title, CParamFile::Read);
        programs.UpdateParam(section, QStringLiteral("Script"), QString(), script, CParamFile::Read);
        programs.UpdateParam(section, QStringLiteral("Summary"), QString(), summary, CParamFile::Read);
        QString path;
        if (type == u"Today")
            path = m_root + QStringLiteral("/pln/pln.zsf");
        else if (type == u"CnsGuide")
            path = m_root + QStringLiteral("/CnsGd/ori/oric.zsf");
        else
            path = m_root + QStringLiteral("/PRG/") + script.section(u'.', 0, 0) + u'/' + script;
        if (!writeIfMissing(path, sceneFile(title, summary)))
            return false;
    }
    return true;
}
