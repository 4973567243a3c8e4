#include "platform/mstsfile.h"

#include "platform/codepage.h"
#include "platform/winfs.h"

#include <algorithm>
#include <atomic>
#include <utility>
#include <zlib.h>

namespace qv {

namespace {

const QByteArray kCompressedSignature = QByteArrayLiteral("SIMISA@F");
const QByteArray kCompressedSeparator = QByteArrayLiteral("@@@@");
// Signature, 4-byte length of the inflated data, "@@@@".
constexpr qsizetype kCompressedHeaderSize = 16;
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

// Files are read on worker threads too.
std::atomic<qint64> filesRead{0};
// The recorder of the files read, when one is set.
std::function<void(const QString& path)> recordRead;

} // namespace

QByteArray EncodeUtf16Le(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// The signature, the separator and a valid zlib stream header after them: a text file whose own
// header line happens to read "SIMISA@F@@@@@@@@" is not mistaken for a compressed one.
bool IsCompressedMstsFile(const QByteArray& bytes) {
    if (bytes.size() < kCompressedHeaderSize + 2 || !bytes.startsWith(kCompressedSignature) ||
        bytes.mid(12, 4) != kCompressedSeparator)
        return false;
    const auto method = quint8(bytes[kCompressedHeaderSize]);
    const auto flags = quint8(bytes[kCompressedHeaderSize + 1]);
    return (method & 0x0F) == Z_DEFLATED && ((method << 8) | flags) % 31 == 0;
}

bool InflateMstsFile(const QByteArray& bytes, QByteArray* inflated, qsizetype maxSize,
                     qsizetype* streamSize) {
    inflated->clear();
    if (streamSize)
        *streamSize = 0;
    if (!IsCompressedMstsFile(bytes))
        return false;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const quint32 declared =
        quint32(b[8]) | quint32(b[9]) << 8 | quint32(b[10]) << 16 | quint32(b[11]) << 24;
    // The declared length is only a hint: a damaged header must not make us allocate more than
    // the cap, nor a too small one make us grow the buffer a byte at a time.
    constexpr qsizetype kFirstSize = 64 * 1024;
    qsizetype size = std::clamp<qsizetype>(qsizetype(declared) + 1, kFirstSize, maxSize + 1);

    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in =
        reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData())) + kCompressedHeaderSize;
    stream.avail_in = uInt(bytes.size() - kCompressedHeaderSize);

    // Inflated straight into the result, which grows by doubling up to one byte past the cap:
    // no chunk is copied and a result over the cap is known as soon as it is one byte over.
    qsizetype used = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (used == size) {
            if (size > maxSize) {
                status = Z_MEM_ERROR;
                break;
            }
            size = std::min(size * 2, maxSize + 1);
        }
        inflated->resize(size);
        const qsizetype room = std::min<qsizetype>(size - used, 1 << 30);
        stream.next_out = reinterpret_cast<Bytef*>(inflated->data() + used);
        stream.avail_out = uInt(room);
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        used += room - qsizetype(stream.avail_out);
    }
    const qsizetype read = qsizetype(bytes.size() - kCompressedHeaderSize) - stream.avail_in;
    inflateEnd(&stream);
    if (status != Z_STREAM_END || used > maxSize) {
        inflated->clear();
        inflated->squeeze();
        return false;
    }
    inflated->truncate(used);
    if (streamSize)
        *streamSize = read;
    return true;
}

qsizetype InflatedTextLimit(qsizetype streamSize) {
    if (streamSize >= kMaxInflatedTextSize / kMostTextInflation)
        return kMaxInflatedTextSize;
    return std::max(streamSize * kMostTextInflation, kMinInflatedTextLimit);
}

bool DecodeMstsText(const QByteArray& bytes, QString* text) {
    text->clear();
    if (!IsCompressedMstsFile(bytes)) {
        *text = DecodeTextBytes(bytes);
        return true;
    }
    // Filler after the stream must not buy a larger result: the stream's own length is known
    // only once it is inflated, within the most that all the bytes after the header could allow.
    QByteArray inflated;
    qsizetype streamSize = 0;
    if (!InflateMstsFile(bytes, &inflated, InflatedTextLimit(bytes.size() - kCompressedHeaderSize),
                         &streamSize) ||
        inflated.size() > InflatedTextLimit(streamSize))
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
    if (recordRead)
        recordRead(hostPath);
    return DecodeMstsText(bytes, text);
}

bool ReadMstsTextFile(const QString& windowsPath, QString* text) {
    text->clear();
    QByteArray bytes;
    if (!ReadWholeFile(windowsPath, &bytes))
        return false;
    ++filesRead;
    if (recordRead)
        recordRead(windowsPath);
    return DecodeMstsText(bytes, text);
}

qint64 MstsFilesRead() {
    return filesRead;
}

void RecordMstsFilesRead(std::function<void(const QString& path)> record) {
    recordRead = std::move(record);
}

} // namespace qv
