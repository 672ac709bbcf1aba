// Started with "-Spanish", the main window and a board speak Spanish where the pack has texts.
#include "board/frmMapa.h"
#include "language/LanguageChoice.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Settings.h"
#include "shell/frmPrincipal.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

class TestMainWindowSpanish : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("QUORVEL_HOME", QUORVEL_PROGRAM_DIR);
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        qputenv("XDG_DATA_HOME", config_.path().toUtf8()); // the strat file type registers here
        settingsStore().SaveSetting(QStringLiteral("Vez"), QStringLiteral("1"));
        QVERIFY(startLanguage(QStringLiteral("-Spanish")).loaded);
    }

    void menusAndBoardAreSpanish()
    {
        ScriptedPrompts prompts;
        frmPrincipal w;
        w.MDIForm_Load(QStringLiteral("-Spanish"));
        QStringList menus;
        for (QAction *a : w.menuBar()->actions())
            menus << a->text();
        QVERIFY2(menus.contains(QStringLiteral("&Estrategia")), qPrintable(menus.join(u',')));
        QVERIFY(menus.contains(QStringLiteral("&Ventanas")));
        auto *open = w.findChild<QAction *>(QStringLiteral("mnuAbrir"));
        QVERIFY(open);
        QCOMPARE(open->text(), QStringLiteral("&Abrir"));
        auto *convert = w.findChild<QAction *>(QStringLiteral("mnuConvert"));
        QVERIFY(convert);
        QCOMPARE(convert->text(), QStringLiteral("Convertir .qvl antiguo"));

        // A new board: its default title and status panels come from the pack.
        QCOMPARE(w.NovoMapa(), 1);
        QCOMPARE(w.board(1)->titulo(), QStringLiteral("Estrategia1"));
        QStringList panels;
        for (QLabel *l : w.board(1)->findChildren<QLabel *>())
            if (l->objectName().startsWith(QLatin1String("StatusBar1Panel")))
                panels << l->text();
        QVERIFY2(panels.contains(QStringLiteral("Modo: Parado")), qPrintable(panels.join(u'|')));
        QVERIFY(panels.contains(QStringLiteral("Guardado automático en 5 minutos.")));
    }

private:
    QTemporaryDir config_;
};

QTEST_MAIN(TestMainWindowSpanish)
#include "tst_mainwindow_spanish.moc"
