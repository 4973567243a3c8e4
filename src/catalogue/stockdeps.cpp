#include "catalogue/stockdeps.h"

#include "catalogue/mststext.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/contentpath.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "platform/casefold.h"
#include "platform/winfs.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace qv {

namespace {

const QString kTrainsetPrefix = QStringLiteral("TRAINS\\TRAINSET\\");
const QString kClimb = QStringLiteral("..\\");

// One file being read and where its references may lead.
struct DependencyScan {
    QString root;
    QString otherRoot;
    QString file;      // relative to root
    QString ownFolder; // the stock folder that holds the file, empty when none does
    StringList* aliases;
    bool folderPaths;
    FileReports* reports; // of the file read
    // Targets looked up on disk and not reported, so that each is looked up once per file: true
    // when found in either root, false for a sample that only MSTS's SOUND folder holds.
    QHash<QString, bool> found = {};
    // The engine's or wagon's own sound and cab-view files looked up, and whether they exist.
    QHash<QString, bool> ownFound = {};
};

// The folder part of a relative path, without its trailing backslash.
QString FolderOf(const QString& path) {
    return path.left(std::max<qsizetype>(path.lastIndexOf(u'\\'), 0));
}

// The stock folder that a path relative to a root lies in (the first component below
// TRAINS\TRAINSET), or empty.
QString StockFolderOf(const QString& path) {
    if (!path.startsWith(kTrainsetPrefix, Qt::CaseInsensitive))
        return QString();
    const QString below = path.mid(kTrainsetPrefix.size());
    return below.left(std::max<qsizetype>(below.indexOf(u'\\'), 0));
}

// Slashes become backslashes before doubled backslashes collapse, so that "..//x" reads as
// "..\x" does.
QString CleanReference(const QString& value) {
    return CollapseDoubleBackslashes(SlashesToBackslashes(StripQuotes(value)));
}

// A quoted name followed by numbers ("x.ace" 0 0 64 64) keeps only the quoted part.
QString KeepQuotedName(QString value) {
    while (value.startsWith(u'"') && !value.endsWith(u'"'))
        value.chop(1);
    return value;
}

// A reference that would lead out of the root exists in neither.
bool ExistsInEither(const DependencyScan& scan, const QString& relative) {
    const QString inRoot = ContentPath(scan.root, QString(), relative);
    if (inRoot.isEmpty())
        return false;
    return FileExists(inRoot) || (!scan.otherRoot.isEmpty() &&
                                  FileExists(ContentPath(scan.otherRoot, QString(), relative)));
}

// Follows a reference that climbs out of its folder with "..\", from the folder (relative to the
// root) that MSTS reads it against: the folder of a sound or cab-view file, or the stock item's
// own Sound or CabView folder for a reference in the engine or wagon itself. A single "..\" so
// stays in the item's own folder and is found there; a target in the item's own folder is no
// alias: it goes to `ownFiles` when one is given. A target outside TRAINS\TRAINSET (MSTS's own
// SOUND folder, for one) is no concern here; only a reference that climbs above the root is
// refused. A target is looked up on disk once per file, found or reported missing.
void ResolveAlias(DependencyScan& scan, const QString& reference, const QString& baseFolder,
                  StringList* ownFiles, bool soundRule = false, bool strict = true) {
    const QString target = EntryInside(QString(), ResolveRelativePath(reference, baseFolder));
    if (target.isEmpty()) {
        scan.reports->Add(FoldCase(reference), RefusedNameText(reference, scan.file));
        return;
    }
    if (!target.startsWith(kTrainsetPrefix, Qt::CaseInsensitive))
        return;
    const QString key = FoldCase(target);
    if (scan.reports->Reported(key))
        return;
    const QString below = target.mid(kTrainsetPrefix.size());
    const auto known = scan.found.constFind(key);
    if (known != scan.found.constEnd() && !known.value())
        return; // in MSTS's SOUND folder, as found before
    if (known != scan.found.constEnd() || ExistsInEither(scan, kTrainsetPrefix + below)) {
        if (known == scan.found.constEnd())
            scan.found.insert(key, true);
        const QString stockFolder = below.left(std::max<qsizetype>(below.indexOf(u'\\'), 0));
        if (!scan.ownFolder.isEmpty() && CompareText(stockFolder, scan.ownFolder) == 0) {
            if (ownFiles)
                ownFiles->Add(kTrainsetPrefix + below);
            return;
        }
        // A file lying loose in TRAINS\TRAINSET belongs to no stock folder to suggest.
        const QString alias = scan.folderPaths ? FolderOf(below) : stockFolder;
        if (!alias.isEmpty())
            scan.aliases->Add(alias);
        return;
    }
    if (soundRule && !strict) {
        const QString name = below.mid(below.lastIndexOf(u'\\') + 1);
        if (FileExists(App().MstsRootFolder + QStringLiteral("\\SOUND\\") + name)) {
            scan.found.insert(key, false);
            return;
        }
    }
    scan.reports->Add(key, MissingFileText(kTrainsetPrefix + reference, scan.file));
}

} // namespace

