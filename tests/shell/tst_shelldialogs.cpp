// The overview choice dialogs and the Options dialog, driven through scripted prompts.

#include "ScriptedPrompts.h"
#include "platform/Settings.h"
#include "shell/frmNovo.h"
#include "shell/frmOptions.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

class TestShellDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listing_data();
    void listing();
    void overviewPaths_data();
    void overviewPaths();
    void replacementChoice_data();
    void replacementChoice();
    void newStrat();
    void roundTimerBox_data();
    void roundTimerBox();
    void optionsOkAndCancel();

private:
    QTemporaryDir home_;
    QTemporaryDir config_;
};

namespace {
void writePicture(const QString &path)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(path, "PNG"));
}

// Chooses name the way a user does: a mouse click (or a double-click) on its row.
bool select(OverviewChoice &dialog, const QString &name, bool doubleClick = false)
{
    const auto items = dialog.lstOverview()->findItems(name, Qt::MatchExactly);
    if (items.isEmpty())
        return false;
    if (!dialog.isVisible()) {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            return false;
    }
    QListWidget *list = dialog.lstOverview();
    list->scrollToItem(items.first());
    const QPoint at = list->visualItemRect(items.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (doubleClick) { // the second press of a double-click arrives as the double-click event
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }
    return true;
}
} // namespace

void TestShellDialogs::initTestCase()
{
    QVERIFY(home_.isValid() && config_.isValid());
    qputenv("QUORVEL_HOME", home_.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    QDir(home_.path()).mkpath("Overviews/Folder.jpg");
    const QString folder = home_.path() + "/Overviews/";
    for (const char *name : {"Harbor.jpg", "Refinery.jpg", "Sixteen_char.jpg", "Seventeen_chr.jpg",
                             "Citadel.src", ".Hidden.jpg"})
        writePicture(folder + name);
    QFile bad(folder + "Broken.jpg");
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
}

void TestShellDialogs::listing_data()
{
    QTest::addColumn<bool>("newStrat");
    QTest::addColumn<bool>("mapDefault");
    QTest::addColumn<int>("clickOption");
    QTest::addColumn<QStringList>("names");
    const QStringList jpg{"Broken.jpg", "Harbor.jpg", "Refinery.jpg", "Sixteen_char.jpg"};
    const QStringList src{"Citadel.src"};
    QTest::newRow("new, default") << true << false << -1 << src;
    QTest::newRow("new, jpg default") << true << true << -1 << jpg;
    QTest::newRow("new, switched") << true << false << 1 << jpg;
    QTest::newRow("replacement ignores the default") << false << true << -1 << src;
    QTest::newRow("replacement switched back") << false << false << 0 << src;
}

void TestShellDialogs::listing()
{
    QFETCH(bool, newStrat);
    QFETCH(bool, mapDefault);
    QFETCH(int, clickOption);
    QFETCH(QStringList, names);
    std::unique_ptr<OverviewChoice> dialog;
    if (newStrat)
        dialog = std::make_unique<frmNovo>(nullptr, mapDefault, [] { return -1; });
    else
        dialog = std::make_unique<frmNovo2>();
    QVERIFY(select(*dialog, dialog->lstOverview()->count() ? dialog->lstOverview()->item(0)->text() : ""));
    QVERIFY(!dialog->picture().isNull() || dialog->selectedName() == "Broken.jpg");
    if (clickOption >= 0)
        dialog->option1(clickOption)->click();
    if (clickOption >= 0) {
        QVERIFY(dialog->selectedName().isEmpty()); // relisting drops the choice and the preview
        QVERIFY(dialog->picture().isNull());
    }
    QStringList listed;
    for (int i = 0; i < dialog->lstOverview()->count(); ++i)
        listed.append(dialog->lstOverview()->item(i)->text());
    QCOMPARE(listed, names);
    QCOMPARE(dialog->lstOverview()->objectName(), QStringLiteral("lstOverview"));
    QCOMPARE(dialog->option1(1)->objectName(), QStringLiteral("Option1"));
}

void TestShellDialogs::overviewPaths_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("usable");
    QTest::newRow("plain") << "Harbor.jpg" << true;
    QTest::newRow("climbs out") << "../secret.jpg" << false;
    QTest::newRow("folder part") << "maps/Harbor.jpg" << false;
    QTest::newRow("backslash") << "..\\x.jpg" << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("empty") << "" << false;
}

void TestShellDialogs::overviewPaths()
{
    QFETCH(QString, name);
    QFETCH(bool, usable);
    const QString path = overviewPath(name);
    QCOMPARE(!path.isEmpty(), usable);
    if (usable)
        QCOMPARE(path, home_.path() + "/Overviews/" + name);
}

// Scripted user actions: "sel:<name>", "ok", "cancel", "dbl:<name>", "jpg".
void TestShellDialogs::replacementChoice_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("messages");
    const QString none = "You did not select an overview.";
    QTest::newRow("ok without choice stays") << QStringList{"ok", "sel:Citadel.src", "ok"} << "Citadel.src"
                                              << QStringList{none};
    QTest::newRow("cancel") << QStringList{"sel:Citadel.src", "cancel"} << "" << QStringList{};
    QTest::newRow("double click") << QStringList{"jpg", "dbl:Harbor.jpg"} << "Harbor.jpg" << QStringList{};
    QTest::newRow("unreadable picture stays") << QStringList{"jpg", "sel:Broken.jpg", "ok", "cancel"} << ""
                                              << QStringList{"The overview Broken.jpg is not a picture that can be shown."};
    QTest::newRow("closed by the window") << QStringList{} << "" << QStringList{};
}

