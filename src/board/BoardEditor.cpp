#include "board/BoardEditor.h"

#include "board/BoardModel.h"
#include "playback/PlaybackController.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmCores.h"
#include "board/frmLink.h"
#include "board/frmMapa.h"
#include "board/frmMov.h"
#include "board/frmTexto.h"
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

// Whole twips, a half to the even neighbour, as the board stores positions.
std::int32_t whole(double v) { return static_cast<std::int32_t>(std::lrint(static_cast<float>(v))); }

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
    : QObject(&board), board_(board), state_(state), host_(host), paths_(board.model())
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
BoardScene &BoardEditor::scene() const { return *board_.scene(); }
QWidget *BoardEditor::owner() const { return host_.dialogOwner(); }

bool BoardEditor::playRunning() const { return board_.playMode(); }
bool BoardEditor::playEditRunning() const { return board_.playEditMode(); }

void BoardEditor::stratChanged()
{
    if (!playEditRunning())
        board_.updateStratLength();
}

bool BoardEditor::objectAlive(int i) const
{
    const BoardModel &m = model();
    return i >= 1 && i <= m.doc.iObj && std::size_t(i) < m.doc.tObjetos.size() && std::size_t(i) < m.objectShown.size()
           && m.objectShown[std::size_t(i)] && m.doc.tObjetos[std::size_t(i)].Tipo != DeletedObject;
}

std::int16_t BoardEditor::objectType(int i) const
{
    const BoardModel &m = model();
    return i >= 1 && std::size_t(i) < m.doc.tObjetos.size() ? m.doc.tObjetos[std::size_t(i)].Tipo : std::int16_t(0);
}

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
            const int o = state_.iObjSel;
            ShowHide(true);
            const std::int16_t s = model().ProcuraMovimento(static_cast<std::int16_t>(o));
            const float c = float(centreOffset(objectType(o)));
            QPointF start;
            if (std::size_t(o) < m.doc.tObjetos.size())
                start = QPointF(m.doc.tObjetos[std::size_t(o)].X + c, m.doc.tObjetos[std::size_t(o)].Y + c);
            const clsMovimento *player = s == -1 ? nullptr : model().playback.findMovimento(s);
            if (player && player->itM() > 0) {
                for (int n = m.iPontos; n >= 1; --n) {
                    if (std::size_t(n) < m.points.size() && m.points[n].loaded && m.points[n].slot == s) {
                        start = QPointF(m.points[n].Left + 50, m.points[n].Top + 50);
                        break;
                    }
                }
            }
            tlinha->setLine(QLineF(start, pos));
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
        lMoverX = whole(X);
        lMoverY = whole(Y);
    }
    if (!state_.bAdiciona)
        return;
    BoardModel &m = model();
    StratDocument &d = m.doc;

    if (state_.bTexto) {
        const QString text = askText(owner(), state_.sTextoRet, QString());
        if (!text.isEmpty() && d.iTxt < kMaxCount) {
            const int i = ++d.iTxt;
            d.tTextos.resize(std::size_t(i) + 1);
            d.tTextos[std::size_t(i)] = {X, Y, text};
            m.textShown.resize(std::size_t(i) + 1, false);
            m.textShown[std::size_t(i)] = true;
            scene().showText(i, text, QPointF(X, Y));
        }
        state_.bAdiciona = false;
        state_.bTexto = false;
        return;
    }
    if (state_.bMarker) {
        const QString text = askText(owner(), state_.sTextoRet, QString());
        if (!text.isEmpty() && d.iMkr < kMaxCount) {
            const int i = ++d.iMkr;
            d.tMarkers.resize(std::size_t(i) + 1);
            d.tMarkers[std::size_t(i)] = {X - 80, Y - 275, text};
            m.markerShown.resize(std::size_t(i) + 1, false);
            m.markerShown[std::size_t(i)] = true;
            scene().showMarker(i, text, QPointF(X - 80, Y - 275), host_.markerPicture());
        }
        state_.bAdiciona = false;
        state_.bMarker = false;
        return;
    }

    // The object tool places one object per arming.
    state_.bAdiciona = false;
    if (d.iObj >= kMaxCount)
        return;
    const std::int16_t tipo = state_.iTipoObj;
    // A bomb brings its own path: without a free movement slot it is not placed at all.
    if (tipo == Bomb && d.iMovs >= kMaxMovements) {
        refusePathLimit();
        return;
    }
    const float c = float(centreOffset(tipo));
    const int i = ++d.iObj;
    d.tObjetos.resize(std::size_t(i) + 1, tpObjeto{DeletedObject, 0, 0});
    d.tObjetos[std::size_t(i)] = {tipo, X - c, Y - c};
    m.objectShown.resize(std::size_t(i) + 1, false);
    m.objectShown[std::size_t(i)] = true;
    m.playback.setObject(i, d.tObjetos[std::size_t(i)]);
    scene().showObject(i, m, host_);
    if (tipo == Bomb) {
        state_.iObjSel = static_cast<std::int16_t>(i);
        SetBomb();
        stratChanged();
    }
}

