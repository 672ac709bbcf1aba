#pragma once
// Writes pictures into an AVI file through FFmpeg's libraries with the video encoder the user
// chose. Every picture is stretched to the video's size (800 x 600 for a recording) and
// converted to the encoder's pixel format in one pass; one picture gives one video frame.
// The frame rate is a fraction (a recording's is 63/8: one picture every 8 playback frames,
// 63 frames a second), so the video plays at the strat's own pace.

#include "export/FileDescriptor.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>

struct AVFrame;
struct SwsContext;

namespace quorvel {

// A recording's video: 800 x 600, one picture every 8 playback frames of 63 a second (63/8
// pictures a second of strat time).
inline constexpr int kCaptureRateNum = 63;
inline constexpr int kCaptureRateDen = 8;
inline constexpr int kCaptureEvery = 8;
inline const QSize kVideoSize(800, 600);

// The data rates the codec dialog offers, in kbit/s.
inline constexpr int kLowestDataRate = 50;
inline constexpr int kHighestDataRate = 100000;

// A video encoder of the linked libavcodec that the AVI format can carry, and the codec
// dialog's controls that change its output.
struct VideoEncoderInfo {
    QString name;        // the encoder's name, such as "mjpeg"
    QString description; // its long name, such as "MJPEG (Motion JPEG)"
    bool usesQuality = false;   // the quality slider changes its output
    bool usesKeyFrames = false; // a key-frame distance changes its output
    bool usesDataRate = false;  // it keeps to a data rate asked of it
    int minDataRate = kLowestDataRate; // the lowest data rate it can write at, kbit/s
};

// The AVI-capable video encoders, Motion JPEG first, then the others by description.
QList<VideoEncoderInfo> aviVideoEncoders();

// The user's choice in the codec dialog.
struct VideoCodecChoice {
    QString encoder = QStringLiteral("mjpeg");
    int quality = 75;        // 0..100, for encoders that use it
    int keyFrameEvery = 0;   // a key frame at least every n frames; 0 = the encoder's default
    int bitRate = 0;         // kbit/s for encoders that take one; 0 = by quality
};

// The quantiser scale (2 = best, 31 = worst) a quality of 0..100 stands for.
int qualityToQScale(int quality);

// A picture in memory with room behind its rows, as the scaler reads it: 32-bit B, G, R, x
// rows, or 24-bit B, G, R rows (a bitmap file's own, bottom row first: a negative stride from
// the top row).
struct PaddedPicture {
    QByteArray bytes;
    qsizetype top = 0; // offset of the top row in bytes
    int width = 0;
    int height = 0;
    int stride = 0;
    bool bgr24 = false;
    bool isNull() const { return bytes.isEmpty(); }
    static PaddedPicture from(const QImage &picture);
    // An uncompressed 24-bit bitmap file's pixels used where they lie; otherwise the file is
    // decoded into a picture.
    static PaddedPicture fromBitmapFile(QByteArray file);
};

// One worker's scaler, kept from picture to picture (not to be shared between threads).
class Scaler {
public:
    Scaler() = default;
    ~Scaler();
    Q_DISABLE_COPY(Scaler)

private:
    friend class AviWriter;
    SwsContext *context_ = nullptr;
};

// A picture converted to the encoder's size and pixel format, ready to encode.
class VideoFrame {
public:
    VideoFrame() = default;
    ~VideoFrame();
    VideoFrame(VideoFrame &&other) noexcept : frame_(other.frame_) { other.frame_ = nullptr; }
    VideoFrame &operator=(VideoFrame &&other) noexcept;
    Q_DISABLE_COPY(VideoFrame)
    bool isNull() const { return frame_ == nullptr; }

private:
    friend class AviWriter;
    AVFrame *frame_ = nullptr;
};

class AviWriter {
public:
    AviWriter();
    ~AviWriter();
    Q_DISABLE_COPY(AviWriter)

    // The encoder of choice opens for pictures of frameSize at rateNum/rateDen a second and
    // writes one; when not, *why says why in words. threads: the encoder's threads, 0 = as many
    // as the machine has.
    static bool opensWith(const VideoCodecChoice &choice, QSize frameSize, int rateNum, int rateDen,
                          QString *why = nullptr, int threads = 0);
    // Why the encoder of choice may not open in this process any more, in words; empty when it
    // may. An SVT-AV1 encoder that could not be told the end of its stream is kept, unclosed,
    // for the rest of the process, and no second one is risked.
    static QString heldBack(const VideoCodecChoice &choice);

    // Prepares the stream into out, a file opened for writing (its index is written at the end)
    // or a pipe's write end (written straight through); out is closed when the writer is done
    // with it. False with error() set on failure.
    bool open(FileDescriptor out, QSize frameSize, int rateNum, int rateDen, const VideoCodecChoice &choice);
    // Encodes one picture as the next frame.
    bool writeFrame(const QImage &picture) { return writeFrame(convert(PaddedPicture::from(picture))); }
    // The conversion alone: once open() succeeded it may run on any thread, several at once
    // (each with its own scaler), so pictures can be prepared while others are encoded. Null
    // when it failed.
    VideoFrame convert(const PaddedPicture &picture, Scaler &scaler) const;
    VideoFrame convert(const PaddedPicture &picture) const
    {
        Scaler once;
        return convert(picture, once);
    }
    bool writeFrame(VideoFrame frame);
    // A flag that, once set, ends the flushing of an encoder that holds pictures back.
    void setCancelFlag(const std::atomic<bool> *flag) { cancel_ = flag; }
    // Flushes the encoder and writes the index. False when the file is not complete.
    bool finish();
    // Drops an unfinished file's handles (the file itself is left for the caller to delete);
    // an encoder that would hang unless told the end of the stream is told it first (after the
    // blank picture made at the open, when it had none), or, when that cannot be done, left open
    // rather than closed (see heldBack()).
    void abandon();

    int framesWritten() const { return frames_; }
    QString error() const { return error_; }
    // The pixel format the encoder receives, such as "yuvj420p".
    QString pixelFormat() const;

private:
    struct Impl;
    bool fail(const QString &what, int code);
    bool drain(bool flushing);
    std::unique_ptr<Impl> d_;
    const std::atomic<bool> *cancel_ = nullptr;
    QString codecName_; // "MJPEG (Motion JPEG) (mjpeg)" for messages
    int frames_ = 0;
    QString error_;
};

} // namespace quorvel
