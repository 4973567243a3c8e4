// The common ground of the stock and consist reader tests: an MSTS folder and a store on drive C
// of a temporary Wine prefix, a sandboxed registry, and the two caches as open store data files.
#pragma once

#include "catalogue/stockrecords.h"
#include "core/appstate.h"
#include "core/storeini.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/winfs.h"

#include <QDir>
#include <gtest/gtest.h>

namespace qv {

class StockTest : public ::testing::Test {
protected:
    // 2020-01-02 03:04:06 as a packed DOS date-time: a date no freshly written file has.
    static constexpr qint32 kOtherAge =
        (((2020 - 1980) << 9 | 1 << 5 | 2) << 16) | (3 << 11 | 4 << 5 | 3);

    StockTest() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
    }
    ~StockTest() override { ResetAppState(); }

    static ItemSet StockItem(const QString& fileName) {
        ItemSet item;
        item.Folder = QStringLiteral("TRAINS\\TRAINSET");
        item.FileName = fileName;
        return item;
    }
    static ItemSet ConsistItem(const QString& fileName) {
        ItemSet item;
        item.Folder = QStringLiteral("TRAINS\\CONSISTS");
        item.FileName = fileName;
        return item;
    }
    // A stock cache section as the stock reader leaves it.
    void CacheStock(const QString& path, std::uint32_t bits, const QString& name = {}) {
        stockCache.Ini.WriteInteger(path, QStringLiteral("PType"), int(bits));
        stockCache.Ini.WriteString(path, QStringLiteral("Name"), name.isEmpty() ? path : name);
        stockCache.Ini.WriteInteger(path, QStringLiteral("FileDate"), 2);
    }
    // A consist file of the given body lines in the MSTS folder.
    void WriteConsist(const QString& file, const QStringList& body) {
        builder.WriteMstsFile(QStringLiteral("TRAINS\\CONSISTS\\") + file, QStringLiteral("D0t"),
                              body, MstsFileKind::Consist);
    }
    // Replaces a file of the MSTS folder with other content under its old date, so that only a
    // reader that opens it can tell.
    void ReplaceKeepingDate(const QString& windowsPath, const QStringList& body) {
        const qint32 age = FileAge(windowsPath);
        ASSERT_NE(age, -1);
        ASSERT_TRUE(DeleteFile(windowsPath));
        builder.WriteMstsFile(windowsPath.mid(QStringLiteral("C:\\MSTS\\").size()),
                              QStringLiteral("D0t"), body, MstsFileKind::Other);
        ASSERT_TRUE(SetFileAge(windowsPath, age));
    }

    // The real consists, read in place through drive Z (the host's root).
    static QString RealDataRoot() {
        const QString host = QDir(QStringLiteral(QUARVEL_REALDATA_DIR "/dk24")).canonicalPath();
        return QStringLiteral("Z:") + QString(host).replace(u'/', u'\\');
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    StoreIniHolder stockCache;
    StoreIniHolder consistCache;
};

} // namespace qv