void BoardEditor::addPathPoint(QPointF pos, Qt::KeyboardModifiers shift)
{
    BoardModel &m = model();
    StratDocument &d = m.doc;
    const std::int16_t o = state_.iObjSel;
    // A deleted object (or one of another strat) gets no path; the mode ends.
    if (!objectAlive(o)) {
        board_.bMovimento = false;
        state_.bAdiciona = false;
        return;
    }
    if (m.iPontos >= kMaxCount)
        return;
    const std::int16_t t = objectType(o);
    const float c = float(centreOffset(t));
    const float X = float(pos.x());
    const float Y = float(pos.y());

    std::int16_t s = m.ProcuraMovimento(o);
    const bool created = s == -1;
    const std::int16_t corBefore = m.iCorAtual;
    const bool startFrameBefore = bSetStartFrame;
    if (created) {
        if (d.iMovs >= kMaxMovements) {
            refusePathLimit();
            return;
        }
        if (m.iCorAtual < 0 || m.iCorAtual > 12)
            m.iCorAtual = 0;
        const std::int32_t colour = state_.lCores[std::size_t(m.iCorAtual)];
        ++m.iCorAtual;
        s = paths_.openSlot(o, colour);
        if (playEditRunning())
            bSetStartFrame = isSmallObjectType(t);
    } else {
        bSetStartFrame = false;
        if (std::size_t(s) < d.lCorMov.size() && d.lCorMov[std::size_t(s)] == 0)
            d.lCorMov[std::size_t(s)] = kButtonFace;
    }
    const std::int32_t colour = std::size_t(s) < d.lCorMov.size() ? d.lCorMov[std::size_t(s)] : kButtonFace;

    const int n = ++m.iPontos;
    m.points.resize(std::size_t(n) + 1);
    m.iPassoPonto.resize(std::size_t(n) + 1, 0);
    PathPoint pt;
    pt.loaded = true;
    pt.slot = s;
    pt.Left = X - 50;
    pt.Top = Y - 50;
    pt.colour = colour;
    pt.X1 = d.tObjetos[std::size_t(o)].X + c;
    pt.Y1 = d.tObjetos[std::size_t(o)].Y + c;
    const clsMovimento *player = m.playback.Movimento(s);
    if (player && player->itM() > 0) {
        for (int k = n - 1; k >= 1; --k) {
            if (m.points[std::size_t(k)].loaded && m.points[std::size_t(k)].slot == s) {
                pt.X1 = m.points[std::size_t(k)].Left + 50;
                pt.Y1 = m.points[std::size_t(k)].Top + 50;
                break;
            }
        }
    }
    pt.X2 = X;
    pt.Y2 = Y;
    m.points[std::size_t(n)] = pt;
    scene().showPoint(n, pt);

    auto undo = [&] {
        m.points.resize(std::size_t(n));
        m.iPassoPonto.resize(std::size_t(n));
        --m.iPontos;
        scene().removePoint(n);
        if (created) {
            paths_.dropNewSlot(s);
            m.iCorAtual = corBefore;
            bSetStartFrame = startFrameBefore;
        }
    };

    state_.iIniMov = 0;
    state_.sVelMov = 0;
    const tpMovimento &rec = d.tMovimentos[std::size_t(s)];
    const tpPasso *last = nullptr;
    if (rec.Passos.dimensioned && rec.Passos.upperBound() >= 1 && rec.itM >= 1 && rec.Passos.contains(rec.itM))
        last = &rec.Passos.at(rec.itM);
    const bool small = isSmallObjectType(t);

    if (ctrlOnly(shift) && !created) {
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
            dialog.txtIni->setText(QString::number(m.playback.lFrameAtual()));
        // Only OK adds the step: the close box takes back the point, its line and a new slot.
        if (Prompts::current().exec(dialog) != QDialog::Accepted) {
            undo();
            return;
        }
    }

    const tpPasso step{state_.iIniMov, whole(X - c), whole(Y - c), state_.sVelMov, state_.sLvlMov, state_.sDirMov};
    const std::int16_t k = paths_.appendStep(s, o, step);
    if (k == 0) {
        undo();
        return;
    }
    m.iPassoPonto[std::size_t(n)] = k;
    m.points[std::size_t(n)].step = k;
    stratChanged();
}

