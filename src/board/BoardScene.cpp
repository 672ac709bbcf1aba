#include "board/BoardScene.h"

#include "board/BoardDocument.h"

#include "board/BoardHost.h"
#include "board/BoardModel.h"
#include "board/PathLayer.h"
#include "board/ProgramState.h"
#include "playback/IconPicture.h"

#include <QBrush>
#include <QFont>
#include <QGraphicsLineItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QPainter>
#include <QPen>
#include <QTextLayout>

#include <cmath>
#include <memory>
#include <unordered_set>

namespace quorvel {

namespace {
// Stacking: the overview, then the path lines, the icons, texts and markers, and the path
// points on top so that they can always be picked.
constexpr qreal zOverview = -1000;
constexpr qreal zLine = 10;
constexpr qreal zObject = 20;
constexpr qreal zText = 30;
constexpr qreal zMarker = 40;
constexpr qreal zPoint = 50;

// A text holds up to 65,535 characters, and laying out and painting one that long holds the
// interface for milliseconds; a thousand of them, for many seconds. A label shows only what
// can appear on the board: the lines and characters that fit between its corner and the
// board's right and bottom edges, at the narrowest glyph of the board font (3.67 pixels, 55
// twips) and its line height (13.97 pixels, 209 twips). The record keeps the whole text.
constexpr double kNarrowestGlyphTwips = 55;
constexpr double kLineTwips = 209;

// How many steps of `step` twips reach across `room`, at most as many as cross the board's
// `full` extent (a label that starts before the board's edge shows no more than one at it).
qsizetype fitting(double room, double full, double step)
{
    const double n = std::ceil(std::min(room, full) / step);
    return n <= 0 ? 0 : static_cast<qsizetype>(n);
}

// Laying out and painting cost a label about a microsecond a character: the labels show this
// many characters in all (many times what a board can show legibly), and once it is spent a
// label shows no more than the start of its first line, enough to find it and pick it.
constexpr qsizetype kLabelCharsInAll = qsizetype(1) << 18;
constexpr qsizetype kLabelCharsBeyond = 16;

QString shownText(const QString &text, const QPointF &at, qsizetype budget)
{
    const qsizetype lineChars = fitting(kBoardWidthTwips - at.x(), kBoardWidthTwips, kNarrowestGlyphTwips);
    const qsizetype lineCount = fitting(kBoardHeightTwips - at.y(), kBoardHeightTwips, kLineTwips);
    if (text.size() <= std::min(lineChars, budget) && text.size() < lineCount)
        return text; // no line can be too long, nor too many
    QString shown;
    qsizetype lines = 0;
    for (qsizetype from = 0; from <= text.size() && lines < lineCount && shown.size() < budget; ++lines) {
        qsizetype end = text.indexOf(u'\n', from);
        if (end < 0)
            end = text.size();
        if (lines)
            shown += u'\n';
        shown += QStringView(text).sliced(from, std::min({end - from, lineChars, budget - shown.size()}));
        from = end + 1;
    }
    return shown;
}

// A board text: white with a dark rim. The rim is the text drawn in the rim colour half a pixel
// off each way rather than a stroked outline: stroking fills one path of all a label's glyphs,
// which takes a long label a millisecond to paint and a board of them over a second. The text
// is laid out once for its text and font, not at every paint: a board of long labels spent most
// of a Play frame laying them out again.
class LabelItem : public QGraphicsSimpleTextItem {
public:
    static constexpr qreal kRim = 0.5; // pixels (the item is drawn at 15 twips a pixel)

