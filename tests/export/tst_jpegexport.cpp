// Export as Image: a board in its sub-window, exported offscreen and read back by independent
// tools (ImageMagick's identify for size and quality, djpeg for the pixels); and the failures
// that must say so and keep the old picture.
#include "TestFolders.h"
#include "TestTools.h"
#include "BoardInWindow.h"
#include "board/BoardScene.h"
#include "export/JpegExport.h"
#include "export/WindowCapture.h"
#include "ScriptedPrompts.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsView>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace quorvel;

namespace {

// The mean absolute difference of the icon's opaque pixels and the picture at pos.
double iconDifference(const QImage &picture, const QImage &icon, QPoint pos)
{
    double sum = 0;
    int n = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb a = icon.pixel(x, y);
            if (qAlpha(a) < 255 || !picture.rect().contains(pos + QPoint(x, y)))
                continue;
            const QRgb b = picture.pixel(pos + QPoint(x, y));
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            n += 3;
        }
    return n ? sum / n : 1e9;
}

} // namespace

class TestJpegExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportedPictureReadsBack();
    void failuresKeepTheOldPicture_data();
    void failuresKeepTheOldPicture();

private:
    QTemporaryDir home_; // the program folder
};

void TestJpegExport::initTestCase()
{
    qputenv("QUORVEL_HOME", stageProgramFolder(home_, QUORVEL_PROGRAM_DIR));
    if (QStandardPaths::findExecutable("identify").isEmpty() || QStandardPaths::findExecutable("djpeg").isEmpty())
        QSKIP("identify and djpeg are needed");
}

void TestJpegExport::exportedPictureReadsBack()
{
    BoardInWindow b(QStringLiteral("Export"), {{3, 4500, 3000}});
    QLabel *picGO = b.board->findChild<QLabel *>(QStringLiteral("picGO"));
    QVERIFY(picGO && !picGO->isHidden());
    ScriptedPrompts prompts;
    const QString typed = b.dir.filePath(QStringLiteral("plan"));
    prompts.addFile(typed);
    QVERIFY(Exporta(b.board, {picGO}, nullptr));
    QVERIFY(!picGO->isHidden()); // its visibility is back
    QCOMPARE(prompts.messages.size(), 0);

    const QString file = typed + QStringLiteral(".jpg");
    QCOMPARE(runTool("identify", {"-format", "%m %w %h %Q", file}).text(),
             QStringLiteral("JPEG %1 %2 90").arg(b.sub->width()).arg(b.sub->height()));

    // The icon, decoded by djpeg, where the scene puts it inside the sub-window.
    const QImage decoded = QImage::fromData(runTool("djpeg", {"-pnm", file}).out, "PPM");
    QCOMPARE(decoded.size(), b.sub->size());
    QGraphicsPixmapItem *item = b.board->scene()->imgObj.at(1);
    QVERIFY(item);
    const QPoint inView = b.board->view()->mapFromScene(item->scenePos());
    const QPoint inWindow = b.board->view()->viewport()->mapTo(b.sub, inView);
    const QImage icon = item->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QVERIFY(iconDifference(decoded, icon, inWindow) < 12.0);
    // Elsewhere the icon is not: shifted by its own width it no longer matches.
    QVERIFY(iconDifference(decoded, icon, inWindow + QPoint(icon.width() * 3, 0)) > 20.0);
}

void TestJpegExport::failuresKeepTheOldPicture_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("unwritable folder") << "folder";
    QTest::newRow("pipe in its place") << "pipe";
    QTest::newRow("dialog cancelled") << "cancel";
}

void TestJpegExport::failuresKeepTheOldPicture()
{
    QFETCH(QString, failure);
    BoardInWindow b(QStringLiteral("Export"), {{3, 4500, 3000}});
    ScriptedPrompts prompts;
    QString target = b.dir.filePath(QStringLiteral("old.jpg"));
    const QByteArray old(200, 'x');
    if (failure == QLatin1String("folder")) {
        // Root writes anywhere: a "folder" that is a file cannot hold a new one for anybody.
        const QString blocker = b.dir.filePath(QStringLiteral("locked"));
        if (::geteuid() == 0) {
            QFile f(blocker);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
            target = blocker + QStringLiteral("/old.jpg");
        } else {
            QVERIFY(QDir().mkpath(blocker));
            QFile f(blocker + QStringLiteral("/old.jpg"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
            f.close();
            QFile::setPermissions(blocker, QFile::ReadOwner | QFile::ExeOwner);
            target = blocker + QStringLiteral("/old.jpg");
        }
    } else {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    prompts.addFile(failure == QLatin1String("cancel") ? QString() : target);

    if (failure == QLatin1String("pipe")) {
        QFile::remove(target);
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    }
    const bool written = Exporta(b.board, {}, nullptr);
    QVERIFY(!written);
    if (failure == QLatin1String("cancel")) {
        QCOMPARE(prompts.messages.size(), 0);
    } else {
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().text.startsWith(QStringLiteral("The picture could not be saved:")));
        QCOMPARE(prompts.messages.first().icon, MessageIcon::Critical);
    }
    if (failure == QLatin1String("folder") && ::geteuid() == 0)
        QCOMPARE(readFile(b.dir.filePath(QStringLiteral("locked"))), old);
    else if (failure == QLatin1String("pipe"))
        QVERIFY(QFileInfo(target).exists() && !QFileInfo(target).isFile()); // the pipe is still there
    else
        QCOMPARE(readFile(target), old);
    // No half-written picture is left beside it.
    QCOMPARE(QDir(QFileInfo(target).path()).entryList({"*.jpg*"}, QDir::Files).size(),
             (failure == QLatin1String("folder") && ::geteuid() == 0) || failure == QLatin1String("pipe") ? 0 : 1);
}

QTEST_MAIN(TestJpegExport)
#include "tst_jpegexport.moc"
