#pragma once
// The board's drawing area: a scene in twips (15 twips = 1 pixel) that mirrors a BoardModel.
// Elements are kept in index-addressed arrays as the board names them (imgObj, lblTexto,
// imgMarker, picM, linha); element 0 of each is the hidden template.

#include "common/Rounding.h"

#include <QGraphicsScene>

#include <vector>

class QGraphicsLineItem;
class QGraphicsPixmapItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;

namespace quorvel {

class BoardDocument;
class BoardHost;
class BoardModel;
class PathLayer;
struct PathPoint;

constexpr double kBoardWidthTwips = 12015;
constexpr double kBoardHeightTwips = 9000;

// What the mouse is over on a board.
enum class BoardElement { None, Board, Object, Text, Marker, Point };
struct BoardHit {
    BoardElement kind = BoardElement::None;
    int index = 0;
};

class BoardScene : public QGraphicsScene {
    Q_OBJECT
public:
    explicit BoardScene(QObject *parent = nullptr);
    ~BoardScene() override;

    // Mirrors the document from now on: every change it signals is brought into the scene.
    void attach(const BoardDocument &document, const BoardHost &host);

    // The overview picture, drawn at one twip per twip (each pixel 15 twips).
    void setOverview(const QPixmap &picture);
    bool hasOverview() const;

    // Rebuilds every element from the model (after opening a strat or clearing the board).
    void rebuild(const BoardModel &model, const BoardHost &host);
    // Moves and re-pictures the object icons from the playback model's icons.
    void syncIcons(const BoardModel &model, const BoardHost &host);
    // Shows or hides every path point and line.
    void setPathsVisible(bool visible);
    void clearElements();
    // The shown element at a point of the board (twips), as the board's controls would take
    // the mouse: path points, then markers, texts and objects, else the bare board.
    BoardHit elementAt(QPointF pos) const;

    // Incremental mirroring after an edit changed the model: each makes the element when it is
    // not loaded yet (growing the array) and brings it to the model's state.
    void showObject(int i, const BoardModel &model, const BoardHost &host);
    void showText(int i, const QString &text, const QPointF &pos);
    void showMarker(int i, const QPointF &pos, const QPixmap &picture);
    void showPoint(int n, const PathPoint &pt);
    // What a label of this text draws relative to its corner (rim included), wherever on the
    // board it stands.
    static QRectF labelExtent(const QString &text);
    // Unloads one element (and for a point its line); later access finds nullptr.
    void removeObject(int i);
    void removeText(int i);
    void removeMarker(int i);
    void removePoint(int n);

    // The board's element arrays; element 0 is the hidden template, nullptr where the element
    // is not loaded. The path points and lines are items of the scene's own outside it: the
    // path layers draw them, and a board's tens of thousands of them cost every paint a walk
    // over them in the scene.
    std::vector<QGraphicsPixmapItem *> imgObj;
    std::vector<QGraphicsSimpleTextItem *> lblTexto;
    std::vector<QGraphicsPixmapItem *> imgMarker;
    std::vector<QGraphicsRectItem *> picM;
    std::vector<QGraphicsLineItem *> linha;

private:
    void makeTemplates();
    void deletePathItems();
    void placePoint(int n, const PathPoint &pt);
    // What label i shows of `text` at `pos`, keeping the count of characters all labels show.
    QString labelText(int i, const QString &text, const QPointF &pos);

    QGraphicsPixmapItem *background_ = nullptr;
    PathLayer *pointLayer_ = nullptr; // what draws picM
    PathLayer *lineLayer_ = nullptr;  // what draws linha
    qsizetype labelChars_ = 0; // characters the labels show in all
};

// The font of the board's text labels.
QFont boardTextFont();

} // namespace quorvel
