#include "core/languagemodulecheck.h"

#include "core/appstate.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QtEndian>

#include <cstring>
#include <vector>

namespace qv {

namespace {

const unsigned char kMagic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                  0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};

enum Section : quint8 {
    kContexts = 0x2f,
    kHashes = 0x42,
    kMessages = 0x69,
    kDependencies = 0x96,
};

enum MessageTag : quint8 {
    kTagEnd = 1,
    kTagTranslation = 3,
    kTagObsolete1 = 5,
    kTagSourceText = 6,
    kTagContext = 7,
    kTagComment = 8,
};

struct Block {
    const uchar* data = nullptr;
    quint32 size = 0;
};

quint32 Read32(const uchar* p) {
    return qFromBigEndian<quint32>(p);
}

quint16 Read16(const uchar* p) {
    return qFromBigEndian<quint16>(p);
}

// Where a walk through a table has passed already. A walk goes on from a place the same way
// whichever walk reached it, and every walk passed so far ended well (the first that does not ends
// the check), so a walk that meets such a place is known to end well too. Buckets and hash entries
// may all point into one long run or message: each place is walked once, not once for each.
using Walked = std::vector<bool>;

bool WalkedBefore(Walked& walked, quint64 at) {
    if (walked[at])
        return true;
    walked[at] = true;
    return false;
}

// The context table: a bucket count, one offset per bucket, and runs of length-prefixed names
// that a zero length ends. Every run a bucket points at must end inside the table.
QString ContextProblem(const Block& contexts) {
    if (!contexts.data)
        return QString();
    if (contexts.size < 2)
        return QStringLiteral("its context table is cut short");
    const quint32 buckets = Read16(contexts.data);
    const quint64 pool = 2 + quint64(buckets) * 2;
    if (buckets == 0 || pool > contexts.size)
        return QStringLiteral("its context table is cut short");
    Walked walked(contexts.size);
    for (quint32 i = 0; i < buckets; ++i) {
        const quint16 offset = Read16(contexts.data + 2 + i * 2);
        if (offset == 0)
            continue;
        quint64 at = pool + quint64(offset) * 2;
        for (;;) {
            if (at >= contexts.size)
                return QStringLiteral("a context lies outside its table");
            if (WalkedBefore(walked, at))
                break;
            const quint8 length = contexts.data[at];
            if (length == 0)
                break;
            at += 1 + quint64(length);
            if (at > contexts.size)
                return QStringLiteral("a context lies outside its table");
        }
    }
    return QString();
}

// One message: tagged fields up to the end tag. The translator stops quietly at a tag it does
// not know or at an odd translation length, so only the fields before those need to fit.
bool MessageFits(const Block& messages, quint32 offset, Walked& walked) {
    quint64 at = offset;
    while (at < messages.size) {
        if (WalkedBefore(walked, at))
            return true;
        const quint8 tag = messages.data[at++];
        switch (tag) {
        case kTagEnd:
            return true;
        case kTagObsolete1:
            at += 4;
            if (at > messages.size)
                return false;
            break;
        case kTagTranslation:
        case kTagSourceText:
        case kTagContext:
        case kTagComment: {
            if (at + 4 > messages.size)
                return false;
            const quint32 length = Read32(messages.data + at);
            at += 4;
            if (tag == kTagTranslation && (length & 1))
                return true;
            if (length > messages.size - at)
                return false;
            at += length;
            break;
        }
        default:
            return true;
        }
    }
    return true;
}

QString MessagesProblem(const Block& hashes, const Block& messages) {
    if (hashes.size % 8 != 0)
        return QStringLiteral("its hash table is cut short");
    Walked walked(messages.size);
    for (quint32 at = 0; at < hashes.size; at += 8) {
        const quint32 offset = Read32(hashes.data + at + 4);
        if (offset >= messages.size || !MessageFits(messages, offset, walked))
            return QStringLiteral("a message lies outside its table");
    }
    return QString();
}

} // namespace

QString TranslationDataProblem(const QByteArray& data) {
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const quint64 size = quint64(data.size());
    if (size < sizeof kMagic || memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return QStringLiteral("it is no translation file");
    Block contexts;
    Block hashes;
    Block messages;
    // Sections as the translator walks them: a tag, a length, the bytes; a zero tag or length
    // ends the walk, and so do the last five bytes.
    quint64 at = sizeof kMagic;
    while (at + 5 < size) {
        const quint8 tag = bytes[at];
        const quint32 length = Read32(bytes + at + 1);
        at += 5;
        if (tag == 0 || length == 0)
            break;
        if (length > size - at)
            return QStringLiteral("a section runs past the end of the file");
        const Block block{bytes + at, length};
        switch (tag) {
        case kContexts:
            contexts = block;
            break;
        case kHashes:
            hashes = block;
            break;
        case kMessages:
            messages = block;
            break;
        case kDependencies:
            return QStringLiteral("it names other modules");
        default:
            break;
        }
        at += length;
    }
    QString problem = ContextProblem(contexts);
    if (problem.isEmpty())
        problem = MessagesProblem(hashes, messages);
    return problem;
}

bool ReadCheckedModule(const QString& hostPath, QByteArray* data) {
    data->clear();
    if (!ReadHostFile(hostPath, data) || data->isEmpty())
        return false;
    const QString problem = TranslationDataProblem(*data);
    if (problem.isEmpty())
        return true;
    // A file that is no translation file at all (another file that happens to be named like a
    // module) is passed over quietly, as the translator would refuse it anyway.
    const bool looksLikeModule = data->size() >= qsizetype(sizeof kMagic) &&
                                 memcmp(data->constData(), kMagic, sizeof kMagic) == 0;
    data->clear();
    // The message table may come from a module, so this text cannot.
    QStringList& reported = App().ReportedLanguageModules;
    if (looksLikeModule && !reported.contains(hostPath)) {
        reported.append(hostPath);
        TheUi().MessageBox(QStringLiteral("The language module '%1' is damaged (%2). It is not "
                                          "used.")
                               .arg(hostPath, problem),
                           App().ProgramTitle, MB_ICONEXCLAMATION);
    }
    return false;
}

} // namespace qv
