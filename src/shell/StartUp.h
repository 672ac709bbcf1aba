#pragma once
// Start-up: the command line, the debug log, the language, the single-instance hand-over and
// the main window.
//
// app/main.cpp:
//     return quorvel::runQuorvel(argc, argv, [](const quorvel::StartupOptions &options) {
//         return new quorvel::frmPrincipal(options);  // built and loaded, shown or not
//     });

#include "language/LanguageChoice.h"
#include "shell/HandOver.h"

#include <QString>

#include <functional>

class QWidget;

namespace quorvel {

struct StartupOptions {
    QString commandLine;  // the whole line, the arguments joined by one blank
    bool debug = false;   // exactly "-d"
    QString language;     // exactly "-Spanish" and the like gives "Spanish"; "" otherwise
    QString stratPath;    // any other non-empty line, cleaned by cleanStratPath (see parseArguments)
    LanguageStartup languageResult;
};

// The arguments after the program name joined by one blank, as one command line.
QString wholeCommandLine(int argc, char **argv);
// The line as a path: every double quote removed, then blanks at both ends.
QString cleanStratPath(const QString &line);
// True when the whole line is exactly one of the six switches (letter case counts).
bool isCommandSwitch(const QString &line);
// Reads the switches of a whole command line (the language pack is not touched).
StartupOptions parseCommandLine(const QString &line);
// The arguments as parseCommandLine reads their joined line, except that exactly one argument
// naming an existing file is that file's name as it stands (quotes and blanks are part of it).
StartupOptions parseArguments(int argc, char **argv);
// What a handed-over command names: the name as it stands when it names an existing file,
// else the line cleaned by cleanStratPath.
QString handedOverPath(const QString &command);

class SingleInstance;

enum class InstanceClaim { First, HandedOver, NotHandedOver };

// Whether this process runs the program. A second start (the lock is held by another
// process) hands a non-empty command line over through HandOver's queue (a switch as it is;
// anything else is the file the first start would open, its path made absolute, as the
// running instance has its own working folder) and asks the running instance to come to the
// front. A strat that could not be handed over within waitMs is named in a box that stands
// above every window; the running instance is asked to the front after its OK.
InstanceClaim claimInstance(SingleInstance &instance, const StartupOptions &options,
                            int waitMs = HandOver::kGiveWaitMs);

// Tells what went wrong choosing the language: a missing "lang" folder as a critical message
// box, and, with the debug log on, why a listed pack was refused.
void reportLanguage(const LanguageStartup &result);

// Qt's own texts (message-box buttons, file dialogs) in the language of the loaded pack, from
// Qt's translations ("qtbase_es" for Spanish). Nothing when no pack is in use. True when a
// translation was installed; a later call replaces it.
bool installQtTranslations(const LanguageStartup &result);

// The whole start. A second start hands a non-empty command line over, asks the
// running instance to come to the front and returns 0 without showing anything, or 1 after
// saying which strat it could not hand over within giveWaitMs. Otherwise:
// debug log ("-d"), language pack, marker 1, makeMainWindow (which builds and loads the main
// window; it is shown afterwards if it is not yet), marker 7, then the event loop until the
// last window closes. The main window is deleted before the function returns.
int runQuorvel(int argc, char **argv,
               const std::function<QWidget *(const StartupOptions &)> &makeMainWindow,
               int giveWaitMs = HandOver::kGiveWaitMs);

} // namespace quorvel
