// Time and sleeping go through one injectable clock, so that waits of seconds can be tested in
// no time.
#pragma once

#include <QDateTime>

namespace qv {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime Now() const;
    // Milliseconds on a monotonic scale (only differences mean anything).
    virtual qint64 MonotonicMs() const;
    virtual void SleepMs(int ms);
};

// A clock for tests: time moves only when told to, or when someone sleeps.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2024, 1, 1), QTime(12, 0)));
    ~FakeClock() override;
    QDateTime Now() const override;
    qint64 MonotonicMs() const override { return elapsedMs_; }
    void SleepMs(int ms) override {
        ++sleeps_;
        Advance(ms);
    }
    void Advance(qint64 ms) { elapsedMs_ += ms; }
    int Sleeps() const { return sleeps_; }

private:
    QDateTime start_;
    qint64 elapsedMs_ = 0;
    int sleeps_ = 0;
    Clock* previous_;
};

Clock& TheClock();
// Installs a clock (not owned); nullptr puts the real one back.
void SetClock(Clock* clock);

} // namespace qv
