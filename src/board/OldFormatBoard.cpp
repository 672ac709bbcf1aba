// Converting a strat of the older format: read it into the board, save it in the current
// format under a name the user chooses, close the board.
#include "board/BoardHost.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "platform/Prompts.h"

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

} // namespace

void frmMapa::OldAbreTatica(const QString &sArq)
{
    model_.sArquivo = sArq;
    OldStratDocument old;
    // A damaged file, or one of the current format given to the converter, changes nothing.
    const StratReadResult read = sArq.isEmpty() ? StratReadResult{} : readOldStratFile(sArq, old);
    if (!read.ok) {
        Prompts::current().detailedMessage(host_.dialogOwner(), QStringLiteral("An error has occured."), QString(),
                                           MessageIcon::None, stratErrorDetails(sArq, read.error));
        closeBoard(CloseReason::Program);
        return;
    }
    // The converter writes no debug lines.
    if (!takeHeader(old.strat, false))
        return;
    const std::int16_t slot = model_.imI;

    convertOldMovements(old);
    model_.doc = std::move(old.strat);
    model_.doc.sOverview = state_.sOverview[slot];
    model_.doc.sNomeTatica = state_.sNomeTatica[slot];
    model_.rebuildFromRecords();
    useOldPathOffsets(model_);
    scene_->rebuild(model_, host_);

    model_.sArquivo.clear();
    const bool saved = SalvaTatica(false);
    closeBoard(CloseReason::Program);
    // Only a strat that reached its new file was converted; a cancelled or failed save says
    // nothing more (a failed one has said why).
    if (saved)
        Prompts::current().message(host_.dialogOwner(),
                                   QStringLiteral("Your old .qvl has been converted to the updated format."),
                                   QStringLiteral(".qvl Converted"), MessageIcon::None, MessageButtons::Ok);
}

} // namespace quorvel