void BoardEditor::SetBomb()
{
    BoardModel &m = model();
    StratDocument &d = m.doc;
    const std::int16_t o = state_.iObjSel;
    if (!objectAlive(o) || m.iPontos >= kMaxCount)
        return;
    const tpObjeto bomb = d.tObjetos[std::size_t(o)];
    std::int16_t s = m.ProcuraMovimento(o);
    if (s == -1) {
        if (d.iMovs >= kMaxMovements) {
            refusePathLimit();
            return;
        }
        if (m.iCorAtual < 0 || m.iCorAtual > 12)
            m.iCorAtual = 0;
        const std::int32_t colour = state_.lCores[std::size_t(m.iCorAtual)];
        ++m.iCorAtual;
        s = paths_.openSlot(o, colour);
        if (playEditRunning())
            bSetStartFrame = isSmallObjectType(bomb.Tipo);
    } else {
        bSetStartFrame = false;
        if (std::size_t(s) < d.lCorMov.size() && d.lCorMov[std::size_t(s)] == 0)
            d.lCorMov[std::size_t(s)] = kButtonFace;
    }

    state_.iIniMov = m.playback.lFrameAtual() + 189;
    state_.sVelMov = 20.0f;
    state_.sLvlMov = 0;
    state_.sDirMov = -1;
    const std::int32_t X = whole(bomb.X);
    const std::int32_t Y = whole(bomb.Y);
    const std::int16_t k = paths_.appendStep(s, o, {state_.iIniMov, X, Y, state_.sVelMov, state_.sLvlMov, state_.sDirMov});
    if (k == 0)
        return;

    // The point and its line stand where opening the saved strat puts them.
    const float c = float(centreOffset(bomb.Tipo));
    const int n = ++m.iPontos;
    PathPoint pt;
    pt.loaded = true;
    pt.slot = s;
    pt.step = k;
    pt.Left = float(X) + (c - 50);
    pt.Top = float(Y) + (c - 50);
    pt.X1 = bomb.X + c;
    pt.Y1 = bomb.Y + c;
    pt.X2 = float(X) + c;
    pt.Y2 = float(Y) + c;
    pt.colour = d.lCorMov[std::size_t(s)];
    m.points.resize(std::size_t(n) + 1);
    m.points[std::size_t(n)] = pt;
    m.iPassoPonto.resize(std::size_t(n) + 1, 0);
    m.iPassoPonto[std::size_t(n)] = k;
    scene().showPoint(n, pt);
}

// ---------------------------------------------------------------------------------------------
// Dragging.

void BoardEditor::dragStart(QPointF pos, QPointF elementPos)
{
    pressPos_ = pos;
    antigo_ = QPointF(whole(elementPos.x()), whole(elementPos.y()));
    novo_ = antigo_;
    bArrastando = true;
}

