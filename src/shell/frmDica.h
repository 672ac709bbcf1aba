#pragma once
// "Tip of the Day!": one tip at random from Bin/tips.dat (or the file the language pack
// names), "Next Tip" for another, and the box that switches the showing at start-up.

#include "common/CodePage.h"

#include <QDialog>
#include <QStringList>

#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace quorvel {

// The tips file's name: the pack's, when it is a plain file name, else "tips.dat".
QString tipsFileName();
// The code page the tips file is written in: that of the loaded pack's language, Windows-1252
// while no pack is loaded.
CodePage::Id tipsCodePage();
// The tips of a file, one per line; CR LF, LF and CR all end a line, and a final line end
// adds no empty tip. nullopt when the file is missing or cannot be read.
std::optional<QStringList> readTips(const QString &path, CodePage::Id codePage = CodePage::Windows1252);

// The tip as the box shows it: a tip over 1000 characters is cut there and ends in "...".
QString tipForDisplay(const QString &tip);

class frmDica : public QDialog {
    Q_OBJECT
public:
    // Reads the tips at once and shows one; the box shows the "Dicas" setting.
    explicit frmDica(QWidget *parent = nullptr);

    const QStringList &tips() const { return tips_; }

    QLabel *lblTipText = nullptr;
    QCheckBox *chkLoadTipsAtStartup = nullptr;
    QPushButton *cmdNextTip = nullptr;
    QPushButton *cmdOK = nullptr;

private:
    void ShowRandomTip();
    void chkLoadTipsAtStartup_Click(bool checked);

    QStringList tips_;
};

} // namespace quorvel
