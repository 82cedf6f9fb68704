#pragma once
// Draws the star chart of a sky state: stars at their true places for the
// time and place, constellation figures and names, grids, the horizon and
// landscape, pasted deep-sky images, the logo and the on-screen controller,
// each as its display flag says.
#include "host/core/SkyState.h"

#include <QImage>
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

class CChartRenderer {
public:
    static QImage Render(const SkyState& state, const QSize& size = QSize(960, 720));
};
