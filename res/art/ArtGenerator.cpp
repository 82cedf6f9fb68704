// Draws the module's artwork: the program dialog's night-sky background,
// frame and highlight pieces, program icons and masks, bitmap buttons, the
// sign-in title picture, the library icon, and the controls library's
// scroll bar skin. Run by the build; the PNGs land in the build tree.
//
//   zvnart <module folder> <controls folder>
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor kClient(0x35, 0x3A, 0x42);   // the program dialog's client colour
const QColor kKey(0xFF, 0x00, 0x00);      // transparent in highlight pieces
const QColor kInterior(0x50, 0x51, 0x54); // highlight interior
const QColor kGlow(0x7C, 0xB8, 0xF0);     // highlight border
QString gModule, gControls;

QFont uiFont(int pixelSize, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

bool save(const QImage& image, const QString& folder, const QString& name)
{
    QDir().mkpath(folder);
    // 24-bit, as the dialogs expect: no alpha channel in any bitmap
    const bool ok = image.convertToFormat(QImage::Format_RGB888).save(folder + u'/' + name + QStringLiteral(".png"));
    if (!ok)
        std::fprintf(stderr, "zvnart: cannot write %s\n", qPrintable(name));
    return ok;
}

QImage canvas(int w, int h, const QColor& fill)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

// ---- night sky -------------------------------------------------------------

void drawStars(QPainter& p, const QRectF& area, int count, quint32 seed, double maxRadius)
{
    QRandomGenerator random(seed);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF at(area.left() + random.bounded(area.width()), area.top() + random.bounded(area.height()));
        const double brightness = std::pow(random.generateDouble(), 3.0);  // most stars are faint
        const double r = 0.35 + brightness * maxRadius;
        const int tint = random.bounded(3);
        QColor c = tint == 0 ? QColor(0xFF, 0xF4, 0xE0) : tint == 1 ? QColor(0xDC, 0xE8, 0xFF) : QColor(0xFF, 0xFF, 0xFF);
        c.setAlphaF(0.35 + 0.65 * brightness);
        if (brightness > 0.55) {
            QRadialGradient glow(at, r * 4);
            QColor g = c;
            g.setAlphaF(0.25);
            glow.setColorAt(0, g);
            glow.setColorAt(1, Qt::transparent);
            p.setBrush(glow);
            p.drawEllipse(at, r * 4, r * 4);
        }
        p.setBrush(c);
        p.drawEllipse(at, r, r);
    }
}

QImage nightSky(int w, int h, quint32 seed, int stars)
{
    QImage image = canvas(w, h, Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(0x05, 0x08, 0x18));
    sky.setColorAt(0.6, QColor(0x0C, 0x16, 0x34));
    sky.setColorAt(1.0, QColor(0x1C, 0x2A, 0x4C));
    p.fillRect(image.rect(), sky);
    // a faint band of the Milky Way across the sky
    p.save();
    p.translate(w * 0.5, h * 0.55);
    p.rotate(-28);
    for (int i = 0; i < 3; ++i) {
        QRadialGradient band(0, 0, w * (0.55 - i * 0.12));
        band.setColorAt(0, QColor(0x9A, 0xA8, 0xD0, 34 - i * 8));
        band.setColorAt(1, Qt::transparent);
        p.scale(1.0, 0.32);
        p.setBrush(band);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(0, 0), w * 0.7, w * 0.7);
        p.scale(1.0, 1 / 0.32);
    }
    p.restore();
    drawStars(p, image.rect(), stars, seed, 1.6);
    // the horizon glow and a silhouette of hills
    QLinearGradient glow(0, h * 0.78, 0, h);
    glow.setColorAt(0, Qt::transparent);
    glow.setColorAt(1, QColor(0x2E, 0x3E, 0x6A, 140));
    p.fillRect(QRectF(0, h * 0.78, w, h * 0.22), glow);
    QPainterPath hills;
    hills.moveTo(0, h);
    for (int x = 0; x <= w; x += 4)
        hills.lineTo(x, h * 0.93 - 10 * std::sin(x * 0.011) - 6 * std::sin(x * 0.037 + 1.3));
    hills.lineTo(w, h);
    hills.closeSubpath();
    p.fillPath(hills, QColor(0x06, 0x08, 0x0E));
    return image;
}

// ---- program dialog frame ------------------------------------------------------

