#pragma once
// The board's element dialogs: a text or marker info, a path step (new or edited), the path
// colour and the strat title. Each dialog hands its value back and the change itself goes to
// the board's document; a step's level and facing are kept for the next path continued with
// Ctrl.

#include "board/ToolContext.h"
#include "board/frmMov.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace quorvel {

class BoardHost;
struct SharedToolState;
struct tpPasso;

class ElementDialogs {
public:
    explicit ElementDialogs(const ToolContext &tools);

    // "Insert Text" with a preset: the confirmed text, "" when nothing was confirmed.
    QString askText(const QString &text);
    // The step of a point being added to the path of an object of this type, preset from the
    // path's last step; presetStart puts the board's frame in as the start. None on Cancel.
    std::optional<MovStep> askNewStep(std::int16_t type, const tpPasso *last, bool presetStart);
    // Keeps the step fields a continued path (Ctrl) takes without a dialog.
    void rememberStep(const MovStep &step);

    void editText(int i);
    void editMarker(int i);
    void editStep(int n);
    void editTitle();
    // The colour of the right-click selection's path.
    void MudaCor();

private:
    // The round length the board plays, which a step's start is checked against.
    std::int16_t roundTimer() const;

    ToolContext tools_;
    SharedToolState &state_;
    BoardHost &host_;
};

} // namespace quorvel
