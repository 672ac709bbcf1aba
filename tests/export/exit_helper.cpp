// Starts as the program does, opens the strat QUORVEL_TEST_STRAT as a hand-over does and
// records it, then closes the main window at the moment QUORVEL_TEST_CLOSE names: "recording"
// (part way), "recorded" (the recording made, not saved) or "saving" (a save to
// QUORVEL_TEST_TARGET with QUORVEL_TEST_ENCODER whose encoder is held inside the first picture,
// answering Yes). Once the program has gone, prints "held" when the encoder was still held
// then, and "ended" when every encode work has ended after it was let go.

#include "EncoderRuns.h"
#include "StartedWindow.h"
#include "board/frmMapa.h"
#include "export/RecordingPanel.h"
#include "export/VideoFiles.h"
#include "export/VideoRecorder.h"
#include "export/frmCodec.h"
#include "ScriptedPrompts.h"
#include "playback/PlaybackController.h"
#include "shell/StartUp.h"
#include "shell/frmPrincipal.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <thread>

using namespace quorvel;

static std::shared_ptr<HeldPictures> pictures;

static void recordAndClose(frmPrincipal *w, ScriptedPrompts *prompts)
{
    const QString when = qEnvironmentVariable("QUORVEL_TEST_CLOSE");
    w->openNamedFile(qEnvironmentVariable("QUORVEL_TEST_STRAT"));
    w->findChild<QAction *>(QStringLiteral("mnuVideo"))->trigger();
    RecordingPanel *panel = w->recorder()->panel();
    if (panel->chkSound->isChecked())
        QTest::mouseClick(panel->chkSound, Qt::LeftButton);
    QTest::mouseClick(panel->cmdRec, Qt::LeftButton);
    for (int tick = 0; w->recorder()->state() == VideoRecorder::State::Recording
                       && (when != QLatin1String("recording") || tick < 40);
         ++tick)
        w->activeBoard()->controller().tick();
    pictures = std::make_shared<HeldPictures>(videoWorkFolder());
    if (when == QLatin1String("saving")) {
        usableVideoEncoders(); // the codec dialog then lists them all
        w->recorder()->setPictureSource(pictures);
        prompts->addFile(qEnvironmentVariable("QUORVEL_TEST_TARGET"));
        prompts->addDialog([](QDialog &d) {
            auto &codec = static_cast<frmCodec &>(d);
            d.show();
            for (int i = 0; i < codec.cboCompressor->count()
                            && codec.cboCompressor->currentData() != qEnvironmentVariable("QUORVEL_TEST_ENCODER");
                 ++i)
                QTest::keyClick(codec.cboCompressor, Qt::Key_Down);
            QTest::mouseClick(codec.cmdOK, Qt::LeftButton);
            return d.result();
        });
        QTest::mouseClick(panel->cmdSave, Qt::LeftButton);
        pictures->asked();
        prompts->addAnswer(MessageAnswer::Yes);
    }
    w->close();
}

int main(int argc, char **argv)
{
    const int code = runQuorvel(argc, argv, [](const StartupOptions &) -> QWidget * {
        auto *prompts = new ScriptedPrompts; // for as long as the program runs
        auto *w = new frmPrincipal;
        loadAsStarted(*w);
        QTimer::singleShot(0, w, [w, prompts] { recordAndClose(w, prompts); });
        return w;
    });
    // The program has gone; the thread of the save it stopped runs on, and must end once let go
    // (in two minutes at the most, not to hang the test).
    if (pictures && pictures->held())
        std::printf("held\n");
    if (pictures)
        pictures->release();
    for (int i = 0; i < 12000 && VideoEncodeJob::liveWorks() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::printf(VideoEncodeJob::liveWorks() == 0 ? "ended\n" : "still running\n");
    return code;
}
