// Starts as the program does, records the whole strat QUORVEL_TEST_STRAT and saves it to
// QUORVEL_TEST_TARGET with the encoder QUORVEL_TEST_ENCODER; once one picture in twenty has gone
// to the encoder (which may hold dozens back) it closes the main window, answering Yes. Prints
// "closing <ms since the epoch>" before the close and "stalled <ms>" after it: the longest the
// window did not answer from SAVE until the close returned.

#include "EncoderRuns.h"
#include "StartedWindow.h"
#include "board/frmMapa.h"
#include "export/RecordingPanel.h"
#include "export/VideoRecorder.h"
#include "export/frmCodec.h"
#include "ScriptedPrompts.h"
#include "playback/PlaybackController.h"
#include "shell/StartUp.h"
#include "shell/frmPrincipal.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <cstdio>

using namespace quorvel;

static void recordAndSave(frmPrincipal *w, ScriptedPrompts *prompts)
{
    w->openNamedFile(qEnvironmentVariable("QUORVEL_TEST_STRAT"));
    w->findChild<QAction *>(QStringLiteral("mnuVideo"))->trigger();
    RecordingPanel *panel = w->recorder()->panel();
    if (panel->chkSound->isChecked())
        QTest::mouseClick(panel->chkSound, Qt::LeftButton);
    QTest::mouseClick(panel->cmdRec, Qt::LeftButton);
    while (w->recorder()->state() == VideoRecorder::State::Recording)
        w->activeBoard()->controller().tick();
    usableVideoEncoders(); // the codec dialog then lists them all
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
    auto *pace = new QTimer(w); // the window answers while it keeps its pace
    auto *sinceTick = new QElapsedTimer;
    auto *stalled = new qint64(0);
    QObject::connect(pace, &QTimer::timeout, [=] {
        *stalled = std::max(*stalled, sinceTick->restart());
        if (panel->picP->value() < 5)
            return;
        pace->stop();
        prompts->addAnswer(MessageAnswer::Yes);
        std::printf("closing %lld\n", QDateTime::currentMSecsSinceEpoch());
        w->close();
        std::printf("stalled %lld\n", std::max(*stalled, sinceTick->elapsed()));
    });
    sinceTick->start();
    pace->start(20);
    QTest::mouseClick(panel->cmdSave, Qt::LeftButton);
}

int main(int argc, char **argv)
{
    return runQuorvel(argc, argv, [](const StartupOptions &) -> QWidget * {
        auto *prompts = new ScriptedPrompts; // for as long as the program runs
        auto *w = new frmPrincipal;
        loadAsStarted(*w);
        QTimer::singleShot(0, w, [w, prompts] { recordAndSave(w, prompts); });
        return w;
    });
}