// colour across the 10-pixel frame, from the window's outer edge inwards
QColor frameShade(double depth)
{
    if (depth < 1.0) return QColor(0x0A, 0x0C, 0x12);
    if (depth < 2.5) return QColor(0x8A, 0x9C, 0xBA);
    if (depth < 7.5) {
        const double t = (depth - 2.5) / 5.0;
        return QColor::fromRgbF(0.16 + 0.06 * t, 0.20 + 0.06 * t, 0.28 + 0.06 * t);
    }
    if (depth < 9.0) return QColor(0x5A, 0x6C, 0x8C);
    return QColor(0x12, 0x16, 0x1E);
}

// a frame piece: depth is the distance from the outer edge; corners are
// rounded with radius 10 around the point 10 pixels in from both edges
QImage framePiece(int w, int h, bool right, bool bottom, bool corner)
{
    QImage image = canvas(w, h, kClient);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = right ? w - 1 - x + 0.5 : x + 0.5;  // from the vertical outer edge
            const double dy = bottom ? h - 1 - y + 0.5 : y + 0.5; // from the horizontal outer edge
            double depth;
            if (corner && dx < 10 && dy < 10)
                depth = 10 - std::hypot(10 - dx, 10 - dy);
            else if (corner)
                depth = std::min(dx, dy);
            else
                depth = (w == 1) ? dy : dx;
            if (depth < 0)
                image.setPixelColor(x, y, QColor(0x0A, 0x0C, 0x12));
            else if (depth < 10)
                image.setPixelColor(x, y, frameShade(depth));
        }
    }
    return image;
}

// ---- highlight of the selected program -----------------------------------------

QColor highlightShade(double depth, double fromTop)
{
    if (depth < 0) return kKey;
    if (depth < 1.2) return kGlow;
    if (depth < 2.4) return QColor(0x5E, 0x80, 0xA8);
    // a soft sheen along the top
    const double sheen = std::max(0.0, 1.0 - fromTop / 14.0);
    return QColor::fromRgbF(kInterior.redF() + 0.08 * sheen, kInterior.greenF() + 0.09 * sheen,
                            kInterior.blueF() + 0.12 * sheen);
}

QImage highlightPiece(int w, int h, bool right, bool bottom, bool corner)
{
    const double radius = 7;
    QImage image = canvas(w, h, kInterior);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = right ? w - 1 - x + 0.5 : x + 0.5;
            const double dy = bottom ? h - 1 - y + 0.5 : y + 0.5;
            double depth;
            if (corner && dx < radius && dy < radius)
                depth = radius - std::hypot(radius - dx, radius - dy);
            else if (corner)
                depth = std::min(dx, dy);
            else
                depth = (w == 1) ? dy : dx;
            // the sheen runs along the top only, not down the side pieces
            const bool side = !corner && h == 1;
            image.setPixelColor(x, y, highlightShade(depth, bottom || side ? 99 : y + 0.5));
        }
    }
    return image;
}

// ---- program icons -------------------------------------------------------------

using Shape = std::function<void(QPainter&)>;

// an icon drawn with alpha, split into the OR image (black where transparent)
// and the AND mask (white where transparent, black where opaque)
bool iconPair(int iconId, int maskId, const Shape& draw)
{
    QImage art(32, 32, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    {
        QPainter p(&art);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    QImage icon = canvas(32, 32, Qt::black);
    QImage mask = canvas(32, 32, Qt::white);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QColor c = art.pixelColor(x, y);
            if (c.alpha() >= 128) {
                icon.setPixelColor(x, y, QColor(c.red(), c.green(), c.blue()));
                mask.setPixelColor(x, y, Qt::black);
            }
        }
    return save(icon, gModule + "/bitmaps", QString::number(iconId)) && save(mask, gModule + "/bitmaps", QString::number(maskId));
}

void star(QPainter& p, QPointF c, double r, const QColor& color)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double rr = (i % 2) ? r * 0.45 : r;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    p.fillPath(path, color);
}

