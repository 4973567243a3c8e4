// The SIMIS container that MSTS shape (.s) and texture (.ace) files share: a plain file starts
// with "SIMISA@@@@@@@@@@" (in UTF-16 after a byte-order mark for text shapes), a compressed one
// with "SIMISA@F", the inflated size, "@@@@" and a zlib stream. Readers above this get the body
// that follows, whichever form the file had.
#pragma once

#include <QByteArray>
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

// Takes the container apart; false with a reason in *error when the bytes are not a SIMIS file,
// cannot be inflated or are too large.
bool ReadSimisBody(const QByteArray& file, SimisBody* body, QString* error);

// Reads a file by its Windows-form path ("C:\MSTS\TRAINS\TRAINSET\X\x.s") and takes it apart.
bool LoadSimisFile(const QString& windowsPath, SimisBody* body, QString* error);

} // namespace qv
