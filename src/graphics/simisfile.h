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

// The body is left where it lies in the file's bytes: readers only read through it, and a copy
// of a large text shape's body costs more than a pass over its long lists.
struct SimisBody {
    // The file's bytes as read, inflated when the file was compressed.
    QByteArray bytes;
    // Where the body starts in them, after the signature(s).
    qsizetype from = 0;
    // The body is UTF-16LE text (without its byte-order mark).
    bool utf16 = false;

    // The bytes after the signature; valid while this body lives.
    QByteArrayView Body() const { return QByteArrayView(bytes).sliced(from); }
};

// Takes the container apart; false with a reason in *error when the bytes are not a SIMIS file,
// cannot be inflated or are too large.
bool ReadSimisBody(const QByteArray& file, SimisBody* body, QString* error);

// Reads a file by its Windows-form path ("C:\MSTS\TRAINS\TRAINSET\X\x.s") and takes it apart.
bool LoadSimisFile(const QString& windowsPath, SimisBody* body, QString* error);

} // namespace qv
