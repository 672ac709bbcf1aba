#include "IconArt.h"
#include "Shading.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>

namespace quorvel::art {
namespace {

// Types 0 to 4 are the blue team, 5 to 9 the amber team; each wears its number 1 to 5.
struct TeamColours {
    QColor light, mid, dark, ink;
};

TeamColours teamOf(int type)
{
    if (type < 5)
        return {QColor(0x8c, 0xc4, 0xff), QColor(0x2a, 0x74, 0xd6), QColor(0x0c, 0x2f, 0x6e), Qt::white};
    return {QColor(0xff, 0xdc, 0x8a), QColor(0xf0, 0x92, 0x22), QColor(0x6e, 0x36, 0x04), QColor(0x2a, 0x14, 0x00)};
}

enum class Level { Below, Ground, Above };

// Digits of three by five pixels: at 10 pixels a font only smears.
constexpr std::array<const char *, 5> kTinyDigits = {
    ".#.##..#..#.###", "##...#.#.#..###", "##...#.#...###.", "#.##.####..#..#", "####..##...###.",
};

void drawTinyDigit(QPainter &p, int digit, int left, int top, const QColor &ink)
{
    const char *rows = kTinyDigits[std::size_t(digit - 1)];
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            if (rows[y * 3 + x] == '#')
                p.fillRect(left + x, top + y, 1, 1, ink);
}

void drawDigit(QPainter &p, int digit, QPointF centre, int pixelSize, const QColor &ink)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(pixelSize);
    f.setHintingPreference(QFont::PreferFullHinting);
    p.setFont(f);
    p.setPen(ink);
    const QRectF box(centre.x() - 8, centre.y() - 8, 16, 16);
    p.drawText(box.translated(0, 0.5), Qt::AlignCenter, QString::number(digit));
}

QColor dimmed(const QColor &c, double f)
{
    return QColor::fromRgbF(float(c.redF() * f), float(c.greenF() * f), float(c.blueF() * f), c.alphaF());
}

// A team disc: shaded body, dark rim, and on the raised level a white halo over a shadow.
void drawDisc(QPainter &p, QPointF c, double r, const TeamColours &t, Level level)
{
    if (level == Level::Above) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawEllipse(c + QPointF(1.2, 1.6), r + 1.0, r + 1.0);
        p.setBrush(Qt::white);
        p.drawEllipse(c, r + 1.0, r + 1.0);
    }
    const double f = level == Level::Below ? 0.72 : 1.0;
    useShading(p, QRadialGradient(c - QPointF(r * 0.35, r * 0.45), r * 1.5),
               {{0, dimmed(t.light, f)}, {0.55, dimmed(t.mid, f)}, {1, dimmed(t.dark, f * 1.4)}},
               QPen(t.dark, r > 6 ? 1.2 : 1.0));
    p.drawEllipse(c, r - 0.5, r - 0.5);
}

