// The program's languages. A language module is a Qt translation file next to the program, named
// like the program with a locale's three-letter abbreviation as extension ("quarvel.DEU"), that
// carries the product version it was made for. This unit lists the modules that fit this
// program, chooses and loads one at start-up (the message table follows the loaded module at its
// next lookup) and sets the locale that sorting follows.
#pragma once

#include "core/itemset.h"
#include "platform/localetable.h"

#include <QByteArray>
#include <QString>
#include <QTranslator>
#include <cstdint>

namespace qv {

// One language of the list.
struct LanguageSet {
    std::uint32_t Lcid = 0;
    QString Abbreviation; // "DEU"; the module's extension
    QString Name;         // the locale's language name without the country in brackets
    QString NativeName;
    bool Available = false; // a module of the program's version exists for it
};

template <> struct RecordKind<LanguageSet> { static constexpr int code = RK_LANGUAGE; };

// A loaded module: its bytes, which the translator reads in place, and the translator, which is
// installed while the module is in use and removes itself when freed.
struct LanguageModule {
    QByteArray Data;
    QTranslator Translator;
};

// Where the per-program resource-locale override is kept (under HKEY_CURRENT_USER), one value per
// program file.
inline const QString kLocaleOverrideKey = QStringLiteral("Software\\Qt\\Locales");

// True when the program's locale override reads "eng" (any case). Otherwise writes "eng" and
// returns false. Nothing on this platform reads the value, so the program goes on either way.
bool CheckLocaleOverride();

// The program file's path (ProgramFilePath, Windows form) with its extension replaced by "." and
// the locale's abbreviation; empty for a locale the table does not know.
QString ResourceModuleName(std::uint32_t lcid);

// True when the locale's module exists (its name found without regard to case) and carries
// exactly the program's ProductVersion. With no program version no module fits.
bool IsLanguageAvailable(std::uint32_t lcid);

// Fills App().LanguageList with the languages that have a module of the program's version beside
// the program, sorted by name. A module file marks only the first language in name order whose
// abbreviation is its extension.
void EnumerateLanguages();
// The same over a given locale table in the system's order (the installed locales above).
void EnumerateLanguages(const std::vector<LocaleInfo>& locales);

// Loads the start-up language: the one of "Last Language" when its module fits, else (with
// "Last Language" emptied) the first that fits of the user's default locale and English (United
// Kingdom). Without either, and unless "GoWithNoResource" is set, tells the user in a stop box
// and returns false: the program then runs in English with no language choice.
bool SelectStartupLanguage();

// Makes the locale's language the one that collation follows: the C library's LC_COLLATE (when
// the system has that locale) and the default QLocale, which CompareText's collator takes. The
// classification locale is left alone. An unknown locale changes nothing.
void SetRuntimeLocale(std::uint32_t lcid);

// Loads the locale's module (by its abbreviation, else by its first two letters) and puts it in
// place of the module in use, which is freed. False, with nothing changed, when neither loads.
bool LoadNewResourceModule(std::uint32_t lcid);

} // namespace qv
