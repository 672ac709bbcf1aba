// The toolbar, the right-click menus with their confirmations, and a strat built end to end
// through user actions on the main window.

#include "TestFolders.h"
#include "DialogScripts.h"
#include "board/BoardEditor.h"
#include "board/BoardScene.h"
#include "board/frmLink.h"
#include "board/frmMapa.h"
#include "board/frmMov.h"
#include "board/frmTexto.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"
#include "platform/Settings.h"
#include "shell/BoardMenus.h"
#include "shell/Toolbar.h"
#include "shell/frmOptions.h"
#include "shell/frmPrincipal.h"

#include <QCheckBox>
#include <QFile>
#include <QGraphicsView>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

namespace {

void mouse(frmMapa *b, QEvent::Type type, QPointF twips, Qt::MouseButton button, Qt::MouseButtons held,
           Qt::KeyboardModifiers mods = {})
{
    QWidget *viewport = b->view()->viewport();
    const QPointF local = b->view()->viewportTransform().map(twips);
    QMouseEvent e(type, local, viewport->mapToGlobal(local), button, held, mods);
    QApplication::sendEvent(viewport, &e);
}
void click(frmMapa *b, QPointF twips, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
{
    mouse(b, QEvent::MouseButtonPress, twips, button, button, mods);
    mouse(b, QEvent::MouseButtonRelease, twips, button, Qt::NoButton, mods);
}

// Chooses the entry of the pop-up menu as a user would.
void choose(ScriptedPrompts &prompts, const char *entry)
{
    const QString name = QLatin1String(entry);
    prompts.setMenuHandler([name](QMenu &menu) -> QAction * {
        for (QAction *a : menu.actions())
            if (a->objectName() == name && a->isVisible() && a->isEnabled()) {
                a->trigger();
                return a;
            }
        return nullptr;
    });
}

std::function<int(QDialog &)> movOk(int velocity = 0, int facing = 0, const QString &start = QStringLiteral("0"))
{
    return [=](QDialog &d) {
        auto &m = static_cast<frmMov &>(d);
        m.txtIni->setText(start);
        if (m.optVel[std::size_t(velocity)]->isEnabled())
            frmMov::select(m.optVel[std::size_t(velocity)]);
        if (m.Frame4->isEnabled())
            frmMov::select(m.optDirection[std::size_t(facing)]);
        m.cmdOK->click();
        return d.result();
    };
}
std::function<int(QDialog &)> linkOk(const QString &text, QString *shown = nullptr)
{
    return [=](QDialog &d) {
        auto &l = static_cast<frmLink &>(d);
        if (shown)
            *shown = l.txtLink->text();
        l.txtLink->setText(text);
        l.cmdOK->click();
        return d.result();
    };
}

// Shows the main window with the palette and one new board; gives the board's slot.
int showWithNewBoard(frmPrincipal &w)
{
    w.state().fillPalette();
    w.show();
    return w.NovoMapa();
}
} // namespace

class TestMenus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { home_ = useStagedTestFolders(); }
    void toolbarState_data();
    void toolbarState();
    void toolbarCancelsEveryBoard();
    void removeCommands_data();
    void removeCommands();
    void textMenuOffersOnlyWhatActsOnTheText();
    void linkCommandsEditTheFoundLink();
    void optionsInTheToolsMenu();
    void closingAChangedStratAsks_data();
    void closingAChangedStratAsks();
    void textsTheFileCannotHold_data();
    void textsTheFileCannotHold();
    void endToEnd();

private:
    QDir home_; // the program folder
};

void TestMenus::toolbarState_data()
{
    QTest::addColumn<bool>("boardOpen");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<int>("armed"); // what a press on board 1 does, as the choice too
    QTest::addColumn<bool>("preview");
    for (bool open : {false, true}) {
        const char *suffix = open ? " with a board" : " without a board";
        QTest::addRow("object%s", suffix) << open << "picObj" << int(ArmedTool::Object) << true;
        QTest::addRow("marker%s", suffix) << open << "picMarker" << int(ArmedTool::Marker) << true;
        QTest::addRow("text%s", suffix) << open << "lblTexto" << int(ArmedTool::Text) << false;
        QTest::addRow("hand%s", suffix) << open << "imgMove" << int(ArmedTool::Hand) << true;
    }
}

