// Filters, suffix rules and the file dialogs' clean results; the scripted prompts tests rely on.

#include "platform/Prompts.h"
#include "ScriptedPrompts.h"
#include "platform/clsDialog.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace quorvel;

class TestPrompts : public QObject {
    Q_OBJECT
private slots:
    void nameFilters_data();
    void nameFilters();
    void saveNames_data();
    void saveNames();
    void stratSuffix_data();
    void stratSuffix();
    void dialogsReturnCleanPaths_data();
    void dialogsReturnCleanPaths();
    void unscriptedQuestionsDoNotHang();
    void qtSaveDialogAsksAboutTheFinalName();
};

void TestPrompts::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("strat") << kStratFilter << QStringList{"Strat (*.qvl)"};
    QTest::newRow("no final bar") << "Strat (*.qvl)|*.qvl" << QStringList{"Strat (*.qvl)"};
    QTest::newRow("video") << kVideoFilter
                           << QStringList{"AVI (*.avi)", "Flash (*.swf)", "FLV (*.flv)"};
    QTest::newRow("plain description") << "Pictures|*.jpg;*.jpeg|"
                                       << QStringList{"Pictures (*.jpg *.jpeg)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestPrompts::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(qtNameFilters(filter), expected);
}

void TestPrompts::saveNames_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("always");
    QTest::addColumn<bool>("fromFilter");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("strat plain") << "qvl" << true << false << 0 << "/s/plan" << "/s/plan.qvl";
    QTest::newRow("strat capitals kept") << "qvl" << true << false << 0 << "/s/plan.QVL" << "/s/plan.QVL";
    QTest::newRow("strat other ext") << "qvl" << true << false << 0 << "/s/plan.txt" << "/s/plan.txt.qvl";
    QTest::newRow("only missing") << "jpg" << false << false << 0 << "/s/a.b/pic" << "/s/a.b/pic.jpg";
    QTest::newRow("has one") << "jpg" << false << false << 0 << "/s/pic.png" << "/s/pic.png";
    QTest::newRow("video second filter") << "" << false << true << 1 << "/v/clip" << "/v/clip.swf";
    QTest::newRow("video typed ext once") << "" << false << true << 0 << "/v/clip.avi" << "/v/clip.avi";
    QTest::newRow("no suffix asked") << "" << false << false << 0 << "/v/clip" << "/v/clip";
}

void TestPrompts::saveNames()
{
    QFETCH(QString, suffix);
    QFETCH(bool, always);
    QFETCH(bool, fromFilter);
    QFETCH(int, filterIndex);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    FileDialogRequest request;
    request.filter = kVideoFilter;
    request.defaultSuffix = suffix;
    request.suffixAlways = always;
    request.suffixFromFilter = fromFilter;
    QCOMPARE(finishSaveName(request, typed, filterIndex), expected);
}

void TestPrompts::stratSuffix_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << "/a/plan" << "/a/plan.qvl";
    QTest::newRow("lower") << "/a/plan.qvl" << "/a/plan.qvl";
    QTest::newRow("upper") << "/a/plan.QVL" << "/a/plan.QVL";
    QTest::newRow("other") << "/a/plan.txt" << "/a/plan.txt.qvl";
    QTest::newRow("qvl without dot") << "/a/planqvl" << "/a/planqvl.qvl";
}

void TestPrompts::stratSuffix()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(withStratSuffix(path), expected);
    QCOMPARE(withStratSuffix(withStratSuffix(path)), expected);
}

void TestPrompts::dialogsReturnCleanPaths_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QString>("expected");
    QTest::newRow("open strat") << false << kStratFilter << "Open Strat" << "/d/plan.qvl" << 0 << "/d/plan.qvl";
    QTest::newRow("open cancel") << false << kStratFilter << "Open Strat" << "" << 0 << "";
    QTest::newRow("save strat typed bare") << true << kStratFilter << "Save Strat" << "/d/plan" << 0 << "/d/plan.qvl";
    QTest::newRow("save strat other ext") << true << "Strat (*.qvl)|*.qvl" << "Save Strat" << "/d/plan.txt" << 0 << "/d/plan.txt.qvl";
    QTest::newRow("save cancel") << true << kStratFilter << "Save Strat" << "" << 0 << "";
    QTest::newRow("jpeg bare") << true << kJpegFilter << "Export Strat" << "/d/board" << 0 << "/d/board.jpg";
    QTest::newRow("jpeg capitals") << true << kJpegFilter << "Export Strat" << "/d/board.JPG" << 0 << "/d/board.JPG";
    QTest::newRow("jpeg long") << true << kJpegFilter << "Export Strat" << "/d/board.JpEg" << 0 << "/d/board.JpEg";
    QTest::newRow("jpeg other ext") << true << kJpegFilter << "Export Strat" << "/d/board.png" << 0 << "/d/board.png.jpg";
    QTest::newRow("video flash") << true << kVideoFilter << "Save Video" << "/d/clip" << 1 << "/d/clip.swf";
    QTest::newRow("video avi typed") << true << kVideoFilter << "Save Video" << "/d/clip.avi" << 0 << "/d/clip.avi";
    QTest::newRow("title only like video") << true << kVideoFilter << "save video" << "/d/clip" << 1 << "/d/clip";
}

