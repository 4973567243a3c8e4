// A box made of table captions and a sentence of the code's own is in one language: the module's
// when the module translates the sentence, else English throughout, never half and half.
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "core/storeini.h"
#include "fixtures/markingtranslator.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/terminate.h"

#include <QFile>
#include <QScopeGuard>
#include <functional>
#include <gtest/gtest.h>

namespace qv {
namespace {

class MessageLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().ProgramFilePath = QStringLiteral("C:\\Program\\quarvel.exe");
        App().StoreRootFolder = QStringLiteral("C:\\Store");
        drive_.MakeFolder("Home");
    }
    void TearDown() override { ResetAppState(); }

    // The text of the one box that `show` brings up.
    QString Box(const std::function<void()>& show) {
        ui_.Clear();
        show();
        EXPECT_EQ(ui_.Shown().size(), 1u);
        return ui_.Shown().empty() ? QString() : ui_.Shown().front().text;
    }

    RegistrySandbox registry_;
    TempMsts drive_;
    FakeUi ui_;
};

// A file of the store whose version is refused: its box says where its content was kept, or that
// it could not be kept (the file is read-only).
void OpenRefused(TempMsts& drive, bool readOnly) {
    drive.MakeFile("Store/QVDATA/EUROPE1/ROUTE.QVC",
                   "[QUARVEL_INFORMATION]\r\nVersion=9.9\r\n[A]\r\nk=v\r\n");
    QFile::remove(drive.Host("Store/QVDATA/EUROPE1/ROUTE.QVC.bad"));
    if (readOnly)
        QFile::setPermissions(drive.Host("Store/QVDATA/EUROPE1/ROUTE.QVC"), QFile::ReadOwner);
    OpenStoreIni(QStringLiteral("EUROPE1\\ROUTE.QVC"));
    QFile::setPermissions(drive.Host("Store/QVDATA/EUROPE1/ROUTE.QVC"),
                          QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(MessageLanguage, ABoxWithASentenceOfTheCodesOwnIsInOneLanguage) {
    const auto restore = qScopeGuard([was = qgetenv("HOME")] { qputenv("HOME", was); });
    qputenv("HOME", QFile::encodeName(drive_.Host("Home")));
    const TerminateHook previous = SetTerminateHook([](int) {});
    const auto restoreHook = qScopeGuard([&previous] { SetTerminateHook(previous); });
    const struct Case {
        const char* box;
        Msg caption;          // the table caption the box begins with
        const char* sentence; // as the English module has it
        std::function<void()> show;
    } cases[] = {
        {"MSTS without its key, a folder to choose", Msg::NO_MSTS_INSTALLED_LEG,
         "\r\rIn the next window, choose the folder in which MSTS is installed.",
         [this] {
             ui_.ExpectSelectFolder(ID_CANCEL);
             StartupConfiguration();
         }},
        {"a refused store file, kept aside", Msg::INVALID_QVS_FILE, "\rKept as: '%1'",
         [this] { OpenRefused(drive_, false); }},
        {"a refused store file that could not be kept aside", Msg::INVALID_QVS_FILE,
         "\rIt could not be kept aside and stays as it is", [this] { OpenRefused(drive_, true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        const QString english = Box(c.show);
        EXPECT_FALSE(english.contains(QChar(0x00AB))) << english.toStdString();
        {
            // A module that has the sentence: every part of the box is translated.
            test::MarkingTranslator full;
            const QString translated = Box(c.show);
            const QString mark(QChar(0x00AB));
            EXPECT_TRUE(translated.startsWith(mark + QString::fromUtf8(EnglishCaption(c.caption))))
                << translated.toStdString();
            EXPECT_TRUE(
                translated.contains(mark + QString::fromUtf8(c.sentence).section("%1", 0, 0)))
                << translated.toStdString();
        }
        {
            // A module that lacks it: the box stays English throughout.
            test::MarkingTranslator lacking({QString::fromUtf8(c.sentence)});
            EXPECT_EQ(Box(c.show), english);
        }
    }
}

} // namespace
} // namespace qv