void TestMenus::toolbarState()
{
    QFETCH(bool, boardOpen);
    QFETCH(QString, tool);
    QFETCH(int, armed);
    QFETCH(bool, preview);
    ScriptedPrompts prompts;
    frmPrincipal w;
    w.state().fillPalette();
    if (boardOpen)
        w.NovoMapa();
    Toolbar *t = w.toolbar();
    // Every flag set before: the chosen tool must write them all.
    QTest::mouseClick(t->picObj[5], Qt::LeftButton);
    QTest::mouseClick(tool == QLatin1String("picMarker") ? t->lblTexto : t->picMarker, Qt::LeftButton);
    w.state().tool.addMovement(boardOpen ? 1 : 0);
    QWidget *target = tool == QLatin1String("picObj") ? t->picObj[12] : t->findChild<QWidget *>(tool);
    QTest::mouseClick(target, Qt::LeftButton);
    const ProgramState &s = w.state();
    QCOMPARE(int(s.tool.chosen()), armed);
    QCOMPARE(int(s.tool.armed(1)), armed); // no path-point mode survives
    QCOMPARE(s.tool.placing(), s.tool.chosen() != ArmedTool::Hand);
    QCOMPARE(!t->picImg->pixmap().isNull(), preview);
    if (tool == QLatin1String("picObj"))
        QCOMPARE(s.iTipoObj, 12);
    else
        QCOMPARE(s.iTipoObj, 5);
}

void TestMenus::toolbarCancelsEveryBoard()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    w.state().fillPalette();
    w.NovoMapa();
    w.NovoMapa();
    w.state().tool.addMovement(1);
    QTest::mouseClick(w.toolbar()->picMarker, Qt::LeftButton);
    QVERIFY(!w.board(1)->bMovimento() && !w.board(2)->bMovimento());
    // A click on the panel disarms placing but keeps the preview and the marker flag.
    QTest::mouseClick(w.toolbar(), Qt::LeftButton, {}, QPoint(w.toolbar()->width() - 2, 2));
    QVERIFY(!w.state().tool.placing());
    QCOMPARE(w.state().tool.chosen(), ArmedTool::Marker);
    QVERIFY(!w.toolbar()->picImg->pixmap().isNull());
    // So does a click on the empty client area.
    w.state().tool.addMovement(2);
    QTest::mouseClick(w.mdiArea()->viewport(), Qt::LeftButton, {}, QPoint(1, 1));
    QVERIFY(!w.board(2)->bMovimento());
}

void TestMenus::removeCommands_data()
{
    QTest::addColumn<QString>("element"); // what is right-clicked
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("title");
    const QString obj = QStringLiteral("Are you sure you want do remove this object?");
    const QString text = QStringLiteral("Are you sure you want to remove this text?");
    const QString mov = QStringLiteral("Are you sure you want to remove this movement?");
    const QString marker = QStringLiteral("Are you sure you want to remove this marker?");
    for (bool yes : {true, false}) {
        const char *a = yes ? " yes" : " no";
        QTest::addRow("object%s", a) << "object" << "mnuApagar" << yes << obj << "Remove Object";
        QTest::addRow("text%s", a) << "text" << "mnuApagar" << yes << text << "Remove Text";
        QTest::addRow("path point%s", a) << "point" << "mnuApagaMov" << yes << mov << "Remove Movement";
        QTest::addRow("marker%s", a) << "marker" << "mnuApagar2" << yes << marker << "Quorvel";
    }
}

