#include "board/PlacingTool.h"

#include "board/BoardBounds.h"
#include "board/BoardHost.h"
#include "board/BoardScene.h"
#include "board/ElementDialogs.h"
#include "common/Rounding.h"
#include "platform/Prompts.h"
#include "playback/PlaybackController.h"

#include <QGraphicsLineItem>
#include <QGraphicsView>
#include <QLocale>
#include <QPen>

#include <limits>

namespace quorvel {

namespace {
constexpr int kMaxCount = std::numeric_limits<std::int16_t>::max();
constexpr int kBombWaitFrames = 189;

bool ctrlOnly(Qt::KeyboardModifiers m)
{
    return (m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier;
}
} // namespace

PlacingTool::PlacingTool(const ToolContext &tools, ElementDialogs &dialogs)
    : tools_(tools), state_(tools.state), host_(tools.host), dialogs_(dialogs)
{
    QPen band(QColor(255, 255, 255, 200), 1, Qt::DashLine);
    band.setCosmetic(true);
    tlinha = tools.scene.addLine(0, 0, 0, 0, band);
    tlinha->setZValue(100);
    tlinha->setVisible(false);
    // Path-point mode for an object ends with the object.
    QObject::connect(&tools.document, &BoardDocument::objectChanged, &tools.window, [this](int i) {
        if (tools_.armed() == ArmedTool::PathPoint && state_.iObjSel == i && !tools_.document.objectAlive(i)) {
            state_.tool.objectGone(tools_.slot());
            tlinha->setVisible(false);
        }
    });
}

void PlacingTool::hideBand() { tlinha->setVisible(false); }

void PlacingTool::press(Qt::KeyboardModifiers shift, QPointF pos)
{
    tlinha->setVisible(false);
    switch (const ArmedTool armed = tools_.armed()) {
    case ArmedTool::PathPoint: addPathPoint(pos, shift); break;
    case ArmedTool::Object:
    case ArmedTool::Text:
    case ArmedTool::Marker: placeElement(armed, pos); break;
    default: break;
    }
}

void PlacingTool::hover(QPointF pos)
{
    if (tools_.armed() != ArmedTool::PathPoint)
        return;
    BoardDocument &doc = tools_.document;
    const std::int16_t o = state_.iObjSel;
    doc.ShowHide(o, true);
    tlinha->setLine(QLineF(doc.nextLineStart(o, doc.ProcuraMovimento(o)), pos));
    tlinha->setVisible(true);
}

void PlacingTool::placeElement(ArmedTool tool, QPointF pos)
{
    BoardDocument &doc = tools_.document;
    if (tool != ArmedTool::Object) {
        const bool marker = tool == ArmedTool::Marker;
        const QString text = dialogs_.askText(QString());
        // All of the new element on the board the user sees where it fits, as a drop keeps it.
        const QRectF extent = marker ? QRectF(-BoardDocument::kMarkerPin,
                                              QSizeF(host_.markerPicture().size()) * kTwipsPerPixel)
                                     : BoardScene::labelExtent(text);
        if (!text.isEmpty())
            marker ? doc.placeMarker(keptOnBoard(pos, extent), text) : doc.placeText(keptOnBoard(pos, extent), text);
        state_.tool.placed();
        return;
    }

    // The object tool places one object per arming.
    state_.tool.placed();
    if (doc.model().doc.iObj >= kMaxCount)
        return;
    const std::int16_t tipo = state_.iTipoObj;
    // A bomb brings its own path: without a free movement slot or point number it is not placed
    // at all, so no bomb stands without its path.
    if (tipo == Bomb
        && (!mayOpenPath(0) || !mayAddPoint(QStringLiteral("a bomb, which brings a path point, cannot be placed"))))
        return;
    const double c = centreOffset(tipo);
    const int i = doc.placeObject(tipo, keptOnBoard(pos, iconExtent(tipo).translated(-c, -c)));
    if (tipo == Bomb && i != 0) {
        state_.iObjSel = static_cast<std::int16_t>(i);
        SetBomb();
    }
}

bool PlacingTool::mayOpenPath(std::int16_t object)
{
    BoardDocument &doc = tools_.document;
    if (!doc.movementSlotsFull() || (object != 0 && doc.ProcuraMovimento(object) != -1))
        return true;
    showMessage(host_.dialogOwner(),
                QStringLiteral("This strat already has %1 movements, the most a strat can hold. "
                               "Remove an object with a movement before adding another.")
                    .arg(kMaxMovements),
                QString(), MessageIcon::Warning);
    return false;
}

bool PlacingTool::mayAddPoint(const QString &refused)
{
    if (tools_.document.model().iPontos < kMaxCount)
        return true;
    // Point numbers are never handed out twice on a board, so a removed movement frees none.
    showMessage(host_.dialogOwner(),
                QStringLiteral("This board already has %1 path points, the most it can draw, so %2. The points "
                               "of a removed movement keep their numbers until the strat is saved and opened again.")
                    .arg(QLocale().toString(kMaxCount), refused),
                QString(), MessageIcon::Warning);
    return false;
}

void PlacingTool::pathOpened(bool created, std::int16_t type)
{
    // A grenade or bomb thrown while Play/Edit runs starts from the frame on the board.
    if (!created)
        bSetStartFrame = false;
    else if (tools_.controller.playEditMode())
        bSetStartFrame = isSmallObjectType(type);
}

MovStep PlacingTool::continuedStep(bool small, const tpPasso *last) const
{
    // The last step's values; a velocity that does not suit the walker (or no last step)
    // takes the walker's own default.
    MovStep step{0, 0, state_.sLvlMov, state_.sDirMov};
    const auto fits = [small](float v) { return small ? v == 20.0f : (v == 8.0f || v == 3.0f); };
    step.sVel = (last && fits(last->sVel)) ? last->sVel : (small ? 20.0f : 8.0f);
    if (last && (last->sLvl == 0 || last->sLvl == -1 || last->sLvl == 1))
        step.sLvl = last->sLvl;
    if (small)
        step.sDir = 0;
    else if (last)
        step.sDir = (last->sDir >= 0 && last->sDir <= 7) ? last->sDir : std::int16_t(8);
    else if (step.sDir < 0 || step.sDir > 8)
        step.sDir = 0;
    return step;
}

void PlacingTool::addPathPoint(QPointF pos, Qt::KeyboardModifiers shift)
{
    BoardDocument &doc = tools_.document;
    const std::int16_t o = state_.iObjSel;
    // A deleted object (or one of another strat) gets no path; the mode ends.
    if (!doc.objectAlive(o)) {
        state_.tool.objectGone(tools_.slot());
        return;
    }
    if (!mayAddPoint(QStringLiteral("no point can be added")) || !mayOpenPath(o))
        return;
    const std::int16_t t = doc.objectType(o);
    pos = keptOnBoard(pos, pathPointExtent(t));
    const bool startFrameBefore = bSetStartFrame;
    const std::optional<BoardDocument::PendingPoint> pending = doc.beginPathPoint(o, pos);
    if (!pending)
        return;
    pathOpened(pending->path.created, t);

    const tpMovimento *rec = doc.movement(pending->path.slot);
    const tpPasso *last = nullptr;
    if (rec && rec->Passos.dimensioned && rec->itM >= 1 && rec->Passos.contains(rec->itM))
        last = &rec->Passos.at(rec->itM);
    std::optional<MovStep> step;
    if (ctrlOnly(shift) && !pending->path.created) {
        step = continuedStep(isSmallObjectType(t), last);
        dialogs_.rememberStep(*step);
    } else {
        // Only OK adds the step: the close box takes back the point, its line and a new slot.
        step = dialogs_.askNewStep(t, last, bSetStartFrame);
    }
    const float c = float(centreOffset(t));
    if (!step || !doc.commitPathPoint(*pending, {step->iIni, wholeTwips(pos.x() - c), wholeTwips(pos.y() - c),
                                                 step->sVel, step->sLvl, step->sDir})) {
        if (!step)
            doc.dropPathPoint(*pending);
        if (pending->path.created)
            bSetStartFrame = startFrameBefore;
    }
}

void PlacingTool::SetBomb()
{
    BoardDocument &doc = tools_.document;
    const std::int16_t o = state_.iObjSel;
    if (!doc.objectAlive(o) || doc.model().iPontos >= kMaxCount || !mayOpenPath(o))
        return;
    pathOpened(doc.ProcuraMovimento(o) == -1, doc.objectType(o));
    const std::optional<tpPasso> step = doc.SetBomb(o, doc.model().playback.lFrameAtual() + kBombWaitFrames);
    if (step)
        dialogs_.rememberStep({step->iIni, step->sVel, step->sLvl, step->sDir});
}

} // namespace quorvel
