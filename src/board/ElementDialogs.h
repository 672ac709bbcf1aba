#pragma once
// The board's element dialogs: a text or marker info, a path step (new or edited), the path
// colour and the strat title. Each dialog hands its value back; the program-wide fields the
// dialogs are known by (sTextoRet, iIniMov..sDirMov, lCor) are written here, once, after the
// dialog, and the change itself goes to the board's document.

#include "board/ToolContext.h"
#include "board/frmMov.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace quorvel {

class BoardHost;
struct ProgramState;
struct tpPasso;

class ElementDialogs {
public:
    explicit ElementDialogs(const ToolContext &tools);

    // "Insert Text" with a preset: the confirmed text, "" when nothing was confirmed.
    QString askText(const QString &text);
    // The step of a point being added to the path of an object of this type, preset from the
    // path's last step; presetStart puts the board's frame in as the start. None on Cancel.
    std::optional<MovStep> askNewStep(std::int16_t type, const tpPasso *last, bool presetStart);
    // Sets the step fields a continued path (Ctrl) takes without a dialog.
    void rememberStep(const MovStep &step);

    void editText(int i);
    void editMarker(int i);
    void editStep(int n);
    void editTitle();
    // The colour of the right-click selection's path.
    void MudaCor();

private:
    ToolContext tools_;
    ProgramState &state_;
    BoardHost &host_;
};

} // namespace quorvel
