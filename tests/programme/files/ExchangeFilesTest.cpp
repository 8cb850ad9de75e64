// Programme and dance exchange files: what is written, what comes back, and
// what a damaged or foreign file does (a clear message, nothing changed).

#include "base/Cp1252.h"
#include "base/TextRoutines.h"
#include "platform/sqlite/Database.h"
#include "programme/files/ExchangeFiles.h"
#include "programme/text/HeadingRoles.h"
#include "programme/text/ProgrammeText.h"
#include "TestSupport.h"

namespace {

using Item = ProgrammeItem;

// "~" stands for the standard separator, "^" for the alternative one.
QString P(const QString &text) { return QString(text).replace('~', SepDot).replace('^', SepEuro); }

QList<Item> Sample() {
    return {Item::heading("Club night"), Item::dance("Merry Dancers, The", "Longways", "English", 2),
            Item::note("Two lines\r\nof notes"), Item::dance("Ländler", "Circle", "Alpine"),
            Item::dance("舞", "Square", "Chinese"), Item::heading("Interval"), Item::note(AverageLevelNote)};
}

class ExchangeFilesTest : public QuillaryTest {
protected:
    // The text as the file on disk gives it back.
    QString throughFile(const QString &text) {
        SaveTextFile(path("x.Ev"), text);
        return LoadTextFile(path("x.Ev"));
    }
    // Each case's message holds its part; an empty part: no message.
    static void ExpectMessage(const QString &message, const char *part, const char *name) {
        EXPECT_EQ(message.isEmpty(), !*part) << name << ": " << message.toStdString();
        EXPECT_TRUE(message.contains(QLatin1String(part))) << name << ": " << message.toStdString();
    }
};

} // namespace

TEST_F(ExchangeFilesTest, ProgrammeRoundTripsThroughAFileWithEitherSeparator) {
    for (const QChar sep : {SepDot, SepEuro}) {
        const ProgrammeFileSave save = ProgrammeFileText(Sample(), {}, sep);
        EXPECT_EQ(save.count, 6);
        const ProgrammeFileRead read = ReadProgrammeFile(throughFile(save.text), sep, "x.Ev");
        EXPECT_TRUE(read.error.isEmpty() && read.unknown.isEmpty());
        EXPECT_EQ(ReadProgramme(InsertProgrammeFile(QString(), sep, -1, false, read.items), sep).items, Sample());
    }
    const QList<Item> rows = Sample();
    const ProgrammeFileSave three = ProgrammeFileText(rows, {false, true, true, false, true, false, false}, SepDot);
    EXPECT_EQ(three.count, 3);
    EXPECT_EQ(ReadExchange(three.text, SepDot).items, (QList<Item>{rows[1], rows[2], rows[4]}));
    EXPECT_EQ(ProgrammeFileText(rows, {false, true}, SepDot).count, 6); // one marked row: all
    EXPECT_EQ(ProgrammeFileText({Item::note(AverageLevelNote)}, {}, SepDot).count, 0);
}

