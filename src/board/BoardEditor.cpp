#include "board/BoardEditor.h"

#include "board/BoardDocument.h"
#include "board/BoardModel.h"
#include "playback/PlaybackController.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmCores.h"
#include "board/frmLink.h"
#include "board/frmMapa.h"
#include "board/frmMov.h"
#include "board/frmTexto.h"
#include "common/Rounding.h"
#include "document/StratFile.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGraphicsLineItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPen>
#include <QRadioButton>
#include <QGroupBox>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvel {

namespace {

constexpr std::int32_t kButtonFace = std::int32_t(0x8000000F);
constexpr int kMaxCount = std::numeric_limits<std::int16_t>::max();


// Ctrl alone, as the board's shortcuts read the modifier state.
bool ctrlOnly(Qt::KeyboardModifiers m)
{
    return (m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier;
}
bool noModifier(Qt::KeyboardModifiers m) { return !(m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)); }

QGraphicsRectItem *outline(BoardScene &scene, qreal w, qreal h)
{
    QPen pen(Qt::white, 1, Qt::DashLine);
    pen.setCosmetic(true);
    auto *item = scene.addRect(0, 0, w, h, pen);
    item->setZValue(100);
    item->setVisible(false);
    return item;
}

} // namespace

BoardEditor::BoardEditor(frmMapa &board, ProgramState &state, BoardHost &host)
    : QObject(&board), board_(board), state_(state), host_(host)
{
    QPen band(QColor(255, 255, 255, 200), 1, Qt::DashLine);
    band.setCosmetic(true);
    tlinha = scene().addLine(0, 0, 0, 0, band);
    tlinha->setZValue(100);
    tlinha->setVisible(false);
    shpT = outline(scene(), 150, 210);
    shpM = outline(scene(), 100, 100);
    shpMarker = outline(scene(), 180, 270);

    // The rubber band and the cursors follow the mouse without a button held.
    board_.view()->viewport()->setMouseTracking(true);
    board_.view()->viewport()->installEventFilter(this);
    board_.view()->installEventFilter(this);
    board_.installEventFilter(this);
    if (QLabel *title = board_.findChild<QLabel *>(QStringLiteral("lblTitulo")))
        title->installEventFilter(this);
}

BoardModel &BoardEditor::model() const { return board_.model(); }
BoardDocument &BoardEditor::doc() const { return board_.document(); }
BoardScene &BoardEditor::scene() const { return *board_.scene(); }
QWidget *BoardEditor::owner() const { return host_.dialogOwner(); }

bool BoardEditor::playRunning() const { return board_.playMode(); }
bool BoardEditor::playEditRunning() const { return board_.playEditMode(); }



bool BoardEditor::objectAlive(int i) const { return doc().objectAlive(i); }

std::int16_t BoardEditor::objectType(int i) const { return doc().objectType(i); }

void BoardEditor::setCursorFor(int picture, Qt::CursorShape fallback)
{
    const QPixmap p = host_.cursorPicture(picture);
    QWidget *viewport = board_.view()->viewport();
    if (p.isNull())
        viewport->setCursor(fallback);
    else
        viewport->setCursor(QCursor(p));
}

void BoardEditor::refusePathLimit()
{
    showMessage(owner(), QStringLiteral("This strat already has %1 movements, the most a strat can hold. "
                                        "Remove an object with a movement before adding another.")
                             .arg(kMaxMovements),
                QString(), MessageIcon::Warning);
}

// ---------------------------------------------------------------------------------------------
// Input routing: the view's viewport reports presses in its own pixels; the board works in
// twips. An element that was pressed keeps the mouse until the release, as a control would.

BoardEditor::Target BoardEditor::elementAt(QPointF pos) const
{
    const BoardScene &s = scene();
    auto hit = [&](const auto &items, Kind kind) -> Target {
        for (std::size_t i = items.size(); i-- > 1;) {
            const auto *item = items[i];
            if (item && item->isVisible() && item->sceneBoundingRect().contains(pos))
                return {kind, int(i)};
        }
        return {};
    };
    for (const Target t : {hit(s.picM, Kind::Point), hit(s.imgMarker, Kind::Marker), hit(s.lblTexto, Kind::Text),
                           hit(s.imgObj, Kind::Object)})
        if (t.kind != Kind::None)
            return t;
    return {Kind::Board, 0};
}

