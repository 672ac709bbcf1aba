#pragma once
// Which language the program speaks: a command-line switch, else the system language taken
// from the POSIX locale and named as in the Windows language table; then the pack of that
// name from the "lang" folder. Chosen once, at start-up.

#include <QString>

namespace quorvel {

class clsLanguagePack;

// The language a whole command line names ("-Spanish" gives "Spanish"), or "" when the line
// is not exactly one of the five switches.
QString languageFromSwitch(const QString &commandLine);

// The Windows language id of a POSIX locale name such as "pt_BR.UTF-8" or "sr_RS@latin";
// a region missing from the table gives its language's main row; 0 when the language is not
// in the table or the locale names none ("C", "POSIX", "").
int languageIdForLocale(const QString &posixLocale);

// The locale that names the language of messages: the first of LC_ALL, LC_MESSAGES and LANG
// that is set and not empty.
QString systemLocaleName();

// languageIdForLocale(systemLocaleName()).
int GetSystemLangID();

// The table's English name for id ("Portuguese (Brazil)"), or "Unknown".
QString GetLanguageName(int id);

// The first word of GetLanguageName(id): "Portuguese", "Romanian", "Unknown".
QString GetLanguageBaseName(int id);

// The language chosen at start-up; "" until then.
const QString &sIdioma();

struct LanguageStartup {
    QString language;     // sIdioma
    QString packFile;     // the listed pack that was loaded or tried; "" when none is listed
    bool loaded = false;  // the pack is now in use
    bool folderMissing = false;
    QString message;      // for the user: "<folder> doesn't exist." or "" (the shell shows it)
    QString error;        // why an existing pack was not used, for the debug log
};

// Chooses the language for commandLine (the whole line) and loads its pack from langFolder
// into pack. A missing or damaged pack leaves pack as it was: the program stays English.
LanguageStartup chooseLanguage(clsLanguagePack &pack, const QString &commandLine,
                               const QString &langFolder, const QString &posixLocale);

// The start-up call: the program-wide pack, programFolder() + "/lang", the system locale;
// sets sIdioma(). Runs once; later calls return the first result.
const LanguageStartup &startLanguage(const QString &commandLine);

} // namespace quorvel
