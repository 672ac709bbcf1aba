// Video export without a board: the AVI writer checked with ffprobe for every kind of encoder,
// the narration's wave file, and the save of a recording (narration joined with the video
// copied, conversions, and the failures that must say so and lose nothing).
#include "EncoderRuns.h"
#include "TestTools.h"
#include "export/AviWriter.h"
#include "export/Converter.h"
#include "export/Narration.h"
#include "export/VideoEncodeJob.h"
#include "export/VideoFiles.h"
#include "export/VideoSaveJob.h"
#include "export/frmCodec.h"
#include "ScriptedPrompts.h"

#include <QImage>
#include <QRandomGenerator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <future>
#include <thread>

#include <climits>

extern "C" {
#include <libavutil/mem.h>
}

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

using namespace quorvel;

namespace {

// ffprobe's view of a file: its container and streams.
struct Probe {
    QString format;
    double duration = 0;
    QJsonArray streams;
    QJsonObject stream(const QString &type) const
    {
        for (const auto &s : streams)
            if (s.toObject().value("codec_type").toString() == type)
                return s.toObject();
        return {};
    }
};

Probe probe(const QString &file)
{
    const ToolRun r =
        runTool("ffprobe", {"-v", "error", "-count_frames", "-show_format", "-show_streams", "-of", "json", file});
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    Probe p;
    p.format = o.value("format").toObject().value("format_name").toString();
    p.duration = o.value("format").toObject().value("duration").toString().toDouble();
    p.streams = o.value("streams").toArray();
    return p;
}

// A stream's packets copied out unchanged, as a checksum.
QByteArray streamMd5(const QString &file, const QString &which)
{
    return runTool("ffmpeg", {"-v", "error", "-i", file, "-map", which, "-c", "copy", "-f", "md5", "-"}).out.trimmed();
}

// Seconds of sound in a file's first audio stream, decoded.
double audioSeconds(const QString &file)
{
    return runTool("ffmpeg", {"-v", "error", "-i", file, "-map", "0:a:0", "-f", "s16le", "-ac", "2", "-ar", "44100", "-"})
               .out.size()
           / 176400.0;
}

bool decodesCleanly(const QString &file)
{
    return runTool("ffmpeg", {"-v", "error", "-i", file, "-f", "null", "-"}).err.trimmed().isEmpty();
}

// Frame pictures as a recording leaves them: a board-sized picture with a moving square, on a
// plain ground or on a detailed one that stays (as a board's map does).
void writeFrames(const QString &folder, int count, QSize size = QSize(801, 630), bool detailed = false)
{
    for (int i = 1; i <= count; ++i) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(QColor(30, 60, 30));
        QPainter p(&img);
        QRandomGenerator random(7);
        for (int y = 0; detailed && y < size.height() / 4; y += 8)
            for (int x = 0; x < size.width(); x += 8)
                p.fillRect(x, y, 8, 8, QColor::fromRgb(random.generate()));
        p.fillRect(20 + 7 * i, 100, 40, 40, Qt::yellow);
        p.end();
        QVERIFY(img.save(QDir(folder).filePath(frameFileName(i)), "BMP"));
    }
}

// Pictures of random blocks that change every picture: an encoder needs all the bits it is
// given for them.
void writeBusyFrames(const QString &folder, int count)
{
    QRandomGenerator random(7);
    for (int i = 1; i <= count; ++i) {
        QImage img(QSize(800, 600), QImage::Format_RGB32);
        QPainter p(&img);
        for (int y = 0; y < 600; y += 8)
            for (int x = 0; x < 800; x += 8)
                p.fillRect(x, y, 8, 8, QColor::fromRgb(random.generate()));
        p.end();
        QVERIFY(img.save(QDir(folder).filePath(frameFileName(i)), "BMP"));
    }
}

qint64 peakMemoryKb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

void writeWav(const QString &path, double seconds)
{
    WavWriter w;
    QVERIFY(w.open(path, PcmFormat()));
    const int blocks = int(seconds * 44100);
    QByteArray pcm(blocks * 4, '\0');
    for (int i = 0; i < blocks; ++i)
        qToLittleEndian<qint16>(qint16(8000 * std::sin(i * 0.05)), pcm.data() + 4 * i);
    QVERIFY(w.append(pcm));
    QVERIFY(w.finish());
}

class FedSource : public SoundSource {
public:
    bool openable = true;
    bool start(const PcmFormat &, QString *error) override
    {
        if (!openable)
            *error = QStringLiteral("No sound input was found.");
        return openable;
    }
    void stop() override {}
    void feed(const QByteArray &pcm) { emit samples(pcm); }
};

} // namespace

