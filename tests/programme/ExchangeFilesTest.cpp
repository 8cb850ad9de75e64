// Programme and dance exchange files: what is written, what comes back, and
// what a damaged or foreign file does (a clear message, nothing changed).

#include "base/Cp1252.h"
#include "base/TextRoutines.h"
#include "platform/sqlite/Database.h"
#include "programme/ExchangeFiles.h"
#include "programme/HeadingRoles.h"
#include "programme/ProgrammeText.h"
#include "TestSupport.h"

namespace {

using Item = ProgrammeItem;

QList<Item> Sample() {
    return {Item::heading(QStringLiteral("Club night")),
            Item::dance(QStringLiteral("Merry Dancers, The"), QStringLiteral("Longways"), QStringLiteral("English"), 2),
            Item::note(QStringLiteral("Two lines\r\nof notes")),
            Item::dance(QStringLiteral("Ländler"), QStringLiteral("Circle"), QStringLiteral("Alpine")),
            Item::dance(QStringLiteral("舞"), QStringLiteral("Square"), QStringLiteral("Chinese")),
            Item::heading(QStringLiteral("Interval")),
            Item::note(AverageLevelNote)};
}

class ExchangeFilesTest : public QuillaryTest {
protected:
    // The text as the file on disk gives it back.
    QString throughFile(const QString &text) {
        SaveTextFile(path("x.Ev"), text);
        return LoadTextFile(path("x.Ev"));
    }
};

} // namespace

TEST_F(ExchangeFilesTest, ProgrammeRoundTripsThroughAFileWithEitherSeparator) {
    for (const QChar sep : {SepDot, SepEuro}) {
        const ProgrammeFileSave save = ProgrammeFileText(Sample(), {}, sep);
        EXPECT_EQ(save.count, 6);
        const ProgrammeFileRead read = ReadProgrammeFile(throughFile(save.text), sep, QStringLiteral("x.Ev"));
        ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
        EXPECT_TRUE(read.unknown.isEmpty());
        const QString loaded = InsertProgrammeFile(QString(), sep, -1, false, read.items);
        EXPECT_EQ(ReadProgramme(loaded, sep).items, Sample());
    }
}

TEST_F(ExchangeFilesTest, SaveTakesTheMarkedRowsOnlyWhenMoreThanOneIsMarked) {
    const QList<Item> rows = Sample();
    const ProgrammeFileSave three = ProgrammeFileText(rows, {false, true, true, false, true, false, false}, SepDot);
    EXPECT_EQ(three.count, 3);
    EXPECT_EQ(ReadExchange(three.text, SepDot).items, (QList<Item>{rows[1], rows[2], rows[4]}));
    EXPECT_EQ(ProgrammeFileText(rows, {false, true}, SepDot).count, 6);
    const ProgrammeFileSave empty = ProgrammeFileText({Item::note(AverageLevelNote)}, {}, SepDot);
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(ItemsSavedText(empty.count, QStringLiteral("a.Ev")), QStringLiteral("0 items saved as a.Ev"));
}

