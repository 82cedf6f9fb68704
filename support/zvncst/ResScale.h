#pragma once
// The display's scale: 1.0 at 96 dots per inch, 1.5 at 144.
#include <QImage>

class QPaintDevice;

class CResScale {
public:
    CResScale() = default;
    // a bitmap drawn for width x height at 96 dpi; `keepAspect` 1 keeps its proportions when scaled
    CResScale(int width, int height, int keepAspect) : m_nWidth(width), m_nHeight(height), m_nKeepAspect(keepAspect) {}

    // the scale of the device (a widget's screen), or of the primary screen for null
    static double GetRatio(const QPaintDevice* device = nullptr);

    // destination becomes the source scaled by the ratio (smoothly); 1 on success
    int GetBitmap(const QPaintDevice* device, QImage& destination, const QImage& source, int x = 0, int y = 0) const;

private:
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nKeepAspect = 1;
};
