#include "board/ToolState.h"

namespace quorvel {

ArmedTool ToolState::armed(std::int16_t slot) const
{
    if (pathMode(slot))
        return ArmedTool::PathPoint;
    if (chosen_ == ArmedTool::Hand)
        return ArmedTool::Hand;
    if (!placing_)
        return ArmedTool::None;
    return chosen_ == ArmedTool::Text || chosen_ == ArmedTool::Marker ? chosen_ : ArmedTool::Object;
}

ArmedTool ToolState::keptByReset() const
{
    return chosen_ == ArmedTool::Marker ? ArmedTool::Marker : ArmedTool::None;
}

void ToolState::set(ArmedTool choice, bool placingNow, std::int16_t pathSlot)
{
    if (choice == chosen_ && placingNow == placing_ && pathSlot == pathBoard_)
        return;
    chosen_ = choice;
    placing_ = placingNow;
    pathBoard_ = pathSlot;
    emit changed();
}

void ToolState::choose(ArmedTool tool)
{
    if (tool == ArmedTool::PathPoint)
        tool = ArmedTool::None;
    chosen_ = tool;
    placing_ = tool != ArmedTool::Hand && tool != ArmedTool::None;
    pathBoard_ = 0;
    emit changed();
}

void ToolState::addMovement(std::int16_t slot) { set(chosen_, true, slot != 0 ? slot : pathBoard_); }

void ToolState::rearmPathPoints(std::int16_t slot) { set(chosen_, true, slot); }

void ToolState::reset(std::int16_t slot)
{
    set(keptByReset(), false, pathMode(slot) ? std::int16_t(0) : pathBoard_);
}

void ToolState::mouseUp() { set(keptByReset(), false, pathBoard_); }

void ToolState::releaseShift() { set(chosen_, false, pathBoard_); }

void ToolState::placed()
{
    set(chosen_ == ArmedTool::Text || chosen_ == ArmedTool::Marker ? ArmedTool::None : chosen_, false, pathBoard_);
}

void ToolState::objectGone(std::int16_t slot)
{
    if (pathMode(slot))
        set(chosen_, false, 0);
}

void ToolState::boardClosed(std::int16_t slot)
{
    if (pathMode(slot))
        set(chosen_, placing_, 0);
}

} // namespace quorvel
