#include "core/languages.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/languagemodulecheck.h"
#include "core/regsettings.h"
#include "core/toolpaths.h"
#include "core/version.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <clocale>
#include <memory>

namespace qv {

namespace {

// The program file's path without its extension (Windows form): what module names are made of.
QString ProgramPathWithoutExtension() {
    const QString program = ProgramFilePath();
    const qsizetype dot = program.lastIndexOf(QChar('.'));
    if (dot > program.lastIndexOf(QChar('\\')))
        return program.left(dot);
    return program;
}

// The language's name without the country that follows it in brackets.
QString LanguageName(const QString& localeLanguage) {
    return localeLanguage.section(QChar('('), 0, 0).trimmed();
}

// Reads a module file; null when it is missing or no translation file.
std::unique_ptr<LanguageModule> ReadModule(const QString& path) {
    auto module = std::make_unique<LanguageModule>();
    QString hostPath;
    if (!ResolvePath(path, &hostPath) || !ReadCheckedModule(hostPath, &module->Data))
        return nullptr;
    if (!module->Translator.load(reinterpret_cast<const uchar*>(module->Data.constData()),
                                 int(module->Data.size())))
        return nullptr;
    return module;
}

// Loads a language as the one in use.
void UseLanguage(std::uint32_t lcid) {
    LoadNewResourceModule(lcid);
    App().CurrentLanguageId = lcid;
    SetRuntimeLocale(lcid);
}

} // namespace

bool CheckLocaleOverride() {
    const QString program = ProgramFilePath();
    if (RegReadStringAt(HKEY_CURRENT_USER, kLocaleOverrideKey, program)
            .compare(QStringLiteral("eng"), Qt::CaseInsensitive) == 0)
        return true;
    RegWriteStringAt(HKEY_CURRENT_USER, kLocaleOverrideKey, program, QStringLiteral("eng"));
    return false;
}

QString ResourceModuleName(std::uint32_t lcid) {
    const LocaleInfo* locale = FindLocale(lcid);
    if (!locale || locale->Abbreviation.isEmpty())
        return QString();
    return ProgramPathWithoutExtension() + QChar('.') + locale->Abbreviation;
}

bool IsLanguageAvailable(std::uint32_t lcid) {
    const QString module = ResourceModuleName(lcid);
    QString hostPath;
    if (module.isEmpty() || !FileExists(module) || !ResolvePath(module, &hostPath))
        return false;
    const QString version = CVersionInfo(hostPath).ProductVersion();
    return !version.isEmpty() && version == App().ProgramVersion;
}

void EnumerateLanguages() {
    EnumerateLanguages(InstalledLocales());
}

void EnumerateLanguages(const std::vector<LocaleInfo>& locales) {
    RecordList<LanguageSet>& list = App().LanguageList;
    list.clear();
    for (const LocaleInfo& locale : locales) {
        if (locale.Abbreviation.isEmpty())
            continue;
        auto language = std::make_unique<LanguageSet>();
        language->Lcid = locale.Lcid;
        language->Abbreviation = locale.Abbreviation;
        language->Name = LanguageName(locale.Language);
        language->NativeName = locale.NativeLanguage;
        list.push_back(std::move(language));
    }
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return CompareText(a->Name, b->Name) < 0;
    });

    // Every file named like the program, whatever its extension, may be a module.
    const QString base = ProgramPathWithoutExtension();
    QList<FindEntry> entries;
    FindEntries(base + QStringLiteral(".*"), &entries);
    for (const FindEntry& entry : entries) {
        const qsizetype dot = entry.name.lastIndexOf(QChar('.'));
        if (entry.IsFolder() || dot < 0)
            continue;
        const QString extension = entry.name.mid(dot + 1);
        for (const auto& language : list) {
            if (language->Abbreviation.compare(extension, Qt::CaseInsensitive) != 0)
                continue;
            if (IsLanguageAvailable(language->Lcid))
                language->Available = true;
            break;
        }
    }
    std::erase_if(list, [](const auto& language) { return !language->Available; });
}

bool SelectStartupLanguage() {
    bool isNumber = false;
    const std::uint32_t last =
        RegReadString(kProductKey, QStringLiteral("Last Language")).toUInt(&isNumber);
    if (isNumber && IsLanguageAvailable(last)) {
        UseLanguage(last);
        return true;
    }
    RegWriteString(kProductKey, QStringLiteral("Last Language"), QString());
    for (const std::uint32_t lcid : {kUserDefaultLcid, kEnglishUkLcid}) {
        if (IsLanguageAvailable(lcid)) {
            UseLanguage(lcid);
            return true;
        }
    }
    if (ReadFlag(QStringLiteral("GoWithNoResource")))
        return true;
    // The message table is made from the module, so these texts cannot come from it.
    TheUi().MessageBox(ModuleLineText("Languages", 203) + QChar('\n') +
                           QStringLiteral("Windows Language Resources are not available.") +
                           QChar('\n') +
                           QStringLiteral("The program will run with Language options disabled."),
                       App().ProgramTitle, MB_ICONSTOP);
    return false;
}

void SetRuntimeLocale(std::uint32_t lcid) {
    const LocaleInfo* locale = FindLocale(lcid);
    if (!locale)
        return;
    // Systems name their locales with one spelling of the code set or another, or install none
    // but C; Qt's collator follows the default QLocale whether or not the C library has it.
    for (const char* codeSet : {".UTF-8", ".utf8", ""}) {
        if (std::setlocale(LC_COLLATE, (locale->PosixName + QLatin1String(codeSet)).toLatin1()))
            break;
    }
    SetDefaultLocale(QLocale(locale->PosixName));
}

bool LoadNewResourceModule(std::uint32_t lcid) {
    const LocaleInfo* locale = FindLocale(lcid);
    if (!locale || locale->Abbreviation.isEmpty())
        return false;
    const QString abbreviation = locale->Abbreviation.left(3);
    const QString base = ProgramPathWithoutExtension() + QChar('.');
    std::unique_ptr<LanguageModule> module = ReadModule(base + abbreviation);
    if (!module && abbreviation.size() == 3)
        module = ReadModule(base + abbreviation.left(2));
    if (!module)
        return false;
    QCoreApplication::installTranslator(&module->Translator);
    // The module in use until now is freed, which takes it out of the lookups.
    App().LoadedLanguageModule = std::move(module);
    return true;
}

} // namespace qv
