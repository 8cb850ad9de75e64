#include "core/filter/FilterCommands.h"
#include "core/filter/Tags.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/DbFixture.h"

#include <functional>
#include <memory>

namespace {

// An Instructions condition switched on with the plain texts kept in the
// catalogue: every answer must be the one the rule gives converting each
// dance's text afresh, whoever changed the texts.
class PlainTextStoreTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        db.execRaw("PRAGMA synchronous=OFF");
        ResetFilterState();
        ResetTagState();
        ResetFilterCommands();
        ProgrammeSeparator = SepDot;
        // Accented, mixed-case and escaped texts; one in the footer only.
        const QStringList texts = {
            R"({\rtf1\ansi Lead {\b down} the middle, then Poussette\par})",
            R"({\rtf1\ansi Circle left; \'dcber die Schulter, R\'e9verence\par})",
            R"({\rtf1\ansi Ring \u252?ber \{braces\} and RING again\par})",
            R"({\rtf1\ansi Set and turn single; no POUSSETTE here? Yes: poussette.\par})",
            "",
            R"({\rtf1\ansi cast off\tab and lead up\par})",
        };
        for (int i = 0; i < texts.size(); ++i)
            addDance(QStringLiteral("Dance %1").arg(i), "Longways", "English",
                     {{"Instructions", texts[i]}, {"Footer", i == 4 ? R"({\rtf1 Footer poussette})" : ""}});
        dances = std::make_unique<Dataset>(db, "Dances");
        dances->setIndexName("FST");
        dances->open();
        BindFilterDatasets(&db, nullptr, dances.get());
    }
    void TearDown() override {
        ResetFilterCommands();
        ResetFilterState();
        ResetTagState();
        dances.reset();
        DbTest::TearDown();
    }
    void condition(const QString &value, bool caseSensitive, bool full = false) {
        DancesFilter = FilterDef{};
        DancesFilter.Field[1] = "Instructions";
        DancesFilter.Value[1] = value;
        DancesFilter.CaseSensitive[1] = caseSensitive;
        DancesFilter.FullMatch[1] = full;
        DancesFilter.Count = 1;
    }
    // The titles the switched filter shows.
    QStringList shown() {
        SetFilter(FilterTable::Dances, 3);
        QStringList out;
        for (qint64 b : dances->VisibleBookmarks())
            out.append(scalar("SELECT Title FROM Dances WHERE rowid=?", {b}).toString());
        return out;
    }
    // The same rule with every text converted again, no cache at all.
    QStringList uncached() {
        FilterContext context = CurrentFilterContext(false);
        context.PlainText = nullptr;
        QStringList out;
        Dataset all(db, "Dances");
        all.setIndexName("FST");
        all.open();
        for (all.First(); !all.Eof(); all.Next())
            if (FilterRecord(DancesFilter, FilterTable::Dances, all, context))
                out.append(all.FieldByName("Title").AsString());
        return out;
    }

    std::unique_ptr<Dataset> dances;
};

