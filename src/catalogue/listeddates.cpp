#include "catalogue/listeddates.h"

#include "catalogue/readahead.h"
#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/filefind.h"
#include "core/stringlist.h"
#include "platform/drivemap.h"
#include "platform/folderlisting.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"
#include "platform/workers.h"

#include <QStringBuilder>
#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

namespace qv {

namespace {

// A folder listed with this many names or more is searched by its names' keys.
constexpr qsizetype kKeyedFrom = 32;

QString FolderOf(const QString& name) {
    const qsizetype cut = name.lastIndexOf(u'\\');
    return cut < 0 ? QString() : name.left(cut);
}

} // namespace

ListedFileDates::Root* ListedFileDates::RootOf(const QString& root) {
    return const_cast<Root*>(std::as_const(*this).RootOf(root));
}

const ListedFileDates::Root* ListedFileDates::RootOf(const QString& root) const {
    // Mostly asked with the roots themselves: their texts are not compared then.
    const QString& store = App().StoreRootFolder;
    const QString& msts = App().MstsRootFolder;
    if (&root == &store || root == store)
        return &store_;
    if (&root == &msts || root == msts)
        return &msts_;
    return nullptr;
}

void ListedFileDates::AddFolder(const QString& root, const QString& folder,
                                const QStringList& names, const QList<qint32>& dates,
                                const QString& host) {
    Root* r = RootOf(root);
    if (!r)
        return;
    r->memo.known = false;
    qsizetype place = r->byFolded.value(FoldedName{folder}, -1);
    if (place < 0) {
        place = r->folders.size();
        r->folders.append(Folder());
        r->folders.last().name = folder;
        r->byFolded.insert(FoldedName{folder}, place);
        r->byName.insert(folder, place);
    } else if (r->folders[place].name != folder) {
        r->folders[place].twins = true;
    }
    Folder& listed = r->folders[place];
    if (listed.host.isEmpty())
        listed.host = host;
    if (names.isEmpty())
        return;
    // A name without a date is dropped, and a date without a name (the lists are shared, not
    // copied, when they match, as they nearly always do).
    Folder::Files files{names, dates, {}};
    if (files.dates.size() > files.names.size())
        files.dates = files.dates.mid(0, files.names.size());
    if (files.names.size() > files.dates.size())
        files.names = files.names.mid(0, files.dates.size());
    // Listings come sorted (as far as plain ASCII names go, without regard to case; other
    // characters count by their code, which keeps the order strict and weak); anything else is
    // put in order here, once.
    const auto before = [](const QString& a, const QString& b) {
        return CompareAsciiFolded(a, b) < 0;
    };
    if (!std::is_sorted(files.names.cbegin(), files.names.cend(), before)) {
        std::vector<std::pair<QString, qint32>> pairs;
        for (qsizetype i = 0; i < files.names.size(); ++i)
            pairs.emplace_back(files.names[i], files.dates[i]);
        std::stable_sort(pairs.begin(), pairs.end(),
                         [&](const auto& a, const auto& b) { return before(a.first, b.first); });
        for (qsizetype i = 0; i < files.names.size(); ++i) {
            files.names[i] = pairs[std::size_t(i)].first;
            files.dates[i] = pairs[std::size_t(i)].second;
        }
    }
    for (const QString& name : std::as_const(files.names))
        listed.plain = listed.plain && IsAscii(name);
    // Only a search through many names is worth the numbers.
    if (files.names.size() >= kKeyedFrom) {
        files.keys.reserve(files.names.size());
        for (const QString& name : std::as_const(files.names))
            files.keys.append(OrderKeyOf(name).key);
    }
    listed.files.append(std::move(files));
}

void ListedFileDates::AddParent(const QString& root, const QString& folder) {
    Root* r = RootOf(root);
    if (!r)
        return;
    r->memo.known = false;
    // A second spelling alike makes the place ambiguous.
    const auto it = r->parents.find(FoldedName{folder});
    if (it == r->parents.end())
        r->parents.insert(FoldedName{folder}, Root::Parent{folder});
    else if (it->name != folder)
        it->twins = true;
}

qsizetype ListedFileDates::FolderNamed(const Root& root, const QString& folder) {
    const auto exact = root.byName.constFind(folder);
    if (exact != root.byName.cend())
        return *exact;
    const auto folded = root.byFolded.constFind(FoldedName{folder});
    return folded == root.byFolded.cend() ? -1 : *folded;
}

ListedFileDates::Answer ListedFileDates::Find(const QString& root, const QString& name,
                                              qint32* date, QString* hostPath,
                                              Cursor* cursor) const {
    if (hostPath)
        hostPath->clear();
    const Root* r = RootOf(root);
    if (!r)
        return Answer::Unknown;
    Memo& memo = !cursor ? r->memo : r == &store_ ? cursor->store : cursor->msts;
    const qsizetype cut = name.lastIndexOf(u'\\');
    // The folder part as a text of its own without a copy: `name` outlives it.
    const QString folderName = QString::fromRawData(name.constData(), std::max<qsizetype>(cut, 0));
    const QStringView file = QStringView(name).mid(cut + 1);
    if (!memo.known || memo.name != folderName) {
        memo.name = QString(folderName.constData(), folderName.size()); // a copy of its own
        memo.place = FolderNamed(*r, folderName);
        memo.missing = Answer::Unknown;
        if (memo.place < 0 && cut > 0) {
            // Not listed: absent when the folder is not in its parent's listing.
            const auto parent = r->parents.constFind(FoldedName{FolderOf(folderName)});
            if (parent != r->parents.cend() && !parent->twins)
                memo.missing = Answer::Absent;
        }
        memo.known = true;
    }
    if (memo.place < 0)
        return memo.missing;
    const Folder* folder = &r->folders[memo.place];
    // Names beyond ASCII fold in ways the order here does not follow: the path layer decides.
    if (folder->twins || !folder->plain || !IsAscii(file))
        return Answer::Unknown;
    // The names are plain ASCII: their keys order them as CompareAsciiFolded does where they
    // differ.
    const quint64 key = OrderKeyOf(file).key;
    bool alike = false;
    for (const Folder::Files& files : folder->files) {
        auto first = files.names.cbegin();
        if (files.keys.isEmpty()) {
            first = std::lower_bound(files.names.cbegin(), files.names.cend(), file,
                                     [](const QString& listed, QStringView wanted) {
                                         return CompareAsciiFolded(listed, wanted) < 0;
                                     });
        } else {
            const auto place = std::partition_point(
                files.keys.cbegin(), files.keys.cend(), [&](const quint64& listed) {
                    return listed < key ||
                           (listed == key &&
                            CompareAsciiFolded(files.names.at(&listed - files.keys.constData()),
                                               file) < 0);
                });
            first += place - files.keys.cbegin();
        }
        if (first == files.names.cend() || CompareAsciiFolded(*first, file) != 0)
            continue;
        // Names alike without regard to case: the path layer decides which file each
        // spelling names.
        const auto next = first + 1;
        if (alike || *first != file ||
            (next != files.names.cend() && CompareAsciiFolded(*next, file) == 0))
            return Answer::Unknown;
        *date = files.dates[first - files.names.cbegin()];
        alike = true;
    }
    if (alike && hostPath && !folder->host.isEmpty())
        *hostPath = folder->host % QLatin1Char('/') % file;
    return alike ? Answer::Known : Answer::Absent;
}

void ListedFileDates::AddListing(StringList& found, const QString& root, const QString& path,
                                 const QString& prefix, const QString& mask) {
    int error = 0;
    QStringList names;
    QList<qint32> dates;
    QString host;
    FindDatedFiles(names, dates, path, mask, &error, &host);
    AddFound([&](const QString& name) { found.Add(name); }, root, prefix, names, dates, host,
             error);
}

void ListedFileDates::AddFound(const FoundFile& found, const QString& root, const QString& prefix,
                               const QStringList& names, const QList<qint32>& dates,
                               const QString& host, int error) {
    // Tens of thousands of names: each joined in one allocation.
    for (const QString& name : names)
        found(prefix.isEmpty() ? name : QString(prefix % QLatin1Char('\\') % name));
    // A folder where nothing matched was listed all the same.
    if (error == 0 || error == ENOENT)
        AddFolder(root, prefix, names, dates, host);
}

void ListedFileDates::AddListings(StringList& found, const QString& root, const QString& searched,
                                  const QStringList& paths, const QStringList& prefixes,
                                  const QStringList& masks) {
    AddListings([&](const QString& name) { found.Add(name); }, root, searched, paths, prefixes,
                masks);
}

void ListedFileDates::AddListings(const FoundFile& found, const QString& root,
                                  const QString& searched, const QStringList& paths,
                                  const QStringList& prefixes, const QStringList& masks) {
    std::vector<FolderFiles> folders;
    // Each folder's files are added as soon as they are found, while other folders are still
    // being read.
    auto add = [&](std::size_t f) {
        FolderFiles& folder = folders[f];
        for (std::size_t m = 0; m < folder.found.size(); ++m)
            AddFound(found, root, prefixes.at(qsizetype(f)), folder.found[m].names,
                     folder.found[m].times, folder.host, folder.errors[m]);
        // Let go of here, on the thread that adds, rather than all at the end on the one that
        // finds the folders.
        folder = FolderFiles();
    };
    // The files of thousands of folders are added on a thread of their own, in the order this
    // one finds the folders, while this one takes the next folders into the path layer's cache:
    // both take about as long, and this one would otherwise do them in turn.
    constexpr qsizetype kHandOnFrom = 64;
    if (paths.size() < kHandOnFrom) {
        FindDatedFilesInFolders(searched, paths, masks, &folders, add);
        return;
    }
    OrderedHandOff adding(std::size_t(paths.size()), add);
    FindDatedFilesInFolders(searched, paths, masks, &folders,
                            [&](std::size_t f) { adding.Give(f); });
    adding.Finish();
}

void ListedFileDates::AddMissingFolders(const QString& root, const QStringList& paths,
                                        const QStringList& prefixes) {
    if (paths.isEmpty())
        return;
    std::vector<FolderFiles> folders;
    FindDatedFilesIn(paths, {QStringLiteral("*")}, &folders);
    for (std::size_t f = 0; f < folders.size(); ++f) {
        // Found missing: no host folder, and the find's error says so.
        if (folders[f].host.isEmpty() && folders[f].errors.front() == ENOENT)
            AddFolder(root, prefixes.at(qsizetype(f)));
    }
}

KeptListing::Key KeptListing::KeyNow() {
    Key key;
    key.store = App().StoreRootFolder;
    key.msts = App().MstsRootFolder;
    if (!key.store.isEmpty())
        key.storeHost = TheDriveMap().HostRoot(key.store.at(0));
    if (!key.msts.isEmpty())
        key.mstsHost = TheDriveMap().HostRoot(key.msts.at(0));
    key.changes = FolderCacheChanges();
    return key;
}

void KeptListing::List(StringList& files, ListedFileDates& listed,
                       const std::function<void()>& list) {
    const Key before = KeyNow();
    if (kept_ && key_ == before) {
        files = files_;
        listed = listed_;
        return;
    }
    kept_ = false;
    const quint64 asks = PathLayerDiskAsks();
    list();
    // A change while listing, or a folder the disk was asked about, and the listing may not
    // hold by the time of the next rebuild.
    if (PathLayerDiskAsks() != asks || !(KeyNow() == before))
        return;
    kept_ = true;
    key_ = before;
    files_ = files;
    listed_ = listed;
}

ListedFile::ListedFile(const ListedFileDates* listed, const QString& root, QLatin1StringView base,
                       const QString& name)
    : root_(root), base_(base), name_(name) {
    // A name that leads out of its folder names no file this reader may look at; the folder is
    // our own, so the name alone is judged.
    if (NameInside(QString(), name).isEmpty()) {
        age_ = -1;
        asked_ = true;
        return;
    }
    switch (listed ? listed->Find(root, name, &age_) : ListedFileDates::Answer::Unknown) {
    case ListedFileDates::Answer::Known:
        return;
    case ListedFileDates::Answer::Absent:
        age_ = -1;
        return;
    case ListedFileDates::Answer::Unknown:
        AskNow();
        return;
    }
}

ListedFile::ListedFile(const AheadFile& ahead)
    : root_(ahead.root), path_(ahead.path), age_(ahead.age), asked_(true), stamp_(ahead.stamp) {}

bool ListedFile::AskNow() {
    if (!asked_) {
        path_ = root_ + base_ + name_;
        age_ = FileAge(path_, &stamp_);
        asked_ = true;
    }
    return age_ != -1;
}

} // namespace qv
