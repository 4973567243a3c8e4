// The program's own texts reach a translator whole: with every text of the English language
// module marked, the messages show no English part outside the marks.
#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/moveleftovers.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "core/storeini.h"
#include "fixtures/markingtranslator.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winresolve.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

class TranslatedTexts : public ::testing::Test {
protected:
    TranslatedTexts() {
        ResetAppState();
        App().ProgramTitle = "Quarvel";
        App().StoreRootFolder = "C:\\Store";
        App().MstsRootFolder = "C:\\MSTS";
        SetUi(&ui_);
    }
    ~TranslatedTexts() override {
        SetUi(nullptr);
        ResetAppState();
    }

    TempMsts drive_;
    FakeUi ui_;
    test::MarkingTranslator translator_;
};

TEST_F(TranslatedTexts, TheNewMessagesAreTextsOfTheLanguageModule) {
    const struct {
        const char* what;
        std::function<QString()> message;
        QString marked;
    } cases[] = {
        {"a refused store file kept aside",
         [&] {
             drive_.MakeFile("Store/QVDATA/SAVES.QVC", "[QUARVEL_INFORMATION]\r\nVersion=9\r\n");
             OpenStoreIni("SAVES.QVC");
             return ui_.Shown().empty() ? QString() : ui_.Shown().back().text;
         },
         "«\rKept as: 'C:\\Store\\QVDATA\\SAVES.QVC.bad'»"},
        {"the closing count of a file's missing names",
         [] {
             ReportPane pane;
             FileReports reports("x.sms", &pane);
             for (int i = 0; i <= FileReports::kMaxReportsPerFile; ++i)
                 reports.Add(QString::number(i), "missing");
             reports.Close();
             return pane.Lines().join('\n');
         },
         "«1 more file names not found or invalid are not listed»"},
        {"a left-over of a write cut short",
         [&] {
             drive_.MakeFile("MSTS/Routes/R/.qv-write-7-1.tmp", "part");
             ReportPane pane;
             SettleMoveLeftovers(&pane);
             return pane.Lines().join('\n');
         },
         "«A temporary file of a copy or write that was cut short was removed: '»"},
        {"a file that is no regular file", [] { return FsErrorText(kFsNotRegular); },
         "«Not a regular file»"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString message = c.message();
        EXPECT_TRUE(message.contains(c.marked)) << message.toStdString();
    }
}

} // namespace
} // namespace qv
