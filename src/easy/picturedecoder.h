// Route pictures decoded on a thread of their own: a picture that is slow to decode (a hostile
// one can be) keeps no window waiting. The file is read on the asking thread, decoded on
// another, and the result comes back to the asking thread's event loop.
#pragma once

#include "easy/usemwgfx.h"

#include <QObject>
#include <QString>

template <typename T> class QFutureWatcher;

namespace qv {

class PictureDecoder : public QObject {
    Q_OBJECT

public:
    explicit PictureDecoder(QObject* parent = nullptr);
    ~PictureDecoder() override;

    // Reads the picture file (Windows form) and starts decoding it; false, with nothing started,
    // when the file cannot be read. A decoding still under way is dropped: only the last one
    // asked for comes back.
    bool Start(const QString& fileName);
    // Drops the decoding under way.
    void Cancel();
    // True while a decoding asked for has not come back.
    bool Busy() const { return current_ != nullptr; }

signals:
    void Decoded(const QString& fileName, const qv::DecodedPicture& picture);

private:
    QFutureWatcher<DecodedPicture>* current_ = nullptr;
};

} // namespace qv
