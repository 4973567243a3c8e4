// The Windows locales the program knows, in place of the system's locale database: for each its
// identifier (LCID), the three-letter abbreviation that names language modules, its names, its
// country and default ANSI code page, and the POSIX locale that stands for it on this system.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace qv {

// The identifier that stands for the user's default locale, and English (United Kingdom).
constexpr std::uint32_t kUserDefaultLcid = 0x0400;
constexpr std::uint32_t kEnglishUkLcid = 0x0809;

struct LocaleInfo {
    std::uint32_t Lcid = 0;
    QString Abbreviation;   // the abbreviated language name, "ENG"
    QString Language;       // the language name, "English (United Kingdom)"
    QString NativeLanguage; // the language's name in itself, "English"
    QString EnglishCountry; // "United Kingdom"
    int AnsiCodePage = 0;   // 1252
    QString PosixName;      // "en_GB"
};

// Every locale of the table, in the order the system enumerates them.
const std::vector<LocaleInfo>& InstalledLocales();

// The locale of an identifier; kUserDefaultLcid stands for UserDefaultLcid(). Null when the
// table has no such locale.
const LocaleInfo* FindLocale(std::uint32_t lcid);

// The user's default locale: the one the first set of LC_ALL, LC_MESSAGES and LANG names
// ("de_DE.UTF-8"; a language alone, "de", takes the first locale of that language); 0 when the
// setting names no locale of the table ("C").
std::uint32_t UserDefaultLcid();

} // namespace qv
