// Draws the program folder's pictures: icon sets, marker, cursors, button faces and the
// overview maps, the grenade effects and the busy animation. Usage: quorvel_art <program folder>
#include "EffectArt.h"
#include "IconArt.h"
#include "OverviewArt.h"
#include "ToolMain.h"

int main(int argc, char **argv)
{
    return quorvel::runTool(argc, argv, 1, "quorvel_art <program folder>", [](const QStringList &args) {
        const QString &dir = args.at(0);
        return quorvel::art::writeIcons(dir) && quorvel::art::writeOverviews(dir) && quorvel::art::writeEffects(dir);
    });
}
