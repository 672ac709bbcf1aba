// The tip of the day (reading the tips file, cycling, the start-up setting), the about box
// and the Help menu of the main window.

#include "StartedWindow.h"
#include "OpenedUrls.h"
#include "TestFolders.h"
#include "board/frmLink.h"
#include "language/clsLanguagePack.h"
#include "ScriptedPrompts.h"
#include "platform/Settings.h"
#include "shell/HelpCommands.h"
#include "shell/frmDica.h"
#include "shell/frmPrincipal.h"
#include "shell/frmSobre.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        useTestFolders(home_.path().toUtf8(), config_);
        qputenv("QUORVEL_UPDATE_SERVER", "");
        QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("Bin")));
    }
    void readingTips_data();
    void readingTips();
    void tipsAreShownAsText_data();
    void tipsAreShownAsText();
    void tipsFileNameFromThePack_data();
    void tipsFileNameFromThePack();
    void eachLanguageShipsItsTips_data();
    void eachLanguageShipsItsTips();
    void nextTipDrawsFromAllTips();
    void tipAtStartUp_data();
    void tipAtStartUp();
    void aboutBox();
    void boardLoadClosesTheAboutBox();

private:
    void writeTips(const QByteArray &bytes)
    {
        QFile file(home_.filePath(QStringLiteral("Bin/tips.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QString dicas() const { return settingsStore().GetSetting(QStringLiteral("Dicas"), QStringLiteral("1")); }

    QTemporaryDir home_;
    QTemporaryDir config_;
    OpenedUrls opened_;
};

void TestHelp::readingTips_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("tips");
    QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << QStringList{"one", "two"};
    QTest::newRow("LF") << QByteArray("one\ntwo\n") << QStringList{"one", "two"};
    QTest::newRow("CR") << QByteArray("one\rtwo") << QStringList{"one", "two"};
    QTest::newRow("mixed, no final end") << QByteArray("a\r\nb\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("empty lines count") << QByteArray("a\r\n\r\nb\n\n") << QStringList{"a", "", "b", ""};
    QTest::newRow("Windows-1252") << QByteArray("T\xe1tica \x80 5\r\n") << QStringList{QStringLiteral("Tática € 5")};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void TestHelp::readingTips()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, tips);
    writeTips(bytes);
    QCOMPARE(readTips(home_.filePath(QStringLiteral("Bin/tips.dat"))), std::optional<QStringList>(tips));
    frmDica dialog;
    QCOMPARE(dialog.tips(), tips);
    QVERIFY(tips.isEmpty() ? dialog.lblTipText->text().isEmpty() : tips.contains(dialog.lblTipText->text()));
}

void TestHelp::tipsAreShownAsText_data()
{
    QTest::addColumn<QByteArray>("tip");
    QTest::addColumn<QString>("shown");
    const QByteArray tables = QByteArray("<table><tr><td>").repeated(20) + "x";
    QTest::newRow("nested tables") << tables << QString::fromLatin1(tables);
    QTest::newRow("picture") << QByteArray("<img src=\"/dev/zero\"><b>bold</b>") << "<img src=\"/dev/zero\"><b>bold</b>";
    QTest::newRow("one long line") << QByteArray(3000000, 'w') << QString(1000, u'w') + QStringLiteral("...");
}

void TestHelp::tipsAreShownAsText()
{
    QFETCH(QByteArray, tip);
    QFETCH(QString, shown);
    writeTips(tip);
    frmDica dialog;
    QCOMPARE(dialog.lblTipText->textFormat(), Qt::PlainText);
    QCOMPARE(dialog.lblTipText->text(), shown);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
}

void TestHelp::tipsFileNameFromThePack_data()
{
    QTest::addColumn<QString>("packName"); // the pack's s0000; "-" for no pack text
    QTest::addColumn<QString>("used");
    QTest::newRow("no pack text") << "-" << "tips.dat";
    QTest::newRow("own file") << "tips_es.dat" << "tips_es.dat";
    QTest::newRow("climbs out") << "../../secret.txt" << "tips.dat";
    QTest::newRow("backslash") << "..\\x.dat" << "tips.dat";
}

void TestHelp::tipsFileNameFromThePack()
{
    QFETCH(QString, packName);
    QFETCH(QString, used);
    LanguagePackData data;
    if (packName != QLatin1String("-"))
        data.tStrings.append({QStringLiteral("s0000"), packName});
    data.tStrings.append({QStringLiteral("s0001"), QStringLiteral("Falta: ")});
    const QString pack = home_.filePath(QStringLiteral("Spanish.lpk"));
    QVERIFY(writeLanguagePackFile(pack, data, CodePage::Windows1252));
    QVERIFY(LanguagePack().LoadPack(pack));
    QCOMPARE(tipsFileName(), used);

    // A missing file says so with the name only; a folder of that name counts as missing.
    QFile::remove(home_.filePath(QStringLiteral("Bin/") + used));
    QDir(home_.path()).mkpath(QStringLiteral("Bin/") + used);
    frmDica dialog;
    QCOMPARE(dialog.lblTipText->text(), QStringLiteral("Falta: ") + used);
    QTest::mouseClick(dialog.cmdNextTip, Qt::LeftButton);
    QCOMPARE(dialog.lblTipText->text(), QStringLiteral("Falta: ") + used);
    QDir(home_.filePath(QStringLiteral("Bin/") + used)).removeRecursively();
    LanguagePack() = clsLanguagePack();
}

void TestHelp::eachLanguageShipsItsTips_data()
{
    QTest::addColumn<QString>("language"); // "" for no pack
    for (const char *language : {"", "Spanish", "Portuguese", "French", "Romanian", "Dutch"})
        QTest::newRow(*language ? language : "English") << QString::fromLatin1(language);
}

// The pack names its own tips file, and the shipped file reads back as the source's lines in
// the pack language's code page.
void TestHelp::eachLanguageShipsItsTips()
{
    QFETCH(QString, language);
    if (!language.isEmpty())
        QVERIFY(LanguagePack().LoadPack(QStringLiteral(QUORVEL_PROGRAM_DIR "/lang/") + language + QStringLiteral(".lpk")));
    const QString suffix = language.isEmpty() ? QString() : QLatin1Char('_') + language;
    QCOMPARE(tipsFileName(), QStringLiteral("tips%1.dat").arg(suffix));

    QFile source(QStringLiteral(QUORVEL_TIPS_SOURCES "/tips%1.txt").arg(suffix));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QStringList expected;
    for (const QString &line : QString::fromUtf8(source.readAll()).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#')))
            expected << line.trimmed();
    }
    QCOMPARE(readTips(QStringLiteral(QUORVEL_PROGRAM_DIR "/Bin/") + tipsFileName(), tipsCodePage()),
             std::optional<QStringList>(expected));
    LanguagePack() = clsLanguagePack();
}

void TestHelp::nextTipDrawsFromAllTips()
{
    writeTips("only one\r\n");
    frmDica single;
    QTest::mouseClick(single.cmdNextTip, Qt::LeftButton);
    QCOMPARE(single.lblTipText->text(), QStringLiteral("only one"));

    writeTips("first\r\nsecond\r\nthird\r\n");
    frmDica dialog;
    QSet<QString> seen{dialog.lblTipText->text()};
    for (int i = 0; i < 200; ++i) {
        QTest::mouseClick(dialog.cmdNextTip, Qt::LeftButton);
        seen.insert(dialog.lblTipText->text());
    }
    QCOMPARE(seen, (QSet<QString>{"first", "second", "third"}));
}

void TestHelp::tipAtStartUp_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("shown"); // at start-up
    QTest::addColumn<int>("clicks"); // on the box when the menu shows the tip
    QTest::addColumn<QString>("after");
    QTest::newRow("on") << "1" << "" << true << 0 << "1";
    QTest::newRow("on, unchecked") << "1" << "" << true << 1 << "0";
    QTest::newRow("off") << "0" << "" << false << 0 << "0";
    QTest::newRow("off, checked") << "0" << "" << false << 1 << "1";
    QTest::newRow("off, checked and unchecked") << "0" << "" << false << 2 << "0";
    QTest::newRow("on, a file named") << "1" << "missing.qvl" << false << 0 << "1";
    // A switch is not a file: the tip shows as it does with no command line.
    QTest::newRow("on, language switch") << "1" << "-Spanish" << true << 0 << "1";
}

void TestHelp::tipAtStartUp()
{
    QFETCH(QString, stored);
    QFETCH(QString, commandLine);
    QFETCH(bool, shown);
    QFETCH(int, clicks);
    QFETCH(QString, after);
    writeTips("a tip\r\n");
    settingsStore().SaveSetting(QStringLiteral("Dicas"), stored);
    // The box shows the setting; only the user's clicks on it change the setting.
    auto handler = [&](QDialog &d, int n) {
        auto &tip = static_cast<frmDica &>(d);
        tip.show();
        if (!QTest::qWaitForWindowExposed(&tip) || tip.chkLoadTipsAtStartup->isChecked() != (stored == "1"))
            return -1;
        for (int i = 0; i < n; ++i)
            QTest::mouseClick(tip.chkLoadTipsAtStartup, Qt::LeftButton, {}, QPoint(6, tip.chkLoadTipsAtStartup->height() / 2));
        QTest::mouseClick(tip.cmdOK, Qt::LeftButton);
        return tip.result();
    };
    ScriptedPrompts prompts;
    if (shown)
        prompts.addDialog([&](QDialog &d) { return handler(d, 0); });
    frmPrincipal w;
    loadAsStarted(w, commandLine);
    QCOMPARE(prompts.dialogs.size(), shown ? 1 : 0);
    QCOMPARE(dicas(), stored);

    // The Help menu shows it at any time.
    prompts.addDialog([&](QDialog &d) { return handler(d, clicks); });
    w.findChild<QAction *>(QStringLiteral("mnuDica"))->trigger();
    QCOMPARE(prompts.unscriptedCount(), 0);
    for (const ShownDialog &d : prompts.dialogs)
        QVERIFY(d.objectName == QLatin1String("frmDica") && d.result == QDialog::Accepted);
    QCOMPARE(dicas(), after);
}

void TestHelp::aboutBox()
{
    frmSobre about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Quorvel"));
    QCOMPARE(about.lblVer->text(), QStringLiteral(QUORVEL_ABOUT_VERSION));
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    opened_.urls.clear();
    for (QLabel *l : {about.lblSite, about.lblForum, about.lblIRC, about.Label10, about.Label11})
        QTest::mouseClick(l, Qt::LeftButton);
    QCOMPARE(opened_.urls, (QList<QUrl>{QUrl(about.lblSite->text()), QUrl(about.lblForum->text()), QUrl(about::kIrc),
                                   QUrl(about::kIrcStrats), QUrl(about::kMail)}));
    QCOMPARE(opened_.urls[0].scheme(), QStringLiteral("https"));
    QTest::mouseClick(about.cmdOK, Qt::LeftButton);
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

void TestHelp::boardLoadClosesTheAboutBox()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    bool closedByBoard = false;
    prompts.addDialog([&](QDialog &d) {
        d.show();
        // A strat handed over by a second start opens while the box is up.
        w.NovoMapa();
        closedByBoard = !d.isVisible();
        return d.result();
    });
    w.findChild<QAction *>(QStringLiteral("mnuSobre"))->trigger();
    QCOMPARE(prompts.dialogs.size(), 1);
    QCOMPARE(prompts.dialogs[0].objectName, QStringLiteral("frmSobre"));
    QVERIFY(closedByBoard);
    // With the box gone, another board's load has nothing to close.
    QCOMPARE(w.NovoMapa(), 2);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
