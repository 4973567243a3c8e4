// The SIMIS container that MSTS shape (.s) and texture (.ace) files share: a plain file starts
// with "SIMISA@@@@@@@@@@" (in UTF-16 after a byte-order mark for text shapes), a compressed one
// with "SIMISA@F", the inflated size, "@@@@" and a zlib stream. Readers above this get the body
// that follows, whichever form the file had.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace qv {

// The largest body we inflate or accept: far above any real shape or texture (a 2048 x 2048
// texture with all its levels in 32 bits is 22 MB), low enough that a hostile file cannot
// exhaust memory.
inline constexpr qsizetype kMaxSimisBodySize = qsizetype(96) * 1024 * 1024;

struct SimisBody {
    // The bytes after the signature, inflated when the file was compressed; for UTF-16 text,
    // still UTF-16LE without a byte-order mark.
    QByteArray bytes;
    bool utf16 = false;
};

// The same body left where it lies: the file's bytes as read (inflated when the file was
// compressed) and where the body starts in them, for a reader that only reads through it and
// so needs no copy of its own.
struct SimisBodyInPlace {
    QByteArray bytes;
    qsizetype from = 0;
    bool utf16 = false;

    QByteArrayView Body() const { return QByteArrayView(bytes).sliced(from); }
};

// Takes the container apart; false with a reason in *error when the bytes are not a SIMIS file,
// cannot be inflated or are too large.
bool ReadSimisBody(const QByteArray& file, SimisBody* body, QString* error);

// Reads a file by its Windows-form path ("C:\MSTS\TRAINS\TRAINSET\X\x.s") and takes it apart.
bool LoadSimisFile(const QString& windowsPath, SimisBody* body, QString* error);

// The same two with the body left in place; the same checks and reasons.
bool ReadSimisBodyInPlace(const QByteArray& file, SimisBodyInPlace* body, QString* error);
bool LoadSimisFileInPlace(const QString& windowsPath, SimisBodyInPlace* body, QString* error);

} // namespace qv
