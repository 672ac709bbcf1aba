#pragma once
// The board's placing tool: with a tool armed from the toolbar a press on the bare board
// places an object, a grenade, the bomb (with its path), a text or a marker; in path-point
// mode it adds a point to the selected object's path, asking for the step, and a rubber band
// follows the mouse from the path's end. The document makes every change.

#include "board/BoardDocument.h"
#include "board/ToolContext.h"
#include "board/frmMov.h"

#include <QPointF>

class QGraphicsLineItem;

namespace quorvel {

class BoardHost;
class ElementDialogs;
struct SharedToolState;

class PlacingTool {
public:
    PlacingTool(const ToolContext &tools, ElementDialogs &dialogs);

    // A press on the bare board (after playback took its share of it).
    void press(Qt::KeyboardModifiers shift, QPointF pos);
    // The mouse over the bare board with a tool armed: rubber band and cursor.
    void hover(QPointF pos);
    // Gives the bomb of the right-click selection its path.
    void SetBomb();
    // Path-point mode ends (Esc, focus lost, the object deleted).
    void hideBand();

    bool bSetStartFrame = false;
    QGraphicsLineItem *tlinha = nullptr; // the rubber band

private:
    void placeElement(ArmedTool tool, QPointF pos);
    void addPathPoint(QPointF pos, Qt::KeyboardModifiers shift);
    // Whether the object may have a path: a new one needs a free movement slot (the user is
    // told when there is none).
    bool mayOpenPath(std::int16_t object);
    // Whether the board can draw one more path point (the user is told when it cannot and
    // what was refused).
    bool mayAddPoint(const QString &refused);
    // A path was opened (created) or continued for an object of this type.
    void pathOpened(bool created, std::int16_t type);
    MovStep continuedStep(bool small, const tpPasso *last) const;

    ToolContext tools_;
    SharedToolState &state_;
    BoardHost &host_;
    ElementDialogs &dialogs_;
};

} // namespace quorvel