class TestVideo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void encodersOfferMotionJpegFirst();
    void aviFramesRateAndCodec_data();
    void aviFramesRateAndCodec();
    void narrationWaveFile();
    void saves_data();
    void saves();
    void failuresLoseNothing_data();
    void failuresLoseNothing();
    void converterIsFoundInBinFirst();
    void everyListedEncoderWrites_data();
    void everyListedEncoderWrites();
    void dataRateSetsTheSize();
    void trialLeavesWithTheProgram_data();
    void trialLeavesWithTheProgram();
    void codecDialogFollowsTheTrial();
    void nothingWaitsForTheEncoder_data();
    void nothingWaitsForTheEncoder();
    void encoderLeftWithoutItsEndStillEnds_data();
    void encoderLeftWithoutItsEndStillEnds();
    void movieNameThatIsNoFile_data();
    void movieNameThatIsNoFile();
    void copyIntoPlaceStops();
    void converterFloodStaysBounded();

private:
    QTemporaryDir home_;
};

void TestVideo::initTestCase()
{
    if (QStandardPaths::findExecutable("ffprobe").isEmpty() || QStandardPaths::findExecutable("ffmpeg").isEmpty())
        QSKIP("ffmpeg and ffprobe are needed");
    qputenv("QUORVEL_HOME", home_.path().toUtf8());
}

void TestVideo::encodersOfferMotionJpegFirst()
{
    const QList<VideoEncoderInfo> encoders = aviVideoEncoders();
    QVERIFY(!encoders.isEmpty());
    QCOMPARE(encoders.first().name, QStringLiteral("mjpeg"));
    QStringList names;
    for (const auto &e : encoders)
        names << e.name;
    for (const char *needed : {"mpeg4", "ffv1", "rawvideo"})
        QVERIFY2(names.contains(QLatin1String(needed)), needed);
}

void TestVideo::aviFramesRateAndCodec_data()
{
    QTest::addColumn<QString>("encoder");
    QTest::addColumn<int>("keyEvery");
    QTest::newRow("mjpeg") << "mjpeg" << 0;
    QTest::newRow("mpeg4") << "mpeg4" << 4;
    QTest::newRow("ffv1") << "ffv1" << 0;
    QTest::newRow("rawvideo") << "rawvideo" << 0;
}

void TestVideo::aviFramesRateAndCodec()
{
    QFETCH(QString, encoder);
    QFETCH(int, keyEvery);
    QTemporaryDir dir;
    writeFrames(dir.path(), 17);
    const QString movie = dir.filePath("m.avi");
    VideoEncodeJob job(std::make_shared<FramePictures>(dir.path()), 17, movie, VideoCodecChoice{encoder, 80, keyEvery});
    QSignalSpy progress(&job, &VideoEncodeJob::progress);
    QVERIFY(runToEnd(job, 60000));
    QVERIFY2(job.succeeded(), qPrintable(job.error()));
    QCOMPARE(progress.last().first().toInt(), 100);

    const Probe p = probe(movie);
    QCOMPARE(p.format, QStringLiteral("avi"));
    const QJsonObject v = p.stream("video");
    QCOMPARE(v.value("codec_name").toString(), encoder);
    QCOMPARE(v.value("width").toInt(), 800);
    QCOMPARE(v.value("height").toInt(), 600);
    QCOMPARE(v.value("nb_read_frames").toString(), QStringLiteral("17"));
    QCOMPARE(v.value("r_frame_rate").toString(), QStringLiteral("63/8"));
    QVERIFY(qAbs(p.duration - 17 * 8 / 63.0) < 0.01);
    QVERIFY(decodesCleanly(movie));
    // The first picture the right way up and in its colours: the square near the top, yellow.
    const QString png = dir.filePath("first.png");
    QVERIFY(runTool("ffmpeg", {"-v", "error", "-i", movie, "-frames:v", "1", png}).ok);
    const QImage first(png);
    const auto near = [](QColor a, QColor b) {
        return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24;
    };
    QVERIFY(near(first.pixelColor(27 * 800 / 801 + 20, 120 * 600 / 630), Qt::yellow));
    QVERIFY(near(first.pixelColor(400, 500), QColor(30, 60, 30)));
}

void TestVideo::narrationWaveFile()
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(kTempAudio);
    FedSource source;
    Narration narration(&source);
    QString error;
    QVERIFY(narration.start(wav, &error));
    // Two seconds in pieces that split blocks: nothing is lost or shifted.
    QByteArray pcm(2 * 44100 * 4, '\0');
    for (int i = 0; i < pcm.size(); ++i)
        pcm[i] = char(i * 7);
    for (int at = 0; at < pcm.size(); at += 1001)
        source.feed(pcm.mid(at, 1001));
    QVERIFY(narration.stop(&error));
    const Probe p = probe(wav);
    const QJsonObject a = p.stream("audio");
    QCOMPARE(a.value("codec_name").toString(), QStringLiteral("pcm_s16le"));
    QCOMPARE(a.value("channels").toInt(), 2);
    QCOMPARE(a.value("sample_rate").toString(), QStringLiteral("44100"));
    QVERIFY(qAbs(p.duration - 2.0) < 0.001);
    QFile f(wav);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll().mid(44), pcm);

    // An input that cannot be opened says so, and leaves no file.
    source.openable = false;
    QVERIFY(!narration.start(wav + "2", &error));
    QCOMPARE(error, QStringLiteral("No sound input was found."));
    QVERIFY(!QFile::exists(wav + "2"));
}

