#include "platform/clock.h"

#include <QElapsedTimer>
#include <QThread>

namespace qv {

namespace {
Clock realClock;
Clock* currentClock = nullptr;
} // namespace

QDateTime Clock::Now() const {
    return QDateTime::currentDateTime();
}

qint64 Clock::MonotonicMs() const {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

void Clock::SleepMs(int ms) {
    QThread::msleep(ms);
}

FakeClock::FakeClock(QDateTime start) : start_(std::move(start)), previous_(&TheClock()) {
    SetClock(this);
}

FakeClock::~FakeClock() {
    if (&TheClock() == this)
        SetClock(previous_);
}

QDateTime FakeClock::Now() const {
    return start_.addMSecs(elapsedMs_);
}

Clock& TheClock() {
    return currentClock ? *currentClock : realClock;
}

void SetClock(Clock* clock) {
    currentClock = clock;
}

} // namespace qv
