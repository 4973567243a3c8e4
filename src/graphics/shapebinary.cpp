// The binary form of a shape: each block is a 16-bit token id, 16-bit flags, a 32-bit length of
// the rest, a label (8-bit length in characters, UTF-16LE), then its values and child blocks.
#include "graphics/shapesource.h"

#include <QtEndian>
#include <cstring>
#include <vector>

namespace qv {

namespace {

class BinaryShapeSource : public ShapeSource {
public:
    explicit BinaryShapeSource(QByteArrayView bytes)
        : data_(reinterpret_cast<const uchar*>(bytes.constData())), ends_{bytes.size()} {}

    bool Open(int* token, QString* label) override {
        const qsizetype end = ends_.back();
        if (pos_ >= end)
            return false;
        if (end - pos_ < 9)
            ThrowShapeError(QStringLiteral("a block header is cut short at %1").arg(Where()));
        const int id = data_[pos_] | (data_[pos_ + 1] << 8);
        const quint32 length = Read32(pos_ + 4);
        if (qint64(length) > end - pos_ - 8)
            ThrowShapeError(
                QStringLiteral("a block at %1 is longer than the block it stands in").arg(Where()));
        const qsizetype blockEnd = pos_ + 8 + qsizetype(length);
        const qsizetype labelChars = data_[pos_ + 8];
        if (length < 1 || 2 * labelChars > blockEnd - pos_ - 9)
            ThrowShapeError(QStringLiteral("a block label at %1 runs past its block").arg(Where()));
        label->clear();
        if (labelChars > 0)
            *label = Utf16LeText(data_ + pos_ + 9, labelChars);
        *token = id;
        pos_ += 9 + 2 * labelChars;
        ends_.push_back(blockEnd);
        return true;
    }

    void Close() override {
        // The outermost end (the body's) is never closed.
        if (ends_.size() > 1) {
            pos_ = ends_.back();
            ends_.pop_back();
        }
    }

    qint32 Int() override { return qint32(Take32()); }
    quint32 Flags() override { return Take32(); }
    float Float() override {
        const quint32 bits = Take32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    QString String() override {
        Need(2);
        const qsizetype chars = data_[pos_] | (data_[pos_ + 1] << 8);
        pos_ += 2;
        Need(2 * chars);
        QString text = Utf16LeText(data_ + pos_, chars);
        pos_ += 2 * chars;
        return text;
    }

    bool Fits(qint64 count, bool blocks) const override {
        return count >= 0 && count <= (ends_.back() - pos_) / (blocks ? 9 : 4);
    }

    QString Where() const override { return QStringLiteral("byte %1").arg(pos_); }

private:
    quint32 Read32(qsizetype at) const { return qFromLittleEndian<quint32>(data_ + at); }

    void Need(qsizetype bytes) const {
        if (bytes > ends_.back() - pos_)
            ThrowShapeError(
                QStringLiteral("a value is missing at the end of a block at %1").arg(Where()));
    }

    quint32 Take32() {
        Need(4);
        const quint32 value = Read32(pos_);
        pos_ += 4;
        return value;
    }

    const uchar* data_;
    qsizetype pos_ = 0;
    std::vector<qsizetype> ends_; // the end of every open block, the body's first
};

} // namespace

QString Utf16LeText(const uchar* data, qsizetype chars) {
    QString text(chars, Qt::Uninitialized);
    for (qsizetype i = 0; i < chars; ++i)
        text[i] = QChar(char16_t(data[2 * i] | (data[2 * i + 1] << 8)));
    return text;
}

std::unique_ptr<ShapeSource> NewBinaryShapeSource(QByteArrayView bytes) {
    return std::make_unique<BinaryShapeSource>(bytes);
}

} // namespace qv
