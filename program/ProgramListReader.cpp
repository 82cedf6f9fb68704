#include "program/ProgramListReader.h"

#include "platform/FileRead.h"
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
QStringView folderOf(const QString& path) { return QStringView(path).first(path.lastIndexOf(u'/') + 1); }

// a program type without regard to case; letter case never changes its length
bool isType(const QString& type, QStringView name)
{
    return type.size() == name.size() && type.compare(name, Qt::CaseInsensitive) == 0;
}

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
    // room for the programs at once (a count no list reaches is not trusted with memory)
    programs.reserve(programs.size() + std::clamp(programCount(*file), 0, kMaxPrograms));
    return ReadEach(file, isSystem, AllFields, [&](tagPROGITEM& item) { programs.append(std::move(item)); });
}

int CProgramListReader::ReadEach(CParamFile* file, int isSystem, Fields fields,
                                 const std::function<void(tagPROGITEM&)>& take) const
{
    const int count = programCount(*file);
    for (int n = 1; n <= count; ++n) {
        const QString section = QStringLiteral("Prog") + QString::number(n);
        tagPROGITEM item;
        const auto text = [&](const QString& key, QString& value, const QString& fallback = QString()) {
            file->UpdateParam(section, key, fallback, value, CParamFile::Read);
        };
        text(QStringLiteral("Type"), item.type, QStringLiteral("Program"));
        if (fields == AllFields)
            text(QStringLiteral("Jimaku"), item.jimaku, QStringLiteral("NO"));
        text(QStringLiteral("Title"), item.title);
        if (fields == AllFields)
            text(QStringLiteral("SubTitle"), item.subTitle);
        text(QStringLiteral("Script"), item.script);
        file->UpdateParam(section, QStringLiteral("Time"), 0, item.time, CParamFile::Read);
        if (fields == AllFields) {
            text(QStringLiteral("Summary"), item.summary);
            text(QStringLiteral("Narrator"), item.narrator);
            text(QStringLiteral("Artist"), item.artist);
            text(QStringLiteral("ArtWork"), item.artWork);
            text(QStringLiteral("Profile"), item.profile);
            text(QStringLiteral("Org"), item.org);
            text(QStringLiteral("OrgInfo"), item.orgInfo);
            text(QStringLiteral("Music"), item.music);
            text(QStringLiteral("Year"), item.year);
        }
        if (!iconsFor(isSystem, item.type, &item.icon, &item.iconMask))
            return 0;
        item.isSystem = isSystem;
        item.progNum = n;
        take(item);
    }
    return 1;
}

int CProgramListReader::programCount(CParamFile& file)
{
    int count = 0;
    file.UpdateParam(QStringLiteral("Programs"), QStringLiteral("Num"), 0, count, CParamFile::Read);
    return count;
}

bool CProgramListReader::HeaderIsValid(CParamFile& file)
{
    QString id, version, owner;
    file.GetParamFileProperty(id, version, owner);
    if (owner != u"ZentorinLite" || id != u"ProgramList" || platform::_wtof(version) > 1.0)
        return false;
    // a missing section reads as a default program, but a count far beyond the sections
    // the file holds, or beyond any list there is, describes no list: it would only make phantoms
    const int count = programCount(file);
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

CProgramListReader::ScenePlaces CProgramListReader::SceneCandidates(const QString& type, const QString& script, int isSystem,
                                                                     const QString& systemList, const QString& userList,
                                                                     const SceneFolders& registered)
{
    ScenePlaces places;
    if (isType(type, u"Today")) {
        places.kind = QStringLiteral("プラネタリウム番組");
        places.shortKind = QStringLiteral("プラネタリウム");
        if (!registered.pln.isEmpty())
            places.paths << registered.pln + QStringLiteral("/pln.zsf");
        places.paths << CCommonFile::GetModulePath() + QStringLiteral("../pln/pln.zsf");
    } else if (isType(type, u"CnsGuide")) {
        places.kind = QStringLiteral("88星座ガイド");
        places.shortKind = QStringLiteral("星座ガイド");
        if (!registered.consGd.isEmpty())
            places.paths << registered.consGd + QStringLiteral("/ori/oric.zsf");
        places.paths << CCommonFile::GetModulePath() + QStringLiteral("../CnsGd/ori/oric.zsf");
    } else if (isType(type, u"Program") || isType(type, u"BGV")) {
        places.kind = QStringLiteral("プラネタリウム番組");
        places.shortKind = QStringLiteral("プラネタリウム");
        // a scene is a file in its program's own folder: a script naming another folder names none
        if (script.contains(u'/') || script.contains(u'\\'))
            return places;
        const qsizetype dot = script.indexOf(u'.');
        const QStringView base = dot < 0 ? QStringView() : QStringView(script).first(dot);
        // one string a path, put together in place: a list of 10,000 programs makes 10,000 of them
        const auto inFolder = [&](QStringView folder, QStringView below) {
            QString path;
            path.reserve(folder.size() + below.size() + base.size() + 1 + script.size());
            path.append(folder).append(below).append(base).append(u'/').append(script);
            places.paths << path;
        };
        if (!isSystem)
            inFolder(folderOf(userList), {});
        else if (!registered.prg.isEmpty())  // a registered folder is the only place: no fallback
            inFolder(registered.prg, u"/");
        else
            inFolder(folderOf(systemList), u"../PRG/");
    }
    return places;
}

QString CProgramListReader::FirstExisting(const QStringList& paths, platform::FileLookups* lookups)
{
    for (const QString& path : paths)
        if (lookups ? lookups->isFile(path) : CCommonFile::DoesFileExist(path))
            return path;
    return {};
}

int CProgramListReader::FindScene(const QString& type, const QString& script, int isSystem, const QString& systemList,
                                  const QString& userList, const SceneFolders& registered, QString& actualPath, QString& kind,
                                  QString& shortKind)
{
    const ScenePlaces places = SceneCandidates(type, script, isSystem, systemList, userList, registered);
    kind = places.kind;
    shortKind = places.shortKind;
    const QString found = FirstExisting(places.paths);
    if (found.isEmpty())
        return 0;
    actualPath = found;
    return 1;
}
