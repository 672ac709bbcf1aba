// Started with "-Spanish", the main window, a board and the dialogs speak Spanish where the
// pack has texts; and every pack has a text for every caption and tooltip of those windows.
#include "StartedWindow.h"
#include "TestFolders.h"
#include "board/frmMapa.h"
#include "language/LanguageChoice.h"
#include "language/SetLanguageInForm.h"
#include "ScriptedPrompts.h"
#include "platform/Settings.h"
#include "shell/frmNovo.h"
#include "shell/frmOptions.h"
#include "shell/frmPrincipal.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
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
        useTestFolders(testProgramFolder(), config_);
        QVERIFY(startLanguage(QStringLiteral("-Spanish")).loaded);
    }

    void menusAndBoardAreSpanish()
    {
        ScriptedPrompts prompts;
        frmPrincipal w;
        loadAsStarted(w, QStringLiteral("-Spanish"));
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
        QCOMPARE(w.board(1)->document().title(), QStringLiteral("Estrategia1"));
        QStringList panels;
        for (QLabel *l : w.board(1)->findChildren<QLabel *>())
            if (l->objectName().startsWith(QLatin1String("StatusBar1Panel")))
                panels << l->text();
        QVERIFY2(panels.contains(QStringLiteral("Modo: Parado")), qPrintable(panels.join(u'|')));
        QVERIFY(panels.contains(QStringLiteral("Guardado automático en 5 minutos.")));
        auto *caption = w.board(1)->findChild<QLabel *>(QStringLiteral("lblRoundTimerCaption"));
        QVERIFY(caption);
        QCOMPARE(caption->text(), QStringLiteral("Tiempo de ronda:"));

        frmOptions options;
        QCOMPARE(options.windowTitle(), QStringLiteral("Opciones"));
        QCOMPARE(options.cmdCancel->text(), QStringLiteral("Cancelar"));
        frmNovo novo(nullptr, false, [] { return 1; });
        QCOMPARE(novo.windowTitle(), QStringLiteral("Nueva estrategia"));
        QCOMPARE(novo.option1(0)->text(), QStringLiteral("Edición clásica"));
    }

    // Each pack names every control of these windows that shows a caption or a tooltip.
    void packsCoverTheWindows_data()
    {
        QTest::addColumn<QString>("language");
        for (const char *language : {"Spanish", "Portuguese", "French", "Romanian", "Dutch"})
            QTest::newRow(language) << QString::fromLatin1(language);
    }

    void packsCoverTheWindows()
    {
        QFETCH(QString, language);
        clsLanguagePack pack;
        QString error;
        QVERIFY2(pack.LoadPack(QStringLiteral(QUORVEL_PROGRAM_DIR "/lang/") + language + QStringLiteral(".lpk"), &error),
                 qPrintable(error));
        QVERIFY(!pack.GetString(QStringLiteral("s0045")).isEmpty()); // "Auto Save failed: "
        QVERIFY(pack.GetString(QStringLiteral("s0046")).contains(QLatin1String("%1"))); // "Save changes to %1?"
        ScriptedPrompts prompts;
        frmPrincipal w;
        frmNovo novo(nullptr, false, [] { return 1; });
        frmNovo2 novo2;
        frmOptions options;
        const QList<QWidget *> windows{&novo, &novo2, &options, w.board(w.NovoMapa())};
        for (QWidget *window : windows) {
            const LpkFormRecord *form = pack.formRecord(window->objectName());
            QVERIFY2(form, qPrintable(window->objectName()));
            QStringList captions, tooltips;
            for (int i = 1; i <= form->ControlCount; ++i) {
                const LpkControlRecord *c = form->control(i);
                if (c && !c->Caption.isEmpty())
                    captions << c->ControlSpec;
                if (c && !c->ToolTip.isEmpty())
                    tooltips << c->ControlSpec;
            }
            for (QWidget *control : window->findChildren<QWidget *>()) {
                QString controlName = control->objectName();
                // Status panels show keyed texts; Qt's own parts are not ours to name.
                if (controlName.isEmpty() || controlName.startsWith(QLatin1String("qt_")) || controlName.startsWith(QLatin1String("StatusBar1Panel")))
                    continue;
                if (const QVariant index = control->property(kControlIndexProperty); index.isValid())
                    controlName += QStringLiteral("(%1)").arg(index.toInt());
                QString text;
                if (auto *label = qobject_cast<QLabel *>(control))
                    text = label->text();
                else if (auto *button = qobject_cast<QAbstractButton *>(control))
                    text = button->text();
                else if (auto *frame = qobject_cast<QGroupBox *>(control))
                    text = frame->title();
                // A caption with a letter is words; "1:45" or "0" are values.
                if (text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
                    QVERIFY2(captions.contains(controlName), qPrintable(window->objectName() + u'.' + controlName));
                if (!control->toolTip().isEmpty())
                    QVERIFY2(tooltips.contains(controlName), qPrintable(window->objectName() + u'.' + controlName + ".tooltip"));
            }
        }
    }

private:
    QTemporaryDir config_;
};

QTEST_MAIN(TestMainWindowSpanish)
#include "tst_mainwindow_spanish.moc"
