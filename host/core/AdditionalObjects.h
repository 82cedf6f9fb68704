#pragma once
// The additional objects the user installed from the content library: the
// files registered in the settings ("General\ADF", values "ADF1".."ADF40",
// each "path,title"), read into what the chart draws.
#include "host/core/Astronomy.h"

#include <QList>
#include <QString>

struct AdditionalObject {
    QString kind;          // "Comet"; any other kind is drawn as a point of light
    QString name;          // the title the user installed it under
    astro::Spherical j2000;  // right ascension and declination, degrees
    double magnitude = 6;
    double tailLength = 0;   // degrees
    double tailAngle = 0;    // position angle of the tail, degrees from north through east
};

namespace additional {

// One object file: CP932 text in sections, [General] FileId=AdditionalObject,
// [Object] Kind, Name, RA (hours), Dec, Magnitude, TailLength, TailAngle (degrees).
// False for a file that is not there, not such a file, or has no place in the sky.
bool ReadFile(const QString& path, AdditionalObject& object);

// every registered object whose file reads, in the order of their numbers
QList<AdditionalObject> LoadRegistered();

}  // namespace additional