void TestVideo::saves_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<QString>("format");
    QTest::newRow("avi") << "clip.avi" << false << "avi";
    QTest::newRow("avi with narration") << "clip.AVI" << true << "avi";
    QTest::newRow("mp4") << "clip.mp4" << false << "mov,mp4,m4a,3gp,3g2,mj2";
    QTest::newRow("flv with narration") << "clip.flv" << true << "flv";
}

void TestVideo::saves()
{
    QFETCH(QString, name);
    QFETCH(bool, sound);
    QFETCH(QString, format);
    QTemporaryDir work, out;
    const int frames = 24; // a little over three seconds
    writeFrames(work.path(), frames);
    if (sound)
        writeWav(QDir(work.path()).filePath(kTempAudio), frames * 8 / 63.0);
    // An older file of that name is replaced.
    const QString target = out.filePath(name);
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    ScriptedPrompts prompts;
    VideoSaveJob job;
    QSignalSpy done(&job, &VideoSaveJob::finished);
    job.start({work.path(), frames, target, VideoCodecChoice{}, sound, nullptr});
    QVERIFY(done.wait(60000));
    QCOMPARE(done.first().first().value<Outcome>(), Outcome::Done);
    QCOMPARE(prompts.messageTexts(), QStringList());
    // The recording's files are gone once the video is safe; the folder holds nothing else.
    QCOMPARE(QDir(work.path()).entryList(QDir::Files), QStringList());

    const Probe p = probe(target);
    QCOMPARE(p.format, format);
    const QJsonObject v = p.stream("video");
    QCOMPARE(v.value("nb_read_frames").toString(), QString::number(frames));
    QVERIFY(qAbs(p.duration - frames * 8 / 63.0) < 0.1);
    QCOMPARE(p.stream("audio").isEmpty(), !sound);
    if (sound)
        QVERIFY(qAbs(audioSeconds(target) - frames * 8 / 63.0) < 0.1);
    if (format == QLatin1String("avi")) {
        QCOMPARE(v.value("codec_name").toString(), QStringLiteral("mjpeg"));
        QCOMPARE(v.value("r_frame_rate").toString(), QStringLiteral("63/8"));
        if (sound) {
            // The video stream is the one the writer made, copied and not encoded again.
            QTemporaryDir again;
            writeFrames(again.path(), frames);
            VideoEncodeJob plain(std::make_shared<FramePictures>(again.path()), frames, again.filePath("plain.avi"),
                                 VideoCodecChoice{});
            QVERIFY(runToEnd(plain, 60000) && plain.succeeded());
            QCOMPARE(streamMd5(target, "0:v"), streamMd5(again.filePath("plain.avi"), "0:v"));
        }
    }
    QVERIFY(decodesCleanly(target));
}

void TestVideo::failuresLoseNothing_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("saved");
    QTest::newRow("nothing recorded") << "empty" << "clip.avi" << "There was an error writing the file." << false;
    QTest::newRow("unwritable target") << "target" << "clip.avi" << "There was an error writing the file." << false;
    QTest::newRow("converter missing, mp4") << "noconverter" << "clip.mp4"
                                            << "Required file ffmpeg is missing from the Bin directory." << true;
    QTest::newRow("converter missing, narration") << "noconverter-sound" << "clip.avi"
                                                  << "Required file ffmpeg is missing from the Bin directory." << true;
    QTest::newRow("narration that cannot join, mp4") << "badsound" << "clip.mp4"
                                                     << "An error occurred adding audio to your video file." << true;
    QTest::newRow("unknown format") << "format" << "clip.xyz"
                                    << "An error occurred creating your video file.\r\nTry using a different codec." << false;
    QTest::newRow("cancel during conversion") << "cancel" << "clip.mp4" << "" << false;
    QTest::newRow("target is a pipe") << "fifo" << "clip.avi" << "There was an error writing the file." << false;
    QTest::newRow("playlist format") << "playlist" << "clip.m3u8" << "There was an error writing the file." << false;
    QTest::newRow("a frame is a pipe") << "framefifo" << "clip.avi" << "There was an error writing the file." << false;
}

