#include "shell/FileAssociation.h"

#include "common/FileHelpers.h"
#include "common/ProgramFolder.h"
#include "platform/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace quorvel {

namespace {

constexpr int kToolTimeoutMs = 20000;

bool saveFile(const QString &path, const QByteArray &bytes, RegistrationResult &result)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        result.error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    if (QString why; !writeFileAtomically(path, bytes, &why)) {
        result.error = QStringLiteral("cannot write %1: %2").arg(path, why);
        return false;
    }
    result.written << path;
    return true;
}

QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// A value of a desktop entry holds no line breaks or control characters.
bool isPlainValue(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return true;
}

} // namespace

DesktopDatabaseUpdate::DesktopDatabaseUpdate(const QString &dataHome, QObject *parent) : QObject(parent)
{
    // One count for the start itself, dropped from the event loop: finished() never comes
    // before the caller holds this object, even when no tool could start.
    running_ = 1;
    start(QStringLiteral("update-mime-database"), dataHome + QStringLiteral("/mime"), dataHome);
    start(QStringLiteral("update-desktop-database"), dataHome + QStringLiteral("/applications"), dataHome);
    QMetaObject::invokeMethod(this, &DesktopDatabaseUpdate::toolEnded, Qt::QueuedConnection);
}

DesktopDatabaseUpdate::~DesktopDatabaseUpdate()
{
    // The processes die with this object; their last signals find no one.
    for (QProcess *process : findChildren<QProcess *>())
        process->disconnect(this);
}

void DesktopDatabaseUpdate::start(const QString &name, const QString &argument, const QString &dataHome)
{
    const QString tool = QStandardPaths::findExecutable(name);
    if (tool.isEmpty())
        return;
    auto *process = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    process->setProcessEnvironment(env);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process, &QProcess::finished, this, &DesktopDatabaseUpdate::toolEnded);
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            toolEnded();
    });
    QTimer::singleShot(kToolTimeoutMs, process, &QProcess::kill);
    ++running_;
    process->start(tool, {argument});
}

void DesktopDatabaseUpdate::toolEnded()
{
    if (running_ > 0)
        --running_;
    if (running_ > 0)
        return;
    emit finished();
    deleteLater();
}

QString userDataHome()
{
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return QDir::cleanPath(env);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString desktopExecArgument(const QString &argument)
{
    // Inside double quotes the Exec line escapes ", `, $ and \ with a backslash; a literal %
    // is doubled; then the string value escapes every backslash once more.
    QString quoted;
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

RegistrationResult RegisterFileType(const tpAssociacao &record, const QString &dataHome)
{
    RegistrationResult result;
    QString extension = record.Extension;
    if (!extension.startsWith(QLatin1Char('.')))
        extension.prepend(QLatin1Char('.'));
    if (extension.size() < 2 || extension.contains(QLatin1Char('/')) || record.MimeType.isEmpty()
        || record.DesktopId.isEmpty() || record.Program.isEmpty()) {
        result.error = QStringLiteral("incomplete file type record");
        return result;
    }
    if (!isPlainValue(record.Program) || !isPlainValue(record.Description) || !isPlainValue(record.IconPath)) {
        result.error = QStringLiteral("a path or the description holds a line break");
        return result;
    }
    // GLib desktops look the program up by the Exec line's first word before "%%" becomes "%",
    // so a path holding '%' is started through env, which they find. env takes a word holding
    // '=' for a variable, so a path with both cannot be launched at all.
    const bool throughEnv = record.Program.contains(QLatin1Char('%'));
    if (throughEnv && record.Program.contains(QLatin1Char('='))) {
        result.error = QStringLiteral("the program's path holds both '%' and '=', which a desktop entry cannot launch");
        return result;
    }

    const QString iconName = record.IconPath.isEmpty() ? QString() : record.DesktopId;
    if (!iconName.isEmpty()) {
        QFile icon(record.IconPath);
        if (!icon.open(QIODevice::ReadOnly)) {
            result.error = QStringLiteral("cannot read the icon %1").arg(record.IconPath);
            return result;
        }
        const QByteArray png = icon.readAll();
        const QString icons = dataHome + QStringLiteral("/icons/hicolor/64x64/");
        const QString mimeIcon = QString(record.MimeType).replace(QLatin1Char('/'), QLatin1Char('-'));
        if (!saveFile(icons + QStringLiteral("apps/") + iconName + QStringLiteral(".png"), png, result)
            || !saveFile(icons + QStringLiteral("mimetypes/") + mimeIcon + QStringLiteral(".png"), png, result))
            return result;
    }

    QString mime = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                                  "  <mime-type type=\"%1\">\n"
                                  "    <comment>%2</comment>\n")
                       .arg(xmlEscaped(record.MimeType), xmlEscaped(record.Description));
    mime += QStringLiteral("    <glob pattern=\"*%1\"/>\n  </mime-type>\n</mime-info>\n").arg(xmlEscaped(extension));
    if (!saveFile(dataHome + QStringLiteral("/mime/packages/") + record.DesktopId + QStringLiteral(".xml"),
                  mime.toUtf8(), result))
        return result;

    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=Quorvel\n"
                                   "Comment=Draw and play strats for your team\n"
                                   "Exec=%1 %f\n"
                                   "MimeType=%2;\n"
                                   "Terminal=false\n"
                                   "Categories=Game;StrategyGame;\n")
                        .arg((throughEnv ? QStringLiteral("env ") : QString()) + desktopExecArgument(record.Program),
                             record.MimeType);
    if (!iconName.isEmpty())
        entry += QStringLiteral("Icon=%1\n").arg(iconName);
    const QString applications = dataHome + QStringLiteral("/applications");
    if (!saveFile(applications + QLatin1Char('/') + record.DesktopId + QStringLiteral(".desktop"), entry.toUtf8(),
                  result))
        return result;

    result.tools = new DesktopDatabaseUpdate(dataHome, QCoreApplication::instance());
    result.ok = true;
    return result;
}

RegistrationResult registerStratFilesOnce()
{
    if (!needsFileAssociation(settingsStore()))
        return {true, QString(), {}, {}};
    tpAssociacao record;
    record.Program = QCoreApplication::applicationFilePath();
    const QString icon = programFolder() + QStringLiteral("/Bin/quorvel.png");
    if (QFileInfo(icon).isFile())
        record.IconPath = icon;
    RegistrationResult result = RegisterFileType(record);
    if (result.ok)
        markFileAssociated(settingsStore());
    return result;
}

} // namespace quorvel
