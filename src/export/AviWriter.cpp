#include "export/AviWriter.h"

#include "common/FileHelpers.h"
#include "export/EncoderSettings.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace quorvel {

namespace {

QString avError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

// Why the library failed, in words: what it said, or what its error code says.
QString inWords(const QString &logged, int code) { return logged.isEmpty() ? avError(code) : logged; }

// QImage::Format_RGB32 holds B, G, R, 0xff in memory on little-endian machines.
constexpr AVPixelFormat kSourceFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? AV_PIX_FMT_BGRA : AV_PIX_FMT_ARGB;

// Room behind a copied source picture for the scaler's reads past its end.
constexpr qsizetype kSourcePadding = 256;

AVPixelFormat chooseFormat(const AVCodec *codec)
{
    const AVPixelFormat *list = codec->pix_fmts;
    if (!list)
        return codec->id == AV_CODEC_ID_RAWVIDEO ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_YUV420P;
    // 4:2:0 plays everywhere; take it where the encoder offers it.
    for (const AVPixelFormat *p = list; *p != AV_PIX_FMT_NONE; ++p)
        if (*p == AV_PIX_FMT_YUVJ420P || *p == AV_PIX_FMT_YUV420P)
            return *p;
    return avcodec_find_best_pix_fmt_of_list(list, kSourceFormat, 0, nullptr);
}

// The "J" formats are their plain twins in full range; the scaler takes the twin and is told
// the range (it warns about the J names).
AVPixelFormat scaleTarget(AVPixelFormat f)
{
    switch (f) {
    case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
    default: return f;
    }
}

} // namespace

QList<VideoEncoderInfo> aviVideoEncoders()
{
    routeLibraryLogs();
    QList<VideoEncoderInfo> result;
    const AVOutputFormat *avi = av_guess_format("avi", nullptr, nullptr);
    if (!avi)
        return result;
    void *it = nullptr;
    while (const AVCodec *codec = av_codec_iterate(&it)) {
        if (!av_codec_is_encoder(codec) || codec->type != AVMEDIA_TYPE_VIDEO)
            continue;
        if (codec->capabilities & (AV_CODEC_CAP_EXPERIMENTAL | AV_CODEC_CAP_HARDWARE))
            continue;
        if (avformat_query_codec(avi, codec->id, FF_COMPLIANCE_NORMAL) != 1)
            continue;
        result.append(encoderInfo(codec));
    }
    std::sort(result.begin(), result.end(), [](const VideoEncoderInfo &a, const VideoEncoderInfo &b) {
        const bool am = a.name == QLatin1String("mjpeg"), bm = b.name == QLatin1String("mjpeg");
        if (am != bm)
            return am;
        return QString::compare(a.description, b.description, Qt::CaseInsensitive) < 0;
    });
    return result;
}

int qualityToQScale(int quality)
{
    quality = std::clamp(quality, 0, 100);
    return 2 + static_cast<int>(std::lrint((100 - quality) * 29 / 100.0));
}

struct AviWriter::Impl {
    FileDescriptor out;
    AVIOContext *io = nullptr; // writes to out; its buffer is ours too
    AVFormatContext *format = nullptr;
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
    AVPacket *packet = nullptr;
    AVFrame *blank = nullptr; // made at the open, for an encoder that closes only after a picture
    QSize size;
    bool headerWritten = false;
    bool pictureSent = false; // the encoder took a picture
    bool useQuality = false;
    int globalQuality = 0;

