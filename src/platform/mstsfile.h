// Turning the bytes of an MSTS text file into text. MSTS writes UTF-16 little-endian with a
// byte-order mark, but files edited by hand or by other tools arrive big-endian, as 8-bit text, or
// zlib-compressed behind a "SIMISA@F" signature; every form ends up as the same QString, so the
// line scanning above this layer never needs to know which one it was.
#pragma once

#include "platform/winfs.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace qv {

// The most bytes a compressed MSTS text file may inflate to. The largest real text file, a
// global track section file, holds 6 MB of UTF-16 (and deflates to a twentieth of that); a
// file read for its dependencies or its stock is far smaller. A larger result is a damaged or
// hostile file, whose reading would only cost time and memory.
inline constexpr qsizetype kMaxInflatedTextSize = qsizetype(8) * 1024 * 1024;
// Below that, the compressed stream may inflate to this many times its own size (bytes after the
// stream do not count), and any stream to kMinInflatedTextLimit: real MSTS text deflates 21-fold
// at best, whereas a few kilobytes of a hostile stream would otherwise grow to the whole cap.
inline constexpr qsizetype kMostTextInflation = 32;
inline constexpr qsizetype kMinInflatedTextLimit = qsizetype(1024) * 1024;

// The most bytes a compressed text stream of this size may inflate to.
qsizetype InflatedTextLimit(qsizetype streamSize);

// "SIMISA@F", a 4-byte length, "@@@@" and the header of a zlib stream: a compressed MSTS file.
// A text file whose own header line happens to read "SIMISA@F@@@@@@@@" is not one.
bool IsCompressedMstsFile(const QByteArray& bytes);

// Inflates a compressed MSTS file of any kind (text, binary shape, texture) into *inflated; false
// (and *inflated emptied) when the bytes are not compressed, the stream is damaged or cut short,
// or the result would exceed maxSize bytes. The length in its header is taken only as a hint.
// Text files take InflatedTextLimit; shapes and textures have a cap of their own. `streamSize`
// (when given) receives the bytes of the compressed stream read, without what follows it.
bool InflateMstsFile(const QByteArray& bytes, QByteArray* inflated, qsizetype maxSize,
                     qsizetype* streamSize = nullptr);

// Decodes the bytes of an MSTS text file into text, without a leading byte-order mark:
// - a UTF-16 little- or big-endian mark, or a UTF-8 mark, selects that encoding;
// - without a mark, zero bytes mean UTF-16 (their position tells the byte order), none mean
//   8-bit Windows-1252 text;
// - "SIMISA@F", a 4-byte length, "@@@@" and a zlib stream: the inflated bytes decoded as above
//   (a file that merely begins with "SIMISA@F" without that layout is decoded as text).
// False (and *text emptied) only when a compressed file cannot be inflated, or would inflate to
// more than InflatedTextLimit of its compressed stream.
bool DecodeMstsText(const QByteArray& bytes, QString* text);

// The text as UTF-16 little-endian bytes without a byte-order mark, as MSTS's own files hold it.
QByteArray EncodeUtf16Le(const QString& text);

// Reads the file at a host path ("/home/me/x.pat") and decodes it; false when it cannot be read
// or decoded. The stamp and packed date (when asked) are those of the file opened.
bool ReadMstsTextHostFile(const QString& hostPath, QString* text, FileStamp* stamp = nullptr,
                          qint32* age = nullptr);

// Reads the file at a Windows-form path ("C:\MSTS\TRAINS\CONSISTS\x.con"), found through the
// drive map without regard to case, and decodes it; false when it cannot be read or decoded.
bool ReadMstsTextFile(const QString& windowsPath, QString* text);

// How many MSTS files the two reads above have read since the program started, so that a
// benchmark or a test can tell whether an operation opened any.
qint64 MstsFilesRead();

// Hands the path of each file the two reads above read (as each was given it) to `record`, on the
// thread that read it, until it is set to null; so that a benchmark can learn which files an
// operation read. Set only while no file is being read.
void RecordMstsFilesRead(std::function<void(const QString& path)> record);

} // namespace qv
