#include "engine/fixedobjects.h"

#include "engine/worklists.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/stringlist.h"
#include "engine/worklists.h"
#include "platform/registry.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <algorithm>

namespace qv {

namespace {

const QString kTrainsetFolder = QStringLiteral("TRAINS\\TRAINSET");

// "<root>\TRAINS\TRAINSET\", the folder below which a chosen file must lie.
QString TrainsetPrefix(const QString& root) {
    return root + QLatin1Char('\\') + kTrainsetFolder + QLatin1Char('\\');
}

void ShowWriteFailure(const QString& key) {
    TheUi().MessageBox(Caption(Msg::BAD_REGISTRY_WRITE_LEG1) + QLatin1Char('\n') +
                           Caption(Msg::BAD_REGISTRY_WRITE_LEG2) + key + QLatin1Char('\''),
                       App().ProgramTitle, MB_ICONSTOP);
}

// The part of a path below TRAINS\TRAINSET\, or empty when it does not lie below it.
// The path below TRAINS\TRAINSET\, resolved; empty for a path that does not lie there (the lists
// may have been edited by hand, "..\" included).
QString BelowTrainset(const QString& path) {
    const QString inside = EntryInside(kTrainsetFolder, path);
    return inside.isEmpty() ? QString() : inside.mid(kTrainsetFolder.size() + 1);
}

} // namespace

bool ReadExclusionKey(const QString& key, RecordList<ExclusionInfo>& list, bool folder) {
    QStringList names;
    RegistryKey reg;
    if (reg.OpenReadOnly(HKEY_LOCAL_MACHINE, key)) {
        names = reg.ValueNames();
        reg.Close();
    }
    for (const QString& name : names)
        list.push_back(
            std::make_unique<ExclusionInfo>(ExclusionInfo{folder, RegReadString(key, name)}));
    if (names.isEmpty())
        list.push_back(std::make_unique<ExclusionInfo>(
            ExclusionInfo{folder, folder ? kDefaultFixedFolder : kDefaultFixedFile}));
    return true;
}

bool WriteExclusionKey(const QString& key, const RecordList<ExclusionInfo>& list, bool folder) {
    if (!DeleteKeyTree(key))
        return false;
    RegistryKey reg;
    // The old list is gone already: a key that cannot be made again loses the list, so it fails
    // as a refused write does.
    bool ok = reg.Open(HKEY_LOCAL_MACHINE, key, true);
    for (size_t i = 0; ok && i < list.size(); ++i) {
        const ExclusionInfo* entry = list[i].get();
        if (entry && entry->IsFolder == folder)
            ok = reg.WriteString(QString::number(i), entry->Path);
    }
    if (!ok)
        ShowWriteFailure(key);
    return ok;
}

bool KeyHasValues(const QString& key) {
    RegistryKey reg;
    return reg.OpenReadOnly(HKEY_LOCAL_MACHINE, key) && !reg.ValueNames().isEmpty();
}

bool EnsureDefaultExclusions() {
    const QString root = App().MstsRootFolder;
    if (!FileExists(TrainsetPrefix(root) + QStringLiteral("DEFAULT\\DEFAULT.WAG"))) {
        TheUi().MessageBox(Caption(Msg::NO_DEFAULT_WAG_LEG) + root + QLatin1Char('\\') +
                               kTrainsetFolder + QStringLiteral("\\DEFAULT'"),
                           App().ProgramTitle, MB_ICONSTOP);
        return false;
    }
    if (KeyHasValues(kExclusionFoldersKey) && KeyHasValues(kExclusionFilesKey))
        return true;
    // A list with values keeps them; a list without gets its default entry.
    RecordList<ExclusionInfo> list;
    ReadExclusionKey(kExclusionFoldersKey, list, true);
    ReadExclusionKey(kExclusionFilesKey, list, false);
    return WriteExclusionKey(kExclusionFoldersKey, list, true) &&
           WriteExclusionKey(kExclusionFilesKey, list, false);
}

void AddFixedObjects(StringList& folders, StringList& files) {
    RecordList<ExclusionInfo> list;
    ReadExclusionKey(kExclusionFoldersKey, list, true);
    ReadExclusionKey(kExclusionFilesKey, list, false);
    for (const auto& entry : list) {
        const QString path = BelowTrainset(entry->Path);
        if (path.isEmpty())
            continue;
        (entry->IsFolder ? folders : files).Add(path);
    }
}

bool IsFixedObject(const StringList& folders, const StringList& files,
                   const QString& trainsetPath) {
    int index = 0;
    if (files.Find(trainsetPath, index) || folders.Find(trainsetPath, index))
        return true;
    const qsizetype slash = trainsetPath.indexOf(QLatin1Char('\\'));
    return slash > 0 && folders.Find(trainsetPath.left(slash), index);
}

// ---- ExclusionEditor -------------------------------------------------------------------------

void ExclusionEditor::Load() {
    entries_.clear();
    ReadExclusionKey(kExclusionFoldersKey, entries_, true);
    ReadExclusionKey(kExclusionFilesKey, entries_, false);
    std::stable_sort(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
        return CompareText(a->Path, b->Path) < 0;
    });
}

