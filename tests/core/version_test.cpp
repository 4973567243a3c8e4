#include "core/appstate.h"
#include "core/version.h"
#include "fixtures/qmwriter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

class VersionInfo : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        ASSERT_TRUE(dir_.isValid());
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

void ExpectNoValues(const CVersionInfo& info) {
    EXPECT_FALSE(info.IsLoaded());
    EXPECT_TRUE(info.ProductName().isNull());
    EXPECT_TRUE(info.ProductVersion().isNull());
    EXPECT_TRUE(info.FileVersion().isNull());
    EXPECT_TRUE(info.LegalCopyright().isNull());
}

} // namespace

TEST_F(VersionInfo, LoadProgramVersion_FillsTheProgramTextsFromItsOwnInformation) {
    LoadProgramVersion();
    EXPECT_EQ(App().ProgramTitle, QStringLiteral("Quarvel"));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d+\\.\\d+$")).match(App().ProgramVersion).hasMatch())
        << App().ProgramVersion.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"))
                    .match(App().ProgramFileVersion)
                    .hasMatch())
        << App().ProgramFileVersion.toStdString();
    EXPECT_TRUE(App().ProgramFileVersion.startsWith(App().ProgramVersion + QChar('.')));
    EXPECT_FALSE(App().ProgramCopyright.isEmpty());
    // The store's data format has its own version, whatever the program's is.
    EXPECT_EQ(App().StoreDataVersion, QStringLiteral("3.0"));
}

TEST_F(VersionInfo, OwnInformation_HasNoValueUnderAnUnknownName) {
    const CVersionInfo own;
    EXPECT_TRUE(own.IsLoaded());
    EXPECT_EQ(own.GetValue(QStringLiteral("ProductName")), QStringLiteral("Quarvel"));
    EXPECT_TRUE(own.GetValue(QStringLiteral("CompanyName")).isNull());
    EXPECT_TRUE(own.GetValue(QStringLiteral("productname")).isNull());
}

TEST_F(VersionInfo, LanguageModule_CarriesItsOwnVersionStrings) {
    const QString module = Path(QStringLiteral("quarvel.deu"));
    QList<test::QmMessage> messages = test::VersionInfoMessages(
        "Quarvel", "1.0", "1.0.0.7", "Copyright (C) 2026 The Quarvel translators");
    messages.append({"TStringsForm", "Please Wait", "PLEASE_WAIT", "Bitte warten"});
    ASSERT_TRUE(test::WriteQm(module, messages));

    const CVersionInfo info(module);
    EXPECT_TRUE(info.IsLoaded());
    EXPECT_EQ(info.ProductName(), QStringLiteral("Quarvel"));
    EXPECT_EQ(info.ProductVersion(), QStringLiteral("1.0"));
    EXPECT_EQ(info.FileVersion(), QStringLiteral("1.0.0.7"));
    EXPECT_EQ(info.LegalCopyright(), QStringLiteral("Copyright (C) 2026 The Quarvel translators"));
    // A message of the table is no version value.
    EXPECT_TRUE(info.GetValue(QStringLiteral("Please Wait")).isNull());
}

TEST_F(VersionInfo, LanguageModule_OfAnotherVersionIsToldApart) {
    const QString module = Path(QStringLiteral("quarvel.fra"));
    ASSERT_TRUE(test::WriteQm(module, test::VersionInfoMessages("Quarvel", "1.0 ", "1.0.0.0", "")));
    const CVersionInfo info(module);
    EXPECT_NE(info.ProductVersion(), QStringLiteral("1.0"));
    EXPECT_TRUE(info.LegalCopyright().isNull());
}

TEST_F(VersionInfo, FileWithoutVersionStrings_YieldsNoneForEveryValue) {
    const QString plainModule = Path(QStringLiteral("quarvel.ita"));
    ASSERT_TRUE(
        test::WriteQm(plainModule, {{"TStringsForm", "Please Wait", "PLEASE_WAIT", "Attendere"}}));
    ExpectNoValues(CVersionInfo(plainModule));

    const QString notAModule = Path(QStringLiteral("quarvel.esp"));
    QFile file(notAModule);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ProductVersion=1.0\n");
    file.close();
    ExpectNoValues(CVersionInfo(notAModule));

    ExpectNoValues(CVersionInfo(Path(QStringLiteral("missing.nld"))));
    ExpectNoValues(CVersionInfo(dir_.path()));
}

TEST_F(VersionInfo, NamedFile_IsReadByItsExactNameOnly) {
    // A module beside it whose name merely begins like it must not stand in for it.
    ASSERT_TRUE(test::WriteQm(Path(QStringLiteral("quarvel.eng.qm")),
                              test::VersionInfoMessages("Quarvel", "1.0", "1.0.0.0", "")));
    ASSERT_TRUE(test::WriteQm(Path(QStringLiteral("quarvel.qm")),
                              test::VersionInfoMessages("Quarvel", "1.0", "1.0.0.0", "")));
    ExpectNoValues(CVersionInfo(Path(QStringLiteral("quarvel.eng"))));
    ExpectNoValues(CVersionInfo(Path(QStringLiteral("quarvel.eng_GB"))));
}
