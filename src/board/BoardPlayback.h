#pragma once
// The board's playback controls as a mirror of its PlaybackController: the Play/Stop `picGO`,
// Play/Edit `Picture1`, pause `picPause`, slow motion `picSlow` and the never-offered reverse
// `picReverse`, the speed slider `Slider1`, the time slider `Slider2`, the clock labels and
// status panels 1 and 2. Clicks and slider moves go to the controller; faces, tooltips,
// positions, texts and the scene follow its signals. Nothing here is read back.

#include <QObject>
#include <QPixmap>
#include <QString>

#include <array>
#include <map>

class QLabel;
class QSlider;

namespace quorvel {

class BoardDocument;
class BoardHost;
class BoardScene;
class PlaybackController;
enum class PlayMode;

// The board's controls that playback drives.
struct PlaybackControls {
    QLabel *picGO = nullptr;
    QLabel *Picture1 = nullptr;
    QLabel *picPause = nullptr;
    QLabel *picSlow = nullptr;
    QLabel *picReverse = nullptr;
    QLabel *lblRoundTime = nullptr;
    QLabel *lblFrame = nullptr;
    QLabel *lblSegs = nullptr;
    QLabel *lblMaxTime = nullptr;
    QSlider *Slider1 = nullptr;
    QSlider *Slider2 = nullptr;
    QLabel *panel1 = nullptr; // StatusBar1 panel 1: the mode
    QLabel *panel2 = nullptr; // panel 2: the speed
};

class BoardPlayback : public QObject {
    Q_OBJECT
public:
    // keyTexts: the board's s0029..s0042, read when used (a language pack may change them).
    BoardPlayback(PlaybackController &controller, BoardDocument &document, BoardScene &scene, BoardHost &host,
                  const PlaybackControls &controls, const std::array<QString, 14> &keyTexts,
                  QObject *parent = nullptr);
    ~BoardPlayback() override;

    PlaybackController &controller() const { return controller_; }

    // The controls' handlers; the board's keys F2 to F5 call the same.
    void picGO_Click();
    void Picture1_Click();
    void picPause_Click();
    void picSlow_Click();
    void picReverse_Click();

    // The face a control shows ("picplay", "picstop", ...): the identity test of the controls.
    static QString face(const QLabel *control);

private:
    void modeChanged(PlayMode mode, PlayMode from);
    void showPanel1();
    void showSlowMotion(bool slow);
    void showClockLabels();
    void showFrame(int frame);
    void showLength(int seconds, bool longerThanRound);
    void showSecond(int second);
    void setFace(QLabel *control, const QString &faceName);
    void placeButton(QLabel *control, int leftTwips);
    void showAllPaths(bool visible);
    const QString &key(int n) const { return keyTexts_[static_cast<std::size_t>(n - 29)]; }
    QString keyedStopText() const;

    PlaybackController &controller_;
    BoardDocument &document_;
    BoardScene &scene_;
    BoardHost &host_;
    PlaybackControls c_;
    const std::array<QString, 14> &keyTexts_;
    std::map<QString, QPixmap> faces_;
};

} // namespace quorvel
