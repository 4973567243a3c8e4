#include "platform/mstsfile.h"

#include "platform/codepage.h"
#include "platform/winfs.h"

#include <algorithm>
#include <atomic>
#include <zlib.h>

namespace qv {

namespace {

const QByteArray kCompressedSignature = QByteArrayLiteral("SIMISA@F");
const QByteArray kCompressedSeparator = QByteArrayLiteral("@@@@");
// Signature, 4-byte length of the inflated data, "@@@@".
constexpr qsizetype kCompressedHeaderSize = 16;
// No MSTS text file comes near this; a larger result is a damaged or hostile file, and inflating it
// further would only exhaust memory.
constexpr qsizetype kMaxInflatedSize = qsizetype(256) * 1024 * 1024;
// Enough of the start of a file to tell UTF-16 from 8-bit text by its zero bytes.
constexpr qsizetype kProbeSize = 512;

QString DecodeUtf16(const char* data, qsizetype size, bool bigEndian) {
    const qsizetype units = size / 2; // a dangling odd byte carries no character
    QString text(units, Qt::Uninitialized);
    QChar* out = text.data();
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned char first = bytes[2 * i];
        const unsigned char second = bytes[2 * i + 1];
        out[i] = bigEndian ? QChar(char16_t((first << 8) | second))
                           : QChar(char16_t((second << 8) | first));
    }
    return text;
}

// Text bytes of any uncompressed form: a mark decides, else the zero bytes do.
QString DecodeTextBytes(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return DecodeUtf16(bytes.constData() + 2, size - 2, false);
    if (size >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return DecodeUtf16(bytes.constData() + 2, size - 2, true);
    if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return QString::fromUtf8(bytes.constData() + 3, size - 3);

    // 8-bit text has no zero bytes; UTF-16 text made of Latin letters has one in every pair, on
    // the odd side when little-endian.
    qsizetype evenZeros = 0;
    qsizetype oddZeros = 0;
    const qsizetype probe = std::min(size, kProbeSize);
    for (qsizetype i = 0; i < probe; ++i) {
        if (b[i] == 0)
            ++(i % 2 ? oddZeros : evenZeros);
    }
    if (evenZeros == 0 && oddZeros == 0)
        return DecodeWindows1252(bytes);
    return DecodeUtf16(bytes.constData(), size, evenZeros > oddZeros);
}

bool Inflate(const QByteArray& bytes, QByteArray* inflated, qsizetype maxSize) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const quint32 declared =
        quint32(b[8]) | quint32(b[9]) << 8 | quint32(b[10]) << 16 | quint32(b[11]) << 24;
    // The declared length is only a hint: a damaged header must not make us allocate gigabytes.
    inflated->clear();
    inflated->reserve(std::min<qsizetype>({qsizetype(declared), maxSize, 16 * 1024 * 1024}));

    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in =
        reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData())) + kCompressedHeaderSize;
    stream.avail_in = uInt(bytes.size() - kCompressedHeaderSize);

    char chunk[64 * 1024];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        inflated->append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        if (inflated->size() > maxSize)
            status = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        inflated->clear();
        return false;
    }
    return true;
}

// The signature, the separator and a valid zlib stream header after them: a text file whose own
// header line happens to read "SIMISA@F@@@@@@@@" is not mistaken for a compressed one.
bool IsCompressedLayout(const QByteArray& bytes) {
    if (bytes.size() < kCompressedHeaderSize + 2 || !bytes.startsWith(kCompressedSignature) ||
        bytes.mid(12, 4) != kCompressedSeparator)
        return false;
    const auto method = quint8(bytes[kCompressedHeaderSize]);
    const auto flags = quint8(bytes[kCompressedHeaderSize + 1]);
    return (method & 0x0F) == Z_DEFLATED && ((method << 8) | flags) % 31 == 0;
}

// Files are read on worker threads too.
std::atomic<qint64> filesRead{0};

} // namespace

bool DecodeMstsText(const QByteArray& bytes, QString* text) {
    text->clear();
    if (!IsCompressedLayout(bytes)) {
        *text = DecodeTextBytes(bytes);
        return true;
    }
    QByteArray inflated;
    if (!Inflate(bytes, &inflated, kMaxInflatedSize))
        return false;
    *text = DecodeTextBytes(inflated);
    return true;
}

bool ReadMstsTextHostFile(const QString& hostPath, QString* text, FileStamp* stamp, qint32* age) {
    text->clear();
    QByteArray bytes;
    if (!ReadHostFile(hostPath, &bytes, stamp, age))
        return false;
    ++filesRead;
    return DecodeMstsText(bytes, text);
}

bool ReadMstsTextFile(const QString& windowsPath, QString* text) {
    text->clear();
    QByteArray bytes;
    if (!ReadWholeFile(windowsPath, &bytes))
        return false;
    ++filesRead;
    return DecodeMstsText(bytes, text);
}

bool IsCompressedMstsFile(const QByteArray& bytes) {
    return IsCompressedLayout(bytes);
}

bool InflateMstsFile(const QByteArray& bytes, QByteArray* inflated, qsizetype maxSize) {
    inflated->clear();
    return IsCompressedLayout(bytes) && Inflate(bytes, inflated, maxSize);
}

qint64 MstsFilesRead() {
    return filesRead;
}

} // namespace qv