QPointF BoardEditor::toTwips(QPointF viewportPos) const
{
    return board_.view()->viewportTransform().inverted().map(viewportPos);
}

bool BoardEditor::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *viewport = board_.view()->viewport();
    if (watched == viewport) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto *e = static_cast<QMouseEvent *>(event);
            const QPointF pos = toTwips(e->position());
            const Target t = elementAt(pos);
            if (event->type() == QEvent::MouseButtonDblClick && t.kind != Kind::Board) {
                pressed_ = {};
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
            const Target t = (e->buttons() != Qt::NoButton && pressed_.kind != Kind::None) ? pressed_ : elementAt(pos);
            routeMove(t, e->buttons(), e->modifiers(), pos);
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto *e = static_cast<QMouseEvent *>(event);
            const Target t = pressed_.kind != Kind::None
                                 ? pressed_
                                 : elementAt(toTwips(e->position()));
            pressed_ = {};
            routeRelease(t, e->modifiers());
            return true;
        }
        default:
            return false;
        }
    }
    if (qobject_cast<QLabel *>(watched) && watched->objectName() == QLatin1String("lblTitulo")) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            lblTitulo_DblClick();
            return true;
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *e = static_cast<QKeyEvent *>(event);
        return keyDown(e->key());
    }
    case QEvent::KeyRelease:
        keyUp(static_cast<QKeyEvent *>(event)->key());
        return false;
    case QEvent::FocusOut: {
        // Focus that goes to a dialog or a menu of this board is no loss: path-point mode
        // must survive the movement dialog.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (watched == board_.view() && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason
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
    switch (t.kind) {
    case Kind::Object: imgObj_MouseDown(t.index, button, pos, global); break;
    case Kind::Text: lblTexto_MouseDown(t.index, button, pos, global); break;
    case Kind::Marker: imgMarker_MouseDown(t.index, button, pos, global); break;
    case Kind::Point: picM_MouseDown(t.index, button, pos, global); break;
    case Kind::Board: Form_MouseDown(button, mods, pos); break;
    case Kind::None: break;
    }
}

void BoardEditor::routeMove(const Target &t, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPointF pos)
{
    switch (t.kind) {
    case Kind::Object: imgObj_MouseMove(t.index, pos); break;
    case Kind::Text: lblTexto_MouseMove(t.index, pos); break;
    case Kind::Marker: imgMarker_MouseMove(t.index, pos); break;
    case Kind::Point: picM_MouseMove(t.index, pos); break;
    case Kind::Board: Form_MouseMove(buttons, mods, pos); break;
    case Kind::None: break;
    }
}

void BoardEditor::routeRelease(const Target &t, Qt::KeyboardModifiers mods)
{
    switch (t.kind) {
    case Kind::Object: imgObj_MouseUp(t.index); break;
    case Kind::Text: lblTexto_MouseUp(t.index); break;
    case Kind::Marker: imgMarker_MouseUp(t.index); break;
    case Kind::Point: picM_MouseUp(t.index); break;
    case Kind::Board: Form_MouseUp(mods); break;
    case Kind::None: break;
    }
}

void BoardEditor::routeDoubleClick(const Target &t)
{
    switch (t.kind) {
    case Kind::Text: lblTexto_DblClick(t.index); break;
    case Kind::Marker: imgMarker_DblClick(t.index); break;
    case Kind::Point: picM_DblClick(t.index); break;
    default: break;
    }
}

// ---------------------------------------------------------------------------------------------
// Keys, tool cancel and the hand tool.

void BoardEditor::placingReset()
{
    state_.bAdiciona = false;
    state_.bTexto = false;
    state_.bMover = false;
    board_.bMovimento = false;
    tlinha->setVisible(false);
    board_.view()->viewport()->unsetCursor();
}

