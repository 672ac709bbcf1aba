#pragma once
// The open and save dialogs of every file choice in the program. The path that comes back is
// clean: the whole path, nothing to strip. A strat save dialog gives back the name with ".qvl"
// already applied, and its overwrite question is about that name; a video save dialog gives
// the chosen format's extension to a name typed without one.

#include <QString>

class QWidget;

namespace quorvel {

// Filters of the callers.
inline const QString kStratFilter = QStringLiteral("Strat (*.qvl)|*.qvl|");
inline const QString kJpegFilter = QStringLiteral("JPEG (*.jpg)|*.jpg|");
inline const QString kVideoFilter =
    QStringLiteral("AVI (*.avi)|*.avi|Flash (*.swf)|*.swf|FLV (*.flv)|*.flv|");

// The Save As rule for strats: a name whose last four characters, lower-cased, are not
// ".qvl" gets ".qvl" appended ("plan" and "plan.txt" get it; "plan.QVL" is kept).
QString withStratSuffix(const QString &path);

class clsDialog {
public:
    // The chosen path, or "" on Cancel. A filter that offers only "*.qvl" makes it a strat
    // save (withStratSuffix applied by the dialog), one that offers only "*.jpg" a picture
    // export (".jpg" given to a name that ends in neither ".jpg" nor ".jpeg"); the title of key "s0025" ("Save Video")
    // makes the chosen filter's extension the default one.
    QString SaveDialog(QWidget *Form1, const QString &Filter, const QString &Title,
                       const QString &InitDir);
    // The chosen existing file, or "" on Cancel.
    QString OpenDialog(QWidget *Form1, const QString &Filter, const QString &Title,
                       const QString &InitDir);
};

} // namespace quorvel