void TestVideo::failuresLoseNothing()
{
    QFETCH(QString, failure);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(bool, saved);
    QTemporaryDir work, out;
    const int frames = failure == QLatin1String("empty") ? 0 : 12;
    writeFrames(work.path(), frames);
    const bool sound = failure == QLatin1String("noconverter-sound") || failure == QLatin1String("badsound");
    QString why;
    if (failure == QLatin1String("badsound"))
        QVERIFY(writeOwnFile(QDir(work.path()).filePath(kTempAudio), "not a sound", &why));
    else if (sound)
        writeWav(QDir(work.path()).filePath(kTempAudio), 1.5);
    QString target = out.filePath(name);
    if (failure == QLatin1String("target")) {
        QFile blocker(out.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        target = out.filePath("file/clip.avi");
    }
    if (failure == QLatin1String("fifo"))
        QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    if (failure == QLatin1String("framefifo")) {
        // Reading it as a picture would wait for a writer for good.
        const QString frame = QDir(work.path()).filePath(frameFileName(5));
        QFile::remove(frame);
        QCOMPARE(mkfifo(QFile::encodeName(frame).constData(), 0600), 0);
    }
    const QByteArray path = qgetenv("PATH");
    if (failure.startsWith(QLatin1String("noconverter")))
        qputenv("PATH", work.path().toUtf8()); // no ffmpeg there, nor in the program folder
    const QStringList before = QDir(work.path()).entryList(QDir::Files | QDir::System);

    ScriptedPrompts prompts;
    VideoSaveJob job;
    QSignalSpy done(&job, &VideoSaveJob::finished);
    QSignalSpy steps(&job, &VideoSaveJob::stepChanged);
    job.start({work.path(), frames, target, VideoCodecChoice{}, sound, nullptr});
    if (failure == QLatin1String("cancel")) {
        // The converter reads the movie from its first picture on: it runs from the start.
        QVERIFY(job.canCancel());
        job.cancel();
    }
    QVERIFY(!done.isEmpty() || done.wait(60000));
    qputenv("PATH", path);
    QCOMPARE(done.first().first().value<Outcome>() == Outcome::Done, saved);
    QCOMPARE(prompts.messages.isEmpty(), message.isEmpty());
    if (!message.isEmpty())
        QVERIFY2(prompts.messages.first().text.startsWith(message), qPrintable(prompts.messages.first().text));

    if (failure == QLatin1String("badsound")) {
        // The video is made without it, and the narration is kept.
        QCOMPARE(probe(target).stream("video").value("nb_read_frames").toString(), QStringLiteral("12"));
        QVERIFY(probe(target).stream("audio").isEmpty());
        QVERIFY(QFile::exists(QDir(work.path()).filePath(kTempAudio)));
    } else if (failure.startsWith(QLatin1String("noconverter"))) {
        // The AVI is saved all the same: beside the chosen name, or under it without sound.
        const QString avi = out.filePath("clip.avi");
        QCOMPARE(probe(avi).stream("video").value("nb_read_frames").toString(), QStringLiteral("12"));
        QVERIFY(probe(avi).stream("audio").isEmpty());
        // The narration is not in the video: it is kept.
        QCOMPARE(QFile::exists(QDir(work.path()).filePath(kTempAudio)), sound);
    } else {
        // Nothing was saved, and the recording is all there to be saved again.
        QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::System), before);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::System),
                 failure == QLatin1String("target") ? QStringList{"file"}
                 : failure == QLatin1String("fifo") ? QStringList{"clip.avi"}
                                                    : QStringList());
        if (failure == QLatin1String("fifo"))
            QVERIFY(QFileInfo(target).exists() && !QFileInfo(target).isFile()); // still the pipe
    }
}

void TestVideo::converterIsFoundInBinFirst()
{
    const QString onPath = QStandardPaths::findExecutable("ffmpeg");
    QCOMPARE(Converter::program(), onPath); // the program folder has no Bin/ffmpeg
    QVERIFY(QDir(home_.path()).mkpath("Bin"));
    const QString bundled = home_.filePath("Bin/ffmpeg");
    QFile f(bundled);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    f.close();
    QCOMPARE(Converter::program(), onPath); // not executable: not a program
    f.setPermissions(f.permissions() | QFile::ExeOwner);
    QCOMPARE(Converter::program(), bundled);
    QFile::remove(bundled);
    // File names go as single arguments; one that starts with '-' cannot pass for an option.
    const QStringList args = Converter::joinArguments("/w/m v.avi", "-x.wav", "/w/o.avi");
    QVERIFY(args.contains("/w/m v.avi"));
    QVERIFY(args.contains("./-x.wav"));
    QVERIFY(args.contains("copy"));
    QCOMPARE(args.indexOf("-c:v") + 1, args.indexOf("copy"));
}