    LabelItem()
    {
        setFont(boardTextFont());
        setBrush(Qt::white);
        setScale(kTwipsPerPixel);
    }
    QRectF boundingRect() const override
    {
        return QGraphicsSimpleTextItem::boundingRect().adjusted(-kRim, -kRim, kRim, kRim);
    }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        const QTextLayout &layout = laidOut();
        painter->setPen(QColor(0, 0, 0, 200));
        for (const QPointF off : {QPointF(-kRim, 0), QPointF(kRim, 0), QPointF(0, -kRim), QPointF(0, kRim)})
            layout.draw(painter, off);
        painter->setPen(Qt::white);
        layout.draw(painter, QPointF());
    }

private:
    // Laid out as the base class lays it out for its bounding rectangle.
    const QTextLayout &laidOut()
    {
        if (layout_ && laidOutText_ == text() && layout_->font() == font())
            return *layout_;
        laidOutText_ = text();
        QString lines = laidOutText_;
        lines.replace(u'\n', QChar::LineSeparator);
        layout_ = std::make_unique<QTextLayout>(lines, font());
        layout_->setCacheEnabled(true);
        layout_->beginLayout();
        while (layout_->createLine().isValid()) {
        }
        layout_->endLayout();
        qreal y = 0;
        for (int i = 0; i < layout_->lineCount(); ++i) {
            QTextLine line = layout_->lineAt(i);
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        return *layout_;
    }

    std::unique_ptr<QTextLayout> layout_;
    QString laidOutText_;
};

QGraphicsSimpleTextItem *addLabel(QGraphicsScene &scene, int i, const QString &text, const QPointF &pos)
{
    auto *item = new LabelItem;
    item->setText(text);
    item->setPos(pos);
    item->setZValue(zText);
    item->setData(0, i);
    scene.addItem(item);
    return item;
}
} // namespace

QFont boardTextFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    return f;
}

BoardScene::BoardScene(QObject *parent) : QGraphicsScene(parent)
{
    // No BSP index: a path line spread across the board lands in most of the tree's leaves,
    // and a strat of tens of thousands of such lines took gigabytes and many seconds to index
    // at its first paint. The board's own lookups go through the element arrays; a plain scan
    // of the items for a paint costs far less than keeping the tree.
    setItemIndexMethod(QGraphicsScene::NoIndex);
    setSceneRect(0, 0, kBoardWidthTwips, kBoardHeightTwips);
    setBackgroundBrush(Qt::black);
    background_ = addPixmap(QPixmap());
    background_->setScale(kTwipsPerPixel);
    background_->setZValue(zOverview);
    background_->setTransformationMode(Qt::SmoothTransformation);
    pointLayer_ = new PathLayer(&picM, nullptr);
    pointLayer_->setZValue(zPoint);
    addItem(pointLayer_);
    lineLayer_ = new PathLayer(nullptr, &linha);
    lineLayer_->setZValue(zLine);
    addItem(lineLayer_);
    makeTemplates();
}

void BoardScene::makeTemplates()
{
    auto hidden = [](QGraphicsItem *item) {
        item->setVisible(false);
        return item;
    };
    imgObj = {static_cast<QGraphicsPixmapItem *>(hidden(addPixmap(QPixmap())))};
    lblTexto = {static_cast<QGraphicsSimpleTextItem *>(hidden(addSimpleText(QString())))};
    imgMarker = {static_cast<QGraphicsPixmapItem *>(hidden(addPixmap(QPixmap())))};
    picM = {static_cast<QGraphicsRectItem *>(hidden(new QGraphicsRectItem(0, 0, 100, 100)))};
    linha = {static_cast<QGraphicsLineItem *>(hidden(new QGraphicsLineItem(0, 0, 0, 0)))};
}

BoardScene::~BoardScene() { deletePathItems(); }

void BoardScene::deletePathItems()
{
    qDeleteAll(picM);
    qDeleteAll(linha);
    picM.clear();
    linha.clear();
}

