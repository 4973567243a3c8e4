// The picture library that turns route pictures of any format into Windows bitmaps for the Easy
// page. It is bound by name at first use, as an outside library would be; here the library is
// built in: ACE textures go through our reader, JPEG, BMP, PNG and the rest through Qt's image
// readers.
#pragma once

#include <QImage>
#include <QString>

namespace qv {

inline const QString kPictureLibraryName = QStringLiteral("mwgfx");
inline constexpr int kPictureWorkBufferSize = 1024;

// The converter's contract: the picture file to read and the bitmap file to write (zero-ended
// UTF-8 text, Windows-form paths), a zeroed work buffer of kPictureWorkBufferSize bytes and two
// zeros; a non-zero result means the bitmap was written.
using AnyToBmpsFunction = int (*)(const char* source, const char* target, char* buffer, int, int);

// A loaded library: its name and its functions by name.
struct PictureLibraryModule;

// True when a library of this name can be loaded (letter case does not matter).
bool IsDllAvailable(const QString& name);

// The picture library, loaded on the first call and kept in AppState; none when it cannot be
// loaded (the next call tries again).
const PictureLibraryModule* LoadPictureLibrary();

// A function of a loaded library by its name, none when the library has no such function.
AnyToBmpsFunction PictureLibraryFunction(const PictureLibraryModule* module, const char* name);

// Calls the library's "_anytobmps", looked up anew on every call; 0 when the library or the
// function is missing.
int AnyToBmps(const char* source, const char* target, char* buffer, int zero1, int zero2);

// What shows a picture on a form (the Easy page's route picture): the form implements it.
class PictureControl {
public:
    virtual ~PictureControl() = default;
    // Replaces what the control shows.
    virtual void ShowPicture(const QImage& picture) = 0;
};

// A picture decoded from the bytes of its file; a null picture when they cannot be decoded.
struct DecodedPicture {
    QByteArray bytes;
    QImage picture;
};
// Decodes the bytes of a picture file as the library does, on any thread: it touches no file and
// no program state. A picture that would take long to decode is not decoded.
DecodedPicture DecodePicture(const QByteArray& bytes);

// Shows a picture file (Windows form) in the control through the library and a temporary "QV"
// bitmap file, which is deleted again in every case. False, with the control unchanged, when the
// file is missing, no temporary file can be made or the picture cannot be converted or loaded;
// a picture more than 4096 texels wide or tall, as no texture is, is not converted, nor a JPEG
// of far more scans than real pictures hold. When the file still holds the bytes of a picture
// decoded ahead (on another thread), the library takes that picture rather than decoding them
// again.
bool ShowImageFile(PictureControl* image, const QString& fileName,
                   const DecodedPicture* ahead = nullptr);

} // namespace qv