void TestVideo::everyListedEncoderWrites_data()
{
    QTest::addColumn<QString>("encoder");
    QStringList names;
    for (const VideoEncoderInfo &e : usableVideoEncoders()) {
        names << e.name;
        QTest::newRow(qPrintable(e.name)) << e.name;
    }
    // Those that cannot write this video are not offered.
    for (const char *unfit : {"mpeg1video", "mpeg2video", "h261", "h263", "dvvideo", "amv"})
        QVERIFY2(!names.contains(QLatin1String(unfit)), unfit);
    QCOMPARE(names.value(0), QStringLiteral("mjpeg"));
    // One that will not open says why in words, and names itself.
    QString why;
    QVERIFY(!AviWriter::opensWith({QStringLiteral("mpeg1video")}, kVideoSize, kCaptureRateNum, kCaptureRateDen, &why));
    QVERIFY2(why.contains("fps") || why.contains("frame rate"), qPrintable(why));
}

void TestVideo::everyListedEncoderWrites()
{
    QFETCH(QString, encoder);
    // A few pictures show each control; a rate control needs a few more to follow its rate. The
    // AV1 encoders take seconds over a picture of the recording's size: they get small ones.
    const int count = 4, rateCount = 12;
    const bool slow = QStringList{"libaom-av1", "librav1e", "libsvtav1"}.contains(encoder);
    const QSize size = slow ? QSize(160, 120) : kVideoSize;
    static QTemporaryDir frames;
    if (!QFile::exists(QDir(frames.path()).filePath(frameFileName(rateCount))))
        writeFrames(frames.path(), rateCount, QSize(801, 630), true);
    VideoEncoderInfo info;
    for (const VideoEncoderInfo &e : usableVideoEncoders())
        if (e.name == encoder)
            info = e;
    QTemporaryDir out;
    const VideoCodecChoice plain{encoder}, low{encoder, 10}, keys{encoder, 10, 1};
    const int highRate = std::min(info.minDataRate * 200, kHighestDataRate);
    QList<std::pair<VideoCodecChoice, int>> choices = {{plain, count}, {low, count}, {keys, count},
                                                       {{encoder, 10, 0, info.minDataRate}, rateCount},
                                                       {{encoder, 10, 0, highRate}, rateCount}};
    if (info.minDataRate > kLowestDataRate)
        choices.append({{encoder, 10, 0, kLowestDataRate}, rateCount});
    // All at once, each on a thread of its own. Compared are the pictures as written: the file
    // from its "movi" list on, since the header notes the data rate asked for.
    const auto name = [&](const VideoCodecChoice &c) {
        return out.filePath(QStringLiteral("%1-%2-%3.avi").arg(c.quality).arg(c.bitRate).arg(c.keyFrameEvery));
    };
    std::vector<std::future<QString>> writers;
    for (const auto &[choice, pictures] : choices)
        writers.push_back(std::async(std::launch::async, [&, choice = choice, pictures = pictures] {
            AviWriter w;
            const QByteArray file = QFile::encodeName(name(choice));
            bool ok = w.open(FileDescriptor(::open(file.constData(), O_WRONLY | O_CREAT, 0644)), size, kCaptureRateNum,
                             kCaptureRateDen, choice);
            for (int p = 1; ok && p <= pictures; ++p)
                ok = w.writeFrame(QImage(QDir(frames.path()).filePath(frameFileName(p))));
            return ok && w.finish() ? QString() : w.error();
        }));
    QList<QByteArray> written;
    for (std::future<QString> &writer : writers) {
        const QString why = writer.get();
        QFile file(name(choices.at(written.size()).first));
        QVERIFY2(why.isEmpty() && file.open(QIODevice::ReadOnly), qPrintable(why));
        const QByteArray bytes = file.readAll();
        written << bytes.mid(bytes.indexOf("movi"));
    }
    const QString movie = name(plain);
    const ToolRun read = runTool("ffmpeg", {"-v", "error", "-i", movie, "-f", "null", "-"});
    QVERIFY2(read.ok && read.err.trimmed().isEmpty(), read.err.constData());
    QCOMPARE(probe(movie).stream("video").value("nb_read_frames").toString(), QString::number(count));

    // The codec dialog offers a control exactly when two of its settings write different files
    // (key frames and data rates at the low quality, which is quicker to write).
    const auto differ = [&](int one, int other) { return written[one] != written[other]; };
    QCOMPARE(differ(0, 1), info.usesQuality);
    QCOMPARE(differ(1, 2), info.usesKeyFrames);
    QCOMPARE(differ(3, 4), info.usesDataRate);
    // A rate below what it can write at is raised to that, not refused picture by picture.
    QVERIFY(written.size() < 6 || written[5] == written[3]);
}