void BoardScene::attach(const BoardDocument &document, const BoardHost &host)
{
    const BoardDocument *doc = &document;
    const BoardHost *h = &host;
    const auto shown = [](const std::vector<bool> &flags, int i) { return std::size_t(i) < flags.size() && flags[std::size_t(i)]; };
    connect(doc, &BoardDocument::reset, this, [this, doc, h] { rebuild(doc->model(), *h); });
    connect(doc, &BoardDocument::objectChanged, this, [this, doc, h, shown](int i) {
        if (shown(doc->model().objectShown, i))
            showObject(i, doc->model(), *h);
        else
            removeObject(i);
    });
    connect(doc, &BoardDocument::textChanged, this, [this, doc, shown](int i) {
        const tpTexto *t = doc->text(i);
        if (t && shown(doc->model().textShown, i))
            showText(i, t->Texto, QPointF(t->X, t->Y));
        else
            removeText(i);
    });
    connect(doc, &BoardDocument::markerChanged, this, [this, doc, h, shown](int i) {
        const tpTexto *t = doc->marker(i);
        if (t && shown(doc->model().markerShown, i))
            showMarker(i, QPointF(t->X, t->Y), h->markerPicture());
        else
            removeMarker(i);
    });
    connect(doc, &BoardDocument::pointChanged, this, [this, doc](int n) {
        if (const PathPoint *pt = doc->point(n))
            showPoint(n, *pt);
        else
            removePoint(n);
    });
    connect(doc, &BoardDocument::pathsShown, this, &BoardScene::setPathsVisible);
}

void BoardScene::setOverview(const QPixmap &picture)
{
    background_->setPixmap(picture);
}

bool BoardScene::hasOverview() const
{
    return !background_->pixmap().isNull();
}

void BoardScene::clearElements()
{
    // Deleted one by one, each of tens of thousands of items costs a search of the scene's
    // lists and index: seconds for a large strat. clear() drops the index first and deletes in
    // list order. What is not an element (the overview, the editor's shapes) is taken out
    // before and put back after.
    std::unordered_set<const QGraphicsItem *> elements;
    elements.insert(imgObj.begin(), imgObj.end());
    elements.insert(lblTexto.begin(), lblTexto.end());
    elements.insert(imgMarker.begin(), imgMarker.end());
    QList<QGraphicsItem *> kept;
    for (QGraphicsItem *item : items(Qt::AscendingOrder))
        if (!item->parentItem() && !elements.count(item))
            kept.append(item);
    for (QGraphicsItem *item : kept)
        removeItem(item);
    clear();
    for (QGraphicsItem *item : kept)
        addItem(item);
    imgObj.clear();
    lblTexto.clear();
    labelChars_ = 0;
    imgMarker.clear();
    deletePathItems();
    pointLayer_->touchAll();
    lineLayer_->touchAll();
    makeTemplates();
}

void BoardScene::rebuild(const BoardModel &model, const BoardHost &host)
{
    clearElements();
    const StratDocument &doc = model.doc;

    imgObj.resize(static_cast<std::size_t>(std::max<int>(doc.iObj, 0)) + 1, nullptr);
    for (int i = 1; i <= doc.iObj; ++i) {
        if (std::size_t(i) >= model.objectShown.size() || !model.objectShown[i])
            continue;
        auto *item = addPixmap(QPixmap());
        item->setScale(kTwipsPerPixel);
        item->setZValue(zObject);
        item->setData(0, i);
        imgObj[i] = item;
    }
    syncIcons(model, host);

    auto addTexts = [&](int count, const std::vector<tpTexto> &texts, const std::vector<bool> &shown, bool markers) {
        for (int i = 1; i <= count; ++i) {
            if (std::size_t(i) >= shown.size() || !shown[i] || std::size_t(i) >= texts.size())
                continue;
            const tpTexto &t = texts[i];
            if (markers) {
                auto *item = addPixmap(host.markerPicture());
                item->setScale(kTwipsPerPixel);
                item->setPos(t.X, t.Y);
                item->setZValue(zMarker);
                item->setData(0, i);
                imgMarker[i] = item;
            } else {
                const QPointF at(t.X, t.Y);
                auto *item = addLabel(*this, i, labelText(i, t.Texto, at), at);
                lblTexto[i] = item;
            }
        }
    };
    lblTexto.resize(static_cast<std::size_t>(std::max<int>(doc.iTxt, 0)) + 1, nullptr);
    imgMarker.resize(static_cast<std::size_t>(std::max<int>(doc.iMkr, 0)) + 1, nullptr);
    addTexts(doc.iTxt, doc.tTextos, model.textShown, false);
    addTexts(doc.iMkr, doc.tMarkers, model.markerShown, true);

    picM.resize(static_cast<std::size_t>(model.iPontos) + 1, nullptr);
    linha.resize(static_cast<std::size_t>(model.iPontos) + 1, nullptr);
    for (int n = 1; n <= model.iPontos && std::size_t(n) < model.points.size(); ++n) {
        if (model.points[n].loaded)
            placePoint(n, model.points[n]);
    }
}

