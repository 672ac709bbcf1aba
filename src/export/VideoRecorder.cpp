#include "export/VideoRecorder.h"

#include "board/frmMapa.h"
#include "common/ProgramFolder.h"
#include "export/EncoderTrial.h"
#include "export/Narration.h"
#include "export/RecordingPanel.h"
#include "export/VideoFiles.h"
#include "export/VideoSaveJob.h"
#include "export/WindowCapture.h"
#include "export/frmCodec.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"
#include "platform/Settings.h"
#include "platform/clsDialog.h"
#include "playback/PlaybackController.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalBlocker>

namespace quorvel {

namespace {

QString sRec() { return keyedText("s0043", QStringLiteral("REC")); }
QString sStop() { return keyedText("s0044", QStringLiteral("STOP")); }

} // namespace

VideoRecorder::VideoRecorder(QWidget *panelParent)
    : QObject(panelParent), panel_(new RecordingPanel(panelParent)), ownSource_(new MicrophoneSource(this)),
      saver_(new VideoSaveJob(this))
{
    source_ = ownSource_;
    narration_ = new Narration(source_, this);
    panel_->hide();
    panel_->cmdRec->setText(sRec());
    panel_->lblVideoExport->setText(keyedText(
        "s0022", QStringLiteral("Click REC to start recording the animation, it will stop recording automatically. "
                                "When the animation is finished click SAVE.")));
    panel_->chkSound->setChecked(programSettings().bRecordSound);
    connect(panel_->cmdRec, &QPushButton::clicked, this, &VideoRecorder::cmdRec_Click);
    connect(panel_->cmdSave, &QPushButton::clicked, this, &VideoRecorder::cmdSave_Click);
    connect(panel_->cmdCancel, &QPushButton::clicked, this, &VideoRecorder::cmdCancel_Click);
    connect(panel_->chkSound, &QCheckBox::clicked, this, &VideoRecorder::chkSound_Click);
    connect(saver_, &VideoSaveJob::status, panel_, [this](const QString &text, int percent) {
        panel_->SetStatus(percent, text);
    });
    connect(saver_, &VideoSaveJob::stepChanged, this, &VideoRecorder::updateControls);
    connect(saver_, &VideoSaveJob::finished, this, [this](Outcome outcome) {
        if (outcome == Outcome::Done) {
            // The save deleted the pictures, and the narration when it is in the video; a
            // narration that could not be joined stays in the work folder.
            captured_ = 0;
            setState(State::Closed);
        } else {
            setState(State::Recorded);
        }
    });
    updateControls();
}

VideoRecorder::~VideoRecorder()
{
    // The program closes during a recording: it ends as STOP would, without a message.
    if (state_ == State::Recording) {
        QString why;
        if (sound_)
            narration_->stop(&why);
        if (board_) {
            board_->controller().setRecording(false);
            if (userSpeed_ > 0)
                board_->controller().setSpeed(userSpeed_);
        }
    }
    for (const auto &link : std::as_const(boardLinks_))
        disconnect(link);
    // What was recorded and not saved goes: no later run can save it, and REC would remove it
    // only at the next recording. A save still running is stopped first, as at the exit.
    if (state_ != State::Closed && state_ != State::Ready) {
        const QSignalBlocker quiet(saver_);
        saver_->stop();
        deleteFrameFiles(folder_);
        deleteSoundFiles(folder_);
    }
}

void VideoRecorder::setSoundSource(SoundSource *source)
{
    source_ = source ? source : ownSource_;
    delete narration_;
    narration_ = new Narration(source_, this);
}

QString VideoRecorder::workFile(const QString &name) const { return QDir(folder_).filePath(name); }

void VideoRecorder::setState(State s)
{
    state_ = s;
    updateControls();
    emit stateChanged(s);
}

void VideoRecorder::updateControls()
{
    const bool saving = state_ == State::Saving;
    const bool shown = state_ != State::Closed;
    const bool rec = state_ == State::Ready || state_ == State::Recording;
    const bool save = state_ == State::Recorded;
    const bool cancel = rec || save || (saving && saver_->canCancel());
    const bool sound = state_ == State::Ready || state_ == State::Recorded || state_ == State::Closed;
    // A focused control that is disabled or hidden passes the focus on, and in the main window
    // that can make another board the active one: the recorded board keeps it.
    QWidget *focus = QApplication::focusWidget();
    if (board_ && focus && panel_->isAncestorOf(focus)
        && (!shown || (focus == panel_->cmdRec && !rec) || (focus == panel_->cmdSave && !save)
            || (focus == panel_->cmdCancel && !cancel) || (focus == panel_->chkSound && !sound)))
        board_->setFocus(Qt::OtherFocusReason);
    QMdiSubWindow *active = activeBoardWindow();
    panel_->setVisible(shown);
    panel_->cmdRec->setText(state_ == State::Recording ? sStop() : sRec());
    panel_->cmdRec->setEnabled(rec);
    panel_->cmdSave->setEnabled(save);
    panel_->cmdCancel->setEnabled(cancel);
    panel_->chkSound->setEnabled(sound);
    keepActive(active);
}

QMdiSubWindow *VideoRecorder::activeBoardWindow() const
{
    auto *sub = board_ ? qobject_cast<QMdiSubWindow *>(board_->parentWidget()) : nullptr;
    return sub && sub->mdiArea() && sub->mdiArea()->activeSubWindow() == sub ? sub : nullptr;
}

void VideoRecorder::keepActive(QMdiSubWindow *sub)
{
    // A control of the panel that is disabled or hidden passes the focus on, which can make
    // another board the active one: the recorded board stays active.
    if (sub && sub->mdiArea() && sub->mdiArea()->activeSubWindow() != sub)
        sub->mdiArea()->setActiveSubWindow(sub);
}

void VideoRecorder::stopPlayback()
{
    if (!board_)
        return;
    PlaybackController &c = board_->controller();
    if (c.playEditMode())
        c.togglePlayEdit();
    else if (c.running())
        c.togglePlay();
}

void VideoRecorder::rewind()
{
    if (!board_)
        return;
    stopPlayback();
    // A board placed by a seek while stopped is at a later frame: a Play and a Stop put it back
    // at the start.
    PlaybackController &c = board_->controller();
    if (board_->model().playback.lFrameAtual() > 0 && !c.running()) {
        c.togglePlay();
        c.togglePlay();
    }
}

void VideoRecorder::open(frmMapa *board)
{
    if (!board || state_ != State::Closed)
        return;
    for (const auto &link : std::as_const(boardLinks_))
        disconnect(link);
    boardLinks_.clear();
    board_ = board;
    stopPlayback();
    PlaybackController &c = board->controller();
    boardLinks_ << connect(&c, &PlaybackController::captureDue, this, &VideoRecorder::captureDue);
    boardLinks_ << connect(&c, &PlaybackController::stopped, this, [this] {
        if (state_ == State::Recording)
            endRecording();
    });
    // A board that closes takes its recording with it.
    boardLinks_ << connect(board, &frmMapa::closed, this, [this] {
        // A recording keeps what it took, to be saved or cancelled; a panel with nothing
        // recorded closes.
        if (state_ == State::Recording)
            endRecording();
        else if (state_ == State::Ready)
            abandon();
    });
    panel_->SetStatus(0, QString());
    panel_->chkSound->setChecked(programSettings().bRecordSound);
    panel_->lblVideoExport->setText(keyedText(
        "s0022", QStringLiteral("Click REC to start recording the animation, it will stop recording automatically. "
                                "When the animation is finished click SAVE.")));
    setState(State::Ready);
    startProbingVideoEncoders();
}

void VideoRecorder::cmdRec_Click()
{
    if (state_ == State::Ready)
        startRecording();
    else if (state_ == State::Recording)
        endRecording();
}

void VideoRecorder::startRecording()
{
    if (!board_)
        return;
    folder_ = videoWorkFolder();
    if (folder_.isEmpty()) {
        showMessage(board_->window(),
                    keyedText("export04", QStringLiteral("The video work folder cannot be made:")) + QStringLiteral("\n")
                        + QDir::toNativeSeparators(writableFolder() + QStringLiteral("/video")),
                    QString(), MessageIcon::Critical);
        return;
    }
    rewind();
    deleteFrameFiles(folder_);
    deleteSoundFiles(folder_);
    deleteMovieFiles(folder_);
    captured_ = 0;
    sound_ = panel_->chkSound->isChecked();
    soundRecorded_ = false;
    if (sound_) {
        QString why;
        if (!narration_->start(workFile(kTempAudio), &why)) {
            // No silent or missing narration: the user decides to record without it.
            showMessage(board_->window(),
                        keyedText("export05", QStringLiteral("The sound input cannot be recorded:")) + QStringLiteral("\n")
                            + why,
                        QString(), MessageIcon::Warning);
            return;
        }
    }
    PlaybackController &c = board_->controller();
    userSpeed_ = 0;
    if (sound_ && c.speed() != 1) {
        userSpeed_ = c.speed();
        c.setSpeed(1);
    }
    board_->setRecordingLayout(true);
    c.setRecording(true);
    setState(State::Recording);
    c.togglePlay();
    lastFrame_ = qint64(c.lengthSeconds() + kLongestEffectSeconds + 1) * PlaybackController::kTicksPerSecond;
}

void VideoRecorder::captureDue(int frame, int)
{
    if (state_ != State::Recording || !board_)
        return;
    if (frame > lastFrame_) {
        // Effects that play on past the longest the program ships do not hold the recording.
        endRecording();
        return;
    }
    // Capture and file in one step: nothing runs between them.
    const QImage picture = CaptureFormImage(board_);
    if (picture.isNull())
        return; // no picture, no number: the next one takes it
    const QString file = workFile(frameFileName(captured_ + 1));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    QString why;
    // A frame is a new file of our own: nothing that stands under its name is written through.
    if (!writer.write(picture))
        why = writer.errorString();
    else
        writeOwnFile(file, bytes, &why);
    if (!why.isEmpty()) {
        endRecording();
        showMessage(board_ ? board_->window() : nullptr,
                    keyedText("export06", QStringLiteral("The recording stopped: a picture could not be written."))
                        + QStringLiteral("\n") + QDir::toNativeSeparators(file) + QStringLiteral("\n") + why,
                    QString(), MessageIcon::Critical);
        return;
    }
    ++captured_;
}

void VideoRecorder::endRecording()
{
    if (state_ != State::Recording)
        return;
    setState(State::Recorded);
    if (board_) {
        board_->controller().setRecording(false);
        board_->setRecordingLayout(false);
        if (userSpeed_ > 0)
            board_->controller().setSpeed(userSpeed_);
    }
    userSpeed_ = 0;
    if (sound_) {
        QString why;
        soundRecorded_ = narration_->stop(&why);
        if (!soundRecorded_) {
            QFile::remove(workFile(kTempAudio));
            showMessage(board_ ? board_->window() : nullptr,
                        keyedText("export07", QStringLiteral("The narration could not be recorded:")) + QStringLiteral("\n")
                            + why,
                        QString(), MessageIcon::Warning);
        }
    }
    stopPlayback();
}

void VideoRecorder::cmdSave_Click()
{
    if (state_ != State::Recorded)
        return;
    QWidget *owner = board_ ? board_->window() : panel_->window();
    if (captured_ == 0) {
        showMessage(owner, keyedText("export08", QStringLiteral("Nothing was recorded: there is no video to save.")));
        return;
    }
    if (board_ && panel_->cmdSave->hasFocus())
        board_->setFocus(Qt::OtherFocusReason); // not passed on to another board
    QMdiSubWindow *active = activeBoardWindow();
    panel_->cmdSave->setEnabled(false);
    keepActive(active);
    const QString title = keyedText("s0025", QStringLiteral("Save Video"));
    const QString target = clsDialog().SaveDialog(owner, kVideoFilter, title, programFolder());
    if (target.isEmpty()) {
        updateControls();
        return;
    }
    const QString problem = saveTargetProblem(target);
    if (!problem.isEmpty()) {
        showMessage(owner, QDir::toNativeSeparators(target) + QStringLiteral("\n") + problem);
        updateControls();
        return;
    }
    const std::optional<VideoCodecChoice> codec = chooseVideoCodec(owner);
    if (!codec) {
        showMessage(owner, keyedText("export09", QStringLiteral("No codec was chosen: the video was not saved.")));
        updateControls();
        return;
    }
    setState(State::Saving);
    saver_->start({folder_, captured_, target, *codec, soundRecorded_, owner, pictures_});
}

void VideoRecorder::cmdCancel_Click()
{
    switch (state_) {
    case State::Saving:
        saver_->cancel();
        break;
    case State::Ready:
    case State::Recording:
    case State::Recorded:
        abandon();
        break;
    case State::Closed:
        break;
    }
}

void VideoRecorder::abandon()
{
    if (state_ == State::Recording)
        endRecording();
    stopPlayback();
    if (!folder_.isEmpty()) {
        deleteFrameFiles(folder_);
        deleteSoundFiles(folder_);
    }
    captured_ = 0;
    soundRecorded_ = false;
    setState(State::Closed);
}

void VideoRecorder::closeForExit()
{
    if (state_ != State::Saving)
        return;
    saver_->stop();
    if (state_ == State::Recorded)
        abandon();
}

void VideoRecorder::chkSound_Click()
{
    const bool on = panel_->chkSound->isChecked();
    programSettings().bRecordSound = on;
    writeRecordSound(settingsStore(), on);
}

} // namespace quorvel
