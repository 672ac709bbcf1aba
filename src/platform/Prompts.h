#pragma once
// Every question the program puts to the user goes through Prompts: message boxes, input boxes,
// file dialogs and the modal edit dialogs. The Qt implementation shows real windows; tests
// install a scripted one (ScriptedPrompts) so that no test can hang on a modal window.

#include <QString>
#include <QStringList>

#include <optional>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

namespace quorvel {

enum class MessageIcon { None, Information, Question, Warning, Critical };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    QWidget *owner = nullptr;
    // Pairs of a description and a pattern, each followed by '|': "Strat (*.qvl)|*.qvl|".
    QString filter;
    QString title;
    QString initialFolder;
    // For saving: the suffix given to a name typed without one ("qvl"); the dialog applies it
    // before it asks whether to overwrite, so the question is about the file really written.
    QString defaultSuffix;
    // The name must end in "." + defaultSuffix (compared without letter case): "plan.txt"
    // becomes "plan.txt.qvl". Without it the suffix goes only to a name that has none.
    bool suffixAlways = false;
    // Further suffixes that also count as the right one under suffixAlways ("jpeg" beside
    // "jpg"), compared without letter case.
    QStringList otherSuffixes;
    // The suffix follows the chosen filter's pattern ("*.swf" gives "swf") instead of
    // defaultSuffix; a name that has a suffix keeps it.
    bool suffixFromFilter = false;
};

// The description and pattern pairs of a "Desc|pattern|" filter, as Qt name filters
// ("Strat (*.qvl)"); a missing final bar is allowed, ';' between patterns too.
QStringList qtNameFilters(const QString &filter);
// The patterns of filter number index (0-based) split on ';', such as {"*.qvl"}.
QStringList filterPatterns(const QString &filter, int index);
// The name a save dialog gives back for the typed (absolute) path with filter number
// filterIndex (0-based) chosen: the request's suffix rule applied. A save dialog asks about
// overwriting this name, not the typed one.
QString finishSaveName(const FileDialogRequest &request, const QString &typed, int filterIndex);

class Prompts {
public:
    virtual ~Prompts() = default;

    // A message box; the title defaults to the application title "Quorvel" when empty.
    virtual MessageAnswer message(QWidget *owner, const QString &text, const QString &title,
                                  MessageIcon icon, MessageButtons buttons) = 0;
    // A message box with an OK button whose details (a file name and what was wrong with it)
    // are shown on request below the text. Without its own, it is a plain message.
    virtual void detailedMessage(QWidget *owner, const QString &text, const QString &title,
                                 MessageIcon icon, const QString &details)
    {
        Q_UNUSED(details);
        message(owner, text, title, icon, MessageButtons::Ok);
    }
    // An input box taking at most maxLength characters (0: no limit): the typed text, or
    // nullopt on Cancel.
    virtual std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title,
                                         const QString &defaultText, int maxLength) = 0;
    // File dialogs: the chosen path (clean, no terminator), or the empty text on Cancel.
    virtual QString openFile(const FileDialogRequest &request) = 0;
    virtual QString saveFile(const FileDialogRequest &request) = 0;
    // Runs a modal dialog and returns its result (QDialog::Accepted or Rejected).
    virtual int exec(QDialog &dialog) = 0;
    // A pop-up menu at a global position: the entry chosen (its command has run), or nullptr.
    virtual QAction *popupMenu(QMenu &menu, const QPoint &globalPos);

    // The program-wide instance; the Qt one unless a test installed another.
    static Prompts &current();
    // Installs p (not owned) as the current instance; nullptr restores the Qt one.
    static void install(Prompts *p);
};

// Shorthand for the common cases.
inline void showMessage(QWidget *owner, const QString &text, const QString &title = QString(),
                        MessageIcon icon = MessageIcon::None)
{
    Prompts::current().message(owner, text, title, icon, MessageButtons::Ok);
}
inline bool askYesNo(QWidget *owner, const QString &text, const QString &title,
                     MessageIcon icon = MessageIcon::Question)
{
    return Prompts::current().message(owner, text, title, icon, MessageButtons::YesNo) == MessageAnswer::Yes;
}

} // namespace quorvel