// The facing wedge sticks out of the disc towards the compass point; N is up.
void drawWedge(QPainter &p, QPointF c, double r, double tip, int facing, const TeamColours &t, Level level)
{
    const double a = (facing * 45.0 - 90.0) * M_PI / 180.0;
    const QPointF u(std::cos(a), std::sin(a));
    const QPointF v(-u.y(), u.x());
    const double half = r * 0.92;
    QPainterPath wedge;
    wedge.moveTo(c + u * tip);
    wedge.lineTo(c + u * (r * 0.2) + v * half);
    wedge.lineTo(c + u * (r * 0.2) - v * half);
    wedge.closeSubpath();
    p.setPen(QPen(level == Level::Above ? Qt::white : QColor(255, 255, 255, 200), 1.0, Qt::SolidLine,
                  Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(level == Level::Below ? dimmed(t.dark, 1.25) : t.dark);
    p.drawPath(wedge);
}

void drawTeamIcon(QImage &img, int type, Level level, int facing)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const TeamColours t = teamOf(type);
    const int digit = type % 5 + 1;
    const double side = img.width();
    const QPointF c(side / 2.0, side / 2.0);

    if (facing == 0) {
        if (side <= 10) { // small, below ground
            drawDisc(p, c, 5.0, t, Level::Below);
            drawTinyDigit(p, digit, 4, 3, t.ink);
        } else if (side <= 14) { // large, above ground
            drawDisc(p, c, 6.0, t, Level::Above);
            drawTinyDigit(p, digit, 6, 5, t.ink);
        } else {
            drawDisc(p, c, 10.0, t, Level::Ground);
            drawDigit(p, digit, c, 13, t.ink);
        }
        return;
    }
    switch (level) {
    case Level::Below:
        drawWedge(p, c, 5.5, 11.0, facing, t, level);
        drawDisc(p, c, 5.5, t, level);
        drawTinyDigit(p, digit, 12, 11, t.ink);
        break;
    case Level::Ground:
        // Close to the plain icon's size, so that an icon does not shrink much when it walks.
        drawWedge(p, c, 8.5, 13.0, facing, t, level);
        drawDisc(p, c, 8.5, t, level);
        drawDigit(p, digit, c, 11, t.ink);
        break;
    case Level::Above:
        drawWedge(p, c, 8.5, 13.0, facing, t, level);
        drawDisc(p, c, 8.5, t, level);
        drawDigit(p, digit, c, 11, t.ink);
        break;
    }
}

// Grenades share a fuse head: grey cap, a lever down the right side and the pin's ring.
void drawFuse(QPainter &p)
{
    p.setPen(QPen(QColor(0x3a, 0x3d, 0x40), 0.8));
    p.setBrush(QColor(0x9a, 0xa0, 0xa6));
    p.drawRect(QRectF(3.4, 2.2, 3.2, 2.6));
    QPainterPath lever;
    lever.moveTo(6.4, 2.4);
    lever.lineTo(8.6, 3.0);
    lever.lineTo(8.9, 7.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xc8, 0xcc, 0xd0), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(lever);
    p.setPen(QPen(QColor(0xe8, 0xc5, 0x4a), 0.9));
    p.drawEllipse(QPointF(2.0, 2.0), 1.4, 1.4);
}

void drawHeGrenade(QPainter &p)
{
    useShading(p, QRadialGradient(QPointF(3.6, 7.0), 7.0),
               {{0, QColor(0x7f, 0x9f, 0x48)}, {0.6, QColor(0x3f, 0x5a, 0x1f)}, {1, QColor(0x1d, 0x2c, 0x0b)}},
               QPen(QColor(0x12, 0x1a, 0x06), 0.9));
    p.drawEllipse(QRectF(0.8, 4.4, 8.4, 9.2));
    p.setPen(QPen(QColor(0x1a, 0x26, 0x0a, 200), 0.7));
    p.drawLine(QPointF(1.4, 9.0), QPointF(8.6, 9.0));
    p.drawLine(QPointF(5.0, 4.8), QPointF(5.0, 13.2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd8, 0x2a, 0x1e));
    p.drawRect(QRectF(1.6, 5.6, 6.8, 1.3));
    drawFuse(p);
}

// The flash and smoke grenades are cans lit from the left; what follows draws unedged.
void drawCan(QPainter &p, const QGradientStops &stops, const QColor &edge, double corner)
{
    useShading(p, QLinearGradient(1.5, 0, 8.5, 0), stops, QPen(edge, 0.9));
    p.drawRoundedRect(QRectF(1.5, 4.5, 7.0, 9.0), corner, corner);
    p.setPen(Qt::NoPen);
}

void drawFlashGrenade(QPainter &p)
{
    drawCan(p, {{0, QColor(0xff, 0xff, 0xff)}, {0.5, QColor(0xee, 0xf0, 0xf2)}, {1, QColor(0xa9, 0xb0, 0xb8)}},
            QColor(0x4a, 0x50, 0x58), 1.6);
    p.setBrush(QColor(0xff, 0xd2, 0x1a));
    p.drawRect(QRectF(1.9, 7.4, 6.2, 2.4));
    p.setBrush(QColor(0xff, 0xf6, 0xb0));
    p.drawRect(QRectF(1.9, 7.4, 6.2, 0.8));
    drawFuse(p);
}

void drawSmokeGrenade(QPainter &p)
{
    drawCan(p, {{0, QColor(0xb4, 0xb9, 0xbe)}, {0.5, QColor(0x8a, 0x90, 0x96)}, {1, QColor(0x4e, 0x54, 0x5a)}},
            QColor(0x26, 0x2a, 0x2e), 1.2);
    p.setBrush(QColor(0x3c, 0x41, 0x46));
    p.drawRect(QRectF(1.9, 6.6, 6.2, 1.0));
    p.drawRect(QRectF(1.9, 11.2, 6.2, 1.0));
    p.setBrush(QColor(0xe6, 0xe8, 0xea));
    p.drawEllipse(QPointF(5.0, 9.4), 1.3, 1.3);
    drawFuse(p);
}

void drawBomb(QPainter &p)
{
    // Three charges under a strap, a timer on top, and the wires to it.
    p.setPen(QPen(QColor(0x2c, 0x22, 0x10), 0.9));
    for (int i = 0; i < 3; ++i) {
        QLinearGradient g(0, 4 + i * 3, 0, 7 + i * 3);
        g.setColorAt(0, QColor(0xe0, 0xb0, 0x6a));
        g.setColorAt(1, QColor(0x9a, 0x6a, 0x2c));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(1.0, 4.3 + i * 3.0, 12.0, 3.0), 1.2, 1.2);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1c, 0x1c, 0x1e));
    p.drawRect(QRectF(8.6, 4.0, 1.6, 9.6));
    p.setPen(QPen(QColor(0x10, 0x10, 0x10), 0.8));
    p.setBrush(QColor(0x24, 0x26, 0x2a));
    p.drawRect(QRectF(2.2, 6.2, 5.4, 3.6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0x3a, 0x2e));
    p.drawRect(QRectF(3.0, 7.3, 1.4, 1.4));
    p.drawRect(QRectF(5.2, 7.3, 1.4, 1.4));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xe8, 0x2a, 0x22), 1.0, Qt::SolidLine, Qt::RoundCap));
    QPainterPath red;
    red.moveTo(3.0, 6.2);
    red.cubicTo(2.5, 2.0, 6.0, 0.8, 8.0, 3.0);
    p.drawPath(red);
    p.setPen(QPen(QColor(0x3a, 0x8c, 0xff), 1.0, Qt::SolidLine, Qt::RoundCap));
    QPainterPath blue;
    blue.moveTo(6.6, 6.2);
    blue.cubicTo(7.5, 2.8, 11.0, 1.6, 12.4, 3.8);
    p.drawPath(blue);
}

