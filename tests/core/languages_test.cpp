#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/languagemodulecheck.h"
#include "core/languages.h"
#include "core/regsettings.h"
#include "core/version.h"
#include "fixtures/growth.h"
#include "fixtures/qmwriter.h"
#include "fixtures/registrysandbox.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <clocale>
#include <string>

using namespace qv;

namespace {

// Sets an environment variable for the life of the object, or unsets it for a null value.
class EnvSetting {
public:
    EnvSetting(const char* name, const char* value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
        Set(value);
    }
    ~EnvSetting() { had_ ? void(qputenv(name_, previous_)) : void(qunsetenv(name_)); }
    void Set(const char* value) { value ? void(qputenv(name_, value)) : void(qunsetenv(name_)); }

private:
    const char* name_;
    bool had_;
    QByteArray previous_;
};

test::QmMessage Translation(Msg key, const QString& text) {
    return {"TStringsForm", EnglishCaption(key), MessageKeyName(key), text};
}

class Languages : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        ASSERT_TRUE(dir_.isValid());
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().ProgramVersion = QStringLiteral("1.0");
        App().ProgramFilePath = ToWindowsForm(dir_.filePath(QStringLiteral("quarvel")));
        savedCollation_ = std::setlocale(LC_COLLATE, nullptr);
    }
    void TearDown() override {
        ResetAppState(); // frees the loaded module, which takes it out of the lookups
        SetDefaultLocale(savedLocale_);
        std::setlocale(LC_COLLATE, savedCollation_.c_str());
    }

    void WriteModule(const QString& name, const QString& version,
                     const QList<test::QmMessage>& texts = {}) {
        ASSERT_TRUE(test::WriteQm(
            dir_.filePath(name),
            test::VersionInfoMessages("Quarvel", version, version + ".0.0", "") + texts));
    }
    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile file(dir_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString LastLanguage() const { return RegReadString(kProductKey, "Last Language"); }

    // The user's default locale is what LANG names, as no other setting is made.
    EnvSetting lcAll_{"LC_ALL", nullptr};
    EnvSetting lcMessages_{"LC_MESSAGES", nullptr};
    EnvSetting lang_{"LANG", "C.UTF-8"};
    RegistrySandbox registry_;
    FakeUi ui_;
    QTemporaryDir dir_;
    QLocale savedLocale_;
    std::string savedCollation_;
};

} // namespace

TEST_F(Languages, OnlyModulesOfTheProgramsExactVersionAreOffered) {
    WriteModule("quarvel.DEU", "1.0");
    WriteModule("quarvel.nld", "1.0"); // the extension's letter case does not matter
    WriteModule("quarvel.FRA", "1.1");
    WriteModule("quarvel.ITA", "1.0 "); // one character more
    WriteModule("quarvel.XYZ", "1.0");  // no locale has this abbreviation
    WriteModule("other.DAN", "1.0");    // named like another program
    WriteFile("quarvel.FIN", "ProductVersion=1.0\n");
    ASSERT_TRUE(QDir(dir_.path()).mkdir("quarvel.SVE"));

    EnumerateLanguages();
    const RecordList<LanguageSet>& list = App().LanguageList;
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->Name, "Dutch"); // sorted by name, the country cut off
    EXPECT_EQ(list[0]->NativeName, "Nederlands");
    EXPECT_EQ(list[1]->Name, "German");
    EXPECT_EQ(list[1]->Abbreviation, "DEU");

    EXPECT_TRUE(IsLanguageAvailable(0x0407));
    EXPECT_FALSE(IsLanguageAvailable(0x040C));
    // A program without version information accepts no module at all.
    App().ProgramVersion.clear();
    EXPECT_FALSE(IsLanguageAvailable(0x0407));
}

