// MSTS texture (.ace) files, read into plain RGBA pixels for the viewer and the Easy page's
// pictures. The files come from users' downloads: every count, offset and size is checked against
// the file, and a damaged file is refused with a reason instead of being half read.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace qv {

// Above any texture MSTS can use; keeps a hostile header from asking for gigabytes.
inline constexpr int kMaxAceSide = 4096;

// The flags word of the header.
inline constexpr quint32 kAceHasMipmaps = 0x01;
inline constexpr quint32 kAceRawDxt = 0x10;

// Surface formats.
inline constexpr int kAceFormatRgb = 0x0E;
inline constexpr int kAceFormatRgba = 0x10;
inline constexpr int kAceFormatRgbMask = 0x11;
inline constexpr int kAceFormatDxt1 = 0x12;

// Channel types.
inline constexpr int kAceChannelMask = 2;
inline constexpr int kAceChannelRed = 3;
inline constexpr int kAceChannelGreen = 4;
inline constexpr int kAceChannelBlue = 5;
inline constexpr int kAceChannelAlpha = 6;

struct AceChannel {
    int bits = 8; // 8, or 1 for a mask
    int type = 0; // kAceChannel...
};

struct AceTexture {
    int width = 0;
    int height = 0;
    quint32 flags = 0;
    int surfaceFormat = 0;
    std::vector<AceChannel> channels;
    // True when a mask or alpha channel is present: some texels may be transparent.
    bool hasAlpha = false;
    // The most detailed level only (the renderer makes the smaller ones): width x height texels,
    // the top row first, each texel four bytes in the order red, green, blue, alpha (ready for
    // GL_RGBA with GL_UNSIGNED_BYTE; alpha 255 is opaque).
    QByteArray rgba;
};

// Reads the body of an ACE file (what follows the signature, inflated when it was compressed);
// false with a reason in *error when the texture cannot be read as a whole.
bool ReadAceBody(QByteArrayView body, AceTexture* texture, QString* error);

// Reads the whole bytes of an ACE file, plain or compressed.
bool ReadAceTexture(const QByteArray& file, AceTexture* texture, QString* error);

// Reads an ACE file by its Windows-form path.
bool LoadAceFile(const QString& windowsPath, AceTexture* texture, QString* error);

} // namespace qv
