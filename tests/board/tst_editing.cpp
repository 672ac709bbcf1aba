// Board editing driven through the board's own input and operations, with every dialog
// answered by ScriptedPrompts.

#include "TestFolders.h"
#include "DialogScripts.h"
#include "DocumentAccess.h"
#include "OpenedUrls.h"
#include "TestHost.h"
#include "board/BoardEditor.h"
#include "board/BoardPlayback.h"
#include "playback/PlaybackController.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmCores.h"
#include "board/frmLink.h"
#include "board/frmMapa.h"
#include "board/frmMov.h"
#include "board/frmTexto.h"
#include "language/SetLanguageInForm.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"

#include <QFocusEvent>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QLabel>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

namespace {

constexpr std::int32_t kButtonFace = std::int32_t(0x8000000F);


struct Board {
    ProgramState state;
    TestHost host;
    frmMapa board{state, host};
    Board()
    {
        state.fillPalette();
        board.Form_Load();
        board.setImI(1);
        board.document().setOverview(QStringLiteral("Harbor.jpg"));
    }
    const BoardModel &m() const { return board.document().model(); }
    // For a state no edit makes: a step as only a file holds it, a palette position that only
    // a dozen paths before it would reach.
    BoardModel &setUp() { return BoardDocumentTestAccess::model(board.document()); }
    // The link owner of the right-click selection.
    BoardDocument::LinkOwner owner() const { return {state.iObjSel, state.iPontoSel}; }
    const StratDocument &doc() const { return m().doc; }
    BoardEditor &ed() { return board.editor(); }
    QWidget *viewport() { return board.view()->viewport(); }
    QPointF at(QPointF twips) { return board.view()->viewportTransform().map(twips); }
    // Mouse events at exact twips (a fraction of a pixel kept), as a fine pointer sends them.
    void mouse(QEvent::Type type, QPointF twips, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers mods = {})
    {
        const QPointF local = at(twips);
        QMouseEvent e(type, local, viewport()->mapToGlobal(local), button, held, mods);
        QApplication::sendEvent(viewport(), &e);
    }
    void click(QPointF twips, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
    {
        mouse(QEvent::MouseButtonPress, twips, button, button, mods);
        mouse(QEvent::MouseButtonRelease, twips, button, Qt::NoButton, mods);
    }
    void doubleClick(QPointF twips)
    {
        click(twips);
        mouse(QEvent::MouseButtonDblClick, twips, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, twips, Qt::LeftButton, Qt::NoButton);
    }
    // The left button as the window system delivers it: to the widget under the pointer.
    void windowMouse(QEvent::Type type, QPointF twips)
    {
        board.show();
        const QPoint pixel = viewport()->mapTo(&board, at(twips).toPoint());
        if (type == QEvent::MouseButtonPress)
            QTest::mousePress(board.windowHandle(), Qt::LeftButton, {}, pixel);
        else if (type == QEvent::MouseMove)
            QTest::mouseMove(board.windowHandle(), pixel);
        else
            QTest::mouseRelease(board.windowHandle(), Qt::LeftButton, {}, pixel);
    }
    void windowDrag(QPointF from, QPointF to)
    {
        windowMouse(QEvent::MouseButtonPress, from);
        windowMouse(QEvent::MouseMove, to);
        windowMouse(QEvent::MouseButtonRelease, to);
    }
    // The board the user sees: the view, less the top strip that lies over it.
    QRectF seenBoard()
    {
        board.show();
        QGraphicsView *view = board.view();
        const QRectF shown = view->viewportTransform().inverted().mapRect(QRectF(viewport()->rect()));
        const QWidget *strip = view->findChild<QWidget *>(QStringLiteral("picTopo"));
        const QPoint below = viewport()->mapFrom(view, strip->geometry().bottomLeft() + QPoint(0, 1));
        return shown.adjusted(0, view->mapToScene(below).y() - shown.top(), 0, 0);
    }
    void drag(QPointF from, QPointF to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    // A press and release on the bare board wherever elements stand.
    void pressBare(QPointF twips, Qt::KeyboardModifiers mods = {})
    {
        board.editor().Form_MouseDown(Qt::LeftButton, mods, twips);
        board.editor().Form_MouseUp(mods);
    }
    void hover(QPointF twips, Qt::KeyboardModifiers mods = {})
    {
        mouse(QEvent::MouseMove, twips, Qt::NoButton, Qt::NoButton, mods);
    }
    // An object placed through the toolbar state and a press.
    int place(std::int16_t type, QPointF pressAt)
    {
        state.tool.choose(ArmedTool::Object);
        state.iTipoObj = type;
        click(pressAt);
        return doc().iObj;
    }
    // Path-point mode for object o, as "Add Movement" arms it.
    void arm(int o)
    {
        state.iObjSel = static_cast<std::int16_t>(o);
        state.iTipoSel = 1;
        state.iMapaSel = 1;
        state.tool.addMovement(board.imI());
    }
    tpPasso recordStep(int slot, int step) { return doc().tMovimentos[slot].Passos.at(step); }
    tpPasso playerStep(int slot, int step) { return m().playback.findMovimento(slot)->Passos()[std::size_t(step)]; }
    int sliderMax() { return board.findChild<QSlider *>(QStringLiteral("Slider2"))->maximum(); }
    QString title() const { return board.findChild<QLabel *>(QStringLiteral("lblTitulo"))->text(); }
};

// The movement dialog answered with OK after set() filled it in.
std::function<int(QDialog &)> movOk(std::function<void(frmMov &)> set = {})
{
    return [set](QDialog &d) {
        auto &mov = static_cast<frmMov &>(d);
        if (set)
            set(mov);
        mov.cmdOK->click();
        return d.result();
    };
}

// A click with the mouse on swatch `index` of the colour dialog.
void clickSwatch(frmCores &dialog, int index)
{
    for (QWidget *swatch : dialog.findChildren<QWidget *>(QStringLiteral("picCor")))
        if (swatch->property(kControlIndexProperty).toInt() == index)
            QTest::mouseClick(swatch, Qt::LeftButton);
}

QPointF pointCentre(Board &b, int n)
{
    const PathPoint &p = b.m().points[std::size_t(n)];
    return {p.Left + 50, p.Top + 50};
}

// Where an element placed at `at` is taken: an object and a path point at the centre, a text
// inside its corner, a marker above its pin.
const QPointF kGrabOffset[] = {{0, 0}, {20, 20}, {0, -100}, {50, 50}};

// One element of a kind (0 object, 1 text, 2 marker, 3 path point) placed at `at`: its scene
// item, and `grab` set to a point on it.
const QGraphicsItem *placeToDrag(Board &b, ScriptedPrompts &prompts, int kind, QPointF &grab,
                                 const QString &text = QStringLiteral("x"), QPointF at = {1000, 2000})
{
    grab = at + kGrabOffset[kind];
    const BoardScene &scene = *b.board.scene();
    switch (kind) {
    case 0: b.place(1, at); return scene.imgObj[1];
    case 1:
    case 2:
        prompts.addDialog(textOk(text));
        b.state.tool.choose(kind == 1 ? ArmedTool::Text : ArmedTool::Marker);
        b.click(at);
        return kind == 1 ? static_cast<const QGraphicsItem *>(scene.lblTexto[1]) : scene.imgMarker[1];
    default:
        b.place(1, {500, 500});
        b.arm(1);
        prompts.addDialog(movOk());
        b.click(grab);
        b.ed().placingReset();
        return scene.picM[1];
    }
}

// An older strat that keeps one element of each kind past an edge of the board the user sees:
// an object past the right edge, a text under the top strip, a marker past the left edge and a
// path point whose icon reaches past the top. Where each is taken, and a move that brings it
// whole onto the board.
const QPointF kPastGrab[] = {{11950, 3100}, {2050, 100}, {30, 4135}, {7175, 75}};
const QPointF kPastInto[] = {{-900, 300}, {300, 600}, {900, 300}, {300, 600}};

void openPastTheEdges(Board &b, const QTemporaryDir &dir)
{
    StratDocument d;
    d.sOverview = QStringLiteral("Harbor.jpg");
    d.iObj = 2;
    d.tObjetos = {{}, {1, 11900, 3000}, {1, 6000, 3000}};
    d.iTxt = 1;
    d.tTextos = {{}, {2000, 0, QStringLiteral("x")}};
    d.iMkr = 1;
    d.tMarkers = {{}, {-60, 4000, QStringLiteral("m")}};
    d.iMovs = 1;
    d.tMovimentos = {{}, {2, 1, StepArray<tpPasso>::zeroTo(1)}};
    d.tMovimentos[1].Passos.at(1) = {0, 7000, -100, 8, 0, 0};
    d.iCores = 1;
    d.lCorMov = {0, 255};
    const QString path = dir.filePath(QStringLiteral("edges.qvl"));
    QVERIFY(writeStratFile(path, d));
    b.board.AbreTatica(path);
}

QPointF storedPos(Board &b, int kind)
{
    const StratDocument &d = b.doc();
    return kind == 0   ? QPointF(d.tObjetos[1].X, d.tObjetos[1].Y)
           : kind == 1 ? QPointF(d.tTextos[1].X, d.tTextos[1].Y)
           : kind == 2 ? QPointF(d.tMarkers[1].X, d.tMarkers[1].Y)
                       : QPointF(b.m().points[1].Left, b.m().points[1].Top);
}

} // namespace

class TestEditing : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("QUORVEL_HOME", testProgramFolder()); }
    void placing_data();
    void placing();
    void placingIsRefusedWhileRecordingOrPlaying();
    void pathSteps_data();
    void pathSteps();
    void closingTheMovementDialogAddsNothing();
    void ctrlShortcut_data();
    void ctrlShortcut();
    void bombPathMatchesTheReopenedFile();
    void drags_data();
    void drags();
    void dragGesturesLeaveTheElementUsable_data();
    void dragGesturesLeaveTheElementUsable();
    void dropsPastTheEdgeStayOnTheBoard_data();
    void dropsPastTheEdgeStayOnTheBoard();
    void dragsUnderTheChosenTool_data();
    void dragsUnderTheChosenTool();
    void playEditEditsKeepTheLength_data();
    void playEditEditsKeepTheLength();
    void stepEditing_data();
    void stepEditing();
    void pointsFollowTheirStepsAfterSkippedSteps();
    void deletingTheArmedObjectEndsPathMode();
    void deletingInPlayEditUpdatesTheLength();
    void colourCycleAndDialog();
    void linkTargets_data();
    void linkTargets();
    void movementLimit();
    void textsMarkersAndTitle();
    void keysAndToolReset();
    void secondsToFrames_data();
    void secondsToFrames();
    void movementBoxesSelectOnFocus_data();
    void movementBoxesSelectOnFocus();
};

