// Draws the program folder's pictures: icon sets, marker, cursors, button faces and the
// overview maps, the grenade effects and the busy animation. Usage: quorvel_art <program folder>
#include "EffectArt.h"
#include "IconArt.h"
#include "OverviewArt.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quorvel_art <program folder>\n");
        return 2;
    }
    const QString dir = args.at(1);
    return quorvel::art::writeIcons(dir) && quorvel::art::writeOverviews(dir) && quorvel::art::writeEffects(dir) ? 0 : 1;
}
