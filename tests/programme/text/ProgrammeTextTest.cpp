#include "tests/programme/ProgrammeTestHelpers.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "programme/text/ProgrammeText.h"
#include "TestSupport.h"

namespace {

const QChar Separators[] = {SepDot, SepEuro};

struct RoundTrip {
    const char *name;
    const char *stored;              // "~" = the separator
    QList<ProgrammeItem> items;      // what the reader gives
    const char *written;             // what the writer gives back
    const char *storedBack;          // what reaches the Events table
};

const QList<RoundTrip> RoundTrips = {
    {"empty", "", {}, "", ""},
    {"separator only", "~", {}, "~", ""},
    {"blank dance", "~D|||~", {D("", "", ""), Avg()}, "~D|||~", "~D|||~"},
    {"short empty note", "~N~", {N(""), Avg()}, "~N|~", "~N|~"},
    {"empty heading", "~O|~", {H(""), Avg()}, "~O|~", "~O|~"},
    {"recording choice kept", "~D|Hole in the Wall|Longways|Reel§2~",
     {D("Hole in the Wall", "Longways", "Reel", 2), Avg()}, "~D|Hole in the Wall|Longways|Reel§2~",
     "~D|Hole in the Wall|Longways|Reel§2~"},
    {"recording choice 0 dropped", "~D|A|B|C§0~", {D("A", "B", "C"), Avg()}, "~D|A|B|C~", "~D|A|B|C~"},
    {"note with CR LF", "~N|first line\r\nsecond line~", {N("first line\r\nsecond line"), Avg()},
     "~N|first line\r\nsecond line~", "~N|first line\r\nsecond line~"},
    {"stored average note dropped", "~D|A|B|C~N|Average Level: 4.5~",
     {D("A", "B", "C"), N("Average Level: 4.5"), Avg()}, "~D|A|B|C~", "~D|A|B|C~"},
    {"mixed programme", "~O|First half~D|A|B|C~N|walk through~O|Interval~D|Zed|3C|Jig§1~",
     {H("First half"), D("A", "B", "C"), N("walk through"), H("Interval"), D("Zed", "3C", "Jig", 1), Avg()},
     "~O|First half~D|A|B|C~N|walk through~O|Interval~D|Zed|3C|Jig§1~",
     "~O|First half~D|A|B|C~N|walk through~O|Interval~D|Zed|3C|Jig§1~"},
    {"pipe in a note kept", "~N|a|b~", {N("a|b"), Avg()}, "~N|a|b~", "~N|a|b~"},
    {"pipes in the style kept", "~D|A|B|C|D~", {D("A", "B", "C|D"), Avg()}, "~D|A|B|C|D~", "~D|A|B|C|D~"},
};

} // namespace

TEST(ProgrammeText, ReadsAndWritesBackNamedCases) {
    for (const QChar sep : Separators)
        for (const RoundTrip &c : RoundTrips) {
            SCOPED_TRACE(std::string(c.name) + (sep == SepDot ? " (dot)" : " (euro)"));
            const ProgrammeRead read = ReadProgramme(Sep(c.stored, sep), sep);
            EXPECT_EQ(read.items, c.items);
            EXPECT_TRUE(read.messages.isEmpty());
            EXPECT_FALSE(read.repaired);
            EXPECT_FALSE(read.partial);
            // The rows are written back over the text they came from.
            const QString written = WriteProgramme(read.items, sep, Sep(c.stored, sep));
            const QString expected = read.items.isEmpty() ? Sep(c.stored, sep) : Sep(c.written, sep);
            EXPECT_EQ(written, expected);
            EXPECT_EQ(StoredProgramme(written, sep), Sep(c.storedBack, sep));
        }
}

TEST(ProgrammeText, WriterWithoutRowsLeavesTheTextAsItWas) {
    EXPECT_EQ(WriteProgramme({}, SepDot, Sep("~D|A|B|C~", SepDot)), Sep("~D|A|B|C~", SepDot));
}

TEST(ProgrammeText, WriterOnlyAverageNoteGivesOneSeparator) {
    EXPECT_EQ(WriteProgramme({Avg()}, SepDot, QStringLiteral("x")), QString(SepDot));
    EXPECT_EQ(StoredProgramme(QString(SepDot), SepDot), QString());
}