TEST_F(Languages, AModuleMarksOnlyTheFirstInNameOrderOfTheLocalesSharingItsAbbreviation) {
    // Both languages have a module of their own (by their real abbreviations); in this table
    // they also share "DEU", so quarvel.DEU stands for one of them only: the first by name.
    WriteModule("quarvel.DEU", "1.0");
    WriteModule("quarvel.NLD", "1.0");
    const std::vector<LocaleInfo> sharing = {
        {0x0407, "DEU", "German (Germany)", "Deutsch", "Germany", 1252, "de_DE"},
        {0x0413, "DEU", "Dutch (Netherlands)", "Nederlands", "Netherlands", 1252, "nl_NL"}};
    EnumerateLanguages(sharing);
    const RecordList<LanguageSet>& list = App().LanguageList;
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->Lcid, 0x0413u);
    EXPECT_EQ(list[0]->Name, "Dutch");
}

TEST_F(Languages, StartupLoadsTheLastLanguageAndTheMessageTableFollowsIt) {
    WriteModule("quarvel.ENG", "1.0");
    WriteModule("quarvel.DEU", "1.0",
                {Translation(Msg::PLEASE_WAIT, "Bitte warten"),
                 Translation(Msg::TREE_HEADING_ROUTES, "Strecken")});
    ASSERT_TRUE(RegWriteString(kProductKey, "Last Language", "1031"));

    EXPECT_TRUE(SelectStartupLanguage());
    EXPECT_EQ(App().CurrentLanguageId, 0x0407u);
    EXPECT_EQ(Caption(Msg::PLEASE_WAIT), "Bitte warten");
    EXPECT_EQ(Caption(Msg::TREE_HEADING_ROUTES), "Strecken");
    // A key the module lacks keeps its English caption.
    EXPECT_EQ(Caption(Msg::WRITE_ERROR), QString::fromUtf8(EnglishCaption(Msg::WRITE_ERROR)));
    EXPECT_EQ(QLocale().name(), "de_DE");
    EXPECT_EQ(LastLanguage(), "1031");

    ResetAppState();
    EXPECT_EQ(Caption(Msg::PLEASE_WAIT), "Please Wait");
}

TEST_F(Languages, StartupWithoutAFittingLastLanguageTakesTheDefaultAndForgetsIt) {
    WriteModule("quarvel.ENG", "1.0", {Translation(Msg::PLEASE_WAIT, "Please wait (UK)")});
    WriteModule("quarvel.DEU", "0.9", {Translation(Msg::PLEASE_WAIT, "Bitte warten")});
    WriteModule("quarvel.FRA", "1.0", {Translation(Msg::PLEASE_WAIT, "Veuillez patienter")});

    ASSERT_TRUE(RegWriteString(kProductKey, "Last Language", "1031"));
    EXPECT_TRUE(SelectStartupLanguage());
    EXPECT_EQ(App().CurrentLanguageId, kEnglishUkLcid);
    EXPECT_EQ(Caption(Msg::PLEASE_WAIT), "Please wait (UK)");
    EXPECT_EQ(LastLanguage(), "");

    // The user's own locale comes before English (United Kingdom).
    lang_.Set("fr_FR.UTF-8@euro");
    ASSERT_TRUE(RegWriteString(kProductKey, "Last Language", "not a number"));
    EXPECT_TRUE(SelectStartupLanguage());
    EXPECT_EQ(App().CurrentLanguageId, kUserDefaultLcid);
    EXPECT_EQ(Caption(Msg::PLEASE_WAIT), "Veuillez patienter");
    EXPECT_EQ(QLocale().name(), "fr_FR");
    EXPECT_EQ(LastLanguage(), "");
    EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(Languages, StartupWithNoModuleTellsTheUserUnlessGoWithNoResource) {
    WriteModule("quarvel.ENG", "2.0");
    EXPECT_FALSE(SelectStartupLanguage());
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text,
              "Module: 'Languages'  Line No.: 203\n\nWindows Language Resources are not "
              "available.\nThe program will run with Language options disabled.");
    EXPECT_EQ(ui_.Shown()[0].caption, "Quarvel");
    EXPECT_EQ(ui_.Shown()[0].style, 16);
    EXPECT_EQ(App().CurrentLanguageId, 0u);

    WriteFlag(true, "GoWithNoResource");
    EXPECT_TRUE(SelectStartupLanguage());
    EXPECT_EQ(ui_.Shown().size(), 1u);
    EXPECT_FALSE(App().LoadedLanguageModule);
}