void TestMenus::removeCommands()
{
    QFETCH(QString, element);
    QFETCH(QString, entry);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(QString, title);
    ScriptedPrompts prompts;
    frmPrincipal w;
    const int slot = showWithNewBoard(w);
    frmMapa *b = w.board(slot);
    ProgramState &s = w.state();
    // One object with a two-step path and an object link, one text and one marker.
    s.tool.choose(ArmedTool::Object);
    s.iTipoObj = 1;
    click(b, {1000, 1000});
    s.iObjSel = 1;
    s.iTipoSel = 1;
    s.iMapaSel = static_cast<std::int16_t>(slot);
    s.tool.addMovement(b->imI());
    prompts.addDialog(movOk());
    click(b, {3000, 3000});
    prompts.addDialog(movOk());
    click(b, {5000, 3000});
    b->cancelMovement();
    s.iPontoSel = 0;
    b->document().AdicionaLink({s.iObjSel, s.iPontoSel}, QStringLiteral("https://example.org"));
    prompts.addDialog(textOk(QStringLiteral("words")));
    s.tool.choose(ArmedTool::Text);
    click(b, {7000, 7000});
    prompts.addDialog(textOk(QStringLiteral("info")));
    s.tool.choose(ArmedTool::Marker);
    click(b, {9000, 5000});
    const StratDocument before = b->model().doc;

    const QPointF at = element == QLatin1String("object") ? QPointF(1000, 1000)
                       : element == QLatin1String("text") ? QPointF(7030, 7030)
                       : element == QLatin1String("point") ? QPointF(5000, 3000)
                                                            : QPointF(9000, 4900);
    prompts.addAnswer(yes ? MessageAnswer::Yes : MessageAnswer::No);
    choose(prompts, entry.toLatin1().constData());
    click(b, at, Qt::RightButton);
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text, question);
    QCOMPARE(prompts.messages[0].title, title);
    QCOMPARE(prompts.messages[0].buttons, MessageButtons::YesNo);
    QCOMPARE(prompts.messages[0].icon, MessageIcon::Question);
    const StratDocument &d = b->model().doc;
    if (!yes) {
        QCOMPARE(d, before);
        return;
    }
    if (element == QLatin1String("object")) {
        QCOMPARE(d.tObjetos[1].Tipo, DeletedObject);
        QCOMPARE(d.tLinks[1], tpLink{});
    } else if (element == QLatin1String("text")) {
        QCOMPARE(d.tTextos[1], deletedText());
        QCOMPARE(d.tLinks[1].iLObj, 1); // only the text went
    } else if (element == QLatin1String("point")) {
        QCOMPARE(d.tMovimentos[1].itM, 1);
        QCOMPARE(b->model().playback.findMovimento(1)->itM(), 1);
    } else {
        QCOMPARE(d.tMarkers[1], deletedText());
    }
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestMenus::textMenuOffersOnlyWhatActsOnTheText()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    w.state().fillPalette();
    const int slot = w.NovoMapa();
    frmMapa *b = w.board(slot);
    w.state().tool.choose(ArmedTool::Object);
    w.state().iTipoObj = 2;
    click(b, {1000, 1000});
    prompts.addDialog(textOk(QStringLiteral("t")));
    w.state().tool.choose(ArmedTool::Text);
    click(b, {5000, 5000});
    QStringList visible;
    prompts.setMenuHandler([&](QMenu &menu) -> QAction * {
        visible.clear();
        for (QAction *a : menu.actions())
            if (a->isVisible())
                visible << a->objectName();
        return nullptr;
    });
    click(b, {1000, 1000}, Qt::RightButton);
    QVERIFY(visible.size() > 1 && visible.contains(QStringLiteral("mnuMovimento"))); // an object's full menu
    click(b, {5030, 5030}, Qt::RightButton);
    QCOMPARE(visible, QStringList{"mnuApagar"});
    QCOMPARE(w.state().iTipoSel, 2);
    // "Add Movement" on the object arms path points on the board that was right-clicked.
    choose(prompts, "mnuMovimento");
    click(b, {1000, 1000}, Qt::RightButton);
    QVERIFY(b->bMovimento() && w.state().tool.placing());
}

void TestMenus::linkCommandsEditTheFoundLink()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    const int slot = showWithNewBoard(w);
    frmMapa *b = w.board(slot);
    w.state().tool.choose(ArmedTool::Object);
    w.state().iTipoObj = 1;
    click(b, {1000, 1000});
    choose(prompts, "mnuMovimento");
    click(b, {1000, 1000}, Qt::RightButton);
    prompts.addDialog(movOk());
    click(b, {4000, 4000});
    b->cancelMovement();

    QString shown;
    choose(prompts, "mnuLink2");
    prompts.addDialog(linkOk(QStringLiteral("https://example.org/one"), &shown));
    click(b, {4000, 4000}, Qt::RightButton);
    QCOMPARE(shown, QString());
    prompts.addDialog(linkOk(QStringLiteral("https://example.org/two"), &shown));
    click(b, {4000, 4000}, Qt::RightButton);
    QCOMPARE(shown, QStringLiteral("https://example.org/one"));
    QCOMPARE(b->model().doc.iLinks, 1);
    QCOMPARE(b->model().doc.tLinks[1], (tpLink{QStringLiteral("https://example.org/two"), 0, 1, 1}));
    // Cancel stores nothing.
    prompts.addDialog([](QDialog &d) {
        static_cast<frmLink &>(d).txtLink->setText(QStringLiteral("changed"));
        return int(QDialog::Rejected);
    });
    click(b, {4000, 4000}, Qt::RightButton);
    QCOMPARE(b->model().doc.tLinks[1].sLink, QStringLiteral("https://example.org/two"));
}