void dome(QPainter& p, const QColor& body)
{
    QLinearGradient g(0, 6, 0, 26);
    g.setColorAt(0, body.lighter(140));
    g.setColorAt(1, body);
    p.setPen(QPen(QColor(0x1A, 0x22, 0x36), 1.5));
    p.setBrush(g);
    QPainterPath d;
    d.moveTo(4, 24);
    d.arcTo(QRectF(4, 6, 24, 36), 180, -180);
    d.closeSubpath();
    p.drawPath(d);
    p.fillRect(QRectF(2, 24, 28, 5), QColor(0xC8, 0xD0, 0xDC));
    p.fillRect(QRectF(13, 19, 6, 5), QColor(0x1A, 0x22, 0x36));
    star(p, QPointF(24, 6), 5, QColor(0xFF, 0xE0, 0x70));
}

void note(QPainter& p, const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(5, 20, 9, 7));
    p.drawEllipse(QRectF(18, 17, 9, 7));
    p.fillRect(QRectF(12, 5, 2.5, 19), color);
    p.fillRect(QRectF(25, 2, 2.5, 19), color);
    QPainterPath beam;
    beam.moveTo(12, 5);
    beam.lineTo(27.5, 2);
    beam.lineTo(27.5, 7);
    beam.lineTo(12, 10);
    beam.closeSubpath();
    p.fillPath(beam, color);
    star(p, QPointF(6, 7), 4, QColor(0xFF, 0xE0, 0x70));
}

void userBadge(QPainter& p)
{
    p.setPen(QPen(QColor(0x0E, 0x3A, 0x1E), 1));
    p.setBrush(QColor(0x4C, 0xC8, 0x6C));
    p.drawEllipse(QRectF(20, 20, 11, 11));
    p.setPen(QPen(Qt::white, 1.6));
    p.drawLine(QPointF(25.5, 22.5), QPointF(25.5, 28.5));
    p.drawLine(QPointF(22.5, 25.5), QPointF(28.5, 25.5));
}

// ---- buttons -------------------------------------------------------------------

