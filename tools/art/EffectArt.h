#pragma once
// The grenade effects and the busy animation, drawn here and written with our GIF encoder:
// Bin/Effects/HE.gif (explosion, 50 x 50, 5 frames), FLASH.gif (170 x 170, 11 frames),
// SMOKE.gif (50 x 50, 40 frames), all transparent without a loop block, and Bin/Loading.gif.
// Frame 1 of each effect is the picture it rests on after its pass.

#include <QString>

namespace quorvel::art {

bool writeEffects(const QString &programDir);

} // namespace quorvel::art
