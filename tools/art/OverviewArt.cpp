#include "OverviewArt.h"
#include "Shading.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QRegion>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <tuple>
#include <vector>

namespace quorvel::art {
namespace {

// The board shows its overview unscaled as the background of an 800 x 600 pixel drawing
// area (12000 x 9000 twips); a plan is laid out on 20-pixel cells over it.
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kCell = 20;
constexpr int kCols = kWidth / kCell;
constexpr int kRows = kHeight / kCell;

// Cell kinds: '#' building mass, '~' water, and walkable floors '.', ',', '=', ':'.
struct Palette {
    QColor floorA; // '.'
    QColor floorB; // ','
    QColor wood;   // '='
    QColor tiles;  // ':'
    QColor water;  // '~'
    QColor roof;   // '#'
};

enum class Team { Attackers, Defenders };

struct Door {
    double x, y, length;
    bool horizontal; // opening along x (a door in a wall that runs left to right)
};
struct Stairs {
    QRectF cells;
    int up; // compass facing of "up": 8 N, 2 E, 4 S, 6 W
};
struct Zone {
    QRectF cells;
    Team team;
};
struct Site {
    QRectF cells;
    QString letter;
    QPointF badge; // cell position of the letter badge
};
struct Prop {
    enum Kind { Crate, Container, Barrel, Car, Boat, Tree, Tank, Pipe, Fountain } kind;
    QRectF cells;
    QColor colour = QColor();
};
struct Label {
    QPointF cell;
    QString text;
};

struct Plan {
    QString fileName;
    quint32 seed;
    Palette palette;
    std::vector<std::pair<QRect, char>> carves;
    std::vector<Zone> spawns;
    std::vector<Site> sites;
    std::vector<Stairs> stairs;
    std::vector<Door> doors;
    std::vector<Prop> props;
    std::vector<Label> labels;
};

QRectF px(const QRectF &cells)
{
    return {cells.x() * kCell, cells.y() * kCell, cells.width() * kCell, cells.height() * kCell};
}

const QColor kAttackers(0xf0, 0x92, 0x22);
const QColor kDefenders(0x2a, 0x74, 0xd6);
const QColor kSiteRed(0xd8, 0x2c, 0x24);

// Smooth value noise in [0, 1] on a lattice of `step` pixels, fixed by the generator.
std::vector<float> valueNoise(QRandomGenerator &rng, int step)
{
    const int gw = kWidth / step + 2, gh = kHeight / step + 2;
    std::vector<float> lattice(std::size_t(gw * gh));
    for (float &v : lattice)
        v = float(rng.generateDouble());
    std::vector<float> out(std::size_t(kWidth * kHeight));
    for (int y = 0; y < kHeight; ++y) {
        const int gy = y / step;
        float fy = float(y % step) / float(step);
        fy = fy * fy * (3 - 2 * fy);
        for (int x = 0; x < kWidth; ++x) {
            const int gx = x / step;
            float fx = float(x % step) / float(step);
            fx = fx * fx * (3 - 2 * fx);
            const float a = lattice[std::size_t(gy * gw + gx)], b = lattice[std::size_t(gy * gw + gx + 1)];
            const float c = lattice[std::size_t((gy + 1) * gw + gx)], d = lattice[std::size_t((gy + 1) * gw + gx + 1)];
            out[std::size_t(y * kWidth + x)] = (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
        }
    }
    return out;
}

// Box blur of an 8-bit mask, three passes each way: close enough to a soft shadow.
void blurMask(std::vector<float> &m, int radius)
{
    std::vector<float> tmp(m.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                float s = 0;
                int n = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int xx = x + k;
                    if (xx >= 0 && xx < kWidth) {
                        s += m[std::size_t(y * kWidth + xx)];
                        ++n;
                    }
                }
                tmp[std::size_t(y * kWidth + x)] = s / float(n);
            }
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                float s = 0;
                int n = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int yy = y + k;
                    if (yy >= 0 && yy < kHeight) {
                        s += tmp[std::size_t(yy * kWidth + x)];
                        ++n;
                    }
                }
                m[std::size_t(y * kWidth + x)] = s / float(n);
            }
    }
}

class MapPainter
{
public:
    explicit MapPainter(const Plan &plan) : m_plan(plan), m_rng(plan.seed), m_img(kWidth, kHeight, QImage::Format_RGB32)
    {
        for (auto &row : m_grid)
            row.fill('#');
        for (const auto &[r, kind] : plan.carves)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (x >= 0 && x < kCols && y >= 0 && y < kRows)
                        m_grid[std::size_t(y)][std::size_t(x)] = kind;
    }

