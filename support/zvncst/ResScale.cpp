#include "support/zvncst/ResScale.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <cmath>

double CResScale::GetRatio(const QPaintDevice* device)
{
    if (device && device->logicalDpiX() > 0)
        return device->logicalDpiX() / 96.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() / 96.0 : 1.0;
}

int CResScale::GetBitmap(const QPaintDevice* device, QImage& destination, const QImage& source, int, int) const
{
    if (source.isNull())
        return 0;
    const double ratio = GetRatio(device);
    const QSize base = m_nWidth > 0 && m_nHeight > 0 ? QSize(m_nWidth, m_nHeight) : source.size();
    const QSize target(static_cast<int>(std::lround(base.width() * ratio)),
                       static_cast<int>(std::lround(base.height() * ratio)));
    destination = target == source.size()
                      ? source
                      : source.scaled(target, m_nKeepAspect ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation);
    return 1;
}
