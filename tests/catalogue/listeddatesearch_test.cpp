// A listed folder of thousands of names is searched by the numbers the names' first letters make:
// every name is found with its date, every other spelling and every name between is answered as a
// walk through all the names would answer it.
#include "catalogue/listeddates.h"
#include "core/appstate.h"
#include "platform/casefold.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace qv;

namespace {

using Answer = ListedFileDates::Answer;

// The answer a walk through every listed name gives for a plain ASCII file name.
Answer ByWalking(const QStringList& names, const QString& file) {
    int alike = 0;
    bool exact = false;
    for (const QString& name : names) {
        if (CompareAsciiFolded(name, file) == 0) {
            ++alike;
            exact = exact || name == file;
        }
    }
    if (alike == 0)
        return Answer::Absent;
    return alike == 1 && exact ? Answer::Known : Answer::Unknown;
}

} // namespace

TEST(ListedDatesSearch, AFolderOfThousandsOfNamesAnswersAsAWalkThroughThemAll) {
    ResetAppState();
    App().MstsRootFolder = "C:\\MSTS";
    App().StoreRootFolder = "C:\\STORE";
    QStringList names;
    for (int i = 0; i < 3000; ++i)
        names << QStringLiteral("C%1.con").arg(i * 3, 5, 10, QLatin1Char('0'));
    // Shorter than the eight letters a key holds, alike in them, twins, and marks around letters.
    names << "a"
          << "ab"
          << "abcdefgh"
          << "abcdefgh.con"
          << "ABCDEFGH.CON2"
          << "abcdefg"
          << "Twin.con"
          << "TWIN.con"
          << "A[.con"
          << "a_.con"
          << "a{.con"
          << "z"
          << "~x";
    std::mt19937 random(5);
    std::shuffle(names.begin(), names.end(), random);
    QList<qint32> dates;
    for (qsizetype i = 0; i < names.size(); ++i)
        dates << qint32(i + 100);
    ListedFileDates listed;
    listed.AddFolder("C:\\MSTS", "TRAINS\\CONSISTS", names, dates);

    QStringList asked = names;
    for (int i = 0; i < 3000; ++i) {
        asked << QStringLiteral("C%1.con").arg(i * 3 + 1, 5, 10, QLatin1Char('0'));
        asked << QStringLiteral("c%1.CON").arg(i * 3, 5, 10, QLatin1Char('0'));
    }
    asked << ""
          << "A"
          << "abc"
          << "abcdefgh.co"
          << "abcdefgh.conn"
          << "twin.con"
          << "TWIN.CON"
          << "a[.con"
          << "A_.CON"
          << "zz"
          << "0";
    ListedFileDates::Cursor cursor;
    for (const QString& name : asked) {
        qint32 date = -1;
        const Answer answer =
            listed.Find("C:\\MSTS", "TRAINS\\CONSISTS\\" + name, &date, nullptr, &cursor);
        ASSERT_EQ(answer, ByWalking(names, name)) << name.toStdString();
        if (answer == Answer::Known) {
            EXPECT_EQ(date, dates[names.indexOf(name)]) << name.toStdString();
        }
    }
    ResetAppState();
}
