#include "shell/UpdateCheck.h"

#include "language/clsLanguagePack.h"

#include "platform/HttpFetch.h"

#include <QVersionNumber>

#ifndef QUORVEL_VERSION_MAJOR
#define QUORVEL_VERSION_MAJOR 0
#define QUORVEL_VERSION_MINOR 0
#define QUORVEL_VERSION_PATCH 0
#endif
#ifndef QUORVEL_UPDATE_SERVER
#define QUORVEL_UPDATE_SERVER ""
#endif

namespace quorvel {

namespace {
// A version file, an address or a history is small; anything larger is not one of them.
constexpr qint64 kMaxBody = 256 * 1024;
} // namespace

QString aboutVersionText()
{
    return QString::number(QUORVEL_VERSION_MAJOR) + QLatin1Char('.') + QString::number(QUORVEL_VERSION_MINOR)
           + QString::number(QUORVEL_VERSION_PATCH);
}

QString localVersionText()
{
    return QString::number(QUORVEL_VERSION_MAJOR) + QLatin1Char('.') + QString::number(QUORVEL_VERSION_MINOR);
}

namespace {
QVersionNumber wholeVersion(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype suffix = 0;
    const QVersionNumber v = QVersionNumber::fromString(t, &suffix);
    return suffix == t.size() ? v : QVersionNumber();
}
} // namespace

bool isVersionText(const QString &fetched)
{
    return !wholeVersion(fetched).isNull();
}

bool isNewerVersion(const QString &local, const QString &fetched)
{
    const QVersionNumber theirs = wholeVersion(fetched);
    const QVersionNumber ours = wholeVersion(local);
    return !theirs.isNull() && !ours.isNull() && QVersionNumber::compare(ours, theirs) < 0;
}

QStringList splitHistory(const QString &body)
{
    QStringList entries = body.split(QLatin1Char('\n'));
    if (!entries.isEmpty() && entries.last().isEmpty())
        entries.removeLast();
    for (QString &e : entries)
        if (e.endsWith(QLatin1Char('\r')))
            e.chop(1);
    return entries;
}

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QUrl UpdateSource::address(const QString &path) const
{
    QUrl url = server;
    QString base = url.path();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    const QString tail = path.section(QLatin1Char('?'), 0, 0);
    url.setPath(base + tail);
    if (path.contains(QLatin1Char('?')))
        url.setQuery(path.section(QLatin1Char('?'), 1));
    return url;
}

UpdateSource defaultUpdateSource()
{
    UpdateSource source;
    const QByteArray env = qgetenv("QUORVEL_UPDATE_SERVER");
    const QString text = qEnvironmentVariableIsSet("QUORVEL_UPDATE_SERVER") ? QString::fromLocal8Bit(env)
                                                                             : QStringLiteral(QUORVEL_UPDATE_SERVER);
    if (!text.trimmed().isEmpty())
        source.server = QUrl(text.trimmed());
    return source;
}

UpdateClient::UpdateClient(const UpdateSource &source, QObject *parent) : QObject(parent), source_(source) {}

UpdateClient::~UpdateClient() = default;

void UpdateClient::fetch(const QString &path)
{
    if (!source_.enabled()) {
        // Same shape as a failed fetch, and never from inside the caller.
        QMetaObject::invokeMethod(this, [this, path] { emit fetched(path, false, QString()); }, Qt::QueuedConnection);
        return;
    }
    auto *fetch = new HttpFetch(source_.address(path), {kMaxBody, source_.deadlineMs, source_.timeoutMs}, this);
    connect(fetch, &HttpFetch::finished, this, [this, fetch, path](bool ok, const QByteArray &body) {
        fetch->deleteLater();
        emit fetched(path, ok, ok ? QString::fromUtf8(body) : QString());
    });
}

QString noticeText()
{
    return keyedText("s0023", QStringLiteral("A new version is available.")) + QLatin1Char('\n')
           + keyedText("s0024", QStringLiteral("Click here for details."));
}

QString downloadText()
{
    return keyedText("s0026", QStringLiteral("A new version is available for download.")) + QLatin1Char('\n')
           + keyedText("s0027", QStringLiteral("Click here to download."));
}

QString currentText()
{
    return keyedText("s0028", QStringLiteral("You have the most current release."));
}

QString couldNotCheckText()
{
    return keyedText("s0101", QStringLiteral("Could not check for a newer version."));
}

QString noServerText()
{
    return keyedText("update01", QStringLiteral("No update server is set: Quorvel cannot check for a newer version."));
}

QString checkingText()
{
    return keyedText("s0102", QStringLiteral("Checking for a newer version..."));
}

} // namespace quorvel