void TestVideo::dataRateSetsTheSize()
{
    QTemporaryDir dir;
    writeBusyFrames(dir.path(), 40);
    const double seconds = 40 * 8 / 63.0;
    QList<qint64> sizes;
    for (int kbps : {3000, 9000}) {
        const QString movie = dir.filePath(QStringLiteral("m%1.avi").arg(kbps));
        VideoCodecChoice choice{QStringLiteral("mpeg4")};
        choice.bitRate = kbps;
        VideoEncodeJob job(std::make_shared<FramePictures>(dir.path()), 40, movie, choice);
        QVERIFY(runToEnd(job, 120000) && job.succeeded());
        sizes << QFileInfo(movie).size();
        const double expected = kbps * 1000.0 / 8 * seconds;
        QVERIFY2(qAbs(sizes.last() - expected) < expected * 0.35,
                 qPrintable(QStringLiteral("%1 kbit/s: %2 bytes, %3 expected").arg(kbps).arg(sizes.last()).arg(expected)));
    }
    QVERIFY(sizes[1] > sizes[0] * 2);
}

void TestVideo::trialLeavesWithTheProgram_data()
{
    QTest::addColumn<bool>("whole");
    QTest::newRow("quit at once") << false;
    QTest::newRow("quit after the whole trial") << true;
}

void TestVideo::trialLeavesWithTheProgram()
{
    QFETCH(bool, whole);
    QProcess helper;
    helper.start(QUORVEL_TRIAL_HELPER, whole ? QStringList{"whole"} : QStringList());
    QVERIFY(helper.waitForFinished(300000));
    QCOMPARE(helper.exitCode(), 0);
    const QList<QByteArray> counts = helper.readAllStandardOutput().trimmed().split(' ');
    QCOMPARE(counts.size(), 2);
    const int tried = counts[0].toInt(), total = counts[1].toInt();
    QVERIFY(total > 10);
    // The exit stopped the trial after the encoder it was on; no encoder prints on the terminal.
    QVERIFY2(whole ? tried == total : tried < total / 2, counts.join(' ').constData());
    QCOMPARE(helper.readAllStandardError(), QByteArray());
}

void TestVideo::codecDialogFollowsTheTrial()
{
    EncoderTrial trial;
    frmCodec dialog(trial);
    QVERIFY(!trial.hasEnded()); // it opened without waiting for the trial
    QVERIFY(dialog.lblTrial->isVisibleTo(&dialog));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.lblTrial->isVisibleTo(&dialog), 120000);
    const QList<VideoEncoderInfo> usable = usableVideoEncoders();
    QCOMPARE(dialog.cboCompressor->count(), usable.size());
    QCOMPARE(dialog.cboCompressor->currentData().toString(), QStringLiteral("mjpeg"));
    // Each encoder offers the controls that change its output, and the data rates it can write.
    dialog.show();
    dialog.cboCompressor->setFocus();
    QTest::mouseClick(dialog.chkDataRate, Qt::LeftButton, {}, dialog.chkDataRate->rect().center());
    QVERIFY(dialog.chkDataRate->isChecked());
    for (const VideoEncoderInfo &e : usable) {
        QCOMPARE(dialog.cboCompressor->currentData().toString(), e.name);
        QCOMPARE(dialog.chkKeyFrame->isEnabled(), e.usesKeyFrames);
        QCOMPARE(dialog.chkDataRate->isEnabled(), e.usesDataRate);
        QCOMPARE(dialog.txtDataRate->isEnabled(), e.usesDataRate);
        QCOMPARE(dialog.sldQuality->isEnabled(), e.usesQuality && !e.usesDataRate);
        QCOMPARE(dialog.txtDataRate->minimum(), e.minDataRate);
        QTest::keyClick(dialog.cboCompressor, Qt::Key_Down);
    }
}

void TestVideo::nothingWaitsForTheEncoder_data()
{
    QTest::addColumn<QString>("encoder");
    QTest::addColumn<QString>("name");
    QTest::newRow("libx264") << "libx264" << "held.avi";
    QTest::newRow("libx264 to MP4") << "libx264" << "held.mp4";
    QTest::newRow("SVT-AV1") << "libsvtav1" << "held.avi";
}

