// Dates are converted in the zone the TZ variable names; while a ZoneReadOnce lives on a thread,
// the variable is compared with the zone read once only, and again at every conversion after.
#include "platform/winfind.h"

#include <QByteArray>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace qv;

namespace {

// 2024-03-05 12:00:00 UTC.
constexpr qint64 kNoon = 1709640000;

int HourOf(qint32 packed) {
    return int((quint32(packed) & 0xFFFF) >> 11);
}

// Puts TZ back as it was when the test ends.
class ZoneKept {
public:
    ZoneKept() : had_(qEnvironmentVariableIsSet("TZ")), zone_(qgetenv("TZ")) {}
    ~ZoneKept() {
        if (had_)
            setenv("TZ", zone_.constData(), 1);
        else
            unsetenv("TZ");
        DosDateTimeFromUnix(0); // the zone read again
    }

private:
    bool had_;
    QByteArray zone_;
};

} // namespace

TEST(DosDateTimeFromUnix, FollowsTheZoneVariableAtEveryConversionOutsideAZoneReadOnce) {
    const ZoneKept kept;
    setenv("TZ", "UTC0", 1);
    EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon)), 12);
    setenv("TZ", "EST5", 1);
    EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon)), 7);
    EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon + 2)), 7);
}

TEST(DosDateTimeFromUnix, ComparesTheZoneOnceWhileAZoneReadOnceLives) {
    const ZoneKept kept;
    setenv("TZ", "UTC0", 1);
    {
        const ZoneReadOnce once;
        setenv("TZ", "EST5", 1); // before the first conversion: read by it
        EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon)), 7);
        setenv("TZ", "UTC0", 1); // after it: not looked at again while the hold lives
        EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon + 2)), 7);
        {
            const ZoneReadOnce nested;
            EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon + 4)), 7);
        }
        EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon + 6)), 7);
    }
    EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon + 8)), 12);
    {
        const ZoneReadOnce again; // a new hold compares once more
        EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon + 10)), 12);
        setenv("TZ", "EST5", 1);
    }
    EXPECT_EQ(HourOf(DosDateTimeFromUnix(kNoon + 12)), 7);
}