namespace {

struct Malformed {
    const char *name;
    const char *stored;
    QList<ProgrammeItem> items;
    QStringList messages;
    const char *written;
};

const QList<Malformed> MalformedCases = {
    {"unknown kind dropped, later items kept", "~X|foo~D|A|B|C~", {D("A", "B", "C"), Avg()},
     {"Unknown item: X|foo"}, "~D|A|B|C~"},
    {"lower-case kind unknown", "~d|A|B|C~N|x~", {N("x"), Avg()}, {"Unknown item: d|A|B|C"}, "~N|x~"},
    {"unknown item at the end without separator", "~D|A|B|C~Zed", {D("A", "B", "C"), Avg()},
     {"Unknown item: Zed"}, "~D|A|B|C~"},
    {"no final separator: last item not absorbed", "~D|A|B|C", {D("A", "B", "C"), Avg()}, {}, "~D|A|B|C~"},
    {"no leading separator: first item kept", "D|A|B|C~N|x~", {D("A", "B", "C"), N("x"), Avg()}, {},
     "~D|A|B|C~N|x~"},
    {"no separators at all", "O|Solo", {H("Solo"), Avg()}, {}, "~O|Solo~"},
    {"empty items skipped", "~~D|A|B|C~~~N|x~", {D("A", "B", "C"), N("x"), Avg()}, {}, "~D|A|B|C~N|x~"},
    {"two separators only", "~~", {Avg()}, {}, "~"},
    {"recording choice of letters", "~D|A|B|C§x~", {D("A", "B", "C"), Avg()}, {}, "~D|A|B|C~"},
    {"recording choice with trailing letters", "~D|A|B|C§3x~", {D("A", "B", "C", 3), Avg()}, {},
     "~D|A|B|C§3~"},
    {"recording choice empty", "~D|A|B|C§~", {D("A", "B", "C"), Avg()}, {}, "~D|A|B|C~"},
    {"recording choice too large", "~D|A|B|C§99999999999~", {D("A", "B", "C"), Avg()}, {}, "~D|A|B|C~"},
    {"dance with one pipe", "~D|A|B~", {D("A", "B", ""), Avg()}, {}, "~D|A|B|~"},
    {"dance without pipes", "~D|Alone~", {D("Alone", "", ""), Avg()}, {}, "~D|Alone||~"},
    {"bare D", "~D~", {D("", "", ""), Avg()}, {}, "~D|||~"},
    {"note without pipe", "~Nabc~", {N("bc"), Avg()}, {}, "~N|bc~"},
    {"legacy separator pair", "~D|A|B|C\xC2\x81" "ED|E|F|G~", {D("A", "B", "C"), D("E", "F", "G"), Avg()}, {},
     "~D|A|B|C~D|E|F|G~"},
};

} // namespace

TEST(ProgrammeText, MalformedInputGivesDefinedResult) {
    for (const QChar sep : Separators)
        for (const Malformed &c : MalformedCases) {
            SCOPED_TRACE(std::string(c.name) + (sep == SepDot ? " (dot)" : " (euro)"));
            const ProgrammeRead read = ReadProgramme(Sep(c.stored, sep), sep);
            EXPECT_EQ(read.items, c.items);
            QStringList expectedMessages;
            for (const QString &m : c.messages) expectedMessages << Sep(m.toUtf8().constData(), sep);
            EXPECT_EQ(read.messages, expectedMessages);
            EXPECT_FALSE(read.repaired);
            // The stored text itself is only changed by the no-break-space repair.
            EXPECT_EQ(read.stored, Sep(c.stored, sep));
            EXPECT_EQ(WriteProgramme(read.items, sep, QString()), Sep(c.written, sep));
        }
}

TEST(ProgrammeText, NoBreakSpaceRepairedAndReported) {
    const QString stored = Sep("~N|a\xC2\xA0" "b~O|Half\xC2\xA0time~X~", SepDot);
    const ProgrammeRead read = ReadProgramme(stored, SepDot);
    EXPECT_TRUE(read.repaired);
    EXPECT_EQ(read.stored, Sep("~N|a b~O|Half time~X~", SepDot));
    EXPECT_EQ(read.messages,
              QStringList({"Pseudo-blank $A0 replaced by real blank $20", "Unknown item: X"}));
    EXPECT_EQ(read.items, QList<ProgrammeItem>({N("a b"), H("Half time"), Avg()}));
}

TEST(ProgrammeText, RepairAppliesEvenInHeadingsOnlyView) {
    const ProgrammeRead read = ReadProgramme(Sep("~N|a\xC2\xA0" "b~", SepDot), SepDot, true);
    EXPECT_TRUE(read.repaired);
    EXPECT_EQ(read.stored, Sep("~N|a b~", SepDot));
}

