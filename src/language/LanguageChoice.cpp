#include "language/LanguageChoice.h"

#include "common/ProgramFolder.h"
#include "language/clsLanguagePack.h"

#include <QtGlobal>

#include <iterator>

namespace quorvel {

namespace {

struct LanguageRow {
    int id;
    const char *name;
    const char *locale; // language[_REGION][@modifier] of the POSIX locale names
};

// The Windows language ids the program knows, in id order: a language's main row (the one a
// region missing from the table falls back to) is its first row here.
constexpr LanguageRow kLanguages[] = {
    {0x0401, "Arabic (Saudi Arabia)", "ar_SA"},
    {0x0402, "Bulgarian", "bg_BG"},
    {0x0403, "Catalan", "ca_ES"},
    {0x0404, "Chinese (Taiwan)", "zh_TW"},
    {0x0405, "Czech", "cs_CZ"},
    {0x0406, "Danish", "da_DK"},
    {0x0407, "German (Germany)", "de_DE"},
    {0x0408, "Greek", "el_GR"},
    {0x0409, "English (United States)", "en_US"},
    {0x040A, "Spanish (Traditional Sort)", "es_ES@traditional"},
    {0x040B, "Finnish", "fi_FI"},
    {0x040C, "French (France)", "fr_FR"},
    {0x040D, "Hebrew", "he_IL"},
    {0x040E, "Hungarian", "hu_HU"},
    {0x040F, "Icelandic", "is_IS"},
    {0x0410, "Italian (Italy)", "it_IT"},
    {0x0411, "Japanese", "ja_JP"},
    {0x0412, "Korean", "ko_KR"},
    {0x0413, "Dutch (Netherlands)", "nl_NL"},
    {0x0414, "Norwegian (Bokmal)", "nb_NO"},
    {0x0415, "Polish", "pl_PL"},
    {0x0416, "Portuguese (Brazil)", "pt_BR"},
    {0x0418, "Romanian", "ro_RO"},
    {0x0419, "Russian", "ru_RU"},
    {0x041A, "Croatian", "hr_HR"},
    {0x041B, "Slovak", "sk_SK"},
    {0x041C, "Albanian", "sq_AL"},
    {0x041D, "Swedish", "sv_SE"},
    {0x041E, "Thai", "th_TH"},
    {0x041F, "Turkish", "tr_TR"},
    {0x0420, "Urdu", "ur_PK"},
    {0x0421, "Indonesian", "id_ID"},
    {0x0422, "Ukrainian", "uk_UA"},
    {0x0423, "Belarusian", "be_BY"},
    {0x0424, "Slovenian", "sl_SI"},
    {0x0425, "Estonian", "et_EE"},
    {0x0426, "Latvian", "lv_LV"},
    {0x0427, "Lithuanian", "lt_LT"},
    {0x0429, "Farsi", "fa_IR"},
    {0x042A, "Vietnamese", "vi_VN"},
    {0x042B, "Armenian", "hy_AM"},
    {0x042C, "Azeri (Latin)", "az_AZ"},
    {0x042D, "Basque", "eu_ES"},
    {0x042F, "FYRO Macedonian", "mk_MK"},
    {0x0436, "Afrikaans", "af_ZA"},
    {0x0437, "Georgian", "ka_GE"},
    {0x0438, "Faroese", "fo_FO"},
    {0x0439, "Hindi", "hi_IN"},
    {0x043E, "Malay (Malaysia)", "ms_MY"},
    {0x043F, "Kazakh", "kk_KZ"},
    {0x0440, "Kyrgyz (Cyrillic)", "ky_KG"},
    {0x0441, "Swahili", "sw_KE"},
    {0x0443, "Uzbek (Latin)", "uz_UZ"},
    {0x0444, "Tatar", "tt_RU"},
    {0x0446, "Punjabi", "pa_IN"},
    {0x0447, "Gujarati", "gu_IN"},
    {0x0449, "Tamil", "ta_IN"},
    {0x044A, "Telugu", "te_IN"},
    {0x044B, "Kannada", "kn_IN"},
    {0x044E, "Marathi", "mr_IN"},
    {0x044F, "Sanskrit", "sa_IN"},
    {0x0450, "Mongolian (Cyrillic)", "mn_MN"},
    {0x0456, "Galician", "gl_ES"},
    {0x0457, "Konkani", "kok_IN"},
    {0x045A, "Syriac", "syr_SY"},
    {0x0465, "Divehi", "dv_MV"},
    {0x0801, "Arabic (Iraq)", "ar_IQ"},
    {0x0804, "Chinese (PRC)", "zh_CN"},
    {0x0807, "German (Switzerland)", "de_CH"},
    {0x0809, "English (United Kingdom)", "en_GB"},
    {0x080A, "Spanish (Mexico)", "es_MX"},
    {0x080C, "French (Belgium)", "fr_BE"},
    {0x0810, "Italian (Switzerland)", "it_CH"},
    {0x0813, "Dutch (Belgium)", "nl_BE"},
    {0x0814, "Norwegian (Nynorsk)", "nn_NO"},
    {0x0816, "Portuguese (Portugal)", "pt_PT"},
    {0x081A, "Serbian (Latin)", "sr_RS@latin"},
    {0x081D, "Swedish (Finland)", "sv_FI"},
    {0x082C, "Azeri (Cyrillic)", "az_AZ@cyrillic"},
    {0x083E, "Malay (Brunei Darussalam)", "ms_BN"},
    {0x0843, "Uzbek (Cyrillic)", "uz_UZ@cyrillic"},
    {0x0C01, "Arabic (Egypt)", "ar_EG"},
    {0x0C04, "Chinese (Hong Kong S.A.R.)", "zh_HK"},
    {0x0C07, "German (Austria)", "de_AT"},
    {0x0C09, "English (Australia)", "en_AU"},
    {0x0C0A, "Spanish (International Sort)", "es_ES"},
    {0x0C0C, "French (Canada)", "fr_CA"},
    {0x0C1A, "Serbian (Cyrillic)", "sr_RS"},
    {0x1001, "Arabic (Libya)", "ar_LY"},
    {0x1004, "Chinese (Singapore)", "zh_SG"},
    {0x1007, "German (Luxembourg)", "de_LU"},
    {0x1009, "English (Canada)", "en_CA"},
    {0x100A, "Spanish (Guatemala)", "es_GT"},
    {0x100C, "French (Switzerland)", "fr_CH"},
    {0x1401, "Arabic (Algeria)", "ar_DZ"},
    {0x1404, "Chinese (Macau S.A.R.)", "zh_MO"},
    {0x1407, "German (Liechtenstein)", "de_LI"},
    {0x1409, "English (New Zealand)", "en_NZ"},
    {0x140A, "Spanish (Costa Rica)", "es_CR"},
    {0x140C, "French (Luxembourg)", "fr_LU"},
    {0x1801, "Arabic (Morocco)", "ar_MA"},
    {0x1809, "English (Ireland)", "en_IE"},
    {0x180A, "Spanish (Panama)", "es_PA"},
    {0x180C, "French (Monaco)", "fr_MC"},
    {0x1C01, "Arabic (Tunisia)", "ar_TN"},
    {0x1C09, "English (South Africa)", "en_ZA"},
    {0x1C0A, "Spanish (Dominican Republic)", "es_DO"},
    {0x2001, "Arabic (Oman)", "ar_OM"},
    {0x2009, "English (Jamaica)", "en_JM"},
    {0x200A, "Spanish (Venezuela)", "es_VE"},
    {0x2401, "Arabic (Yemen)", "ar_YE"},
    {0x2409, "English (Caribbean)", "en_AG"},
    {0x240A, "Spanish (Colombia)", "es_CO"},
    {0x2801, "Arabic (Syria)", "ar_SY"},
    {0x2809, "English (Belize)", "en_BZ"},
    {0x280A, "Spanish (Peru)", "es_PE"},
    {0x2C01, "Arabic (Jordan)", "ar_JO"},
    {0x2C09, "English (Trinidad)", "en_TT"},
    {0x2C0A, "Spanish (Argentina)", "es_AR"},
    {0x3001, "Arabic (Lebanon)", "ar_LB"},
    {0x3009, "English (Zimbabwe)", "en_ZW"},
    {0x300A, "Spanish (Ecuador)", "es_EC"},
    {0x3401, "Arabic (Kuwait)", "ar_KW"},
    {0x3409, "English (Philippines)", "en_PH"},
    {0x340A, "Spanish (Chile)", "es_CL"},
    {0x3801, "Arabic (U.A.E.)", "ar_AE"},
    {0x380A, "Spanish (Uruguay)", "es_UY"},
    {0x3C01, "Arabic (Bahrain)", "ar_BH"},
    {0x3C0A, "Spanish (Paraguay)", "es_PY"},
    {0x4001, "Arabic (Qatar)", "ar_QA"},
    {0x400A, "Spanish (Bolivia)", "es_BO"},
    {0x440A, "Spanish (El Salvador)", "es_SV"},
    {0x480A, "Spanish (Honduras)", "es_HN"},
    {0x4C0A, "Spanish (Nicaragua)", "es_NI"},
    {0x500A, "Spanish (Puerto Rico)", "es_PR"},
};
static_assert(std::size(kLanguages) == 135);

// Language codes that name a language of the table under another code.
constexpr struct {
    const char *alias;
    const char *code;
} kLanguageAliases[] = {{"no", "nb"}, {"iw", "he"}, {"in", "id"}};

QString languagePart(const QString &tag)
{
    return tag.section(QLatin1Char('@'), 0, 0).section(QLatin1Char('_'), 0, 0);
}

QString sIdiomaValue;

} // namespace

QString languageFromSwitch(const QString &commandLine)
{
    static const char *const switches[] = {"Spanish", "Portuguese", "French", "Romanian", "Dutch"};
    for (const char *language : switches) {
        if (commandLine == QLatin1Char('-') + QLatin1String(language))
            return QLatin1String(language);
    }
    return {};
}

int languageIdForLocale(const QString &posixLocale)
{
    // language[_territory][.codeset][@modifier]
    QString name = posixLocale.trimmed();
    QString modifier;
    if (const qsizetype at = name.indexOf(QLatin1Char('@')); at >= 0) {
        modifier = name.mid(at + 1).toLower();
        name.truncate(at);
    }
    if (const qsizetype dot = name.indexOf(QLatin1Char('.')); dot >= 0)
        name.truncate(dot);
    QString language = name.section(QLatin1Char('_'), 0, 0).toLower();
    const QString territory = name.section(QLatin1Char('_'), 1, 1).toUpper();
    if (language.isEmpty() || language == QLatin1String("c") || language == QLatin1String("posix"))
        return 0;
    for (const auto &alias : kLanguageAliases) {
        if (language == QLatin1String(alias.alias))
            language = QLatin1String(alias.code);
    }

    const QString withRegion = territory.isEmpty() ? language : language + QLatin1Char('_') + territory;
    const QString withModifier = modifier.isEmpty() ? withRegion : withRegion + QLatin1Char('@') + modifier;
    for (const QString &wanted : {withModifier, withRegion}) {
        for (const LanguageRow &row : kLanguages) {
            if (wanted == QLatin1String(row.locale))
                return row.id;
        }
    }
    for (const LanguageRow &row : kLanguages) {
        if (language == languagePart(QLatin1String(row.locale)))
            return row.id;
    }
    return 0;
}

QString systemLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

int GetSystemLangID() { return languageIdForLocale(systemLocaleName()); }

QString GetLanguageName(int id)
{
    for (const LanguageRow &row : kLanguages) {
        if (row.id == id)
            return QLatin1String(row.name);
    }
    return QStringLiteral("Unknown");
}

QString GetLanguageBaseName(int id) { return GetLanguageName(id).section(QLatin1Char(' '), 0, 0); }

const QString &sIdioma() { return sIdiomaValue; }

LanguageStartup chooseLanguage(clsLanguagePack &pack, const QString &commandLine,
                               const QString &langFolder, const QString &posixLocale)
{
    LanguageStartup result;
    result.language = languageFromSwitch(commandLine);
    if (result.language.isEmpty())
        result.language = GetLanguageBaseName(languageIdForLocale(posixLocale));

    const QString list = clsLanguagePack::EnumLanguagePacks(langFolder, QStringLiteral("*.lpk"),
                                                            &result.folderMissing);
    if (result.folderMissing) {
        result.message = langFolder + QStringLiteral(" doesn't exist.");
        return result;
    }
    // The pack's whole file name must be listed: "OldSpanish.lpk" is no Spanish pack.
    const QString fileName = result.language + QStringLiteral(".lpk");
    if (!list.split(QLatin1Char('|')).contains(fileName))
        return result;
    result.packFile = langFolder + QLatin1Char('/') + fileName;
    result.loaded = pack.LoadPack(result.packFile, &result.error);
    return result;
}

const LanguageStartup &startLanguage(const QString &commandLine)
{
    static const LanguageStartup result = [&] {
        LanguageStartup r = chooseLanguage(LanguagePack(), commandLine,
                                           programFolder() + QStringLiteral("/lang"),
                                           systemLocaleName());
        sIdiomaValue = r.language;
        return r;
    }();
    return result;
}

} // namespace quorvel