void TestVideo::nothingWaitsForTheEncoder()
{
    QFETCH(QString, encoder);
    QFETCH(QString, name);
    if (!AviWriter::opensWith({encoder}, kVideoSize, kCaptureRateNum, kCaptureRateDen))
        QSKIP("the encoder is not offered here");
    const int ending = 120000; // for threads that end by themselves: a bound only against a hang
    QVERIFY(QTest::qWaitFor([] { return VideoEncodeJob::liveWorks() == 0; }, ending)); // earlier cases'
    QTemporaryDir work, out;
    writeFrames(work.path(), 6);
    const QStringList before = QDir(work.path()).entryList(QDir::Files);
    const QString target = out.filePath(name);
    auto pictures = std::make_shared<HeldPictures>(work.path());
    const VideoSaveRequest request{work.path(), 6, target, {encoder}, false, nullptr, pictures};
    ScriptedPrompts prompts;
    VideoSaveJob job;
    QSignalSpy done(&job, &VideoSaveJob::finished);
    QSignalSpy status(&job, &VideoSaveJob::status);
    // SAVE and CANCEL three times while the encoder is held: each end is told at once (a killed
    // converter's end aside), and the later saves wait for the held encoder and say so.
    job.start(request);
    QVERIFY(pictures->asked());
    for (int save = 1; save <= 3; ++save) {
        if (save > 1) {
            job.start(request);
            QCOMPARE(status.last().first().toString(), QStringLiteral("Waiting for the cancelled save to end"));
        }
        job.cancel();
        QVERIFY(!job.canCancel());
        QVERIFY(done.size() == save || done.wait(ending));
        QCOMPARE(done.last().first().value<Outcome>(), Outcome::Cancelled);
    }
    QCOMPARE(VideoEncodeJob::liveWorks(), 1);
    QVERIFY2(pictures->held(), "the encoder's thread was waited for");
    QCOMPARE(prompts.messageTexts(), QStringList());
    QVERIFY(!QFile::exists(target));
    QCOMPARE(QDir(work.path()).entryList(QDir::Files), before); // the recording stays for another SAVE
    // Let go, the held thread ends (SVT-AV1 too, told the end after a picture), and a save that
    // waited for it then writes a whole movie.
    job.start(request);
    pictures->release();
    QVERIFY(done.wait(ending));
    QCOMPARE(done.last().first().value<Outcome>(), Outcome::Done);
    QCOMPARE(probe(target).stream("video").value("nb_read_frames").toString(), QStringLiteral("6"));
}

void TestVideo::encoderLeftWithoutItsEndStillEnds_data()
{
    QTest::addColumn<int>("cap");
    QTest::addColumn<bool>("kept");
    // In this order: the second keeps its encoder for the rest of the process.
    QTest::newRow("no memory for a picture") << 64 * 1024 << false;
    QTest::newRow("no memory for the end's packet") << 64 << true;
}

void TestVideo::encoderLeftWithoutItsEndStillEnds()
{
    // SVT-AV1, cancelled before its first picture, closes only once it has had one and the end
    // of its stream. With libavutil's allocations capped below a picture, the blank one made at
    // the open still goes; capped below anything, the end cannot be told, and the encoder is
    // kept. Either way the cancelled work ends, so that the SAVE waiting for it goes on, its old
    // work no longer counted; but no second encoder is kept: that save and later ones with the
    // codec say why they cannot start.
    QFETCH(int, cap);
    QFETCH(bool, kept);
    if (!AviWriter::opensWith({"libsvtav1"}, kVideoSize, kCaptureRateNum, kCaptureRateDen))
        QSKIP("the encoder is not offered here");
    const int ending = 120000; // a bound only against a hang
    QVERIFY(QTest::qWaitFor([] { return VideoEncodeJob::liveWorks() == 0; }, ending)); // earlier tests'
    QTemporaryDir work, out;
    writeFrames(work.path(), 2);
    const QStringList before = QDir(work.path()).entryList(QDir::Files);
    auto pictures = std::make_shared<HeldPictures>(work.path());
    const VideoSaveRequest request{work.path(), 2, out.filePath("held.avi"), {"libsvtav1"}, false, nullptr, pictures};
    ScriptedPrompts prompts;
    VideoSaveJob job;
    QSignalSpy done(&job, &VideoSaveJob::finished);
    job.start(request);
    QVERIFY(pictures->asked());
    job.cancel();
    job.start(request); // waits for the cancelled save's encoder
    // INT_MAX is libavutil's own limit: the waiting save's encoder gets what it needs.
    const auto restore = qScopeGuard([] { av_max_alloc(INT_MAX); });
    int liveWhenBegun = -1;
    connect(&job, &VideoSaveJob::status, &job, [&](const QString &text) {
        if (text != QLatin1String("0%") || liveWhenBegun >= 0)
            return;
        av_max_alloc(INT_MAX);
        liveWhenBegun = VideoEncodeJob::liveWorks();
    });
    av_max_alloc(cap);
    pictures->release();
    QVERIFY(done.wait(ending) && done.size() == 2);
    QCOMPARE(liveWhenBegun, 0);
    QCOMPARE(done.last().first().value<Outcome>(), kept ? Outcome::Failed : Outcome::Done);
    if (kept) {
        job.start(request); // refused at once, no encoder started
        QCOMPARE(done.size(), 3);
        QCOMPARE(VideoEncodeJob::liveWorks(), 0);
        QCOMPARE(QDir(work.path()).entryList(QDir::Files), before);
    }
    QCOMPARE(prompts.messages.size(), kept ? 2 : 0);
    for (const QString &text : prompts.messageTexts())
        QVERIFY2(text.startsWith("There was an error writing the file.\n\nThe video codec ")
                     && text.contains("(libsvtav1) cannot be used again until Quorvel is restarted"),
                 qPrintable(text));
}