void TestShellDialogs::replacementChoice()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, chosen);
    QFETCH(QStringList, messages);
    ScriptedPrompts prompts;
    prompts.addDialog([&](QDialog &d) {
        auto &dialog = static_cast<frmNovo2 &>(d);
        for (const QString &action : actions) {
            const qsizetype shownBefore = prompts.messages.size();
            if (action.startsWith("sel:")) {
                select(dialog, action.mid(4));
            } else if (action.startsWith("dbl:")) {
                select(dialog, action.mid(4), true);
            } else if (action == "jpg") {
                dialog.option1(1)->click();
            } else {
                (action == "ok" ? dialog.cmdOK() : dialog.cmdCancel())->click();
            }
            if (prompts.messages.size() > shownBefore)
                [&] { QCOMPARE(dialog.result(), int(QDialog::Rejected)); }(); // told why, still open
        }
        return d.result();
    });
    QCOMPARE(frmNovo2::chooseOverview(nullptr), chosen);
    QCOMPARE(prompts.messageTexts(), messages);
    QCOMPARE(prompts.unscriptedCount(), 0);
}

void TestShellDialogs::newStrat()
{
    ScriptedPrompts prompts;
    int freeSlot = -1;
    frmNovo dialog(nullptr, true, [&] { return freeSlot; });
    QList<NewStrat> made;
    QObject::connect(&dialog, &frmNovo::setUpBoard, [&](const NewStrat &s) { made.append(s); });

    QVERIFY(select(dialog, "Harbor.jpg"));
    dialog.cmdOK()->click();
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages.first().text, QStringLiteral("Too many strats open at the same time."));
    QCOMPARE(prompts.messages.first().icon, MessageIcon::Critical);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(made.isEmpty());

    freeSlot = 3;
    dialog.cmdOK()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(made.size(), 1);
    QCOMPARE(made.first().slot, 3);
    QCOMPARE(made.first().overview, QStringLiteral("Harbor.jpg"));
    QCOMPARE(made.first().title, QStringLiteral("Strat3"));
    QCOMPARE(made.first().caption, QStringLiteral("Strat3").leftJustified(32));
    QCOMPARE(made.first().picture.size(), QSize(8, 8));
    QCOMPARE(made.first().overviewPath, home_.path() + "/Overviews/Harbor.jpg");
}

void TestShellDialogs::roundTimerBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("complained");
    QTest::newRow("highest") << "999" << "999" << false;
    QTest::newRow("lowest") << "0" << "0" << false;
    QTest::newRow("above") << "1000" << "105" << true;
    QTest::newRow("negative") << "-1" << "105" << true;
    QTest::newRow("cleared") << "" << "105" << false;
    QTest::newRow("fraction") << "12.5" << "12.5" << false;
    QTest::newRow("text") << "abc" << "105" << true;
    QTest::newRow("beyond 16 bits") << "70000" << "105" << true;
}

void TestShellDialogs::roundTimerBox()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, complained);
    ScriptedPrompts prompts;
    ProgramSettings settings;
    settings.iRoundTimer = 90;
    frmOptions dialog(nullptr, &settings, &settingsStore());
    QCOMPARE(dialog.txtRoundTimer->text(), QStringLiteral("90"));
    dialog.txtRoundTimer->setText(typed);
    QCOMPARE(dialog.txtRoundTimer->text(), shown);
    QCOMPARE(prompts.messageTexts(),
             complained ? QStringList{"Valid values are 0 to 999 seconds."} : QStringList{});
}

void TestShellDialogs::optionsOkAndCancel()
{
    QSettings("Quorvel", "Quorvel").clear();
    settingsStore().sync();
    ScriptedPrompts prompts;
    ProgramSettings settings; // the defaults: update check and animations on
    {
        frmOptions dialog(nullptr, &settings, &settingsStore());
        QVERIFY(dialog.chkAutoCheck->isChecked());
        QVERIFY(!dialog.chkRecordSound->isChecked());
        dialog.chkAutoCheck->setChecked(false);
        dialog.txtRoundTimer->setText("30");
        dialog.cmdCancel->click();
    }
    QVERIFY(settings.bAutoCheck);
    QCOMPARE(settings.iRoundTimer, std::int16_t(105));
    QCOMPARE(settingsStore().GetSetting("AutoCheck", "absent"), QStringLiteral("absent"));

    bool panelSound = false;
    {
        frmOptions dialog(nullptr, &settings, &settingsStore());
        QObject::connect(&dialog, &frmOptions::recordSoundChanged, [&](bool on) { panelSound = on; });
        dialog.chkMapDefault->setChecked(true);
        dialog.chkRecordSound->setChecked(true);
        dialog.txtRoundTimer->setText("12.5");
        dialog.cmdOK->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QVERIFY(settings.bMapDefault);
    QVERIFY(settings.bRecordSound);
    QVERIFY(panelSound);
    QCOMPARE(settings.iRoundTimer, std::int16_t(12));
    QCOMPARE(settingsStore().GetSetting("AutoCheck"), QStringLiteral("True"));
    QCOMPARE(settingsStore().GetSetting("MapDefault"), QStringLiteral("True"));
    QCOMPARE(settingsStore().GetSetting("ShowAnimations"), QStringLiteral("True"));
    QCOMPARE(settingsStore().GetSetting("RecordSound"), QStringLiteral("True"));
    QCOMPARE(settingsStore().GetSetting("RoundTimer"), QStringLiteral("12"));
    QVERIFY(prompts.messages.isEmpty());
}

QTEST_MAIN(TestShellDialogs)
#include "tst_shelldialogs.moc"