TEST(ProgrammeText, HeadingsOnlyKeepsSessionHeadings) {
    const QString stored =
        Sep("~O|First half~D|A|B|C~O|Interval~N|x~O|Extras~O|Tea Break~O|Second half~O|Next time~D|E|F|G~",
            SepDot);
    const ProgrammeRead read = ReadProgramme(stored, SepDot, true);
    EXPECT_TRUE(read.partial);
    EXPECT_EQ(read.items, QList<ProgrammeItem>({H("First half"), H("Second half")}));
    EXPECT_EQ(read.stored, stored);
}

TEST(ProgrammeText, HeadingSuffixCutOnlyAfterABlank) {
    const struct {
        const char *heading;
        const char *written;
    } cases[] = {
        {"Evening Dance \xC2\xBB 7.30 - 9.30", "O|Evening Dance"},
        {"Jigs\xC2\xBBReels", "O|Jigs\xC2\xBBReels"},
        {" \xC2\xBB only a suffix", "O|"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.heading);
        EXPECT_EQ(ItemText(H(c.heading), SepDot), QString::fromUtf8(c.written));
    }
}

TEST(ProgrammeText, SeparatorInsideTextsBecomesBlank) {
    for (const QChar sep : Separators) {
        EXPECT_EQ(ItemText(ProgrammeItem::note(Sep("a~b", sep)), sep), QStringLiteral("N|a b"));
        EXPECT_EQ(ItemText(ProgrammeItem::heading(Sep("~Top~", sep)), sep), QStringLiteral("O| Top "));
        // The other separator is ordinary text.
        const QChar other = sep == SepDot ? SepEuro : SepDot;
        EXPECT_EQ(ItemText(ProgrammeItem::note(QString(other)), sep), QStringLiteral("N|") + other);
    }
}

TEST(ProgrammeText, ClipAndExchangeFormsRoundTrip) {
    const QList<ProgrammeItem> items = {H("Jigs"), D("A", "B", "C", 2), N("two\r\nlines"), N(""), D("", "", "")};
    for (const QChar sep : Separators) {
        SCOPED_TRACE(sep == SepDot ? "dot" : "euro");
        const QString clip = ClipText(items + QList<ProgrammeItem>{Avg()}, sep);
        EXPECT_EQ(clip, Sep("~O|Jigs~D|A|B|C§2~N|two\r\nlines~N|~D|||", sep));
        EXPECT_EQ(ReadClip(clip, sep).items, items);

        const QString file = ExchangeText(items + QList<ProgrammeItem>{Avg()}, sep);
        EXPECT_EQ(file, Sep("O|Jigs~D|A|B|C§2~N|two\r\nlines~N|~D|||~", sep));
        EXPECT_EQ(ReadExchange(file + QStringLiteral("\r\n"), sep).items, items);
        EXPECT_EQ(ReadExchange(file, sep).items, items);

        // Both forms become a programme by the same grammar.
        const ProgrammeRead asProgramme = ReadProgramme(clip + sep, sep);
        EXPECT_EQ(asProgramme.items, items + QList<ProgrammeItem>{Avg()});
    }
}

TEST(ProgrammeText, ClipAppendsSeparatorThenItem) {
    QString clip;
    AppendToClip(clip, D("A", "B", "C"), SepDot);
    AppendToClip(clip, Avg(), SepDot);
    AppendToClip(clip, N("x"), SepDot);
    EXPECT_EQ(clip, Sep("~D|A|B|C~N|x", SepDot));
}

TEST(ProgrammeText, ExtrasBecomeNextTimeOnlyAtItemStarts) {
    const QString text = Sep("~O|Extras~N|O|Extras here~O|Extras later~O|extras~D|O|Extras|x|y~", SepDot);
    EXPECT_EQ(ExtrasToNextTime(text, SepDot),
              Sep("~O|Next time~N|O|Extras here~O|Next time later~O|extras~D|O|Extras|x|y~", SepDot));
}

class ProgrammeTextLog : public QuillaryTest {};

TEST_F(ProgrammeTextLog, BadRecordingChoiceKeepsDanceAndLogsOnce) {
    WriteLog(QStringLiteral("START"));
    const ProgrammeRead read = ReadProgramme(Sep("~D|A|B|C§x~D|E|F|G§2~", SepDot), SepDot);
    EXPECT_EQ(read.items, QList<ProgrammeItem>({D("A", "B", "C"), D("E", "F", "G", 2), Avg()}));
    EXPECT_TRUE(read.messages.isEmpty());
    const QString log = Cp1252::decode(ReadFileBytes(path(QStringLiteral("Log.Txt"))));
    EXPECT_EQ(log.count(QStringLiteral("Recording choice not a number")), 1);
    EXPECT_TRUE(log.contains(Sep("D|A|B|C§x", SepDot)));
}
