#include "graphics/acefile.h"

#include "graphics/simisfile.h"

#include <QtEndian>
#include <array>

namespace qv {

namespace {

constexpr qsizetype kFixedHeaderSize = 152;
constexpr qsizetype kChannelEntrySize = 16;
// Real textures have three to five channels; more is a damaged header.
constexpr qint64 kMaxChannels = 16;

quint32 ReadU32(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

qint32 ReadI32(QByteArrayView bytes, qsizetype at) {
    return qint32(ReadU32(bytes, at));
}

qint64 ReadI64(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<qint64>(bytes.constData() + at);
}

quint16 ReadU16(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

bool Fail(QString* error, const QString& reason) {
    *error = reason;
    return false;
}

bool ReadHeader(QByteArrayView body, AceTexture* texture, qsizetype* headerEnd, QString* error) {
    if (body.size() < kFixedHeaderSize)
        return Fail(error, QStringLiteral("the texture header is cut short"));
    if (ReadI32(body, 0) != 1)
        return Fail(error, QStringLiteral("the texture header does not start with 1"));
    texture->flags = ReadU32(body, 4);
    const qint32 width = ReadI32(body, 8);
    const qint32 height = ReadI32(body, 12);
    texture->surfaceFormat = ReadI32(body, 16);
    const qint32 channelCount = ReadI32(body, 20);
    if (width < 1 || height < 1 || width > kMaxAceSide || height > kMaxAceSide)
        return Fail(error, QStringLiteral("the texture size %1 x %2 is outside 1 to %3")
                               .arg(width)
                               .arg(height)
                               .arg(kMaxAceSide));
    texture->width = width;
    texture->height = height;
    if (channelCount < 1 || channelCount > kMaxChannels)
        return Fail(error, QStringLiteral("the texture names %1 channels").arg(channelCount));
    *headerEnd = kFixedHeaderSize + kChannelEntrySize * channelCount;
    if (body.size() < *headerEnd)
        return Fail(error, QStringLiteral("the channel table is cut short"));
    for (qint32 i = 0; i < channelCount; ++i) {
        const qsizetype at = kFixedHeaderSize + kChannelEntrySize * i;
        const qint64 bits = ReadI64(body, at);
        const qint64 type = ReadI64(body, at + 8);
        if (bits != 1 && bits != 8)
            return Fail(error, QStringLiteral("channel %1 has %2 bits").arg(i + 1).arg(bits));
        if (type < kAceChannelMask || type > kAceChannelAlpha)
            return Fail(error,
                        QStringLiteral("channel %1 has the unknown type %2").arg(i + 1).arg(type));
        texture->channels.push_back({int(bits), int(type)});
        if (type == kAceChannelMask || type == kAceChannelAlpha)
            texture->hasAlpha = true;
    }
    return true;
}

// Uncompressed: one offset per row of every level, the rows of level 0 first; a row holds each
// channel's plane in the channel table's order.
bool ReadRows(QByteArrayView body, qsizetype headerEnd, AceTexture* texture, QString* error) {
    const qsizetype width = texture->width;
    const qsizetype height = texture->height;
    qsizetype rowSize = 0;
    for (const AceChannel& channel : texture->channels)
        rowSize += channel.bits == 8 ? width : (width + 7) / 8;
    const qsizetype tableEnd = headerEnd + 4 * height;
    // The file must be able to hold every row apart: offsets that share one row must not turn a
    // small file into a large picture.
    if (body.size() < tableEnd + rowSize * height)
        return Fail(error, QStringLiteral("the texture rows are cut short"));

    // An alpha channel wins over a mask; without either the texture is opaque.
    bool hasAlphaChannel = false;
    for (const AceChannel& channel : texture->channels)
        hasAlphaChannel |= channel.type == kAceChannelAlpha;

    texture->rgba = QByteArray(width * height * 4, char(0xFF));
    auto* out = reinterpret_cast<uchar*>(texture->rgba.data());
    const auto* in = reinterpret_cast<const uchar*>(body.constData());
    for (qsizetype y = 0; y < height; ++y) {
        const quint32 offset = ReadU32(body, headerEnd + 4 * y);
        if (offset < quint32(tableEnd) || qint64(offset) + rowSize > body.size())
            return Fail(error,
                        QStringLiteral("row %1 of the texture lies outside the file (offset %2)")
                            .arg(y + 1)
                            .arg(offset));
        const uchar* plane = in + offset;
        uchar* row = out + y * width * 4;
        for (const AceChannel& channel : texture->channels) {
            int component = 3;
            switch (channel.type) {
            case kAceChannelRed:
                component = 0;
                break;
            case kAceChannelGreen:
                component = 1;
                break;
            case kAceChannelBlue:
                component = 2;
                break;
            case kAceChannelMask:
                component = hasAlphaChannel ? -1 : 3;
                break;
            default:
                break;
            }
            if (channel.bits == 8) {
                if (component >= 0)
                    for (qsizetype x = 0; x < width; ++x)
                        row[4 * x + component] = plane[x];
                plane += width;
            } else {
                if (component >= 0)
                    for (qsizetype x = 0; x < width; ++x)
                        row[4 * x + component] = (plane[x / 8] & (0x80 >> (x % 8))) ? 0xFF : 0;
                plane += (width + 7) / 8;
            }
        }
    }
    return true;
}

std::array<uchar, 4> Expand565(quint16 c) {
    const int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return {uchar(r << 3 | r >> 2), uchar(g << 2 | g >> 4), uchar(b << 3 | b >> 2), 0xFF};
}

// DXT1: one offset per level; a level is its byte count, then 8-byte blocks of 4 x 4 texels,
// left to right, top down.
bool ReadDxt1(QByteArrayView body, qsizetype headerEnd, AceTexture* texture, QString* error) {
    const qsizetype width = texture->width;
    const qsizetype height = texture->height;
    const qsizetype across = (width + 3) / 4;
    const qsizetype down = (height + 3) / 4;
    const qsizetype needed = across * down * 8;
    if (body.size() < headerEnd + 4)
        return Fail(error, QStringLiteral("the texture's level table is cut short"));
    const quint32 offset = ReadU32(body, headerEnd);
    if (offset < quint32(headerEnd + 4) || qint64(offset) + 4 > body.size())
        return Fail(error,
                    QStringLiteral("the first texture level lies outside the file (offset %1)")
                        .arg(offset));
    const quint32 count = ReadU32(body, offset);
    if (count < quint64(needed))
        return Fail(error, QStringLiteral("the first texture level holds %1 bytes, %2 are needed")
                               .arg(count)
                               .arg(needed));
    if (qint64(offset) + 4 + needed > body.size())
        return Fail(error, QStringLiteral("the first texture level is cut short"));

    // Texture files without a mask or alpha channel are opaque; their fourth colour is black.
    const uchar transparentAlpha = texture->hasAlpha ? 0 : 0xFF;
    texture->rgba = QByteArray(width * height * 4, '\0');
    auto* out = reinterpret_cast<uchar*>(texture->rgba.data());
    qsizetype at = qsizetype(offset) + 4;
    for (qsizetype by = 0; by < down; ++by) {
        for (qsizetype bx = 0; bx < across; ++bx, at += 8) {
            const quint16 c0 = ReadU16(body, at);
            const quint16 c1 = ReadU16(body, at + 2);
            const quint32 indexes = ReadU32(body, at + 4);
            std::array<std::array<uchar, 4>, 4> colours{Expand565(c0), Expand565(c1)};
            for (int k = 0; k < 3; ++k) {
                const int a = colours[0][k], b = colours[1][k];
                if (c0 > c1) {
                    colours[2][k] = uchar((2 * a + b) / 3);
                    colours[3][k] = uchar((a + 2 * b) / 3);
                } else {
                    colours[2][k] = uchar((a + b) / 2);
                    colours[3][k] = 0;
                }
            }
            colours[2][3] = 0xFF;
            colours[3][3] = c0 > c1 ? 0xFF : transparentAlpha;
            for (int ty = 0; ty < 4; ++ty) {
                const qsizetype y = by * 4 + ty;
                if (y >= height)
                    break;
                for (int tx = 0; tx < 4; ++tx) {
                    const qsizetype x = bx * 4 + tx;
                    if (x >= width)
                        break;
                    const int index = (indexes >> (2 * (4 * ty + tx))) & 3;
                    const auto& colour = colours[size_t(index)];
                    std::copy(colour.begin(), colour.end(), out + (y * width + x) * 4);
                }
            }
        }
    }
    return true;
}

} // namespace

bool ReadAceBody(QByteArrayView body, AceTexture* texture, QString* error) {
    *texture = AceTexture();
    error->clear();
    qsizetype headerEnd = 0;
    bool ok = ReadHeader(body, texture, &headerEnd, error);
    if (ok) {
        const bool dxt = texture->flags & kAceRawDxt;
        if (dxt && texture->surfaceFormat != kAceFormatDxt1)
            ok = Fail(error, QStringLiteral("the compressed surface format 0x%1 is not DXT1")
                                 .arg(texture->surfaceFormat, 0, 16));
        else if (!dxt && texture->surfaceFormat == kAceFormatDxt1)
            ok = Fail(error, QStringLiteral("a DXT1 texture without its compressed-data flag"));
        else if (dxt)
            ok = ReadDxt1(body, headerEnd, texture, error);
        else if (texture->surfaceFormat != kAceFormatRgb &&
                 texture->surfaceFormat != kAceFormatRgba &&
                 texture->surfaceFormat != kAceFormatRgbMask)
            ok = Fail(error, QStringLiteral("the surface format 0x%1 is unknown")
                                 .arg(texture->surfaceFormat, 0, 16));
        else
            ok = ReadRows(body, headerEnd, texture, error);
    }
    if (!ok) {
        const QString reason = *error;
        *texture = AceTexture();
        *error = reason;
    }
    return ok;
}

bool ReadAceTexture(const QByteArray& file, AceTexture* texture, QString* error) {
    *texture = AceTexture();
    SimisBody body;
    if (!ReadSimisBody(file, &body, error))
        return false;
    return ReadAceBody(body.Body(), texture, error);
}

bool LoadAceFile(const QString& windowsPath, AceTexture* texture, QString* error) {
    *texture = AceTexture();
    SimisBody body;
    if (!LoadSimisFile(windowsPath, &body, error))
        return false;
    return ReadAceBody(body.Body(), texture, error);
}

} // namespace qv
