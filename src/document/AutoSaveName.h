#pragma once
// The file name of a board's backup: "AutoSave_" + the strat title + ".qvl". The title is the
// user's free text, so it is made into one plain file name first: no folder separators, no
// "..", no characters that a file name on any desktop cannot hold.

#include <QHash>
#include <QSet>
#include <QString>

namespace quorvel {

// The title, blanks removed at both ends, as a safe part of a file name. An empty title stays
// empty.
QString autoSaveTitlePart(const QString &title);

// "AutoSave_<title>.qvl"; copy 2 and up ("AutoSave_<title> (2).qvl") keep apart the backups of
// boards that share a title.
QString autoSaveFileName(const QString &title, int copy = 1);

// The backup names of this running program. A name is free for a board when no other open
// board holds it and its file is missing or was written by this program: a backup that another
// run left (one that crashed, say) is never overwritten, since new strats of every run are
// titled alike.
class AutoSaveNames {
public:
    // The file name for the owner's backup of `title` in `folder`: autoSaveFileName(title),
    // else its first free copy. The owner holds it until its next claim or release().
    QString claim(const void *owner, const QString &title, const QString &folder);
    void release(const void *owner);
    // The file at `path` is a backup of this program's own from now on.
    void written(const QString &path);

    // The program's one set of names.
    static AutoSaveNames &program();

private:
    // Keys are paths in lower case: some file systems ignore letter case.
    QHash<QString, const void *> held_;
    QSet<QString> written_;
};

} // namespace quorvel