TEST_F(Languages, LoadNewResourceModule_TriesTwoLettersAndKeepsTheModuleInUseOnFailure) {
    WriteModule("quarvel.DE", "1.0", {Translation(Msg::PLEASE_WAIT, "Bitte warten")});
    EXPECT_TRUE(LoadNewResourceModule(0x0407));
    EXPECT_EQ(Caption(Msg::PLEASE_WAIT), "Bitte warten");

    EXPECT_FALSE(LoadNewResourceModule(0x040C)); // no module
    WriteFile("quarvel.FRA", "not a translation file");
    EXPECT_FALSE(LoadNewResourceModule(0x040C));
    EXPECT_EQ(Caption(Msg::PLEASE_WAIT), "Bitte warten");

    // The new module replaces the old one: keys only the old one had are English again.
    ASSERT_TRUE(QFile::remove(dir_.filePath("quarvel.FRA")));
    WriteModule("quarvel.fra", "1.0", {Translation(Msg::TREE_HEADING_ROUTES, "Itinéraires")});
    EXPECT_TRUE(LoadNewResourceModule(0x040C));
    EXPECT_EQ(Caption(Msg::TREE_HEADING_ROUTES), "Itinéraires");
    EXPECT_EQ(Caption(Msg::PLEASE_WAIT), "Please Wait");
}

TEST_F(Languages, CheckLocaleOverride_WritesEngOnceThenPasses) {
    const QString program = App().ProgramFilePath;
    EXPECT_FALSE(CheckLocaleOverride());
    EXPECT_EQ(RegReadStringAt(HKEY_CURRENT_USER, kLocaleOverrideKey, program), "eng");
    EXPECT_TRUE(CheckLocaleOverride());

    ASSERT_TRUE(RegWriteStringAt(HKEY_CURRENT_USER, kLocaleOverrideKey, program, "deu"));
    EXPECT_FALSE(CheckLocaleOverride());
    EXPECT_EQ(RegReadStringAt(HKEY_CURRENT_USER, kLocaleOverrideKey, program), "eng");
}

TEST_F(Languages, SetRuntimeLocale_MakesSortingFollowTheLanguage) {
    // Swedish sorts "ä" after "z"; German sorts it with "a".
    SetRuntimeLocale(0x041D);
    EXPECT_GT(CompareText(QStringLiteral("ärm"), QStringLiteral("zoo")), 0);
    SetRuntimeLocale(0x0407);
    EXPECT_LT(CompareText(QStringLiteral("ärm"), QStringLiteral("zoo")), 0);
}

TEST_F(Languages, BuiltEnglishModuleIsChosenAtANormalStart) {
    App().ProgramFilePath = ToWindowsForm(QStringLiteral(QUARVEL_PROGRAM_FILE));
    LoadProgramVersion();
    EXPECT_TRUE(SelectStartupLanguage());
    EXPECT_TRUE(ui_.Shown().empty());
    EXPECT_EQ(App().CurrentLanguageId, kEnglishUkLcid);

    EnumerateLanguages();
    ASSERT_FALSE(App().LanguageList.empty());
    EXPECT_EQ(App().LanguageList[0]->Abbreviation, "ENG");
}

