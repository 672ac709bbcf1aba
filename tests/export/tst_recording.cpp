// The recording panel driving a board: real clicks on REC, STOP, SAVE and CANCEL, the board's
// playback clock stepped by hand, and the files and video that result.
#include "DialogScripts.h"
#include "TestTools.h"
#include "TestFolders.h"
#include "StratSamples.h"
#include "TestHost.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "export/Narration.h"
#include "export/RecordingPanel.h"
#include "export/VideoEncodeJob.h"
#include "export/VideoFiles.h"
#include "export/VideoRecorder.h"
#include "export/frmCodec.h"
#include "ScriptedPrompts.h"
#include "playback/PlaybackController.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <sys/stat.h>

using namespace quorvel;

namespace {

class FedSource : public SoundSource {
public:
    bool openable = true;
    bool running = false;
    bool start(const PcmFormat &, QString *error) override
    {
        if (!openable)
            *error = QStringLiteral("No sound input was found.");
        running = openable;
        return openable;
    }
    void stop() override { running = false; }
    void feed(int ms)
    {
        if (running)
            emit samples(QByteArray(ms * 176400 / 1000, '\x10'));
    }
};

// A soldier walking east for two seconds, in a board inside its sub-window, with the panel
// above it as the main window has it.
struct Rig {
    QTemporaryDir dir;
    ProgramState state;
    TestHost host;
    QWidget window;
    QMdiArea *area = new QMdiArea;
    frmMapa *board = new frmMapa(state, host);
    std::unique_ptr<VideoRecorder> owned = std::make_unique<VideoRecorder>(&window);
    VideoRecorder &recorder = *owned;
    RecordingPanel &panel = *recorder.panel();
    FedSource sound;
    Rig()
    {
        state.fillPalette();
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(&panel);
        layout->addWidget(area, 1);
        window.resize(1000, 900);
        StratDocument d;
        d.sOverview = QStringLiteral("Harbor.jpg");
        d.sNomeTatica = QStringLiteral("Rush");
        d.iObj = 1;
        d.tObjetos = {{}, {1, 1000, 1000}};
        d.iMovs = 1;
        d.tMovimentos = {{}, samples::movement(1, {{0, 1000 + 8 * 126, 1000, 8, 0, 2}})};
        makeSavePlaceholders(d);
        const QString path = dir.filePath(QStringLiteral("rush.qvl"));
        writeStratFile(path, d);
        area->addSubWindow(board);
        window.show();
        board->Form_Load();
        board->setImI(1);
        board->AbreTatica(path);
        board->parentWidget()->show();
        recorder.setSoundSource(&sound);
        recorder.open(board);
    }
    PlaybackController &pb() { return board->controller(); }
    void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Plays until the recording has ended by itself (bounded).
    int playToEnd(int speed = 1)
    {
        int ticks = 0;
        while (recorder.state() == VideoRecorder::State::Recording && ticks < 2000) {
            pb().tick();
            sound.feed(16);
            ++ticks;
        }
        return ticks * speed;
    }
    QStringList frames() const { return QDir(videoWorkFolder()).entryList({"*.bmp"}, QDir::Files, QDir::Name); }
};

QString probe(const QString &file, const QString &entries, const QString &stream = QStringLiteral("v:0"))
{
    return runTool("ffprobe", {"-v", "error", "-count_frames", "-select_streams", stream, "-show_entries", entries,
                               "-of", "default=nw=1:nk=1", file})
        .text()
        .replace(u'\n', u' ');
}

} // namespace

class TestRecording : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recordAndSave_data();
    void recordAndSave();
    void stepsThatLoseNothing_data();
    void stepsThatLoseNothing();
    void hostileWorkFolder();
    void endsWhereverItIsLeft_data();
    void endsWhereverItIsLeft();
    void stripIsRedrawnAfterRecording();
    void exitLeavesNothing_data();
    void exitLeavesNothing();
};

void TestRecording::initTestCase()
{
    useStagedTestFolders();
    if (QStandardPaths::findExecutable("ffprobe").isEmpty())
        QSKIP("ffprobe is needed");
}

