#include "graphics/simisfile.h"

#include "platform/mstsfile.h"
#include "platform/winfs.h"

namespace qv {

namespace {

const QByteArray kPlainSignature = QByteArrayLiteral("SIMISA@@@@@@@@@@");
constexpr qsizetype kSignatureSize = 16;

const QByteArray kUtf16Signature = EncodeUtf16Le(QString::fromLatin1(kPlainSignature));

bool StartsWithMark(const QByteArray& bytes) {
    return bytes.size() >= 2 && quint8(bytes[0]) == 0xFF && quint8(bytes[1]) == 0xFE;
}

// Where the body of a plain body, or of an inflated one that repeats the signature (some tools
// write it inside too), starts.
void FindBody(SimisBody* body) {
    const QByteArray& bytes = body->bytes;
    qsizetype from = 0;
    body->utf16 = false;
    if (StartsWithMark(bytes)) {
        from = 2;
        body->utf16 = true;
    }
    if (body->utf16) {
        if (bytes.mid(from, kUtf16Signature.size()) == kUtf16Signature)
            from += kUtf16Signature.size();
    } else if (bytes.mid(from, kSignatureSize) == kPlainSignature) {
        from += kSignatureSize;
    } else if (bytes.size() >= from + 2 && bytes[from] == 'J' && bytes[from + 1] == '\0') {
        // UTF-16 text without a mark: the sub-header's first letter tells.
        body->utf16 = true;
    }
    body->from = from;
}

} // namespace

bool ReadSimisBody(const QByteArray& file, SimisBody* body, QString* error) {
    *body = SimisBody();
    error->clear();
    if (file.size() > kMaxSimisBodySize) {
        *error = QStringLiteral("the file is larger than any real shape or texture");
        return false;
    }
    if (IsCompressedMstsFile(file)) {
        if (!InflateMstsFile(file, &body->bytes, kMaxSimisBodySize)) {
            *body = SimisBody();
            *error = QStringLiteral("the compressed data is damaged or too large");
            return false;
        }
        FindBody(body);
        return true;
    }
    const qsizetype from = StartsWithMark(file) ? 2 : 0;
    const bool plain = file.mid(0, kSignatureSize) == kPlainSignature;
    const bool text = from == 2 && file.mid(2, kUtf16Signature.size()) == kUtf16Signature;
    if (!plain && !text) {
        *error = QStringLiteral("the file does not start with the SIMIS signature");
        return false;
    }
    body->bytes = file;
    FindBody(body);
    return true;
}

bool LoadSimisFile(const QString& windowsPath, SimisBody* body, QString* error) {
    QByteArray bytes;
    if (!ReadWholeFile(windowsPath, &bytes)) {
        *body = SimisBody();
        *error = QStringLiteral("the file cannot be read");
        return false;
    }
    return ReadSimisBody(bytes, body, error);
}

} // namespace qv
