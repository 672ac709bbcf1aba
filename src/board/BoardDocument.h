#pragma once
// One board's strat and every change made to it. The records, the path points and the
// movement objects live in a BoardModel owned here; editing tools, menus and dialogs change
// them only through these methods, which keep the record and the movement object of a path
// together (PathEditor) and signal what changed. The board's scene listens and mirrors, so
// it cannot drift from the model. It is also the one place that knows whether the strat
// changed since it was opened or saved.
//
// Indexes come from the user's clicks and the menus' selection: every method and accessor
// checks them, and an index that names nothing changes nothing.

#include "board/BoardModel.h"
#include "board/PathEditor.h"

#include <QObject>
#include <QPointF>

#include <array>
#include <cstdint>
#include <optional>

namespace quorvel {

class Clock;
class PlaybackController;

class BoardDocument : public QObject {
    Q_OBJECT
public:
    explicit BoardDocument(QObject *parent = nullptr);

    // How an edit may change the strat's length: a removal (an object or the tail of a path),
    // or another edit (a step added, moved or edited, an object dropped, the bomb's path).
    enum class LengthEdit { Changed, Removed };

    // The model, read by the scene and the tools. Loading fills it, edits go through the
    // methods below, and the playback controller made here steps its movement objects.
    const BoardModel &model() const { return model_; }
    PlaybackController *makeController(Clock &clock, QObject *parent);
    // The movement objects back at the strat's start, and the settings playback follows.
    void rewindPlayback();
    void setPlaybackSettings(const PlaybackSettings &settings);

    // The strat's file ("" before its first save) and the board's slot (0: closed).
    const QString &fileName() const { return model_.sArquivo; }
    void setFileName(const QString &path) { model_.sArquivo = path; }
    std::int16_t slot() const { return model_.imI; }
    void setSlot(std::int16_t slot) { model_.imI = slot; }

    // --- opening, saving, closing ----------------------------------------------------------
    // A strat just read: its records become the board (oldPathOffsets: a strat of the older
    // format, whose paths were drawn with the grenade offsets). Not modified afterwards.
    void load(StratDocument doc, bool oldPathOffsets = false);
    // Everything a closed board forgets.
    void clear();
    bool isModified() const { return modified_; }
    void setModified(bool modified);

    // The strat's title as the board shows it (at most the 32 characters the file keeps) and
    // the file name of its overview picture. Setting them marks nothing modified: a user's
    // edit, or an overview chosen in place of a missing one, says so itself.
    const QString &title() const { return title_; }
    void setTitle(const QString &title);
    const QString &overview() const { return overview_; }
    void setOverview(const QString &fileName);
    // The strat as its file stores it: empty tables get the placeholders the file needs (a
    // backup may leave the markers' empty) and the title and overview fill their fields.
    const StratDocument &prepareSave(bool markerPlaceholders = true);

    // --- checked accessors (nullptr / 0 where the index names nothing) ---------------------
    const tpObjeto *object(int i) const;
    bool objectAlive(int i) const; // placed and not deleted
    std::int16_t objectType(int i) const;
    const tpTexto *text(int i) const;
    const tpTexto *marker(int i) const;
    const PathPoint *point(int n) const; // a loaded path point
    const tpMovimento *movement(int slot) const;
    std::int32_t pathColour(int slot) const;
    const tpPasso *pointStep(int n) const; // the saved step that point n shows
    const tpLink *link(int i) const;
    std::int16_t ProcuraMovimento(std::int16_t object) { return model_.ProcuraMovimento(object); }
    bool movementSlotsFull() const { return model_.doc.iMovs >= kMaxMovements; }

    // --- objects, texts, markers -----------------------------------------------------------
    // The path palette that new paths take their colours from, in turn; read when a path
    // opens (the program fills it after the boards exist).
    void setPalette(const std::array<std::int32_t, 13> &palette) { palette_ = &palette; }
    // A new object centred on `at`; its index, or 0 when the strat holds no more.
    int placeObject(std::int16_t tipo, QPointF at);
    // Where a marker's pin stands from its corner.
    static constexpr QPointF kMarkerPin{80, 275};
    // A new text with its corner at `at`, a new marker with its pin at `at`; 0 when full.
    int placeText(QPointF at, const QString &text);
    int placeMarker(QPointF at, const QString &info);
    // Drops at a new top-left corner. An object's path line follows it.
    void moveObject(int i, QPointF to);
    void moveText(int i, QPointF to);
    void moveMarker(int i, QPointF to);
    void setText(int i, const QString &text);
    void setMarkerText(int i, const QString &info);
    void ApagaObjeto(std::int16_t Index);
    void ApagaTexto(std::int16_t Index);
    void ApagaMarker(std::int16_t Index);