bool BoardEditor::keyDown(int key)
{
    if (key == Qt::Key_Escape) {
        placingReset();
        return true;
    }
    if (board_.bGravar())
        return false;
    switch (key) {
    case Qt::Key_F2: board_.picGO_Click(); return true;
    case Qt::Key_F3: board_.picPause_Click(); return true;
    case Qt::Key_F4: board_.picSlow_Click(); return true;
    case Qt::Key_F5: board_.Picture1_Click(); return true;
    default: return false;
    }
}

void BoardEditor::keyUp(int key)
{
    if (key != Qt::Key_Shift)
        return;
    board_.view()->viewport()->unsetCursor();
    host_.clearToolPreview();
    state_.bAdiciona = false;
}

void BoardEditor::Form_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPointF pos)
{
    if (playRunning())
        return;
    const BoardModel &m = model();
    if (ctrlOnly(shift) && !state_.bMover && state_.iTipoSel == 1 && state_.iMapaSel == m.imI && state_.iObjSel > 0
        && objectAlive(state_.iObjSel)) {
        state_.bAdiciona = true;
        board_.bMovimento = true;
    }
    if (state_.bMover) {
        if (buttons & Qt::LeftButton) {
            QWidget *frame = board_.parentWidget() ? board_.parentWidget() : &board_;
            const QPoint delta(int(std::lrint((pos.x() - lMoverX) / kTwipsPerPixelScene)),
                               int(std::lrint((pos.y() - lMoverY) / kTwipsPerPixelScene)));
            frame->move(frame->pos() + delta);
        }
        setCursorFor(1, Qt::OpenHandCursor);
        return;
    }
    if (state_.bAdiciona) {
        if (board_.bMovimento) {
            const std::int16_t o = state_.iObjSel;
            ShowHide(true);
            tlinha->setLine(QLineF(doc().nextLineStart(o, doc().ProcuraMovimento(o)), pos));
            tlinha->setVisible(true);
        }
        setCursorFor(0, Qt::CrossCursor);
        return;
    }
    board_.view()->viewport()->unsetCursor();
}

void BoardEditor::Form_MouseUp(Qt::KeyboardModifiers shift)
{
    if (noModifier(shift)) {
        board_.view()->viewport()->unsetCursor();
        host_.clearToolPreview();
        state_.bAdiciona = false;
    }
    state_.bMover = false;
    tlinha->setVisible(false);
    shpT->setVisible(false);
    shpM->setVisible(false);
    state_.bAdiciona = false;
    state_.bTexto = false;
    bArrastando = false;
}

// ---------------------------------------------------------------------------------------------
// Placing.

void BoardEditor::Form_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers shift, QPointF pos)
{
    if (board_.bGravar())
        return;
    if (playRunning()) {
        board_.picPause_Click();
        return;
    }
    if (playEditRunning()) {
        // A press with a tool armed pauses a running Play/Edit and never resumes it.
        if (!board_.bMovimento && !state_.bAdiciona && !state_.bTexto)
            board_.picPause_Click();
        else if (!board_.controller().paused())
            board_.picPause_Click();
    }
    tlinha->setVisible(false);
    if (board_.bMovimento) {
        addPathPoint(pos, shift);
        return;
    }
    const float X = float(pos.x());
    const float Y = float(pos.y());
    if (state_.bMover) {
        lMoverX = wholeTwips(X);
        lMoverY = wholeTwips(Y);
    }
    if (!state_.bAdiciona)
        return;
    if (state_.bTexto) {
        const QString text = askText(owner(), state_.sTextoRet, QString());
        if (!text.isEmpty())
            doc().placeText(QPointF(X, Y), text);
        state_.bAdiciona = false;
        state_.bTexto = false;
        return;
    }
    if (state_.bMarker) {
        const QString text = askText(owner(), state_.sTextoRet, QString());
        if (!text.isEmpty())
            doc().placeMarker(QPointF(X, Y), text);
        state_.bAdiciona = false;
        state_.bMarker = false;
        return;
    }

    // The object tool places one object per arming.
    state_.bAdiciona = false;
    if (model().doc.iObj >= kMaxCount)
        return;
    const std::int16_t tipo = state_.iTipoObj;
    // A bomb brings its own path: without a free movement slot it is not placed at all.
    if (tipo == Bomb && doc().movementSlotsFull()) {
        refusePathLimit();
        return;
    }
    const int i = doc().placeObject(tipo, QPointF(X, Y));
    if (tipo == Bomb && i != 0) {
        state_.iObjSel = static_cast<std::int16_t>(i);
        SetBomb();
    }
}

