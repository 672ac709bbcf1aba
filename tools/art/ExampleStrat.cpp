// Writes the example strat that a first run offers: an execute onto bomb site A of the Harbor
// map, with smoke, flash and HE, a lurker, a rotating defender and the plant.
// Usage: quorvel_example_strat <output .qvl>
#include "common/Rounding.h"
#include "document/StratFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <initializer_list>

using namespace quorvel;

namespace {

constexpr int kFps = 63;
constexpr float kRun = 8.0f, kWalk = 3.0f, kThrow = 20.0f;
enum Facing : std::int16_t { None = 0, NE, E, SE, S, SW, W, NW, N };

// Positions are given as the pixel on the map where the icon's centre stands.
struct Leg {
    int x, y;         // map pixel
    double waitSec;   // wait before this leg starts
    float vel;
    std::int16_t dir;
    std::int16_t lvl = 0;
};

struct Builder {
    StratDocument doc;

    Builder()
    {
        doc.tObjetos.assign(1, tpObjeto{});
        doc.tTextos.assign(1, tpTexto{});
        doc.tMarkers.assign(1, tpTexto{});
        doc.tMovimentos.assign(1, tpMovimento{});
        doc.lCorMov.assign(1, 0);
        doc.tLinks.assign(1, tpLink{});
    }

    static std::int32_t leftTop(int pixel, int type) { return pixel * kTwipsPerPixel - centreOffset(type); }

    int object(std::int16_t type, int x, int y)
    {
        doc.tObjetos.push_back({type, float(leftTop(x, type)), float(leftTop(y, type))});
        return ++doc.iObj;
    }

    // The path colours come from the main window's palette in turn, as the board gives them.
    int path(int obj, std::initializer_list<Leg> legs)
    {
        static const std::int32_t palette[12] = {0x007FFF, 0x00FFFF, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xFFFF00,
                                                 0xFF0000, 0xFF00FF, 0xC8FFC8, 0xFFC8FF, 0xFFC8C8, 0xC8FFFF};
        const int type = doc.tObjetos[std::size_t(obj)].Tipo;
        tpMovimento m;
        m.iObj = std::int16_t(obj);
        m.itM = std::int16_t(legs.size());
        m.Passos = StepArray<tpPasso>::zeroTo(m.itM);
        int i = 1;
        for (const Leg &l : legs)
            m.Passos.at(i++) = {std::int32_t(std::lround(l.waitSec * kFps)), leftTop(l.x, type), leftTop(l.y, type),
                                l.vel, l.lvl, l.dir};
        doc.tMovimentos.push_back(m);
        doc.lCorMov.push_back(palette[doc.iMovs % 12]);
        doc.iCores = ++doc.iMovs;
        return doc.iMovs;
    }

    void text(int x, int y, const QString &t)
    {
        doc.tTextos.push_back({float(x * kTwipsPerPixel), float(y * kTwipsPerPixel), t});
        ++doc.iTxt;
    }

    // A marker's icon stands above and left of the spot it points at.
    void marker(int x, int y, const QString &info)
    {
        doc.tMarkers.push_back({float(x * kTwipsPerPixel - 80), float(y * kTwipsPerPixel - 275), info});
        ++doc.iMkr;
    }

