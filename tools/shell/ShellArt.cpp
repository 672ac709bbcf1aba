// Writes the shell's part of the program folder: Bin/tips.dat from the committed tips source
// (one tip per line, Windows-1252, CR LF; lines starting with '#' are comments of the source),
// Bin/tips_<Language>.dat from each tips_<Language>.txt given after it (in the code page of
// that language's pack), the program's icon Bin/quorvel.png and the main window's background
// Bin/background.png.
// Usage: quorvel_shell_art <tips source> <program folder> [<language's tips source>...]
#include "ToolMain.h"
#include "common/CodePage.h"
#include "language/clsLanguagePack.h"

#include <QFileInfo>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

namespace {

bool writeTips(const QString &source, const QString &target,
               quorvel::CodePage::Id codePage = quorvel::CodePage::Windows1252)
{
    const quorvel::CodePage &cp = quorvel::CodePage::get(codePage);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QByteArray out;
    for (const QString &line : QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'))) {
        const QString tip = line.trimmed();
        if (tip.isEmpty() || tip.startsWith(QLatin1Char('#')))
            continue;
        if (cp.decode(cp.encode(tip)) != tip) {
            std::fprintf(stderr, "%s: the code page cannot hold: %s\n", qPrintable(source), qPrintable(tip));
            return false;
        }
        out += cp.encode(tip) + "\r\n";
    }
    QSaveFile file(target);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}

// A board with a path of three points and an arrow: what the program is for.
bool writeIcon(const QString &target)
{
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 40, 24), 2));
    p.setBrush(QColor(58, 110, 64));
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 9, 9);
    QPainterPath path(QPointF(14, 48));
    path.cubicTo(QPointF(20, 20), QPointF(36, 44), QPointF(48, 16));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 200, 40), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
    p.setBrush(QColor(255, 200, 40));
    p.drawPolygon(QPolygonF({QPointF(48, 10), QPointF(54, 22), QPointF(42, 20)}));
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(QPointF(14, 48), 6, 6);
    p.end();
    return image.save(target, "PNG");
}

// The main window's background behind the boards: a planning table of dark slate with a fine
// and a coarse grid, lighter towards the middle. The window stretches it to its size.
bool writeBackground(const QString &target)
{
    constexpr int w = 640, h = 480;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QRadialGradient shade(QPointF(w / 2.0, h / 2.0), w * 0.7);
    shade.setColorAt(0, QColor(52, 60, 70));
    shade.setColorAt(1, QColor(26, 30, 36));
    p.fillRect(image.rect(), shade);
    for (int step : {16, 80}) {
        p.setPen(QPen(step == 16 ? QColor(255, 255, 255, 14) : QColor(140, 190, 255, 38), 1));
        for (int x = 0; x <= w; x += step)
            p.drawLine(x, 0, x, h);
        for (int y = 0; y <= h; y += step)
            p.drawLine(0, y, w, y);
    }
    // A faint route across the table, the program's mark.
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath route(QPointF(60, 400));
    route.cubicTo(QPointF(180, 160), QPointF(400, 420), QPointF(580, 90));
    p.setPen(QPen(QColor(255, 200, 40, 26), 6, Qt::DashLine, Qt::RoundCap));
    p.drawPath(route);
    p.end();
    return image.save(target, "PNG");
}

} // namespace

int main(int argc, char **argv)
{
    return quorvel::runTool(argc, argv, 2,
                            "quorvel_shell_art <tips source> <program folder> [<language's tips source>...]",
                            [](const QStringList &args) {
                                const QString bin = args.at(1) + QStringLiteral("/Bin");
                                if (!QDir().mkpath(bin) || !writeTips(args.at(0), bin + QStringLiteral("/tips.dat")))
                                    return false;
                                for (const QString &source : args.mid(2)) {
                                    const QString name = QFileInfo(source).completeBaseName(); // tips_<Language>
                                    const QString language = name.section(QLatin1Char('_'), 1);
                                    if (!writeTips(source, bin + QLatin1Char('/') + name + QStringLiteral(".dat"),
                                                   quorvel::codePageForLanguage(language)))
                                        return false;
                                }
                                return writeIcon(bin + QStringLiteral("/quorvel.png"))
                                       && writeBackground(bin + QStringLiteral("/background.png"));
                            });
}
