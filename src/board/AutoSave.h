#pragma once
// The board's five-minute backup: `AutoSaveTimer` ticks once a minute, status panel 4 counts
// the minutes down and every fifth minute the strat is written to the AutoSaves folder as
// "AutoSave_<title>.qvl"; panel 3 names the last backup.
//
// A board keeps one backup: a new name (the title changed) removes the file of the old one once
// the new one is written, and a board that closes normally (its save question answered)
// removes its backup. A run that crashes leaves its backups, and no later run overwrites or
// removes them: they stay until the user has opened or deleted them.

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

class QLabel;
class QTimer;

namespace quorvel {

class frmMapa;

class BoardAutoSave : public QObject {
    Q_OBJECT
public:
    static constexpr int kMinuteMs = 60000;
    static constexpr int kMinutesBetweenSaves = 5;

    BoardAutoSave(frmMapa &board, QLabel *panel3, QLabel *panel4,
                  const std::array<QString, 14> &keyTexts, QObject *parent = nullptr);
    ~BoardAutoSave() override;

    // The board opened a strat: the countdown starts again at 5.
    void boardLoaded();
    // The board closed: no more backups, its backup file is removed and its name is free for
    // other boards.
    void boardClosed();

    // One minute passed.
    void AutoSaveTimer_Timer();
    // Writes the backup now; false (and panel 3 says so) when it could not be written.
    bool AutoSave(const QString &SaveName);

    // Where backups go: the AutoSaves folder of the program's writable folder.
    static QString folder();
    // The file of the last backup this board wrote ("" before the first).
    const QString &lastFile() const { return lastFile_; }

    QTimer *AutoSaveTimer = nullptr;
    std::int16_t xCounter = 0; // minutes since the last backup
    std::int16_t xSaves = 0;   // backups written by this board

private:
    const QString &key(int n) const { return keyTexts_[static_cast<std::size_t>(n - 29)]; }
    QString claimFileName(const QString &title);
    void releaseFileName();
    void removeLastFile();

    frmMapa &board_;
    QLabel *panel3_ = nullptr;
    QLabel *panel4_ = nullptr;
    const std::array<QString, 14> &keyTexts_;
    QString lastFile_;
};

} // namespace quorvel
