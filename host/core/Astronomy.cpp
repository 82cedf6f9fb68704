#include "host/core/Astronomy.h"

#include <QTimeZone>
#include <algorithm>
#include <cmath>

namespace astro {
namespace {

constexpr double kRad = M_PI / 180.0;

struct Vec {
    double x, y, z;
};

Vec toVec(const Spherical& s)
{
    const double cl = std::cos(s.lat * kRad);
    return {cl * std::cos(s.lon * kRad), cl * std::sin(s.lon * kRad), std::sin(s.lat * kRad)};
}

Spherical toSpherical(const Vec& v)
{
    return {Normalize360(std::atan2(v.y, v.x) / kRad), std::asin(std::clamp(v.z, -1.0, 1.0)) / kRad};
}

Vec apply(const double m[3][3], const Vec& v)
{
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

Vec applyTransposed(const double m[3][3], const Vec& v)
{
    return {m[0][0] * v.x + m[1][0] * v.y + m[2][0] * v.z, m[0][1] * v.x + m[1][1] * v.y + m[2][1] * v.z,
            m[0][2] * v.x + m[1][2] * v.y + m[2][2] * v.z};
}

// J2000 equatorial to galactic (IAU 1958 pole, in the J2000 frame)
constexpr double kGalactic[3][3] = {
    {-0.0548755604, -0.8734370902, -0.4838350155},
    {+0.4941094279, -0.4448296300, +0.7469822445},
    {-0.8676661490, -0.1980763734, +0.4559837762},
};

}  // namespace

double Normalize360(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    return d < 0 ? d + 360.0 : d;
}

double JulianDate(const QDateTime& utc)
{
    return 2440587.5 + utc.toMSecsSinceEpoch() / 86400000.0;
}

QDateTime FromJulianDate(double jd)
{
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround((jd - 2440587.5) * 86400000.0)), Qt::UTC);
}

int AstronomicalYear(const QDate& date) { return date.year() < 0 ? date.year() + 1 : date.year(); }

QDate DateOfAstronomicalYear(int year, int month, int day) { return QDate(year <= 0 ? year - 1 : year, month, day); }

EraYear ToEraYear(int astronomicalYear)
{
    return astronomicalYear > 0 ? EraYear{false, astronomicalYear} : EraYear{true, 1 - astronomicalYear};
}

double GreenwichMeanSiderealDegrees(double jd)
{
    const double d = jd - 2451545.0;
    const double t = d / 36525.0;
    return Normalize360(280.46061837 + 360.98564736629 * d + 0.000387933 * t * t - t * t * t / 38710000.0);
}

Observer::Observer(double jd, double latitude, double longitude)
    : m_jd(jd), m_lat(latitude), m_lon(longitude),
      m_lst(Normalize360(GreenwichMeanSiderealDegrees(jd) + longitude))
{
    const double t = (jd - 2451545.0) / 36525.0;
    m_obliquity = 23.439291 - 0.0130042 * t;
    // precession angles (Lieske 1977), arc seconds
    const double zeta = (2306.2181 * t + 0.30188 * t * t + 0.017998 * t * t * t) / 3600.0 * kRad;
    const double z = (2306.2181 * t + 1.09468 * t * t + 0.018203 * t * t * t) / 3600.0 * kRad;
    const double theta = (2004.3109 * t - 0.42665 * t * t - 0.041833 * t * t * t) / 3600.0 * kRad;
    const double cz = std::cos(zeta), sz = std::sin(zeta), cZ = std::cos(z), sZ = std::sin(z);
    const double ct = std::cos(theta), st = std::sin(theta);
    const double m[3][3] = {
        {cz * ct * cZ - sz * sZ, -sz * ct * cZ - cz * sZ, -st * cZ},
        {cz * ct * sZ + sz * cZ, -sz * ct * sZ + cz * cZ, -st * sZ},
        {cz * st, -sz * st, ct},
    };
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m_prec[i][j] = m[i][j];
}

Spherical Observer::J2000ToDate(const Spherical& j2000) const { return toSpherical(apply(m_prec, toVec(j2000))); }

Spherical Observer::DateToJ2000(const Spherical& date) const { return toSpherical(applyTransposed(m_prec, toVec(date))); }

Spherical Observer::FromEquatorialDate(const Spherical& eq, Frame frame) const
{
    switch (frame) {
    case Frame::EquatorialDateMean:
        return {Normalize360(eq.lon), eq.lat};
    case Frame::Horizon: {
        const double h = (m_lst - eq.lon) * kRad, d = eq.lat * kRad, p = m_lat * kRad;
        const double alt = std::asin(std::clamp(std::sin(d) * std::sin(p) + std::cos(d) * std::cos(p) * std::cos(h), -1.0, 1.0));
        const double az = std::atan2(-std::sin(h) * std::cos(d), std::sin(d) * std::cos(p) - std::cos(d) * std::sin(p) * std::cos(h));
        return {Normalize360(az / kRad), alt / kRad};
    }
    case Frame::Ecliptic: {
        const double e = m_obliquity * kRad, a = eq.lon * kRad, d = eq.lat * kRad;
        const double lambda = std::atan2(std::sin(a) * std::cos(e) + std::tan(d) * std::sin(e), std::cos(a));
        const double beta = std::asin(std::clamp(std::sin(d) * std::cos(e) - std::cos(d) * std::sin(e) * std::sin(a), -1.0, 1.0));
        return {Normalize360(lambda / kRad), beta / kRad};
    }
    case Frame::Galactic:
        return toSpherical(apply(kGalactic, toVec(DateToJ2000(eq))));
    }
    return eq;
}

Spherical Observer::ToEquatorialDate(const Spherical& s, Frame frame) const
{
    switch (frame) {
    case Frame::EquatorialDateMean:
        return {Normalize360(s.lon), s.lat};
    case Frame::Horizon: {
        const double az = s.lon * kRad, alt = s.lat * kRad, p = m_lat * kRad;
        const double dec = std::asin(std::clamp(std::sin(alt) * std::sin(p) + std::cos(alt) * std::cos(p) * std::cos(az), -1.0, 1.0));
        const double h = std::atan2(-std::sin(az) * std::cos(alt), std::sin(alt) * std::cos(p) - std::cos(alt) * std::sin(p) * std::cos(az));
        return {Normalize360(m_lst - h / kRad), dec / kRad};
    }
    case Frame::Ecliptic: {
        const double e = m_obliquity * kRad, l = s.lon * kRad, b = s.lat * kRad;
        const double ra = std::atan2(std::sin(l) * std::cos(e) - std::tan(b) * std::sin(e), std::cos(l));
        const double dec = std::asin(std::clamp(std::sin(b) * std::cos(e) + std::cos(b) * std::sin(e) * std::sin(l), -1.0, 1.0));
        return {Normalize360(ra / kRad), dec / kRad};
    }
    case Frame::Galactic:
        return J2000ToDate(toSpherical(applyTransposed(kGalactic, toVec(s))));
    }
    return s;
}

}  // namespace astro