void ExclusionEditor::Save() const {
    WriteExclusionKey(kExclusionFoldersKey, entries_, true);
    WriteExclusionKey(kExclusionFilesKey, entries_, false);
}

QString ExclusionEditor::LineText(const ExclusionInfo& entry) {
    return Caption(entry.IsFolder ? Msg::FOLDER_TAG : Msg::FILE_TAG) + QLatin1Char(' ') +
           entry.Path;
}

bool ExclusionEditor::Contains(const QString& path) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const auto& entry) { return CompareText(entry->Path, path) == 0; });
}

bool ExclusionEditor::AddFolder(const QString& trainsetFolder) {
    const QString path = kTrainsetFolder + QLatin1Char('\\') + trainsetFolder;
    if (Contains(path))
        return false;
    entries_.push_back(std::make_unique<ExclusionInfo>(ExclusionInfo{true, path}));
    return true;
}

void ExclusionEditor::AddFiles(const QStringList& files) {
    const QString mstsPrefix = TrainsetPrefix(App().MstsRootFolder);
    const QString storePrefix = TrainsetPrefix(App().StoreRootFolder);
    for (const QString& file : files) {
        const bool inStore = file.startsWith(storePrefix, Qt::CaseInsensitive);
        if (!inStore && !file.startsWith(mstsPrefix, Qt::CaseInsensitive)) {
            TheUi().MessageBox(Caption(Msg::NOT_ALLOWED_PATH_LEG1) + mstsPrefix +
                                   Caption(Msg::NOT_ALLOWED_PATH_LEG2) + storePrefix +
                                   QLatin1Char('\''),
                               App().ProgramTitle, MB_ICONSTOP);
            return;
        }
        if (!FileExists(file))
            continue;
        // Relative to whichever root holds it, so that a file of the store is recorded just as
        // the same file in the MSTS folder would be.
        const QString path = kTrainsetFolder + QLatin1Char('\\') +
                             file.mid((inStore ? storePrefix : mstsPrefix).size());
        if (!Contains(path))
            entries_.push_back(std::make_unique<ExclusionInfo>(ExclusionInfo{false, path}));
    }
}

void ExclusionEditor::Remove(std::vector<int> indexes) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        if (*it >= 0 && *it < int(entries_.size()))
            entries_.erase(entries_.begin() + *it);
    }
}

// ---- The folder list ---------------------------------------------------------------------------

QStringList TrainsetFolderNames() {
    StringList names = StringList::SortedUnique();
    for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder}) {
        if (!root.isEmpty())
            FindFiles(names, root + QLatin1Char('\\') + kTrainsetFolder, true, QString(),
                      QStringLiteral("*.*"));
    }
    return names.Strings();
}

} // namespace qv
