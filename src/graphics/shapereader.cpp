#include "graphics/shapereader.h"

#include "graphics/shapebuild.h"
#include "graphics/shapesource.h"
#include "graphics/simisfile.h"

#include <QSysInfo>
#include <new>

namespace qv {

namespace {

constexpr qsizetype kSubHeaderChars = 16; // "JINX0s1t______\r\n" or "JINX0s1b______\r\n"

// The body's sub-header says shape and text ('t') or binary ('b').
bool ShapeKind(QByteArrayView bytes, bool utf16, char* kind) {
    const qsizetype step = utf16 ? 2 : 1;
    if (bytes.size() < kSubHeaderChars * step)
        return false;
    QByteArray header;
    for (qsizetype i = 0; i < 8; ++i)
        header.append(bytes[i * step]);
    if (!header.startsWith("JINX0s"))
        return false;
    *kind = header[7];
    return *kind == 't' || *kind == 'b';
}

bool Build(const SimisBody& body, ShapeModel* model, QString* error) {
    const QByteArrayView bytes = body.Body();
    char kind = 0;
    if (!ShapeKind(bytes, body.utf16, &kind)) {
        *error = QStringLiteral("the file is not a shape file");
        return false;
    }
    try {
        if (kind == 'b') {
            BuildShapeModel(*NewBinaryShapeSource(bytes.sliced(kSubHeaderChars)), model);
        } else {
            QString text;
            QStringView view;
            if (body.utf16 && QSysInfo::ByteOrder == QSysInfo::LittleEndian &&
                quintptr(bytes.constData()) % alignof(char16_t) == 0) {
                // The body is UTF-16LE already: read it where it lies.
                view = QStringView(reinterpret_cast<const char16_t*>(bytes.constData()),
                                   bytes.size() / 2)
                           .sliced(kSubHeaderChars);
            } else {
                text = body.utf16 ? Utf16LeText(reinterpret_cast<const uchar*>(bytes.constData()),
                                                bytes.size() / 2)
                                  : QString::fromLatin1(bytes);
                view = QStringView(text).sliced(kSubHeaderChars);
            }
            BuildShapeModel([view] { return NewTextShapeSource(view); }, model);
        }
    } catch (const ShapeError& failure) {
        *model = ShapeModel();
        *error = failure.reason;
        return false;
    } catch (const std::bad_alloc&) {
        *model = ShapeModel();
        *error = QStringLiteral("the shape is too large to load");
        return false;
    }
    return true;
}

} // namespace

bool ReadShapeBytes(const QByteArray& file, ShapeModel* model, QString* error) {
    *model = ShapeModel();
    error->clear();
    SimisBody body;
    if (!ReadSimisBody(file, &body, error))
        return false;
    return Build(body, model, error);
}

bool ReadShapeFile(const QString& windowsPath, ShapeModel* model, QString* error) {
    *model = ShapeModel();
    error->clear();
    SimisBody body;
    if (!LoadSimisFile(windowsPath, &body, error))
        return false;
    return Build(body, model, error);
}

} // namespace qv
