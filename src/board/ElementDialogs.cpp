#include "board/ElementDialogs.h"

#include "board/BoardDocument.h"
#include "board/BoardHost.h"
#include "board/frmCores.h"
#include "board/frmTexto.h"
#include "common/CodePage.h"
#include "document/StratFile.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"
#include "playback/PlaybackController.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

namespace quorvel {

namespace {

// The option of a velocity, level or facing group that shows a stored value (-1: none).
int velocityOption(float v) { return v == 8.0f ? 0 : v == 3.0f ? 1 : v == 20.0f ? 2 : -1; }
int levelOption(std::int16_t l) { return l == 0 ? 0 : l == -1 ? 1 : l == 1 ? 2 : -1; }

} // namespace

ElementDialogs::ElementDialogs(const ToolContext &tools)
    : tools_(tools), state_(tools.state), host_(tools.host)
{
}

QString ElementDialogs::askText(const QString &text)
{
    return quorvel::askText(host_.dialogOwner(), text);
}

std::int16_t ElementDialogs::roundTimer() const
{
    return tools_.document.model().playback.settings.iRoundTimer;
}

void ElementDialogs::rememberStep(const MovStep &step)
{
    state_.sLvlMov = step.sLvl;
    state_.sDirMov = step.sDir;
}

std::optional<MovStep> ElementDialogs::askNewStep(std::int16_t type, const tpPasso *last, bool presetStart)
{
    const bool small = isSmallObjectType(type);
    frmMov dialog(roundTimer(), &host_, host_.dialogOwner());
    if (small) {
        dialog.optVel[0]->setEnabled(false);
        dialog.optVel[1]->setEnabled(false);
        frmMov::select(dialog.optVel[2]);
        dialog.Frame4->setEnabled(false);
    } else {
        dialog.imgIndex = type;
        frmMov::select(dialog.optDirection[0]);
        dialog.optVel[2]->setEnabled(false);
    }
    if (last) {
        const int vel = velocityOption(last->sVel);
        if (vel >= 0 && dialog.optVel[std::size_t(vel)]->isEnabled())
            frmMov::select(dialog.optVel[std::size_t(vel)]);
        if (const int lvl = levelOption(last->sLvl); lvl >= 0)
            frmMov::select(dialog.optLvl[std::size_t(lvl)]);
    }
    if (presetStart)
        dialog.txtIni->setText(QString::number(tools_.document.model().playback.lFrameAtual()));
    if (Prompts::current().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    rememberStep(dialog.step());
    return dialog.step();
}

void ElementDialogs::editText(int i)
{
    BoardDocument &doc = tools_.document;
    if (const tpTexto *t = doc.text(i)) {
        const QString text = askText(t->Texto);
        if (!text.isEmpty())
            doc.setText(i, text);
    }
}

void ElementDialogs::editMarker(int i)
{
    BoardDocument &doc = tools_.document;
    const tpTexto *t = doc.marker(i);
    if (!t || tools_.controller.playMode())
        return;
    const QString text = askText(t->Texto);
    if (!text.isEmpty())
        doc.setMarkerText(i, text);
}

void ElementDialogs::editTitle()
{
    const QString prompt = keyedText("s0007", QStringLiteral("Enter the strat title:"));
    const QString title = keyedText("s0008", QStringLiteral("Strat"));
    BoardDocument &doc = tools_.document;
    // The title may hold the blanks the file pads it with: the box offers it without them, so
    // the whole limit is free for typing at its end.
    QString offered = doc.title();
    while (offered.endsWith(u' '))
        offered.chop(1);
    std::optional<QString> answer;
    for (;;) {
        answer = Prompts::current().input(host_.dialogOwner(), prompt, title, offered, kTitleFieldBytes);
        if (!answer || answer->isEmpty())
            return;
        if (keepTextForFile(host_.dialogOwner(), *answer))
            break;
        offered = *answer; // the box comes back with what was typed, to be changed
    }
    const QString stored = ansiRoundTrip(*answer);
    if (fixedWidth(stored, kTitleFieldBytes) == fixedWidth(doc.title(), kTitleFieldBytes))
        return; // the file would store the same title
    doc.setTitle(stored);
    doc.setModified(true);
}

void ElementDialogs::editStep(int n)
{
    BoardDocument &doc = tools_.document;
    const tpPasso *p = doc.pointStep(n);
    if (tools_.controller.playMode() || !p)
        return;
    const tpMovimento *rec = doc.movement(doc.point(n)->slot);
    const std::int16_t t = doc.objectType(rec ? rec->iObj : 0);
    const bool small = isSmallObjectType(t);

    frmMovEdit dialog(roundTimer(), &host_, host_.dialogOwner());
    dialog.iTempo->setText(QString::number(tools_.document.model().playback.iSegs()));
    dialog.txtIni->setText(QString::number(p->iIni));
    // The velocities offered are those of the walker: grenades and the bomb fly, the others
    // run or walk.
    dialog.optVel[0]->setEnabled(!small);
    dialog.optVel[1]->setEnabled(!small);
    dialog.optVel[2]->setEnabled(small);
    frmMov::select(small ? dialog.optVel[2] : p->sVel == 3.0f ? dialog.optVel[1] : dialog.optVel[0]);
    const int lvl = levelOption(p->sLvl);
    frmMov::select(dialog.optLvl[std::size_t(lvl < 0 ? 2 : lvl)]);
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
    const MovStep step = dialog.step();
    rememberStep(step);
    doc.editStep(n, step.iIni, step.sVel, step.sLvl, step.sDir);
}

void ElementDialogs::MudaCor()
{
    BoardDocument &doc = tools_.document;
    const std::int16_t s = doc.ProcuraMovimento(state_.iObjSel);
    if (s == -1 || std::size_t(s) >= tools_.document.model().doc.lCorMov.size())
        return;
    frmCores dialog(doc.pathColour(s), host_.dialogOwner());
    if (Prompts::current().exec(dialog) != QDialog::Accepted)
        return;
    doc.MudaCor(state_.iObjSel, dialog.colour()); // the same colour again is no change
}

} // namespace quorvel