    QImage paint()
    {
        paintFloors();
        paintGrain();
        paintWallShadow();
        paintWalls();
        QPainter p(&m_img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        for (const Zone &z : m_plan.spawns)
            paintSpawn(p, z);
        for (const Site &s : m_plan.sites)
            paintSiteArea(p, s);
        for (const Stairs &s : m_plan.stairs)
            paintStairs(p, s);
        for (const Prop &prop : m_plan.props)
            paintProp(p, prop);
        for (const Door &d : m_plan.doors)
            paintDoor(p, d);
        paintGrid(p);
        for (const Site &s : m_plan.sites)
            paintSiteBadge(p, s);
        for (const Label &l : m_plan.labels)
            paintLabel(p, l.cell, l.text, 11, Qt::white);
        for (const Zone &z : m_plan.spawns)
            paintSpawnLabel(p, z);
        paintVignette(p);
        return m_img;
    }

private:
    char at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= kCols || y >= kRows)
            return '#';
        return m_grid[std::size_t(y)][std::size_t(x)];
    }

    QColor floorColour(char kind) const
    {
        const Palette &pal = m_plan.palette;
        switch (kind) {
        case '.': return pal.floorA;
        case ',': return pal.floorB;
        case '=': return pal.wood;
        case ':': return pal.tiles;
        case '~': return pal.water;
        default: return pal.roof;
        }
    }

    QRegion regionOf(const std::function<bool(char)> &pick) const
    {
        QRegion r;
        for (int y = 0; y < kRows; ++y)
            for (int x = 0; x < kCols; ++x)
                if (pick(at(x, y)))
                    r += QRect(x * kCell, y * kCell, kCell, kCell);
        return r;
    }

    void paintFloors()
    {
        QPainter p(&m_img);
        for (int y = 0; y < kRows; ++y)
            for (int x = 0; x < kCols; ++x)
                p.fillRect(x * kCell, y * kCell, kCell, kCell, floorColour(at(x, y)));
        p.setRenderHint(QPainter::Antialiasing);
        // Surface detail per kind, clipped to its own cells.
        p.save();
        p.setClipRegion(regionOf([](char c) { return c == '='; }));
        for (int y = 0; y < kHeight; y += 6) {
            QColor plank = m_plan.palette.wood.darker(100 + int(m_rng.bounded(18)));
            p.fillRect(0, y, kWidth, 6, plank);
            p.fillRect(0, y + 5, kWidth, 1, m_plan.palette.wood.darker(150));
            for (int x = int(m_rng.bounded(40)); x < kWidth; x += 30 + int(m_rng.bounded(40)))
                p.fillRect(x, y, 1, 5, m_plan.palette.wood.darker(140));
        }
        p.restore();
        p.save();
        p.setClipRegion(regionOf([](char c) { return c == ':'; }));
        for (int y = 0; y < kHeight; y += 10)
            for (int x = 0; x < kWidth; x += 10)
                if (((x + y) / 10) % 2)
                    p.fillRect(x, y, 10, 10, m_plan.palette.tiles.darker(108));
        p.setPen(QPen(m_plan.palette.tiles.darker(125), 1));
        for (int y = 0; y < kHeight; y += 10)
            p.drawLine(0, y, kWidth, y);
        for (int x = 0; x < kWidth; x += 10)
            p.drawLine(x, 0, x, kHeight);
        p.restore();
        p.save();
        p.setClipRegion(regionOf([](char c) { return c == '.'; }));
        p.setPen(QPen(m_plan.palette.floorA.darker(118), 1));
        for (int y = 0; y < kHeight; y += 40)
            p.drawLine(0, y, kWidth, y);
        for (int x = 0; x < kWidth; x += 40)
            p.drawLine(x, 0, x, kHeight);
        p.restore();
        p.save();
        p.setClipRegion(regionOf([](char c) { return c == '~'; }));
        p.setPen(QPen(m_plan.palette.water.lighter(135), 1.2));
        for (int i = 0; i < 260; ++i) {
            const double x = m_rng.bounded(kWidth), y = m_rng.bounded(kHeight);
            QPainterPath wave;
            wave.moveTo(x, y);
            wave.quadTo(x + 4, y - 2.5, x + 8, y);
            wave.quadTo(x + 12, y + 2.5, x + 16, y);
            p.drawPath(wave);
        }
        p.restore();
    }

    void paintGrain()
    {
        const std::vector<float> broad = valueNoise(m_rng, 48);
        const std::vector<float> fine = valueNoise(m_rng, 6);
        for (int y = 0; y < kHeight; ++y) {
            auto *row = reinterpret_cast<QRgb *>(m_img.scanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                const std::size_t i = std::size_t(y * kWidth + x);
                const float f = 0.86f + 0.2f * broad[i] + 0.1f * fine[i] + 0.05f * float(m_rng.generateDouble());
                const QRgb c = row[x];
                row[x] = qRgb(qBound(0, int(qRed(c) * f), 255), qBound(0, int(qGreen(c) * f), 255),
                              qBound(0, int(qBlue(c) * f), 255));
            }
        }
    }

    // Buildings throw a soft shadow to the lower right, as under a high sun.
    void paintWallShadow()
    {
        std::vector<float> mask(std::size_t(kWidth * kHeight), 0.f);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int sx = x - 6, sy = y - 7;
                mask[std::size_t(y * kWidth + x)] = at(sx < 0 ? -1 : sx / kCell, sy < 0 ? -1 : sy / kCell) == '#' ? 1.f : 0.f;
            }
        blurMask(mask, 3);
        for (int y = 0; y < kHeight; ++y) {
            auto *row = reinterpret_cast<QRgb *>(m_img.scanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                const float k = 1.f - 0.5f * mask[std::size_t(y * kWidth + x)];
                const QRgb c = row[x];
                row[x] = qRgb(int(qRed(c) * k), int(qGreen(c) * k), int(qBlue(c) * k));
            }
        }
    }

    void paintWalls()
    {
        QPainter p(&m_img);
        p.setRenderHint(QPainter::Antialiasing);
        const QRegion walls = regionOf([](char c) { return c == '#'; });
        QPainterPath outline;
        outline.addRegion(walls);
        outline = outline.simplified();
        p.save();
        p.setClipRegion(walls);
        // Roofs: the texture is kept from the grain pass, darkened towards the roof colour.
        p.fillRect(m_img.rect(), QColor(m_plan.palette.roof.red(), m_plan.palette.roof.green(),
                                        m_plan.palette.roof.blue(), 150));
        // Roof panels, so the masses read as buildings and not as holes.
        p.setPen(QPen(QColor(255, 255, 255, 14), 1));
        for (int y = 10; y < kHeight; y += 40)
            p.drawLine(0, y, kWidth, y);
        p.setPen(QPen(m_plan.palette.roof.lighter(170), 4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(outline);
        p.setPen(QPen(m_plan.palette.roof.lighter(220), 1.2));
        p.drawPath(outline.translated(-0.6, -0.6));
        p.restore();
        p.setPen(QPen(QColor(0x14, 0x14, 0x16), 1.4));
        p.drawPath(outline);
    }

    void paintSpawn(QPainter &p, const Zone &z)
    {
        const QColor c = z.team == Team::Attackers ? kAttackers : kDefenders;
        const QRectF r = px(z.cells);
        p.setBrush(QColor(c.red(), c.green(), c.blue(), 48));
        p.setPen(QPen(QColor(c.red(), c.green(), c.blue(), 220), 2, Qt::DashLine));
        p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 6, 6);
    }

    void paintSpawnLabel(QPainter &p, const Zone &z)
    {
        const QColor c = (z.team == Team::Attackers ? kAttackers : kDefenders).lighter(150);
        const QRectF r = px(z.cells);
        const QString word = z.team == Team::Attackers ? QStringLiteral("ATTACKER") : QStringLiteral("DEFENDER");
        if (r.width() >= 150) {
            paintLabel(p, r.center(), word + QStringLiteral(" SPAWN"), 12, c, true);
        } else {
            paintLabel(p, r.center() - QPointF(0, 8), word, 12, c, true);
            paintLabel(p, r.center() + QPointF(0, 8), QStringLiteral("SPAWN"), 12, c, true);
        }
    }

    void paintSiteArea(QPainter &p, const Site &s)
    {
        const QRectF r = px(s.cells);
        p.setBrush(QColor(kSiteRed.red(), kSiteRed.green(), kSiteRed.blue(), 40));
        p.setPen(QPen(QColor(kSiteRed.red(), kSiteRed.green(), kSiteRed.blue(), 210), 2, Qt::DashLine));
        p.drawRect(r.adjusted(2, 2, -2, -2));
        // Hazard corners make the plant zone stand out from a plain marked room.
        p.setPen(QPen(QColor(0xf2, 0xc4, 0x1c), 3, Qt::SolidLine, Qt::FlatCap));
        const QRectF q = r.adjusted(2, 2, -2, -2);
        const double k = 12;
        for (const auto &[corner, dx, dy] : {std::tuple{q.topLeft(), 1, 1}, std::tuple{q.topRight(), -1, 1},
                                             std::tuple{q.bottomLeft(), 1, -1}, std::tuple{q.bottomRight(), -1, -1}}) {
            p.drawLine(corner, corner + QPointF(dx * k, 0));
            p.drawLine(corner, corner + QPointF(0, dy * k));
        }
    }

    void paintSiteBadge(QPainter &p, const Site &s)
    {
        const QPointF c(s.badge.x() * kCell, s.badge.y() * kCell);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawEllipse(c + QPointF(2, 3), 21, 21);
        useShading(p, QRadialGradient(c - QPointF(6, 8), 30),
                   {{0, QColor(0xff, 0x6a, 0x5a)}, {1, QColor(0xa8, 0x14, 0x0e)}},
                   QPen(Qt::white, 2.5));
        p.drawEllipse(c, 19, 19);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(26);
        QPainterPath text;
        text.addText(0, 0, f, s.letter);
        const QRectF b = text.boundingRect();
        text.translate(c - b.center());
        p.setPen(QPen(QColor(0x40, 0x04, 0x02), 2.0));
        p.setBrush(Qt::white);
        p.drawPath(text);
    }

    void paintStairs(QPainter &p, const Stairs &s)
    {
        const QRectF r = px(s.cells).adjusted(1, 1, -1, -1);
        const bool vertical = s.up == 8 || s.up == 4;
        QLinearGradient g(vertical ? r.bottomLeft() : r.topLeft(), vertical ? r.topLeft() : r.topRight());
        const bool reversed = s.up == 4 || s.up == 6;
        g.setColorAt(reversed ? 1 : 0, QColor(0x5e, 0x5a, 0x52));
        g.setColorAt(reversed ? 0 : 1, QColor(0xd8, 0xd2, 0xc4));
        p.setPen(QPen(QColor(0x22, 0x20, 0x1c), 1.2));
        p.setBrush(g);
        p.drawRect(r);
        p.setPen(QPen(QColor(0x2a, 0x27, 0x22, 170), 1));
        if (vertical)
            for (double y = r.top() + 4; y < r.bottom(); y += 4)
                p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        else
            for (double x = r.left() + 4; x < r.right(); x += 4)
                p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        // A small arrow points up the flight.
        const double a = (s.up * 45.0 - 90.0) * M_PI / 180.0;
        const QPointF u(std::cos(a), std::sin(a)), v(-u.y(), u.x());
        const QPointF c = r.center();
        QPainterPath arrow;
        arrow.moveTo(c + u * 7);
        arrow.lineTo(c - u * 2 + v * 5);
        arrow.lineTo(c - u * 2 - v * 5);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
        p.setBrush(QColor(0xff, 0xff, 0xff, 220));
        p.drawPath(arrow);
    }

    void paintDoor(QPainter &p, const Door &d)
    {
        const QPointF a(d.x * kCell, d.y * kCell);
        const QPointF dir = d.horizontal ? QPointF(1, 0) : QPointF(0, 1);
        const QPointF normal = d.horizontal ? QPointF(0, 1) : QPointF(1, 0);
        const double len = d.length * kCell;
        const QPointF b = a + dir * len;
        // Frame posts, the threshold, and one leaf swung open with its arc.
        p.setPen(QPen(QColor(0x30, 0x2a, 0x22), 1));
        p.setBrush(QColor(0xb8, 0xb0, 0xa0));
        p.drawRect(QRectF(a - QPointF(2, 2) * 1.0, QSizeF(4, 4)));
        p.drawRect(QRectF(b - QPointF(2, 2) * 1.0, QSizeF(4, 4)));
        p.setPen(QPen(QColor(0xe8, 0xe0, 0xd0, 120), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a + dir * 3, b - dir * 3);
        const QPointF leafEnd = a + normal * (len * 0.62) + dir * (len * 0.3);
        p.setPen(QPen(QColor(0x24, 0x1a, 0x0e), 4.2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a, leafEnd);
        p.setPen(QPen(QColor(0xa8, 0x74, 0x3a), 2.6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a, leafEnd);
        p.setPen(QPen(QColor(0xff, 0xff, 0xff, 120), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        QPainterPath arc;
        arc.moveTo(leafEnd);
        arc.quadTo(a + normal * len * 0.55 + dir * len * 0.85, b);
        p.drawPath(arc);
    }

    void shadow(QPainter &p, const QPainterPath &shape, double off = 4)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawPath(shape.translated(off, off));
        p.setBrush(QColor(0, 0, 0, 45));
        p.drawPath(shape.translated(off * 0.5, off * 0.5));
    }

    void paintProp(QPainter &p, const Prop &prop)
    {
        const QRectF r = px(prop.cells);
        switch (prop.kind) {
        case Prop::Crate: {
            QPainterPath box;
            box.addRect(r);
            shadow(p, box);
            useShading(p, QLinearGradient(r.topLeft(), r.bottomRight()),
                       {{0, QColor(0xd2, 0xa8, 0x68)}, {1, QColor(0x96, 0x6a, 0x34)}},
                       QPen(QColor(0x3e, 0x28, 0x10), 1.4));
            p.drawRect(r);
            const QRectF in = r.adjusted(3, 3, -3, -3);
            p.setPen(QPen(QColor(0x6a, 0x46, 0x1e), 1.4));
            p.setBrush(Qt::NoBrush);
            p.drawRect(in);
            p.drawLine(in.topLeft(), in.bottomRight());
            p.drawLine(in.topRight(), in.bottomLeft());
            break;
        }
        case Prop::Container: {
            QPainterPath box;
            box.addRect(r);
            shadow(p, box, 5);
            const QColor c = prop.colour;
            const bool wide = r.width() > r.height();
            useShading(p, QLinearGradient(r.topLeft(), wide ? r.bottomLeft() : r.topRight()),
                       {{0, c.lighter(130)}, {0.5, c}, {1, c.darker(150)}},
                       QPen(c.darker(260), 1.4));
            p.drawRect(r);
            p.setPen(QPen(c.darker(170), 1));
            if (wide)
                for (double x = r.left() + 4; x < r.right() - 2; x += 4)
                    p.drawLine(QPointF(x, r.top() + 2), QPointF(x, r.bottom() - 2));
            else
                for (double y = r.top() + 4; y < r.bottom() - 2; y += 4)
                    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
            break;
        }
        case Prop::Barrel: {
            QPainterPath drum;
            drum.addEllipse(r);
            shadow(p, drum, 3);
            useShading(p, QRadialGradient(r.center() - QPointF(r.width() * 0.2, r.height() * 0.2), r.width() * 0.7),
                       {{0, prop.colour.lighter(140)}, {1, prop.colour.darker(140)}},
                       QPen(prop.colour.darker(260), 1.2));
            p.drawEllipse(r);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(r.adjusted(r.width() * 0.25, r.height() * 0.25, -r.width() * 0.25, -r.height() * 0.25));
            break;
        }
        case Prop::Car: {
            QPainterPath body;
            body.addRoundedRect(r, 5, 5);
            shadow(p, body);
            p.setPen(QPen(prop.colour.darker(250), 1.2));
            p.setBrush(prop.colour);
            p.drawPath(body);
            const bool wide = r.width() > r.height();
            const QRectF glass = wide ? r.adjusted(r.width() * 0.28, 3, -r.width() * 0.3, -3)
                                      : r.adjusted(3, r.height() * 0.28, -3, -r.height() * 0.3);
            p.setBrush(QColor(0x2a, 0x36, 0x44));
            p.drawRoundedRect(glass, 2, 2);
            p.setBrush(prop.colour.lighter(115));
            p.drawRoundedRect(wide ? glass.adjusted(glass.width() * 0.22, 1.5, -glass.width() * 0.22, -1.5)
                                   : glass.adjusted(1.5, glass.height() * 0.22, -1.5, -glass.height() * 0.22),
                              1.5, 1.5);
            break;
        }
        case Prop::Boat: {
            QPainterPath hull;
            hull.moveTo(r.left(), r.top() + 3);
            hull.lineTo(r.right() - r.height() * 0.8, r.top());
            hull.quadTo(r.right() + 2, r.center().y(), r.right() - r.height() * 0.8, r.bottom());
            hull.lineTo(r.left(), r.bottom() - 3);
            hull.closeSubpath();
            shadow(p, hull, 3);
            p.setPen(QPen(QColor(0x1a, 0x1a, 0x1a), 1.2));
            p.setBrush(prop.colour);
            p.drawPath(hull);
            p.setBrush(QColor(0xee, 0xee, 0xe8));
            p.drawRoundedRect(QRectF(r.left() + r.width() * 0.2, r.top() + r.height() * 0.25, r.width() * 0.35,
                                     r.height() * 0.5),
                              2, 2);
            break;
        }
        case Prop::Tree: {
            QPainterPath crown;
            crown.addEllipse(r);
            shadow(p, crown, 6);
            useShading(p, QRadialGradient(r.center() - QPointF(r.width() * 0.2, r.height() * 0.25), r.width() * 0.7),
                       {{0, QColor(0x8c, 0xb8, 0x56)}, {1, QColor(0x2e, 0x4e, 0x1c)}},
                       QPen(QColor(0x1c, 0x30, 0x10), 1));
            p.drawEllipse(r);
            p.setBrush(QColor(0x9c, 0xc8, 0x62, 110));
            p.setPen(Qt::NoPen);
            p.drawEllipse(r.adjusted(r.width() * 0.18, r.height() * 0.12, -r.width() * 0.4, -r.height() * 0.45));
            break;
        }
        case Prop::Tank: {
            useShading(p, QRadialGradient(r.center() - QPointF(r.width() * 0.18, r.height() * 0.2), r.width() * 0.65),
                       {{0, QColor(0xe6, 0xe6, 0xe0)}, {1, QColor(0x7a, 0x7c, 0x7a)}},
                       QPen(QColor(0x22, 0x24, 0x26), 1.4));
            p.drawEllipse(r);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(0x50, 0x52, 0x54), 1));
            p.drawEllipse(r.adjusted(r.width() * 0.12, r.height() * 0.12, -r.width() * 0.12, -r.height() * 0.12));
            p.drawEllipse(QRectF(r.center() - QPointF(4, 4), QSizeF(8, 8)));
            break;
        }
        case Prop::Pipe: {
            const bool wide = r.width() > r.height();
            useShading(p, QLinearGradient(r.topLeft(), wide ? r.bottomLeft() : r.topRight()),
                       {{0, prop.colour.darker(150)}, {0.4, prop.colour.lighter(150)}, {1, prop.colour.darker(200)}},
                       QPen(QColor(0x1a, 0x1a, 0x1a), 1));
            p.drawRect(r);
            p.setPen(QPen(prop.colour.darker(260), 1));
            if (wide)
                for (double x = r.left() + 30; x < r.right(); x += 40)
                    p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
            else
                for (double y = r.top() + 30; y < r.bottom(); y += 40)
                    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
            break;
        }
        case Prop::Fountain: {
            QPainterPath basin;
            basin.addEllipse(r);
            shadow(p, basin, 3);
            p.setPen(QPen(QColor(0x40, 0x3c, 0x36), 1.4));
            p.setBrush(QColor(0xc8, 0xc0, 0xb0));
            p.drawEllipse(r);
            p.setBrush(QColor(0x3a, 0x7a, 0x9a));
            p.drawEllipse(r.adjusted(5, 5, -5, -5));
            p.setBrush(QColor(0xd8, 0xd0, 0xc0));
            p.drawEllipse(QRectF(r.center() - QPointF(5, 5), QSizeF(10, 10)));
            break;
        }
        }
    }

    void paintGrid(QPainter &p)
    {
        p.setPen(QPen(QColor(255, 255, 255, 16), 1));
        for (int x = 40; x < kWidth; x += 40)
            p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, kHeight));
        for (int y = 40; y < kHeight; y += 40)
            p.drawLine(QPointF(0, y + 0.5), QPointF(kWidth, y + 0.5));
    }

    void paintLabel(QPainter &p, QPointF at, const QString &text, int size, const QColor &colour, bool pixels = false)
    {
        const QPointF c = pixels ? at : QPointF(at.x() * kCell, at.y() * kCell);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(size);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
        QPainterPath path;
        path.addText(0, 0, f, text);
        path.translate(c - path.boundingRect().center());
        p.setPen(QPen(QColor(0, 0, 0, 200), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(path);
    }

    void paintVignette(QPainter &p)
    {
        QRadialGradient g(QPointF(kWidth / 2.0, kHeight / 2.0), kWidth * 0.68);
        g.setColorAt(0.6, QColor(0, 0, 0, 0));
        g.setColorAt(1, QColor(0, 0, 0, 70));
        p.fillRect(m_img.rect(), g);
    }

    const Plan &m_plan;
    QRandomGenerator m_rng;
    QImage m_img;
    std::array<std::array<char, kCols>, kRows> m_grid{};
};

// ---- The maps. Cells are 20 pixels; x runs 0..39, y 0..29. ----

Plan harbor()
{
    Plan m;
    m.fileName = QStringLiteral("Harbor.jpg");
    m.seed = 0x4a7b01;
    m.palette = {QColor(0xbc, 0xb6, 0xa6), QColor(0x86, 0x84, 0x7e), QColor(0xa0, 0x7a, 0x4e),
                 QColor(0xc6, 0xc0, 0xb0), QColor(0x2a, 0x5e, 0x7a), QColor(0x46, 0x4b, 0x52)};
    m.carves = {
        {{1, 1, 38, 3}, '~'},   {{5, 1, 3, 3}, '='},    {{24, 1, 2, 3}, '='},   // water, piers
        {{1, 4, 15, 8}, '.'},   {{16, 6, 1, 3}, '.'},                           // docks (A)
        {{17, 4, 9, 6}, ','},   {{26, 5, 2, 2}, ','},                           // defender yard
        {{28, 4, 10, 9}, '='},                                                  // warehouse (B)
        {{18, 10, 4, 13}, ','},                                                 // main street
        {{12, 23, 16, 5}, ','},                                                 // attacker lot
        {{2, 21, 10, 3}, '.'},  {{2, 12, 3, 9}, '.'},                           // west alley
        {{7, 14, 6, 5}, ':'},   {{5, 16, 2, 2}, '.'},   {{13, 16, 5, 2}, '.'},  // office
        {{22, 15, 12, 2}, ','},                                                 // cross street
        {{34, 13, 3, 11}, '.'}, {{28, 24, 9, 3}, ','},                          // east lane
    };
    m.spawns = {{{17.3, 4.3, 8.4, 4.6}, Team::Defenders}, {{12.3, 23.6, 15.4, 4.1}, Team::Attackers}};
    m.sites = {{{2.5, 5.0, 10, 5.5}, QStringLiteral("A"), {4.6, 8.2}},
               {{29.0, 5.0, 8, 5.5}, QStringLiteral("B"), {33.0, 7.6}}};
    m.stairs = {{{2, 12, 3, 1.6}, 8}, {{36.2, 10, 1.6, 2.8}, 8}};
    m.doors = {{28, 5, 2, false}, {7, 16, 2, false}, {13, 16, 2, false}, {34, 13, 3, true}};
    m.props = {
        {Prop::Container, {1.3, 4.4, 3.6, 1.3}, QColor(0x2c, 0x5c, 0xa8)},
        {Prop::Container, {13.4, 4.3, 1.3, 3.4}, QColor(0xb0, 0x36, 0x2a)},
        {Prop::Container, {13.4, 8.2, 1.3, 3.4}, QColor(0x3e, 0x8a, 0x4a)},
        {Prop::Crate, {8.2, 6.0, 1.4, 1.4}},
        {Prop::Crate, {9.6, 6.0, 1.4, 1.4}},
        {Prop::Crate, {8.9, 7.4, 1.4, 1.4}},
        {Prop::Crate, {5.0, 10.3, 1.2, 1.2}},
        {Prop::Barrel, {11.3, 10.2, 0.9, 0.9}, QColor(0x2a, 0x6a, 0xb0)},
        {Prop::Barrel, {12.2, 10.6, 0.9, 0.9}, QColor(0x2a, 0x6a, 0xb0)},
        {Prop::Boat, {11.5, 1.5, 4.5, 1.5}, QColor(0xe4, 0xe2, 0xda)},
        {Prop::Boat, {29.5, 1.7, 5.5, 1.7}, QColor(0xb8, 0x3c, 0x30)},
        {Prop::Crate, {30.0, 5.6, 1.5, 1.5}},
        {Prop::Crate, {31.5, 5.6, 1.5, 1.5}},
        {Prop::Crate, {29.4, 10.4, 1.3, 1.3}},
        {Prop::Crate, {34.6, 8.6, 1.4, 1.4}},
        {Prop::Container, {30.6, 10.8, 3.4, 1.3}, QColor(0x8a, 0x6a, 0x2a)},
        {Prop::Car, {19.0, 11.5, 1.3, 2.4}, QColor(0x9a, 0x2a, 0x26)},
        {Prop::Car, {22.8, 8.5, 2.4, 1.2}, QColor(0x3a, 0x6a, 0x9a)},
        {Prop::Barrel, {20.6, 19.8, 0.9, 0.9}, QColor(0x6a, 0x7a, 0x30)},
        {Prop::Crate, {9.8, 14.4, 1.3, 1.3}},
        {Prop::Crate, {26.0, 15.1, 1.2, 1.2}},
        {Prop::Crate, {35.2, 19.0, 1.3, 1.3}},
        {Prop::Car, {14.0, 26.2, 2.4, 1.2}, QColor(0xd8, 0xd4, 0xc8)},
        {Prop::Container, {2.3, 22.0, 3.4, 1.3}, QColor(0xc8, 0x80, 0x20)},
    };
    m.labels = {{{8.0, 11.3}, QStringLiteral("DOCKS")},       {{33.0, 12.3}, QStringLiteral("WAREHOUSE")},
                {{10.0, 18.4}, QStringLiteral("OFFICE")},     {{20.0, 17.5}, QStringLiteral("MAIN ST")},
                {{3.5, 17.0}, QStringLiteral("ALLEY")},       {{28.0, 16.0}, QStringLiteral("CROSS")},
                {{35.5, 21.8}, QStringLiteral("EAST")},       {{20.5, 2.2}, QStringLiteral("BAY")}};
    return m;
}

Plan refinery()
{
    Plan m;
    m.fileName = QStringLiteral("Refinery.jpg");
    m.seed = 0x5e1f02;
    m.palette = {QColor(0xcc, 0xb6, 0x8a), QColor(0xa8, 0xa4, 0x98), QColor(0x8e, 0x72, 0x4e),
                 QColor(0xb8, 0xbe, 0xc0), QColor(0x3a, 0x4a, 0x40), QColor(0x5a, 0x52, 0x46)};
    m.carves = {
        {{1, 11, 5, 9}, '.'},                                                   // attacker camp
        {{33, 11, 6, 8}, ','},                                                  // defender post
        {{14, 2, 12, 8}, '.'},                                                  // loading yard (A)
        {{14, 21, 12, 7}, ':'},                                                 // control hall (B)
        {{2, 4, 3, 7}, '.'},    {{5, 4, 9, 3}, '.'},                            // north road
        {{2, 20, 3, 5}, '.'},   {{5, 22, 9, 3}, '.'},                           // south road
        {{6, 14, 27, 3}, ','},  {{17, 12, 6, 7}, '.'},                          // pipe alley, pumps
        {{19, 10, 2, 2}, '.'},  {{19, 19, 2, 2}, ','},                          // pumps to A and B
        {{30, 5, 3, 20}, ','},  {{26, 5, 4, 3}, '.'},   {{26, 22, 4, 2}, ','},  // catwalk
    };
    m.spawns = {{{1.2, 11.3, 4.6, 8.4}, Team::Attackers}, {{33.3, 11.3, 5.4, 7.4}, Team::Defenders}};
    m.sites = {{{15.5, 2.5, 9, 5.5}, QStringLiteral("A"), {22.6, 5.2}},
               {{15.5, 22.0, 9, 5.0}, QStringLiteral("B"), {17.6, 25.4}}};
    m.stairs = {{{19, 10, 2, 2}, 8}, {{2, 20, 3, 1.6}, 4}};
    m.doors = {{14, 22, 3, false}, {19, 21, 2, true}, {26, 22, 2, false}};
    m.props = {
        {Prop::Tank, {6.4, 7.6, 5.2, 5.2}},
        {Prop::Tank, {24.2, 17.4, 4.6, 4.6}},
        {Prop::Tank, {27.6, 1.0, 4.0, 4.0}},
        {Prop::Tank, {7.0, 25.4, 3.6, 3.6}},
        {Prop::Pipe, {6.0, 13.55, 11.0, 0.45}, QColor(0xb0, 0x8a, 0x3a)},
        {Prop::Pipe, {23.0, 16.95, 7.0, 0.45}, QColor(0x8a, 0x9a, 0xa8)},
        {Prop::Pipe, {34.0, 20.0, 0.5, 9.0}, QColor(0xb0, 0x8a, 0x3a)},
        {Prop::Pipe, {11.8, 1.0, 0.5, 3.0}, QColor(0x8a, 0x9a, 0xa8)},
        {Prop::Container, {14.3, 8.4, 3.4, 1.3}, QColor(0xc8, 0x6a, 0x1c)},
        {Prop::Crate, {19.0, 4.2, 1.5, 1.5}},
        {Prop::Crate, {20.5, 4.2, 1.5, 1.5}},
        {Prop::Crate, {19.7, 2.7, 1.5, 1.5}},
        {Prop::Barrel, {24.6, 8.4, 1.0, 1.0}, QColor(0xc0, 0x30, 0x24)},
        {Prop::Barrel, {23.6, 8.7, 1.0, 1.0}, QColor(0xc0, 0x30, 0x24)},
        {Prop::Crate, {20.5, 22.6, 1.4, 1.4}},
        {Prop::Crate, {21.9, 22.6, 1.4, 1.4}},
        {Prop::Container, {23.0, 25.0, 1.3, 2.8}, QColor(0x4a, 0x6a, 0x8a)},
        {Prop::Barrel, {17.6, 13.0, 1.0, 1.0}, QColor(0x3a, 0x7a, 0x3a)},
        {Prop::Barrel, {21.3, 17.4, 1.0, 1.0}, QColor(0x3a, 0x7a, 0x3a)},
        {Prop::Crate, {10.2, 4.4, 1.3, 1.3}},
        {Prop::Crate, {10.0, 22.5, 1.3, 1.3}},
        {Prop::Car, {2.4, 17.2, 1.3, 2.5}, QColor(0xd0, 0xc8, 0x9a)},
        {Prop::Crate, {36.4, 11.5, 1.4, 1.4}},
        {Prop::Container, {30.4, 8.5, 1.3, 3.2}, QColor(0x6a, 0x8a, 0x3a)},
    };
    m.labels = {{{20.0, 9.0}, QStringLiteral("YARD")},      {{20.0, 15.5}, QStringLiteral("PUMPS")},
                {{20.0, 27.3}, QStringLiteral("CONTROL")},  {{9.0, 5.5}, QStringLiteral("NORTH ROAD")},
                {{9.0, 23.5}, QStringLiteral("SOUTH ROAD")}, {{31.5, 22.3}, QStringLiteral("CATWALK")},
                {{11.0, 15.5}, QStringLiteral("PIPES")}};
    return m;
}

Plan citadel()
{
    Plan m;
    m.fileName = QStringLiteral("Citadel.jpg");
    m.seed = 0xc17a03;
    m.palette = {QColor(0xa8, 0xa0, 0x90), QColor(0x74, 0x8e, 0x4c), QColor(0x94, 0x6a, 0x40),
                 QColor(0xd2, 0xcc, 0xbc), QColor(0x2e, 0x56, 0x5a), QColor(0x5c, 0x56, 0x50)};
    m.carves = {
        {{1, 1, 2, 28}, '~'},   {{37, 1, 2, 28}, '~'},                          // moat
        {{15, 11, 10, 8}, ','},                                                 // courtyard
        {{14, 24, 12, 4}, '.'}, {{18, 19, 4, 5}, '.'},                          // gate square, gate
        {{15, 2, 10, 4}, '.'},  {{19, 6, 2, 5}, '.'},                           // keep, keep steps
        {{4, 4, 9, 8}, ':'},    {{27, 4, 9, 8}, '='},                           // chapel (A), armory (B)
        {{13, 3, 2, 2}, '.'},   {{25, 3, 2, 2}, '.'},                           // keep side doors
        {{4, 24, 10, 3}, '.'},  {{4, 12, 3, 12}, '.'},                          // west wall walk
        {{26, 24, 10, 3}, '.'}, {{33, 12, 3, 12}, '.'},                         // east wall walk
        {{7, 14, 8, 2}, '.'},   {{25, 16, 8, 2}, '.'},                          // cloister, passage
    };
    m.spawns = {{{15.3, 2.2, 9.4, 3.6}, Team::Defenders}, {{14.3, 24.2, 11.4, 3.6}, Team::Attackers}};
    m.sites = {{{5.0, 5.0, 7, 5.5}, QStringLiteral("A"), {8.5, 7.8}},
               {{28.0, 5.0, 7, 5.5}, QStringLiteral("B"), {31.5, 7.8}}};
    m.stairs = {{{19, 6, 2, 2.5}, 8}, {{4, 13, 3, 2}, 8}, {{33, 13, 3, 2}, 8}};
    m.doors = {{18, 19, 4, true}, {15, 3, 2, false}, {25, 3, 2, false}, {4, 12, 3, true}, {33, 12, 3, true}};
    m.props = {
        {Prop::Fountain, {19.0, 13.8, 2.0, 2.0}},
        {Prop::Tree, {15.6, 11.4, 2.4, 2.4}},
        {Prop::Tree, {22.2, 16.2, 2.4, 2.4}},
        {Prop::Tree, {22.6, 11.3, 1.8, 1.8}},
        {Prop::Tree, {15.5, 16.6, 1.8, 1.8}},
        {Prop::Crate, {5.0, 10.4, 1.3, 1.3}},
        {Prop::Crate, {10.8, 4.5, 1.4, 1.4}},
        {Prop::Crate, {10.8, 5.9, 1.4, 1.4}},
        {Prop::Barrel, {7.2, 4.6, 0.9, 0.9}, QColor(0x7a, 0x52, 0x2a)},
        {Prop::Crate, {27.5, 9.8, 1.5, 1.5}},
        {Prop::Crate, {29.0, 9.8, 1.5, 1.5}},
        {Prop::Crate, {34.2, 4.5, 1.4, 1.4}},
        {Prop::Barrel, {34.4, 10.5, 0.9, 0.9}, QColor(0x7a, 0x52, 0x2a)},
        {Prop::Barrel, {33.5, 10.8, 0.9, 0.9}, QColor(0x7a, 0x52, 0x2a)},
        {Prop::Crate, {14.6, 26.2, 1.3, 1.3}},
        {Prop::Crate, {24.2, 24.5, 1.3, 1.3}},
        {Prop::Crate, {5.2, 19.0, 1.3, 1.3}},
        {Prop::Crate, {34.0, 21.0, 1.3, 1.3}},
        {Prop::Crate, {11.0, 14.2, 1.2, 1.2}},
    };
    m.labels = {{{20.0, 18.3}, QStringLiteral("COURTYARD")}, {{8.5, 11.3}, QStringLiteral("CHAPEL")},
                {{31.5, 11.3}, QStringLiteral("ARMORY")},     {{10.5, 15.0}, QStringLiteral("CLOISTER")},
                {{5.5, 18.0}, QStringLiteral("WEST WALK")},   {{34.5, 18.0}, QStringLiteral("EAST WALK")},
                {{20.0, 21.0}, QStringLiteral("GATE")},       {{29.0, 17.0}, QStringLiteral("PASSAGE")}};
    return m;
}

// The classic edition's look of a map: half the resolution shown in big pixels, faded olive
// colours from a small palette, and an edition tag in the corner.
QImage classicLook(const QImage &modern)
{
    QImage img = modern.scaled(kWidth / 2, kHeight / 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                     .convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int r = qRed(line[x]), g = qGreen(line[x]), b = qBlue(line[x]);
            const int grey = (r * 30 + g * 59 + b * 11) / 100;
            // Half way to grey, then warmed towards olive and darkened a little.
            // Eight levels of red and green and four of blue: at most 256 colours.
            const int nr = std::min(255, (r + grey) / 2 + 12) & 0xe0;
            const int ng = std::min(255, (g + grey) / 2 + 8) & 0xe0;
            const int nb = std::max(0, (b + grey) / 2 - 18) & 0xc0;
            line[x] = qRgb(nr | nr >> 3, ng | ng >> 3, nb | nb >> 2);
        }
    }
    img = img.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        QFont f(QStringLiteral("DejaVu Sans Mono"));
        f.setBold(true);
        f.setPixelSize(14);
        p.setFont(f);
        const QRect tag(kWidth - 104, kHeight - 26, 96, 18);
        p.fillRect(tag, QColor(0x24, 0x24, 0x00));
        p.setPen(QColor(0xe7, 0xe7, 0x80));
        p.drawRect(tag.adjusted(0, 0, -1, -1));
        p.drawText(tag, Qt::AlignCenter, QStringLiteral("CLASSIC"));
    }
    // The colours above fit one 8-bit palette exactly, as the edition's pictures had.
    return img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace

bool writeOverviews(const QString &programDir)
{
    const QString dir = programDir + QStringLiteral("/Overviews");
    QDir().mkpath(dir);
    for (const Plan &plan : {harbor(), refinery(), citadel()}) {
        const QImage img = MapPainter(plan).paint();
        const QString path = dir + QLatin1Char('/') + plan.fileName;
        // The classic edition's "*.src" maps are bitmaps; the picture loader knows them by
        // their content, not by the name.
        QString classicPath = path;
        classicPath.replace(classicPath.size() - 4, 4, QStringLiteral(".src"));
        if (!img.save(path, "JPG", 92) || !classicLook(img).save(classicPath, "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

} // namespace quorvel::art
