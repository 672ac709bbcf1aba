#include "export/EncoderSettings.h"

#include "common/DebugLog.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

namespace quorvel {

namespace {

enum Control : unsigned { Quality = 1, DataRate = 2, KeyFrames = 4 };

// Where the quality slider goes.
enum class Scale {
    QScale,  // the generic quantiser scale, 31 (worst) to 2, carried by every frame
    Lambda,  // global_quality in quantiser units from worst to best (Theora reads it as 0..10)
    Option,  // the encoder's own option, from worst to best
};

struct Entry {
    const char *name;
    unsigned controls;
    Scale scale = Scale::QScale;
    const char *option = nullptr;
    int worst = 0;
    int best = 0;
    int minDataRate = kLowestDataRate;
    bool rateBoundsQuality = false; // its constant quality stays under a bit rate: give it room
};

// Measured on a recording: the encoders whose controls differ from the rule for their kind
// (a lossy encoder takes the quantiser scale and a bit rate; a lossless one neither; one that
// codes frames from others takes a key-frame distance).
constexpr Entry kEncoders[] = {
    {"asv1", Quality},
    {"asv2", Quality},
    {"cinepak", Quality | KeyFrames},
    {"svq1", Quality | KeyFrames},
    {"snow", Quality | KeyFrames},
    {"jpeg2000", Quality},
    {"msvideo1", 0},
    {"rpza", 0},
    {"cljr", 0},
    {"jpegls", 0},
    {"zmbv", 0},
    {"png", 0},
    {"cfhd", Quality, Scale::Option, "quality", 12, 0},
    {"libopenjpeg", Quality, Scale::Option, "compression_level", 100, 2},
    // Below about 220 kbit/s a picture no longer fits its slices and is refused.
    {"vc2", DataRate, Scale::QScale, nullptr, 0, 0, 1000},
    {"libtheora", Quality | DataRate | KeyFrames, Scale::Lambda, nullptr, 0, 10},
    {"libx264", Quality | DataRate | KeyFrames, Scale::Option, "crf", 51, 0},
    {"libx264rgb", Quality | DataRate | KeyFrames, Scale::Option, "crf", 51, 0},
    {"libvpx", Quality | DataRate | KeyFrames, Scale::Option, "crf", 63, 0, kLowestDataRate, true},
    {"libvpx-vp9", Quality | DataRate | KeyFrames, Scale::Option, "crf", 63, 0},
    {"libaom-av1", Quality | DataRate | KeyFrames, Scale::Option, "crf", 63, 0},
    {"libsvtav1", Quality | DataRate | KeyFrames, Scale::Option, "crf", 63, 1},
    {"librav1e", Quality | DataRate | KeyFrames, Scale::Option, "qp", 255, 0},
};

Entry entryFor(const AVCodec *codec)
{
    for (const Entry &e : kEncoders)
        if (std::strcmp(e.name, codec->name) == 0)
            return e;
    const AVCodecDescriptor *desc = avcodec_descriptor_get(codec->id);
    const bool lossless = desc && (desc->props & AV_CODEC_PROP_LOSSLESS) && !(desc->props & AV_CODEC_PROP_LOSSY);
    const bool lossy = !lossless && codec->id != AV_CODEC_ID_RAWVIDEO;
    unsigned controls = lossy ? Quality | DataRate : 0;
    if (desc && !(desc->props & AV_CODEC_PROP_INTRA_ONLY))
        controls |= KeyFrames;
    return {codec->name, controls, Scale::QScale, nullptr, 31, 2};
}

thread_local QString *logCapture = nullptr;

void routeLog(void *avcl, int level, const char *format, va_list args)
{
    if (level > AV_LOG_INFO)
        return;
    char line[512];
    int prefix = 1;
    av_log_format_line(avcl, level, format, args, line, sizeof line, &prefix);
    const QString text = QString::fromUtf8(line).trimmed();
    if (text.isEmpty())
        return;
    if (logCapture && level <= AV_LOG_ERROR && logCapture->size() < 2000)
        *logCapture += (logCapture->isEmpty() ? QString() : QStringLiteral("; ")) + text;
    if (debugEnabled())
        GravaDebug(QStringLiteral("libav: ") + text);
}

// SVT-AV1 prints its banner and settings itself, on every start of the encoder; what matters
// of it reaches the log through libavcodec. Set before any encoder starts, unless the user asked
// for a level of their own.
[[maybe_unused]] const bool svtQuiet = [] {
    if (!qEnvironmentVariableIsSet("SVT_LOG"))
        qputenv("SVT_LOG", "0");
    return true;
}();

} // namespace

void routeLibraryLogs()
{
    static std::once_flag installed;
    std::call_once(installed, [] { av_log_set_callback(routeLog); });
}

LogCapture::LogCapture()
{
    routeLibraryLogs();
    logCapture = &text;
}

LogCapture::~LogCapture() { logCapture = nullptr; }

QString LogCapture::current() { return logCapture ? *logCapture : QString(); }

VideoEncoderInfo encoderInfo(const AVCodec *codec)
{
    const Entry e = entryFor(codec);
    VideoEncoderInfo info;
    info.name = QString::fromLatin1(codec->name);
    info.description = QString::fromUtf8(codec->long_name ? codec->long_name : codec->name);
    info.usesQuality = e.controls & Quality;
    info.usesDataRate = e.controls & DataRate;
    info.usesKeyFrames = e.controls & KeyFrames;
    info.minDataRate = e.minDataRate;
    return info;
}

bool closesOnlyAfterEnd(const AVCodec *codec) { return codec && std::strcmp(codec->name, "libsvtav1") == 0; }

int applyCodecChoice(AVCodecContext *c, const AVCodec *codec, const VideoCodecChoice &choice)
{
    // Each setting goes where the encoder's entry says; whether it changes the file is what
    // the dialog offers.
    const Entry e = entryFor(codec);
    if (choice.keyFrameEvery > 0)
        c->gop_size = choice.keyFrameEvery;
    if (choice.bitRate > 0) {
        c->bit_rate = qint64(std::clamp(choice.bitRate, e.minDataRate, kHighestDataRate)) * 1000;
        return 0;
    }
    const int quality = std::clamp(choice.quality, 0, 100);
    switch (e.scale) {
    case Scale::QScale:
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * qualityToQScale(quality);
        return c->global_quality;
    case Scale::Lambda:
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = int(std::lrint(FF_QP2LAMBDA * (e.worst + (e.best - e.worst) * quality / 100.0)));
        return c->global_quality;
    case Scale::Option:
        av_opt_set_int(c, e.option, std::lrint(e.worst + (e.best - e.worst) * quality / 100.0),
                       AV_OPT_SEARCH_CHILDREN);
        if (e.rateBoundsQuality)
            c->bit_rate = qint64(kHighestDataRate) * 1000;
        return 0;
    }
    return 0;
}

} // namespace quorvel
