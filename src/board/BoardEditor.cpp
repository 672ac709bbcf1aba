#include "board/BoardEditor.h"

#include "board/BoardDocument.h"
#include "board/BoardHost.h"
#include "board/BoardScene.h"
#include "playback/PlaybackController.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGraphicsLineItem>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace quorvel {

namespace {

// Ctrl alone, as the board's shortcuts read the modifier state.
bool ctrlOnly(Qt::KeyboardModifiers m)
{
    return (m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier;
}
bool noModifier(Qt::KeyboardModifiers m) { return !(m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)); }

} // namespace

BoardEditor::BoardEditor(const ToolContext &tools)
    : QObject(&tools.window), tools_(tools), state_(tools.state), host_(tools.host), dialogs_(tools),
      placing_(tools, dialogs_), drag_(tools)
{
    // The rubber band and the cursors follow the mouse without a button held.
    tools_.view.viewport()->setMouseTracking(true);
    tools_.view.viewport()->installEventFilter(this);
    tools_.view.installEventFilter(this);
    tools_.window.installEventFilter(this);
    title_ = tools_.window.findChild<QLabel *>(QStringLiteral("lblTitulo"));
    // Another tool, or the tool disarmed, ends a drag under way without dropping.
    connect(&state_.tool, &ToolState::changed, this, [this] { drag_.abort(); });
}

void BoardEditor::setCursorFor(int picture, Qt::CursorShape fallback)
{
    const QPixmap p = host_.cursorPicture(picture);
    QWidget *viewport = tools_.view.viewport();
    if (p.isNull())
        viewport->setCursor(fallback);
    else
        viewport->setCursor(QCursor(p));
}

bool BoardEditor::frozenByPlay(BoardElement kind) const
{
    return kind != BoardElement::Text && tools_.controller.playMode();
}

// ---------------------------------------------------------------------------------------------
// Routing: the view's viewport reports presses in its own pixels; the board works in twips.

QPointF BoardEditor::toTwips(QPointF viewportPos) const
{
    return tools_.view.viewportTransform().inverted().map(viewportPos);
}

bool BoardEditor::onTitle(QPointF viewportPos) const
{
    const QWidget *viewport = tools_.view.viewport();
    return title_ && title_->rect().contains(
                         title_->mapFrom(&tools_.window, viewport->mapTo(&tools_.window, viewportPos.toPoint())));
}

BoardEditor::Target BoardEditor::targetAt(QPointF viewportPos) const
{
    const Target t = tools_.scene.elementAt(toTwips(viewportPos));
    return t.kind == BoardElement::Board && onTitle(viewportPos) ? Target{} : t;
}

bool BoardEditor::filterViewport(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *e = static_cast<QMouseEvent *>(event);
        const QPointF pos = toTwips(e->position());
        const Target t = targetAt(e->position());
        if (event->type() == QEvent::MouseButtonDblClick) {
            // The second press of a double-click is the double-click: the bare board has had
            // its one press already.
            pressed_ = {};
            if (t.kind == BoardElement::None)
                lblTitulo_DblClick();
            else if (t.kind != BoardElement::Board)
                routeDoubleClick(t);
            return true;
        }
        pressed_ = t;
        routePress(t, e->button(), e->modifiers(), pos, e->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        const QPointF pos = toTwips(e->position());
        const bool held = e->buttons() != Qt::NoButton && pressed_.kind != BoardElement::None;
        routeMove(held ? pressed_ : targetAt(e->position()), e->buttons(), e->modifiers(), pos);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        const Target t = pressed_.kind != BoardElement::None ? pressed_ : targetAt(e->position());
        pressed_ = {};
        routeRelease(t, e->modifiers());
        return true;
    }
    default:
        return false;
    }
}

bool BoardEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tools_.view.viewport())
        return filterViewport(event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyDown(static_cast<QKeyEvent *>(event)->key());
    case QEvent::KeyRelease:
        keyUp(static_cast<QKeyEvent *>(event)->key());
        return false;
    case QEvent::FocusOut: {
        // Focus that goes to a dialog or a menu of this board is no loss: path-point mode
        // must survive the movement dialog.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (watched == &tools_.view && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason
            && !QApplication::activeModalWidget())
            placingReset();
        return false;
    }
    default:
        return false;
    }
}

void BoardEditor::routePress(const Target &t, Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos,
                             QPoint global)
{
    if (t.kind == BoardElement::Board) {
        Form_MouseDown(button, mods, pos);
        return;
    }
    if (t.kind == BoardElement::None || frozenByPlay(t.kind))
        return;
    if (button == Qt::RightButton)
        showContextMenu(t, global);
    else
        drag_.press(t.kind, t.index, pos);
}

void BoardEditor::routeMove(const Target &t, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPointF pos)
{
    if (t.kind == BoardElement::Board)
        Form_MouseMove(buttons, mods, pos);
    else if (t.kind != BoardElement::None && !frozenByPlay(t.kind))
        drag_.move(t.kind, t.index, pos);
}