void BoardEditor::addPathPoint(QPointF pos, Qt::KeyboardModifiers shift)
{
    const std::int16_t o = state_.iObjSel;
    // A deleted object (or one of another strat) gets no path; the mode ends.
    if (!objectAlive(o)) {
        board_.bMovimento = false;
        state_.bAdiciona = false;
        return;
    }
    if (model().iPontos >= kMaxCount)
        return;
    if (doc().ProcuraMovimento(o) == -1 && doc().movementSlotsFull()) {
        refusePathLimit();
        return;
    }
    const bool startFrameBefore = bSetStartFrame;
    const std::optional<BoardDocument::PendingPoint> pending = doc().beginPathPoint(o, pos);
    if (!pending)
        return;
    const std::int16_t t = objectType(o);
    const bool small = isSmallObjectType(t);
    if (pending->path.created)
        bSetStartFrame = playEditRunning() ? small : bSetStartFrame;
    else
        bSetStartFrame = false;
    auto undo = [&] {
        doc().dropPathPoint(*pending);
        if (pending->path.created)
            bSetStartFrame = startFrameBefore;
    };

    state_.iIniMov = 0;
    state_.sVelMov = 0;
    const tpMovimento *rec = doc().movement(pending->path.slot);
    const tpPasso *last = nullptr;
    if (rec && rec->Passos.dimensioned && rec->Passos.upperBound() >= 1 && rec->itM >= 1 && rec->Passos.contains(rec->itM))
        last = &rec->Passos.at(rec->itM);

    if (ctrlOnly(shift) && !pending->path.created) {
        // Continue the path with the last step's values; a velocity that does not suit the
        // walker (or no last step) takes the walker's own default.
        const auto fits = [small](float v) { return small ? v == 20.0f : (v == 8.0f || v == 3.0f); };
        state_.sVelMov = (last && fits(last->sVel)) ? last->sVel : (small ? 20.0f : 8.0f);
        if (last && (last->sLvl == 0 || last->sLvl == -1 || last->sLvl == 1))
            state_.sLvlMov = last->sLvl;
        if (small)
            state_.sDirMov = 0;
        else if (last)
            state_.sDirMov = (last->sDir >= 0 && last->sDir <= 7) ? last->sDir : std::int16_t(8);
        else if (state_.sDirMov < 0 || state_.sDirMov > 8)
            state_.sDirMov = 0;
    } else {
        frmMov dialog(state_, &host_, owner());
        if (small) {
            dialog.optVel[0]->setEnabled(false);
            dialog.optVel[1]->setEnabled(false);
            frmMov::select(dialog.optVel[2]);
            dialog.Frame4->setEnabled(false);
        } else {
            dialog.imgIndex = t;
            frmMov::select(dialog.optDirection[0]);
            dialog.optVel[2]->setEnabled(false);
        }
        if (last) {
            const int vel = last->sVel == 8.0f ? 0 : last->sVel == 3.0f ? 1 : last->sVel == 20.0f ? 2 : -1;
            if (vel >= 0 && dialog.optVel[std::size_t(vel)]->isEnabled())
                frmMov::select(dialog.optVel[std::size_t(vel)]);
            const int lvl = last->sLvl == 0 ? 0 : last->sLvl == -1 ? 1 : last->sLvl == 1 ? 2 : -1;
            if (lvl >= 0)
                frmMov::select(dialog.optLvl[std::size_t(lvl)]);
        }
        if (bSetStartFrame)
            dialog.txtIni->setText(QString::number(model().playback.lFrameAtual()));
        // Only OK adds the step: the close box takes back the point, its line and a new slot.
        if (Prompts::current().exec(dialog) != QDialog::Accepted) {
            undo();
            return;
        }
    }

    const float c = float(centreOffset(t));
    const tpPasso step{state_.iIniMov, wholeTwips(pos.x() - c), wholeTwips(pos.y() - c), state_.sVelMov,
                       state_.sLvlMov, state_.sDirMov};
    if (!doc().commitPathPoint(*pending, step) && pending->path.created)
        bSetStartFrame = startFrameBefore;
}