void TestPrompts::dialogsReturnCleanPaths()
{
    QFETCH(bool, save);
    QFETCH(QString, filter);
    QFETCH(QString, title);
    QFETCH(QString, typed);
    QFETCH(int, filterIndex);
    QFETCH(QString, expected);
    ScriptedPrompts prompts;
    prompts.addFile(typed, filterIndex);
    const QString result = save ? clsDialog().SaveDialog(nullptr, filter, title, "/d")
                                : clsDialog().OpenDialog(nullptr, filter, title, "/d");
    QCOMPARE(result, expected);
    QCOMPARE(prompts.fileDialogs.size(), 1);
    const FileDialogRequest &request = prompts.fileDialogs.first().request;
    QVERIFY(request.filter.endsWith(u'|'));
    QCOMPARE(request.title, title);
    QCOMPARE(request.initialFolder, QStringLiteral("/d"));
}

void TestPrompts::unscriptedQuestionsDoNotHang()
{
    Prompts *before = &Prompts::current();
    {
        ScriptedPrompts prompts;
        QCOMPARE(&Prompts::current(), static_cast<Prompts *>(&prompts));
        prompts.addAnswer(MessageAnswer::Yes);
        showMessage(nullptr, "Note");
        QVERIFY(askYesNo(nullptr, "Sure?", "Remove"));
        QVERIFY(!askYesNo(nullptr, "Again?", "Remove"));
        QCOMPARE(prompts.message(nullptr, "Save?", "", MessageIcon::Warning, MessageButtons::YesNoCancel),
                 MessageAnswer::Cancel);
        QCOMPARE(prompts.input(nullptr, "Name", "", "x", 0), std::optional<QString>());
        QCOMPARE(clsDialog().OpenDialog(nullptr, kStratFilter, "Open", "/"), QString());
        QDialog dialog;
        QCOMPARE(prompts.exec(dialog), int(QDialog::Rejected));

        QCOMPARE(prompts.messageTexts(), (QStringList{"Note", "Sure?", "Again?", "Save?"}));
        QCOMPARE(prompts.messages.at(0).title, QStringLiteral("Quorvel"));
        QCOMPARE(prompts.messages.at(1).title, QStringLiteral("Remove"));
        QCOMPARE(prompts.messages.at(1).icon, MessageIcon::Question);
        QVERIFY(prompts.messages.at(1).scripted);
        QVERIFY(!prompts.messages.at(2).scripted);
        QCOMPARE(prompts.unscriptedCount(), 5);
        QCOMPARE(prompts.pendingCount(), 0);
    }
    QCOMPARE(&Prompts::current(), before);
}

// The real dialog: typing "plan" where "plan.qvl" exists must ask before replacing plan.qvl.
void TestPrompts::qtSaveDialogAsksAboutTheFinalName()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString existing = dir.path() + "/plan.qvl";
    {
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old");
    }

    QStringList questions;
    int round = 0; // 0: type and accept; 1: refuse to replace; 2: accept again; 3: replace
    QTimer driver;
    driver.setInterval(20);
    connect(&driver, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            questions.append(box->text());
            box->button(round == 1 ? QMessageBox::No : QMessageBox::Yes)->click();
            ++round;
            return;
        }
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog || (round != 0 && round != 2))
            return;
        auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
        QVERIFY(edit);
        edit->setText("plan");
        ++round;
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    driver.start();
    QTimer::singleShot(10000, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            w->close(); // never hang, whatever went wrong
    });

    FileDialogRequest request;
    request.filter = kStratFilter;
    request.title = "Save Strat";
    request.initialFolder = dir.path();
    request.defaultSuffix = "qvl";
    request.suffixAlways = true;
    const QString chosen = Prompts::current().saveFile(request);
    driver.stop();

    QCOMPARE(chosen, existing);
    QCOMPARE(questions.size(), 2);
    QVERIFY(questions.at(0).contains("plan.qvl"));
}

QTEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