QPointF BoardEditor::dragTarget(QPointF pos) const
{
    // Kept on the board, so a drop never leaves the 16-bit range the positions are stored in.
    const double x = std::clamp<double>(whole(antigo_.x() + pos.x() - pressPos_.x()), 0, kBoardWidthTwips);
    const double y = std::clamp<double>(whole(antigo_.y() + pos.y() - pressPos_.y()), 0, kBoardHeightTwips);
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
    BoardModel &m = model();
    if (bArrastando && objectAlive(i)) {
        tpObjeto &o = m.doc.tObjetos[std::size_t(i)];
        o.X = float(novo_.x());
        o.Y = float(novo_.y());
        m.playback.setObject(i, o);
        scene().showObject(i, m, host_);
        if (m.doc.iMovs > 0) {
            const std::int16_t s = m.ProcuraMovimento(static_cast<std::int16_t>(i));
            const float c = float(centreOffset(o.Tipo));
            for (int n = 1; s != -1 && n <= m.iPontos; ++n) {
                PathPoint &pt = m.points[std::size_t(n)];
                if (pt.loaded && pt.slot == s) {
                    pt.X1 = o.X + c;
                    pt.Y1 = o.Y + c;
                    scene().showPoint(n, pt);
                    break;
                }
            }
        }
    }
    bArrastando = false;
    shpT->setVisible(false);
    stratChanged();
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
    BoardModel &m = model();
    if (bArrastando && i >= 1 && i <= m.doc.iTxt && std::size_t(i) < m.doc.tTextos.size()) {
        tpTexto &t = m.doc.tTextos[std::size_t(i)];
        t.X = float(novo_.x());
        t.Y = float(novo_.y());
        scene().showText(i, t.Texto, QPointF(t.X, t.Y));
    }
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
    BoardModel &m = model();
    if (bArrastando && i >= 1 && i <= m.doc.iMkr && std::size_t(i) < m.doc.tMarkers.size()) {
        tpTexto &t = m.doc.tMarkers[std::size_t(i)];
        t.X = float(novo_.x());
        t.Y = float(novo_.y());
        scene().showMarker(i, t.Texto, QPointF(t.X, t.Y), host_.markerPicture());
    }
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
    BoardModel &m = model();
    if (bArrastando && n >= 1 && n <= m.iPontos && m.points[std::size_t(n)].loaded) {
        PathPoint &pt = m.points[std::size_t(n)];
        const std::int16_t s = pt.slot;
        const int walker = std::size_t(s) < m.doc.tMovimentos.size() ? m.doc.tMovimentos[std::size_t(s)].iObj : 0;
        const float c = float(centreOffset(objectType(walker)));
        paths_.moveStep(n, whole(novo_.x() + 50 - c), whole(novo_.y() + 50 - c));
        pt.Left = float(novo_.x());
        pt.Top = float(novo_.y());
        pt.X2 = pt.Left + 50;
        pt.Y2 = pt.Top + 50;
        scene().showPoint(n, pt);
        for (int k = n + 1; k <= m.iPontos; ++k) {
            PathPoint &next = m.points[std::size_t(k)];
            if (next.loaded && next.slot == s) {
                next.X1 = pt.Left + 50;
                next.Y1 = pt.Top + 50;
                scene().showPoint(k, next);
                break;
            }
        }
    }
    bArrastando = false;
    shpM->setVisible(false);
    stratChanged();
}

// ---------------------------------------------------------------------------------------------
// Texts, markers, the title and path steps.

void BoardEditor::lblTexto_DblClick(int i)
{
    BoardModel &m = model();
    if (i < 1 || i > m.doc.iTxt || std::size_t(i) >= m.doc.tTextos.size())
        return;
    const QString text = askText(owner(), state_.sTextoRet, m.doc.tTextos[std::size_t(i)].Texto);
    if (text.isEmpty())
        return;
    tpTexto &t = m.doc.tTextos[std::size_t(i)];
    t.Texto = text;
    scene().showText(i, text, QPointF(t.X, t.Y));
}

void BoardEditor::imgMarker_DblClick(int i)
{
    BoardModel &m = model();
    if (playRunning() || i < 1 || i > m.doc.iMkr || std::size_t(i) >= m.doc.tMarkers.size())
        return;
    const QString text = askText(owner(), state_.sTextoRet, m.doc.tMarkers[std::size_t(i)].Texto);
    if (text.isEmpty())
        return;
    tpTexto &t = m.doc.tMarkers[std::size_t(i)];
    t.Texto = text;
    scene().showMarker(i, text, QPointF(t.X, t.Y), host_.markerPicture());
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
    const int slot = model().imI;
    if (slot >= 0 && slot <= kMaxBoards)
        state_.sNomeTatica[std::size_t(slot)] = fixedWidth(caption, kTitleFieldBytes);
}

