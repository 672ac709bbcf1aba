#include "shell/StartUp.h"

#include "common/FileHelpers.h"

#include "common/DebugLog.h"
#include "platform/Prompts.h"
#include "platform/Settings.h"
#include "shell/HandOver.h"
#include "shell/SingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <memory>

#include <sys/stat.h>

namespace quorvel {

namespace {
const QStringList kSwitches = {QStringLiteral("-d"),      QStringLiteral("-Spanish"),
                               QStringLiteral("-Portuguese"), QStringLiteral("-French"),
                               QStringLiteral("-Romanian"), QStringLiteral("-Dutch")};
} // namespace

QString wholeCommandLine(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    return args.join(u' ');
}

QString cleanStratPath(const QString &line)
{
    QString path = line;
    path.remove(u'"');
    return path.trimmed();
}

bool isCommandSwitch(const QString &line) { return kSwitches.contains(line); }

StartupOptions parseCommandLine(const QString &line)
{
    StartupOptions options;
    options.commandLine = line;
    options.debug = line == QLatin1String("-d");
    options.language = languageFromSwitch(line);
    if (!isCommandSwitch(line))
        options.stratPath = cleanStratPath(line);
    return options;
}

StartupOptions parseArguments(int argc, char **argv)
{
    StartupOptions options = parseCommandLine(wholeCommandLine(argc, argv));
    // The desktop hands a file over as one argument, in the file system's own bytes: a name
    // with quotes, or one that is not UTF-8, stays what it is (and is said so if it cannot open).
    struct stat st {};
    if (argc == 2 && !isCommandSwitch(options.commandLine) && ::stat(argv[1], &st) == 0)
        options.stratPath = QFile::decodeName(argv[1]);
    return options;
}

QString handedOverPath(const QString &command)
{
    return QFileInfo::exists(command) ? command : cleanStratPath(command);
}

namespace {

// What a second start hands over: a switch as it is (the running instance drops it); anything
// else names a file as the first start reads it (a name may start with '-'), made absolute,
// since the running instance has its own working folder.
QString handOverText(const StartupOptions &options)
{
    const QString &line = options.commandLine;
    if (isCommandSwitch(line))
        return line;
    if (options.stratPath.isEmpty())
        return QString();
    return QDir::fromNativeSeparators(QFileInfo(options.stratPath).absoluteFilePath());
}

} // namespace

InstanceClaim claimInstance(SingleInstance &instance, const StartupOptions &options, int waitMs)
{
    if (instance.isFirst())
        return InstanceClaim::First;
    const QString handed = handOverText(options);
    if (handed.isEmpty() || HandOver(settingsStore()).give(handed, waitMs)) {
        instance.requestActivation();
        return InstanceClaim::HandedOver;
    }
    // A switch changes nothing in the running instance: only a strat is worth a word. The
    // running instance is asked to the front only after the OK, so that it cannot cover the
    // box; the box stays above it all the same (another start may raise it meanwhile).
    if (!isCommandSwitch(handed)) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvel"),
                        QStringLiteral("Quorvel is running, but the strat %1 could not be handed over to it. "
                                       "Open it there with Strat > Open.")
                            .arg(QDir::toNativeSeparators(handed)),
                        QMessageBox::Ok);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        QTimer::singleShot(0, &box, [&box] {
            box.raise();
            box.activateWindow();
        });
        Prompts::current().exec(box);
    }
    instance.requestActivation();
    return InstanceClaim::NotHandedOver;
}

void reportLanguage(const LanguageStartup &result)
{
    if (!result.message.isEmpty())
        showMessage(nullptr, result.message, QString(), MessageIcon::Critical);
    if (debugEnabled() && !result.error.isEmpty())
        GravaDebug(QStringLiteral("Language pack %1 not used: %2")
                       .arg(QDir::toNativeSeparators(result.packFile), result.error));
}

bool installQtTranslations(const LanguageStartup &result)
{
    static QTranslator *installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (!result.loaded)
        return false;
    // The pack is named by the language's English name, as QLocale names it.
    for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
        const auto language = static_cast<QLocale::Language>(l);
        if (QLocale::languageToString(language) != result.language)
            continue;
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            return false;
        installed = translator.release();
        QCoreApplication::installTranslator(installed);
        return true;
    }
    return false;
}

int runQuorvel(int argc, char **argv,
               const std::function<QWidget *(const StartupOptions &)> &makeMainWindow, int giveWaitMs)
{
    // Past the file-size limit (ulimit -f) a write fails with its error, which the saves
    // report, instead of the signal ending the program with every board in it.
    ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setOrganizationName(QStringLiteral("Quorvel"));

    StartupOptions options = parseArguments(argc, argv);

    SingleInstance instance;
    if (const InstanceClaim claim = claimInstance(instance, options, giveWaitMs);
        claim != InstanceClaim::First)
        return claim == InstanceClaim::HandedOver ? 0 : 1;

    setDebugEnabled(options.debug);
    if (options.debug && !IniciaDebug()) {
        setDebugEnabled(false);
        showMessage(nullptr, QStringLiteral("The debug log %1 cannot be written.")
                                 .arg(QDir::toNativeSeparators(debugLogPath())),
                    QString(), MessageIcon::Warning);
    }

    options.languageResult = startLanguage(options.commandLine);
    reportLanguage(options.languageResult);
    installQtTranslations(options.languageResult);

    debugMarker(1);
    QPointer<QWidget> mainWindow = makeMainWindow ? makeMainWindow(options) : nullptr;
    if (!mainWindow)
        return 1;
    if (!mainWindow->isVisible())
        mainWindow->show();
    debugMarker(7);

    const int result = QApplication::exec();
    delete mainWindow.data();
    return result;
}

} // namespace quorvel
