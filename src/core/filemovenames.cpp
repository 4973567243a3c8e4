#include "core/filemovenames.h"

#include "core/appstate.h"
#include "core/folders.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "platform/casefold.h"
#include "platform/winfind.h"
#include "platform/winresolve.h"

#include <QCoreApplication>
#include <algorithm>

namespace qv {

namespace {

const QLatin1Char kBackslash('\\');

// How many parts of a path the root holds that `path` lies below (0: neither root).
qsizetype RootParts(const QString& path) {
    qsizetype parts = 0;
    for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder}) {
        if (!root.isEmpty() && IsInsideFolder(path, root, false))
            parts = std::max(parts, root.split(kBackslash, Qt::SkipEmptyParts).size());
    }
    return parts;
}

void ReportStays(QSet<QString>& reported, const QString& key, const QString& text) {
    App().RunHadErrors = true;
    if (reported.contains(key))
        return;
    reported.insert(key);
    Report(RL_ERROR, nullptr, text, TheMainServices().InformationMemo());
}

} // namespace

void MoveNames::NoteTwinFolder(const QString& folder, const QString& twin) {
    QStringList& spellings = twinFolders_[FoldCase(folder)];
    for (const QString& path : {folder, twin}) {
        if (!spellings.contains(path))
            spellings.append(path);
    }
}

bool MoveNames::InTwinFolder(const QString& source, const QString& target, QString* twin) {
    const QStringList from = source.split(kBackslash);
    const QStringList to = target.split(kBackslash);
    // The way: the folders from the file up to where the two paths part, and never the root the
    // file lies in or any folder above it.
    const qsizetype top = std::max<qsizetype>(RootParts(source), 1);
    for (qsizetype i = from.size() - 2, j = to.size() - 2;
         i >= top && j > 0 && SameWithoutCase(from[i], to[j]); --i, --j) {
        const QString folder = from.first(i + 1).join(kBackslash);
        const QString& name = from[i];
        QStringList spellings = twinFolders_.value(FoldCase(folder));
        if (spellings.isEmpty()) {
            const QString parent = from.first(i).join(kBackslash);
            QStringList names;
            FindNames(parent + QStringLiteral("\\*"), true, &names);
            for (const QString& other : std::as_const(names)) {
                if (SameWithoutCase(other, name))
                    spellings.append(parent + kBackslash + other);
            }
            if (spellings.size() < 2)
                continue;
            twinFolders_.insert(FoldCase(folder), spellings);
        }
        // Another spelling than the one on the way.
        const auto other = std::find_if(spellings.begin(), spellings.end(), [&](const QString& s) {
            return QStringView(s).mid(s.lastIndexOf(kBackslash) + 1) != name;
        });
        *twin = other != spellings.end() ? *other : spellings.first();
        return true;
    }
    return false;
}

bool MoveNames::StaysForUndecodableName(const QString& source) {
    // The first name on the way that holds U+FFFD is the one a listing may have made.
    const qsizetype mark = source.indexOf(QChar(QChar::ReplacementCharacter));
    if (mark < 0)
        return false;
    const qsizetype cut = source.lastIndexOf(kBackslash, mark);
    const qsizetype end = source.indexOf(kBackslash, mark);
    const QString folder = source.left(cut);
    const QString name = source.mid(cut + 1, end < 0 ? -1 : end - cut - 1);
    QString host;
    QList<UndecodableName> names;
    bool reachable = false;
    if (cut < 0 || !ResolvePath(folder, &host) ||
        !UndecodableNamesIn(host, name, &names, &reachable) || names.isEmpty())
        return false; // the move goes on, and reports what it meets
    for (const UndecodableName& found : std::as_const(names)) {
        ReportStays(reported_, host + QLatin1Char('/') + QString::fromLatin1(found.bytes.toHex()),
                    QCoreApplication::translate("FileMove",
                                                "The file '%1' stays where it is: its name is not "
                                                "UTF-8 text (shown with the bytes that are not as "
                                                "Windows-1252 reads them), and cannot be moved")
                        .arg(folder + kBackslash + found.readable));
    }
    return !reachable;
}

void MoveNames::ReportTwinFile(const QString& file, const QString& twin) {
    ReportStays(reported_, file,
                QCoreApplication::translate("FileMove",
                                            "The file '%1' stays where it is: MSTS cannot tell "
                                            "its name from\rFile: '%2'")
                    .arg(file, twin));
}

void MoveNames::ReportInTwinFolder(const QString& file, const QString& twinFolder) {
    ReportStays(reported_, file,
                QCoreApplication::translate("FileMove",
                                            "The file '%1' stays where it is: MSTS cannot tell "
                                            "its folder from\rFolder: '%2'")
                    .arg(file, twinFolder));
}

} // namespace qv