TEST_F(PlainTextStoreTest, KeptTextsGiveTheUncachedAnswer) {
    struct Case {
        const char *value;
        bool caseSensitive, full;
    } const cases[] = {
        {"poussette", false, false}, {"Poussette", true, false}, {"über", false, false}, {"ÜBER", true, false},
        {"révérence", false, false}, {"{braces}", false, false}, {"<>ring", false, false}, {"", false, false},
        {"cast off\tand lead up", false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        condition(QString::fromUtf8(c.value), c.caseSensitive, c.full);
        const QStringList expected = uncached();
        SharedPlainTextCache().clear();
        EXPECT_EQ(shown(), expected); // converted, then kept in the file
        SharedPlainTextCache().clear(); // as after a restart
        const int before = SharedPlainTextCache().conversions();
        EXPECT_EQ(shown(), expected);
        EXPECT_EQ(SharedPlainTextCache().conversions(), before) << "texts read back, none converted";
    }
    EXPECT_GT(scalar("SELECT count(*) FROM InstructionTexts").toInt(), 0);
}

TEST_F(PlainTextStoreTest, ChangesMadeElsewhereAreNeverAnsweredStale) {
    condition("poussette", false);
    const QStringList first = shown();
    ASSERT_EQ(first, uncached());
    ASSERT_TRUE(first.contains("Dance 0"));
    // Behind the program's back on its own connection, through a second
    // connection, through the dataset, and a delete and a rename.
    db.execRaw(R"(UPDATE Dances SET Instructions='{\rtf1 Swing partner}' WHERE Title='Dance 0')");
    {
        Database other;
        other.open(dbPath);
        other.execRaw(R"(UPDATE Dances SET Instructions='{\rtf1 now a POUSSETTE}' WHERE Title='Dance 1')");
        other.execRaw(R"(UPDATE Dances SET Footer='' WHERE Title='Dance 4')");
    }
    db.tableChanged("Dances");
    SharedPlainTextCache().clear();
    QStringList now = shown();
    EXPECT_EQ(now, uncached());
    EXPECT_FALSE(now.contains("Dance 0"));
    EXPECT_TRUE(now.contains("Dance 1"));
    EXPECT_FALSE(now.contains("Dance 4"));

    db.execRaw("DELETE FROM Dances WHERE Title='Dance 3'");
    db.execRaw("UPDATE Dances SET Title='Renamed' WHERE Title='Dance 1'");
    addDance("Imported", "Longways", "English", {{"Instructions", R"({\rtf1 Poussette \'e0 deux})"}});
    db.tableChanged("Dances");
    now = shown();
    EXPECT_EQ(now, uncached());
    EXPECT_TRUE(now.contains("Renamed"));
    EXPECT_TRUE(now.contains("Imported"));
    EXPECT_FALSE(now.contains("Dance 3"));
}

// The texts remembered by rowid between switches: used only while nothing
// can have changed the dances, whatever way they were changed.
TEST_F(PlainTextStoreTest, TextsRememberedByRowidAreNeverAnsweredStale) {
    using Change = std::function<void()>;
    const std::pair<const char *, Change> changes[] = {
        {"own connection",
         [this] {
             db.execRaw(R"(UPDATE Dances SET Instructions='{\rtf1 Swing}' WHERE Title='Dance 0')");
         }},
        {"through the program",
         [this] {
             dances->SetFiltered(false);
             dances->First();
             dances->Edit();
             dances->FieldByName("Instructions").SetAsString(R"({\rtf1 Poussette and swing})");
             dances->Post();
         }},
        {"second connection",
         [this] {
             Database other;
             other.open(dbPath);
             other.execRaw(R"(UPDATE Dances SET Footer='{\rtf1 poussette}' WHERE Title='Dance 5')");
         }},
        {"undone transaction",
         [this] {
             db.execRaw("BEGIN");
             db.execRaw(R"(UPDATE Dances SET Instructions='' WHERE Title='Dance 3')");
             EXPECT_EQ(shown(), uncached());
             db.execRaw("ROLLBACK");
         }},
        {"delete", [this] { db.execRaw("DELETE FROM Dances WHERE Title='Dance 3'"); }},
        {"rename",
         [this] { db.execRaw("UPDATE Dances SET Title='Renamed' WHERE Title='Dance 1'"); }},
        {"new dance",
         [this] {
             addDance("Imported", "Longways", "English",
                      {{"Instructions", R"({\rtf1 Poussette})"}});
         }},
        {"rowids swapped",
         [this] {
             db.execRaw("UPDATE Dances SET rowid=-rowid WHERE Title IN ('Dance 0','Dance 2')");
             db.execRaw(
                 "UPDATE Dances SET rowid=(SELECT -rowid FROM Dances WHERE Title='Dance 2') WHERE "
                 "Title='Dance 0'");
             db.execRaw(
                 "UPDATE Dances SET rowid=(SELECT max(rowid)+1 FROM Dances) WHERE Title='Dance 2'");
         }},
        {"vacuum", [this] { db.execRaw("VACUUM"); }},
    };
    condition("poussette", false);
    PlainTextCache &texts = SharedPlainTextCache();
    for (const auto &[name, change] : changes) {
        SCOPED_TRACE(name);
        EXPECT_EQ(shown(), uncached());
        EXPECT_EQ(shown(), uncached());
        EXPECT_TRUE(texts.rowsCurrent()) << "nothing changed: the texts held are used";
        change();
        db.tableChanged("Dances");
        EXPECT_FALSE(texts.rowsCurrent());
        EXPECT_EQ(shown(), uncached());
    }
}

// What a later start finds in the file: a kept text is taken only for the
// very stored texts it was made from, whatever rowid the dance has now.
TEST_F(PlainTextStoreTest, KeptTextsFollowTheStoredTextNotTheRowid) {
    const std::pair<const char *, const char *> changes[] = {
        {"rowids swapped",
         "CREATE TEMP TABLE r AS SELECT rowid AS id, Title FROM Dances WHERE Title IN ('Dance "
         "0','Dance 2');"
         "UPDATE Dances SET rowid=-rowid WHERE Title IN ('Dance 0','Dance 2');"
         "UPDATE Dances SET rowid=(SELECT id FROM r WHERE Title='Dance 2') WHERE Title='Dance 0';"
         "UPDATE Dances SET rowid=(SELECT id FROM r WHERE Title='Dance 0') WHERE Title='Dance 2';"
         "DROP TABLE r"},
        {"a new dance on a deleted dance's rowid",
         "CREATE TEMP TABLE r AS SELECT rowid AS id FROM Dances WHERE Title='Dance 0';"
         "DELETE FROM Dances WHERE Title='Dance 0';"
         "INSERT INTO Dances (rowid, Title, Format, Style, Instructions) SELECT id, 'New', "
         "'Longways', 'English', "
         "'{\\rtf1 plain swing}' FROM r;"
         "DROP TABLE r"},
        {"the kept table of an older version",
         "DROP TABLE InstructionTexts; CREATE TABLE InstructionTexts (H1 INTEGER PRIMARY KEY, H2 "
         "INTEGER, "
         "Len INTEGER, Plain TEXT); INSERT INTO InstructionTexts VALUES (1, 2, 3, 'POUSSETTE')"},
        {"kept rows whose digest does not match",
         "UPDATE InstructionTexts SET Hash1 = Hash1 + 1, Plain = 'POUSSETTE'"},
        {"a kept text that is not text", "UPDATE InstructionTexts SET Plain = X'00'"},
    };
    condition("poussette", false);
    for (const auto &[name, sql] : changes) {
        SCOPED_TRACE(name);
        SharedPlainTextCache().clear();
        ASSERT_EQ(shown(), uncached());
        db.execRaw(QString::fromUtf8(sql));
        db.tableChanged("Dances");
        SharedPlainTextCache().clear(); // a restart
        EXPECT_EQ(shown(), uncached());
        SharedPlainTextCache().clear();
        const int before = SharedPlainTextCache().conversions();
        EXPECT_EQ(shown(), uncached());
        EXPECT_EQ(SharedPlainTextCache().conversions(), before)
            << "the switch before kept every text";
    }
}

// A generated catalogue of accented, mixed-case and escaped texts: the
// matches of every condition with the texts converted, kept, read back after
// a restart and brought up to date after edits are those of the rule with no
// cache at all.
TEST_F(PlainTextStoreTest, GeneratedCatalogueMatchesTheUncachedRule) {
    const char *const words[] = {
        "poussette",  "Poussette",         "POUSSETTE",  "\\'fcber",     "\\u252?ber",
        "\\'dcBER",   "R\\'e9v\\'e9rence", "{\\b down}", "\\{braces\\}", "\\tab",
        "stra\\'dfe", "\\'e4rmel",         "\\line",     "ring",         "RING",
        "{\\i Ring}"};
    quint32 seed = 20261207;
    const auto next = [&seed](quint32 n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    const auto text = [&](int count) {
        QString t = QStringLiteral("{\\rtf1\\ansi ");
        for (int i = 0; i < count; ++i)
            t += QString::fromLatin1(words[next(std::size(words))]) + ' ';
        return t + '}';
    };
    for (int i = 0; i < 120; ++i)
        addDance(QStringLiteral("Generated %1").arg(i), "Square", "American",
                 {{"Instructions", next(8) == 0 ? QString() : text(1 + int(next(6)))},
                  {"Footer", next(4) == 0 ? text(2) : QString()}});
    db.tableChanged("Dances");
    struct Case {
        const char *value;
        bool caseSensitive;
    } const cases[] = {{"poussette", false}, {"POUSSETTE", true},  {"über", false},
                       {"Über", true},       {"révérence", false}, {"ärmel", false},
                       {"straße", false},    {"{braces}", false},  {"<>ring", false},
                       {"Ring", true},       {"", false}};
    const auto compare = [&](const char *when) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(when) + ": " + c.value);
            condition(QString::fromUtf8(c.value), c.caseSensitive);
            const QStringList expected = uncached();
            EXPECT_EQ(shown(), expected);
        }
    };
    SharedPlainTextCache().clear();
    compare("converted");
    SharedPlainTextCache().clear();
    compare("read back");
    for (int i = 0; i < 15; ++i) {
        Statement edit(db.handle(), "UPDATE Dances SET Instructions = ? WHERE Title = ?");
        edit.bindAll({text(3), QStringLiteral("Generated %1").arg(next(120))});
        edit.step();
    }
    db.tableChanged("Dances");
    compare("after edits");
    SharedPlainTextCache().clear();
    compare("read back after edits");
}

