#pragma once
// The values the controls exchange in the Windows design's terms: a colour stored as
// 0x00BBGGRR, and the mouse buttons and shift keys of an event as bit codes (1 left, 2 right,
// 4 middle; 1 Shift, 2 Ctrl, 4 Alt).

#include <QColor>

#include <cstdint>

namespace quorvel {

inline QColor colourFromStored(std::uint32_t value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

inline std::int16_t mouseButtonCode(Qt::MouseButtons b)
{
    return std::int16_t(((b & Qt::LeftButton) ? 1 : 0) | ((b & Qt::RightButton) ? 2 : 0) | ((b & Qt::MiddleButton) ? 4 : 0));
}

inline std::int16_t shiftCode(Qt::KeyboardModifiers m)
{
    return std::int16_t(((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) | ((m & Qt::AltModifier) ? 4 : 0));
}

} // namespace quorvel