void TestMenus::optionsInTheToolsMenu()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    auto *tools = w.findChild<QMenu *>(QStringLiteral("mnuTools"));
    QVERIFY(tools);
    QCOMPARE(w.findChildren<QMenu *>(QStringLiteral("mnuTools")).size(), 1);
    QAction *options = w.findChild<QAction *>(QStringLiteral("mnuOptions"));
    QVERIFY(options && tools->actions().contains(options));
    // An open board takes the new round timer and effects switch at once.
    w.openNamedFile(home_.filePath(QStringLiteral("Strats/Examples/example.qvl")));
    frmMapa *b = w.board(1);
    QVERIFY(b && b->imI() == 1);
    auto label = [b](const char *name) { return b->findChild<QLabel *>(QLatin1String(name))->text(); };
    QCOMPARE(label("lblRoundTime"), QStringLiteral("1:45"));
    QVERIFY(prompts.messages.isEmpty());
    prompts.addDialog([](QDialog &d) {
        auto &o = static_cast<frmOptions &>(d);
        o.txtRoundTimer->setText(QStringLiteral("5"));
        o.chkShowAnimations->setChecked(false);
        o.cmdOK->click();
        return d.result();
    });
    options->trigger();
    QCOMPARE(prompts.dialogs.size(), 1);
    QCOMPARE(w.state().iRoundTimer, 5);
    QCOMPARE(b->model().playback.settings.iRoundTimer, 5);
    QVERIFY(!b->model().playback.settings.bShowAnimations);
    QCOMPARE(label("lblRoundTime"), QStringLiteral("0:05"));
    QCOMPARE(label("lblMaxTime"), QStringLiteral("5"));
    QCOMPARE(b->findChild<QSlider *>(QStringLiteral("Slider2"))->maximum(), 5);
    QCOMPARE(prompts.messageTexts(), QStringList{QStringLiteral("Your strat is now longer than the round timer.")});
    programSettings() = ProgramSettings();
    settingsStore().SaveSetting(QStringLiteral("RoundTimer"), QStringLiteral("105"));
    settingsStore().SaveSetting(QStringLiteral("ShowAnimations"), QStringLiteral("True"));
}

// Closing a changed strat by the board's "X" or by leaving the program asks whether to save
// it; Cancel keeps everything open, Yes saves through the normal save.
void TestMenus::closingAChangedStratAsks_data()
{
    QTest::addColumn<bool>("opened");   // a strat file, or a new strat never saved
    QTest::addColumn<bool>("change");   // the user placed an icon
    QTest::addColumn<bool>("exit");     // the program is left, rather than the board's "X" clicked
    QTest::addColumn<int>("answer");    // MessageAnswer
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<bool>("written");  // the icon reached the file
    const int yes = int(MessageAnswer::Yes), no = int(MessageAnswer::No), cancel = int(MessageAnswer::Cancel);
    QTest::newRow("unchanged") << true << false << false << -1 << false << false;
    QTest::newRow("changed, no") << true << true << false << no << false << false;
    QTest::newRow("changed, cancel") << true << true << false << cancel << true << false;
    QTest::newRow("changed, yes") << true << true << false << yes << false << true;
    QTest::newRow("new strat, yes asks where") << false << true << false << yes << false << true;
    QTest::newRow("exit, cancel") << true << true << true << cancel << true << false;
    QTest::newRow("exit, yes") << true << true << true << yes << false << true;
}