bool button(const QString& name, const QString& label)
{
    struct State { const char* suffix; QColor top, bottom, border, text; int shift; };
    const State states[] = {
        {"U", QColor(0x3C, 0x5A, 0x8C), QColor(0x1C, 0x2C, 0x4C), QColor(0x8A, 0xA8, 0xD8), QColor(0xF4, 0xF6, 0xFA), 0},
        {"D", QColor(0x16, 0x24, 0x40), QColor(0x2C, 0x44, 0x70), QColor(0x6A, 0x88, 0xB8), QColor(0xD8, 0xE0, 0xEC), 1},
        {"F", QColor(0x4A, 0x6E, 0xA8), QColor(0x22, 0x36, 0x5C), QColor(0xC8, 0xE8, 0xFF), QColor(0xFF, 0xFF, 0xFF), 0},
        {"X", QColor(0x4A, 0x4E, 0x56), QColor(0x36, 0x3A, 0x40), QColor(0x64, 0x68, 0x70), QColor(0x8C, 0x90, 0x98), 0},
    };
    for (const State& s : states) {
        QImage image = canvas(107, 49, kClient);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QRectF body(4.5, 6.5, 98, 36);
        if (*s.suffix == 'F') {  // the focused button glows
            for (int i = 3; i >= 1; --i) {
                p.setPen(QPen(QColor(0x7C, 0xC0, 0xFF, 50 * (4 - i)), i * 2));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(body, 18, 18);
            }
        }
        QLinearGradient g(0, body.top(), 0, body.bottom());
        g.setColorAt(0, s.top);
        g.setColorAt(1, s.bottom);
        p.setPen(QPen(s.border, 1.2));
        p.setBrush(g);
        p.drawRoundedRect(body.translated(s.shift, s.shift), 18, 18);
        // a glassy reflection on the upper half
        if (*s.suffix != 'X') {
            QLinearGradient shine(0, body.top(), 0, body.center().y());
            shine.setColorAt(0, QColor(255, 255, 255, 60));
            shine.setColorAt(1, QColor(255, 255, 255, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(shine);
            p.drawRoundedRect(QRectF(body.left() + 4, body.top() + 2, body.width() - 8, body.height() / 2 - 2)
                                  .translated(s.shift, s.shift), 14, 14);
        }
        p.setFont(uiFont(15, true));
        p.setPen(s.text);
        p.drawText(body.translated(s.shift, s.shift), Qt::AlignCenter, label);
        p.end();
        if (!save(image, gModule + "/bitmaps", name + QLatin1String(s.suffix)))
            return false;
    }
    return true;
}

// ---- pictures --------------------------------------------------------------------

QImage titleImage()
{
    QImage image = canvas(245, 50, kClient);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    star(p, QPointF(22, 25), 15, QColor(0xFF, 0xD8, 0x60));
    star(p, QPointF(40, 12), 5, QColor(0xDC, 0xE8, 0xFF));
    p.setFont(uiFont(22, true));
    p.setPen(QColor(0xF2, 0xF4, 0xF8));
    p.drawText(QRectF(52, 0, 193, 50), Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf8("プラネタリウム番組"));
    QLinearGradient line(52, 0, 245, 0);
    line.setColorAt(0, QColor(0x7C, 0xB8, 0xF0));
    line.setColorAt(1, Qt::transparent);
    p.fillRect(QRectF(52, 40, 193, 1.5), line);
    return image;
}

QImage cloudTitle()
{
    QImage image = nightSky(343, 205, 1081, 260);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // a constellation (the Big Dipper's shape) drawn over the sky
    const QPointF dipper[] = {{40, 40}, {78, 34}, {108, 46}, {134, 62}, {140, 92}, {182, 98}, {190, 66}};
    p.setPen(QPen(QColor(0x7C, 0xB8, 0xF0, 150), 1.2));
    for (int i = 0; i + 1 < 7; ++i)
        p.drawLine(dipper[i], dipper[i + 1]);
    p.drawLine(dipper[6], dipper[3]);
    for (const QPointF& s : dipper)
        star(p, s, 4.5, QColor(0xFF, 0xF4, 0xD8));
    // a cloud carrying the service's name
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addEllipse(QRectF(178, 104, 70, 54));
    cloud.addEllipse(QRectF(222, 84, 84, 74));
    cloud.addEllipse(QRectF(280, 108, 52, 50));
    cloud.addRoundedRect(QRectF(190, 128, 134, 32), 16, 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF4, 0xF7, 0xFC, 235));
    p.drawPath(cloud.simplified());
    p.setFont(uiFont(15, true));
    p.setPen(QColor(0x1C, 0x2C, 0x4C));
    p.drawText(QRectF(180, 124, 150, 34), Qt::AlignCenter, QString::fromUtf8("ゼントクラウド"));
    p.setFont(uiFont(12));
    p.setPen(QColor(0xDC, 0xE6, 0xF6));
    p.drawText(QRectF(12, 168, 320, 28), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8("星空を、みんなと共有しよう"));
    return image;
}

QImage libraryIcon()
{
    QImage image = canvas(32, 32, QColor(0x1C, 0x2A, 0x4C));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x0A, 0x10, 0x20), 1));
    p.setBrush(QColor(0xE8, 0xEC, 0xF4));
    p.drawRect(QRectF(5.5, 7.5, 10, 19));
    p.drawRect(QRectF(16.5, 7.5, 10, 19));
    star(p, QPointF(16, 8), 6, QColor(0xFF, 0xD8, 0x60));
    return image;
}

QImage scrollSkin()
{
    // three cells of 51 x 51: the arrow up, the arrow down, the thumb
    QImage image = canvas(153, 51, QColor(0x22, 0x28, 0x32));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int cell = 0; cell < 3; ++cell) {
        const QRectF r(cell * 51 + 6.5, 6.5, 38, 38);
        QLinearGradient g(r.topLeft(), r.topRight());
        g.setColorAt(0, QColor(0x4A, 0x5C, 0x7C));
        g.setColorAt(1, QColor(0x2C, 0x38, 0x50));
        p.setPen(QPen(QColor(0x8A, 0xA0, 0xC4), 1.5));
        p.setBrush(g);
        p.drawRoundedRect(r, 8, 8);
        if (cell < 2) {
            QPainterPath arrow;
            const double y0 = cell == 0 ? 32 : 19, y1 = cell == 0 ? 19 : 32;
            arrow.moveTo(cell * 51 + 16, y0);
            arrow.lineTo(cell * 51 + 25.5, y1);
            arrow.lineTo(cell * 51 + 35, y0);
            arrow.closeSubpath();
            p.fillPath(arrow, QColor(0xE4, 0xEC, 0xF8));
        }
    }
    return image;
}

