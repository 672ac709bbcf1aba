// The export's speed: one capture of a board window holding 100 icons (a recording takes one
// every eighth playback frame, about 127 ms of strat time apart), 800 captured pictures written
// as Motion JPEG by our writer against the ffmpeg program encoding the same pictures with the
// same codec, quality and pixel format, and SAVE to AVI and MP4 against the ffmpeg program
// making the same file from the same pictures, the two in turn in every repetition.
#include "BenchMain.h"
#include "BoardInWindow.h"
#include "export/AviWriter.h"
#include "export/VideoEncodeJob.h"
#include "export/VideoFiles.h"
#include "export/VideoSaveJob.h"
#include "export/WindowCapture.h"
#include "ScriptedPrompts.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QEventLoop>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

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
    // Never destroyed: a window may not outlive the application, which ends first.
    static BoardInWindow *b = new BoardInWindow(QStringLiteral("Hundred"), hundredIcons());
    return *b;
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

// Our writer and the ffmpeg program in turn in every repetition: the time is ours, the ratio
// beside it.
static void BM_Mjpeg800_AgainstFfmpeg(benchmark::State &state)
{
    const QString folder = pictureFolder();
    const QString q = QString::number(qualityToQScale(VideoCodecChoice().quality));
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        VideoEncodeJob job(std::make_shared<FramePictures>(folder), kPictures,
                           QDir(folder).filePath(QStringLiteral("ours.avi")), VideoCodecChoice{});
        QEventLoop loop;
        QObject::connect(&job, &VideoEncodeJob::finished, &loop, &QEventLoop::quit);
        job.start();
        loop.exec();
        const double ours = clock.nsecsElapsed() / 1e9;
        clock.restart();
        QProcess p;
        p.setWorkingDirectory(folder);
        p.start(QStringLiteral("ffmpeg"),
                {"-nostdin", "-v", "error", "-y", "-framerate", "63/8", "-i", "%04d.bmp", "-s", "800x600", "-c:v",
                 "mjpeg", "-q:v", q, "-pix_fmt", "yuvj420p", "theirs.avi"});
        p.waitForFinished(-1);
        const double theirs = clock.nsecsElapsed() / 1e9;
        if (!job.succeeded() || p.exitCode() != 0) {
            state.SkipWithError("the writer or ffmpeg failed");
            return;
        }
        state.SetIterationTime(ours);
        state.counters["ffmpeg_ms"] = theirs * 1000;
        state.counters["ratio"] = ours / theirs;
    }
}
BENCHMARK(BM_Mjpeg800_AgainstFfmpeg)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

// Recordings of 100, 300 and 1,000 window captures (13 to 127 seconds), as REC leaves them in
// the work folder: the first n of one folder of captures.
constexpr int kLongestRecording = 1000;

const QString &recordingFolder()
{
    static QTemporaryDir dir;
    static const QString path = makePictures(dir, kLongestRecording, false);
    return path;
}

// The first count captures linked into work (a save deletes its pictures).
bool linkRecording(const QString &work, int count)
{
    const QString master = recordingFolder();
    for (int i = 1; i <= count; ++i) {
        const QByteArray from = QFile::encodeName(QDir(master).filePath(frameFileName(i)));
        const QByteArray to = QFile::encodeName(QDir(work).filePath(frameFileName(i)));
        if (::link(from.constData(), to.constData()) != 0)
            return false;
    }
    return true;
}

// SAVE end to end: encode, convert when asked, place at the chosen name, clean up. Seconds, or
// a negative number when it failed.
double saveRecording(const QString &work, int count, const QString &target)
{
    VideoSaveJob job;
    QEventLoop loop;
    Outcome outcome = Outcome::Failed;
    QObject::connect(&job, &VideoSaveJob::finished, &loop, [&](Outcome o) {
        outcome = o;
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    job.start({work, count, target, VideoCodecChoice{}, false, nullptr});
    loop.exec();
    return outcome == Outcome::Done ? clock.nsecsElapsed() / 1e9 : -1;
}

// The ffmpeg program making the same file from the same pictures in one step.
double ffmpegFromPictures(const QString &work, const QStringList &codecArgs, const QString &target)
{
    QElapsedTimer clock;
    clock.start();
    QProcess p;
    p.setWorkingDirectory(work);
    p.start(QStringLiteral("ffmpeg"), QStringList{"-nostdin", "-v", "error", "-y", "-framerate", "63/8", "-i",
                                                  "%04d.bmp", "-s", "800x600"}
                                          + codecArgs + QStringList{target});
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? clock.nsecsElapsed() / 1e9 : -1;
}

// Ours and the ffmpeg program in every repetition, the order swapped from one to the next, so
// that a load that comes and goes on a shared machine falls on both: the time is ours, with
// ffmpeg's, their ratio and the load average beside it.
void saveAgainstFfmpeg(benchmark::State &state, const QString &suffix, const QStringList &ffmpegArgs)
{
    const int count = int(state.range(0));
    static int round = 0;
    ScriptedPrompts prompts;
    for (auto _ : state) {
        QTemporaryDir work, out;
        const QString target = out.filePath(QStringLiteral("clip.") + suffix);
        double ours = -1, theirs = -1;
        for (int turn = 0; turn < 2; ++turn) {
            if (!linkRecording(work.path(), count)) {
                state.SkipWithError("cannot link the pictures");
                return;
            }
            QFile::remove(target);
            if ((turn == 0) == (round % 2 == 0))
                ours = saveRecording(work.path(), count, target);
            else
                theirs = ffmpegFromPictures(work.path(), ffmpegArgs, target);
            deleteFrameFiles(work.path());
        }
        ++round;
        if (ours < 0 || theirs < 0) {
            state.SkipWithError(ours < 0 ? "the save failed" : "ffmpeg failed");
            return;
        }
        double load[1] = {0};
        getloadavg(load, 1);
        state.SetIterationTime(ours);
        state.counters["ffmpeg_ms"] = theirs * 1000;
        state.counters["ratio"] = ours / theirs;
        state.counters["load"] = load[0];
    }
}

static void BM_Save_Avi_AgainstFfmpeg(benchmark::State &state)
{
    const QString q = QString::number(qualityToQScale(VideoCodecChoice().quality));
    saveAgainstFfmpeg(state, QStringLiteral("avi"), {"-c:v", "mjpeg", "-q:v", q, "-pix_fmt", "yuvj420p"});
}

// The same MP4 in one step: the converter's defaults for MP4, in 4:2:0 as ours comes out.
static void BM_Save_Mp4_AgainstFfmpeg(benchmark::State &state)
{
    saveAgainstFfmpeg(state, QStringLiteral("mp4"), {"-pix_fmt", "yuv420p"});
}

double minimum(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }
double maximum(const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); }

BENCHMARK(BM_Save_Avi_AgainstFfmpeg)
    ->Arg(100)->Arg(300)->Arg(1000)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseManualTime()
    ->ComputeStatistics("min", minimum)->ComputeStatistics("max", maximum);
BENCHMARK(BM_Save_Mp4_AgainstFfmpeg)
    ->Arg(100)->Arg(300)->Arg(1000)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseManualTime()
    ->ComputeStatistics("min", minimum)->ComputeStatistics("max", maximum);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, QUORVEL_PROGRAM_DIR);
}
