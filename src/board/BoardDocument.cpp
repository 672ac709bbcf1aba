#include "board/BoardDocument.h"

#include "common/Rounding.h"

#include <algorithm>
#include <limits>

namespace quorvel {

namespace {

constexpr std::int32_t kButtonFace = std::int32_t(0x8000000F);
constexpr int kMaxCount = std::numeric_limits<std::int16_t>::max();
constexpr float kPointHalf = 50; // a path point's marker is 100 x 100 twips

template <typename T>
T *at(std::vector<T> &items, int i, int count)
{
    return i >= 1 && i <= count && std::size_t(i) < items.size() ? &items[std::size_t(i)] : nullptr;
}

template <typename T>
const T *at(const std::vector<T> &items, int i, int count)
{
    return i >= 1 && i <= count && std::size_t(i) < items.size() ? &items[std::size_t(i)] : nullptr;
}

void setShown(std::vector<bool> &shown, int i, bool on)
{
    if (std::size_t(i) >= shown.size())
        shown.resize(std::size_t(i) + 1, false);
    shown[std::size_t(i)] = on;
}

} // namespace

BoardDocument::BoardDocument(QObject *parent) : QObject(parent) {}

void BoardDocument::edited() { setModified(true); }

void BoardDocument::timingEdited(LengthEdit edit)
{
    setModified(true);
    emit stratLengthChanged(edit);
}

// --- accessors --------------------------------------------------------------------------------

const tpObjeto *BoardDocument::object(int i) const { return at(model_.doc.tObjetos, i, model_.doc.iObj); }

bool BoardDocument::objectAlive(int i) const
{
    const tpObjeto *o = object(i);
    return o && std::size_t(i) < model_.objectShown.size() && model_.objectShown[std::size_t(i)]
           && o->Tipo != DeletedObject;
}

std::int16_t BoardDocument::objectType(int i) const
{
    // Past the count the table may still hold a type (a movement names an object it lost).
    return i >= 1 && std::size_t(i) < model_.doc.tObjetos.size() ? model_.doc.tObjetos[std::size_t(i)].Tipo
                                                                  : std::int16_t(0);
}

const tpTexto *BoardDocument::text(int i) const { return at(model_.doc.tTextos, i, model_.doc.iTxt); }
const tpTexto *BoardDocument::marker(int i) const { return at(model_.doc.tMarkers, i, model_.doc.iMkr); }

const PathPoint *BoardDocument::point(int n) const
{
    const PathPoint *pt = at(model_.points, n, model_.iPontos);
    return pt && pt->loaded ? pt : nullptr;
}

PathPoint *BoardDocument::mutablePoint(int n) { return const_cast<PathPoint *>(std::as_const(*this).point(n)); }

const tpMovimento *BoardDocument::movement(int slot) const
{
    return at(model_.doc.tMovimentos, slot, model_.doc.iMovs);
}

std::int32_t BoardDocument::pathColour(int slot) const
{
    return slot >= 0 && std::size_t(slot) < model_.doc.lCorMov.size() ? model_.doc.lCorMov[std::size_t(slot)]
                                                                       : kButtonFace;
}

const tpPasso *BoardDocument::pointStep(int n) const { return const_cast<PathEditor &>(paths_).recordStep(n); }

const tpLink *BoardDocument::link(int i) const { return at(model_.doc.tLinks, i, model_.doc.iLinks); }

int BoardDocument::lastPointOfSlot(int before, std::int16_t slot) const
{
    for (int k = std::min<int>(before, model_.iPontos + 1) - 1; k >= 1; --k)
        if (const PathPoint *pt = point(k); pt && pt->slot == slot)
            return k;
    return 0;
}

// --- objects, texts, markers ------------------------------------------------------------------

int BoardDocument::placeObject(std::int16_t tipo, QPointF at)
{
    StratDocument &d = model_.doc;
    if (d.iObj >= kMaxCount || d.iObj < 0)
        return 0;
    const float c = float(centreOffset(tipo));
    const int i = ++d.iObj;
    d.tObjetos.resize(std::size_t(i) + 1, tpObjeto{DeletedObject, 0, 0});
    d.tObjetos[std::size_t(i)] = {tipo, float(at.x()) - c, float(at.y()) - c};
    setShown(model_.objectShown, i, true);
    model_.playback.setObject(i, d.tObjetos[std::size_t(i)]);
    emit objectChanged(i);
    edited();
    return i;
}

int BoardDocument::placeText(QPointF at, const QString &text)
{
    return placeIn(false, {float(at.x()), float(at.y()), text});
}

int BoardDocument::placeMarker(QPointF at, const QString &info)
{
    // The marker's pin, not its corner, stands where the user clicked.
    return placeIn(true, {float(at.x() - kMarkerPin.x()), float(at.y() - kMarkerPin.y()), info});
}

BoardDocument::TextTable BoardDocument::table(bool markers)
{
    StratDocument &d = model_.doc;
    return markers ? TextTable{d.iMkr, d.tMarkers, model_.markerShown} : TextTable{d.iTxt, d.tTextos, model_.textShown};
}

void BoardDocument::textEdited(bool markers, int i)
{
    if (markers)
        emit markerChanged(i);
    else
        emit textChanged(i);
    edited();
}

int BoardDocument::placeIn(bool markers, const tpTexto &t)
{
    TextTable tt = table(markers);
    if (tt.count >= kMaxCount || tt.count < 0)
        return 0;
    const int i = ++tt.count;
    tt.items.resize(std::size_t(i) + 1);
    tt.items[std::size_t(i)] = t;
    setShown(tt.shown, i, true);
    textEdited(markers, i);
    return i;
}

void BoardDocument::changeIn(bool markers, int i, const std::optional<QPointF> &to, const QString *text)
{
    TextTable tt = table(markers);
    tpTexto *t = at(tt.items, i, tt.count);
    if (!t || ((!to || (t->X == float(to->x()) && t->Y == float(to->y()))) && (!text || t->Texto == *text)))
        return;
    if (to) {
        t->X = float(to->x());
        t->Y = float(to->y());
    }
    if (text)
        t->Texto = *text;
    textEdited(markers, i);
}

void BoardDocument::deleteIn(bool markers, int i)
{
    TextTable tt = table(markers);
    if (tpTexto *t = at(tt.items, i, tt.count)) {
        *t = deletedText();
        setShown(tt.shown, i, false);
        textEdited(markers, i);
    }
}

void BoardDocument::moveObject(int i, QPointF to)
{
    if (!objectAlive(i))
        return;
    tpObjeto &o = model_.doc.tObjetos[std::size_t(i)];
    if (o.X == float(to.x()) && o.Y == float(to.y()))
        return; // a click without a move changes nothing
    o.X = float(to.x());
    o.Y = float(to.y());
    model_.playback.setObject(i, o);
    emit objectChanged(i);
    // The path's first line starts at the object.
    const std::int16_t s = model_.doc.iMovs > 0 ? model_.ProcuraMovimento(static_cast<std::int16_t>(i)) : -1;
    for (int n = 1; s != -1 && n <= model_.iPontos; ++n) {
        if (PathPoint *pt = mutablePoint(n); pt && pt->slot == s) {
            const float c = float(centreOffset(o.Tipo));
            pt->X1 = o.X + c;
            pt->Y1 = o.Y + c;
            emit pointChanged(n);
            break;
        }
    }
    timingEdited(LengthEdit::Changed);
}

void BoardDocument::moveText(int i, QPointF to) { changeIn(false, i, to, nullptr); }
void BoardDocument::moveMarker(int i, QPointF to) { changeIn(true, i, to, nullptr); }
void BoardDocument::setText(int i, const QString &text) { changeIn(false, i, std::nullopt, &text); }
void BoardDocument::setMarkerText(int i, const QString &info) { changeIn(true, i, std::nullopt, &info); }
void BoardDocument::ApagaTexto(std::int16_t Index) { deleteIn(false, Index); }
void BoardDocument::ApagaMarker(std::int16_t Index) { deleteIn(true, Index); }

template <typename Owned>
void BoardDocument::clearLinks(Owned owned)
{
    StratDocument &d = model_.doc;
    for (int i = 1; i <= d.iLinks && std::size_t(i) < d.tLinks.size(); ++i)
        if (owned(d.tLinks[std::size_t(i)]))
            d.tLinks[std::size_t(i)] = tpLink{};
}

void BoardDocument::removePoint(int n)
{
    if (PathPoint *pt = mutablePoint(n)) {
        pt->loaded = false;
        emit pointChanged(n);
    }
}

void BoardDocument::ApagaObjeto(std::int16_t Index)
{
    if (!objectAlive(Index))
        return;
    model_.objectShown[std::size_t(Index)] = false;
    const std::int16_t s = model_.ProcuraMovimento(Index);
    if (s != -1) {
        for (int n = 1; n <= model_.iPontos; ++n)
            if (const PathPoint *pt = point(n); pt && pt->slot == s)
                removePoint(n);
        paths_.clearSlot(s);
        clearLinks([s](const tpLink &l) { return l.iLObj == 0 && l.iLMov == s; });
    }
    model_.doc.tObjetos[std::size_t(Index)] = {DeletedObject, 0, 0};
    model_.playback.setObject(Index, model_.doc.tObjetos[std::size_t(Index)]);
    clearLinks([Index](const tpLink &l) { return l.iLObj == Index; });
    emit objectChanged(Index);
    timingEdited(LengthEdit::Removed);
}

// --- paths ------------------------------------------------------------------------------------

BoardDocument::PathSlot BoardDocument::openPath(std::int16_t object)
{
    PathSlot path{model_.ProcuraMovimento(object), false};
    StratDocument &d = model_.doc;
    if (path.slot != -1) {
        if (std::size_t(path.slot) < d.lCorMov.size() && d.lCorMov[std::size_t(path.slot)] == 0)
            d.lCorMov[std::size_t(path.slot)] = kButtonFace;
        return path;
    }
    if (movementSlotsFull())
        return path;
    if (model_.iCorAtual < 0 || model_.iCorAtual > 12)
        model_.iCorAtual = 0;
    const std::int32_t colour = palette_ ? (*palette_)[std::size_t(model_.iCorAtual)] : 0;
    ++model_.iCorAtual;
    path.slot = paths_.openSlot(object, colour);
    path.created = path.slot != -1;
    return path;
}

int BoardDocument::addPoint(const PathPoint &pt)
{
    const int n = ++model_.iPontos;
    model_.points.resize(std::size_t(n) + 1);
    model_.iPassoPonto.resize(std::size_t(n) + 1, 0);
    model_.points[std::size_t(n)] = pt;
    model_.iPassoPonto[std::size_t(n)] = pt.step;
    emit pointChanged(n);
    return n;
}

QPointF BoardDocument::nextLineStart(std::int16_t object, std::int16_t slot) const
{
    const tpObjeto *o = std::size_t(object) < model_.doc.tObjetos.size() && object >= 1
                            ? &model_.doc.tObjetos[std::size_t(object)]
                            : nullptr;
    const float c = float(centreOffset(objectType(object)));
    QPointF start = o ? QPointF(o->X + c, o->Y + c) : QPointF();
    const clsMovimento *player = slot >= 1 ? model_.playback.findMovimento(slot) : nullptr;
    if (const int k = player && player->itM() > 0 ? lastPointOfSlot(model_.iPontos + 1, slot) : 0)
        start = QPointF(model_.points[std::size_t(k)].Left + kPointHalf, model_.points[std::size_t(k)].Top + kPointHalf);
    return start;
}

std::optional<BoardDocument::PendingPoint> BoardDocument::beginPathPoint(std::int16_t object, QPointF at)
{
    if (!objectAlive(object) || model_.iPontos >= kMaxCount)
        return std::nullopt;
    PendingPoint pending;
    pending.object = object;
    pending.colourBefore = model_.iCorAtual;
    pending.path = openPath(object);
    if (pending.path.slot == -1)
        return std::nullopt;
    const std::int16_t s = pending.path.slot;
    PathPoint pt;
    pt.loaded = true;
    pt.slot = s;
    pt.Left = float(at.x()) - kPointHalf;
    pt.Top = float(at.y()) - kPointHalf;
    pt.colour = pathColour(s);
    const QPointF start = nextLineStart(object, s);
    pt.X1 = float(start.x());
    pt.Y1 = float(start.y());
    pt.X2 = float(at.x());
    pt.Y2 = float(at.y());
    pending.n = addPoint(pt);
    return pending;
}

bool BoardDocument::commitPathPoint(const PendingPoint &pending, const tpPasso &step)
{
    const std::int16_t k = paths_.appendStep(pending.path.slot, pending.object, step);
    if (k == 0 || !point(pending.n)) {
        dropPathPoint(pending);
        return false;
    }
    model_.iPassoPonto[std::size_t(pending.n)] = k;
    model_.points[std::size_t(pending.n)].step = k;
    timingEdited(LengthEdit::Changed);
    return true;
}

void BoardDocument::dropPathPoint(const PendingPoint &pending)
{
    const int n = pending.n;
    if (n != model_.iPontos || n < 1)
        return;
    model_.points[std::size_t(n)].loaded = false;
    emit pointChanged(n);
    model_.points.resize(std::size_t(n));
    model_.iPassoPonto.resize(std::size_t(n));
    --model_.iPontos;
    if (pending.path.created) {
        paths_.dropNewSlot(pending.path.slot);
        model_.iCorAtual = pending.colourBefore;
    }
}

std::optional<tpPasso> BoardDocument::SetBomb(std::int16_t object, std::int32_t startFrame)
{
    if (!objectAlive(object) || model_.iPontos >= kMaxCount)
        return std::nullopt;
    const tpObjeto bomb = model_.doc.tObjetos[std::size_t(object)];
    const PathSlot path = openPath(object);
    if (path.slot == -1)
        return std::nullopt;
    const tpPasso step{startFrame, wholeTwips(bomb.X), wholeTwips(bomb.Y), 20.0f, 0, -1};
    const std::int16_t k = paths_.appendStep(path.slot, object, step);
    if (k == 0)
        return std::nullopt;

    // The point and its line stand where opening the saved strat puts them.
    const float c = float(centreOffset(bomb.Tipo));
    PathPoint pt;
    pt.loaded = true;
    pt.slot = path.slot;
    pt.step = k;
    pt.Left = float(step.X) + (c - kPointHalf);
    pt.Top = float(step.Y) + (c - kPointHalf);
    pt.X1 = bomb.X + c;
    pt.Y1 = bomb.Y + c;
    pt.X2 = float(step.X) + c;
    pt.Y2 = float(step.Y) + c;
    pt.colour = pathColour(path.slot);
    addPoint(pt);
    timingEdited(LengthEdit::Changed);
    return step;
}

void BoardDocument::movePathPoint(int n, QPointF to)
{
    PathPoint *pt = mutablePoint(n);
    if (!pt)
        return;
    const std::int16_t s = pt->slot;
    const tpMovimento *rec = movement(s);
    const float c = float(centreOffset(objectType(rec ? rec->iObj : 0)));
    const std::int32_t X = wholeTwips(to.x() + kPointHalf - c);
    const std::int32_t Y = wholeTwips(to.y() + kPointHalf - c);
    const tpPasso *step = pointStep(n);
    if (pt->Left == float(to.x()) && pt->Top == float(to.y()) && (!step || (step->X == X && step->Y == Y)))
        return; // a click without a move changes nothing
    paths_.moveStep(n, X, Y);
    pt->Left = float(to.x());
    pt->Top = float(to.y());
    pt->X2 = pt->Left + kPointHalf;
    pt->Y2 = pt->Top + kPointHalf;
    emit pointChanged(n);
    for (int k = n + 1; k <= model_.iPontos; ++k) {
        if (PathPoint *next = mutablePoint(k); next && next->slot == s) {
            next->X1 = pt->Left + kPointHalf;
            next->Y1 = pt->Top + kPointHalf;
            emit pointChanged(k);
            break;
        }
    }
    timingEdited(LengthEdit::Changed);
}

void BoardDocument::editStep(int n, std::int32_t iIni, float sVel, std::int16_t sLvl, std::int16_t sDir)
{
    if (paths_.editStep(n, iIni, sVel, sLvl, sDir))
        timingEdited(LengthEdit::Changed);
}

void BoardDocument::ApagaMovimento(std::int16_t Index, std::int16_t ittM)
{
    const PathPoint *first = point(Index);
    if (!first || first->slot != ittM)
        return;
    // Both copies lose the same steps; the links of every removed point go with them, so a
    // point added later in their place starts without one.
    const std::int16_t firstStep = paths_.cutFrom(Index);
    for (int n = Index; n <= model_.iPontos; ++n)
        if (const PathPoint *pt = point(n); pt && pt->slot == ittM)
            removePoint(n);
    if (firstStep > 0)
        clearLinks([ittM, firstStep](const tpLink &l) { return l.iLObj == 0 && l.iLMov == ittM && l.iLPasso >= firstStep; });
    timingEdited(LengthEdit::Removed);
}

void BoardDocument::MudaCor(std::int16_t object, std::int32_t colour)
{
    const std::int16_t s = model_.ProcuraMovimento(object);
    if (s == -1 || std::size_t(s) >= model_.doc.lCorMov.size() || model_.doc.lCorMov[std::size_t(s)] == colour)
        return;
    model_.doc.lCorMov[std::size_t(s)] = colour;
    for (int n = 1; n <= model_.iPontos; ++n) {
        if (PathPoint *pt = mutablePoint(n); pt && pt->slot == s) {
            pt->colour = colour;
            emit pointChanged(n);
        }
    }
    edited();
}

void BoardDocument::ShowHide(std::int16_t object, bool Override)
{
    const std::int16_t s = model_.ProcuraMovimento(object);
    if (s == -1)
        return;
    std::optional<bool> v;
    if (Override)
        v = true;
    for (int n = 1; n <= model_.iPontos; ++n) {
        PathPoint *pt = mutablePoint(n);
        if (!pt || pt->slot != s)
            continue;
        if (!v)
            v = !pt->visible;
        if (pt->visible != *v) {
            pt->visible = *v;
            emit pointChanged(n);
        }
    }
}

void BoardDocument::showAllPaths(bool visible)
{
    for (PathPoint &pt : model_.points)
        pt.visible = visible;
    emit pathsShown(visible);
}

// --- links ------------------------------------------------------------------------------------

int BoardDocument::ProcuraLink(const LinkOwner &owner) const
{
    const StratDocument &d = model_.doc;
    const PathPoint *pt = owner.point != 0 ? point(owner.point) : nullptr;
    if (owner.point != 0 && !pt)
        return 0;
    for (int i = 1; i <= d.iLinks && std::size_t(i) < d.tLinks.size(); ++i) {
        const tpLink &l = d.tLinks[std::size_t(i)];
        if (!pt) {
            if (owner.object != 0 && l.iLObj == owner.object)
                return i;
        } else if (l.iLObj == 0 && l.iLMov == pt->slot && l.iLPasso == model_.iPassoPonto[std::size_t(owner.point)]) {
            return i;
        }
    }
    return 0;
}

void BoardDocument::AdicionaLink(const LinkOwner &owner, const QString &text)
{
    StratDocument &d = model_.doc;
    // A link needs a live owner: an object on the board or a path point that still exists.
    tpLink link;
    link.sLink = text;
    if (owner.point == 0) {
        if (!objectAlive(owner.object))
            return;
        link.iLObj = owner.object;
    } else {
        const PathPoint *pt = point(owner.point);
        if (!pt)
            return;
        link.iLMov = pt->slot;
        link.iLPasso = model_.iPassoPonto[std::size_t(owner.point)];
    }
    if (d.iLinks >= kMaxCount || d.iLinks < 0)
        return;
    const int i = ++d.iLinks;
    d.tLinks.resize(std::size_t(i) + 1);
    d.tLinks[std::size_t(i)] = link;
    edited();
}

void BoardDocument::EditaLink(std::int16_t iL, const QString &text)
{
    if (tpLink *l = at(model_.doc.tLinks, iL, model_.doc.iLinks)) {
        l->sLink = text;
        edited();
    }
}

void BoardDocument::ApagaLink(const LinkOwner &owner)
{
    if (const int i = ProcuraLink(owner)) {
        model_.doc.tLinks[std::size_t(i)] = tpLink{};
        edited();
    }
}

} // namespace quorvel