// the host's application icon at one size: a dome under the night sky, drawn on a 32-unit grid
QImage hostIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient sky(0, 0, 0, 32);
    sky.setColorAt(0, QColor(0x0C, 0x14, 0x30));
    sky.setColorAt(1, QColor(0x24, 0x3C, 0x74));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    if (size >= 32)  // the small stars only where they are more than a speck
        drawStars(p, QRectF(3, 3, 26, 12), 10, 7, 0.6);
    dome(p, QColor(0x4C, 0x78, 0xC0));
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: zvnart MODULE-FOLDER CONTROLS-FOLDER [HOST-ICON-THEME-FOLDER]\n");
        return 2;
    }
    gModule = QString::fromLocal8Bit(argv[1]);
    gControls = QString::fromLocal8Bit(argv[2]);
    const QString bitmaps = gModule + "/bitmaps";
    bool ok = true;

    ok &= save(nightSky(800, 600, 16045, 900), bitmaps, "16045");
    ok &= save(titleImage(), bitmaps, "16025");
    // frame: corners top-left, top-right, bottom-left, bottom-right; edges top, bottom, left, right
    ok &= save(framePiece(20, 20, false, false, true), bitmaps, "16016");
    ok &= save(framePiece(20, 20, true, false, true), bitmaps, "16019");
    ok &= save(framePiece(20, 20, false, true, true), bitmaps, "16014");
    ok &= save(framePiece(20, 20, true, true, true), bitmaps, "16017");
    ok &= save(framePiece(1, 10, false, false, false), bitmaps, "16020");
    ok &= save(framePiece(1, 10, false, true, false), bitmaps, "16013");
    ok &= save(framePiece(10, 1, false, false, false), bitmaps, "16015");
    ok &= save(framePiece(10, 1, true, false, false), bitmaps, "16018");
    // highlight: corners, then top/bottom pieces, then left/right pieces
    ok &= save(highlightPiece(23, 24, false, false, true), bitmaps, "16027");
    ok &= save(highlightPiece(17, 24, true, false, true), bitmaps, "16029");
    ok &= save(highlightPiece(23, 16, false, true, true), bitmaps, "16028");
    ok &= save(highlightPiece(17, 16, true, true, true), bitmaps, "16030");
    ok &= save(highlightPiece(1, 24, false, false, false), bitmaps, "16032");
    ok &= save(highlightPiece(1, 16, false, true, false), bitmaps, "16034");
    ok &= save(highlightPiece(23, 1, false, false, false), bitmaps, "16031");
    ok &= save(highlightPiece(17, 1, true, false, false), bitmaps, "16033");
    // program icons and masks: today/guide, system program, system BGV, user program, user BGV
    ok &= iconPair(16040, 16035, [](QPainter& p) {
        QPainterPath moon;
        moon.addEllipse(QRectF(3, 4, 24, 24));
        QPainterPath bite;
        bite.addEllipse(QRectF(10, 1, 22, 22));
        p.fillPath(moon.subtracted(bite), QColor(0xFF, 0xE0, 0x70));
        star(p, QPointF(23, 22), 6, QColor(0xDC, 0xE8, 0xFF));
    });
    ok &= iconPair(16041, 16036, [](QPainter& p) { dome(p, QColor(0x4C, 0x78, 0xC0)); });
    ok &= iconPair(16042, 16037, [](QPainter& p) { note(p, QColor(0xB8, 0x9C, 0xF4)); });
    ok &= iconPair(16043, 16038, [](QPainter& p) { dome(p, QColor(0x3C, 0x9C, 0x8C)); userBadge(p); });
    ok &= iconPair(16044, 16039, [](QPainter& p) { note(p, QColor(0x8C, 0xD4, 0xC8)); userBadge(p); });
    ok &= button("PRGOK", QString::fromUtf8("開く"));
    ok &= button("PRGCLOSE", QString::fromUtf8("閉じる"));
    ok &= button("PRGDELETE", QString::fromUtf8("削除"));
    ok &= button("PRGHELP", QString::fromUtf8("ヘルプ"));
    ok &= save(cloudTitle(), bitmaps, "1081");
    ok &= save(libraryIcon(), gModule + "/icons", "201");
    ok &= save(scrollSkin(), gControls + "/bitmaps", "8014");
    if (argc == 4)  // the host's icon in the hicolor theme's folders: SIZExSIZE/apps/zvnhost.png
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            // with its alpha channel, unlike the dialogs' bitmaps
            const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[3])).arg(size);
            ok &= QDir().mkpath(folder) && hostIcon(size).save(folder + QStringLiteral("/zvnhost.png"));
        }
    return ok ? 0 : 1;
}