void TestEditing::placing_data()
{
    QTest::addColumn<int>("tool"); // object type, or -1 marker, -2 text
    QTest::addColumn<QPointF>("stored");
    QTest::newRow("team icon") << 1 << QPointF(825, 1825);
    QTest::newRow("smoke grenade") << 12 << QPointF(925, 1925);
    QTest::newRow("flash grenade") << 11 << QPointF(925, 1925);
    QTest::newRow("bomb") << 13 << QPointF(925, 1925);
    QTest::newRow("marker") << -1 << QPointF(920, 1725);
    QTest::newRow("text") << -2 << QPointF(1000, 2000);
}

void TestEditing::placing()
{
    QFETCH(int, tool);
    QFETCH(QPointF, stored);
    ScriptedPrompts prompts;
    Board b;
    const int sliderBefore = b.sliderMax();
    if (tool >= 0) {
        b.place(static_cast<std::int16_t>(tool), {1000, 2000});
        QCOMPARE(b.doc().iObj, 1);
        const tpObjeto o = b.doc().tObjetos[1];
        QCOMPARE(o, (tpObjeto{static_cast<std::int16_t>(tool), float(stored.x()), float(stored.y())}));
        QCOMPARE(b.board.scene()->imgObj[1]->pos(), stored);
        QCOMPARE(b.doc().iMovs, tool == 13 ? 1 : 0); // only the bomb brings a path
        if (tool != 13)
            QCOMPARE(b.sliderMax(), sliderBefore);
    } else {
        prompts.addDialog(textOk(QStringLiteral("A long")));
        b.state.tool.choose(tool == -1 ? ArmedTool::Marker : ArmedTool::Text);
        b.click({1000, 2000}, Qt::RightButton); // any button places
        const tpTexto t = tool == -1 ? b.doc().tMarkers[1] : b.doc().tTextos[1];
        QCOMPARE(t, (tpTexto{float(stored.x()), float(stored.y()), QStringLiteral("A long")}));
        QCOMPARE(tool == -1 ? b.board.scene()->imgMarker[1]->pos() : b.board.scene()->lblTexto[1]->pos(), stored);
        QCOMPARE(b.state.tool.chosen(), ArmedTool::None);
        // A cancelled dialog adds nothing and still disarms the tool.
        prompts.addDialog(closeBox());
        b.state.tool.choose(tool == -1 ? ArmedTool::Marker : ArmedTool::Text);
        b.click({3000, 3000});
        QCOMPARE(tool == -1 ? b.doc().iMkr : b.doc().iTxt, 1);
        QCOMPARE(b.state.tool.chosen(), ArmedTool::None);
    }
    QCOMPARE(b.state.tool.armed(b.board.imI()), ArmedTool::None);
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestEditing::placingIsRefusedWhileRecordingOrPlaying()
{
    ScriptedPrompts prompts;
    Board b;
    b.board.controller().setRecording(true);
    b.place(1, {1000, 1000});
    QCOMPARE(b.doc().iObj, 0);
    b.board.controller().setRecording(false);

    QTest::mouseClick(b.board.findChild<QWidget *>(QStringLiteral("picGO")), Qt::LeftButton); // Play: a press toggles pause and places nothing
    QVERIFY(b.board.controller().playMode());
    b.place(1, {1000, 1000});
    QCOMPARE(b.doc().iObj, 0);
    QVERIFY(b.board.controller().paused());
    b.click({1000, 1000});
    QVERIFY(!b.board.controller().paused());
    QTest::mouseClick(b.board.findChild<QWidget *>(QStringLiteral("picGO")), Qt::LeftButton);
}

void TestEditing::pathSteps_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QPointF>("lineStart");
    QTest::addColumn<QPoint>("step");
    QTest::addColumn<bool>("grenadeDialog");
    QTest::newRow("team icon") << 1 << QPointF(675, 675) << QPoint(825, 1825) << false;
    QTest::newRow("flash grenade") << 11 << QPointF(575, 575) << QPoint(925, 1925) << true;
}

