#pragma once
// Which of the AVI-capable encoders really write a recording's video (800 x 600 at 63/8 a
// second in the pixel format the writer gives them). Trying them all takes seconds, so it runs
// once a run on a thread of its own, started when the recording panel opens: the codec dialog
// shows the encoders known so far and follows `tried`. Stopping never waits: the trial ends
// after the encoder it is on, and what it uses is its own, so the exit does not wait for it.

#include "export/AviWriter.h"

#include <QObject>

#include <memory>

namespace quorvel {

class EncoderTrial : public QObject {
    Q_OBJECT
public:
    EncoderTrial();
    ~EncoderTrial() override; // stops
    Q_DISABLE_COPY(EncoderTrial)

    // The program's one trial; it is stopped when the application object goes.
    static EncoderTrial &program();

    // Starts the trial; later calls do nothing.
    void start();
    // Asks the trial to end after the encoder it is on; from then on it reports nothing.
    void stop();

    // The usable encoders found so far, in the order of aviVideoEncoders().
    QList<VideoEncoderInfo> usable() const;
    // The trial has ended: every encoder was tried, or it was stopped.
    bool hasEnded() const;

signals:
    // An encoder was tried; sent from the trial's thread.
    void tried();
    // Every encoder was tried; sent from the trial's thread.
    void ended();

private:
    struct State;
    static void run(std::shared_ptr<State> state, QList<VideoEncoderInfo> candidates);
    std::shared_ptr<State> state_;
};

// The program's trial, started once.
void startProbingVideoEncoders();

} // namespace quorvel
