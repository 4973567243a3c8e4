#include "platform/localetable.h"

#include <QByteArray>

namespace qv {

const std::vector<LocaleInfo>& InstalledLocales() {
    // The languages that people running the simulator use; the order is the system's (by
    // identifier), not the order of names.
    static const std::vector<LocaleInfo> table = {
        {0x0405, "CSY", "Czech (Czech Republic)", "čeština", "Czech Republic", 1250, "cs_CZ"},
        {0x0406, "DAN", "Danish (Denmark)", "dansk", "Denmark", 1252, "da_DK"},
        {0x0407, "DEU", "German (Germany)", "Deutsch", "Germany", 1252, "de_DE"},
        {0x0409, "ENU", "English (United States)", "English", "United States", 1252, "en_US"},
        {0x040A, "ESP", "Spanish (Traditional Sort)", "español", "Spain", 1252, "es_ES"},
        {0x040B, "FIN", "Finnish (Finland)", "suomi", "Finland", 1252, "fi_FI"},
        {0x040C, "FRA", "French (France)", "français", "France", 1252, "fr_FR"},
        {0x040E, "HUN", "Hungarian (Hungary)", "magyar", "Hungary", 1250, "hu_HU"},
        {0x0410, "ITA", "Italian (Italy)", "italiano", "Italy", 1252, "it_IT"},
        {0x0411, "JPN", "Japanese (Japan)", "日本語", "Japan", 932, "ja_JP"},
        {0x0413, "NLD", "Dutch (Netherlands)", "Nederlands", "Netherlands", 1252, "nl_NL"},
        {0x0414, "NOR", "Norwegian (Bokmål)", "norsk", "Norway", 1252, "nb_NO"},
        {0x0415, "PLK", "Polish (Poland)", "polski", "Poland", 1250, "pl_PL"},
        {0x0416, "PTB", "Portuguese (Brazil)", "português", "Brazil", 1252, "pt_BR"},
        {0x0419, "RUS", "Russian (Russia)", "русский", "Russia", 1251, "ru_RU"},
        {0x041D, "SVE", "Swedish (Sweden)", "svenska", "Sweden", 1252, "sv_SE"},
        {0x0809, "ENG", "English (United Kingdom)", "English", "United Kingdom", 1252, "en_GB"},
        {0x0816, "PTG", "Portuguese (Portugal)", "português", "Portugal", 1252, "pt_PT"},
        {0x0C0A, "ESN", "Spanish (International Sort)", "español", "Spain", 1252, "es_ES"},
    };
    return table;
}

const LocaleInfo* FindLocale(std::uint32_t lcid) {
    if (lcid == kUserDefaultLcid)
        lcid = UserDefaultLcid();
    for (const LocaleInfo& info : InstalledLocales()) {
        if (info.Lcid == lcid)
            return &info;
    }
    return nullptr;
}

std::uint32_t UserDefaultLcid() {
    QByteArray setting;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        setting = qgetenv(variable);
        if (!setting.isEmpty())
            break;
    }
    // "de_DE.UTF-8@euro": the language and territory stand before the code set and modifier.
    QString name = QString::fromLatin1(setting);
    name = name.left(name.indexOf(QChar('.'))).section(QChar('@'), 0, 0);
    if (name.isEmpty())
        return 0;
    const std::vector<LocaleInfo>& table = InstalledLocales();
    for (const LocaleInfo& info : table) {
        if (info.PosixName.compare(name, Qt::CaseInsensitive) == 0)
            return info.Lcid;
    }
    const QString language = name.section(QChar('_'), 0, 0) + QChar('_');
    for (const LocaleInfo& info : table) {
        if (info.PosixName.startsWith(language, Qt::CaseInsensitive))
            return info.Lcid;
    }
    return 0;
}

} // namespace qv
