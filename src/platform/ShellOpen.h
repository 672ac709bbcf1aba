#pragma once
// Opening a link with the desktop's default handler. A link comes from a strat file, which may
// come from anyone, and the handler of a local file may install a package, run a script or
// show a page that runs one. So only what is plainly a page or a document opens at once: web
// addresses, mail addresses without attachments, and existing files that are a picture, a
// video, a sound, PDF or plain text by their type. Anything else opens only after the user
// agreed through Prompts.

#include <QUrl>

#include <functional>

class QString;
class QWidget;

namespace quorvel {

enum class LinkSafety { Open, Ask, Nothing };
struct LinkTarget {
    LinkSafety safety = LinkSafety::Nothing;
    QUrl url;
};
// What a link text leads to and whether it may be opened without a question; Nothing for an
// empty or unusable text.
LinkTarget classifyLink(const QString &text);

// Opens a link text, asking first where classifyLink says so. The owner parents the question.
void openLink(QWidget *owner, const QString &text);

// The desktop's opener; tests replace it to see what would have been opened.
std::function<bool(const QUrl &)> &shellOpener();

} // namespace quorvel
