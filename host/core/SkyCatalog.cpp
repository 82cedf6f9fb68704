#include "host/core/SkyCatalog.h"

#include <QFile>
#include <QStringList>

namespace {

QList<QStringList> readTable(const QString& path)
{
    QList<QStringList> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        rows.append(line.split(u'\t'));
    }
    return rows;
}

astro::Spherical point(const QString& text)
{
    const qsizetype comma = text.indexOf(u',');
    return {text.left(comma).toDouble(), text.mid(comma + 1).toDouble()};
}

}  // namespace

const CSkyCatalog& CSkyCatalog::Instance()
{
    static const CSkyCatalog catalog;
    return catalog;
}

CSkyCatalog::CSkyCatalog()
{
    for (const QStringList& r : readTable(QStringLiteral(":/zvnhost/data/stars.tsv")))
        if (r.size() >= 5)
            m_stars.append({r[0].toInt(), {r[1].toDouble(), r[2].toDouble()}, r[3].toFloat(), r[4].toFloat(),
                            r.value(5)});
    for (const QStringList& r : readTable(QStringLiteral(":/zvnhost/data/constellations.tsv"))) {
        if (r.size() < 5)
            continue;
        CatalogConstellation c{r[0], r[1], {r[2].toDouble(), r[3].toDouble()}, {}};
        for (const QString& line : r[4].split(u'|')) {
            QList<astro::Spherical> points;
            for (const QString& p : line.split(u' ', Qt::SkipEmptyParts))
                points.append(point(p));
            c.lines.append(points);
        }
        m_constellations.append(c);
    }
    for (const QStringList& r : readTable(QStringLiteral(":/zvnhost/data/messier.tsv")))
        if (r.size() >= 5)
            m_deepSky.append({r[0], {r[1].toDouble(), r[2].toDouble()}, r[3].toFloat(), r[4]});
}

const CatalogStar* CSkyCatalog::StarByHip(int hip) const
{
    for (const CatalogStar& s : m_stars)
        if (s.hip == hip)
            return &s;
    return nullptr;
}
