#pragma once
// Prompts for tests: every answer comes from a queue the test fills beforehand, and every
// question is logged in order. Nothing is ever shown, so nothing can wait for a user. A
// question with no answer queued gets the answer that runs nothing (Cancel, No, no text, no
// file, Rejected) and is logged as unscripted, so the test can fail on it instead of hanging.
//
// Messages with an OK button only take nothing from the queue: they offer no choice.
// Constructing one installs it as Prompts::current(); the destructor restores the previous one.

#include "platform/Prompts.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>

class QLineEdit;

namespace quorvel {

struct ShownMessage {
    QString title; // as shown: "Quorvel" when the caller gave none
    QString text;
    QString details; // the detailed text, "" for a plain message
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer answer = MessageAnswer::Ok;
    bool scripted = true;
};

struct ShownFileDialog {
    bool save = false;
    FileDialogRequest request;
    QString result;
    bool scripted = true;
};

struct ShownDialog {
    QString objectName;
    QString title;
    int result = 0;
    bool scripted = true;
};

class ScriptedPrompts final : public Prompts {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    Q_DISABLE_COPY(ScriptedPrompts)

    // Answers for the next questions (message boxes with more than an OK button).
    void addAnswer(MessageAnswer answer);
    // The next input box returns text; nullopt stands for Cancel.
    void addInput(std::optional<QString> text);
    // The next input box is answered with keys: `typing` gets a line edit holding the offered
    // text under the box's limit, as the shown box does, and returns its text (OK) or nullopt.
    void addTypedInput(std::function<std::optional<QString>(QLineEdit &)> typing);
    // The next file dialog: the path the user picks or types ("" = Cancel) and, for a save
    // dialog, the filter chosen (0-based). A save dialog applies its suffix rule to it.
    void addFile(const QString &path, int filterIndex = 0);
    // The next modal dialog: fill in its controls, press its buttons, return its result.
    void addDialog(std::function<int(QDialog &)> handler);
    // Every pop-up menu from now on: pick (and trigger) an entry, or return nullptr. Without
    // one a menu closes unchosen.
    void setMenuHandler(std::function<QAction *(QMenu &)> handler) { menuHandler_ = std::move(handler); }

    QList<ShownMessage> messages;
    QList<ShownFileDialog> fileDialogs;
    QStringList inputPrompts;
    QList<int> inputMaxLengths; // the limit of each input box shown (0: none)
    QList<ShownDialog> dialogs;

    // Texts of the messages shown, in order.
    QStringList messageTexts() const;
    // Questions, file dialogs and modal dialogs that found no scripted answer.
    int unscriptedCount() const;
    // Scripted answers of any kind never asked for.
    int pendingCount() const;

    MessageAnswer message(QWidget *owner, const QString &text, const QString &title,
                          MessageIcon icon, MessageButtons buttons) override;
    void detailedMessage(QWidget *owner, const QString &text, const QString &title, MessageIcon icon,
                         const QString &details) override;
    std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title,
                                 const QString &defaultText, int maxLength) override;
    QString openFile(const FileDialogRequest &request) override;
    QString saveFile(const FileDialogRequest &request) override;
    int exec(QDialog &dialog) override;
    QAction *popupMenu(QMenu &menu, const QPoint &globalPos) override;

private:
    QString takeFile(bool save, const FileDialogRequest &request);

    struct FileAnswer {
        QString path;
        int filterIndex = 0;
    };
    QQueue<MessageAnswer> answers_;
    struct InputAnswer {
        std::optional<QString> text;
        std::function<std::optional<QString>(QLineEdit &)> typing;
    };
    QQueue<InputAnswer> inputs_;
    QQueue<FileAnswer> files_;
    QQueue<std::function<int(QDialog &)>> dialogHandlers_;
    std::function<QAction *(QMenu &)> menuHandler_;
    int unscripted_ = 0;
    Prompts *previous_ = nullptr;
};

} // namespace quorvel
