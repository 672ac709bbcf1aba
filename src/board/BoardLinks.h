#pragma once
// The board's two ways out to the web: the label `lblSite` with the program's home page, and a
// status panel whose text is a web address. Both open through the safe link opener; the label
// does nothing while a video is recorded (a click then belongs to the recording).

#include <QObject>

class QLabel;
class QWidget;

namespace quorvel {

class PlaybackController;

class BoardLinks : public QObject {
    Q_OBJECT
public:
    static const QString kHomePage;

    // Makes `lblSite` in `parent` and watches the given status panels.
    BoardLinks(QWidget *parent, const PlaybackController &controller, const QList<QLabel *> &panels);

    QLabel *lblSite() const { return lblSite_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const PlaybackController &controller_;
    QLabel *lblSite_ = nullptr;
    QList<QLabel *> panels_;
};

} // namespace quorvel