void TestEditing::pathSteps()
{
    QFETCH(int, type);
    QFETCH(QPointF, lineStart);
    QFETCH(QPoint, step);
    QFETCH(bool, grenadeDialog);
    ScriptedPrompts prompts;
    Board b;
    const int c = centreOffset(type);
    b.place(static_cast<std::int16_t>(type), {500.0 + c, 500.0 + c}); // icon at 500, 500
    b.setUp().iCorAtual = 4;
    b.arm(1);
    bool seen = false;
    prompts.addDialog(movOk([&](frmMov &d) {
        seen = true;
        QCOMPARE(!d.optVel[0]->isEnabled(), grenadeDialog);
        QCOMPARE(d.optVel[2]->isChecked(), grenadeDialog);
        QCOMPARE(!d.Frame4->isEnabled(), grenadeDialog);
        QCOMPARE(d.optVel[2]->isEnabled(), grenadeDialog);
        if (!grenadeDialog)
            frmMov::select(d.optVel[1]);
        frmMov::select(d.optLvl[1]);
        d.txtIni->setText(QStringLiteral("126"));
    }));
    b.click({1000, 2000});
    QVERIFY(seen);
    QCOMPARE(b.doc().iMovs, 1);
    QCOMPARE(b.doc().lCorMov[1], b.state.lCores[4]);
    QCOMPARE(b.m().iCorAtual, 5);
    const PathPoint &p1 = b.m().points[1];
    QCOMPARE(QPointF(p1.Left, p1.Top), QPointF(950, 1950));
    QCOMPARE(QLineF(p1.X1, p1.Y1, p1.X2, p1.Y2), QLineF(lineStart, QPointF(1000, 2000)));
    const tpPasso expected{126, step.x(), step.y(), grenadeDialog ? 20.0f : 3.0f, -1, 0};
    QCOMPARE(b.recordStep(1, 1), expected);
    QCOMPARE(b.playerStep(1, 1), expected);
    QVERIFY(b.sliderMax() >= 2); // the strat length followed the new step

    // The next presses continue the same path from the previous point, the dialog preset
    // from the last step.
    prompts.addDialog(movOk([&](frmMov &d) {
        QCOMPARE(d.optLvl[1]->isChecked(), true);
        QCOMPARE(d.optVel[grenadeDialog ? 2 : 1]->isChecked(), true);
    }));
    b.click({3000, 2000});
    prompts.addDialog(movOk());
    b.click({3000, 4000});
    QCOMPARE(b.doc().iMovs, 1);
    QCOMPARE(b.doc().tMovimentos[1].itM, 3);
    QCOMPARE(b.m().playback.findMovimento(1)->itM(), 3);
    QCOMPARE(b.m().iPassoPonto, (std::vector<std::int16_t>{0, 1, 2, 3}));
    QCOMPARE(QPointF(b.m().points[2].X1, b.m().points[2].Y1), QPointF(1000, 2000));
    QCOMPARE(QPointF(b.m().points[3].X1, b.m().points[3].Y1), QPointF(3000, 2000));
    QCOMPARE(b.board.scene()->linha[3]->line(), QLineF(3000, 2000, 3000, 4000));
    QVERIFY(b.board.bMovimento()); // the mode stays armed
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestEditing::closingTheMovementDialogAddsNothing()
{
    ScriptedPrompts prompts;
    Board b;
    b.place(1, {1000, 1000});
    b.place(2, {4000, 1000});
    b.arm(1);
    prompts.addDialog(movOk());
    b.click({2000, 2000});
    const StratDocument before = b.doc();
    const std::int16_t corBefore = b.m().iCorAtual;

    // On an existing path: the point and line go, no step is added.
    prompts.addDialog(closeBox());
    b.click({2500, 2500});
    QCOMPARE(b.m().iPontos, 1);
    QCOMPARE(b.board.scene()->picM.size() > 2 ? b.board.scene()->picM[2] : nullptr, nullptr);
    QCOMPARE(b.doc(), before);
    QCOMPARE(b.m().playback.findMovimento(1)->itM(), 1);

    // On a path this press would have started: the slot is taken back as well.
    b.arm(2);
    prompts.addDialog(closeBox());
    b.click({5000, 5000});
    QCOMPARE(b.doc(), before);
    QCOMPARE(b.m().iCorAtual, corBefore);
    QCOMPARE(b.board.document().ProcuraMovimento(2), -1);
    // The next OK starts the path in the slot and colour the cancelled press would have had.
    prompts.addDialog(movOk());
    b.click({5000, 5000});
    QCOMPARE(b.doc().iMovs, 2);
    QCOMPARE(b.doc().lCorMov[2], b.state.lCores[std::size_t(corBefore)]);
    QCOMPARE(b.m().iPassoPonto[2], 1);
}

void TestEditing::ctrlShortcut_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<float>("lastVel");
    QTest::addColumn<int>("lastLvl");
    QTest::addColumn<int>("lastDir");
    QTest::addColumn<float>("vel");
    QTest::addColumn<int>("lvl");
    QTest::addColumn<int>("dir");
    QTest::newRow("walk below facing SW") << 1 << 3.0f << -1 << 5 << 3.0f << -1 << 5;
    QTest::newRow("facing N stays N") << 1 << 8.0f << 1 << 8 << 8.0f << 1 << 8;
    QTest::newRow("odd facing becomes N") << 1 << 8.0f << 0 << 12 << 8.0f << 0 << 8;
    QTest::newRow("grenade speed on a runner") << 2 << 20.0f << 0 << 3 << 8.0f << 0 << 3;
    QTest::newRow("unknown speed on a runner") << 2 << 0.0f << 0 << 3 << 8.0f << 0 << 3;
    QTest::newRow("walk speed on a grenade") << 10 << 3.0f << 0 << 0 << 20.0f << 0 << 0;
    QTest::newRow("bomb facing -1") << 13 << 20.0f << 0 << -1 << 20.0f << 0 << 0;
}

