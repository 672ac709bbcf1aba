#pragma once
// The board's editing: what the mouse and the keys do on a board (placing objects, texts and
// markers, adding path points, dragging elements and path points, the hand tool, the
// right-click context) and the board's public editing operations (deleting, path colours,
// links, show/hide). Every operation changes the BoardModel first and then mirrors the change
// into the BoardScene; path steps change only through the PathEditor.

#include "board/BoardDocument.h"
#include "board/BoardHost.h"

#include <QObject>
#include <QPointF>

#include <cstdint>
#include <functional>

class QGraphicsLineItem;
class QGraphicsRectItem;
class QKeyEvent;

namespace quorvel {

class BoardModel;
class BoardScene;
class frmLink;
class frmMapa;
struct ProgramState;

class BoardEditor : public QObject {
    Q_OBJECT
public:
    BoardEditor(frmMapa &board, ProgramState &state, BoardHost &host);

    // The playback modes, as the buttons' tags say ("1" while the mode runs).
    bool playRunning() const;
    bool playEditRunning() const;

    // Board surface (X, Y in twips).
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF pos);
    void Form_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPointF pos);
    void Form_MouseUp(Qt::KeyboardModifiers shift);
    // Esc, focus lost and the toolbar: no tool armed, no path-point mode, no rubber band.
    void placingReset();
    // Keys of the board; true when the key was used.
    bool keyDown(int key);
    void keyUp(int key);

    // Elements (pos in twips of the board, global for the pop-up menus).
    void imgObj_MouseDown(int i, Qt::MouseButton button, QPointF pos, QPoint global);
    void imgObj_MouseMove(int i, QPointF pos);
    void imgObj_MouseUp(int i);
    void lblTexto_MouseDown(int i, Qt::MouseButton button, QPointF pos, QPoint global);
    void lblTexto_MouseMove(int i, QPointF pos);
    void lblTexto_MouseUp(int i);
    void imgMarker_MouseDown(int i, Qt::MouseButton button, QPointF pos, QPoint global);
    void imgMarker_MouseMove(int i, QPointF pos);
    void imgMarker_MouseUp(int i);
    void picM_MouseDown(int n, Qt::MouseButton button, QPointF pos, QPoint global);
    void picM_MouseMove(int n, QPointF pos);
    void picM_MouseUp(int n);
    void lblTexto_DblClick(int i);
    void imgMarker_DblClick(int i);
    void picM_DblClick(int n);
    void lblTitulo_DblClick();

    // Operations the menus and the placing call.
    void SetBomb();
    void ApagaObjeto(std::int16_t Index);
    void ApagaTexto(std::int16_t Index);
    void ApagaMarker(std::int16_t Index);
    void ApagaMovimento(std::int16_t Index, std::int16_t ittM);
    void MudaCor();
    void ShowHide(bool Override);
    void ProcuraLink(frmLink &dialog);
    void AdicionaLink();
    void EditaLink(std::int16_t iL);
    void ApagaLink();

    bool bSetStartFrame = false;
    bool bArrastando = false;
    std::int32_t lMoverX = 0, lMoverY = 0;

    // The rubber band and the drag outlines.
    QGraphicsLineItem *tlinha = nullptr;
    QGraphicsRectItem *shpT = nullptr;
    QGraphicsRectItem *shpM = nullptr;
    QGraphicsRectItem *shpMarker = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Kind { None, Board, Object, Text, Marker, Point };
    struct Target {
        Kind kind = Kind::None;
        int index = 0;
    };
    Target elementAt(QPointF pos) const;
    // A position on the view's viewport (pixels, fractions kept) in twips of the board.
    QPointF toTwips(QPointF viewportPos) const;
    void routePress(const Target &t, Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos, QPoint global);
    void routeMove(const Target &t, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPointF pos);
    void routeRelease(const Target &t, Qt::KeyboardModifiers mods);
    void routeDoubleClick(const Target &t);

    BoardModel &model() const;
    BoardDocument &doc() const;
    BoardDocument::LinkOwner linkOwner() const;
    BoardScene &scene() const;
    QWidget *owner() const;

    void addPathPoint(QPointF pos, Qt::KeyboardModifiers shift);
    bool objectAlive(int i) const;
    std::int16_t objectType(int i) const;
    void refusePathLimit();
    void dragStart(QPointF pos, QPointF elementPos);
    QPointF dragTarget(QPointF pos) const;
    void setCursorFor(int picture, Qt::CursorShape fallback);

    frmMapa &board_;
    ProgramState &state_;
    BoardHost &host_;
    Target pressed_;
    QPointF pressPos_;
    QPointF antigo_;
    QPointF novo_;
};

} // namespace quorvel
