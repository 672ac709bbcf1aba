#pragma once
// The toolbar panel picBotoes: one picture per object type (picObj 0..13), the marker tool,
// the text tool, the hand tool, the chat image and the preview picImg of the chosen tool. A
// click writes the program-wide tool state, and the preview follows that state; every click
// on the panel first abandons a half-made movement on every board.

#include "board/ToolState.h"
#include "shell/ClickLabel.h"

#include <QWidget>

#include <array>
#include <functional>

namespace quorvel {

class IconStore;
struct ProgramState;

class Toolbar : public QWidget {
    Q_OBJECT
public:
    Toolbar(ProgramState &state, const IconStore &icons, QWidget *parent = nullptr);

    void picObj_Click(int index);
    void picMarker_Click();
    void lblTexto_Click();
    void imgMove_Click();
    void imgChat_Click();
    void picBotoes_Click();
    // A click on the main window's empty client area.
    void MDIForm_Click();

    std::array<ClickLabel *, 14> picObj{};
    ClickLabel *picMarker = nullptr;
    ClickLabel *lblTexto = nullptr;
    ClickLabel *imgMove = nullptr;
    ClickLabel *imgChat = nullptr;
    QLabel *lblSelected = nullptr;
    QLabel *picImg = nullptr;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The half-made movement of every open board should be cancelled.
    void cancelAll();

private:
    void cancel();
    void chooseTool(ArmedTool tool);
    void showPreview();

    ProgramState &state_;
};

} // namespace quorvel
