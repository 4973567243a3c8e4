// Only regular files are read: a named pipe or a device among content files is refused at once,
// as unreadable, instead of holding the reader for ever or giving bytes without end.
#include "platform/winfs.h"

#include "fixtures/namedpipe.h"
#include "fixtures/tempmsts.h"

#include <QFile>
#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SpecialFiles, ANamedPipeOrADeviceIsRefusedWithoutWaiting) {
    TempMsts drive;
    drive.MakeFolder("MSTS/TRAINS/CONSISTS");
    test::NamedPipe pipe(drive.Host("MSTS/TRAINS/CONSISTS/X.CON"));
    ASSERT_TRUE(pipe.Made());
    ASSERT_TRUE(QFile::link("/dev/null", drive.Host("MSTS/TRAINS/CONSISTS/NULL.CON")));
    for (const char* name : {"X.CON", "null.con"}) {
        QByteArray data("old");
        int error = 0;
        EXPECT_FALSE(ReadWholeFile(QString("C:\\MSTS\\TRAINS\\CONSISTS\\") + name, &data, &error))
            << name;
        EXPECT_EQ(error, kFsNotRegular) << name;
    }
    EXPECT_FALSE(pipe.Waited());
}

} // namespace
} // namespace qv
