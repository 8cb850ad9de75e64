#include "core/dances/FieldRules.h"
#include "platform/sqlite/DbFixture.h"
#include "TestSupport.h"

namespace {

TEST(CapitaliseWords, Table) {
    struct Case {
        const char *typed;
        const char *shown;
    };
    const Case cases[] = {
        {"the hole in the wall", "The Hole in the Wall"},
        {"the cobbler's", "The Cobbler's"},
        {"the cobbler's jig", "The Cobbler's Jig"},
        {"o'neill's reel", "O'Neill's Reel"},
        {"rock 'n' roll", "Rock 'n' Roll"},
        {"st bernard waltz", "St Bernard Waltz"},
        {"the st. louis", "The St. Louis"},
        {"dance for two and me", "Dance for Two and Me"},
        {"über den berg", "Über Den Berg"},
        {"a", "A"},
        {"the", "The"},
        {"http://dances.example.org", "http://dances.example.org"},
        {"The hole in the wall", "The hole in the wall"},
        {"the hole in the WALL", "the hole in the WALL"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CapitaliseWords(QString::fromUtf8(c.typed)), QString::fromUtf8(c.shown)) << c.typed;
}

TEST(PickList, FieldAndTextOfTheControl) {
    bool reorganise = false;
    EXPECT_EQ(PickListField("Title", &reorganise), QStringLiteral("Title"));
    EXPECT_FALSE(reorganise);
    EXPECT_EQ(PickListField("R_Title", &reorganise), QStringLiteral("Title"));
    EXPECT_TRUE(reorganise);
    EXPECT_EQ(PickListText("WebSite", "HTTP://www.club.org"), QStringLiteral("www.club.org"));
    EXPECT_EQ(PickListText("WebSite", "https://www.club.org"), QStringLiteral("https://www.club.org"));
    EXPECT_EQ(PickListText("Town", "http://x"), QStringLiteral("http://x"));
}

TEST(PickList, TypedTextIsBoundNotPasted) {
    const PickListQuery q = MakePickListQuery("Dances", "Title", QString::fromUtf8("o'b\"ä%_!"), false);
    ASSERT_EQ(q.sql.size(), 3);
    EXPECT_EQ(q.sql[0], QStringLiteral("Select Distinct [Title] as X from Dances"));
    EXPECT_FALSE(q.sql.join(' ').contains(QStringLiteral("o'b")));
    EXPECT_EQ(q.params, QVariantList{QString::fromUtf8("O'B\"Ä!%!_!!%")});
    const PickListQuery all = MakePickListQuery("Events", "Town", "x", true);
    EXPECT_TRUE(all.params.isEmpty());
}

class PickListDbTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        for (const char *t : {"O'Brien's Reel", "100% Jig", "1000 Reel", "Über Alles", "über den Berg", "Oak \"Tree\""})
            addDance(QString::fromUtf8(t), "Longways", "English");
        addEvent("Club", 46362, "Dance", {{"Town", "Ashbury"}});
        addEvent("Club", 46363, "Dance", {{"Town", "Ashbury"}});
        addEvent("Club", 46364, "Dance", {{"Town", ""}});
    }
    QStringList values(const char *field, const char *typed, bool all = false) {
        const QString f = QString::fromUtf8(field);
        return PickListValues(db, PickListTable(db, f), f, QString::fromUtf8(typed), all);
    }
};

TEST_F(PickListDbTest, TypedTextMatchesLiterally) {
    EXPECT_EQ(values("Title", "o'b"), QStringList{"O'Brien's Reel"});
    EXPECT_EQ(values("Title", "100%"), QStringList{"100% Jig"});
    EXPECT_EQ(values("Title", "oak \"t"), QStringList{"Oak \"Tree\""});
    EXPECT_EQ(values("Title", "ü"), (QStringList{QString::fromUtf8("Über Alles"), QString::fromUtf8("über den Berg")}));
}

TEST_F(PickListDbTest, OneValueEqualToTheTextIsNoList) {
    EXPECT_TRUE(values("Title", "o'brien's reel").isEmpty());
    EXPECT_TRUE(values("Town", "ASHBURY").isEmpty());
}

TEST(DanceSave, Faults) {
    struct Case {
        const char *key;
        bool ownTune;
        const char *level;
        const char *fault;
    };
    const Case cases[] = {
        {"G", false, "3", "Key specified but not \"Own tune\"."},
        {"G", true, "3", ""},
        {"", false, "", ""},
        {"", false, "0", ""},
        {"", false, "9", ""},
        {"", false, "10", "Level must be between 0 and 9"},
        {"", false, "x", "Level must be between 0 and 9"},
        {"", false, " ", "Level must be between 0 and 9"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DanceSaveFault(c.key, c.ownTune, c.level), QString::fromUtf8(c.fault)) << c.key << c.level;
    EXPECT_TRUE(LevelBlankWarning("", "English"));
    EXPECT_FALSE(LevelBlankWarning("", "Technique"));
    EXPECT_FALSE(LevelBlankWarning("2", "English"));
}

} // namespace