bool ReadStockDependencies(const QString& root, const QString& stockFile, const QString& otherRoot,
                           StringList& ownFiles, StringList& aliases, bool folderPaths) {
    MstsTextReader reader;
    const QString path = ContentPath(root, QString(), stockFile);
    if (path.isEmpty() || !reader.Open(path))
        return true;
    FileReports reports(stockFile, TheMainServices().InformationMemo());
    DependencyScan scan{root,     otherRoot,   stockFile, StockFolderOf(stockFile),
                        &aliases, folderPaths, &reports};
    const QString stockFolder = FolderOf(stockFile);
    // The keywords are also the names of the own folders, spelled as the own-file list wants them.
    static const QStringList table{QStringLiteral("Sound"), QStringLiteral("CabView")};
    QString line;
    while (reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, table);
        if (keyword < 0)
            continue;
        const QString reference = CleanReference(CutValue(reader, line, table[keyword].size()));
        const QString ownFolder = stockFolder + QLatin1Char('\\') + table[keyword];
        if (reference.contains(kClimb)) {
            ResolveAlias(scan, reference, ownFolder, &ownFiles);
            continue;
        }
        if (reference.isEmpty())
            continue;
        const QString candidate = ownFolder + QLatin1Char('\\') + reference;
        const QString key = FoldCase(candidate);
        auto known = scan.ownFound.constFind(key);
        if (known == scan.ownFound.constEnd())
            known = scan.ownFound.insert(key, ExistsInEither(scan, candidate));
        if (known.value())
            ownFiles.Add(candidate);
    }
    reports.Close();
    ShowReadStatus(Msg::STATUS_TEXT_LOADING_STOCK, stockFile);
    return true;
}

bool ReadCabViewDependencies(const QString& root, const QString& cabViewFile,
                             const QString& otherRoot, StringList& aliases, bool folderPaths) {
    MstsTextReader reader;
    const QString path = ContentPath(root, QString(), cabViewFile);
    if (path.isEmpty() || !reader.Open(path))
        return true;
    FileReports reports(cabViewFile, TheMainServices().InformationMemo());
    DependencyScan scan{root,     otherRoot,   cabViewFile, StockFolderOf(cabViewFile),
                        &aliases, folderPaths, &reports};
    const QString base = FolderOf(cabViewFile);
    static const QStringList table{QStringLiteral("File"), QStringLiteral("Graphic"),
                                   QStringLiteral("CabViewFile"), QStringLiteral("FuelCoal")};
    QString line;
    while (reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, table);
        if (keyword < 0)
            continue;
        const QString reference =
            CleanReference(KeepQuotedName(CutValue(reader, line, table[keyword].size())));
        if (reference.contains(kClimb))
            ResolveAlias(scan, reference, base, nullptr);
    }
    reports.Close();
    ShowReadStatus(Msg::STATUS_TEXT_LOADING_CABVIEW, cabViewFile);
    return true;
}

bool ReadSoundDependencies(const QString& root, const QString& soundFile, const QString& otherRoot,
                           StringList& aliases, bool strict, bool folderPaths) {
    MstsTextReader reader;
    const QString path = ContentPath(root, QString(), soundFile);
    if (path.isEmpty() || !reader.Open(path))
        return true;
    FileReports reports(soundFile, TheMainServices().InformationMemo());
    DependencyScan scan{root,     otherRoot,   soundFile, StockFolderOf(soundFile),
                        &aliases, folderPaths, &reports};
    const QString base = FolderOf(soundFile);
    const QString word = QStringLiteral("file");
    QString line;
    while (reader.ReadLine(&line)) {
        // "File" stands anywhere in a sound line, often inside a trigger, and one line may hold
        // several of them.
        qsizetype at = line.indexOf(word, 0, Qt::CaseInsensitive);
        if (at < 0)
            continue;
        QString text = TrimText(line.mid(at + word.size()));
        QStringView next;
        while (!text.endsWith(u')')) {
            if (!reader.ReadLine(&next)) {
                text.append(u')');
                break;
            }
            AppendContinued(text, next);
        }
        // The entries are cut out of the text where they stand: a damaged file that runs on for
        // megabytes is walked once, not copied once per entry.
        QStringView rest = text;
        for (;;) {
            const qsizetype close = rest.indexOf(u')');
            QStringView entry = TrimView(rest.left(close + 1));
            rest = close < 0 ? QStringView() : rest.mid(close + 1);
            entry = entry.size() > 2 ? TrimView(entry.mid(1, entry.size() - 2)) : QStringView();
            const QString reference = CleanReference(KeepQuotedName(entry.toString()));
            if (reference.contains(kClimb))
                ResolveAlias(scan, reference, base, nullptr, true, strict);
            at = rest.indexOf(word, 0, Qt::CaseInsensitive);
            if (at < 0)
                break;
            rest = TrimView(rest.mid(at + word.size()));
        }
    }
    reports.Close();
    ShowReadStatus(Msg::STATUS_TEXT_LOADING_SOUND, soundFile);
    return true;
}

} // namespace qv
