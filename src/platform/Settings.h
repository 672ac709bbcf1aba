#pragma once
// The per-user settings store (QSettings, application "Quorvel", section "Opções"), every
// value a text, and the program-wide switches read from it.
//
// Tests point XDG_CONFIG_HOME at a temporary folder before the first store is made.

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QSettings;

namespace quorvel {

class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();
    Q_DISABLE_COPY(SettingsStore)

    QString GetSetting(const QString &key, const QString &defaultValue = QString()) const;
    void SaveSetting(const QString &key, const QString &value);
    // Writes pending changes and reads what other processes wrote.
    void sync();

private:
    std::unique_ptr<QSettings> settings_;
};

// The program-wide store.
SettingsStore &settingsStore();

// Stored boolean text: "True"/"False" (any letter case) or a number (0 false, else true);
// nullopt for anything else.
std::optional<bool> parseSettingBool(const QString &text);
// The text a boolean is stored as: "True" or "False".
QString settingBoolText(bool value);
// A round timer typed or stored as text: a number (sign, decimals, exponent and surrounding
// blanks allowed) rounded half to even, accepted from 0 to 999; nullopt otherwise.
std::optional<std::int16_t> parseRoundTimer(const QString &text);

inline constexpr std::int16_t kDefaultRoundTimer = 105;

// The switches read at start-up and changed by the Options dialog.
struct ProgramSettings {
    bool bAutoCheck = true;
    bool bMapDefault = false;
    bool bShowAnimations = true;
    bool bRecordSound = false;
    std::int16_t iRoundTimer = kDefaultRoundTimer;
    bool bDicas = true;
};

// The program-wide switches.
ProgramSettings &programSettings();

// Reads the six switches; a missing or unreadable value gives its default.
ProgramSettings readProgramSettings(const SettingsStore &store);
// What Options OK writes: "AutoCheck", "MapDefault", "ShowAnimations", "RecordSound" as
// True/False and "RoundTimer" as the accepted whole number.
void writeOptions(SettingsStore &store, const ProgramSettings &settings);
// "Dicas" as "1" or "0".
void writeDicas(SettingsStore &store, bool on);
void writeRecordSound(SettingsStore &store, bool on);

// "Vez": true on the first run, and marks the run as done ("1") so the next one is not.
bool takeFirstRun(SettingsStore &store);
// "Associado": the file type still needs registering (stored value below 3 or unreadable).
bool needsFileAssociation(const SettingsStore &store);
// Stores "3".
void markFileAssociated(SettingsStore &store);

} // namespace quorvel