TEST_F(PlainTextStoreTest, ALockHeldElsewhereKeepsNothingAndLosesNothing) {
    condition("poussette", false);
    Database other;
    other.open(dbPath);
    other.execRaw("BEGIN IMMEDIATE");
    EXPECT_EQ(shown(), uncached());
    EXPECT_FALSE(db.hasTable("InstructionTexts"));
    other.execRaw("COMMIT");
    EXPECT_EQ(shown(), uncached()); // the same switch again keeps the texts now
    EXPECT_GT(scalar("SELECT count(*) FROM InstructionTexts").toInt(), 0);
}

} // namespace

namespace {

// Stored texts that differ must give different digests, however little
// they differ: the kept text of one would answer for the other.
TEST(PlainTextDigest, TextsThatDifferNeverShareADigest) {
    const QByteArray long1(4000, 'x');
    QByteArray long2 = long1;
    long2[1999] = 'y';
    struct Pair {
        const char *name;
        QByteArray i1, f1, i2, f2;
    } const pairs[] = {
        {"one byte", "{\\rtf1 poussette}", "", "{\\rtf1 poussettE}", ""},
        {"a byte across the parts", "{\\rtf1 a}b", "c", "{\\rtf1 a}", "bc"},
        {"all in the footer", "abc", "", "", "abc"},
        {"a zero byte at the end", "abc", "", QByteArray("abc\0", 4), ""},
        {"the last of a long text", long1, "", long1.left(3999) + 'y', ""},
        {"the middle of a long text", long1, "f", long2, "f"},
        {"two words swapped", "12345678abcdefgh", "", "abcdefgh12345678", ""},
    };
    for (const Pair &p : pairs) {
        SCOPED_TRACE(p.name);
        const auto a =
            PlainTextCache::DigestOf(p.i1.constData(), p.i1.size(), p.f1.constData(), p.f1.size());
        const auto b =
            PlainTextCache::DigestOf(p.i2.constData(), p.i2.size(), p.f2.constData(), p.f2.size());
        EXPECT_NE(a.h1, b.h1);
        EXPECT_NE(a.h2, b.h2);
        const QByteArray copy = p.i1;
        EXPECT_TRUE(a == PlainTextCache::DigestOf(copy.constData(), copy.size(), p.f1.constData(),
                                                  p.f1.size()));
    }
}

} // namespace
