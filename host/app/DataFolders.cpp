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

// The sky each sample show begins with, by its scene file's name: what the core
// shows when the show is opened. Today's sky keeps the view's own time.
QString sampleSky(const QString& script)
{
    static const struct { const char* script; const char* sky; } skies[] = {
        {"pln.zsf", "[View]\nCoordinate=Horizon\nCenterLongitude=180\nCenterLatitude=35\nAngle=100\n"},
        {"oric.zsf", "[Time]\nJD=2461055.95834\nTimeZone=9\n[View]\nCoordinate=Horizon\nCenterLongitude=170\n"
                     "CenterLatitude=40\nAngle=60\n[Display]\nconstellation.line.visible=TRUE\nconstellation.name.visible=TRUE\n"},
        {"winter.zsf", "[Time]\nJD=2461055.95834\nTimeZone=9\n[View]\nCoordinate=Horizon\nCenterLongitude=180\n"
                       "CenterLatitude=35\nAngle=90\n[Display]\nconstellation.line.visible=TRUE\nstar.name.visible=TRUE\n"},
        {"tanabata.zsf", "[Time]\nJD=2461229.0\nTimeZone=9\n[View]\nCoordinate=Horizon\nCenterLongitude=110\n"
                         "CenterLatitude=60\nAngle=100\n[Display]\nmilkyway.visible=TRUE\nstar.name.visible=TRUE\n"},
        {"solar.zsf", "[Time]\nJD=2461119.916667\nTimeZone=9\n[View]\nCoordinate=Horizon\nCenterLongitude=250\n"
                      "CenterLatitude=20\nAngle=120\n[Display]\nCoordinatesLine.Ecliptic.visible=TRUE\n"},
        {"piano.zsf", "[Time]\nJD=2461268.0\nTimeZone=9\n[View]\nCoordinate=Horizon\nCenterLongitude=180\n"
                      "CenterLatitude=40\nAngle=120\n[Display]\nmilkyway.visible=TRUE\nconstellation.line.visible=FALSE\n"},
    };
    for (const auto& s : skies)
        if (script.compare(QLatin1String(s.script), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(s.sky);
    return {};
}

QByteArray sceneFile(const QString& title, const QString& description, const QString& script)
{
    return asProductText(QStringLiteral("[General]\nFileOwner=ZentorinLite\nFileId=Scene\nFileVersion=1.0\n"
                                        "Title=%1\nDescription=%2\n")
                             .arg(title, description)
                         + sampleSky(script));
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
        if (!writeIfMissing(path, sceneFile(title, summary, QFileInfo(path).fileName())))
            return false;
    }
    return true;
}
