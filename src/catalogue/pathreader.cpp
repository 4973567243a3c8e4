#include "catalogue/pathreader.h"

#include "catalogue/listeddates.h"
#include "catalogue/mststext.h"
#include "catalogue/readahead.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/status.h"
#include "core/storeini.h"
#include "platform/winfs.h"

#include <QStringList>

namespace qv {

namespace {

enum PathKeyword { kName, kStart, kEnd, kFlags, kPathName };

// TrPathFlags bit that MSTS sets on a path no player may drive.
constexpr std::uint32_t kFlagNotPlayerPath = 0x20;

const QStringList& PathKeywords() {
    static const QStringList table{QStringLiteral("Name"), QStringLiteral("TrPathStart"),
                                   QStringLiteral("TrPathEnd"), QStringLiteral("TrPathFlags"),
                                   QStringLiteral("TrPathName")};
    return table;
}

void WriteSection(IniFile& ini, const QString& section, const PathInfo& path, qint32 age) {
    const QString ptype = QString::number(int(path.PType));
    const QString date = QString::number(age);
    const QStringView keys[] = {u"PType", u"Name", u"PathStart", u"PathEnd", u"FileDate"};
    const QStringView values[] = {ptype, path.Name, path.PathStart, path.PathEnd, date};
    ini.WriteValues(section, keys, values, std::size(keys));
}

// What a scan gives a path before it finds anything.
void ClearScan(PathInfo& path) {
    path.PType = PT_DRIVEABLE;
    path.Name.clear();
    path.PathStart.clear();
    path.PathEnd.clear();
}

} // namespace

bool ScanPathFile(const QString& fullName, PathInfo& path) {
    MstsTextReader reader;
    if (!reader.Open(fullName)) {
        ClearScan(path);
        return false;
    }
    ScanPathText(reader, path);
    return true;
}

void ScanPathText(MstsTextReader& reader, PathInfo& path) {
    ClearScan(path);
    const QStringList& table = PathKeywords();
    QStringView line;
    while (reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, table);
        if (keyword < 0)
            continue;
        const QString value = CutValue(reader, line, int(table[keyword].size()));
        switch (keyword) {
        case kName:
            path.Name = value;
            break;
        case kStart:
            path.PathStart = value;
            break;
        case kEnd:
            path.PathEnd = value;
            break;
        case kFlags:
            // Flags that are not a hexadecimal number count as none: the path stays driveable.
            if (ParseHexNumber(value, 0) & kFlagNotPlayerPath)
                path.PType &= ~PT_DRIVEABLE;
            break;
        case kPathName:
            if (CompareText(value, FileBaseName(path.FileName)) != 0)
                path.PType |= PT_NAME_DIFFERS;
            break;
        }
        if (!path.Name.isEmpty() && !path.PathStart.isEmpty() && !path.PathEnd.isEmpty())
            break;
    }
}

bool TakePathSection(const IniFile& ini, const QString& section, qint32 date, PathInfo& path) {
    return TakeCurrentSection(ini, section, date, {u"Name", u"PathStart", u"PathEnd"}, &path.PType,
                              {&path.Name, &path.PathStart, &path.PathEnd});
}

bool ReadPathFile(const QString& root, PathInfo& path, StoreIniHolder& pathCache,
                  const ListedFileDates* listed, const AheadFile* ahead, PathInfo* parsed) {
    PumpMessagesIfBusy();
    ClearScan(path);

    const bool readAhead = ahead && parsed && ahead->root == root;
    const QString section = path.Folder + u'\\' + path.FileName;
    // One lookup answers both questions: a path that names no file has no date.
    ListedFile file =
        readAhead ? ListedFile(*ahead) : ListedFile(listed, root, QLatin1StringView("\\"), section);
    if (file.Age() == -1)
        return false;
    const qint32 listedAge = file.Age();
    const bool listedCurrent = path.SkipCache
                                   ? CacheSectionIsCurrent(pathCache.Ini, section, listedAge)
                                   : TakePathSection(pathCache.Ini, section, listedAge, path);
    if (listedCurrent && !path.SkipCache)
        return true;
    if (!file.AskNow())
        return false;
    // The file system may tell another date than the listing did.
    const qint32 age = file.Age();
    const bool current =
        age == listedAge ? listedCurrent : CacheSectionIsCurrent(pathCache.Ini, section, age);

    if (readAhead) {
        path.PType = parsed->PType;
        path.Name = std::move(parsed->Name);
        path.PathStart = std::move(parsed->PathStart);
        path.PathEnd = std::move(parsed->PathEnd);
    } else if (!ScanPathFile(file.Path(), path)) {
        return false;
    }
    if (!current || App().ForceCacheReread) {
        WriteSection(pathCache.Ini, section, path, age);
        pathCache.Modified = true;
    }
    ShowReadStatus(Msg::STATUS_TEXT_LOADING_PATH, path.Name);
    return true;
}

} // namespace qv
