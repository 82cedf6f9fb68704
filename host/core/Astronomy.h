#pragma once
// The sky's geometry for the simulated core: time, the observer's place, and
// directions in the four coordinate systems the view can use. Angles are in
// degrees, times as Julian dates (UT).
#include <QDateTime>

namespace astro {

struct Spherical {
    double lon = 0;  // right ascension, azimuth (from north through east), ecliptic or galactic longitude
    double lat = 0;  // declination, altitude, ecliptic or galactic latitude
};

enum class Frame { Horizon, EquatorialDateMean, Ecliptic, Galactic };

double JulianDate(const QDateTime& utc);
QDateTime FromJulianDate(double jd);  // UTC
double GreenwichMeanSiderealDegrees(double jd);

// Years count astronomically here (0 is 1 BC, -1 is 2 BC), as the command
// language does; QDate has no year 0 (its -1 is 1 BC). These two are the only
// crossings between the two counts.
int AstronomicalYear(const QDate& date);
QDate DateOfAstronomicalYear(int year, int month, int day);  // invalid when the day is not in the month

// the era and its year as a calendar writes them: year 0 is "BC 1"
struct EraYear {
    bool bc;
    int year;
};
EraYear ToEraYear(int astronomicalYear);
double Normalize360(double degrees);

// directions at one moment for one observer
class Observer {
public:
    Observer(double jd, double latitude, double longitude);

    double LocalSiderealDegrees() const { return m_lst; }

    // J2000 catalogue position to the mean equator and equinox of the date
    Spherical J2000ToDate(const Spherical& j2000) const;
    Spherical DateToJ2000(const Spherical& date) const;

    // between the equatorial frame of the date and any frame
    Spherical FromEquatorialDate(const Spherical& eq, Frame frame) const;
    Spherical ToEquatorialDate(const Spherical& position, Frame frame) const;

private:
    double m_jd, m_lat, m_lon, m_lst, m_obliquity;
    double m_prec[3][3];  // J2000 to date
};

}  // namespace astro
