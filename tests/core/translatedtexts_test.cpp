// The program's newer texts are texts of the English language module, so that a translator
// reaches them: with every text of the module marked, they show no English outside the marks.
#include "core/report.h"
#include "core/reportpane.h"
#include "fixtures/markingtranslator.h"
#include "platform/winresolve.h"

#include <gtest/gtest.h>

namespace qv {

TEST(TranslatedTexts, TheReportsClosingCountAndTheFileErrorsAreTextsOfTheModule) {
    test::MarkingTranslator translator;
    ReportPane pane;
    FileReports reports("x.sms", &pane);
    for (int i = 0; i <= FileReports::kMaxReportsPerFile; ++i)
        reports.Add(QString::number(i), "missing");
    reports.Close();
    EXPECT_TRUE(pane.Lines().join('\n').contains(
        "«1 more file names not found or invalid are not listed»"));
    EXPECT_EQ(FsErrorText(kFsNotRegular), "«Not a regular file»");
}

} // namespace qv
