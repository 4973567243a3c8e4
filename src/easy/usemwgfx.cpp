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

// Reads any picture into an image: a SIMIS file as an ACE texture, anything else by its content
// through Qt's readers. No route picture is larger than the largest texture: a larger one is
// refused by the size its header gives, before a byte of it is decoded.
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
    if (LargerThanATexture(reader.size()))
        return QImage();
    // Checked again where the format's reader cannot tell the size beforehand.
    const QImage picture = reader.read();
    return LargerThanATexture(picture.size()) ? QImage() : picture;
}

int BuiltInAnyToBmps(const char* source, const char* target, char* buffer, int, int) {
    if (!source || !target || !buffer)
        return 0;
    QByteArray bytes;
    if (!ReadWholeFile(QString::fromUtf8(source), &bytes))
        return 0;
    const QImage picture = ReadPicture(bytes);
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

bool ShowImageFile(PictureControl* image, const QString& fileName) {
    if (!FileExists(fileName))
        return false;
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
