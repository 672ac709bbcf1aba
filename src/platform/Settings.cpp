#include "platform/Settings.h"

#include "common/Rounding.h"

#include <QSettings>

#include <cmath>

namespace quorvel {

namespace {
const QString kApp = QStringLiteral("Quorvel");
const QString kSection = QStringLiteral("Opções");

// A number as the settings and the Options box accept it: trimmed, C locale, finite.
std::optional<double> parseNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
} // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kApp, kApp))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::GetSetting(const QString &key, const QString &defaultValue) const
{
    return settings_->value(kSection + u'/' + key, defaultValue).toString();
}

void SettingsStore::SaveSetting(const QString &key, const QString &value)
{
    settings_->setValue(kSection + u'/' + key, value);
    settings_->sync();
}

void SettingsStore::sync() { settings_->sync(); }

SettingsStore &settingsStore()
{
    static SettingsStore store;
    return store;
}

std::optional<bool> parseSettingBool(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto number = parseNumber(t))
        return *number != 0.0;
    return std::nullopt;
}

QString settingBoolText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

std::optional<std::int16_t> parseRoundTimer(const QString &text)
{
    const auto number = parseNumber(text);
    if (!number)
        return std::nullopt;
    const auto whole = toInt16(*number);
    if (!whole || *whole < 0 || *whole > 999)
        return std::nullopt;
    return whole;
}

ProgramSettings &programSettings()
{
    static ProgramSettings settings;
    return settings;
}

ProgramSettings readProgramSettings(const SettingsStore &store)
{
    ProgramSettings s;
    auto readBool = [&store](const char *key, bool fallback) {
        return parseSettingBool(store.GetSetting(QLatin1String(key))).value_or(fallback);
    };
    s.bAutoCheck = readBool("AutoCheck", s.bAutoCheck);
    s.bMapDefault = readBool("MapDefault", s.bMapDefault);
    s.bShowAnimations = readBool("ShowAnimations", s.bShowAnimations);
    s.bRecordSound = readBool("RecordSound", s.bRecordSound);
    s.iRoundTimer = parseRoundTimer(store.GetSetting(QStringLiteral("RoundTimer"))).value_or(kDefaultRoundTimer);
    s.bDicas = readBool("Dicas", s.bDicas);
    return s;
}

void writeOptions(SettingsStore &store, const ProgramSettings &s)
{
    store.SaveSetting(QStringLiteral("AutoCheck"), settingBoolText(s.bAutoCheck));
    store.SaveSetting(QStringLiteral("MapDefault"), settingBoolText(s.bMapDefault));
    store.SaveSetting(QStringLiteral("ShowAnimations"), settingBoolText(s.bShowAnimations));
    store.SaveSetting(QStringLiteral("RecordSound"), settingBoolText(s.bRecordSound));
    store.SaveSetting(QStringLiteral("RoundTimer"), QString::number(s.iRoundTimer));
}

void writeDicas(SettingsStore &store, bool on)
{
    store.SaveSetting(QStringLiteral("Dicas"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

void writeRecordSound(SettingsStore &store, bool on)
{
    store.SaveSetting(QStringLiteral("RecordSound"), settingBoolText(on));
}

bool takeFirstRun(SettingsStore &store)
{
    const auto vez = parseNumber(store.GetSetting(QStringLiteral("Vez"), QStringLiteral("0")));
    // Only a stored 0 (or nothing) is a first run: an edited, unreadable value must not bring
    // the welcome back on every start.
    const bool first = vez ? toInt16(*vez).value_or(1) == 0 : false;
    if (first)
        store.SaveSetting(QStringLiteral("Vez"), QStringLiteral("1"));
    return first;
}

bool needsFileAssociation(const SettingsStore &store)
{
    const auto value = parseNumber(store.GetSetting(QStringLiteral("Associado"), QStringLiteral("0")));
    return !value || *value < 3;
}

void markFileAssociated(SettingsStore &store) { store.SaveSetting(QStringLiteral("Associado"), QStringLiteral("3")); }

} // namespace quorvel
