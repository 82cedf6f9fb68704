#include "program/ProgramArt.h"

#include "platform/ResourceChain.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kCornerSize = 20;
constexpr int kEdgeSize = 10;
const QColor kHighlightInterior(0x50, 0x51, 0x54);
const QColor kHighlightKey(0xFF, 0x00, 0x00);

QImage opaque(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

}  // namespace

void CProgramArt::Build(const QSize& client, int listRight, const QSize& highlight)
{
    m_bmpBackground = StretchedBackground(platform::LoadBitmap(16045), client, listRight);
    m_bmpTitle = platform::LoadBitmap(16025);
    const int corners[4] = {16016, 16019, 16014, 16017};
    for (int i = 0; i < 4; ++i)
        m_bmpCorners[i] = platform::LoadBitmap(corners[i]);
    const int across = client.width() - 2 * kCornerSize, down = client.height() - 2 * kCornerSize;
    m_bmpStrips[0] = Strip(platform::LoadBitmap(16020), across, Qt::Horizontal);
    m_bmpStrips[1] = Strip(platform::LoadBitmap(16013), across, Qt::Horizontal);
    m_bmpStrips[2] = Strip(platform::LoadBitmap(16015), down, Qt::Vertical);
    m_bmpStrips[3] = Strip(platform::LoadBitmap(16018), down, Qt::Vertical);
    const int pieceIds[8] = {16027, 16029, 16028, 16030, 16032, 16034, 16031, 16033};
    QImage pieces[8];
    for (int i = 0; i < 8; ++i)
        pieces[i] = platform::LoadBitmap(pieceIds[i]);
    ComposeHighlight(pieces, highlight, kHighlightInterior, m_bmpHighlight, m_bmpHighlightMask);
}

QImage CProgramArt::StretchedBackground(const QImage& source, const QSize& client, int lightenFrom)
{
    if (source.isNull() || client.isEmpty())
        return {};
    QImage image = opaque(source.scaled(client, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    // the info panel's part: half-way to white
    const int from = std::max(0, lightenFrom);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = from; x < image.width(); ++x) {
            const auto lighten = [](int c) { return std::clamp(static_cast<int>(c * 0.5 + 127.5), 0, 255); };
            line[x] = qRgb(lighten(qRed(line[x])), lighten(qGreen(line[x])), lighten(qBlue(line[x])));
        }
    }
    return image;
}

QImage CProgramArt::Strip(const QImage& piece, int length, Qt::Orientation orientation)
{
    if (piece.isNull() || length <= 0)
        return {};
    const bool across = orientation == Qt::Horizontal;
    QImage strip(across ? length : piece.width(), across ? piece.height() : length, QImage::Format_RGB32);
    QPainter p(&strip);
    for (int at = 0; at < length; at += across ? piece.width() : piece.height())
        p.drawImage(across ? QPoint(at, 0) : QPoint(0, at), piece);
    return strip;
}

void CProgramArt::ComposeHighlight(const QImage (&pieces)[8], const QSize& size, const QColor& interior, QImage& image,
                                   QImage& mask)
{
    image = QImage(size, QImage::Format_RGB32);
    image.fill(interior);
    {
        const QImage &topLeft = pieces[0], &topRight = pieces[1], &bottomLeft = pieces[2], &bottomRight = pieces[3];
        QPainter p(&image);
        for (int x = topLeft.width(); x < size.width() - topRight.width(); ++x) {
            p.drawImage(x, 0, pieces[4]);
            p.drawImage(x, size.height() - pieces[5].height(), pieces[5]);
        }
        for (int y = topLeft.height(); y < size.height() - bottomLeft.height(); ++y) {
            p.drawImage(0, y, pieces[6]);
            p.drawImage(size.width() - pieces[7].width(), y, pieces[7]);
        }
        p.drawImage(0, 0, topLeft);
        p.drawImage(size.width() - topRight.width(), 0, topRight);
        p.drawImage(0, size.height() - bottomLeft.height(), bottomLeft);
        p.drawImage(size.width() - bottomRight.width(), size.height() - bottomRight.height(), bottomRight);
    }
    mask = QImage(size, QImage::Format_RGB32);
    const QRgb key = kHighlightKey.rgb();
    for (int y = 0; y < size.height(); ++y) {
        auto* from = reinterpret_cast<QRgb*>(image.scanLine(y));
        auto* to = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const bool transparent = (from[x] | 0xFF000000) == key;
            to[x] = transparent ? 0xFFFFFFFF : 0xFF000000;
            if (transparent)
                from[x] = 0xFF000000;
        }
    }
}