void BoardEditor::SetBomb()
{
    const std::int16_t o = state_.iObjSel;
    if (!objectAlive(o) || model().iPontos >= kMaxCount)
        return;
    const bool created = doc().ProcuraMovimento(o) == -1;
    if (created && doc().movementSlotsFull()) {
        refusePathLimit();
        return;
    }
    if (created) {
        if (playEditRunning())
            bSetStartFrame = isSmallObjectType(objectType(o));
    } else {
        bSetStartFrame = false;
    }
    const std::optional<tpPasso> step = doc().SetBomb(o, model().playback.lFrameAtual() + 189);
    if (!step)
        return;
    state_.iIniMov = step->iIni;
    state_.sVelMov = step->sVel;
    state_.sLvlMov = step->sLvl;
    state_.sDirMov = step->sDir;
}

// ---------------------------------------------------------------------------------------------
// Dragging.

void BoardEditor::dragStart(QPointF pos, QPointF elementPos)
{
    pressPos_ = pos;
    antigo_ = QPointF(wholeTwips(elementPos.x()), wholeTwips(elementPos.y()));
    novo_ = antigo_;
    bArrastando = true;
}

QPointF BoardEditor::dragTarget(QPointF pos) const
{
    // Kept on the board, so a drop never leaves the 16-bit range the positions are stored in.
    const double x = std::clamp<double>(wholeTwips(antigo_.x() + pos.x() - pressPos_.x()), 0, kBoardWidthTwips);
    const double y = std::clamp<double>(wholeTwips(antigo_.y() + pos.y() - pressPos_.y()), 0, kBoardHeightTwips);
    return {x, y};
}

void BoardEditor::imgObj_MouseDown(int i, Qt::MouseButton button, QPointF pos, QPoint global)
{
    if (playRunning())
        return;
    if (button == Qt::RightButton) {
        state_.iMapaSel = model().imI;
        state_.iTipoSel = 1;
        state_.iObjSel = static_cast<std::int16_t>(i);
        state_.iPontoSel = 0;
        host_.showPopup(BoardHost::Popup::Object, global);
        return;
    }
    if (state_.bAdiciona || state_.bTexto)
        return;
    const auto *item = std::size_t(i) < scene().imgObj.size() ? scene().imgObj[std::size_t(i)] : nullptr;
    if (!item)
        return;
    dragStart(pos, item->pos());
    if (playEditRunning() && model().ProcuraMovimento(static_cast<std::int16_t>(i)) != -1)
        bArrastando = false;
}

void BoardEditor::imgObj_MouseMove(int, QPointF pos)
{
    if (playRunning() || !bArrastando)
        return;
    novo_ = dragTarget(pos);
    shpT->setRect(0, 0, 150, 210);
    shpT->setPos(novo_);
    shpT->setVisible(true);
}

void BoardEditor::imgObj_MouseUp(int i)
{
    if (playRunning())
        return;
    if (bArrastando)
        doc().moveObject(i, novo_);
    bArrastando = false;
    shpT->setVisible(false);
}

void BoardEditor::lblTexto_MouseDown(int i, Qt::MouseButton button, QPointF pos, QPoint global)
{
    if (button == Qt::RightButton) {
        state_.iMapaSel = model().imI;
        state_.iTipoSel = 2;
        state_.iItemSel = static_cast<std::int16_t>(i);
        host_.showPopup(BoardHost::Popup::Text, global);
        return;
    }
    if (state_.bAdiciona || state_.bTexto)
        return;
    if (const auto *item = std::size_t(i) < scene().lblTexto.size() ? scene().lblTexto[std::size_t(i)] : nullptr)
        dragStart(pos, item->pos());
}

void BoardEditor::lblTexto_MouseMove(int i, QPointF pos)
{
    if (!bArrastando)
        return;
    const auto *item = std::size_t(i) < scene().lblTexto.size() ? scene().lblTexto[std::size_t(i)] : nullptr;
    if (!item)
        return;
    novo_ = dragTarget(pos);
    const QRectF r = item->sceneBoundingRect();
    shpT->setRect(0, 0, r.width(), r.height());
    shpT->setPos(novo_);
    shpT->setVisible(true);
}

