#include "ScriptedPrompts.h"

#include <QDialog>
#include <QLineEdit>

namespace quorvel {

namespace {
Prompts *g_lastInstalled = nullptr; // what Prompts::current() was given, for restoring
}

ScriptedPrompts::ScriptedPrompts()
    : previous_(g_lastInstalled)
{
    Prompts::install(this);
    g_lastInstalled = this;
}

ScriptedPrompts::~ScriptedPrompts()
{
    Prompts::install(previous_);
    g_lastInstalled = previous_;
}

void ScriptedPrompts::addAnswer(MessageAnswer answer) { answers_.enqueue(answer); }
void ScriptedPrompts::addInput(std::optional<QString> text) { inputs_.enqueue({std::move(text), {}}); }
void ScriptedPrompts::addTypedInput(std::function<std::optional<QString>(QLineEdit &)> typing)
{
    inputs_.enqueue({std::nullopt, std::move(typing)});
}
void ScriptedPrompts::addFile(const QString &path, int filterIndex) { files_.enqueue({path, filterIndex}); }
void ScriptedPrompts::addDialog(std::function<int(QDialog &)> handler)
{
    dialogHandlers_.enqueue(std::move(handler));
}

QStringList ScriptedPrompts::messageTexts() const
{
    QStringList texts;
    for (const ShownMessage &m : messages)
        texts.append(m.text);
    return texts;
}

int ScriptedPrompts::unscriptedCount() const { return unscripted_; }

int ScriptedPrompts::pendingCount() const
{
    return int(answers_.size() + inputs_.size() + files_.size() + dialogHandlers_.size());
}

MessageAnswer ScriptedPrompts::message(QWidget *, const QString &text, const QString &title,
                                       MessageIcon icon, MessageButtons buttons)
{
    ShownMessage shown;
    shown.title = title.isEmpty() ? QStringLiteral("Quorvel") : title;
    shown.text = text;
    shown.icon = icon;
    shown.buttons = buttons;
    if (buttons == MessageButtons::Ok) {
        shown.answer = MessageAnswer::Ok;
    } else if (!answers_.isEmpty()) {
        shown.answer = answers_.dequeue();
    } else {
        shown.answer = buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
        shown.scripted = false;
        ++unscripted_;
    }
    messages.append(shown);
    return shown.answer;
}

void ScriptedPrompts::detailedMessage(QWidget *owner, const QString &text, const QString &title,
                                      MessageIcon icon, const QString &details)
{
    message(owner, text, title, icon, MessageButtons::Ok);
    messages.last().details = details;
}

std::optional<QString> ScriptedPrompts::input(QWidget *, const QString &prompt, const QString &,
                                              const QString &defaultText, int maxLength)
{
    inputPrompts.append(prompt);
    inputMaxLengths.append(maxLength);
    if (inputs_.isEmpty()) {
        ++unscripted_;
        return std::nullopt;
    }
    InputAnswer answer = inputs_.dequeue();
    if (answer.typing) {
        QLineEdit box;
        if (maxLength > 0)
            box.setMaxLength(maxLength);
        box.setText(defaultText);
        return answer.typing(box);
    }
    // What is typed stops at the box's limit.
    std::optional<QString> typed = std::move(answer.text);
    if (typed && maxLength > 0)
        *typed = typed->left(maxLength);
    return typed;
}

QString ScriptedPrompts::takeFile(bool save, const FileDialogRequest &request)
{
    ShownFileDialog shown;
    shown.save = save;
    shown.request = request;
    if (files_.isEmpty()) {
        shown.scripted = false;
        ++unscripted_;
    } else {
        const FileAnswer answer = files_.dequeue();
        shown.result = save ? finishSaveName(request, answer.path, answer.filterIndex) : answer.path;
    }
    fileDialogs.append(shown);
    return shown.result;
}

QString ScriptedPrompts::openFile(const FileDialogRequest &request) { return takeFile(false, request); }
QString ScriptedPrompts::saveFile(const FileDialogRequest &request) { return takeFile(true, request); }

QAction *ScriptedPrompts::popupMenu(QMenu &menu, const QPoint &)
{
    return menuHandler_ ? menuHandler_(menu) : nullptr;
}

int ScriptedPrompts::exec(QDialog &dialog)
{
    ShownDialog shown;
    shown.objectName = dialog.objectName();
    shown.title = dialog.windowTitle();
    if (dialogHandlers_.isEmpty()) {
        shown.result = QDialog::Rejected;
        shown.scripted = false;
        ++unscripted_;
    } else {
        dialog.setResult(QDialog::Rejected);
        shown.result = dialogHandlers_.dequeue()(dialog);
    }
    dialogs.append(shown);
    return shown.result;
}

} // namespace quorvel
