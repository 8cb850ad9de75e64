// Insert from list: the title list, the catalogue's choice of dance for a
// title, the labels' states; and the recordings check's texts.

#include "base/Cp1252.h"
#include "platform/sqlite/DbFixture.h"
#include "programme/InsertFromList.h"

namespace {

using Item = ProgrammeItem;

class TitleCatalogueTest : public DbTest {};

} // namespace

TEST(TitleList, LinesQuotesAndBlanks) {
    const QString text = QStringLiteral("  The Merry Dancers \r\n\r\n") + QChar(0x201C) + "Hey" + QChar(0x201D) +
                         " Jig\vReel\n\t\r\nLast";
    EXPECT_EQ(TitleList(text), (QStringList{"The Merry Dancers", "\"Hey\" Jig", "Reel", "Last"}));
    EXPECT_EQ(TitleList(QString()), QStringList());
    EXPECT_EQ(StoredTitleForm("The Merry Dancers"), "Merry Dancers, The");
    EXPECT_EQ(StoredTitleForm("Theme Tune"), "Theme Tune");
    EXPECT_EQ(StoredTitleForm("A"), "A");
}

TEST_F(TitleCatalogueTest, TheDanceEachTitleInserts) {
    addDance("Merry Dancers, The", "Longways", "English");
    addDance("Hornpipe", "Longways", "Break");
    addDance("Hornpipe", "Square", "English");
    addDance("Only Break", "Longways", "Break");
    addDance("Polka", "Couple", "Positional Couple");
    addDance("Polka", "Circle", "Circle");
    addDance("It's", "Longways", "English");
    SqlTitleCatalogue c(db);
    const struct {
        const char *title;
        bool positional;
        std::optional<DanceKey> want;
    } cases[] = {
        {"Merry Dancers, The", false, DanceKey{"Merry Dancers, The", "Longways", "English"}},
        {"The Merry Dancers", false, DanceKey{"Merry Dancers, The", "Longways", "English"}},
        {"hornpipe", false, DanceKey{"Hornpipe", "Square", "English"}},
        {"Only Break", false, DanceKey{"Only Break", "Longways", "Break"}},
        {"Polka", true, DanceKey{"Polka", "Couple", "Positional Couple"}},
        {"Hornpipe", true, DanceKey{"Hornpipe", "Longways", "Break"}},
        {"It's", false, DanceKey{"It's", "Longways", "English"}},
        {"Nowhere", false, std::nullopt},
        {"x' OR '1'='1", false, std::nullopt},
    };
    for (const auto &k : cases) EXPECT_EQ(c.Choose(k.title, k.positional), k.want) << k.title;
    EXPECT_EQ(c.Find("The Merry Dancers"), "Merry Dancers, The");
    EXPECT_EQ(c.Find("Nowhere"), QString());
}

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