TEST_F(ExchangeFilesTest, LoadedItemsFollowTheSelectedRowOrReplaceTheProgramme) {
    const QChar s = SepDot;
    const QString prog = QString(s) + "O|A" + s + "O|B" + s + "O|C" + s;
    const QList<Item> file{Item::note(QStringLiteral("x")), Item::heading(QStringLiteral("y"))};
    const struct {
        int thisIndex;
        bool overwrite;
        const char *want; // "~" for the separator
    } cases[] = {
        {-1, false, "~N|x~O|y~O|A~O|B~O|C~"},
        {0, false, "~O|A~N|x~O|y~O|B~O|C~"},
        {2, false, "~O|A~O|B~O|C~N|x~O|y~"},
        {3, false, "~O|A~O|B~O|C~N|x~O|y~"}, // the average row
        {1, true, "~N|x~O|y~"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(InsertProgrammeFile(prog, s, c.thisIndex, c.overwrite, file),
                  QString::fromUtf8(c.want).replace('~', s))
            << c.thisIndex;
    EXPECT_EQ(InsertProgrammeFile(QString(), s, -1, false, file), QString(s) + "N|x" + s + "O|y" + s);
    EXPECT_FALSE(ProgrammeHasItems(QString(s), s));
    EXPECT_TRUE(ProgrammeHasItems(prog, s));
}

TEST_F(ExchangeFilesTest, DamagedProgrammeFilesGiveOneMessageEach) {
    const QChar s = SepDot;
    QString twelve;
    for (int i = 0; i < 12; ++i) twelve += QStringLiteral("Z|%1").arg(i) + s;
    const struct {
        const char *name;
        QString text;
        const char *error;   // part of the refusal, or empty
        const char *unknown; // part of the unknown-items message, or empty
        int items;
    } cases[] = {
        {"other separator", QStringLiteral("O|A") + SepEuro + "D|B|F|S" + SepEuro + "\r\n",
         "was not written with the separator now in use", "", 0},
        {"no final separator", QStringLiteral("O|A") + s + "D|B|F|S\r\n", "was not written with the separator", "", 0},
        {"unknown kinds", QStringLiteral("O|A") + s + "Q|what" + s + "N|b" + s + "\r\n", "", "Q|what", 2},
        {"more than ten unknown", twelve + "\r\n", "", "... and 2 more", 0},
        {"NUL and random bytes", QString::fromLatin1("\x01\x02zz\0qq", 7) + QChar(0xFFFD), "was not written", "", 0},
        {"NUL inside items", QStringLiteral("N|a") + QChar(0) + "b" + s + "\r\n", "", "", 1},
        {"empty", QString(), "holds no programme items", "", 0},
        {"separators alone", QString(s) + s + "\r\n", "holds no programme items", "", 0},
    };
    for (const auto &c : cases) {
        const ProgrammeFileRead r = ReadProgrammeFile(c.text, s, QStringLiteral("old.Ev"));
        if (*c.error) {
            EXPECT_TRUE(r.error.startsWith(QStringLiteral("old.Ev\r"))) << c.name;
            EXPECT_TRUE(r.error.contains(QLatin1String(c.error))) << c.name << ": " << r.error.toStdString();
            EXPECT_TRUE(r.items.isEmpty()) << c.name;
        } else {
            EXPECT_TRUE(r.error.isEmpty()) << c.name << ": " << r.error.toStdString();
        }
        EXPECT_EQ(r.unknown.isEmpty(), !*c.unknown) << c.name;
        EXPECT_TRUE(r.unknown.contains(QLatin1String(c.unknown))) << c.name;
        EXPECT_EQ(r.items.size(), c.items) << c.name;
    }
}

TEST(NoteWithFile, AddsOrReplaces) {
    EXPECT_EQ(NoteWithFile(QStringLiteral("old "), false, QStringLiteral("new\r\n")), QStringLiteral("old new\r\n"));
    EXPECT_EQ(NoteWithFile(QStringLiteral("old "), true, QStringLiteral("new\r\n")), QStringLiteral("new\r\n"));
}

namespace {

class DanceFileTest : public ExchangeFilesTest {
protected:
    void SetUp() override {
        ExchangeFilesTest::SetUp();
        Database db;
        db.create(path("d.mdb"));
        columns = DanceFileColumns(db.fields(QStringLiteral("Dances")));
        db.close();
    }
    int at(const char *name) const {
        for (int i = 0; i < columns.size(); ++i)
            if (columns[i].name == QLatin1String(name)) return i;
        return -1;
    }
    QStringList record(const QList<QPair<const char *, QString>> &set) const {
        QStringList values(columns.size());
        values[at("Title")] = QStringLiteral("Apple Cart Jig");
        for (const auto &p : set) values[at(p.first)] = p.second;
        return values;
    }
    QList<DanceColumn> columns;
};

} // namespace

TEST_F(DanceFileTest, RecordsRoundTripThroughAFile) {
    const QString music = QStringLiteral("Fiddle and box\r") + "Jigs" + SepDot + "3" + SepDot + SepDot + "116\r" +
                          "Reels" + SepDot + "1" + SepDot + "CD" + SepDot + SepDot + SepDot + SepDot + "tunes/reel.mp3";
    const QString rtf = QStringLiteral("{\\rtf1\\ansi Caf\\'e9 \\u8364? line\r\n\\par }");
    const struct {
        const char *name;
        QStringList values;
    } cases[] = {
        {"recordings with separators and CR lines", record({{"Music", music}, {"Lvl", "3"}, {"OwnTune", "Y"}})},
        {"separator in Notes made a blank", record({{"Notes", QStringLiteral("a") + SepDot + "b\r\nc"}, {"Music", music}})},
        {"non-ASCII rich text and title", record({{"Title", QStringLiteral("Ländler 舞")}, {"Instructions", rtf}})},
        {"Null numbers", record({{"Called", ""}, {"Tolbrook", ""}, {"CD", "Y"}})},
    };
    for (const QChar sep : {SepDot, SepEuro})
        for (const auto &c : cases) {
            QStringList values = c.values;
            values.replaceInStrings(QString(SepDot), QString(sep));
            const QString file = throughFile(DanceFileText(values, columns, sep));
            const DanceFileRead read = ReadDanceFile(file, sep, columns, QStringLiteral("x.Da"));
            ASSERT_TRUE(read.error.isEmpty()) << c.name << ": " << read.error.toStdString();
            values[at("Notes")].replace(sep, QLatin1Char(' '));
            EXPECT_EQ(read.values, values) << c.name;
        }
}

TEST_F(DanceFileTest, OldAndForeignFiles) {
    const QChar s = SepDot;
    QString full;
    for (int i = 0; i < columns.size(); ++i) full += (i == 0 ? QStringLiteral("Title") : QString()) + s;
    const struct {
        const char *name;
        QString text;
        const char *error; // part of the message; empty: loads
    } cases[] = {
        {"field by field", full + "\r\n", ""},
        {"short file of an older catalogue", QStringLiteral("Old Dance") + s + "Longways" + s + "\r\n", ""},
        {"text in Lvl", QStringLiteral("T") + s + s + s + s + "easy" + s + "\r\n", "Lvl holds easy"},
        {"yes/no column", QString(full).replace(full.size() - 1, 1, QStringLiteral("yes") + s), "CD holds yes"},
        {"no Title", QString(full).mid(5), "Title holds nothing"},
        {"no separator", QStringLiteral("Apple Cart Jig\r\n"), "was not written with the separator"},
        {"the other separator", QStringLiteral("T") + SepEuro + "F" + SepEuro + "\r\n", "was not written"},
        {"empty", QString(), "was not written"},
    };
    for (const auto &c : cases) {
        const DanceFileRead r = ReadDanceFile(c.text, s, columns, QStringLiteral("d.Da"));
        if (!*c.error) {
            EXPECT_TRUE(r.error.isEmpty()) << c.name << ": " << r.error.toStdString();
            EXPECT_EQ(r.values.size(), columns.size()) << c.name;
        } else {
            EXPECT_TRUE(r.error.startsWith(QStringLiteral("d.Da\r"))) << c.name;
            EXPECT_TRUE(r.error.contains(QLatin1String(c.error))) << c.name << ": " << r.error.toStdString();
            EXPECT_TRUE(r.values.isEmpty()) << c.name;
        }
    }
}
