#include "board/ProgramState.h"

#include "controls/ControlCodes.h"

namespace quorvel {

void ProgramState::fillPalette()
{
    static constexpr int rgb[12][3] = {
        {255, 127, 0}, {255, 255, 0},   {0, 255, 0},     {255, 0, 0},     {255, 255, 255}, {0, 255, 255},
        {0, 0, 255},   {255, 0, 255},   {200, 255, 200}, {255, 200, 255}, {200, 200, 255}, {255, 255, 200},
    };
    for (int i = 0; i < 12; ++i)
        lCores[i] = storedColour(rgb[i][0], rgb[i][1], rgb[i][2]);
    lCores[12] = 0;
}

QColor pathColourDrawn(std::int32_t value)
{
    // The button face of the classic desktop scheme, for 0 and for system colours.
    if (value == 0 || (static_cast<std::uint32_t>(value) & 0x80000000u))
        return QColor(212, 208, 200);
    return colourFromStored(static_cast<std::uint32_t>(value));
}

} // namespace quorvel
