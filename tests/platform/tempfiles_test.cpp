#include "platform/tempfiles.h"

#include "platform/drivemap.h"
#include "platform/winfs.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qv {

TEST(TempFilesTest, EachNewFileHasANameOfItsOwnWithThePrefix) {
    QTemporaryDir dir;
    const QString folder = ToWindowsForm(dir.path());
    QSet<QString> names;
    for (int i = 0; i < 20; ++i) {
        QString path;
        ASSERT_TRUE(CreateTempFile(folder, QStringLiteral("QVX"), &path));
        EXPECT_TRUE(FileExists(path));
        const QString name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
        EXPECT_TRUE(name.startsWith(QLatin1String("QVX"))) << name.toStdString();
        EXPECT_TRUE(name.endsWith(QLatin1String(".tmp"))) << name.toStdString();
        EXPECT_EQ(name.size(), 11);
        names.insert(name.toLower());
    }
    EXPECT_EQ(names.size(), 20);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 20);
}

} // namespace qv
