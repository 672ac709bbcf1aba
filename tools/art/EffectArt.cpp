#include "EffectArt.h"

#include "gif/GifImage.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>

namespace quorvel::art {

namespace {

constexpr int kTransparent = 0;

QRgb mix(QRgb a, QRgb b, double t)
{
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return qRgb(m(qRed(a), qRed(b)), m(qGreen(a), qGreen(b)), m(qBlue(a), qBlue(b)));
}

// A ramp through the given stops, n colours.
void addRamp(GifColorTable &table, std::initializer_list<QRgb> stops, int n)
{
    const std::vector<QRgb> s(stops);
    for (int i = 0; i < n; ++i) {
        const double pos = double(i) / (n - 1) * double(s.size() - 1);
        const auto k = std::min(std::size_t(pos), s.size() - 2);
        table.append(mix(s[k], s[k + 1], pos - double(k)));
    }
}

// One palette for all effects: fire, greys, scorch browns and the flash's cold whites.
GifColorTable effectPalette()
{
    GifColorTable t;
    t.append(qRgb(0, 0, 0)); // the transparent index
    addRamp(t, {qRgb(70, 8, 0), qRgb(190, 35, 0), qRgb(255, 120, 0), qRgb(255, 215, 60), qRgb(255, 255, 220)}, 80);
    addRamp(t, {qRgb(28, 28, 28), qRgb(120, 120, 118), qRgb(238, 238, 234)}, 80);
    addRamp(t, {qRgb(14, 10, 6), qRgb(60, 42, 26), qRgb(120, 88, 54)}, 40);
    addRamp(t, {qRgb(140, 170, 255), qRgb(210, 225, 255), qRgb(255, 255, 255)}, 55);
    return t;
}

// Nearest palette entry (index 0 is kept for transparency); alpha below half is transparent.
QByteArray toIndices(const QImage &argb, const GifColorTable &palette)
{
    const QImage img = argb.convertToFormat(QImage::Format_ARGB32);
    QByteArray out(qsizetype(img.width()) * img.height(), char(kTransparent));
    for (int y = 0; y < img.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x];
            if (qAlpha(c) < 128)
                continue;
            // Un-premultiplied colour of the pixel.
            const int a = qAlpha(c);
            const int r = qRed(c) * 255 / a, g = qGreen(c) * 255 / a, b = qBlue(c) * 255 / a;
            int best = 1;
            int bestD = INT_MAX;
            for (int i = 1; i < palette.size(); ++i) {
                const int dr = qRed(palette[i]) - r, dg = qGreen(palette[i]) - g, db = qBlue(palette[i]) - b;
                const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (d < bestD) {
                    bestD = d;
                    best = i;
                }
            }
            out[qsizetype(y) * img.width() + x] = char(best);
        }
    }
    return out;
}

