#include "core/services/CopyData.h"
#include "core/services/PlaybackClock.h"
#include "TestSupport.h"

namespace {

struct ClockCase {
    const char *name;
    ClockInput in;
    const char *total;
    const char *remaining;
    int percent;
    bool stop;
};

TEST(PlaybackClock, Table) {
    auto file = [](int speed, qint64 pos, qint64 length = 180000) {
        ClockInput in;
        in.elapsedSeconds = 61;
        in.speed = speed;
        in.positionMs = pos;
        in.playLengthMs = length;
        return in;
    };
    auto cd = [](int elapsed) {
        ClockInput in;
        in.cdTrack = true;
        in.elapsedSeconds = elapsed;
        in.trackMinutes = 4;
        in.trackSeconds = 5;
        in.positionMs = elapsed * 1000;
        return in;
    };
    const ClockCase cases[] = {
        // 180 s played at normal speed; one minute in.
        {"Speed100", file(100, 60000), "3:00", "2:00", 33, false},
        // Slower: 200 s in all; 60 s of recording take 66 s.
        {"Speed90", file(90, 60000), "3:20", "2:14", 33, false},
        // Faster: 144 s in all; 60 s of recording take 48 s.
        {"Speed125", file(125, 60000), "2:24", "1:36", 33, false},
        {"PastTheEnd", file(100, 181000), "3:00", "???", 100, false},
        {"CdTrack", cd(100), "4:05", "2:25", 40, false},
        {"CdTrackEnds", cd(245), "4:05", "0:00", 100, true},
        {"CdTrackOverrun", cd(250), "4:05", "", 102, true},
    };
    for (const ClockCase &c : cases) {
        const ClockShow show = PlaybackClock(c.in);
        EXPECT_EQ(show.total, QString::fromUtf8(c.total)) << c.name;
        EXPECT_EQ(show.remaining, QString::fromUtf8(c.remaining)) << c.name;
        EXPECT_EQ(show.percent, c.percent) << c.name;
        EXPECT_EQ(show.stopCd, c.stop) << c.name;
    }
}

TEST(PlaybackClock, ElapsedAlwaysOtherwiseOnlyWithALength) {
    ClockInput midi;
    midi.midFile = true;
    midi.elapsedSeconds = 600;
    const ClockShow m = PlaybackClock(midi);
    EXPECT_EQ(m.elapsed, QStringLiteral("10:00"));
    EXPECT_FALSE(m.lengthShown);

    ClockInput tiny;
    tiny.elapsedSeconds = 7;
    tiny.playLengthMs = 500;
    const ClockShow t = PlaybackClock(tiny);
    EXPECT_EQ(t.elapsed, QStringLiteral("0:07"));
    EXPECT_EQ(t.total, QStringLiteral("0:00"));
    EXPECT_FALSE(t.remainingShown);
    EXPECT_FALSE(t.stopCd);
}

class CopyDataTest : public QuillaryTest {};

} // namespace
