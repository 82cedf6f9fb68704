#pragma once
// Draws the star chart of a sky state: stars at their true places for the
// time and place, constellation figures and names, grids, the horizon and
// landscape, pasted deep-sky images, the logo and the on-screen controller,
// each as its display flag says.
#include "host/core/SkyState.h"

#include <QFontMetricsF>
#include <QImage>
#include <QRectF>
#include <vector>
#include <QPointF>
#include <optional>

class CChartProjection {
public:
    CChartProjection(const SkyState& state, const QSize& size);
    // where a direction of the view's frame lands on the chart; none when it is behind the viewer
    std::optional<QPointF> Project(const astro::Spherical& inFrame) const;
    // the same for a J2000 catalogue position
    std::optional<QPointF> ProjectJ2000(const astro::Spherical& j2000) const;
    const astro::Observer& Observer() const { return m_observer; }

private:
    const SkyState& m_state;
    astro::Observer m_observer;
    QSizeF m_size;
    double m_scale;
    bool m_mirror;  // longitudes that grow eastwards run to the left, as the sky is seen from inside
};

// A name to set beside its point on the chart.
struct ChartLabel {
    QPointF at;     // the point it names
    double radius;  // how far the point's own mark reaches
    QString text;
};

// Sets each label, in the order given (the most important first), at the first
// of four places around its point (upper right, lower right, upper left, lower
// left) that overlaps neither a label set before it nor an area `taken` (the
// chart's own text); a label with no room is dropped (an empty rectangle), so
// close stars never write over each other or over the date line.
std::vector<QRectF> PlaceLabels(const std::vector<ChartLabel>& labels, const QFontMetricsF& metrics,
                                const std::vector<QRectF>& taken = {});

class CChartRenderer {
public:
    static QImage Render(const SkyState& state, const QSize& size = QSize(960, 720));
};
