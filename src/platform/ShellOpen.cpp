#include "platform/ShellOpen.h"

#include "platform/Prompts.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrlQuery>

namespace quorvel {

std::function<bool(const QUrl &)> &shellOpener()
{
    static std::function<bool(const QUrl &)> opener = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    return opener;
}

namespace {

// A mail link fills in a message; any field beyond these (attach=, attachment=, ...) may make
// the mail program pick up a local file.
bool plainMailLink(const QUrl &url)
{
    static const QStringList fields = {QStringLiteral("to"), QStringLiteral("cc"), QStringLiteral("bcc"),
                                       QStringLiteral("subject"), QStringLiteral("body")};
    const auto items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    for (const auto &item : items)
        if (!fields.contains(item.first.trimmed().toLower()))
            return false;
    return true;
}

// Types whose handlers only show the file. SVG pictures may carry scripts.
bool documentType(const QMimeType &type)
{
    const QString name = type.name();
    if (name == QLatin1String("image/svg+xml") || name == QLatin1String("image/svg+xml-compressed"))
        return false;
    return name.startsWith(QLatin1String("image/")) || name.startsWith(QLatin1String("video/"))
           || name.startsWith(QLatin1String("audio/")) || name == QLatin1String("application/pdf")
           || name == QLatin1String("text/plain");
}

bool documentFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isExecutable())
        return false;
    return documentType(QMimeDatabase().mimeTypeForFile(info));
}

} // namespace

LinkTarget classifyLink(const QString &raw)
{
    const QString text = raw.trimmed();
    if (text.isEmpty())
        return {};
    const QUrl url = QUrl::fromUserInput(text);
    if (!url.isValid())
        return {};
    const QString scheme = url.scheme().toLower();
    bool plain = false;
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        plain = !url.host().isEmpty();
    else if (scheme == QLatin1String("mailto"))
        plain = plainMailLink(url);
    else if (url.isLocalFile())
        plain = url.host().isEmpty() && documentFile(url.toLocalFile());
    return {plain ? LinkSafety::Open : LinkSafety::Ask, url};
}

void openLink(QWidget *owner, const QString &text)
{
    const LinkTarget target = classifyLink(text);
    if (target.safety == LinkSafety::Nothing)
        return;
    if (target.safety == LinkSafety::Ask
        && !askYesNo(owner,
                     QStringLiteral("This link does not lead to a web page or a document:\n%1\n\nOpen it anyway?")
                         .arg(text.trimmed()),
                     QStringLiteral("Link"), MessageIcon::Warning))
        return;
    shellOpener()(target.url);
}

} // namespace quorvel