void TestRecording::recordAndSave_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<int>("seekTo"); // a second the board is placed at before REC
    QTest::addColumn<QString>("format"); // the chosen file's; the converter makes all but AVI
    QTest::newRow("speed 1") << 1 << false << 0 << "avi";
    QTest::newRow("speed 5") << 5 << false << 0 << "avi";
    QTest::newRow("speed 1, narration") << 1 << true << 0 << "avi";
    QTest::newRow("speed 3, narration") << 3 << true << 0 << "avi";
    QTest::newRow("speed 5, narration") << 5 << true << 0 << "avi";
    QTest::newRow("after a seek") << 1 << false << 2 << "avi";
    QTest::newRow("MP4") << 1 << false << 0 << "mp4";
    QTest::newRow("MP4, narration") << 3 << true << 0 << "mp4";
}

void TestRecording::recordAndSave()
{
    QFETCH(int, speed);
    QFETCH(bool, sound);
    QFETCH(int, seekTo);
    QFETCH(QString, format);
    // The strat's length is 3 seconds: it ends at frame 189, with pictures of frames 1, 9, ...,
    // 185 at speed 1 and the same number at any speed.
    const int pictures = 24;
    Rig rig;
    ScriptedPrompts prompts;
    rig.pb().setSpeed(speed);
    if (seekTo > 0) {
        rig.pb().seek(seekTo);
        QVERIFY(rig.board->model().playback.lFrameAtual() > 0);
    }
    if (sound != rig.panel.chkSound->isChecked())
        rig.click(rig.panel.chkSound);
    QVERIFY(rig.panel.cmdRec->isEnabled() && !rig.panel.cmdSave->isEnabled());

    rig.click(rig.panel.cmdRec);
    QCOMPARE(rig.recorder.state(), VideoRecorder::State::Recording);
    QCOMPARE(rig.panel.cmdRec->text(), QStringLiteral("STOP"));
    QVERIFY(!rig.panel.chkSound->isEnabled()); // read once, locked while recording
    QVERIFY(!rig.panel.cmdSave->isEnabled());
    QVERIFY(rig.board->controller().recording());
    QCOMPARE(rig.board->height(), 600); // the recording layout: the overview only
    QVERIFY(rig.board->findChild<QWidget *>("picHide")->isVisible());
    // The speed marks "1x" to "5x" go and come back with their slider.
    auto marks = [&] {
        QStringList shown;
        for (int i = 3; i <= 7; ++i)
            if (auto *mark = rig.board->findChild<QLabel *>(QStringLiteral("Label%1").arg(i)); mark && mark->isVisible())
                shown << mark->text();
        return shown;
    };
    QCOMPARE(marks(), QStringList());

    // With narration the board plays at 1x, so the sound fed per tick matches the pictures.
    QCOMPARE(rig.pb().speed(), sound ? 1 : speed);
    rig.playToEnd(speed);
    QCOMPARE(rig.recorder.state(), VideoRecorder::State::Recorded);
    QCOMPARE(rig.pb().speed(), speed); // the user's speed is back
    QCOMPARE(rig.recorder.capturedFrames(), pictures);
    QCOMPARE(rig.frames().size(), pictures);
    QCOMPARE(rig.frames().last(), frameFileName(pictures));
    QVERIFY(!rig.board->controller().recording());
    QVERIFY(rig.board->height() > 600);
    QCOMPARE(marks(), (QStringList{"1x", "2x", "3x", "4x", "5x"}));
    QCOMPARE(rig.pb().running(), false);
    QVERIFY(rig.panel.cmdSave->isEnabled() && !rig.panel.cmdRec->isEnabled());

    const QString target = rig.dir.filePath(QStringLiteral("rush"));
    prompts.addFile(format == QLatin1String("avi") ? target : target + u'.' + format, 0); // the AVI filter gives ".avi"
    prompts.addDialog([](QDialog &d) {
        auto &codec = static_cast<frmCodec &>(d);
        return codec.cboCompressor->currentData().toString() == QLatin1String("mjpeg") ? int(QDialog::Accepted)
                                                                                       : int(QDialog::Rejected);
    });
    // Another board beside the recorded one: saving leaves the recorded one active.
    auto *other = new frmMapa(rig.state, rig.host);
    rig.area->addSubWindow(other);
    other->Form_Load();
    other->parentWidget()->show();
    auto *recorded = qobject_cast<QMdiSubWindow *>(rig.board->parentWidget());
    rig.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    rig.area->setActiveSubWindow(recorded);
    QSignalSpy states(&rig.recorder, &VideoRecorder::stateChanged);
    rig.click(rig.panel.cmdSave);
    QCOMPARE(rig.recorder.state(), VideoRecorder::State::Saving);
    QVERIFY(rig.panel.cmdCancel->isEnabled()); // a save can be stopped
    QTRY_COMPARE_WITH_TIMEOUT(rig.recorder.state(), VideoRecorder::State::Closed, 60000);
    QCOMPARE(prompts.messageTexts(), QStringList());
    const QString saved = target + u'.' + format;
    QCOMPARE(probe(saved, "stream=codec_name,r_frame_rate,nb_read_frames"),
             QStringLiteral("%1 63/8 %2").arg(format == QLatin1String("avi") ? "mjpeg" : "h264").arg(pictures));
    QCOMPARE(probe(saved, "stream=codec_name", "a").isEmpty(), !sound);
    if (sound) {
        const double video = pictures * 8 / 63.0;
        const double audio = runTool("ffmpeg", {"-v", "error", "-i", saved, "-map", "0:a:0", "-f", "s16le", "-ac", "2",
                                                "-ar", "44100", "-"}).out.size() / 176400.0;
        QVERIFY2(qAbs(audio - video) < 0.2, qPrintable(QStringLiteral("audio %1 s, video %2 s").arg(audio).arg(video)));
    }
    QCOMPARE(rig.frames(), QStringList());
    QVERIFY(!rig.panel.isVisible());
    QCOMPARE(rig.area->activeSubWindow(), recorded);
}

