#include "program/ProgramListReader.h"

#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "platform/Text.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvndcm/ParamFile.h"
#include "support/zvnreg/Registry.h"

#include <algorithm>

namespace {

constexpr int IDS_PRGLIST_BAD_FORMAT = 16005;
constexpr int IDS_PRGLIST_NOT_FOUND = 16006;
constexpr int kMaxPrograms = 100000;
constexpr int kMaxMissingSections = 1000;

// the drive and folder of a path, ending in "/"
QString folderOf(const QString& path) { return path.left(path.lastIndexOf(u'/') + 1); }

QString registeredFolder(const QString& value)
{
    QString folder;
    if (!CRegistry::Read(QStringLiteral("Files"), value, QString(), folder))
        return {};
    return folder;
}

}  // namespace

bool CProgramListReader::iconsFor(int isSystem, const QString& type, const QImage** icon, const QImage** mask) const
{
    // resource numbers of icon and mask by list and type (exact case)
    int iconId = 0, maskId = 0;
    if (isSystem && (type == u"Today" || type == u"CnsGuide"))
        iconId = 16040, maskId = 16035;
    else if (isSystem && type == u"Program")
        iconId = 16041, maskId = 16036;
    else if (isSystem && type == u"BGV")
        iconId = 16042, maskId = 16037;
    else if (!isSystem && type == u"Program")
        iconId = 16043, maskId = 16038;
    else if (!isSystem && type == u"BGV")
        iconId = 16044, maskId = 16039;
    else
        return false;
    *icon = m_icons ? &m_icons[iconId - 16035] : nullptr;
    *mask = m_icons ? &m_icons[maskId - 16035] : nullptr;
    return true;
}

int CProgramListReader::DoRead(CParamFile* file, int isSystem, QList<tagPROGITEM>& programs) const
{
    int count = 0;
    file->UpdateParam(QStringLiteral("Programs"), QStringLiteral("Num"), 0, count, CParamFile::Read);
    // room for the programs at once (a count no list reaches is not trusted with memory)
    programs.reserve(programs.size() + std::clamp(count, 0, kMaxPrograms));
    for (int n = 1; n <= count; ++n) {
        const QString section = QStringLiteral("Prog%1").arg(n);
        tagPROGITEM item;
        const auto text = [&](const QString& key, QString& value, const QString& fallback = QString()) {
            file->UpdateParam(section, key, fallback, value, CParamFile::Read);
        };
        text(QStringLiteral("Type"), item.type, QStringLiteral("Program"));
        text(QStringLiteral("Jimaku"), item.jimaku, QStringLiteral("NO"));
        text(QStringLiteral("Title"), item.title);
        text(QStringLiteral("SubTitle"), item.subTitle);
        text(QStringLiteral("Script"), item.script);
        text(QStringLiteral("Summary"), item.summary);
        file->UpdateParam(section, QStringLiteral("Time"), 0, item.time, CParamFile::Read);
        text(QStringLiteral("Narrator"), item.narrator);
        text(QStringLiteral("Artist"), item.artist);
        text(QStringLiteral("ArtWork"), item.artWork);
        text(QStringLiteral("Profile"), item.profile);
        text(QStringLiteral("Org"), item.org);
        text(QStringLiteral("OrgInfo"), item.orgInfo);
        text(QStringLiteral("Music"), item.music);
        text(QStringLiteral("Year"), item.year);
        if (!iconsFor(isSystem, item.type, &item.icon, &item.iconMask))
            return 0;
        item.isSystem = isSystem;
        item.progNum = n;
        programs.append(std::move(item));
    }
    return 1;
}

bool CProgramListReader::HeaderIsValid(CParamFile& file)
{
    QString id, version, owner;
    file.GetParamFileProperty(id, version, owner);
    if (owner != u"ZentorinLite" || id != u"ProgramList" || platform::_wtof(version) > 1.0)
        return false;
    // a missing section reads as a default program, but a count far beyond the sections
    // the file holds, or beyond any list there is, describes no list: it would only make phantoms
    int count = 0;
    file.UpdateParam(QStringLiteral("Programs"), QStringLiteral("Num"), 0, count, CParamFile::Read);
    return count <= kMaxPrograms && count <= file.GetSectionCount() + kMaxMissingSections;
}