void BoardEditor::picM_DblClick(int n)
{
    if (playRunning())
        return;
    BoardModel &m = model();
    const tpPasso *p = paths_.recordStep(n);
    if (!p)
        return;
    const std::int16_t s = m.points[std::size_t(n)].slot;
    const std::int16_t t = objectType(m.doc.tMovimentos[std::size_t(s)].iObj);
    const bool small = isSmallObjectType(t);

    frmMovEdit dialog(state_, &host_, owner());
    dialog.iTempo->setText(QString::number(m.playback.iSegs()));
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
    paths_.editStep(n, state_.iIniMov, state_.sVelMov, state_.sLvlMov, state_.sDirMov);
    stratChanged();
}

// ---------------------------------------------------------------------------------------------
// Deleting.

void BoardEditor::removePointAt(int n)
{
    BoardModel &m = model();
    m.points[std::size_t(n)].loaded = false;
    scene().removePoint(n);
}

void BoardEditor::clearLinks(const std::function<bool(const tpLink &)> &owned)
{
    StratDocument &d = model().doc;
    for (int i = 1; i <= d.iLinks && std::size_t(i) < d.tLinks.size(); ++i) {
        tpLink &l = d.tLinks[std::size_t(i)];
        if (owned(l))
            l = tpLink{};
    }
}

void BoardEditor::ApagaObjeto(std::int16_t Index)
{
    BoardModel &m = model();
    if (!objectAlive(Index))
        return;
    scene().removeObject(Index);
    m.objectShown[std::size_t(Index)] = false;
    const std::int16_t s = m.ProcuraMovimento(Index);
    if (s != -1) {
        for (int n = 1; n <= m.iPontos; ++n)
            if (m.points[std::size_t(n)].loaded && m.points[std::size_t(n)].slot == s)
                removePointAt(n);
        paths_.clearSlot(s);
        clearLinks([s](const tpLink &l) { return l.iLObj == 0 && l.iLMov == s; });
    }
    m.doc.tObjetos[std::size_t(Index)] = {DeletedObject, 0, 0};
    m.playback.setObject(Index, m.doc.tObjetos[std::size_t(Index)]);
    clearLinks([Index](const tpLink &l) { return l.iLObj == Index; });
    // Path-point mode for the object ends with it.
    if (board_.bMovimento && state_.iObjSel == Index) {
        board_.bMovimento = false;
        state_.bAdiciona = false;
        tlinha->setVisible(false);
    }
    stratChanged();
}

void BoardEditor::ApagaTexto(std::int16_t Index)
{
    BoardModel &m = model();
    if (Index < 1 || Index > m.doc.iTxt || std::size_t(Index) >= m.doc.tTextos.size())
        return;
    m.doc.tTextos[std::size_t(Index)] = deletedText();
    if (std::size_t(Index) < m.textShown.size())
        m.textShown[std::size_t(Index)] = false;
    scene().removeText(Index);
}

void BoardEditor::ApagaMarker(std::int16_t Index)
{
    BoardModel &m = model();
    if (Index < 1 || Index > m.doc.iMkr || std::size_t(Index) >= m.doc.tMarkers.size())
        return;
    m.doc.tMarkers[std::size_t(Index)] = deletedText();
    if (std::size_t(Index) < m.markerShown.size())
        m.markerShown[std::size_t(Index)] = false;
    scene().removeMarker(Index);
}

void BoardEditor::ApagaMovimento(std::int16_t Index, std::int16_t ittM)
{
    BoardModel &m = model();
    if (Index < 1 || Index > m.iPontos || !m.points[std::size_t(Index)].loaded
        || m.points[std::size_t(Index)].slot != ittM)
        return;
    // Both copies lose the same steps; the links of every removed point go with them, so a
    // point added later in their place starts without one.
    const std::int16_t firstStep = paths_.cutFrom(Index);
    for (int n = Index; n <= m.iPontos; ++n)
        if (m.points[std::size_t(n)].loaded && m.points[std::size_t(n)].slot == ittM)
            removePointAt(n);
    if (firstStep > 0)
        clearLinks([ittM, firstStep](const tpLink &l) { return l.iLObj == 0 && l.iLMov == ittM && l.iLPasso >= firstStep; });
    stratChanged();
}