void TestRecording::stepsThatLoseNothing_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("state");
    QTest::newRow("save dialog cancelled") << "nofile" << "" << int(VideoRecorder::State::Recorded);
    QTest::newRow("codec choice cancelled") << "nocodec" << "No codec was chosen: the video was not saved."
                                            << int(VideoRecorder::State::Recorded);
    QTest::newRow("nothing recorded") << "empty" << "Nothing was recorded: there is no video to save."
                                      << int(VideoRecorder::State::Recorded);
    QTest::newRow("cancel while recording") << "cancel" << "" << int(VideoRecorder::State::Closed);
    QTest::newRow("cancel while saving") << "cancelsave" << "" << int(VideoRecorder::State::Recorded);
    QTest::newRow("cancel while saving to MP4") << "cancelsave.mp4" << "" << int(VideoRecorder::State::Recorded);
    QTest::newRow("sound input missing") << "nosound" << "The sound input cannot be recorded:\nNo sound input was found."
                                         << int(VideoRecorder::State::Ready);
}

void TestRecording::stepsThatLoseNothing()
{
    QFETCH(QString, step);
    QFETCH(QString, message);
    QFETCH(int, state);
    Rig rig;
    ScriptedPrompts prompts;
    if (step == QLatin1String("nosound")) {
        rig.sound.openable = false;
        if (!rig.panel.chkSound->isChecked())
            rig.click(rig.panel.chkSound);
    } else if (rig.panel.chkSound->isChecked()) {
        rig.click(rig.panel.chkSound);
    }
    rig.click(rig.panel.cmdRec);
    if (step == QLatin1String("empty")) {
        rig.click(rig.panel.cmdRec); // STOP before the first picture
    } else if (step == QLatin1String("cancel")) {
        for (int i = 0; i < 40; ++i)
            rig.pb().tick();
        QVERIFY(!rig.frames().isEmpty());
        rig.click(rig.panel.cmdCancel);
    } else if (step != QLatin1String("nosound")) {
        rig.playToEnd();
    }
    const QStringList recorded = rig.frames();
    const QString clip = rig.dir.filePath(step.endsWith(QLatin1String(".mp4")) ? "clip.mp4" : "clip.avi");
    if (step == QLatin1String("nofile") || step == QLatin1String("nocodec") || step == QLatin1String("empty")) {
        prompts.addFile(step == QLatin1String("nofile") ? QString() : rig.dir.filePath("clip.avi"));
        prompts.addDialog(closeBox());
        rig.click(rig.panel.cmdSave);
    } else if (step.startsWith(QLatin1String("cancelsave"))) {
        prompts.addFile(clip);
        prompts.addDialog([](QDialog &) { return int(QDialog::Accepted); });
        rig.click(rig.panel.cmdSave);
        QCOMPARE(rig.recorder.state(), VideoRecorder::State::Saving);
        QSignalSpy ended(&rig.recorder, &VideoRecorder::stateChanged);
        rig.click(rig.panel.cmdCancel);
        // The end is told at once, the movie's name gone with it; the encoder's thread ends by itself.
        QVERIFY(!ended.isEmpty() || ended.wait(30000));
        QTRY_VERIFY(rig.recorder.findChildren<VideoEncodeJob *>().isEmpty());
        QCOMPARE(QDir(videoWorkFolder()).entryList({"tempmovie.*", "combined.*"}, QDir::Files), QStringList());
    }
    QCOMPARE(int(rig.recorder.state()), state);
    QCOMPARE(prompts.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(rig.frames(), state == int(VideoRecorder::State::Closed) ? QStringList() : recorded);
    QVERIFY(!QFile::exists(clip));
    // The board is back in its normal layout, stopped at the start.
    QVERIFY(!rig.board->controller().recording());
    QVERIFY(rig.board->height() > 600);
    QCOMPARE(rig.board->model().playback.lFrameAtual(), 0);
    QCOMPARE(rig.panel.cmdSave->isEnabled(), state == int(VideoRecorder::State::Recorded));
}

void TestRecording::hostileWorkFolder()
{
    // A pipe and a dangling link named like frames: REC neither waits on the one nor writes
    // through the other. The movies of a save the program did not live to end go with the old
    // pictures.
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath("written-through-link.bmp");
    {
        Rig rig;
        ScriptedPrompts prompts;
        const QDir work(videoWorkFolder());
        QCOMPARE(mkfifo(QFile::encodeName(work.filePath(frameFileName(3))).constData(), 0600), 0);
        QVERIFY(QFile::link(outside, work.filePath(frameFileName(5))));
        QString why;
        for (const char *stale : {"tempmovie.mp4", "tempmovie.avi", "combined.avi"})
            QVERIFY(writeOwnFile(work.filePath(stale), "cut short", &why));
        if (rig.panel.chkSound->isChecked())
            rig.click(rig.panel.chkSound);
        rig.click(rig.panel.cmdRec);
        rig.playToEnd();
        QCOMPARE(rig.recorder.state(), VideoRecorder::State::Recorded);
        QCOMPARE(prompts.messageTexts(), QStringList());
        QCOMPARE(rig.recorder.capturedFrames(), 24);
        QCOMPARE(work.entryList({"tempmovie.*", "combined.*"}, QDir::Files | QDir::System), QStringList());
        for (const QFileInfo &f : work.entryInfoList({"*.bmp"}, QDir::Files | QDir::System))
            QVERIFY2(f.isFile() && !f.isSymLink(), qPrintable(f.fileName()));
        rig.click(rig.panel.cmdCancel);
    }
    QVERIFY(!QFileInfo::exists(outside));
}

void TestRecording::endsWhereverItIsLeft_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("recorder destroyed with narration") << "destroy";
    QTest::newRow("board closed with narration") << "close";
    QTest::newRow("effects that never end") << "effects";
}