void BoardScene::placePoint(int n, const PathPoint &pt)
{
    const QColor colour = pathColourDrawn(pt.colour);
    auto *point = new QGraphicsRectItem(0, 0, 100, 100);
    point->setPen(QPen(QColor(0, 0, 0), 0));
    point->setBrush(colour);
    point->setPos(pt.Left, pt.Top);
    point->setZValue(zPoint);
    point->setVisible(pt.visible);
    point->setData(0, n);
    point->setData(1, pt.slot);
    pointLayer_->touch(point);
    picM[n] = point;

    QPen pen(colour, 2);
    pen.setCosmetic(true);
    auto *line = new QGraphicsLineItem(pt.X1, pt.Y1, pt.X2, pt.Y2);
    line->setPen(pen);
    line->setZValue(zLine);
    line->setVisible(pt.visible);
    line->setData(1, pt.slot);
    lineLayer_->touch(line);
    linha[n] = line;
}

void BoardScene::syncIcons(const BoardModel &model, const BoardHost &host)
{
    for (std::size_t i = 1; i < imgObj.size(); ++i) {
        QGraphicsPixmapItem *item = imgObj[i];
        const PlaybackIcon *icon = model.playback.icon(static_cast<int>(i));
        if (!item || !icon)
            continue;
        item->setPos(icon->Left, icon->Top);
        item->setVisible(icon->Visible);
        const QPixmap picture = icon->picture ? host.iconPicture(*icon->picture) : QPixmap();
        if (picture.cacheKey() != item->pixmap().cacheKey())
            item->setPixmap(picture);
    }
}

void BoardScene::setPathsVisible(bool visible)
{
    // Every seek ends here: the layers are redrawn only when a path was hidden or shown.
    bool changed = false;
    auto show = [&](QGraphicsItem *item) {
        if (item && item->isVisible() != visible) {
            item->setVisible(visible);
            changed = true;
        }
    };
    for (std::size_t n = 1; n < picM.size(); ++n) {
        show(picM[n]);
        if (n < linha.size())
            show(linha[n]);
    }
    if (changed) {
        pointLayer_->touchAll();
        lineLayer_->touchAll();
    }
}

namespace {
template <typename Item>
Item *&slotFor(std::vector<Item *> &items, int i)
{
    if (items.size() <= std::size_t(i))
        items.resize(std::size_t(i) + 1, nullptr);
    return items[std::size_t(i)];
}

template <typename Item>
void unload(std::vector<Item *> &items, int i)
{
    if (i >= 1 && std::size_t(i) < items.size()) {
        delete items[std::size_t(i)];
        items[std::size_t(i)] = nullptr;
    }
}
} // namespace

void BoardScene::showObject(int i, const BoardModel &model, const BoardHost &host)
{
    if (i < 1)
        return;
    QGraphicsPixmapItem *&item = slotFor(imgObj, i);
    if (!item) {
        item = addPixmap(QPixmap());
        item->setScale(kTwipsPerPixel);
        item->setZValue(zObject);
        item->setData(0, i);
    }
    item->setZValue(zObject + 0.001 * i); // the latest object stands in front
    syncIcons(model, host);
}

