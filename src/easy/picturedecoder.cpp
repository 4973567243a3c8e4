#include "easy/picturedecoder.h"

#include "platform/winfs.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <memory>

namespace qv {

PictureDecoder::PictureDecoder(QObject* parent) : QObject(parent) {}

PictureDecoder::~PictureDecoder() = default;

bool PictureDecoder::Start(const QString& fileName) {
    Cancel();
    QByteArray bytes;
    if (!FileExists(fileName) || !ReadWholeFile(fileName, &bytes))
        return false;
    // The decoding needs nothing of this object: when it is dropped, or this object goes, it
    // ends on its own and its result goes with its promise.
    auto promise = std::make_shared<QPromise<DecodedPicture>>();
    auto* watcher = new QFutureWatcher<DecodedPicture>(this);
    current_ = watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, fileName] {
        watcher->deleteLater();
        if (watcher != current_)
            return;
        current_ = nullptr;
        emit Decoded(fileName, watcher->result());
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, bytes] {
        promise->addResult(DecodePicture(bytes));
        promise->finish();
    });
    return true;
}

void PictureDecoder::Cancel() {
    current_ = nullptr;
}

} // namespace qv