void drawObject(QImage &img, int type, Level level)
{
    if (type < 10) {
        drawTeamIcon(img, type, level, 0);
        return;
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (type) {
    case 10: drawHeGrenade(p); break;
    case 11: drawFlashGrenade(p); break;
    case 12: drawSmokeGrenade(p); break;
    default: drawBomb(p); break;
    }
    p.end();
    if (level == Level::Below) { // below ground reads a shade darker
        for (int y = 0; y < img.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = row[x];
                row[x] = qRgba(qRed(c) * 3 / 4, qGreen(c) * 3 / 4, qBlue(c) * 3 / 4, qAlpha(c));
            }
        }
    }
}

QSize objectSize(int type, int facing)
{
    if (facing != 0 || type < 10)
        return {26, 26};
    return type == 13 ? QSize(14, 14) : QSize(10, 14);
}

QImage blank(QSize size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A transparent picture of the size, painted antialiased.
QImage painted(QSize size, const std::function<void(QPainter &)> &paint)
{
    QImage img = blank(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return img;
}

bool save(const QImage &img, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!img.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writeObjectSets(const QString &iconDir)
{
    static const std::array<const char *, 9> facingNames = {"", "NE", "E", "SE", "S", "SW", "W", "NW", "N"};
    struct LevelSet {
        Level level;
        const char *prefix;
        int lastPlain;
    };
    const std::array<LevelSet, 3> levels = {{
        {Level::Below, "picObjSM", 24},
        {Level::Ground, "picObj", 13},
        {Level::Above, "picObjLG", 12},
    }};
    for (const LevelSet &ls : levels) {
        for (int facing = 0; facing <= 8; ++facing) {
            const QString set = QLatin1String(ls.prefix) + QLatin1String(facingNames[std::size_t(facing)]);
            const int last = facing == 0 ? ls.lastPlain : 9;
            for (int i = 0; i <= last; ++i) {
                QImage img;
                if (facing != 0) {
                    img = blank({26, 26});
                    drawTeamIcon(img, i, ls.level, facing);
                } else if (ls.level == Level::Ground) {
                    img = blank(objectSize(i, 0));
                    drawObject(img, i, Level::Ground);
                } else {
                    // The small set goes on past the bomb: 14 to 21 repeat the team icons
                    // 0 to 7 and 22 to 24 the grenades, at the small set's sizes.
                    int type = i;
                    if (i >= 14 && i <= 21)
                        type = i - 14;
                    else if (i >= 22)
                        type = i - 12;
                    const int side = ls.level == Level::Below ? 10 : 14;
                    img = blank(type < 10 ? QSize(side, side) : objectSize(type, 0));
                    drawObject(img, type, ls.level);
                }
                if (!save(img, iconDir + QLatin1Char('/') + set + QLatin1Char('/') + QString::number(i)
                                   + QStringLiteral(".png")))
                    return false;
            }
        }
    }
    return true;
}

// The marker: a red pin whose point is where the user clicked (80, 275 twips in).
QImage markerPicture()
{
    return painted({12, 18}, [&](QPainter &p) {
        QPainterPath pin;
        pin.addEllipse(QPointF(5.5, 5.5), 4.9, 4.9);
        QPainterPath tail;
        tail.moveTo(1.4, 8.2);
        tail.quadTo(4.0, 11.5, 5.4, 17.6);
        tail.quadTo(6.8, 11.5, 9.6, 8.2);
        tail.closeSubpath();
        pin = pin.united(tail);
        useShading(p, QRadialGradient(QPointF(4.0, 3.8), 7.5),
                   {{0, QColor(0xff, 0x8a, 0x78)}, {0.5, QColor(0xe8, 0x2c, 0x1e)}, {1, QColor(0x90, 0x10, 0x08)}},
                   QPen(QColor(0x4a, 0x06, 0x02), 0.9));
        p.drawPath(pin);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(5.5, 5.3), 1.8, 1.8);
    });
}

// Playback buttons are 285 x 225 twips: 19 x 15 pixels.
QImage buttonFace(const std::function<void(QPainter &)> &symbol)
{
    return painted({19, 15}, [&](QPainter &p) {
        useShading(p, QLinearGradient(0, 0, 0, 15),
                   {{0, QColor(0x5a, 0x62, 0x6c)}, {0.5, QColor(0x33, 0x39, 0x41)}, {1, QColor(0x1c, 0x20, 0x25)}},
                   QPen(QColor(0x0b, 0x0d, 0x10), 1.0));
        p.drawRoundedRect(QRectF(0.5, 0.5, 18, 14), 3, 3);
        p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
        p.drawLine(QPointF(3, 1.5), QPointF(16, 1.5));
        symbol(p);
    });
}

void triangle(QPainter &p, QPointF a, QPointF b, QPointF c, const QColor &fill)
{
    QPainterPath t;
    t.moveTo(a);
    t.lineTo(b);
    t.lineTo(c);
    t.closeSubpath();
    p.setPen(QPen(fill.darker(220), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(t);
}

void square(QPainter &p, QRectF r, const QColor &fill)
{
    p.setPen(QPen(fill.darker(220), 0.8));
    p.setBrush(fill);
    p.drawRoundedRect(r, 0.8, 0.8);
}

void pencil(QPainter &p)
{
    p.setPen(QPen(QColor(0x1a, 0x12, 0x02), 3.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(12.2, 11.8), QPointF(16.2, 3.8));
    p.setPen(QPen(QColor(0xf7, 0xc9, 0x48), 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(12.6, 11.0), QPointF(16.0, 4.2));
    p.setPen(QPen(QColor(0xf2, 0xe0, 0xc0), 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(12.2, 11.8), QPointF(12.6, 11.0));
}

const QColor kGo(0x4c, 0xd9, 0x64);
const QColor kHalt(0xf0, 0x4a, 0x4a);

bool writeControls(const QString &dir)
{
    struct Face {
        const char *name;
        std::function<void(QPainter &)> symbol;
    };
    const std::array<Face, 7> faces = {{
        {"picplay", [](QPainter &p) { triangle(p, {7, 3.5}, {7, 11.5}, {13.5, 7.5}, kGo); }},
        {"picstop", [](QPainter &p) { square(p, QRectF(6, 4, 7, 7), kHalt); }},
        {"picPlayEdit",
         [](QPainter &p) {
             triangle(p, {4, 3.5}, {4, 11.5}, {10.5, 7.5}, kGo);
             pencil(p);
         }},
        {"picStopEdit",
         [](QPainter &p) {
             square(p, QRectF(3.5, 4, 7, 7), kHalt);
             pencil(p);
         }},
        {"picPause",
         [](QPainter &p) {
             square(p, QRectF(6, 3.5, 2.6, 8), QColor(0xf5, 0xb8, 0x41));
             square(p, QRectF(10.4, 3.5, 2.6, 8), QColor(0xf5, 0xb8, 0x41));
         }},
        {"picSlow2",
         [](QPainter &p) {
             // Play beside an hourglass: play, but slowly.
             triangle(p, {3.5, 3.5}, {3.5, 11.5}, {9.5, 7.5}, QColor(0x6c, 0xc4, 0xff));
             QPainterPath glass;
             glass.moveTo(11.5, 3.5);
             glass.lineTo(16, 3.5);
             glass.lineTo(11.5, 11.5);
             glass.lineTo(16, 11.5);
             glass.closeSubpath();
             p.setPen(QPen(QColor(0xe8, 0xec, 0xf0), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.setBrush(QColor(0xe0, 0xc0, 0x70));
             p.drawPath(glass);
         }},
        {"picReverse2", [](QPainter &p) { triangle(p, {12, 3.5}, {12, 11.5}, {5.5, 7.5}, QColor(0xff, 0x9f, 0x43)); }},
    }};
    for (const Face &f : faces)
        if (!save(buttonFace(f.symbol), dir + QLatin1Char('/') + QLatin1String(f.name) + QStringLiteral(".png")))
            return false;
    return true;
}

QPainterPath handShape(double s)
{
    // An open hand in a 26-pixel box, scaled by s.
    QPainterPath hand;
    hand.addRoundedRect(QRectF(7.2, 11.5, 11.6, 11.0), 4.0, 4.0);
    const std::array<QRectF, 4> fingers = {{
        {7.2, 5.6, 2.8, 9.0}, {10.1, 3.4, 2.8, 10.0}, {13.0, 3.8, 2.8, 10.0}, {15.9, 5.8, 2.8, 9.0},
    }};
    for (const QRectF &f : fingers) {
        QPainterPath finger;
        finger.addRoundedRect(f, 1.4, 1.4);
        hand = hand.united(finger);
    }
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-1.5, -1.4, 7.5, 2.8), 1.4, 1.4);
    QTransform tt;
    tt.translate(6.8, 16.5);
    tt.rotate(-130);
    hand = hand.united(tt.map(thumb));
    return QTransform::fromScale(s, s).map(hand);
}

QImage handPicture(int side)
{
    return painted({side, side}, [&](QPainter &p) {
        const double s = side / 26.0;
        useShading(p, QLinearGradient(0, 0, 0, side),
                   {{0, QColor(0xff, 0xec, 0xd2)}, {1, QColor(0xe2, 0xb0, 0x7a)}},
                   QPen(QColor(0x4a, 0x30, 0x18), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(handShape(s));
    });
}

QImage chatPicture()
{
    return painted({26, 26}, [&](QPainter &p) {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(2.5, 4.5, 21, 13), 5, 5);
        QPainterPath tail;
        tail.moveTo(7, 16);
        tail.lineTo(5.5, 22.5);
        tail.lineTo(13, 16.5);
        tail.closeSubpath();
        bubble = bubble.united(tail);
        useShading(p, QLinearGradient(0, 4, 0, 22),
                   {{0, Qt::white}, {1, QColor(0xd4, 0xde, 0xea)}},
                   QPen(QColor(0x2c, 0x3c, 0x52), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(bubble);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2a, 0x74, 0xd6));
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(8.0 + i * 5.0, 11.0), 1.6, 1.6);
    });
}

// Placing cursor: a cross with its centre on the spot that is clicked.
QImage placingCursor()
{
    return painted({32, 32}, [&](QPainter &p) {
        for (const auto &[pen, width] : {std::pair{QColor(0, 0, 0, 200), 3.2}, std::pair{QColor(Qt::white), 1.2}}) {
            p.setPen(QPen(pen, width, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(16, 3), QPointF(16, 12));
            p.drawLine(QPointF(16, 20), QPointF(16, 29));
            p.drawLine(QPointF(3, 16), QPointF(12, 16));
            p.drawLine(QPointF(20, 16), QPointF(29, 16));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(16, 16), 6.5, 6.5);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf0, 0x4a, 0x4a));
        p.drawEllipse(QPointF(16, 16), 1.6, 1.6);
    });
}

bool writeToolbarAndCursors(const QString &iconDir)
{
    return save(markerPicture(), iconDir + QStringLiteral("/picMarker.png"))
           && save(handPicture(26), iconDir + QStringLiteral("/Toolbar/imgMove.png"))
           && save(chatPicture(), iconDir + QStringLiteral("/Toolbar/imgChat.png"))
           && save(placingCursor(), iconDir + QStringLiteral("/imgIco/0.png"))
           && save(handPicture(32), iconDir + QStringLiteral("/imgIco/1.png"));
}

} // namespace

bool writeIcons(const QString &programDir)
{
    const QString iconDir = programDir + QStringLiteral("/Bin/Icons");
    return writeObjectSets(iconDir) && writeControls(iconDir + QStringLiteral("/Controls"))
           && writeToolbarAndCursors(iconDir);
}

} // namespace quorvel::art
