// Converting a strat of the older format: read it into the board, save it in the current
// format under a name the user chooses, close the board.
#include "board/BoardHost.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"

namespace quorvel {


void frmMapa::OldAbreTatica(const QString &sArq)
{
    document_.setFileName(sArq);
    OldStratDocument old;
    // A damaged file, or one of the current format given to the converter, changes nothing.
    const StratReadResult read = sArq.isEmpty() ? StratReadResult{} : readOldStratFile(sArq, old);
    if (!read.ok) {
        QString details = stratErrorDetails(sArq, read.error);
        // The likeliest mistake: a strat that needs no converting at all.
        if (StratDocument current; !sArq.isEmpty() && readStratFile(sArq, current).ok)
            details = stratErrorDetails(sArq, keyedText("convert01", QStringLiteral("this strat is already in the current "
                                                                                    "format; open it with Strat > Open.")));
        Prompts::current().detailedMessage(host_.dialogOwner(), QStringLiteral("An error has occured."), QString(),
                                           MessageIcon::None, details);
        closeBoard(CloseReason::Program);
        return;
    }
    // The converter writes no debug lines.
    if (!takeOverview(old.strat, false))
        return;

    convertOldMovements(old);
    document_.load(std::move(old.strat), true);

    document_.setFileName(QString());
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
