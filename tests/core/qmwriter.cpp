#include "qmwriter.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <utility>
#include <vector>

namespace qv::test {

namespace {

// Section and message tags of the .qm format.
constexpr quint8 kHashesSection = 0x42;
constexpr quint8 kMessagesSection = 0x69;
constexpr quint8 kTagEnd = 1;
constexpr quint8 kTagTranslation = 3;
constexpr quint8 kTagSourceText = 6;
constexpr quint8 kTagContext = 7;
constexpr quint8 kTagComment = 8;

const unsigned char kMagic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                  0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};

void Append32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

// The lookup hash: the ELF hash of the source text followed by the comment.
quint32 ElfHash(const QByteArray& text, quint32 h) {
    for (const char c : text) {
        h = (h << 4) + quint8(c);
        const quint32 g = h & 0xf0000000;
        if (g != 0)
            h ^= g >> 24;
        h &= ~g;
    }
    return h;
}

void AppendTagged(QByteArray& out, quint8 tag, const QByteArray& bytes) {
    out.append(char(tag));
    Append32(out, quint32(bytes.size()));
    out.append(bytes);
}

} // namespace

QByteArray BuildQm(const QList<QmMessage>& messages) {
    QByteArray body;
    std::vector<std::pair<quint32, quint32>> offsets;
    for (const QmMessage& m : messages) {
        quint32 hash = ElfHash(m.comment, ElfHash(m.sourceText, 0));
        if (hash == 0)
            hash = 1;
        offsets.emplace_back(hash, quint32(body.size()));
        QByteArray utf16(m.translation.size() * 2, Qt::Uninitialized);
        qToBigEndian<char16_t>(m.translation.utf16(), m.translation.size(), utf16.data());
        AppendTagged(body, kTagTranslation, utf16);
        AppendTagged(body, kTagSourceText, m.sourceText);
        AppendTagged(body, kTagComment, m.comment);
        AppendTagged(body, kTagContext, m.context);
        body.append(char(kTagEnd));
    }
    std::sort(offsets.begin(), offsets.end());

    QByteArray hashes;
    for (const auto& [hash, offset] : offsets) {
        Append32(hashes, hash);
        Append32(hashes, offset);
    }

    QByteArray out(reinterpret_cast<const char*>(kMagic), sizeof kMagic);
    AppendTagged(out, kHashesSection, hashes);
    AppendTagged(out, kMessagesSection, body);
    return out;
}

bool WriteQm(const QString& path, const QList<QmMessage>& messages) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = BuildQm(messages);
    return file.write(bytes) == bytes.size();
}

QList<QmMessage> VersionInfoMessages(const QString& productName, const QString& productVersion,
                                     const QString& fileVersion, const QString& copyright) {
    QList<QmMessage> list;
    const auto add = [&list](const char* name, const QString& value) {
        if (!value.isEmpty())
            list.append({"VERSIONINFO", name, QByteArray(), value});
    };
    add("ProductName", productName);
    add("ProductVersion", productVersion);
    add("FileVersion", fileVersion);
    add("LegalCopyright", copyright);
    return list;
}

} // namespace qv::test