    ~Impl()
    {
        av_packet_free(&packet);
        av_frame_free(&blank);
        avcodec_free_context(&codec);
        avformat_free_context(format); // the output is custom: it leaves io alone
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

namespace {

constexpr int kOutputBuffer = 1 << 16;

int writeOut(void *opaque, uint8_t *data, int size)
{
    const int fd = static_cast<const FileDescriptor *>(opaque)->get();
    const int failed = writeFully(fd, reinterpret_cast<const char *>(data), size);
    return failed != 0 ? AVERROR(failed) : size;
}

int64_t seekOut(void *opaque, int64_t offset, int whence)
{
    const int fd = static_cast<const FileDescriptor *>(opaque)->get();
    if (whence & AVSEEK_SIZE) {
        struct stat st {};
        return ::fstat(fd, &st) == 0 ? int64_t(st.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : int64_t(at);
}

} // namespace

AviWriter::AviWriter() = default;
AviWriter::~AviWriter() { abandon(); }

bool AviWriter::fail(const QString &what, int code)
{
    error_ = code < 0 ? what + QStringLiteral(": ") + inWords(LogCapture::current(), code) : what;
    return false;
}

QString AviWriter::pixelFormat() const
{
    if (!d_ || !d_->codec)
        return QString();
    const char *name = av_get_pix_fmt_name(d_->codec->pix_fmt);
    return name ? QString::fromLatin1(name) : QString();
}

namespace {

QString codecName(const AVCodec *codec)
{
    const QString name = QString::fromLatin1(codec->name);
    return codec->long_name ? QStringLiteral("%1 (%2)").arg(QString::fromUtf8(codec->long_name), name) : name;
}

// Sets up c for codec as the writer uses it; the quality each frame carries goes to
// frameQuality (0: none).
void configure(AVCodecContext *c, const AVCodec *codec, const VideoCodecChoice &choice, QSize frameSize,
               int rateNum, int rateDen, int *frameQuality)
{
    c->width = frameSize.width();
    c->height = frameSize.height();
    c->time_base = AVRational{rateDen, rateNum};
    c->framerate = AVRational{rateNum, rateDen};
    c->pix_fmt = chooseFormat(codec);
    c->thread_count = 0; // as many as the machine has
    c->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    *frameQuality = applyCodecChoice(c, codec, choice);
    if (c->pix_fmt == AV_PIX_FMT_YUVJ420P || c->pix_fmt == AV_PIX_FMT_YUVJ422P || c->pix_fmt == AV_PIX_FMT_YUVJ444P)
        c->color_range = AVCOL_RANGE_JPEG;
}

// A picture of the encoder's size and format, its padding cleared too (encoders read whole
// blocks past the last row, and 600 is no multiple of 16); null when it cannot be had.
AVFrame *clearedPicture(const AVCodecContext *c)
{
    AVFrame *frame = av_frame_alloc();
    if (!frame)
        return nullptr;
    frame->format = c->pix_fmt;
    frame->width = c->width;
    frame->height = c->height;
    if (av_frame_get_buffer(frame, 0) < 0) {
        av_frame_free(&frame);
        return nullptr;
    }
    for (AVBufferRef *buf : frame->buf)
        if (buf)
            memset(buf->data, 0, buf->size);
    return frame;
}

// An SVT-AV1 encoder that could not be told the end of its stream would never return from
// being closed: it is kept open, idle, for the rest of the process, so that the work that
// used it can end. Each holds hundreds of megabytes and threads, so while one is kept no other
// of its kind opens (the program runs one such encoder at a time, so no second one gets here).
// The list is never freed, so a leak check sees the encoder still held.
struct KeptEncoders {
    std::mutex lock;
    std::vector<AVCodecContext *> codecs;
};

KeptEncoders &kept()
{
    static auto *encoders = new KeptEncoders;
    return *encoders;
}

void keepUnclosed(AVCodecContext *codec)
{
    KeptEncoders &k = kept();
    const std::lock_guard locker(k.lock);
    k.codecs.push_back(codec);
}

} // namespace

QString AviWriter::heldBack(const VideoCodecChoice &choice)
{
    const QByteArray encoderName = choice.encoder.toLatin1();
    const AVCodec *codec = avcodec_find_encoder_by_name(encoderName.constData());
    if (!closesOnlyAfterEnd(codec))
        return QString();
    KeptEncoders &k = kept();
    const std::lock_guard locker(k.lock);
    if (k.codecs.empty())
        return QString();
    return QStringLiteral("The video codec %1 cannot be used again until Quorvel is restarted: an earlier video "
                          "with it could not be ended, and its encoder is still held. Choose another codec.")
        .arg(codecName(codec));
}

bool AviWriter::opensWith(const VideoCodecChoice &choice, QSize frameSize, int rateNum, int rateDen, QString *why,
                          int threads)
{
    const QByteArray encoderName = choice.encoder.toLatin1();
    const AVCodec *codec = avcodec_find_encoder_by_name(encoderName.constData());
    if (!codec || codec->type != AVMEDIA_TYPE_VIDEO)
        return false;
    const QString held = heldBack(choice);
    if (!held.isEmpty()) {
        if (why)
            *why = held;
        return false;
    }
    AVCodecContext *c = avcodec_alloc_context3(codec);
    if (!c)
        return false;
    int quality = 0;
    configure(c, codec, choice, frameSize, rateNum, rateDen, &quality);
    c->thread_count = threads;
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER; // as the AVI muxer asks (it may, for some)
    LogCapture log;
    // One black picture through it and the end: an encoder that opens but cannot encode (a
    // hardware one without its device) fails here, and none is closed unflushed. The picture
    // is made before the encoder opens, so that no open one lacks it.
    AVFrame *blank = clearedPicture(c);
    AVPacket *packet = av_packet_alloc();
    int rc = blank && packet ? avcodec_open2(c, codec, nullptr) : AVERROR(ENOMEM);
    if (rc >= 0) {
        blank->pts = 0;
        const int pictured = avcodec_send_frame(c, blank);
        const int flushed = avcodec_send_frame(c, nullptr);
        rc = pictured < 0 ? pictured : flushed;
        int got = 0;
        for (int r = 0; rc >= 0 && r != AVERROR_EOF;) {
            r = avcodec_receive_packet(c, packet);
            if (r >= 0) {
                ++got;
                av_packet_unref(packet);
            } else if (r != AVERROR_EOF) {
                rc = r;
            }
        }
        if (rc >= 0 && got == 0)
            rc = AVERROR(EINVAL);
        if (closesOnlyAfterEnd(codec) && (pictured < 0 || flushed < 0))
            keepUnclosed(std::exchange(c, nullptr));
    }
    av_packet_free(&packet);
    av_frame_free(&blank);
    avcodec_free_context(&c);
    if (rc < 0 && why)
        *why = inWords(log.text, rc);
    return rc >= 0;
}

bool AviWriter::open(FileDescriptor out, QSize frameSize, int rateNum, int rateDen, const VideoCodecChoice &choice)
{
    d_ = std::make_unique<Impl>();
    d_->out = std::move(out);
    frames_ = 0;
    error_.clear();
    if (!d_->out.isValid())
        return fail(QStringLiteral("Could not create the file"), 0);
    if (frameSize.width() <= 0 || frameSize.height() <= 0 || rateNum <= 0 || rateDen <= 0)
        return fail(QStringLiteral("The video's size or frame rate is not valid"), 0);
    d_->size = frameSize;

    const QByteArray encoderName = choice.encoder.toLatin1();
    const AVCodec *codec = avcodec_find_encoder_by_name(encoderName.constData());
    if (!codec || codec->type != AVMEDIA_TYPE_VIDEO)
        return fail(QStringLiteral("The video codec \"%1\" is not available").arg(choice.encoder), 0);
    codecName_ = codecName(codec);
    const QString held = heldBack(choice);
    if (!held.isEmpty())
        return fail(held, 0);

    int rc = avformat_alloc_output_context2(&d_->format, nullptr, "avi", nullptr);
    if (rc < 0 || !d_->format)
        return fail(QStringLiteral("Could not prepare the AVI file"), rc);
    d_->stream = avformat_new_stream(d_->format, nullptr);
    d_->codec = avcodec_alloc_context3(codec);
    d_->packet = av_packet_alloc();
    if (!d_->stream || !d_->codec || !d_->packet)
        return fail(QStringLiteral("Out of memory"), AVERROR(ENOMEM));

    AVCodecContext *c = d_->codec;
    configure(c, codec, choice, frameSize, rateNum, rateDen, &d_->globalQuality);
    d_->useQuality = d_->globalQuality != 0;
    if (d_->format->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    // Made before the encoder opens: one that would have to be told the end after a picture it
    // never had must not fail for want of memory then.
    if (closesOnlyAfterEnd(codec)) {
        d_->blank = clearedPicture(c);
        if (!d_->blank)
            return fail(QStringLiteral("Out of memory"), AVERROR(ENOMEM));
        d_->blank->pts = 0;
    }
    {
        LogCapture log;
        rc = avcodec_open2(c, codec, nullptr);
        if (rc < 0) {
            error_ = QStringLiteral("The video codec %1 could not be started: %2").arg(codecName_, inWords(log.text, rc));
            return false;
        }
    }
    rc = avcodec_parameters_from_context(d_->stream->codecpar, c);
    if (rc < 0)
        return fail(QStringLiteral("Could not prepare the video stream"), rc);
    d_->stream->time_base = c->time_base;
    d_->stream->avg_frame_rate = c->framerate;
    d_->stream->r_frame_rate = c->framerate;

    // A file gets its index written at the end; a pipe is written straight through.
    struct stat st {};
    const bool seekable = ::fstat(d_->out.get(), &st) == 0 && S_ISREG(st.st_mode);
    auto *buffer = static_cast<unsigned char *>(av_malloc(kOutputBuffer));
    if (buffer)
        d_->io = avio_alloc_context(buffer, kOutputBuffer, 1, &d_->out, nullptr, writeOut, seekable ? seekOut : nullptr);
    if (!d_->io) {
        av_free(buffer);
        return fail(QStringLiteral("Out of memory"), AVERROR(ENOMEM));
    }
    d_->format->pb = d_->io;
    d_->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    rc = avformat_write_header(d_->format, nullptr);
    if (rc < 0)
        return fail(QStringLiteral("Could not write the AVI header"), rc);
    d_->headerWritten = true;
    return true;
}

bool AviWriter::drain(bool flushing)
{
    for (;;) {
        if (flushing && cancel_ && *cancel_)
            return fail(QStringLiteral("Cancelled"), 0);
        const int rc = avcodec_receive_packet(d_->codec, d_->packet);
        if (rc == AVERROR(EAGAIN) || (flushing && rc == AVERROR_EOF))
            return true;
        if (rc < 0)
            return fail(QStringLiteral("The video codec %1 failed").arg(codecName_), rc);
        av_packet_rescale_ts(d_->packet, d_->codec->time_base, d_->stream->time_base);
        d_->packet->stream_index = d_->stream->index;
        const int wrc = av_interleaved_write_frame(d_->format, d_->packet);
        if (wrc < 0)
            return fail(QStringLiteral("Could not write to the file"), wrc);
    }
}

PaddedPicture PaddedPicture::from(const QImage &picture)
{
    PaddedPicture p;
    if (picture.isNull())
        return p;
    const QImage source = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    // The scaler's vector code reads a little past the last source row: it reads this copy
    // with room behind it, never past the picture's own memory.
    const qsizetype bytes = source.sizeInBytes();
    p.bytes.resize(bytes + kSourcePadding);
    memcpy(p.bytes.data(), source.constBits(), size_t(bytes));
    memset(p.bytes.data() + bytes, 0, kSourcePadding);
    p.width = source.width();
    p.height = source.height();
    p.stride = static_cast<int>(source.bytesPerLine());
    return p;
}

PaddedPicture PaddedPicture::fromBitmapFile(QByteArray file)
{
    const auto u32 = [&file](int at) { return qFromLittleEndian<quint32>(file.constData() + at); };
    const auto u16 = [&file](int at) { return qFromLittleEndian<quint16>(file.constData() + at); };
    if (file.size() >= 54 && file.startsWith("BM") && u32(14) >= 40 && u16(26) == 1 && u16(28) == 24
        && u32(30) == 0) {
        const qint64 width = qint32(u32(18));
        const qint64 height = qint32(u32(22));
        const qint64 stride = (width * 3 + 3) / 4 * 4;
        const qint64 rows = height < 0 ? -height : height;
        const qint64 offset = u32(10);
        if (width > 0 && width <= 16384 && rows > 0 && rows <= 16384 && offset >= 54
            && offset + stride * rows <= file.size()) {
            PaddedPicture p;
            p.width = int(width);
            p.height = int(rows);
            p.bgr24 = true;
            p.stride = height > 0 ? -int(stride) : int(stride);
            p.top = height > 0 ? offset + stride * (rows - 1) : offset;
            file.resize(file.size() + kSourcePadding, '\0'); // the scaler reads a little past the end
            p.bytes = std::move(file);
            return p;
        }
    }
    return from(QImage::fromData(file, "BMP"));
}

VideoFrame::~VideoFrame() { av_frame_free(&frame_); }

Scaler::~Scaler() { sws_freeContext(context_); }

VideoFrame &VideoFrame::operator=(VideoFrame &&other) noexcept
{
    if (this != &other) {
        av_frame_free(&frame_);
        frame_ = other.frame_;
        other.frame_ = nullptr;
    }
    return *this;
}

VideoFrame AviWriter::convert(const PaddedPicture &source, Scaler &scaler) const
{
    VideoFrame out;
    if (!d_ || !d_->codec || source.isNull())
        return out;
    const AVCodecContext *c = d_->codec;
    SwsContext *previous = scaler.context_;
    scaler.context_ = sws_getCachedContext(previous, source.width, source.height,
                                           source.bgr24 ? AV_PIX_FMT_BGR24 : kSourceFormat, c->width,
                                           c->height, scaleTarget(c->pix_fmt), SWS_BICUBIC, nullptr, nullptr,
                                           nullptr);
    SwsContext *scale = scaler.context_;
    if (!scale)
        return out;
    if (scale != previous && c->color_range == AVCOL_RANGE_JPEG) {
        // Full-range output from full-range RGB: no squeeze into the TV range.
        const int *coeffs = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(scale, coeffs, 1, coeffs, 1, 0, 1 << 16, 1 << 16);
    }
    if (AVFrame *frame = clearedPicture(c)) {
        const uint8_t *src[1] = {reinterpret_cast<const uint8_t *>(source.bytes.constData()) + source.top};
        const int stride[1] = {source.stride};
        sws_scale(scale, src, stride, 0, source.height, frame->data, frame->linesize);
        out.frame_ = frame;
    }
    return out;
}

bool AviWriter::writeFrame(VideoFrame picture)
{
    if (!d_ || !d_->headerWritten)
        return fail(QStringLiteral("The AVI file is not open"), 0);
    if (picture.isNull())
        return fail(QStringLiteral("A picture is missing or could not be converted"), 0);
    AVFrame *frame = picture.frame_;
    frame->pts = frames_;
    if (d_->useQuality)
        frame->quality = d_->globalQuality;
    LogCapture log; // an encoder that refuses a picture may say why only in its log
    const int rc = avcodec_send_frame(d_->codec, frame);
    if (rc < 0)
        return fail(QStringLiteral("The video codec %1 refused a picture").arg(codecName_), rc);
    d_->pictureSent = true;
    if (!drain(false))
        return false;
    ++frames_;
    return true;
}

bool AviWriter::finish()
{
    if (!d_ || !d_->headerWritten)
        return fail(error_.isEmpty() ? QStringLiteral("The AVI file is not open") : error_, 0);
    LogCapture log;
    int rc = avcodec_send_frame(d_->codec, nullptr);
    if (rc < 0 && rc != AVERROR_EOF)
        return fail(QStringLiteral("The video codec %1 failed").arg(codecName_), rc);
    if (!drain(true))
        return false;
    rc = av_write_trailer(d_->format);
    if (rc < 0)
        return fail(QStringLiteral("Could not write the AVI index"), rc);
    d_->headerWritten = false;
    avio_flush(d_->io);
    if (d_->io->error < 0)
        return fail(QStringLiteral("Could not write to the file"), d_->io->error);
    if (d_->out.reset() != 0)
        return fail(QStringLiteral("Could not write to the file"), AVERROR(errno));
    d_.reset();
    return true;
}

void AviWriter::abandon()
{
    // SVT-AV1 waits for the end of the stream when it is closed, and for a picture when it is
    // told the end before it had one: it gets them (the blank picture made at the open), and
    // what comes out is dropped. Other encoders close at once, whatever they hold.
    if (d_ && d_->codec && avcodec_is_open(d_->codec) && closesOnlyAfterEnd(d_->codec->codec)) {
        const bool pictured = d_->pictureSent || (d_->blank && avcodec_send_frame(d_->codec, d_->blank) >= 0);
        const int told = pictured ? avcodec_send_frame(d_->codec, nullptr) : AVERROR(EINVAL);
        if (told >= 0) {
            while (avcodec_receive_packet(d_->codec, d_->packet) >= 0)
                av_packet_unref(d_->packet);
        } else if (told != AVERROR_EOF) { // AVERROR_EOF: finish() told it the end, so it closes
            keepUnclosed(std::exchange(d_->codec, nullptr));
        }
    }
    d_.reset();
}

} // namespace quorvel
