// The export's speed: one capture of a board window holding 100 icons (a recording takes one
// every eighth playback frame, about 127 ms of strat time apart), and 800 captured pictures
// written as Motion JPEG by our writer against the ffmpeg program encoding the same pictures
// with the same codec, quality and pixel format in the same run.
#include "BenchMain.h"
#include "BoardInWindow.h"
#include "export/AviWriter.h"
#include "export/VideoEncodeJob.h"
#include "export/VideoFiles.h"
#include "export/VideoSaveJob.h"
#include "export/WindowCapture.h"
#include "platform/ScriptedPrompts.h"

#include <QPainter>
#include <QProcess>
#include <QEventLoop>
#include <QTemporaryDir>

#include <unistd.h>

#include <benchmark/benchmark.h>

using namespace quorvel;

namespace {

// A hundred icons of every type in rows across the board.
std::vector<tpObjeto> hundredIcons()
{
    std::vector<tpObjeto> icons;
    for (int i = 1; i <= 100; ++i)
        icons.push_back({std::int16_t(i % 14), float(300 + (i % 10) * 1100), float(600 + (i / 10) * 800)});
    return icons;
}

BoardInWindow &board100()
{
    static BoardInWindow b(QStringLiteral("Hundred"), hundredIcons());
    return b;
}

constexpr int kPictures = 800;

// count pictures made from a capture of the board (scaled to the video's size, or as REC
// leaves them), a marker moving over it.
QString makePictures(QTemporaryDir &dir, int count, bool scaled)
{
    QImage board = CaptureFormImage(board100().board);
    if (scaled)
        board = board.scaled(kVideoSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int i = 1; i <= count; ++i) {
        QImage img = board;
        QPainter p(&img);
        p.fillRect(i % 760, 300 + (i % 40), 40, 40, Qt::yellow);
        p.end();
        img.save(QDir(dir.path()).filePath(frameFileName(i)), "BMP");
    }
    return dir.path();
}

// 800 pictures of 800 x 600.
const QString &pictureFolder()
{
    static QTemporaryDir dir;
    static const QString path = makePictures(dir, kPictures, true);
    return path;
}

} // namespace

static void BM_CaptureBoard100Icons(benchmark::State &state)
{
    QWidget *form = board100().board;
    for (auto _ : state)
        benchmark::DoNotOptimize(CaptureFormImage(form));
}
BENCHMARK(BM_CaptureBoard100Icons)->Unit(benchmark::kMillisecond);

// What a recording does for each picture: the capture and its frame file.
static void BM_CaptureAndWriteFrame(benchmark::State &state)
{
    QWidget *form = board100().board;
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(frameFileName(1));
    for (auto _ : state)
        CaptureFormImage(form).save(file, "BMP");
}
BENCHMARK(BM_CaptureAndWriteFrame)->Unit(benchmark::kMillisecond);

static void BM_Mjpeg800_OurWriter(benchmark::State &state)
{
    const QString folder = pictureFolder();
    for (auto _ : state) {
        VideoEncodeJob job(folder, kPictures, QDir(folder).filePath(QStringLiteral("ours.avi")), VideoCodecChoice{});
        job.start();
        job.wait();
        if (!job.succeeded())
            state.SkipWithError("the writer failed");
    }
}
BENCHMARK(BM_Mjpeg800_OurWriter)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

static void BM_Mjpeg800_FfmpegProgram(benchmark::State &state)
{
    const QString folder = pictureFolder();
    const QString q = QString::number(qualityToQScale(VideoCodecChoice().quality));
    for (auto _ : state) {
        QProcess p;
        p.setWorkingDirectory(folder);
        p.start(QStringLiteral("ffmpeg"),
                {"-nostdin", "-v", "error", "-y", "-framerate", "63/8", "-i", "%04d.bmp", "-s", "800x600", "-c:v",
                 "mjpeg", "-q:v", q, "-pix_fmt", "yuvj420p", "theirs.avi"});
        p.waitForFinished(-1);
        if (p.exitCode() != 0)
            state.SkipWithError("ffmpeg failed");
    }
}
BENCHMARK(BM_Mjpeg800_FfmpegProgram)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A 40-second recording: 315 window captures, as REC leaves them in the work folder.
constexpr int kRecording = 315;

const QString &recordingFolder()
{
    static QTemporaryDir dir;
    static const QString path = makePictures(dir, kRecording, false);
    return path;
}

// SAVE end to end: encode, place at the chosen name, clean up (the save deletes the pictures,
// so each round gets them again, linked, outside the timing).
void saveRecording(benchmark::State &state, const QString &name)
{
    const QString master = recordingFolder();
    QTemporaryDir work, out;
    ScriptedPrompts prompts;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= kRecording; ++i) {
            const QByteArray from = QFile::encodeName(QDir(master).filePath(frameFileName(i)));
            const QByteArray to = QFile::encodeName(QDir(work.path()).filePath(frameFileName(i)));
            if (::link(from.constData(), to.constData()) != 0)
                state.SkipWithError("cannot link the pictures");
        }
        QFile::remove(out.filePath(name));
        state.ResumeTiming();
        VideoSaveJob job;
        QEventLoop loop;
        Outcome outcome = Outcome::Failed;
        QObject::connect(&job, &VideoSaveJob::finished, &loop, [&](Outcome o) {
            outcome = o;
            loop.quit();
        });
        job.start({work.path(), kRecording, out.filePath(name), VideoCodecChoice{}, false, nullptr});
        loop.exec();
        if (outcome != Outcome::Done)
            state.SkipWithError("the save failed");
    }
}

void ffmpegFromPictures(benchmark::State &state, const QStringList &codecArgs, const QString &name)
{
    const QString master = recordingFolder();
    QTemporaryDir out;
    for (auto _ : state) {
        QProcess p;
        p.setWorkingDirectory(master);
        p.start(QStringLiteral("ffmpeg"), QStringList{"-nostdin", "-v", "error", "-y", "-framerate", "63/8", "-i",
                                                      "%04d.bmp", "-s", "800x600"}
                                              + codecArgs + QStringList{out.filePath(name)});
        p.waitForFinished(-1);
        if (p.exitCode() != 0)
            state.SkipWithError("ffmpeg failed");
    }
}

static void BM_Save315_Avi_Ours(benchmark::State &state) { saveRecording(state, QStringLiteral("clip.avi")); }
BENCHMARK(BM_Save315_Avi_Ours)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

static void BM_Save315_Avi_FfmpegProgram(benchmark::State &state)
{
    const QString q = QString::number(qualityToQScale(VideoCodecChoice().quality));
    ffmpegFromPictures(state, {"-c:v", "mjpeg", "-q:v", q, "-pix_fmt", "yuvj420p"}, QStringLiteral("clip.avi"));
}
BENCHMARK(BM_Save315_Avi_FfmpegProgram)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

static void BM_Save315_Mp4_Ours(benchmark::State &state) { saveRecording(state, QStringLiteral("clip.mp4")); }
BENCHMARK(BM_Save315_Mp4_Ours)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The same MP4 in one step: the converter's defaults for MP4, in 4:2:0 as ours comes out.
static void BM_Save315_Mp4_FfmpegProgram(benchmark::State &state)
{
    ffmpegFromPictures(state, {"-pix_fmt", "yuv420p"}, QStringLiteral("clip.mp4"));
}
BENCHMARK(BM_Save315_Mp4_FfmpegProgram)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, QUORVEL_PROGRAM_DIR);
}