bool CProgramListReader::OpenList(const QString& path, CParamFile& file)
{
    file.SetParameterFile(path);
    if (HeaderIsValid(file))
        return true;
    platform::MessageBox(nullptr, platform::LoadString(IDS_PRGLIST_BAD_FORMAT), platform::MB_OK | platform::MB_ICONHAND);
    return false;
}

int CProgramListReader::ReadLists(const QString& systemList, const QString& userList,
                                  const std::function<int(CParamFile*, int)>& readOne)
{
    if (!CCommonFile::DoesFileExist(systemList)) {
        platform::MessageBox(nullptr, platform::LoadString(IDS_PRGLIST_NOT_FOUND).replace(QStringLiteral("%1"), systemList),
                             platform::MB_OK);
        return 0;
    }
    CParamFile system;
    if (!OpenList(systemList, system))
        return 0;
    readOne(&system, 1);
    if (!CCommonFile::DoesFileExist(userList))
        return 1;
    CParamFile user;
    if (!OpenList(userList, user))
        return 0;  // the system programs stay loaded
    readOne(&user, 0);
    return 1;
}

CProgramListReader::SceneFolders CProgramListReader::RegisteredSceneFolders()
{
    return {registeredFolder(QStringLiteral("PLN")), registeredFolder(QStringLiteral("ConsGd")), registeredFolder(QStringLiteral("PRG"))};
}

int CProgramListReader::FindScene(const QString& type, const QString& script, int isSystem, const QString& systemList,
                                  const QString& userList, QString& actualPath, QString& kind, QString& shortKind)
{
    return FindScene(type, script, isSystem, systemList, userList, RegisteredSceneFolders(), actualPath, kind, shortKind);
}

int CProgramListReader::FindScene(const QString& type, const QString& script, int isSystem, const QString& systemList,
                                  const QString& userList, const SceneFolders& registered, QString& actualPath, QString& kind,
                                  QString& shortKind)
{
    const QString base = script.contains(u'.') ? script.left(script.indexOf(u'.')) : QString();
    // a scene is a file in its program's own folder: a script naming another folder names none
    const bool plainName = !script.contains(u'/') && !script.contains(u'\\');
    QStringList candidates;
    if (type.compare(u"Today", Qt::CaseInsensitive) == 0) {
        kind = QStringLiteral("プラネタリウム番組");
        shortKind = QStringLiteral("プラネタリウム");
        if (!registered.pln.isEmpty())
            candidates << registered.pln + QStringLiteral("/pln.zsf");
        candidates << CCommonFile::GetModulePath() + QStringLiteral("../pln/pln.zsf");
    } else if (type.compare(u"CnsGuide", Qt::CaseInsensitive) == 0) {
        kind = QStringLiteral("88星座ガイド");
        shortKind = QStringLiteral("星座ガイド");
        if (!registered.consGd.isEmpty())
            candidates << registered.consGd + QStringLiteral("/ori/oric.zsf");
        candidates << CCommonFile::GetModulePath() + QStringLiteral("../CnsGd/ori/oric.zsf");
    } else if (type.compare(u"Program", Qt::CaseInsensitive) == 0 || type.compare(u"BGV", Qt::CaseInsensitive) == 0) {
        kind = QStringLiteral("プラネタリウム番組");
        shortKind = QStringLiteral("プラネタリウム");
        const QString folder = isSystem ? registered.prg : QString();
        if (!plainName)
            ;
        else if (!isSystem)
            candidates << folderOf(userList) + base + u'/' + script;
        else if (!folder.isEmpty())  // a registered folder is the only place: no fallback
            candidates << folder + u'/' + base + u'/' + script;
        else
            candidates << folderOf(systemList) + QStringLiteral("../PRG/") + base + u'/' + script;
    } else {
        kind.clear();
        shortKind.clear();
        return 0;
    }
    for (const QString& candidate : candidates) {
        if (CCommonFile::DoesFileExist(candidate)) {
            actualPath = candidate;
            return 1;
        }
    }
    return 0;
}
