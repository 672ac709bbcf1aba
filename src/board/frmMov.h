#pragma once
// "Movement": the dialogs that collect one path step's start, velocity, level and facing.
// frmMov is shown when a point is added to a path, frmMovEdit (frmMov with Cancel and a
// "Move when ... seconds left" row) when an existing step is edited. Neither touches the
// board: the caller presets the controls, runs the dialog through Prompts and reads the step
// that OK confirmed.

#include <QDialog>

#include <array>
#include <cstdint>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quorvel {

class BoardHost;

// One path step's start (frames), velocity, level and facing as the dialog gives them.
struct MovStep {
    std::int32_t iIni = 0;
    float sVel = 0;
    std::int16_t sLvl = 0;
    std::int16_t sDir = 0;
};

class frmMov : public QDialog {
    Q_OBJECT
public:
    // roundTimer: the round length in seconds that a start is checked against.
    frmMov(std::int16_t roundTimer, const BoardHost *host, QWidget *parent = nullptr);

    // The step OK confirmed.
    const MovStep &step() const { return step_; }

    std::int16_t imgIndex = 0; // object type whose picture the facing preview shows

    QLineEdit *txtIni = nullptr;
    QLineEdit *txtSeconds = nullptr;
    std::array<QRadioButton *, 3> optVel{};
    std::array<QRadioButton *, 3> optLvl{};
    std::array<QRadioButton *, 9> optDirection{};
    QLabel *picDirection = nullptr;
    QGroupBox *Frame4 = nullptr;
    QPushButton *cmdOK = nullptr;

    void cmdOK_Click();
    void optDirection_Click(int index);
    // Selects one option of a group and clears the others (disabled ones included).
    static void select(QRadioButton *option);

protected:
    frmMov(std::int16_t roundTimer, const BoardHost *host, QWidget *parent, bool edit);
    // Seconds typed in box become txtIni; rule maps an accepted whole number of seconds to
    // frames.
    void secondsChanged(QLineEdit *box, bool movesWhenLeft);
    void showValidation();

    std::int16_t iRoundTimer_;
    const BoardHost *host_ = nullptr;
    MovStep step_;
    QLineEdit *txtMoveWhen_ = nullptr;
    QLineEdit *iTempo_ = nullptr;
    QPushButton *cmdCancel_ = nullptr;

private:
    void build(bool edit);
};

class frmMovEdit : public frmMov {
    Q_OBJECT
public:
    frmMovEdit(std::int16_t roundTimer, const BoardHost *host, QWidget *parent = nullptr);

    QLineEdit *txtMoveWhen = nullptr;
    QLineEdit *iTempo = nullptr; // hidden: the board's elapsed seconds
    QPushButton *cmdCancel = nullptr;
};

// A whole number from a plain signed decimal ("12", "-3", "2.5"), rounded half to even; none
// for any other text or one beyond the 32-bit range.
std::optional<std::int64_t> plainNumber(const QString &text);

} // namespace quorvel