void BoardEditor::routeRelease(const Target &t, Qt::KeyboardModifiers mods)
{
    if (t.kind == BoardElement::Board)
        Form_MouseUp(mods);
    else if (t.kind != BoardElement::None && !frozenByPlay(t.kind))
        drag_.release(t.kind, t.index);
}

void BoardEditor::routeDoubleClick(const Target &t)
{
    switch (t.kind) {
    case BoardElement::Text: dialogs_.editText(t.index); break;
    case BoardElement::Marker: dialogs_.editMarker(t.index); break;
    case BoardElement::Point: dialogs_.editStep(t.index); break;
    default: break;
    }
}

void BoardEditor::showContextMenu(const Target &t, QPoint global)
{
    const BoardDocument &doc = tools_.document;
    const auto i = static_cast<std::int16_t>(t.index);
    state_.iMapaSel = tools_.slot();
    switch (t.kind) {
    case BoardElement::Object:
        state_.iTipoSel = 1;
        state_.iObjSel = i;
        state_.iPontoSel = 0;
        host_.showPopup(BoardHost::Popup::Object, global);
        break;
    case BoardElement::Text:
    case BoardElement::Marker:
        state_.iTipoSel = 2;
        state_.iItemSel = i;
        host_.showPopup(t.kind == BoardElement::Text ? BoardHost::Popup::Text : BoardHost::Popup::Marker, global);
        break;
    case BoardElement::Point:
        if (const PathPoint *pt = doc.point(t.index)) {
            state_.iTipoSel = 1;
            state_.iPontoSel = i;
            state_.iItemSel = pt->slot;
            if (const tpMovimento *m = doc.movement(pt->slot))
                state_.iObjSel = m->iObj;
            host_.showPopup(BoardHost::Popup::PathPoint, global);
        }
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Keys, tool cancel and the bare board.

void BoardEditor::placingReset()
{
    state_.tool.reset(tools_.slot());
    placing_.hideBand();
    drag_.abort();
    tools_.view.viewport()->unsetCursor();
}

bool BoardEditor::keyDown(int key)
{
    if (key == Qt::Key_Escape) {
        placingReset();
        return true;
    }
    if (tools_.controller.recording())
        return false;
    PlaybackController &pc = tools_.controller;
    switch (key) {
    case Qt::Key_F2: pc.togglePlay(); return true;
    case Qt::Key_F3: pc.togglePauseByUser(); return true;
    case Qt::Key_F4: pc.toggleSlowMotion(); return true;
    case Qt::Key_F5: pc.togglePlayEdit(); return true;
    default: return false;
    }
}

void BoardEditor::keyUp(int key)
{
    if (key != Qt::Key_Shift)
        return;
    tools_.view.viewport()->unsetCursor();
    state_.tool.releaseShift();
}

void BoardEditor::Form_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers shift, QPointF pos)
{
    PlaybackController &pc = tools_.controller;
    if (pc.recording())
        return;
    if (pc.playMode()) {
        tools_.controller.togglePauseByUser();
        return;
    }
    // A press with a tool armed pauses a running Play/Edit and never resumes it.
    const ArmedTool armed = tools_.armed();
    const bool toolArmed = armed != ArmedTool::None && armed != ArmedTool::Hand;
    if (pc.playEditMode() && (!toolArmed || !pc.paused()))
        tools_.controller.togglePauseByUser();
    if (armed == ArmedTool::Hand)
        drag_.handPress(pos);
    placing_.press(shift, pos);
}

void BoardEditor::Form_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPointF pos)
{
    if (tools_.controller.playMode())
        return;
    if (ctrlOnly(shift) && tools_.armed() != ArmedTool::Hand && state_.iTipoSel == 1
        && state_.iMapaSel == tools_.slot() && state_.iObjSel > 0 && tools_.document.objectAlive(state_.iObjSel))
        state_.tool.rearmPathPoints(tools_.slot());
    const ArmedTool armed = tools_.armed();
    if (armed == ArmedTool::Hand) {
        drag_.handMove(buttons & Qt::LeftButton, pos);
        setCursorFor(1, Qt::OpenHandCursor);
        return;
    }
    // Path-point mode shows its band only while placing (Ctrl arms it again after a mouse up).
    if (armed == ArmedTool::PathPoint ? state_.tool.placing() : armed != ArmedTool::None) {
        placing_.hover(pos);
        setCursorFor(0, Qt::CrossCursor);
        return;
    }
    tools_.view.viewport()->unsetCursor();
}

void BoardEditor::Form_MouseUp(Qt::KeyboardModifiers shift)
{
    if (noModifier(shift))
        tools_.view.viewport()->unsetCursor();
    placing_.hideBand();
    drag_.abort();
    state_.tool.mouseUp();
}

} // namespace quorvel
