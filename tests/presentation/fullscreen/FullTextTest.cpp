#include "presentation/fullscreen/FullText.h"

#include "base/Messages.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/sqlite/DbFixture.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Runs of (text, bold) as the writer writes them; "\n" starts a paragraph.
QString WriterRtf(const QList<std::pair<QString, bool>> &runs) {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    for (const auto &[text, bold] : runs) {
        QTextCharFormat format;
        format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            if (i) cursor.insertBlock();
            cursor.insertText(lines[i], format);
        }
    }
    return WriteRtf(&doc);
}

QString Plain(const QString &rtf) {
    QTextDocument doc;
    ReadRtf(rtf, &doc);
    return doc.toPlainText();
}

// The bold runs of an RTF text, in order.
QStringList BoldWords(const QString &rtf) {
    QTextDocument doc;
    ReadRtf(rtf, &doc);
    QStringList words;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().fontWeight() == QFont::Bold) words << it.fragment().text().trimmed();
    return words;
}

} // namespace

TEST(FullTextTest, GenderFreeWordsTable) {
    const struct {
        const char *in, *out;
    } cases[] = {
        {"Ladies chain", "Followers chain"},
        {"as many times", "as many times"},           // " man" inside a longer word
        {"a gentle turn", "a gentle turn"},           // "gent" inside a longer word
        {"gent turns, lady turns", "Leader turns, Follower turns"},
        {"the men's line; the men set", "the Leaders' line; the Leaders set"},
        {"Gentlemen and women", "Leaders and Followers"},
        {"same-sex or other sex", "same-role or other role"},
    };
    for (const auto &c : cases) {
        const QString rtf = WriterRtf({{QString::fromUtf8(c.in), false}});
        EXPECT_EQ(Plain(GenderFree(rtf, "Leader", "Follower")), QString::fromUtf8(c.out)) << c.in;
    }
}

TEST(FullTextTest, HeadsAndSidesSwap) {
    const QString rtf = WriterRtf({{"Heads", true}, {" lead, then ", false}, {"sides", true},
                                   {QString::fromUtf8(" § kept; "), false}, {"Up & down", true}, {" again", false}});
    const QString swapped = SwapHeadsSides(rtf);
    EXPECT_EQ(BoldWords(swapped), QStringList({"Sides", "heads", "Across"}));
    EXPECT_TRUE(Plain(swapped).contains(QString::fromUtf8("§ kept")));
    // Bold carried on from the line above still counts.
    const QString heads = WriterRtf({{"Title\nheads", true}, {" face ", false}, {"sides", true}});
    EXPECT_EQ(BoldWords(SwapHeadsSides(heads)), QStringList({"Title", "sides", "heads"}));
    EXPECT_EQ(SwapHeadsSides(SwapHeadsSides(heads)), heads);
    EXPECT_NE(SwapHeadsSides(heads), heads);
    // A title line is left as it is.
    FullTextInput in;
    in.instructions = WriterRtf({{"Heads Up\nHeads", true}, {" lead", false}});
    in.swap = true;
    in.title = "Heads Up";
    EXPECT_EQ(Plain(DanceFullText(in).rtf), "Heads Up\nSides lead");
    // Plain (not bold) words stay.
    const QString plainHeads = WriterRtf({{"heads and sides", false}});
    EXPECT_EQ(SwapHeadsSides(plainHeads), plainHeads);
}