void TestEditing::ctrlShortcut()
{
    QFETCH(int, type);
    QFETCH(float, lastVel);
    QFETCH(int, lastLvl);
    QFETCH(int, lastDir);
    QFETCH(float, vel);
    QFETCH(int, lvl);
    QFETCH(int, dir);
    ScriptedPrompts prompts;
    Board b;
    b.place(static_cast<std::int16_t>(type), {1000, 1000});
    b.arm(1);
    if (type != 13) {
        prompts.addDialog(movOk());
        b.click({2000, 2000});
    }
    // The last step as a file could hold it.
    const tpPasso last{0, 1, 1, lastVel, std::int16_t(lastLvl), std::int16_t(lastDir)};
    b.setUp().doc.tMovimentos[1].Passos.at(1) = last;
    b.setUp().playback.Movimento(1)->EditaMov(1, 0, lastVel, std::int16_t(lastLvl), std::int16_t(lastDir));

    b.click({3000, 3000}, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(prompts.dialogs.size(), type != 13 ? 1 : 0); // no dialog for the shortcut
    const int c = centreOffset(type);
    const tpPasso expected{0, 3000 - c, 3000 - c, vel, std::int16_t(lvl), std::int16_t(dir)};
    QCOMPARE(b.recordStep(1, 2), expected);
    QCOMPARE(b.playerStep(1, 2), expected);

    // Ctrl with Shift is no shortcut: the dialog opens.
    prompts.addDialog(closeBox());
    b.click({4000, 4000}, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(prompts.dialogs.size(), type != 13 ? 2 : 1);
}

void TestEditing::bombPathMatchesTheReopenedFile()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Board b;
    b.setUp().iCorAtual = 12; // palette entry 12 is 0: the button face
    b.place(Bomb, {1309.5f, 1310.5f});
    QCOMPARE(b.doc().tObjetos[1].X, 1234.5f);
    QCOMPARE(b.state.iObjSel, 1);
    const tpPasso step{189, 1234, 1236, 20.0f, 0, -1};
    QCOMPARE(b.recordStep(1, 1), step);
    QCOMPARE(b.playerStep(1, 1), step);
    QCOMPARE(b.doc().lCorMov[1], kButtonFace);
    QCOMPARE(b.m().iCorAtual, 13);
    QCOMPARE(b.state.sDirMov, -1);
    QCOMPARE(b.m().points[1].Left, 1259.0f);
    QCOMPARE(b.m().points[1].Top, 1261.0f);

    const QString path = dir.filePath(QStringLiteral("bomb.qvl"));
    prompts.addFile(path);
    QVERIFY(b.board.SalvaTatica());
    Board reopened;
    reopened.board.AbreTatica(path);
    QCOMPARE(reopened.m().points, b.m().points);

    // A press without a move drops the point where it stands: the step stays on the bomb.
    b.click(pointCentre(b, 1));
    QCOMPARE(b.recordStep(1, 1).X, 1234);
    QCOMPARE(b.playerStep(1, 1).Y, 1236);

    // A second bomb takes the next palette entry (the cycle wrapped to 0).
    b.place(Bomb, {5000, 5000});
    QCOMPARE(b.doc().lCorMov[2], b.state.lCores[0]);
}

void TestEditing::drags_data()
{
    QTest::addColumn<int>("kind"); // 0 object, 1 text, 2 marker, 3 point of a team icon, 4 point of a grenade
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("stored");
    QTest::newRow("object") << 0 << QPointF(1000, 2000) << QPointF(1125, 1925);
    QTest::newRow("text") << 1 << QPointF(1000, 2000) << QPointF(1300, 2100);
    QTest::newRow("marker") << 2 << QPointF(1000, 2000) << QPointF(1220, 1825);
    QTest::newRow("team icon path point") << 3 << QPointF(1050, 2050) << QPointF(1175, 1975);
    QTest::newRow("grenade path point") << 4 << QPointF(1050, 2050) << QPointF(1275, 2075);
}

void TestEditing::drags()
{
    QFETCH(int, kind);
    QFETCH(QPointF, from);
    QFETCH(QPointF, stored);
    ScriptedPrompts prompts;
    Board b;
    const QPointF by(300, 100);
    switch (kind) {
    case 0: {
        b.place(1, {1000, 2000});
        b.arm(1);
        prompts.addDialog(movOk());
        b.click({5000, 5000});
        b.ed().placingReset();
        b.drag(from, from + by);
        QCOMPARE(b.doc().tObjetos[1], (tpObjeto{1, float(stored.x()), float(stored.y())}));
        QCOMPARE(b.board.scene()->imgObj[1]->pos(), stored);
        // The path's first line follows the object; its point stays.
        QCOMPARE(b.board.scene()->linha[1]->line().p1(), stored + QPointF(175, 175));
        QCOMPARE(b.m().points[1].Left, 4950.0f);
        break;
    }
    case 1:
    case 2: {
        prompts.addDialog(textOk(QStringLiteral("x")));
        b.state.tool.choose(kind == 1 ? ArmedTool::Text : ArmedTool::Marker);
        b.click(from);
        const QPointF grab = kind == 1 ? from + QPointF(20, 20) : from + QPointF(0, -100);
        b.drag(grab, grab + by);
        const tpTexto &t = kind == 1 ? b.doc().tTextos[1] : b.doc().tMarkers[1];
        QCOMPARE(QPointF(t.X, t.Y), stored);
        break;
    }
    default: {
        const int type = kind == 3 ? 1 : 11;
        b.place(static_cast<std::int16_t>(type), {500, 500});
        b.arm(1);
        prompts.addDialog(movOk());
        b.click(from);
        prompts.addDialog(movOk());
        b.click({6000, 6000});
        b.ed().placingReset();
        QCOMPARE(b.m().points[1].Left, 1000.0f);
        b.drag(from, from + by);
        const tpPasso expected{0, int(stored.x()), int(stored.y()), type == 1 ? 8.0f : 20.0f, 0, 0};
        QCOMPARE(b.recordStep(1, 1), expected);
        QCOMPARE(b.playerStep(1, 1), expected);
        QCOMPARE(QPointF(b.m().points[1].Left, b.m().points[1].Top), QPointF(1300, 2100));
        QCOMPARE(b.board.scene()->linha[1]->line().p2(), QPointF(1350, 2150));
        QCOMPARE(b.board.scene()->linha[2]->line().p1(), QPointF(1350, 2150));
        break;
    }
    }
    QVERIFY(!b.ed().drag().shpT->isVisible() && !b.ed().drag().shpM->isVisible() && !b.ed().drag().shpMarker->isVisible());
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestEditing::dragGesturesLeaveTheElementUsable_data()
{
    QTest::addColumn<int>("kind");    // 0 object, 1 text, 2 marker, 3 path point
    QTest::addColumn<int>("gesture"); // 0 out and back, 1 press without moving, 2 Esc, 3 focus lost, 4 tool
    const char *kinds[] = {"object", "text", "marker", "path point"};
    const char *gestures[] = {"out and back", "press without moving", "Esc mid-drag", "focus lost mid-drag",
                              "tool chosen mid-drag"};
    for (int k = 0; k < 4; ++k)
        for (int g = 0; g < 5; ++g)
            QTest::addRow("%s, %s", kinds[k], gestures[g]) << k << g;
}

void TestEditing::dragGesturesLeaveTheElementUsable()
{
    // Whatever ends a drag where it began, or without a drop, the element stays where the file
    // keeps it (past an edge, where a drop would not leave it), shown and unchanged, and takes
    // the next drag.
    QFETCH(int, kind);
    QFETCH(int, gesture);
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Board b;
    openPastTheEdges(b, dir);
    const BoardScene &scene = *b.board.scene();
    const QGraphicsItem *items[] = {scene.imgObj[1], scene.lblTexto[1], scene.imgMarker[1], scene.picM[1]};
    const QGraphicsItem *item = items[kind];
    const QPointF grab = kPastGrab[kind], out = grab + QPointF(900, 600);
    auto stored = [&] { return storedPos(b, kind); };
    const QPointF before = stored();
    const QPointF itemBefore = item->pos();
    QVERIFY(!b.board.isWindowModified());

    b.windowMouse(QEvent::MouseButtonPress, grab);
    if (gesture != 1)
        b.windowMouse(QEvent::MouseMove, out);
    if (gesture == 0)
        b.windowMouse(QEvent::MouseMove, grab);
    if (gesture == 2)
        QTest::keyClick(b.board.view(), Qt::Key_Escape);
    if (gesture == 3) {
        QFocusEvent lost(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(b.board.view(), &lost);
    }
    if (gesture == 4)
        b.state.tool.choose(ArmedTool::Hand);
    b.windowMouse(QEvent::MouseButtonRelease, gesture >= 2 ? out : grab);

    QCOMPARE(stored(), before);
    QCOMPARE(item->pos(), itemBefore);
    QVERIFY(item->isVisible());
    QVERIFY(!b.board.isWindowModified());
    const DragTool &drag = b.ed().drag();
    QVERIFY(!drag.shpT->isVisible() && !drag.shpM->isVisible() && !drag.shpMarker->isVisible());
    QCOMPARE(drag.action(), DragTool::Action::None);
    b.windowDrag(grab, grab + kPastInto[kind]);
    QCOMPARE(stored(), before + kPastInto[kind]);
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestEditing::dropsPastTheEdgeStayOnTheBoard_data()
{
    QTest::addColumn<int>("kind"); // 0 object, 1 text, 2 marker, 3 path point, 4 text at Y = 0 in a file
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPointF>("at"); // where it is placed
    QTest::addColumn<QList<QPointF>>("pushes"); // drags past the edges, in turn
    const char *kinds[] = {"object", "text", "marker", "path point"};
    const QPointF mid(1000, 2000);
    for (int k = 0; k < 4; ++k) {
        QTest::addRow("%s", kinds[k]) << k << QStringLiteral("x") << mid << QList<QPointF>{{14000, 0}, {0, 9000}};
        QTest::addRow("%s, top", kinds[k]) << k << QStringLiteral("x") << mid << QList<QPointF>{{0, -9000}};
        QTest::addRow("%s, top left", kinds[k]) << k << QStringLiteral("x") << mid << QList<QPointF>{{-14000, -9000}};
        QTest::addRow("%s placed at the top", kinds[k]) << k << QStringLiteral("x") << QPointF(5000, 0) << QList<QPointF>{};
        QTest::addRow("%s dropped on the top row", kinds[k])
            << k << QStringLiteral("x") << mid << QList<QPointF>{{0, -(mid + kGrabOffset[k]).y()}};
    }
    QTest::newRow("text wider than the board") << 1 << QString(400, u'W') << mid << QList<QPointF>{{14000, 0}, {0, 9000}};
    QTest::newRow("text under the strip in a file") << 4 << QStringLiteral("x") << mid << QList<QPointF>{};
}

void TestEditing::dropsPastTheEdgeStayOnTheBoard()
{
    // Placed, or dropped past an edge or corner, the element lands (against it) whole on the
    // board below the top strip, wherever the pointer lets go (past the window, or on the
    // strip's top row): a text wider than it, a part to grab; a path point, with the icon that
    // ends on it. It follows the next drag, as a text a file keeps under the strip does: the
    // window sends the mouse through the strip.
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QPointF, at);
    QFETCH(QList<QPointF>, pushes);
    ScriptedPrompts prompts;
    Board b;
    QPointF grab(2050, 100);
    QList<QPointF> drops{{}};
    if (kind == 4) {
        openPastTheEdges(b, QTemporaryDir());
        kind = 1;
        drops.clear();
    }
    const QGraphicsItem *item = drops.isEmpty() ? b.board.scene()->lblTexto[1] : placeToDrag(b, prompts, kind, grab, text, at);
    const QRectF board = b.seenBoard();
    QPointF away(300, 600);
    for (const QPointF by : drops + pushes) {
        if (!by.isNull())
            b.windowDrag(grab, grab + by);
        QRectF drawn = item->sceneBoundingRect();
        if (kind == 3)
            drawn |= QRectF(QPointF(b.recordStep(1, 1).X, b.recordStep(1, 1).Y),
                            b.board.scene()->imgObj[1]->sceneBoundingRect().size());
        const QRectF inside = drawn & board;
        QVERIFY(inside == drawn || (text.size() > 100 && inside.width() >= 300));
        QVERIFY((by.x() > 0 ? board.right() - inside.right() : by.x() < 0 ? inside.left() - board.left() : 0) < 1);
        QVERIFY((by.y() > 0 ? board.bottom() - inside.bottom() : by.y() < 0 ? inside.top() - board.top() : 0) < 1);
        grab = (item->sceneBoundingRect() & board).center();
        away = {by.x() > 0 ? -300.0 : away.x(), by.y() > 0 ? -600.0 : away.y()};
    }
    const QPointF dropped = storedPos(b, kind);
    b.windowDrag(grab, grab + away);
    QCOMPARE(storedPos(b, kind), dropped + away);
}

void TestEditing::dragsUnderTheChosenTool_data()
{
    QTest::addColumn<QList<ArmedTool>>("tools"); // chosen in this order
    QTest::addColumn<int>("key");                // then pressed and released on the board
    QTest::addColumn<bool>("textMoves");
    QTest::addColumn<bool>("markerMoves");
    using T = ArmedTool;
    QTest::newRow("marker, Esc") << QList<T>{T::Marker} << int(Qt::Key_Escape) << true << false;
    QTest::newRow("marker, Shift") << QList<T>{T::Marker} << int(Qt::Key_Shift) << true << false;
    QTest::newRow("marker then hand, Esc") << QList<T>{T::Marker, T::Hand} << int(Qt::Key_Escape) << true << true;
    QTest::newRow("text, Shift") << QList<T>{T::Text} << int(Qt::Key_Shift) << false << true;
    QTest::newRow("text, Esc") << QList<T>{T::Text} << int(Qt::Key_Escape) << true << true;
}

void TestEditing::dragsUnderTheChosenTool()
{
    // Esc disarms every tool but the marker's choice, which keeps markers from being dragged
    // until another tool is chosen; Shift released disarms placing only, so the text and marker
    // choices still refuse drags of their own kind.
    QFETCH(QList<ArmedTool>, tools);
    QFETCH(int, key);
    QFETCH(bool, textMoves);
    QFETCH(bool, markerMoves);
    ScriptedPrompts prompts;
    Board b;
    prompts.addDialog(textOk(QStringLiteral("t")));
    b.state.tool.choose(ArmedTool::Text);
    b.click({2000, 2000});
    prompts.addDialog(textOk(QStringLiteral("m")));
    b.state.tool.choose(ArmedTool::Marker);
    b.click({5000, 5000});
    for (ArmedTool t : tools)
        b.state.tool.choose(t);
    QTest::keyClick(b.board.view(), Qt::Key(key));
    const QPointF by(300, 100);
    const tpTexto text = b.doc().tTextos[1];
    const tpTexto marker = b.doc().tMarkers[1];
    b.drag({2020, 2020}, QPointF(2020, 2020) + by);
    b.drag({5000, 4900}, QPointF(5000, 4900) + by);
    QCOMPARE(QPointF(b.doc().tTextos[1].X, b.doc().tTextos[1].Y), QPointF(text.X, text.Y) + (textMoves ? by : QPointF()));
    QCOMPARE(QPointF(b.doc().tMarkers[1].X, b.doc().tMarkers[1].Y),
             QPointF(marker.X, marker.Y) + (markerMoves ? by : QPointF()));
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestEditing::playEditEditsKeepTheLength_data()
{
    QTest::addColumn<int>("edit");
    QTest::newRow("point added") << 0;
    QTest::newRow("point dragged") << 1;
    QTest::newRow("object dropped") << 2;
    QTest::newRow("bomb placed") << 3;
}

void TestEditing::playEditEditsKeepTheLength()
{
    // A strat longer than its one-second round: every measure says so. In a running
    // Play/Edit the time slider keeps its length through these edits, without the message.
    QFETCH(int, edit);
    ScriptedPrompts prompts;
    Board b;
    b.state.iRoundTimer = 1;
    b.board.applySettings();
    b.place(1, {1000, 1000});
    b.place(2, {4000, 7000}); // no path
    b.arm(1);
    prompts.addDialog(movOk());
    b.click({9000, 1000});
    b.ed().placingReset();
    QTest::mouseClick(b.board.findChild<QLabel *>(QStringLiteral("Picture1")), Qt::LeftButton);
    QVERIFY(b.board.controller().playEditMode());
    b.board.document().setModified(false);
    const int length = b.sliderMax();
    const qsizetype messages = prompts.messages.size();
    QVERIFY(messages > 0);
    switch (edit) {
    case 0:
        b.arm(1);
        prompts.addDialog(movOk());
        b.click({9000, 8000});
        QCOMPARE(b.doc().tMovimentos[1].itM, 2);
        break;
    case 1: b.drag(pointCentre(b, 1), pointCentre(b, 1) + QPointF(0, 7000)); break;
    case 2: b.drag({4000, 7000}, {9000, 8000}); break;
    default: b.place(Bomb, {6000, 6000}); break;
    }
    QVERIFY(b.board.isWindowModified());
    QCOMPARE(b.sliderMax(), length);
    QCOMPARE(prompts.messages.size(), messages);
    QVERIFY(b.board.controller().playEditMode());
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestEditing::stepEditing_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("playEdit");
    QTest::newRow("cancel on a team icon") << 1 << false << false;
    QTest::newRow("ok on a team icon") << 1 << true << false;
    QTest::newRow("ok on a grenade") << 12 << true << false;
    QTest::newRow("ok in play/edit") << 1 << true << true;
}

void TestEditing::stepEditing()
{
    QFETCH(int, type);
    QFETCH(bool, ok);
    QFETCH(bool, playEdit);
    ScriptedPrompts prompts;
    Board b;
    b.place(static_cast<std::int16_t>(type), {1000, 1000});
    b.arm(1);
    prompts.addDialog(movOk());
    b.click({2000, 2000});
    b.ed().placingReset();
    const bool small = isSmallObjectType(type);
    // An odd step, as a file may hold it.
    // A press and release on the point rewrites its target from the point's centre, so the
    // odd step keeps the target the double-click's first press gives it.
    const int c = centreOffset(type);
    const tpPasso odd{126, 2000 - c, 2000 - c, small ? 20.0f : 3.0f, 5, small ? std::int16_t(-1) : std::int16_t(5)};
    b.setUp().doc.tMovimentos[1].Passos.at(1) = odd;
    b.setUp().playback.Movimento(1)->EditaMov(1, odd.iIni, odd.sVel, odd.sLvl, odd.sDir);
    if (playEdit)
        QTest::mouseClick(b.board.findChild<QWidget *>(QStringLiteral("Picture1")), Qt::LeftButton);
    const int sliderBefore = b.sliderMax();

    QList<bool> shown; // what the dialog offered, checked below
    QString startShown;
    prompts.addDialog([&](QDialog &d) -> int {
        auto &e = static_cast<frmMovEdit &>(d);
        // The choices follow the walker: grenades fly, others run or walk.
        shown = {e.optVel[0]->isEnabled(), e.optVel[1]->isEnabled(), e.optVel[2]->isEnabled(), e.Frame4->isEnabled(),
                 e.optLvl[2]->isChecked(), small || (e.optVel[1]->isChecked() && e.optDirection[5]->isChecked())};
        startShown = e.txtIni->text();
        if (!ok) {
            e.cmdCancel->click();
            return d.result();
        }
        e.txtIni->setText(QStringLiteral("300"));
        frmMov::select(e.optLvl[0]);
        if (!small)
            frmMov::select(e.optDirection[2]);
        e.cmdOK->click();
        return d.result();
    });
    b.doubleClick({2050, 2050});
    QCOMPARE(prompts.dialogs.size(), 2);
    QCOMPARE(shown, (QList<bool>{!small, !small, small, !small, true, true}));
    QCOMPARE(startShown, QStringLiteral("126"));
    const tpPasso expected = ok ? tpPasso{300, 2000 - c, 2000 - c, small ? 20.0f : 3.0f, 0, small ? std::int16_t(0) : std::int16_t(2)}
                                : odd;
    QCOMPARE(b.recordStep(1, 1), expected);
    QCOMPARE(b.playerStep(1, 1), expected);
    if (playEdit) {
        // A running Play/Edit keeps its time slider's length through the edit.
        QCOMPARE(b.sliderMax(), sliderBefore);
        QTest::mouseClick(b.board.findChild<QWidget *>(QStringLiteral("Picture1")), Qt::LeftButton);
    }
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestEditing::pointsFollowTheirStepsAfterSkippedSteps()
{
    // A saved path whose second step stands at (0, 0): opening skips it, so the movement
    // object holds two steps where the record holds three.
    QTemporaryDir dir;
    StratDocument d;
    d.sOverview = QStringLiteral("Harbor.jpg");
    d.iObj = 1;
    d.tObjetos = {{}, {1, 500, 500}};
    d.iMovs = 1;
    d.iCores = 1;
    d.lCorMov = {0, 255};
    tpMovimento mv;
    mv.iObj = 1;
    mv.itM = 3;
    mv.Passos = StepArray<tpPasso>::zeroTo(3);
    mv.Passos.at(1) = {0, 1000, 1000, 8, 0, 0};
    mv.Passos.at(3) = {0, 3000, 3000, 8, 0, 0};
    d.tMovimentos = {{}, mv};
    makeSavePlaceholders(d);
    const QString path = dir.filePath(QStringLiteral("skipped.qvl"));
    QVERIFY(writeStratFile(path, d));
    ScriptedPrompts prompts;
    Board b;
    b.board.AbreTatica(path);
    QCOMPARE(b.m().iPassoPonto, (std::vector<std::int16_t>{0, 1, 3}));
    QCOMPARE(b.m().playback.findMovimento(1)->itM(), 2);

    // Dragging point 2 moves record step 3 and movement step 2.
    b.drag(pointCentre(b, 2), pointCentre(b, 2) + QPointF(100, 0));
    QCOMPARE(b.recordStep(1, 3).X, 3100);
    QCOMPARE(b.playerStep(1, 2).X, 3100);
    QCOMPARE(b.recordStep(1, 1).X, 1000);

    // Removing from point 2 cuts both copies at the step that point shows.
    b.board.document().ApagaMovimento(2, 1);
    QCOMPARE(b.doc().tMovimentos[1].itM, 2);
    QCOMPARE(b.m().playback.findMovimento(1)->itM(), 1);
    QCOMPARE(b.recordStep(1, 1).X, 1000);
}

void TestEditing::deletingTheArmedObjectEndsPathMode()
{
    ScriptedPrompts prompts;
    Board b;
    b.place(1, {1000, 1000});
    b.arm(1);
    prompts.addDialog(movOk());
    b.click({3000, 3000});
    b.board.document().ApagaObjeto(1);
    QCOMPARE(b.state.tool.armed(b.board.imI()), ArmedTool::None);
    QVERIFY(!b.ed().placing().tlinha->isVisible());
    // A further press gives the deleted object nothing.
    b.state.tool.addMovement(b.board.imI());
    b.click({7000, 7000});
    QCOMPARE(b.doc().iMovs, 1);
    QCOMPARE(b.m().iPontos, 1);
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestEditing::deletingInPlayEditUpdatesTheLength()
{
    // The strat's length follows a deletion in a running Play/Edit too; the path loses its tail.
    ScriptedPrompts prompts;
    Board b;
    b.place(1, {1000, 1000});
    b.arm(1);
    for (int i = 0; i < 2; ++i) {
        prompts.addDialog(movOk());
        b.click({9000.0 - 4000 * i, 8000});
    }
    QTest::mouseClick(b.board.findChild<QWidget *>(QStringLiteral("Picture1")), Qt::LeftButton);
    const int sliderBefore = b.sliderMax();
    b.board.document().ApagaMovimento(2, 1);
    QCOMPARE(b.doc().tMovimentos[1].itM, 1);
    QVERIFY(b.sliderMax() < sliderBefore);
    QVERIFY(b.board.controller().playEditMode());
}

void TestEditing::colourCycleAndDialog()
{
    ScriptedPrompts prompts;
    Board b;
    // Fourteen new paths: entries 0..11, then 12 (0: the button face), then 0 again.
    for (int i = 1; i <= 14; ++i) {
        b.state.tool.choose(ArmedTool::Object);
        b.state.iTipoObj = 1;
        b.pressBare({700.0 * i, 1000});
        b.arm(i);
        prompts.addDialog(movOk());
        b.pressBare({700.0 * i, 3000});
    }
    for (int s = 1; s <= 12; ++s)
        QCOMPARE(b.doc().lCorMov[s], b.state.lCores[std::size_t(s - 1)]);
    QCOMPARE(b.doc().lCorMov[13], kButtonFace);
    QCOMPARE(b.doc().lCorMov[14], b.state.lCores[0]);
    QCOMPARE(b.board.scene()->picM[13]->brush().color(), QColor(212, 208, 200));

    // OK without a swatch keeps the colour, a system colour included, and is no change.
    b.board.document().setModified(false);
    b.state.iObjSel = 13;
    prompts.addDialog([](QDialog &d) {
        static_cast<frmCores &>(d).cmdOK->click();
        return d.result();
    });
    b.board.editor().dialogs().MudaCor();
    QCOMPARE(b.doc().lCorMov[13], kButtonFace);
    QVERIFY(!b.board.isWindowModified());
    // Swatch 12 is pure blue; only this path's point and line are repainted.
    b.state.iObjSel = 2;
    prompts.addDialog([](QDialog &d) {
        auto &c = static_cast<frmCores &>(d);
        clickSwatch(c, 12);
        c.cmdOK->click();
        return d.result();
    });
    b.board.editor().dialogs().MudaCor();
    QCOMPARE(b.doc().lCorMov[2], storedColour(0, 0, 255));
    QCOMPARE(b.board.scene()->picM[2]->brush().color(), QColor(0, 0, 255));
    QCOMPARE(b.board.scene()->linha[2]->pen().color(), QColor(0, 0, 255));
    QVERIFY(b.board.scene()->picM[3]->brush().color() != QColor(0, 0, 255));
    QVERIFY(b.board.isWindowModified());
    b.board.document().setModified(false);
    // The close box keeps the colour; an object without a path shows no dialog.
    prompts.addDialog([](QDialog &d) {
        clickSwatch(static_cast<frmCores &>(d), 4);
        return int(QDialog::Rejected);
    });
    b.board.editor().dialogs().MudaCor();
    QCOMPARE(b.doc().lCorMov[2], storedColour(0, 0, 255));
    QVERIFY(!b.board.isWindowModified());
    b.state.tool.choose(ArmedTool::Object);
    b.state.iTipoObj = 3;
    b.pressBare({9000, 8000});
    b.state.iObjSel = 15;
    b.board.editor().dialogs().MudaCor();
    QCOMPARE(prompts.dialogs.size(), 14 + 3);
}

void TestEditing::linkTargets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("safety");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("opened");
    const QString existing = QStringLiteral(QUORVEL_PROGRAM_DIR "/Overviews/Harbor.jpg");
    QTest::newRow("https") << QStringLiteral("https://example.org/x") << int(LinkSafety::Open) << false << true;
    QTest::newRow("bare site") << QStringLiteral("example.org") << int(LinkSafety::Open) << false << true;
    QTest::newRow("mail") << QStringLiteral("mailto:a@example.org") << int(LinkSafety::Open) << false << true;
    QTest::newRow("picture file") << existing << int(LinkSafety::Open) << false << true;
    QTest::newRow("program refused") << QStringLiteral("/bin/sh") << int(LinkSafety::Ask) << false << false;
    QTest::newRow("program agreed") << QStringLiteral("/bin/sh") << int(LinkSafety::Ask) << true << true;
    QTest::newRow("missing file") << QStringLiteral("/no/such/file.txt") << int(LinkSafety::Ask) << false << false;
    QTest::newRow("other scheme") << QStringLiteral("javascript:alert(1)") << int(LinkSafety::Ask) << false << false;
    QTest::newRow("empty") << QString() << int(LinkSafety::Nothing) << false << false;
}

void TestEditing::linkTargets()
{
    QFETCH(QString, text);
    QFETCH(int, safety);
    QFETCH(bool, answer);
    QFETCH(bool, opened);
    QCOMPARE(int(classifyLink(text).safety), safety);
    ScriptedPrompts prompts;
    OpenedUrls desktop;
    if (safety == int(LinkSafety::Ask))
        prompts.addAnswer(answer ? MessageAnswer::Yes : MessageAnswer::No);
    frmLink dialog;
    dialog.txtLink->setText(text);
    dialog.cmdGO->click();
    QCOMPARE(desktop.urls.size(), opened ? 1 : 0);
    QCOMPARE(prompts.messages.size(), safety == int(LinkSafety::Ask) ? 1 : 0);
}

void TestEditing::movementLimit()
{
    ScriptedPrompts prompts;
    Board b;
    auto placeBare = [&](std::int16_t type, QPointF at) {
        b.state.tool.choose(ArmedTool::Object);
        b.state.iTipoObj = type;
        b.pressBare(at);
    };
    for (int i = 1; i <= kMaxMovements; ++i) {
        placeBare(1, {1000, 1000});
        b.arm(i);
        prompts.addDialog(movOk());
        b.pressBare({2000, 2000});
    }
    QCOMPARE(b.doc().iMovs, 100);
    const StratDocument before = b.doc();
    placeBare(1, {1000, 1000});
    b.arm(b.doc().iObj);
    b.pressBare({2000, 2000});
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(prompts.messageTexts().first().contains(QStringLiteral("100 movements")));
    QCOMPARE(b.doc().iMovs, 100);
    QCOMPARE(b.m().iPontos, 100);
    // A bomb would need a path: it is not placed.
    const int objects = b.doc().iObj;
    placeBare(Bomb, {3000, 3000});
    QCOMPARE(b.doc().iObj, objects);
    QCOMPARE(prompts.messages.size(), 2);
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestEditing::textsMarkersAndTitle()
{
    ScriptedPrompts prompts;
    Board b;
    prompts.addDialog(textOk(QStringLiteral("first")));
    b.state.tool.choose(ArmedTool::Text);
    b.click({2000, 2000});
    // Editing keeps the position; an emptied box changes nothing.
    prompts.addDialog(textOk(QStringLiteral("second")));
    b.doubleClick({2030, 2030});
    QCOMPARE(b.doc().tTextos[1], (tpTexto{2000, 2000, QStringLiteral("second")}));
    prompts.addDialog(textOk(QString()));
    b.doubleClick({2030, 2030});
    QCOMPARE(b.doc().tTextos[1].Texto, QStringLiteral("second"));

    // The title box holds the 32 characters the title keeps.
    // The strip passes the mouse to the board beneath, where the title's place takes it.
    const auto *titleLabel = b.board.findChild<QLabel *>(QStringLiteral("lblTitulo"));
    const QPoint titleAt = b.viewport()->mapFrom(&b.board, titleLabel->mapTo(&b.board, titleLabel->rect().center()));
    const QString longTitle(40, u'T');
    prompts.addInput(longTitle);
    QTest::mouseDClick(b.viewport(), Qt::LeftButton, {}, titleAt);
    QCOMPARE(prompts.inputMaxLengths, QList<int>{32});
    QCOMPARE(b.title(), longTitle.left(32));
    QCOMPARE(b.board.document().title(), longTitle.left(32));
    prompts.addInput(QStringLiteral("Short"));
    QTest::mouseDClick(b.viewport(), Qt::LeftButton, {}, titleAt);
    QCOMPARE(b.board.document().prepareSave().sNomeTatica, QStringLiteral("Short") + QString(27, u' '));
    prompts.addInput(std::nullopt);
    QTest::mouseDClick(b.viewport(), Qt::LeftButton, {}, titleAt);
    QCOMPARE(b.title(), QStringLiteral("Short"));
    QCOMPARE(prompts.inputPrompts.first(), QStringLiteral("Enter the strat title:"));
    // A title padded as the file stores it is offered without the blanks: OK on it changes
    // nothing, and what is typed at its end stays.
    b.board.document().setTitle(QStringLiteral("Strat1").leftJustified(32, u' '));
    b.board.document().setModified(false);
    for (const QString &keys : {QString(), QStringLiteral(" x")}) {
        prompts.addTypedInput([keys](QLineEdit &box) {
            QTest::keyClick(&box, Qt::Key_End);
            QTest::keyClicks(&box, keys);
            return std::optional(box.text());
        });
        QTest::mouseDClick(b.viewport(), Qt::LeftButton, {}, titleAt);
        QCOMPARE(b.board.isWindowModified(), !keys.isEmpty());
    }
    QCOMPARE(b.title(), QStringLiteral("Strat1 x"));
}

void TestEditing::keysAndToolReset()
{
    ScriptedPrompts prompts;
    Board b;
    b.place(1, {1000, 1000});
    b.state.tool.choose(ArmedTool::Marker);
    b.arm(1);
    // The rubber band starts at the object's centre while no step exists.
    b.hover({3000, 3000});
    QVERIFY(b.ed().placing().tlinha->isVisible());
    QCOMPARE(b.ed().placing().tlinha->line().p1(), QPointF(1000, 1000));
    QTest::keyClick(b.board.view(), Qt::Key_Escape);
    QCOMPARE(b.state.tool.armed(b.board.imI()), ArmedTool::None);
    QVERIFY(!b.ed().placing().tlinha->isVisible());
    QCOMPARE(b.state.tool.chosen(), ArmedTool::Marker); // Esc keeps the marker tool's choice

    // Ctrl over the board after a right-click on an object of this board arms path points.
    b.state.iTipoSel = 1;
    b.state.iMapaSel = 1;
    b.state.iObjSel = 1;
    b.hover({3000, 3000}, Qt::ControlModifier);
    QVERIFY(b.board.bMovimento() && b.state.tool.placing());
    b.board.cancelMovement();
    b.state.iMapaSel = 2; // a right-click on another board does not count
    b.hover({3000, 3000}, Qt::ControlModifier);
    QVERIFY(!b.board.bMovimento());

    // A right-click on an object pops up its menu with the context written.
    b.click({1000, 1000}, Qt::RightButton);
    QCOMPARE(b.host.popups, (QList<BoardHost::Popup>{BoardHost::Popup::Object}));
    QCOMPARE(b.state.iMapaSel, 1);
    QCOMPARE(b.state.iPontoSel, 0);

    // The hand tool anchors on the press and ends with the release.
    b.state.tool.choose(ArmedTool::Hand);
    b.mouse(QEvent::MouseButtonPress, {6000.5, 6000}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(b.ed().drag().lMoverX, 6000); // half to even
    b.mouse(QEvent::MouseButtonRelease, {6000, 6000}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(b.state.tool.chosen(), ArmedTool::None);
}

void TestEditing::secondsToFrames_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<int>("roundTimer");
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("frames");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("messages");
    QTest::newRow("105 s") << false << 105 << "0" << "105" << "6615" << "105" << 0;
    QTest::newRow("2.5 s rounds to even") << false << 105 << "0" << "2.5" << "126" << "2.5" << 0;
    QTest::newRow("beyond the round") << false << 105 << "0" << "106" << "0" << "0" << 1;
    QTest::newRow("minus sign") << false << 105 << "0" << "-" << "0" << "0" << 1;
    QTest::newRow("emptied") << false << 105 << "0" << "" << "0" << "0" << 0;
    QTest::newRow("beyond 16 bits") << false << 105 << "0" << "40000" << "0" << "0" << 1;
    QTest::newRow("long round") << false << 999 << "0" << "600" << "37800" << "600" << 0;
    QTest::newRow("move when 30 left") << true << 105 << "20" << "30" << "3465" << "30" << 0;
    QTest::newRow("move when, late") << true << 105 << "90" << "30" << "-945" << "30" << 0;
    QTest::newRow("move when emptied") << true << 105 << "20" << "" << "5355" << "0" << 0;
    QTest::newRow("move when letters") << true << 105 << "20" << "ab" << "5355" << "0" << 1;
}

void TestEditing::secondsToFrames()
{
    QFETCH(bool, edit);
    QFETCH(int, roundTimer);
    QFETCH(QString, elapsed);
    QFETCH(QString, typed);
    QFETCH(QString, frames);
    QFETCH(QString, box);
    QFETCH(int, messages);
    ScriptedPrompts prompts;
    ProgramState state;
    state.iRoundTimer = static_cast<std::int16_t>(roundTimer);
    frmMovEdit dialog(state.iRoundTimer, nullptr);
    dialog.iTempo->setText(elapsed);
    QLineEdit *target = edit ? dialog.txtMoveWhen : dialog.txtSeconds;
    target->setText(QStringLiteral("7"));
    prompts.messages.clear();
    target->setText(typed);
    QCOMPARE(dialog.txtIni->text(), frames);
    QCOMPARE(target->text(), box);
    QCOMPARE(prompts.messages.size(), messages);
    if (messages)
        QCOMPARE(prompts.messages.first().text, QStringLiteral("Valid values are 0 to %1 seconds.").arg(roundTimer));

    // OK: letters in the start give 0; no facing gives 0; Grenade and Above give 20 and 1.
    dialog.txtIni->setText(QStringLiteral("abc"));
    frmMov::select(dialog.optVel[2]);
    frmMov::select(dialog.optLvl[2]);
    dialog.cmdOK->click();
    QCOMPARE(dialog.step().iIni, 0);
    QCOMPARE(dialog.txtIni->text(), QStringLiteral("0"));
    QCOMPARE(dialog.step().sVel, 20.0f);
    QCOMPARE(dialog.step().sLvl, 1);
    QCOMPARE(dialog.step().sDir, 0);
}

// A box of the movement dialogs selects its whole text when a click brings it the focus (the
// keyboard's Tab does so in any line edit), so that typing replaces the value.
void TestEditing::movementBoxesSelectOnFocus_data()
{
    QTest::addColumn<QString>("box");
    for (const char *box : {"txtIni", "txtSeconds", "txtMoveWhen"})
        QTest::newRow(box) << QString::fromLatin1(box);
}

void TestEditing::movementBoxesSelectOnFocus()
{
    QFETCH(QString, box);
    ProgramState state;
    frmMovEdit dialog(state.iRoundTimer, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *edit = dialog.findChild<QLineEdit *>(box);
    QVERIFY(edit);
    edit->setText(QStringLiteral("42"));
    dialog.cmdOK->setFocus(Qt::OtherFocusReason);
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->rect().center());
    QVERIFY(edit->hasFocus());
    QCOMPARE(edit->selectedText(), QStringLiteral("42"));
    // A second click places the cursor as usual.
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->rect().center());
    QVERIFY(!edit->hasSelectedText());
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