void TestRecording::endsWhereverItIsLeft()
{
    QFETCH(QString, how);
    Rig rig;
    ScriptedPrompts prompts;
    const bool sound = how != QLatin1String("effects");
    if (sound != rig.panel.chkSound->isChecked())
        rig.click(rig.panel.chkSound);
    rig.pb().setSpeed(3);
    rig.click(rig.panel.cmdRec);
    for (int i = 0; i < 40; ++i) {
        rig.pb().tick();
        rig.sound.feed(16);
    }
    if (how == QLatin1String("destroy")) {
        rig.owned.reset();
        QCOMPARE(rig.pb().speed(), 3);
        QVERIFY(!rig.pb().recording());
    } else if (how == QLatin1String("close")) {
        rig.board->close();
        QCOMPARE(rig.recorder.state(), VideoRecorder::State::Recorded);
        QVERIFY(rig.panel.cmdSave->isEnabled());
    } else {
        // Effects said to run for ever hold the recording only as long as the longest shipped.
        for (const char *effect : {"HE", "FLASH", "SMOKE"}) {
            const QString file = QStringLiteral(QUORVEL_PROGRAM_DIR "/Bin/Effects/%1.gif").arg(effect);
            const double seconds = runTool("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of",
                                                       "csv=p=0", file}).text().toDouble();
            QVERIFY2(seconds > 0 && seconds <= VideoRecorder::kLongestEffectSeconds, effect);
        }
        rig.pb().setEffectsRunning(true);
        rig.playToEnd();
        QCOMPARE(rig.recorder.state(), VideoRecorder::State::Recorded);
        const int lastFrame = (3 + VideoRecorder::kLongestEffectSeconds + 1) * 63;
        QVERIFY(rig.recorder.capturedFrames() <= lastFrame / 8 + 1);
        QVERIFY(rig.recorder.capturedFrames() > 24);
    }
    QCOMPARE(prompts.messageTexts(), QStringList());
    // What was recorded is kept, the pictures and the narration, until the recorder goes with
    // the program: no later run could save it.
    const bool kept = how != QLatin1String("destroy");
    QCOMPARE(rig.frames().size() >= 5, kept);
    QCOMPARE(QFileInfo(QDir(videoWorkFolder()).filePath(kTempAudio)).size() > 44, sound && kept);
    deleteFrameFiles(videoWorkFolder());
    deleteSoundFiles(videoWorkFolder());
}