void BoardEditor::lblTexto_MouseUp(int i)
{
    if (bArrastando)
        doc().moveText(i, novo_);
    bArrastando = false;
    shpT->setVisible(false);
}

void BoardEditor::imgMarker_MouseDown(int i, Qt::MouseButton button, QPointF pos, QPoint global)
{
    if (playRunning())
        return;
    if (button == Qt::RightButton) {
        state_.iMapaSel = model().imI;
        state_.iTipoSel = 2;
        state_.iItemSel = static_cast<std::int16_t>(i);
        host_.showPopup(BoardHost::Popup::Marker, global);
        return;
    }
    if (state_.bAdiciona || state_.bMarker)
        return;
    if (const auto *item = std::size_t(i) < scene().imgMarker.size() ? scene().imgMarker[std::size_t(i)] : nullptr)
        dragStart(pos, item->pos());
}

void BoardEditor::imgMarker_MouseMove(int i, QPointF pos)
{
    if (playRunning() || !bArrastando)
        return;
    auto *item = std::size_t(i) < scene().imgMarker.size() ? scene().imgMarker[std::size_t(i)] : nullptr;
    if (!item)
        return;
    novo_ = dragTarget(pos);
    item->setVisible(false);
    shpMarker->setPos(novo_);
    shpMarker->setVisible(true);
}

void BoardEditor::imgMarker_MouseUp(int i)
{
    if (playRunning())
        return;
    if (bArrastando)
        doc().moveMarker(i, novo_);
    bArrastando = false;
    shpMarker->setVisible(false);
}

void BoardEditor::picM_MouseDown(int n, Qt::MouseButton button, QPointF pos, QPoint global)
{
    if (playRunning())
        return;
    BoardModel &m = model();
    if (n < 1 || n > m.iPontos || !m.points[std::size_t(n)].loaded)
        return;
    const PathPoint &pt = m.points[std::size_t(n)];
    if (button == Qt::RightButton) {
        state_.iMapaSel = m.imI;
        state_.iTipoSel = 1;
        state_.iPontoSel = static_cast<std::int16_t>(n);
        state_.iItemSel = pt.slot;
        if (std::size_t(pt.slot) < m.doc.tMovimentos.size())
            state_.iObjSel = m.doc.tMovimentos[std::size_t(pt.slot)].iObj;
        host_.showPopup(BoardHost::Popup::PathPoint, global);
        return;
    }
    if (state_.bAdiciona || state_.bTexto)
        return;
    dragStart(pos, QPointF(pt.Left, pt.Top));
}

void BoardEditor::picM_MouseMove(int, QPointF pos)
{
    if (playRunning() || !bArrastando)
        return;
    novo_ = dragTarget(pos);
    shpM->setPos(novo_);
    shpM->setVisible(true);
}

void BoardEditor::picM_MouseUp(int n)
{
    if (playRunning())
        return;
    if (bArrastando)
        doc().movePathPoint(n, novo_);
    bArrastando = false;
    shpM->setVisible(false);
}

// ---------------------------------------------------------------------------------------------
// Texts, markers, the title and path steps.

void BoardEditor::lblTexto_DblClick(int i)
{
    const tpTexto *t = doc().text(i);
    if (!t)
        return;
    const QString text = askText(owner(), state_.sTextoRet, t->Texto);
    if (!text.isEmpty())
        doc().setText(i, text);
}

void BoardEditor::imgMarker_DblClick(int i)
{
    const tpTexto *t = doc().marker(i);
    if (playRunning() || !t)
        return;
    const QString text = askText(owner(), state_.sTextoRet, t->Texto);
    if (!text.isEmpty())
        doc().setMarkerText(i, text);
}

void BoardEditor::lblTitulo_DblClick()
{
    const QString prompt = keyedText("s0007", QStringLiteral("Enter the strat title:"));
    const QString title = keyedText("s0008", QStringLiteral("Strat"));
    const std::optional<QString> answer = Prompts::current().input(owner(), prompt, title, board_.titulo());
    if (!answer || answer->isEmpty())
        return;
    const QString caption = answer->left(kTitleFieldBytes);
    board_.setTitulo(caption);
    doc().setModified(true);
    const int slot = model().imI;
    if (slot >= 0 && slot <= kMaxBoards)
        state_.sNomeTatica[std::size_t(slot)] = fixedWidth(caption, kTitleFieldBytes);
}

