#pragma once
// The sky's contents for the simulated core: the stars to magnitude 6, the
// constellation figures with their Japanese names, the Messier objects.
// Data from the d3-celestial package (BSD-3-Clause), see host/data/.
#include "host/core/Astronomy.h"

#include <QList>
#include <QString>

struct CatalogStar {
    int hip;
    astro::Spherical j2000;
    float magnitude;
    float colorIndex;  // B-V
    QString name;      // Japanese, bright stars only
};

struct CatalogConstellation {
    QString id;
    QString name;  // Japanese
    astro::Spherical label;
    QList<QList<astro::Spherical>> lines;
};

struct CatalogDeepSky {
    QString id;  // "M42"
    astro::Spherical j2000;
    float magnitude;
    QString type;
};

class CSkyCatalog {
public:
    static const CSkyCatalog& Instance();  // read once, from the host's resources

    const QList<CatalogStar>& Stars() const { return m_stars; }
    const QList<CatalogConstellation>& Constellations() const { return m_constellations; }
    const QList<CatalogDeepSky>& DeepSky() const { return m_deepSky; }
    const CatalogStar* StarByHip(int hip) const;

private:
    CSkyCatalog();
    QList<CatalogStar> m_stars;
    QList<CatalogConstellation> m_constellations;
    QList<CatalogDeepSky> m_deepSky;
};