    // --- paths -----------------------------------------------------------------------------
    // The object's movement slot, opened with the next palette colour when it has none.
    struct PathSlot {
        std::int16_t slot = -1; // -1: the strat holds no more movements
        bool created = false;
    };
    PathSlot openPath(std::int16_t object);
    // A path point at `at` shown while its step is asked for: commit it with the step, or
    // take it back (with a slot opened for it).
    struct PendingPoint {
        int n = 0;
        std::int16_t object = 0;
        PathSlot path;
        std::int16_t colourBefore = 0;
    };
    // Where the line to a new point of the object's path starts: the path's last point, or
    // the object for a path's first step.
    QPointF nextLineStart(std::int16_t object, std::int16_t slot) const;
    std::optional<PendingPoint> beginPathPoint(std::int16_t object, QPointF at);
    bool commitPathPoint(const PendingPoint &pending, const tpPasso &step);
    void dropPathPoint(const PendingPoint &pending);
    // The bomb's path: one step where the bomb lies, flying from startFrame. The step added,
    // or nothing when the bomb cannot have one.
    std::optional<tpPasso> SetBomb(std::int16_t object, std::int32_t startFrame);
    // Path point n dropped with its marker's corner at `to`: its step and both lines follow.
    void movePathPoint(int n, QPointF to);
    void editStep(int n, std::int32_t iIni, float sVel, std::int16_t sLvl, std::int16_t sDir);
    // Drops point Index of slot ittM and every later point of that path.
    void ApagaMovimento(std::int16_t Index, std::int16_t ittM);
    void MudaCor(std::int16_t object, std::int32_t colour);
    // Shows or hides the object's path points (Override: shows them).
    void ShowHide(std::int16_t object, bool Override);
    // Every path point shown or hidden at once (Play hides them).
    void showAllPaths(bool visible);

    // --- links -----------------------------------------------------------------------------
    // A link belongs to an object (point 0) or to a path point's step.
    struct LinkOwner {
        std::int16_t object = 0;
        std::int16_t point = 0;
    };
    int ProcuraLink(const LinkOwner &owner) const;
    void AdicionaLink(const LinkOwner &owner, const QString &text);
    void EditaLink(std::int16_t iL, const QString &text);
    void ApagaLink(const LinkOwner &owner);

signals:
    // The element came, changed or went; the scene brings it to the model's state.
    void objectChanged(int i);
    void textChanged(int i);
    void markerChanged(int i);
    void pointChanged(int n);
    void pathsShown(bool visible);
    // The whole board was replaced (opened, closed).
    void reset();
    // A change that may change the strat's length.
    void stratLengthChanged(quorvel::BoardDocument::LengthEdit edit);
    void modifiedChanged(bool modified);
    void titleChanged(const QString &title);
    void overviewChanged(const QString &fileName);

private:
    // Texts and markers: the same table shape, told apart by a flag.
    struct TextTable {
        std::int16_t &count;
        std::vector<tpTexto> &items;
        std::vector<bool> &shown;
    };
    TextTable table(bool markers);
    int placeIn(bool markers, const tpTexto &t);
    void changeIn(bool markers, int i, const std::optional<QPointF> &to, const QString *text);
    void deleteIn(bool markers, int i);
    void textEdited(bool markers, int i);
    void edited();
    void timingEdited(LengthEdit edit);
    PathPoint *mutablePoint(int n);
    int addPoint(const PathPoint &pt);
    void removePoint(int n);
    template <typename Owned>
    void clearLinks(Owned owned);
    int lastPointOfSlot(int before, std::int16_t slot) const;

    BoardModel model_;
    PathEditor paths_{model_};
    const std::array<std::int32_t, 13> *palette_ = nullptr;
    bool modified_ = false;
    QString title_;
    // Tests set up states no edit makes (a step as only a file holds it, a palette position).
    friend struct BoardDocumentTestAccess;
    QString overview_;
};

// A text put into a fixed-width field: cut to the width or padded with blanks.
QString fixedWidth(const QString &text, int width);

} // namespace quorvel