void TestMenus::closingAChangedStratAsks()
{
    QFETCH(bool, opened);
    QFETCH(bool, change);
    QFETCH(bool, exit);
    QFETCH(int, answer);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.qvl"));
    QVERIFY(QFile::copy(QStringLiteral(QUORVEL_PROGRAM_DIR "/Strats/Examples/example.qvl"), path));
    StratDocument before;
    QVERIFY(readStratFile(path, before).ok);

    ScriptedPrompts prompts;
    frmPrincipal w;
    w.show();
    frmMapa *b = nullptr;
    if (opened) {
        w.openNamedFile(path);
        b = w.board(1);
    } else {
        b = w.board(w.NovoMapa());
        b->loadOverview(QStringLiteral("Harbor.jpg"));
        prompts.addFile(path);
    }
    QMdiSubWindow *frame = w.mdiArea()->subWindowList().first();
    QVERIFY(!frame->isWindowModified());
    if (change) {
        QTest::mouseClick(w.toolbar()->picObj[2], Qt::LeftButton);
        click(b, {11000, 8000});
        QVERIFY(frame->isWindowModified()); // the frame's caption carries Qt's "*"
    }
    if (answer >= 0)
        prompts.addAnswer(MessageAnswer(answer));

    if (exit)
        w.close();
    else
        QTest::mouseClick(b->findChild<QLabel *>(QStringLiteral("lblFechar")), Qt::LeftButton);

    const QString title = opened ? before.sNomeTatica.trimmed() : QStringLiteral("Strat1");
    QCOMPARE(prompts.messageTexts(), change ? QStringList{QStringLiteral("Save changes to %1?").arg(title)} : QStringList{});
    if (change)
        QCOMPARE(prompts.messages.first().buttons, MessageButtons::YesNoCancel);
    QTEST(b->imI() != 0, "stillOpen");
    QCOMPARE(prompts.fileDialogs.size(), !opened && answer == int(MessageAnswer::Yes) ? 1 : 0);
    StratDocument after;
    QVERIFY(readStratFile(path, after).ok);
    QTEST(after.iObj == (opened ? before.iObj + 1 : 1), "written");
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestMenus::textsTheFileCannotHold_data()
{
    QTest::addColumn<QString>("dialog"); // the title box, or the toolbar tool whose text is placed
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named"); // the characters the question names
    QTest::addColumn<QString>("stored");
    QTest::newRow("title") << "title" << "Łódź 1" << "Ł ź" << "?ód? 1";
    QTest::newRow("text") << "lblTexto" << "Πάμε πάμε" << "Π ά μ ε π" << "???? ????";
    QTest::newRow("marker") << "picMarker" << "Zażółć" << "ż ł ć" << "Za?ó??";
}

// OK on a text the strat file cannot hold names the characters it would save as '?': No goes
// back to the text as typed, Yes stores it as the file will hold it.
void TestMenus::textsTheFileCannotHold()
{
    QFETCH(QString, dialog);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    QFETCH(QString, stored);
    ScriptedPrompts prompts;
    frmPrincipal w;
    frmMapa *b = w.board(showWithNewBoard(w));
    prompts.addAnswer(MessageAnswer::No);
    prompts.addAnswer(MessageAnswer::Yes);
    QString cameBack;
    if (dialog == "title") {
        prompts.addTypedInput([&](QLineEdit &box) { retype(&box, typed); return std::optional(box.text()); });
        prompts.addTypedInput([&](QLineEdit &box) { return std::optional(cameBack = box.text()); });
        // The strip passes the mouse to the board beneath, where the title's place takes it.
        const auto *title = b->findChild<QLabel *>(QStringLiteral("lblTitulo"));
        QWidget *viewport = b->view()->viewport();
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, viewport->mapFrom(b, title->mapTo(b, title->rect().center())));
    } else {
        prompts.addDialog([&](QDialog &d) {
            auto &t = static_cast<frmTexto &>(d);
            retype(t.txtTexto, typed);
            QTest::mouseClick(t.cmdOK, Qt::LeftButton);
            cameBack = d.result() == QDialog::Accepted ? QString() : t.txtTexto->toPlainText();
            QTest::mouseClick(t.cmdOK, Qt::LeftButton);
            return d.result();
        });
        QTest::mouseClick(w.toolbar()->findChild<QWidget *>(dialog), Qt::LeftButton);
        click(b, {4000, 3000});
    }
    QCOMPARE(cameBack, typed);
    QCOMPARE(prompts.messageTexts().filter(":\n" + named + "\n").size(), 2);
    const BoardDocument &doc = b->document();
    QCOMPARE(dialog == "title" ? doc.title() : (dialog == "lblTexto" ? doc.text(1) : doc.marker(1))->Texto, stored);
    QVERIFY(b->isWindowModified());
}

