// What the shape builder reads through: the text and the binary form hold the same blocks and
// fields in the same order, so one builder walks either through this interface. A source
// throws ShapeError on anything that does not fit the form (a missing value, a block longer
// than its parent, the end of the file inside a block).
#pragma once

#include "graphics/shapemodel.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

namespace qv {

struct ShapeError {
    QString reason;
};

[[noreturn]] void ThrowShapeError(const QString& reason);

namespace shapelists {
class LaterLists;
}

class ShapeSource {
public:
    virtual ~ShapeSource() = default;
    // Enters the next block inside the current one (the whole body at first) and gives its
    // token id and label; false, without moving, when the current block has nothing more.
    virtual bool Open(int* token, QString* label) = 0;
    // Leaves the current block, skipping whatever of it was not read.
    virtual void Close() = 0;
    virtual qint32 Int() = 0;
    virtual quint32 Flags() = 0; // hex flags in text, 32 bits in binary
    virtual float Float() = 0;
    virtual QString String() = 0;
    // Whether `count` more values (or child blocks) can still stand in the current block: the
    // bound that keeps a count from allocating more than the file could hold.
    virtual bool Fits(qint64 count, bool blocks) const = 0;
    // Where the reading stands, for messages ("line 120", "byte 4711").
    virtual QString Where() const = 0;

    // Reads the fields of a vertex block, the block entered, where they are written the usual
    // way (`flags point normal colour1 colour2 vertex_uvs ( count uv ... )`), up to the block's
    // own ")"; false, without moving, where they are written any other way, and the caller
    // reads them one by one. Vertices are most of a shape.
    virtual bool Vertex(ShapeVertex* vertex) {
        Q_UNUSED(vertex);
        return false;
    }

    // Reads whole blocks of a list's items from here on, up to `room` of them, into the items
    // from `first` on, where they are written the usual way (`vertex ( ... )` as Vertex reads
    // it, `point ( x y z )`): gives how many, and leaves the position after the last one,
    // before the first block written any other way, which the caller reads block by block.
    // Vectors reads `item` blocks, points or vectors (normals).
    virtual qint64 Vertices(ShapeVertex* first, qint64 room) {
        Q_UNUSED(first);
        Q_UNUSED(room);
        return 0;
    }
    virtual qint64 Vectors(int item, ShapeVector* first, qint64 room) {
        Q_UNUSED(item);
        Q_UNUSED(first);
        Q_UNUSED(room);
        return 0;
    }
    virtual qint64 Uvs(ShapeUv* first, qint64 room) {
        Q_UNUSED(first);
        Q_UNUSED(room);
        return 0;
    }

    // Reads whole numbers from here on, up to `room` of them, into `first` on, where they are
    // written the usual way (as Int reads them at once): gives how many, and leaves the
    // position after the last one, before the first value written any other way (or the end
    // of the block), which the caller reads with Int.
    virtual qint64 Ints(int* first, qint64 room) {
        Q_UNUSED(first);
        Q_UNUSED(room);
        return 0;
    }

    // Passes over the rest of the current block, a list of `count` blocks, and gives sources
    // that read it in runs of `perRun` blocks, one after the other, the last one the blocks
    // left. Empty, without moving, where the source cannot cut the list, where it holds
    // another number of blocks, or where its text takes fewer bytes than `count` items of
    // `itemBytes` bytes: items made before they are read take no more memory than the file.
    virtual std::vector<std::unique_ptr<ShapeSource>> SplitList(qint64 count, qint64 perRun,
                                                                qint64 itemBytes) {
        Q_UNUSED(count);
        Q_UNUSED(perRun);
        Q_UNUSED(itemBytes);
        return {};
    }
    // The same for the rest of the current block as a list of plain values, cut between two
    // values: empty, without moving, where it holds anything but values.
    virtual std::vector<std::unique_ptr<ShapeSource>> SplitValues(int runs) {
        Q_UNUSED(runs);
        return {};
    }
    // Whether a run given by SplitList or SplitValues was read to its very end.
    virtual bool AtEnd() const { return false; }

    // Where long lists are left to be read later on several threads; null while everything is
    // read where it stands.
    shapelists::LaterLists* later = nullptr;
};

// `chars` UTF-16 little-endian code units from `data` as text, whatever the host's byte order.
QString Utf16LeText(const uchar* data, qsizetype chars);

// A source over the text form: UTF-16 text after the sub-header.
std::unique_ptr<ShapeSource> NewTextShapeSource(QStringView text);

// A source over the binary form: the bytes after the sub-header, which must outlive it.
std::unique_ptr<ShapeSource> NewBinaryShapeSource(QByteArrayView bytes);

} // namespace qv
