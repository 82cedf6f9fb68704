#include "host/core/AdditionalObjects.h"

#include "support/zvndcm/ParamFile.h"
#include "support/zvnreg/Registry.h"

#include <QFileInfo>
#include <cmath>

namespace additional {
namespace {

constexpr int kMaxRegistered = 40;

// a number of the file, or none when it is missing or no number at all
bool readNumber(CParamFile& file, const QString& key, double& value)
{
    QString text;
    if (!file.UpdateParam(QStringLiteral("Object"), key, QString(), text, CParamFile::Read))
        return false;
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

// The registered value is "path,title"; a path may hold commas of its own, so
// the path is the shortest part before a comma that names an existing file.
bool splitEntry(const QString& entry, QString& path, QString& title)
{
    for (qsizetype comma = entry.indexOf(u','); comma > 0; comma = entry.indexOf(u',', comma + 1)) {
        if (QFileInfo(entry.left(comma)).isFile()) {
            path = entry.left(comma);
            title = entry.mid(comma + 1);
            return true;
        }
    }
    return false;
}

}  // namespace

bool ReadFile(const QString& path, AdditionalObject& object)
{
    CParamFile file;
    if (!file.SetParameterFile(path))
        return false;
    QString id, version, owner;
    file.GetParamFileProperty(id, version, owner);
    if (id != u"AdditionalObject")
        return false;
    double ra = 0, dec = 0;
    if (!readNumber(file, QStringLiteral("RA"), ra) || !readNumber(file, QStringLiteral("Dec"), dec) || ra < 0 || ra >= 24
        || std::abs(dec) > 90)
        return false;
    object.j2000 = {ra * 15.0, dec};
    file.UpdateParam(QStringLiteral("Object"), QStringLiteral("Kind"), QString(), object.kind, CParamFile::Read);
    file.UpdateParam(QStringLiteral("Object"), QStringLiteral("Name"), QString(), object.name, CParamFile::Read);
    readNumber(file, QStringLiteral("Magnitude"), object.magnitude);
    if (readNumber(file, QStringLiteral("TailLength"), object.tailLength))
        object.tailLength = std::clamp(object.tailLength, 0.0, 90.0);
    readNumber(file, QStringLiteral("TailAngle"), object.tailAngle);
    return true;
}

QList<AdditionalObject> LoadRegistered()
{
    QList<AdditionalObject> objects;
    for (int n = 1; n <= kMaxRegistered; ++n) {
        QString entry, path, title;
        if (!CRegistry::Read(QStringLiteral("General\\ADF"), QStringLiteral("ADF%1").arg(n), QString(), entry))
            continue;
        AdditionalObject object;
        if (!splitEntry(entry, path, title) || !ReadFile(path, object))
            continue;
        if (!title.isEmpty())
            object.name = title;
        objects.append(object);
    }
    return objects;
}

}  // namespace additional
