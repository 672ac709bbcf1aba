#pragma once
// Writes pictures into an AVI file through FFmpeg's libraries with the video encoder the user
// chose. Every picture is stretched to the video's size (800 x 600 for a recording) and
// converted to the encoder's pixel format in one pass; one picture gives one video frame.
// The frame rate is a fraction (a recording's is 63/8: one picture every 8 playback frames,
// 63 frames a second), so the video plays at the strat's own pace.

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <memory>

struct AVFrame;

namespace quorvel {

// A video encoder of the linked libavcodec that the AVI format can carry.
struct VideoEncoderInfo {
    QString name;        // the encoder's name, such as "mjpeg"
    QString description; // its long name, such as "MJPEG (Motion JPEG)"
    bool usesQuality = false; // a quality setting changes its output (lossy, scale-based)
    bool usesKeyFrames = false; // it can write frames that are not key frames
};

// The AVI-capable video encoders, Motion JPEG first, then the others by description.
QList<VideoEncoderInfo> aviVideoEncoders();

// The user's choice in the codec dialog.
struct VideoCodecChoice {
    QString encoder = QStringLiteral("mjpeg");
    int quality = 75;        // 0..100, for encoders that use it
    int keyFrameEvery = 0;   // a key frame at least every n frames; 0 = the encoder's default
};

// The quantiser scale (2 = best, 31 = worst) a quality of 0..100 stands for.
int qualityToQScale(int quality);

// A picture copied into memory with room behind its last row, as the scaler reads it.
struct PaddedPicture {
    QByteArray bytes;
    int width = 0;
    int height = 0;
    int stride = 0;
    bool isNull() const { return bytes.isEmpty(); }
    static PaddedPicture from(const QImage &picture);
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

    // Creates (or empties) path and prepares the stream. False with error() set on failure.
    bool open(const QString &path, QSize frameSize, int rateNum, int rateDen, const VideoCodecChoice &choice);
    // Encodes one picture as the next frame.
    bool writeFrame(const QImage &picture) { return writeFrame(convert(PaddedPicture::from(picture))); }
    // The conversion alone: once open() succeeded it may run on any thread, several at once,
    // so pictures can be prepared while others are encoded. Null when it failed.
    VideoFrame convert(const PaddedPicture &picture) const;
    bool writeFrame(VideoFrame frame);
    // Flushes the encoder and writes the index. False when the file is not complete.
    bool finish();
    // Drops an unfinished file's handles (the file itself is left for the caller to delete).
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
    int frames_ = 0;
    QString error_;
};

} // namespace quorvel
