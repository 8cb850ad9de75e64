// The recordings check's texts.

#include "base/Cp1252.h"
#include "presentation/music/RecordingsCheck.h"

#include <gtest/gtest.h>

namespace {

using Item = ProgrammeItem;

} // namespace

TEST(CheckRecordings, MissingAndSharedRecordings) {
    const QChar s = SepDot;
    MemoryDanceLookup c;
    const auto add = [&](const char *title, const QString &music) {
        c.add({title, "L", "E"}, {{"Music", music}});
    };
    add("Jig", QStringLiteral("Band") + s + "Jigs" + s + s + s + s + s + s + "jig.mp3");
    add("Reel", QStringLiteral("Band") + s + "Reels" + s + s + s + s + s + s + "reel.mp3\rJigs" + s + s + s + s + s +
                    s + "jig.mp3");
    add("Live", QStringLiteral("Fiddle only"));
    add("Merry Dancers, The", QStringLiteral("x") + s + "A" + s + s + s + s + s + s + "jig.mp3");
    MusicInput base;
    base.sep = s;
    base.isRec = true;
    base.locationColumn = 6;
    base.recordedKeys = {"Recording", "Trk", "Format", "BPM", "Rhythm", "Comments", "Location"};
    const auto d = [](const char *title, int line = 0) { return Item::dance(title, "L", "E", line); };

    EXPECT_EQ(CheckRecordings({d("Jig"), d("Reel")}, c, base), QStringList{"All dances have recordings."});
    EXPECT_EQ(CheckRecordings({d("Jig"), d("Reel", 2), d("Live"), d("Gone"), Item::dance("Drill", "T", "Technique")},
                              c, base),
              (QStringList{"The following dances do not have recorded music:\rLive\rGone\r",
                           "The following recordings are used more than once:\rjig.mp3\r  (Jig, then Reel)\r"}));
    EXPECT_EQ(CheckRecordings({d("Jig"), d("Merry Dancers, The")}, c, base),
              QStringList{"The following recordings are used more than once:\rjig.mp3\r  (Jig, then The Merry Dancers)\r"});
}
