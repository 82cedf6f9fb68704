#pragma once
// Everything the simulated core's view depends on.
#include "host/core/AdditionalObjects.h"
#include "host/core/Astronomy.h"

#include <QMap>
#include <QString>

struct SkyState {
    double jd = 2451545.0;             // UT
    double latitude = 35.6895;         // Tokyo
    double longitude = 139.6917;
    double height = 40.0;              // metres
    double timezone = 9.0;             // hours east of UTC
    astro::Frame frame = astro::Frame::Horizon;
    astro::Spherical center{180.0, 30.0};  // in `frame`: looking south, 30 degrees up
    double angle = 90.0;               // field of view across the chart, degrees
    QMap<QString, bool> flags;         // by lower-case property path
    QList<AdditionalObject> additional;  // installed from the content library

    bool Flag(const QString& path) const { return flags.value(path.toLower(), false); }
    astro::Observer Observer() const { return astro::Observer(jd, latitude, longitude); }
};