void CProgramArt::DrawMasked(QPainter& dc, const QPoint& at, const QImage& mask, const QImage& image)
{
    if (mask.isNull() || image.isNull())
        return;
    const QPainter::CompositionMode mode = dc.compositionMode();
    dc.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    dc.drawImage(at, mask);
    dc.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    dc.drawImage(at, image);
    dc.setCompositionMode(mode);
}

void CProgramArt::DrawFrame(QPainter& dc, const QSize& client) const
{
    const int w = client.width(), h = client.height();
    dc.drawImage(0, 0, m_bmpCorners[0]);
    dc.drawImage(w - kCornerSize, 0, m_bmpCorners[1]);
    dc.drawImage(0, h - kCornerSize, m_bmpCorners[2]);
    dc.drawImage(w - kCornerSize, h - kCornerSize, m_bmpCorners[3]);
    dc.drawImage(kCornerSize, 0, m_bmpStrips[0]);
    dc.drawImage(kCornerSize, h - kEdgeSize, m_bmpStrips[1]);
    dc.drawImage(0, kCornerSize, m_bmpStrips[2]);
    dc.drawImage(w - kEdgeSize, kCornerSize, m_bmpStrips[3]);
}

int CProgramArt::LineHeight(const QFont& font)
{
    return QFontMetrics(font).boundingRect(QRect(), Qt::TextSingleLine, QStringLiteral("M")).height();
}

QFont CProgramArt::CellHeightFont(const QFont& base, int n, double ratio)
{
    const int cell = static_cast<int>(ratio * n);
    QFont font = base;
    font.setStyleStrategy(QFont::PreferAntialias);
    // the em is smaller than the cell (ascent and descent): the largest whose lines fit
    for (int size = cell; size >= 1; --size) {
        font.setPixelSize(size);
        if (LineHeight(font) <= cell)
            break;
    }
    return font;
}

int CProgramArt::DrawTextLeading(QPainter* dc, const QFont* font, const QString& text, const QRect* rect, int format,
                                 double leading)
{
    if (text.isEmpty() || !dc || !font || !rect)
        return 0;
    // the text black on black (A) and black on white (B), as sharp as the target's pixels; a
    // rectangle with no room (pushed past its bottom by the blocks above) still lays its text
    // out at its width, and reports the height so that the blocks below keep moving
    const bool room = !rect->isEmpty();
    const qreal ratio = dc->device() ? dc->device()->devicePixelRatioF() : 1.0;
    const QSize pixels = room ? (QSizeF(rect->size()) * ratio).toSize() : QSize(1, 1);
    QImage a(pixels, QImage::Format_RGB32), b(pixels, QImage::Format_RGB32);
    a.fill(Qt::black);
    b.fill(Qt::white);
    // The blit needs a two-level mask: a grey edge ANDed with the picture below gives bits of
    // neither, which broke the small texts' strokes. So the text is rasterised without
    // antialiasing and fully hinted, its stems snapped to whole pixels, as bilevel GDI text is
    // (and as the template font's own table asks for at 9 to 16 pixels).
    QFont mask = *font;
    mask.setStyleStrategy(QFont::NoAntialias);
    mask.setHintingPreference(QFont::PreferFullHinting);
    int height = 0, line = 0;
    for (QImage* image : {&a, &b}) {
        image->setDevicePixelRatio(ratio);
        QPainter p(image);
        p.setFont(mask);
        p.setPen(Qt::black);
        QRect drawn;
        p.drawText(QRect(QPoint(0, 0), rect->size()), format, text, &drawn);
        height = drawn.bottom() + 1;  // down to the end of the text, as bottom-aligned text reports it
        line = p.boundingRect(QRect(), Qt::TextSingleLine, text).height();
    }
    if (line <= 0)
        return 0;
    const int used = static_cast<int>(height * leading);
    if (!room)
        return used;  // nothing of it lies inside the rectangle
    // band by band, each line moved down by its share of the extra spacing
    const int step = static_cast<int>(line * leading);
    const QPainter::CompositionMode mode = dc->compositionMode();
    for (int y = 0, to = rect->top(); y < height; y += line, to += step) {
        const QRectF source(0, y * ratio, rect->width() * ratio, line * ratio);
        const QRectF target(rect->left(), to, rect->width(), line);
        dc->setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        dc->drawImage(target, b, source);
        dc->setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        dc->drawImage(target, a, source);
    }
    dc->setCompositionMode(mode);
    return used;
}