QImage blank(int side)
{
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A ragged blob: a circle whose radius wobbles with the angle.
QPainterPath blob(QPointF c, double r, double wobble, std::mt19937 &rng, int points = 18)
{
    std::uniform_real_distribution<double> jitter(1.0 - wobble, 1.0 + wobble);
    QPainterPath path;
    for (int i = 0; i <= points; ++i) {
        const double a = 2 * std::numbers::pi * i / points;
        const double rr = r * (i == points ? 1.0 : jitter(rng));
        const QPointF p = c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

// Burnt ground with a few embers: where an explosion rests.
void scorch(QPainter &p, QPointF c, double r, std::mt19937 &rng)
{
    QRadialGradient g(c, r);
    g.setColorAt(0, QColor(20, 14, 8));
    g.setColorAt(0.6, QColor(60, 42, 26));
    g.setColorAt(1, QColor(110, 80, 50, 0));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawPath(blob(c, r, 0.22, rng));
    std::uniform_real_distribution<double> off(-r * 0.5, r * 0.5);
    p.setBrush(QColor(255, 110, 0));
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(c + QPointF(off(rng), off(rng)), 1.2, 1.2);
}

void fireball(QPainter &p, QPointF c, double r, double heat, std::mt19937 &rng)
{
    QRadialGradient g(c, r);
    g.setColorAt(0, QColor(mix(qRgb(255, 150, 20), qRgb(255, 255, 220), heat)));
    g.setColorAt(0.35, QColor(255, 215, 60));
    g.setColorAt(0.7, QColor(255, 120, 0));
    g.setColorAt(1, QColor(190, 35, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(blob(c, r, 0.18, rng, 14));
}

// A cloud of overlapping puffs. The puffs keep their places from frame to frame (drifting a
// little with `turn`), so the cloud billows instead of flickering.
struct Puff {
    double angle, dist, size;
};

std::vector<Puff> puffLayout(std::mt19937 &rng, int n)
{
    std::uniform_real_distribution<double> ang(0, 2 * std::numbers::pi);
    std::uniform_real_distribution<double> dist(0.2, 0.75);
    std::uniform_real_distribution<double> size(0.35, 0.6);
    std::vector<Puff> puffs;
    for (int i = 0; i < n; ++i)
        puffs.push_back({ang(rng), dist(rng), size(rng)});
    return puffs;
}

void smokePuffs(QPainter &p, QPointF c, double r, int grey, const std::vector<Puff> &layout, int puffs, double turn = 0)
{
    p.setPen(Qt::NoPen);
    for (int i = 0; i < puffs && i < int(layout.size()); ++i) {
        const Puff &f = layout[std::size_t(i)];
        const double a = f.angle + turn * (i % 2 ? 1 : -1), d = f.dist * r, s = f.size * r;
        const QPointF q = c + QPointF(std::cos(a) * d, std::sin(a) * d);
        QRadialGradient g(q, s);
        g.setColorAt(0, QColor(grey + 30, grey + 30, grey + 28));
        g.setColorAt(0.8, QColor(grey, grey, grey - 2));
        g.setColorAt(1, QColor(grey - 20, grey - 20, grey - 20, 120));
        p.setBrush(g);
        p.drawEllipse(q, s, s);
    }
}

GifEncodeFrame frameOf(const QImage &img, const GifColorTable &palette, int delayCs, int disposal)
{
    GifEncodeFrame f;
    f.size = img.size();
    f.indices = toIndices(img, palette);
    f.delayMs = delayCs * 10;
    f.disposal = disposal;
    f.transparent = true;
    f.transparentIndex = kTransparent;
    return f;
}

// Explosion: the scorch mark it rests on, then a fireball that swells and breaks into smoke.
std::vector<GifEncodeFrame> explosion(const GifColorTable &pal)
{
    std::mt19937 rng(10);
    const QPointF c(25, 25);
    std::vector<GifEncodeFrame> frames;
    {
        QImage img = blank(50);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        scorch(p, c, 11, rng);
        p.end();
        frames.push_back(frameOf(img, pal, 0, 1));
    }
    const struct { double r, heat; int delay; } steps[] = {{9, 1.0, 10}, {17, 0.9, 10}, {23, 0.6, 20}, {22, 0.2, 20}};
    for (const auto &s : steps) {
        QImage img = blank(50);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        if (s.heat < 0.5)
            smokePuffs(p, c, s.r, 80, puffLayout(rng, 9), 9);
        fireball(p, c, s.r * (s.heat < 0.5 ? 0.6 : 1.0), s.heat, rng);
        p.end();
        frames.push_back(frameOf(img, pal, s.delay, 2));
    }
    return frames;
}

// Flash: a small spark it rests on, then a white burst that blinds and fades.
std::vector<GifEncodeFrame> flash(const GifColorTable &pal)
{
    std::mt19937 rng(11);
    const QPointF c(85, 85);
    std::vector<GifEncodeFrame> frames;
    for (int i = 0; i < 11; ++i) {
        QImage img = blank(170);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        if (i == 0) {
            QRadialGradient g(c, 6);
            g.setColorAt(0, QColor(255, 255, 255));
            g.setColorAt(1, QColor(150, 180, 255, 60));
            p.setBrush(g);
            p.drawEllipse(c, 6, 6);
        } else {
            // Grows fast to the full size, then thins out from the edge inwards.
            const double grow = std::min(1.0, i / 3.0);
            const double fade = i <= 3 ? 0.0 : (i - 3) / 8.0;
            const double r = 84 * grow * (1.0 - 0.55 * fade);
            QRadialGradient g(c, r);
            g.setColorAt(0, QColor(255, 255, 255));
            g.setColorAt(0.5 - 0.3 * fade, QColor(235, 242, 255));
            g.setColorAt(1, QColor(150, 180, 255, 0));
            p.setBrush(g);
            p.drawPath(blob(c, r, 0.05, rng, 24));
            // Rays while it is bright.
            if (fade < 0.5) {
                p.setPen(QPen(QColor(255, 255, 255), 2));
                for (int k = 0; k < 8; ++k) {
                    const double a = k * std::numbers::pi / 4 + i * 0.2;
                    p.drawLine(c, c + QPointF(std::cos(a), std::sin(a)) * r * 1.0);
                }
            }
        }
        p.end();
        frames.push_back(frameOf(img, pal, 0, i == 0 ? 1 : 2));
    }
    return frames;
}

// Smoke: a thin haze it rests on, then a cloud that billows, hangs and thins away.
std::vector<GifEncodeFrame> smoke(const GifColorTable &pal)
{
    std::mt19937 rng(12);
    const QPointF c(25, 25);
    const std::vector<Puff> layout = puffLayout(rng, 18);
    std::vector<GifEncodeFrame> frames;
    for (int i = 0; i < 40; ++i) {
        QImage img = blank(50);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        double r;
        int grey;
        int puffs;
        if (i == 0) {
            r = 7;
            grey = 150;
            puffs = 3;
        } else if (i < 8) { // billowing out
            r = 8 + i * 2.4;
            grey = 190 - i * 4;
            puffs = 8 + i;
        } else if (i < 32) { // hanging
            r = 24 + std::sin(i * 0.7) * 0.8;
            grey = 160 + int(std::sin(i * 0.5) * 6);
            puffs = 16;
        } else { // thinning away
            r = 24 - (i - 31) * 1.8;
            grey = 165 + (i - 31) * 6;
            puffs = 16 - (i - 31);
        }
        smokePuffs(p, c, r, grey, layout, puffs, i * 0.03);
        p.end();
        frames.push_back(frameOf(img, pal, 50, i == 0 ? 1 : 2));
    }
    return frames;
}

// The busy animation: twelve dots in a ring, a bright one going round.
GifEncodeInput loading()
{
    GifEncodeInput in;
    in.screen = QSize(64, 64);
    addRamp(in.globalColors, {qRgb(24, 24, 24), qRgb(90, 90, 90), qRgb(255, 200, 40)}, 32);
    in.loopCount = 0;
    const QPointF c(32, 32);
    for (int f = 0; f < 12; ++f) {
        QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(24, 24, 24));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 12; ++k) {
            const int age = (f - k + 12) % 12; // 0: the bright dot
            const double a = 2 * std::numbers::pi * k / 12 - std::numbers::pi / 2;
            const double t = age < 4 ? 1.0 - age / 4.0 : 0.0;
            p.setBrush(QColor(mix(qRgb(90, 90, 90), qRgb(255, 200, 40), t)));
            const double r = 3.0 + 1.8 * t;
            p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * 22, r, r);
        }
        p.end();
        GifEncodeFrame fr;
        fr.size = img.size();
        fr.indices = toIndices(img, in.globalColors);
        fr.delayMs = 80;
        fr.disposal = 1;
        in.frames.push_back(std::move(fr));
    }
    return in;
}

bool write(const QString &path, const GifEncodeInput &in)
{
    QString error;
    const QByteArray gif = encodeGif(in, &error);
    if (gif.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(gif) != gif.size() || !file.commit()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

GifEncodeInput effect(int side, std::vector<GifEncodeFrame> frames, const GifColorTable &pal)
{
    GifEncodeInput in;
    in.screen = QSize(side, side);
    in.globalColors = pal;
    in.loopCount = -1; // one pass per start: no loop block
    in.frames = std::move(frames);
    return in;
}

} // namespace

bool writeEffects(const QString &programDir)
{
    const GifColorTable pal = effectPalette();
    const QString dir = programDir + QStringLiteral("/Bin/Effects/");
    return write(dir + QStringLiteral("HE.gif"), effect(50, explosion(pal), pal))
           && write(dir + QStringLiteral("FLASH.gif"), effect(170, flash(pal), pal))
           && write(dir + QStringLiteral("SMOKE.gif"), effect(50, smoke(pal), pal))
           && write(programDir + QStringLiteral("/Bin/Loading.gif"), loading());
}

} // namespace quorvel::art
