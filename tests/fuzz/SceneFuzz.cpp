// Scene files. The input is a scene file. Its description is read as the
// favourites read it, the host's keys through the same parameter file; a
// write changes the one value it concerns (which then reads back) and no
// other, and a file that is not text is never written over.
#include "tests/fuzz/FuzzSupport.h"

#include "support/zvndcm/ParamFile.h"
#include "support/zvndcm/ZsfFile.h"

#include <QList>
#include <utility>

namespace {

using Key = std::pair<const char*, const char*>;
// what the reference host writes beside the description
const Key kKeys[] = {
    {"General", "FileOwner"}, {"General", "FileId"}, {"General", "FileVersion"}, {"Time", "JD"},
    {"Time", "TimeZone"}, {"Location", "Latitude"}, {"Location", "Longitude"}, {"Location", "Height"},
    {"View", "Coordinate"}, {"View", "CenterLongitude"}, {"View", "CenterLatitude"}, {"View", "Angle"},
    {"Display", "star.name.visible"}, {"Display", "milkyway.visible"}, {"Programs", "Num"},
};

QStringList values(CParamFile& file)
{
    QStringList out;
    for (const auto& [section, key] : kKeys) {
        QString value;
        const int found = file.UpdateParam(QLatin1String(section), QLatin1String(key), QStringLiteral("-"), value, CParamFile::Read);
        out.append(QString::number(found) + u':' + value);
    }
    return out;
}

// writes one value and checks what the file then holds
void checkWrite(const QString& path, const QString& section, const QString& key, const QString& value)
{
    const QByteArray before = fuzz::ReadFile(path);
    CParamFile file;
    const bool text = file.SetParameterFile(path);
    const QStringList others = values(file);
    QString newValue = value;
    const int written = file.UpdateParam(section, key, QString(), newValue, CParamFile::Write);
    if (!text) {
        fuzz::Check(!written && fuzz::ReadFile(path) == before, "a file that is not text is never written over");
        return;
    }
    fuzz::Check(written == 1, "a text file takes a value");
    CParamFile again;
    again.SetParameterFile(path);
    QString back;
    again.UpdateParam(section, key, QString(), back, CParamFile::Read);
    fuzz::Check(back == value, "a written value reads back", section + u'/' + key + QStringLiteral(": ") + back);
    // the written key itself may be among the host's keys
    QStringList now = values(again);
    for (qsizetype i = 0; i < now.size(); ++i)
        if (QLatin1String(kKeys[i].first) == section && QLatin1String(kKeys[i].second) == key)
            now[i] = others[i];
    fuzz::Check(now == others, "a write changes no other value", others.join(u'\n') + QStringLiteral("\n---\n") + now.join(u'\n'));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Initialize("scene");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::Scratch() + QStringLiteral("/Favorites/scene.zsf");
    fuzz::WriteFile(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    // as the favourites show it: one line, its line breaks given back
    QString description = CZsfFile(path).GetDescription();
    description.replace(QStringLiteral("\\r\\n"), QStringLiteral("\n"));

    checkWrite(path, QStringLiteral("General"), QStringLiteral("Description"), QStringLiteral("冬の大三角\\r\\nオリオン座"));
    checkWrite(path, QStringLiteral("View"), QStringLiteral("Angle"), QStringLiteral("45.0"));

    fuzz::Clear();
    return 0;
}
