#include "easy/usemwgfx.h"

#include "core/appstate.h"
#include "graphics/acefile.h"
#include "graphics/simisfile.h"
#include "platform/tempfiles.h"
#include "platform/winfs.h"

#include <QBuffer>
#include <QImageReader>
#include <cstring>

namespace qv {

struct PictureLibraryModule {
    const char* name;
    const char* functionName;
    AnyToBmpsFunction function;
};

namespace {

bool LargerThanATexture(const QSize& size) {
    return size.width() > kMaxAceSide || size.height() > kMaxAceSide;
}

// The scans of a JPEG, counted by walking its markers once: each segment is skipped by its
// length, and the coded data after a scan's header up to the next marker. 0 for anything that
// is not a JPEG.
qsizetype JpegScanCount(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 2 || b[0] != 0xFF || b[1] != 0xD8)
        return 0;
    qsizetype scans = 0;
    qsizetype pos = 2;
    while (pos < size) {
        // Bytes between segments are passed over, as the decoder passes over them.
        const void* found = std::memchr(b + pos, 0xFF, size_t(size - pos));
        if (!found)
            break;
        pos = static_cast<const unsigned char*>(found) - b;
        while (pos < size && b[pos] == 0xFF)
            ++pos;
        if (pos >= size)
            break;
        const unsigned char marker = b[pos++];
        if (marker == 0xD9) // end of the picture
            break;
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // no segment follows these
        if (pos + 2 > size)
            break;
        const qsizetype length = (qsizetype(b[pos]) << 8) | b[pos + 1];
        if (length < 2)
            break;
        pos += length;
        if (marker != 0xDA)
            continue;
        ++scans;
        // The coded data: a 0xFF in it is followed by a zero or a restart marker.
        while (pos < size) {
            const void* next = std::memchr(b + pos, 0xFF, size_t(size - pos));
            if (!next)
                return scans;
            pos = static_cast<const unsigned char*>(next) - b;
            qsizetype after = pos + 1;
            while (after < size && b[after] == 0xFF)
                ++after;
            if (after >= size)
                return scans;
            if (b[after] != 0x00 && (b[after] < 0xD0 || b[after] > 0xD7))
                break; // a marker: the next segment
            pos = after + 1;
        }
    }
    return scans;
}

// Each scan of a progressive JPEG costs a pass over the blocks of the picture, and a scan may
// code the same band again and again. Real pictures hold about ten scans; a few times that over
// the largest picture still decodes in a fraction of a second.
constexpr qsizetype kMostJpegScans = 64;
constexpr qint64 kMostJpegScanPixels = qint64(24) * kMaxAceSide * kMaxAceSide;

bool TooManyScans(const QByteArray& bytes, const QSize& size) {
    const qsizetype scans = JpegScanCount(bytes);
    return scans > kMostJpegScans ||
           qint64(scans) * qMax(size.width(), 1) * qMax(size.height(), 1) > kMostJpegScanPixels;
}

// Reads any picture into an image: a SIMIS file as an ACE texture, anything else by its content
// through Qt's readers. No route picture is larger than the largest texture: a larger one is
// refused by the size its header gives, before a byte of it is decoded, as is a JPEG of so many
// scans that decoding it would take seconds.
QImage ReadPicture(const QByteArray& bytes) {
    SimisBody body;
    QString error;
    if (ReadSimisBody(bytes, &body, &error)) {
        AceTexture texture;
        if (!ReadAceBody(body.Body(), &texture, &error))
            return QImage();
        QImage picture(texture.width, texture.height, QImage::Format_RGBA8888);
        for (int y = 0; y < texture.height; ++y)
            std::memcpy(picture.scanLine(y),
                        texture.rgba.constData() + qsizetype(y) * texture.width * 4,
                        size_t(texture.width) * 4);
        return picture;
    }
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    const QSize size = reader.size();
    if (LargerThanATexture(size) || TooManyScans(bytes, size))
        return QImage();
    // Checked again where the format's reader cannot tell the size beforehand.
    const QImage picture = reader.read();
    return LargerThanATexture(picture.size()) ? QImage() : picture;
}

// The picture decoded ahead for the conversion under way (see ShowImageFile), on the thread
// that converts.
const DecodedPicture* decodedAhead = nullptr;

int BuiltInAnyToBmps(const char* source, const char* target, char* buffer, int, int) {
    if (!source || !target || !buffer)
        return 0;
    QByteArray bytes;
    if (!ReadWholeFile(QString::fromUtf8(source), &bytes))
        return 0;
    const QImage picture =
        decodedAhead && decodedAhead->bytes == bytes ? decodedAhead->picture : ReadPicture(bytes);
    if (picture.isNull())
        return 0;
    QByteArray bitmap;
    QBuffer device(&bitmap);
    device.open(QIODevice::WriteOnly);
    if (!picture.save(&device, "BMP"))
        return 0;
    return WriteFileAtomic(QString::fromUtf8(target), bitmap) ? 1 : 0;
}

const PictureLibraryModule kBuiltInModules[] = {
    {"mwgfx", "_anytobmps", &BuiltInAnyToBmps},
};

// Stands in for loading a library by name.
const PictureLibraryModule* FindModule(const QString& name) {
    for (const PictureLibraryModule& module : kBuiltInModules)
        if (name.compare(QLatin1String(module.name), Qt::CaseInsensitive) == 0)
            return &module;
    return nullptr;
}

} // namespace

bool IsDllAvailable(const QString& name) {
    return FindModule(name) != nullptr;
}

const PictureLibraryModule* LoadPictureLibrary() {
    AppState& app = App();
    if (!app.PictureLibrary)
        app.PictureLibrary = FindModule(kPictureLibraryName);
    return app.PictureLibrary;
}

AnyToBmpsFunction PictureLibraryFunction(const PictureLibraryModule* module, const char* name) {
    if (!module || !name || std::strcmp(module->functionName, name) != 0)
        return nullptr;
    return module->function;
}

int AnyToBmps(const char* source, const char* target, char* buffer, int zero1, int zero2) {
    const AnyToBmpsFunction function = PictureLibraryFunction(LoadPictureLibrary(), "_anytobmps");
    return function ? function(source, target, buffer, zero1, zero2) : 0;
}

DecodedPicture DecodePicture(const QByteArray& bytes) {
    return {bytes, ReadPicture(bytes)};
}

bool ShowImageFile(PictureControl* image, const QString& fileName, const DecodedPicture* ahead) {
    if (!FileExists(fileName))
        return false;
    struct Ahead {
        explicit Ahead(const DecodedPicture* picture) { decodedAhead = picture; }
        ~Ahead() { decodedAhead = nullptr; }
    } aheadForThisCall(ahead);
    char buffer[kPictureWorkBufferSize] = {};
    QString temp;
    if (!CreateTempFile(TempFolderPath(), QStringLiteral("QV"), &temp))
        return false;
    bool shown = false;
    if (AnyToBmps(fileName.toUtf8().constData(), temp.toUtf8().constData(), buffer, 0, 0) != 0) {
        // Loaded before the control is touched, so that a bitmap that cannot be read leaves the
        // control as it was.
        QByteArray bitmap;
        QImage picture;
        if (ReadWholeFile(temp, &bitmap))
            picture = QImage::fromData(bitmap, "BMP");
        if (!picture.isNull()) {
            image->ShowPicture(picture);
            shown = true;
        }
    }
    if (FileExists(temp))
        DeleteFile(temp);
    return shown;
}

} // namespace qv
