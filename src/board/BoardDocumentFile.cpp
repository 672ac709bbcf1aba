// Opening, closing and saving a board's strat, and the title and overview it carries.

#include "board/BoardDocument.h"

#include "document/StratFile.h"
#include "playback/PlaybackController.h"

namespace quorvel {

namespace {

// The older release drew every path with the grenade offsets, whatever the walking object:
// point at the step + 25, line from the object + 75 (or the previous point's centre) to the
// step + 75.
void useOldPathOffsets(BoardModel &model)
{
    const StratDocument &doc = model.doc;
    for (int n = 1; n <= model.iPontos && std::size_t(n) < model.points.size(); ++n) {
        PathPoint &pt = model.points[std::size_t(n)];
        if (!pt.loaded || pt.slot < 1 || std::size_t(pt.slot) >= doc.tMovimentos.size())
            continue;
        const tpMovimento &m = doc.tMovimentos[std::size_t(pt.slot)];
        if (!m.Passos.contains(pt.step))
            continue;
        const tpPasso &s = m.Passos.at(pt.step);
        pt.Left = float(s.X) + 25;
        pt.Top = float(s.Y) + 25;
        pt.X2 = float(s.X) + 75;
        pt.Y2 = float(s.Y) + 75;
        int previous = 0;
        for (int j = n - 1; j >= 1; --j) {
            if (model.points[std::size_t(j)].loaded && model.points[std::size_t(j)].slot == pt.slot) {
                previous = j;
                break;
            }
        }
        if (previous) {
            pt.X1 = model.points[std::size_t(previous)].Left + 50;
            pt.Y1 = model.points[std::size_t(previous)].Top + 50;
        } else if (m.iObj >= 1 && std::size_t(m.iObj) < doc.tObjetos.size()) {
            pt.X1 = doc.tObjetos[std::size_t(m.iObj)].X + 75;
            pt.Y1 = doc.tObjetos[std::size_t(m.iObj)].Y + 75;
        }
    }
}

// The first `width` characters of value, which a fixed field of the file keeps, into field;
// false when that changes nothing.
bool takeField(QString &field, const QString &value, int width)
{
    const QString kept = value.left(width);
    if (kept == field)
        return false;
    field = kept;
    return true;
}

} // namespace

QString fixedWidth(const QString &text, int width)
{
    return text.left(width).leftJustified(width, u' ');
}

void BoardDocument::load(StratDocument doc, bool oldPathOffsets)
{
    model_.doc = std::move(doc);
    model_.rebuildFromRecords();
    if (oldPathOffsets)
        useOldPathOffsets(model_);
    setTitle(fixedWidth(model_.doc.sNomeTatica.trimmed(), kTitleFieldBytes));
    setOverview(model_.doc.sOverview.trimmed());
    emit reset();
    setModified(false);
}

void BoardDocument::clear()
{
    model_.clear();
    setTitle(QString());
    setOverview(QString());
    emit reset();
    setModified(false);
}

void BoardDocument::setModified(bool modified)
{
    if (modified == modified_)
        return;
    modified_ = modified;
    emit modifiedChanged(modified_);
}

void BoardDocument::setTitle(const QString &title)
{
    if (takeField(title_, title, kTitleFieldBytes))
        emit titleChanged(title_);
}

void BoardDocument::setOverview(const QString &fileName)
{
    if (takeField(overview_, fileName, kOverviewFieldBytes))
        emit overviewChanged(overview_);
}

PlaybackController *BoardDocument::makeController(Clock &clock, QObject *parent)
{
    return new PlaybackController(model_.playback, model_.doc, clock, parent);
}

void BoardDocument::rewindPlayback() { model_.playback.resetToStart(); }

void BoardDocument::setPlaybackSettings(const PlaybackSettings &settings) { model_.playback.settings = settings; }

const StratDocument &BoardDocument::prepareSave(bool markerPlaceholders)
{
    makeSavePlaceholders(model_.doc, markerPlaceholders);
    model_.doc.sOverview = fixedWidth(overview_, kOverviewFieldBytes);
    model_.doc.sNomeTatica = fixedWidth(title_, kTitleFieldBytes);
    return model_.doc;
}

} // namespace quorvel