    void link(const QString &target, int obj, int mov, int step)
    {
        doc.tLinks.push_back({target, std::int16_t(obj), std::int16_t(mov), std::int16_t(step)});
        ++doc.iLinks;
    }
};

StratDocument exampleStrat()
{
    Builder b;
    b.doc.sOverview = QStringLiteral("Harbor.jpg");
    b.doc.sNomeTatica = QStringLiteral("Harbor - A Docks Execute");

    // Attackers (amber) leave their lot; defenders (blue) hold A, B and the main street.
    const int entry = b.object(5, 300, 500);
    const int second = b.object(6, 340, 520);
    const int office = b.object(7, 400, 500);
    const int lurker = b.object(8, 460, 520);
    const int carrier = b.object(9, 500, 490);
    const int anchorA = b.object(0, 200, 130);
    const int anchorB = b.object(1, 700, 205);
    const int mid = b.object(2, 400, 235);
    const int smoke = b.object(SmokeGrenade, 70, 262);
    const int flash = b.object(FlashGrenade, 74, 250);
    const int he = b.object(HeGrenade, 400, 300);
    const int bomb = b.object(Bomb, 160, 160);

    b.path(entry, {{230, 455, 0, kRun, W},
                                         {76, 440, 0, kRun, W},
                                         {70, 300, 0, kRun, N},
                                         {70, 262, 0, kWalk, N},
                                         {110, 195, 2.5, kRun, NE},
                                         {150, 145, 0, kRun, NE}});
    b.path(second, {{250, 470, 1.0, kRun, W},
                    {90, 452, 0, kRun, W},
                    {86, 305, 0, kRun, N},
                    {86, 275, 0, kWalk, N},
                    {70, 205, 2.0, kRun, N},
                    {90, 120, 0, kRun, N}});
    b.path(office, {{390, 440, 0, kRun, N},
                    {385, 340, 0, kRun, N},
                    {280, 340, 0, kWalk, W},
                    {200, 335, 0, kWalk, W},
                    {110, 335, 0, kWalk, W},
                    {80, 320, 3.0, kRun, NW},
                    {90, 215, 0, kRun, N},
                    {215, 200, 0, kRun, E}});
    b.path(lurker, {{400, 420, 0.5, kRun, N}, {400, 300, 0, kWalk, N}, {405, 290, 8.0, kWalk, N, 0}});
    b.path(carrier, {{270, 470, 2.0, kRun, W},
                     {80, 455, 0, kRun, W},
                     {76, 300, 0, kRun, N},
                     {90, 215, 4.0, kRun, N},
                     {150, 170, 0, kWalk, NE}});
    b.path(anchorA, {{190, 140, 0, kWalk, SW}, {230, 190, 16.0, kRun, SE}});
    b.path(anchorB, {{690, 200, 0, kWalk, W}, {600, 190, 14.0, kRun, SW}, {540, 120, 0, kRun, W}, {440, 110, 0, kRun, W},
                     {330, 150, 0, kRun, W}});
    b.path(mid, {{395, 250, 0, kWalk, S}});
    b.path(smoke, {{165, 185, 13.5, kThrow, None, 1}});
    b.path(flash, {{135, 145, 15.5, kThrow, None, 1}});
    const int hePath = b.path(he, {{415, 205, 15.0, kThrow, None, 1}});
    // The bomb shows when it is planted.
    b.path(bomb, {{160, 160, 27.0, kThrow, -1, 0}});

    b.text(300, 470, QStringLiteral("Go on the flash!"));
    b.text(110, 250, QStringLiteral("Smoke cross, flash over wall"));
    b.text(440, 280, QStringLiteral("Lurk Main St, HE the yard"));
    b.text(40, 84, QStringLiteral("Plant behind the crates"));

    b.marker(70, 262, QStringLiteral("Smoke lineup: stand on the top step and throw at the blue container's "
                                     "corner. It lands on the cross between the crates."));
    b.marker(640, 230, QStringLiteral("B anchor rotates through the yard once the smoke is seen. "
                                      "Watch the link from the yard."));
    b.marker(400, 380, QStringLiteral("Lurker: stay quiet, take the HE when the flash pops."));

    b.link(QStringLiteral("https://www.example.com/strats/harbor-a-execute"), entry, 0, 0);
    b.link(QStringLiteral("https://www.example.com/strats/harbor-he-lineup"), 0, hePath, 1);
    return b.doc;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel_example_strat <output .qvl>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(QFileInfo(path).absolutePath());
    StratDocument doc = exampleStrat();
    makeSavePlaceholders(doc);
    QString error;
    if (!writeStratFile(path, doc, StratSections::All, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], qPrintable(error));
        return 1;
    }
    return 0;
}
