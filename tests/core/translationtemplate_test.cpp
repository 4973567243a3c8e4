// The English language module's source, from which every translation starts: it holds each text
// the sources give to translation (lupdate, run over the sources into a copy of it, adds
// nothing), none they no longer have, and the message table as the code has it.
#include "core/generaldefs.h"
#include "fixtures/tsfile.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

// The contexts that the sources do not give to lupdate: the version strings and the message
// table, whose texts the code looks up by key.
bool OutsideTheSources(const test::TsMessage& message) {
    return message.Context == QLatin1String("VERSIONINFO") ||
           message.Context == QLatin1String("TStringsForm");
}

QString Key(const test::TsMessage& message) {
    return message.Context + QStringLiteral(" | ") + message.Source + QStringLiteral(" | ") +
           message.Comment;
}

class TranslationTemplate : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(test::ReadTsFile(test::EnglishTemplatePath(), &template_, &error))
            << error.toStdString();
        // lupdate works on a copy: the messages it finds in the sources, and those of the
        // template it no longer finds there.
        ASSERT_TRUE(dir_.isValid());
        const QString copy = dir_.filePath(QStringLiteral("quarvel.ts"));
        ASSERT_TRUE(QFile::copy(test::EnglishTemplatePath(), copy));
        QProcess lupdate;
        lupdate.start(QStringLiteral(QUARVEL_LUPDATE),
                      {QStringLiteral("-silent"), QStringLiteral("-recursive"),
                       QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral(QUARVEL_SOURCE_DIR), QStringLiteral("-ts"), copy});
        ASSERT_TRUE(lupdate.waitForFinished(120000)) << QUARVEL_LUPDATE;
        ASSERT_EQ(lupdate.exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
        ASSERT_TRUE(test::ReadTsFile(copy, &updated_, &error)) << error.toStdString();
    }

    QList<test::TsMessage> template_;
    QList<test::TsMessage> updated_;
    QTemporaryDir dir_;
};

TEST_F(TranslationTemplate, HoldsEveryTextTheSourcesTranslate) {
    QSet<QString> held;
    for (const test::TsMessage& message : template_)
        held.insert(Key(message));
    for (const test::TsMessage& message : updated_) {
        const bool found = message.TranslationType != QLatin1String("vanished") &&
                           message.TranslationType != QLatin1String("obsolete");
        EXPECT_TRUE(!found || held.contains(Key(message)))
            << "missing from translations/quarvel.ts: " << Key(message).toStdString();
    }
}

TEST_F(TranslationTemplate, HoldsNoTextTheSourcesNoLongerHave) {
    QSet<QString> gone;
    for (const test::TsMessage& message : updated_)
        if (message.TranslationType == QLatin1String("vanished") ||
            message.TranslationType == QLatin1String("obsolete"))
            gone.insert(Key(message));
    for (const test::TsMessage& message : template_)
        EXPECT_TRUE(OutsideTheSources(message) || !gone.contains(Key(message)))
            << "no longer in the sources: " << Key(message).toStdString();
}

TEST_F(TranslationTemplate, HoldsTheMessageTableAsTheCodeHasIt) {
    QStringList table;
    for (const test::TsMessage& message : template_)
        if (message.Context == QLatin1String("TStringsForm"))
            table << message.Comment + QLatin1Char('=') + message.Source;
    QStringList code;
    for (int i = 0; i < kMessageCount; ++i)
        code << QLatin1String(MessageKeyName(Msg(i))) + QLatin1Char('=') +
                    QString::fromUtf8(EnglishCaption(Msg(i)));
    EXPECT_EQ(table, code);
}

} // namespace
