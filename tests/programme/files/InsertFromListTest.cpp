// Insert from list: the title list, the catalogue's choice of dance for a
// title, the labels' states.

#include "base/Cp1252.h"
#include "platform/sqlite/DbFixture.h"
#include "programme/files/InsertFromList.h"

namespace {

using Item = ProgrammeItem;

class TitleCatalogueTest : public DbTest {};

} // namespace

TEST(TitleList, LinesQuotesAndBlanks) {
    const QString text = QStringLiteral("  The Merry Dancers \r\n\r\n") + QChar(0x201C) + "Hey" + QChar(0x201D) +
                         " Jig\vReel\n\t\r\nLast";
    EXPECT_EQ(TitleList(text), (QStringList{"The Merry Dancers", "\"Hey\" Jig", "Reel", "Last"}));
    EXPECT_EQ(TitleList(QString()), QStringList());
    // The list dance's own title heading is no item; further down it is one.
    EXPECT_EQ(TitleList("\r\n Panic! \r\n\r\nReel\r\nPanic!", "Panic!"), (QStringList{"Reel", "Panic!"}));
    EXPECT_EQ(TitleList("Reel\r\nPanic!", "Panic!"), (QStringList{"Reel", "Panic!"}));
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
