#include "TestFolders.h"
#include "language/LanguageChoice.h"
#include "language/SetLanguageInForm.h"

#include <QtTest>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

using namespace quorvel;

namespace {

// The main window's translatable controls as the shell names them.
struct MainWindow {
    QMainWindow window;
    QMenu *mnuTatica;
    QAction *mnuNovo, *mnuSalvarComo;
    QLabel *lblTexto, *imgMove;
    QPushButton *cmdSave;
    QCheckBox *chkSound;

    MainWindow()
    {
        window.setObjectName("frmPrincipal");
        window.setWindowTitle("Quorvel");
        mnuTatica = window.menuBar()->addMenu("&Strat");
        mnuTatica->setObjectName("mnuTatica");
        mnuNovo = mnuTatica->addAction("&New");
        mnuNovo->setObjectName("mnuNovo");
        mnuSalvarComo = mnuTatica->addAction("Save &As...");
        mnuSalvarComo->setObjectName("mnuSalvarComo");
        auto *panel = new QWidget;
        window.setCentralWidget(panel);
        lblTexto = new QLabel("Text ", panel);
        lblTexto->setObjectName("lblTexto");
        imgMove = new QLabel(panel);
        imgMove->setObjectName("imgMove");
        imgMove->setToolTip("Move Window");
        cmdSave = new QPushButton("SAVE", panel);
        cmdSave->setObjectName("cmdSave");
        chkSound = new QCheckBox("Record Sound?", panel);
        chkSound->setObjectName("chkSound");
    }
};

// A window for the translation rules: plain controls, a control array, tabs.
struct RulesWindow {
    QWidget window;
    RulesWindow()
    {
        window.setObjectName("frmTest");
        window.setWindowTitle("Designed");
        auto *plain = new QPushButton("plain", &window);
        plain->setObjectName("cmdPlain");
        plain->setToolTip("plain tip");
        auto *other = new QLabel("other", &window);
        other->setObjectName("lblOther");
        for (int i = 0; i < 3; ++i) {
            auto *element = new QLabel(QStringLiteral("element %1").arg(i), &window);
            element->setObjectName("lblArray");
            element->setProperty(kControlIndexProperty, i);
        }
        auto *tabs = new QTabWidget(&window);
        tabs->setObjectName("tabMain");
        tabs->addTab(new QWidget, "tab 0");
        tabs->addTab(new QWidget, "tab 1");
    }

    // "objectName" or "objectName#index", then ":text", ":tip", ":title" or ":tabN".
    QString read(const QString &what) const
    {
        if (what == "window:title")
            return window.windowTitle();
        const QString target = what.section(':', 0, 0), prop = what.section(':', 1);
        const QString name = target.section('#', 0, 0);
        const int index = target.contains('#') ? target.section('#', 1).toInt() : -1;
        for (QObject *o : window.findChildren<QObject *>(name)) {
            if (index >= 0 && o->property(kControlIndexProperty).toInt() != index)
                continue;
            if (prop.startsWith("tab"))
                return static_cast<QTabWidget *>(o)->tabText(prop.mid(3).toInt());
            if (prop == "tip")
                return static_cast<QWidget *>(o)->toolTip();
            return o->property("text").toString();
        }
        return "<missing>";
    }
};

QByteArray packWith(const QList<LpkFormRecord> &forms)
{
    LanguagePackData pack;
    pack.tForms += forms;
    return writeLanguagePack(pack, CodePage::Windows1252);
}

// Entries as "ControlSpec|Caption|ToolTip|Caption2|ToolTip2".
LpkFormRecord form(const QString &name, const QString &caption, const QString &caption2,
                   const QStringList &entries)
{
    LpkFormRecord f;
    f.FormName = name;
    f.Caption = caption;
    f.Caption2 = caption2;
    f.hasControls = true;
    f.Controls.append(LpkControlRecord{});
    for (const QString &e : entries) {
        const QStringList p = e.split('|');
        LpkControlRecord c;
        c.ControlSpec = p.value(0);
        c.Caption = p.value(1);
        c.ToolTip = p.value(2);
        c.Caption2 = p.value(3);
        c.ToolTip2 = p.value(4);
        f.Controls.append(c);
    }
    f.ControlCount = qint16(entries.size());
    return f;
}

} // namespace

class TestLangWindow : public QObject {
    Q_OBJECT

private slots:
    void startedWithSpanish();
    void rules_data();
    void rules();
};

void TestLangWindow::startedWithSpanish()
{
    MainWindow english;
    translateWindow(&english.window); // no pack yet: the designed texts stay
    QCOMPARE(english.mnuNovo->text(), QStringLiteral("&New"));

    qputenv("QUORVEL_HOME", testProgramFolder());
    const LanguageStartup &start = startLanguage("-Spanish");
    QVERIFY2(start.loaded, qPrintable(start.error + start.message));
    QCOMPARE(sIdioma(), QStringLiteral("Spanish"));
    QCOMPARE(LanguagePack().sCurrentFile(), QString::fromUtf8(testProgramFolder()) + QStringLiteral("/lang/Spanish.lpk"));

    MainWindow w;
    translateWindow(&w.window);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Quorvel"));
    QCOMPARE(w.mnuTatica->title(), QStringLiteral("&Estrategia"));
    QCOMPARE(w.mnuNovo->text(), QStringLiteral("&Nueva"));
    QCOMPARE(w.mnuSalvarComo->text(), QStringLiteral("Guardar &como..."));
    QCOMPARE(w.lblTexto->text(), QStringLiteral("Texto "));
    QCOMPARE(w.imgMove->toolTip(), QStringLiteral("Mover ventana"));
    QCOMPARE(w.cmdSave->text(), QStringLiteral("GUARDAR"));
    QCOMPARE(w.chkSound->text(), QStringLiteral("¿Grabar sonido?"));
    QCOMPARE(keyedText("s0021", "Open Strat"), QStringLiteral("Abrir estrategia"));
    QCOMPARE(keyedText("s0099", "English"), QStringLiteral("English"));

    // The start-up choice is made once.
    QCOMPARE(startLanguage("-Dutch").language, QStringLiteral("Spanish"));
}

