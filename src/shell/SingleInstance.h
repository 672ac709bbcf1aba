#pragma once
// One running Quorvel per user. The first process holds a lock file in a folder of the user's
// own; a later start sees the lock, hands its command line over through the queue beside it
// (HandOver), asks the running one to come to the front, and ends. A lock left by a crashed process is
// taken over (its process no longer runs).
//
// The folder is the runtime folder when it is private (a real folder, owned by this user,
// writable by no one else), else "instance" under the user's data folder, made private. A
// folder others can write would let them plant a lock (Quorvel would never start) or a link
// that the hand-over queue is written through. Without any private folder there is no single
// instance: every start runs.

#include <QString>

#include <memory>

class QLockFile;

namespace quorvel {

class SingleInstance {
public:
    explicit SingleInstance(const QString &name = QStringLiteral("Quorvel"));
    ~SingleInstance();
    Q_DISABLE_COPY(SingleInstance)

    // True when this process is the running instance (it holds the lock from now on).
    bool isFirst();

    // A second start: asks the running instance to raise its main window (whatever else stands
    // at the request's name is replaced, as replaceStrayEntry does).
    void requestActivation() const;

    QString lockPath() const;
    QString activationPath() const { return activationRequestPath(name_); }

    // The file whose presence asks the running instance to come to the front.
    static QString activationRequestPath(const QString &name = QStringLiteral("Quorvel"));
    // True (and the request is gone) when a second start asked for the front since last time.
    static bool takeActivationRequest(const QString &path);

    // The folder of the lock and the request file, "" when there is no private one.
    static QString instanceFolder();
    // A real folder (not a link), owned by this user, that no one else can write.
    static bool isPrivateFolder(const QString &path);

private:

    QString name_;
    std::unique_ptr<QLockFile> lock_;
    bool first_ = false;
};

// True when nothing stands at path or a regular file of this user's with no other name: a link
// (never followed), a pipe or another user's file there is removed; a folder is left alone.
bool replaceStrayEntry(const QString &path);

} // namespace quorvel
