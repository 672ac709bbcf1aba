// Starts as the program does, records the whole strat QUORVEL_TEST_STRAT and saves it to
// QUORVEL_TEST_TARGET with the encoder QUORVEL_TEST_ENCODER, then closes the main window once
// one picture in twenty has gone to the encoder (which holds many back), answering Yes to the
// question. Prints "closing <ms since the epoch>" just before the close and "stalled <ms>"
// after it: the longest the window did not answer from SAVE until the close returned. Prints
// "unlisted" when the encoder is not offered.

#include "EncoderRuns.h"
#include "board/frmMapa.h"
#include "export/RecordingPanel.h"
#include "export/VideoRecorder.h"
#include "export/frmCodec.h"
#include "platform/ScriptedPrompts.h"
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
#include <QTimer>

#include <cstdio>

using namespace quorvel;

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void recordAndSave(frmPrincipal *w, ScriptedPrompts *prompts)
{
    const QString encoder = qEnvironmentVariable("QUORVEL_TEST_ENCODER");
    w->AbreArquivo(qEnvironmentVariable("QUORVEL_TEST_STRAT"));
    w->findChild<QAction *>(QStringLiteral("mnuVideo"))->trigger();
    bool listed = false;
    for (const VideoEncoderInfo &e : usableVideoEncoders())
        listed = listed || e.name == encoder;
    if (!listed) {
        say(QStringLiteral("unlisted"));
        QCoreApplication::exit(3);
        return;
    }
    RecordingPanel *panel = w->recorder()->panel();
    if (panel->chkSound->isChecked())
        QTest::mouseClick(panel->chkSound, Qt::LeftButton);
    QTest::mouseClick(panel->cmdRec, Qt::LeftButton);
    for (int i = 0; i < 10000 && w->recorder()->state() == VideoRecorder::State::Recording; ++i)
        w->activeBoard()->controller().tick();

    prompts->addFile(qEnvironmentVariable("QUORVEL_TEST_TARGET"));
    prompts->addDialog([encoder](QDialog &d) {
        auto &codec = static_cast<frmCodec &>(d);
        d.show();
        for (int i = 0; i < codec.cboCompressor->count() && codec.cboCompressor->currentData() != encoder; ++i)
            QTest::keyClick(codec.cboCompressor, Qt::Key_Down);
        QTest::mouseClick(codec.cmdOK, Qt::LeftButton);
        return d.result();
    });
    // The window answers when this timer keeps its pace.
    auto *pace = new QTimer(w);
    auto *sinceTick = new QElapsedTimer;
    auto *stalled = new qint64(0);
    QObject::connect(pace, &QTimer::timeout, [=] {
        *stalled = std::max(*stalled, sinceTick->restart());
        if (panel->picP->value() < 5)
            return;
        pace->stop();
        prompts->addAnswer(MessageAnswer::Yes);
        say(QStringLiteral("closing %1").arg(QDateTime::currentMSecsSinceEpoch()));
        if (!w->close())
            QCoreApplication::exit(2);
        say(QStringLiteral("stalled %1").arg(std::max(*stalled, sinceTick->elapsed())));
    });
    sinceTick->start();
    pace->start(20);
    QTest::mouseClick(panel->cmdSave, Qt::LeftButton);
}

} // namespace

int main(int argc, char **argv)
{
    return runQuorvel(argc, argv, [](const StartupOptions &) -> QWidget * {
        auto *prompts = new ScriptedPrompts; // lives as long as the program
        auto *w = new frmPrincipal;
        w->MDIForm_Load(QString());
        QTimer::singleShot(0, w, [w, prompts] { recordAndSave(w, prompts); });
        return w;
    });
}