// ---------------------------------------------------------------------------------------------
// Colours, show/hide and links.

void BoardEditor::MudaCor()
{
    BoardModel &m = model();
    const std::int16_t s = m.ProcuraMovimento(state_.iObjSel);
    if (s == -1 || std::size_t(s) >= m.doc.lCorMov.size())
        return;
    state_.lCor = m.doc.lCorMov[std::size_t(s)];
    frmCores dialog(state_.lCor, owner());
    Prompts::current().exec(dialog);
    m.doc.lCorMov[std::size_t(s)] = state_.lCor;
    for (int n = 1; n <= m.iPontos; ++n) {
        PathPoint &pt = m.points[std::size_t(n)];
        if (pt.loaded && pt.slot == s) {
            pt.colour = state_.lCor;
            scene().showPoint(n, pt);
        }
    }
}

void BoardEditor::ShowHide(bool Override)
{
    BoardModel &m = model();
    const std::int16_t s = m.ProcuraMovimento(state_.iObjSel);
    if (s == -1)
        return;
    std::optional<bool> v;
    if (Override)
        v = true;
    for (int n = 1; n <= m.iPontos; ++n) {
        PathPoint &pt = m.points[std::size_t(n)];
        if (!pt.loaded || pt.slot != s)
            continue;
        if (!v)
            v = !pt.visible;
        if (pt.visible != *v) {
            pt.visible = *v;
            scene().showPoint(n, pt);
        }
    }
}

namespace {
// The link of the right-click selection: an object, or a path point's slot and step.
int findLink(const BoardModel &m, const ProgramState &state)
{
    const StratDocument &d = m.doc;
    for (int i = 1; i <= d.iLinks && std::size_t(i) < d.tLinks.size(); ++i) {
        const tpLink &l = d.tLinks[std::size_t(i)];
        if (state.iPontoSel == 0) {
            if (state.iObjSel != 0 && l.iLObj == state.iObjSel)
                return i;
            continue;
        }
        const int n = state.iPontoSel;
        if (n < 1 || n > m.iPontos || !m.points[std::size_t(n)].loaded)
            return 0;
        if (l.iLObj == 0 && l.iLMov == m.points[std::size_t(n)].slot && l.iLPasso == m.iPassoPonto[std::size_t(n)])
            return i;
    }
    return 0;
}
} // namespace

void BoardEditor::ProcuraLink(frmLink &dialog)
{
    const int i = findLink(model(), state_);
    if (i == 0)
        return;
    dialog.txtLink->setText(model().doc.tLinks[std::size_t(i)].sLink);
    dialog.iLinki = static_cast<std::int16_t>(i);
}

void BoardEditor::AdicionaLink()
{
    BoardModel &m = model();
    StratDocument &d = m.doc;
    // A link needs a live owner: an object on the board or a path point that still exists.
    tpLink link;
    link.sLink = state_.sLinkRet;
    if (state_.iPontoSel == 0) {
        if (!objectAlive(state_.iObjSel))
            return;
        link.iLObj = state_.iObjSel;
    } else {
        const int n = state_.iPontoSel;
        if (n < 1 || n > m.iPontos || !m.points[std::size_t(n)].loaded)
            return;
        link.iLMov = m.points[std::size_t(n)].slot;
        link.iLPasso = m.iPassoPonto[std::size_t(n)];
    }
    if (d.iLinks >= kMaxCount)
        return;
    const int i = ++d.iLinks;
    d.tLinks.resize(std::size_t(i) + 1);
    d.tLinks[std::size_t(i)] = link;
}

void BoardEditor::EditaLink(std::int16_t iL)
{
    StratDocument &d = model().doc;
    if (iL >= 1 && iL <= d.iLinks && std::size_t(iL) < d.tLinks.size())
        d.tLinks[std::size_t(iL)].sLink = state_.sLinkRet;
}

void BoardEditor::ApagaLink()
{
    const int i = findLink(model(), state_);
    if (i != 0)
        model().doc.tLinks[std::size_t(i)] = tpLink{};
}

} // namespace quorvel