void TestVideo::movieNameThatIsNoFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("link to a file") << "link";
    QTest::newRow("link to nothing") << "dangling";
    QTest::newRow("pipe") << "pipe";
}

void TestVideo::movieNameThatIsNoFile()
{
    // What stands under the movie's name is neither written through nor waited on (a pipe that
    // were would hang the test): the movie is refused, and says where.
    QFETCH(QString, kind);
    QTemporaryDir work, elsewhere;
    writeFrames(work.path(), 2);
    const QString movie = work.filePath(kTempMovie), outside = elsewhere.filePath("outside.avi");
    QString why;
    if (kind == QLatin1String("link"))
        QVERIFY(writeOwnFile(outside, "keep", &why));
    if (kind == QLatin1String("pipe"))
        QCOMPARE(mkfifo(QFile::encodeName(movie).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(outside, movie));
    VideoEncodeJob job(std::make_shared<FramePictures>(work.path()), 2, movie, VideoCodecChoice{});
    QVERIFY(runToEnd(job, 60000));
    QVERIFY(!job.succeeded());
    QVERIFY2(job.error().contains(QDir::toNativeSeparators(movie)), qPrintable(job.error()));
    QFile kept(outside);
    QCOMPARE(kept.open(QIODevice::ReadOnly) ? kept.readAll() : QByteArray(), kind == "link" ? "keep" : "");
}

void TestVideo::copyIntoPlaceStops()
{
    // A chosen name on another volume than the work folder: the movie is copied into place, and
    // the program's exit stops the copy after the block in hand. The movie comes through a pipe
    // here, so that the stop falls between two of its blocks.
    QTemporaryDir work, other(QStringLiteral("/dev/shm/copy-XXXXXX"));
    struct stat here {}, there {};
    if (!other.isValid() || ::stat(QFile::encodeName(work.path()).constData(), &here) != 0
        || ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 || here.st_dev == there.st_dev)
        QSKIP("no second volume to copy across");
    const QString source = work.filePath(kTempMovie), target = other.filePath("clip.avi");
    QString why;
    QVERIFY(writeOwnFile(target, "old", &why));
    QCOMPARE(mkfifo(QFile::encodeName(source).constData(), 0600), 0);
    const int feed = ::open(QFile::encodeName(source).constData(), O_RDWR);
    const QByteArray block(4096, 'm');
    QCOMPARE(::write(feed, block.constData(), block.size()), ssize_t(block.size()));
    std::atomic<bool> stop{false}, over{false};
    bool moved = true;
    std::thread mover([&] {
        moved = moveFileInto(source, target, &why, &stop);
        over = true;
    });
    // The first block is taken, then the stop set, then the rest of the movie comes.
    for (int queued = 1; queued > 0 && !over; std::this_thread::yield())
        ::ioctl(feed, FIONREAD, &queued);
    stop = true;
    for (int i = 0; i < 3; ++i)
        if (::write(feed, block.constData(), block.size()) < 0)
            break;
    ::close(feed);
    mover.join();
    QVERIFY(!moved);
    QFile kept(target);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("old"));
    QCOMPARE(QDir(other.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"clip.avi"});
}

void TestVideo::converterFloodStaysBounded()
{
    // A converter that floods both streams with endless lines: 150 MB each, then fails.
    QVERIFY(QDir(home_.path()).mkpath("Bin"));
    const QString fake = home_.filePath("Bin/ffmpeg");
    QFile f(fake);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n"
            "echo out_time_us=500000\n"
            "head -c 150000000 /dev/zero | tr '\\0' e >&2 &\n"
            "head -c 150000000 /dev/zero | tr '\\0' o\n"
            "printf '\\nout_time_us=1000000\\n'\n"
            "wait\nexit 1\n");
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner);
    QTemporaryDir dir;
    const qint64 before = peakMemoryKb();
    Converter converter;
    QSignalSpy progress(&converter, &Converter::progress);
    QSignalSpy done(&converter, &Converter::finished);
    QVERIFY(converter.start({}, dir.filePath("out.mp4"), 2.0));
    QVERIFY(done.wait(120000));
    QFile::remove(fake);
    const JobOutcome outcome = done.first().first().value<JobOutcome>();
    QCOMPARE(outcome.outcome, Outcome::Failed);
    QVERIFY(outcome.detail.size() <= kConverterErrorTail);
    QVERIFY(outcome.detail.endsWith("eeee"));
    // Progress still read around the endless line, which was dropped.
    QCOMPARE(progress.size(), 2);
    QCOMPARE(progress.last().first().toInt(), 50);
    QVERIFY2(peakMemoryKb() - before < 60 * 1024, qPrintable(QString::number(peakMemoryKb() - before)));
}

QTEST_MAIN(TestVideo)
#include "tst_video.moc"