void TestMenus::endToEnd()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    frmPrincipal w;
    w.state().fillPalette();
    w.resize(1100, 820);
    w.show();
    const int slot = w.NovoMapa();
    frmMapa *b = w.board(slot);
    b->loadOverview(QStringLiteral("Harbor.jpg"));
    b->document().setOverview(QStringLiteral("Harbor.jpg"));
    Toolbar *t = w.toolbar();

    // A team icon running two legs, a flash grenade thrown, the bomb, a text and a marker.
    QTest::mouseClick(t->picObj[1], Qt::LeftButton);
    click(b, {2175, 6175});
    choose(prompts, "mnuMovimento");
    click(b, {2100, 6100}, Qt::RightButton);
    prompts.addDialog(movOk(0, 2));
    click(b, {5000, 6000});
    click(b, {6500, 4500}, Qt::LeftButton, Qt::ControlModifier); // continues with the last values
    b->cancelMovement();

    QTest::mouseClick(t->picObj[11], Qt::LeftButton);
    click(b, {2075, 7075});
    choose(prompts, "mnuMovimento");
    click(b, {2075, 7075}, Qt::RightButton);
    prompts.addDialog(movOk(2, 0, QStringLiteral("315")));
    click(b, {6000, 3000});
    QTest::keyClick(b->view(), Qt::Key_Escape);

    QTest::mouseClick(t->picObj[13], Qt::LeftButton);
    click(b, {8075, 2075});
    QTest::mouseClick(t->lblTexto, Qt::LeftButton);
    prompts.addDialog(textOk(QStringLiteral("Rush B")));
    click(b, {4000, 1000});
    QTest::mouseClick(t->picMarker, Qt::LeftButton);
    prompts.addDialog(textOk(QStringLiteral("Wait for flash")));
    click(b, {9080, 6275});
    prompts.addInput(QStringLiteral("Fast B"));
    b->editor().lblTitulo_DblClick();
    QCOMPARE(prompts.unscriptedCount(), 0);

    const QString path = dir.filePath(QStringLiteral("built.qvl"));
    prompts.addFile(path);
    w.findChild<QAction *>(QStringLiteral("mnuSalvar"))->trigger();
    StratDocument d;
    QVERIFY(readStratFile(path, d).ok);

    QCOMPARE(d.sNomeTatica.trimmed(), QStringLiteral("Fast B"));
    QCOMPARE(d.sOverview.trimmed(), QStringLiteral("Harbor.jpg"));
    QCOMPARE(d.iObj, 3);
    QCOMPARE(d.tObjetos[1], (tpObjeto{1, 2000, 6000}));
    QCOMPARE(d.tObjetos[2], (tpObjeto{11, 2000, 7000}));
    QCOMPARE(d.tObjetos[3], (tpObjeto{13, 8000, 2000}));
    QCOMPARE(d.iTxt, 1);
    QCOMPARE(d.tTextos[1], (tpTexto{4000, 1000, QStringLiteral("Rush B")}));
    QCOMPARE(d.iMkr, 1);
    QCOMPARE(d.tMarkers[1], (tpTexto{9000, 6000, QStringLiteral("Wait for flash")}));
    QCOMPARE(d.iMovs, 3);
    QCOMPARE(d.iCores, 3);
    QCOMPARE(d.lCorMov, (std::vector<std::int32_t>{0, w.state().lCores[0], w.state().lCores[1], w.state().lCores[2]}));
    QCOMPARE(d.tMovimentos[1].iObj, 1);
    QCOMPARE(d.tMovimentos[1].itM, 2);
    QCOMPARE(d.tMovimentos[1].Passos.at(1), (tpPasso{0, 4825, 5825, 8.0f, 0, 2}));
    QCOMPARE(d.tMovimentos[1].Passos.at(2), (tpPasso{0, 6325, 4325, 8.0f, 0, 2}));
    QCOMPARE(d.tMovimentos[2].iObj, 2);
    QCOMPARE(d.tMovimentos[2].Passos.at(1), (tpPasso{315, 5925, 2925, 20.0f, 0, 0}));
    QCOMPARE(d.tMovimentos[3].iObj, 3);
    QCOMPARE(d.tMovimentos[3].Passos.at(1), (tpPasso{189, 8000, 2000, 20.0f, 0, -1}));
    QCOMPARE(prompts.unscriptedCount(), 0);

    // A picture of the strat for the record.
    const QString shot = qEnvironmentVariable("QUORVEL_SHOT");
    if (!shot.isEmpty()) {
        w.mdiArea()->activeSubWindow()->move(0, 0);
        QCoreApplication::processEvents(); // let the layouts follow the new texts
        w.grab().save(shot);
        QFile::copy(path, shot + QStringLiteral(".qvl"));
    }
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
