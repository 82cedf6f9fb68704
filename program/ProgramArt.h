#pragma once
// The program dialog's pictures: the bitmaps it is drawn from, and the
// images composed from them once when the dialog starts (the stretched and
// lightened background, the frame strips, the highlight and its mask), so
// that painting only copies. No window is needed to build or draw them.

#include <QFont>
#include <QImage>
#include <QRect>

class QPainter;

class CProgramArt {
public:
    // Loads the bitmaps from the resource chain and composes the images for
    // a client area, a list whose right edge is `listRight` (where the
    // lighter part begins) and a highlight of `highlight` size.
    void Build(const QSize& client, int listRight, const QSize& highlight);

    const QImage& Background() const { return m_bmpBackground; }
    const QImage& Title() const { return m_bmpTitle; }
    const QImage& Highlight() const { return m_bmpHighlight; }
    const QImage& HighlightMask() const { return m_bmpHighlightMask; }

    // corners, then the four strips, at the client area's edges
    void DrawFrame(QPainter& dc, const QSize& client) const;

    // the source stretched to the client size, each channel c at or right of
    // `lightenFrom` replaced by trunc(c * 0.5 + 127.5)
    static QImage StretchedBackground(const QImage& source, const QSize& client, int lightenFrom);
    // a piece repeated along a strip of the given length
    static QImage Strip(const QImage& piece, int length, Qt::Orientation orientation);
    // pieces: corners top-left, top-right, bottom-left, bottom-right, edges top, bottom, left, right;
    // the key colour (255, 0, 0) becomes white in the mask and black in the image
    static void ComposeHighlight(const QImage (&pieces)[8], const QSize& size, const QColor& interior, QImage& image,
                                 QImage& mask);
    // the mask combined with AND, then the image with OR
    static void DrawMasked(QPainter& dc, const QPoint& at, const QImage& mask, const QImage& image);
    // the font with the cell height trunc(ratio * n) pixels: each line of its text takes that many
    static QFont CellHeightFont(const QFont& base, int n, double ratio);
    static int LineHeight(const QFont& font);  // the height of "M", one line
    // Word-wrapped text with `leading` times the line height between lines,
    // drawn black over what lies below; returns the height used.
    static int DrawTextLeading(QPainter* dc, const QFont* font, const QString& text, const QRect* rect, int format,
                               double leading);

private:
    QImage m_bmpBackground;
    QImage m_bmpTitle;
    QImage m_bmpCorners[4];  // top-left, top-right, bottom-left, bottom-right
    QImage m_bmpStrips[4];   // top, bottom, left, right
    QImage m_bmpHighlight;
    QImage m_bmpHighlightMask;
};