TEST(FullTextTest, DanceLayoutTable) {
    const QString tabs = WriterRtf({{"A1:\t\tLead down", false}});
    FullTextInput in;
    in.instructions = tabs;
    in.zoom = 200;
    EXPECT_TRUE(DanceFullText(in).rtf.contains("\\tab \\tab ")); // 200 is not narrowed
    in.zoom = 250;
    EXPECT_FALSE(DanceFullText(in).rtf.contains("\\tab "));

    // The divider: 110 underscores at zoom 100; notes shown as typed.
    in = FullTextInput();
    in.instructions = WriterRtf({{"Circle left", false}});
    in.notes = "Use \\ and {braces}\r\nline two";
    in.recording = {{"Recording", "Reel.mp3"}, {"Trk", ""}, {"BPM", "120"}};
    const QString plain = Plain(DanceFullText(in).rtf);
    EXPECT_EQ(plain, "Circle left\n\nRecording=Reel.mp3  BPM=120  \n" + QString(110, '_') +
                         "\n\nUse \\ and {braces}\nline two");

    // Quotes: curly from the last backwards; an odd count is flagged.
    in = FullTextInput();
    in.instructions = WriterRtf({{"say \"hello\" and \"bye", false}});
    const FullTextResult odd = DanceFullText(in);
    EXPECT_TRUE(odd.unmatchedQuotes);
    EXPECT_EQ(Plain(odd.rtf), QString::fromUtf8("say ”hello“ and ”bye"));
    in.instructions = WriterRtf({{"\"a\" \"b\"", false}});
    const FullTextResult even = DanceFullText(in);
    EXPECT_FALSE(even.unmatchedQuotes);
    EXPECT_EQ(Plain(even.rtf), QString::fromUtf8("“a” “b”"));

    // A break gets its word in front.
    in = FullTextInput();
    in.instructions = WriterRtf({{"Allemande", false}});
    in.isBreak = true;
    EXPECT_EQ(Plain(DanceFullText(in).rtf), "Break:  Allemande");
}

TEST(FullTextTest, NotesRowAndHeadings) {
    EXPECT_EQ(NotesRowText("!Tea at 9", "Folk Club", "7.30-10.30", "Recorded"),
              "Organisation: Folk Club\r\nTime: 7.30-10.30\r\n\r\nTea at 9");
    EXPECT_EQ(NotesRowText("Tea", "Club", "", "The Reelers"), "Organisation: Club\r\nBand: The Reelers\r\n\r\nTea");
    const QString longText(650, 'x');
    EXPECT_EQ(NotesRowText(longText, "Club", "8", "Band"), longText);

    const QString text = "Title\nOpener:\nx\nFirst figure:\ny\nSecond figure:\nz\nCloser:\nw";
    const int opener = text.indexOf("Opener:"), first = text.indexOf("First figure:"),
              second = text.indexOf("Second figure:");
    const struct {
        int top;
        bool forward;
        int target;
    } cases[] = {
        {0, true, first},          // no heading above: the first figure
        {first, true, second},     // from the first figure to the second
        {second, false, first},    // back to the first figure
        {first, false, 0},         // no earlier figure listed above: the start
        {second + 20, true, first}, // last heading: none later, the first found
    };
    for (const auto &c : cases) EXPECT_EQ(HeadingTarget(text, c.top, c.forward), c.target) << c.top << c.forward;
    EXPECT_EQ(HeadingTarget("no headings", 0, true), -1);
    Q_UNUSED(opener);
}

class MainNotesTest : public DbTest {};

TEST_F(MainNotesTest, MainDanceLookupTable) {
    addDance("Miller's Jig", "Longways", "Jig", {{"Notes", "Main notes"}});
    addDance("Plain Reel", "Longways", "Reel");
    const MainDanceLookup lookup = CatalogueMainDance(db);
    const struct {
        const char *notes, *result, *message;
    } cases[] = {
        {"Mine.Main=\"Miller's Jig\"", "Mine.\r\n\r\nMain notes", ""},
        {"Mine.Main=\"miller's jig\"", nullptr, "miller's jig: Capitalisation is wrong."},
        {"Main=\"Nowhere\"", nullptr, "Nowhere: Main Dance not found."},
        {"x Main=\"Plain Reel\"", "x ", "Main Dance has no notes to include!"},
        {"no marker", "no marker", ""},
    };
    for (const auto &c : cases) {
        answerer->clear();
        if (c.result) {
            EXPECT_EQ(ExpandMainNotes(c.notes, lookup), c.result) << c.notes;
        } else {
            EXPECT_THROW(ExpandMainNotes(c.notes, lookup), SilentAbort) << c.notes;
        }
        EXPECT_EQ(answerer->texts().size(), *c.message ? 1 : 0) << c.notes;
        if (*c.message) {
            EXPECT_TRUE(answerer->sawText(c.message)) << c.notes;
        }
    }
}