void BoardScene::showText(int i, const QString &text, const QPointF &pos)
{
    if (i < 1)
        return;
    QGraphicsSimpleTextItem *&item = slotFor(lblTexto, i);
    if (!item) {
        item = addLabel(*this, i, labelText(i, text, pos), pos);
        return;
    }
    item->setText(labelText(i, text, pos));
    item->setPos(pos);
}

void BoardScene::showMarker(int i, const QPointF &pos, const QPixmap &picture)
{
    if (i < 1)
        return;
    QGraphicsPixmapItem *&item = slotFor(imgMarker, i);
    if (!item) {
        item = addPixmap(picture);
        item->setScale(kTwipsPerPixel);
        item->setZValue(zMarker);
        item->setData(0, i);
    }
    item->setPos(pos);
    item->setVisible(true);
}

void BoardScene::showPoint(int n, const PathPoint &pt)
{
    if (n < 1)
        return;
    slotFor(picM, n);
    slotFor(linha, n);
    if (!picM[std::size_t(n)]) {
        placePoint(n, pt);
        return;
    }
    QGraphicsRectItem *point = picM[std::size_t(n)];
    const QColor colour = pathColourDrawn(pt.colour);
    pointLayer_->touch(point);
    point->setPos(pt.Left, pt.Top);
    point->setBrush(colour);
    point->setVisible(pt.visible);
    pointLayer_->touch(point);
    if (QGraphicsLineItem *line = linha[std::size_t(n)]) {
        lineLayer_->touch(line);
        QPen pen = line->pen();
        pen.setColor(colour);
        line->setPen(pen);
        line->setLine(pt.X1, pt.Y1, pt.X2, pt.Y2);
        line->setVisible(pt.visible);
        lineLayer_->touch(line);
    }
}

void BoardScene::removeObject(int i) { unload(imgObj, i); }
void BoardScene::removeText(int i)
{
    if (i >= 1 && std::size_t(i) < lblTexto.size() && lblTexto[std::size_t(i)])
        labelChars_ -= lblTexto[std::size_t(i)]->text().size();
    unload(lblTexto, i);
}

QRectF BoardScene::labelExtent(const QString &text)
{
    // A label shows the most of its text at the board's top-left corner.
    LabelItem label;
    label.setText(shownText(text, QPointF(), kLabelCharsInAll));
    return label.sceneBoundingRect();
}

QString BoardScene::labelText(int i, const QString &text, const QPointF &pos)
{
    const QGraphicsSimpleTextItem *item = i >= 1 && std::size_t(i) < lblTexto.size() ? lblTexto[std::size_t(i)] : nullptr;
    const qsizetype had = item ? item->text().size() : 0;
    const qsizetype left = kLabelCharsInAll - (labelChars_ - had);
    QString shown = shownText(text, pos, std::max(left, kLabelCharsBeyond));
    labelChars_ += shown.size() - had;
    return shown;
}
void BoardScene::removeMarker(int i) { unload(imgMarker, i); }

void BoardScene::removePoint(int n)
{
    if (n >= 1 && std::size_t(n) < picM.size())
        pointLayer_->touch(picM[std::size_t(n)]);
    if (n >= 1 && std::size_t(n) < linha.size())
        lineLayer_->touch(linha[std::size_t(n)]);
    unload(picM, n);
    unload(linha, n);
}

BoardHit BoardScene::elementAt(QPointF pos) const
{
    auto hit = [&](const auto &items, BoardElement kind) -> BoardHit {
        for (std::size_t i = items.size(); i-- > 1;) {
            const auto *item = items[i];
            if (item && item->isVisible() && item->sceneBoundingRect().contains(pos))
                return {kind, int(i)};
        }
        return {};
    };
    for (const BoardHit h : {hit(picM, BoardElement::Point), hit(imgMarker, BoardElement::Marker),
                             hit(lblTexto, BoardElement::Text), hit(imgObj, BoardElement::Object)})
        if (h.kind != BoardElement::None)
            return h;
    return {BoardElement::Board, 0};
}

} // namespace quorvel