TEST_F(ExchangeFilesTest, LoadedItemsFollowTheSelectedRowOrReplaceTheProgramme) {
    const QList<Item> file{Item::note("x"), Item::heading("y")};
    const struct {
        int thisIndex;
        bool overwrite;
        const char *want;
    } cases[] = {
        {-1, false, "~N|x~O|y~O|A~O|B~O|C~"}, {0, false, "~O|A~N|x~O|y~O|B~O|C~"},
        {2, false, "~O|A~O|B~O|C~N|x~O|y~"},  {3, false, "~O|A~O|B~O|C~N|x~O|y~"}, // the average row
        {1, true, "~N|x~O|y~"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(InsertProgrammeFile(P("~O|A~O|B~O|C~"), SepDot, c.thisIndex, c.overwrite, file), P(c.want))
            << c.thisIndex;
    EXPECT_FALSE(ProgrammeHasItems(P("~"), SepDot));
}

TEST_F(ExchangeFilesTest, DamagedProgrammeFilesGiveOneMessageEach) {
    QString twelve;
    for (int i = 0; i < 12; ++i) twelve += P("Z|%1~").arg(i);
    const struct {
        const char *name;
        QString text;
        const char *error, *unknown; // parts of the messages, "" for none
        int items;
    } cases[] = {
        {"other separator", P("O|A^D|B|F|S^\r\n"), "old.Ev\rwas not written with the separator now in use.", "", 0},
        {"no final separator", P("O|A~D|B|F|S\r\n"), "was not written with the separator", "", 0},
        {"unknown kinds", P("O|A~Q|what~N|b~\r\n"), "", "old.Ev\rholds items", 2},
        {"more than ten unknown", twelve + "\r\n", "", "Z|9\r... and 2 more", 0},
        {"NUL and random bytes", QString::fromLatin1("\x01\x02zz\0qq", 7) + QChar(0xFFFD), "was not written", "", 0},
        {"NUL inside items", P("N|a") + QChar(0) + P("b~\r\n"), "", "", 1},
        {"empty", QString(), "holds no programme items", "", 0},
        {"separators alone", P("~~\r\n"), "holds no programme items", "", 0},
        // Items that would read back as other items are named, not loaded.
        {"line break in a dance key", P("D|T\r\nx|F|S~N|b~\r\n"), "", "holds items", 1},
        {"recording mark not a number", P("D|T|F|S\u00a7x~D|T|F|S\u00a72~\r\n"), "", "holds items", 1},
        {"recording with a leading zero", P("D|T|F|S\u00a702~\r\n"), "", "holds items", 0},
        {"dance without its bars", P("DT~D|T|F~D|||~\r\n"), "", "DT\rD|T|F", 1},
        {"kind letter without its bar", P("Nabc~N~O|h~\r\n"), "", "Nabc", 2},
        {"older separator inside items",
         P("D|Jig|Lo") + QChar(0x81) + P("Ey|S~N|a") + QChar(0x81) + P("Eb~O|h~\r\n"), "", "holds items", 1},
        {"heading whose stored text would lose its end", P("O|Part") + QChar(0xA0) + P("\u00bbTwo~O|h~\r\n"), "",
         "holds items", 1},
    };
    for (const auto &c : cases) {
        const ProgrammeFileRead r = ReadProgrammeFile(c.text, SepDot, "old.Ev");
        ExpectMessage(r.error, c.error, c.name);
        ExpectMessage(r.unknown, c.unknown, c.name);
        EXPECT_EQ(r.items.size(), c.items) << c.name;
    }
}

namespace {

class DanceFileTest : public ExchangeFilesTest {
protected:
    void SetUp() override {
        ExchangeFilesTest::SetUp();
        Database db;
        db.create(path("d.mdb"));
        columns = DanceFileColumns(db.fields("Dances"));
    }
    int at(const char *name) const {
        for (int i = 0; i < columns.size(); ++i)
            if (columns[i].name == QLatin1String(name)) return i;
        return -1;
    }
    QStringList record(const QList<QPair<const char *, QString>> &set) const {
        QStringList values(columns.size());
        values[at("Title")] = "Apple Cart Jig";
        for (const auto &p : set) values[at(p.first)] = p.second;
        return values;
    }
    QList<DanceColumn> columns;
};

} // namespace

TEST_F(DanceFileTest, RecordsRoundTripThroughAFile) {
    const QString music = P("Fiddle and box\rJigs~3~~116\rReels~1~CD~~~~tunes/reel.mp3");
    const struct {
        const char *name;
        QStringList values;
    } cases[] = {
        {"recordings with separators and CR lines", record({{"Music", music}, {"Lvl", "3"}, {"OwnTune", "Y"}})},
        {"separator in Notes", record({{"Notes", P("a~b\r\nc")}, {"Music", music}})},
        {"non-ASCII rich text and title",
         record({{"Title", "Ländler 舞"}, {"Instructions", "{\\rtf1\\ansi Caf\\'e9 \\u8364? line\r\n\\par }"}})},
        {"Null numbers", record({{"Called", ""}, {"Tolbrook", ""}, {"CD", "Y"}})},
    };
    // Every text field holding both separators, the escape mark alone, before
    // a separator and at its end.
    const QString esc = DanceFileEscape;
    QStringList every = record({});
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].kind == DanceColumn::Text)
            every[i] = columns[i].name + P("~a^b") + esc + "c" + esc + P("~d|e") + esc + esc + P("~") + esc;
    every[at("Music")].replace("\r\n", "\r");
    for (const QChar sep : {SepDot, SepEuro})
        for (const auto &c : cases) {
            QStringList values = c.values;
            values.replaceInStrings(QString(SepDot), QString(sep));
            const DanceFileRead read = ReadDanceFile(throughFile(DanceFileText(values, columns, sep)), sep, columns);
            EXPECT_EQ(read.values, values) << c.name << ": " << read.error.toStdString();
        }
    for (const QChar sep : {SepDot, SepEuro}) {
        const DanceFileRead read = ReadDanceFile(throughFile(DanceFileText(every, columns, sep)), sep, columns);
        EXPECT_EQ(read.values, every) << read.error.toStdString();
    }
    // A file written before values were marked reads as it always did: the
    // recordings' separators found by counting from both ends.
    QStringList old = record({{"Author", "Smith"}, {"Notes", "see x.org"}, {"Music", music}, {"Lvl", "2"}, {"CD", "Y"}});
    const DanceFileRead read = ReadDanceFile(throughFile(old.join(SepDot) + SepDot + "\r\n"), SepDot, columns);
    EXPECT_EQ(read.values, old) << read.error.toStdString();
}

TEST_F(DanceFileTest, OldAndForeignFiles) {
    const QString full = "Title" + QString(columns.size(), SepDot);
    const struct {
        const char *name;
        QString text;
        const char *error; // part of the message; empty: loads
    } cases[] = {
        {"field by field", full + "\r\n", ""},
        {"short file of an older catalogue", P("Old Dance~Longways~\r\n"), ""},
        {"text in Lvl", P("T~~~~easy~\r\n"), "d.Da\ris not a dance file: Lvl holds easy"},
        {"yes/no column", full.chopped(1) + P("yes~"), "CD holds yes"},
        {"no Title", full.mid(5), "Title holds nothing"},
        {"no separator", "Apple Cart Jig\r\n", "d.Da\rwas not written with the separator"},
        {"the other separator", P("T^F^\r\n"), "was not written"},
        {"empty", QString(), "was not written"},
        {"final separator escaped", full + DanceFileEscape + SepDot, "was not written"},
        {"escape mark before another character", full.chopped(1) + DanceFileEscape + P("x~"), "CD holds \u0010x"},
    };
    for (const auto &c : cases) {
        const DanceFileRead r = ReadDanceFile(c.text, SepDot, columns, "d.Da");
        ExpectMessage(r.error, c.error, c.name);
        EXPECT_EQ(r.values.size(), *c.error ? 0 : columns.size()) << c.name;
    }
}