void TestRecording::stripIsRedrawnAfterRecording()
{
    // After REC and STOP the screen shows the strip under the overview as it draws itself, not
    // what was behind it while the board was short (a stray pixel aside).
    Rig rig;
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    rig.click(rig.panel.cmdRec);
    QCoreApplication::processEvents();
    rig.click(rig.panel.cmdRec);
    QCoreApplication::processEvents();
    const auto *strip = rig.board->findChild<QWidget *>(QStringLiteral("picBaixo"));
    const QRect at(strip->mapTo(&rig.window, QPoint()), strip->size());
    const QImage shown = rig.window.screen()->grabWindow(rig.window.winId()).toImage().copy(at);
    const QImage drawn = rig.window.grab(at).toImage();
    int differing = 0;
    for (int i = 0; i < at.width() * at.height(); ++i)
        differing += shown.pixel(i % at.width(), i / at.width()) != drawn.pixel(i % at.width(), i / at.width());
    QVERIFY2(differing < at.width(), qPrintable(QString::number(differing)));
}

void TestRecording::exitLeavesNothing_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<QString>("encoder");
    QTest::addColumn<QString>("name");
    QTest::newRow("closed while recording") << "recording" << "" << "";
    QTest::newRow("closed after a recording not saved") << "recorded" << "" << "";
    QTest::newRow("closed while saving to AVI") << "saving" << "mjpeg" << "clip.avi";
    QTest::newRow("closed while saving to MP4 with SVT-AV1") << "saving" << "libsvtav1" << "clip.mp4";
}

void TestRecording::exitLeavesNothing()
{
    QFETCH(QString, when);
    QFETCH(QString, encoder);
    QFETCH(QString, name);
    if (!encoder.isEmpty() && !AviWriter::opensWith({encoder}, kVideoSize, kCaptureRateNum, kCaptureRateDen))
        QSKIP("the encoder is not offered here");
    QTemporaryDir home, runtime, out;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVEL_HOME", stageProgramFolder(home, QUORVEL_PROGRAM_DIR));
    env.insert("XDG_RUNTIME_DIR", runtime.path()); // its own single instance
    env.insert("QUORVEL_TEST_STRAT", home.filePath("Strats/Examples/example.qvl"));
    env.insert("QUORVEL_TEST_CLOSE", when);
    env.insert("QUORVEL_TEST_ENCODER", encoder);
    env.insert("QUORVEL_TEST_TARGET", out.filePath(name));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QUORVEL_EXIT_HELPER);
    QVERIFY(program.waitForFinished(-1));
    QCOMPARE(program.exitCode(), 0);
    // The program closed and went while the encoder was held, and its thread ended once let go.
    QCOMPARE(QString::fromLocal8Bit(program.readAllStandardOutput()),
             when == QLatin1String("saving") ? "held\nended\n" : "ended\n");
    // Nothing at the chosen name, nothing left of the save or of the recording.
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
    QCOMPARE(QDir(home.filePath("video")).entryList(QDir::Files), QStringList());
}

QTEST_MAIN(TestRecording)
#include "tst_recording.moc"
