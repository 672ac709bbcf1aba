#include "StratSamples.h"

#include "common/CodePage.h"

#include <cstring>

namespace quorvel::samples {

tpMovimento movement(std::int16_t obj, std::initializer_list<tpPasso> steps)
{
    tpMovimento m;
    m.iObj = obj;
    m.itM = static_cast<std::int16_t>(steps.size());
    m.Passos = StepArray<tpPasso>::zeroTo(m.itM);
    int i = 1;
    for (const tpPasso &s : steps)
        m.Passos.at(i++) = s;
    return m;
}

StratDocument harborStrat(const QString &title, std::vector<tpObjeto> objects, std::vector<tpMovimento> movements)
{
    StratDocument d;
    d.sOverview = QStringLiteral("Harbor.jpg");
    d.sNomeTatica = title;
    d.iObj = static_cast<std::int16_t>(objects.size() - 1);
    d.tObjetos = std::move(objects);
    d.iMovs = static_cast<std::int16_t>(movements.size() - 1);
    d.tMovimentos = std::move(movements);
    d.iCores = 4;
    d.lCorMov = {0, 255, 65280, 16711680, 65535};
    return d;
}

StratDocument realisticStrat()
{
    StratDocument d;
    d.sOverview = QStringLiteral("Harbor.jpg");
    d.sNomeTatica = QString::fromUtf8("A-site exécute");
    d.iObj = 5;
    d.tObjetos = {{}, {2, 1200, 3400}, {5, 1800.5f, 3300}, {DeletedObject, 0, 0}, {HeGrenade, 2500, 2600}, {Bomb, 900, 900}};
    d.iTxt = 3;
    d.tTextos = {{}, {400, 500, QStringLiteral("Smoke CT")}, deletedText(), {7000, 200, QString::fromUtf8("Rush B – don't stop")}};
    d.iCores = 3;
    d.lCorMov = {0, 0x0000FF, 0x00FF8000, static_cast<std::int32_t>(0x8000000F)};
    d.iMovs = 3;
    d.tMovimentos = {
        {},
        movement(1, {{0, 2000, 3000, 8, 0, 3}, {63, 2600, 2400, 3, 1, 8}, {10, 3000, 2000, 8, -1, 0}}),
        movement(4, {{126, 4000, 1500, 20, 0, 0}}),
        movement(5, {{0, 900, 900, 8, 0, -1}, {0, 0, 0, 8, 0, 0}, {20, 1500, 1200, 3, 0, 0}}),
    };
    d.iLinks = 2;
    d.tLinks = {{}, {QStringLiteral("https://example.org/smokes"), 1, 0, 0}, {QStringLiteral("mailto:team@example.org"), 0, 1, 2}};
    d.iMkr = 2;
    d.tMarkers = {{}, {3000, 3000, QStringLiteral("Hold here until the flash")}, {3500, 1000, QString()}};
    return d;
}

StratDocument largeStrat(int objects, int texts, int movements, int steps)
{
    StratDocument d;
    d.sOverview = QStringLiteral("Refinery.jpg");
    d.sNomeTatica = QStringLiteral("Large strat");
    d.iObj = static_cast<std::int16_t>(objects);
    d.tObjetos.resize(objects + 1);
    for (int i = 1; i <= objects; ++i)
        d.tObjetos[i] = {static_cast<std::int16_t>(i % 14), float(100 + i * 7 % 15000), float(100 + i * 13 % 15000)};
    d.iTxt = static_cast<std::int16_t>(texts);
    d.iMkr = static_cast<std::int16_t>(texts);
    d.tTextos.resize(texts + 1);
    d.tMarkers.resize(texts + 1);
    for (int i = 1; i <= texts; ++i) {
        d.tTextos[i] = {float(i * 11 % 15000), float(i * 17 % 15000), QStringLiteral("Text number %1").arg(i)};
        d.tMarkers[i] = {float(i * 19 % 15000), float(i * 23 % 15000), QStringLiteral("Marker info %1").arg(i)};
    }
    d.iMovs = static_cast<std::int16_t>(movements);
    d.iCores = static_cast<std::int16_t>(movements);
    d.tMovimentos.resize(movements + 1);
    d.lCorMov.resize(movements + 1);
    for (int m = 1; m <= movements; ++m) {
        tpMovimento &mv = d.tMovimentos[m];
        mv.iObj = static_cast<std::int16_t>(m);
        mv.itM = static_cast<std::int16_t>(steps);
        mv.Passos = StepArray<tpPasso>::zeroTo(steps);
        for (int s = 1; s <= steps; ++s)
            mv.Passos.at(s) = {s % 5, 100 + (m * 37 + s * 53) % 15000, 100 + (m * 41 + s * 59) % 15000, 8, std::int16_t(s % 3 - 1), std::int16_t(s % 9)};
        d.lCorMov[m] = 0x00102030 * (m % 7);
    }
    d.iLinks = 1;
    d.tLinks = {{}, {QStringLiteral("https://example.org"), 1, 0, 0}};
    return d;
}

StratDocument walkers(int n, int seconds)
{
    StratDocument d;
    d.sOverview = QStringLiteral("Harbor.jpg");
    d.sNomeTatica = QStringLiteral("Crowd");
    d.iObj = static_cast<std::int16_t>(n);
    d.iMovs = static_cast<std::int16_t>(n);
    d.iCores = static_cast<std::int16_t>(n);
    d.tObjetos.resize(n + 1);
    d.tMovimentos.resize(n + 1);
    d.lCorMov.assign(n + 1, 255);
    const int legs = seconds * 63 * 3 / 8000 + 2; // 3 twips a frame, 8000-twip legs
    for (int i = 1; i <= n; ++i) {
        const float y = float(300 + (i * 83) % 8000);
        d.tObjetos[i] = {static_cast<std::int16_t>(i % 10), 500, y};
        tpMovimento &m = d.tMovimentos[i];
        m.iObj = static_cast<std::int16_t>(i);
        m.itM = static_cast<std::int16_t>(legs);
        m.Passos = StepArray<tpPasso>::zeroTo(legs);
        for (int s = 1; s <= legs; ++s)
            m.Passos.at(s) = {0, s % 2 ? 8500 : 500, std::int32_t(y), 3, std::int16_t(s % 3 - 1), std::int16_t(s % 9)};
    }
    return d;
}

QByteArray oldFormatBytes(const StratDocument &doc)
{
    QByteArray b;
    auto raw = [&](const void *p, int n) { b.append(static_cast<const char *>(p), n); };
    auto i16 = [&](std::int16_t v) { raw(&v, 2); };
    auto i32 = [&](std::int32_t v) { raw(&v, 4); };
    auto f32 = [&](float v) { raw(&v, 4); };
    auto text = [&](const QString &s) {
        const QByteArray t = toAnsi(s);
        i16(static_cast<std::int16_t>(t.size()));
        b.append(t);
    };
    auto fixed = [&](const QString &s, int w) {
        QByteArray t = toAnsi(s).left(w);
        t.append(w - t.size(), ' ');
        b.append(t);
    };
    fixed(doc.sOverview, 16);
    fixed(doc.sNomeTatica, 32);
    i16(doc.iObj);
    for (const tpObjeto &o : doc.tObjetos) {
        i16(o.Tipo);
        f32(o.X);
        f32(o.Y);
    }
    i16(doc.iTxt);
    for (const tpTexto &t : doc.tTextos) {
        f32(t.X);
        f32(t.Y);
        text(t.Texto);
    }
    i16(doc.iCores);
    for (std::int32_t c : doc.lCorMov)
        i32(c);
    i16(doc.iMovs);
    for (const tpMovimento &m : doc.tMovimentos) {
        i16(m.iObj);
        i16(m.itM);
        if (!m.Passos.dimensioned) {
            i16(0);
            continue;
        }
        i16(1);
        i32(static_cast<std::int32_t>(m.Passos.items.size()));
        i32(m.Passos.lowerBound);
        for (const tpPasso &s : m.Passos.items) {
            i32(s.iIni);
            i32(s.X);
            i32(s.Y);
            f32(s.sVel);
        }
    }
    i16(doc.iLinks);
    std::vector<tpLink> links = doc.tLinks;
    links.resize(doc.iLinks + 1);
    for (const tpLink &l : links) {
        text(l.sLink);
        i16(l.iLObj);
        i16(l.iLMov);
        i16(l.iLPasso);
    }
    return b;
}

} // namespace quorvel::samples
