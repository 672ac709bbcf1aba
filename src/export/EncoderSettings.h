#pragma once
// How the codec dialog's controls reach each encoder. Many encoders ignore the generic
// quantiser scale or the bit rate, or keep key frames of their own: a control is offered only
// where it changes the file, and the quality goes to the encoder's own setting (a constant-rate
// factor, a quantiser, a compression ratio). Used by the writer only; libav types stay here.

#include "export/AviWriter.h"

struct AVCodec;
struct AVCodecContext;

namespace quorvel {

// The controls that change codec's output, and the lowest data rate it writes at.
VideoEncoderInfo encoderInfo(const AVCodec *codec);

// Sets the quality, data rate and key-frame distance of choice on c where codec's entry puts
// them; a data rate rules out the quality. The codec dialog sends only what the encoder offers
// (encoderInfo): a key-frame distance or data rate it does not offer comes as 0 and is not set.
// Returns the quality each frame carries (a lambda), 0 when frames carry none.
int applyCodecChoice(AVCodecContext *c, const AVCodec *codec, const VideoCodecChoice &choice);

// The encoder must have had a picture, and be sent the end of the stream and emptied, before
// it is closed, even when what it holds is not wanted: else closing it never returns.
bool closesOnlyAfterEnd(const AVCodec *codec);

// The libraries' messages go to the debug log, never to the terminal. Installed once.
void routeLibraryLogs();

// While one lives, what the libraries log at error level on this thread is kept in text, for
// the message that says why an encoder failed.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    Q_DISABLE_COPY(LogCapture)
    QString text;
    // What this thread's capture holds so far; empty when none runs.
    static QString current();
};

} // namespace quorvel
