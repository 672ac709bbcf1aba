#pragma once
// The update check: Quorvel's version against the one the update server publishes.
//
// The server's address is a build setting (QUORVEL_UPDATE_SERVER) that the environment
// variable of the same name overrides; without one the check is off. Fetches run on the event
// loop through HttpFetch, so nothing waits on the network. The server is not trusted: each
// fetch has a deadline of its own and caps on the headers and the body, so no answer costs
// more than the caps in memory or the deadline in time.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace quorvel {

// The program's version as the about box shows it: major, ".", minor and revision ("4.00").
QString aboutVersionText();
// The version compared with the server's: major, ".", minor ("4.0").
QString localVersionText();

// True when fetched (blanks and line ends trimmed) is a version number wholly, and a newer one
// than local: compared as numbers, so 4.10 is newer than 4.9. Empty or other text never is.
bool isNewerVersion(const QString &local, const QString &fetched);
// The text fetched is a version number (after trimming).
bool isVersionText(const QString &fetched);

// History entries: one per line, LF or CR LF; a final line end adds no empty entry.
QStringList splitHistory(const QString &body);

// Only a web address may be opened from what the server sends.
bool isWebAddress(const QUrl &url);

struct UpdateSource {
    QUrl server; // empty: the check is off
    int timeoutMs = 60000;  // the longest silence of the server
    int deadlineMs = 15000; // the longest a fetch may take in all, headers included
    bool enabled() const { return server.isValid() && isWebAddress(server); }
    // The address of a path on the server ("/where.txt").
    QUrl address(const QString &path) const;
};

// The build setting, or the environment's QUORVEL_UPDATE_SERVER when set.
UpdateSource defaultUpdateSource();

// Fetches texts from the update server. Each fetch ends with exactly one fetched() signal,
// from the event loop: ok only for an HTTP 200 reply within the body cap that arrived whole
// before the time-out and the deadline.
class UpdateClient : public QObject {
    Q_OBJECT
public:
    explicit UpdateClient(const UpdateSource &source, QObject *parent = nullptr);
    ~UpdateClient() override;

    const UpdateSource &source() const { return source_; }
    void fetch(const QString &path);

signals:
    void fetched(const QString &path, bool ok, const QString &body);

private:
    UpdateSource source_;
};

// The keyed texts of the notice and the dialog, from the pack or in English.
QString noticeText();       // "A new version is available." LF "Click here for details."
QString downloadText();     // the dialog's two new-version lines
QString currentText();      // "You have the most current release."
QString couldNotCheckText();
QString noServerText();     // why there is nothing to check against
QString checkingText();

} // namespace quorvel