void BoardEditor::picM_DblClick(int n)
{
    if (playRunning())
        return;
    const tpPasso *p = doc().pointStep(n);
    if (!p)
        return;
    const tpMovimento *rec = doc().movement(doc().point(n)->slot);
    const std::int16_t t = objectType(rec ? rec->iObj : 0);
    const bool small = isSmallObjectType(t);

    frmMovEdit dialog(state_, &host_, owner());
    dialog.iTempo->setText(QString::number(model().playback.iSegs()));
    dialog.txtIni->setText(QString::number(p->iIni));
    // The velocities offered are those of the walker: grenades and the bomb fly, the others
    // run or walk.
    dialog.optVel[0]->setEnabled(!small);
    dialog.optVel[1]->setEnabled(!small);
    dialog.optVel[2]->setEnabled(small);
    frmMov::select(small ? dialog.optVel[2] : p->sVel == 3.0f ? dialog.optVel[1] : dialog.optVel[0]);
    frmMov::select(p->sLvl == 0 ? dialog.optLvl[0] : p->sLvl == -1 ? dialog.optLvl[1] : dialog.optLvl[2]);
    if (small) {
        dialog.Frame4->setEnabled(false);
    } else {
        dialog.imgIndex = t;
        dialog.Frame4->setEnabled(true);
        if (p->sDir >= 0 && p->sDir <= 8)
            frmMov::select(dialog.optDirection[std::size_t(p->sDir)]);
    }
    if (Prompts::current().exec(dialog) != QDialog::Accepted)
        return;
    doc().editStep(n, state_.iIniMov, state_.sVelMov, state_.sLvlMov, state_.sDirMov);
}

// ---------------------------------------------------------------------------------------------
// Deleting.





void BoardEditor::ApagaObjeto(std::int16_t Index)
{
    if (!objectAlive(Index))
        return;
    doc().ApagaObjeto(Index);
    // Path-point mode for the object ends with it.
    if (board_.bMovimento && state_.iObjSel == Index) {
        board_.bMovimento = false;
        state_.bAdiciona = false;
        tlinha->setVisible(false);
    }
}

void BoardEditor::ApagaTexto(std::int16_t Index) { doc().ApagaTexto(Index); }

void BoardEditor::ApagaMarker(std::int16_t Index) { doc().ApagaMarker(Index); }

void BoardEditor::ApagaMovimento(std::int16_t Index, std::int16_t ittM) { doc().ApagaMovimento(Index, ittM); }

// ---------------------------------------------------------------------------------------------
// Colours, show/hide and links.

void BoardEditor::MudaCor()
{
    const std::int16_t s = doc().ProcuraMovimento(state_.iObjSel);
    if (s == -1 || std::size_t(s) >= model().doc.lCorMov.size())
        return;
    state_.lCor = doc().pathColour(s);
    frmCores dialog(state_.lCor, owner());
    Prompts::current().exec(dialog);
    doc().MudaCor(state_.iObjSel, state_.lCor);
}

void BoardEditor::ShowHide(bool Override) { doc().ShowHide(state_.iObjSel, Override); }


BoardDocument::LinkOwner BoardEditor::linkOwner() const { return {state_.iObjSel, state_.iPontoSel}; }

void BoardEditor::ProcuraLink(frmLink &dialog)
{
    const int i = doc().ProcuraLink(linkOwner());
    if (i == 0)
        return;
    dialog.txtLink->setText(doc().link(i)->sLink);
    dialog.iLinki = static_cast<std::int16_t>(i);
}

void BoardEditor::AdicionaLink() { doc().AdicionaLink(linkOwner(), state_.sLinkRet); }

void BoardEditor::EditaLink(std::int16_t iL) { doc().EditaLink(iL, state_.sLinkRet); }

void BoardEditor::ApagaLink() { doc().ApagaLink(linkOwner()); }

} // namespace quorvel