namespace {

// A module of the program's version, damaged in one of the ways the translator does not survive
// or should not be given.
QByteArray DamagedModule(int kind) {
    QByteArray qm = test::BuildQm(test::VersionInfoMessages("Quarvel", "1.0", "1.0.0.0", ""));
    const qsizetype hashes = 16 + 5;
    const quint32 hashLength = qFromBigEndian<quint32>(qm.constData() + 17);
    const qsizetype messages = hashes + hashLength + 5;
    switch (kind) {
    case 0: // cut short, as a broken download leaves it
        return qm.left(122);
    case 1: // the first hash entry points past the messages
        qToBigEndian<quint32>(0x7FFFFFF0u, qm.data() + hashes + 4);
        return qm;
    case 2: // the first translation claims far more bytes than there are
        qToBigEndian<quint32>(0x00FFFFF0u, qm.data() + messages + 1);
        return qm;
    case 3: // a context table whose buckets lie past its end
        return qm + QByteArray("\x2f\0\0\0\x02\x7f\xff", 7);
    case 4: // a context whose name runs past the table
        return qm + QByteArray("\x2f\0\0\0\x06\0\x01\0\x01\x09x", 11);
    default: // names other modules, which would be loaded unchecked
        return qm + QByteArray("\x96\0\0\0\x04x.qm", 9);
    }
}

} // namespace

TEST(TranslationDataProblem, SoundModulesPassAndEachDamageIsFound) {
    EXPECT_EQ(TranslationDataProblem(
                  test::BuildQm(test::VersionInfoMessages("Quarvel", "1.0", "1.0.0.0", "(C)"))),
              QString());
    QFile built(QStringLiteral(QUARVEL_PROGRAM_FILE ".ENG"));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    EXPECT_EQ(TranslationDataProblem(built.readAll()), QString()) << "the module we build";

    EXPECT_FALSE(TranslationDataProblem("ProductVersion=1.0\n").isEmpty());
    for (int kind = 0; kind < 6; ++kind)
        EXPECT_FALSE(TranslationDataProblem(DamagedModule(kind)).isEmpty()) << kind;
}

TEST(TranslationDataProblem, EntriesPointingAtOneLongRunCostNoMoreThanTheRun) {
    const auto make = [](int n) {
        QByteArray contexts = QByteArray(2, '\0') + QByteArray("\0\x01", 2).repeated(n) +
                              QByteArray(2, '\0') + QByteArray("\x01x").repeated(n) + '\0';
        qToBigEndian<quint16>(quint16(n), contexts.data()); // n buckets, each at offset 1
        QByteArray qm = test::BuildQm({}).left(16); // the magic number, then each tag and section
        QDataStream(&qm, QIODevice::Append)
            << quint8(0x2f) << contexts << quint8(0x42) << QByteArray(8, '\0').repeated(n)
            << quint8(0x69) << QByteArray("\x05\0\0\0\0", 5).repeated(n) + '\x01';
        return [qm] { ASSERT_EQ(TranslationDataProblem(qm), QString()); };
    };
    EXPECT_LT(test::SixteenfoldGrowth(make, 2000), test::kMostSixteenfoldGrowth);
}

TEST_F(Languages, ADamagedModuleIsSkippedAndReportedOnceNeverLoaded) {
    WriteModule("quarvel.ENG", "1.0");
    ASSERT_TRUE(RegWriteString(kProductKey, "Last Language", "1031"));
    for (int kind = 0; kind < 6; ++kind) {
        WriteFile("quarvel.DEU", DamagedModule(kind));
        App().ReportedLanguageModules.clear();
        const size_t before = ui_.Shown().size();
        EXPECT_FALSE(IsLanguageAvailable(0x0407)) << kind;
        EnumerateLanguages();
        ASSERT_EQ(App().LanguageList.size(), 1u) << kind;
        EXPECT_EQ(App().LanguageList[0]->Abbreviation, "ENG");
        EXPECT_FALSE(LoadNewResourceModule(0x0407)) << kind;
        ASSERT_EQ(ui_.Shown().size(), before + 1) << "told once, however often it is met";
        EXPECT_TRUE(ui_.Shown().back().text.contains("quarvel.DEU' is damaged"));
    }
    EXPECT_TRUE(SelectStartupLanguage());
    EXPECT_EQ(App().CurrentLanguageId, kEnglishUkLcid);
}
