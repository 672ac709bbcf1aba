#include "board/ProgramState.h"

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

RgbColour colourFromStored(std::int32_t value)
{
    // The button face of the classic desktop scheme, for 0 and for system colours.
    constexpr RgbColour buttonFace{212, 208, 200};
    if (value == 0 || (static_cast<std::uint32_t>(value) & 0x80000000u))
        return buttonFace;
    return {value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF};
}

} // namespace quorvel