void TestLangWindow::rules_data()
{
    QTest::addColumn<QByteArray>("pack");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("expected");

    auto row = [](const char *name, const QStringList &entries, const QString &what, const QString &expected) {
        QTest::newRow(name) << packWith({form("frmTest", "Prueba", "", entries)}) << what << expected;
    };
    row("window caption", {}, "window:title", "Prueba");
    QTest::newRow("Caption2 wins for the window")
        << packWith({form("frmTest", "one", "two", {})}) << "window:title" << "two";
    QTest::newRow("both captions empty clear the window's")
        << packWith({form("frmTest", "", "", {})}) << "window:title" << "";
    QTest::newRow("first of two records for the window")
        << packWith({form("frmTest", "first", "", {}), form("frmTest", "second", "", {})})
        << "window:title" << "first";
    QTest::newRow("window no record names keeps its texts")
        << packWith({form("frmOther", "other", "", {"cmdPlain|changed"})}) << "window:title" << "Designed";
    QTest::newRow("window name compares with case")
        << packWith({form("FRMTEST", "upper", "", {})}) << "window:title" << "Designed";

    row("plain caption", {"cmdPlain|Botón"}, "cmdPlain:text", "Botón");
    row("plain tooltip", {"cmdPlain||Consejo"}, "cmdPlain:tip", "Consejo");
    row("Caption2 wins", {"cmdPlain|one||two"}, "cmdPlain:text", "two");
    row("ToolTip2 wins", {"cmdPlain||one||two"}, "cmdPlain:tip", "two");
    row("empty Caption sets no caption", {"cmdPlain|||two|"}, "cmdPlain:text", "plain");
    row("...but its tooltip applies", {"cmdPlain||tip|two|"}, "cmdPlain:tip", "tip");
    row("empty ToolTip sets no tooltip", {"cmdPlain|cap|||tip2"}, "cmdPlain:tip", "plain tip");
    row("missing control, next entry applies", {"cmdMissing|x", "lblOther|otro"}, "lblOther:text", "otro");

    row("array element", {"lblArray(2)|dos"}, "lblArray#2:text", "dos");
    row("array element, blanks before the index", {"lblArray(  1)|uno"}, "lblArray#1:text", "uno");
    row("array index rounds half to even", {"lblArray(2.5)|dos"}, "lblArray#2:text", "dos");
    row("array index rounds up", {"lblArray(0.6)|uno"}, "lblArray#1:text", "uno");
    row("no index means 0", {"lblArray()|cero"}, "lblArray#0:text", "cero");
    row("empty texts clear an element", {"lblArray(1)|"}, "lblArray#1:text", "");
    row("element tooltips never apply", {"lblArray(1)|uno|tip"}, "lblArray#1:tip", "");
    row("index outside the array", {"lblArray(7)|x", "lblOther|otro"}, "lblOther:text", "otro");
    row("not a control array", {"lblOther(0)|x"}, "lblOther:text", "other");
    row("an array has no plain caption", {"lblArray|x"}, "lblArray#0:text", "element 0");
    row("')' without '(' names nothing", {"lblArray)|x"}, "lblArray#0:text", "element 0");

    row("tab caption", {"tabMain.TabCaption(1)|Pestaña"}, "tabMain:tab1", "Pestaña");
    row("tab in lower case", {"tabMain.tabcaption(0)|Cero"}, "tabMain:tab0", "Cero");
    row("empty tab text clears it", {"tabMain.TabCaption(0)|"}, "tabMain:tab0", "");
    row("tab outside the control", {"tabMain.TabCaption(5)|x"}, "tabMain:tab1", "tab 1");

    // The first record only counts when ControlCount says so.
    LpkFormRecord limited = form("frmTest", "Prueba", "", {"lblOther|one", "cmdPlain|two"});
    limited.ControlCount = 1;
    QTest::newRow("entries above ControlCount are unused") << packWith({limited}) << "cmdPlain:text" << "plain";
}

void TestLangWindow::rules()
{
    QFETCH(QByteArray, pack);
    QFETCH(QString, what);
    QFETCH(QString, expected);
    QVERIFY(!pack.isEmpty());
    QTemporaryDir dir;
    const QString file = dir.filePath("Test.lpk");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(pack);
    f.close();
    clsLanguagePack loaded;
    QVERIFY(loaded.LoadPack(file));

    RulesWindow w;
    SetLanguageInForm(&w.window, loaded);
    QCOMPARE(w.read(what), expected);
}

QTEST_MAIN(TestLangWindow)
#include "tst_langwindow.moc"
