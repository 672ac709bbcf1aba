#include "board/DragTool.h"

#include "board/BoardBounds.h"
#include "board/BoardDocument.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "common/Rounding.h"
#include "playback/PlaybackController.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QPen>
#include <QWidget>

#include <algorithm>

namespace quorvel {

namespace {

QGraphicsRectItem *outline(BoardScene &scene, qreal w, qreal h)
{
    QPen pen(Qt::white, 1, Qt::DashLine);
    pen.setCosmetic(true);
    auto *item = scene.addRect(0, 0, w, h, pen);
    item->setZValue(100);
    item->setVisible(false);
    return item;
}

template <typename Item>
Item *itemAt(const std::vector<Item *> &items, int i)
{
    return i >= 0 && std::size_t(i) < items.size() ? items[std::size_t(i)] : nullptr;
}

} // namespace

DragTool::DragTool(const ToolContext &tools) : tools_(tools), state_(tools.state)
{
    shpT = outline(tools.scene, 150, 210);
    shpM = outline(tools.scene, 100, 100);
    shpMarker = outline(tools.scene, 180, 270);
}

QGraphicsRectItem *DragTool::outlineOf(BoardElement kind) const
{
    return kind == BoardElement::Point ? shpM : kind == BoardElement::Marker ? shpMarker : shpT;
}

QPointF DragTool::elementPos(BoardElement kind, int i, bool &found) const
{
    const BoardScene &scene = tools_.scene;
    const QGraphicsItem *item = nullptr;
    switch (kind) {
    case BoardElement::Object: item = itemAt(scene.imgObj, i); break;
    case BoardElement::Text: item = itemAt(scene.lblTexto, i); break;
    case BoardElement::Marker: item = itemAt(scene.imgMarker, i); break;
    case BoardElement::Point:
        if (const PathPoint *pt = tools_.document.point(i)) {
            found = true;
            return QPointF(pt->Left, pt->Top);
        }
        break;
    default: break;
    }
    found = item != nullptr;
    return item ? item->pos() : QPointF();
}

QRectF DragTool::extentOf(BoardElement kind, int i) const
{
    const BoardScene &scene = tools_.scene;
    const BoardDocument &doc = tools_.document;
    const QGraphicsItem *item = nullptr;
    switch (kind) {
    case BoardElement::Object: item = itemAt(scene.imgObj, i); break;
    case BoardElement::Text:
        // Not the label as shown here: one near an edge shows only what fits before it.
        if (const tpTexto *t = doc.text(i))
            return BoardScene::labelExtent(t->Texto);
        break;
    case BoardElement::Marker: item = itemAt(scene.imgMarker, i); break;
    case BoardElement::Point:
        // The icon that walks to the point ends its step around it.
        if (const PathPoint *pt = doc.point(i)) {
            const tpMovimento *m = doc.movement(pt->slot);
            const double half = kPointSideTwips / 2;
            return pathPointExtent(doc.objectType(m ? m->iObj : 0)).translated(half, half);
        }
        break;
    default: break;
    }
    if (!item)
        return {QPointF(), outlineOf(kind)->rect().size()};
    // From the stored corner to the far edge of what is drawn.
    const QPointF far = item->sceneBoundingRect().bottomRight() - item->pos();
    return {0, 0, std::max(far.x(), 0.0), std::max(far.y(), 0.0)};
}

void DragTool::press(BoardElement kind, int i, QPointF pos)
{
    abort();
    // A tool being placed takes the press; the marker tool leaves texts and points draggable.
    const ArmedTool holder = kind == BoardElement::Marker ? ArmedTool::Marker : ArmedTool::Text;
    if (state_.tool.placing() || state_.tool.chosen() == holder)
        return;
    bool found = false;
    const QPointF at = elementPos(kind, i, found);
    if (!found)
        return;
    kind_ = kind;
    index_ = i;
    pressPos_ = pos;
    antigo_ = QPointF(wholeTwips(at.x()), wholeTwips(at.y()));
    extent_ = extentOf(kind, i);
    novo_ = antigo_;
    action_ = Action::Dragging;
    // Under a running Play/Edit an object that walks a path stays where its path has it.
    if (kind == BoardElement::Object && tools_.controller.playEditMode()
        && tools_.document.ProcuraMovimento(static_cast<std::int16_t>(i)) != -1)
        action_ = Action::Refused;
}

QPointF DragTool::dragTarget(QPointF pos) const
{
    const QPointF to(wholeTwips(antigo_.x() + pos.x() - pressPos_.x()),
                     wholeTwips(antigo_.y() + pos.y() - pressPos_.y()));
    // Back where it began, an element stays as it was, also one a strat keeps past an edge.
    // Else all of it lands on the board the user sees where it fits, so it can be seen and
    // taken again (and the stored position keeps to 16 bits).
    return to == antigo_ ? antigo_ : keptOnBoard(to, extent_);
}

void DragTool::move(BoardElement kind, int i, QPointF pos)
{
    if (action_ != Action::Dragging || kind != kind_ || i != index_)
        return;
    QGraphicsRectItem *shape = outlineOf(kind);
    if (kind == BoardElement::Text) {
        const auto *item = itemAt(tools_.scene.lblTexto, i);
        if (!item)
            return;
        shape->setRect(0, 0, item->sceneBoundingRect().width(), item->sceneBoundingRect().height());
    }
    novo_ = dragTarget(pos);
    shape->setPos(novo_);
    shape->setVisible(true);
}

void DragTool::release(BoardElement kind, int i)
{
    const bool drop = action_ == Action::Dragging && kind == kind_ && i == index_;
    const QPointF to = novo_;
    abort();
    if (!drop)
        return;
    BoardDocument &doc = tools_.document;
    switch (kind) {
    case BoardElement::Object: doc.moveObject(i, to); break;
    case BoardElement::Text: doc.moveText(i, to); break;
    case BoardElement::Marker: doc.moveMarker(i, to); break;
    case BoardElement::Point: doc.movePathPoint(i, to); break;
    default: break;
    }
}

void DragTool::abort()
{
    // Only the outlines show a drag: hiding them restores the board.
    for (QGraphicsRectItem *shape : {shpT, shpM, shpMarker})
        shape->setVisible(false);
    action_ = Action::None;
    kind_ = BoardElement::None;
    index_ = 0;
}

void DragTool::handPress(QPointF pos)
{
    lMoverX = wholeTwips(pos.x());
    lMoverY = wholeTwips(pos.y());
}

void DragTool::handMove(bool leftHeld, QPointF pos)
{
    if (!leftHeld)
        return;
    QWidget *frame = tools_.window.parentWidget() ? tools_.window.parentWidget() : &tools_.window;
    const QPoint delta(toInt32Clamped((pos.x() - lMoverX) / kTwipsPerPixel),
                       toInt32Clamped((pos.y() - lMoverY) / kTwipsPerPixel));
    frame->move(frame->pos() + delta);
}

} // namespace quorvel
